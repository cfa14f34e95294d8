#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

namespace {

TEST(VarDescription, TheAddressesOfTheFormsParse) {
    ProbeRegistry registry;
    struct Case {
        const char* address;
        int type;
        int number;
        std::vector<int> indices;
        int running;
        const char* objectType;
        const char* child;
        const char* path;
        const char* final;  // canonical text of the last element
    };
    const Case cases[] = {
        {"ExtraData.502.3", 1519, 502, {3}, -1, "", "", "", "ExtraData.502.3"},
        {"Enum.201", 105, 201, {}, -1, "", "", "", "Enum.201"},
        {":Temperature.201.[]", 1, 201, {0}, 0, "", "", "", "Temperature.201.[]"},
        {"HeatFlow.450.2.[]", 6, 450, {2, 0}, 1, "", "", "", "HeatFlow.450.2.[]"},
        {":Unknown.0", 0, 0, {}, -1, "", "", "", "Unknown.0"},
        {"Nmer.333", 32010, 333, {}, -1, "", "", "", "Nmer.333"},
        {"NumberOfShells.335.4", 32011, 335, {4}, -1, "", "", "", "NumberOfShells.335.4"},
        {":DeltaTemp.333.[]", 1517, 333, {0}, 0, "", "", "", "DeltaTemp.333.[]"},
        {"ProbeView.200.1(Design 1).HeatFlow.204.[]", 0, 200, {1}, -1, "ProbeViewObject", "Design 1", "",
         "HeatFlow.204.[]"},
        {"Viewable.299(a.b).ProbeView.200(c).Cost.237.4", 0, 299, {}, -1, "ViewableObject", "a.b", "", "Cost.237.4"},
        {"MyOwnerObject/ProbeViewObject.200.2:CostPerTime.236.5", 31001, 236, {5}, -1, "", "",
         "MyOwnerObject/ProbeViewObject.200.2", "MyOwnerObject/ProbeViewObject.200.2:CostPerTime.236.5"},
    };
    for (const Case& c : cases) {
        VarDescription d;
        ASSERT_TRUE(VarDescription::Parse(c.address, d)) << c.address;
        EXPECT_EQ(c.type, d.Type()) << c.address;
        EXPECT_EQ(c.number, d.Number()) << c.address;
        std::vector<int> idx;
        for (int i = 0; i < d.NumberOfIndices(); ++i) idx.push_back(d.Offset(i));
        EXPECT_EQ(c.indices, idx) << c.address;
        EXPECT_EQ(c.running, d.RunningIndex()) << c.address;
        EXPECT_EQ(c.objectType, d.ObjectType()) << c.address;
        EXPECT_EQ(c.child, d.ChildName()) << c.address;
        EXPECT_EQ(c.path, d.Path()) << c.address;
        EXPECT_EQ(c.final, d.Final().ToString()) << c.address;
        VarDescription again;
        ASSERT_TRUE(VarDescription::Parse(d.ToString(), again)) << d.ToString();
        EXPECT_EQ(d.ToString(), again.ToString());
    }
    EXPECT_TRUE(VarDescription(Text("NMer"), 333).VariableIs("Nmer"));
    for (const char* bad : {"", "Temperature", "Temperature.", "Temperature.x", "1.2", "A.1.2.3.4.5", "A.1(open",
                            "A.1.B", ":/", "Temperature.201.[]junk"}) {
        VarDescription d;
        EXPECT_FALSE(VarDescription::Parse(bad, d)) << bad;
    }
}

TEST(VarDescription, ChildLinksResolveThroughAttachedObject) {
    ProbeRegistry registry;
    ProbeView root(nullptr, "root");
    auto* design = new ProbeView(&root, "Design 1");
    auto* inner = new ProbeView(design, "inner");
    VarDescription d;
    ASSERT_TRUE(VarDescription::Parse("ProbeView.200(Design 1).ProbeView.200(inner).Temperature.201", d));
    EXPECT_EQ(inner, root.AttachedObject(d));
    ASSERT_TRUE(VarDescription::Parse("ProbeView.200(nobody).Temperature.201", d));
    EXPECT_EQ(nullptr, root.AttachedObject(d));
    EXPECT_EQ("ProbeView.200(Design 1)", root.AttachedName(design));
}

TEST(VarDescription, AnyChildNameCanBeAddressedAndAnEmptyOneIsNotTheParent) {
    ProbeRegistry registry;
    ProbeView root(nullptr, "root");
    const char* names[] = {"(", ")", "a/b", "x:y", "back\\slash", "Design 1 (old)", "((", "", " padded "};
    for (const char* name : names) {
        auto* child = new ProbeView(&root, name);
        new ProbeView(child, "inner/most");
        const Text address = root.AttachedName(child);
        VarDescription d;
        ASSERT_TRUE(VarDescription::Parse(address + ".Temperature.201", d)) << address;
        EXPECT_EQ(name, d.ChildName()) << address;
        EXPECT_EQ(child, root.AttachedObject(d)) << address;
        EXPECT_EQ(child->GetChild(0), ResolveViewPath(&root, ViewPath(child->GetChild(0)))) << address;
        delete child;
    }
    VarDescription empty;
    ASSERT_TRUE(VarDescription::Parse("ProbeView.200()", empty));
    EXPECT_EQ(nullptr, root.AttachedObject(empty)) << "no child of that name: not the view itself";
    ASSERT_TRUE(VarDescription::Parse("ProbeView.200", empty));
    EXPECT_EQ(&root, root.AttachedObject(empty));
}

TEST(VarDescription, LongAddressesCopyWithoutRecursionAndNamesCompareWithoutCase) {
    // About 1.4 MB of links: copied, assigned, printed and destroyed without deep recursion.
    Text address;
    for (int i = 0; i < 200000; ++i) address += "Abcd.1.";
    address += "Temperature.3";
    VarDescription d;
    ASSERT_TRUE(VarDescription::Parse(address, d));
    VarDescription copy(d);
    VarDescription assigned;
    assigned = copy;
    EXPECT_EQ(1, assigned.Final().Type());
    EXPECT_EQ(address.size(), assigned.ToString().size());
    struct Case {
        const char* address;
        int type;
    };
    for (const Case& c : {Case{"heatflow.204", 6}, Case{"TEMPERATURE.1", 1}, Case{"costpertime.3", 31001},
                          Case{"extraData.9", 1519}, Case{"Notes.400", 0},
                          Case{"velocity.100", 1027}}) {
        VarDescription v;
        ASSERT_TRUE(VarDescription::Parse(c.address, v)) << c.address;
        EXPECT_EQ(c.type, v.Type()) << c.address;
    }
}

TEST(VarEnumInfo, ChoicesAreFoundHiddenShownAndParsed) {
    VarEnumInfo e;
    e.AddEntry(0, "Default");
    e.AddEntry(9, "Retrofit");
    EXPECT_EQ(1, e.FindEntry(9.0));
    EXPECT_EQ(0, e.FindEntry(Text("Default")));
    EXPECT_EQ(-1, e.FindEntry(3.0));
    EXPECT_TRUE(e.FindAndHideEntry(9));
    EXPECT_EQ(1, e.NumberOfVisibleEntries());
    EXPECT_TRUE(e.FindAndShowEntry(9));
    EXPECT_FALSE(e.FindAndHideEntry(4));
    EXPECT_TRUE(e.ChangeEntryState(0, 2));
    EXPECT_EQ(2, e.GetEntry(0)->state);
    e.DeleteEntries();
    EXPECT_EQ(0, e.NumberOfEntries());

    auto parsed = VariableNameInfo(VarDescription(105, 240), "Off; On;5=Auto;Last").GetParsedEnumInfo();
    ASSERT_EQ(4, parsed->NumberOfEntries());
    EXPECT_EQ(1.0, parsed->GetEntry(1)->value);
    EXPECT_EQ(5.0, parsed->GetEntry(2)->value);
    EXPECT_EQ("Auto", parsed->GetEntry(2)->text);
    EXPECT_EQ(6.0, parsed->GetEntry(3)->value);
}

TEST(Text, TokenSplitsTheFirstWordOffACommandLine) {
    struct Case {
        const char* line;
        bool ok;
        const char* word;
        const char* rest;
    };
    const Case cases[] = {
        {"addhx E1  H1 C1", true, "addhx", "E1  H1 C1"},
        {"  \"Design 1\" rest", true, "Design 1", "rest"},
        {"single", true, "single", ""},
        {"\"open", true, "open", ""},
        {"   ", false, "", ""},
    };
    for (const Case& c : cases) {
        Text word = "x", rest = "y";
        EXPECT_EQ(c.ok, Text(c.line).Token(word, rest)) << c.line;
        EXPECT_EQ(c.word, word) << c.line;
        EXPECT_EQ(c.rest, rest) << c.line;
    }
    EXPECT_EQ(42, Text(" 42 ").MakeLong());
    EXPECT_FALSE(Text("4x").IsNumber());
    EXPECT_EQ("T=1.5 C", FormattedText("T=%.1f %s", 1.5, "C"));
}

}  // namespace

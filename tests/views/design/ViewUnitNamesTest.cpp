// Unit names as a user meets them: a unit renamed in the design viewer to the name the design
// would give next is never given that name again (exchangers, splitters and mixers alike), a
// name the extraction keeps for its dummy units is refused, the retrofit's texts that name a unit
// follow its rename, and the grid's refusal of an empty configuration name reads as words.
#include "views/grid/HENDiagram.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/design/HENDesign.h"
#include "eng/model/ScenarioRecord.h"
#include "lumeth/Session.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using design_viewer_test::lastShown;
using design_viewer_test::ViewerNetwork;

VarDescription at(const std::string& address) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(address.c_str(), v)) << address;
    return v;
}

Text q(const CNode* n) { return Text("\"") + Text(n->getName()) + "\""; }

std::string unitName(const CNode* unit) {
    CPString name;
    if (unit) unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

// The names of the design's exchangers, splitters and mixers, each as often as a unit bears it.
std::multiset<std::string> unitNames(CPIHENDesign& d) {
    std::multiset<std::string> names;
    for (CNode* node : d.GetFlowSheet()->getAllNodes())
        if (node->isExchangerKind() || node->getKindId() == NodeKindId::Tee || node->getKindId() == NodeKindId::Mixer)
            names.insert(unitName(node));
    return names;
}

struct Named : ViewerNetwork {
    Named() {
        Session::Instance().Reset();
        Units("ppc");  // E-100 H1/C1, E-101 H2/C2, E-102 cooler on H2
        viewer = Viewer();
        grid.SetDesign(d);
    }
    // The viewer's row (Name.300) of the unit shown by that name; -1 when no row shows it.
    int Row(const std::string& name) {
        for (int i = 0; i < 20; ++i)
            if (std::string(viewer->TextValue(at("Name.300." + std::to_string(i))).c_str()) == name) return i;
        return -1;
    }
    int Rename(const std::string& from, const std::string& to) {
        const int row = Row(from);
        EXPECT_GE(row, 0) << from;
        return viewer->SpecifyText(at("Name.300." + std::to_string(row)), to.c_str());
    }
    std::unique_ptr<HIDesignViewerDesign> viewer;
    HENDiagram grid;
};

TEST(ViewUnitNames, AnExchangerAddedOnTheGridSkipsTheNameAUserGaveByRenaming) {
    Named n;
    // The design view refuses a name another unit shows.
    EXPECT_EQ(0, n.Rename("E-100", "E-101"));
    EXPECT_EQ(Text("HeatExchangerNameError"), lastShown());
    // The next name the design would give, taken by a rename.
    ASSERT_EQ(1, n.Rename("E-100", "E-103"));
    ASSERT_EQ(1, n.grid.Message("addhx " + q(design_test::NthSegment(*n.d, "H1", 0)) + " " +
                                q(design_test::NthSegment(*n.d, "C2", 0))));
    const std::multiset<std::string> names = unitNames(*n.d);
    EXPECT_EQ((std::multiset<std::string>{"E-101", "E-102", "E-103", "E-104"}), names);
    // The renamed unit is the one its name finds.
    const int row = n.Row("E-103");
    ASSERT_GE(row, 0);
    CNode* renamed = n.viewer->TextRowUnit(2, row);  // the filtered list of Name.300
    ASSERT_NE(nullptr, renamed);
    EXPECT_EQ("E-103", unitName(renamed));
    EXPECT_GE(n.Row("E-104"), 0);
}

TEST(ViewUnitNames, SplittersAndMixersSkipTheNamesUsersGaveExchangers) {
    Named n;
    ASSERT_EQ(1, n.Rename("E-101", "TEE-100"));
    ASSERT_EQ(1, n.Rename("E-102", "MIX-100"));
    CNode* segment = design_test::NthSegment(*n.d, "C1", 0);
    ASSERT_EQ(1, n.grid.Message("addsplit " + q(segment) + " " + q(segment)));
    const std::multiset<std::string> names = unitNames(*n.d);
    EXPECT_EQ((std::multiset<std::string>{"E-100", "MIX-100", "MIX-101", "TEE-100", "TEE-101"}), names);
    // And a splitter renamed to the mixer generator's next name is never given it again.
    CNode* tee = n.d->GetFlowSheet()->getAllNodesOfType(NodeKind::Tee).front();
    ASSERT_EQ(1, n.d->RenameUnit("MIX-102", tee));
    CNode* other = design_test::NthSegment(*n.d, "C2", 0);
    ASSERT_EQ(1, n.grid.Message("addsplit " + q(other) + " " + q(other)));
    std::set<std::string> distinct;
    for (const std::string& name : unitNames(*n.d)) EXPECT_TRUE(distinct.insert(name).second) << name;
}

// Saved and read back, the renamed unit keeps its name, and the design read back still names its
// next unit apart from it; removed by its name, it is the renamed unit that goes.
TEST(ViewUnitNames, ARenamedUnitHoldsItsNameThroughTheCaseFile) {
    Named n;
    ASSERT_EQ(1, n.Rename("E-100", "E-103"));
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(n.scenario->GetServices().records->Store(*n.scenario, out));
    design_test::DesignScenario back;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(back.scenario->GetServices().records->Recall(*back.scenario, in));
    CPIHENDesign* d = back.Design("D1");
    ASSERT_NE(nullptr, d);
    EXPECT_EQ((std::multiset<std::string>{"E-101", "E-102", "E-103"}), unitNames(*d));
    CNode* added = d->AddHeatExchanger(design_test::NthSegment(*d, "H1", 0), design_test::NthSegment(*d, "C2", 0), nullptr,
                                       nullptr, nullptr);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ("E-104", unitName(added));
    CNode* renamed = nullptr;
    for (CNode* node : d->GetFlowSheet()->getAllNodes())
        if (node->isExchangerKind() && unitName(node) == "E-103") renamed = node;
    ASSERT_NE(nullptr, renamed);
    ASSERT_TRUE(d->DeleteHeatExchanger(renamed, nullptr));
    EXPECT_EQ((std::multiset<std::string>{"E-101", "E-102", "E-104"}), unitNames(*d));
}

// An exchanger's view is reached by its unit's name: renamed in the design viewer's list, the
// unit's view answers to the new name.
TEST(ViewUnitNames, AnExchangersViewFollowsARenameMadeElsewhere) {
    Named n;
    CNode* unit = design_viewer_test::unitAt(n, 0);
    Viewable* view = n.viewer->GetEquipmentView(unit);
    ASSERT_NE(nullptr, view);
    const std::string before = unitName(unit);
    EXPECT_EQ(before, std::string(view->GetName().c_str()));
    ASSERT_EQ(1, n.Rename(before, "Main"));
    EXPECT_EQ("Main", std::string(view->GetName().c_str()));
}

// The extraction counts its dummy heaters and coolers by these endings: a unit renamed to one
// would leave the design's real equipment one unit short.
TEST(ViewUnitNames, TheDummyUnitsEndingsAreRefusedAsNames) {
    Named n;
    for (const char* name : {"E-100_DummyHtrIgnore", "E-100_DummyClrIgnore", "X_DummyHtrIgnore_1"}) {
        Session::Instance().ClearEvents(SessionEvent::Error);
        EXPECT_EQ(0, n.Rename("E-100", name)) << name;
        EXPECT_EQ(Text("HeatExchangerNameError"), lastShown()) << name;
    }
    EXPECT_EQ(0, n.d->GetNumberOfIgnoredDummyUtilities());
    EXPECT_GE(n.Row("E-100"), 0);
}

// "Name.303" names the unit a retrofit step added and "Name.302" the unit it moved: renamed,
// the texts name them still.
TEST(ViewUnitNames, TheRetrofitsTextsFollowTheUnitsTheyName) {
    Named n;
    n.d->SetStoredTextB("E-101");
    n.d->SetStoredTextC("E-100");
    ASSERT_EQ(1, n.Rename("E-101", "NewHX"));
    ASSERT_EQ(1, n.Rename("E-100", "Moved"));
    EXPECT_EQ(Text("NewHX"), n.viewer->TextValue(at("Name.303")));
    EXPECT_EQ(Text("Moved"), n.viewer->TextValue(at("Name.302")));
    // Another unit's rename leaves them be.
    ASSERT_EQ(1, n.Rename("E-102", "Cooler"));
    EXPECT_EQ(Text("NewHX"), n.viewer->TextValue(at("Name.303")));
}

// The unit a retrofit step added or moved deleted on the grid: the texts name no unit, not one
// a user later gives the deleted unit's name.
TEST(ViewUnitNames, TheRetrofitsTextsNameNoUnitAfterItsDeletion) {
    Named n;
    n.d->SetStoredTextB("E-101");
    n.d->SetStoredTextC("E-100");
    CNode* added = nullptr;
    CNode* moved = nullptr;
    for (CNode* node : n.d->GetFlowSheet()->getAllNodes()) {
        if (unitName(node) == "E-101") added = node;
        if (unitName(node) == "E-100") moved = node;
    }
    ASSERT_NE(nullptr, added);
    ASSERT_NE(nullptr, moved);
    ASSERT_EQ(1, n.grid.Message("deletehx " + q(added)));
    ASSERT_EQ(1, n.grid.Message("deletehx " + q(moved)));
    EXPECT_EQ(Text(), n.viewer->TextValue(at("Name.303")));
    EXPECT_EQ(Text(), n.viewer->TextValue(at("Name.302")));
    ASSERT_EQ(1, n.Rename("E-102", "E-101"));
    EXPECT_EQ(Text(), n.viewer->TextValue(at("Name.303")));
}

TEST(ViewUnitNames, AnEmptyConfigurationNameIsRefusedInWords) {
    Session::Instance().Reset();
    HENDiagram g;
    for (int number : {200, 202}) {
        if (number == 202) {
            ASSERT_EQ(1, g.SpecifyText(VarDescription(1519, 200), "Mine"));
        }
        Session::Instance().ClearEvents(SessionEvent::Error);
        EXPECT_EQ(0, g.SpecifyText(VarDescription(1519, number), "")) << number;
        const auto errors = Session::Instance().Entries(SessionEvent::Error);
        ASSERT_FALSE(errors.empty()) << number;
        EXPECT_EQ(Text("AddConfigError"), errors.back().key);
        EXPECT_EQ(std::string::npos, std::string(errors.back().text.c_str()).find("%s")) << errors.back().text;
        EXPECT_NE(std::string::npos, std::string(errors.back().text.c_str()).find("\"\"")) << errors.back().text;
    }
}

}  // namespace

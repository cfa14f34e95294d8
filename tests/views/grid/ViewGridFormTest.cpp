// The grid diagram's form, commands, change codes and record: configurations selected, added,
// renamed and deleted through its variables; the order words; the design's stream notices; the
// whole record round trip, an older record brought into the stream order, damage refused.
#include "views/grid/HENDiagram.h"

#include "lumeth/BinaryFile.h"
#include "lumeth/Session.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

VarDescription var(const char* address) {
    VarDescription v;
    VarDescription::Parse(address, v);
    return v;
}

// Row i of a column variable: "StreamsOrder.200.3".
VarDescription row(const char* address, int i) {
    VarDescription v;
    VarDescription::Parse(Text(address) + "." + std::to_string(i), v);
    return v;
}

std::vector<std::string> order(HENDiagram& g) {
    std::vector<std::string> out;
    DimInfo dims;
    g.Dimensions(var("StreamsOrder.200.[]"), dims);
    for (int i = 0; i < dims.Dim(0); ++i) out.push_back(g.TextValue(row("StreamsOrder.200", i)));
    return out;
}

std::size_t errors(const char* key) {
    std::size_t n = 0;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) n += e.key == key;
    return n;
}

// A diagram whose selected configuration holds five streams A..E in that order.
struct FiveLines {
    FiveLines() {
        Session::Instance().Reset();
        g.SetDesign(nullptr);
        for (const char* name : {"A", "B", "C", "D", "E"}) g.NotifyChange(30, name, nullptr);
        g.SelectConfiguration(3);
    }
    HENDiagram g;
};

TEST(ViewGridForm, AFreshDiagramAndItsSelection) {
    Session::Instance().Reset();
    HENDiagram g;
    EXPECT_EQ(6, g.NumberOfConfigurations());
    EXPECT_EQ("Preset 4: (Temperature)", g.SelectedName());
    EXPECT_EQ(3, g.SelectedPreset());
    // A read shows the selection and leaves it, before the form asked for the choices as after.
    EXPECT_EQ(3.0, g.Value(var("Enum.206")));
    EXPECT_EQ("Preset 4: (Temperature)", g.SelectedName());
    ASSERT_TRUE(g.GetEnumInfo(VariableNameInfo(var("Enum.206"), Text())));
    EXPECT_EQ(6, g.GetEnumInfo(VariableNameInfo(var("Enum.206"), Text()))->NumberOfEntries());
    EXPECT_EQ(1, g.Specify(var("Enum.206"), 4.0));
    EXPECT_EQ(4.0, g.Value(var("Enum.206")));
    EXPECT_EQ("Preset 5: (Heat Load)", g.SelectedName());
    // The annotation choices 200 to 205 are the positions 1, 2, 3, 0, 4 and 5.
    EXPECT_EQ(1, g.Specify(var("Enum.203"), 8.0));
    EXPECT_EQ(8, g.AnnotationChoice(0));
    EXPECT_EQ(2.0, g.Value(var("Enum.201")));
}

TEST(ViewGridForm, UserConfigurationsAreAddedRenamedAndDeleted) {
    FiveLines f;
    HENDiagram& g = f.g;
    // A name a preset has is refused and the list keeps its length.
    EXPECT_EQ(0, g.SpecifyText(var("ExtraData.200"), "Preset 2: (Heat Load, No Util.)"));
    EXPECT_EQ(1u, errors("AddConfigError"));
    EXPECT_EQ(6, g.NumberOfConfigurations());
    // Renaming while a preset is selected changes nothing; its status says so.
    EXPECT_EQ(0, g.SpecifyText(var("ExtraData.202"), "Renamed"));
    ModifyState state = ModifiableState;
    int detail = 0;
    g.VariableStatus(var("ExtraData.202"), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    // Notes written under a preset go to that preset.
    EXPECT_EQ(1, g.SpecifyText(var("ExtraData.201"), "by temperature"));
    EXPECT_EQ("by temperature", g.Configuration(3).notes);
    EXPECT_NE("by temperature", g.Configuration(0).notes);
    // A new configuration takes the streams in force, all shown, and is selected.
    g.Specify(row("Switch.220", 1), 0.0);
    EXPECT_EQ(1, g.SpecifyText(var("ExtraData.200"), "Mine"));
    EXPECT_EQ(7, g.NumberOfConfigurations());
    EXPECT_EQ(1.0, g.Value(var("Switch.240")));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C", "D", "E"}), order(g));
    EXPECT_EQ(1.0, g.Value(row("Switch.220", 1)));
    EXPECT_EQ("<OutOfRange>", g.TextValue(row("StreamsOrder.200", 5)));
    EXPECT_EQ(0.0, g.Value(row("Switch.230", -1)));
    EXPECT_EQ(1, g.SpecifyText(var("ExtraData.202"), "Ours"));
    EXPECT_EQ("Ours", g.Configuration(6).name);
    EXPECT_EQ(0, g.SpecifyText(var("ExtraData.202"), "Preset 1: (Temperature, No Util.)"));  // taken
    // Deleting: never a preset (refused, answering 0); a user configuration goes and the one
    // before it is selected.
    g.SelectConfiguration(2);
    EXPECT_EQ(0, g.Message("DeleteConfiguration"));
    EXPECT_EQ(1u, errors("DeleteConfigError"));
    EXPECT_EQ(7, g.NumberOfConfigurations());
    g.SelectConfiguration(6);
    EXPECT_EQ(1, g.Message("DeleteConfiguration"));
    EXPECT_EQ(6, g.NumberOfConfigurations());
    EXPECT_EQ(5, g.SelectedPreset());
}

TEST(ViewGridForm, OrderWordsExchangeLines) {
    struct Case {
        const char* word;
        int from;
        std::vector<std::string> expected;
        int index;
    };
    const Case cases[] = {
        {"TopOfList", 3, {"D", "B", "C", "A", "E"}, 0},
        {"StepUp", 0, {"A", "B", "C", "D", "E"}, 0},
        {"StepUp", 2, {"A", "C", "B", "D", "E"}, 1},
        {"StepDown", 1, {"A", "C", "B", "D", "E"}, 2},
        {"BttmOfList", 4, {"A", "B", "C", "D", "E"}, 4},
        {"BttmOfList", 1, {"A", "E", "C", "D", "B"}, 4},
    };
    for (const Case& c : cases) {
        FiveLines f;
        f.g.Specify(var("YIndex.200"), c.from);
        EXPECT_EQ(1, f.g.Message(c.word)) << c.word;
        EXPECT_EQ(c.expected, order(f.g)) << c.word << " " << c.from;
        EXPECT_EQ(c.index, f.g.Value(var("YIndex.200"))) << c.word;
    }
    FiveLines f;
    f.g.Message("HideAll");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0.0, f.g.Value(row("Switch.220", i)));
    f.g.Message("ShowAll");
    EXPECT_EQ(1.0, f.g.Value(row("Switch.230", 4)));
}

TEST(ViewGridForm, StreamNoticesReachEveryConfiguration) {
    FiveLines f;
    f.g.NotifyChange(32, "B", const_cast<char*>("Bee"));
    EXPECT_EQ((std::vector<std::string>{"A", "Bee", "C", "D", "E"}), order(f.g));
    f.g.NotifyChange(31, "C", nullptr);
    EXPECT_EQ((std::vector<std::string>{"A", "Bee", "D", "E"}), order(f.g));
    EXPECT_TRUE(f.g.BranchRemoved());
    for (int i = 0; i < f.g.NumberOfConfigurations(); ++i) {
        EXPECT_TRUE(f.g.Configuration(i).FindStream("Bee")) << i;
        EXPECT_FALSE(f.g.Configuration(i).FindStream("C")) << i;
    }
    EXPECT_FALSE(f.g.LayoutValid());
}

TEST(ViewGridForm, ADesignGoingFirstLeavesTheDiagramEmpty) {
    auto n = std::make_unique<design_test::OperatedNetwork>();
    HENDiagram g;
    g.SetDesign(n->d);
    ASSERT_FALSE(g.Items().empty());
    n.reset();  // the scenario and its design go
    EXPECT_EQ(nullptr, g.GetDesign());
    EXPECT_TRUE(g.Items().empty());
    EXPECT_FALSE(g.PictureSVG().empty());
}

TEST(ViewGridForm, MenuNumbersFollowTheConfigurations) {
    FiveLines f;
    for (const char* name : {"U1", "U2", "U3", "U4"}) f.g.SpecifyText(var("ExtraData.200"), name);
    ASSERT_EQ(10, f.g.NumberOfConfigurations());
    MenuModel menu;
    f.g.PrepareForPlaneInspection({0, 0}, menu);
    // Edit of user configuration 7: 5621 + 10 + 7.
    EXPECT_TRUE(menu.Contains(5638));
    // Clone items lie past the loop and path numbers: 5621 + 20 + i would be loop numbers.
    EXPECT_TRUE(menu.Contains(6248 + 9));
    EXPECT_FALSE(menu.Contains(5621 + 20 + 9));
    EXPECT_FALSE(menu.Contains(6248 + 10));
    EXPECT_EQ(1, f.g.ProcessInspectionCommand(5621 + 8));
    EXPECT_EQ("U3", f.g.SelectedName());
    EXPECT_EQ(1, f.g.ProcessInspectionCommand(5638));
    EXPECT_EQ("U2", f.g.SelectedName());
    EXPECT_EQ(1.0, f.g.Value(var("OptionArray.200")));
}

// ---- the record ----

HENDiagram& withUserConfiguration(HENDiagram& g) {
    for (const char* name : {"H1", "C1"}) g.NotifyChange(30, name, nullptr);
    g.SpecifyText(var("ExtraData.200"), "Mine");
    g.Specify(row("Switch.220", 0), 0.0);
    g.Specify(var("Enum.201"), 3.0);
    g.Specify(var("Switch.202"), 1.0);
    g.SpecifyText(var("ExtraData.201"), "my notes");
    return g;
}

TEST(ViewGridRecord, TheWholeRecordRoundTrips) {
    HENDiagram from, into;
    withUserConfiguration(from);
    ASSERT_TRUE(RoundTrips(from, into));
    EXPECT_EQ(7, into.NumberOfConfigurations());
    EXPECT_EQ("Mine", into.SelectedName());
    EXPECT_TRUE(into.UserConfigurationSelected());
    EXPECT_EQ("my notes", into.Configuration(6).notes);
    EXPECT_FALSE(into.Configuration(6).streams[0].visible);
    EXPECT_EQ(3, into.AnnotationChoice(2));
    EXPECT_TRUE(into.showPinch);
}

TEST(ViewGridRecord, AnOlderRecordComesIntoTheStreamOrder) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    out.WriteChar(1), out.WriteChar(0), out.WriteChar(0), out.WriteChar(1);
    out.WriteInt(6);
    for (int k = 0; k < 6; ++k) out.WriteInt(k == 2 ? 3 : 1);
    // A version-1 configuration record is its streams alone.
    out.WriteInt(2);
    out.WriteCPString("Z1"), out.WriteChar(1), out.WriteChar(1);
    out.WriteCPString("A2"), out.WriteChar(0), out.WriteChar(1);
    HENDiagram g;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(g.Recall(in, 1));
    EXPECT_EQ(0, g.SelectedPreset());
    EXPECT_TRUE(g.reverseDirection);
    EXPECT_EQ(3, g.AnnotationChoice(2));
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(g.Configuration(i).FindStream("Z1")) << i;
        EXPECT_TRUE(g.Configuration(i).FindStream("A2")) << i;
    }
    EXPECT_FALSE(g.Configuration(0).FindStream("A2")->visible);
}

TEST(ViewGridRecord, DamageFailsAndLeavesTheDiagramAsItWas) {
    HENDiagram from;
    const Bytes full = StoredBytes(withUserConfiguration(from));
    ASSERT_FALSE(full.empty());
    HENDiagram kept;
    kept.SelectConfiguration(1);
    const Bytes before = StoredBytes(kept);
    for (std::size_t cut = 0; cut + 1 < full.size(); ++cut) {
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(Bytes(full.begin(), full.begin() + static_cast<long>(cut)));
        EXPECT_FALSE(kept.Recall(in)) << cut;
        EXPECT_EQ(before, StoredBytes(kept)) << cut;
    }
    // Counts beyond what any writer makes are refused: annotation choices, configurations.
    for (const auto& [choices, configurations] : {std::pair{65, 0}, std::pair{6, -1}, std::pair{6, 1 << 30}}) {
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        for (int k = 0; k < 4; ++k) out.WriteChar(0);
        out.WriteInt(choices);
        for (int k = 0; k < choices; ++k) out.WriteInt(1);
        out.WriteInt(configurations);
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
        EXPECT_FALSE(kept.Recall(in)) << choices << " " << configurations;
        EXPECT_EQ(before, StoredBytes(kept));
    }
}

}  // namespace

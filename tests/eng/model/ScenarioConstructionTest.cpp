// Copy and append of scenarios, the clone selection, retrofit copies and destruction.
#include "ScenarioTestDoubles.h"

#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/CloneSelection.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

using namespace scenario_test;

namespace {

ScenarioServices servicesOf(const Fixture& f) {
    ScenarioServices s;
    s.builders = f.builders;
    s.designs = f.designs;
    return s;
}

}  // namespace

TEST(ScenarioCopy, CopiesEveryStreamOfALargeSource) {
    Fixture f;
    for (int i = 0; i < 300; ++i) ASSERT_EQ(f.scenario->AddStream("S" + std::to_string(i), 0), 1);
    CPIScenario copy(nullptr, *f.scenario, nullptr, servicesOf(f));
    EXPECT_EQ(copy.GetNumberOfProcessStreams(), 300);
    EXPECT_NE(copy.FindStream("S299"), nullptr);
}

TEST(ScenarioCopy, CopyWithoutSelectionTakesStreamsManagerAndCostModelsButNoDesigns) {
    Fixture f;
    f.AddDesign("Design 1");
    f.scenario->SetNotes("source notes");
    f.scenario->SetDTmin(14.0);
    f.scenario->SetLevelSetting3(2);
    f.scenario->SetMinimumFFactor(0.75);
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    f.scenario->AddStream("Cooling Water", 1);
    f.scenario->AddEconomicData("A");
    f.scenario->SetMatchCostModelName("H1", "C1", "A");
    f.scenario->FindStream("H1")->LinkStream("C1");
    f.scenario->SetName("Base");

    CPIScenario copy(nullptr, *f.scenario, nullptr, servicesOf(f));
    EXPECT_EQ(copy.GetName(), nullptr);
    EXPECT_STREQ(copy.GetNotes(), "source notes");
    EXPECT_DOUBLE_EQ(copy.GetDTmin(), 14.0);
    EXPECT_EQ(copy.GetLevelSetting3(), 2);
    EXPECT_DOUBLE_EQ(copy.GetMinimumFFactor(), 0.75);
    EXPECT_EQ(copy.GetNumberOfProcessStreams(), 2);
    EXPECT_EQ(copy.GetNumberOfUtilityStreams(), 1);
    EXPECT_EQ(copy.GetNumberOfDesigns(), 0);
    EXPECT_STREQ(copy.GetMatchCostModelName("H1", "C1"), "A");
    EXPECT_EQ(copy.GetNumberOfEconomicData(), 2);
    EXPECT_TRUE(copy.FindStream("H1")->IsLinkedTo("C1"));
    // The counter goes on from the source's, so copied streams get new numbers.
    EXPECT_EQ(copy.GetStreamCounter(), 6);
    EXPECT_EQ(copy.FindStream("H1")->GetStoredInt(), 4);
    EXPECT_EQ(copy.FindStream("Cooling Water")->GetStoredInt(), 6);
    // The link copied with H1 is counted once, and no batch is left open.
    EXPECT_EQ(copy.GetNumberOfForbiddenMatches(), f.scenario->GetNumberOfForbiddenMatches());
    EXPECT_EQ(copy.GetCalculationEnableCount(), 1);
    EXPECT_EQ(copy.GetNumberOfStreamsOfKind(0, 0), 1);
    ASSERT_NE(copy.GetSegmentPool(), nullptr);
    EXPECT_EQ(copy.GetSegmentPool()->Length(), 3u);
    double t = 0.0;
    copy.FindStream("H1")->GetValue("Temperature", t, 0);
    EXPECT_DOUBLE_EQ(t, 150.0);
}

TEST(ScenarioCopy, AppendNamesStreamsAfterTheirSourceAndNotesEachAppend) {
    Fixture f;
    f.scenario->SetName("Base");
    f.scenario->SetNotes("base notes");
    f.AddProcessStream("H1", 150, 50, 2);
    Fixture g;
    g.scenario->SetNotes("mine");
    CloneSelection selection = CloneSelection::SelectAll(1, 0, 0);
    selection.Set(CloneSelection::EntryKeepStreamNames, 0, 0);
    g.scenario->AppendFrom(nullptr, *f.scenario, selection);
    EXPECT_NE(g.scenario->FindStream("H1 from Base"), nullptr);
    EXPECT_STREQ(g.scenario->GetNotes(), "mine\n\nAppended from: Base\nbase notes");
    // The same append again meets its own copies: with no stream to bring it fails, with no
    // second note.
    g.Clear();
    EXPECT_FALSE(g.scenario->AppendFrom(nullptr, *f.scenario, selection));
    EXPECT_TRUE(g.view.Saw(60, "CannotCloneStreamErrorMsg\x1f\x1fH1 from Base"));
    EXPECT_FALSE(g.view.Saw(60, "SameStreamErrorMsg"));
    EXPECT_STREQ(g.scenario->GetNotes(), "mine\n\nAppended from: Base\nbase notes");
    EXPECT_EQ(g.scenario->GetNumberOfProcessStreams(), 1);
}

// A stream whose copy would meet a name in use here (a stream's, a default utility's) stays
// behind with a word, and the append goes on with the next; one that could bring none of its
// streams fails before the notes, the settings or any stream change.
namespace {
struct AppendCase {
    const char* label;
    const char* stream;   // a process stream the target holds, or null
    const char* utility;  // a default utility of the target's own, or null
    int added;            // streams the append brings
    const char* left;     // the names of those it leaves behind, or null
    int more = 0;         // further streams of the target's own ("T1", "T2", ...)
};
void PrintTo(const AppendCase& c, std::ostream* os) { *os << c.label; }
}  // namespace

class ScenarioAppend : public ::testing::TestWithParam<AppendCase> {};

TEST_P(ScenarioAppend, LeavesBehindEachStreamWhoseNameIsTaken) {
    const AppendCase& c = GetParam();
    Fixture f;
    f.scenario->SetName("Base");
    f.scenario->SetNotes("base notes");
    f.scenario->SetDTmin(14.0);
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    Fixture g;
    g.scenario->SetName("Mine");
    g.scenario->SetNotes("mine");
    if (c.stream) g.AddProcessStream(c.stream, 100, 60, 1);
    for (int i = 1; i <= c.more; ++i) g.AddProcessStream("T" + std::to_string(i), 90, 50, 1);
    IDefaultUtilityManager* manager = nullptr;
    ASSERT_EQ(g.scenario->GetDefaultUtilityManager(manager), 1);
    if (c.utility) {
        ASSERT_EQ(manager->AddDefaultUtility(c.utility), 1);
    }
    const int before = g.scenario->GetNumberOfProcessStreams();
    const double dtmin = g.scenario->GetDTmin();
    g.Clear();
    CloneSelection selection = CloneSelection::SelectAll(2, 0, 0);
    selection.Set(CloneSelection::EntryKeepStreamNames, 0, 1);
    const bool appended = c.added > 0;
    EXPECT_EQ(g.scenario->AppendFrom(nullptr, *f.scenario, selection), appended);
    // A stream left behind is noted (61) beside the work done; an append with none to bring fails (60).
    // Either names this scenario and the streams left behind.
    const std::string left = std::string("CannotCloneStreamErrorMsg\x1f") + "Mine\x1f" + (c.left ? c.left : "");
    EXPECT_EQ(g.view.Saw(61, left), c.left && c.added > 0);
    EXPECT_EQ(g.view.Saw(60, left), c.added == 0);
    EXPECT_EQ(g.view.Count(61), c.left && c.added > 0 ? 1 : 0);
    EXPECT_FALSE(g.view.Saw(60, "SameStreamErrorMsg"));
    EXPECT_EQ(g.scenario->GetNumberOfProcessStreams(), before + c.added);
    EXPECT_STREQ(g.scenario->GetNotes(), appended ? "mine\n\nAppended from: Base\nbase notes" : "mine");
    EXPECT_DOUBLE_EQ(g.scenario->GetDTmin(), appended ? 14.0 : dtmin);
    // Each stream keeps a number of its own, which retrofit takes for its identity: those that came
    // along, and one added afterwards.
    ASSERT_EQ(g.scenario->AddStream("New", 0), 1);
    std::set<int> numbers;
    IHeatIntegrationStream* held = nullptr;
    for (int i = 0; g.scenario->GetStream(i, held); ++i)
        EXPECT_TRUE(numbers.insert(held->GetStoredInt()).second) << held->GetName() << " " << held->GetStoredInt();
    // What came along is the source's stream, and what stayed is the target's own.
    if (appended && c.stream && std::string(c.stream) == "C1") {
        double t = 0.0;
        g.scenario->FindStream("C1")->GetValue("Temperature", t, 0);
        EXPECT_DOUBLE_EQ(t, 100.0);
        g.scenario->FindStream("H1")->GetValue("Temperature", t, 0);
        EXPECT_DOUBLE_EQ(t, 150.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ScenarioAppend,
                         ::testing::Values(AppendCase{"a stream of the name", "C1", nullptr, 1, "C1"},
                                           AppendCase{"a default utility of the name", nullptr, "C1", 1, "C1"},
                                           AppendCase{"every name taken", "H1", "C1", 0, "H1, C1"},
                                           AppendCase{"free names", "H2", "Steam 9", 2, nullptr},
                                           AppendCase{"a target of more streams", "H2", nullptr, 2, nullptr, 3}));

TEST(ScenarioDesigns, DictionaryOperationsKeepNamesUnique) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    FakeDesign* d = f.AddDesign("Design 1");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->streams, std::vector<std::string>{"H1"});
    EXPECT_EQ(f.scenario->AddDesign("Design 1"), 0);
    EXPECT_EQ(f.scenario->GetDesignCounter(), 1);
    EXPECT_EQ(f.scenario->CloneDesign("Design 2", d), 1);
    FakeDesign* clone = f.designs->made.back();
    EXPECT_EQ(clone->changeLog, std::vector<std::string>{"Cloned from Design 1"});
    EXPECT_EQ(f.scenario->RenameDesign("Design 2", "Design 1"), 0);
    EXPECT_EQ(f.scenario->RenameDesign("Nope", "X"), 0);
    f.Clear();
    EXPECT_EQ(f.scenario->RenameDesign("Design 2", "Copy"), 1);
    EXPECT_EQ(f.view.Codes(), std::vector<int>{2});
    EXPECT_STREQ(f.scenario->GetDesignName(1), "Copy");
    EXPECT_EQ(f.scenario->DeleteDesign("Nope"), 0);
    EXPECT_EQ(f.scenario->DeleteDesign("Copy"), 1);
    EXPECT_EQ(f.scenario->GetNumberOfDesigns(), 1);
    // A new stream reaches every design.
    f.scenario->AddStream("C1", 0);
    EXPECT_EQ(d->streams, (std::vector<std::string>{"H1", "C1"}));
}

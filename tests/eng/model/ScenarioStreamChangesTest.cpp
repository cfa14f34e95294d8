// Changes to a scenario's streams and settings that are easy to lose: a rename reaches the units
// target's sub-networks at once, a value stored while the stream fills its default coefficients
// is answered and announced as stored, a utility whose default asks for an empty film coefficient
// keeps its own, and the extraction settings read from a case file go back into it when the case
// is saved again.
#include "OldScenarioRecordWriter.h"

#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Messages.h"
#include "osmeri/CPValue.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

using namespace scenario_record_test;

namespace {

// How often each name stands in the units target's sub-networks.
std::map<std::string, int> UnitsTargetNames(const CPIScenario& s) {
    std::map<std::string, int> names;
    for (int g = 0; g < s.GetNumberOfUnitsTargetGroups(); ++g)
        for (int e = 0; e < s.GetNumberOfUnitsTargetEntries(g); ++e)
            for (int n = 0; n < s.GetNumberOfUnitsTargetEntryNames(g, e); ++n)
                if (const char* name = s.GetUnitsTargetEntryName(n, e, g)) ++names[name];
    return names;
}

}  // namespace

TEST(ScenarioStreamChanges, ARenameReachesTheUnitsTargetAtOnce) {
    LiveScenario live;
    CPIScenario& s = live.scenario;
    // Two pairs that balance each other: the search finds the second pair a sub-network of its
    // own (the first is what remains).
    s.SuspendCalculations();
    s.SetDTmin(4.0);
    AddStream(s, "H1", 0, {{145.0, 95.0, 2.0}}, 0.2);
    AddStream(s, "C1", 0, {{40.0, 90.0, 2.0}}, 0.2);
    AddStream(s, "H2", 0, {{245.0, 195.0, 4.0}}, 0.2);
    AddStream(s, "C2", 0, {{140.0, 190.0, 4.0}}, 0.2);
    s.ResumeCalculations(true);
    s.SetUnitsTargetMILPFlag(1);
    s.CalculateMinimumUnitsTarget();
    const std::map<std::string, int> before = UnitsTargetNames(s);
    ASSERT_EQ(before, (std::map<std::string, int>{{"C2", 1}, {"H2", 1}}));

    ASSERT_EQ(s.RenameStream("H2", "Feed"), 1);
    const std::map<std::string, int> expected{{"C2", 1}, {"Feed", 1}};
    EXPECT_EQ(UnitsTargetNames(s), expected);
}

// A stream entered in two segments the way the host's stream-table reader enters it: the segment
// first, then the points and flows. The supply temperature, the first value stored after the
// insert, also fills the new segment's clean coefficient and fouling. It is stored, and answered
// and announced so: a 0 ("refused") would stop the reader on a value that was taken.
TEST(ScenarioStreamChanges, AValueStoredWhileDefaultsAreFilledIsAnsweredAsStored) {
    LiveScenario live;
    CPIScenario& s = live.scenario;
    AddStream(s, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
    ASSERT_EQ(s.AddStream("C1", 0), 1);
    CPIHeatIntegrationStream* c1 = s.FindStream("C1");
    ASSERT_EQ(c1->InsertSegment(0), 1);
    double clean = 0.0;
    c1->GetValue("CHTCoeff", clean, 1);
    ASSERT_EQ(clean, -32767.0);

    scenario_test::RecordingReceiver view;
    c1->AddNotificationReceiver(&view);
    EXPECT_EQ(c1->SetValue("Temperature", 20.0, 0), 1);
    EXPECT_EQ(view.Count(37), 1);
    c1->RemoveNotificationReceiver(&view);
    c1->GetValue("CHTCoeff", clean, 1);
    EXPECT_NE(clean, -32767.0);
    EXPECT_EQ(c1->SetValue("Temperature", 80.0, 1), 1);
    EXPECT_EQ(c1->SetValue("Temperature", 135.0, 2), 1);
    EXPECT_EQ(c1->SetValue("HeatCapacityFlowrate", 2.0, 0), 1);
    EXPECT_EQ(c1->SetValue("HeatCapacityFlowrate", 2.0, 1), 1);
    EXPECT_DOUBLE_EQ(s.GetUtilityTarget(0), 0.0);
    EXPECT_DOUBLE_EQ(s.GetUtilityTarget(1), 100.0);
}

// The stream never keeps an empty clean coefficient (it fills its default at once), so a default
// utility that asks for one is told so and the utility keeps the coefficient of its default.
TEST(ScenarioStreamChanges, AnEmptyFilmCoefficientThatCannotBeKeptIsReportedAndTheOldOneKept) {
    LiveScenario live;
    CPIScenario& s = live.scenario;
    DefaultManager& defaults = s.GetOwnDefaultManager();
    ASSERT_EQ(defaults.SetValue("LP Steam", DUP_EmptyFilmCoefficient, 1.0), 1);
    ErrorJournal::Instance().Clear();
    ASSERT_EQ(s.AddStream("LP Steam", 1), 1);
    double clean = 0.0;
    ASSERT_EQ(s.FindStream("LP Steam")->GetValue("CHTCoeff", clean, 0), 1);
    EXPECT_DOUBLE_EQ(clean, defaults.GetValue("LP Steam", DUP_FilmCoefficient));
    const std::vector<Text> keys = ErrorJournal::Instance().Keys();
    EXPECT_NE(std::find(keys.begin(), keys.end(), Text("EmptyHTCError")), keys.end());
    ErrorJournal::Instance().Clear();
}

TEST(ScenarioStreamChanges, TheExtractionSettingsReadFromACaseGoBackWhenItIsSavedAgain) {
    OldScenarioRecord r;  // the writer of version 16 with an extraction settings tree
    r.hasStreams = false;
    LiveScenario read;
    ASSERT_TRUE(RecallScenario(read.scenario, WriteOldScenarioRecord(r)));
    const CPValue* settings = read.scenario.GetStoredExtractionSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->GetName(), "DataExtraction");

    LiveScenario again;
    ASSERT_TRUE(RecallScenario(again.scenario, StoreScenario(read.scenario)));
    ASSERT_NE(again.scenario.GetStoredExtractionSettings(), nullptr);
    EXPECT_TRUE(*again.scenario.GetStoredExtractionSettings() == *settings);
}

namespace {

// A utility's load kept while its segments are made again from a new supply temperature, in a
// scenario whose utility loads are typed: a load stays as it was, and no load stays none.
struct KeptLoad {
    const char* name;
    double set;       // the load given before the change, or a negative number for none
    double expected;  // the load after it, in both views
};
void PrintTo(const KeptLoad& c, std::ostream* out) { *out << c.name; }

class UtilityLoadOverNewSegments : public ::testing::TestWithParam<KeptLoad> {};

// H1 and C1 with one default utility, its load to be typed by hand.
CPIHeatIntegrationStream* UtilityOfTypedLoads(CPIScenario& s, const char* utility) {
    AddStream(s, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
    AddStream(s, "C1", 0, {{20.0, 135.0, 2.0}}, 0.2);
    if (s.AddStream(utility, 1) != 1 || s.SetUtilityAssignmentMethod(UtilityPlacement::UserSupplied) != 1) return nullptr;
    return s.FindStream(utility);
}

TEST_P(UtilityLoadOverNewSegments, TheLoadGivenStaysAndNoneStaysNone) {
    const KeptLoad& c = GetParam();
    LiveScenario live;
    CPIScenario& s = live.scenario;
    CPIHeatIntegrationStream* steam = UtilityOfTypedLoads(s, "HP Steam");
    ASSERT_NE(steam, nullptr);
    if (c.set >= 0.0) {
        steam->SetHeatLoad(c.set, 0);
        steam->SetHeatLoad(c.set, 1);
    }
    ASSERT_EQ(steam->SetValue("Temperature", 260.0, 0), 1);
    EXPECT_DOUBLE_EQ(steam->GetHeatLoad(0), c.expected);
    EXPECT_DOUBLE_EQ(steam->GetHeatLoad(1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Loads, UtilityLoadOverNewSegments,
                         ::testing::Values(KeptLoad{"Typed", 25.0, 25.0}, KeptLoad{"None", -1.0, 0.0}),
                         [](const ::testing::TestParamInfo<KeptLoad>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A utility split into two segments in its segment table and joined back, in a scenario whose
// utility loads are typed: the segment inserted has no end yet, so for a moment the utility is
// incomplete (no end, no specific heat) and has no segments at all; the load typed (65 kW of Cooling Water) is the user's
// all the same and comes back over the new segments, and over the one segment joined again.
TEST(UtilityLoadOverNewSegments, ASplitAndAJoinKeepTheTypedLoad) {
    LiveScenario live;
    CPIHeatIntegrationStream* water = UtilityOfTypedLoads(live.scenario, "Cooling Water");
    ASSERT_NE(water, nullptr);
    water->SetHeatLoad(65.0, 0);
    water->SetHeatLoad(65.0, 1);
    ASSERT_DOUBLE_EQ(water->GetHeatLoad(0), 65.0);

    ASSERT_EQ(water->InsertSegment(1), 1);
    EXPECT_FALSE(water->IsComplete());
    water->GetHeatLoad(0);  // a readout while the utility has no segments
    ASSERT_EQ(water->SetValue("Temperature", 22.0, 1), 1);
    for (int segment : {0, 1}) ASSERT_EQ(water->SetValue("SpecificHeat", 4.183, segment), 1);
    ASSERT_TRUE(water->IsComplete());
    EXPECT_EQ(water->GetNumberOfSegments(), 2);
    EXPECT_DOUBLE_EQ(water->GetHeatLoad(0), 65.0);

    ASSERT_EQ(water->DeleteSegment(1), 1);
    EXPECT_EQ(water->GetNumberOfSegments(), 1);
    EXPECT_DOUBLE_EQ(water->GetHeatLoad(0), 65.0);
}

}  // namespace

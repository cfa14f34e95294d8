// The area-target record: the method switch with forbidden matches, the option kept by the
// record and its LP result, what the scenario's area queries answer, the record in the case file,
// and whole scenarios recalculated by the production builders.
#include "AreaTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/ScenarioServices.h"
#include "eng/targeting/AreaTarget.h"
#include "lumeth/Framework.h"

#include <gtest/gtest.h>

#include <cmath>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

// Two hot and two cold streams, all CP 1 and h 1, running 20 apart: 200 kW over U = 0.5 and
// 20 degrees, 20 m2 of countercurrent area.
struct PairedStreams {
    PairedStreams() {
        s.Add("H1", 150, 50, 1.0, 1.0);
        s.Add("H2", 150, 50, 1.0, 1.0);
        s.Add("C1", 30, 130, 1.0, 1.0);
        s.Add("C2", 30, 130, 1.0, 1.0);
    }
    StreamScenario s;
};

// A scenario recalculated by the production builders.
struct LiveScenario {
    LiveScenario() : scenario(std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices())) {}
    CPIHeatIntegrationStream* Add(const CPString& name, double supply, double target, double cp, double h = 0.0) {
        if (!scenario->AddStream(name, 0)) return nullptr;
        CPIHeatIntegrationStream* s = scenario->FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HeatCapacityFlowrate", cp, 0);
        if (h > 0.0) s->SetValue("HTCoeff", h, 0);
        return s;
    }
    std::unique_ptr<CPIScenario> scenario;
};

}  // namespace

// ---------------------------------------------------------------- the method switch

TEST(AreaTargetMethod, AForbiddenMatchSwitchesToTheLPAndTheBathResultGoesAtTheNextUpdate) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();

    AreaTarget* record = UpdateAreaTarget(nullptr, c.in, 35);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_EQ(record->nOption, 1);
    ASSERT_TRUE(record->pBath);
    EXPECT_FALSE(record->pLP);
    EXPECT_NEAR(AreaTargetValue(record, 0), 20.0, 1e-9);

    c.in.forbiddenMatches = 1;
    EXPECT_EQ(UpdateAreaTarget(record, c.in, 35), record);
    EXPECT_EQ(record->nMethod, AreaTarget::LinearProgramming);
    ASSERT_TRUE(record->pLP);
    EXPECT_TRUE(record->pBath);  // the method in use before keeps its result until the next update
    EXPECT_EQ(record->pLP->GetOption(), 1);
    EXPECT_GT(AreaTargetValue(record, 1), 20.0);
    EXPECT_EQ(AreaTargetValue(record, 0), 0.0);  // option 1 computes shell-and-tube only

    UpdateAreaTarget(record, c.in, 36);
    EXPECT_FALSE(record->pBath);
    EXPECT_TRUE(record->pLP);

    // Allowing every match again: back to the Bath formula; the LP result goes one update later.
    c.in.forbiddenMatches = 0;
    UpdateAreaTarget(record, c.in, 36);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_TRUE(record->pBath);
    EXPECT_TRUE(record->pLP);
    UpdateAreaTarget(record, c.in, 36);
    EXPECT_FALSE(record->pLP);

    EXPECT_EQ(UpdateAreaTarget(record, c.in, 3), nullptr);
}

TEST(AreaTargetMethod, TheLPResultTakesTheRecordsOption) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();
    c.in.forbiddenMatches = 1;
    std::unique_ptr<AreaTarget> record(new AreaTarget);
    record->nOption = AreaLP::CountercurrentOnly;
    UpdateAreaTarget(record.get(), c.in, 36);
    ASSERT_TRUE(record->pLP);
    EXPECT_EQ(record->pLP->GetOption(), AreaLP::CountercurrentOnly);
    EXPECT_NEAR(AreaTargetValue(record.get(), 0), 20.0, 1e-6);
    EXPECT_EQ(AreaTargetValue(record.get(), 1), 0.0);

    // A result read with another option takes the record's and is computed again.
    record->pLP->SetOption(AreaLP::ShellAndTubeOnly);
    record->nOption = AreaLP::Both;
    UpdateAreaTarget(record.get(), c.in, 16);
    EXPECT_EQ(record->pLP->GetOption(), AreaLP::Both);
    EXPECT_NEAR(AreaTargetValue(record.get(), 0), 20.0, 1e-6);
    EXPECT_GT(AreaTargetValue(record.get(), 1), 20.0);

    SetAreaTargetOption(record.get(), 0);
    EXPECT_EQ(record->nOption, 0);
    EXPECT_EQ(AreaTargetOption(record.get()), 0);
    ClearAreaTarget(record.get());
    EXPECT_FALSE(record->pLP);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_EQ(AreaTargetOption(record.get()), 0);
}

// ---------------------------------------------------------------- the queries

struct SelectorCase {
    int selector;
    int position;  // interval value, -1: empty
};

class AreaTargetSelectors : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(AreaTargetSelectors, ReadTheBathIntervals) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    std::unique_ptr<AreaTarget> record(UpdateAreaTarget(nullptr, c.in, 36));
    ASSERT_EQ(AreaTargetMatchCount(record.get()), 2);
    for (int index = 0; index < 2; ++index) {
        const BathInterval& point = (*record->pBath->GetIntervals())[static_cast<std::size_t>(index)];
        const double expected = GetParam().position < 0 ? -32767.0 : point.Value(GetParam().position);
        EXPECT_EQ(AreaTargetMatchValue(record.get(), GetParam().selector, index), expected);
    }
    EXPECT_EQ(AreaTargetMatchValue(record.get(), GetParam().selector, 2), -32767.0);
    EXPECT_EQ(AreaTargetMatchValue(record.get(), GetParam().selector, -1), -32767.0);
    EXPECT_EQ(AreaTargetMatchValue(nullptr, GetParam().selector, 0), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Selectors, AreaTargetSelectors,
                         ::testing::Values(SelectorCase{0, 0}, SelectorCase{1, 1}, SelectorCase{2, 2},
                                           SelectorCase{3, 3}, SelectorCase{4, 10}, SelectorCase{5, 11},
                                           SelectorCase{6, 5}, SelectorCase{7, 4}, SelectorCase{8, -1},
                                           SelectorCase{11, 8}, SelectorCase{12, -1}, SelectorCase{13, 9},
                                           SelectorCase{14, 6}, SelectorCase{15, 7}, SelectorCase{16, -1}));

TEST(AreaTargetQueries, NeutralWithoutARecordAndFromTheMethodInUse) {
    EXPECT_EQ(AreaTargetValue(nullptr, 0), 0.0);
    EXPECT_EQ(AreaTargetShells(nullptr), 0);
    EXPECT_EQ(AreaTargetMatchCount(nullptr), 0);
    EXPECT_EQ(AreaTargetMethod(nullptr), 0);
    EXPECT_EQ(AreaTargetOption(nullptr), 1);

    AreaTarget record;
    record.pLP = std::make_unique<AreaLP>();
    record.pLP->SetStoredValues(11.0, 12.0, 2.6, 10.0, 5, 2, 0.8);
    record.pBath = std::make_unique<BathAreaTarget>();
    EXPECT_EQ(AreaTargetValue(&record, 0), 0.0);  // method 0: the (empty) Bath result
    record.nMethod = AreaTarget::LinearProgramming;
    EXPECT_EQ(AreaTargetValue(&record, 0), 11.0);
    EXPECT_EQ(AreaTargetValue(&record, 1), 12.0);
    EXPECT_EQ(AreaTargetValue(&record, 2), 0.0);
    EXPECT_EQ(AreaTargetShells(&record), 3);
    record.pLP->SetStoredValues(11.0, 12.0, -4.0, 10.0, 5, 2, 0.8);
    EXPECT_EQ(AreaTargetShells(&record), 0);
    EXPECT_EQ(AreaTargetOption(&record), 2);  // the LP result's option
    record.nMethod = 7;
    EXPECT_EQ(AreaTargetValue(&record, 0), 0.0);
}

// ---------------------------------------------------------------- the record

TEST(AreaTargetRecord, RoundTripsBothResultsAndFailsOnEveryCut) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();
    c.in.minimumFFactor = 0.75;
    std::unique_ptr<AreaTarget> record(UpdateAreaTarget(nullptr, c.in, 36));
    c.in.forbiddenMatches = 1;
    record->nOption = AreaLP::Both;
    UpdateAreaTarget(record.get(), c.in, 36);  // both results present, method 1
    ASSERT_TRUE(record->pBath && record->pLP);

    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreAreaTarget(*record, w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    AreaTarget read;
    ASSERT_TRUE(RecallAreaTarget(read, r));
    EXPECT_EQ(read.nMethod, 1);
    EXPECT_EQ(read.nOption, AreaLP::Both);
    ASSERT_TRUE(read.pBath && read.pLP);
    EXPECT_EQ(read.pBath->GetCountercurrentArea(), record->pBath->GetCountercurrentArea());
    EXPECT_EQ(read.pBath->GetNumberOfIntervals(), record->pBath->GetNumberOfIntervals());
    EXPECT_EQ(read.pLP->GetCountercurrentArea(), record->pLP->GetCountercurrentArea());
    EXPECT_EQ(read.pLP->GetShellAndTubeArea(), record->pLP->GetShellAndTubeArea());
    EXPECT_EQ(read.pLP->GetShells(), record->pLP->GetShells());
    EXPECT_EQ(read.pLP->GetDTmin(), 10.0);
    EXPECT_EQ(read.pLP->GetIntervalCount(), record->pLP->GetIntervalCount());
    EXPECT_EQ(read.pLP->GetOption(), AreaLP::Both);
    EXPECT_EQ(read.pLP->GetMinimumFFactor(), 0.75);
    // A recalled LP result has no intervals and no model; the next update builds them.
    EXPECT_FALSE(read.pLP->HasModel());
    UpdateAreaTarget(&read, c.in, 18);
    EXPECT_TRUE(read.pLP->HasModel());
    EXPECT_NEAR(read.pLP->GetCountercurrentArea(), record->pLP->GetCountercurrentArea(), 1e-9);

    const std::vector<std::uint8_t>& bytes = w.Bytes();
    for (std::size_t cut = LurmetBinaryFile::MagicSize; cut < bytes.size(); cut += 11) {
        LurmetBinaryFile shortFile = LurmetBinaryFile::ForReading(
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
        AreaTarget damaged;
        EXPECT_FALSE(RecallAreaTarget(damaged, shortFile)) << cut;
    }
}

// ---------------------------------------------------------------- whole scenarios

struct LiveCase {
    double h;  // 0: the stream's default coefficient
    double area;
};

class AreaTargetTwoStreams : public ::testing::TestWithParam<LiveCase> {};

// Hot 150 -> 50 and cold 30 -> 130, CP 2, DTmin 10: no utility is needed, and the Bath area
// is (200/h + 200/h) / 20.
TEST_P(AreaTargetTwoStreams, BathAreaThroughTheScenario) {
    LiveScenario l;
    ASSERT_TRUE(l.Add("H", 150, 50, 2.0, GetParam().h));
    ASSERT_TRUE(l.Add("C", 30, 130, 2.0, GetParam().h));
    CPIScenario& s = *l.scenario;
    ASSERT_TRUE(s.IsUtilityPlacementValid());
    EXPECT_EQ(s.GetAreaTargetMethod(), 0);
    EXPECT_NEAR(s.GetAreaTarget(0), GetParam().area, 1e-9);
    EXPECT_GT(s.GetAreaTarget(1), GetParam().area);
    EXPECT_GE(s.GetNumberOfShellsTarget(), 1);
    EXPECT_EQ(s.GetNumberOfAreaTargetMatches(), 2);
    EXPECT_EQ(s.GetAreaTargetMatchValue(8, 0), -32767.0);
    EXPECT_NEAR(s.GetAreaTargetMatchValue(7, 1), 20.0, 1e-9);  // the LMTD
}

INSTANTIATE_TEST_SUITE_P(Coefficients, AreaTargetTwoStreams,
                         ::testing::Values(LiveCase{1.0, 20.0}, LiveCase{0.0, 100.0}));

TEST(AreaTargetScenario, ForbiddingAMatchSwitchesToTheLPWithTheOptionChosen) {
    LiveScenario l;
    l.Add("H1", 150, 50, 1.0, 1.0);
    l.Add("H2", 150, 50, 1.0, 1.0);
    l.Add("C1", 30, 130, 1.0, 1.0);
    l.Add("C2", 30, 130, 1.0, 1.0);
    CPIScenario& s = *l.scenario;
    EXPECT_EQ(s.GetAreaTargetOption(), 1);
    EXPECT_NEAR(s.GetAreaTarget(0), 20.0, 1e-9);

    ASSERT_EQ(s.FindStream("H1")->LinkStream("C1"), 1);
    s.EndForbiddenMatchChanges();
    EXPECT_EQ(s.GetNumberOfForbiddenMatches(), 1);
    EXPECT_EQ(s.GetAreaTargetMethod(), 1);
    EXPECT_EQ(s.ValidateTargetMethodsForForbiddenMatches(), 1);
    EXPECT_GT(s.GetAreaTarget(1), 20.0);
    EXPECT_EQ(s.GetAreaTarget(0), 0.0);

    // The countercurrent option: H1 all to C2, H2 all to C1, still 20 apart.
    s.SetAreaTargetOption(0);
    EXPECT_EQ(s.GetAreaTargetOption(), 0);
    EXPECT_NEAR(s.GetAreaTarget(0), 20.0, 0.4);
    EXPECT_EQ(s.GetAreaTarget(1), 0.0);

    // Methods other than placement on the grand composite curve are refused meanwhile.
    EXPECT_EQ(s.SetUtilityAssignmentMethod(1), 0);
    EXPECT_EQ(s.GetUtilityAssignmentMethod(), 0);
}

TEST(AreaTargetScenario, ACopyKeepsTheAreaMethodAskedFor) {
    LiveScenario l;
    l.Add("H", 150, 50, 2.0, 1.0);
    l.Add("C", 30, 130, 2.0, 1.0);
    ASSERT_EQ(l.scenario->SetAreaTargetMethod(AreaTarget::LinearProgramming), 1);
    ASSERT_EQ(l.scenario->GetAreaTargetMethod(), AreaTarget::LinearProgramming);
    CPIScenario copy(nullptr, *l.scenario, nullptr, DefaultScenarioServices());
    EXPECT_EQ(copy.GetAreaTargetMethod(), AreaTarget::LinearProgramming);
    EXPECT_NEAR(copy.GetAreaTarget(1), l.scenario->GetAreaTarget(1), 1e-9);
}

// The four-stream problem with steam and cooling water placed automatically on the grand
// composite curve, process coefficients 0.2: the Bath area of the whole problem is the one worked
// out interval by interval in BathAreaTargetTest (253.296 m2).
TEST(AreaTargetScenario, FourStreamsWithPlacedUtilities) {
    LiveScenario l;
    l.Add("H1", 170, 60, 3.0, 0.2);
    l.Add("H2", 150, 30, 1.5, 0.2);
    l.Add("C1", 20, 135, 2.0, 0.2);
    l.Add("C2", 80, 140, 4.0, 0.2);
    CPIScenario& s = *l.scenario;
    ASSERT_EQ(s.AddStream("HP Steam", 1), 1);
    ASSERT_EQ(s.AddStream("Cooling Water", 1), 1);
    ASSERT_TRUE(s.IsUtilityPlacementValid());
    EXPECT_NEAR(s.FindStream("HP Steam")->GetHeatLoad(0), 20.0, 1e-6);
    EXPECT_NEAR(s.FindStream("Cooling Water")->GetHeatLoad(0), 60.0, 1e-6);
    EXPECT_NEAR(s.GetAreaTarget(0), 253.296, 1e-3);
    EXPECT_EQ(s.GetNumberOfAreaTargetMatches(), 8);
}

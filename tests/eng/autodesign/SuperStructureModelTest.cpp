// The superstructure's stage models and joined model: sizes, rows worked by hand, approaches and
// the stage-1 test, the relaxation test.
#include "tests/eng/autodesign/SuperStructureTestSupport.h"

#include "eng/model/HeatIntegrationStream.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <limits>

using namespace autodesign_test;
using namespace superstructure_test;

namespace {

// Two one-segment streams and one match: A = 2, M = 1, S = 2 give 2A + 2M + S + 1 = 9 columns,
// B = A + M + S = 5 and 6A + 5S + 2M = 24 rows.
TEST(SuperStructureModel, StageOfOneMatchBetweenTwoOneSegmentStreams) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "CU", 24.0}});
    HeatExchangerNetworkSuperStructure s;
    ASSERT_TRUE(set.SetUp(s));
    auto stages = BuildStages(s, 7);
    const SuperStructureStage& first = *stages[0];
    EXPECT_EQ(first.matchCount, 1);
    EXPECT_EQ(first.streamCount, 2);
    EXPECT_EQ(first.segmentCount, 2);
    EXPECT_EQ(first.columnCount, 9);
    EXPECT_EQ(first.lastContinuousColumn, 5);
    EXPECT_EQ(first.rowCount, 24);
    EXPECT_EQ(first.rowTypes, std::string("ee") + std::string(22, 'l'));
    EXPECT_EQ(first.integerFlags, "000000111");
    ASSERT_NE(first.matrix, nullptr);
    EXPECT_EQ(first.matrix->GetNumberOfRows(), 24);
    EXPECT_EQ(first.matrix->GetNumberOfColumns(), 9);
}

// H in two segments, C and CU in one; H-C cannot sit at the hot end (C's target 200 lies above
// H's supply 180), H-CU can. Stage 1 holds H-CU only: 11 columns, 30 rows; stages 2 to 7 both
// matches: 16 columns, 43 rows. Joined: 11 + 6 x 16 + 2 slacks = 109 columns; 30 + 6 x 43 + 2 x 2
// load rows + 6 x 2 hot-end rows = 304 rows.
TEST(SuperStructureModel, JoinedModelOfSevenStages) {
    AutoDesignProject p;
    p.Process("C", 100.0, 200.0, 1.0);
    p.Utility("CU", 20.0, 30.0);
    ASSERT_EQ(p.scenario->AddStream("H", 0), 1);
    IHeatIntegrationStream* h = p.Stream("H");
    h->InsertSegment(0);
    h->SetValue("Temperature", 180.0, 0);
    h->SetValue("Temperature", 130.0, 1);
    h->SetValue("Temperature", 80.0, 2);
    h->SetValue("HeatCapacityFlowrate", 1.0, 0);
    h->SetValue("HeatCapacityFlowrate", 2.0, 1);
    ASSERT_EQ(h->GetNumberOfSegments(), 2);
    CandidateSet set(p, {{"H", "C", 76.0}, {"H", "CU", 74.0}});
    ASSERT_EQ(set.records.size(), 2u);

    RecordingSuperStructure s;
    ASSERT_TRUE(set.SetUp(s, nullptr, "CU"));
    auto stages = BuildStages(s, 7);
    EXPECT_EQ(stages[0]->columnCount, 11);
    EXPECT_EQ(stages[0]->rowCount, 30);
    for (int k = 1; k < 7; ++k) {
        EXPECT_EQ(stages[static_cast<std::size_t>(k)]->columnCount, 16) << k + 1;
        EXPECT_EQ(stages[static_cast<std::size_t>(k)]->rowCount, 43) << k + 1;
    }
    // The H-C candidate has no stage-1 entry but one in each later stage.
    EXPECT_EQ(s.GetStageMatch(0, 1), nullptr);
    EXPECT_NE(s.GetStageMatch(0, 2), nullptr);

    s.SolveModel(stages);
    ASSERT_GE(s.calls.size(), 1u);
    const SolverCall& joined = s.calls[0];
    EXPECT_EQ(joined.columns, 109);
    EXPECT_EQ(joined.rows, 304);
    EXPECT_FALSE(joined.integer);  // the relaxation comes first
    EXPECT_EQ(joined.rowTypes.substr(300), "gggg");
    EXPECT_EQ(joined.rowTypes.substr(288, 4), "eeee");

    // Stage links: H's balance row of stage 3 (row 30 + 43 + 0) holds the load columns of H's
    // matches in stages 1, 2 and 3 with their own stage's coefficients: -min(1, L/Q), Q = 150.
    const LurmetSparseMatrix& m = *joined.matrix;
    const int row3 = 30 + 43;
    const double fc = -76.0 / 150.0, fu = -74.0 / 150.0;
    EXPECT_NEAR(m.GetElement(row3, 1), fu, 1e-12);       // stage 1: H-CU
    EXPECT_NEAR(m.GetElement(row3, 11 + 1), fc, 1e-12);  // stage 2: H-C, H-CU
    EXPECT_NEAR(m.GetElement(row3, 11 + 2), fu, 1e-12);
    EXPECT_NEAR(m.GetElement(row3 + 43, 27 + 1), fc, 1e-12);  // stage 4 sees stage 3
    EXPECT_NEAR(m.GetElement(30, 1), fu, 1e-12);          // stage 2 sees stage 1
    EXPECT_EQ(m.GetElement(30, 27 + 1), 0.0);             // but not stage 3
    EXPECT_EQ(joined.rhs[static_cast<std::size_t>(row3)], -1.0);
}

// One-segment hot stream 180 -> 80, CP 1, Q 100: Mbig = 1.01, T0 = 79.99 + 273.15 = 353.14 K.
TEST(SuperStructureModel, SegmentRowsOfAOneSegmentHotStream) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "CU", 100.0}});
    HeatExchangerNetworkSuperStructure s;
    ASSERT_TRUE(set.SetUp(s));
    auto stages = BuildStages(s, 7);
    const SuperStructureStage& st = *stages[1];
    ASSERT_EQ(st.streamCount, 2);
    ASSERT_EQ(st.StreamPosition("H"), 0);
    // Rows: 2 balances, 4 bounds, then H's seven segment rows.
    const int first = 6;
    const double expected[] = {4.5414, -2.5214, 0.117713, 0.882287, 0.0, 0.0, -1.0};
    for (int r = 0; r < 7; ++r) EXPECT_NEAR(st.rhs[static_cast<std::size_t>(first + r)], expected[r], 1e-6) << r;
    const int theta = st.GetTemperatureColumn("H");
    const int w = st.FirstPointColumn(0);
    const int y = w + st.matchCount + st.segmentCount;
    EXPECT_EQ(theta, 2);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(y, 7);
    const LurmetSparseMatrix& m = *st.matrix;
    EXPECT_EQ(m.GetElement(first, w), -1.0);
    EXPECT_NEAR(m.GetElement(first, theta), 3.0, 1e-12);
    EXPECT_NEAR(m.GetElement(first, y), 1.01, 1e-12);
    EXPECT_EQ(m.GetElement(first + 2, theta), 0.1);
    EXPECT_EQ(m.GetElement(first + 4, y), -1.01);
    EXPECT_EQ(m.GetElement(first + 6, y), -1.0);
    // With y = 1, rows 1 and 2 pin w to (T - 79.99) / 100 at any temperature of the stream.
    for (double T : {80.5, 120.0, 179.0}) {
        const double th = HeatExchangerNetworkSuperStructure::Theta(T);
        const double lower = m.GetElement(first, theta) * th + m.GetElement(first, y) - st.rhs[first];
        const double upper = st.rhs[first + 1] - m.GetElement(first + 1, theta) * th - m.GetElement(first + 1, y);
        EXPECT_NEAR(lower, (T - 79.99) / 100.0, 1e-9) << T;
        EXPECT_NEAR(upper, (T - 79.99) / 100.0, 1e-9) << T;
    }
}

struct ApproachCase {
    double minimumApproach;
    int kind;
    double expected;
};
void PrintTo(const ApproachCase& c, std::ostream* os) {
    *os << "approach " << c.minimumApproach << " C, kind " << c.kind << ": " << c.expected;
}

class StageApproachTest : public ::testing::TestWithParam<ApproachCase> {};

// min(20, m^e): e = 0.85 for a process match, 0.5 for a utility match; m <= 0 (which the
// interval analysis can leave) counts as 1.
TEST_P(StageApproachTest, ApproachOfAMatch) {
    const ApproachCase& c = GetParam();
    const double a = HeatExchangerNetworkSuperStructure::StageApproachOf(c.minimumApproach, c.kind);
    EXPECT_TRUE(std::isfinite(a));
    EXPECT_NEAR(a, c.expected, 5e-4);
}

INSTANTIATE_TEST_SUITE_P(Approaches, StageApproachTest,
                         ::testing::Values(ApproachCase{4.0, 0, 3.249}, ApproachCase{10.0, 0, 7.0795},
                                           ApproachCase{100.0, 1, 10.0}, ApproachCase{3000.0, 0, 20.0},
                                           ApproachCase{0.0, 0, 1.0}, ApproachCase{-2.5, 0, 1.0},
                                           ApproachCase{-2.5, 1, 1.0},
                                           ApproachCase{std::numeric_limits<double>::quiet_NaN(), 0, 1.0}));

// theta(100 C) = 373.15 / 300; the cold-end approach row of an approach of 7.0795 has the
// right-hand side 10 - 7.0795 / 300; an approach of -3 neither poisons the rows nor the stage-1
// test.
TEST(SuperStructureModel, ScaledTemperatureAndColdEndApproachRow) {
    EXPECT_NEAR(HeatExchangerNetworkSuperStructure::Theta(100.0), 1.243833, 1e-6);
    for (double m : {10.0, -3.0}) {
        AutoDesignProject p;
        p.WorkedProblem();
        CandidateSet set(p, {{"H", "CU", 100.0, m}});
        HeatExchangerNetworkSuperStructure s;
        ASSERT_TRUE(set.SetUp(s));
        auto stages = BuildStages(s, 7);
        const SuperStructureStage& st = *stages[0];
        ASSERT_EQ(st.matchCount, 1);
        // Rows: 2 + 4 + 2 x 7 segment rows + 1 match row, then the approach row.
        const int row = 2 + 4 + 14 + 1;
        const double dT = m > 0 ? std::pow(m, 0.5) : 1.0;  // H-CU is a utility match
        EXPECT_NEAR(st.rhs[static_cast<std::size_t>(row)], 10.0 - dT / 300.0, 1e-12) << m;
        EXPECT_EQ(st.matrix->GetElement(row, st.GetTemperatureColumn("H")), -1.0);
        EXPECT_EQ(st.matrix->GetElement(row, st.GetTemperatureColumn("CU")), 1.0);
        EXPECT_EQ(st.matrix->GetElement(row, st.lastContinuousColumn + 1), 10.0);
        ASSERT_EQ(st.approaches.size(), 1u);
        EXPECT_NEAR(st.approaches[0]->approach, dT, 1e-12);
    }
    // A process match of approach 10 carries 7.0795.
    EXPECT_NEAR(10.0 - HeatExchangerNetworkSuperStructure::StageApproachOf(10.0, 0) / 300.0, 9.976402, 1e-6);
}

// Candidates at or below 1e-8 take no part; a stage whose streams have candidates but which
// selects none has one column, no row, a 0 x 1 matrix and no arrays.
TEST(SuperStructureModel, IgnoredCandidatesAndAnEmptyFirstStage) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "C", 76.0}, {"HU", "C", 1e-8}});
    HeatExchangerNetworkSuperStructure s;
    ASSERT_TRUE(set.SetUp(s, "HU", "CU"));
    EXPECT_EQ(s.matches.size(), 1u);
    EXPECT_EQ(s.streams.size(), 2u);
    EXPECT_EQ(s.StreamIndex("HU"), -1);
    auto stages = BuildStages(s, 7);
    const SuperStructureStage& first = *stages[0];
    EXPECT_EQ(first.matchCount, 0);
    EXPECT_EQ(first.columnCount, 1);
    EXPECT_EQ(first.rowCount, 0);
    ASSERT_NE(first.matrix, nullptr);
    EXPECT_EQ(first.matrix->GetNumberOfColumns(), 1);
    EXPECT_TRUE(first.rhs.empty());
    EXPECT_TRUE(first.integerFlags.empty());
    EXPECT_EQ(stages[1]->matchCount, 1);
    // Temperature records: one per stage, all starting at the stream's hot end.
    const auto* c = s.TemperaturesOf("C");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->size(), 7u);
    EXPECT_EQ((*c)[6].Get("HighEnd"), 200.0);
    EXPECT_EQ((*c)[6].Get("LowEnd"), Units::EmptyValue);
}

// The linear relaxation ends an attempt without a MILP when a process match cannot reach 0.9899
// of its load or a utility match would carry more than ten times its own.
struct RelaxationCase {
    const char* name;
    std::vector<CandidateSpec> candidates;
    bool reachesMILP;
};

class SuperStructureRelaxationTest : public ::testing::TestWithParam<RelaxationCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const RelaxationCase& c, std::ostream* os) { *os << c.name; }

TEST_P(SuperStructureRelaxationTest, FeasibilityTestBeforeTheMILP) {
    const RelaxationCase& c = GetParam();
    AutoDesignProject p;
    p.Process("H", 180.0, 80.0, 1.0);
    p.Process("C", 60.0, 160.0, 1.0);
    p.Utility("HU", 250.0, 249.0);
    p.Utility("CU", 20.0, 30.0);
    CandidateSet set(p, c.candidates);
    RecordingSuperStructure s;
    const int result = set.Run(s);
    if (c.reachesMILP) {
        EXPECT_GE(s.MILPCalls(), 1) << c.name;
        return;
    }
    // Five attempts, each one relaxation only, with 7 to 11 stages: the model grows every time.
    EXPECT_EQ(result, 0) << c.name;
    EXPECT_EQ(s.MILPCalls(), 0) << c.name;
    EXPECT_EQ(s.attemptsMade, 5);
    ASSERT_EQ(s.calls.size(), 5u);
    for (std::size_t k = 1; k < 5; ++k) EXPECT_GT(s.calls[k].columns, s.calls[k - 1].columns);
    EXPECT_TRUE(s.stageMatches.empty());
    EXPECT_TRUE(s.stageSplits.empty());
    for (const auto& m : s.matches) EXPECT_EQ(m.placedDuty, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, SuperStructureRelaxationTest,
    ::testing::Values(
        // H's balance: q(H-C) + 0.5 q(H-CU) = 1 with q(H-CU) >= 1 leaves H-C at most half its load.
        RelaxationCase{"process short", {{"H", "C", 100.0}, {"H", "CU", 50.0}}, false},
        // H-CU must carry all 100 kW of H: 20 times a load of 5, 10 times a load of 10.
        RelaxationCase{"utility twenty times", {{"H", "CU", 5.0}}, false},
        RelaxationCase{"utility ten times", {{"H", "CU", 10.0}}, true}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == ' ') ch = '_';
        return n;
    });

// A solver that cannot be made ends that attempt as too few stages would, for the relaxation and
// for the MILP alike; the run then tries the next stage count and never reads a missing solver.
TEST(SuperStructureModel, MissingSolverEndsTheAttempt) {
    for (bool refuseMILPOnly : {false, true}) {
        AutoDesignProject p;
        p.WorkedProblem();
        CandidateSet set(p, {{"H", "CU", 100.0}, {"HU", "C", 100.0}});
        RecordingSuperStructure s;
        s.refuse = [&](int n) { return !refuseMILPOnly || s.calls[static_cast<std::size_t>(n)].integer; };
        EXPECT_EQ(set.Run(s), 0) << refuseMILPOnly;
        EXPECT_EQ(s.attemptsMade, 5);
        EXPECT_EQ(s.calls.size(), refuseMILPOnly ? 10u : 5u);
        EXPECT_TRUE(s.stageMatches.empty());
    }
}

}  // namespace

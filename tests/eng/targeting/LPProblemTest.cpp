// The LP record: row growth, the row builders, the match table and the hand-over to the solver.
#include "dunmor/Exceptions.h"
#include "eng/model/StreamSegment.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class AddRowGrowthTest : public ::testing::TestWithParam<std::pair<int, int>> {};

// Allocated with no rows, the arrays grow by ten at the 1st, 11th, 21st ... row.
TEST_P(AddRowGrowthTest, RowArraysGrowInStepsOfTen) {
    const auto [rowsAdded, capacity] = GetParam();
    LPProblem p;
    p.Allocate(3, 0);
    for (int i = 0; i < rowsAdded; ++i) {
        const double c[3] = {static_cast<double>(i + 1), 0.0, -1.0};
        p.AddRow(c, i % 3, 10.0 * i);
    }
    EXPECT_EQ(p.nRows, rowsAdded);
    EXPECT_EQ(p.nRowCapacity, capacity);
    EXPECT_EQ(p.pMatrix->GetNumberOfRows(), rowsAdded);
    // Every row kept its contents through the growth.
    for (int i = 0; i < rowsAdded; ++i) {
        EXPECT_EQ(p.rowTypes[static_cast<std::size_t>(i)], i % 3);
        EXPECT_EQ(p.rightHandSides[static_cast<std::size_t>(i)], 10.0 * i);
        EXPECT_EQ(p.pMatrix->GetElement(i, 0), i + 1.0);
        EXPECT_EQ(p.pMatrix->GetElement(i, 2), -1.0);
    }
    EXPECT_EQ(p.pMatrix->GetNumberOfNonZeroElements(), 2 * rowsAdded);
}

INSTANTIATE_TEST_SUITE_P(Rows, AddRowGrowthTest,
                         ::testing::Values(std::pair{1, 10}, std::pair{10, 10}, std::pair{11, 20}, std::pair{20, 20},
                                           std::pair{21, 30}));

TEST(LPProblemTest, AllZeroRowIsEmptyButKeepsTypeAndRightHandSide) {
    LPProblem p;
    p.Allocate(2, 1);
    const double zeros[2] = {0.0, 0.0};
    p.AddRow(zeros, LPProblem::GreaterOrEqual, 7.5);
    EXPECT_EQ(p.nRows, 2);
    EXPECT_EQ(p.pMatrix->GetNumberOfNonZeroElements(), 0);
    EXPECT_EQ(p.rowTypes[1], LPProblem::GreaterOrEqual);
    EXPECT_EQ(p.rightHandSides[1], 7.5);
}

TEST(LPProblemTest, NaNCoefficientIsHandedToTheMatrixWhichRefusesIt) {
    LPProblem p;
    p.Allocate(2, 0);
    Exceptions::ClearRecords();
    const double c[2] = {std::numeric_limits<double>::quiet_NaN(), 2.0};
    p.AddRow(c, LPProblem::Equality, 1.0);
    EXPECT_EQ(Exceptions::Count(), 1u);
    EXPECT_EQ(p.pMatrix->GetNumberOfNonZeroElements(), 1);
    EXPECT_EQ(p.pMatrix->GetElement(0, 1), 2.0);
    Exceptions::ClearRecords();
}

TEST(LPProblemTest, AddColumnsWidensObjectiveAndFlagsButNotBounds) {
    LPProblem p;
    p.Allocate(2, 1);
    p.objective = {4.0, 5.0};
    p.pIntegerFlags = std::make_unique<std::vector<unsigned char>>(2, 1);
    p.AddColumns(3);
    EXPECT_EQ(p.nColumns, 5);
    EXPECT_EQ(p.pMatrix->GetNumberOfColumns(), 5);
    EXPECT_EQ(p.objective, (std::vector<double>{4, 5, 0, 0, 0}));
    EXPECT_EQ(*p.pIntegerFlags, (std::vector<unsigned char>{1, 1, 0, 0, 0}));
    EXPECT_EQ(p.lowerBounds.size(), 2u);
    EXPECT_EQ(p.upperBounds.size(), 2u);
}

TEST(LPProblemTest, SumRowWithoutMatchingColumnIsEmptyWithZeroRightHandSide) {
    LPProblem p;
    int key = 0, other = 0;
    p.columns.resize(3);
    p.columns[1].pMatch = &key;
    p.columns[2].pMatch = &key;
    p.Allocate(3, 2);
    p.SetSumRow(0, &other, 5.0);
    EXPECT_EQ(p.pMatrix->GetNumberOfNonZeroElements(), 0);
    EXPECT_EQ(p.rightHandSides[0], 0.0);
    EXPECT_EQ(p.rowTypes[0], LPProblem::GreaterOrEqual);

    p.SetSumRow(1, &key, 5.0);
    EXPECT_EQ(p.pMatrix->GetElement(1, 0), 0.0);
    EXPECT_EQ(p.pMatrix->GetElement(1, 1), 1.0);
    EXPECT_EQ(p.pMatrix->GetElement(1, 2), 1.0);
    EXPECT_EQ(p.rightHandSides[1], 5.0);
}

// Two intervals and two segments; columns keyed on both sides.
struct MatchFixture {
    MatchFixture() {
        b[0] = {150, 0, 0};
        b[1] = {120, 0, 0};
        b[2] = {100, 0, 0};
        auto col = [&](const TemperatureInterval* hi, StreamSegment* hs, const TemperatureInterval* ci, StreamSegment* cs) {
            LPMatchColumn c;
            c.pHotInterval = hi;
            c.pHotSegment = hs;
            c.pColdInterval = ci;
            c.pColdSegment = cs;
            p.columns.push_back(std::move(c));
        };
        col(&b[0], &hot, &b[0], &cold);  // 0
        col(&b[0], &hot, &b[1], &cold);  // 1
        col(&b[1], &hot, &b[1], &cold);  // 2
        col(&b[1], &cold, &b[1], &cold); // 3: both sides keyed (b1, cold)
        p.Allocate(4, 4);
    }
    TemperatureInterval b[3];
    StreamSegment hot, cold;
    LPProblem p;
};

TEST(LPProblemTest, MatchCoefficientsByScanFollowTheKeyLayout) {
    MatchFixture f;
    f.p.SetMatchCoefficients(0, &f.b[0], &f.hot, 0);
    f.p.SetMatchCoefficients(1, &f.b[1], &f.cold, 1);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 0), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 1), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 2), 0.0);
    for (int j : {1, 2, 3}) EXPECT_EQ(f.p.pMatrix->GetElement(1, j), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(1, 0), 0.0);

    // The key index answers what the scan answers.
    MatchFixture g;
    g.p.IndexColumnsByKeys();
    g.p.SetMatchCoefficients(1, &g.b[1], &g.cold, 1);
    EXPECT_EQ(g.p.pMatrix->GetNumberOfNonZeroElements(), 3);
}

TEST(LPProblemTest, ColumnFiledTwiceUnderOnePairGetsOneCoefficientOfOne) {
    MatchFixture f;
    const void* intervals[] = {&f.b[0], &f.b[1]};
    const void* segments[] = {&f.hot, &f.cold};
    f.p.BuildMatchTable(intervals, segments);
    EXPECT_EQ(f.p.nHotCount, 2);
    f.p.SetMatchCoefficients(2, &f.b[1], &f.cold, 0);
    // From the table both sides' pairs count: columns 1, 2 (cold side) and 3 (both sides).
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 1), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 2), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 3), 1.0);
    EXPECT_EQ(f.p.pMatrix->GetNumberOfNonZeroElements(), 3);
    f.p.FreeMatchTable();
    EXPECT_FALSE(f.p.HasMatchTable());
    EXPECT_EQ(f.p.nHotCount, 0);
}

TEST(LPProblemTest, PairRowsWeighTheNeighbouringIntervals) {
    MatchFixture f;
    // T1 150, T2 120, T3 100: columns keyed (b0, hot) get 20, those keyed (b1, hot) get -30.
    f.p.SetPairRow(0, &f.b[0], &f.b[1], &f.b[2], &f.hot, 0);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 0), 20.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 1), 20.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(0, 2), -30.0);
    f.p.SetPairRow(1, &f.b[0], nullptr, &f.b[2], &f.hot, 0);
    EXPECT_EQ(f.p.pMatrix->GetNumberOfNonZeroElements(), 3);

    // Weighted, with T1 120, T2 100, T3 150: (T1 - T2) x w(cold) = 40 on the columns keyed
    // (b0, hot); -(T3 - T1) x w(hot) = -120 on those keyed (b1, cold).
    f.hot.pLink = std::make_unique<StreamSegmentLink>();
    f.cold.pLink = std::make_unique<StreamSegmentLink>();
    f.hot.pLink->dSpecificHeat = 4.0;
    f.cold.pLink->dSpecificHeat = 2.0;
    f.p.SetWeightedPairRow(2, &f.b[1], &f.b[2], &f.b[0], &f.hot, &f.cold, 0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 0), 40.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 1), 40.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 2), 0.0);
    EXPECT_EQ(f.p.pMatrix->GetElement(2, 3), -120.0);
}

TEST(LPProblemTest, ResizingColumnsClearsDroppedEntriesAndInitialisesNewOnes) {
    LPProblem p;
    p.ResizeColumns(3);
    EXPECT_EQ(p.columns[2].nIndex, -1);
    EXPECT_EQ(p.columns[2].dUpper, 1.0);
    p.columns[0].pValues = std::make_unique<std::vector<double>>(7, 1.0);
    p.ResizeColumns(1);
    EXPECT_EQ(p.columns.size(), 1u);
    EXPECT_NE(p.columns[0].pValues, nullptr);
    LPProblem::ClearMatchColumn(p.columns[0]);
    EXPECT_EQ(p.columns[0].pValues, nullptr);
}

// min x + 2y subject to x + y = 10 and x <= 4: x = 4, y = 6, objective 16.
TEST(LPProblemSolveTest, SolvesASmallModelAndReadsTheObjective) {
    LPProblem p;
    p.Allocate(2, 0);
    p.objective = {1.0, 2.0};
    const double r0[2] = {1.0, 1.0};
    const double r1[2] = {1.0, 0.0};
    p.AddRow(r0, LPProblem::Equality, 10.0);
    p.AddRow(r1, LPProblem::LessOrEqual, 4.0);
    std::vector<double> x;
    ASSERT_TRUE(p.Solve(x, true));
    ASSERT_EQ(x.size(), 2u);
    EXPECT_NEAR(x[0], 4.0, 1e-9);
    EXPECT_NEAR(x[1], 6.0, 1e-9);
    EXPECT_NEAR(p.dObjectiveValue, 16.0, 1e-9);
}

// min -x - y with 2x + 2y <= 5: -2.5 continuous; with both columns integer (binary) -2.
TEST(LPProblemSolveTest, MarksIntegerColumns) {
    LPProblem p;
    p.Allocate(2, 0);
    p.objective = {-1.0, -1.0};
    const double r[2] = {2.0, 2.0};
    p.AddRow(r, LPProblem::LessOrEqual, 5.0);
    p.pIntegerFlags = std::make_unique<std::vector<unsigned char>>(2, 0);
    std::vector<double> x;
    ASSERT_TRUE(p.Solve(x, true));
    EXPECT_NEAR(p.dObjectiveValue, -2.5, 1e-9);
    (*p.pIntegerFlags)[0] = 1;
    (*p.pIntegerFlags)[1] = 1;
    // Integer columns without bounds of their own are binary.
    ASSERT_TRUE(p.Solve(x, true));
    EXPECT_NEAR(p.dObjectiveValue, -2.0, 1e-9);
}

TEST(LPProblemSolveTest, EmptyOrInfeasibleModelLeavesTheSolutionAlone) {
    LPProblem p;
    std::vector<double> x = {42.0};
    EXPECT_FALSE(p.Solve(x));
    p.Allocate(1, 0);
    const double r[1] = {1.0};
    p.AddRow(r, LPProblem::Equality, -3.0);  // x >= 0 cannot equal -3
    EXPECT_FALSE(p.Solve(x));
    EXPECT_EQ(x, (std::vector<double>{42.0}));
    // A right-hand side that is not a number is refused by the solver, and the solve with it.
    Exceptions::ClearRecords();
    p.rightHandSides[0] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(p.Solve(x));
    EXPECT_EQ(x, (std::vector<double>{42.0}));
    EXPECT_GE(Exceptions::Count(), 1u);
    Exceptions::ClearRecords();
}

}  // namespace

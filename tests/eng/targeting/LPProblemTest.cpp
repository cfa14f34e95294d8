// The LP record: row growth, the row builders, the match table and the hand-over to the solver.
#include "dunmor/Exceptions.h"
#include "eng/core/StreamSegment.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Two intervals and two segments; columns keyed on both sides.
struct MatchFixture {
    MatchFixture() {
        b[0] = {150, 0};
        b[1] = {120, 0};
        b[2] = {100, 0};
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

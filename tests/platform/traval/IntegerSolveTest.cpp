// Mixed-integer models through IMILPSolver, checked against hand-worked optima and against
// exhaustive dynamic programming; and the solver's silence on the console.
#include "SolverTestModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <random>

namespace {

constexpr double kTol = 1e-7;

// 0-1 knapsack as one 'l' row: maximise value within the capacity.
TestModel Knapsack(const std::vector<double>& values, const std::vector<double>& weights, double capacity,
                   bool statedAsMax) {
    TestModel m;
    m.columns = static_cast<int>(values.size());
    m.rows = 1;
    for (int j = 0; j < m.columns; ++j) {
        m.Add(0, j, weights[j]);
        m.integers.push_back(j);
        m.objective.push_back(statedAsMax ? values[j] : -values[j]);
    }
    m.sense = statedAsMax ? "MAX" : "MIN";
    m.rightHandSide = {capacity};
    m.rowTypes = "l";
    return m;
}

// The best value by dynamic programming over integer weights.
double KnapsackByDynamicProgramming(const std::vector<double>& values, const std::vector<double>& weights,
                                    int capacity) {
    std::vector<double> best(static_cast<std::size_t>(capacity) + 1, 0.0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int w = static_cast<int>(weights[i]);
        for (int c = capacity; c >= w; --c) best[c] = std::max(best[c], best[c - w] + values[i]);
    }
    return best[capacity];
}

struct KnapsackCase {
    const char* name;
    bool statedAsMax;
    const char* option;  // option set before solving, or null
    double optionValue;
};

class SmallKnapsackTest : public ::testing::TestWithParam<KnapsackCase> {};

// Items (value, weight): (10,5) (13,7) (7,4) (8,3) (4,1), capacity 10. By enumeration the best
// pack is items 0, 3, 4: weight 9, value 22 ({1,3} and {0,2,4} give 21). The relaxation would
// take a seventh of item 1 on top for 23.86, so the answer needs branching or cuts.
TEST_P(SmallKnapsackTest, FindsTheIntegerOptimum) {
    const KnapsackCase& c = GetParam();
    TestModel m = Knapsack({10, 13, 7, 8, 4}, {5, 7, 4, 3, 1}, 10, c.statedAsMax);
    auto solver = LoadTestModel(m);
    if (c.option) {
        ASSERT_TRUE(solver->SetOption(c.option, c.optionValue));
    }
    const TestResult r = ReadResult(*solver, m.columns, solver->Solve());
    ASSERT_TRUE(r.solved);
    const std::vector<double> expected = {1, 0, 0, 1, 1};
    for (int j = 0; j < m.columns; ++j) EXPECT_EQ(r.solution[j], expected[j]) << "item " << j;
    EXPECT_NEAR(r.objective, c.statedAsMax ? 22.0 : -22.0, kTol);
}

INSTANTIATE_TEST_SUITE_P(
    Knapsack, SmallKnapsackTest,
    ::testing::Values(KnapsackCase{"Minimised", false, nullptr, 0.0}, KnapsackCase{"Maximised", true, nullptr, 0.0},
                      KnapsackCase{"TightGap", false, "OPTCR", 0.00001},
                      KnapsackCase{"NegativeTimeLimit", false, "MAXTIM", -1800.0},
                      KnapsackCase{"TimeLimit", false, "MAXTIM", 500.0}),
    [](const ::testing::TestParamInfo<KnapsackCase>& info) { return std::string(info.param.name); });

class RandomKnapsackTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomKnapsackTest, AgreesWithDynamicProgramming) {
    std::mt19937 random(GetParam());
    std::uniform_int_distribution<int> weight(3, 40), value(1, 60);
    std::vector<double> values, weights;
    for (int i = 0; i < 24; ++i) {
        values.push_back(value(random));
        weights.push_back(weight(random));
    }
    const int capacity = 150;
    const TestResult r = SolveTestModel(Knapsack(values, weights, capacity, false));
    ASSERT_TRUE(r.solved);
    double packedWeight = 0.0, packedValue = 0.0;
    for (std::size_t j = 0; j < values.size(); ++j) {
        ASSERT_TRUE(r.solution[j] == 0.0 || r.solution[j] == 1.0) << r.solution[j];
        packedWeight += r.solution[j] * weights[j];
        packedValue += r.solution[j] * values[j];
    }
    EXPECT_LE(packedWeight, capacity);
    EXPECT_DOUBLE_EQ(packedValue, KnapsackByDynamicProgramming(values, weights, capacity));
    EXPECT_NEAR(r.objective, -packedValue, kTol);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomKnapsackTest, ::testing::Values(1u, 7u, 42u, 2024u));

// A large gap lets the search stop at the first integer solution; that still counts as solved.
TEST(IntegerSolve, LooseGapStillAnswersAFeasibleSolution) {
    std::vector<double> values, weights;
    for (int i = 0; i < 30; ++i) {
        values.push_back(10 + (i * 37) % 23);
        weights.push_back(5 + (i * 13) % 17);
    }
    TestModel m = Knapsack(values, weights, 120, false);
    auto solver = LoadTestModel(m);
    ASSERT_TRUE(solver->SetOption("OPTCR", 3.0));
    ASSERT_TRUE(solver->Solve());
    double packedWeight = 0.0;
    for (int j = 0; j < m.columns; ++j) packedWeight += solver->GetSolution()[j] * weights[j];
    EXPECT_LE(packedWeight, 120.0);
}

struct IntegerBoundsCase {
    const char* name;
    std::vector<TestBounds> bounds;
    std::vector<int> marked;
    double expected;
};

class IntegerBoundsTest : public ::testing::TestWithParam<IntegerBoundsCase> {};

// max x, x integer, with 2x <= 7: the row alone allows x = 3.
TEST_P(IntegerBoundsTest, IntegerColumnsAreBinaryUnlessBounded) {
    const IntegerBoundsCase& c = GetParam();
    TestModel m;
    m.columns = 1;
    m.rows = 1;
    m.Add(0, 0, 2.0);
    m.rightHandSide = {7};
    m.rowTypes = "l";
    m.objective = {1};
    m.sense = "MAX";
    m.integers = {0};
    m.bounds = c.bounds;
    m.marked = c.marked;
    const TestResult r = SolveTestModel(m);
    ASSERT_TRUE(r.solved);
    EXPECT_EQ(r.solution[0], c.expected);
    EXPECT_NEAR(r.objective, c.expected, kTol);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, IntegerBoundsTest,
    ::testing::Values(IntegerBoundsCase{"BinaryByDefault", {}, {}, 1.0},
                      IntegerBoundsCase{"ExplicitUpper", {{0, 0.0, 10.0}}, {}, 3.0},
                      IntegerBoundsCase{"UpperBelowRow", {{0, 0.0, 2.0}}, {}, 2.0},
                      IntegerBoundsCase{"FractionalUpper", {{0, 0.0, 2.5}}, {}, 2.0},
                      IntegerBoundsCase{"Unbounded", {{0, 0.0, std::numeric_limits<double>::infinity()}}, {}, 3.0},
                      IntegerBoundsCase{"Marked", {{0, 0.0, 10.0}}, {0}, 0.0},
                      IntegerBoundsCase{"FixedToZero", {{0, 0.0, 0.0}}, {}, 0.0}),
    [](const ::testing::TestParamInfo<IntegerBoundsCase>& info) { return std::string(info.param.name); });

// A small fixed-charge model mixing continuous and binary columns: supply 12 units of demand from
// two plants, plant k delivering y_k <= 10 b_k, cost 3 y_0 + 20 b_0 and 1 y_1 + 50 b_1.
// Either plant alone is capped at 10 < 12, so both open; the cheap plant 1 runs full:
// y_1 = 10, y_0 = 2, cost 6 + 20 + 10 + 50 = 86.
TEST(IntegerSolve, MixedContinuousAndBinaryColumns) {
    TestModel m;
    m.columns = 4;  // y0 y1 b0 b1
    m.rows = 3;
    m.Add(0, 0, 1.0);
    m.Add(0, 1, 1.0);
    m.Add(1, 0, 1.0);
    m.Add(1, 2, -10.0);
    m.Add(2, 1, 1.0);
    m.Add(2, 3, -10.0);
    m.rightHandSide = {12, 0, 0};
    m.rowTypes = "gll";
    m.objective = {3, 1, 20, 50};
    m.integers = {2, 3};
    const TestResult r = SolveTestModel(m);
    ASSERT_TRUE(r.solved);
    EXPECT_NEAR(r.solution[0], 2.0, kTol);
    EXPECT_NEAR(r.solution[1], 10.0, kTol);
    EXPECT_EQ(r.solution[2], 1.0);
    EXPECT_EQ(r.solution[3], 1.0);
    EXPECT_NEAR(r.objective, 86.0, kTol);
}

// Nothing the engines say may reach the console, whatever the outcome of the solve.
TEST(SolverOutput, PrintsNothing) {
    std::vector<double> values, weights;
    for (int i = 0; i < 40; ++i) {
        values.push_back(10 + (i * 37) % 29);
        weights.push_back(5 + (i * 13) % 19);
    }
    TestModel infeasible;
    infeasible.columns = 1;
    infeasible.rows = 2;
    infeasible.Add(0, 0, 1.0);
    infeasible.Add(1, 0, 1.0);
    infeasible.rightHandSide = {5, 3};
    infeasible.rowTypes = "gl";
    TestModel unbounded = infeasible;
    unbounded.rowTypes = "gg";
    unbounded.objective = {-1};
    TestModel integerInfeasible = infeasible;
    integerInfeasible.integers = {0};
    integerInfeasible.bounds = {{0, 0.0, 100.0}};

    std::fflush(stdout);
    std::fflush(stderr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool lp = SolveTestModel(Transportation(20, 30, 'l', 'g')).solved;
    const bool milp = SolveTestModel(Knapsack(values, weights, 200, false)).solved;
    const bool milpWithOptions = [&] {
        auto solver = LoadTestModel(Knapsack(values, weights, 200, false));
        solver->SetOption("OPTCR", 0.1);
        solver->SetOption("MAXTIM", -1800.0);
        return solver->Solve();
    }();
    const bool lpInfeasible = SolveTestModel(infeasible).solved;
    const bool lpUnbounded = SolveTestModel(unbounded).solved;
    const bool milpInfeasible = SolveTestModel(integerInfeasible).solved;
    std::fflush(stdout);
    std::fflush(stderr);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(lp);
    EXPECT_TRUE(milp);
    EXPECT_TRUE(milpWithOptions);
    EXPECT_FALSE(lpInfeasible);
    EXPECT_FALSE(lpUnbounded);
    EXPECT_FALSE(milpInfeasible);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
}

}  // namespace

// Mixed-integer models through IMILPSolver, checked against hand-worked optima and against
// exhaustive dynamic programming; and the solver's silence on the console.
#include "SolverTestModel.h"

#include <gtest/gtest.h>

#include <ostream>
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

struct IntegerBoundsCase {
    const char* name;
    std::vector<TestBounds> bounds;
    std::vector<int> marked;
    double expected;
};

class IntegerBoundsTest : public ::testing::TestWithParam<IntegerBoundsCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const IntegerBoundsCase& c, std::ostream* os) { *os << c.name; }

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
                      IntegerBoundsCase{"FractionalUpper", {{0, 0.0, 2.5}}, {}, 2.0},
                      IntegerBoundsCase{"Marked", {{0, 0.0, 10.0}}, {0}, 0.0}),
    [](const ::testing::TestParamInfo<IntegerBoundsCase>& info) { return std::string(info.param.name); });

// Nothing the engines say may reach the console, whatever the outcome of the solve.
TEST(SolverOutput, PrintsNothing) {
    TestModel infeasible;
    infeasible.columns = 1;
    infeasible.rows = 2;
    infeasible.Add(0, 0, 1.0);
    infeasible.Add(1, 0, 1.0);
    infeasible.rightHandSide = {5, 3};
    infeasible.rowTypes = "gl";
    TestModel integerInfeasible = infeasible;
    integerInfeasible.integers = {0};
    integerInfeasible.bounds = {{0, 0.0, 100.0}};
    std::vector<double> values, weights;
    for (int i = 0; i < 40; ++i) {
        values.push_back(10 + (i * 37) % 29);
        weights.push_back(5 + (i * 13) % 19);
    }

    std::fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(SolveTestModel(Transportation(20, 30, 'l', 'g')).solved);
    EXPECT_TRUE(SolveTestModel(Knapsack(values, weights, 200, false)).solved);
    EXPECT_FALSE(SolveTestModel(infeasible).solved);
    EXPECT_FALSE(SolveTestModel(integerInfeasible).solved);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace

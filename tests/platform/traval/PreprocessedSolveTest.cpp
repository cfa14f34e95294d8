// Mixed-integer models reduced before their search ("PREPRO"): the answer is the hand-worked
// optimum in the model's own columns, as without the reduction; a model the reduction finds
// infeasible fails cleanly; and nothing reaches the console.
#include "SolverTestModel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

constexpr double kTol = 1e-6;

// A cold stream needs 60 kW from one new exchanger (exactly one of four candidates), an existing
// exchanger and a heater, as a retrofit step chooses. Columns: candidate duties Q0..Q3 (0..3), the
// existing exchanger's duty Qe (4), heater duty H (5), candidate binaries y0..y3 (6..9), the
// existing exchanger's binary z (10).
//   row 0        Q0 + Q1 + Q2 + Q3 + Qe + H = 60
//   rows 1..4    Qk - Lk yk <= 0, L = 30 50 80 20
//   row 5        Qe - 25 z <= 0
//   row 6        y0 + y1 + y2 + y3 = 1
//   rows 7, 8    H >= 0 and H <= 60: bounds written as rows, as the retrofit models write them
// minimise 0.12 H + (1 y0 + 2 y1 + 5 y2 + 0.5 y3) + 1.5 z.
// By hand, the heater taking what is left: y0 with z 3.1 (H 5), y1 alone 3.2 (H 10), y1 with z
// 3.5, y2 5, y3 with z 3.8, y0 alone 4.6, y3 alone 5.3. Without candidate 0: y1 alone, 3.2.
TestModel OneNewExchanger(int excludedCandidate) {
    TestModel m;
    m.columns = 11;
    m.rows = 9;
    const double loads[4] = {30, 50, 80, 20};
    for (int k = 0; k < 4; ++k) {
        m.Add(0, k, 1.0);
        m.Add(1 + k, k, 1.0);
        m.Add(1 + k, 6 + k, -loads[k]);
        m.Add(6, 6 + k, 1.0);
    }
    m.Add(0, 4, 1.0);
    m.Add(0, 5, 1.0);
    m.Add(5, 4, 1.0);
    m.Add(5, 10, -25.0);
    m.Add(7, 5, 1.0);
    m.Add(8, 5, 1.0);
    m.rightHandSide = {60, 0, 0, 0, 0, 0, 1, 0, 60};
    m.rowTypes = "elllllegl";
    m.objective = {0, 0, 0, 0, 0, 0.12, 1, 2, 5, 0.5, 1.5};
    m.integers = {6, 7, 8, 9, 10};
    if (excludedCandidate >= 0) {
        m.marked = {6 + excludedCandidate};
        m.bounds = {{6 + excludedCandidate, 0.0, 0.0}};
    }
    return m;
}

struct ReducedCase {
    const char* name;
    bool reduced;
    int excludedCandidate;
    double objective;
    int candidate;
    double existing;  // z
    double heater;
};

class ReducedSolveTest : public ::testing::TestWithParam<ReducedCase> {};

[[maybe_unused]] void PrintTo(const ReducedCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ReducedSolveTest, FindsTheHandWorkedOptimumInTheModelsColumns) {
    const ReducedCase& c = GetParam();
    const TestModel m = OneNewExchanger(c.excludedCandidate);
    std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
    ASSERT_TRUE(solver);
    ASSERT_TRUE(solver->SetOption("PREPRO", c.reduced ? 1.0 : 0.0));
    const TestResult r = ReadResult(*solver, m.columns, solver->Solve());
    ASSERT_TRUE(r.solved);
    EXPECT_NEAR(r.objective, c.objective, kTol);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(r.solution[6 + k], k == c.candidate ? 1.0 : 0.0) << "y" << k;
    EXPECT_EQ(r.solution[10], c.existing);
    EXPECT_NEAR(r.solution[5], c.heater, kTol);
    // The duties close the balance and stay within their exchangers' loads.
    double supplied = r.solution[4] + r.solution[5];
    for (int k = 0; k < 4; ++k) supplied += r.solution[k];
    EXPECT_NEAR(supplied, 60.0, kTol);
    EXPECT_LE(r.solution[4], 25.0 * r.solution[10] + kTol);
}

INSTANTIATE_TEST_SUITE_P(
    Retrofit, ReducedSolveTest,
    ::testing::Values(ReducedCase{"AsGiven", false, -1, 3.1, 0, 1.0, 5.0},
                      ReducedCase{"Reduced", true, -1, 3.1, 0, 1.0, 5.0},
                      ReducedCase{"ReducedWithoutTheBestCandidate", true, 0, 3.2, 1, 0.0, 10.0}),
    [](const ::testing::TestParamInfo<ReducedCase>& info) { return std::string(info.param.name); });

// The existing exchanger's binary held at one half by a row: the relaxation solves, no integer
// solution exists. The reduced solve answers false with zeros and prints nothing.
TEST(ReducedSolve, AnIntegerInfeasibleModelFailsQuietlyWithZeros) {
    TestModel m = OneNewExchanger(-1);
    m.rows = 10;
    m.Add(9, 10, 1.0);
    m.rightHandSide.push_back(0.5);
    m.rowTypes += "e";
    std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
    ASSERT_TRUE(solver);
    ASSERT_TRUE(solver->SetOption("PREPRO", 1.0));
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const TestResult r = ReadResult(*solver, m.columns, solver->Solve());
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(r.solved);
    for (double x : r.solution) EXPECT_EQ(x, 0.0);
    EXPECT_EQ(r.objective, 0.0);
}

}  // namespace

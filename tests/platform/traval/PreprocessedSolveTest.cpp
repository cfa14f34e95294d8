// Mixed-integer models reduced before their search ("PREPRO"): the answer is the hand-worked
// optimum in the model's own columns, as without the reduction; a model the reduction finds
// infeasible fails cleanly; nothing reaches the console; and a reduction kept between the
// solves of a stepwise search serves the later steps and gives way to another model.
#include "SolverTestModel.h"
#include "traval/MILPReduction.h"

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
TestModel OneNewExchanger(std::vector<int> excludedCandidates, double demand = 60.0) {
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
    m.rightHandSide = {demand, 0, 0, 0, 0, 0, 1, 0, 60};
    m.rowTypes = "elllllegl";
    m.objective = {0, 0, 0, 0, 0, 0.12, 1, 2, 5, 0.5, 1.5};
    m.integers = {6, 7, 8, 9, 10};
    for (int k : excludedCandidates) {
        m.marked.push_back(6 + k);
        m.bounds.push_back({6 + k, 0.0, 0.0});
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
    const TestModel m = OneNewExchanger(c.excludedCandidate >= 0 ? std::vector<int>{c.excludedCandidate} : std::vector<int>{});
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
    TestModel m = OneNewExchanger({});
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

// The steps of a stepwise search, each with the candidates of the earlier steps excluded, solved
// with one kept reduction: the first fills it, the later ones go on from it. By hand (above):
// all candidates y0 with z, 3.1; without y0 y1 alone, 3.2; without y0 and y1 y3 with z, 0.5 + 1.5
// + 0.12 x 15 = 3.8; without y0, y1 and y3 y2 alone, 5. Another model handed the same reduction
// (a demand of 70 kW) answers as a fresh solve of it does, and so does the first model after it.
struct KeptStep {
    const char* name;
    std::vector<int> excluded;
    double demand;
    double objective;
    int candidate;
    double existing;
    double heater;
};

// `gap` below 0: the engine's own; the large retrofit models are searched to half a per cent,
// which these optima, more than that apart, must still meet exactly.
TestResult SolveStep(const KeptStep& step, MILPReduction* kept, double gap = -1.0) {
    const TestModel m = OneNewExchanger(step.excluded, step.demand);
    std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
    if (!solver || !solver->SetOption("PREPRO", 1.0)) return {};
    if (gap >= 0.0 && !solver->SetOption("OPTCR", gap)) return {};
    if (kept && !solver->SetReduction(kept)) return {};
    return ReadResult(*solver, m.columns, solver->Solve());
}

class KeptReductionTest : public ::testing::TestWithParam<double> {};

TEST_P(KeptReductionTest, LaterStepsAndAnotherModelAnswerAsFreshSolvesWithHandWorkedOptima) {
    const double gap = GetParam();
    // 70 kW: y0 with z 1 + 1.5 + 0.12 x 15 = 4.3, y1 with z 2 + 1.5 = 3.5, y1 alone 2 + 2.4 = 4.4,
    // y2 5, y3 with z 0.5 + 1.5 + 3.0 = 5.0: y1 with z, the heater idle.
    const std::vector<KeptStep> steps = {
        {"first step", {}, 60.0, 3.1, 0, 1.0, 5.0},
        {"second step", {0}, 60.0, 3.2, 1, 0.0, 10.0},
        {"third step", {0, 1}, 60.0, 3.8, 3, 1.0, 15.0},
        {"another plant", {}, 70.0, 3.5, 1, 1.0, 0.0},
        {"its second step", {1}, 70.0, 4.3, 0, 1.0, 15.0},
        {"the first plant again", {0, 1, 3}, 60.0, 5.0, 2, 0.0, 0.0},
    };
    MILPReduction kept;
    ASSERT_TRUE(kept.IsEmpty());
    for (const KeptStep& step : steps) {
        SCOPED_TRACE(step.name);
        const TestResult fresh = SolveStep(step, nullptr, gap);
        const TestResult r = SolveStep(step, &kept, gap);
        ASSERT_TRUE(r.solved);
        EXPECT_FALSE(kept.IsEmpty());
        EXPECT_NEAR(r.objective, step.objective, kTol);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(r.solution[6 + k], k == step.candidate ? 1.0 : 0.0) << "y" << k;
        EXPECT_EQ(r.solution[10], step.existing);
        EXPECT_NEAR(r.solution[5], step.heater, kTol);
        ASSERT_TRUE(fresh.solved);
        EXPECT_NEAR(fresh.objective, r.objective, kTol);
        for (int j = 6; j < 11; ++j) EXPECT_EQ(fresh.solution[j], r.solution[j]) << "column " << j;
    }
    kept.Clear();
    EXPECT_TRUE(kept.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Gaps, KeptReductionTest, ::testing::Values(-1.0, 0.005),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return std::string(info.param < 0.0 ? "EnginesOwnGap" : "HalfAPerCent");
                         });

// The same steps with a fixed charge of 200 (a column held at one by a row), so that half a per
// cent of the objective exceeds the gap between the relaxation and the optimum: the first solve
// and the later ones may stop at the first solution within the gap of the relaxation's bound,
// where the relaxation is integral. Each answer is a solution of its step (one candidate, none of
// the excluded ones, the balance closed within the loads) within half a per cent of the optimum.
TEST(KeptReduction, StepsSearchedToTheGapAnswerSolutionsWithinItOfTheHandWorkedOptima) {
    constexpr double kCharge = 200.0;
    constexpr double kGap = 0.005;
    const std::vector<KeptStep> steps = {
        {"first step", {}, 60.0, 3.1, 0, 1.0, 5.0},
        {"second step", {0}, 60.0, 3.2, 1, 0.0, 10.0},
        {"third step", {0, 1}, 60.0, 3.8, 3, 1.0, 15.0},
        {"fourth step", {0, 1, 3}, 60.0, 5.0, 2, 0.0, 0.0},
    };
    const double loads[4] = {30, 50, 80, 20};
    MILPReduction kept;
    for (const KeptStep& step : steps) {
        SCOPED_TRACE(step.name);
        TestModel m = OneNewExchanger(step.excluded, step.demand);
        m.columns = 12;
        m.rows = 10;
        m.Add(9, 11, 1.0);
        m.rightHandSide.push_back(1.0);
        m.rowTypes += "g";
        m.objective.push_back(kCharge);
        std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
        ASSERT_TRUE(solver);
        ASSERT_TRUE(solver->SetOption("PREPRO", 1.0));
        ASSERT_TRUE(solver->SetOption("OPTCR", kGap));
        ASSERT_TRUE(solver->SetReduction(&kept));
        const TestResult r = ReadResult(*solver, m.columns, solver->Solve());
        ASSERT_TRUE(r.solved);
        EXPECT_FALSE(kept.IsEmpty());
        const double optimum = kCharge + step.objective;
        EXPECT_GE(r.objective, optimum - kTol);
        EXPECT_LE(r.objective, optimum * (1.0 + kGap));
        int chosen = 0;
        for (int k = 0; k < 4; ++k) {
            chosen += r.solution[6 + k] == 1.0;
            EXPECT_LE(r.solution[k], loads[k] * r.solution[6 + k] + kTol) << "Q" << k;
        }
        EXPECT_EQ(chosen, 1);
        for (int k : step.excluded) EXPECT_EQ(r.solution[6 + k], 0.0) << "y" << k;
        double supplied = r.solution[4] + r.solution[5];
        for (int k = 0; k < 4; ++k) supplied += r.solution[k];
        EXPECT_NEAR(supplied, 60.0, kTol);
        EXPECT_LE(r.solution[4], 25.0 * r.solution[10] + kTol);
        EXPECT_NEAR(r.solution[11], 1.0, kTol);
    }
}

// A model without "PREPRO" is searched as given and leaves nothing in the reduction.
TEST(KeptReduction, AModelSearchedAsGivenKeepsNothing) {
    const TestModel m = OneNewExchanger({});
    std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
    ASSERT_TRUE(solver);
    MILPReduction kept;
    ASSERT_TRUE(solver->SetReduction(&kept));
    const TestResult r = ReadResult(*solver, m.columns, solver->Solve());
    ASSERT_TRUE(r.solved);
    EXPECT_NEAR(r.objective, 3.1, kTol);
    EXPECT_TRUE(kept.IsEmpty());
}

}  // namespace

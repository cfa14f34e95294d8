// Warm starts of linear models: the basis of a solve handed to a model that gained columns at its
// end gives the same optimum as a cold solve (the hand-worked transportation optimum, cost 150);
// a basis of the wrong size is refused and changes nothing.
#include "SolverTestModel.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The transportation problem with plant 0's columns first and plant 1's added afterwards; while
// they are missing, an artificial column per customer (cost 100) takes the demand plant 0
// cannot meet. Columns: 0..4 artificials (one per row), then the plants' columns.
TestModel Restricted(bool withPlantOne) {
    TestModel m = Transportation(20, 30, 'e', 'e');
    TestModel r;
    r.rows = m.rows;
    r.columns = m.rows + (withPlantOne ? 6 : 3);
    r.rowTypes = m.rowTypes;
    r.rightHandSide = m.rightHandSide;
    for (int i = 0; i < m.rows; ++i) {
        r.Add(i, i, 1.0);
        r.objective.push_back(100.0);
    }
    for (std::size_t k = 0; k < m.tripletValues.size(); ++k) {
        if (!withPlantOne && m.tripletColumns[k] >= 3) continue;
        r.Add(m.tripletRows[k], m.rows + m.tripletColumns[k], m.tripletValues[k]);
    }
    for (int j = 0; j < (withPlantOne ? 6 : 3); ++j) r.objective.push_back(m.objective[static_cast<std::size_t>(j)]);
    return r;
}

TEST(WarmStart, AddedColumnsGoOnFromTheLastOptimum) {
    const TestModel first = Restricted(false);
    std::unique_ptr<IMILPSolver> a = LoadTestModel(first);
    ASSERT_TRUE(a->Solve());
    const int* statuses = nullptr;
    const int count = a->GetBasis(&statuses);
    ASSERT_EQ(count, first.columns + first.rows);
    ASSERT_NE(statuses, nullptr);
    const std::vector<int> basis(statuses, statuses + count);

    const TestModel second = Restricted(true);
    std::unique_ptr<IMILPSolver> warm = LoadTestModel(second);
    // More columns than the model has, another row count, a status the engine does not know.
    const std::vector<int> tooWide(static_cast<std::size_t>(second.columns + 1 + second.rows), 3);
    EXPECT_FALSE(warm->SetStartingBasis(tooWide.data(), second.columns + 1, second.rows));
    EXPECT_FALSE(warm->SetStartingBasis(basis.data(), first.columns, first.rows - 1));
    std::vector<int> unknown = basis;
    unknown.back() = 9;
    EXPECT_FALSE(warm->SetStartingBasis(unknown.data(), first.columns, first.rows));
    ASSERT_TRUE(warm->SetStartingBasis(basis.data(), first.columns, first.rows));
    const TestResult w = ReadResult(*warm, second.columns, warm->Solve());
    const TestResult c = SolveTestModel(second);
    ASSERT_TRUE(w.solved);
    ASSERT_TRUE(c.solved);
    EXPECT_NEAR(w.objective, 150.0, 1e-7);
    EXPECT_NEAR(c.objective, 150.0, 1e-7);
    // The unique optimum: plant 0 -> c0 5, c2 15; plant 1 -> c0 5, c1 25; no artificial.
    const std::vector<double> flows{0, 0, 0, 0, 0, 5, 0, 15, 5, 25, 0};
    for (std::size_t j = 0; j < flows.size(); ++j) EXPECT_NEAR(w.solution[j], flows[j], 1e-7) << j;
}

// A starting basis the engine cannot factorise (more basic columns than rows) makes the simplex
// repair it, which it may report straight to the console, past its message handlers; the console
// is closed to the engine while it runs. What the program printed before the solve still reaches
// standard output, in order with what it prints after.
TEST(WarmStart, ARepairedBasisPrintsNothing) {
    const TestModel model = Restricted(true);
    std::vector<int> singular(static_cast<std::size_t>(model.columns + model.rows), 3);
    for (int j = 0; j < model.columns; ++j) singular[static_cast<std::size_t>(j)] = 1;
    testing::internal::CaptureStdout();
    std::printf("before ");
    std::unique_ptr<IMILPSolver> warm = LoadTestModel(model);
    ASSERT_TRUE(warm->SetStartingBasis(singular.data(), model.columns, model.rows));
    const TestResult w = ReadResult(*warm, model.columns, warm->Solve());
    std::printf("after");
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "before after");
    ASSERT_TRUE(w.solved);
    EXPECT_NEAR(w.objective, 150.0, 1e-7);
}

}  // namespace

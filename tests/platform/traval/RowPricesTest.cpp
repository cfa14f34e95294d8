// Row prices of a linear solve: the reduced costs c - A'y of a minimisation, for the column
// generation that needs them; none for a mixed-integer model or after a failed solve.
#include "traval/IMILPSolver.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// min 2a + 3b + 4c with a + b = 5 and b + c = 2 (a, b, c >= 0): b serves both rows for 3 where
// a and c would cost 6, so b = 2, a = 3, c = 0. Prices y1 = 2 (a basic), y2 = 1 (b basic:
// 3 - 2); c's reduced cost is 4 - 1 = 3.
TEST(RowPrices, AreTheDualsOfAnOptimalLinearSolve) {
    std::unique_ptr<IMILPSolver> s(IMILPSolver::Create("QEV_XPRESS"));
    ASSERT_TRUE(s->SetSize(3, 2));
    const int rows[] = {0, 0, 1, 1};
    const int cols[] = {0, 1, 1, 2};
    const double values[] = {1, 1, 1, 1};
    const double rhs[] = {5, 2};
    const double costs[] = {2, 3, 4};
    ASSERT_TRUE(s->LoadMatrix(4, rows, cols, values));
    ASSERT_TRUE(s->SetRightHandSide(rhs));
    ASSERT_TRUE(s->SetRowTypes("ee"));
    ASSERT_TRUE(s->SetObjective(costs));
    EXPECT_EQ(s->GetRowPrices(), nullptr);
    ASSERT_TRUE(s->Solve());
    EXPECT_NEAR(s->GetSolution()[1], 2.0, 1e-9);
    const double* y = s->GetRowPrices();
    ASSERT_NE(y, nullptr);
    EXPECT_NEAR(y[0], 2.0, 1e-9);
    EXPECT_NEAR(y[1], 1.0, 1e-9);

    ASSERT_TRUE(s->SetColumnBounds(10.0, 0, 0.0));
    ASSERT_TRUE(s->SetIntegerColumn(0));
    ASSERT_TRUE(s->Solve());
    EXPECT_EQ(s->GetRowPrices(), nullptr);
}

}  // namespace

// Solving sparse-row models: the last entry of a column wins, the right-hand side comes from
// column n, the objective ignores it, integer columns are the tail, excluded columns stay at
// zero, and a failed or malformed model gives zeros and failure.
#include "eng/retrofit/ModelSolving.h"

#include "brasko/LurmetSparseMatrix.h"
#include "traval/IMILPSolver.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

SparseRow Row(char type, std::initializer_list<std::pair<int, double>> entries) {
    SparseRow row(static_cast<int>(entries.size()));
    int i = 0;
    for (const auto& [column, value] : entries) {
        row.SetColumn(i, column);
        row.SetCoefficient(i++, value);
    }
    row.SetType(type);
    return row;
}

SolverModel Model(int columns, const SparseRowList& rows, int integerColumns = 0) {
    SolverModel m;
    m.width = columns + 1;
    m.integerColumns = integerColumns;
    m.rows = &rows;
    return m;
}

}  // namespace

TEST(ModelSolving, TheLastEntryOfAColumnAndOfTheRightHandSideWinAndTheObjectiveIgnoresColumnN) {
    // x0 + x1 <= 4 (an earlier 5 x0 is dropped), x0 <= 3 (an earlier bound of 10 is dropped);
    // minimise -2 x0 - x1, the objective's entry in column 2 being no coefficient: x0 = 3, x1 = 1.
    const SparseRowList rows = {Row('l', {{0, 5.0}, {1, 1.0}, {0, 1.0}, {2, 4.0}}),
                                Row('l', {{0, 1.0}, {2, 10.0}, {2, 3.0}}),
                                Row('e', {{0, -2.0}, {1, -1.0}, {2, 1000.0}})};
    SolverModel m = Model(2, rows);
    const std::vector<double>& x = SolveModel(m);
    ASSERT_EQ(m.solved, 1);
    EXPECT_EQ(m.solutionPresent, 1);
    ASSERT_EQ(x.size(), 2u);
    EXPECT_NEAR(x[0], 3.0, 1e-9);
    EXPECT_NEAR(x[1], 1.0, 1e-9);
}

TEST(ModelSolving, IntegerColumnsAreTheLastKColumns) {
    // 2 x1 <= 1, x0 <= 1; minimise -x1 - 0.1 x0. With x1 integer it is 0, continuous 0.5.
    const SparseRowList rows = {Row('l', {{1, 2.0}, {2, 1.0}}), Row('l', {{0, 1.0}, {2, 1.0}}),
                                Row('e', {{1, -1.0}, {0, -0.1}})};
    for (int k : {0, 1}) {
        SolverModel m = Model(2, rows, k);
        const std::vector<double>& x = SolveModel(m);
        ASSERT_EQ(m.solved, 1) << k;
        EXPECT_NEAR(x[0], 1.0, 1e-9) << k;
        EXPECT_NEAR(x[1], k ? 0.0 : 0.5, 1e-9) << k;
    }
}

TEST(ModelSolving, ExcludedColumnsStayAtZeroAndZeroMeansNoExclusion) {
    // x0 + x1 + x2 <= 6, each <= 2 by its own row; minimise -(x0 + x1 + x2).
    const SparseRowList rows = {Row('l', {{0, 1.0}, {1, 1.0}, {2, 1.0}, {3, 6.0}}), Row('l', {{0, 1.0}, {3, 2.0}}),
                                Row('l', {{1, 1.0}, {3, 2.0}}), Row('l', {{2, 1.0}, {3, 2.0}}),
                                Row('e', {{0, -1.0}, {1, -1.0}, {2, -1.0}})};
    SolverModel m = Model(3, rows);
    m.exclusionFlag = 1;
    m.excludedColumns = {2, 0, 0, 0, 0};
    const std::vector<double>& x = SolveModel(m);
    ASSERT_EQ(m.solved, 1);
    EXPECT_NEAR(x[0], 2.0, 1e-9);
    EXPECT_NEAR(x[1], 2.0, 1e-9);
    EXPECT_NEAR(x[2], 0.0, 1e-12);
    // The same list without the flag ignores the excluded columns.
    m.exclusionFlag = 0;
    EXPECT_NEAR(SolveModel(m)[2], 2.0, 1e-9);
}

TEST(ModelSolving, AFailedSolveGivesZerosAndKeepsTheSolutionPresentFlag) {
    const SparseRowList feasible = {Row('e', {{0, 1.0}, {1, 3.0}}), Row('e', {{0, 1.0}})};
    const SparseRowList infeasible = {Row('g', {{0, 1.0}, {1, 5.0}}), Row('l', {{0, 1.0}, {1, 3.0}}),
                                      Row('e', {{0, 1.0}})};
    SolverModel m = Model(1, feasible);
    ASSERT_NEAR(SolveModel(m)[0], 3.0, 1e-9);
    ASSERT_EQ(m.solutionPresent, 1);
    m.rows = &infeasible;
    const std::vector<double>& x = SolveModel(m);
    EXPECT_EQ(m.solved, 0);
    EXPECT_EQ(m.solutionPresent, 1);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0], 0.0);
}

TEST(ModelSolving, AModelWithoutAConstraintRowIsRefusedNotSolved) {
    const SparseRowList objectiveOnly = {Row('e', {{0, 1.0}})};
    const SparseRowList none;
    for (const SparseRowList* rows : {&objectiveOnly, &none}) {
        SolverModel m = Model(2, *rows);
        const std::vector<double>& x = SolveModel(m);
        EXPECT_EQ(m.solved, 0);
        EXPECT_EQ(m.solutionPresent, 0);
        EXPECT_EQ(x, std::vector<double>(2, 0.0));
    }
}

TEST(ModelSolving, CreateMILPSolverLoadsAMatrixModelWithItsIntegerFlags) {
    // x0 + 2 x1 <= 3 and x1 <= 0.75 as a matrix; minimise -x0 - 3 x1 with x1 integer (binary):
    // x1 = 0 and x0 = 3; with x1 continuous x1 = 0.75, x0 = 1.5.
    LurmetSparseMatrix a(2, 2);
    a.SetElement(0, 0, 1.0);
    a.SetElement(0, 1, 2.0);
    a.SetElement(1, 1, 1.0);
    const double rhs[] = {3.0, 0.75};
    const double objective[] = {-1.0, -3.0};
    for (const char* flags : {"01", "00"}) {
        std::unique_ptr<IMILPSolver> solver = CreateMILPSolver(flags, a, "ll", rhs, objective);
        ASSERT_TRUE(solver);
        ASSERT_TRUE(solver->Solve()) << flags;
        const double* x = solver->GetSolution();
        const bool integer = flags[1] == '1';
        EXPECT_NEAR(x[0], integer ? 3.0 : 1.5, 1e-9) << flags;
        EXPECT_NEAR(x[1], integer ? 0.0 : 0.75, 1e-9) << flags;
    }
}

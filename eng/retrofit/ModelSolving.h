#pragma once
// Solving a retrofit model given as sparse rows, and loading a sparse-matrix model into a new
// solver.
//
// A retrofit model has n columns and one more, column n, that holds each row's right-hand side.
// Its row list holds the constraint rows in order and then the objective row; the last k columns
// (n - k .. n - 1) are integer. Within a row, a column named twice keeps its last entry.
#include "eng/retrofit/SparseRow.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class IMILPSolver;
class LurmetSparseMatrix;
class MILPReduction;

struct SolverModel {
    int width = 0;           // n + 1
    int integerColumns = 0;  // k
    int exclusionFlag = 0;   // non-zero: the excluded columns below are held at zero
    std::vector<double> solution;  // n values, replaced by every solve
    const SparseRowList* rows = nullptr;
    unsigned char solutionPresent = 0;  // set by a successful solve, never cleared here
    unsigned char solved = 1;           // outcome of the last solve
    std::array<int, 5> excludedColumns{};  // 0: no entry (column 0 cannot be excluded)
    // A large model's reduction kept between the solves of a stepwise run (null: none); the
    // caller owns it.
    MILPReduction* kept = nullptr;
    unsigned char stoppedAtTimeLimit = 0;  // set when the last solve's search ended at the time limit
    // More columns held at zero in the solves (null: none); the caller owns them.
    const std::vector<int>* heldAtZero = nullptr;
    // A model built of some of a larger model's candidates only stands for that model's search:
    // its integer columns (0: the model's own) choose the gap and the reduction.
    int searchedAs = 0;
};

// Models with at most this many integer columns are solved to optimality (`kExactOptimalityGap`):
// at a loose gap the solver keeps the first answer it finds, which on a small network can be
// twice the optimum and miss the obvious exchanger. Proving the optimum of a larger model can take
// minutes, so it is solved to `kLargeModelOptimalityGap`: its first solution can lie several per
// cent above the optimum and place the new exchanger elsewhere, while half a per cent costs
// seconds. Such a model is reduced before the search and the search steered to a good first
// solution. Every model's search ends at the time limit with the best solution found.
inline constexpr int kExactModelIntegerColumns = 400;
inline constexpr double kExactOptimalityGap = 1e-6;
inline constexpr double kLargeModelOptimalityGap = 0.005;
inline constexpr double kRetrofitTimeLimitSeconds = 120.0;
// New-exchanger models with more integer columns than this are searched with their candidates
// screened (CandidateScreen.h). Up to it the whole model's relaxation and search take a few seconds
// at most, and the screen would only change which of nearly tied places the search keeps (places
// the model cannot tell apart, but the area check after it can).
inline constexpr int kScreenedModelIntegerColumns = 2000;

// The gap a model with that many integer columns is solved to.
inline double RetrofitOptimalityGap(int integerColumns) {
    return integerColumns <= kExactModelIntegerColumns ? kExactOptimalityGap : kLargeModelOptimalityGap;
}

// How a model of that many integer columns was searched, for the report: empty for a model
// solved to optimality, else the gap and the time limit, and whether the search ended at it.
std::string DescribeModelSearch(int integerColumns, bool stoppedAtTimeLimit);

// Builds the model into a solver, minimises it and answers the model's solution: n values, all
// 0.0 after a failed solve (solved 0). A model without a constraint row, or without columns, is
// not handed to the solver and counts as a failed solve.
const std::vector<double>& SolveModel(SolverModel& model);

// A new solver ("QEV_XPRESS") loaded with the matrix, its row types ('l', 'e', 'g', one per row),
// right-hand sides and objective (one per column), minimising; a column whose flag character is
// '1' is integer (the flags may be shorter than the columns, or null). Not solved: the caller
// sets its options, solves and deletes it. Null when no solver can be created. Null arrays are
// not handed over.
std::unique_ptr<IMILPSolver> CreateMILPSolver(const char* integerFlags, const LurmetSparseMatrix& matrix,
                                              const char* rowTypes, const double* rightHandSide,
                                              const double* objective);

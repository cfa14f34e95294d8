#pragma once
// The hand-over between the solver's model store and the COIN-OR engines. Kept free of COIN
// headers so that only CoinRun.cpp sees them.
#include <vector>

class MILPReduction;

namespace traval {

// A model ready for an engine: bounds already resolved, matrix column-ordered without duplicate
// entries, infinite bounds written as +-infinity.
struct CoinModelData {
    int columns = 0;
    int rows = 0;
    std::vector<double> columnLower, columnUpper, objective;
    std::vector<double> rowLower, rowUpper;
    std::vector<int> columnStarts;  // columns + 1 entries
    std::vector<int> rowIndices;
    std::vector<double> elements;
    std::vector<int> integerColumns;
    double direction = 1.0;   // 1 minimise, -1 maximise
    double relativeGap = -1.0;  // below 0: the engine's own default
    double absoluteGap = -1.0;  // below 0: the engine's own default
    double seconds = 0.0;       // 0: no time limit
    bool preprocess = false;    // a mixed-integer model is reduced before its search
    // With `preprocess`: the reduction kept between solves of the same model (null: none).
    MILPReduction* kept = nullptr;
    // A linear solve's starting basis (statuses of the leading columns, then of every row;
    // empty: a cold start) and, after the solve, its final basis (all columns, then rows).
    int startColumns = 0;
    std::vector<int> startBasis;
    std::vector<int>* finalBasis = nullptr;
    // Set when a mixed-integer search ends at the time limit before it proves its gap (null: not asked).
    bool* stoppedAtTimeLimit = nullptr;
};

// Solves a model without integer columns with CLP. Answers true for a proven optimum and then
// fills the solution (one value per column).
// `rowPrices`, when given, receives the dual value of every row.
bool RunLinear(const CoinModelData& model, std::vector<double>& solution, std::vector<double>* rowPrices = nullptr);

// Solves a model with integer columns with CBC. Answers true when an integer solution was found
// (proven optimal, or the best one when the search stopped on its gap or time limit).
bool RunMixedInteger(const CoinModelData& model, std::vector<double>& solution);

}  // namespace traval

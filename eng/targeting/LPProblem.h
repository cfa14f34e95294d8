#pragma once
// The record every linear and mixed-integer model of targeting is assembled in: the constraint
// matrix (sparse), dense arrays for the objective, right-hand sides, column bounds, row types and
// integer flags, and the list of match columns with an optional lookup table from a pair of keys
// to the columns filed under it. Solving follows one fixed call order on the solver interface
// (LPSolve.cpp).
//
// A match column joins a hot side and a cold side, each named by an interval and a segment (the
// "first keys" are the hot side's pair, the "second keys" the cold side's). Row builders that
// name a pair and a key layout (0 hot side, 1 cold side) reach every column filed under it.
#include "brasko/LurmetSparseMatrix.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

class StreamSegment;
struct TemperatureInterval;

struct LPMatchColumn {
    StreamSegment* pHotSegment = nullptr;
    StreamSegment* pColdSegment = nullptr;
    const TemperatureInterval* pHotInterval = nullptr;
    const TemperatureInterval* pColdInterval = nullptr;
    // What sum rows select on (for example the stream pair's match record).
    const void* pMatch = nullptr;
    std::int32_t nIndex = -1;              // column number, -1 while new
    std::int32_t nHotIntervalIndex = -1;   // -1: no hot side (a slack column)
    std::int32_t nColdIntervalIndex = -1;
    double dLower = 0.0;
    double dUpper = 1.0;
    double dCoefficient = 0.0;  // objective coefficient
    double dFlow = 0.0;         // solution value
    // Owned values a model keeps per column (for example end temperatures of a solution).
    std::unique_ptr<std::vector<double>> pValues;

    // Keys of one side: layout 0 the hot side, 1 the cold side.
    std::pair<const void*, const void*> Keys(int layout) const {
        return layout == 0 ? std::pair<const void*, const void*>(pHotInterval, pHotSegment)
                           : std::pair<const void*, const void*>(pColdInterval, pColdSegment);
    }
};

class LPProblem {
public:
    enum RowType : std::int32_t { LessOrEqual = 0, Equality = 1, GreaterOrEqual = 2 };
    static constexpr int RowGrowth = 10;

    LPProblem() = default;
    LPProblem(const LPProblem&) = delete;
    LPProblem& operator=(const LPProblem&) = delete;

    // Frees first; then sizes the model: objective and both bound arrays per column, right-hand
    // sides and row types per row, a rows x columns matrix; row capacity = rows. Integer flags
    // are not allocated here.
    void Allocate(int columns, int rows);
    // Frees the arrays, the integer flags and the matrix; both counts become 0.
    void Free();
    // Frees everything the record holds (arrays, matrix, match table, columns) and the record.
    static void Destroy(LPProblem* problem) { delete problem; }
    // Appends one row: every coefficient that is not 0.0 goes into the matrix; the row arrays
    // grow by RowGrowth entries when full.
    void AddRow(std::span<const double> coefficients, int rowType, double rightHandSide);
    // Widens the model by n columns: matrix, count, objective and (when present) integer flags;
    // the bound arrays keep their size.
    void AddColumns(int n);

    // Files every column under the pair of its hot-side keys and under the pair of its cold-side
    // keys in one table (a column whose two pairs are equal is filed twice); the two object
    // lists give the table's extent (hot count).
    void BuildMatchTable(std::span<const void* const> hotObjects, std::span<const void* const> coldObjects);
    void FreeMatchTable();
    bool HasMatchTable() const { return m_pMatchTable != nullptr; }

    // An index of the columns by the keys of each side, so that rows find their columns without
    // scanning them all. It answers exactly what the scan would; it describes the columns as they
    // were when it was built and is dropped by FreeKeyIndex, Free and ResizeColumns.
    void IndexColumnsByKeys();
    void FreeKeyIndex() { m_pKeyIndex[0].reset(); m_pKeyIndex[1].reset(); }

    // 1.0 on every column of the pair: from the match table when it exists (both sides' pairs),
    // otherwise the columns whose keys of the given layout are (first, second).
    void SetMatchCoefficients(int row, const void* first, const void* second, int layout);
    // 1.0 on every column whose pMatch is `key`; right-hand side `value` when one matched, else
    // 0; row type greater-or-equal.
    void SetSumRow(int row, const void* key, double value);
    // With T1..T3 the boundary temperatures: T2 - T3 on the columns keyed (b1, key) and
    // -(T1 - T2) on those keyed (b2, key). Nothing when an argument is missing.
    void SetPairRow(int row, const TemperatureInterval* b1, const TemperatureInterval* b2,
                    const TemperatureInterval* b3, const StreamSegment* key, int layout);
    // (T1 - T2) x w2 on the columns keyed (b3, s1) and -(T3 - T1) x w1 on those keyed (b1, s2),
    // w being the specific heat in each segment's network block. Nothing when an argument or a
    // block is missing.
    void SetWeightedPairRow(int row, const TemperatureInterval* b1, const TemperatureInterval* b2,
                            const TemperatureInterval* b3, const StreamSegment* s1, const StreamSegment* s2,
                            int layout);

    static void NewMatchColumn(LPMatchColumn& column) { column = LPMatchColumn{}; }
    static void ClearMatchColumn(LPMatchColumn& column);
    // Resizes the column list to n: extra entries cleared and dropped, new ones initialised.
    void ResizeColumns(std::size_t n);

    // Hands the model to the solver "QEV_XPRESS" in the fixed call order. On success the solution
    // (one value per column) is written to `solution` and the objective value kept; a missing
    // solver, a failed solve or a model without columns answers false and changes nothing.
    bool Solve(std::vector<double>& solution, bool readObjective = false, std::vector<double>* rowPrices = nullptr);

    // Fields.
    std::vector<LPMatchColumn> columns;
    std::vector<std::int32_t> rowTypes;                    // capacity entries
    std::unique_ptr<std::vector<unsigned char>> pIntegerFlags;
    std::int32_t nRows = 0;
    std::int32_t nColumns = 0;
    std::vector<double> objective;
    std::unique_ptr<LurmetSparseMatrix> pMatrix;
    std::vector<double> rightHandSides;                    // capacity entries
    std::vector<double> lowerBounds;
    std::vector<double> upperBounds;
    std::int32_t nRowCapacity = 0;
    std::int32_t nHotCount = 0;
    double dObjectiveValue = 0.0;
    // Warm starts: with bWarmStart the basis of each solve is kept (basisColumns columns, then
    // the rows) and handed to the next, which then may only have gained columns at the end.
    bool bWarmStart = false;
    int basisColumns = 0;
    std::vector<int> basis;
    // The time a solve may take, in seconds (0: no limit), and whether the last solve ended at it
    // (a mixed-integer search then answers the best solution it found, if any).
    double dMaxSeconds = 0.0;
    bool bStoppedAtTimeLimit = false;

private:
    struct KeyHash {
        std::size_t operator()(const std::pair<const void*, const void*>& k) const noexcept {
            const auto a = reinterpret_cast<std::uintptr_t>(k.first);
            const auto b = reinterpret_cast<std::uintptr_t>(k.second);
            return std::hash<std::uintptr_t>()(a * 0x9E3779B97F4A7C15ULL ^ (b + 0x7F4A7C15ULL + (a << 6) + (a >> 2)));
        }
    };
    using MatchTable = std::unordered_map<std::pair<const void*, const void*>, std::vector<int>, KeyHash>;

    template <typename F>
    void ForEachKeyedColumn(const void* first, const void* second, int layout, F&& f) const;
    void SetElement(int row, int column, double value);

    std::unique_ptr<MatchTable> m_pMatchTable;
    std::unique_ptr<MatchTable> m_pKeyIndex[2];
};

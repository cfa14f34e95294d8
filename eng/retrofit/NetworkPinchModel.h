#pragma once
// The network-pinch model of an existing network: with its topology fixed, the least hot utility
// the network can reach, and the exchangers whose temperature approach is driven down to the
// minimum approach temperature at either end (the network's pinch, its bottlenecks). Also the
// degrees of freedom of the network's duties: the rank of its stream balances.
//
// Temperatures are kelvin, loads the scaled loads of the analysis.
#include "eng/retrofit/RetrofitRecords.h"
#include "eng/retrofit/SparseRow.h"

#include <cstdint>
#include <vector>

// The stream balances of a network over its duties: columns are the process exchangers in list
// order, then the heaters, then the coolers. One row per hot stream, cold stream, hot utility and
// cold utility, and a last row that the rank leaves out.
struct StreamBalanceRows {
    SparseRowList rows;
    int columns = 0;
};
StreamBalanceRows BuildStreamBalanceRows(const RetrofitNetwork& network);

// A row list to rank: every row but the last, columns 0 .. columns - 1.
struct RankMatrix {
    const SparseRowList* rows = nullptr;
    int rank = 0;     // out
    int columns = 0;
};

namespace SparseRowMatrix {
// Rank by elimination without row exchanges: each row's first non-zero column clears that column
// from the rows below it; the rank is the number of rows left non-zero. Also stored in `matrix`.
int ComputeRank(RankMatrix& matrix);
}  // namespace SparseRowMatrix

// Builds the network-pinch MILP. Column layout (N nodes, E exchangers, K coolers, H heaters):
// node temperatures 0 .. N - 1, exchanger duties, cooler duties, heater duties, a pair of pinch
// indicators per exchanger (hot end, cold end), four approach slacks per exchanger, then the
// interpolation columns of every exchanger end and mixer node (its load, a weight and a slack per
// stream point), and last the integer columns (one per segment between the points).
class GeneratePinchMatrx {
public:
    GeneratePinchMatrx(const RetrofitNetwork& network, double dtMin) : m_network(network), m_dtMin(dtMin) {}
    virtual ~GeneratePinchMatrx() = default;

    // Fills the rows, the width and the integer-column count; does nothing while rows exist. False
    // (and no rows) when an exchanger, mixer or tee names a node or stream the records lack.
    bool BuildModel();

    const SparseRowList& GetRows() const { return m_rows; }
    int GetWidth() const { return m_width; }  // columns + 1
    int GetNumberOfIntegerColumns() const { return m_integerColumns; }
    // 1-based positions of each exchanger's nodes (hot in, hot out, cold in, cold out), as stored
    // by the last build.
    const std::vector<HXInfo>& GetPositionedExchangers() const { return m_positioned; }

    // Weight of the heater duties in the objective: 30000 over the heaters' summed duty.
    static double HeaterWeight(const RetrofitNetwork& network);

private:
    const RetrofitNetwork& m_network;
    double m_dtMin;
    int m_width = 0;
    int m_integerColumns = 0;
    SparseRowList m_rows;
    std::vector<HXInfo> m_positioned;
};

struct PinchSolveRecord {
    const SparseRowList* rows = nullptr;
    int width = 0;
    const std::vector<HXInfo>* exchangers = nullptr;
    int nodes = 0;
    int heaters = 0;
    int coolers = 0;
    int integerColumns = 0;
    std::vector<double> solution;  // one value per column
    int flaggedCount = 0;
    std::vector<std::uint32_t> flaggedIds;
    std::vector<double> heaterDuties;
};

// An indicator value that counts as 1.
bool IsPinchIndicatorSet(double value);

// Solves the model and counts (and lists) the exchangers with an indicator at 1. A failed solve
// leaves zeros and flags nothing.
int SolvePinchModel(PinchSolveRecord& record);

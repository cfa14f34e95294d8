#pragma once
// The area LP is a transportation problem: every column carries heat from one hot load row to
// one cold load row, every row has exactly its load, and an artificial column on each row takes
// what the real columns cannot place. As a network: a node per row (a hot row supplies its load,
// a cold row asks for its load), an arc per column, and one more node, the "unplaced heat", that
// takes each hot row's artificial arc and gives each cold row's. Its min-cost flow is the LP's
// optimum, and its node potentials are the LP's row prices.
//
// The network simplex solves it on a spanning tree (parent, thread and subtree size per node)
// that stays strongly feasible, so that degenerate pivots cannot cycle; arcs are searched in
// blocks for the best reduced cost. Arcs may be added between solves (columns priced in): the
// tree and its flows stay optimal for the old arcs, and the next solve goes on from them.
//
// A pivot changes the potentials of one side of the tree, walked in thread order; the tree of
// this LP is long and thin (the heat runs down the curves), so that walk is the largest part of a
// pivot. The nodes are therefore numbered anew in thread order now and then (Renumber): the walk
// then reads memory in sequence. The numbers are labels only: every potential, flow and choice of
// arc is the same whatever they are, and rows keep their own numbers outside and in the arcs.
#include <chrono>
#include <bit>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

class AreaLPNetwork {
public:
    // A fresh network of the rows (loads, and whether each row is hot), every row on its
    // artificial arc.
    void Reset(std::span<const double> loads, std::span<const char> hot, double artificialCost);
    // Adds the arc of a column from hot row `hotRow` to cold row `coldRow`; its number (columns
    // are numbered from 0 in the order they were added).
    int AddArc(int hotRow, int coldRow, double cost);
    // A new price for a column (the potentials follow at the next SetArtificialCost).
    void SetArcCost(int arc, double cost);
    // A new price for the artificial arcs; the potentials follow the tree.
    void SetArtificialCost(double cost);
    // Starts from a given feasible flow instead of every row on its artificial arc: `flows` per
    // column, `artificial` per row (heat left unplaced). Cycles among the flowing arcs are
    // cancelled in their cheaper direction until those arcs form a forest; each tree of it that
    // does not reach the node of unplaced heat hangs from it by a hot row's artificial arc at no
    // flow, so the tree is strongly feasible. False, with the network as it was, when the flows do
    // not balance the rows. Only on a network fresh from Reset and AddArc.
    bool StartFrom(std::span<const double> flows, std::span<const double> artificial);
    // Cycles the last StartFrom cancelled.
    std::int64_t GetCancelledCycles() const { return m_cancelledCycles; }
    // Pivots until no arc has a negative reduced cost (true) or `maxPivots` were made or the
    // `deadline` passed (false; StoppedAtDeadline tells which).
    bool Optimize(std::int64_t maxPivots,
                  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());
    bool StoppedAtDeadline() const { return m_stoppedAtDeadline; }
    // The entering arc is the best of the first block of arcs that has one paying; a block holds
    // this share of the square root of the arcs (1 unless set).
    void SetBlockShare(double share) { m_blockShare = share; }

    // Drops the columns whose flag in `keep` is 0 (never a tree arc: those are kept whatever the
    // flag); the others are numbered anew in their order. The tree, its flows and potentials stay.
    void DropArcs(std::vector<char>& keep);
    // The reduced cost of a column under the present potentials (0 on the tree).
    double GetReducedCost(int arc) const { return ReducedCost(static_cast<std::size_t>(m_rows + arc)); }
    bool IsTreeArc(int arc) const { return m_state[static_cast<std::size_t>(m_rows + arc)] == Tree; }

    int GetNumberOfArcs() const { return static_cast<int>(m_arcs.size()) - m_rows; }
    double GetFlow(int arc) const { return m_flow[static_cast<std::size_t>(m_rows + arc)]; }
    double GetArtificialFlow(int row) const { return m_flow[static_cast<std::size_t>(row)]; }
    // The LP's price of the row: what one more unit of its load would cost.
    double GetRowPrice(int row) const;
    // The cost of the flow, artificial arcs included.
    double GetObjective() const;
    std::int64_t GetPivots() const { return m_pivots; }
    // Pivots between renumberings from the next Reset on; 0 (as given) for the square root of
    // the rows plus 100. The numbers are labels only: no flow or price depends on them.
    void SetRenumberInterval(std::int64_t pivots) { m_renumberInterval = pivots; }
    // How often the nodes were numbered anew since the last Reset.
    std::int64_t GetRenumberings() const { return m_renumberings; }

private:
    enum : signed char { Tree = 0, Lower = 1 };
    enum : signed char { Up = 1, Down = -1 };  // the tree arc runs to the parent, or from it

    double ReducedCost(std::size_t arc) const {
        return m_cost[arc] + m_pi[static_cast<std::size_t>(SourceOf(arc))] - m_pi[static_cast<std::size_t>(TargetOf(arc))];
    }
    // The nodes at the ends of an arc.
    int SourceOf(std::size_t arc) const { return NodeOf(m_arcs[arc].source); }
    int TargetOf(std::size_t arc) const { return NodeOf(m_arcs[arc].target); }
    // The entering arc: one whose reduced cost is below -`tolerance` times its price.
    bool FindEnteringArc(double tolerance);
    // The best arc of arcs [from, to) by reduced cost, if better than `best`.
    void SearchBlock(std::size_t from, std::size_t to, double tolerance, double& best, std::size_t& bestArc) const;
    void FindJoinNode();
    bool FindLeavingArc();
    void ChangeFlow();
    void UpdateTreeStructure();
    void UpdatePotential();
    void ShiftPotentials(int first, int stop, double delta);
    // The same, with 512-bit additions, where the processor has them.
    static void ShiftRunsWide(const int* thread, const std::uint64_t* breaks, double* pi, int first, int stop,
                              double delta);
    // The thread's successor of `u`, with its mark among the breaks kept in step.
    void SetThread(int u, int next) {
        const std::size_t k = static_cast<std::size_t>(u);
        m_thread[k] = next;
        const std::uint64_t bit = std::uint64_t{1} << (k & 63);
        if (next == u + 1) m_breaks[k >> 6] &= ~bit;
        else m_breaks[k >> 6] |= bit;
    }
    // The last node of the run of consecutive numbers in the thread from `u`: the first break at
    // or after it (the last number always breaks), found 64 nodes to a word.
    static int RunEnd(const std::uint64_t* breaks, int u) {
        std::size_t w = static_cast<std::size_t>(u) >> 6;
        std::uint64_t bits = breaks[w] & (~std::uint64_t{0} << (static_cast<unsigned>(u) & 63));
        while (bits == 0) bits = breaks[++w];
        return static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
    }
    int RunEnd(int u) const { return RunEnd(m_breaks.data(), u); }
    // The marks of every break in the thread afresh.
    void MarkBreaks();
    // Potentials afresh from the tree, root first: no drift from many small updates.
    void RecomputePotentials();
    // The nodes numbered in thread order from the root (0).
    void Renumber();
    // The node of a row; the row number past the last stands for the node of unplaced heat.
    int NodeOf(int row) const { return m_nodeOfRow[static_cast<std::size_t>(row)]; }
    // The tree arrays (parent, arc to it, direction, thread, subtree sizes) from the tree arcs,
    // hung from the root; false when they do not span the nodes.
    bool BuildTree(const std::vector<std::size_t>& treeArcs);

    int m_rows = 0;
    int m_root = 0;
    // Arcs: the rows' artificial arcs first, then the columns.
    std::vector<double> m_cost, m_flow;
    std::vector<signed char> m_state;
    // The arcs' ends, as rows (the node of unplaced heat as row m_rows), and their costs as the
    // search for the entering arc sees them: the search reads nothing else. A tree arc is priced
    // at infinity there, so that the search passes it over without asking for its state. Ends
    // name rows rather than nodes so that a renumbering leaves the arcs alone: the search then
    // reads each end's node from m_nodeOfRow, which stays in the cache.
    struct Arc {
        int source, target;
    };
    std::vector<Arc> m_arcs;
    std::vector<double> m_price;
    // Nodes: the rows, then the node of unplaced heat (the root).
    std::vector<double> m_pi;
    std::vector<int> m_parent, m_pred, m_thread, m_revThread, m_succNum, m_lastSucc;
    // A bit per node, set where the thread breaks off the run of consecutive numbers (the node's
    // successor is not the next number; the last number always breaks). A potential update
    // reads these marks instead of the successors, 64 nodes to a word, and adds its shift along
    // each run as a block.
    std::vector<std::uint64_t> m_breaks;
    std::vector<signed char> m_predDir;
    std::vector<int> m_dirtyRevs;
    // The nodes from each end of the entering arc up to the join (not included), in that order.
    std::vector<int> m_sourcePath, m_targetPath;
    std::vector<char> m_hot;
    // The node of each row, and last of the node of unplaced heat (rows are numbered by the LP,
    // nodes by the thread; see Renumber).
    std::vector<int> m_nodeOfRow;
    std::vector<int> m_newNumber;
    // The runs of consecutive numbers of the thread, as Renumber meets them: first node, length.
    std::vector<std::pair<int, int>> m_runs;
    // Room for Renumber to move the node arrays into.
    std::vector<double> m_spareDoubles;
    std::vector<int> m_spareInts;
    std::vector<signed char> m_spareDirections;
    std::int64_t m_pivotsSinceRenumber = 0;
    // Pivots between renumberings (see Optimize).
    std::int64_t m_renumberEvery = 100;
    std::int64_t m_renumberInterval = 0;
    std::int64_t m_renumberings = 0;
    double m_artificialCost = 0.0;
    std::size_t m_nextArc = 0;
    std::size_t m_blockSize = 1;
    double m_blockShare = 1.0;
    std::int64_t m_pivots = 0;
    bool m_stoppedAtDeadline = false;
    std::int64_t m_cancelledCycles = 0;
    // The pivot in progress.
    int m_inArc = -1, m_join = -1, m_uIn = -1, m_vIn = -1, m_uOut = -1, m_vOut = -1;
    double m_delta = 0.0;
};

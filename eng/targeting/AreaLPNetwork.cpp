// The network simplex of the area LP (see AreaLPNetwork.h). The tree is kept as in the classic
// implementations: for every node its parent, the arc to it and that arc's direction, the
// preorder thread (and its reverse), the size of its subtree and the last node of its subtree in
// the thread. The arcs have no upper bound, so every non-tree arc sits at flow 0.
#include "eng/targeting/AreaLPNetwork.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {
// An arc enters when its reduced cost is below this share of its own cost (a price this close to
// paying changes no area) and below the rounding of the potentials it is worked out from.
constexpr double kEnterTolerance = 1e-12;
// The rounding of a reduced cost, per unit of the size of its two potentials. The potentials hang
// from the node of unplaced heat, whose arcs cost a thousand times the dearest column, so they lie
// near that price while a cheap column costs a hundredth of it: one unit in the last place of a
// potential of 1,000 (1.1e-13) is more than 1e-12 of a column of 0.08. The columns of rows of one
// interval pair with equal film coefficients cost the same, so they close cycles of no cost; with
// the share of the price alone, a reduced cost of one unit in the last place below 0 let such a
// column in, the pivot moved heat round the cycle at no gain, left the potentials as they were
// and let the column that had just left back in, round after round of the same few pivots
// without end (a 300-stream table with two hot utilities went on so for hours; 16 streams with
// two film coefficients between them ran so into the pivot limit). A reduced cost that does not clear four
// units of rounding of each potential is no saving: in exact arithmetic the arc just left costs
// as much as the one let in saved, so none of the few pivots of such a cycle comes back.
constexpr double kPotentialRounding = 4.0 * std::numeric_limits<double>::epsilon();
// Potentials are sums along the tree's paths from the node of unplaced heat, whose arcs are dear,
// so on a large and deep tree they may be ten thousand times an arc's price and more, and their
// rounding then reaches kEnterTolerance of it. Taken afresh after a round, they can
// show arcs paying by less than their own rounding, and the next round pivots on them to show
// others (a table of 2,000 random streams went on so for 100 rounds and failed). From the fourth
// round an arc must pay ten times more each round, up to kLoosestEnterTolerance: smaller models
// settle within three rounds and pivot exactly as before, and the column generation still proves
// the optimum by its own test.
constexpr int kRoundsAtFirstTolerance = 3;
constexpr double kLoosestEnterTolerance = 1e-9;
// Flows this small relative to the loads are rounding left behind by equal pivots.
constexpr double kFlowNoise = 1e-13;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}  // namespace

void AreaLPNetwork::Reset(std::span<const double> loads, std::span<const char> hot, double artificialCost) {
    m_rows = static_cast<int>(loads.size());
    m_root = m_rows;
    const std::size_t nodes = static_cast<std::size_t>(m_rows) + 1;
    m_hot.assign(hot.begin(), hot.end());
    m_artificialCost = artificialCost;
    m_cost.assign(static_cast<std::size_t>(m_rows), artificialCost);
    m_flow.assign(static_cast<std::size_t>(m_rows), 0.0);
    m_state.assign(static_cast<std::size_t>(m_rows), Tree);
    m_arcs.assign(static_cast<std::size_t>(m_rows), Arc{0, 0});
    m_price.assign(static_cast<std::size_t>(m_rows), kInfinity);
    m_pi.assign(nodes, 0.0);
    m_parent.assign(nodes, -1);
    m_pred.assign(nodes, -1);
    m_thread.assign(nodes, 0);
    m_revThread.assign(nodes, 0);
    m_succNum.assign(nodes, 1);
    m_lastSucc.assign(nodes, 0);
    m_predDir.assign(nodes, Up);

    // Every row hangs from the root on its artificial arc: a hot row sends its load up to the
    // root, a cold row receives its load from it.
    const std::size_t root = static_cast<std::size_t>(m_root);
    m_thread[root] = m_rows > 0 ? 0 : m_root;
    m_revThread[0] = m_root;
    m_succNum[root] = m_rows + 1;
    m_lastSucc[root] = m_rows > 0 ? m_rows - 1 : m_root;
    for (int u = 0; u < m_rows; ++u) {
        const std::size_t k = static_cast<std::size_t>(u);
        m_parent[k] = m_root;
        m_pred[k] = u;
        m_thread[k] = u + 1;
        m_revThread[k + 1] = u;
        m_lastSucc[k] = u;
        m_flow[k] = std::max(loads[k], 0.0);
        if (m_hot[k]) {
            m_arcs[k].source = u;
            m_arcs[k].target = m_root;
            m_predDir[k] = Up;
            m_pi[k] = -artificialCost;
        } else {
            m_arcs[k].source = m_root;
            m_arcs[k].target = u;
            m_predDir[k] = Down;
            m_pi[k] = artificialCost;
        }
    }
    MarkBreaks();
    m_nodeOfRow.resize(nodes);
    for (std::size_t r = 0; r < nodes; ++r) m_nodeOfRow[r] = static_cast<int>(r);
    m_nextArc = 0;
    m_pivots = 0;
    m_pivotsSinceRenumber = 0;
    m_renumberEvery = m_renumberInterval > 0 ? m_renumberInterval
                                             : static_cast<std::int64_t>(std::sqrt(static_cast<double>(m_rows))) + 100;
    m_renumberings = 0;
}

int AreaLPNetwork::AddArc(int hotRow, int coldRow, double cost) {
    m_cost.push_back(cost);
    m_flow.push_back(0.0);
    m_state.push_back(Lower);
    m_arcs.push_back(Arc{hotRow, coldRow});
    m_price.push_back(cost);
    return static_cast<int>(m_arcs.size()) - 1 - m_rows;
}

void AreaLPNetwork::DropArcs(std::vector<char>& keep) {
    const std::size_t arcs = m_arcs.size();
    std::vector<int> renumbered(arcs, -1);
    std::size_t next = 0;
    for (std::size_t e = 0; e < arcs; ++e) {
        const bool column = e >= static_cast<std::size_t>(m_rows);
        if (column) {
            char& k = keep[e - static_cast<std::size_t>(m_rows)];
            if (m_state[e] == Tree) k = 1;
            if (!k) continue;
        }
        renumbered[e] = static_cast<int>(next);
        m_cost[next] = m_cost[e];
        m_flow[next] = m_flow[e];
        m_state[next] = m_state[e];
        m_arcs[next] = m_arcs[e];
        m_price[next] = m_price[e];
        ++next;
    }
    m_cost.resize(next);
    m_flow.resize(next);
    m_state.resize(next);
    m_arcs.resize(next);
    m_price.resize(next);
    for (int& pred : m_pred)
        if (pred >= 0) pred = renumbered[static_cast<std::size_t>(pred)];
    m_nextArc = 0;
}

void AreaLPNetwork::SetArcCost(int arc, double cost) {
    const std::size_t e = static_cast<std::size_t>(m_rows + arc);
    m_cost[e] = cost;
    if (m_state[e] != Tree) m_price[e] = cost;
}

void AreaLPNetwork::SetArtificialCost(double cost) {
    m_artificialCost = cost;
    for (int r = 0; r < m_rows; ++r) {
        const std::size_t e = static_cast<std::size_t>(r);
        m_cost[e] = cost;
        if (m_state[e] != Tree) m_price[e] = cost;
    }
    RecomputePotentials();
}

double AreaLPNetwork::GetRowPrice(int row) const {
    const double pi = m_pi[static_cast<std::size_t>(NodeOf(row))] - m_pi[static_cast<std::size_t>(m_root)];
    return m_hot[static_cast<std::size_t>(row)] ? -pi : pi;
}

double AreaLPNetwork::GetObjective() const {
    double total = 0.0;
    for (std::size_t e = 0; e < m_arcs.size(); ++e)
        if (m_flow[e] != 0.0) total += m_cost[e] * m_flow[e];
    return total;
}

void AreaLPNetwork::RecomputePotentials() {
    m_pi[static_cast<std::size_t>(m_root)] = 0.0;
    for (int u = m_thread[static_cast<std::size_t>(m_root)]; u != m_root; u = m_thread[static_cast<std::size_t>(u)]) {
        const std::size_t k = static_cast<std::size_t>(u);
        const std::size_t e = static_cast<std::size_t>(m_pred[k]);
        m_pi[k] = m_pi[static_cast<std::size_t>(m_parent[k])] - m_predDir[k] * m_cost[e];
    }
}

void AreaLPNetwork::MarkBreaks() {
    const std::size_t nodes = m_thread.size();
    m_breaks.assign((nodes + 63) / 64, 0);
    for (std::size_t k = 0; k < nodes; ++k)
        if (m_thread[k] != static_cast<int>(k) + 1) m_breaks[k >> 6] |= std::uint64_t{1} << (k & 63);
}

void AreaLPNetwork::Renumber() {
    const std::size_t nodes = static_cast<std::size_t>(m_rows) + 1;
    m_newNumber.resize(nodes);
    // The thread from the root, a run of consecutive numbers at a time (most of it lies in long
    // runs since the last renumbering): each run keeps its order and moves as a block. The walk
    // ends after the last node, which may lie in one run with the root's predecessors.
    m_runs.clear();
    int u = m_root;
    for (std::size_t k = 0; k < nodes;) {
        const std::size_t length = std::min(static_cast<std::size_t>(RunEnd(u) - u) + 1, nodes - k);
        m_runs.push_back({u, static_cast<int>(length)});
        int* const number = m_newNumber.data() + u;
        for (std::size_t i = 0; i < length; ++i) number[i] = static_cast<int>(k + i);
        k += length;
        u = m_thread[static_cast<std::size_t>(u) + length - 1];
    }
    const int* const newNumber = m_newNumber.data();
    // Moves every node's entry to its new number (by way of `spare`, which is left holding the old
    // entries); entries that name nodes are renamed as well.
    auto move = [&](auto& values, auto& spare, bool namesNodes) {
        spare.resize(nodes);
        auto* to = spare.data();
        for (const auto& [first, length] : m_runs) {
            const auto* from = values.data() + first;
            if constexpr (std::is_same_v<std::remove_reference_t<decltype(values)>, std::vector<int>>) {
                if (namesNodes) {
                    for (int i = 0; i < length; ++i) to[i] = from[i] < 0 ? from[i] : newNumber[from[i]];
                    to += length;
                    continue;
                }
            }
            std::copy(from, from + length, to);
            to += length;
        }
        values.swap(spare);
    };
    move(m_pi, m_spareDoubles, false);
    move(m_parent, m_spareInts, true);
    move(m_pred, m_spareInts, false);
    move(m_succNum, m_spareInts, false);
    move(m_lastSucc, m_spareInts, true);
    move(m_predDir, m_spareDirections, false);
    // In thread order each node's successor is the next number, and the last node leads back to
    // the root: the only break.
    for (std::size_t k = 0; k + 1 < nodes; ++k) {
        m_thread[k] = static_cast<int>(k) + 1;
        m_revThread[k + 1] = static_cast<int>(k);
    }
    m_thread[nodes - 1] = 0;
    m_revThread[0] = static_cast<int>(nodes) - 1;
    std::fill(m_breaks.begin(), m_breaks.end(), 0);
    m_breaks[(nodes - 1) >> 6] = std::uint64_t{1} << ((nodes - 1) & 63);
    // The arcs name rows, not nodes, so that a renumbering does not touch them (ten and more arcs
    // a row): only the rows' nodes are renamed.
    for (int& node : m_nodeOfRow) node = newNumber[node];
    m_root = NodeOf(m_rows);
    m_pivotsSinceRenumber = 0;
    ++m_renumberings;
}

// Block search: the arcs are looked at in blocks of about the square root of their number (times
// the block share), from where the last search stopped; the best arc of the first block that has
// one enters.
bool AreaLPNetwork::FindEnteringArc(double tolerance) {
    const std::size_t arcs = m_arcs.size();
    if (arcs == 0) return false;
    m_blockSize = std::max<std::size_t>(static_cast<std::size_t>(m_blockShare * std::sqrt(static_cast<double>(arcs))), 10);
    double best = 0.0;
    std::size_t bestArc = arcs;
    std::size_t e = m_nextArc < arcs ? m_nextArc : 0;
    for (std::size_t left = arcs; left > 0;) {
        // A block may run past the last arc and go on from the first.
        const std::size_t block = std::min(m_blockSize, left);
        const std::size_t beforeEnd = std::min(block, arcs - e);
        left -= block;
        SearchBlock(e, e + beforeEnd, tolerance, best, bestArc);
        e += beforeEnd;
        if (e == arcs) e = 0;
        if (beforeEnd < block) {
            SearchBlock(0, block - beforeEnd, tolerance, best, bestArc);
            e = block - beforeEnd;
        }
        if (bestArc != arcs) break;
    }
    if (bestArc == arcs) return false;
    m_nextArc = e;
    m_inArc = static_cast<int>(bestArc);
    return true;
}

// Tree arcs are priced at infinity here: no reduced cost of theirs is below `best`, which is
// never above 0.
void AreaLPNetwork::SearchBlock(std::size_t from, std::size_t to, double tolerance, double& best,
                                 std::size_t& bestArc) const {
    const Arc* const arcs = m_arcs.data();
    const double* const prices = m_price.data();
    const int* const node = m_nodeOfRow.data();
    const double* const pi = m_pi.data();
    double b = best;
    std::size_t at = bestArc;
    for (std::size_t e = from; e < to; ++e) {
        const Arc& arc = arcs[e];
        const double price = prices[e];
        const double piSource = pi[node[arc.source]], piTarget = pi[node[arc.target]];
        const double c = price + piSource - piTarget;
        if (c < b && c < -(tolerance * price + kPotentialRounding * (std::fabs(piSource) + std::fabs(piTarget)))) {
            b = c;
            at = e;
        }
    }
    best = b;
    bestArc = at;
}

// The two paths up to the join are kept, so that the search for the leaving arc and the change
// of flow go along them again without walking the parents.
void AreaLPNetwork::FindJoinNode() {
    int u = SourceOf(static_cast<std::size_t>(m_inArc));
    int v = TargetOf(static_cast<std::size_t>(m_inArc));
    m_sourcePath.clear();
    m_targetPath.clear();
    while (u != v) {
        if (m_succNum[static_cast<std::size_t>(u)] < m_succNum[static_cast<std::size_t>(v)]) {
            m_sourcePath.push_back(u);
            u = m_parent[static_cast<std::size_t>(u)];
        } else {
            m_targetPath.push_back(v);
            v = m_parent[static_cast<std::size_t>(v)];
        }
    }
    m_join = u;
}

// The leaving arc is the last blocking arc met going round the cycle from the join node in the
// direction of the entering arc: the tree stays strongly feasible.
bool AreaLPNetwork::FindLeavingArc() {
    const int first = SourceOf(static_cast<std::size_t>(m_inArc));
    const int second = TargetOf(static_cast<std::size_t>(m_inArc));
    m_delta = kInfinity;
    int result = 0;
    for (const int u : m_sourcePath) {
        const std::size_t k = static_cast<std::size_t>(u);
        if (m_predDir[k] == Down) continue;  // flow grows on it: never blocks
        const double d = std::max(m_flow[static_cast<std::size_t>(m_pred[k])], 0.0);
        if (d < m_delta) {
            m_delta = d;
            m_uOut = u;
            result = 1;
        }
    }
    for (const int u : m_targetPath) {
        const std::size_t k = static_cast<std::size_t>(u);
        if (m_predDir[k] == Up) continue;
        const double d = std::max(m_flow[static_cast<std::size_t>(m_pred[k])], 0.0);
        if (d <= m_delta) {
            m_delta = d;
            m_uOut = u;
            result = 2;
        }
    }
    if (result == 0) return false;  // a cycle of positive costs cannot be unbounded
    if (result == 1) {
        m_uIn = first;
        m_vIn = second;
    } else {
        m_uIn = second;
        m_vIn = first;
    }
    return true;
}

void AreaLPNetwork::ChangeFlow() {
    const double val = m_delta;
    const std::size_t leaving = static_cast<std::size_t>(m_pred[static_cast<std::size_t>(m_uOut)]);
    if (val > 0.0) {
        m_flow[static_cast<std::size_t>(m_inArc)] += val;
        for (const int u : m_sourcePath) {
            const std::size_t k = static_cast<std::size_t>(u);
            double& f = m_flow[static_cast<std::size_t>(m_pred[k])];
            f -= m_predDir[k] * val;
            if (std::fabs(f) <= kFlowNoise * val) f = 0.0;
        }
        for (const int u : m_targetPath) {
            const std::size_t k = static_cast<std::size_t>(u);
            double& f = m_flow[static_cast<std::size_t>(m_pred[k])];
            f += m_predDir[k] * val;
            if (std::fabs(f) <= kFlowNoise * val) f = 0.0;
        }
    }
    m_state[static_cast<std::size_t>(m_inArc)] = Tree;
    m_price[static_cast<std::size_t>(m_inArc)] = kInfinity;
    m_state[leaving] = Lower;
    m_price[leaving] = m_cost[leaving];
    m_flow[leaving] = 0.0;
}

void AreaLPNetwork::UpdateTreeStructure() {
    auto at = [](std::vector<int>& v, int i) -> int& { return v[static_cast<std::size_t>(i)]; };
    const int oldRevThread = at(m_revThread, m_uOut);
    const int oldSuccNum = at(m_succNum, m_uOut);
    const int oldLastSucc = at(m_lastSucc, m_uOut);
    m_vOut = at(m_parent, m_uOut);

    if (m_uIn == m_uOut) {
        at(m_parent, m_uIn) = m_vIn;
        at(m_pred, m_uIn) = m_inArc;
        m_predDir[static_cast<std::size_t>(m_uIn)] = m_uIn == SourceOf(static_cast<std::size_t>(m_inArc)) ? Up : Down;
        if (at(m_thread, m_vIn) != m_uOut) {
            int after = at(m_thread, oldLastSucc);
            SetThread(oldRevThread, after);
            at(m_revThread, after) = oldRevThread;
            after = at(m_thread, m_vIn);
            SetThread(m_vIn, m_uOut);
            at(m_revThread, m_uOut) = m_vIn;
            SetThread(oldLastSucc, after);
            at(m_revThread, after) = oldLastSucc;
        }
    } else {
        // When the old reverse thread of u_out is v_in, the join and v_out coincide.
        const int threadContinue = oldRevThread == m_vIn ? at(m_thread, oldLastSucc) : at(m_thread, m_vIn);

        // The stem: the nodes from u_in up to u_out, whose parents change.
        int stem = m_uIn;
        int parStem = m_vIn;
        int last = at(m_lastSucc, m_uIn);
        int after = at(m_thread, last);
        SetThread(m_vIn, m_uIn);
        m_dirtyRevs.clear();
        m_dirtyRevs.push_back(m_vIn);
        while (stem != m_uOut) {
            const int nextStem = at(m_parent, stem);
            SetThread(last, nextStem);
            m_dirtyRevs.push_back(last);
            const int before = at(m_revThread, stem);
            SetThread(before, after);
            at(m_revThread, after) = before;
            at(m_parent, stem) = parStem;
            parStem = stem;
            stem = nextStem;
            last = at(m_lastSucc, stem) == at(m_lastSucc, parStem) ? at(m_revThread, parStem) : at(m_lastSucc, stem);
            after = at(m_thread, last);
        }
        at(m_parent, m_uOut) = parStem;
        SetThread(last, threadContinue);
        at(m_revThread, threadContinue) = last;
        at(m_lastSucc, m_uOut) = last;

        if (oldRevThread != m_vIn) {
            SetThread(oldRevThread, after);
            at(m_revThread, after) = oldRevThread;
        }
        for (int u : m_dirtyRevs) at(m_revThread, at(m_thread, u)) = u;

        // Arcs, directions, subtree sizes and last successors along the stem, from u_out down.
        int tmpSc = 0;
        const int tmpLs = at(m_lastSucc, m_uOut);
        for (int u = m_uOut, p = at(m_parent, u); u != m_uIn; u = p, p = at(m_parent, u)) {
            at(m_pred, u) = at(m_pred, p);
            m_predDir[static_cast<std::size_t>(u)] = static_cast<signed char>(-m_predDir[static_cast<std::size_t>(p)]);
            tmpSc += at(m_succNum, u) - at(m_succNum, p);
            at(m_succNum, u) = tmpSc;
            at(m_lastSucc, p) = tmpLs;
        }
        at(m_pred, m_uIn) = m_inArc;
        m_predDir[static_cast<std::size_t>(m_uIn)] = m_uIn == SourceOf(static_cast<std::size_t>(m_inArc)) ? Up : Down;
        at(m_succNum, m_uIn) = oldSuccNum;
    }

    // Last successors from v_in towards the root.
    const int upLimitOut = at(m_lastSucc, m_join) == m_vIn ? m_join : -1;
    const int lastSuccOut = at(m_lastSucc, m_uOut);
    for (int u = m_vIn; u != -1 && at(m_lastSucc, u) == m_vIn; u = at(m_parent, u)) at(m_lastSucc, u) = lastSuccOut;

    // Last successors from v_out towards the root.
    if (m_join != oldRevThread && m_vIn != oldRevThread) {
        for (int u = m_vOut; u != upLimitOut && at(m_lastSucc, u) == oldLastSucc; u = at(m_parent, u))
            at(m_lastSucc, u) = oldRevThread;
    } else if (lastSuccOut != oldLastSucc) {
        for (int u = m_vOut; u != upLimitOut && at(m_lastSucc, u) == oldLastSucc; u = at(m_parent, u))
            at(m_lastSucc, u) = lastSuccOut;
    }

    for (int u = m_vIn; u != m_join; u = at(m_parent, u)) at(m_succNum, u) += oldSuccNum;
    for (int u = m_vOut; u != m_join; u = at(m_parent, u)) at(m_succNum, u) -= oldSuccNum;
}

// Only differences of potentials count (prices are read against the root's): the side of the new
// tree arc with fewer nodes moves, the subtree below u_in by sigma or everything else by -sigma.
void AreaLPNetwork::UpdatePotential() {
    const std::size_t uIn = static_cast<std::size_t>(m_uIn);
    const double sigma = m_pi[static_cast<std::size_t>(m_vIn)] - m_pi[uIn] -
                         m_predDir[uIn] * m_cost[static_cast<std::size_t>(m_inArc)];
    const int end = m_thread[static_cast<std::size_t>(m_lastSucc[uIn])];
    const int nodes = m_rows + 1;
    if (2 * m_succNum[uIn] <= nodes) ShiftPotentials(m_uIn, end, sigma);
    else ShiftPotentials(end, m_uIn, -sigma);
}

// Adds `delta` to the potentials of the nodes from `first` up to (not including) `stop` in
// thread order. The thread runs through consecutive numbers between its breaks (long runs after
// Renumber), so the walk goes a run at a time: the marks of the breaks give the run's end, 64
// nodes to a word, and the run's potentials move as one block. Every node on the way gets the
// same single addition as a walk node by node would give it, whichever way the block is added.
void AreaLPNetwork::ShiftPotentials(int first, int stop, double delta) {
#if defined(__GNUC__) && defined(__x86_64__)
    // Most runs are short (three in four under eight nodes at 200 random streams: the breaks
    // gather where the pivots are), so a run's loop ends and remainders cost as much as its
    // additions. Where the processor has 512-bit additions, eight go to an instruction and a
    // run's remainder takes one masked block instead of a loop.
    static const bool wide = __builtin_cpu_supports("avx512f");
    if (wide) return ShiftRunsWide(m_thread.data(), m_breaks.data(), m_pi.data(), first, stop, delta);
#endif
    const int* const thread = m_thread.data();
    const std::uint64_t* const breaks = m_breaks.data();
    double* const pi = m_pi.data();
    for (int u = first; u != stop;) {
        const int end = RunEnd(breaks, u);
        // The walk meets `stop` inside the run when it lies after u and not beyond the run's end.
        const bool stopsHere = stop > u && stop <= end;
        const int last = stopsHere ? stop - 1 : end;
        double* p = pi + u;
        double* const after = pi + last + 1;
#if defined(__SSE2__)
        const __m128d shift = _mm_set1_pd(delta);
        for (; p + 2 <= after; p += 2) _mm_storeu_pd(p, _mm_add_pd(_mm_loadu_pd(p), shift));
#endif
        for (; p < after; ++p) *p += delta;
        if (stopsHere) return;
        u = thread[end];
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target("avx512f"))) void AreaLPNetwork::ShiftRunsWide(const int* thread, const std::uint64_t* breaks,
                                                                     double* pi, int first, int stop, double delta) {
    const __m512d shift = _mm512_set1_pd(delta);
    for (int u = first; u != stop;) {
        const int end = RunEnd(breaks, u);
        const bool stopsHere = stop > u && stop <= end;
        const int last = stopsHere ? stop - 1 : end;
        double* p = pi + u;
        int left = last - u + 1;
        for (; left >= 8; left -= 8, p += 8) _mm512_storeu_pd(p, _mm512_add_pd(_mm512_loadu_pd(p), shift));
        // Lanes outside the mask are neither read nor written.
        const __mmask8 mask = static_cast<__mmask8>((1u << left) - 1u);
        _mm512_mask_storeu_pd(p, mask, _mm512_add_pd(_mm512_maskz_loadu_pd(mask, p), shift));
        if (stopsHere) return;
        u = thread[end];
    }
}
#endif

bool AreaLPNetwork::Optimize(std::int64_t maxPivots, std::chrono::steady_clock::time_point deadline) {
    // Rounds: pivot until no arc pays, then take the potentials afresh from the tree and look
    // again, so that drift in the potentials neither stops the search early nor keeps it going.
    // The clock is read every few hundred pivots (a pivot takes microseconds): a solve that
    // stalls ends at its deadline, not after its pivot bound, which days of pivots may reach.
    constexpr std::int64_t kPivotsBetweenClockReadings = 256;
    m_stoppedAtDeadline = false;
    double tolerance = kEnterTolerance;
    for (int round = 0; round < 100; ++round) {
        if (round >= kRoundsAtFirstTolerance) tolerance = std::min(10.0 * tolerance, kLoosestEnterTolerance);
        bool pivoted = false;
        while (FindEnteringArc(tolerance)) {
            if (m_pivots >= maxPivots) return false;
            if (m_pivots % kPivotsBetweenClockReadings == 0 && std::chrono::steady_clock::now() > deadline) {
                m_stoppedAtDeadline = true;
                return false;
            }
            FindJoinNode();
            if (!FindLeavingArc()) return false;
            ChangeFlow();
            UpdateTreeStructure();
            UpdatePotential();
            ++m_pivots;
            // Renumbering costs a pass over the nodes and arcs (about ten per row); each pivot
            // breaks the thread's runs of consecutive numbers in a few more places, and a
            // potential update meets a share of the breaks made since the last renumbering. Over k
            // pivots the breaks met grow as k^2 while the renumbering is paid once, so the best
            // interval grows as the square root of the rows (random streams: about 650 pivots at
            // 100 streams, as a sixteenth of the rows gave; 1,200 at 200 and 1,700 at 300, where
            // that gave 2,100 and 4,400, for 5 % less time). Since the update goes a run at a
            // time, 3 sqrt(rows) + 100 pivots (900 at 300 streams) against 6 sqrt(rows) + 100 take
            // 2 to 10 % off at 300 streams in pairs on the same load: the runs stay longer, and
            // the entering search and the tree walks read potentials nearer together. Since the
            // renumbering leaves the arcs alone and moves the nodes a run at a time, it costs a
            // few passes over the nodes only, and sqrt(rows) + 100 pivots (360 at 300 streams)
            // pay best.
            if (++m_pivotsSinceRenumber > m_renumberEvery) Renumber();
            pivoted = true;
        }
        RecomputePotentials();
        if (!pivoted) return true;
        if (!FindEnteringArc(tolerance)) return true;
    }
    return false;
}

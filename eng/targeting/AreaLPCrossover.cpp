// The network simplex started from a given flow (see AreaLPNetwork::StartFrom): the flowing
// arcs are made a forest by cancelling their cycles, and the forest becomes the spanning tree.
// It runs on a network fresh from Reset, where every row is still its own node, so the arcs'
// ends (rows) are read as nodes here.
#include "eng/targeting/AreaLPNetwork.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// Flows this far below the loads are rounding.
constexpr double kBalanceTolerance = 1e-9;

struct Forest {
    std::vector<int> parent, parentArc, order;
    std::vector<std::size_t> first, adjacent;
};

// Each node's arcs (at either end) among those `listed`: node u's are adjacent[first[u]] up to
// adjacent[first[u + 1]].
template <class Arcs>
void Incidence(const Arcs& arcs, std::size_t nodes, const std::vector<std::size_t>& listed,
               std::vector<std::size_t>& first, std::vector<std::size_t>& adjacent) {
    first.assign(nodes + 1, 0);
    for (const std::size_t e : listed) {
        ++first[static_cast<std::size_t>(arcs[e].source) + 1];
        ++first[static_cast<std::size_t>(arcs[e].target) + 1];
    }
    for (std::size_t u = 0; u < nodes; ++u) first[u + 1] += first[u];
    adjacent.assign(first[nodes], 0);
    std::vector<std::size_t> fill(first.begin(), first.end() - 1);
    for (const std::size_t e : listed) {
        adjacent[fill[static_cast<std::size_t>(arcs[e].source)]++] = e;
        adjacent[fill[static_cast<std::size_t>(arcs[e].target)]++] = e;
    }
}

int Find(std::vector<int>& set, int x) {
    while (set[static_cast<std::size_t>(x)] != x) {
        int& up = set[static_cast<std::size_t>(x)];
        up = set[static_cast<std::size_t>(up)];
        x = up;
    }
    return x;
}

}  // namespace

bool AreaLPNetwork::StartFrom(std::span<const double> flows, std::span<const double> artificial) {
    const std::size_t rows = static_cast<std::size_t>(m_rows);
    const std::size_t nodes = rows + 1;
    const std::size_t arcs = m_arcs.size();
    if (flows.size() + rows != arcs || artificial.size() != rows || m_pivots != 0 || m_renumberings != 0) return false;
    // On a fresh network every row still holds its load on its artificial arc.
    const std::vector<double> loads(m_flow.begin(), m_flow.begin() + static_cast<std::ptrdiff_t>(rows));
    double largest = 1.0;
    for (const double load : loads) largest = std::max(largest, load);
    const double tolerance = kBalanceTolerance * largest;

    std::vector<double> flow(arcs, 0.0);
    for (std::size_t r = 0; r < rows; ++r) flow[r] = artificial[r];
    for (std::size_t k = 0; k < flows.size(); ++k) flow[rows + k] = flows[k];
    // Every row must give or take exactly its load.
    std::vector<double> net(nodes, 0.0);
    for (std::size_t e = 0; e < arcs; ++e) {
        if (!(flow[e] >= -tolerance) || !std::isfinite(flow[e])) return false;
        flow[e] = std::max(flow[e], 0.0);
        net[static_cast<std::size_t>(m_arcs[e].source)] += flow[e];
        net[static_cast<std::size_t>(m_arcs[e].target)] -= flow[e];
    }
    for (std::size_t r = 0; r < rows; ++r)
        if (std::fabs(net[r] - (m_hot[r] ? loads[r] : -loads[r])) > tolerance) return false;

    // The forest of flowing arcs; an arc that closes a cycle waits for the cancelling.
    std::vector<int> set(nodes);
    std::iota(set.begin(), set.end(), 0);
    std::vector<char> inTree(arcs, 0);
    std::vector<std::size_t> closing;
    for (std::size_t e = 0; e < arcs; ++e) {
        if (flow[e] <= 0.0) continue;
        const int a = Find(set, m_arcs[e].source), b = Find(set, m_arcs[e].target);
        if (a == b) {
            closing.push_back(e);
            continue;
        }
        set[static_cast<std::size_t>(a)] = b;
        inTree[e] = 1;
    }

    Forest forest;
    auto root = [&] {
        std::vector<std::size_t> flowing;
        for (std::size_t e = 0; e < arcs; ++e)
            if (flow[e] > 0.0) flowing.push_back(e);
        Incidence(m_arcs, nodes, flowing, forest.first, forest.adjacent);
        forest.parent.assign(nodes, -2);
        forest.parentArc.assign(nodes, -1);
        forest.order.clear();
        auto from = [&](int start) {
            forest.parent[static_cast<std::size_t>(start)] = -1;
            std::size_t head = forest.order.size();
            forest.order.push_back(start);
            for (; head < forest.order.size(); ++head) {
                const int u = forest.order[head];
                for (std::size_t k = forest.first[static_cast<std::size_t>(u)]; k < forest.first[static_cast<std::size_t>(u) + 1]; ++k) {
                    const std::size_t e = forest.adjacent[k];
                    if (!inTree[e]) continue;
                    const Arc& arc = m_arcs[e];
                    const int v = arc.source == u ? arc.target : arc.source;
                    if (forest.parent[static_cast<std::size_t>(v)] != -2) continue;
                    forest.parent[static_cast<std::size_t>(v)] = u;
                    forest.parentArc[static_cast<std::size_t>(v)] = static_cast<int>(e);
                    forest.order.push_back(v);
                }
            }
        };
        from(m_root);
        for (std::size_t u = 0; u < nodes; ++u)
            if (forest.parent[u] == -2) from(static_cast<int>(u));
    };
    root();

    // Each closing arc and the forest path between its ends make a cycle; flow goes round it in
    // the direction that costs nothing more, until an arc of it runs dry and leaves. The two ends
    // climb towards their common ancestor a step each in turn, each marking the nodes it passed,
    // so a cycle costs the length of its path, however deep the trees.
    m_cancelledCycles = 0;
    std::vector<std::pair<std::size_t, bool>> path;  // arc, and whether flow round the cycle runs along it
    std::vector<std::pair<std::size_t, bool>> down;
    std::vector<std::int64_t> passed(nodes, -1);
    std::int64_t mark = 0;
    auto climb = [&](int u, int stop, bool fromTarget, std::vector<std::pair<std::size_t, bool>>& out) {
        for (; u != stop; u = forest.parent[static_cast<std::size_t>(u)]) {
            const std::size_t t = static_cast<std::size_t>(forest.parentArc[static_cast<std::size_t>(u)]);
            out.emplace_back(t, fromTarget ? m_arcs[t].source == u : m_arcs[t].target == u);
        }
    };
    for (const std::size_t e : closing) {
        if (flow[e] <= 0.0) continue;
        // Flow into e's source, round from e's target: up from the target, down to the source.
        const int target = m_arcs[e].target, source = m_arcs[e].source;
        const std::int64_t fromTarget = mark++, fromSource = mark++;
        int a = target, b = source, join = -1;
        passed[static_cast<std::size_t>(a)] = fromTarget;
        passed[static_cast<std::size_t>(b)] = fromSource;
        while (join < 0) {
            const int pa = a >= 0 ? forest.parent[static_cast<std::size_t>(a)] : -1;
            if (pa >= 0) {
                if (passed[static_cast<std::size_t>(pa)] == fromSource) join = pa;
                passed[static_cast<std::size_t>(pa)] = fromTarget;
            }
            a = pa;
            if (join >= 0) break;
            const int pb = b >= 0 ? forest.parent[static_cast<std::size_t>(b)] : -1;
            if (pb >= 0) {
                if (passed[static_cast<std::size_t>(pb)] == fromTarget) join = pb;
                passed[static_cast<std::size_t>(pb)] = fromSource;
            }
            b = pb;
            if (a < 0 && b < 0 && join < 0) return false;
        }
        if (passed[static_cast<std::size_t>(target)] == fromSource) join = target;
        path.clear();
        down.clear();
        climb(target, join, true, path);
        climb(source, join, false, down);
        const std::size_t upFromTarget = path.size();
        path.insert(path.end(), down.rbegin(), down.rend());
        double cost = m_cost[e];
        for (const auto& [t, along] : path) cost += along ? m_cost[t] : -m_cost[t];
        // Round with e (cost <= 0) or against it.
        const bool withE = cost <= 0.0;
        double step = withE ? std::numeric_limits<double>::infinity() : flow[e];
        std::size_t leaving = e;
        for (const auto& [t, along] : path)
            if (along != withE && flow[t] < step) {
                step = flow[t];
                leaving = t;
            }
        if (!std::isfinite(step)) return false;
        flow[e] += withE ? step : -step;
        for (const auto& [t, along] : path) flow[t] += along == withE ? step : -step;
        flow[leaving] = 0.0;
        ++m_cancelledCycles;
        if (leaving == e) continue;
        // The leaving arc cuts off the subtree below it, which holds one end of e: that subtree
        // hangs from e now. Only the parents on the way from e's end up to the cut turn round.
        std::size_t at = 0;
        while (path[at].first != leaving) ++at;
        const int inside = at < upFromTarget ? target : source;
        int previous = at < upFromTarget ? source : target;
        int previousArc = static_cast<int>(e);
        const int cut = forest.parentArc[static_cast<std::size_t>(m_arcs[leaving].source)] == static_cast<int>(leaving)
                            ? m_arcs[leaving].source
                            : m_arcs[leaving].target;
        inTree[leaving] = 0;
        inTree[e] = 1;
        for (int u = inside;;) {
            const std::size_t uu = static_cast<std::size_t>(u);
            const int up = forest.parent[uu], upArc = forest.parentArc[uu];
            forest.parent[uu] = previous;
            forest.parentArc[uu] = previousArc;
            if (u == cut) break;
            previous = u;
            previousArc = upArc;
            u = up;
        }
    }

    // The tree: the flowing forest arcs, and one artificial arc at no flow for each tree of the
    // forest that does not reach the root, a hot row's where it has one (it points at the root):
    // that of the hot row whose price within its tree is the lowest, so that no other hot row's
    // artificial arc is cheaper at the tree's prices.
    for (std::size_t e = 0; e < arcs; ++e)
        if (inTree[e] && flow[e] <= 0.0) inTree[e] = 0;
    root();
    std::vector<double> price(nodes, 0.0);
    std::vector<int> tree(nodes, -1);
    for (const int v : forest.order) {
        const std::size_t vv = static_cast<std::size_t>(v);
        const int p = forest.parent[vv];
        if (p < 0) {
            tree[vv] = v;
            continue;
        }
        const std::size_t e = static_cast<std::size_t>(forest.parentArc[vv]);
        tree[vv] = tree[static_cast<std::size_t>(p)];
        price[vv] = price[static_cast<std::size_t>(p)] + (m_arcs[e].source == p ? m_cost[e] : -m_cost[e]);
    }
    std::vector<int> hanger(nodes, -1);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t s = static_cast<std::size_t>(tree[r]);
        if (static_cast<int>(s) == m_root) continue;
        const int h = hanger[s];
        const bool better = h < 0 || (m_hot[r] && (!m_hot[static_cast<std::size_t>(h)] || price[r] < price[static_cast<std::size_t>(h)]));
        if (better) hanger[s] = static_cast<int>(r);
    }
    std::vector<std::size_t> treeArcs;
    for (std::size_t e = 0; e < arcs; ++e)
        if (inTree[e]) treeArcs.push_back(e);
    for (std::size_t s = 0; s < nodes; ++s)
        if (hanger[s] >= 0) treeArcs.push_back(static_cast<std::size_t>(hanger[s]));
    if (treeArcs.size() != rows) return false;

    // Should the tree not carry these loads after all, every row goes back on its artificial arc.
    auto startAfresh = [&] {
        std::vector<Arc> columns(m_arcs.begin() + static_cast<std::ptrdiff_t>(rows), m_arcs.end());
        std::vector<double> costs(m_cost.begin() + static_cast<std::ptrdiff_t>(rows), m_cost.end());
        const std::vector<char> hot = m_hot;
        Reset(loads, hot, m_artificialCost);
        for (std::size_t k = 0; k < columns.size(); ++k) AddArc(columns[k].source, columns[k].target, costs[k]);
        return false;
    };
    for (std::size_t e = 0; e < arcs; ++e) {
        m_state[e] = Lower;
        m_price[e] = m_cost[e];
        m_flow[e] = 0.0;
    }
    for (const std::size_t e : treeArcs) {
        m_state[e] = Tree;
        m_price[e] = std::numeric_limits<double>::infinity();
    }
    if (!BuildTree(treeArcs)) return startAfresh();
    // The tree's flows follow from the loads alone, leaves first; rounding in the given flow
    // goes no further.
    std::vector<double> below(nodes, 0.0);
    for (std::size_t r = 0; r < rows; ++r) below[r] = m_hot[r] ? loads[r] : -loads[r];
    std::vector<int> preorder;
    preorder.reserve(nodes);
    for (int u = m_thread[static_cast<std::size_t>(m_root)]; u != m_root; u = m_thread[static_cast<std::size_t>(u)])
        preorder.push_back(u);
    for (auto it = preorder.rbegin(); it != preorder.rend(); ++it) {
        const std::size_t u = static_cast<std::size_t>(*it);
        const double f = m_predDir[u] == Up ? below[u] : -below[u];
        m_flow[static_cast<std::size_t>(m_pred[u])] = std::max(f, 0.0);
        below[static_cast<std::size_t>(m_parent[u])] += below[u];
        if (f < -tolerance) return startAfresh();
    }
    RecomputePotentials();
    Renumber();
    m_renumberings = 0;
    return true;
}

bool AreaLPNetwork::BuildTree(const std::vector<std::size_t>& treeArcs) {
    const std::size_t nodes = static_cast<std::size_t>(m_rows) + 1;
    std::vector<std::size_t> first, adjacent;
    Incidence(m_arcs, nodes, treeArcs, first, adjacent);
    // Depth first from the root: the thread is the preorder, each node's last successor the last
    // of its subtree in it.
    const std::size_t root = static_cast<std::size_t>(m_root);
    m_parent[root] = -1;
    m_pred[root] = -1;
    std::vector<int> preorder;
    preorder.reserve(nodes);
    std::vector<std::pair<int, std::size_t>> stack{{m_root, first[root]}};
    preorder.push_back(m_root);
    while (!stack.empty()) {
        auto& [u, next] = stack.back();
        const std::size_t uu = static_cast<std::size_t>(u);
        if (next == first[uu + 1]) {
            stack.pop_back();
            continue;
        }
        const std::size_t e = adjacent[next++];
        const int v = m_arcs[e].source == u ? m_arcs[e].target : m_arcs[e].source;
        if (v == m_parent[uu]) continue;
        const std::size_t vv = static_cast<std::size_t>(v);
        m_parent[vv] = u;
        m_pred[vv] = static_cast<int>(e);
        m_predDir[vv] = m_arcs[e].source == v ? Up : Down;
        preorder.push_back(v);
        stack.emplace_back(v, first[vv]);
    }
    if (preorder.size() != nodes) return false;
    for (std::size_t k = 0; k < preorder.size(); ++k) {
        const int u = preorder[k];
        const int next = k + 1 < preorder.size() ? preorder[k + 1] : m_root;
        m_thread[static_cast<std::size_t>(u)] = next;
        m_revThread[static_cast<std::size_t>(next)] = u;
    }
    MarkBreaks();
    for (const int u : preorder) {
        m_succNum[static_cast<std::size_t>(u)] = 1;
        m_lastSucc[static_cast<std::size_t>(u)] = u;
    }
    for (auto it = preorder.rbegin(); it != preorder.rend(); ++it) {
        const int u = *it;
        const int p = m_parent[static_cast<std::size_t>(u)];
        if (p < 0) continue;
        m_succNum[static_cast<std::size_t>(p)] += m_succNum[static_cast<std::size_t>(u)];
    }
    // The last successor of a node is the last of its subtree in preorder: the node before the
    // thread leaves the subtree.
    for (std::size_t k = 0; k < preorder.size(); ++k) {
        const int u = preorder[k];
        const std::size_t end = k + static_cast<std::size_t>(m_succNum[static_cast<std::size_t>(u)]) - 1;
        m_lastSucc[static_cast<std::size_t>(u)] = preorder[end];
    }
    return true;
}

// The duties of a resolved structure brought to the stream loads before the design is built.
//
// Every process stream of the design ends at its target, and every placed match carries a
// specified duty: the duties on a process stream must add up to its load, or the network holds
// a stream driven past its target (or short of it) that no calculation can resolve. The stage
// model meets each stream's end temperature to its own tolerance only (a part in ten thousand of
// the absolute temperature), so the duties it gives are off by up to a few kilowatts.
//
// The matches form a graph of streams joined by duties. In each connected part a spanning tree
// of the largest duties (so that each change is the smallest share of the duty it changes) is
// rooted at a utility stream where the part has one, since a utility takes whatever load its
// matches give it. Walking from the leaves to the root, each process stream's difference to its
// load goes onto the duty that joins it to its parent: the stream is then exact, and its parent
// takes the difference on. The root keeps what is left, nothing for a utility; a part of process
// streams alone leaves at its root the amount by which its hot and cold loads differ.
#include "eng/autodesign/StageDesignBuilder.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace {

struct Edge {
    StageMatch* match;
    int hot;
    int cold;
};

int Root(std::vector<int>& parent, int v) {
    while (parent[static_cast<std::size_t>(v)] != v) {
        parent[static_cast<std::size_t>(v)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])];
        v = parent[static_cast<std::size_t>(v)];
    }
    return v;
}

}  // namespace

double StageDesignBuilder::ReconcileDuties(const std::vector<std::unique_ptr<StageMatch>>& matches) {
    std::unordered_map<IHeatIntegrationStream*, int> index;
    std::vector<IHeatIntegrationStream*> streams;
    auto node = [&](IHeatIntegrationStream* s) {
        auto [at, added] = index.emplace(s, static_cast<int>(streams.size()));
        if (added) streams.push_back(s);
        return at->second;
    };
    std::vector<Edge> edges;
    for (const auto& m : matches) {
        if (!m || !m->candidate || !(m->duty > kLoadTolerance)) continue;
        IHeatIntegrationStream* hot = m->candidate->GetHotStream();
        IHeatIntegrationStream* cold = m->candidate->GetColdStream();
        if (!hot || !cold) continue;
        edges.push_back({m.get(), node(hot), node(cold)});
    }
    const std::size_t n = streams.size();
    if (n == 0) return 0.0;
    std::vector<bool> free(n);
    std::vector<double> load(n, 0.0), placed(n, 0.0);
    for (std::size_t v = 0; v < n; ++v) {
        free[v] = streams[v]->GetStreamKind() == 1;
        if (!free[v]) load[v] = std::fabs(streams[v]->GetHeatLoad(0));
    }
    for (const Edge& e : edges) {
        placed[static_cast<std::size_t>(e.hot)] += e.match->duty;
        placed[static_cast<std::size_t>(e.cold)] += e.match->duty;
    }

    // The spanning forest of the largest duties (sorting the matches: m log m).
    std::vector<std::size_t> order(edges.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return edges[a].match->duty > edges[b].match->duty; });
    std::vector<int> set(n);
    std::iota(set.begin(), set.end(), 0);
    std::vector<std::vector<std::size_t>> tree(n);
    for (std::size_t k : order) {
        const int a = Root(set, edges[k].hot), b = Root(set, edges[k].cold);
        if (a == b) continue;
        set[static_cast<std::size_t>(a)] = b;
        tree[static_cast<std::size_t>(edges[k].hot)].push_back(k);
        tree[static_cast<std::size_t>(edges[k].cold)].push_back(k);
    }

    // Breadth first from the utilities, then from any stream not yet reached.
    std::vector<int> parentEdge(n, -1);
    std::vector<bool> seen(n, false);
    std::vector<std::size_t> walk;
    walk.reserve(n);
    auto reach = [&](std::size_t root) {
        if (seen[root]) return;
        seen[root] = true;
        std::size_t head = walk.size();
        walk.push_back(root);
        for (; head < walk.size(); ++head) {
            const std::size_t v = walk[head];
            for (std::size_t k : tree[v]) {
                const std::size_t w = static_cast<std::size_t>(edges[k].hot) == v ? static_cast<std::size_t>(edges[k].cold)
                                                                                    : static_cast<std::size_t>(edges[k].hot);
                if (seen[w]) continue;
                seen[w] = true;
                parentEdge[w] = static_cast<int>(k);
                walk.push_back(w);
            }
        }
    };
    for (std::size_t v = 0; v < n; ++v)
        if (free[v]) reach(v);
    for (std::size_t v = 0; v < n; ++v) reach(v);

    double largest = 0.0;
    for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
        const std::size_t v = *it;
        if (free[v] || parentEdge[v] < 0) continue;
        const Edge& e = edges[static_cast<std::size_t>(parentEdge[v])];
        const double difference = load[v] - placed[v];
        // A duty the change would close is left as it is: the stream then shows its shortfall
        // rather than losing a match of the structure.
        if (difference == 0.0 || !(e.match->duty + difference > kLoadTolerance)) continue;
        e.match->duty += difference;
        placed[static_cast<std::size_t>(e.hot)] += difference;
        placed[static_cast<std::size_t>(e.cold)] += difference;
        largest = std::max(largest, std::fabs(difference));
    }
    return largest;
}

#pragma once
// The order in which an engine reads a network's streams and units, taken from the plant's data
// rather than from the rows of the tables, the order the flowsheet made its nodes in, or the
// names the user gave. A search or a model that meets its variables in one order for one plant
// takes one path, and a solver choosing among equal optima chooses alike, however the tables were
// written. The network optimiser's searches, and so retrofit's area check after its models, read a
// network in this order.
//   - A stream by its side, kind, supply, target and load; its name only between streams alike in
//     all of that (a renamed pair of twins is the same plant).
//   - A unit by the streams on its two sides (in the order above) and its duty; its name only
//     between units alike in all of that.
//   - A splitter's branches by the unit at each branch's head: the streams it joins (as a unit's
//     key), then the branch that carries the most heat first, its name last; a branch with no unit
//     at its head (a bypass) behind them.
#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

class CNode;
class IHeatIntegrationStream;

using StreamOrderKey = std::tuple<int, int, double, double, double, std::string>;
using UnitOrderKey = std::tuple<StreamOrderKey, StreamOrderKey, double, std::string>;

// The key of a stream (null: before every stream).
StreamOrderKey StreamOrderKeyOf(const IHeatIntegrationStream* stream);
// The key of a heat exchanger, heater or cooler node; a node that is none of those is keyed by its
// name alone, after null streams.
UnitOrderKey UnitOrderKeyOf(CNode* unit);
// The name the user knows a unit by (its unit operation name, else its node name).
std::string UnitNameOf(const CNode* unit);
// The outlets of a splitter (tee) in the order above.
std::vector<CNode*> BranchesInPlantOrder(const CNode* tee);

// `nodes` sorted by `key` of each, stably (one key made per node: n log n).
template <class Key>
void SortNodesByKey(std::vector<CNode*>& nodes, Key key) {
    if (nodes.empty()) return;
    std::vector<std::pair<decltype(key(nodes.front())), CNode*>> keyed;
    keyed.reserve(nodes.size());
    for (CNode* n : nodes) keyed.emplace_back(key(n), n);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < nodes.size(); ++k) nodes[k] = keyed[k].second;
}

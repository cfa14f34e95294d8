// The order the units of the existing network are placed in: the plant's, never the document's.
// Placing a unit may split a utility that serves several units (the splitter takes the next free
// name) and lists the utility in the scenario on its first use, so an order taken from the listing
// would name splitters and order units after how the case happened to be written.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/StreamChain.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace {

// The fewest material streams between each stream of a chain and the chain's first: the branches
// of a tee stand side by side whatever order the tee lists them in. Pumps, valves and the like
// count as units in between, as heaters do.
void StreamDepths(const StreamChain& chain, std::unordered_map<const CPItem*, int>& depth) {
    if (!chain.First()) return;
    const std::unordered_set<const CPItem*> own(chain.streams.begin(), chain.streams.end());
    std::deque<CPItem*> queue{chain.First()};
    depth.emplace(chain.First(), 0);
    while (!queue.empty()) {
        CPItem* stream = queue.front();
        queue.pop_front();
        const int next = depth[stream] + 1;
        const auto reach = [&](CPItem* s) {
            if (own.count(s) && depth.emplace(s, next).second) queue.push_back(s);
        };
        for (CPItem* n : stream->RelatedNodes(CPItem::Downstream)) {
            if (IsClass(n, CaseClass::MaterialStream)) reach(n);
            else
                for (CPItem* s : n->RelatedNodes(CPItem::Downstream))
                    if (IsClass(s, CaseClass::MaterialStream)) reach(s);
        }
    }
}

}  // namespace

void VelmorToTarsilImport::SortByPlacePosition(std::vector<CPItem*>& units) const {
    if (units.size() < 2) return;
    std::unordered_map<const CPItem*, int> depth;
    for (const auto& [name, chain] : m_streamChains)
        if (chain) StreamDepths(*chain, depth);

    // A unit stands where its process stream enters it: the stream's name, then its depth along
    // the line; an exchanger where the first of its two sides in that order does; the unit's own
    // name (unique in a case) makes the order total.
    using Place = std::tuple<std::string, int, std::string>;
    std::unordered_map<const CPItem*, Place> place;
    for (CPItem* unit : units) {
        Place best{std::string(1, '\x7f'), INT_MAX, unit->_get_szName().c_str()};
        for (CPItem* in : unit->RelatedNodes(CPItem::Upstream)) {
            CPString stream;
            if (!IsClass(in, CaseClass::MaterialStream) || !TextValue(in, "PIStreamName", stream)) continue;
            const auto d = depth.find(in);
            best = std::min(best, Place{stream.c_str(), d == depth.end() ? INT_MAX : d->second, std::get<2>(best)});
        }
        place.emplace(unit, std::move(best));
    }
    std::stable_sort(units.begin(), units.end(), [&](const CPItem* a, const CPItem* b) { return place[a] < place[b]; });
}

void VelmorToTarsilImport::PutInPlantOrder(const std::vector<CPItem*>& placed) {
    IHENDesign* design = GetBaseDesign();
    if (!design || placed.empty()) return;
    // The extraction places the exchangers first, then the coolers, then the heaters, each in the
    // plant's order: the design lists its units so.
    std::vector<CPItem*> kinds[3];
    for (CPItem* item : m_existingNetworkItems)
        kinds[IsClass(item, "htHeatExchanger") ? 0 : IsOneOf(item, kPlacedHeaters) ? 2 : 1].push_back(item);
    std::vector<CPItem*> order;
    for (std::vector<CPItem*>& kind : kinds) {
        SortByPlacePosition(kind);
        order.insert(order.end(), kind.begin(), kind.end());
    }
    const std::unordered_set<const CPItem*> moving(placed.begin(), placed.end());
    std::unordered_map<const CNode*, int> listed;
    CNode* unit = nullptr;
    for (int i = 0; design->GetHeatExchanger(i, unit) && unit; ++i) listed.emplace(unit, i);
    // What the design lists after the extraction's own units (the dummy utilities beside an
    // exchanger, say) stays after the units placed now.
    int lastOwn = -1;
    for (CPItem* item : order)
        if (const auto at = listed.find(NetworkUnitOf(item)); !moving.count(item) && at != listed.end())
            lastOwn = std::max(lastOwn, at->second);
    CNode* next = nullptr;
    if (lastOwn >= 0 && design->GetHeatExchanger(lastOwn + 1, unit) && unit) next = unit;
    // From the last: the unit after each stands in its place by then.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        CNode* own = NetworkUnitOf(*it);
        if (!own || !listed.count(own)) continue;
        if (moving.count(*it) && next && next != own) design->MoveUnitBefore(own, next);
        next = own;
    }
}

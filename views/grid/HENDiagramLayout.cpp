// The grid diagram's construction and layout: each visible stream's chain from its feed block,
// the units and splits drawn on it, their pinch regions, their columns, the lines' stacking, the
// terminals and the items with their geometry.
#include "views/grid/HENDiagram.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "views/grid/HENDFlowsheet.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <tuple>

using namespace hend;

namespace {

constexpr double kStartX = 50.0;    // the left terminals
constexpr double kSegment = 50.0;   // a segment's own length in the line walk
constexpr double kSize = 30.0;      // the exchanger symbol size at every rebuild
constexpr double kSplitLength = 30.0;

// A stream's chain as walked from its feed: units and splits, each with the first segment
// before it; a split holds its branches.
struct Element {
    CNode* unit = nullptr;  // a unit, or null for a split
    CNode* tee = nullptr;
    CNode* mixer = nullptr;
    CNode* segmentBefore = nullptr;
    CNode* segmentAfter = nullptr;  // the segment right after a unit
    std::vector<std::vector<Element>> branches;
    std::vector<CNode*> branchTails;  // each branch's segment into the mixer
};
struct Chain {
    std::vector<Element> elements;
    CNode* tailSegment = nullptr;
    CNode* end = nullptr;  // the product block, or the mixer that closed a branch
};

// The node after `node` on `stream`: a unit leads to its own product on that stream.
CNode* nextOn(CNode* node, const Text& stream) {
    if (!node) return nullptr;
    if (isUnit(node)) {
        for (CNode* d : node->getAllDownStreamNodes())
            if (d && parentStream(d) == stream) return d;
        return nullptr;
    }
    return node->getIthDownStreamNode(0);
}

// Walks from `from` until the product block or a mixer; `budget` bounds the walk by the number
// of nodes so that a damaged flowsheet cannot loop.
Chain walk(CNode* from, const Text& stream, int& budget) {
    Chain c;
    CNode* pending = nullptr;
    CNode* cur = from;
    if (isSegment(cur)) pending = cur;
    while (cur && budget-- > 0) {
        CNode* next = nextOn(cur, stream);
        if (!next) break;
        if (isSegment(next)) {
            if (!c.elements.empty() && c.elements.back().unit && !c.elements.back().segmentAfter &&
                c.elements.back().unit == cur)
                c.elements.back().segmentAfter = next;
            if (!pending) pending = next;
            cur = next;
            continue;
        }
        if (isKind(next, NodeKind::Mixer) || isKind(next, NodeKind::ProductBlock)) {
            c.end = next;
            break;
        }
        Element e;
        e.segmentBefore = pending;
        pending = nullptr;
        if (isKind(next, NodeKind::Tee)) {
            e.tee = next;
            for (CNode* b : next->getAllDownStreamNodes()) {
                if (!b) continue;
                Chain branch = walk(b, stream, budget);
                if (branch.end && isKind(branch.end, NodeKind::Mixer)) e.mixer = branch.end;
                e.branches.push_back(std::move(branch.elements));
                e.branchTails.push_back(branch.tailSegment);
            }
            c.elements.push_back(std::move(e));
            if (!c.elements.back().mixer) break;
            cur = c.elements.back().mixer;
            continue;
        }
        e.unit = next;
        c.elements.push_back(std::move(e));
        cur = next;
    }
    c.tailSegment = pending;
    return c;
}

// One drawn element of a line, left to right: a unit or a split with its branches.
struct Slot {
    const Element* e = nullptr;
    int rank = 0;       // unit: its pinch region counted from the left; split: the opening one's
    int closeRank = 0;  // split: the closing one's
    int node = -1, closeNode = -1;  // column nodes
    std::vector<std::vector<Slot>> branches;
    std::vector<CNode*> tails;
    std::vector<double> offsets;  // branch lines below (+) or above (-) the split's line
};

int roundUpEven(int c) { return c % 2 != 0 ? c + 1 : c; }

}  // namespace

std::vector<double> StackStreamLines(const std::vector<HENDLineExtent>& lines, double& stacked) {
    std::vector<double> tops;
    double y = 50.0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0 && lines[i].process != lines[i - 1].process) y += 160.0;
        tops.push_back(y + lines[i].top);
        y = y + lines[i].top + lines[i].height + 100.0;
    }
    stacked = y;
    return tops;
}

HENDRoom StackBranchOffsets(const std::vector<HENDRoom>& branches, std::vector<double>& offsets) {
    offsets.assign(branches.size(), 0.0);
    if (branches.empty()) return {};
    double total = 0.0;
    for (std::size_t k = 0; k < branches.size(); ++k) {
        if (k > 0) offsets[k] = offsets[k - 1] + branches[k - 1].below + 100.0 + branches[k].above;
        total += branches[k].above + branches[k].below + (k > 0 ? 100.0 : 0.0);
    }
    // The first and last branch lines lie evenly about the split's line.
    const double shift = -std::abs(offsets.back() / 2.0);
    for (double& o : offsets) o += shift;
    return {std::max(total / 2.0, -offsets.front() + branches.front().above),
            std::max(total / 2.0, offsets.back() + branches.back().below)};
}

void HENDiagram::ArrangeConfigurationStreams(HENDiagramConfiguration& config) {
    if (!m_design) return;
    for (StreamVisibilityEntry& e : config.streams) e.present = false;
    const int nStreams = m_design->GetNumberOfStreams();
    for (int i = 0; i < nStreams; ++i) {
        IHeatIntegrationStream* s = m_design->GetStream(i);
        if (!s) continue;
        StreamVisibilityEntry& e = config.AddStream(Text(s->GetName()));
        e.supplyTemperature = s->GetSupplyTemperature();
        e.targetTemperature = s->GetTargetTemperature();
        e.heatLoad = s->GetHeatLoad(0);
        e.cold = s->GetHotCold() == 1;
        e.process = s->GetStreamKind() != 1;
    }
    config.RemoveAbsentStreams();
    config.ArrangeStreams();
}

void HENDiagram::Rebuild() {
    if (m_ghost) m_ghost->Reset();
    m_dragActive = false;
    m_hit = HENDHitRecord{};
    Clear();
    m_pinchShown = false;
    m_conflict[0].clear(), m_conflict[1].clear();
    m_streams.clear();
    m_stacked = 50.0;
    m_endColumn = 0.0;
    m_exchangerSize = kSize;
    if (!m_design) {
        ComputeBounds();
        return;
    }
    IHENDesign& d = *m_design;
    HENDiagramConfiguration& config = *m_configurations[static_cast<std::size_t>(m_selected)];

    // The streams of the design, their data filled in for the presets.
    ArrangeConfigurationStreams(config);
    const int nStreams = d.GetNumberOfStreams();
    for (int i = 0; i < nStreams; ++i)
        if (IHeatIntegrationStream* s = d.GetStream(i)) m_streams.emplace(Text(s->GetName()), s);

    // Each visible line's chain.
    struct LinePlan {
        const StreamVisibilityEntry* entry;
        CNode* start;
        CNode* end;
        Chain chain;
        bool forward;
        std::vector<Slot> slots;
    };
    std::vector<LinePlan> plans;
    for (const StreamVisibilityEntry& e : config.streams) {
        if (!e.visible) continue;
        CNode* start = d.GetStreamBlock(CPString(e.name.c_str()), false);
        if (!start) continue;
        int budget = d.GetNumberOfNodes() + 1;
        Chain chain = walk(start, e.name, budget);
        CNode* end = chain.end;
        plans.push_back({&e, start, end, std::move(chain), e.cold == reverseDirection, {}});
    }

    // Whether a unit is drawn: a utility placeholder only while it is shown and has a duty
    // worth showing, so the picture never shows a heater or cooler the network does not have.
    // With utility units hidden, a heater or cooler (a unit with a utility stream on one side)
    // is left out as well.
    auto servesUtility = [&](const CNode* unit) {
        for (CNode* up : unit->getAllUpStreamNodes()) {
            auto it = m_streams.find(parentStream(up));
            if (it != m_streams.end() && it->second->GetStreamKind() == 1) return true;
        }
        return false;
    };
    auto shown = [&](const Element& e) {
        if (!e.unit) return true;
        if (!isKind(e.unit, NodeKind::Heater)) return !hideUtilityUnits || !servesUtility(e.unit);
        return !hideUtilityUnits && e.segmentAfter && d.HasSignificantUtilityDuty(e.segmentAfter);
    };
    // The drawn elements of a chain left to right: a line running right to left is met from
    // its end.
    std::function<std::vector<Slot>(const std::vector<Element>&, bool)> slotsOf = [&](const std::vector<Element>& seq,
                                                                                         bool forward) {
            std::vector<Slot> out;
            const std::size_t n = seq.size();
            for (std::size_t k = 0; k < n; ++k) {
                const Element& e = seq[forward ? k : n - 1 - k];
                if (!shown(e)) continue;
                Slot s;
                s.e = &e;
                for (std::size_t b = 0; b < e.branches.size(); ++b) {
                    s.branches.push_back(slotsOf(e.branches[b], forward));
                    s.tails.push_back(b < e.branchTails.size() ? e.branchTails[b] : nullptr);
                }
                out.push_back(std::move(s));
            }
            return out;
        };
    for (LinePlan& p : plans) p.slots = slotsOf(p.chain.elements, p.forward);

    // ---- pinch regions ----
    // Every process pinch of the scenario bounds the regions (the design counts its cross-pinch
    // loads over the same list, index by index); a unit's side lies in one of them by
    // its two temperatures on that line, counted from the left (the hot end of hot lines first,
    // unless the lines run the other way).
    std::vector<HENDPinch> pinches;
    if (showPinch) {
        IHeatIntegrationScenario* scenario = d.GetScenario();
        const int n = scenario ? scenario->GetNumberOfProcessPinchPoints() : 0;
        for (int i = 0; i < n; ++i)
            pinches.push_back({scenario->GetProcessPinchTemperatureAt(0, i), scenario->GetProcessPinchTemperatureAt(1, i),
                               i < d.GetNumberOfCrossPinchLoads() ? d.GetCrossPinchLoad(i) : kEmpty, -1, 0.0});
        std::stable_sort(pinches.begin(), pinches.end(), [](const HENDPinch& a, const HENDPinch& b) { return a.hot < b.hot; });
    }
    const int nPinch = static_cast<int>(pinches.size());
    std::vector<double> hotBounds, coldBounds;
    for (const HENDPinch& p : pinches) hotBounds.push_back(p.hot), coldBounds.push_back(p.cold);
    auto rankOf = [&](const Element& e, bool coldLine) {
        const int r = SideIntervalColumn(knownValue(e.segmentBefore, "Temperature"), knownValue(e.segmentAfter, "Temperature"),
                                         coldLine ? coldBounds : hotBounds);
        if (r < 0) return -1;
        return reverseDirection ? r : 2 * nPinch - r;
    };
    // A unit one of whose sides crosses a pinch while the other lies next to it is drawn whole in
    // the pinch column, upright; when the lines around it leave it no room there (it sits on a
    // branch of a split drawn beside the pinch) it yields to the region of its other side. Only
    // a unit whose two sides lie in regions on either side of a pinch is drawn across it.
    struct SideRanks {
        int hot = -1, cold = -1;
    };
    std::map<const CNode*, SideRanks> sideRanks;
    std::set<const CNode*> yielded;
    std::function<void(const std::vector<Slot>&, bool)> collectRanks = [&](const std::vector<Slot>& slots, bool coldLine) {
        for (const Slot& s : slots) {
            if (s.e->unit) (coldLine ? sideRanks[s.e->unit].cold : sideRanks[s.e->unit].hot) = rankOf(*s.e, coldLine);
            for (const auto& branch : s.branches) collectRanks(branch, coldLine);
        }
    };
    if (nPinch)
        for (const LinePlan& p : plans)
            if (p.entry->process) collectRanks(p.slots, p.entry->cold);
    // A utility's own temperatures say nothing about the process pinch: on a utility line a
    // heater or cooler stands where its process side puts it.
    auto unitRank = [&](const Element& e, bool coldLine, bool processLine) {
        const int own = rankOf(e, coldLine);
        auto it = sideRanks.find(e.unit);
        if (it == sideRanks.end()) return own;
        const int other = coldLine ? it->second.hot : it->second.cold;
        if (!processLine && other >= 0) return other;
        if (own < 0) return own;
        if (other < 0 || std::abs(own - other) != 1) return own;
        const int onPinch = own % 2 != 0 ? own : other, beside = own % 2 != 0 ? other : own;
        return yielded.count(e.unit) ? beside : onPinch;
    };
    // Walks a line left to right: regions never go back; a side the temperatures leave open
    // takes the region the walk is in.
    Text conflictStream, conflictUnit;
    const CNode* conflictNode = nullptr;
    // Whether the walk is on a branch before its first unit, and whether the conflict was met
    // there: then only the split keeps the unit from the pinch column.
    bool heldBySplit = false, conflictHeld = false;
    // The unit that took the walk to the region it is in: walked against the stream (the lines
    // reversed), it is the one met along the stream after the point where the unit out of order
    // stands, yet belonging before it, and so the one the refusal names.
    const CNode* furthest = nullptr;
    int furthestRank = -1;
    std::function<bool(std::vector<Slot>&, int&, const LinePlan&)> assign = [&](std::vector<Slot>& slots, int& cur,
                                                                                 const LinePlan& p) {
        for (Slot& s : slots) {
            if (s.e->unit) {
                const int r = nPinch ? unitRank(*s.e, p.entry->cold, p.entry->process) : 0;
                if (r < 0) {
                    s.rank = roundUpEven(cur);
                } else if (r < cur) {
                    conflictStream = p.entry->name;
                    conflictUnit = unitNameOf(reverseDirection && furthest && furthestRank == cur ? furthest : s.e->unit);
                    conflictNode = s.e->unit;
                    conflictHeld = heldBySplit;
                    return false;
                } else {
                    s.rank = r;
                    if (r >= furthestRank) furthest = s.e->unit, furthestRank = r;
                }
                cur = s.rank;
                heldBySplit = false;
                continue;
            }
            // The opening split stands on the side its branches start: in the region of the
            // earliest unit that begins a branch, or just before the pinch that unit stands on,
            // never before the region the walk is in. A branch that starts with no unit whose
            // region is known (empty, unknown temperatures, a split of its own) keeps the split
            // where the walk is.
            int first = -1;
            for (const auto& branch : s.branches) {
                const int r = !branch.empty() && branch.front().e->unit && nPinch ? unitRank(*branch.front().e, p.entry->cold, p.entry->process) : -1;
                if (r < 0) {
                    first = -1;
                    break;
                }
                first = first < 0 ? r : std::min(first, r);
            }
            s.rank = std::max(roundUpEven(cur), first < 0 ? 0 : first - first % 2);
            int reach = s.rank;
            // A unit met on a branch before any other on it is held by the split only: where it
            // cannot stand on the pinch for that, it may yield to the region of its other side.
            for (auto& branch : s.branches) {
                int c = s.rank;
                heldBySplit = true;
                if (!assign(branch, c, p)) return false;
                reach = std::max(reach, c);
            }
            heldBySplit = false;
            s.closeRank = roundUpEven(reach);
            cur = s.closeRank;
        }
        return true;
    };
    bool pinchLayout = nPinch > 0;
    // Each unit that has to leave the pinch column for the walks to agree does so once; every
    // retry moves one more. Only a unit with a side across a pinch can move, a handful in any
    // network, so the walks run a handful of times more at most.
    for (bool retry = true; retry;) {
        retry = false;
        pinchLayout = nPinch > 0;
        for (LinePlan& p : plans) {
            // The walk starts in the region of the line's left terminal: a stream that enters at
            // or below a pinch has nothing, not even a split, on the far side of it.
            const StreamVisibilityEntry& e = *p.entry;
            const double hotEnd = std::max(e.supplyTemperature, e.targetTemperature);
            const double coldEnd = std::min(e.supplyTemperature, e.targetTemperature);
            const int left = IntervalPosition(reverseDirection ? coldEnd : hotEnd, e.cold ? coldBounds : hotBounds);
            // A utility line has no region of its own: its walk starts at the left.
            int cur = nPinch && left >= 0 && e.process ? (reverseDirection ? left : 2 * nPinch - left) : 0;
            heldBySplit = conflictHeld = false;
            furthest = nullptr, furthestRank = -1;
            if (assign(p.slots, cur, p)) continue;
            pinchLayout = false;
            // The unit met out of its region yields when it would stand on the pinch and only the
            // split it opens a branch of keeps it from there. A unit held by the units along its
            // own line stays: drawn beside the pinch it would show a side that crosses the pinch
            // as wholly on one side of it, so the pinch layout cannot be drawn.
            auto it = conflictHeld ? sideRanks.find(conflictNode) : sideRanks.end();
            if (it != sideRanks.end() && !yielded.count(conflictNode) && it->second.hot >= 0 && it->second.cold >= 0 &&
                std::abs(it->second.hot - it->second.cold) == 1) {
                yielded.insert(conflictNode);
                retry = true;
            }
            break;
        }
    }
    if (!pinchLayout) {
        if (nPinch > 0) {
            m_conflict[0] = conflictStream, m_conflict[1] = conflictUnit;
            ErrorMsg("UnableToDisplayPinchDiagram", MessageParameters{conflictStream, conflictUnit});
        }
        pinches.clear();
        std::function<void(std::vector<Slot>&)> flat = [&](std::vector<Slot>& slots) {
            for (Slot& s : slots) {
                s.rank = s.closeRank = 0;
                for (auto& b : s.branches) flat(b);
            }
        };
        for (LinePlan& p : plans) flat(p.slots);
    }
    m_pinchShown = pinchLayout;
    const int regions = pinchLayout ? 2 * nPinch : 0;

    // ---- columns ----
    // Every drawn unit end and split item takes a column of its own, in the order the items meet
    // along the lines from left to right (ties by first appearance): no unit is drawn over
    // another. A unit whose ends lie in different regions has a column on each side.
    struct ColumnNode {
        int rank;
        int column = -1;
    };
    std::vector<ColumnNode> nodes;
    std::map<std::pair<const CNode*, int>, int> nodeOf;
    std::vector<std::vector<int>> after;
    std::vector<int> indegree;
    auto id = [&](const CNode* n, int rank) {
        auto [it, fresh] = nodeOf.emplace(std::make_pair(n, rank), static_cast<int>(nodes.size()));
        if (fresh) {
            nodes.push_back({rank});
            after.emplace_back();
            indegree.push_back(0);
        }
        return it->second;
    };
    auto link = [&](int from, int to) {
        if (from < 0 || to < 0 || from == to) return;
        after[static_cast<std::size_t>(from)].push_back(to);
        ++indegree[static_cast<std::size_t>(to)];
    };
    std::function<int(std::vector<Slot>&, bool, int)> linkSlots = [&](std::vector<Slot>& slots, bool forward, int prev) {
        for (Slot& s : slots) {
            if (s.e->unit) {
                s.node = id(s.e->unit, s.rank);
                link(prev, s.node);
                prev = s.node;
                continue;
            }
            const CNode* opening = forward ? s.e->tee : s.e->mixer;
            const CNode* closing = forward ? s.e->mixer : s.e->tee;
            s.node = opening ? id(opening, s.rank) : -1;
            link(prev, s.node);
            s.closeNode = closing ? id(closing, s.closeRank) : -1;
            for (auto& branch : s.branches) link(linkSlots(branch, forward, s.node), s.closeNode);
            prev = s.closeNode >= 0 ? s.closeNode : s.node;
        }
        return prev;
    };
    for (LinePlan& p : plans) linkSlots(p.slots, p.forward, -1);
    std::vector<int> pinchColumn(static_cast<std::size_t>(nPinch), -1);
    // Units standing upright on a pinch take a column each, side by side about the pinch line,
    // so that none is drawn over another.
    auto pinchOf = [&](int rank) { return std::min(rank / 2, nPinch - 1); };
    std::vector<int> pinchWidth(static_cast<std::size_t>(nPinch), 0);
    for (const ColumnNode& node : nodes)
        if (node.rank % 2 != 0) ++pinchWidth[static_cast<std::size_t>(pinchOf(node.rank))];
    for (int& w : pinchWidth) w = std::max(w, 1);
    {
        using Key = std::tuple<int, int>;  // region, first appearance
        std::priority_queue<Key, std::vector<Key>, std::greater<Key>> ready;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (indegree[i] == 0) ready.push({nodes[i].rank, static_cast<int>(i)});
        std::set<Key> waiting;  // where a cycle is broken: the first node still without a column
        for (std::size_t i = 0; i < nodes.size(); ++i) waiting.insert({nodes[i].rank, static_cast<int>(i)});
        std::vector<char> done(nodes.size(), 0);
        std::vector<std::vector<int>> onPinch(static_cast<std::size_t>(nPinch));  // in the order they are met
        int counter = 0, region = 0;
        auto passRegionsTo = [&](int rank) {
            // Each pinch takes its columns with a free one on either side.
            while (region + 1 < rank && region / 2 < nPinch) {
                pinchColumn[static_cast<std::size_t>(region / 2)] = counter + 1;
                counter += 2 + pinchWidth[static_cast<std::size_t>(region / 2)];
                region += 2;
            }
        };
        for (std::size_t placed = 0; placed < nodes.size(); ++placed) {
            if (ready.empty()) {
                const Key first = *waiting.begin();
                indegree[static_cast<std::size_t>(std::get<1>(first))] = 0;
                ready.push(first);
            }
            int i = std::get<1>(ready.top());
            ready.pop();
            while (done[static_cast<std::size_t>(i)]) {
                if (ready.empty()) ready.push(*waiting.begin());
                i = std::get<1>(ready.top());
                ready.pop();
            }
            done[static_cast<std::size_t>(i)] = 1;
            ColumnNode& node = nodes[static_cast<std::size_t>(i)];
            waiting.erase({node.rank, i});
            if (node.rank % 2 == 0) {
                passRegionsTo(node.rank);
                node.column = counter++;
            } else {
                onPinch[static_cast<std::size_t>(pinchOf(node.rank))].push_back(i);
            }
            for (int j : after[static_cast<std::size_t>(i)])
                if (--indegree[static_cast<std::size_t>(j)] == 0 && !done[static_cast<std::size_t>(j)])
                    ready.push({nodes[static_cast<std::size_t>(j)].rank, j});
        }
        passRegionsTo(regions + 1);
        // A unit side right on a pinch sits in one of the pinch's columns.
        for (std::size_t k = 0; k < onPinch.size(); ++k)
            for (std::size_t j = 0; j < onPinch[k].size(); ++j)
                nodes[static_cast<std::size_t>(onPinch[k][j])].column = pinchColumn[k] + static_cast<int>(j);
    }
    auto xOf = [&](int node) { return node < 0 ? kStartX : ColumnX(nodes[static_cast<std::size_t>(node)].column, pinchLayout); };
    // Left to right, pinch k of the list lies at boundary k (reversed) or n - 1 - k.
    for (int k = 0; k < nPinch && pinchLayout; ++k) {
        HENDPinch& p = pinches[static_cast<std::size_t>(k)];
        const std::size_t at = static_cast<std::size_t>(reverseDirection ? k : nPinch - 1 - k);
        p.column = pinchColumn[at];
        // The pinch line runs through the middle of its columns.
        p.x = ColumnX(p.column, true) + 30.0 * (pinchWidth[at] - 1);
    }
    if (reverseDirection) std::reverse(pinches.begin(), pinches.end());
    m_pinches = pinches;

    // ---- rooms and branch lines ----
    std::function<HENDRoom(std::vector<Slot>&)> roomOf = [&](std::vector<Slot>& slots) {
        HENDRoom room{30.0, 7.0};  // a segment's and the terminals' room
        for (Slot& s : slots) {
            if (s.e->unit) {
                room.above = std::max(room.above, kSize), room.below = std::max(room.below, kSize);
                continue;
            }
            std::vector<HENDRoom> rooms;
            for (auto& branch : s.branches) rooms.push_back(roomOf(branch));
            const HENDRoom r = StackBranchOffsets(rooms, s.offsets);
            room.above = std::max(room.above, r.above), room.below = std::max(room.below, r.below);
        }
        return room;
    };
    std::vector<HENDLineExtent> extents;
    for (LinePlan& p : plans) {
        const HENDRoom r = roomOf(p.slots);
        extents.push_back({r.above, r.above + r.below, p.entry->process});
    }
    const std::vector<double> tops = StackStreamLines(extents, m_stacked);

    // ---- terminals ----
    // Each line ends one segment past its last item on the main line; the ends of all lines are
    // aligned 50 past the farthest.
    double farthest = kStartX;
    for (LinePlan& p : plans) {
        double right = kStartX;
        if (!p.slots.empty()) {
            const Slot& last = p.slots.back();
            right = last.e->unit ? xOf(last.node) + 2.0 * kSize : (last.closeNode >= 0 ? xOf(last.closeNode) : xOf(last.node)) + kSplitLength;
        }
        right += kSegment;
        farthest = std::max(farthest, right);
    }
    // A line crossing a pinch reaches past it even where no unit stands beyond the pinch (every
    // unit left out, or all of them on one side): the ends lie a free column past the pinch's
    // last column, as they would past a unit standing there.
    for (int k = 0; k < nPinch && pinchLayout; ++k) {
        const std::size_t at = static_cast<std::size_t>(k);
        farthest = std::max(farthest, ColumnX(pinchColumn[at] + pinchWidth[at] - 1, true) + 2.0 * kSize + kSegment);
    }
    m_endColumn = farthest + 50.0;

    // ---- items ----
    std::unordered_map<const CNode*, HENDHeatEx*> exchangers;
    std::vector<HENDStreamStart*> starts;
    for (std::size_t li = 0; li < plans.size(); ++li) {
        LinePlan& p = plans[li];
        const StreamVisibilityEntry& e = *p.entry;
        const double y = tops[li];
        const bool forward = p.forward;
        m_lines.push_back({e.name, y, e.cold, e.process});
        auto* start = new HENDStreamStart(this, p.start);
        start->streamName = e.name;
        start->unitName = Text(p.start->getName());
        start->cold = e.cold, start->process = e.process, start->forward = forward;
        start->x = forward ? kStartX : m_endColumn;
        start->y = y;
        start->temperature = e.supplyTemperature;
        m_items.push_back(start);
        starts.push_back(start);
        auto* anchor = new HENDStreamAnchor(this, start);
        anchor->streamName = anchor->unitName = e.name;
        anchor->cold = e.cold, anchor->process = e.process;
        m_anchors.push_back(anchor);
        auto* end = new HENDStreamEnd(this, p.end);
        end->streamName = e.name;
        end->unitName = p.end ? Text(p.end->getName()) : Text();
        end->cold = e.cold, end->process = e.process, end->forward = forward;
        end->x = forward ? m_endColumn : kStartX;
        end->y = y;
        end->temperature = e.targetTemperature;
        end->owner = start;
        m_items.push_back(end);
        // In the pinch layout a terminal goes to the pinch its temperature meets, or to the
        // nearest one on the side its stream runs towards.
        if (pinchLayout) {
            std::vector<double> side;
            for (const HENDPinch& q : m_pinches) side.push_back(e.cold ? q.cold : q.hot);
            const HENDTerminalPlace ps = TerminalAtPinch(start->temperature, e.cold, true, side);
            if (ps.interval >= 0) start->x = m_pinches[static_cast<std::size_t>(ps.interval)].x, start->offsetMode = ps.mode;
            const HENDTerminalPlace pe = TerminalAtPinch(end->temperature, e.cold, false, side);
            if (pe.interval >= 0) end->x = m_pinches[static_cast<std::size_t>(pe.interval)].x, end->offsetMode = pe.mode;
            // A terminal never stands inside its own line: where its temperature puts it past a
            // unit drawn on the line (a utility's cooler standing in the pinch column while the
            // utility's own temperatures lie wholly on one side), it keeps the line's own end.
            if (!p.slots.empty()) {
                const Slot& first = p.slots.front();
                const Slot& last = p.slots.back();
                const double leftmost = xOf(first.node);
                const double rightmost =
                    last.e->unit ? xOf(last.node) + 2.0 * kSize : (last.closeNode >= 0 ? xOf(last.closeNode) : xOf(last.node)) + kSplitLength;
                HENDStreamStart* leftTerminal = forward ? start : nullptr;
                HENDStreamEnd* leftEnd = forward ? nullptr : end;
                if (leftTerminal && leftTerminal->AttachX() > leftmost) leftTerminal->x = kStartX, leftTerminal->offsetMode = 0;
                if (leftEnd && leftEnd->AttachX() > leftmost) leftEnd->x = kStartX, leftEnd->offsetMode = 0;
                if (forward && end->AttachX() < rightmost) end->x = m_endColumn, end->offsetMode = 0;
                if (!forward && start->AttachX() < rightmost) start->x = m_endColumn, start->offsetMode = 0;
            }
        }

        bool onBranch = false;
        auto addSegment = [&](CNode* node, HENDNode* left, int leftEnd, HENDNode* right, int rightEnd, double yy) {
            auto* s = new HENDStreamSegment(this, node);
            s->onBranch = onBranch;
            s->streamName = e.name;
            s->unitName = node ? Text(node->getName()) : Text();
            s->cold = e.cold, s->process = e.process;
            s->left = left, s->leftEnd = leftEnd, s->right = right, s->rightEnd = rightEnd;
            s->forward = forward, s->owner = start;
            s->y = yy;
            // Dashed where the stream's own end still asks a utility duty of the network; a
            // segment whose temperature is only calculated says nothing about utilities.
            s->dashed = node && isSegment(node) && e.process && node->getVariableStatus(NodeValue::Temperature) == 1 &&
                        d.HasSignificantUtilityDuty(node);
            s->Attach();
            // The segment feeding an exchanger end: on its left along a line that runs left to
            // right, on its right otherwise.
            if (auto* hx = dynamic_cast<HENDHeatEx*>(forward ? right : left))
                hx->ends[static_cast<std::size_t>(forward ? rightEnd : leftEnd)].inlet = s;
            if (auto* hx = dynamic_cast<HENDHeatEx*>(forward ? left : right))
                hx->ends[static_cast<std::size_t>(forward ? leftEnd : rightEnd)].outlet = s;
            m_items.push_back(s);
        };
        // The segment node between two drawn elements: the one just before the right one in
        // flow order, or just before the left one on a line met from its end. The run's outlet
        // (`tail`) lies past its last element: rightmost on a line running left to right,
        // leftmost on one met from its end.
        auto segmentBetween = [&](const Slot* l, const Slot* r, CNode* tail) -> CNode* {
            if (forward) return r ? r->e->segmentBefore : tail;
            return l ? l->e->segmentBefore : tail;
        };
        std::function<void(std::vector<Slot>&, HENDNode*, int, double, CNode*)> place =
            [&](std::vector<Slot>& slots, HENDNode* leftItem, int leftEnd, double yy, CNode* tail) {
                const Slot* prev = nullptr;
                for (Slot& s : slots) {
                    if (s.e->unit) {
                        HENDHeatEx*& hx = exchangers[s.e->unit];
                        if (!hx) {
                            hx = new HENDHeatEx(this, s.e->unit);
                            hx->unitName = unitNameOf(s.e->unit);
                            hx->column = nodes[static_cast<std::size_t>(s.node)].column;
                            hx->duty = knownValue(s.e->unit, NodeValue::Duty);
                            m_items.push_back(hx);
                        }
                        HENDExchangerEnd end;
                        end.stream = e.name, end.cold = e.cold, end.y = yy;
                        end.left = xOf(s.node), end.x = end.left + kSize;
                        end.column = nodes[static_cast<std::size_t>(s.node)].column;
                        hx->ends.push_back(end);
                        const int endIndex = static_cast<int>(hx->ends.size()) - 1;
                        addSegment(segmentBetween(prev, &s, tail), leftItem, leftEnd, hx, endIndex, yy);
                        leftItem = hx, leftEnd = endIndex, prev = &s;
                        continue;
                    }
                    const CNode* opening = forward ? s.e->tee : s.e->mixer;
                    const CNode* closing = forward ? s.e->mixer : s.e->tee;
                    auto makeSplit = [&](const CNode* n, bool isOpening, int node) -> HENDStreamSplit* {
                        if (!n) return nullptr;
                        HENDStreamSplit* sp = nullptr;
                        if (n == s.e->tee) sp = new HENDStreamSplitStart(this, const_cast<CNode*>(n), isOpening);
                        else sp = new HENDStreamSplitEnd(this, const_cast<CNode*>(n), isOpening);
                        sp->streamName = e.name;
                        sp->unitName = unitNameOf(n);
                        sp->cold = e.cold, sp->process = e.process;
                        sp->column = nodes[static_cast<std::size_t>(node)].column;
                        sp->x = xOf(node);
                        sp->y = yy;
                        for (double o : s.offsets) sp->branchY.push_back(yy + o);
                        m_items.push_back(sp);
                        return sp;
                    };
                    HENDStreamSplit* open = makeSplit(opening, true, s.node);
                    HENDStreamSplit* close = makeSplit(closing, false, s.closeNode);
                    addSegment(segmentBetween(prev, &s, tail), leftItem, leftEnd, open, 0, yy);
                    for (std::size_t b = 0; b < s.branches.size(); ++b) {
                        const double by = yy + (b < s.offsets.size() ? s.offsets[b] : 0.0);
                        const std::size_t before = m_items.size();
                        const bool outer = onBranch;
                        onBranch = true;
                        place(s.branches[b], open, static_cast<int>(b) + 1, by, s.tails[b]);
                        onBranch = outer;
                        // The branch's last segment runs into the closing split.
                        HENDStreamSegment* last = before < m_items.size() ? dynamic_cast<HENDStreamSegment*>(m_items.back()) : nullptr;
                        if (last) last->right = close, last->rightEnd = static_cast<int>(b) + 1, last->Attach();
                        // The piece drawn next to the splitter carries the branch's share of the
                        // flow, which the branch's first segment holds: with the units next to
                        // the splitter left out, the piece drawn there stands for a later one.
                        HENDStreamSegment* atTee = forward ? nullptr : last;
                        for (std::size_t k = before; forward && k < m_items.size() && !atTee; ++k)
                            if (auto* seg = dynamic_cast<HENDStreamSegment*>(m_items[k]); seg && seg->left == open) atTee = seg;
                        const std::vector<Element>& flow = s.e->branches[b];
                        if (atTee)
                            atTee->fractionNode = !flow.empty() ? flow.front().segmentBefore
                                                  : b < s.e->branchTails.size() ? s.e->branchTails[b] : nullptr;
                    }
                    leftItem = close ? static_cast<HENDNode*>(close) : open;
                    leftEnd = 0;
                    prev = &s;
                }
                // The last segment of the run: to the right terminal, or the closing split (set
                // by the caller).
                addSegment(segmentBetween(prev, nullptr, tail), leftItem, leftEnd, nullptr, 0, yy);
            };
        place(p.slots, forward ? static_cast<HENDNode*>(start) : end, 0, y, p.chain.tailSegment);
        HENDStreamSegment* last = dynamic_cast<HENDStreamSegment*>(m_items.back());
        if (last) last->right = forward ? static_cast<HENDNode*>(end) : start, last->Attach();
    }

    // Shades of the exchanger ends: the design's own code where it set one, else the unit's
    // kind: process to process, a heater's or cooler's process side, or a unit whose
    // temperatures cross.
    for (auto& [node, hx] : exchangers) {
        bool utilityHot = false, utilityCold = false, processHot = false, processCold = false;
        double hotIn = kEmpty, hotOut = kEmpty, coldIn = kEmpty, coldOut = kEmpty;
        for (CNode* up : node->getAllUpStreamNodes()) {
            auto it = m_streams.find(parentStream(up));
            if (it == m_streams.end()) continue;
            const bool c = it->second->GetHotCold() == 1, process = it->second->GetStreamKind() != 1;
            (c ? (process ? processCold : utilityCold) : (process ? processHot : utilityHot)) = true;
            (c ? coldIn : hotIn) = knownValue(up, "Temperature");
        }
        for (CNode* down : node->getAllDownStreamNodes()) {
            auto it = m_streams.find(parentStream(down));
            if (it == m_streams.end()) continue;
            (it->second->GetHotCold() == 1 ? coldOut : hotOut) = knownValue(down, "Temperature");
        }
        const bool heater = isKind(node, NodeKind::Heater);
        int code = 1;
        if (heater) code = hx->ends.front().cold ? 2 : 3;
        else if (utilityHot) code = 2;
        else if (utilityCold) code = 3;
        const double tol = 1e-6;
        if (!heater && ((hotIn != kEmpty && coldOut != kEmpty && hotIn < coldOut - tol) ||
                        (hotOut != kEmpty && coldIn != kEmpty && hotOut < coldIn - tol)))
            code = 5;  // the temperatures cross: the unit cannot work as drawn
        for (HENDExchangerEnd& end : hx->ends) {
            end.inletTemperature = end.cold ? coldIn : hotIn;
            end.outletTemperature = end.cold ? coldOut : hotOut;
            double own = 0.0;
            if (node->getVariableAsDouble(end.cold ? "ColdShadeIt" : "HotShadeIt", own) && own >= 1.0 && own <= 5.0)
                end.shade = static_cast<int>(own);
            else
                end.shade = code;
        }
        if (heater) hx->svgClass = hx->ends.front().cold ? "heater" : "cooler";
        else if (utilityHot || utilityCold) hx->svgClass = utilityCold ? "cooler" : "heater";
        (void)processHot, (void)processCold;
    }

    // A form shows an item by the name the picture gives it.
    for (HENDNode* item : m_items) item->SetName(item->unitName);
    for (HENDNode* anchor : m_anchors) anchor->SetName(anchor->unitName);
    // Each start's name has the room up to the first item along its line. A terminal knows
    // the segment next to it, a split the segments on its main line and its branches.
    for (HENDNode* item : m_items)
        if (auto* seg = dynamic_cast<HENDStreamSegment*>(item)) {
            for (HENDNode* side : {seg->left, seg->right}) {
                if (auto* s = dynamic_cast<HENDStreamStart*>(side)) s->firstSegment = seg;
                if (auto* t = dynamic_cast<HENDStreamEnd*>(side)) t->lastSegment = seg;
            }
            if (auto* sp = dynamic_cast<HENDStreamSplit*>(seg->left)) sp->Join(seg, seg->leftEnd);
            if (auto* sp = dynamic_cast<HENDStreamSplit*>(seg->right)) sp->Join(seg, seg->rightEnd);
        }
    (void)starts;
    MarkSegments();

    ComputeBounds();
    if (zoomMode != 2 || previousZoomMode != 2) FitToView();
}

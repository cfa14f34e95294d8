#include "views/grid/HENDiagram.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <queue>
#include <set>
#include <tuple>
#include <unordered_set>

namespace {

constexpr double kStartX = 50.0;    // the left terminals
constexpr double kSegment = 50.0;   // a segment's own length in the line walk
constexpr double kSize = 30.0;      // the exchanger symbol size at every rebuild
constexpr double kSplitLength = 30.0;
constexpr double kEmpty = -32767.0;

// The name a unit shows: its unit operation name, else its node's name.
Text unitNameOf(const CNode* node) {
    CPString s;
    if (node && node->getVariableAsString("UnitOperationName", s) && !s.empty()) return Text(s);
    return node ? Text(node->getName()) : Text();
}

Text parentStream(const CNode* node) {
    CPString s;
    if (node && node->getVariableAsString(NodeValue::ParentStream, s)) return Text(s);
    return Text();
}

bool isKind(const CNode* n, const char* kind) { return n && n->getClassName() == kind; }
bool isSegment(const CNode* n) { return isKind(n, NodeKind::MaterialStream); }
bool isUnit(const CNode* n) {
    return isKind(n, NodeKind::HeatExchanger) || isKind(n, NodeKind::CountercurrentHX) || isKind(n, NodeKind::Heater);
}

// A value the design knows (specified or calculated); -32767 otherwise.
double knownValue(const CNode* n, const char* name) {
    double v = kEmpty;
    if (!n || n->getVariableStatus(name) == 0 || !n->getVariableAsDouble(name, v)) return kEmpty;
    return v;
}

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

HENDiagram::HENDiagram(Viewable* owner, const Text& name) : HENDiagram(owner) { SetName(name); }

HENDiagram::HENDiagram(Viewable* parent) : CanvasPlane(parent, Text(TypeName)), m_metrics(new HENDFontMetrics) {
    for (const Text& className : HENDiagramConfiguration::PresetClassNames())
        m_configurations.push_back(HENDiagramConfiguration::Create(className));
    m_font.name = "HENFont";
    m_font.size = 12.0;
    // A new diagram shows its streams by temperature, utilities included.
    SelectConfiguration(3);
    m_ghost = new HENDGhost(this);
    // The canvas set-up size of a new diagram.
    SetPixelSize(1150.0, 500.0);
}

HENDiagram::~HENDiagram() {
    if (m_design) m_design->RemoveNotificationReceiver(this);
    Clear();
}

void HENDiagram::Clear() {
    const std::vector<HENDNode*> items = std::move(m_items);
    m_items.clear();
    for (HENDNode* item : items) delete item;
    m_lines.clear();
    m_pinches.clear();
}

void HENDiagram::SetDesign(IHENDesign* design) {
    // A diagram listens to its design's stream changes (added, removed, renamed), its
    // recalculations and its loop changes, and to its end: a design may go before its views.
    if (m_design != design) {
        if (m_design) m_design->RemoveNotificationReceiver(this);
        if (design && design->AddNotificationReceiver(this))
            for (int code : {1, 30, 31, 32, 85, 99}) design->AddValidMessage(this, code);
    }
    m_design = design;
    Rebuild();
    m_deleting = false;
    m_branchRemoved = false;
    m_layoutValid = true;
}

void HENDiagram::SetFontMetrics(std::unique_ptr<HENDFontMetrics> metrics) {
    if (metrics) m_metrics = std::move(metrics);
}

Text HENDiagram::FitText(const Text& text, double room, double scale) const {
    // Trailing characters give way to one ellipsis until the text fits; one character stays.
    static const Text kEllipsis("\xE2\x80\xA6");
    if (m_metrics->Width(text, scale) <= room || HENDFontMetrics::Characters(text) <= 1) return text;
    Text kept = text;
    while (true) {
        std::size_t cut = kept.size();
        if (cut == 0) break;
        do --cut;
        while (cut > 0 && (static_cast<unsigned char>(kept[cut]) & 0xC0) == 0x80);
        kept = Text(kept.substr(0, cut));
        const Text candidate = kept + kEllipsis;
        if (m_metrics->Width(candidate, scale) <= room || HENDFontMetrics::Characters(kept) <= 1) return candidate;
    }
    return Text(kEllipsis);
}

const ColourResource& HENDiagram::ShadeColour(const ColourResource& colour) {
    return m_shades.try_emplace(colour.Packed(), colour).first->second;
}

bool HENDiagram::OperationLocked() const { return m_design && m_design->GetOperationLocked(); }

int HENDiagram::SplitterState(CNode* tee) const {
    if (!tee) return 1;
    for (CNode* b : tee->getAllDownStreamNodes()) {
        int budget = m_design ? m_design->GetNumberOfNodes() + 1 : 1000;
        for (CNode* n = b; n && budget-- > 0 && !isKind(n, NodeKind::Mixer); n = n->getIthDownStreamNode(0))
            if (isUnit(n)) return 2;
    }
    return 0;
}

void HENDiagram::ViewNode(CNode* node) {
    SendViewableMessage(this, Text("viewicnode \"") + (node ? Text(node->getName()) : Text()) + "\"");
}

Text HENDiagram::FormatValue(double value, const char* format, int unitKind) {
    if (value == kEmpty) return Text("?");
    const UnitConversion unit = DefUnitConv(unitKind);
    char text[64];
    std::snprintf(text, sizeof text, format, calc_ounit(value, unit));
    return Text(text) + unit.name;
}

Text HENDiagram::GetAnnotation(int position, CNode* node, double value) const {
    if (position < 0 || position > 5) return Text();
    struct Row {
        const char* variable;
        const char* format;
        int kind;
    };
    static const Row kRows[] = {{nullptr, "%0.0f ", 65},        {"Temperature", "%0.1f ", 1},
                                {"Duty", "%0.1f ", 6},          {"HTArea", "%0.1f ", 41},
                                {"OverallHTC", "%0.1f ", 26},   {"LMTD", "%0.2f ", 24},
                                {"SplitFraction", "%0.2f ", 65}};
    const int row = m_annotation[position];
    if (row == 8) {
        CPString name;
        if (node && node->getVariableAsString("UnitOperationName", name)) return Text(name);
        return node ? Text(node->getName()) : Text();
    }
    if (row < 1 || row > 6) return Text();  // nothing, or nothing the diagram writes
    const Row& r = kRows[row];
    double v = row == 1 && value != kEmpty ? value : knownValue(node, r.variable);
    if (row == 1 && value == kEmpty && !node) v = kEmpty;
    return FormatValue(v, r.format, r.kind);
}

void HENDiagram::RegisterLabel(int primitive) {
    if (!m_collectLabels || primitive < 0 || primitive >= GetCanvas().Count()) return;
    const CanvasPrimitive& p = GetCanvas().At(primitive);
    if (p.text.empty()) return;
    const double scale = p.font.size / 12.0;
    const double w = m_metrics->Width(p.text, scale), h = m_metrics->Height(scale);
    const CanvasPoint at = p.points.front();
    const double left = p.anchor == TextAnchor::Start ? at.x : p.anchor == TextAnchor::End ? at.x - w : at.x - w / 2.0;
    const double top = p.baseline == TextBaseline::Top ? at.y : p.baseline == TextBaseline::Middle ? at.y - h / 2.0 : at.y - h;
    m_labels.push_back({left, top, w, h});
}

Text HENDiagram::ExchangerFlyBy(const HENDHeatEx& hx) const {
    Text out = hx.unitName + "\n" + hx.unitName;
    struct Row {
        const char* label;
        const char* variable;
        const char* format;
        int kind;
    };
    static const Row kRows[] = {{"Load", "Duty", "%0.1f ", 6},
                                {"Area", "HTArea", "%0.1f ", 41},
                                {"HTC", "OverallHTC", "%0.1f ", 26},
                                {"LMTD", "LMTD", "%0.2f ", 24}};
    for (const Row& r : kRows) out += Text("\n") + r.label + "\t" + FormatValue(knownValue(hx.Node(), r.variable), r.format, r.kind);
    return out;
}

Text HENDiagram::SegmentFlyBy(const HENDStreamSegment& segment) const {
    const Text& n = segment.streamName;
    auto it = m_streams.find(n);
    IHeatIntegrationStream* s = it == m_streams.end() ? nullptr : it->second;
    if (!s) return n;
    const int kind = s->GetStreamKind();
    if (kind != 0 && kind != 1) return n;
    const double total = s->GetHeatLoad(0);
    Text out = n + "\n" + n + "\nLocal Temp\t" + FormatValue(knownValue(segment.Node(), "Temperature"), "%0.1f", 1) +
               "\nInlet Temp\t" + FormatValue(s->GetSupplyTemperature(), "%0.1f", 1) + "\nOutlet Temp\t" +
               FormatValue(s->GetTargetTemperature(), "%0.1f", 1);
    if (kind == 0) {
        double remainder = 0.0;
        const Text allocated = m_design && (m_design->IsStreamSatisfied(s, &remainder), true)
                                   ? FormatValue(total - remainder, "%.3g", 6)
                                   : Text();
        return out + "\nTotal Load\t" + FormatValue(total, "%.3g", 6) + "\nAllocated Load" + allocated;
    }
    const Text used = m_design ? FormatValue(m_design->GetUsedUtilityLoad(s), "%.3g", 6) : Text();
    return out + "\nTarget Load\t" + FormatValue(total, "%.3g", 6) + "\nDesign Load" + used;
}

void HENDiagram::Rebuild() {
    if (m_ghost) m_ghost->Reset();
    m_dragActive = false;
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
    for (StreamVisibilityEntry& e : config.streams) e.present = false;
    const int nStreams = d.GetNumberOfStreams();
    for (int i = 0; i < nStreams; ++i) {
        IHeatIntegrationStream* s = d.GetStream(i);
        if (!s) continue;
        StreamVisibilityEntry& e = config.AddStream(Text(s->GetName()));
        e.supplyTemperature = s->GetSupplyTemperature();
        e.targetTemperature = s->GetTargetTemperature();
        e.heatLoad = s->GetHeatLoad(0);
        e.cold = s->GetHotCold() == 1;
        e.process = s->GetStreamKind() != 1;
        m_streams.emplace(e.name, s);
    }
    config.RemoveAbsentStreams();
    config.ArrangeStreams();

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
        CNode* start = d.GetNodeByName(CPString((e.name + "Start").c_str()));
        if (!start) continue;
        int budget = d.GetNumberOfNodes() + 1;
        Chain chain = walk(start, e.name, budget);
        CNode* end = chain.end;
        plans.push_back({&e, start, end, std::move(chain), e.cold == reverseDirection, {}});
    }

    // Whether a unit is drawn: a utility placeholder only while it is shown and has a duty
    // worth showing, so the picture never shows a heater or cooler the network does not have.
    auto shown = [&](const Element& e) {
        if (!e.unit) return true;
        if (!isKind(e.unit, NodeKind::Heater)) return true;
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
    // Every pinch point of the scenario bounds the regions; a unit's side lies in one of them by
    // its two temperatures on that line, counted from the left (the hot end of hot lines first,
    // unless the lines run the other way).
    std::vector<HENDPinch> pinches;
    if (showPinch) {
        IHeatIntegrationScenario* scenario = d.GetScenario();
        const int n = scenario ? scenario->GetNumberOfPinchPoints() : 0;
        for (int i = 0; i < n; ++i)
            pinches.push_back({scenario->GetPinchTemperature(0, i), scenario->GetPinchTemperature(1, i),
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
    // Walks a line left to right: regions never go back; a side the temperatures leave open
    // takes the region the walk is in.
    Text conflictStream, conflictUnit;
    std::function<bool(std::vector<Slot>&, int&, const LinePlan&)> assign = [&](std::vector<Slot>& slots, int& cur,
                                                                                 const LinePlan& p) {
        for (Slot& s : slots) {
            if (s.e->unit) {
                const int r = nPinch ? rankOf(*s.e, p.entry->cold) : 0;
                if (r < 0) {
                    s.rank = roundUpEven(cur);
                } else if (r < cur) {
                    conflictStream = p.entry->name;
                    conflictUnit = unitNameOf(s.e->unit);
                    return false;
                } else {
                    s.rank = r;
                }
                cur = s.rank;
                continue;
            }
            s.rank = roundUpEven(cur);
            int reach = s.rank;
            for (auto& branch : s.branches) {
                int c = s.rank;
                if (!assign(branch, c, p)) return false;
                reach = std::max(reach, c);
            }
            s.closeRank = roundUpEven(reach);
            cur = s.closeRank;
        }
        return true;
    };
    bool pinchLayout = nPinch > 0;
    for (LinePlan& p : plans) {
        int cur = 0;
        if (!assign(p.slots, cur, p)) {
            pinchLayout = false;
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
    {
        using Key = std::tuple<int, int>;  // region, first appearance
        std::priority_queue<Key, std::vector<Key>, std::greater<Key>> ready;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (indegree[i] == 0) ready.push({nodes[i].rank, static_cast<int>(i)});
        std::set<Key> waiting;  // where a cycle is broken: the first node still without a column
        for (std::size_t i = 0; i < nodes.size(); ++i) waiting.insert({nodes[i].rank, static_cast<int>(i)});
        std::vector<char> done(nodes.size(), 0);
        int counter = 0, region = 0;
        auto passRegionsTo = [&](int rank) {
            // Each pinch takes one column with a free one on either side.
            while (region + 1 < rank && region / 2 < nPinch) {
                pinchColumn[static_cast<std::size_t>(region / 2)] = counter + 1;
                counter += 3;
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
            }
            for (int j : after[static_cast<std::size_t>(i)])
                if (--indegree[static_cast<std::size_t>(j)] == 0 && !done[static_cast<std::size_t>(j)])
                    ready.push({nodes[static_cast<std::size_t>(j)].rank, j});
        }
        passRegionsTo(regions + 1);
        // A unit side right on a pinch sits in the pinch's column.
        for (ColumnNode& node : nodes)
            if (node.rank % 2 != 0) node.column = pinchColumn[static_cast<std::size_t>(std::min(node.rank / 2, nPinch - 1))];
    }
    auto xOf = [&](int node) { return node < 0 ? kStartX : ColumnX(nodes[static_cast<std::size_t>(node)].column, pinchLayout); };
    // Left to right, pinch k of the list lies at boundary k (reversed) or n - 1 - k.
    for (int k = 0; k < nPinch && pinchLayout; ++k) {
        HENDPinch& p = pinches[static_cast<std::size_t>(k)];
        p.column = pinchColumn[static_cast<std::size_t>(reverseDirection ? k : nPinch - 1 - k)];
        p.x = ColumnX(p.column, true);
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
        auto* end = new HENDStreamEnd(this, p.end);
        end->streamName = e.name;
        end->unitName = p.end ? Text(p.end->getName()) : Text();
        end->cold = e.cold, end->process = e.process, end->forward = forward;
        end->x = forward ? m_endColumn : kStartX;
        end->y = y;
        end->temperature = e.targetTemperature;
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
        }

        bool onBranch = false;
        auto addSegment = [&](CNode* node, HENDNode* left, int leftEnd, HENDNode* right, int rightEnd, double yy) {
            auto* s = new HENDStreamSegment(this, node);
            s->onBranch = onBranch;
            s->streamName = e.name;
            s->unitName = node ? Text(node->getName()) : Text();
            s->cold = e.cold, s->process = e.process;
            s->left = left, s->leftEnd = leftEnd, s->right = right, s->rightEnd = rightEnd;
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
            m_items.push_back(s);
        };
        // The segment node between two drawn elements: the one just before the right one in
        // flow order, or just before the left one on a line met from its end.
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
                        addSegment(segmentBetween(prev, &s, nullptr), leftItem, leftEnd, hx, endIndex, yy);
                        leftItem = hx, leftEnd = endIndex, prev = &s;
                        continue;
                    }
                    const CNode* opening = forward ? s.e->tee : s.e->mixer;
                    const CNode* closing = forward ? s.e->mixer : s.e->tee;
                    auto makeSplit = [&](const CNode* n, bool isOpening, int node) -> HENDStreamSplit* {
                        if (!n) return nullptr;
                        auto* sp = new HENDStreamSplit(this, const_cast<CNode*>(n), n == s.e->tee, isOpening);
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
                    addSegment(segmentBetween(prev, &s, nullptr), leftItem, leftEnd, open, 0, yy);
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

    // Each start's name has the room up to the first item along its line.
    for (HENDNode* item : m_items)
        if (auto* seg = dynamic_cast<HENDStreamSegment*>(item))
            for (HENDNode* side : {seg->left, seg->right})
                if (auto* s = dynamic_cast<HENDStreamStart*>(side)) s->firstSegment = seg;
    (void)starts;

    ComputeBounds();
    if (zoomMode != 2 || previousZoomMode != 2) FitToView();
}

void HENDiagram::ComputeBounds() {
    double box[4] = {0.0, 0.0, 0.0, 0.0};
    for (const HENDNode* item : m_items) item->ExtendBounds(box);
    m_bounds = DiagramBounds({box[0], box[1], box[2], box[3]}, !m_pinches.empty());
}

void HENDiagram::FitToView() {
    if (m_items.empty()) return;
    const double W = PixelWidth(), H = PixelHeight();
    // The terminals and their labels fix the horizontal scale about the labels' left edge.
    constexpr double inf = std::numeric_limits<double>::infinity();
    double terminals[4] = {inf, inf, -inf, -inf}, labels[4] = {inf, inf, -inf, -inf};
    for (const HENDNode* item : m_items) {
        if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) {
            s->ExtendBounds(terminals);
            Widen(labels, s->forward ? s->Base() : s->Base() + 25.0, s->forward ? s->y - 13.0 : s->y + 12.0);
        } else if (auto* e = dynamic_cast<const HENDStreamEnd*>(item)) {
            e->ExtendBounds(terminals);
            Widen(labels, e->forward ? e->Base() : e->Base() + 15.0, e->forward ? e->y - 12.0 : e->y + 12.0);
        }
    }
    if (terminals[0] == inf) return;
    const double labelWidth = std::max(0.0, terminals[0] - labels[0]) + std::max(0.0, labels[2] - terminals[2]);
    const double origin = std::min(labels[0], terminals[0]);
    m_hScale = FitHorizontalScale(W, labelWidth, terminals[2] - terminals[0] + labelWidth);
    for (HENDNode* item : m_items) item->ScaleX(origin, m_hScale);
    for (HENDPinch& p : m_pinches) p.x = ScaledAbout(p.x, origin, m_hScale);
    ComputeBounds();
    if (zoomMode == 1 || previousZoomMode == 1) {
        m_vScale = FitVerticalScale(m_bounds.Width(), m_bounds.Height(), W, H, !m_pinches.empty());
        for (HENDNode* item : m_items) item->ScaleY(m_vScale);
        for (HENDLine& l : m_lines) l.y *= m_vScale;
        // Symbols no larger than half the closest two lines allow.
        double closest = 10000.0;
        std::vector<double> ys;
        for (const HENDNode* item : m_items)
            if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) ys.push_back(s->y);
        std::sort(ys.begin(), ys.end());
        for (std::size_t k = 1; k < ys.size(); ++k)
            if (ys[k] > ys[k - 1]) closest = std::min(closest, ys[k] - ys[k - 1]);
        m_exchangerSize = std::min(kSize, closest / 2.0);
        for (HENDNode* item : m_items)
            if (auto* hx = dynamic_cast<HENDHeatEx*>(item)) hx->Resize(m_exchangerSize);
        // Stream names as large as the closest lines leave room for, from half to full size.
        if (ys.size() >= 2 && closest < 10000.0) {
            double current = 1.0;
            for (const HENDNode* item : m_items)
                if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) current = s->labelScale;
            const double scale = std::clamp((closest - 28.0) * current / m_metrics->Height(current), 0.5, 1.0);
            for (HENDNode* item : m_items) {
                if (auto* s = dynamic_cast<HENDStreamStart*>(item)) s->labelScale = scale;
                if (auto* e = dynamic_cast<HENDStreamEnd*>(item)) e->labelScale = scale;
            }
        }
    }
    for (HENDNode* item : m_items)
        if (auto* seg = dynamic_cast<HENDStreamSegment*>(item)) seg->Attach();
    ComputeBounds();
    // The view shows the whole width of the bounds.
    ApplyView(m_bounds.Width(), (H - 15.0) * m_bounds.Width() / (W - 15.0), {m_bounds.left, m_bounds.top});
}

CanvasConnection* HENDiagram::FindObjectAt(CanvasPoint p) {
    if (m_ghost && m_ghost->dragging) return m_ghost;
    // Exchangers lie on top; over one of its ends the placeholder stands for it, ready to
    // pick the end up.
    for (int pass = 0; pass < 2; ++pass)
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            HENDNode* item = *it;
            if (item->IsHeatEx() != (pass == 0) || !item->ContainsPoint(p)) continue;
            if (auto* hx = dynamic_cast<HENDHeatEx*>(item); hx && m_ghost) {
                m_ghost->Hover(hx, hx->EndAt(p));
                return m_ghost;
            }
            return item;
        }
    return nullptr;
}

HENDStreamSegment* HENDiagram::FindSegmentAt(CanvasPoint p) const {
    for (HENDNode* item : m_items)
        if (auto* s = dynamic_cast<HENDStreamSegment*>(item); s && s->ContainsPoint(p)) return s;
    return nullptr;
}

int HENDiagram::CheckMatch(HENDStreamSegment* a, HENDStreamSegment* b, bool sameSide) const {
    if (!a || !b) return 0;
    if (sameSide) {
        if (a == b) return 0;
        return a->streamName == b->streamName || a->cold == b->cold ? 1 : 0;
    }
    if (!m_design || !a->Node() || !b->Node()) return 0;
    const char* reason = m_design->CheckStreamMatch(a->Node(), b->Node());
    if (reason && *reason) {
        UserStatusReport(FindString(reason), 2);
        return 0;
    }
    UserStatusClear(2);
    return 2;
}

void HENDiagram::OnResize() {
    if (m_design && (zoomMode != 2 || previousZoomMode != 2)) Rebuild();
}

void HENDiagram::DrawPinchMarkers(Canvas& canvas) {
    const ColourResource black{"Black", 0, 0, 0};
    for (const HENDPinch& p : m_pinches) {
        CanvasMarkup markup;
        markup.cssClass = "pinch";
        char hot[32];
        std::snprintf(hot, sizeof hot, "%g", p.hot);
        markup.data.push_back({Text("name"), Text(hot)});
        canvas.BeginGroup(markup);
        const double mx = p.x + m_exchangerSize;
        for (double dx : {-1.0, 1.0})
            canvas.AddLine({mx + dx, m_bounds.top + 25.0}, {mx + dx, m_bounds.bottom - 25.0}, LineAttrib{black, 1, 0});
        const Text xp = "XP = " + FormatValue(p.crossLoad, "%0.1f ", 6);
        canvas.AddText({mx + 2.0, m_bounds.top + 25.0}, FormatValue(p.hot, "%0.1f ", 1), m_font, black);
        canvas.AddText({mx + 2.0, m_bounds.top + 40.0}, xp, m_font, black);
        canvas.AddText({mx + 2.0, m_bounds.bottom - 55.0}, FormatValue(p.cold, "%0.1f ", 1), m_font, black);
        canvas.AddText({mx + 2.0, m_bounds.bottom - 40.0}, xp, m_font, black);
        canvas.EndGroup();
    }
}

Text HENDiagram::BackgroundFlyBy(CanvasPoint pt) {
    const double tolerance = ConvertToCanvasFromScene(5.0);
    for (const HENDPinch& p : m_pinches) {
        if (std::abs(p.x + m_exchangerSize - pt.x) > tolerance) continue;
        Text out = "\nHot Pinch\t" + FormatValue(p.hot, "%0.1f ", 1) + "\nCold Pinch\t" + FormatValue(p.cold, "%0.1f ", 1) +
                   "\nCross Pinch\t" + FormatValue(p.crossLoad, "%0.1f ", 6);
        // The temperature of the nearest process line at the pinch.
        const HENDLine* nearest = nullptr;
        for (const HENDLine& l : m_lines)
            if (!nearest || std::abs(l.y - pt.y) < std::abs(nearest->y - pt.y)) nearest = &l;
        if (nearest && nearest->process)
            out += "\n \n" + nearest->stream + "\t" + FormatValue(nearest->cold ? p.cold : p.hot, "%0.1f ", 1);
        return out;
    }
    return CanvasPlane::BackgroundFlyBy(pt);
}

void HENDiagram::Paint() {
    PrepareLayout();
    Canvas& canvas = GetCanvas();
    // Once to find the labels, again with them shrunk while they overlap.
    auto drawAll = [&] {
        canvas.Clear();
        canvas.SetExtent(m_bounds.Width(), m_bounds.Height());
        canvas.SetOrigin(m_bounds.left, m_bounds.top);
        DrawPinchMarkers(canvas);
        // The lines first, the exchangers last so that they lie on top.
        for (int pass = 0; pass < 2; ++pass)
            for (HENDNode* item : m_items)
                if (item->IsHeatEx() == (pass == 1)) {
                    canvas.SetTag(item->Tag());
                    item->Draw(canvas);
                }
        if (m_ghost && m_ghost->dragging) {
            canvas.SetTag(m_ghost->Tag());
            m_ghost->Draw(canvas);
        }
        canvas.SetTag(0);
        if (printBorder) {
            // A printed page: a frame with the date, and the scenario and design names.
            const ColourResource black{"Black", 0, 0, 0};
            CanvasMarkup markup;
            markup.cssClass = "border";
            canvas.BeginGroup(markup);
            canvas.AddRectangle({m_bounds.left + 5.0, m_bounds.top + 5.0}, m_bounds.Width() - 10.0, m_bounds.Height() - 10.0,
                                LineAttrib{black, 1, 0});
            const Text text = BorderText();
            const std::size_t cut = text.find('\n');
            canvas.AddText({m_bounds.left + 10.0, m_bounds.top + 10.0}, Text(text.substr(0, cut)), m_font, black);
            if (cut != Text::npos)
                canvas.AddText({m_bounds.left + m_bounds.Width() / 2.0, m_bounds.top + 10.0}, Text(text.substr(cut + 1)), m_font,
                               black, TextAnchor::Middle, TextBaseline::Top);
            canvas.EndGroup();
        }
    };
    m_labels.clear();
    m_collectLabels = true;
    const double font = m_font.size;
    drawAll();
    m_collectLabels = false;
    // Labels sorted by their left edge: each is compared with those that start before it ends.
    std::sort(m_labels.begin(), m_labels.end(), [](const Label& a, const Label& b) { return a.left < b.left; });
    const auto overlap = [&](double scale) {
        for (std::size_t i = 0; i < m_labels.size(); ++i) {
            const Label& a = m_labels[i];
            const double aw = a.width * scale, ar = a.left + a.width / 2.0 + aw;
            for (std::size_t j = i + 1; j < m_labels.size(); ++j) {
                const Label& b = m_labels[j];
                const double bw = b.width * scale, bl = b.left + b.width / 2.0 - bw;
                if (bl >= ar + a.width) break;
                if (bl < ar && b.left + b.width / 2.0 + bw > a.left + a.width / 2.0 - aw && b.top < a.top + a.height * scale &&
                    a.top < b.top + b.height * scale)
                    return true;
            }
        }
        return false;
    };
    m_labelShrink = m_labels.empty() ? 1.0 : ShrinkLabelScale(1.0, overlap);
    if (m_labelShrink < 1.0) {
        m_font.size = font * m_labelShrink;
        drawAll();
        m_font.size = font;
    }
}

Text HENDiagram::PictureSVG() {
    PaintNow();
    return GetCanvas().ExportSVG();
}

namespace {
Text jsonText(const Text& t) {
    Text out("\"");
    for (unsigned char c : t) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return Text(out + "\"");
}
Text num(double v) {
    if (!std::isfinite(v)) return Text("null");
    char b[32];
    std::snprintf(b, sizeof b, "%.6g", v);
    return Text(b);
}
}  // namespace

Text HENDiagram::DescribeJSON() const {
    Text out("{\"items\":[");
    bool first = true;
    for (const HENDNode* item : m_items) {
        out += first ? "" : ",";
        first = false;
        out += "{\"kind\":" + jsonText(item->SvgClass()) + ",\"name\":" + jsonText(item->unitName);
        if (!item->IsHeatEx()) out += ",\"stream\":" + jsonText(item->streamName);
        out += ",\"ends\":[";
        std::vector<HENDExchangerEnd> ends;
        if (auto* hx = dynamic_cast<const HENDHeatEx*>(item)) ends = hx->ends;
        else if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) ends.push_back({s->streamName, s->AttachX(), s->y, s->cold});
        else if (auto* e = dynamic_cast<const HENDStreamEnd*>(item)) ends.push_back({e->streamName, e->AttachX(), e->y, e->cold});
        else if (auto* g = dynamic_cast<const HENDStreamSegment*>(item)) {
            ends.push_back({g->streamName, g->x1, g->y, g->cold});
            ends.push_back({g->streamName, g->x2, g->y, g->cold});
        } else if (auto* sp = dynamic_cast<const HENDStreamSplit*>(item)) {
            for (double y : sp->branchY) ends.push_back({sp->streamName, sp->opening ? sp->x + 30.0 : sp->x, y, sp->cold});
        }
        for (std::size_t k = 0; k < ends.size(); ++k)
            out += (k ? "," : "") + Text("{\"stream\":") + jsonText(ends[k].stream) + ",\"x\":" + num(ends[k].x) +
                   ",\"y\":" + num(ends[k].y) + "}";
        out += "]}";
    }
    out += "],\"lines\":[";
    for (std::size_t k = 0; k < m_lines.size(); ++k)
        out += (k ? "," : "") + Text("{\"stream\":") + jsonText(m_lines[k].stream) + ",\"y\":" + num(m_lines[k].y) +
               ",\"cold\":" + (m_lines[k].cold ? "true" : "false") + "}";
    out += "],\"pinches\":[";
    for (std::size_t k = 0; k < m_pinches.size(); ++k) {
        const HENDPinch& p = m_pinches[k];
        out += (k ? "," : "") + Text("{\"hot\":") + num(p.hot) + ",\"cold\":" + num(p.cold) + ",\"crossLoad\":" +
               (p.crossLoad == kEmpty ? Text("null") : num(p.crossLoad)) + ",\"x\":" + num(p.x + m_exchangerSize) + "}";
    }
    out += "]";
    if (showPinch && !m_pinchShown && !m_conflict[0].empty())
        out += ",\"pinchConflict\":{\"stream\":" + jsonText(m_conflict[0]) + ",\"unit\":" + jsonText(m_conflict[1]) + "}";
    out += "}\n";
    return out;
}

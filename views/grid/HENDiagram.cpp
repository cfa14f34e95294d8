#include "views/grid/HENDiagram.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <queue>
#include <unordered_map>
#include <unordered_set>

namespace {

// Geometry of the sequential layout (canvas units).
constexpr double kStartX = 50.0;         // the left terminals
constexpr double kFirstColumnX = 180.0;  // the first unit column
constexpr double kColumnPitch = 90.0;
constexpr double kEndColumnGap = 145.0;  // last column to the right terminals
constexpr double kBranchPitch = 60.0;

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

// A stream's chain as walked from its feed: units and splits, each with the first segment
// before it; a split holds its branches.
struct Element {
    CNode* unit = nullptr;  // a unit, or null for a split
    CNode* tee = nullptr;
    CNode* mixer = nullptr;
    CNode* segmentBefore = nullptr;
    CNode* segmentAfter = nullptr;  // the segment right after a unit
    std::vector<std::vector<Element>> branches;
};
struct Chain {
    std::vector<Element> elements;
    CNode* tailSegment = nullptr;
    CNode* end = nullptr;    // the product block, or the mixer that closed a branch
    std::vector<CNode*> branchTails;
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

// The extra height the branches of a chain take below its line.
double extentOf(const std::vector<Element>& seq) {
    double h = 0.0;
    for (const Element& e : seq) {
        if (e.unit) continue;
        double offset = 0.0;
        for (std::size_t k = 0; k < e.branches.size(); ++k) {
            if (k > 0) offset += kBranchPitch + extentOf(e.branches[k - 1]);
        }
        if (!e.branches.empty()) offset += extentOf(e.branches.back());
        h = std::max(h, offset);
    }
    return h;
}

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

HENDiagram::HENDiagram(Viewable* owner, const Text& name) : HENDiagram(owner) { SetName(name); }

HENDiagram::HENDiagram(Viewable* parent) : CanvasPlane(parent, Text(TypeName)) {
    for (const Text& className : HENDiagramConfiguration::PresetClassNames())
        m_configurations.push_back(HENDiagramConfiguration::Create(className));
    m_font.name = "HENFont";
    m_font.size = 12.0;
}

HENDiagram::~HENDiagram() { Clear(); }

void HENDiagram::Clear() {
    const std::vector<HENDNode*> items = std::move(m_items);
    m_items.clear();
    for (HENDNode* item : items) delete item;
    m_lines.clear();
}

void HENDiagram::SelectPreset(int index) {
    if (index >= 0 && index < static_cast<int>(m_configurations.size())) m_selected = index;
}

void HENDiagram::SetDesign(IHENDesign* design) {
    m_design = design;
    Rebuild();
}

Text HENDiagram::FitText(const Text& text, double room) const {
    // Seven units a character; the ellipsis counts as one.
    const double perChar = 7.0;
    std::size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars;
    if (chars * perChar <= room || chars <= 1) return text;
    std::size_t keep = static_cast<std::size_t>(room / perChar);
    keep = keep > 1 ? keep - 1 : 1;
    Text out;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && seen++ == keep) break;
        out.push_back(text[i]);
    }
    return Text(out + "\xE2\x80\xA6");
}

void HENDiagram::Rebuild() {
    Clear();
    if (!m_design) return;
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
    }
    config.RemoveAbsentStreams();
    config.ArrangeStreams();

    // Each visible line's chain.
    struct LinePlan {
        const StreamVisibilityEntry* entry;
        CNode* start;
        CNode* end;
        Chain chain;
    };
    std::vector<LinePlan> plans;
    std::unordered_set<std::string> visible;
    for (const StreamVisibilityEntry& e : config.streams) {
        if (!e.visible) continue;
        CNode* start = d.GetNodeByName(CPString((e.name + "Start").c_str()));
        if (!start) continue;
        int budget = d.GetNumberOfNodes() + 1;
        Chain chain = walk(start, e.name, budget);
        plans.push_back({&e, start, chain.end, std::move(chain)});
        visible.insert(e.name);
    }

    // Whether a unit is drawn: a utility placeholder only while it is shown and has a duty
    // worth showing, so the picture never shows a heater or cooler the network does not have.
    auto shown = [&](const Element& e) {
        if (!e.unit) return true;
        if (!isKind(e.unit, NodeKind::Heater)) return true;
        return !hideUtilityUnits && e.segmentAfter && d.HasSignificantUtilityDuty(e.segmentAfter);
    };

    // Columns: every drawn unit and split item takes its own column, in the order the items
    // meet along the lines from left to right (hot lines in flow order, cold ones against it).
    std::unordered_map<const CNode*, int> order;  // first-seen number of each column item
    std::vector<const CNode*> columnItems;
    std::vector<std::vector<int>> after;
    std::vector<int> indegree;
    auto id = [&](const CNode* n) {
        auto [it, fresh] = order.emplace(n, static_cast<int>(columnItems.size()));
        if (fresh) {
            columnItems.push_back(n);
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
    // Links a chain in left-to-right order; answers the last item's id.
    std::function<int(const std::vector<Element>&, bool, int)> linkChain = [&](const std::vector<Element>& seq,
                                                                               bool leftToRight, int prev) {
        const int n = static_cast<int>(seq.size());
        for (int k = 0; k < n; ++k) {
            const Element& e = seq[static_cast<std::size_t>(leftToRight ? k : n - 1 - k)];
            if (!shown(e)) continue;
            if (e.unit) {
                const int u = id(e.unit);
                link(prev, u);
                prev = u;
                continue;
            }
            const CNode* opening = leftToRight ? e.tee : e.mixer;
            const CNode* closing = leftToRight ? e.mixer : e.tee;
            const int o = opening ? id(opening) : -1;
            link(prev, o);
            const int c = closing ? id(closing) : -1;
            for (const auto& branch : e.branches) link(linkChain(branch, leftToRight, o), c);
            prev = c >= 0 ? c : o;
        }
        return prev;
    };
    for (const LinePlan& p : plans) linkChain(p.chain.elements, p.entry->cold == reverseDirection, -1);
    std::vector<int> column(columnItems.size(), -1);
    {
        std::priority_queue<int, std::vector<int>, std::greater<int>> ready;
        for (std::size_t i = 0; i < indegree.size(); ++i)
            if (indegree[i] == 0) ready.push(static_cast<int>(i));
        int next = 0;
        std::size_t scan = 0;  // where a cycle is broken: the first item still without a column
        while (next < static_cast<int>(columnItems.size())) {
            if (ready.empty()) {
                while (column[scan] >= 0) ++scan;
                indegree[scan] = 0;
                ready.push(static_cast<int>(scan));
            }
            const int i = ready.top();
            ready.pop();
            if (column[static_cast<std::size_t>(i)] >= 0) continue;
            column[static_cast<std::size_t>(i)] = next++;
            for (int j : after[static_cast<std::size_t>(i)])
                if (--indegree[static_cast<std::size_t>(j)] == 0 && column[static_cast<std::size_t>(j)] < 0)
                    ready.push(j);
        }
    }
    const int lastColumn = static_cast<int>(columnItems.size()) - 1;
    auto columnX = [&](const CNode* n) { return kFirstColumnX + kColumnPitch * column[static_cast<std::size_t>(order.at(n))]; };
    const double leftX = kStartX;
    const double rightX = (lastColumn >= 0 ? kFirstColumnX + kColumnPitch * lastColumn : kFirstColumnX) + kEndColumnGap;

    // Stack the lines.
    std::vector<HENDLineExtent> extents;
    for (const LinePlan& p : plans) extents.push_back({0.0, extentOf(p.chain.elements), p.entry->process});
    double stacked = 0.0;
    const std::vector<double> tops = StackStreamLines(extents, stacked);

    // Create the items of every line.
    std::unordered_map<const CNode*, HENDHeatEx*> exchangers;
    for (std::size_t li = 0; li < plans.size(); ++li) {
        const LinePlan& p = plans[li];
        const StreamVisibilityEntry& e = *p.entry;
        const double y = tops[li];
        const bool forward = e.cold == reverseDirection;
        m_lines.push_back({e.name, y, e.cold, e.process});
        auto* start = new HENDStreamStart(this, p.start);
        start->streamName = e.name;
        start->unitName = Text(p.start->getName());
        start->cold = e.cold, start->process = e.process, start->forward = forward;
        start->x = forward ? leftX : rightX;
        start->y = y;
        m_items.push_back(start);
        auto* end = new HENDStreamEnd(this, p.end);
        end->streamName = e.name;
        end->unitName = p.end ? Text(p.end->getName()) : Text();
        end->cold = e.cold, end->process = e.process, end->forward = forward;
        end->x = forward ? rightX : leftX;
        end->y = y;
        m_items.push_back(end);

        auto addSegment = [&](CNode* node, double x1, double x2, double yy) {
            auto* s = new HENDStreamSegment(this, node);
            s->streamName = e.name;
            s->unitName = node ? Text(node->getName()) : Text();
            s->cold = e.cold, s->process = e.process;
            s->x1 = x1, s->x2 = x2, s->y = yy;
            // Dashed where the stream's own end still asks a utility duty of the network; a
            // segment whose temperature is only calculated says nothing about utilities.
            s->dashed = node && isSegment(node) && e.process && node->getVariableStatus(NodeValue::Temperature) == 1 &&
                        d.HasSignificantUtilityDuty(node);
            m_items.push_back(s);
        };
        // Places a chain on the line at yy from xFrom (the attach x of the item before it);
        // answers the x the last drawn item leaves the line at and its segment.
        std::function<double(const std::vector<Element>&, double, double, CNode*&)> place =
            [&](const std::vector<Element>& seq, double xFrom, double yy, CNode*& pendingSeg) {
                for (const Element& el : seq) {
                    if (!pendingSeg) pendingSeg = el.segmentBefore;
                    if (!shown(el)) continue;
                    if (el.unit) {
                        const double x = columnX(el.unit);
                        addSegment(pendingSeg, xFrom, x, yy);
                        pendingSeg = nullptr;
                        HENDHeatEx*& hx = exchangers[el.unit];
                        if (!hx) {
                            hx = new HENDHeatEx(this, el.unit);
                            hx->unitName = Text(el.unit->getName());
                            hx->column = column[static_cast<std::size_t>(order.at(el.unit))];
                            double duty = 0.0;
                            if (el.unit->getVariableAsDouble(NodeValue::Duty, duty)) hx->duty = duty;
                            m_items.push_back(hx);
                        }
                        hx->ends.push_back({e.name, x, yy, e.cold});
                        xFrom = x;
                        continue;
                    }
                    const CNode* opening = forward ? el.tee : el.mixer;
                    const CNode* closing = forward ? el.mixer : el.tee;
                    auto* open = opening ? new HENDStreamSplit(this, const_cast<CNode*>(opening), forward) : nullptr;
                    auto* close = closing ? new HENDStreamSplit(this, const_cast<CNode*>(closing), !forward) : nullptr;
                    for (HENDStreamSplit* s : {open, close}) {
                        if (!s) continue;
                        s->streamName = e.name;
                        s->unitName = Text(s->Node()->getName());
                        s->cold = e.cold, s->process = e.process;
                        s->column = column[static_cast<std::size_t>(order.at(s->Node()))];
                        s->x = columnX(s->Node());
                        m_items.push_back(s);
                    }
                    const double xOpen = open ? open->x : xFrom;
                    const double xClose = close ? close->x : xOpen;
                    addSegment(pendingSeg, xFrom, xOpen, yy);
                    pendingSeg = nullptr;
                    double by = yy;
                    for (std::size_t k = 0; k < el.branches.size(); ++k) {
                        if (k > 0) by += kBranchPitch + extentOf(el.branches[k - 1]);
                        if (open) open->branchY.push_back(by);
                        if (close) close->branchY.push_back(by);
                        std::vector<Element> branch = el.branches[k];
                        if (!forward) std::reverse(branch.begin(), branch.end());
                        CNode* branchSeg = nullptr;
                        const double xb = place(branch, xOpen, by, branchSeg);
                        addSegment(branchSeg, xb, xClose, by);
                    }
                    xFrom = xClose;
                }
                return xFrom;
            };
        std::vector<Element> seq = p.chain.elements;
        if (!forward) std::reverse(seq.begin(), seq.end());
        CNode* pending = nullptr;
        const double xLast = place(seq, forward ? start->AttachX() : end->AttachX(), y, pending);
        addSegment(pending ? pending : p.chain.tailSegment, xLast, forward ? end->AttachX() : start->AttachX(), y);
    }

    // Classes of the units: process to process, or a heater or cooler on its process stream.
    std::unordered_map<std::string, const StreamVisibilityEntry*> entryOf;
    for (const StreamVisibilityEntry& e : config.streams) entryOf.emplace(e.name, &e);
    for (auto& [node, hx] : exchangers) {
        if (isKind(node, NodeKind::Heater)) {
            hx->svgClass = hx->ends.front().cold ? "heater" : "cooler";
            continue;
        }
        for (CNode* up : node->getAllUpStreamNodes()) {
            auto it = entryOf.find(parentStream(up));
            if (it == entryOf.end() || it->second->process) continue;
            hx->svgClass = it->second->cold ? "cooler" : "heater";  // the utility's side names the unit
        }
    }

    m_right = rightX + 15.0;
    m_bottom = stacked;
    // Room for each stream's name: up to the first unit along its line.
    std::unordered_map<std::string, double> firstUnitX;
    for (const auto& [node, hx] : exchangers)
        for (const HENDExchangerEnd& end : hx->ends) {
            auto [it, fresh] = firstUnitX.emplace(end.stream, end.x);
            if (!fresh) it->second = end.cold == reverseDirection ? std::min(it->second, end.x) : std::max(it->second, end.x);
        }
    for (HENDNode* item : m_items)
        if (auto* s = dynamic_cast<HENDStreamStart*>(item)) {
            auto it = firstUnitX.find(s->streamName);
            s->nameRoom = it == firstUnitX.end() ? std::abs(rightX - leftX) : std::abs(it->second - s->AttachX()) + 25.0;
        }
}

void HENDiagram::Paint() {
    Canvas& canvas = GetCanvas();
    canvas.Clear();
    canvas.SetExtent(m_right + 170.0, m_bottom + 70.0);
    // The lines first, the exchangers last so that they lie on top.
    for (int pass = 0; pass < 2; ++pass)
        for (HENDNode* item : m_items)
            if (item->IsHeatEx() == (pass == 1)) {
                canvas.SetTag(item->Tag());
                item->Draw(canvas);
            }
    canvas.SetTag(0);
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
        else if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) ends.push_back({s->streamName, s->x, s->y, s->cold});
        else if (auto* e = dynamic_cast<const HENDStreamEnd*>(item)) ends.push_back({e->streamName, e->x, e->y, e->cold});
        else if (auto* g = dynamic_cast<const HENDStreamSegment*>(item)) {
            ends.push_back({g->streamName, g->x1, g->y, g->cold});
            ends.push_back({g->streamName, g->x2, g->y, g->cold});
        } else if (auto* sp = dynamic_cast<const HENDStreamSplit*>(item)) {
            for (double y : sp->branchY) ends.push_back({sp->streamName, sp->x, y, sp->cold});
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
    out += "],\"pinches\":[]}\n";
    return out;
}

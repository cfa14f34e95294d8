// The grid diagram's edits of its design: the text commands its items send it, the command
// lines it builds for them, the two segment markers, and the temperatures read along the lines.
#include "views/grid/HENDiagram.h"

#include "eng/design/DesignEditLock.h"
#include "eng/design/IHENDesign.h"
#include "lumeth/Messages.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDFlowsheet.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace hend;

namespace {

// Every edit is logged on the design with this reason.
constexpr const char* kReason = "manually";

struct TextCommandWord {
    const char* word;
    int argc;
};
// Searched in order; the first equal word is the command.
constexpr TextCommandWord kTextCommands[] = {
    {"RemoveBranch", 1}, {"viewicnode", 1}, {"addhx", 2}, {"movehx", 3}, {"addsplit", 2},
    {"deletesplit", 1},  {"addbranch", 1},  {"deletehx", 1}, {"addhxtemp", 2},
};

// Why the design took no edit the grid asked of it: the lock that holds the network, or the
// edit's own reason.
const char* editRefusal(const IHENDesign& d, const Text& word) {
    if (const char* lock = StructureEditRefusal(d)) return lock;
    if (word == "RemoveBranch") return "GridNoBranchToRemove";
    if (word == "addbranch") return "GridNoSplitterToBranch";
    return "GridEditRefused";
}

Text unitName(const CNode* node) { return node ? Text(node->getName()) : Text(); }

Text number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%0.4f", v);
    return Text(text);
}

}  // namespace

// ---- the text commands ----

int HENDiagram::TextCommand(const Text& line) {
    Text word, rest;
    if (!line.Token(word, rest)) return -1;
    const TextCommandWord* command = nullptr;
    for (const TextCommandWord& c : kTextCommands)
        if (word == c.word) {
            command = &c;
            break;
        }
    if (!command) return -1;
    // Every argument names a node of the design; a missing, empty or stale name ends the
    // command before anything reaches the design.
    CNode* nodes[3] = {nullptr, nullptr, nullptr};
    for (int k = 0; k < command->argc; ++k) {
        Text name;
        const Text line = rest;  // Token writes its rest before it has read the line
        if (!line.Token(name, rest) || name.empty() || !m_design) return 0;
        nodes[k] = m_design->GetNodeByName(CPString(name.c_str()));
        if (!nodes[k]) return 0;
    }
    double temperatures[2] = {kEmpty, kEmpty};
    if (word == "addhxtemp")
        for (double& t : temperatures) {
            Text value;
            const Text tail = rest;
            if (!tail.Token(value, rest) || !value.IsNumber()) return 0;
            t = std::strtod(value.c_str(), nullptr);
            if (!std::isfinite(t)) return 0;
        }
    if (word == "viewicnode") {
        // Opening a unit's view changes nothing of the network.
        Viewable* view = nullptr;
        if (m_equipmentViews) {
            view = m_equipmentViews(nodes[0]);
        } else {
            for (Viewable* owner = OwnerViewable(); owner; owner = owner->OwnerViewable())
                if (owner->IsA(HIDesignViewerDesign::TypeName)) {
                    view = static_cast<HIDesignViewerDesign*>(owner)->GetEquipmentView(nodes[0]);
                    break;
                }
        }
        if (view) view->View(isSegment(nodes[0]) ? Text("OperationModeView") : Text());
        return 1;
    }
    IHENDesign& d = *m_design;
    bool done = true;
    // The design's own answers say whether a branch or a splitter is there to edit (not while the
    // design is locked, nor on a segment off every branch): an edit it would pass over is refused.
    if (word == "RemoveBranch") {
        // A branch is taken out through a segment on it: a unit names no branch to remove.
        done = isSegment(nodes[0]) && d.GetBranchState(nodes[0]) != 1;
        if (done) d.RemoveSplitterBranch(nodes[0], kReason);
    } else if (word == "addhx" || word == "addhxtemp") {
        CNode* unit = d.AddHeatExchanger(nodes[0], nodes[1], kReason, NodeKind::HeatExchanger, nullptr);
        done = unit != nullptr;
        if (unit && word == "addhxtemp") {
            unit->addVariable("HENDTempCold", temperatures[0], ValueStatus::Specified);
            unit->addVariable("HENDTempHot", temperatures[1], ValueStatus::Specified);
        }
    } else if (word == "movehx") {
        done = d.MoveHeatExchangerSide(nodes[0], nodes[1], nodes[2], kReason);
    } else if (word == "addsplit") {
        // A bypass runs downstream from its first segment: the other order is tried too.
        CNode* splitter = nullptr;
        done = d.AddSplitterMixer(nodes[0], nodes[1], splitter, kReason, 2) ||
               d.AddSplitterMixer(nodes[1], nodes[0], splitter, kReason, 2);
    } else if (word == "deletesplit") {
        done = d.RemoveSplitterMixer(nodes[0], kReason);
    } else if (word == "addbranch") {
        done = d.GetSplitterState(nodes[0]) != 1;
        if (done) d.AddSplitterBranch(nodes[0], kReason, 1);
    } else if (word == "deletehx") {
        done = d.DeleteHeatExchanger(nodes[0], kReason);
    }
    // The items go with the nodes an edit may have deleted: rebuilt before any further input
    // reaches them, whatever the design answered (even while a case import holds the layout).
    SetDesign(m_design);
    if (!done) ErrorMsg(editRefusal(d, word), unitName(nodes[0]));
    return done ? 1 : 0;
}

int HENDiagram::ViewNode(CNode* node) { return SendViewableMessage(this, "viewicnode " + quoted(node)); }

int HENDiagram::AddExchangerAtTemperatures(const HENDNode& a, const HENDNode& b, double ta, double tb) {
    // The cold side's temperature goes first, whichever line the user started from.
    const double cold = a.cold ? ta : tb, hot = a.cold ? tb : ta;
    return SendViewableMessage(this, "addhxtemp " + quoted(a.Node()) + " " + quoted(b.Node()) + " " + number(cold) + " " +
                                         number(hot));
}

bool HENDiagram::AddSplitAt(const HENDNode& a, const HENDNode& b) {
    if (!m_design || !a.Node() || !b.Node()) return false;
    if (CheckMatch(dynamic_cast<HENDStreamSegment*>(const_cast<HENDNode*>(&a)),
                   dynamic_cast<HENDStreamSegment*>(const_cast<HENDNode*>(&b)), true) == 0 &&
        &a != &b)
        return false;
    if (!CanAddBypass(a, b)) return false;
    SendViewableMessage(this, "addsplit " + quoted(a.Node()) + " " + quoted(b.Node()));
    return true;
}

// ---- items ----

Text HENDiagram::AttachedName(const Viewable* child) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i] == child) return FormattedText("CanvasConnection.200.%d(", static_cast<int>(i)) + m_items[i]->unitName + ")";
    return CanvasPlane::AttachedName(child);
}

Viewable* HENDiagram::AttachedObject(const VarDescription& var) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* asked = var.IsObjectLink() && registry ? registry->Find(var.ObjectType()) : nullptr;
    if (!(var.Flags() & VarDescription::FlagSelf) && asked && asked->IsA("CanvasConnectionObject") && var.Number() == 200) {
        // An item is rebuilt with every layout: the list is brought up to date first.
        PrepareLayout();
        const int i = var.Offset(0);
        HENDNode* item = i >= 0 && i < static_cast<int>(m_items.size()) ? m_items[static_cast<std::size_t>(i)] : nullptr;
        const VarDescription* next = var.GetNextLink();
        return item && next ? item->AttachedObject(*next) : item;
    }
    return CanvasPlane::AttachedObject(var);
}

HENDNode* HENDiagram::FindItemForNode(const CNode* node) const {
    if (!node) return nullptr;
    for (HENDNode* item : m_items)
        if (item->Node() == node) return item;
    return nullptr;
}

// ---- markers ----

void HENDiagram::PickSegment(CanvasPoint p, int package) {
    if (package != 1 && package != 2) return;
    HENDStreamSegment* s = FindItemAt(p);
    if (!s || !s->Node()) return;
    const double a = std::min(s->x1, s->x2), length = std::abs(s->x2 - s->x1);
    m_markerPosition = length > 0.0 ? (p.x - a) / length : 0.0;
    m_markers[package - 1] = Text(s->Node()->getName());
    // A new exchanger's marker starts a new match: the bypass marker goes.
    if (package == 1) m_markers[1].clear();
    MarkSegments();
}

void HENDiagram::MarkSegments() {
    for (HENDNode* item : m_items) {
        auto* s = dynamic_cast<HENDStreamSegment*>(item);
        if (!s) continue;
        const Text name = s->Node() ? Text(s->Node()->getName()) : Text();
        s->exchangerMarker = !name.empty() && name == m_markers[0];
        s->splitMarker = !name.empty() && name == m_markers[1];
        s->markerPosition = s->exchangerMarker || s->splitMarker ? m_markerPosition : 0.0;
    }
}

void HENDiagram::ClearMarkers() {
    m_markers[0].clear();
    m_markers[1].clear();
    MarkSegments();
}

void HENDiagram::AfterExchangerAdded(const Text& nodeName) {
    if (nodeName == m_markers[0]) m_markers[0].clear();
    else if (nodeName == m_markers[1]) m_markers[1].clear();
    MarkSegments();
}

// ---- temperatures ----

double PinchTemperatureAtX(const std::vector<HENDPinch>& pinches, double size, bool reverse, bool cold, double x) {
    if (pinches.empty()) return 0.0;
    const double tolerance = 1.5 * size;
    const double off = reverse ? 0.1 : -0.1;
    for (const HENDPinch& p : pinches) {
        const double centre = p.x + size, t = cold ? p.cold : p.hot;
        if (std::abs(x - centre) <= tolerance) return t;
        if (centre < x) return t + off;
    }
    const HENDPinch& last = pinches.back();
    return (cold ? last.cold : last.hot) - off;
}

double PinchTemperatureAtPoint(const std::vector<HENDPinch>& pinches, bool reverse, CanvasPoint p, bool coldSide) {
    if (pinches.empty()) return kEmpty;
    const HENDPinch* nearest = &pinches.front();
    for (const HENDPinch& q : pinches)
        if (std::abs(q.x - p.x) < std::abs(nearest->x - p.x)) nearest = &q;
    const bool right = nearest->x >= p.x;
    const bool raise = coldSide ? right != reverse : right == reverse;
    return (coldSide ? nearest->cold : nearest->hot) + (raise ? 0.0001 : -0.0001);
}

double HENDiagram::TemperatureAtX(const HENDNode& item, double x) const {
    return PinchTemperatureAtX(m_pinches, m_exchangerSize, reverseDirection, item.cold, x);
}

double HENDiagram::TemperatureAtPoint(CanvasPoint p, bool coldSide) const {
    return PinchTemperatureAtPoint(m_pinches, reverseDirection, p, coldSide);
}

double HENDiagram::ReadTemperature(const CNode* node) {
    double t = kEmpty;
    if (!node || node->getVariableStatus("Temperature") != ValueStatus::Specified ||
        !node->getVariableAsDouble("Temperature", t))
        return kEmpty;
    return t;
}

int HENDiagram::AddLine(Canvas& canvas, CanvasPoint from, CanvasPoint to, const ColourResource& colour, int style,
                        int width) {
    return canvas.AddLine(from, to, LineAttrib{colour, width, style});
}

#include "views/grid/HENDNode.h"

#include "dunmor/Utf8.h"

#include "views/grid/HENDFlowsheet.h"
#include "views/grid/HENDiagram.h"

#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/CNode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using hend::quoted;
const ColourResource kRed{"Red", 220, 30, 30};
const ColourResource kBlue{"Blue", 30, 60, 220};
const ColourResource kBlack{"Black", 0, 0, 0};
const ColourResource& lineColour(bool cold) { return cold ? kBlue : kRed; }

}  // namespace

double HENDFontMetrics::Width(const Text& text, double scale) const {
    return 7.0 * scale * static_cast<double>(Characters(text));
}

std::size_t HENDFontMetrics::Characters(const Text& text) { return Utf8Characters(text); }

HENDNode::HENDNode(HENDiagram* diagram, const char* objectTypeName, int kind, CNode* node)
    : CanvasConnection(diagram, Text(objectTypeName)), m_diagram(diagram), m_kind(kind), m_node(node) {}

void HENDNode::Draw(Canvas& canvas) {
    CanvasMarkup markup;
    markup.cssClass = SvgClass();
    markup.data.push_back({Text("name"), unitName});
    if (m_kind != 0 || IsSplit()) markup.data.push_back({Text("stream"), streamName});
    canvas.BeginGroup(markup);
    DrawShape(canvas);
    canvas.EndGroup();
}

Text HENDNode::FlyByDescription(CanvasPoint) { return Text(); }

void HENDNode::PrepareForObjectInspection(MenuModel& menu) { menu.AddItem(5608, FindString("oiView")); }

int HENDNode::ProcessInspectionCommand(int command) {
    if (command != 5608) return 0;
    m_diagram->ViewNode(m_node);
    return 1;
}

void HENDNode::NotifyDoubleClickAt(CanvasPoint) { m_diagram->ViewNode(m_node); }

// ---- links ----

namespace {
// The links' variable: number 200 of the item type family.
bool isLinkVariable(const VarDescription& var) {
    if ((var.Flags() & VarDescription::FlagSelf) || !var.IsObjectLink() || var.Number() != 200) return false;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* asked = registry ? registry->Find(var.ObjectType()) : nullptr;
    return asked && asked->IsA("CanvasConnectionObject");
}

HENDNode* item(const HENDStreamSegment* segment) { return const_cast<HENDStreamSegment*>(segment); }
}  // namespace

Viewable* HENDNode::AttachedObject(const VarDescription& var) {
    if (NumberOfLinks() == 0 || !isLinkVariable(var)) return CanvasConnection::AttachedObject(var);
    HENDNode* linked = LinkedItem(var.Offset(0));
    const VarDescription* next = var.GetNextLink();
    return linked && next && next->IsObjectLink() ? linked->AttachedObject(*next) : linked;
}

Text HENDNode::AttachedName(const Viewable* child) const {
    for (int i = 1; child && i <= NumberOfLinks(); ++i)
        if (LinkedItem(i) == child)
            return FormattedText("CanvasConnection.200.%d(", i) + VarDescription::EscapeChildName(LinkedItem(i)->unitName) +
                   ")";
    return CanvasConnection::AttachedName(child);
}

int HENDNode::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (NumberOfLinks() == 0 || !isLinkVariable(var)) return CanvasConnection::Dimensions(var, dims);
    dims.AddDim(NumberOfLinks() + 1);
    return 1;
}

void HENDNode::LoadLinkVariables(FormDescription& form) {
    form.Add({"CanvasConnection.200", FormHook::Link, 0, false, 1});
}

HENDNode* HENDStreamStart::LinkedItem(int index) const { return index == 1 ? item(firstSegment) : nullptr; }

HENDNode* HENDStreamAnchor::LinkedItem(int index) const { return index == 1 ? owner : nullptr; }

HENDNode* HENDStreamSegment::LinkedItem(int index) const {
    switch (index) {
        case 1: return forward ? left : right;
        case 2: return forward ? right : left;
        case 3: return owner;
        default: return nullptr;
    }
}

HENDNode* HENDStreamEnd::LinkedItem(int index) const {
    if (index == 1) return item(lastSegment);
    return index == 2 ? owner : nullptr;
}

HENDNode* HENDHeatEx::LinkedItem(int index) const {
    if (index < 1 || index > 4) return nullptr;
    const std::size_t end = (index - 1) % 2 == 0 ? 0 : 1;
    if (end >= ends.size()) return nullptr;
    return index <= 2 ? ends[end].inlet : ends[end].outlet;
}

HENDNode* HENDGhost::LinkedItem(int index) const {
    if (index == 1) return moved;
    return index == 2 ? source : nullptr;
}

// ---- stream start and end ----

double HENDStreamStart::Base() const {
    // Off mode 0 the square stands beside the pinch it was put on, 30 further right.
    double base = x;
    switch (offsetMode) {
    case 0: base = forward ? x - 10.0 : x; break;
    case 1: base = forward ? x - 25.0 : x; break;
    case 2: base = forward ? x - 50.0 : x + 25.0; break;
    case 3: base = forward ? x + 25.0 : x - 50.0; break;
    default: break;
    }
    return offsetMode != 0 ? base + 30.0 : base;
}

void HENDStreamStart::ExtendBounds(double box[4]) const {
    Widen(box, Base(), y - 13.0);
    Widen(box, Base() + 25.0, y + 12.0);
}

bool HENDStreamStart::ContainsPoint(CanvasPoint p) const {
    return p.x >= Base() && p.x < Base() + 25.0 && p.y >= y - 13.0 && p.y < y + 12.0;
}

void HENDStreamStart::DrawShape(Canvas& canvas) {
    const double left = Base();
    SetPosition({left, y - 13.0});
    SetSize(25.0, 25.0);
    canvas.AddRectangle({left, y - 13.0}, 25.0, 25.0, LineAttrib{kBlack, 1, 0}, true, lineColour(cold));
    FontResource font = m_diagram->LabelFont();
    font.size *= labelScale;
    // The name fits between the square's far side and the first item along the line.
    // Widths scale with the font the texts are written in (a picture's is larger than the
    // view's by its pixel size).
    const double em = m_diagram->LabelFont().size / 12.0;
    double room = firstSegment ? std::abs(firstSegment->x2 - firstSegment->x1) + 25.0 : 25.0;
    // A picture writes a unit's name over its topmost circle, half of it towards the start: when
    // the first item is a unit whose topmost circle is on this line, the start's name ends clear
    // of the unit's.
    const HENDNode* next = firstSegment ? (firstSegment->left == this ? firstSegment->right : firstSegment->left) : nullptr;
    if (const auto* hx = dynamic_cast<const HENDHeatEx*>(next); hx && m_diagram->DrawingPicture() && !hx->ends.empty()) {
        const HENDExchangerEnd* top = &hx->ends.front();
        for (const HENDExchangerEnd& e : hx->ends)
            if (e.y < top->y) top = &e;
        if (std::abs(top->y - y) < 1.0) {
            const double half = m_diagram->FontMetrics().Width(hx->unitName, em) / 2.0, gap = 4.0 * em;
            const double clear = forward ? top->x - half - gap - left : left + 25.0 - (top->x + half + gap);
            room = std::min(room, std::max(clear, 0.0));
        }
    }
    // A picture leaves out a value the terminal does not know (a duty or an area chosen for it).
    const Text label = m_diagram->GetAnnotation(4, Node(), temperature);
    const bool labelled = !label.empty() && !(m_diagram->DrawingPicture() && label.front() == '?');
    // The name and temperature run along the line from the square. A start that stands on a pinch
    // line (its supply temperature is the pinch's) would have that line run through them: they
    // turn to the square's other side, where the stream has no line, clear of the pinch line.
    const double reach = std::max(m_diagram->FontMetrics().Width(streamName, labelScale * em),
                                  labelled ? m_diagram->FontMetrics().Width(label, labelScale * em) : 0.0);
    const double clear = 2.0 * em;
    double turnedAt = forward ? left + 25.0 : left;
    bool turned = false;
    for (const HENDPinch& p : m_diagram->Pinches()) {
        const double line = m_diagram->PinchLine(p);
        const double from = forward ? left : left + 25.0 - reach, to = forward ? left + reach : left + 25.0;
        if (line + 1.0 + clear <= from || line - 1.0 - clear >= to) continue;
        turned = true;
        turnedAt = forward ? std::min(turnedAt, line - 1.0 - clear) : std::max(turnedAt, line + 1.0 + clear);
    }
    const double at = turned ? turnedAt : forward ? left : left + 25.0;
    const TextAnchor anchor = forward != turned ? TextAnchor::Start : TextAnchor::End;
    const Text name = m_diagram->FitText(streamName, turned ? std::max(room, reach) : room, labelScale * em);
    m_diagram->RegisterName(canvas.AddText({at, y - 16.0}, name, font, kBlack, anchor, TextBaseline::Baseline));
    labelLeft = 0.0, labelRight = -1.0;
    if (labelled) {
        const double width = m_diagram->FontMetrics().Width(label, labelScale * em);
        labelLeft = anchor == TextAnchor::Start ? at : at - width, labelRight = labelLeft + width;
        m_diagram->RegisterLabel(canvas.AddText({at, y + 14.0}, label, font, kBlack, anchor, TextBaseline::Top));
    }
}

double HENDStreamEnd::Base() const {
    double base = x;
    switch (offsetMode) {
    case 2: base = forward ? x - 40.0 : x + 25.0; break;
    case 3: base = forward ? x + 25.0 : x - 40.0; break;
    case 1: base = forward ? x - 15.0 : x; break;
    default: break;
    }
    return offsetMode != 0 ? base + 30.0 : base;
}

void HENDStreamEnd::ExtendBounds(double box[4]) const {
    Widen(box, Base(), y - 12.0);
    Widen(box, Base() + 15.0, y + 12.0);
}

bool HENDStreamEnd::ContainsPoint(CanvasPoint p) const {
    return p.x >= Base() && p.x < Base() + 15.0 && p.y >= y - 12.0 && p.y < y + 12.0;
}

void HENDStreamEnd::DrawShape(Canvas& canvas) {
    const double b = Base();
    SetPosition({b, y - 12.0});
    SetSize(15.0, 24.0);
    const std::vector<CanvasPoint> head = forward
                                              ? std::vector<CanvasPoint>{{b, y - 12.0}, {b + 15.0, y}, {b, y + 12.0}}
                                              : std::vector<CanvasPoint>{{b + 15.0, y + 12.0}, {b, y}, {b + 15.0, y - 12.0}};
    canvas.AddPolyline(head, LineAttrib{lineColour(cold), 1, 0}, true, lineColour(cold));
    FontResource font = m_diagram->LabelFont();
    font.size *= labelScale;
    const Text label = m_diagram->GetAnnotation(5, Node(), temperature);
    if (label.empty() || (m_diagram->DrawingPicture() && label.front() == '?')) return;
    double at = forward ? b + 15.0 : b;
    // A line left short (every unit on it hidden) brings its two ends together: in a picture the
    // end's temperature moves on past the start's, beyond the arrow, where it would run into it.
    if (m_diagram->DrawingPicture() && owner && owner->labelLeft <= owner->labelRight) {
        const double em = m_diagram->LabelFont().size / 12.0, gap = 4.0 * em;
        const double width = m_diagram->FontMetrics().Width(label, labelScale * em);
        const double from = forward ? at - width : at, to = forward ? at : at + width;
        if (from < owner->labelRight + gap && owner->labelLeft - gap < to)
            at = forward ? owner->labelRight + gap + width : owner->labelLeft - gap - width;
    }
    m_diagram->RegisterLabel(canvas.AddText({at, y + 14.0}, label, font, kBlack, forward ? TextAnchor::End : TextAnchor::Start,
                                            TextBaseline::Top));
}

// ---- stream anchors ----

int HENDStreamAnchor::CompareAnchor(const HENDNode* other) const {
    const auto* anchor = dynamic_cast<const HENDStreamAnchor*>(other);
    if (!anchor || !owner || !anchor->owner) return 0;
    const auto category = [](const HENDStreamStart& s) {
        if (!s.process) return s.cold ? 0 : 3;
        return s.cold ? 2 : 1;
    };
    return category(*owner) - category(*anchor->owner);
}

// ---- segments ----

void HENDStreamSegment::Attach() {
    // A missing neighbour (a damaged chain) leaves the segment without length.
    if (left) x1 = left->RightAttach(leftEnd);
    if (right) x2 = right->LeftAttach(rightEnd);
    if (!left) x1 = x2;
    if (!right) x2 = x1;
}

void HENDStreamSegment::ExtendBounds(double box[4]) const {
    Widen(box, std::min(x1, x2), y + 5.0);
    Widen(box, std::max(x1, x2), y + 20.0);
}

bool HENDStreamSegment::ContainsPoint(CanvasPoint p) const {
    const double t = OwnerPlane()->ConvertToCanvasFromScene(6.0);
    return p.x >= std::min(x1, x2) && p.x <= std::max(x1, x2) && std::abs(p.y - y) <= t;
}

Text HENDStreamSegment::FlyByDescription(CanvasPoint) {
    if (!Node() || m_diagram->BranchRemoved()) return Text();
    return m_diagram->SegmentFlyBy(*this);
}

int HENDStreamSegment::BranchState() const {
    if (!onBranch || m_diagram->EditLocked()) return 1;
    // Walk the branch both ways to its split items: any unit on the way means equipment.
    for (const HENDNode* side : {left, right}) {
        const HENDNode* item = side;
        const HENDStreamSegment* from = this;
        while (item && !item->IsSplit()) {
            if (item->IsHeatEx()) return 2;
            const HENDStreamSegment* next = nullptr;
            for (const HENDNode* n : m_diagram->Items())
                if (auto* seg = dynamic_cast<const HENDStreamSegment*>(n); seg && seg != from && (seg->left == item || seg->right == item))
                    next = seg;
            if (!next) break;
            item = next->left == item ? next->right : next->left;
            from = next;
        }
    }
    return 0;
}

void HENDStreamSegment::PrepareForObjectInspection(MenuModel& menu) {
    HENDNode::PrepareForObjectInspection(menu);
    if (BranchState() != 1) menu.AddItem(5610, FindString("oiDeleteBranch"));
}

int HENDStreamSegment::ProcessInspectionCommand(int command) {
    if (command != 5610) return HENDNode::ProcessInspectionCommand(command);
    const int state = BranchState();
    if (state == 1) return 1;
    if (state == 2 && Viewable::ResponseMsg("HENDDeleteBranchWithEquipment", 2) != 1) return 1;
    m_diagram->SetBranchRemoved();
    m_diagram->SetDeleting();
    SendViewableMessage(m_diagram, "RemoveBranch " + quoted(Node()));
    return 1;
}

void HENDStreamSegment::DrawShape(Canvas& canvas) {
    const double a = std::min(x1, x2), b = std::max(x1, x2);
    SetPosition({a, y - 4.0});
    SetSize(b - a, 8.0);
    canvas.AddLine({a, y}, {b, y}, LineAttrib{lineColour(cold), process ? 9 : 5, dashed ? 2 : 0});
    if (exchangerMarker || splitMarker)
        canvas.AddCircle({a + markerPosition * (b - a), y}, 30.0, LineAttrib{kBlack, 3, 0}, true,
                         exchangerMarker ? kRed : kBlue);
    if (m_diagram->DrawingPicture()) {
        DrawSplitFraction(canvas, a, b);
        DrawPictureAnnotation(canvas, a, b);
        return;
    }
    // A label only between units, unless the segments' annotation is asked everywhere.
    const bool boundary = (left && left->IsStreamTerminal()) || (right && right->IsStreamTerminal());
    if (boundary && m_diagram->AnnotationChoice(0) != 0) return;
    double t = -32767.0;
    if (Node() && Node()->getVariableStatus("Temperature") != 0) Node()->getVariableAsDouble("Temperature", t);
    const Text label = m_diagram->GetAnnotation(0, Node(), t);
    if (!label.empty())
        m_diagram->RegisterLabel(canvas.AddText({a + 0.66 * (b - a), y - 2.0}, label, m_diagram->LabelFont(), kBlack,
                                                TextAnchor::Middle, TextBaseline::Baseline));
}

void HENDStreamSegment::DrawSplitFraction(Canvas& canvas, double a, double b) {
    // The first segment of a branch carries its share of the flow: written above the line by
    // the split it leaves. The temperatures are on the units themselves.
    const double fraction = onBranch ? hend::knownValue(fractionNode ? fractionNode : Node(), "SplitFraction") : hend::kEmpty;
    if (fraction == hend::kEmpty) return;
    const double px = m_diagram->PicturePixel();
    const bool forward = cold == m_diagram->reverseDirection;
    m_diagram->RegisterLabel(canvas.AddText({forward ? a + 6.0 * px : b - 6.0 * px, y - 4.0 * px},
                                            FormattedText("%.2f", fraction), m_diagram->LabelFont(), kBlack,
                                            forward ? TextAnchor::Start : TextAnchor::End, TextBaseline::Baseline));
}

void HENDStreamSegment::DrawPictureAnnotation(Canvas& canvas, double a, double b) {
    // Temperatures are written beside the units and split fractions by the splits; any other
    // choice for the segments is written above the segment, where the segment knows it.
    const int choice = m_diagram->AnnotationChoice(0);
    if (choice == 1 || (choice == 6 && onBranch)) return;
    const Text label = m_diagram->GetAnnotation(0, Node(), -32767.0);
    if (label.empty() || label.front() == '?') return;
    const double px = m_diagram->PicturePixel();
    m_diagram->RegisterLabel(canvas.AddText({(a + b) / 2.0, y - 4.0 * px}, label,
                                            m_diagram->LabelFont(), kBlack, TextAnchor::Middle, TextBaseline::Baseline));
}

CanvasPoint HENDStreamSegment::MarkerPoint() const {
    const double a = std::min(x1, x2), length = std::abs(x2 - x1);
    return {std::trunc(a + markerPosition * length), std::trunc(y)};
}

bool HENDStreamSegment::HitTest(CanvasPoint p, HENDHitRecord& record) {
    record.item = nullptr;
    if (!exchangerMarker && !splitMarker) return false;
    // The marker's square: 30 units each way from its centre, left and top inclusive.
    const CanvasPoint m = MarkerPoint();
    if (p.x < m.x - 30.0 || p.x >= m.x + 30.0 || p.y < m.y - 30.0 || p.y >= m.y + 30.0) return false;
    record = HENDHitRecord{1, this, 0, m, splitMarker, m_diagram->TemperatureAtX(*this, p.x)};
    return true;
}

// ---- exchangers ----

std::vector<HENDShadeStep> ShadedCircleSteps(int left, int top, int width, int height, const ColourResource& key) {
    static const int kA[8] = {0, 6, 14, 20, 26, 34, 40, 48};
    static const int kB[8] = {254, 240, 224, 208, 192, 176, 160, 144};
    const int r = key.red / 8, g = key.green / 8, b = key.blue / 8;
    std::vector<HENDShadeStep> steps;
    for (int i = 0; i < 8; ++i) {
        HENDShadeStep s;
        s.left = left + kA[i] * width / 254;
        s.top = top + kA[i] * height / 254;
        s.right = left + kB[i] * width / 254;
        s.bottom = top + kB[i] * height / 254;
        const int k = i + 1;
        s.colour = ColourResource{Text(), static_cast<std::uint8_t>(k * r), static_cast<std::uint8_t>(k * g),
                                  static_cast<std::uint8_t>(k * b)};
        steps.push_back(s);
    }
    return steps;
}

int IntervalPosition(double temperature, const std::vector<double>& bounds) {
    if (temperature == -32767.0) return -1;
    const int n = static_cast<int>(bounds.size());
    for (int k = 0; k < n; ++k) {
        const double v = bounds[static_cast<std::size_t>(k)];
        // A temperature typed to four decimals on a bound is on it: the difference of the two
        // doubles carries rounding beyond the tolerance.
        if (std::abs(temperature - v) <= 0.0001 + 1e-9) return 2 * k + 1;
        if (v > temperature) return 2 * k;
    }
    return 2 * n;
}

int IntervalColumn(int lower, int upper) {
    const bool lowerOdd = lower % 2 != 0, upperOdd = upper % 2 != 0;
    if (lowerOdd && upperOdd) return lower == upper ? lower : lower + 1;
    if (lowerOdd) return lower + 1;
    if (!upperOdd) return upper <= lower ? lower : lower + 1;
    return lower + 1 < upper ? lower + 1 : lower;
}

int SideIntervalColumn(double a, double b, const std::vector<double>& bounds) {
    if (a == -32767.0) a = b;
    if (b == -32767.0) b = a;
    if (a == -32767.0) return -1;
    if (b < a) std::swap(a, b);
    return IntervalColumn(IntervalPosition(a, bounds), IntervalPosition(b, bounds));
}

HENDTerminalPlace TerminalAtPinch(double temperature, bool cold, bool start, const std::vector<double>& pinches) {
    HENDTerminalPlace place;
    if (temperature == -32767.0) return place;
    for (std::size_t k = 0; k < pinches.size(); ++k)
        if (std::abs(pinches[k] - temperature) <= 0.099) return {static_cast<int>(k), 1};
    // A cold start and a hot end look below their temperature, a hot start and a cold end above.
    const bool below = cold == start;
    for (std::size_t k = 0; k < pinches.size(); ++k) {
        const double v = pinches[k];
        if (below ? v >= temperature : v <= temperature) continue;
        const double best = place.interval < 0 ? 0.0 : pinches[static_cast<std::size_t>(place.interval)];
        if (place.interval < 0 || (below ? v > best : v < best)) place.interval = static_cast<int>(k);
    }
    if (place.interval >= 0) place.mode = start ? 3 : 2;
    return place;
}

ColourResource ShadeKeyColour(int code) {
    switch (code) {
    case 1: return {"HENDProcProc", 255, 255, 255};
    case 2: return {"HENDCProcHUtil", 255, 0, 0};
    case 3: return {"HENDHProcCUtil", 0, 0, 255};
    case 4: return {"HENDModHX", 0, 255, 0};
    default: return {"HENDInfeasible", 255, 255, 0};
    }
}

double HENDHeatEx::LeftAttach(int end) const {
    if (end < 0 || end >= static_cast<int>(ends.size())) return 0.0;
    return ends[static_cast<std::size_t>(end)].left;
}

double HENDHeatEx::RightAttach(int end) const {
    if (end < 0 || end >= static_cast<int>(ends.size())) return 0.0;
    return ends[static_cast<std::size_t>(end)].left + 2.0 * size;
}

void HENDHeatEx::ScaleX(double origin, double factor) {
    for (HENDExchangerEnd& e : ends) {
        e.left = ScaledAbout(e.left, origin, factor);
        e.x = e.left + size;
    }
}

void HENDHeatEx::ScaleY(double factor) {
    for (HENDExchangerEnd& e : ends) e.y *= factor;
}

void HENDHeatEx::Resize(double s) {
    size = s;
    for (HENDExchangerEnd& e : ends) e.x = e.left + s;
}

void HENDHeatEx::ExtendBounds(double box[4]) const {
    for (const HENDExchangerEnd& e : ends) {
        Widen(box, e.left, e.y - 60.0);  // room for the labels
        Widen(box, e.left + 2.0 * size, e.y + size);
    }
}

int HENDHeatEx::EndAt(CanvasPoint p) const {
    // Each end is the square of its circle, left and top inclusive, in whole units.
    const double d = 2.0 * size;
    for (std::size_t k = 0; k < ends.size(); ++k) {
        const double l = std::trunc(ends[k].left), t = std::trunc(ends[k].y - size);
        if (p.x >= l && p.x < l + d && p.y >= t && p.y < t + d) return static_cast<int>(k) + 1;
    }
    return 0;
}

bool HENDHeatEx::ContainsPoint(CanvasPoint p) const { return EndAt(p) != 0; }

bool HENDHeatEx::HitTest(CanvasPoint p, HENDHitRecord& record) {
    record.item = nullptr;
    const int end = EndAt(p);
    if (end == 0) return false;
    const HENDExchangerEnd& e = ends[static_cast<std::size_t>(end - 1)];
    record = HENDHitRecord{0, this, end, {e.left + size, e.y}, false, -32767.0};
    return true;
}

Text HENDHeatEx::FlyByDescription(CanvasPoint) {
    if (deleting) return Text();
    return m_diagram->ExchangerFlyBy(*this);
}

void HENDHeatEx::PrepareForObjectInspection(MenuModel& menu) {
    // A network locked for operation keeps its units.
    if (!m_diagram->EditLocked()) menu.AddItem(5609, FindString("oiDelete"));
    HENDNode::PrepareForObjectInspection(menu);
}

int HENDHeatEx::ProcessInspectionCommand(int command) {
    if (command != 5609) return HENDNode::ProcessInspectionCommand(command);
    deleting = true;
    m_diagram->SetDeleting();
    SendViewableMessage(m_diagram, "deletehx " + quoted(Node()));
    return 1;
}

void HENDHeatEx::DrawShape(Canvas& canvas) {
    if (ends.empty()) return;
    const double s = size;
    double top = ends.front().y, bottom = top, lo = ends.front().left, hi = lo;
    const HENDExchangerEnd* topEnd = &ends.front();
    const HENDExchangerEnd* bottomEnd = &ends.front();
    for (const HENDExchangerEnd& e : ends) {
        if (e.y < topEnd->y) topEnd = &e;
        if (e.y > bottomEnd->y) bottomEnd = &e;
        top = std::min(top, e.y), bottom = std::max(bottom, e.y);
        lo = std::min(lo, e.left), hi = std::max(hi, e.left);
    }
    SetPosition({lo, top - s});
    SetSize(hi - lo + 2.0 * s, bottom - top + 2.0 * s);
    for (std::size_t k = 1; k < ends.size(); ++k)
        canvas.AddLine({ends[k - 1].x, ends[k - 1].y}, {ends[k].x, ends[k].y}, LineAttrib{kBlack, 3, 0});
    // Each end is a shaded circle, the largest centred on the end's point on its line.
    for (const HENDExchangerEnd& e : ends) {
        const int d = static_cast<int>(2.0 * s);
        const int left = static_cast<int>(e.left), ctop = static_cast<int>(e.y - s);
        for (const HENDShadeStep& st : ShadedCircleSteps(left, ctop, d, d, ShadeKeyColour(e.shade))) {
            const double r = (st.right - st.left) / 2.0;
            const ColourResource& colour = m_diagram->ShadeColour(st.colour);
            canvas.AddCircle({st.left + r + (e.left - left), st.top + r + (e.y - s - ctop)}, r, LineAttrib{colour, 1, 0},
                             true, colour);
        }
    }
    if (m_diagram->DrawingPicture()) {
        DrawPictureLabels(canvas, *topEnd, *bottomEnd);
        return;
    }
    // Labels above the topmost circle: positions 3, 2 and 1, each next one 30 higher.
    double labelY = topEnd->y - s - 3.0;
    for (int position : {3, 2, 1}) {
        const Text label = m_diagram->GetAnnotation(position, Node(), -32767.0);
        if (label.empty()) continue;
        m_diagram->RegisterLabel(canvas.AddText({topEnd->x, labelY}, label, m_diagram->LabelFont(), kBlack,
                                                TextAnchor::Middle, TextBaseline::Baseline));
        labelY -= 30.0;
    }
}

void HENDHeatEx::DrawPictureLabels(Canvas& canvas, const HENDExchangerEnd& topEnd, const HENDExchangerEnd& bottomEnd) {
    const double px = m_diagram->PicturePixel();
    // A text centred over or under the unit, unless a pinch line would run through it (the unit
    // stands in a pinch's column, its tie-line along the pinch line): then it starts just beside
    // that line, on the side of it the unit's centre lies, or to the right of it.
    struct Placed {
        double at, left;
        TextAnchor anchor;
    };
    const auto place = [&](double x, double width) {
        Placed out{x, x - width / 2.0, TextAnchor::Middle};
        for (const HENDPinch& p : m_diagram->Pinches()) {
            const double line = m_diagram->PinchLine(p), clear = 1.0 + 2.0 * px;
            if (line <= out.left - clear || line >= out.left + width + clear) continue;
            if (x >= line)
                out = {line + clear, line + clear, TextAnchor::Start};
            else
                out = {line - clear, line - clear - width, TextAnchor::End};
        }
        return out;
    };
    // The unit's name above its topmost circle.
    const Placed name = place(topEnd.x, m_diagram->FontMetrics().Width(unitName, m_diagram->LabelFont().size / 12.0));
    m_diagram->RegisterLabel(canvas.AddText({name.at, topEnd.y - size - 3.0 * px}, unitName, m_diagram->LabelFont(), kBlack,
                                            name.anchor, TextBaseline::Baseline));
    FontResource font = m_diagram->LabelFont();
    font.size *= 10.0 / 12.0;
    // Under the unit, clear of the temperatures beside its lowest circle, what the user chose
    // for the exchangers (the duty unless chosen otherwise), one line each in the order of the
    // view's labels from the top; a value the unit does not know is left out. A line that would
    // run into one a unit in a neighbouring column wrote goes a line lower.
    const double lineHeight = m_diagram->FontMetrics().Height(font.size / 12.0) + px;
    double below = bottomEnd.y + std::max(size, 4.0 * px + m_diagram->FontMetrics().Height(font.size / 12.0)) + 2.0 * px;
    for (int position : {1, 2, 3}) {
        const Text label = m_diagram->GetAnnotation(position, Node(), -32767.0);
        if (label.empty() || label.front() == '?') continue;
        const double width = m_diagram->FontMetrics().Width(label, font.size / 12.0);
        const Placed line = place(bottomEnd.x, width);
        below = m_diagram->TakeLabelRow(below, line.left - 2.0 * px, line.left + width + 2.0 * px, lineHeight);
        const int drawn = canvas.AddText({line.at, below}, label, font, kBlack, line.anchor, TextBaseline::Top);
        m_diagram->RegisterLabel(drawn);
        below += lineHeight;
    }
    // Below each line, the stream's temperature into the unit on the side it comes from and
    // out of it on the side it leaves by, a little smaller than the names: when temperatures
    // are what the user chose for the lines.
    if (m_diagram->AnnotationChoice(0) != 1) return;
    const double scale = font.size / 12.0;
    // Four pixels under the line, and clear of its stroke (a process line is nine units wide)
    // in a picture grown so far that four pixels lie within it.
    const double under = std::max(4.0 * px, 4.5 + 0.5 * px);
    const double textBottom = under + 1.2 * font.size;
    for (std::size_t k = 0; k < ends.size(); ++k) {
        const HENDExchangerEnd& e = ends[k];
        // A tie-line leaving this end downwards at a slant (a unit drawn across a pinch, from a
        // line on one side of it to one on the other) runs through the band under the line where
        // the temperatures are written: on the side it leaves towards, the temperature starts
        // past the point where the tie-line leaves that band.
        double rightFrom = e.left + 2.0 * size + 2.0 * px, leftTo = e.left - 2.0 * px;
        for (std::size_t j : {k - 1, k + 1}) {
            if (j >= ends.size() || ends[j].y <= e.y || ends[j].x == e.x) continue;
            const double across = e.x + textBottom * (ends[j].x - e.x) / (ends[j].y - e.y);
            if (ends[j].x > e.x) rightFrom = std::max(rightFrom, across + 2.0 * px + 2.0);
            else leftTo = std::min(leftTo, across - 2.0 * px - 2.0);
        }
        const Text before = SideTemperature(e, false), after = SideTemperature(e, true);
        // Where the unit next along the line writes the same temperature and the segment between
        // them holds only one label, the unit on the left writes it once, centred between them.
        if (!before.empty() && SharedTemperature(e, false, m_diagram->FontMetrics().Width(before, scale)).empty() &&
            !TerminalWrites(e, false, before, m_diagram->FontMetrics().Width(before, scale)))
            m_diagram->RegisterLabel(canvas.AddText({leftTo, e.y + under}, before, font, kBlack,
                                                    TextAnchor::End, TextBaseline::Top));
        if (after.empty() || TerminalWrites(e, true, after, m_diagram->FontMetrics().Width(after, scale))) continue;
        const HENDStreamSegment* right = (e.cold == m_diagram->reverseDirection) ? e.outlet : e.inlet;
        if (right && !SharedTemperature(e, true, m_diagram->FontMetrics().Width(after, scale)).empty())
            m_diagram->RegisterLabel(canvas.AddText({(right->x1 + right->x2) / 2.0, e.y + under}, after, font, kBlack,
                                                    TextAnchor::Middle, TextBaseline::Top));
        else
            m_diagram->RegisterLabel(canvas.AddText({rightFrom, e.y + under}, after, font, kBlack,
                                                    TextAnchor::Start, TextBaseline::Top));
    }
}

Text HENDHeatEx::SideTemperature(const HENDExchangerEnd& e, bool right) const {
    const bool forward = e.cold == m_diagram->reverseDirection;
    const double t = forward == right ? e.outletTemperature : e.inletTemperature;
    return t == hend::kEmpty ? Text() : HENDiagram::FormatValue(t, "%0.1f ", 1);
}

bool HENDHeatEx::TerminalWrites(const HENDExchangerEnd& e, bool right, const Text& label, double width) const {
    const bool forward = e.cold == m_diagram->reverseDirection;
    const HENDStreamSegment* segment = forward == right ? e.outlet : e.inlet;
    if (!segment) return false;
    const HENDNode* next = right ? segment->right : segment->left;
    // The terminal's label and where it lies: a start's from its square's outer edge inwards,
    // an end's from its arrow's tip inwards.
    double temperature = hend::kEmpty, scale = 1.0, from = 0.0, inward = 1.0;
    if (const auto* start = dynamic_cast<const HENDStreamStart*>(next)) {
        if (m_diagram->AnnotationChoice(4) != 1) return false;
        temperature = start->temperature, scale = start->labelScale;
        from = start->forward ? start->Base() : start->Base() + 25.0, inward = start->forward ? 1.0 : -1.0;
    } else if (const auto* end = dynamic_cast<const HENDStreamEnd*>(next)) {
        if (m_diagram->AnnotationChoice(5) != 1) return false;
        temperature = end->temperature, scale = end->labelScale;
        from = end->forward ? end->Base() + 15.0 : end->Base(), inward = end->forward ? -1.0 : 1.0;
    } else {
        return false;
    }
    if (temperature == hend::kEmpty || HENDiagram::FormatValue(temperature, "%0.1f ", 1) != label) return false;
    const double px = m_diagram->PicturePixel();
    const double theirs = m_diagram->FontMetrics().Width(label, scale * m_diagram->LabelFont().size / 12.0);
    double a = std::min(from, from + inward * theirs), b = std::max(from, from + inward * theirs);
    // A start on a pinch line writes its temperature on its square's other side; the lines are
    // drawn before the units, so where it wrote it is known.
    if (const auto* start = dynamic_cast<const HENDStreamStart*>(next); start && start->labelLeft <= start->labelRight)
        a = start->labelLeft, b = start->labelRight;
    // The unit's own label: left of its circle, or right of it. The same temperature written
    // twice within a few pixels reads as one run-on text, so the unit leaves it to the terminal
    // unless a clear gap parts them.
    const double mine = right ? e.left + 2.0 * size + 2.0 * px : e.left - 2.0 * px - width;
    return mine < b + 4.0 * px && mine + width > a - 4.0 * px;
}

Text HENDHeatEx::SharedTemperature(const HENDExchangerEnd& e, bool right, double width) const {
    const bool forward = e.cold == m_diagram->reverseDirection;
    const HENDStreamSegment* segment = forward == right ? e.outlet : e.inlet;
    if (!segment) return Text();
    const auto* other = dynamic_cast<const HENDHeatEx*>(right ? segment->right : segment->left);
    const int index = right ? segment->rightEnd : segment->leftEnd;
    if (!other || index < 0 || index >= static_cast<int>(other->ends.size())) return Text();
    const Text mine = SideTemperature(e, right), theirs = other->SideTemperature(other->ends[static_cast<std::size_t>(index)], !right);
    if (mine.empty() || mine != theirs) return Text();
    // Both labels with their gaps to the circles and a gap between them.
    const double px = m_diagram->PicturePixel();
    if (2.0 * width + 8.0 * px <= std::abs(segment->x2 - segment->x1)) return Text();
    return mine;
}


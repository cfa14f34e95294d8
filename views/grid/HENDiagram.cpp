#include "views/grid/HENDiagram.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "views/grid/HENDFlowsheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

using namespace hend;

namespace {
constexpr double kSize = 30.0;  // the exchanger symbol size at every rebuild
}  // namespace

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
    std::vector<HENDNode*> items = std::move(m_items);
    m_items.clear();
    items.insert(items.end(), m_anchors.begin(), m_anchors.end());
    m_anchors.clear();
    // The last made first (tags grow as items are made; an anchor comes after its line's start):
    // each then leaves the plane's lists from their ends, and a diagram of thousands of items
    // goes in one pass rather than with a search past every anchor for each item.
    std::sort(items.begin(), items.end(), [](const HENDNode* a, const HENDNode* b) { return a->Tag() > b->Tag(); });
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
bool HENDiagram::EditLocked() const { return m_design && (m_design->GetOperationLocked() || m_design->GetEditLockState() == 1); }

int HENDiagram::SplitterState(CNode* tee) const {
    if (!tee) return 1;
    for (CNode* b : tee->getAllDownStreamNodes()) {
        int budget = m_design ? m_design->GetNumberOfNodes() + 1 : 1000;
        for (CNode* n = b; n && budget-- > 0 && !isKind(n, NodeKind::Mixer); n = n->getIthDownStreamNode(0))
            if (isUnit(n)) return 2;
    }
    return 0;
}

namespace {
// The fixed-point formats the diagram's labels use ("%0.1f " and the like: a precision of at most
// nine, then plain text) are written by to_chars, which is defined as printf's conversion and
// skips its format parser: a picture of a large network writes tens of thousands of them. False
// for any other format or a number that is not finite.
constexpr std::size_t kFormattedLength = 63;

bool formatFixed(const char* format, double value, Text& out) {
    const char* f = format;
    if (!f || *f++ != '%' || !std::isfinite(value)) return false;
    if (*f == '0') ++f;
    if (*f++ != '.' || *f < '0' || *f > '9') return false;
    const int precision = *f++ - '0';
    if (*f++ != 'f' || std::strchr(f, '%')) return false;
    char text[400];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    if (error != std::errc()) return false;
    out.assign(text, end);
    out += f;
    // The text is as long as the fallback's buffer lets it be.
    if (out.size() > kFormattedLength) out.resize(kFormattedLength);
    return true;
}
}  // namespace

Text HENDiagram::FormatValue(double value, const char* format, int unitKind) {
    if (value == kEmpty) return Text("?");
    const UnitConversion unit = DefUnitConv(unitKind);
    const double shown = calc_ounit(value, unit);
    Text out;
    if (!formatFixed(format, shown, out)) {
        char text[kFormattedLength + 1];
        std::snprintf(text, sizeof text, format, shown);
        out = Text(text);
    }
    return out + unit.name;
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

Text HENDiagram::PinchLayoutMessage() const {
    if (!m_design || !showPinch || m_pinchShown) return Text();
    if (m_conflict[0].empty() && m_conflict[1].empty()) return FindString("NoProcessPinch");
    return FormatMessage(FindString("UnableToDisplayPinchDiagram"), MessageParameters{m_conflict[0], m_conflict[1]});
}

void HENDiagram::RegisterText(int primitive, std::vector<Label>& into) {
    if (!m_collectLabels || primitive < 0 || primitive >= GetCanvas().Count()) return;
    const CanvasPrimitive& p = GetCanvas().At(primitive);
    if (p.text.empty()) return;
    const double scale = p.font.size / 12.0;
    const double w = m_metrics->Width(p.text, scale), h = m_metrics->Height(scale);
    const CanvasPoint at = p.points.front();
    const double left = p.anchor == TextAnchor::Start ? at.x : p.anchor == TextAnchor::End ? at.x - w : at.x - w / 2.0;
    const double top = p.baseline == TextBaseline::Top ? at.y : p.baseline == TextBaseline::Middle ? at.y - h / 2.0 : at.y - h;
    into.push_back({left, top, w, h});
}

void HENDiagram::RegisterLabel(int primitive) { RegisterText(primitive, m_labels); }

void HENDiagram::RegisterName(int primitive) { RegisterText(primitive, m_names); }

double HENDiagram::TakeLabelRow(double top, double left, double right, double step) {
    // The extents on a row never overlap: the one starting last before `right` is the only one
    // that may reach past `left`. Each try is a look-up; a line moves down at most once per row
    // already holding lines, the row below them all being free.
    const std::size_t rows = m_labelRows.size();
    for (std::size_t tries = 0; step > 0.0 && tries <= rows; ++tries, top += step) {
        std::map<double, double>& row = m_labelRows[std::llround(top * 1000.0)];
        auto next = row.lower_bound(right);
        if (next != row.begin() && std::prev(next)->second > left) continue;
        row.emplace(left, right);
        return top;
    }
    return top;
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
    m_hit = HENDHitRecord{};
    // Exchangers lie on top, then the markers on their segments; over an exchanger end or a
    // marker the placeholder stands for its item, ready to pick it up.
    for (int pass = 0; pass < 3; ++pass)
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            HENDNode* item = *it;
            if (pass == 0 && !item->IsHeatEx()) continue;
            if (pass == 1) {
                auto* s = dynamic_cast<HENDStreamSegment*>(item);
                if (!s || !s->HitTest(p, m_hit)) continue;
                if (m_ghost) {
                    m_ghost->Hover(s, 0);
                    return m_ghost;
                }
                return item;
            }
            if (pass == 2 && item->IsHeatEx()) continue;
            if (!item->ContainsPoint(p)) continue;
            if (auto* hx = dynamic_cast<HENDHeatEx*>(item); hx && m_ghost) {
                hx->HitTest(p, m_hit);
                m_ghost->Hover(hx, hx->EndAt(p));
                return m_ghost;
            }
            return item;
        }
    return nullptr;
}

Text HENDiagram::SegmentLabelText(const HENDStreamSegment& segment, double t, bool atBoundary, bool compact) const {
    const char* s1 = compact ? " " : "\t";
    const char* s2 = compact ? "  " : "\n";
    Text out = Text("Stream") + s1 + segment.streamName;
    if (t == kEmpty) return out;
    auto it = m_streams.find(segment.streamName);
    if (it == m_streams.end() || !it->second) return out;
    const IHeatIntegrationStream& stream = *it->second;
    const CPString name("HeatCapacityFlowrate");
    const double up = stream.GetSegmentValueAtTemperature(atBoundary ? t + 0.0001 : t, name);
    const double down = atBoundary ? stream.GetSegmentValueAtTemperature(t - 0.0001, name) : up;
    if (up == down) return out + s2 + "mCp" + s1 + FormatValue(up, "%0.1f", 17);
    return out + s2 + "mCp-" + s1 + FormatValue(down, "%0.1f", 17) + s2 + "mCp+" + s1 + FormatValue(up, "%0.1f", 17);
}

bool HENDiagram::CanAddBypass(const HENDNode& a, const HENDNode& b) const {
    return m_design && a.Node() && b.Node() && (m_design->CanAddBypass(a.Node(), b.Node()) || m_design->CanAddBypass(b.Node(), a.Node()));
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
        const double mx = PinchLine(p);
        for (double dx : {-1.0, 1.0})
            canvas.AddLine({mx + dx, m_bounds.top + 25.0}, {mx + dx, m_bounds.bottom - 25.0}, LineAttrib{black, 1, 0});
        const Text xp = "XP = " + FormatValue(p.crossLoad, "%0.1f ", 6);
        // The texts' gaps grow with the font (a picture's texts are larger than the view's).
        const double d = m_font.size / 12.0;
        canvas.AddText({mx + 2.0 * d, m_bounds.top + 25.0}, FormatValue(p.hot, "%0.1f ", 1), m_font, black);
        canvas.AddText({mx + 2.0 * d, m_bounds.top + 25.0 + 15.0 * d}, xp, m_font, black);
        canvas.AddText({mx + 2.0 * d, m_bounds.bottom - 25.0 - 30.0 * d}, FormatValue(p.cold, "%0.1f ", 1), m_font, black);
        canvas.AddText({mx + 2.0 * d, m_bounds.bottom - 25.0 - 15.0 * d}, xp, m_font, black);
        canvas.EndGroup();
    }
}

Text HENDiagram::BackgroundFlyBy(CanvasPoint pt) {
    const double tolerance = ConvertToCanvasFromScene(5.0);
    for (const HENDPinch& p : m_pinches) {
        if (std::abs(PinchLine(p) - pt.x) > tolerance) continue;
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
        m_labelRows.clear();
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
        HighlightLoopOrPath(canvas);
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
    m_names.clear();
    m_collectLabels = true;
    const double font = m_font.size;
    drawAll();
    m_collectLabels = false;
    // Labels sorted by their left edge: each is compared with those that start before it ends.
    std::sort(m_labels.begin(), m_labels.end(), [](const Label& a, const Label& b) { return a.left < b.left; });
    // The view keeps a label's own width clear on either side of its centre; a picture, whose
    // labels are placed beside their units, only the label itself.
    const double reach = DrawingPicture() ? 0.5 : 1.0;
    const auto overlap = [&](double scale) {
        for (std::size_t i = 0; i < m_labels.size(); ++i) {
            const Label& a = m_labels[i];
            const double aw = a.width * scale * reach, ar = a.left + a.width / 2.0 + aw;
            for (std::size_t j = i + 1; j < m_labels.size(); ++j) {
                const Label& b = m_labels[j];
                const double bw = b.width * scale * reach, bl = b.left + b.width / 2.0 - bw;
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

void HENDiagram::HighlightLoopOrPath(Canvas& canvas) {
    if (!m_design || (m_selectedLoop < 0 && m_selectedPath < 0)) return;
    const bool loop = m_selectedLoop >= 0;
    const int index = loop ? m_selectedLoop : m_selectedPath;
    const int count = loop ? m_design->GetNumberOfLoops() : m_design->GetNumberOfPaths();
    const char* name = index < count ? (loop ? m_design->GetLoopName(index) : m_design->GetPathName(index)) : nullptr;
    // The analysis changed under the selection: it is dropped.
    if (!name || Text(name) != (loop ? m_selectedLoopName : m_selectedPathName)) {
        m_selectedLoop = m_selectedPath = -1;
        m_selectedLoopName.clear(), m_selectedPathName.clear();
        return;
    }
    std::vector<CanvasPoint> points;
    for (CNode* unit : loop ? m_design->GetLoopUnits(index) : m_design->GetPathUnits(index))
        if (auto* hx = dynamic_cast<HENDHeatEx*>(FindItemForNode(unit)); hx && !hx->ends.empty())
            points.push_back({hx->ends.front().x, hx->ends.front().y});
    if (loop && points.size() >= 3) points.push_back(points.front());
    if (points.size() < 2) return;
    CanvasMarkup markup;
    markup.cssClass = loop ? "loop" : "path";
    markup.data.push_back({Text("name"), Text(name)});
    canvas.BeginGroup(markup);
    const ColourResource green{"Green", 0, 160, 0};
    // Wider than any line. A stroke between two units on one line would lie on the line itself
    // and barely show (the two units of the smallest loop share both their lines): it runs a
    // symbol's size above the line instead, with a short stroke up from each unit.
    constexpr int kWidth = 5;
    const double lift = m_exchangerSize;
    for (std::size_t k = 1; k < points.size(); ++k) {
        const CanvasPoint a = points[k - 1], b = points[k];
        if (std::abs(a.y - b.y) > 1e-6) {
            AddLine(canvas, a, b, green, 0, kWidth);
            continue;
        }
        const CanvasPoint aUp{a.x, a.y - lift}, bUp{b.x, b.y - lift};
        AddLine(canvas, a, aUp, green, 0, kWidth);
        AddLine(canvas, aUp, bUp, green, 0, kWidth);
        AddLine(canvas, bUp, b, green, 0, kWidth);
    }
    canvas.EndGroup();
}

namespace {
// How many texts of the canvas are written over another, and how many are crossed by a stream's line (a level line
// as wide as a utility's or wider), each text judged by its box: 0.6 of its size a character wide,
// from a little above its letters' tops to their descenders (a text hung from its top is written
// with its baseline a size below that point), a line by its stroke.
std::pair<std::size_t, std::size_t> overlappingTexts(const Canvas& canvas) {
    struct Box {
        double left, right, top, bottom;
    };
    struct Level {
        double y, left, right, half;
    };
    std::vector<Box> boxes;
    std::vector<Level> levels;
    for (int i = 0; i < canvas.Count(); ++i) {
        const CanvasPrimitive& p = canvas.At(i);
        if (p.kind == PrimitiveKind::Line && p.points.size() == 2 && p.points[0].y == p.points[1].y && p.line.width >= 5) {
            levels.push_back({p.points[0].y, std::min(p.points[0].x, p.points[1].x), std::max(p.points[0].x, p.points[1].x),
                              p.line.width / 2.0});
            continue;
        }
        if (p.kind != PrimitiveKind::Text || p.text.empty() || p.points.empty() || p.rotation != 0.0) continue;
        const double size = p.font.size, width = 0.6 * size * static_cast<double>(HENDFontMetrics::Characters(p.text));
        const CanvasPoint at = p.points.front();
        const double left = p.anchor == TextAnchor::Start ? at.x : p.anchor == TextAnchor::End ? at.x - width : at.x - width / 2.0;
        const double top = p.baseline == TextBaseline::Top      ? at.y + 0.2 * size
                           : p.baseline == TextBaseline::Middle ? at.y - 0.5 * size
                                                                : at.y - 0.8 * size;
        boxes.push_back({left, left + width, top, top + size});
    }
    // Each text filed by the cell of its top left corner, cells as wide and as high as the largest
    // text: a text can only meet one whose corner lies in its own cell or a neighbouring one. A
    // sweep by left edges alone would compare every text of a column with every other (thousands
    // written one above another in a large network's column).
    std::size_t pairs = 0;
    if (!boxes.empty()) {
        double cellW = 1e-9, cellH = 1e-9, minX = boxes.front().left, minY = boxes.front().top;
        for (const Box& b : boxes) {
            cellW = std::max(cellW, b.right - b.left), cellH = std::max(cellH, b.bottom - b.top);
            minX = std::min(minX, b.left), minY = std::min(minY, b.top);
        }
        const auto cellOf = [&](const Box& b) {
            return std::pair<long long, long long>{static_cast<long long>(std::floor((b.left - minX) / cellW)),
                                                   static_cast<long long>(std::floor((b.top - minY) / cellH))};
        };
        std::vector<std::pair<std::pair<long long, long long>, std::size_t>> filed;
        filed.reserve(boxes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) filed.push_back({cellOf(boxes[i]), i});
        std::sort(filed.begin(), filed.end());
        const auto cellRange = [&](std::pair<long long, long long> cell) {
            const auto lo = std::lower_bound(filed.begin(), filed.end(), std::pair{cell, std::size_t{0}});
            auto hi = lo;
            while (hi != filed.end() && hi->first == cell) ++hi;
            return std::pair{lo, hi};
        };
        for (const auto& [cell, i] : filed) {
            const Box& a = boxes[i];
            for (long long dx = -1; dx <= 1; ++dx)
                for (long long dy = -1; dy <= 1; ++dy) {
                    const auto [lo, hi] = cellRange({cell.first + dx, cell.second + dy});
                    for (auto it = lo; it != hi; ++it) {
                        const Box& b = boxes[it->second];
                        // Each pair once: from the text filed first.
                        pairs += it->second > i && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
                    }
                }
        }
    }
    // Each line against the texts whose tops lie within the tallest text's height above it: the
    // texts by their tops, a search each.
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.top < b.top; });
    double tallest = 0.0;
    for (const Box& b : boxes) tallest = std::max(tallest, b.bottom - b.top);
    std::size_t crossed = 0;
    for (const Level& l : levels) {
        auto from = std::lower_bound(boxes.begin(), boxes.end(), l.y - l.half - tallest,
                                     [](const Box& b, double top) { return b.top < top; });
        for (; from != boxes.end() && from->top < l.y + l.half; ++from)
            crossed += from->bottom > l.y - l.half && from->left < l.right && from->right > l.left;
    }
    return {pairs, crossed};
}
}  // namespace

Text HENDiagram::PictureSVG() {
    PrepareLayout();
    const HENDBounds kept = m_bounds;
    const double font = m_font.size;
    double pixel = 0.0, finest = 0.0;
    // The whole diagram fitted into the view, its aspect kept, texts 12 pixels high there; where
    // its texts would then run into each other (a crowded network, a small window) the picture
    // grows instead, each pass a little, until they stand apart and clear of the lines (rows of
    // labels under the units of a flat window keep clear of the next line down). A pass that grows the picture
    // to hold its texts never makes them larger again, so a few passes settle it.
    constexpr int kPasses = 60;
    constexpr double kGrowth = 0.7;
    constexpr std::size_t kMany = 200;
    constexpr double kLargest = 16384.0;
    // Texts that stand over each other at any size (two written at one point) stop the growth:
    // it ends once a few passes in a row part no more of them, and no more texts from the lines.
    constexpr int kFruitless = 3;
    int fruitless[2] = {0, 0};
    std::size_t fewest[2] = {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max()};
    for (int pass = 0; pass < kPasses; ++pass) {
        const double w = m_bounds.Width(), h = m_bounds.Height();
        double fitted = 1.0;
        if (PixelWidth() > 0.0 && PixelHeight() > 0.0 && w > 0.0 && h > 0.0)
            fitted = std::max(w / PixelWidth(), h / PixelHeight());
        pixel = pass == 0 ? fitted : std::min(pixel, fitted);
        // A picture grows to no more than kLargest pixels a side: past that it is no longer a
        // picture one can look at whole, its coordinates lose their last digits, and the
        // texts a layout writes at one point or a fixed distance apart would never part anyway
        // (a thousand units drawn 363,000 x 2,000,000 pixels still had 35,000 texts over others).
        finest = std::min(fitted, std::max(w, h) / kLargest);
        m_picturePixel = pixel;
        m_font.size = font * pixel;
        PaintNow();
        m_font.size = font;
        const auto [overlapping, crossed] = overlappingTexts(GetCanvas());
        bool crowded = false;
        for (const auto& [k, count] : {std::pair<int, std::size_t>{0, overlapping}, std::pair<int, std::size_t>{1, crossed}}) {
            fruitless[k] = count < fewest[k] ? 0 : fruitless[k] + 1;
            fewest[k] = std::min(fewest[k], count);
            crowded = crowded || (count > 0 && fruitless[k] < kFruitless);
        }
        // The labels written under the lowest units may reach below the diagram: the picture
        // grows to hold them.
        // A text's box ends at its baseline; its letters reach a fifth of its size below it.
        double lowest = m_bounds.bottom, highest = m_bounds.top;
        for (const Label& l : m_labels) lowest = std::max(lowest, l.top + 1.2 * l.height);
        // So may a terminal's temperature moved past the other end of a short line, or a stream's
        // name written from a start that stands on a pinch.
        double leftmost = m_bounds.left, rightmost = m_bounds.right;
        std::vector<Label> texts = m_labels;
        texts.insert(texts.end(), m_names.begin(), m_names.end());
        for (const Label& l : texts) leftmost = std::min(leftmost, l.left), rightmost = std::max(rightmost, l.left + l.width);
        // Each pinch writes its temperatures and cross-pinch load down from the picture's head and
        // up from its foot, beside its line: a label reaching into them (the name over a unit or
        // the duty under one standing on the pinch, a stream's end there) takes the head up above
        // it or the foot down below it.
        const double d = font * pixel / 12.0;
        const double pinchTexts = 15.0 * d + m_metrics->Height(d) + 2.0 * d;  // two lines and a gap
        for (const HENDPinch& p : m_pinches) {
            const double left = PinchLine(p) + 2.0 * d;
            const double right = left + std::max({m_metrics->Width(FormatValue(p.hot, "%0.1f ", 1), d),
                                                  m_metrics->Width(FormatValue(p.cold, "%0.1f ", 1), d),
                                                  m_metrics->Width("XP = " + FormatValue(p.crossLoad, "%0.1f ", 6), d)});
            // A pinch at the lines' far end (nothing drawn beyond it) writes its texts past their ends.
            rightmost = std::max(rightmost, right);
            for (const Label& l : texts)
                if (l.left < right && l.left + l.width > left) {
                    lowest = std::max(lowest, l.top + l.height + 25.0 + 32.0 * d);
                    highest = std::min(highest, l.top - 25.0 - pinchTexts);
                }
        }
        if (pixel <= finest) crowded = false;
        if (pass == kPasses - 1 || (!crowded && lowest <= m_bounds.bottom && highest >= m_bounds.top &&
                                    leftmost >= m_bounds.left && rightmost <= m_bounds.right))
            break;
        // Hundreds of texts in each other's way are far from settled: the picture grows twice as
        // fast then, so a network of a thousand units takes a handful of passes fewer.
        if (crowded) pixel = std::max(finest, pixel * (overlapping + crossed > kMany ? kGrowth * kGrowth : kGrowth));
        if (leftmost < m_bounds.left) m_bounds.left = leftmost - 8.0 * pixel;
        if (rightmost > m_bounds.right) m_bounds.right = rightmost + 8.0 * pixel;
        if (lowest > m_bounds.bottom) m_bounds.bottom = lowest + 8.0 * pixel;
        if (highest < m_bounds.top) m_bounds.top = highest - 8.0 * pixel;
    }
    m_picturePixel = 0.0;
    Canvas& canvas = GetCanvas();
    canvas.SetOutputSize(m_bounds.Width() / pixel, m_bounds.Height() / pixel);
    const Text svg = canvas.ExportSVG();
    canvas.SetOutputSize(0.0, 0.0);
    m_bounds = kept;
    return svg;
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
               (p.crossLoad == kEmpty ? Text("null") : num(p.crossLoad)) + ",\"x\":" + num(PinchLine(p)) + "}";
    }
    out += "]";
    if (showPinch && !m_pinchShown && !m_conflict[0].empty())
        out += ",\"pinchConflict\":{\"stream\":" + jsonText(m_conflict[0]) + ",\"unit\":" + jsonText(m_conflict[1]) + "}";
    out += "}\n";
    return out;
}

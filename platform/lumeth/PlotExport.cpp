// The plot's canonical text and its SVG picture.
#include "lumeth/DisplayUnits.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"

#include "dunmor/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <utility>
#include <vector>

namespace {

Text num(double v) { return FormattedText("%.6g", v); }

const char* axisName(Axis::Kind k) { return k == Axis::X ? "x" : k == Axis::LeftY ? "left" : "right"; }

Text axisLine(const Axis& a) {
    return FormattedText("axis %s \"%s\" format=%s visible=%d labels=%d units=%d ticks=%d/%d,%d/%d\n", axisName(a.GetKind()),
                         a.title.c_str(), a.format.c_str(), a.IsVisible() ? 1 : 0, a.showLabels ? 1 : 0,
                         a.showUnits ? 1 : 0, a.first.kind, a.first.count, a.second.kind, a.second.count);
}

struct Range {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    void Add(double v) {
        if (v == Viewable::EmptyValue || !std::isfinite(v)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    void Settle(double fixedLo, double fixedHi) {
        if (fixedLo != Viewable::EmptyValue) lo = fixedLo;
        if (fixedHi != Viewable::EmptyValue) hi = fixedHi;
        if (lo > hi) lo = 0.0, hi = 1.0;
        if (lo == hi) lo -= 1.0, hi += 1.0;
    }
};

// A point's marker in its set's shape (DataSetAppearance::marker); answers the primitive's id.
int addMarker(Canvas& canvas, CanvasPoint c, int shape, const LineAttrib& line, const ColourResource& fill) {
    const double r = 3.0;
    switch (shape) {
        case 1: return canvas.AddRectangle({c.x - r, c.y - r}, 2.0 * r, 2.0 * r, line, true, fill);
        case 2:
            return canvas.AddPolyline({{c.x, c.y - 1.3 * r}, {c.x + 1.2 * r, c.y + r}, {c.x - 1.2 * r, c.y + r}, {c.x, c.y - 1.3 * r}},
                                      line, true, fill);
        case 3:
            return canvas.AddPolyline({{c.x, c.y - 1.4 * r}, {c.x + 1.4 * r, c.y}, {c.x, c.y + 1.4 * r}, {c.x - 1.4 * r, c.y},
                                       {c.x, c.y - 1.4 * r}},
                                      line, true, fill);
        case 4:
            return canvas.AddPolyline({{c.x, c.y + 1.3 * r}, {c.x + 1.2 * r, c.y - r}, {c.x - 1.2 * r, c.y - r}, {c.x, c.y + 1.3 * r}},
                                      line, true, fill);
        case 5: {
            const double a = 0.45 * r, b = 1.3 * r;
            return canvas.AddPolyline({{c.x - a, c.y - b}, {c.x + a, c.y - b}, {c.x + a, c.y - a}, {c.x + b, c.y - a},
                                       {c.x + b, c.y + a}, {c.x + a, c.y + a}, {c.x + a, c.y + b}, {c.x - a, c.y + b},
                                       {c.x - a, c.y + a}, {c.x - b, c.y + a}, {c.x - b, c.y - a}, {c.x - a, c.y - a},
                                       {c.x - a, c.y - b}},
                                      line, true, fill);
        }
        default: return canvas.AddCircle(c, r, line, true, fill);
    }
}

}  // namespace

bool Axis::IsNumberFormat(const Text& f) {
    if (f.empty()) return true;
    int conversions = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') continue;
        if (i + 1 < f.size() && f[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t k = i + 1;
        while (k < f.size() && std::strchr("-+ #0", f[k])) ++k;
        std::size_t digits = 0;
        while (k < f.size() && std::isdigit(static_cast<unsigned char>(f[k]))) ++k, ++digits;
        if (digits > 3) return false;
        if (k < f.size() && f[k] == '.') {
            ++k;
            digits = 0;
            while (k < f.size() && std::isdigit(static_cast<unsigned char>(f[k]))) ++k, ++digits;
            if (digits > 3) return false;
        }
        if (k >= f.size() || !std::strchr("eEfFgGaA", f[k])) return false;
        ++conversions;
        i = k;
    }
    return conversions == 1;
}

bool Axis::SetNumberFormat(const Text& f) {
    if (!IsNumberFormat(f)) return false;
    format = f;
    return true;
}

Text Axis::FormatNumber(double value) const {
    if (format.empty()) return Text();
    const Text& f = IsNumberFormat(format) ? format : Text("%g");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    Text out = FormattedText(f.c_str(), value);
#pragma GCC diagnostic pop
    // A short "%g" format turns 240000 into "2.4e+05"; a reader of a report expects the number as
    // written up to a million, so such a value is written out in full instead.
    const double size = std::fabs(value);
    if (out.find_first_of("eE") != Text::npos && size < 1e6 && size >= 1e-4) out = FormattedText("%.15g", value);
    return out;
}

Text TwoDimPlot::Dump() const {
    Text out = FormattedText("plot \"%s\" title=%d ignoreEmpty=%d\n", title.c_str(), titleVisible ? 1 : 0, m_ignoreEmpty ? 1 : 0);
    out += axisLine(m_x) + axisLine(m_left);
    if (m_right) out += axisLine(*m_right);
    const Legend& key = m_area.key;
    out += FormattedText("legend visible=%d direction=%d\n", key.IsVisible() ? 1 : 0, key.direction);
    for (const PlottedData* set : m_area.DataSets()) {
        out += FormattedText("dataset %d %s \"%s\" x=%s y=%s axis=%s colour=%s style=%d symbol=%d visible=%d points=",
                             set->Number(), set->IsPoint() ? "point" : set->IsBar() ? "bar" : "curve", set->Label().c_str(),
                             set->XMoniker().c_str(), set->YMoniker().c_str(), axisName(set->GetYAxis()->GetKind()),
                             set->appearance.colour.Hex().c_str(), set->appearance.style, set->appearance.symbol,
                             set->IsVisible() ? 1 : 0);
        const std::vector<CanvasPoint> pts = ResolvePoints(*set);
        out += FormattedText("%zu", pts.size());
        for (const CanvasPoint& p : pts) out += " (" + num(p.x) + "," + num(p.y) + ")";
        out += "\n";
    }
    return out;
}

std::vector<double> AxisScale::Ticks() const {
    std::vector<double> out;
    if (!(step > 0.0) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
    const double first = std::ceil(lo / step - 1e-9), last = std::floor(hi / step + 1e-9);
    if (last - first > 1000.0) return out;
    if (fixedLo) out.push_back(lo);
    for (double k = first; k <= last; k += 1.0) {
        double v = k * step;
        if (std::fabs(v) < step * 1e-9) v = 0.0;
        if ((fixedLo && v - lo < step / 3.0) || (fixedHi && hi - v < step / 3.0)) continue;
        out.push_back(v);
    }
    if (fixedHi) out.push_back(hi);
    return out;
}

AxisScale NiceScale(double lo, double hi, double fixedLo, double fixedHi, int intervals) {
    // A fixed end that is no number is no fixed end.
    if (!std::isfinite(fixedLo)) fixedLo = Viewable::EmptyValue;
    if (!std::isfinite(fixedHi)) fixedHi = Viewable::EmptyValue;
    Range r;
    r.lo = lo, r.hi = hi;
    if (lo > hi) r.lo = HUGE_VAL, r.hi = -HUGE_VAL;
    r.Settle(fixedLo, fixedHi);
    AxisScale a;
    a.lo = r.lo, a.hi = r.hi;
    const double raw = (a.hi - a.lo) / std::max(1, intervals);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    a.step = (f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0) * magnitude;
    if (!std::isfinite(a.step) || !(a.step > 0.0)) {
        // A span beyond the doubles: the ends as they are, no ticks.
        a.step = 0.0;
        if (!std::isfinite(a.hi - a.lo)) a.lo = -1.0, a.hi = 1.0;
        return a;
    }
    if (fixedLo == Viewable::EmptyValue) a.lo = std::floor(a.lo / a.step + 1e-9) * a.step;
    if (fixedHi == Viewable::EmptyValue) a.hi = std::ceil(a.hi / a.step - 1e-9) * a.step;
    if (a.hi <= a.lo) a.hi = a.lo + a.step;
    a.fixedLo = fixedLo != Viewable::EmptyValue;
    a.fixedHi = fixedHi != Viewable::EmptyValue;
    return a;
}

namespace {

// The scale of an axis whose labels print with the axis's format: a step finer than the format
// prints would label neighbouring ticks alike (0, 0, 1, 1), so the step grows through the
// 1-2-5 series until every label differs from the others.
AxisScale ScaleForFormat(const Axis& axis, double lo, double hi, double fixedLo, double fixedHi) {
    AxisScale a = NiceScale(lo, hi, fixedLo, fixedHi);
    if (axis.format.empty() || !axis.showLabels) return a;
    const AxisScale first = a;
    for (int grow = 0; grow < 40 && a.step > 0.0; ++grow) {
        const std::vector<double> ticks = a.Ticks();
        std::vector<Text> labels;
        for (double v : ticks) labels.push_back(axis.FormatNumber(v));
        std::sort(labels.begin(), labels.end());
        if (std::adjacent_find(labels.begin(), labels.end()) == labels.end()) return a;
        const double magnitude = std::pow(10.0, std::floor(std::log10(a.step) + 1e-9));
        const double f = a.step / magnitude;
        a.step = (f < 1.5 ? 2.0 : f < 3.5 ? 5.0 : 10.0) * magnitude;
        const double from = first.fixedLo ? first.lo : std::min(lo, first.lo);
        const double to = first.fixedHi ? first.hi : std::max(hi, first.hi);
        a.lo = first.fixedLo ? first.lo : std::floor(from / a.step + 1e-9) * a.step;
        a.hi = first.fixedHi ? first.hi : std::ceil(to / a.step - 1e-9) * a.step;
        if (a.hi <= a.lo) a.hi = a.lo + a.step;
    }
    return a;
}

}  // namespace

std::vector<TwoDimPlot::Drawn> TwoDimPlot::DrawnSets() const {
    std::vector<Drawn> drawn;
    for (const PlottedData* set : m_area.DataSets())
        if (set->IsVisible()) drawn.push_back({set, ResolvePoints(*set)});
    return drawn;
}

bool TwoDimPlot::Keyed(const Drawn& d) {
    // A curve without a single point has nothing in the picture for its key to name; a bar set
    // with bars is named under its bars (its key names the kinds of bar, a swatch without bars).
    const bool anyPoint = std::any_of(d.points.begin(), d.points.end(), [](const CanvasPoint& p) {
        return p.x != EmptyValue && p.y != EmptyValue && std::isfinite(p.x) && std::isfinite(p.y);
    });
    return !d.set->Label().empty() && (d.set->IsBar() ? !anyPoint : anyPoint);
}

TwoDimPlot::KeyLayout TwoDimPlot::KeyOf(const std::vector<Drawn>& drawn, double width, double height) {
    // Each entry: a swatch, a gap and its text at 6 pixels a character (a 10-point font).
    std::vector<double> entries;
    for (const Drawn& d : drawn) {
        if (!Keyed(d)) continue;
        entries.push_back(26.0 + 6.0 * static_cast<double>(Utf8Characters(d.set->Label())));
    }
    const int count = static_cast<int>(entries.size());
    const int fitRows = std::max(1, static_cast<int>((height - 45.0 - 65.0) / 2.0 / 16.0));
    const double room = width - 80.0 - 25.0, gap = 14.0;
    // The columns' left edges when `rows` entries fill each; empty when they do not fit across.
    const auto columnsOf = [&](int rows) {
        std::vector<double> lefts;
        double at = 0.0;
        for (int first = 0; first < count; first += rows) {
            const double widest = *std::max_element(entries.begin() + first, entries.begin() + std::min(count, first + rows));
            if (!lefts.empty() && at + widest > room) return std::vector<double>();
            lefts.push_back(at);
            at += widest + gap;
        }
        return lefts;
    };
    KeyLayout key;
    key.rows = count;
    key.columns = {0.0};
    if (count <= fitRows) return key;
    // The fewest rows whose columns fit across, found by halving (a column more never needs more
    // rows); one column always fits.
    int lo = 1, hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (columnsOf(mid).empty()) lo = mid + 1;
        else hi = mid;
    }
    if (std::vector<double> lefts = columnsOf(lo); !lefts.empty()) key.rows = lo, key.columns = std::move(lefts);
    return key;
}

std::vector<std::pair<double, const PlottedData*>> TwoDimPlot::NamedBars(const std::vector<Drawn>& drawn) {
    std::vector<std::pair<double, const PlottedData*>> named;
    for (const Drawn& d : drawn) {
        if (!d.set->IsBar() || d.set->Label().empty() || d.points.size() < 2) continue;
        const CanvasPoint a = d.points[0], b = d.points[1];
        if (a.x == EmptyValue || a.y == EmptyValue || b.x == EmptyValue || b.y == EmptyValue) continue;
        named.push_back({(a.x + b.x) / 2.0, d.set});
    }
    std::sort(named.begin(), named.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
    return named;
}

PlotFrame TwoDimPlot::FrameOf(const std::vector<Drawn>& drawn, double width, double height) const {
    // Ranges over the visible data sets of each axis, unless the plot parameters fix them.
    Range rx, rl, rr;
    int labelled = 0;
    for (const Drawn& d : drawn) {
        const bool right = d.set->GetYAxis()->GetKind() == Axis::RightY;
        bool anyPoint = false;
        for (const CanvasPoint& p : d.points) {
            if (p.x == EmptyValue || p.y == EmptyValue || !std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            rx.Add(p.x);
            (right ? rr : rl).Add(p.y);
            anyPoint = true;
        }
        // The key names only the curves the picture shows; a bar chart's bars carry their names
        // under them, and its key names the kinds of bar (a service swatch without bars).
        if (!d.set->Label().empty() && (d.set->IsBar() ? !anyPoint : anyPoint)) ++labelled;
    }
    const Dim2GraphControl* params = m_parameters;
    PlotFrame f;
    f.x = ScaleForFormat(m_x, rx.lo, rx.hi, params ? params->xMinimum : EmptyValue, params ? params->xMaximum : EmptyValue);
    f.y = ScaleForFormat(m_left, rl.lo, rl.hi, params ? params->yMinimum : EmptyValue, params ? params->yMaximum : EmptyValue);
    f.hasRight = m_right != nullptr;
    // Two quantities of one unit (hot and cold utility in kW) share one scale: on scales of their
    // own, two curves a constant apart would be drawn on top of each other.
    const bool fixedLeft = params && (params->yMinimum != EmptyValue || params->yMaximum != EmptyValue);
    if (f.hasRight && !fixedLeft && rl.lo <= rl.hi && rr.lo <= rr.hi && !AxisUnit(m_left).empty() &&
        AxisUnit(m_left) == AxisUnit(*m_right)) {
        rl.Add(rr.lo), rl.Add(rr.hi);
        f.y = f.y2 = ScaleForFormat(m_left, rl.lo, rl.hi, EmptyValue, EmptyValue);
    } else if (f.hasRight) {
        f.y2 = ScaleForFormat(*m_right, rr.lo, rr.hi, EmptyValue, EmptyValue);
    }
    const double legendRows = m_area.key.IsVisible() && labelled > 0 ? KeyOf(drawn, width, height).rows : 0;
    f.left = 80.0;
    f.top = 45.0;
    const double right = f.hasRight ? 80.0 : 25.0;
    f.width = std::max(10.0, width - f.left - right);
    // As many rows of bar names as the widest name (6 pixels a character and a gap of 6) needs
    // over the closest two bars: the names take the rows in turn from the left.
    const std::vector<std::pair<double, const PlottedData*>> bars = NamedBars(drawn);
    if (bars.size() > 1 && f.x.hi > f.x.lo) {
        double widest = 0.0, closest = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < bars.size(); ++i) {
            widest = std::max(widest, 6.0 * static_cast<double>(Utf8Characters(bars[i].second->Label())) + 6.0);
            if (i > 0) closest = std::min(closest, f.ToPixelX(bars[i].first) - f.ToPixelX(bars[i - 1].first));
        }
        if (closest > 0.0 && widest > closest)
            f.barNameRows = static_cast<int>(std::min(std::ceil(widest / closest), static_cast<double>(bars.size())));
    }
    const double bottom = 65.0 + 16.0 * legendRows + 12.0 * (f.barNameRows - 1);
    f.height = std::max(10.0, height - f.top - bottom);
    return f;
}

PlotFrame TwoDimPlot::Frame(double width, double height) const { return FrameOf(DrawnSets(), width, height); }

bool TwoDimPlot::AxisValuesAt(CanvasPoint position, double& x, double& y, double width, double height) const {
    const PlotFrame f = Frame(width, height);
    if (position.x < f.left || position.x > f.left + f.width || position.y < f.top || position.y > f.top + f.height)
        return false;
    x = f.x.lo + (position.x - f.left) / f.width * (f.x.hi - f.x.lo);
    y = f.y.lo + (f.top + f.height - position.y) / f.height * (f.y.hi - f.y.lo);
    return true;
}

Text TwoDimPlot::AxisUnit(const Axis& axis) const {
    for (const PlottedData* set : m_area.DataSets()) {
        const bool onAxis = axis.GetKind() == Axis::X ? true : set->GetYAxis() == &axis;
        if (!onAxis) continue;
        VarDescription v;
        if (!VarDescription::Parse(axis.GetKind() == Axis::X ? set->XMoniker() : set->YMoniker(), v)) continue;
        Viewable* view = ResolvePath(v);
        if (!view) continue;
        const VarDescription var = v.Final();
        if (var.Type() == 0) continue;
        return DefUnitConv(view->GetEDVarType(var)).name;
    }
    return Text();
}

namespace {

Text exact(double v) { return FormattedText("%.15g", v); }

CanvasMarkup mark(const char* cls, std::vector<std::pair<Text, Text>> data = {}) {
    CanvasMarkup m;
    m.cssClass = cls;
    m.data = std::move(data);
    return m;
}

}  // namespace

Text TwoDimPlot::ExportSVG(double width, double height) const {
    const std::vector<Drawn> drawn = DrawnSets();
    const PlotFrame f = FrameOf(drawn, width, height);
    const double left = f.left, top = f.top, w = f.width, h = f.height;
    // The room the rows of bar names take below the first.
    const double names = 12.0 * (f.barNameRows - 1);
    std::map<const PlottedData*, int> nameRow;
    if (f.barNameRows > 1) {
        const std::vector<std::pair<double, const PlottedData*>> bars = NamedBars(drawn);
        for (std::size_t i = 0; i < bars.size(); ++i) nameRow[bars[i].second] = static_cast<int>(i) % f.barNameRows;
    }

    Canvas canvas;
    canvas.SetExtent(width, height);
    const LineAttrib frameLine{DefaultColour(), 1, 0};
    const LineAttrib gridLine{ColourResource{"Grid", 220, 220, 220}, 1, 0};
    FontResource font = DefaultFont();
    const ColourResource ink = DefaultColour();

    // The plot area: its edges carry the axis values scripts read the curves back by.
    std::vector<std::pair<Text, Text>> edges{{"x-min", exact(f.x.lo)}, {"x-max", exact(f.x.hi)},
                                             {"y-min", exact(f.y.lo)}, {"y-max", exact(f.y.hi)}};
    if (f.hasRight) edges.insert(edges.end(), {{"y2-min", exact(f.y2.lo)}, {"y2-max", exact(f.y2.hi)}});
    canvas.SetMarkup(canvas.AddRectangle({left, top}, w, h, frameLine), mark("plot-area", edges));
    const bool grid = m_parameters && m_parameters->grid;

    if (titleVisible && !title.empty())
        canvas.SetMarkup(canvas.AddText({left + w / 2.0, 20.0}, title, font, ink, TextAnchor::Middle, TextBaseline::Middle),
                         mark("title"));
    auto caption = [&](const Axis& a) {
        Text t = a.title;
        const Text unit = a.showUnits ? AxisUnit(a) : Text();
        if (!unit.empty()) t += (t.empty() ? "" : " ") + Text("(") + unit + ")";
        return t;
    };
    if (m_x.IsVisible()) {
        if (m_x.showLabels)
            for (double v : f.x.Ticks()) {
                const double px = f.ToPixelX(v);
                if (grid) canvas.AddLine({px, top}, {px, top + h}, gridLine);
                canvas.AddLine({px, top + h}, {px, top + h + 4.0}, frameLine);
                // An axis whose format writes nothing (a bar chart's, its bars named under them)
                // keeps its ticks without empty labels.
                const Text label = m_x.FormatNumber(v);
                if (label.empty()) continue;
                canvas.SetMarkup(canvas.AddText({px, top + h + 6.0}, label, font, ink, TextAnchor::Middle,
                                                TextBaseline::Top),
                                 mark("x-tick"));
            }
        canvas.SetMarkup(canvas.AddText({left + w / 2.0, top + h + 36.0 + names}, caption(m_x), font, ink, TextAnchor::Middle,
                                        TextBaseline::Middle),
                         mark("x-title"));
    }
    auto yAxis = [&](const Axis& a, const AxisScale& scale, bool right) {
        const double edge = right ? left + w : left;
        const double out = right ? 1.0 : -1.0;
        if (a.showLabels)
            for (double v : scale.Ticks()) {
                const double py = f.ToPixelY(v, right);
                if (grid && !right) canvas.AddLine({left, py}, {left + w, py}, gridLine);
                canvas.AddLine({edge, py}, {edge + 4.0 * out, py}, frameLine);
                const Text label = a.FormatNumber(v);
                if (label.empty()) continue;
                canvas.SetMarkup(canvas.AddText({edge + 6.0 * out, py}, label, font, ink,
                                                right ? TextAnchor::Start : TextAnchor::End, TextBaseline::Middle),
                                 mark(right ? "y2-tick" : "y-tick"));
            }
        const double tx = right ? width - 15.0 : 15.0;
        canvas.SetMarkup(canvas.AddText({tx, top + h / 2.0}, caption(a), font, ink, TextAnchor::Middle,
                                        TextBaseline::Middle, right ? 90.0 : -90.0),
                         mark(right ? "y2-title" : "y-title"));
    };
    if (m_left.IsVisible()) yAxis(m_left, f.y, false);
    if (m_right && m_right->IsVisible()) yAxis(*m_right, f.y2, true);

    for (const Drawn& d : drawn) {
        const bool right = d.set->GetYAxis()->GetKind() == Axis::RightY;
        const LineAttrib line{d.set->appearance.colour, 2, d.set->appearance.style == 1 ? 1 : 0};
        const std::vector<std::pair<Text, Text>> data{
            {"set", FormattedText("%d", d.set->Number())}, {"label", d.set->Label()}, {"axis", right ? "right" : "left"}};
        if (d.set->IsBar()) {
            // Each pair of points is one bar: the rectangle they span, whichever corner comes
            // first.
            for (std::size_t i = 0; i + 1 < d.points.size(); i += 2) {
                const CanvasPoint a = d.points[i], b = d.points[i + 1];
                if (a.x == EmptyValue || a.y == EmptyValue || b.x == EmptyValue || b.y == EmptyValue) continue;
                const double x0 = f.ToPixelX(std::min(a.x, b.x)), x1 = f.ToPixelX(std::max(a.x, b.x));
                const double y0 = f.ToPixelY(std::max(a.y, b.y), right), y1 = f.ToPixelY(std::min(a.y, b.y), right);
                canvas.SetMarkup(canvas.AddRectangle({x0, y0}, x1 - x0, y1 - y0, LineAttrib{d.set->appearance.colour, 1, 0},
                                                     true, d.set->appearance.colour),
                                 mark("bar", data));
                // The bar's name stands under it, where a reader looks for it.
                const auto row = nameRow.find(d.set);
                if (i == 0 && !d.set->Label().empty())
                    canvas.SetMarkup(canvas.AddText({(x0 + x1) / 2.0, top + h + 6.0 + 12.0 * (row == nameRow.end() ? 0 : row->second)},
                                                    d.set->Label(), font, ink,
                                                    TextAnchor::Middle, TextBaseline::Top),
                                     mark("bar-label", data));
            }
            continue;
        }
        const bool markers = d.set->IsPoint() || d.set->appearance.symbol != -32767;
        std::vector<CanvasPoint> run;
        // Every point of the set is a vertex, in order; an empty point starts a new polyline.
        auto flush = [&]() {
            if (!run.empty() && !d.set->IsPoint()) canvas.SetMarkup(canvas.AddPolyline(run, line), mark("data-set", data));
            run.clear();
        };
        for (const CanvasPoint& p : d.points) {
            if (p.x == EmptyValue || p.y == EmptyValue) {
                flush();
                continue;
            }
            const CanvasPoint s{f.ToPixelX(p.x), f.ToPixelY(p.y, right)};
            run.push_back(s);
            if (markers)
                canvas.SetMarkup(addMarker(canvas, s, d.set->appearance.marker, line, d.set->appearance.colour),
                                 mark("data-point", data));
        }
        flush();
    }
    if (references) {
        canvas.BeginGroup(mark("references"));
        const LineAttrib levelLine{ColourResource{"Level", 96, 96, 96}, 1, 1};
        double noteY = top + 6.0;
        const std::vector<PlotReference> all = references();
        // Every level's line, and the rows the level labels written so far take: all end at the
        // plot area's right edge, so two of them clash where their rows meet.
        std::vector<double> levels;
        for (const PlotReference& r : all)
            if (r.level && std::isfinite(r.y) && r.y >= f.y.lo && r.y <= f.y.hi) levels.push_back(f.ToPixelY(r.y, false));
        std::vector<std::pair<double, double>> written;
        const auto clear = [&](double from, double to) {
            for (const auto& [a, b] : written)
                if (from < b && a < to) return false;
            return std::none_of(levels.begin(), levels.end(), [&](double y) { return y > from && y < to; });
        };
        for (const PlotReference& r : all) {
            const std::vector<std::pair<Text, Text>> data{{"label", r.label}};
            if (!r.level) {
                canvas.SetMarkup(canvas.AddText({left + 6.0, noteY}, r.label, font, ink), mark("note", data));
                noteY += 14.0;
                continue;
            }
            // A level outside the axis has no place in the picture.
            if (!std::isfinite(r.y) || r.y < f.y.lo || r.y > f.y.hi) continue;
            const double py = f.ToPixelY(r.y, false);
            canvas.SetMarkup(canvas.AddLine({left, py}, {left + w, py}, levelLine), mark("level", data));
            // A label stands on its line; where a level close above it has its label or line
            // there (the hot and cold pinch a few pixels apart), it hangs under its line instead.
            const double size = font.size;
            const bool under = !clear(py - 3.0 - size, py - 1.0) && clear(py + 3.0, py + 3.0 + size);
            written.push_back(under ? std::make_pair(py + 3.0, py + 3.0 + size) : std::make_pair(py - 3.0 - size, py - 1.0));
            canvas.SetMarkup(canvas.AddText({left + w - 4.0, under ? py + 3.0 : py - 3.0}, r.label, font, ink, TextAnchor::End,
                                            under ? TextBaseline::Top : TextBaseline::Baseline),
                             mark("level-label", data));
        }
        canvas.EndGroup();
    }
    if (m_area.key.IsVisible()) {
        canvas.BeginGroup(mark("legend"));
        const KeyLayout key = KeyOf(drawn, width, height);
        int entry = 0;
        for (const Drawn& d : drawn) {
            if (!Keyed(d)) continue;
            const double keyY = top + h + 58.0 + names + 16.0 * (entry % key.rows);
            const double column = f.left + key.columns[static_cast<std::size_t>(entry / key.rows)];
            ++entry;
            const LineAttrib line{d.set->appearance.colour, 2, d.set->appearance.style == 1 ? 1 : 0};
            if (d.set->IsBar())
                canvas.AddRectangle({column + 4.0, keyY - 5.0}, 12.0, 10.0, LineAttrib{d.set->appearance.colour, 1, 0}, true,
                                    d.set->appearance.colour);
            else if (d.set->IsPoint()) addMarker(canvas, {column + 10.0, keyY}, d.set->appearance.marker, line, d.set->appearance.colour);
            else canvas.AddLine({column, keyY}, {column + 20.0, keyY}, line);
            canvas.SetMarkup(canvas.AddText({column + 26.0, keyY}, d.set->Label(), font, ink, TextAnchor::Start,
                                            TextBaseline::Middle),
                             mark("legend-entry", {{"set", FormattedText("%d", d.set->Number())}}));
        }
        canvas.EndGroup();
    }
    return canvas.ExportSVG();
}

// The plot's canonical text and its SVG picture.
#include "lumeth/DisplayUnits.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

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
    return FormattedText(f.c_str(), value);
#pragma GCC diagnostic pop
}

Text TwoDimPlot::Dump() const {
    Text out = FormattedText("plot \"%s\" title=%d ignoreEmpty=%d\n", title.c_str(), titleVisible ? 1 : 0, m_ignoreEmpty ? 1 : 0);
    out += axisLine(m_x) + axisLine(m_left);
    if (m_right) out += axisLine(*m_right);
    const Legend& key = m_area.key;
    out += FormattedText("legend visible=%d direction=%d\n", key.IsVisible() ? 1 : 0, key.direction);
    for (const PlottedData* set : m_area.DataSets()) {
        out += FormattedText("dataset %d %s \"%s\" x=%s y=%s axis=%s colour=%s style=%d symbol=%d visible=%d points=",
                             set->Number(), set->IsPoint() ? "point" : "curve", set->Label().c_str(),
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

Text TwoDimPlot::ExportSVG(double width, double height) const {
    const double left = 70.0, right = m_right ? 70.0 : 20.0, top = 40.0, bottom = 50.0;
    const double w = std::max(10.0, width - left - right), h = std::max(10.0, height - top - bottom);
    // Ranges over the visible data sets of each axis, unless the plot parameters fix them.
    Range rx, rl, rr;
    struct Drawn {
        const PlottedData* set;
        std::vector<CanvasPoint> points;
    };
    std::vector<Drawn> drawn;
    for (const PlottedData* set : m_area.DataSets()) {
        if (!set->IsVisible()) continue;
        Drawn d{set, ResolvePoints(*set)};
        for (const CanvasPoint& p : d.points) {
            if (p.x == EmptyValue || p.y == EmptyValue) continue;
            rx.Add(p.x);
            (set->GetYAxis()->GetKind() == Axis::RightY ? rr : rl).Add(p.y);
        }
        drawn.push_back(std::move(d));
    }
    const Dim2GraphControl* params = m_parameters;
    rx.Settle(params ? params->xMinimum : EmptyValue, params ? params->xMaximum : EmptyValue);
    rl.Settle(params ? params->yMinimum : EmptyValue, params ? params->yMaximum : EmptyValue);
    rr.Settle(EmptyValue, EmptyValue);
    auto sx = [&](double x) { return left + (x - rx.lo) / (rx.hi - rx.lo) * w; };
    auto sy = [&](double y, const Range& r) { return top + h - (y - r.lo) / (r.hi - r.lo) * h; };

    Canvas canvas;
    canvas.SetExtent(width, height);
    const LineAttrib axisLine{DefaultColour(), 1, 0};
    FontResource font = DefaultFont();
    if (titleVisible && !title.empty()) canvas.AddText({left, 8.0}, title, font, DefaultColour());
    if (m_x.IsVisible()) {
        canvas.AddLine({left, top + h}, {left + w, top + h}, axisLine);
        Text caption = m_x.title;
        if (m_x.showUnits && !drawn.empty()) {
            VarDescription v;
            if (VarDescription::Parse(drawn.front().set->XMoniker(), v))
                caption += " (" + DefUnitConv(v.Final().Type()).name + ")";
        }
        canvas.AddText({left + w / 2.0 - 30.0, top + h + 25.0}, caption, font, DefaultColour());
        canvas.AddText({left, top + h + 5.0}, m_x.FormatNumber(rx.lo), font, DefaultColour());
        canvas.AddText({left + w - 30.0, top + h + 5.0}, m_x.FormatNumber(rx.hi), font, DefaultColour());
    }
    if (m_left.IsVisible()) {
        canvas.AddLine({left, top}, {left, top + h}, axisLine);
        canvas.AddText({5.0, top - 20.0}, m_left.title, font, DefaultColour());
        canvas.AddText({5.0, top}, m_left.FormatNumber(rl.hi), font, DefaultColour());
        canvas.AddText({5.0, top + h - 10.0}, m_left.FormatNumber(rl.lo), font, DefaultColour());
    }
    if (m_right && m_right->IsVisible()) {
        canvas.AddLine({left + w, top}, {left + w, top + h}, axisLine);
        canvas.AddText({left + w + 5.0, top - 20.0}, m_right->title, font, DefaultColour());
    }
    double keyY = top;
    for (const Drawn& d : drawn) {
        const Range& ry = d.set->GetYAxis()->GetKind() == Axis::RightY ? rr : rl;
        const LineAttrib line{d.set->appearance.colour, 2, d.set->appearance.style == 1 ? 1 : 0};
        std::vector<CanvasPoint> run;
        auto flush = [&]() {
            if (run.size() >= 2 && !d.set->IsPoint()) canvas.AddPolyline(run, line);
            run.clear();
        };
        for (const CanvasPoint& p : d.points) {
            // An empty or non-finite point breaks the curve.
            if (p.x == EmptyValue || p.y == EmptyValue || !std::isfinite(p.x) || !std::isfinite(p.y)) {
                flush();
                continue;
            }
            const CanvasPoint s{sx(p.x), sy(p.y, ry)};
            run.push_back(s);
            if (d.set->IsPoint() || d.set->appearance.symbol != -32767)
                canvas.AddCircle(s, 3.0, line, true, d.set->appearance.colour);
        }
        flush();
        if (m_area.key.IsVisible() && !d.set->Label().empty()) {
            canvas.AddLine({left + w - 150.0, keyY + 5.0}, {left + w - 130.0, keyY + 5.0}, line);
            canvas.AddText({left + w - 125.0, keyY}, d.set->Label(), font, DefaultColour());
            keyY += 14.0;
        }
    }
    return canvas.ExportSVG();
}

#include "lumeth/Canvas.h"

#include <cmath>
#include <numbers>

void Canvas::SetExtent(double width, double height) {
    m_width = std::isfinite(width) && width > 0.0 ? width : 0.0;
    m_height = std::isfinite(height) && height > 0.0 ? height : 0.0;
}

void Canvas::SetOutputSize(double width, double height) {
    const bool valid = std::isfinite(width) && std::isfinite(height) && width > 0.0 && height > 0.0;
    m_outputWidth = valid ? width : 0.0;
    m_outputHeight = valid ? height : 0.0;
}

// A picture of a large network draws tens of thousands of primitives: each is made in its place
// at the end of the list rather than built aside and moved there.
CanvasPrimitive& Canvas::NewPrimitive(PrimitiveKind kind) {
    Settle();
    CanvasPrimitive& p = m_items.emplace_back();
    p.kind = kind;
    p.tag = m_tag;
    p.group = m_group;
    return p;
}

int Canvas::AddLine(CanvasPoint from, CanvasPoint to, const LineAttrib& line) {
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Line);
    p.points = {from, to};
    p.line = line;
    return Count() - 1;
}

int Canvas::AddPolyline(const std::vector<CanvasPoint>& points, const LineAttrib& line, bool filled,
                        const ColourResource& fill) {
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Polyline);
    p.points = points;
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Count() - 1;
}

int Canvas::AddRectangle(CanvasPoint corner, double width, double height, const LineAttrib& line, bool filled,
                         const ColourResource& fill) {
    // Kept normalised: the corner is the smaller x and y.
    if (width < 0) corner.x += width, width = -width;
    if (height < 0) corner.y += height, height = -height;
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Rectangle);
    p.points = {corner, {width, height}};
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Count() - 1;
}

int Canvas::AddCircle(CanvasPoint centre, double radius, const LineAttrib& line, bool filled,
                      const ColourResource& fill) {
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Circle);
    p.points = {centre};
    p.radius = std::fabs(radius);
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Count() - 1;
}

int Canvas::AddArc(CanvasPoint centre, double radius, double startAngle, double sweepAngle, const LineAttrib& line) {
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Arc);
    p.points = {centre};
    p.radius = std::fabs(radius);
    p.startAngle = startAngle;
    p.sweepAngle = sweepAngle;
    p.line = line;
    return Count() - 1;
}

int Canvas::AddText(CanvasPoint at, const Text& text, const FontResource& font, const ColourResource& colour) {
    CanvasPrimitive& p = NewPrimitive(PrimitiveKind::Text);
    p.points = {at};
    p.text = text;
    p.font = font;
    p.line.colour = colour;
    return Count() - 1;
}

int Canvas::AddText(CanvasPoint at, const Text& text, const FontResource& font, const ColourResource& colour,
                    TextAnchor anchor, TextBaseline baseline, double rotation) {
    const int i = AddText(at, text, font, colour);
    m_items.back().anchor = anchor;
    m_items.back().baseline = baseline;
    m_items.back().rotation = rotation;
    return i;
}

void Canvas::SetMarkup(int i, const CanvasMarkup& markup) {
    if (i >= 0 && i < Count()) m_items[static_cast<std::size_t>(i)].markup = markup;
}

int Canvas::BeginGroup(const CanvasMarkup& markup) {
    m_groups.push_back(markup);
    m_group = NumberOfGroups();
    return m_group;
}

void Canvas::RemoveTagged(int tag) { m_removedTags.insert(tag); }

void Canvas::SettleRemovals() const {
    std::erase_if(m_items, [this](const CanvasPrimitive& p) { return m_removedTags.count(p.tag) > 0; });
    m_removedTags.clear();
}

namespace {

double segmentDistance(CanvasPoint p, CanvasPoint a, CanvasPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool insidePolygon(CanvasPoint p, const std::vector<CanvasPoint>& v) {
    bool inside = false;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        if ((v[i].y > p.y) != (v[j].y > p.y) &&
            p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
            inside = !inside;
    }
    return inside;
}

double normalisedAngle(double degrees) {
    double a = std::fmod(degrees, 360.0);
    return a < 0 ? a + 360.0 : a;
}

bool hits(const CanvasPrimitive& p, CanvasPoint q, double tol) {
    const double reach = tol + p.line.width / 2.0;
    switch (p.kind) {
        case PrimitiveKind::Line:
            return segmentDistance(q, p.points[0], p.points[1]) <= reach;
        case PrimitiveKind::Polyline:
            for (std::size_t i = 1; i < p.points.size(); ++i)
                if (segmentDistance(q, p.points[i - 1], p.points[i]) <= reach) return true;
            return p.filled && p.points.size() >= 3 && insidePolygon(q, p.points);
        case PrimitiveKind::Rectangle: {
            const CanvasPoint c = p.points[0], s = p.points[1];
            const bool inBox = q.x >= c.x - reach && q.x <= c.x + s.x + reach && q.y >= c.y - reach &&
                               q.y <= c.y + s.y + reach;
            if (!inBox) return false;
            if (p.filled) return true;
            return q.x <= c.x + reach || q.x >= c.x + s.x - reach || q.y <= c.y + reach || q.y >= c.y + s.y - reach;
        }
        case PrimitiveKind::Circle: {
            const double d = std::hypot(q.x - p.points[0].x, q.y - p.points[0].y);
            return p.filled ? d <= p.radius + reach : std::fabs(d - p.radius) <= reach;
        }
        case PrimitiveKind::Arc: {
            const double d = std::hypot(q.x - p.points[0].x, q.y - p.points[0].y);
            if (std::fabs(d - p.radius) > reach) return false;
            if (std::fabs(p.sweepAngle) >= 360.0) return true;
            const double angle = std::atan2(-(q.y - p.points[0].y), q.x - p.points[0].x) * 180.0 / std::numbers::pi;
            const double from = p.sweepAngle >= 0 ? p.startAngle : p.startAngle + p.sweepAngle;
            return normalisedAngle(angle - from) <= std::fabs(p.sweepAngle);
        }
        case PrimitiveKind::Text: {
            double w = 0, h = 0;
            Canvas::TextBox(p, w, h);
            double x0 = p.points[0].x, y0 = p.points[0].y;
            if (p.anchor == TextAnchor::Middle) x0 -= w / 2.0;
            if (p.anchor == TextAnchor::End) x0 -= w;
            if (p.baseline == TextBaseline::Middle) y0 -= h / 2.0;
            if (p.baseline == TextBaseline::Baseline) y0 -= h;
            return q.x >= x0 && q.x <= x0 + w && q.y >= y0 && q.y <= y0 + h;
        }
    }
    return false;
}

const char* kindName(PrimitiveKind k) {
    switch (k) {
        case PrimitiveKind::Line: return "line";
        case PrimitiveKind::Polyline: return "polyline";
        case PrimitiveKind::Rectangle: return "rect";
        case PrimitiveKind::Circle: return "circle";
        case PrimitiveKind::Arc: return "arc";
        case PrimitiveKind::Text: return "text";
    }
    return "?";
}

Text num(double v) { return FormattedText("%.6g", v); }

}  // namespace

void Canvas::TextBox(const CanvasPrimitive& text, double& width, double& height) {
    const double size = text.font.size > 0 ? text.font.size : 10.0;
    width = 0.6 * size * static_cast<double>(text.text.size());
    height = size;
}

int Canvas::HitTest(CanvasPoint p, double tolerance) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (hits(m_items[static_cast<std::size_t>(i)], p, tolerance)) return i;
    return -1;
}

Text Canvas::Dump() const {
    Text out = FormattedText("canvas %s %s background=%s\n", num(m_width).c_str(), num(m_height).c_str(),
                             m_background.Hex().c_str());
    Settle();
    for (const CanvasPrimitive& p : m_items) {
        out += kindName(p.kind);
        for (const CanvasPoint& pt : p.points) out += " " + num(pt.x) + "," + num(pt.y);
        if (p.kind == PrimitiveKind::Circle || p.kind == PrimitiveKind::Arc) out += " r=" + num(p.radius);
        if (p.kind == PrimitiveKind::Arc) out += " start=" + num(p.startAngle) + " sweep=" + num(p.sweepAngle);
        if (p.kind == PrimitiveKind::Text)
            out += " \"" + p.text + "\" font=" + p.font.name + "/" + num(p.font.size);
        out += " colour=" + p.line.colour.Hex();
        if (p.kind != PrimitiveKind::Text) out += FormattedText(" width=%d style=%d", p.line.width, p.line.style);
        if (p.filled) out += " fill=" + p.fill.Hex();
        if (p.anchor != TextAnchor::Start) out += p.anchor == TextAnchor::Middle ? " anchor=middle" : " anchor=end";
        if (p.baseline != TextBaseline::Top)
            out += p.baseline == TextBaseline::Middle ? " baseline=middle" : " baseline=baseline";
        if (p.rotation != 0.0) out += " rotation=" + num(p.rotation);
        if (!p.markup.cssClass.empty()) out += " class=" + p.markup.cssClass;
        for (const auto& [name, value] : p.markup.data) out += " data-" + name + "=\"" + value + "\"";
        if (p.group) out += FormattedText(" group=%d", p.group);
        out += FormattedText(" tag=%d\n", p.tag);
    }
    return out;
}

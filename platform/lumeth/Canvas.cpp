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

int Canvas::Push(CanvasPrimitive p) {
    Settle();
    p.tag = m_tag;
    p.group = m_group;
    m_items.push_back(std::move(p));
    return Count() - 1;
}

int Canvas::AddLine(CanvasPoint from, CanvasPoint to, const LineAttrib& line) {
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Line;
    p.points = {from, to};
    p.line = line;
    return Push(std::move(p));
}

int Canvas::AddPolyline(const std::vector<CanvasPoint>& points, const LineAttrib& line, bool filled,
                        const ColourResource& fill) {
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Polyline;
    p.points = points;
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Push(std::move(p));
}

int Canvas::AddRectangle(CanvasPoint corner, double width, double height, const LineAttrib& line, bool filled,
                         const ColourResource& fill) {
    // Kept normalised: the corner is the smaller x and y.
    if (width < 0) corner.x += width, width = -width;
    if (height < 0) corner.y += height, height = -height;
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Rectangle;
    p.points = {corner, {width, height}};
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Push(std::move(p));
}

int Canvas::AddCircle(CanvasPoint centre, double radius, const LineAttrib& line, bool filled,
                      const ColourResource& fill) {
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Circle;
    p.points = {centre};
    p.radius = std::fabs(radius);
    p.line = line;
    p.filled = filled;
    p.fill = fill;
    return Push(std::move(p));
}

int Canvas::AddArc(CanvasPoint centre, double radius, double startAngle, double sweepAngle, const LineAttrib& line) {
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Arc;
    p.points = {centre};
    p.radius = std::fabs(radius);
    p.startAngle = startAngle;
    p.sweepAngle = sweepAngle;
    p.line = line;
    return Push(std::move(p));
}

int Canvas::AddText(CanvasPoint at, const Text& text, const FontResource& font, const ColourResource& colour) {
    CanvasPrimitive p;
    p.kind = PrimitiveKind::Text;
    p.points = {at};
    p.text = text;
    p.font = font;
    p.line.colour = colour;
    return Push(std::move(p));
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

const char* dashArray(int style) {
    switch (style) {
        case 1: return "6,3";
        case 2: return "2,2";
        default: return nullptr;
    }
}

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

namespace {

// Windows-1252 code points of the bytes 0x80 to 0x9F (0: no character there).
constexpr char32_t kCp1252[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                  0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                  0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void appendUtf8(Text& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point of a well-formed UTF-8 sequence at `i` (its length in `n`), or -1.
long decodeUtf8(const Text& s, std::size_t i, std::size_t& n) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = b(0);
    long cp;
    if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07;
    else return -1;
    if (i + n > s.size()) return -1;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(k) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    return cp;
}

bool xmlChar(long c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

Text XmlEscape(const Text& text) {
    Text out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            switch (c) {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '"': out += "&quot;"; break;
                case '\'': out += "&apos;"; break;
                default: out += xmlChar(c) ? static_cast<char>(c) : ' ';
            }
            continue;
        }
        std::size_t n = 0;
        const long cp = decodeUtf8(text, i, n);
        if (cp >= 0) {
            if (xmlChar(cp)) out.append(text, i, n);
            else out += ' ';
            i += n;
            continue;
        }
        // Not UTF-8: a byte of the Windows code page the names of older cases were typed in
        // (a degree sign is 0xB0 there); it is written as the character it stands for.
        const char32_t repaired = c < 0xA0 ? kCp1252[c - 0x80] : static_cast<char32_t>(c);
        if (repaired) appendUtf8(out, repaired);
        else out += ' ';
        ++i;
    }
    return out;
}

namespace {
bool finite(CanvasPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }
}  // namespace

namespace {
// The class and data attributes of a primitive or group.
Text svgMarkup(const CanvasMarkup& m) {
    Text out;
    if (!m.cssClass.empty()) out += " class=\"" + XmlEscape(m.cssClass) + "\"";
    for (const auto& [name, value] : m.data) out += " data-" + XmlEscape(name) + "=\"" + XmlEscape(value) + "\"";
    return out;
}

Text textPlacement(const CanvasPrimitive& p) {
    const double x = p.points[0].x;
    const double y = p.baseline == TextBaseline::Top ? p.points[0].y + p.font.size : p.points[0].y;
    Text out = " x=\"" + num(x) + "\" y=\"" + num(y) + "\"";
    if (p.anchor == TextAnchor::Middle) out += " text-anchor=\"middle\"";
    if (p.anchor == TextAnchor::End) out += " text-anchor=\"end\"";
    if (p.baseline == TextBaseline::Middle) out += " dominant-baseline=\"middle\"";
    if (p.rotation != 0.0) out += " transform=\"rotate(" + num(p.rotation) + " " + num(x) + " " + num(y) + ")\"";
    return out;
}

// The SVG element of one primitive whose numbers are all finite.
Text svgElement(const CanvasPrimitive& p) {
    Text out;
    const Text markup = svgMarkup(p.markup);
    Text stroke = " stroke=\"" + p.line.colour.Hex() + "\" stroke-width=\"" + FormattedText("%d", p.line.width) + "\"";
    if (const char* dash = dashArray(p.line.style)) stroke += Text(" stroke-dasharray=\"") + dash + "\"";
    const Text fill = p.filled ? " fill=\"" + p.fill.Hex() + "\"" : Text(" fill=\"none\"");
    switch (p.kind) {
        case PrimitiveKind::Line:
            out += "<line x1=\"" + num(p.points[0].x) + "\" y1=\"" + num(p.points[0].y) + "\" x2=\"" +
                   num(p.points[1].x) + "\" y2=\"" + num(p.points[1].y) + "\"" + markup + stroke + "/>\n";
            break;
        case PrimitiveKind::Polyline: {
            Text pts;
            for (const CanvasPoint& pt : p.points) pts += (pts.empty() ? "" : " ") + num(pt.x) + "," + num(pt.y);
            out += Text(p.filled ? "<polygon" : "<polyline") + markup + " points=\"" + pts + "\"" + stroke + fill + "/>\n";
            break;
        }
        case PrimitiveKind::Rectangle:
            out += "<rect" + markup + " x=\"" + num(p.points[0].x) + "\" y=\"" + num(p.points[0].y) + "\" width=\"" +
                   num(p.points[1].x) + "\" height=\"" + num(p.points[1].y) + "\"" + stroke + fill + "/>\n";
            break;
        case PrimitiveKind::Circle:
            out += "<circle" + markup + " cx=\"" + num(p.points[0].x) + "\" cy=\"" + num(p.points[0].y) + "\" r=\"" +
                   num(p.radius) + "\"" + stroke + fill + "/>\n";
            break;
        case PrimitiveKind::Arc: {
            const double a0 = p.startAngle * std::numbers::pi / 180.0;
            const double sweep = std::fmax(-359.99, std::fmin(359.99, p.sweepAngle));
            const double a1 = (p.startAngle + sweep) * std::numbers::pi / 180.0;
            const CanvasPoint c = p.points[0];
            // Angles run counter-clockwise on screen, where y grows downwards.
            const double x0 = c.x + p.radius * std::cos(a0), y0 = c.y - p.radius * std::sin(a0);
            const double x1 = c.x + p.radius * std::cos(a1), y1 = c.y - p.radius * std::sin(a1);
            out += "<path" + markup + " d=\"M " + num(x0) + " " + num(y0) + " A " + num(p.radius) + " " + num(p.radius) + " 0 " +
                   (std::fabs(sweep) > 180.0 ? "1" : "0") + " " + (sweep > 0 ? "0" : "1") + " " + num(x1) + " " +
                   num(y1) + "\"" + stroke + " fill=\"none\"/>\n";
            break;
        }
        case PrimitiveKind::Text:
            out += "<text" + markup + textPlacement(p) + " font-family=\"" + XmlEscape(p.font.name) + "\" font-size=\"" + num(p.font.size) +
                   "\" fill=\"" + p.line.colour.Hex() + "\">" + XmlEscape(p.text) + "</text>\n";
            break;
    }
    return out;
}
}  // namespace

Text Canvas::ExportSVG() const {
    const bool sized = m_outputWidth > 0.0;
    Text out = FormattedText(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%s\" "
        "height=\"%s\" viewBox=\"%s %s %s %s\">\n",
        num(sized ? m_outputWidth : m_width).c_str(), num(sized ? m_outputHeight : m_height).c_str(), num(m_left).c_str(), num(m_top).c_str(), num(m_width).c_str(),
        num(m_height).c_str());
    out += "<rect x=\"" + num(m_left) + "\" y=\"" + num(m_top) + "\" width=\"" + num(m_width) + "\" height=\"" + num(m_height) + "\" fill=\"" +
           m_background.Hex() + "\"/>\n";
    int open = 0;
    Settle();
    for (const CanvasPrimitive& p : m_items) {
        if (p.group != open) {
            if (open) out += "</g>\n";
            open = p.group;
            if (open) out += "<g" + svgMarkup(Group(open)) + ">\n";
        }
        // A number that is not finite is never written: such a primitive is left out, and an
        // open polyline is broken there into the runs on either side (a gap in the curve).
        bool drawable = std::isfinite(p.radius) && std::isfinite(p.startAngle) && std::isfinite(p.sweepAngle) &&
                        std::isfinite(p.font.size);
        for (const CanvasPoint& pt : p.points) drawable = drawable && finite(pt);
        if (drawable) {
            out += svgElement(p);
        } else if (p.kind == PrimitiveKind::Polyline && !p.filled) {
            CanvasPrimitive run = p;
            run.points.clear();
            for (std::size_t k = 0; k <= p.points.size(); ++k) {
                if (k < p.points.size() && finite(p.points[k])) {
                    run.points.push_back(p.points[k]);
                    continue;
                }
                if (run.points.size() >= 2) out += svgElement(run);
                run.points.clear();
            }
        }
    }
    if (open) out += "</g>\n";
    out += "</svg>\n";
    return out;
}

// The canvas as a standalone SVG document: numbers, colours and texts written straight into the
// one document text, element by element.
#include "lumeth/Canvas.h"

#include "dunmor/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <system_error>

namespace {

// "%.6g" of a number between 1e-4 and 1e6, the coordinates of nearly every picture: six
// significant digits in fixed notation without trailing zeros. The digits are the number scaled
// by an exact power of ten and rounded, which is the exact value's rounding unless the scaled
// number lies within reach of the multiplication's error (far below 1e-6) of a half: false
// then, and for any number outside the range, and the caller converts it the long way.
bool appendFixedSix(Text& out, double v) {
    static constexpr double kPow10[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double magnitude = std::fabs(v);
    if (!(magnitude >= kPow10[0] && magnitude < kPow10[10])) return false;
    int x = -4;
    while (magnitude >= kPow10[x + 5]) ++x;
    const double scaled = magnitude * kScale[5 - x];
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6) return false;
    if (fraction > 0.5) whole += 1.0;
    long m = static_cast<long>(whole);
    if (m >= 1000000) m /= 10, ++x;
    if (m < 100000 || x > 5) return false;
    char digits[6];
    for (int i = 5; i >= 0; --i) digits[i] = static_cast<char>('0' + m % 10), m /= 10;
    int last = 5;
    while (last > 0 && digits[last] == '0' && last > x) --last;
    char text[24];
    int n = 0;
    if (v < 0) text[n++] = '-';
    if (x >= 0) {
        for (int i = 0; i <= x; ++i) text[n++] = digits[i];
        if (last > x) {
            text[n++] = '.';
            for (int i = x + 1; i <= last; ++i) text[n++] = digits[i];
        }
    } else {
        text[n++] = '0';
        text[n++] = '.';
        for (int i = 0; i < -x - 1; ++i) text[n++] = '0';
        for (int i = 0; i <= last; ++i) text[n++] = digits[i];
    }
    out.append(text, static_cast<std::size_t>(n));
    return true;
}
// A number as "%.6g" writes it, without the format parser (numbers are what an exported picture
// of a large network mostly costs). Outside the fixed range, to_chars in general form with a
// precision is defined as that same conversion; snprintf is left for infinities and NaN.
void appendNum(Text& out, double v) {
    if (v == 0.0) {
        out += std::signbit(v) ? "-0" : "0";
        return;
    }
    if (appendFixedSix(out, v)) return;
    char buffer[32];
    if (std::isfinite(v)) {
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
        if (error == std::errc()) {
            out.append(buffer, end);
            return;
        }
    }
    const int n = std::snprintf(buffer, sizeof buffer, "%.6g", v);
    if (n > 0) out.append(buffer, static_cast<std::size_t>(std::min<int>(n, sizeof buffer - 1)));
}

Text num(double v) {
    Text out;
    appendNum(out, v);
    return out;
}

// "#rrggbb", as ColourResource::Hex writes it.
void appendHex(Text& out, const ColourResource& c) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const char hex[7] = {'#', kDigits[c.red >> 4], kDigits[c.red & 15], kDigits[c.green >> 4], kDigits[c.green & 15],
                         kDigits[c.blue >> 4], kDigits[c.blue & 15]};
    out.append(hex, sizeof hex);
}

const char* dashArray(int style) {
    switch (style) {
        case 1: return "6,3";
        case 2: return "2,2";
        default: return nullptr;
    }
}

}  // namespace

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

bool xmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

namespace {
// Appends the text with the five XML special characters escaped, as XmlEscape does.
void appendXmlEscaped(Text& out, const Text& text) {
    // A plain text (the usual name or number) is copied as it is.
    const bool plain = std::all_of(text.begin(), text.end(), [](char ch) {
        const unsigned char c = static_cast<unsigned char>(ch);
        return c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
    });
    if (plain) {
        out += text;
        return;
    }
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
        std::uint32_t cp = 0;
        const std::size_t n = DecodeUtf8(text, i, cp);
        if (n > 0) {
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
}
}  // namespace

Text XmlEscape(const Text& text) {
    Text out;
    appendXmlEscaped(out, text);
    return out;
}


namespace {
bool finite(CanvasPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The element text is appended piece by piece to the one document: a picture of a large network
// holds tens of thousands of elements, and no element makes texts of its own.
void appendAttribute(Text& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendNum(out, value);
    out += '"';
}

// The class and data attributes of a primitive or group.
void appendMarkup(Text& out, const CanvasMarkup& m) {
    if (!m.cssClass.empty()) {
        out += " class=\"";
        appendXmlEscaped(out, m.cssClass);
        out += '"';
    }
    for (const auto& [name, value] : m.data) {
        out += " data-";
        appendXmlEscaped(out, name);
        out += "=\"";
        appendXmlEscaped(out, value);
        out += '"';
    }
}

void appendTextPlacement(Text& out, const CanvasPrimitive& p) {
    const double x = p.points[0].x;
    const double y = p.baseline == TextBaseline::Top ? p.points[0].y + p.font.size : p.points[0].y;
    appendAttribute(out, "x", x);
    appendAttribute(out, "y", y);
    if (p.anchor == TextAnchor::Middle) out += " text-anchor=\"middle\"";
    if (p.anchor == TextAnchor::End) out += " text-anchor=\"end\"";
    if (p.baseline == TextBaseline::Middle) out += " dominant-baseline=\"middle\"";
    if (p.rotation != 0.0) {
        out += " transform=\"rotate(";
        appendNum(out, p.rotation);
        out += ' ';
        appendNum(out, x);
        out += ' ';
        appendNum(out, y);
        out += ")\"";
    }
}

void appendStroke(Text& out, const LineAttrib& line) {
    out += " stroke=\"";
    appendHex(out, line.colour);
    out += "\" stroke-width=\"";
    char width[16];
    const auto [end, error] = std::to_chars(width, width + sizeof width, line.width);
    if (error == std::errc()) out.append(width, end);
    out += '"';
    if (const char* dash = dashArray(line.style)) {
        out += " stroke-dasharray=\"";
        out += dash;
        out += '"';
    }
}

void appendFill(Text& out, const CanvasPrimitive& p) {
    if (!p.filled) {
        out += " fill=\"none\"";
        return;
    }
    out += " fill=\"";
    appendHex(out, p.fill);
    out += '"';
}

// The SVG element of one primitive whose numbers are all finite.
void appendSvgElement(Text& out, const CanvasPrimitive& p) {
    switch (p.kind) {
        case PrimitiveKind::Line:
            out += "<line";
            appendAttribute(out, "x1", p.points[0].x);
            appendAttribute(out, "y1", p.points[0].y);
            appendAttribute(out, "x2", p.points[1].x);
            appendAttribute(out, "y2", p.points[1].y);
            appendMarkup(out, p.markup);
            appendStroke(out, p.line);
            out += "/>\n";
            break;
        case PrimitiveKind::Polyline: {
            out += p.filled ? "<polygon" : "<polyline";
            appendMarkup(out, p.markup);
            out += " points=\"";
            for (std::size_t k = 0; k < p.points.size(); ++k) {
                if (k) out += ' ';
                appendNum(out, p.points[k].x);
                out += ',';
                appendNum(out, p.points[k].y);
            }
            out += '"';
            appendStroke(out, p.line);
            appendFill(out, p);
            out += "/>\n";
            break;
        }
        case PrimitiveKind::Rectangle:
            out += "<rect";
            appendMarkup(out, p.markup);
            appendAttribute(out, "x", p.points[0].x);
            appendAttribute(out, "y", p.points[0].y);
            appendAttribute(out, "width", p.points[1].x);
            appendAttribute(out, "height", p.points[1].y);
            appendStroke(out, p.line);
            appendFill(out, p);
            out += "/>\n";
            break;
        case PrimitiveKind::Circle:
            out += "<circle";
            appendMarkup(out, p.markup);
            appendAttribute(out, "cx", p.points[0].x);
            appendAttribute(out, "cy", p.points[0].y);
            appendAttribute(out, "r", p.radius);
            appendStroke(out, p.line);
            appendFill(out, p);
            out += "/>\n";
            break;
        case PrimitiveKind::Arc: {
            const double a0 = p.startAngle * std::numbers::pi / 180.0;
            const double sweep = std::fmax(-359.99, std::fmin(359.99, p.sweepAngle));
            const double a1 = (p.startAngle + sweep) * std::numbers::pi / 180.0;
            const CanvasPoint c = p.points[0];
            // Angles run counter-clockwise on screen, where y grows downwards.
            const double x0 = c.x + p.radius * std::cos(a0), y0 = c.y - p.radius * std::sin(a0);
            const double x1 = c.x + p.radius * std::cos(a1), y1 = c.y - p.radius * std::sin(a1);
            out += "<path";
            appendMarkup(out, p.markup);
            out += " d=\"M ";
            for (double v : {x0, y0}) appendNum(out, v), out += ' ';
            out += "A ";
            for (double v : {p.radius, p.radius}) appendNum(out, v), out += ' ';
            out += "0 ";
            out += std::fabs(sweep) > 180.0 ? "1 " : "0 ";
            out += sweep > 0 ? "0 " : "1 ";
            appendNum(out, x1);
            out += ' ';
            appendNum(out, y1);
            out += '"';
            appendStroke(out, p.line);
            out += " fill=\"none\"/>\n";
            break;
        }
        case PrimitiveKind::Text:
            out += "<text";
            appendMarkup(out, p.markup);
            appendTextPlacement(out, p);
            out += " font-family=\"";
            appendXmlEscaped(out, p.font.name);
            out += "\" font-size=\"";
            appendNum(out, p.font.size);
            out += "\" fill=\"";
            appendHex(out, p.line.colour);
            out += "\">";
            appendXmlEscaped(out, p.text);
            out += "</text>\n";
            break;
    }
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
    // About a hundred and fifty characters an element.
    out.reserve(out.size() + 160 * m_items.size() + 64);
    for (const CanvasPrimitive& p : m_items) {
        if (p.group != open) {
            if (open) out += "</g>\n";
            open = p.group;
            if (open) {
                out += "<g";
                appendMarkup(out, Group(open));
                out += ">\n";
            }
        }
        // A number that is not finite is never written: such a primitive is left out, and an
        // open polyline is broken there into the runs on either side (a gap in the curve).
        bool drawable = std::isfinite(p.radius) && std::isfinite(p.startAngle) && std::isfinite(p.sweepAngle) &&
                        std::isfinite(p.font.size);
        for (const CanvasPoint& pt : p.points) drawable = drawable && finite(pt);
        if (drawable) {
            appendSvgElement(out, p);
        } else if (p.kind == PrimitiveKind::Polyline && !p.filled) {
            CanvasPrimitive run = p;
            run.points.clear();
            for (std::size_t k = 0; k <= p.points.size(); ++k) {
                if (k < p.points.size() && finite(p.points[k])) {
                    run.points.push_back(p.points[k]);
                    continue;
                }
                if (run.points.size() >= 2) appendSvgElement(out, run);
                run.points.clear();
            }
        }
    }
    if (open) out += "</g>\n";
    out += "</svg>\n";
    return out;
}

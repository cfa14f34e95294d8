#pragma once
// A canvas that records what is drawn on it: lines, polylines, rectangles, circles, arcs and
// texts, each with its line attribute (colour, width, style), fill and font. Tests compare its
// canonical text dump; users look at its SVG export. Each primitive carries the tag of the
// canvas object that drew it, so hit tests can answer the object.
#include "lumeth/Resources.h"
#include "lumeth/Text.h"

#include <vector>

struct CanvasPoint {
    double x = 0.0, y = 0.0;
};

// Style codes: 0 solid, 1 dashed, 2 dotted; others draw solid.
struct LineAttrib {
    ColourResource colour = DefaultColour();
    int width = 1;
    int style = 0;
};

enum class PrimitiveKind { Line, Polyline, Rectangle, Circle, Arc, Text };

struct CanvasPrimitive {
    PrimitiveKind kind = PrimitiveKind::Line;
    std::vector<CanvasPoint> points;  // line: 2; polyline: n; rectangle: corner and size; circle, arc, text: 1
    double radius = 0.0;
    double startAngle = 0.0, sweepAngle = 0.0;  // arc, degrees, counter-clockwise from +x
    bool filled = false;
    LineAttrib line;
    ColourResource fill;
    FontResource font;
    Text text;
    int tag = 0;
};

class Canvas {
public:
    void SetExtent(double width, double height);
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    void SetBackground(const ColourResource& colour) { m_background = colour; }
    const ColourResource& Background() const { return m_background; }
    // Primitives drawn from now on carry the tag (0: the background).
    void SetTag(int tag) { m_tag = tag; }

    int AddLine(CanvasPoint from, CanvasPoint to, const LineAttrib& line);
    int AddPolyline(const std::vector<CanvasPoint>& points, const LineAttrib& line, bool filled = false,
                    const ColourResource& fill = DefaultColour());
    int AddRectangle(CanvasPoint corner, double width, double height, const LineAttrib& line, bool filled = false,
                     const ColourResource& fill = DefaultColour());
    int AddCircle(CanvasPoint centre, double radius, const LineAttrib& line, bool filled = false,
                  const ColourResource& fill = DefaultColour());
    int AddArc(CanvasPoint centre, double radius, double startAngle, double sweepAngle, const LineAttrib& line);
    int AddText(CanvasPoint at, const Text& text, const FontResource& font, const ColourResource& colour);

    int Count() const { return static_cast<int>(m_items.size()); }
    const CanvasPrimitive& At(int i) const { return m_items[static_cast<std::size_t>(i)]; }
    void Clear() { m_items.clear(); }
    void RemoveTagged(int tag);

    // The topmost primitive (the last drawn) at the point: strokes within the tolerance, filled
    // shapes and texts by their area. -1 when none.
    int HitTest(CanvasPoint p, double tolerance = 3.0) const;
    // The box a text takes: width 0.6 x font size per character, height the font size, from its
    // point downwards.
    static void TextBox(const CanvasPrimitive& text, double& width, double& height);

    // One line per primitive, numbers printed with up to 6 significant digits.
    Text Dump() const;
    // A standalone SVG document.
    Text ExportSVG() const;

private:
    int Push(CanvasPrimitive p);
    double m_width = 0.0, m_height = 0.0;
    ColourResource m_background{"White", 255, 255, 255};
    int m_tag = 0;
    std::vector<CanvasPrimitive> m_items;
};

// Escapes the five XML special characters.
Text XmlEscape(const Text& text);

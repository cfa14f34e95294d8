#pragma once
// A canvas that records what is drawn on it: lines, polylines, rectangles, circles, arcs and
// texts, each with its line attribute (colour, width, style), fill and font. Tests compare its
// canonical text dump; users look at its SVG export. Each primitive carries the tag of the
// canvas object that drew it, so hit tests can answer the object.
#include "lumeth/Resources.h"
#include "lumeth/Text.h"

#include <unordered_set>
#include <utility>
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

// Where a text sits against its point: horizontally (start, middle, end of the text) and
// vertically (Top: the point is the text's top edge, as texts always were; Middle: its middle;
// Baseline: its baseline).
enum class TextAnchor { Start, Middle, End };
enum class TextBaseline { Top, Middle, Baseline };

// A class and data attributes that scripts read a picture by ("data-set", {"data-label", ...}).
struct CanvasMarkup {
    Text cssClass;
    std::vector<std::pair<Text, Text>> data;  // names without the "data-" prefix
    bool empty() const { return cssClass.empty() && data.empty(); }
};

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
    TextAnchor anchor = TextAnchor::Start;
    TextBaseline baseline = TextBaseline::Top;
    double rotation = 0.0;  // text only: degrees, clockwise on screen, about the text's point
    CanvasMarkup markup;
    int group = 0;          // 1-based number of the group it was drawn in; 0: none
    int tag = 0;
};

class Canvas {
public:
    void SetExtent(double width, double height);
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    // The size the exported picture is shown at (its width and height; the view box stays the
    // extent); 0 by 0, the default, shows it at its extent.
    void SetOutputSize(double width, double height);
    // The top-left corner of the extent (0, 0 unless set): a picture may reach left of and
    // above the origin.
    void SetOrigin(double left, double top) { m_left = left, m_top = top; }
    double Left() const { return m_left; }
    double Top() const { return m_top; }
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
    // A text placed by its anchor and baseline, turned by `rotation` degrees about its point.
    int AddText(CanvasPoint at, const Text& text, const FontResource& font, const ColourResource& colour,
                TextAnchor anchor, TextBaseline baseline, double rotation = 0.0);
    // The class and data attributes of primitive i.
    void SetMarkup(int i, const CanvasMarkup& markup);
    // Primitives drawn between BeginGroup and EndGroup form one group (an SVG "g") with its own
    // markup. Groups do not nest: a new group ends the one open.
    int BeginGroup(const CanvasMarkup& markup);
    void EndGroup() { m_group = 0; }
    int NumberOfGroups() const { return static_cast<int>(m_groups.size()); }
    const CanvasMarkup& Group(int number) const { return m_groups[static_cast<std::size_t>(number - 1)]; }

    int Count() const {
        Settle();
        return static_cast<int>(m_items.size());
    }
    const CanvasPrimitive& At(int i) const {
        Settle();
        return m_items[static_cast<std::size_t>(i)];
    }
    void Clear() {
        m_items.clear();
        m_removedTags.clear();
        m_groups.clear();
        m_group = 0;
    }
    // The primitives of the tag go. The removal takes effect at the next look at the primitives
    // or the next drawing, all pending tags in one pass, so that a picture torn down object by
    // object costs one pass over its primitives rather than one per object.
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
    CanvasPrimitive& NewPrimitive(PrimitiveKind kind);
    void Settle() const {
        if (!m_removedTags.empty()) SettleRemovals();
    }
    void SettleRemovals() const;
    double m_width = 0.0, m_height = 0.0;
    double m_left = 0.0, m_top = 0.0;
    double m_outputWidth = 0.0, m_outputHeight = 0.0;
    ColourResource m_background{"White", 255, 255, 255};
    int m_tag = 0;
    int m_group = 0;
    mutable std::vector<CanvasPrimitive> m_items;
    mutable std::unordered_set<int> m_removedTags;  // removed, not yet taken out of m_items
    std::vector<CanvasMarkup> m_groups;
};

// Escapes the five XML special characters.
Text XmlEscape(const Text& text);

#pragma once
// The items of the grid diagram: the start, segments and end of every stream line, the
// exchangers (two ends joined across their lines; heaters and coolers have one process end) and
// the splits that open and close parallel branches. Each item draws its primitives as one group
// carrying the item's class and the unit's and stream's names, at the diagram's canvas
// coordinates.
#include "lumeth/CanvasPlane.h"
#include "lumeth/Text.h"

#include <vector>

class CNode;
class HENDiagram;

// A shaded circle: eight filled circles, largest first, in the square (left, top, w, h), each
// box's corners truncated to whole units; step i (1..8) is i eighths of the key colour
// (components divided by 8 first).
struct HENDShadeStep {
    int left = 0, top = 0, right = 0, bottom = 0;
    ColourResource colour;
};
std::vector<HENDShadeStep> ShadedCircleSteps(int left, int top, int width, int height, const ColourResource& key);
// Position of a temperature among interval bounds (ascending): -1 for an unknown temperature
// (-32767), 2k + 1 on bound k, 2k inside before bound k, 2n beyond the last of n bounds.
int IntervalPosition(double temperature, const std::vector<double>& bounds);
// The interval column of an exchanger side from the positions of its lower and upper temperatures.
int IntervalColumn(int lower, int upper);
// Where a stream terminal at temperature T goes in the pinch layout, given the pinch temperatures
// of its side: `interval` the chosen pinch (-1: none, the terminal keeps its place) and the
// start's or end's offset mode: 1 on a pinch (within 0.099), 3 for a start and 2 for an end at
// the nearest pinch on the side it runs towards, 0 without one.
struct HENDTerminalPlace {
    int interval = -1;
    int mode = 0;
};
HENDTerminalPlace TerminalAtPinch(double temperature, bool cold, bool start, const std::vector<double>& pinches);
// The key colour of an exchanger end by its shade code: 1 process to process, 2 cold process
// with hot utility, 3 hot process with cold utility, 4 modified, anything else infeasible.
ColourResource ShadeKeyColour(int code);

class HENDNode : public CanvasConnection {
public:
    // Kinds: 0 exchanger or split, 1 stream segment, 3 stream start, 4 stream end, 5 split end,
    // 6 split start.
    HENDNode(HENDiagram* diagram, const char* objectTypeName, int kind, CNode* node);
    int GetKind() const { return m_kind; }
    CNode* Node() const { return m_node; }
    bool IsHeatEx() const { return m_kind == 0 && !IsSplit(); }
    virtual bool IsSplit() const { return false; }
    // The word scripts read the item's group by.
    virtual const char* SvgClass() const = 0;
    void Draw(Canvas& canvas) override;

    Text streamName, unitName;
    bool cold = false, process = true;

protected:
    virtual void DrawShape(Canvas& canvas) = 0;
    HENDiagram* m_diagram;

private:
    int m_kind;
    CNode* m_node;
};

// A stream's first item: a filled square on the line's supply side with the stream's name.
class HENDStreamStart : public HENDNode {
public:
    HENDStreamStart(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamStartObject", 3, node) {}
    const char* SvgClass() const override { return "stream-start"; }
    // Where the line leaves the square.
    double AttachX() const { return forward ? x + 15.0 : x; }
    double x = 0.0, y = 0.0;
    bool forward = true;  // the line runs left to right
    double nameRoom = 0.0;

protected:
    void DrawShape(Canvas& canvas) override;
};

// A piece of line between two drawn items.
class HENDStreamSegment : public HENDNode {
public:
    HENDStreamSegment(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamSegmentObject", 1, node) {}
    const char* SvgClass() const override { return "stream-segment"; }
    double x1 = 0.0, x2 = 0.0, y = 0.0;
    bool dashed = false;  // utility duty still open or significant on this piece

protected:
    void DrawShape(Canvas& canvas) override;
};

// A stream's last item: an arrow head on the line's target side.
class HENDStreamEnd : public HENDNode {
public:
    HENDStreamEnd(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamEndObject", 4, node) {}
    const char* SvgClass() const override { return "stream-end"; }
    double AttachX() const { return forward ? x : x + 15.0; }
    double x = 0.0, y = 0.0;
    bool forward = true;

protected:
    void DrawShape(Canvas& canvas) override;
};

struct HENDExchangerEnd {
    Text stream;
    double x = 0.0, y = 0.0;
    bool cold = false;
};

// An exchanger, heater or cooler: shaded circles on each of its visible lines, joined.
class HENDHeatEx : public HENDNode {
public:
    HENDHeatEx(HENDiagram* d, CNode* node) : HENDNode(d, "HENDHeatExObject", 0, node) {}
    const char* SvgClass() const override { return svgClass; }
    const char* svgClass = "exchanger";
    std::vector<HENDExchangerEnd> ends;
    double duty = -32767.0;
    int column = -1;
    static constexpr double kRadius = 15.0;

protected:
    void DrawShape(Canvas& canvas) override;
};

// The splitter (start) or mixer (end) of parallel branches: a bar across the branches' lines.
class HENDStreamSplit : public HENDNode {
public:
    HENDStreamSplit(HENDiagram* d, CNode* node, bool start)
        : HENDNode(d, start ? "HENDStreamSplitStartObject" : "HENDStreamSplitEndObject", start ? 6 : 5, node),
          opening(start) {}
    bool IsSplit() const override { return true; }
    const char* SvgClass() const override { return opening ? "split-start" : "split-end"; }
    bool opening;
    double x = 0.0;
    std::vector<double> branchY;  // the lines of the branches, first the main line
    int column = -1;

protected:
    void DrawShape(Canvas& canvas) override;
};

#pragma once
// The items of the grid diagram: the start, segments and end of every stream line, the
// exchangers (two ends joined across their lines; heaters and coolers have one process end) and
// the splits that open and close parallel branches. Each item draws its primitives as one group
// carrying the item's class and the unit's and stream's names, at the diagram's canvas
// coordinates.
//
// Items speak of left and right as the picture shows them: a line's items are met left to right
// whatever way its stream runs, and a segment joins the item on its left (where it leaves that
// item's right side) to the item on its right.
#include "lumeth/CanvasPlane.h"
#include "lumeth/FormDescription.h"
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
// The interval column of a side whose two temperatures are `a` and `b` (-32767 unknown: the other
// one stands for it); -1 when both are unknown.
int SideIntervalColumn(double a, double b, const std::vector<double>& bounds);
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

// Text sizes in the diagram's font: 7 x scale a character (the ellipsis counts as one), 12 x
// scale high. Tests may put their own in place.
class HENDFontMetrics {
public:
    virtual ~HENDFontMetrics() = default;
    virtual double Width(const Text& text, double scale) const;
    virtual double Height(double scale) const { return 12.0 * scale; }
    static std::size_t Characters(const Text& text);
};

class HENDNode;

// What a press of the pointer found on an item: an exchanger end (kind 0; `end` 1 or 2) or a
// marker the user set on a stream segment (kind 1; `splitMarker` tells a bypass split's from a
// new exchanger's). `point` is the centre of what was hit.
struct HENDHitRecord {
    int kind = 0;
    HENDNode* item = nullptr;
    int end = 0;
    CanvasPoint point;
    bool splitMarker = false;
    double temperature = -32767.0;
};

class HENDNode : public CanvasConnection {
public:
    // Kinds: 0 exchanger or split, 1 stream segment, 3 stream start, 4 stream end, 5 split end,
    // 6 split start.
    HENDNode(HENDiagram* diagram, const char* objectTypeName, int kind, CNode* node);
    int GetKind() const { return m_kind; }
    CNode* Node() const { return m_node; }
    bool IsHeatEx() const { return m_kind == 0 && !IsSplit(); }
    virtual bool IsSplit() const { return false; }
    bool IsStreamTerminal() const { return m_kind == 3 || m_kind == 4; }
    // The word scripts read the item's group by.
    virtual const char* SvgClass() const = 0;
    void Draw(Canvas& canvas) override;

    // Where a segment meets the item: arriving from its left on its end `end`, leaving to its
    // right from that end.
    virtual double LeftAttach(int end) const = 0;
    virtual double RightAttach(int end) const = 0;
    // Horizontal fit: every x right of `origin` moves to origin + (x - origin) x factor.
    virtual void ScaleX(double origin, double factor) = 0;
    virtual void ScaleY(double factor) = 0;
    // Widens (left, top, right, bottom) over what the item occupies.
    virtual void ExtendBounds(double box[4]) const = 0;
    // Fills `record` when the point lies on something that starts a drag; a miss clears the
    // record's item.
    virtual bool HitTest(CanvasPoint, HENDHitRecord& record) {
        record.item = nullptr;
        return false;
    }
    // The fly-by text of the item (empty: none).
    Text FlyByDescription(CanvasPoint p) override;
    void PrepareForObjectInspection(MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    void NotifyDoubleClickAt(CanvasPoint p) override;

    // ---- links to neighbouring items ----
    // The item at link `index` (1 onwards, in the class's own order), null where that link is
    // empty or past the class's links. A form reaches it as "CanvasConnection.200.<index>" and
    // names it "CanvasConnection.200.<index>(<its name>)"; an item without links (a split)
    // answers as any view does.
    virtual HENDNode* LinkedItem(int) const { return nullptr; }
    virtual int NumberOfLinks() const { return 0; }
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    // The links' row runs over indices 0 to the number of links (0 is never a link).
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    // The form of an item with links: the row its links are listed by.
    static void LoadLinkVariables(FormDescription& form);

    Text streamName, unitName;
    bool cold = false, process = true;

protected:
    virtual void DrawShape(Canvas& canvas) = 0;
    HENDiagram* m_diagram;

private:
    int m_kind;
    CNode* m_node;
};

inline double ScaledAbout(double x, double origin, double factor) {
    return x > origin ? (x - origin) * factor + origin : x;
}
inline void Widen(double box[4], double x, double y) {
    if (x < box[0]) box[0] = x;
    if (y < box[1]) box[1] = y;
    if (x > box[2]) box[2] = x;
    if (y > box[3]) box[3] = y;
}

class HENDStreamSegment;

// A stream's first item: a filled square on the line's supply side with the stream's name.
class HENDStreamStart : public HENDNode {
public:
    HENDStreamStart(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamStartObject", 3, node) {}
    const char* SvgClass() const override { return "stream-start"; }
    // The square's left edge: the layout x moved by the offset mode (30 further right off mode 0).
    double Base() const;
    // Where the line leaves the square.
    double AttachX() const { return forward ? Base() + 25.0 : Base(); }
    double LeftAttach(int) const override { return AttachX(); }
    double RightAttach(int) const override { return AttachX(); }
    void ScaleX(double origin, double factor) override { x = ScaledAbout(x, origin, factor); }
    void ScaleY(double factor) override { y *= factor; }
    void ExtendBounds(double box[4]) const override;
    bool ContainsPoint(CanvasPoint p) const override;
    double x = 0.0, y = 0.0;
    bool forward = true;  // the line runs left to right
    int offsetMode = 0;
    double labelScale = 1.0;
    double temperature = -32767.0;
    const HENDStreamSegment* firstSegment = nullptr;
    // Where the picture last wrote the start's temperature along the line (left, right); empty
    // (left above right) when it wrote none.
    double labelLeft = 0.0, labelRight = -1.0;
    // Link 1: the first segment.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 1; }

protected:
    void DrawShape(Canvas& canvas) override;
};

// The mark of a stream line in the diagram's stream order: owned by the line's start item and
// named after the stream; it draws nothing and takes no room.
class HENDStreamAnchor : public HENDNode {
public:
    HENDStreamAnchor(HENDiagram* d, HENDStreamStart* owner)
        : HENDNode(d, "HENDStreamAnchorObject", 2, nullptr), owner(owner) {}
    const char* SvgClass() const override { return "stream-anchor"; }
    double LeftAttach(int) const override { return 0.0; }
    double RightAttach(int) const override { return 0.0; }
    void ScaleX(double, double) override {}
    void ScaleY(double) override {}
    void ExtendBounds(double[4]) const override {}
    bool ContainsPoint(CanvasPoint) const override { return false; }
    // The order of two anchors by their streams' categories (cold utility, hot process, cold
    // process, hot utility): this one's less the other's; 0 when the other is no anchor.
    int CompareAnchor(const HENDNode* other) const;
    HENDStreamStart* owner;
    // Link 1: the stream's start; link 2 (a second linked item) stays empty.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 2; }

protected:
    void DrawShape(Canvas&) override {}
};

// A piece of line between two drawn items.
class HENDStreamSegment : public HENDNode {
public:
    HENDStreamSegment(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamSegmentObject", 1, node) {}
    const char* SvgClass() const override { return "stream-segment"; }
    double LeftAttach(int) const override { return x1; }
    double RightAttach(int) const override { return x2; }
    void ScaleX(double, double) override {}
    void ScaleY(double factor) override { y *= factor; }
    void ExtendBounds(double box[4]) const override;
    bool ContainsPoint(CanvasPoint p) const override;
    Text FlyByDescription(CanvasPoint p) override;
    void PrepareForObjectInspection(MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    // 1 when the segment's branch cannot go (not a branch, or the design is locked), 2 when the
    // branch holds units, 0 when it is empty.
    int BranchState() const;
    // Takes its ends from the attach points of its neighbours.
    void Attach();
    bool onBranch = false;  // between a split and its mixer
    // On the piece next to a splitter: the branch's first segment, which holds its split fraction
    // (the piece's own node when nothing between them is left out of the picture).
    CNode* fractionNode = nullptr;
    // Links 1 the item upstream of the piece, 2 the one downstream (in flow order, whichever
    // way the line runs), 3 the stream's start.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 3; }
    bool forward = true;  // the line runs left to right: its left item is upstream
    HENDStreamStart* owner = nullptr;
    HENDNode *left = nullptr, *right = nullptr;
    int leftEnd = 0, rightEnd = 0;
    double x1 = 0.0, x2 = 0.0, y = 0.0;
    bool dashed = false;  // utility duty still open or significant on this piece
    // Markers the user set on the piece to start a new exchanger (red) or a bypass split (blue)
    // from there, at `markerPosition` of the length from the left end. Only a marker is hit.
    bool exchangerMarker = false, splitMarker = false;
    double markerPosition = 0.0;
    CanvasPoint MarkerPoint() const;
    bool HitTest(CanvasPoint p, HENDHitRecord& record) override;

protected:
    // On a picture: the branch's split fraction, between a and b.
    void DrawSplitFraction(Canvas& canvas, double a, double b);
    // On a picture: what the user chose for the segments, when it is no temperature (those are
    // beside the units) and the segment knows it.
    void DrawPictureAnnotation(Canvas& canvas, double a, double b);
    void DrawShape(Canvas& canvas) override;
};

// A stream's last item: an arrow head on the line's target side.
class HENDStreamEnd : public HENDNode {
public:
    HENDStreamEnd(HENDiagram* d, CNode* node) : HENDNode(d, "HENDStreamEndObject", 4, node) {}
    const char* SvgClass() const override { return "stream-end"; }
    double Base() const;
    double AttachX() const { return forward ? Base() : Base() + 15.0; }
    double LeftAttach(int) const override { return AttachX(); }
    double RightAttach(int) const override { return AttachX(); }
    void ScaleX(double origin, double factor) override { x = ScaledAbout(x, origin, factor); }
    void ScaleY(double factor) override { y *= factor; }
    void ExtendBounds(double box[4]) const override;
    bool ContainsPoint(CanvasPoint p) const override;
    double x = 0.0, y = 0.0;
    bool forward = true;
    int offsetMode = 0;
    double labelScale = 1.0;
    double temperature = -32767.0;
    const HENDStreamSegment* lastSegment = nullptr;
    HENDStreamStart* owner = nullptr;
    // Links 1 the last segment, 2 the stream's start.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 2; }

protected:
    void DrawShape(Canvas& canvas) override;
};

// One end of an exchanger on one line: `left` the left edge of its circle, `x` the centre.
struct HENDExchangerEnd {
    Text stream;
    double x = 0.0, y = 0.0;
    bool cold = false;
    double left = 0.0;
    int column = -1;
    int shade = 0;
    HENDStreamSegment* inlet = nullptr;  // the segment that feeds this end
    HENDStreamSegment* outlet = nullptr;  // the segment this end feeds
    // The stream's temperatures into and out of the unit on this end; -32767 while unknown.
    double inletTemperature = -32767.0, outletTemperature = -32767.0;
};

// An exchanger, heater or cooler: shaded circles on each of its visible lines, joined.
class HENDHeatEx : public HENDNode {
public:
    HENDHeatEx(HENDiagram* d, CNode* node) : HENDNode(d, "HENDHeatExObject", 0, node) {}
    const char* SvgClass() const override { return svgClass; }
    double LeftAttach(int end) const override;
    double RightAttach(int end) const override;
    void ScaleX(double origin, double factor) override;
    void ScaleY(double factor) override;
    void ExtendBounds(double box[4]) const override;
    bool ContainsPoint(CanvasPoint p) const override;
    Text FlyByDescription(CanvasPoint p) override;
    void PrepareForObjectInspection(MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    // The end (1-based) whose circle square holds the point; 0 for none.
    int EndAt(CanvasPoint p) const;
    bool HitTest(CanvasPoint p, HENDHitRecord& record) override;
    // Puts the circles' centres a symbol size right of their left edges.
    void Resize(double size);
    const char* svgClass = "exchanger";
    std::vector<HENDExchangerEnd> ends;
    double duty = -32767.0;
    int column = -1;
    double size = 30.0;  // the symbol size s: circles 2s across
    bool deleting = false;
    // Links 1 and 2 the segments feeding its first and second end, 3 and 4 the segments those
    // ends feed.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 4; }

protected:
    // On a picture: the name and, on each line, the temperatures on either side.
    void DrawPictureLabels(Canvas& canvas, const HENDExchangerEnd& topEnd, const HENDExchangerEnd& bottomEnd);
    // On a picture: the temperature written beside an end on its left (`right` false) or right
    // side; empty while unknown.
    Text SideTemperature(const HENDExchangerEnd& e, bool right) const;
    // The temperature the unit next along the line writes on its side of the segment between
    // them, when that segment is too short for both: the two then share one label. Empty when
    // the neighbour is no unit or the labels fit.
    Text SharedTemperature(const HENDExchangerEnd& e, bool right, double width) const;
    // Whether the stream's start or end next along the line, on that side of the end, writes
    // the same temperature where the unit's own label would run into it: the unit leaves it out.
    bool TerminalWrites(const HENDExchangerEnd& e, bool right, const Text& label, double width) const;
    void DrawShape(Canvas& canvas) override;
};

// The placeholder that follows the pointer while the user drags: an exchanger end to another
// line, or from a marker the user set on a segment a new exchanger (to another line) or a bypass
// split (along the same line). A rubber band from where the drag started and a circle round the
// pointer, red where a drop would be taken; a bypass line over the segment that would close the
// bypass. Over an exchanger end or a marker that is not dragged it stands for that item.
class HENDGhost : public HENDNode {
public:
    explicit HENDGhost(HENDiagram* d) : HENDNode(d, "HENDGhostObject", 7, nullptr) {}
    const char* SvgClass() const override { return "drag"; }
    double LeftAttach(int) const override { return 0.0; }
    double RightAttach(int) const override { return 0.0; }
    void ScaleX(double, double) override {}
    void ScaleY(double) override {}
    void ExtendBounds(double[4]) const override {}
    bool ContainsPoint(CanvasPoint) const override { return dragging; }
    Text FlyByDescription(CanvasPoint p) override;
    void PrepareForObjectInspection(MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    // Picks up what the diagram's last hit found, or drops it.
    void NotifySingleClickAt(CanvasPoint p) override;
    void NotifyDoubleClickAt(CanvasPoint p) override;
    void MoveTo(CanvasPoint p) override;
    // The item under the pointer before a drag starts.
    void Hover(HENDNode* item, int end);
    // Drops what it held: after a rebuild its items are gone.
    void Reset();
    // Links 1 the exchanger being moved, 2 the segment the drag started from.
    HENDNode* LinkedItem(int index) const override;
    int NumberOfLinks() const override { return 2; }
    HENDNode* represented = nullptr;
    HENDHeatEx* moved = nullptr;
    HENDStreamSegment* source = nullptr;  // the marked segment a drag started from
    bool splitMode = false;
    int movedEnd = 0;
    CanvasPoint start, pointer;
    bool dragging = false, accepted = false;
    double sourceTemperature = -32767.0, dropTemperature = -32767.0;
    // The bypass line of a split drag: at `bypassX` from the line to the segment that closes it.
    bool bypassShown = false;
    double bypassX = 0.0, bypassY = 0.0;

protected:
    void DrawShape(Canvas& canvas) override;

private:
    // The segment a drop is measured from: the dragged end's inlet, else the marked segment.
    HENDStreamSegment* Source() const;
    void Drop(CanvasPoint p);
};

#pragma once
// The grid diagram of one network: hot streams left to right on top, cold streams right to left
// below, exchangers as joined circles in their own columns in the order they meet along the
// streams, heaters and coolers on their lines, splits as parallel branches. Built from the
// design's flowsheet in chain form and drawn on the framework canvas; its SVG is the canvas's
// export. With the pinch layout every pinch point of the scenario takes a column of its own, the
// units above it on one side and those below on the other.
#include "brasko/NotificationSender.h"
#include "lumeth/CanvasPlane.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Timer.h"
#include "lumeth/VarEnumInfo.h"
#include "views/grid/HENDNode.h"
#include "views/grid/HENDStreamSplit.h"
#include "views/grid/HENDiagramConfiguration.h"
#include "views/grid/HENDiagramView.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class IHENDesign;
class IHeatIntegrationStream;

// One stream line as the stacking sees it: top offset, height and whether it is a process line.
struct HENDLineExtent {
    double top = 0.0, height = 0.0;
    bool process = true;
};

// Stacks lines top to bottom from y = 50: 160 more between a process and a utility line, each
// line at y + top, the next at y + top + height + 100. Answers each line's top; `stacked` the
// final y (50 without lines).
std::vector<double> StackStreamLines(const std::vector<HENDLineExtent>& lines, double& stacked);

// The room (above, below its line) a run of branches takes and where each branch lies: branch k
// after branch k - 1 by the room below k - 1, 100 and the room above k; the block centred on the
// line of the split.
struct HENDRoom {
    double above = 0.0, below = 0.0;
};
HENDRoom StackBranchOffsets(const std::vector<HENDRoom>& branches, std::vector<double>& offsets);

// The x of a unit's grid column: 60 a column from 115, 50 further right off the pinch layout.
inline double ColumnX(int column, bool pinchLayout) { return column * 60.0 + 115.0 + (pinchLayout ? 0.0 : 50.0); }

struct HENDLine {
    Text stream;
    double y = 0.0;
    bool cold = false, process = true;
};

// One pinch point of the scenario in the pinch layout.
struct HENDPinch {
    double hot = -32767.0, cold = -32767.0, crossLoad = -32767.0;
    int column = -1;
    double x = 0.0;
};

// The temperature shown at x on a line in the pinch layout (`size` the exchanger size): on a
// pinch column (its centre x + size, 1.5 size either way) that pinch's own; between columns just
// off the pinch to the right of x (0.1 below it, above while the lines run the other way); left
// of every column just off the last. 0 without pinches.
double PinchTemperatureAtX(const std::vector<HENDPinch>& pinches, double size, bool reverse, bool cold, double x);
// The temperature of the pinch nearest to the point's x, a ten-thousandth to the side of it the
// point lies on; -32767 without pinches.
double PinchTemperatureAtPoint(const std::vector<HENDPinch>& pinches, bool reverse, CanvasPoint p, bool coldSide);

class HENDiagram : public CanvasPlane, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HENDiagramObject";

    explicit HENDiagram(Viewable* parent = nullptr);
    // `owner`: the design viewer; `name`: the diagram's name under it.
    HENDiagram(Viewable* owner, const Text& name);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HENDiagram(info.parent, info.name); }
    ~HENDiagram() override;

    // While set the diagram skips its pending layout (a case import is adding designs).
    std::uint8_t bHold = 0;

    // Binds the design and rebuilds and lays out every item.
    void SetDesign(IHENDesign* design);
    IHENDesign* GetDesign() const { return m_design; }

    // Selects preset 0..5 (its streams arranged from the design before the next rebuild).
    void SelectPreset(int index);
    int SelectedPreset() const { return m_selected; }
    // Selects the configuration at a list position (presets 0 to 5, user configurations after
    // them): its annotation choices and switches come into force. False outside the list.
    bool SelectConfiguration(int index);
    int NumberOfConfigurations() const { return static_cast<int>(m_configurations.size()); }
    HENDiagramConfiguration& Configuration(int index) { return *m_configurations[static_cast<std::size_t>(index)]; }
    const Text& SelectedName() const { return m_selectedName; }
    bool UserConfigurationSelected() const { return m_selected >= 6; }

    // ---- form, commands, notifications ----
    static const ViewForm<HENDiagram>& Form();
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    // The items are child views "CanvasConnection.200.<position>(<name>)" by their place in the
    // item list; a further link of the address goes on from the item.
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    int GetEDVarType(const VarDescription& var) override;
    void PrepareForPlaneInspection(CanvasPoint p, MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    // Change codes of the design: 30 a stream added, 31 removed, 32 renamed (new name in
    // `data`), 85 recalculated, 99 loops changed.
    void NotifyChange(int code, const CPString& text, void* data) override;
    // Whether the items and their layout are up to date; a change clears it and the next paint
    // rebuilds.
    bool LayoutValid() const { return m_layoutValid; }
    void PrepareLayout();
    // The zoom of the view: out 1.1, in 1 / 1.1 about the view's centre, within the bounds.
    void ZoomBy(double factor);
    // The part of the scene the view shows (its scroll bars take a little of the extent).
    double ShownWidth() const { return VisibleSceneWidth(PixelWidth(), VisibleWidth()); }
    double ShownHeight() const { return VisibleSceneWidth(PixelHeight(), VisibleHeight()); }
    // Scrolling: a line step is a tenth of the visible extent, a page step all of it (`axis` 0
    // horizontal, 1 vertical; `direction` -1 or +1); the origin stays inside the bounds.
    void ScrollStep(int direction, int axis, bool page);
    // Moves the origin when the moved view stays inside the bounds; false otherwise.
    bool ScrollBy(double dx, double dy);
    // While an item is dragged near or past the view's border the view scrolls a line step
    // towards it every 125 ms; the scroll timer stops when the point is back inside.
    void AutoScroll(CanvasPoint p);
    bool AutoScrolling() const;
    void StopAutoScroll();
    // The rubber band of the framework: a rectangle of at least 25 pixels one way is zoomed to,
    // widened to the view's aspect.
    void ZoomToRectangle(CanvasPoint a, CanvasPoint b);
    // The loop and path the diagram highlights (-1 none).
    int SelectedLoop() const { return m_selectedLoop; }
    int SelectedPath() const { return m_selectedPath; }
    // The border of a printed page: the date, the scenario and design names.
    void SetClock(std::function<Text()> clock) { m_clock = std::move(clock); }
    Text BorderText() const;
    bool printBorder = false;

    // ---- the diagram's record (after the framework's own data) ----
    bool Store(BinaryFile& file) const;
    // `version` is the stored class version: 1 kept a single configuration, the stream order.
    // A record that does not read leaves the diagram as it was.
    bool Recall(BinaryFile& file, int version = 2);
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override { return Recall(file, version); }
    bool RecallFixUp() override;
    bool reverseDirection = false;
    // Heaters and coolers are left out until the user asks for them.
    bool hideUtilityUnits = true;
    // The pinch layout is asked for; PinchShown() tells whether the last layout could give it.
    bool showPinch = false;
    // 0 fit width, 1 fit both, 2 free zoom (the layout's own coordinates while both are free).
    int zoomMode = 1, previousZoomMode = 1;

    const std::vector<HENDNode*>& Items() const { return m_items; }
    // One anchor per stream line, in display order; not among the items.
    const std::vector<HENDStreamAnchor*>& Anchors() const { return m_anchors; }
    const std::vector<HENDLine>& Lines() const { return m_lines; }
    const std::vector<HENDPinch>& Pinches() const { return m_pinches; }
    bool PinchShown() const { return m_pinchShown; }
    // Why the pinch layout asked for was not drawn (the units are then drawn in sequence):
    // the scenario has no process pinch, or a unit met out of its place along a stream; empty
    // when it was drawn or not asked for.
    Text PinchLayoutMessage() const;
    // The stream and unit that kept the last pinch layout from being drawn.
    const Text& ConflictStream() const { return m_conflict[0]; }
    const Text& ConflictUnit() const { return m_conflict[1]; }
    // Bottom of the stacked lines (50 without lines), before any fit.
    double StackedHeight() const { return m_stacked; }
    // The stream-end column of the layout, before any fit.
    double EndColumnX() const { return m_endColumn; }
    const HENDBounds& Bounds() const { return m_bounds; }
    double HorizontalScale() const { return m_hScale; }
    double VerticalScale() const { return m_vScale; }
    double ExchangerSize() const { return m_exchangerSize; }
    // Where a pinch's line is drawn: through the middle of its column's units.
    double PinchLine(const HENDPinch& p) const { return p.x + m_exchangerSize; }

    // Draws the background, the pinch markers, the lines' items and then the exchangers on top.
    void Paint() override;
    void OnResize() override;
    Text BackgroundFlyBy(CanvasPoint p) override;
    // The picture as a standalone SVG document, shown at the size the view fits it into, its
    // texts as large as on the screen: each unit with its name and the temperatures into and out
    // of it on each line, each branch with its split fraction. Its coordinates are the canvas's.
    Text PictureSVG();
    // While the picture is drawn: canvas units to a pixel of the picture (texts and the gaps
    // around them are given in pixels); 0 while the view is drawn.
    double PicturePixel() const { return m_picturePixel; }
    bool DrawingPicture() const { return m_picturePixel > 0.0; }
    // The items, lines and pinches as JSON for scripts.
    Text DescribeJSON() const;

    // ---- services of the items ----
    const FontResource& LabelFont() const { return m_font; }
    Text FitText(const Text& text, double room, double scale = 1.0) const;
    void SetFontMetrics(std::unique_ptr<HENDFontMetrics> metrics);
    const HENDFontMetrics& FontMetrics() const { return *m_metrics; }
    // The label at annotation position 0..5 for a node (`value` stands in for a temperature the
    // caller knows); empty when the position shows nothing.
    Text GetAnnotation(int position, CNode* node, double value) const;
    int AnnotationChoice(int position) const { return m_annotation[position]; }
    void SetAnnotationChoice(int position, int row) { m_annotation[position] = row; }
    // "?" for an empty value; otherwise in the user's unit of the kind, the unit's name after it.
    static Text FormatValue(double value, const char* format, int unitKind);
    // A label text just drawn (its primitive number) takes part in the label shrinking.
    void RegisterLabel(int primitive);
    // A stream's name just drawn: it does not shrink with the labels, yet a picture keeps the
    // pinch's texts and its own edges clear of it as of them.
    void RegisterName(int primitive);
    // A picture's lines of text under its units, row by row: a line that would overlap one
    // already written on its row (from `left` to `right`) goes `step` lower until it is clear.
    // Answers the top of the row it takes, from `top` down.
    double TakeLabelRow(double top, double left, double right, double step);
    double LabelShrink() const { return m_labelShrink; }
    const ColourResource& ShadeColour(const ColourResource& colour);
    Text ExchangerFlyBy(const HENDHeatEx& hx) const;
    Text SegmentFlyBy(const HENDStreamSegment& segment) const;
    bool BranchRemoved() const { return m_branchRemoved; }
    // The first stream segment under the point; null for none.
    HENDStreamSegment* FindSegmentAt(CanvasPoint p) const;
    HENDStreamSegment* FindItemAt(CanvasPoint p) const { return FindSegmentAt(p); }
    // The first item drawn for the node; null for none or a null node.
    HENDNode* FindItemForNode(const CNode* node) const;

    // ---- the design's edits as the items ask for them ----
    // The command lines the items send to the diagram (each node name in double quotes):
    // "viewicnode", "addhxtemp" with the cold-side temperature first, "addsplit". Answer
    // whether the diagram took the line.
    int ViewNode(CNode* node);
    int AddExchangerAtTemperatures(const HENDNode& a, const HENDNode& b, double ta, double tb);
    // Sends nothing (false) when the design takes a bypass in neither order.
    bool AddSplitAt(const HENDNode& a, const HENDNode& b);
    // Who opens a node's own view; by default the design viewer that owns the diagram.
    void SetEquipmentViewSource(std::function<Viewable*(CNode*)> source) { m_equipmentViews = std::move(source); }

    // ---- markers ----
    // The user marks a segment to start a new exchanger (marker 1) or a bypass split (marker
    // 2) from it: the framework's drag packages 1 and 2 dropped on the segment. Package 3 (a
    // split fraction) does nothing here.
    void PickSegment(CanvasPoint p, int package);
    void DropPackage(CanvasPoint p, int package) override { PickSegment(p, package); }
    void RubberBand(CanvasPoint a, CanvasPoint b) override { ZoomToRectangle(a, b); }
    const Text& MarkerText(int marker) const { return m_markers[marker == 2 ? 1 : 0]; }
    double MarkerPosition() const { return m_markerPosition; }
    void ClearMarkers();
    // A new exchanger on a marked segment: that marker goes.
    void AfterExchangerAdded(const Text& nodeName);

    // ---- temperatures along the lines of the pinch layout ----
    double TemperatureAtX(const HENDNode& item, double x) const;
    double TemperatureAtPoint(CanvasPoint p, bool coldSide) const;
    // A segment's "Temperature" when the user specified it; -32767 otherwise.
    static double ReadTemperature(const CNode* node);
    // A line primitive of the given colour, style and width; its number on the canvas.
    static int AddLine(Canvas& canvas, CanvasPoint from, CanvasPoint to, const ColourResource& colour, int style, int width);
    // Whether an item may join another: moving an end (`sameSide`) it must go to another
    // segment of its own stream or of the same side (1); otherwise the design decides (2 when
    // it has no reason against). 0 refused.
    int CheckMatch(HENDStreamSegment* a, HENDStreamSegment* b, bool sameSide) const;
    void SetDragActive(bool on) { m_dragActive = on; }
    bool DragActive() const { return m_dragActive; }
    HENDGhost* Ghost() const { return m_ghost; }
    // What the last look under the pointer hit (an exchanger end or a marker); item null for
    // nothing.
    const HENDHitRecord& LastHit() const { return m_hit; }
    // "Stream <name>" and the stream's heat-capacity flow rate at T (compact: on one line).
    Text SegmentLabelText(const HENDStreamSegment& segment, double temperature, bool atBoundary, bool compact) const;
    bool CanAddBypass(const HENDNode& a, const HENDNode& b) const;
    CanvasConnection* FindObjectAt(CanvasPoint p) override;
    void SetDeleting() { m_deleting = true; }
    void SetBranchRemoved() { m_branchRemoved = true; }
    bool OperationLocked() const;
    // Whether the design takes no edit of its structure: locked for operation, or a retrofit's
    // base. Its items offer no edit then.
    bool EditLocked() const;
    // 0 a split with empty branches, 2 one with units on a branch.
    int SplitterState(CNode* tee) const;

private:
    // The switch and choice variables of the form.
    double SwitchValue(const VarDescription& var);
    int SetSwitch(const VarDescription& var, double value);
    double ChoiceValue(const VarDescription& var);
    int SetChoice(const VarDescription& var, double value);
    double EditMode(const VarDescription&) { return m_editMode; }
    int SetEditMode(const VarDescription&, double v) { return WholeNumber(v, m_editMode); }
    double YIndex(const VarDescription&) { return m_yIndex; }
    int SetYIndex(const VarDescription&, double v) { return WholeNumber(v, m_yIndex); }
    // A form number stored as an int: truncated toward zero; 0 (and `out` unchanged) for one
    // that no int holds.
    static int WholeNumber(double v, int& out) {
        if (!(v > -2147483649.0 && v < 2147483648.0)) return 0;
        out = static_cast<int>(v);
        return 1;
    }
    Text ConfigurationText(const VarDescription& var);
    int SetConfigurationText(const VarDescription& var, const Text& text);
    Text StreamName(const VarDescription& var);
    int StreamRows(const VarDescription& var, DimInfo& dims);
    // Writes the settings in force back into the selected configuration.
    void SortConfigurationStreams();
    void RebuildEnumeration();
    void Invalidate() { m_layoutValid = false; }
    // Shows w x h of the scene, the origin clamped so that the view stays inside the bounds.
    void ApplyView(double w, double h, CanvasPoint origin);
    // A text command of the items ("addhx", "movehx", ...): -1 when the word is none of them,
    // else whether the design took it. The items are rebuilt at once after an edit, so nothing
    // keeps a node the edit deleted.
    int TextCommand(const Text& line);
    // Puts the two markers back on the segments that carry their names.
    void MarkSegments();
    void SelectConfigurationFromMenu(int index);
    std::vector<StreamVisibilityEntry>& StreamOrder() { return m_configurations[static_cast<std::size_t>(m_selected)]->streams; }
    // The selected configuration's streams as the next drawing lays them out: a configuration
    // chosen since the last drawing (or never drawn) gets the design's streams in its order now.
    std::vector<StreamVisibilityEntry>& ShownStreamOrder();
    // Fills a configuration with the design's streams, drops streams the design no longer has,
    // and puts them in the configuration's order.
    void ArrangeConfigurationStreams(HENDiagramConfiguration& config);
    void Clear();
    void Rebuild();
    // Scales the layout into the view: horizontally always, vertically in fit both.
    void FitToView();
    void ComputeBounds();
    void DrawPinchMarkers(Canvas& canvas);
    // Joins the exchangers of the selected loop (closed) or path by lines.
    void HighlightLoopOrPath(Canvas& canvas);
    std::vector<std::unique_ptr<HENDiagramConfiguration>> m_configurations;
    int m_selected = 0;
    Text m_selectedName;
    Text m_newConfigurationName;
    std::unique_ptr<VarEnumInfo> m_enumeration;
    std::unique_ptr<VarEnumInfo> m_labelEnumeration;  // the entries of the six label choices
    bool m_layoutValid = false;
    int m_editMode = 0, m_yIndex = 0;
    int m_selectedLoop = -1, m_selectedPath = -1;
    Text m_selectedLoopName, m_selectedPathName;
    Text m_markers[2];
    double m_markerPosition = 0.0;
    std::function<Viewable*(CNode*)> m_equipmentViews;
    std::function<Text()> m_clock;
    IHENDesign* m_design = nullptr;
    std::vector<HENDNode*> m_items;
    std::vector<HENDStreamAnchor*> m_anchors;
    std::vector<HENDLine> m_lines;
    std::vector<HENDPinch> m_pinches;
    bool m_pinchShown = false;
    Text m_conflict[2];
    double m_stacked = 50.0, m_endColumn = 0.0;
    HENDBounds m_bounds;
    double m_hScale = -32767.0, m_vScale = -32767.0;
    double m_exchangerSize = 30.0;
    double m_labelShrink = 1.0;
    double m_picturePixel = 0.0;
    int m_annotation[6] = {1, 7, 2, 7, 1, 1};
    struct Label {
        double left, top, width, height;
    };
    std::vector<Label> m_labels;
    std::vector<Label> m_names;  // the streams' names, as registered with RegisterName
    void RegisterText(int primitive, std::vector<Label>& into);
    // The lines under the units drawn so far: by row (its top in thousandths of a unit), their
    // extents by left edge. Emptied at every drawing.
    std::map<long long, std::map<double, double>> m_labelRows;
    bool m_collectLabels = false;
    bool m_branchRemoved = false, m_deleting = false, m_dragActive = false;
    HENDGhost* m_ghost = nullptr;
    HENDHitRecord m_hit;
    // Ticks on the user-interface thread while a drag scrolls the view.
    class ScrollTimer : public TimerBase {
    public:
        explicit ScrollTimer(HENDiagram& d) : m_diagram(d) {}
        void Tick() override;

    private:
        HENDiagram& m_diagram;
    };
    std::unique_ptr<ScrollTimer> m_scrollTimer;
    double m_scrollX = 0.0, m_scrollY = 0.0;
    std::unordered_map<std::string, IHeatIntegrationStream*> m_streams;
    std::map<std::uint32_t, ColourResource> m_shades;
    std::unique_ptr<HENDFontMetrics> m_metrics;
    FontResource m_font;
};

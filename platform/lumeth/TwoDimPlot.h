#pragma once
// The plot model: a TwoDimPlot (a child view of the view that owns it) with a title, an x axis,
// a left and optionally a right y axis, a legend and a plot area of numbered data sets. A data
// set names its x and y variables by moniker (":HeatFlow.204.[]"); its points are read through
// the owning view: the moniker resolves to a variable of that view (or, through a path, of
// another view), whose Dimensions give the point count and whose Value gives each point,
// converted to the display unit of the variable's kind. Empty points (-32767) are dropped when
// the plot is told to ignore them, and otherwise break the curve.
#include "lumeth/PlotRecords.h"
#include "lumeth/VarDescription.h"
#include "lumeth/Viewable.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class Dim2GraphControl;

// One linear axis of a drawn plot: the values at its two ends and the step of its ticks.
struct AxisScale {
    double lo = 0.0, hi = 1.0, step = 0.0;
    bool fixedLo = false, fixedHi = false;
    // The tick values from lo to hi: multiples of the step, and an end fixed by the plot
    // parameters (a multiple closer than a third of a step to it gives way).
    std::vector<double> Ticks() const;
};

// Where a plot is drawn in its picture: the plot area in pixels and the axis values at its
// edges.
struct PlotFrame {
    double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
    AxisScale x, y, y2;
    bool hasRight = false;
    // The rows the names under a bar chart's bars take: names wider than the bars' spacing go
    // to the next row down in turn, so that neighbours never run into each other.
    int barNameRows = 1;
    double ToPixelX(double v) const { return left + (v - x.lo) / (x.hi - x.lo) * width; }
    double ToPixelY(double v, bool right = false) const {
        const AxisScale& a = right ? y2 : y;
        return top + height - (v - a.lo) / (a.hi - a.lo) * height;
    }
};

// A "nice" scale over [lo, hi]: a tick step of 1, 2 or 5 times a power of ten giving about
// `intervals` intervals, the ends widened to the ticks around them; an end that is not
// -32767 is kept as given.
AxisScale NiceScale(double lo, double hi, double fixedLo, double fixedHi, int intervals = 6);

// Every plot object can be hidden; a change of visibility marks it changed.
class PlotObject {
public:
    bool IsVisible() const { return m_visible; }
    bool IsChanged() const { return m_changed; }
    void Show() { m_visible = m_changed = true; }
    void Hide() { m_visible = false, m_changed = true; }
    void ClearChanged() { m_changed = false; }

private:
    bool m_visible = true;
    bool m_changed = false;
};

class Axis : public PlotObject {
public:
    enum Kind { X = 0, LeftY = 1, RightY = 2 };
    explicit Axis(Kind kind) : m_kind(kind) {}
    Kind GetKind() const { return m_kind; }
    Text title;
    // The number format of the axis labels: one floating conversion ("%4.1f", "%g"), with any
    // text around it; empty shows no numbers. Set through SetNumberFormat, which refuses any
    // other format (a "%s" or "%d" would read a number as something else).
    Text format = "%g";
    bool SetNumberFormat(const Text& f);
    static bool IsNumberFormat(const Text& f);
    // A value as the axis writes it ("%g" when the format was set to something unusable).
    Text FormatNumber(double value) const;
    bool showLabels = true;
    bool showUnits = false;
    CanvasPoint placement;
    double length = 0.0;
    double labelAngle = 0.0;
    Tick first, second;
    void SetTicks(const Tick& a, const Tick& b) { first = a, second = b; }

private:
    Kind m_kind;
};
using XAxis = Axis;
using YAxis = Axis;

class Legend : public PlotObject {
public:
    CanvasPoint placement;
    int direction = 0;
    void SetDirection(int d) { direction = d; }
};

// A data set is drawn as a curve through its points, as single points (a design on a cost
// plot), or as bars: each pair of points (x0, y0), (x1, y1) in turn is the rectangle between
// them (an exchanger's bar from its two edges and from 0 to its height); a last point without a
// partner, and a pair with an empty point, draw nothing.
enum class DataSetShape { Curve, Points, Bars };

class PlottedData : public PlotObject {
public:
    PlottedData(int number, DataSetShape shape, Axis* xAxis, Axis* yAxis)
        : m_number(number), m_shape(shape), m_x(xAxis), m_y(yAxis) {}
    int Number() const { return m_number; }
    bool IsPoint() const { return m_shape == DataSetShape::Points; }
    bool IsBar() const { return m_shape == DataSetShape::Bars; }
    DataSetShape Shape() const { return m_shape; }
    // False (and nothing changed) for a moniker that is not an address.
    bool SetXVariable(const Text& moniker);
    bool SetYVariable(const Text& moniker);
    const Text& XMoniker() const { return m_xMoniker; }
    const Text& YMoniker() const { return m_yMoniker; }
    void SetLabel(const Text& label) { m_label = label; }
    const Text& Label() const { return m_label; }
    void SetName(const Text& name) { m_name = name; }
    const Text& Name() const { return m_name; }
    void SetColour(const ColourResource& colour) { appearance.colour = colour; }
    // Marks the data set to be read again on the next drawing.
    void Reset(int) { m_resets++; }
    Axis* GetXAxis() const { return m_x; }
    Axis* GetYAxis() const { return m_y; }
    DataSetAppearance appearance;

private:
    int m_number;
    DataSetShape m_shape;
    Axis* m_x;
    Axis* m_y;
    Text m_xMoniker, m_yMoniker, m_label, m_name;
    int m_resets = 0;
};

class TwoDimDataPlotArea : public PlotObject {
public:
    explicit TwoDimDataPlotArea(class TwoDimPlot& plot) : m_plot(plot) {}
    // Creates (or replaces) data set `number`; null axes mean the x and left y axes. Null for a
    // record whose monikers are not addresses.
    PlottedData* CreateDataSet(const XYDataStruct* record, int number, Axis* xAxis = nullptr, Axis* yAxis = nullptr);
    PlottedData* CreateDataSet(const PointStruct* record, int number, Axis* xAxis = nullptr, Axis* yAxis = nullptr);
    // A bar data set from a curve record: its points are read in pairs, one bar a pair.
    PlottedData* CreateBarDataSet(const XYDataStruct* record, int number, Axis* xAxis = nullptr, Axis* yAxis = nullptr);
    PlottedData* GetDataSet(int number) const;
    bool DestroyDataSet(int number);
    // Data sets in number order.
    std::vector<PlottedData*> DataSets() const;
    Legend key;

private:
    PlottedData* Create(DataSetShape shape, const Text& x, const Text& y, const DataSetAppearance& a, const Text& label, int number,
                        Axis* xAxis, Axis* yAxis);
    TwoDimPlot& m_plot;
    std::map<int, std::unique_ptr<PlottedData>> m_sets;
};

// What a picture marks beside its curves, in display units: a level (a dashed line across the
// plot area at a value of the left axis, named at its right end: a pinch) or a note (a line of
// text in the plot area's upper left corner: a target).
struct PlotReference {
    bool level = false;
    double y = 0.0;
    Text label;
};

class TwoDimPlot : public Viewable {
public:
    // A child of `owner`; the plot parameters stay the owner's.
    TwoDimPlot(Viewable* owner, Dim2GraphControl* parameters = nullptr);
    ~TwoDimPlot() override;

    Text title;
    bool titleVisible = true;
    // Where the plot's owner placed the title and the annotation in its window (the picture
    // centres its title over the plot area).
    CanvasPoint titlePlacement;
    CanvasPoint annotationPlacement;
    bool annotationVisible = true;
    // Asked each time the picture is drawn, so that the marks tell the values of the moment;
    // none when unset.
    std::function<std::vector<PlotReference>()> references;
    Axis* GetXAxisPtr(int = -32767) { return &m_x; }
    Axis* GetYAxisPtr(int = -32767) { return &m_left; }
    // Adds (once) the right y axis for side 1; the left axis for any other side.
    Axis* AddYAxisPtr(int side);
    Axis* GetRightYAxisPtr() { return m_right.get(); }
    TwoDimDataPlotArea& GetPlotArea() { return m_area; }
    const TwoDimDataPlotArea& GetPlotArea() const { return m_area; }
    Legend& GetLegend() { return m_area.key; }
    void SetIgnoreEmptyPoints(bool ignore) { m_ignoreEmpty = ignore; }
    bool IgnoresEmptyPoints() const { return m_ignoreEmpty; }
    void SetIgnoreInvisible(bool ignore) { m_ignoreInvisible = ignore; }
    Dim2GraphControl* GetParameters() const { return m_parameters; }

    // The points of a data set in display units (x, y), read through the owning view. An empty
    // point is kept as (-32767, -32767) unless the plot ignores empty points.
    std::vector<CanvasPoint> ResolvePoints(const PlottedData& set) const;
    // The view a moniker's path leads to from the owner (null when a step finds nothing).
    Viewable* ResolvePath(const VarDescription& var) const;

    // The canonical text of the plot: title, axes, legend and every data set with its points.
    Text Dump() const;
    // A standalone SVG document of the plot, `width` x `height` pixels.
    Text ExportSVG(double width = 640.0, double height = 480.0) const;
    // The plot area and axis scales of the picture ExportSVG draws at that size.
    PlotFrame Frame(double width = 640.0, double height = 480.0) const;
    // The axis values (x, left y) at a position of that picture; false outside the plot area.
    bool AxisValuesAt(CanvasPoint position, double& x, double& y, double width = 640.0, double height = 480.0) const;
    // The unit the values of the axis are shown in (from its first data set); empty when none.
    Text AxisUnit(const Axis& axis) const;

private:
    struct Drawn {
        const PlottedData* set;
        std::vector<CanvasPoint> points;
    };
    std::vector<Drawn> DrawnSets() const;
    // The key under the plot area: its entries filled down each column in turn, in as many
    // columns as keep it within half the room between the title and the x axis's caption (as
    // many as fit across the picture where that is too few), each as wide as its widest entry.
    struct KeyLayout {
        int rows = 0;
        std::vector<double> columns;  // each column's left edge from the plot area's
    };
    static bool Keyed(const Drawn& d);
    static KeyLayout KeyOf(const std::vector<Drawn>& drawn, double width, double height);
    // The bar sets named under their bars, by the x of their first bar's centre (data units).
    static std::vector<std::pair<double, const PlottedData*>> NamedBars(const std::vector<Drawn>& drawn);
    PlotFrame FrameOf(const std::vector<Drawn>& drawn, double width, double height) const;
    bool ReadSeries(const VarDescription& var, std::vector<double>& values, bool& single) const;
    Dim2GraphControl* m_parameters;
    Axis m_x{Axis::X};
    Axis m_left{Axis::LeftY};
    std::unique_ptr<Axis> m_right;
    TwoDimDataPlotArea m_area{*this};
    bool m_ignoreEmpty = false;
    bool m_ignoreInvisible = false;
};

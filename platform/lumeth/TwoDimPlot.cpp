#include "lumeth/TwoDimPlot.h"

#include "lumeth/DisplayUnits.h"

#include <algorithm>

bool PlottedData::SetXVariable(const Text& moniker) {
    VarDescription probe;
    if (!VarDescription::Parse(moniker, probe)) return false;
    m_xMoniker = moniker;
    return true;
}

bool PlottedData::SetYVariable(const Text& moniker) {
    VarDescription probe;
    if (!VarDescription::Parse(moniker, probe)) return false;
    m_yMoniker = moniker;
    return true;
}

PlottedData* TwoDimDataPlotArea::Create(DataSetShape shape, const Text& x, const Text& y, const DataSetAppearance& a,
                                        const Text& label, int number, Axis* xAxis, Axis* yAxis) {
    auto set = std::make_unique<PlottedData>(number, shape, xAxis ? xAxis : m_plot.GetXAxisPtr(),
                                             yAxis ? yAxis : m_plot.GetYAxisPtr());
    if (!set->SetXVariable(x) || !set->SetYVariable(y)) return nullptr;
    set->appearance = a;
    set->SetLabel(label);
    set->SetName(label);
    PlottedData* raw = set.get();
    m_sets[number] = std::move(set);
    return raw;
}

PlottedData* TwoDimDataPlotArea::CreateDataSet(const XYDataStruct* r, int number, Axis* xAxis, Axis* yAxis) {
    return r ? Create(DataSetShape::Curve, r->xVariable, r->yVariable, r->appearance, r->label, number, xAxis, yAxis)
             : nullptr;
}

PlottedData* TwoDimDataPlotArea::CreateDataSet(const PointStruct* r, int number, Axis* xAxis, Axis* yAxis) {
    return r ? Create(DataSetShape::Points, r->xVariable, r->yVariable, r->appearance, r->label, number, xAxis, yAxis)
             : nullptr;
}

PlottedData* TwoDimDataPlotArea::CreateBarDataSet(const XYDataStruct* r, int number, Axis* xAxis, Axis* yAxis) {
    return r ? Create(DataSetShape::Bars, r->xVariable, r->yVariable, r->appearance, r->label, number, xAxis, yAxis)
             : nullptr;
}

PlottedData* TwoDimDataPlotArea::GetDataSet(int number) const {
    auto it = m_sets.find(number);
    return it == m_sets.end() ? nullptr : it->second.get();
}

bool TwoDimDataPlotArea::DestroyDataSet(int number) { return m_sets.erase(number) != 0; }

std::vector<PlottedData*> TwoDimDataPlotArea::DataSets() const {
    std::vector<PlottedData*> out;
    for (const auto& [n, set] : m_sets) out.push_back(set.get());
    return out;
}

TwoDimPlot::TwoDimPlot(Viewable* owner, Dim2GraphControl* parameters)
    : Viewable(owner, "TwoDimPlotObject"), m_parameters(parameters) {
    SetName("TwoDimPlotNTW");
}

TwoDimPlot::~TwoDimPlot() = default;

Axis* TwoDimPlot::AddYAxisPtr(int side) {
    if (side != 1) return &m_left;
    if (!m_right) m_right = std::make_unique<Axis>(Axis::RightY);
    return m_right.get();
}

Viewable* TwoDimPlot::ResolvePath(const VarDescription& var) const {
    Viewable* current = GetParent();
    for (const Text& step : VarDescription::SplitPath(var.Path())) {
        if (!current) break;
        if (step == "MyOwnerObject") {
            current = current->GetParent();
        } else {
            VarDescription link;
            if (!VarDescription::Parse(step, link) || !link.IsObjectLink()) return nullptr;
            current = current->AttachedObject(link);
        }
    }
    // Links in front of the variable itself lead on to a child.
    if (current && var.IsObjectLink()) current = current->AttachedObject(var);
    return current;
}

bool TwoDimPlot::ReadSeries(const VarDescription& address, std::vector<double>& values, bool& single) const {
    values.clear();
    single = false;
    Viewable* view = ResolvePath(address);
    if (!view) return false;
    VarDescription var = address.Final();
    // The placeholder supplies no values.
    if (var.Type() == 0 && var.VariableIs("Unknown")) return true;
    const UnitConversion unit = DefUnitConv(view->GetEDVarType(var));
    const int running = var.RunningIndex();
    if (running < 0) {
        single = true;
        values.push_back(calc_ounit(view->Value(var), unit));
        return true;
    }
    DimInfo dims;
    view->Dimensions(var, dims);
    if (dims.NumberOfDims() == 0) return true;
    const int count = dims.Dim(std::min(running, dims.NumberOfDims() - 1));
    for (int i = 0; i < count; ++i) {
        var.SetOffset(running, i);
        values.push_back(calc_ounit(view->Value(var), unit));
    }
    return true;
}

std::vector<CanvasPoint> TwoDimPlot::ResolvePoints(const PlottedData& set) const {
    std::vector<CanvasPoint> points;
    VarDescription xv, yv;
    if (!VarDescription::Parse(set.XMoniker(), xv) || !VarDescription::Parse(set.YMoniker(), yv)) return points;
    std::vector<double> xs, ys;
    bool xSingle = false, ySingle = false;
    if (!ReadSeries(xv, xs, xSingle) || !ReadSeries(yv, ys, ySingle)) return points;
    // A single value against a series is repeated along it (a reference line).
    std::size_t n = std::min(xs.size(), ys.size());
    if (xSingle && !ySingle && !xs.empty()) n = ys.size();
    if (ySingle && !xSingle && !ys.empty()) n = xs.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double x = xSingle ? xs[0] : xs[i];
        const double y = ySingle ? ys[0] : ys[i];
        const bool empty = x == Viewable::EmptyValue || y == Viewable::EmptyValue;
        if (empty && m_ignoreEmpty) continue;
        points.push_back(empty ? CanvasPoint{Viewable::EmptyValue, Viewable::EmptyValue} : CanvasPoint{x, y});
    }
    return points;
}

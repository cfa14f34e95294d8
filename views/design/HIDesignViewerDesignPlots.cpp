// The design viewer's driving-force plot (hot temperature against cold temperature: the
// scenario's target driving force, the diagonal and one line per exchanger) and the variables
// of its form.
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/DesignValueRows.h"

#include "eng/design/IHENDesign.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/plots/chiHXBarPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <set>
#include <utility>

namespace {

constexpr double kEmpty = -32767.0;
// Exchanger curves take data-set numbers from here up; 1 and 2 are the reference curves.
constexpr int kFirstExchangerSet = 3;

// Each exchanger's curve in a colour of its own, so that the legend tells them apart: the common
// colours first, leaving out black and red (the diagonal and the target) and those too pale to
// read on white; past them hues a golden angle apart, away from red, less saturated than any
// common colour (so never one of them) and in two depths, distinct for hundreds of curves.
ColourResource ExchangerCurveColour(int dataSet) {
    static constexpr int kColours[] = {12, 2, 13, 6, 5, 3, 4, 8, 1};
    constexpr int n = static_cast<int>(std::size(kColours));
    const int k = std::max(0, dataSet - kFirstExchangerSet);
    if (k < n) return GetCommonColour(kColours[k]);
    const int i = k - n;
    const double hue = 30.0 + std::fmod(i * 137.50776, 300.0);  // degrees, 30 to 330
    const double value = i % 2 == 0 ? 0.55 : 0.8, saturation = 0.85;
    const double c = value * saturation, h = hue / 60.0, x = c * (1.0 - std::abs(std::fmod(h, 2.0) - 1.0));
    double rgb[3] = {0.0, 0.0, 0.0};
    const int sector = static_cast<int>(h) % 6;
    const int big[6] = {0, 1, 1, 2, 2, 0}, small[6] = {1, 0, 2, 1, 0, 2};
    rgb[big[sector]] = c;
    rgb[small[sector]] = x;
    auto byte = [&](double v) { return static_cast<std::uint8_t>(std::lround((v + value - c) * 255.0)); };
    return ColourResource{FormattedText("ExchangerCurve%d", k), byte(rgb[0]), byte(rgb[1]), byte(rgb[2])};
}

double temperatureOf(const CNode* node) {
    double v = kEmpty;
    return node && node->getVariableAsDouble("Temperature", v) ? v : kEmpty;
}

}  // namespace

// ---- the plot ----

void HIDesignViewerDesign::BuildDrivingForcePlot() {
    if (TwoDimPlot* old = pDrivingForcePlot) {
        pDrivingForcePlot = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    auto* plot = new TwoDimPlot(this);
    pDrivingForcePlot = plot;
    plot->AddDeathPostee(this);
    plot->title = "Driving Force Plot";
    plot->titleVisible = true;
    plot->titlePlacement = {300.0, 20.0};
    Axis* x = plot->GetXAxisPtr();
    Axis* y = plot->GetYAxisPtr();
    x->title = "Cold Temperature";
    y->title = "Hot Temperature";
    x->showUnits = y->showUnits = true;
    x->Show();
    y->Show();
    XYDataStruct target;
    target.xVariable = "MyOwnerObject:Temperature.228.[]";
    target.yVariable = "MyOwnerObject:Temperature.226.[]";
    target.appearance.colour = RedColour();
    target.appearance.style = 0;
    target.appearance.symbol = 3;
    target.label = "Target Driving Force";
    XYDataStruct diagonal;
    diagonal.xVariable = "MyOwnerObject:Temperature.701.[]";
    diagonal.yVariable = "MyOwnerObject:Temperature.702.[]";
    diagonal.appearance.colour = GetCommonColour(0);
    diagonal.appearance.style = 1;
    diagonal.appearance.symbol = 0;
    diagonal.label = "y = x";
    TwoDimDataPlotArea& area = plot->GetPlotArea();
    for (auto [record, number] : {std::pair{&target, 1}, std::pair{&diagonal, 2}})
        if (PlottedData* set = area.CreateDataSet(record, number)) {
            set->SetName(record->label);
            set->appearance.flag = 0;
        }
    for (const DrivingForceSet& set : lstDrivingForceSets) CreateDrivingForceDataSet(set);
}

void HIDesignViewerDesign::CreateDrivingForceDataSet(const DrivingForceSet& set) {
    if (!pDrivingForcePlot) return;
    XYDataStruct record;
    record.xVariable = FormattedText("Temperature.708.%d.[]", set.dataSet);
    record.yVariable = FormattedText("Temperature.709.%d.[]", set.dataSet);
    record.appearance.colour = ExchangerCurveColour(set.dataSet);
    record.appearance.style = 0;
    record.appearance.symbol = 1;
    record.label = set.name;
    if (PlottedData* data = pDrivingForcePlot->GetPlotArea().CreateDataSet(&record, set.dataSet)) {
        data->SetName(set.name);
        data->Reset(0);
    }
}

void HIDesignViewerDesign::AddDrivingForceCurve(const Text& name) {
    DrivingForceSet set{name, lstDrivingForceSets.empty() ? kFirstExchangerSet : lstDrivingForceSets.back().dataSet + 1};
    lstDrivingForceSets.push_back(set);
    CreateDrivingForceDataSet(set);
}

void HIDesignViewerDesign::RemoveDrivingForceCurve(const Text& name) {
    for (auto it = lstDrivingForceSets.begin(); it != lstDrivingForceSets.end(); ++it) {
        if (it->name != name) continue;
        if (pDrivingForcePlot) pDrivingForcePlot->GetPlotArea().DestroyDataSet(it->dataSet);
        lstDrivingForceSets.erase(it);
        return;
    }
}

void HIDesignViewerDesign::RenameDrivingForceCurve(const Text& oldName, const Text& newName) {
    for (DrivingForceSet& set : lstDrivingForceSets) {
        if (set.name != oldName) continue;
        set.name = newName;
        if (PlottedData* data = pDrivingForcePlot ? pDrivingForcePlot->GetPlotArea().GetDataSet(set.dataSet) : nullptr) {
            data->SetLabel(newName);
            data->SetName(newName);
        }
        return;
    }
}

void HIDesignViewerDesign::ShowDrivingForcePlot(const Text& filter) {
    const int exchangers = pDesign ? pDesign->GetNumberOfHeatExchangers() : 0;
    if (static_cast<int>(lstDrivingForceSets.size()) != exchangers || !pDrivingForcePlot) {
        // The list has lost step with the design (an exchanger came without a notice): the plot
        // is built anew from the design's exchangers.
        lstDrivingForceSets.clear();
        BuildDrivingForcePlot();
        CNode* unit = nullptr;
        for (int i = 0; i < exchangers; ++i)
            if (pDesign->GetHeatExchanger(i, unit) && unit) AddDrivingForceCurve(UnitName(unit));
    }
    auto setVisible = [](PlottedData* data, bool visible) {
        if (!data || data->IsVisible() == visible) return;
        if (visible) data->Show();
        else data->Hide();
    };
    TwoDimDataPlotArea& area = pDrivingForcePlot->GetPlotArea();
    if (!lstDrivingForceSets.empty() && !filter.empty()) {
        const bool all = filter == "All";
        if (!all) {
            setVisible(area.GetDataSet(1), true);
            setVisible(area.GetDataSet(2), true);
        }
        for (const DrivingForceSet& set : lstDrivingForceSets)
            setVisible(area.GetDataSet(set.dataSet), all || set.name == filter);
    }
    View("DrivingForcePlotView");
}

// ---- the variables the plot reads ----

double HIDesignViewerDesign::DrivingForceTemperature(const VarDescription& var) {
    const int point = var.Offset(1);
    if (point != 0 && point != 1) return kEmpty;
    // The curves are numbered in list order from the first exchanger set, so the set is looked
    // for at its number's place first; a list recalled with other numbers is searched.
    const int number = var.Offset(0);
    const DrivingForceSet* set = nullptr;
    const std::size_t guess = static_cast<std::size_t>(std::max(0, number - kFirstExchangerSet));
    const bool last = guess + 1 >= lstDrivingForceSets.size() || lstDrivingForceSets[guess + 1].dataSet != number;
    if (guess < lstDrivingForceSets.size() && lstDrivingForceSets[guess].dataSet == number && last)
        set = &lstDrivingForceSets[guess];
    else
        for (const DrivingForceSet& s : lstDrivingForceSets)
            if (s.dataSet == number) set = &s;
    HeatExch* hx = set ? AsHeatExch(FindExchangerByName(set->name)) : nullptr;
    if (!hx) return kEmpty;
    // A countercurrent exchanger's two ends: the cold outlet faces the hot inlet (point 0) and
    // the cold inlet the hot outlet (point 1).
    if (var.Number() == 708) return temperatureOf(point == 0 ? hx->getOutlet(1) : hx->getInlet(1));
    return temperatureOf(point == 0 ? hx->getInlet(0) : hx->getOutlet(0));
}

int HIDesignViewerDesign::DrivingForceRows(const VarDescription&, DimInfo& dims) {
    // By data-set number (the curves' numbers run from 3 up), then the exchanger's two ends.
    int sets = 0;
    for (const DrivingForceSet& set : lstDrivingForceSets) sets = std::max(sets, set.dataSet + 1);
    dims.AddDim(sets);
    dims.AddDim(2);
    return 2;
}

// ---- the form ----

double HIDesignViewerDesign::FilterPart(const VarDescription& var) {
    switch (var.Number()) {
        case 213: return nFilterProcess != 0 ? 1.0 : 0.0;
        case 214: return nFilterHeaters != 0 ? 1.0 : 0.0;
        case 215: return nFilterCoolers != 0 ? 1.0 : 0.0;
        default: return kEmpty;
    }
}

int HIDesignViewerDesign::SetFilterPart(const VarDescription& var, double value) {
    if (value == kEmpty) return 0;
    const bool on = value != 0.0;
    switch (var.Number()) {
        case 213: nFilterProcess = on ? 1 : 0; break;
        case 214: nFilterHeaters = on ? 3 : 0; break;
        case 215: nFilterCoolers = on ? 5 : 0; break;
        default: return 0;
    }
    // The selection moves to the first row of the list the new filter makes.
    nSelectedRowA = CountFilteredExchangers() > 0 ? 0 : -1;
    // The cross-pinch list orders the units the filter lets through: a new filter makes it anew
    // (another filter may let as many units through, but not the same ones).
    BuildCrossPinchList(nCrossPinchSortColumn);
    if (pBarChart) pBarChart->UpdatePlot();
    return 1;
}

double HIDesignViewerDesign::Performance(const VarDescription& var) { return GetPerformanceValue(var); }

double HIDesignViewerDesign::FilteredCount(const VarDescription& var) {
    return GetFilteredTotal(var);
}

int HIDesignViewerDesign::ExchangerRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(CountFilteredExchangers());
    return 1;
}

Text HIDesignViewerDesign::FilteredExchangerName(const VarDescription& var) {
    CNode* unit = nullptr;
    const int row = var.Offset(0);
    if (!pDesign || row < 0 || row >= CountFilteredExchangers()) return Text();
    return pDesign->GetHeatExchanger(GetFilteredExchangerIndex(row), unit) ? UnitName(unit) : Text();
}

double HIDesignViewerDesign::EnumSelection(const VarDescription& var) {
    switch (var.Number()) {
        case 220: return nSelectedTargetPlot;
        case 550: return nCrossPinchSortColumn;
        default: return kEmpty;
    }
}

int HIDesignViewerDesign::SetEnumSelection(const VarDescription& var, double value) {
    if (value == kEmpty || value < -2.0e9 || value > 2.0e9) return 0;
    const auto v = static_cast<std::int32_t>(value);
    switch (var.Number()) {
        case 220: nSelectedTargetPlot = v; return 1;
        case 550:
            nCrossPinchSortColumn = v;
            if (CountFilteredExchangers() > 0) BuildCrossPinchList(v);
            return 1;
        default: return 0;
    }
}

const ViewForm<HIDesignViewerDesign>& HIDesignViewerDesign::Form() {
    using V = HIDesignViewerDesign;
    static const ViewForm<V> form{
        {{"Index.213", FormHook::Value, 100, true, 0}, &V::FilterPart, &V::SetFilterPart},
        {{"Index.214", FormHook::Value, 100, true, 0}, &V::FilterPart, &V::SetFilterPart},
        {{"Index.215", FormHook::Value, 100, true, 0}, &V::FilterPart, &V::SetFilterPart},
        {{"Enum.220", FormHook::Value, 105, true, 0}, &V::EnumSelection, &V::SetEnumSelection},
        {{"Enum.550", FormHook::Value, 105, true, 0}, &V::EnumSelection, &V::SetEnumSelection},
        {{"Temperature.708", FormHook::Value, 1, false, 2}, &V::DrivingForceTemperature, nullptr, nullptr, nullptr,
         &V::DrivingForceRows},
        {{"Temperature.709", FormHook::Value, 1, false, 2}, &V::DrivingForceTemperature, nullptr, nullptr, nullptr,
         &V::DrivingForceRows},
        {{"ExtraData.713", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::FilteredExchangerName, nullptr,
         &V::ExchangerRows},
        {{"HeatFlow.303", FormHook::Value, 6, false, 0}, &V::FilteredCount},
        {{"Area.303", FormHook::Value, 1508, false, 0}, &V::FilteredCount},
        {{"Cost.303", FormHook::Value, 31000, false, 0}, &V::FilteredCount},
        {{"ExtraData.303", FormHook::Value, 1519, false, 0}, &V::FilteredCount},
        {{"ExtraData.752", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.753", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.756", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.757", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.758", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.759", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.760", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.761", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.762", FormHook::Value, 1519, false, 1}, &V::Performance},
        {{"ExtraData.763", FormHook::Value, 1519, false, 1}, &V::Performance},
    };
    return form;
}

void HIDesignViewerDesign::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    // The cross-pinch list is sorted by the loads across one of the design's pinches: a column
    // the design has.
    form.SetDomain("Enum.550", CellDomain::EntriesOf([](Viewable& view, const VarDescription&) {
                       const IHENDesign* design = static_cast<HIDesignViewerDesign&>(view).GetDesign();
                       return design ? design->GetNumberOfCrossPinchLoads() : 0;
                   }));
    for (const ValueRow& row : ValueRows()) {
        // A row the list sizes name is a column of that list, whatever its own reading takes.
        ListSize size{};
        const int dims = row.type && FindListSize(row.type, row.number, size) ? 1 : row.Dims();
        form.Add({row.Address(), FormHook::Value, row.unit >= 0 ? row.unit : row.type ? row.type : 1519,
                  IsWritableAddress(row.type, row.number), dims});
    }
    // The numbers the forms only write (an action, a setting no form reads back), and the texts they
    // write, editable; then the texts they only read. Each address is listed once.
    std::set<std::pair<std::string, FormHook>> listed;
    for (const FormVariable& v : form.Variables()) listed.insert({v.address.c_str(), v.hook});
    for (const WriteAddress& a : WriteAddresses()) {
        ValueRow row;
        row.type = a.type;
        row.number = a.number;
        if (listed.insert({row.Address().c_str(), FormHook::Value}).second)
            form.Add({row.Address(), FormHook::Value, WrittenKind(a.type, a.number), true, a.dims});
        if (*a.refusals) form.SetRefusals(row.Address(), a.refusals);
        if (a.domain.Declared()) form.SetDomain(row.Address(), a.domain);
    }
    for (const TextInput& t : TextInputs()) {
        if (listed.insert({std::string(t.address), FormHook::Text}).second) form.Add({t.address, FormHook::Text, 1519, true, t.dims});
        if (*t.refusals) form.SetRefusals(t.address, t.refusals);
    }
    DescribeTexts(form);
    DescribeCommands(form);
}

double HIDesignViewerDesign::Value(const VarDescription& var) {
    if (!pDesign) return kEmpty;
    if (const ValueRow* row = FindValueRow(var)) return ReadRow(*row, var);
    double out = kEmpty;
    if (Form().Value(*this, var, out)) return out;
    // The performance figures read in the kind their value is shown in (the loads as heat
    // flows, the area as an area, the costs as costs).
    const int v = var.Number(), t = var.Type();
    if ((v == 752 || v == 753) && t == 6) return GetPerformanceValue(var);
    if (v == 758 && t == 1508) return GetPerformanceValue(var);
    if (v >= 759 && v <= 763 && (t == 31000 || t == 31001)) return GetPerformanceValue(var);
    return Viewable::Value(var);
}


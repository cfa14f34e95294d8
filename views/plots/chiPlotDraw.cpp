// How each graph of the heat-integration plot is drawn: its data sets, their variables,
// colours and styles, the axis titles and the title; and the point data sets of the designs.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "views/plots/chiPlot.h"

#include "lumeth/DisplayUnits.h"

#include <algorithm>

namespace {

ColourResource colourOf(int code) {
    switch (code) {
        case 1: return RedColour();
        case 2: return BlueColour();
        case 3: return ColourResource{"BlackColour", 0, 0, 0};
        default: return DefaultColour();
    }
}

}  // namespace

void chiPlot::Draw(const char* xTitle, const char* yTitle, const char* title, std::initializer_list<CurveSet> sets,
                   bool ignoreEmpty, bool unitsOnY) {
    if (m_pPlot) return;
    m_pPlot = new TwoDimPlot(this, m_pPlotParameters);
    m_pPlot->AddDeathPostee(this);
    const bool utility = m_nGraphType == UtilityCompositeCurve;
    m_pPlot->annotationPlacement = {10.0, utility ? 430.0 : 450.0};
    m_pPlot->annotationVisible = false;
    if (ignoreEmpty) m_pPlot->SetIgnoreEmptyPoints(true);
    for (const CurveSet& c : sets) {
        XYDataStruct record;
        record.xVariable = c.x;
        record.yVariable = c.y;
        record.appearance.colour = colourOf(c.colour);
        record.appearance.style = c.style;
        record.appearance.symbol = c.symbol;
        record.label = c.label;
        PlottedData* set = m_pPlot->GetPlotArea().CreateDataSet(&record, c.number);
        if (!set) continue;
        set->Reset(0);
        if (c.hidden) set->Hide();
    }
    Axis* x = m_pPlot->GetXAxisPtr(-32767);
    Axis* y = m_pPlot->GetYAxisPtr(-32767);
    x->showUnits = true;
    y->showUnits = unitsOnY;
    x->title = xTitle;
    y->title = yTitle;
    x->showLabels = y->showLabels = true;
    m_pPlot->title = title;
    m_pPlot->titlePlacement = {m_nGraphType == ShiftedBalancedCompositeCurves ? 350.0 : 300.0, 20.0};
}

constexpr int kNone = -32767;

void chiPlot::MarkTargets(bool shifted) {
    if (!m_pPlot) return;
    m_pPlot->references = [this, shifted] {
        std::vector<PlotReference> out;
        IHeatIntegrationScenario* s = m_pScenario;
        if (!s) return out;
        // Quantity kinds: 1 temperature, 6 heat flow, 24 temperature difference.
        const auto shown = [](double value, int kind) {
            const UnitConversion unit = DefUnitConv(kind);
            return FormattedText("%.1f %s", calc_ounit(value, unit), unit.name.c_str());
        };
        const auto level = [&](const char* name, double t) {
            const UnitConversion unit = DefUnitConv(1);
            out.push_back({true, calc_ounit(t, unit), Text(name) + " " + shown(t, 1)});
        };
        for (int i = 0; i < s->GetNumberOfProcessPinchPoints(); ++i) {
            const double hot = s->GetProcessPinchTemperatureAt(0, i), cold = s->GetProcessPinchTemperatureAt(1, i);
            if (hot == kNone || cold == kNone) continue;
            if (shifted) {
                level("Pinch", 0.5 * (hot + cold));
            } else {
                level("Hot pinch", hot);
                level("Cold pinch", cold);
            }
        }
        out.push_back({false, 0.0, "QH = " + shown(s->GetUtilityTarget(0), 6)});
        out.push_back({false, 0.0, "QC = " + shown(s->GetUtilityTarget(1), 6)});
        out.push_back({false, 0.0, "DTmin = " + shown(s->GetDTmin(), 24)});
        return out;
    };
}

void chiPlot::DrawGraphHeatCascade() {
    // The grand composite runs over the interval temperatures, shifted by half the approach.
    Draw("Enthalpy", "Shifted Temperature", "Grand Composite Curve",
         {{1, "Grand Composite Curve", ":HeatFlow.200.[]", ":Temperature.201.[]", 0, 0, kNone, false}});
    MarkTargets(true);
}

void chiPlot::DrawGraphCombinedHeatCascade() {
    Draw("Enthalpy", "Temperature", "Combined Heat Cascade",
         {{1, "Combined Heat Cascade", ":HeatFlow.202.[]", ":Temperature.203.[]", 1, 0, kNone, false}});
}

void chiPlot::DrawUnshiftedCompositeCurve() {
    Draw("Enthalpy", "Temperature", "Composite Curves",
         {{1, "Hot Composite Curve", ":HeatFlow.204.[]", ":Temperature.205.[]", 1, 0, kNone, false},
          {2, "Cold Composite Curve", ":HeatFlow.206.[]", ":Temperature.207.[]", 2, 0, kNone, false}});
    MarkTargets(false);
}

void chiPlot::DrawShiftedCompositeCurve() {
    Draw("Enthalpy", "Temperature", "Shifted Composite Curves",
         {{1, "Hot Shifted Composite Curve", ":HeatFlow.208.[]", ":Temperature.209.[]", 1, 0, kNone, false},
          {2, "Cold Shifted Composite Curve", ":HeatFlow.210.[]", ":Temperature.211.[]", 2, 0, kNone, false}});
    MarkTargets(true);
}

void chiPlot::DrawUnshiftedBalancedCompositeCurve() {
    Draw("Enthalpy", "Temperature", "Balanced Composite Curves",
         {{1, "Hot Balanced Composite Curve", ":HeatFlow.212.[]", ":Temperature.213.[]", 1, 0, kNone, false},
          {2, "Cold Balanced Composite Curve", ":HeatFlow.214.[]", ":Temperature.215.[]", 2, 0, kNone, false}});
}

void chiPlot::DrawShiftedBalancedCompositeCurve() {
    Draw("Enthalpy", "Temperature", "Shifted Balanced Composite Curves",
         {{1, "Hot Shifted Balanced Composite Curve", ":HeatFlow.216.[]", ":Temperature.217.[]", 1, 0, kNone, false},
          {2, "Cold Shifted Balanced Composite Curve", ":HeatFlow.218.[]", ":Temperature.219.[]", 2, 0, kNone, false}});
}

void chiPlot::DrawUtilityCompositeCurve() {
    // The utilities are drawn against the grand composite curve, all on shifted temperatures: the
    // axis says so, and the third curve is named for what it is.
    Draw("Enthalpy", "Shifted Temperature", "Utility Composite Curve",
         {{1, "Hot Utility Composite Curve", ":HeatFlow.220.[]", ":Temperature.221.[]", 1, 0, kNone, false},
          {2, "Cold Utility Composite Curve", ":HeatFlow.222.[]", ":Temperature.223.[]", 2, 0, kNone, false},
          {3, "Grand Composite Curve", ":HeatFlow.224.[]", ":Temperature.225.[]", 0, 0, kNone, false}});
}

void chiPlot::DrawHotDrivingForceCurve() {
    Draw("Th", "dT", "Driving Force Plot - Hot",
         {{1, "Hot Driving Force", ":Temperature.226.[]", ":Temperature.227.[]", 1, 0, kNone, false}});
}

void chiPlot::DrawColdDrivingForceCurve() {
    Draw("Tc", "dT", "Driving Force Plot - Cold",
         {{1, "Cold Driving Force", ":Temperature.228.[]", ":Temperature.229.[]", 2, 0, kNone, false}});
}

void chiPlot::Draw_CC() {
    Draw("Enthalpy", "Temperature", "User Supplied Utility Load",
         {{1, "Hot User Supplied Utility Load", ":HeatFlow.230.[]", ":Temperature.231.[]", 1, 0, kNone, false},
          {2, "Cold User Supplied Utility Load", ":HeatFlow.232.[]", ":Temperature.233.[]", 2, 0, kNone, false}});
}

void chiPlot::Draw_ALPHA() {
    Draw("Operating Cost", "Capital Cost", "Alpha Plot",
         {{1, "Alpha Curve", ":CostPerTime.234.[]", ":Cost.235.[]", 1, 0, kNone, false}});
}

void chiPlot::Draw_AreaLoadCurve() {
    Draw("HEN Heat Demand", "HEN Area", "Area - Heat Demand Curve",
         {{1, "Area - Heat Demand Curve", "MyOwnerObject/ChiSuperTargetPlotObject.200.2:HeatFlow.333.[]",
           "MyOwnerObject/ChiSuperTargetPlotObject.200.2:Area.334.[]", 1, 0, kNone, false}});
}

void chiPlot::Draw_InvestSaving() {
    Draw("Investment (cost)", "Annual Saving (cost/year)", "Investment - Saving Curve",
         {{1, "2 years Payback line", ":ExtraData.340.[]", ":ExtraData.338.[]", 3, 1, kNone, false},
          {2, "Investment/Savings Curve", ":Cost.311.[]", ":CostPerTime.310.[]", 1, 0, 1, false}},
         true);
}

void chiPlot::Draw_PaybackInvest() {
    Draw("Investment (cost)", "Payback (years)", "Payback - Investment Curve", {}, false, false);
}

void chiPlot::Draw_RetroAlpha() {
    Draw("Operating Cost", "Capital Cost", "Retrofit Alpha Plot",
         {{1, "Alpha Curve", ":CostPerTime.234.[]", ":Cost.235.[]", 1, 0, kNone, false},
          {2, "Base Case Curve", ":CostPerTime.234.[]", ":Cost.238.[]", 2, 0, kNone, false},
          {3, "Base Case Capital Cost Line", ":CostPerTime.250.[]", ":Cost.250.[]", 3, 1, kNone, true},
          {4, "Base Case Operating Cost Line", ":CostPerTime.251.[]", ":Cost.251.[]", 3, 1, kNone, true},
          {5, "Target Capital Cost At Base Case Operating Cost Line", ":CostPerTime.250.[]", ":Cost.252.[]", 3, 1, kNone,
           true}},
         true);
}

// ---- designs on the cost plots ----

namespace {

const char* const kDesignX[] = {"CostPerTime.236.%d", "HeatFlow.301.%d", "ExtraData.339.%d", "ExtraData.339.%d"};
const char* const kDesignY[] = {"Cost.237.%d", "Area.301.%d", "ExtraData.337.%d", "ExtraData.236.%d"};
// Data-set number of a graph's first design.
int firstDataSet(int graph) {
    switch (graph) {
        case AlphaPlot: return 2;
        case AreaHeatDemandCurve: return 2;
        case InvestmentSavingCurve: return 3;
        case PaybackInvestmentCurve: return 1;
        default: return 6;
    }
}

}  // namespace

void chiPlot::CreateDesignSet(int graph, const Text& design, int n) {
    if (!m_pPlot) return;
    const Text base = m_pScenario && m_pScenario->GetRetrofitBaseDesignName() ? m_pScenario->GetRetrofitBaseDesignName() : "";
    PointStruct record;
    const int row = graph == RetrofitAlphaPlot ? 0 : graph - AlphaPlot;
    record.xVariable = graph == RetrofitAlphaPlot ? FormattedText("CostPerTime.240.%d", n) : FormattedText(kDesignX[row], n);
    record.yVariable = graph == RetrofitAlphaPlot ? FormattedText("Cost.241.%d", n) : FormattedText(kDesignY[row], n);
    const bool red = graph >= AreaHeatDemandCurve && graph <= PaybackInvestmentCurve && design == base;
    record.appearance.colour = red ? RedColour() : BlueColour();
    record.appearance.capacity = 1;
    // The designs of the retrofit alpha plot share one colour: each takes the next marker shape.
    if (graph == RetrofitAlphaPlot)
        record.appearance.marker = std::max(0, n - firstDataSet(graph)) % DataSetAppearance::kMarkerShapes;
    record.label = design;
    if (PlottedData* set = m_pPlot->GetPlotArea().CreateDataSet(&record, n)) set->Reset(0);
}

void chiPlot::UpdateDesigns(int graph, HVector<PlotDesignEntry*>& list, const Text& design, const Text& newName,
                            int what) {
    if (m_nGraphType != graph) return;
    TwoDimDataPlotArea* area = m_pPlot ? &m_pPlot->GetPlotArea() : nullptr;
    const Text base = m_pScenario && m_pScenario->GetRetrofitBaseDesignName() ? m_pScenario->GetRetrofitBaseDesignName() : "";
    if (what == DesignAdded) {
        const int n = list.IsEmpty() ? firstDataSet(graph) : list[list.Count() - 1]->nDataSet + 1;
        CreateDesignSet(graph, design, n);
        list.Append(new PlotDesignEntry{design, n});
        return;
    }
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        PlotDesignEntry* entry = list[i];
        if (entry->strName != design) continue;
        if (what == DesignDeleted) {
            if (area) area->DestroyDataSet(entry->nDataSet);
            list.RemoveAt(i);
            delete entry;
        } else if (what == DesignRenamed) {
            entry->strName = newName;
            if (PlottedData* set = area ? area->GetDataSet(entry->nDataSet) : nullptr) {
                set->SetLabel(newName);
                set->SetName(newName);
                if (graph == PaybackInvestmentCurve && newName == base) set->SetColour(RedColour());
            }
        }
        return;
    }
}

void chiPlot::Update_ALPHA(const Text& d, const Text& n, int what) { UpdateDesigns(AlphaPlot, m_lstAlpha, d, n, what); }
void chiPlot::Update_AreaLoad(const Text& d, const Text& n, int what) {
    UpdateDesigns(AreaHeatDemandCurve, m_lstAlpha, d, n, what);
}
void chiPlot::Update_InvestSaving(const Text& d, const Text& n, int what) {
    UpdateDesigns(InvestmentSavingCurve, m_lstAlpha, d, n, what);
}
void chiPlot::Update_PaybackInvest(const Text& d, const Text& n, int what) {
    UpdateDesigns(PaybackInvestmentCurve, m_lstAlpha, d, n, what);
}
void chiPlot::Update_Retrofit_ALPHA(const Text& d, const Text& n, int what) {
    UpdateDesigns(RetrofitAlphaPlot, m_lstRetrofitAlpha, d, n, what);
}

void chiPlot::UpdateAlphaFeasibility() {
    if (!m_pScenario || !m_pPlot) return;
    for (PlotDesignEntry* entry : m_lstAlpha) {
        IHENDesign* design = nullptr;
        if (!m_pScenario->GetDesign(CPString(entry->strName), design) || !design) continue;
        PlottedData* set = m_pPlot->GetPlotArea().GetDataSet(entry->nDataSet);
        if (!set) continue;
        set->appearance.style = design->GetNumberOfUnsatisfiedProcessStreams() > 0 ? 1 : 101;
        set->Reset(0);
    }
}

void chiPlot::ShowManager(int flag) {
    if (!m_pPlot) return;
    TwoDimDataPlotArea& area = m_pPlot->GetPlotArea();
    if (m_nGraphType == RetrofitAlphaPlot) {
        for (int n : {3, 4, 5})
            if (PlottedData* set = area.GetDataSet(n)) flag ? set->Show() : set->Hide();
        return;
    }
    if (m_nGraphType != PaybackInvestmentCurve) return;
    for (PlotDesignEntry* entry : m_lstAlpha) {
        PlottedData* set = area.GetDataSet(entry->nDataSet);
        if (!set) continue;
        if (flag) {
            set->Show();
            continue;
        }
        IHENDesign* design = nullptr;
        if (m_pScenario && m_pScenario->GetDesign(CPString(entry->strName), design) && design &&
            (design->GetNumberOfUnsatisfiedProcessStreams() > 0 || design->GetNumberOfIncompleteHeatExchangers(false) > 0))
            set->Hide();
    }
}

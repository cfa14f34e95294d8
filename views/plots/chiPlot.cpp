#include "views/plots/chiPlot.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/PlotParameters.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <algorithm>

namespace {

constexpr double kEmpty = Viewable::EmptyValue;

// The scenario curve behind a curve variable: HeatFlow n is the curve's heat flows, Temperature
// n + 1 its temperatures.
struct CurveVariable {
    int number;
    int curve;
};
constexpr CurveVariable kCurves[] = {{200, 0},  {202, 5},  {204, 3},  {206, 4},  {208, 1},  {210, 2},  {212, 8},
                                     {214, 9},  {216, 10}, {218, 11}, {220, 6},  {222, 7},  {230, 12}, {232, 13}};

int curveOf(int number) {
    for (const CurveVariable& c : kCurves)
        if (number == c.number || number == c.number + 1) return c.curve;
    return -1;
}

double nonZero(double v) { return v == 0.0 ? kEmpty : v; }

// A value in internal units converted to a unit of the framework's unit codes: 44 years, 99
// cost, 100 cost per time (the kind of the cost rates here).
double converted(double value, int kind, const char* unit) {
    if (value == kEmpty) return value;
    if (kind == 100) kind = 31001;
    UnitConversion conversion;
    return get_unit(kind, unit, DefaultUnits, conversion) ? calc_ounit(value, conversion) : value;
}

}  // namespace

chiPlot::chiPlot(Viewable* owner, IHeatIntegrationScenario* scenario, bool named)
    : Viewable(owner, TypeName), m_bNamed(named), m_pScenario(scenario), m_pOwner(owner) {
    SetName("chiPlot");
    m_pPlotParameters = new Dim2GraphControl(this);
    // A scenario viewer keeps its plots in its plot list.
    if (owner && owner->IsA(HIDesignViewerScenario::TypeName)) static_cast<HIDesignViewerScenario*>(owner)->AddPlot(this);
}

chiPlot::chiPlot(ObjectInstanceInfo& info) : Viewable(info) {}

chiPlot::~chiPlot() {
    TwoDimPlot* plot = m_pPlot;
    m_pPlot = nullptr;
    delete plot;
    DeletePlotParameters(m_pPlotParameters);
    DeleteEntries(m_lstAlpha);
    DeleteEntries(m_lstRetrofitAlpha);
}

void chiPlot::DeleteEntries(HVector<PlotDesignEntry*>& list) {
    for (PlotDesignEntry* e : list) delete e;
    list.Reallocate(0, 0);
}

void chiPlot::ConstructPlot(int graphType) {
    m_nGraphType = graphType;
    switch (graphType) {
        case GrandCompositeCurve: DrawGraphHeatCascade(); break;
        case CombinedHeatCascade: DrawGraphCombinedHeatCascade(); break;
        case CompositeCurves: DrawUnshiftedCompositeCurve(); break;
        case ShiftedCompositeCurves: DrawShiftedCompositeCurve(); break;
        case BalancedCompositeCurves: DrawUnshiftedBalancedCompositeCurve(); break;
        case ShiftedBalancedCompositeCurves: DrawShiftedBalancedCompositeCurve(); break;
        case UtilityCompositeCurve: DrawUtilityCompositeCurve(); break;
        case HotDrivingForce: DrawHotDrivingForceCurve(); break;
        case ColdDrivingForce: DrawColdDrivingForceCurve(); break;
        case UserSuppliedUtilityLoad: Draw_CC(); break;
        case AlphaPlot: Draw_ALPHA(); break;
        case AreaHeatDemandCurve: Draw_AreaLoadCurve(); break;
        case InvestmentSavingCurve: Draw_InvestSaving(); break;
        case PaybackInvestmentCurve: Draw_PaybackInvest(); break;
        case NoGraph: break;
        case RetrofitAlphaPlot: Draw_RetroAlpha(); break;
        default: {
            TwoDimPlot* plot = m_pPlot;
            m_pPlot = nullptr;
            delete plot;
        }
    }
}

// ---- variables ----

const ViewForm<chiPlot>& chiPlot::Form() {
    using V = chiPlot;
    static const ViewForm<chiPlot> form{
        {{"HeatFlow.200", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.201", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.202", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.203", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.204", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.205", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.206", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.207", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.208", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.209", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.210", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.211", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.212", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.213", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.214", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.215", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.216", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.217", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.218", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.219", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.220", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.221", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.222", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.223", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.224", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.225", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.230", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.231", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"HeatFlow.232", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        {{"Temperature.233", FormHook::Value, -1, false, 1}, &V::CurveValue, nullptr, nullptr, nullptr, &V::CurveCount},
        // The driving forces: a temperature against a temperature difference (shown as a
        // difference, without the offset of a temperature scale).
        {{"Temperature.226", FormHook::Value, -1, false, 1}, &V::MatchValue, nullptr, nullptr, nullptr, &V::MatchCount},
        {{"Temperature.227", FormHook::Value, 1517, false, 1}, &V::MatchValue, nullptr, nullptr, nullptr, &V::MatchCount},
        {{"Temperature.228", FormHook::Value, -1, false, 1}, &V::MatchValue, nullptr, nullptr, nullptr, &V::MatchCount},
        {{"Temperature.229", FormHook::Value, 1517, false, 1}, &V::MatchValue, nullptr, nullptr, nullptr, &V::MatchCount},
        // The range-target points.
        {{"HeatFlow.234", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"HeatFlow.300", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"Area.200", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"CostPerTime.234", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"Cost.235", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"Cost.238", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"CostPerTime.310", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        {{"Cost.311", FormHook::Value, -1, false, 1}, &V::RangeValue, nullptr, nullptr, nullptr, &V::RangeCount},
        // Reference lines of two points each.
        {{"CostPerTime.250", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"CostPerTime.251", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"Cost.250", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"Cost.251", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"Cost.252", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"ExtraData.338", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        {{"ExtraData.340", FormHook::Value, -1, false, 1}, &V::ReferenceValue, nullptr, nullptr, nullptr, &V::TwoPoints},
        // Designs, by the number of their data set.
        {{"CostPerTime.236", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"Cost.237", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"CostPerTime.240", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"Cost.241", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"HeatFlow.301", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"Area.301", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"ExtraData.236", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"ExtraData.337", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"ExtraData.339", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignCount},
        {{"PlotName.1", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::PlotName},
        {{"TitleTag.200", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::TitleTag},
    };
    return form;
}

double chiPlot::Value(const VarDescription& var) {
    double out = kEmpty;
    return Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

Text chiPlot::TextValue(const VarDescription& var) {
    Text out;
    return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int chiPlot::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

int chiPlot::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

void chiPlot::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

double chiPlot::CurveValue(const VarDescription& var) {
    if (!m_pScenario) return kEmpty;
    const int n = var.Number(), i = var.Offset(0);
    const bool heatFlow = var.Type() == 6;
    if (n == 224) return m_pScenario->GetTargetCurveValue(15, 1, i);
    if (n == 225) return m_pScenario->GetTargetCurveValue(0, 0, i);
    const int curve = curveOf(n);
    return curve < 0 ? kEmpty : m_pScenario->GetTargetCurveValue(curve, heatFlow ? 1 : 0, i);
}

int chiPlot::CurveCount(const VarDescription& var, DimInfo& dims) {
    if (!m_pScenario) return dims.AddDim(0), 1;
    const int n = var.Number();
    int count = 0;
    if (n == 224 || n == 225) count = m_pScenario->GetNumberOfCurvePoints(0);
    else if (n == 220 || n == 221)
        // Curve 6 runs through the boundaries of the cold utilities too: the hot utility curve
        // ends at the last boundary of a hot one, and does not run on to the cold utilities'
        // points, which their own curve shows.
        count = std::min(m_pScenario->GetNumberOfCurvePoints(16), m_pScenario->GetNumberOfCurvePoints(6));
    else count = m_pScenario->GetNumberOfCurvePoints(curveOf(n));
    dims.AddDim(count);
    return 1;
}

double chiPlot::MatchValue(const VarDescription& var) {
    if (!m_pScenario) return kEmpty;
    static constexpr int kField[] = {1, 3, 2, 3};  // 226 hot T, 227 dT, 228 cold T, 229 dT
    return m_pScenario->GetAreaTargetMatchValue(kField[var.Number() - 226], var.Offset(0));
}

int chiPlot::MatchCount(const VarDescription&, DimInfo& dims) {
    dims.AddDim(m_pScenario ? m_pScenario->GetNumberOfAreaTargetMatches() : 0);
    return 1;
}

double chiPlot::RangeValue(const VarDescription& var) {
    if (!m_pScenario) return kEmpty;
    const int i = var.Offset(0);
    const int type = var.Type(), n = var.Number();
    if (type == 6) return m_pScenario->PointTargetValue(i, 2);
    if (type == 1508) return m_pScenario->PointTargetValue(i, 5);
    if (type == 31001 && n == 234) return nonZero(m_pScenario->PointTargetValue(i, 9));
    if (type == 31000 && n == 235) return nonZero(m_pScenario->PointTargetValue(i, 8));
    if (type == 31000 && n == 238) return nonZero(m_pScenario->PointTargetValue(i, 11));
    if (type == 31001 && n == 310) {
        const double saving = m_pScenario->GetRetrofitBaseUtilityCost() - m_pScenario->PointTargetValue(i, 9);
        return saving < 0.0 ? kEmpty : saving;
    }
    if (type == 31000 && n == 311) {
        const double investment = m_pScenario->PointTargetValue(i, 11) - m_pScenario->GetRetrofitBaseCapitalCost();
        return investment < 0.0 ? kEmpty : investment;
    }
    return kEmpty;
}

int chiPlot::RangeCount(const VarDescription&, DimInfo& dims) {
    dims.AddDim(m_pScenario ? m_pScenario->GetNumberOfSuperTargetPoints() : 0);
    return 1;
}

double chiPlot::ReferenceValue(const VarDescription& var) {
    if (!m_pScenario) return kEmpty;
    const int i = var.Offset(0), type = var.Type(), n = var.Number();
    const double baseUtility = nonZero(m_pScenario->GetRetrofitBaseUtilityCost());
    const double baseCapital = nonZero(m_pScenario->GetRetrofitBaseCapitalCost());
    if (type == 31001 && n == 250) return i == 0 ? 0.0 : baseUtility;
    if (type == 31001 && n == 251) return baseUtility;
    if (type == 31000 && n == 250) return baseCapital;
    if (type == 31000 && n == 251) return i == 0 ? 0.0 : baseCapital;
    if (type == 31000 && n == 252) return nonZero(m_pScenario->GetSuperTargetValueAtBaseOperatingCost());
    // The payback line runs from (0, 0) to (2 S, S).
    if (n == 338) return i == 0 ? 0.0 : converted(LargestSaving(false), 100, "Cost/year");
    if (n == 340) return i == 0 ? 0.0 : converted(2.0 * converted(LargestSaving(true), 100, "Cost/year"), 99, "Cost");
    return kEmpty;
}

int chiPlot::TwoPoints(const VarDescription&, DimInfo& dims) {
    dims.AddDim(2);
    return 1;
}

PlotDesignEntry* chiPlot::EntryOf(const HVector<PlotDesignEntry*>& list, int dataSet) const {
    for (PlotDesignEntry* e : list)
        if (e->nDataSet == dataSet) return e;
    return nullptr;
}

IHENDesign* chiPlot::DesignOf(const VarDescription& var) const {
    if (!m_pScenario) return nullptr;
    const bool retrofit = var.Number() == 240 || var.Number() == 241;
    const PlotDesignEntry* entry = EntryOf(retrofit ? m_lstRetrofitAlpha : m_lstAlpha, var.Offset(0));
    IHENDesign* design = nullptr;
    if (!entry || !m_pScenario->GetDesign(CPString(entry->strName), design)) return nullptr;
    return design;
}

double chiPlot::DesignValue(const VarDescription& var) {
    IHENDesign* design = DesignOf(var);
    if (!design) return kEmpty;
    const int type = var.Type(), n = var.Number();
    const bool exchangers = design->GetNumberOfHeatExchangers() > 0;
    if (type == 31001) return exchangers ? design->GetTotalUtilityCost(2) : kEmpty;
    if (type == 31000) return design->GetTotalCapitalCost();
    if (type == 6) return design->GetTotalUtilityLoad(0);
    if (type == 1508) return design->GetTotalArea();
    const Text base = m_pScenario->GetRetrofitBaseDesignName() ? m_pScenario->GetRetrofitBaseDesignName() : "";
    // A design whose network does not calculate has no saving, capital or payback: its point is
    // not drawn (a unit not calculated would count as carrying nothing).
    if ((n == 236 || n == 337 || n == 339) && !design->IsNetworkCalculated()) return kEmpty;
    // A payback is counted against the retrofit base design's utility cost: no base, no payback.
    if (n == 236) return exchangers && !base.empty() ? converted(design->GetPaybackTime(), 44, "years") : kEmpty;
    if (n == 337) {
        if (!exchangers || base.empty() || base == design->GetDesignName()) return kEmpty;
        return converted(m_pScenario->GetRetrofitBaseUtilityCost() - design->GetTotalUtilityCost(2), 100, "cost/year");
    }
    if (n == 339) return converted(design->CalculateCapitalCost(), 99, "Cost");
    return kEmpty;
}

int chiPlot::DesignCount(const VarDescription&, DimInfo& dims) {
    dims.AddDim(m_pScenario ? m_pScenario->GetNumberOfDesigns() : 0);
    return 1;
}

double chiPlot::LargestSaving(bool withCapitalCosts) const {
    double s = 0.0;
    if (!m_pScenario) return s;
    const double base = m_pScenario->GetRetrofitBaseUtilityCost();
    if (m_pScenario->GetNumberOfDesigns() > 1) {
        IHENDesign* design = nullptr;
        for (int i = 0; m_pScenario->GetDesign(i, design, 0) && design; ++i) {
            if (!design->IsNetworkCalculated()) continue;
            if (withCapitalCosts) design->CalculateCapitalCost();
            s = std::max(s, base - design->GetTotalUtilityCost(2));
        }
        return s;
    }
    for (int i = 0; i < m_pScenario->GetNumberOfSuperTargetPoints(); ++i)
        s = std::max(s, base - m_pScenario->PointTargetValue(i, 9));
    return s;
}

Text chiPlot::PlotName(const VarDescription&) {
    if (!m_bNamed) return "CC_0";
    VarDescription name;
    return m_pOwner && VarDescription::Parse(":PlotName.1.[]", name) ? m_pOwner->TextValue(name) : Text();
}

Text chiPlot::TitleTag(const VarDescription&) { return m_pOwner ? m_pOwner->GetName() : Text(); }

// ---- commands and links ----

namespace {

// The command words of the plot: each draws its graph on a plot not drawn yet.
const struct {
    const char* word;
    void (chiPlot::*draw)();
} kWords[] = {
    {"ViewHeatCascadeCurve", &chiPlot::DrawGraphHeatCascade},
    {"ViewCombinedHeatCascadeCurve", &chiPlot::DrawGraphCombinedHeatCascade},
    {"ViewUnshiftedCompositeCurve", &chiPlot::DrawUnshiftedCompositeCurve},
    {"ViewShiftedCompositeCurve", &chiPlot::DrawShiftedCompositeCurve},
    {"ViewUnshiftedBalancedCompositeCurve", &chiPlot::DrawUnshiftedBalancedCompositeCurve},
    {"ViewShiftedBalancedCompositeCurve", &chiPlot::DrawShiftedBalancedCompositeCurve},
    {"ViewUtilityCompositeCurve", &chiPlot::DrawUtilityCompositeCurve},
    {"ViewHotDrivingForceCurve", &chiPlot::DrawHotDrivingForceCurve},
    {"ViewColdDrivingForceCurve", &chiPlot::DrawColdDrivingForceCurve},
    {"ViewUserSupplied_CC", &chiPlot::Draw_CC},
};

}  // namespace

void chiPlot::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const auto& w : kWords) form.Add({Text(w.word) + ".0", FormHook::Command, 1519, false, 0});
}

int chiPlot::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    for (const auto& w : kWords)
        if (word == w.word) {
            (this->*w.draw)();
            return 1;
        }
    return Viewable::Message(line);
}

bool chiPlot::GenMessage(MessageInfo& info) {
    if (info.code == 6 && info.name == "chiPlot") {
        info.answer = m_pPlot;
        return true;
    }
    return Viewable::GenMessage(info);
}

Text chiPlot::AttachedName(const Viewable* child) const {
    if (child && child == m_pPlot) return "TwoDimPlotNTW.200";
    if (child && child == m_pPlotParameters) return "Dim2GraphControl.200";
    return Viewable::AttachedName(child);
}

Viewable* chiPlot::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    if (var.IsObjectLink() && !var.HasChildName()) {
        if (var.ObjectType() == "TwoDimPlotNTW" || var.ObjectType() == "TwoDimPlotObject") found = m_pPlot;
        if (var.ObjectType() == "Dim2GraphControl" || var.ObjectType() == "Dim2GraphControlObject")
            found = m_pPlotParameters;
    }
    if (!found) return Viewable::AttachedObject(var);
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

void chiPlot::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    if (dead == m_pOwner) m_pOwner = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

// ---- pointing at a curve ----

int CHIPlotViewInteraction::DescribePoint(double x, double y, Text& result) const {
    result.clear();
    const TwoDimPlot* plot = m_plot.GetPlot();
    double heatFlow = 0.0, temperature = 0.0;
    if (!plot || !plot->AxisValuesAt({x, y}, heatFlow, temperature, chiPlot::PictureWidth, chiPlot::PictureHeight))
        return 1;
    return DescribeValues(heatFlow, temperature, result);
}

int CHIPlotViewInteraction::DescribeValues(double heatFlow, double temperature, Text& result) const {
    result.clear();
    IHeatIntegrationScenario* scenario = m_plot.GetScenario();
    if (!m_plot.GetPlot() || !scenario || heatFlow == kEmpty || temperature == kEmpty) return 1;
    const double load = calc_unit(heatFlow, DefUnitConv(6));
    const double t = calc_unit(temperature, DefUnitConv(1));
    CPString buffer;
    if (scenario->GetStreamsAtCurvePoint(m_plot.GetGraphType(), load, t, buffer)) {
        if (buffer.size() > 2047) buffer.resize(2047);
        result = FormattedText("\n%s", buffer.c_str());
    }
    return 1;
}

// The exchanger view's texts (captions, names, status words, cost-law captions, formatted
// temperatures, duty and area), the names the user may change, the temperature-enthalpy plot and
// the ranking of the scenario's hot process streams by the duty each could take over from the
// exchanger's cold stream.
#include "views/design/HeatExchangerView.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/MessageKey.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/Resources.h"
#include "lumeth/TwoDimPlot.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <numeric>

namespace {

namespace NV = NodeValue;
constexpr double kEmpty = Viewable::EmptyValue;
constexpr int kProcess = 0, kHot = 0;

Text stringValue(const CNode* node, const char* name) {
    CPString s;
    return node && node->getVariableAsString(name, s) ? Text(s.c_str()) : Text();
}

// The exchanger's configuration: 1 fired heater, 0 exchanger, -1 another value or none.
int configuration(const HeatExch* model) {
    double v = kEmpty;
    if (!model || !model->getVariableAsDouble("HeatExchangerConfiguration", v)) return -1;
    return v == 1.0 ? 1 : v == 0.0 ? 0 : -1;
}

}  // namespace

Text HeatExchangerView::StatusWord(int code, const char* reasonKey) {
    switch (code) {
        case 0: return "Under-specified";
        case 2: return "Over-specified";
        case 3: return "Calculations OK";
        case 4: return Text("Infeasible: ") + (reasonKey && *reasonKey ? FindString(reasonKey) : Text());
        case 6: return "Failed to calculate";
        case 7: return "Partially calculated";
        case 8: return FindString("StreamUnderSpecified");
        case 9: return FindString("StreamSplitFractionNotDefined");
        default: return Text();
    }
}

Text HeatExchangerView::TemperatureText(int port) const {
    static const char* const kFormats[4] = {
        MessageKey("HotInletTemperatureText"), MessageKey("HotOutletTemperatureText"),
        MessageKey("ColdInletTemperatureText"), MessageKey("ColdOutletTemperatureText")};
    static const char* const kUndefined[4] = {
        MessageKey("HotInletTemperatureUndefined"), MessageKey("HotOutletTemperatureUndefined"),
        MessageKey("ColdInletTemperatureUndefined"), MessageKey("ColdOutletTemperatureUndefined")};
    const double t = KnownValue(PortNode(port), NV::Temperature);
    if (t == kEmpty) return FindString(kUndefined[port]);
    const UnitConversion unit = DefUnitConv(1, DefaultUnits);
    return FormatMessage(FindString(kFormats[port]), {FormattedText("%.17g", calc_ounit(t, unit)), unit.name});
}

Text HeatExchangerView::FormattedValue(const char* name, int kind) const {
    const double v = KnownValue(pNode, name);
    if (v == kEmpty) return FindString("DefEmptyText");
    const UnitConversion unit = DefUnitConv(kind, DefaultUnits);
    return FormattedText("%.4g %s", calc_ounit(v, unit), unit.name.c_str());
}

Text HeatExchangerView::TextValue(const VarDescription& var) {
    if (var.Type() != 1519) return Viewable::TextValue(var);
    const int n = var.Number(), i = var.Offset(0);
    // Texts that read the ports need the exchanger model.
    const bool model = pModel != nullptr;
    switch (n) {
        case 200: {
            if (!model) return Text();
            const int c = configuration(pModel);
            const Text prefix = c == 1 ? "Fired Heater " : c == 0 ? "Heat Exchanger " : "";
            return prefix + stringValue(pNode, NV::UnitOperationName);
        }
        case 201:
        case 202:
            if (!model) return Text();
            return FindString(n == 201 ? "HotStream" : "ColdStream") + " " +
                   stringValue(PortNode(n == 201 ? 0 : 2), NV::ParentStream);
        case 205: return stringValue(pNode, NV::UnitOperationName);
        case 222:
        case 223: {
            const int c = model ? configuration(pModel) : -1;
            if (c < 0) return Text();
            if (n == 222) return c == 1 ? "Fired Heater" : "Heat Exchanger";
            return c == 1 ? "Capital Cost Index = a + b * (Duty)^c" : "Capital Cost Index = a + b * (Area / Shells)^c * Shells";
        }
        case 500: return model ? StatusWord(pModel->getStatus(), pModel->InfeasibilityReasonKey()) : Text();
        case 570: return CandidateName(i);
        case 740:
        case 741:
        case 742:
        case 743: return model ? TemperatureText(n - 740) : Text();
        case 744: return FormattedValue(NV::Duty, 6);
        case 745: return FormattedValue(NV::HTArea, 41);
        case 765: return model && (i == 0 || i == 1) ? stringValue(PortNode(i == 0 ? 2 : 0), NV::ParentStream) : Text();
        case 770: return strNote;
        case 781:
        case 782:
        case 783:
        case 784: return stringValue(neighbourNodes[static_cast<std::size_t>(n - 781)], NV::UnitOperationName);
        case 791:
        case 792:
        case 793:
        case 794: return model ? stringValue(PortNode(n - 791), NV::UnitOperationName) : Text();
        default: return Viewable::TextValue(var);
    }
}

int HeatExchangerView::SpecifyText(const VarDescription& var, const Text& text) {
    if (var.Type() == 1519 && var.Number() == 205) {
        if (!pDesign || !pNode) return 0;
        // The lists' new-row marker is no name, and the user is told so rather than that it is taken.
        if (IsNewRowMarker(text.c_str())) return ErrorMsg("NewRowMarkerEntryName"), 0;
        // The design refuses an empty name and one another unit bears; the old name stays.
        if (pDesign->RenameUnit(CPString(text.c_str()), pNode)) {
            // Forms find the view by the unit's name.
            SetName(text);
            return 1;
        }
        ErrorMsg("HeatExchangerNameError", text);
        return 0;
    }
    if (var.Type() == 1519 && var.Number() == 770) {
        strNote = text;
        return 1;
    }
    return Viewable::SpecifyText(var, text);
}

bool HeatExchangerView::GenMessage(MessageInfo& info) {
    if (info.code != 6) return Viewable::GenMessage(info);
    info.answer = info.name == ":THPlot" && pModel ? pPlot : nullptr;
    if (info.answer) NameTemperatureEnthalpyPlot();
    return true;
}

void HeatExchangerView::NameTemperatureEnthalpyPlot() {
    // The title names the unit it shows (a renamed unit renames its plot when next shown).
    if (!pPlot) return;
    const Text unit = pNode ? stringValue(pNode, NV::UnitOperationName) : Text();
    pPlot->title = unit.empty() ? Text("Temperature Enthalpy Plot") : "Temperature Enthalpy Plot: " + unit;
}

// ---- the temperature-enthalpy plot ----

void HeatExchangerView::BuildTemperatureEnthalpyPlot() {
    if (pPlot) return;
    auto* plot = new TwoDimPlot(this);
    pPlot = plot;
    plot->AddDeathPostee(this);
    plot->GetLegend().placement = {10.0, 450.0};
    NameTemperatureEnthalpyPlot();
    plot->titleVisible = true;
    plot->titlePlacement = {300.0, 20.0};
    Axis* x = plot->GetXAxisPtr();
    Axis* y = plot->GetYAxisPtr();
    x->title = "Enthalpy";
    y->title = "Temperature";
    x->showUnits = y->showUnits = true;
    x->Show();
    y->Show();
    // The curves read the view's own variables: the model's profile arrays.
    XYDataStruct hot;
    hot.xVariable = "HeatFlow.210.[]";
    hot.yVariable = "Temperature.200.[]";
    hot.appearance.colour = RedColour();
    hot.appearance.style = 0;
    hot.label = "Hot Side";
    XYDataStruct cold;
    cold.xVariable = "HeatFlow.211.[]";
    cold.yVariable = "Temperature.201.[]";
    cold.appearance.colour = BlueColour();
    cold.appearance.style = 0;
    cold.label = "Cold Side";
    TwoDimDataPlotArea& area = plot->GetPlotArea();
    for (auto [record, number] : {std::pair{&hot, 1}, std::pair{&cold, 2}})
        if (PlottedData* set = area.CreateDataSet(record, number)) {
            set->SetName(record->label);
            set->appearance.flag = 0;
        }
}

// ---- candidate hot streams ----

HeatExchangerView::Candidate HeatExchangerView::EvaluateCandidate(double supply, double target, double load,
                                                                  double coldLoad, double coldSupply, double coldTarget,
                                                                  double dtMin) {
    Candidate c;
    // A stream that carries no heat, or carries it over no span, can take nothing over.
    if (!(load > 0.0) || supply == target) {
        c.duty = 0.0;
        return c;
    }
    // The candidate's outlet if it gave the cold stream's whole load, held an approach away from
    // the cold inlet and not past its own target.
    const double t = supply - coldLoad / load * (supply - target);
    c.outlet = t - dtMin > coldSupply ? std::max(t, target) : std::max(coldSupply + dtMin, target);
    c.duty = supply > c.outlet ? (supply - c.outlet) / (supply - target) * load : 0.0;
    if (coldLoad > 0.0) c.coldOutlet = coldTarget - (coldLoad - c.duty) / coldLoad * (coldTarget - coldSupply);
    return c;
}

bool HeatExchangerView::CandidateAt(int row, IHeatIntegrationStream*& out) {
    out = nullptr;
    if (!BindScenario()) return false;
    if (pScenario->GetNumberOfStreamsOfKind(kProcess, kHot) != nCandidateCount || candidateOrder.empty()) SortStreams();
    if (row < 0 || row >= static_cast<int>(candidateOrder.size())) return false;
    return pScenario->GetStreamOfKind(candidateOrder[static_cast<std::size_t>(row)], out, kProcess, kHot) && out;
}

namespace {

struct ColdSide {
    double load = 0.0, supply = 0.0, target = 0.0;
};

}  // namespace

void HeatExchangerView::SortStreams() {
    if (!pScenario) return;
    const int n = std::max(0, pScenario->GetNumberOfStreamsOfKind(kProcess, kHot));
    if (static_cast<int>(candidateOrder.size()) != n) candidateOrder.assign(static_cast<std::size_t>(n), 0);
    nCandidateCount = n;
    nZeroDutyCount = 0;
    ColdSide cold;
    if (IHeatIntegrationStream* s = StreamOf(PortNode(2))) cold = {s->GetHeatLoad(0), s->GetSupplyTemperature(), s->GetTargetTemperature()};
    const double dtMin = pScenario->GetDTmin();
    // A candidate the scenario cannot deliver ranks last.
    std::vector<double> keys(static_cast<std::size_t>(n), -1.0);
    for (int i = 0; i < n; ++i) {
        candidateOrder[static_cast<std::size_t>(i)] = i;
        IHeatIntegrationStream* s = nullptr;
        if (!pScenario->GetStreamOfKind(i, s, kProcess, kHot) || !s) continue;
        pCurrentCandidate = s;
        const double duty = EvaluateCandidate(s->GetSupplyTemperature(), s->GetTargetTemperature(), s->GetHeatLoad(0),
                                              cold.load, cold.supply, cold.target, dtMin)
                                .duty;
        keys[static_cast<std::size_t>(i)] = duty;
        if (duty == 0.0) ++nZeroDutyCount;
    }
    std::stable_sort(candidateOrder.begin(), candidateOrder.end(), [&](std::int32_t a, std::int32_t b) {
        return keys[static_cast<std::size_t>(a)] > keys[static_cast<std::size_t>(b)];
    });
}

Text HeatExchangerView::CandidateName(int row) {
    IHeatIntegrationStream* s = nullptr;
    if (!CandidateAt(row, s)) {
        pCurrentCandidate = nullptr;
        return Text();
    }
    pCurrentCandidate = s;
    return s->GetName().c_str();
}

double HeatExchangerView::CandidateValue(int type, int number, int row) {
    IHeatIntegrationStream* s = nullptr;
    if (!CandidateAt(row, s)) {
        pCurrentCandidate = nullptr;
        return kEmpty;
    }
    pCurrentCandidate = s;
    const double supply = s->GetSupplyTemperature(), target = s->GetTargetTemperature(), load = s->GetHeatLoad(0);
    if (type == 1 && number == 570) return supply;
    if (type == 1 && number == 571) return target;
    if (type == 6 && number == 570) return load;
    ColdSide cold;
    if (IHeatIntegrationStream* c = StreamOf(PortNode(2))) cold = {c->GetHeatLoad(0), c->GetSupplyTemperature(), c->GetTargetTemperature()};
    const Candidate c = EvaluateCandidate(supply, target, load, cold.load, cold.supply, cold.target, pScenario->GetDTmin());
    if (type == 1 && number == 572) return c.outlet;
    if (type == 1 && number == 573) return c.coldOutlet;
    if (type == 6 && number == 572) return c.duty;
    return kEmpty;
}

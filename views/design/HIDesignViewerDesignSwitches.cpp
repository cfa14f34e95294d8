// The switches the design forms set on one exchanger: the minimum-area option, which of duty,
// area or outlet temperature a heater or cooler keeps, utilities at the ports, taking the
// simulator's coefficient and shells, the overall coefficient given by the user, and the
// exchanger taken off line. Like every exchanger write, an accepted switch hands the design its
// change handling once, so the network recalculates.
#include "eng/design/IHENDesign.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/design/DesignValueRows.h"

namespace {

using V = HIDesignViewerDesign;
using L = V::ValueRow::List;
constexpr double kEmpty = Viewable::EmptyValue;
constexpr int kFlowsheetChanged = 17;

double current(const CNode& node, const char* name) {
    double v = 0.0;
    return node.getVariableAsDouble(name, v) ? v : 0.0;
}

// The row list of each exchanger switch.
struct SwitchRow {
    int type, number;
    L list;
};
const SwitchRow kSwitches[] = {
    {104, 221, L::Direct},   {104, 315, L::Direct},   {104, 316, L::Filtered},           {104, 317, L::Filtered},
    {104, 318, L::UnconfiguredCooler}, {104, 319, L::UnconfiguredHeater}, {104, 351, L::Filtered},
    {104, 352, L::Filtered}, {104, 353, L::Filtered}, {104, 354, L::Filtered},
    {104, 355, L::UnconfiguredCooler}, {104, 356, L::UnconfiguredHeater}, {104, 599, L::Filtered},
    {104, 600, L::Filtered}, {104, 601, L::Direct},   {1524, 701, L::Filtered},
};

// A heater or cooler keeps one of its duty or its outlet temperature (`kept`, status 1) and has
// its area follow it, or keeps its area (the value 1): the area is then specified at what it
// is now and the other value becomes calculated. Other values change nothing.
bool keepAreaOrValue(CNode& unit, CNode& holder, const char* name, double value) {
    if (value != 0.0 && value != 1.0) return false;
    const double area = current(unit, "HTArea"), other = current(holder, name);
    if (value == 1.0) {
        holder.addVariable(name, other, 2, 0);
        unit.addVariable("HTArea", area, 0, 0);
        unit.addVariable("HTArea", area, 1, 0);
    } else {
        unit.addVariable("HTArea", area, 2, 0);
        holder.addVariable(name, other, 0, 0);
        holder.addVariable(name, other, 1, 0);
    }
    return true;
}

// The simulator's coefficient and shells adopted (1), or given back to the calculation.
bool adoptSimulatorValues(HeatExch& hx, double value) {
    if (value == 1.0) {
        const double u = current(hx, "SimOverallU");
        if (!(u > 0.0)) return false;
        hx.SetSimOverallUSpec(true);
        hx.addVariable("SimOverallUSpec", 1.0, 1, 0);
        hx.addVariable("OverallHTC", u, 0, 0);
        if (const double shells = current(hx, "SimNShells"); shells > 0.0) {
            hx.addVariable("ShellsInSeriesSpecified", 1.0, 1, 0);
            hx.addVariable("NShellsInSeries", 0.0, 0, 0);
            hx.addVariable("NShellsInSeries", shells, 1, 0);
        }
        if (const double parallel = current(hx, "SimNShellsParallel"); parallel > 0.0) {
            hx.addVariable("ShellsInParallelSpecified", 1.0, 1, 0);
            hx.addVariable("NShellsInParallel", 0.0, 0, 0);
            hx.addVariable("NShellsInParallel", parallel, 1, 0);
        }
        hx.SetOverallUSpec(true);
        hx.addVariable("OverallUSpec", 1.0, 1, 0);
        hx.calculateAreaFromOverallU();
        return true;
    }
    hx.SetSimOverallUSpec(false);
    hx.addVariable("SimOverallUSpec", 0.0, 1, 0);
    hx.addVariable("HTArea", kEmpty, 0, 0);
    hx.addVariable("OverallHTC", 0.0, 0, 0);
    hx.addVariable("SpecStatus", 0.0, 1, 0);
    if (!hx.IsUtilityExch()) hx.calculate(kFlowsheetChanged);
    else hx.calculateArea();
    return true;
}

// The overall coefficient given by the user (1: the present one is kept as given and the area
// follows from it), or calculated again.
void specifyOverallU(HeatExch& hx, double value) {
    if (value == 1.0) {
        const double u = current(hx, "OverallHTC");
        hx.SetOverallUSpec(true);
        hx.addVariable("OverallUSpec", 1.0, 1, 0);
        hx.addVariable("OverallHTC", u, 1, 0);
        hx.calculateAreaFromOverallU();
        return;
    }
    hx.SetOverallUSpec(false);
    hx.SetSimOverallUSpec(false);
    hx.addVariable("SimOverallUSpec", 0.0, 1, 0);
    hx.addVariable("ShellsInSeriesSpecified", 0.0, 1, 0);
    hx.addVariable("ShellsInParallelSpecified", 0.0, 1, 0);
    hx.addVariable("OverallUSpec", 0.0, 1, 0);
    hx.addVariable("HTArea", kEmpty, 0, 0);
    hx.addVariable("OverallHTC", 0.0, 0, 0);
    hx.addVariable("SpecStatus", 0.0, 1, 0);
    // A utility exchanger is recalculated by the design's change handling alone.
    if (!hx.IsUtilityExch()) hx.calculate(kFlowsheetChanged);
}

}  // namespace

void HIDesignViewerDesign::AddSwitchAddresses(std::vector<WriteAddress>& out) {
    for (const SwitchRow& s : kSwitches) out.push_back({s.type, s.number, 1});
}

int HIDesignViewerDesign::SpecifyExchangerSwitch(const VarDescription& var, double value) {
    const SwitchRow* r = nullptr;
    for (const SwitchRow& s : kSwitches)
        if (s.type == var.Type() && s.number == var.Number()) r = &s;
    if (!r) return -1;
    CNode* unit = WriteRowUnit(static_cast<int>(r->list), var.Offset(0));
    if (!unit) return 0;
    HeatExch* hx = AsHeatExch(unit);
    const auto changed = [this] {
        pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
        return 1;
    };
    switch (r->number) {
        case 221: unit->addVariable("AreaMinimum", value == 1.0 ? 0.0 : 1.0, 1, 0); return changed();
        case 315:
        case 317: unit->addVariable("AreaMinimum", value != 0.0 ? 1.0 : 0.0, 1, 0); return changed();
        case 316: ShowDrivingForcePlot(UnitName(unit)); return 1;
        case 318:
        case 319: {
            if (!hx || !keepAreaOrValue(*unit, *unit, "Duty", value)) return 0;
            hx->setUCalculationMethod(value == 1.0 ? "FlowCorrecBased" : "StreamBased");
            return changed();
        }
        case 351: case 352: case 353: case 354: {
            // Ports: 0 hot-side feed, 1 cold-side feed, 2 hot-side product, 3 cold-side product.
            static constexpr int kPorts[] = {2, 3, 0, 1};
            const int port = kPorts[r->number - 351];
            // The design sends its own change when it adds or removes the utility.
            if (value == 1.0) return pDesign->CanRemoveUtilityAtPort(unit, port) && pDesign->RemoveUtilityAtPort(unit, port) ? 1 : 0;
            return pDesign->CanAddUtilityAtPort(unit, port) && pDesign->AddUtilityAtPort(unit, port) ? 1 : 0;
        }
        case 355:
        case 356: {
            CNode* outlet = hx ? (r->number == 355 ? static_cast<CNode*>(hx->getOutlet(0)) : hx->getOutlet(1)) : nullptr;
            if (!outlet || !keepAreaOrValue(*unit, *outlet, "Temperature", value)) return 0;
            return changed();
        }
        case 599:
            if (!hx || !adoptSimulatorValues(*hx, value)) return 0;
            return changed();
        case 600:
            if (!hx) return 0;
            specifyOverallU(*hx, value);
            return changed();
        case 601: unit->addVariable("ExchangerIsOffLine", value, 1, 0); return changed();
        case 701:
            // Only an exchanger whose overall coefficient is given takes one.
            if (!hx || value == kEmpty || value < 0.0 || !hx->GetOverallUSpec()) return 0;
            hx->addVariable("OverallHTC", value, 1, 0);
            hx->calculateAreaFromOverallU();
            return changed();
        default: return -1;
    }
}

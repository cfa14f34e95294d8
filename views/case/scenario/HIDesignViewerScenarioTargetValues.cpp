// The targeting pages' numbers: pinch temperatures, curve points, area-target matches, energy,
// area, unit, shell and cost targets, the target table beside the existing network, and the
// units-target table. Almost every row is one call of the scenario with fixed arguments.
#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/UtilityCover.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/AnnualisedCosts.h"
#include "views/case/scenario/ScenarioPinches.h"

#include <cmath>

using namespace scenario_values;

namespace {

using Var = const VarDescription&;
using Scenario = const IHeatIntegrationScenario&;

// The utility target (or its cost) of the side pair the utility lists show: the first pair,
// or the second when index 1 is 1. Both sides: the sum; one side: that side; none: empty.
template <typename Both, typename Side>
double bySides(HIDesignViewerScenario& v, Var var, Both both, Side side) {
    const bool second = var.Offset(0) == 1;
    const int hot = second ? v.option100_247 : v.option100_250;
    const int cold = second ? v.option100_248 : v.option100_249;
    if (hot == 1 && cold == 1) return both();
    if (hot == 1 && cold == 0) return side(0);
    if (hot == 0 && cold == 1) return side(1);
    return kEmpty;
}

// The total annual cost target; empty without a plant life, where no capital can be annualised and
// the operating cost alone would pass for the total.
double totalAnnualCostTarget(HIDesignViewerScenario& v) {
    return annualised_costs::TotalAnnualCostTarget(*v.GetmyScenario());
}

}  // namespace

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::TargetRows() {
    static const std::vector<Row> rows = {
        // Pinch and curve values.
        {.type = 1, .number = 200, .read = [](V& v, Var var) { return scenario_pinches::Temperature(*v.myScenario, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 203, .read = [](V& v, Var var) { return scenario_pinches::Temperature(*v.myScenario, 1, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 201, .read = [](V& v, Var var) { return v.myScenario->GetPinchListEntryFirstValue(var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 202, .read = [](V& v, Var var) { return v.myScenario->GetPinchListEntryThirdValue(var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 220, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(0, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 222, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(5, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 250, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(3, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 251, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(4, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 252, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(8, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 253, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(9, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 254, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(6, 0, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 255, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(7, 0, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 221, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(0, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 223, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(5, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 250, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(3, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 251, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(4, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 252, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(8, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 253, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(9, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 254, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(6, 1, var.Offset(0)); }, .dims = 1},
        {.type = 6, .number = 255, .read = [](V& v, Var var) { return v.myScenario->GetTargetCurveValue(7, 1, var.Offset(0)); }, .dims = 1},
        // The target-curve temperatures of the area-target matches and their two ends.
        {.type = 1, .number = 226, .read = [](V& v, Var var) { return v.myScenario->GetAreaTargetMatchValue(1, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 228, .read = [](V& v, Var var) { return v.myScenario->GetAreaTargetMatchValue(2, var.Offset(0)); }, .dims = 1},
        {.type = 1, .number = 701, .read = [](V& v, Var var) {
             const int i = var.Offset(0);
             if (i == 0) return v.myScenario->GetAreaTargetMatchValue(2, 0);
             if (i == 1) return v.myScenario->GetAreaTargetMatchValue(1, v.myScenario->GetNumberOfAreaTargetMatches() - 1);
             return kEmpty;
         }, .dims = 1},
        {.type = 1, .number = 702, .read = [](V& v, Var var) {
             const int i = var.Offset(0);
             if (i == 0) return v.myScenario->GetAreaTargetMatchValue(2, 0);
             if (i == 1) return v.myScenario->GetAreaTargetMatchValue(1, v.myScenario->GetNumberOfAreaTargetMatches() - 1);
             return kEmpty;
         }, .dims = 1},
        {.type = 1517, .number = 1, .read = [](V& v, Var) { return v.myScenario->GetDTmin(); }},
        {.type = 100, .number = 661, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfCurvePoints(0)); }},
        {.type = 100, .number = 662, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfCurvePoints(3)); }},
        {.type = 100, .number = 663, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfCurvePoints(4)); }},
        {.type = 100, .number = 664, .read = [](V& v, Var) {
             return double(v.myScenario->GetNumberOfCurvePoints(6) + v.myScenario->GetNumberOfCurvePoints(7));
         }},
        {.type = 100, .number = 290, .read = [](V& v, Var) { return double(v.myScenario->GetUnitsTargetMILPFlag()); }},

        // Energy, area, unit and cost targets.
        {.type = 6, .number = 107, .guard = G::ProcessStreams, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(0); }},
        {.type = 6, .number = 108, .guard = G::ProcessStreams, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(1); }},
        {.type = 6, .number = 109, .guard = G::ProcessStreams, .read = [](V& v, Var) {
             return v.myScenario->GetUtilityTarget(0) + v.myScenario->GetUtilityTarget(1);
         }},
        {.type = 6, .number = 106, .guard = G::ProcessStreams, .read = [](V& v, Var var) {
             const IHeatIntegrationScenario* s = v.myScenario;
             return bySides(v, var, [&] { return s->GetUtilityTarget(0) + s->GetUtilityTarget(1); },
                            [&](int side) { return s->GetUtilityTarget(side); });
         }, .dims = 1},
        {.type = 6, .number = 655, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(0); }},
        {.type = 6, .number = 750, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(0); }},
        {.type = 6, .number = 656, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(1); }},
        {.type = 6, .number = 752, .read = [](V& v, Var) { return v.myScenario->GetUtilityTarget(1); }},
        // No area target is 0: the scenario answers 0 where it has none (the utilities cannot cover
        // the targets, or an area LP on countercurrent exchangers gave no shell-and-tube area), which the results show not
        // available. Areas, shells and costs are results of the placed utilities: where those do
        // not cover the targets, every row of them reads empty, as `targets` prints them not
        // available.
        {.type = 1508, .number = 200, .guard = G::ProcessStreams, .read = [](V& v, Var) { return v.myScenario->GetAreaTarget(0); },
         .zeroIsEmpty = true},
        {.type = 1508, .number = 201, .guard = G::ProcessStreams, .read = [](V& v, Var) { return v.myScenario->GetAreaTarget(1); },
         .zeroIsEmpty = true},
        {.type = 1508, .number = 652, .guard = G::Covered, .read = [](V& v, Var) { return v.myScenario->GetAreaTarget(1); }},
        {.type = 1519, .number = 653, .guard = G::Covered, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfShellsTarget()); }},
        {.type = 1519, .number = 451, .read = [](V& v, Var) {
             return v.myScenario->GetUtilityTarget(0) > 0.0 || v.myScenario->GetUtilityTarget(1) > 0.0 ? 1.0 : 30.0;
         }},
        {.type = 31000, .number = 654, .guard = G::Covered, .read = [](V& v, Var) { return v.myScenario->GetCostTarget(7); }},
        {.type = 31000, .number = 551, .guard = G::Covered, .read = [](V& v, Var) { return v.myScenario->GetCostTarget(7); }, .zeroIsEmpty = true},
        {.type = 31001, .number = 651, .guard = G::Covered, .read = [](V& v, Var) { return totalAnnualCostTarget(v); }},
        {.type = 31001, .number = 657, .guard = G::Covered, .read = [](V& v, Var) { return v.myScenario->GetCostTarget(4); }},
        {.type = 31001, .number = 302, .guard = G::Covered, .read = [](V& v, Var) { return v.myScenario->GetCostTarget(4); }, .zeroIsEmpty = true},
        {.type = 31001, .number = 303, .guard = G::Covered, .read = [](V& v, Var) { return totalAnnualCostTarget(v); }, .zeroIsEmpty = true},
        {.type = 31001, .number = 304, .read = [](V& v, Var) { return v.GetUtilityTargetCost(0); }},
        {.type = 31001, .number = 750, .read = [](V& v, Var) { return v.GetUtilityTargetCost(0); }},
        {.type = 31001, .number = 305, .read = [](V& v, Var) { return v.GetUtilityTargetCost(1); }},
        {.type = 31001, .number = 752, .read = [](V& v, Var) { return v.GetUtilityTargetCost(1); }},
        {.type = 31001, .number = 301, .read = [](V& v, Var var) {
             // Both sides: the operating cost target, a result of covered targets only; one side:
             // the cost of that side's utility loads as they stand.
             return bySides(v, var, [&] {
                 return utility_cover::UtilitiesCoverTargets(*v.myScenario) ? v.myScenario->GetCostTarget(4) : kEmpty;
             },
                            [&](int side) { return v.GetUtilityTargetCost(side); });
         }, .dims = 1},

        // The target table: index 1 is the column (target, existing network, agreement in percent).
        {.type = 1519, .number = 260, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return s.GetUtilityTarget(0); });
         }, .dims = 1},
        {.type = 1519, .number = 261, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return s.GetUtilityTarget(1); });
         }, .dims = 1},
        {.type = 1519, .number = 262, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return s.GetAreaTarget(1); });
         }, .dims = 1},
        {.type = 1519, .number = 263, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return s.GetCostTarget(7); });
         }, .dims = 1},
        {.type = 1519, .number = 264, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return s.GetCostTarget(4); });
         }, .dims = 1},
        {.type = 1519, .number = 265, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return annualised_costs::TotalAnnualCostTarget(s); });
         }, .dims = 1},
        {.type = 1519, .number = 266, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return double(s.GetMinimumNumberOfUnits(0)); });
         }, .dims = 1},
        {.type = 1519, .number = 267, .read = [](V& v, Var var) {
             return v.TargetTableValue(var, [](Scenario s) { return double(s.GetNumberOfShellsTarget()); });
         }, .dims = 1},

        // The units-target table: entry (row) and position (column) in the group of the variable.
        {.type = 1, .number = 125, .read = [](V& v, Var var) { return v.UnitsTargetStreamValue(var, v.option105_127, true); }, .dims = 2},
        {.type = 1, .number = 128, .read = [](V& v, Var var) { return v.UnitsTargetStreamValue(var, v.selectedRow, true); }, .dims = 2},
        {.type = 1, .number = 127, .read = [](V& v, Var var) { return v.UnitsTargetStreamValue(var, v.option105_127, false); }, .dims = 2},
        {.type = 1, .number = 130, .read = [](V& v, Var var) { return v.UnitsTargetStreamValue(var, v.selectedRow, false); }, .dims = 2},
        {.type = 1, .number = 126, .read = [](V& v, Var var) {
             return v.myScenario->GetUnitsTargetEntryValue(var.Offset(1), var.Offset(0), v.option105_127);
         }, .dims = 2},
        {.type = 1, .number = 129, .read = [](V& v, Var var) {
             return v.myScenario->GetUnitsTargetEntryValue(var.Offset(1), var.Offset(0), v.selectedRow);
         }, .dims = 2},
        {.type = 6, .number = 225, .read = [](V& v, Var var) { return v.LoadBalance(var.Offset(0), v.option105_127, true); }, .dims = 1},
        {.type = 6, .number = 800, .read = [](V& v, Var var) { return v.LoadBalance(var.Offset(0), v.option105_127, false); }, .dims = 1},
        {.type = 6, .number = 801, .read = [](V& v, Var var) { return v.LoadBalance(var.Offset(0), v.selectedRow, false); }, .dims = 1},
    };
    return rows;
}

double HIDesignViewerScenario::TargetTableValue(const VarDescription& var, double (*target)(const IHeatIntegrationScenario&)) {
    switch (var.Offset(0)) {
        case 0: return myScenario->GetNumberOfProcessStreams() == 0 ? kEmpty : target(*myScenario);
        case 1: return GetBaseCaseInfo(var);
        case 2: {
            const double t = target(*myScenario);
            return t == kEmpty ? kEmpty : Compare(t, GetBaseCaseInfo(var));
        }
        default: return kEmpty;
    }
}

double HIDesignViewerScenario::UnitsTargetStreamValue(const VarDescription& var, int group, bool supply) {
    const char* name = myScenario->GetUnitsTargetEntryName(var.Offset(1), var.Offset(0), group);
    IHeatIntegrationStream* stream = nullptr;
    if (!name || !myScenario->GetStream(CPString(name), stream) || !stream) {
        workStream = nullptr;
        return kEmpty;
    }
    workStream = stream;
    return supply ? stream->GetSupplyTemperature() : stream->GetTargetTemperature();
}

// The cold load of the entry's streams less their hot load.
double HIDesignViewerScenario::LoadBalance(int entry, int group, bool emptyWithoutNames) {
    const int n = myScenario->GetNumberOfUnitsTargetEntryNames(group, entry);
    if (n <= 0) return emptyWithoutNames ? kEmpty : 0.0;
    double sum = 0.0;
    for (int p = 0; p < n; ++p) {
        const char* name = myScenario->GetUnitsTargetEntryName(p, entry, group);
        IHeatIntegrationStream* stream = nullptr;
        if (!name || !myScenario->GetStream(CPString(name), stream) || !stream) {
            workStream = nullptr;
            continue;
        }
        workStream = stream;
        const double load = std::fabs(stream->GetHeatLoad(0));
        sum += stream->GetHotCold() == 0 ? -load : load;
    }
    return sum;
}

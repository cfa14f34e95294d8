// The numbers of the scenario viewer's design pages: the selected design and its utilities, the
// rows of the ranked design list and the design matrix against the targets, the targets beside the
// simulation base case, and the comparison columns and percentage matrices of the scenario page.
// The getters they lean on (GetDesignInfo, GetMatrixInfo, GetBaseCaseInfo, ...) stand in the
// comparison and retrofit files.
#include "brasko/DefaultUtilityTypes.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "pellin/CNode.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/AnnualisedCosts.h"

#include <algorithm>

using namespace scenario_values;

namespace {

using Var = const VarDescription&;
using Stream = IHeatIntegrationStream&;
using design_values::exchangerAt;

// The design the viewer shows (null without a selected design viewer).
IHENDesign* selected(V& v) { return v.GetSelectedDesign(v.GetCurrentDesign()); }
// The design of row index 1 of the ranked design list.
IHENDesign* rowDesign(V& v, Var var) { return v.GetEngineeringDesign(var.Offset(0), 1); }
// The design the simulation case was imported as.
IHENDesign* simulationBaseCase(V& v) {
    IHENDesign* d = nullptr;
    return v.GetmyScenario()->GetDesign(IHeatIntegrationScenario::ExtractedNetworkDesignName, d) ? d : nullptr;
}

bool hasExchangers(const IHENDesign* d) { return d && d->GetNumberOfHeatExchangers() > 0; }

// A named value of exchanger `index` of a design; empty when the design, the exchanger or the
// value is missing.
double exchangerValue(const IHENDesign* d, int index, const char* name) {
    const CNode* unit = exchangerAt(d, index);
    double out = kEmpty;
    return unit && unit->getVariableAsDouble(name, out) ? out : kEmpty;
}


}  // namespace

// A design's payback time in years (the engine keeps seconds): the time the utility cost it saves
// against the retrofit base design takes to repay what it cost. Without a base design there is
// no saving, so no payback (the engine's figure would be a negative time); the base itself, a
// design without exchangers and one whose network does not calculate have none either.
double HIDesignViewerScenario::PaybackYears(const IHENDesign& design) const {
    IHENDesign* base = nullptr;
    if (!myScenario || !myScenario->GetRetrofitBaseDesign(base) || !base || base == &design || !hasExchangers(&design) ||
        !design.IsNetworkCalculated())
        return kEmpty;
    UnitConversion years;
    if (!get_unit(44, "years", DefaultUnits, years)) years = DefUnitConv(44, DefaultUnits);
    return calc_ounit(design.GetPaybackTime(), years);
}

namespace {

// The utility side of the selected design's utility totals: index 1 = 1 hot, 2 cold, else the
// side pair of the utility table (both sides give no side).
int totalsSide(V& v, Var var) {
    const int i = var.Offset(0);
    if (i == 1) return 0;
    if (i == 2) return 1;
    const int s = v.GetUtilHeatType();
    return s > 1 ? -1 : s;
}

// The exchanger of the selected design that row index 1 of the design viewer's exchanger table
// shows, by the viewer's filter: 9 every exchanger, 1 process exchangers, 3 to 8 utility
// exchangers; any other filter shows the first.
int flaggedExchanger(const HIDesignViewerDesign& viewer, int row) {
    const int filter = static_cast<int>(viewer.GetExchangerFilter());
    if (filter == 9) return row;
    if (filter == 1) return viewer.GetProcessExchangerIndex(row);
    if (filter >= 3 && filter <= 8) return viewer.GetUtilityExchangerIndex(row);
    return 0;
}

// Target t beside the simulation base case: index 1 = 0 the target, else the base case's figure.
template <double (*Target)(V&), double (*Base)(const IHENDesign&)>
double besideBaseCase(V& v, Var var) {
    if (var.Offset(0) == 0) return Target(v);
    const IHENDesign* b = simulationBaseCase(v);
    return b ? Base(*b) : kEmpty;
}

// The same pair as a percentage: index 1 = 0 the basis of the target, else the base case's share
// of it.
template <double (*Target)(V&), double (*Base)(const IHENDesign&)>
double shareOfBaseCase(V& v, Var var) {
    const double t = Target(v);
    if (var.Offset(0) == 0) return V::ComparisonBasis(t);
    const IHENDesign* b = simulationBaseCase(v);
    return V::Compare(t, b ? Base(*b) : kEmpty);
}

double shellsTarget(V& v) { return v.GetmyScenario()->GetNumberOfShellsTarget(); }
double hotTarget(V& v) { return v.GetmyScenario()->GetUtilityTarget(0); }
double coldTarget(V& v) { return v.GetmyScenario()->GetUtilityTarget(1); }
double capitalTarget(V& v) { return v.GetmyScenario()->GetCostTarget(7); }
double areaTarget(V& v) { return v.GetmyScenario()->GetAreaTarget(1); }
double annualCostTarget(V& v) { return annualised_costs::TotalAnnualCostTarget(*v.GetmyScenario()); }
double operatingTarget(V& v) { return v.GetmyScenario()->GetCostTarget(4); }

double shellsOf(const IHENDesign& d) { return d.GetTotalNumberOfShells(); }
double hotLoadOf(const IHENDesign& d) { return d.GetTotalUtilityLoad(0); }
double coldLoadOf(const IHENDesign& d) { return d.GetTotalUtilityLoad(1); }
double capitalOf(const IHENDesign& d) { return d.GetTotalCapitalCost(); }
double areaOf(const IHENDesign& d) { return d.GetTotalArea(); }
double annualCostOf(const IHENDesign& d) { return annualised_costs::TotalAnnualCost(d); }
double operatingOf(const IHENDesign& d) { return d.GetTotalUtilityCost(2); }

// The agreement of design row index 1 with a target (type 110).
template <double (*Target)(V&), double (*Of)(const IHENDesign&)>
double againstTarget(V& v, Var var) {
    const IHENDesign* d = rowDesign(v, var);
    return V::Compare(Target(v), d ? Of(*d) : kEmpty);
}
double unitsTarget(V& v) { return v.GetmyScenario()->GetMinimumNumberOfUnits(1); }
double exchangersOf(const IHENDesign& d) { return d.GetNumberOfHeatExchangers(); }

// A design-row read: empty without the row's design.
template <double (*Of)(const IHENDesign&), bool NeedsExchangers = false>
double ofRow(V& v, Var var) {
    const IHENDesign* d = rowDesign(v, var);
    if (!d || (NeedsExchangers && !hasExchangers(d))) return kEmpty;
    return Of(*d);
}
double addedAreaOf(const IHENDesign& d) { return d.GetTotalAddedArea(); }
double allUtilityCostOf(const IHENDesign& d) { return d.GetTotalUtilityCost(2); }

// A named value of exchanger index 1 of the selected design.
template <const char* const* Name>
double selectedExchanger(V& v, Var var) {
    return exchangerValue(selected(v), var.Offset(0), *Name);
}
const char* const kExShell = "ExShell";
const char* const kAdShell = "AdShell";
const char* const kTotalNShells = "TotalNShells";
const char* const kExArea = "ExArea";
const char* const kHTArea = "HTArea";
const char* const kAddArea = "AddArea";
const char* const kAddCapCost = "AddCapCost";

// The selected design's utility load (or cost) of a side chosen by index 1 (0 hot, 1 cold); a
// design without exchangers shows none.
template <bool Cost>
double selectedUtilityTotal(V& v, Var var) {
    const IHENDesign* d = selected(v);
    const int i = var.Offset(0);
    if (!hasExchangers(d) || (i != 0 && i != 1)) return kEmpty;
    return Cost ? d->GetTotalUtilityCost(i) : d->GetTotalUtilityLoad(i);
}

// The same by the side of totalsSide.
template <bool Cost>
double selectedSideTotal(V& v, Var var) {
    const IHENDesign* d = selected(v);
    const int s = totalsSide(v, var);
    if (!d || s < 0) return kEmpty;
    return Cost ? d->GetTotalUtilityCost(s) : d->GetTotalUtilityLoad(s);
}

// The design value of a utility row (GetUtilityDesignInfo); `IndexTwoZero` asks index 2 = 0.
template <bool IndexTwoZero = false>
double utilityDesignValue(V& v, Stream s, Var var) {
    if (IndexTwoZero && var.Offset(1) != 0) return kEmpty;
    return v.GetUtilityDesignInfo(var, &s);
}
double utilityShareOfLoad(V& v, Stream s, Var var) {
    return V::Compare(s.GetHeatLoad(0), v.GetUtilityDesignInfo(var, &s));
}
double utilityPercentOfLoad(V& v, Stream s, Var var) {
    const double load = s.GetHeatLoad(0);
    if (load == 0.0) return kEmpty;
    // No design selected: no load to compare, so no share either.
    const double used = v.GetUtilityDesignInfo(var, &s);
    if (used == kEmpty) return kEmpty;
    return 100.0 * used / load;
}

// A comparison column of the scenario page: index 1 = 0 the base design, 1 the target side's
// value, 2 the selected design; index 2 must be 0.
template <double (*Middle)(V&)>
double comparisonColumn(V& v, Var var) {
    if (var.Offset(1) != 0) return kEmpty;
    switch (var.Offset(0)) {
        case 0: return v.GetBaseCaseInfo(var);
        case 1: return Middle(v);
        case 2: return v.GetDesignInfo(var);
        default: return kEmpty;
    }
}
double hotUtilityCost(V& v) { return v.UtilityCost(0); }
double coldUtilityCost(V& v) { return v.UtilityCost(1); }

// Columns 0 and 1 of the exchanger comparison: the base design and the selected design.
double baseOrDesign(V& v, Var var, double third) {
    switch (var.Offset(0)) {
        case 0: return v.GetBaseCaseInfo(var);
        case 1: return v.GetDesignInfo(var);
        case 2: return third;
        default: return kEmpty;
    }
}
// The added figures of the selected design viewer's design, by its name; empty without one.
double addedBySelected(V& v, Var var) {
    const HIDesignViewerDesign* current = v.GetCurrentDesign();
    return current ? v.GetHXInfoByDNA(current->GetName(), var) : kEmpty;
}

// The percentage matrix of the scenario page (1519/270 to 273): index 2 the reference column,
// index 1 the row. `X` is the middle figure of the row's quantity; `DesignRowsBeyond` whether rows
// past 2 read the selected design in the X column.
template <double (*X)(V&), bool DesignRowsBeyond>
double percentageMatrix(V& v, Var var) {
    const int row = var.Offset(0);
    switch (var.Offset(1)) {
        case 1: {
            const double b = v.GetBaseCaseInfo(var);
            if (row == 0) return V::ComparisonBasis(b);
            if (row == 1) return V::Compare(b, X(v));
            if (row == 2) return V::Compare(b, v.GetDesignInfo(var));
            return V::Compare(b, kEmpty);
        }
        case 2: {
            const double x = X(v);
            if (row == 1) return V::ComparisonBasis(x);
            if (row == 0) return V::Compare(x, v.GetBaseCaseInfo(var));
            if (row == 2 || DesignRowsBeyond) return V::Compare(x, v.GetDesignInfo(var));
            return V::Compare(x, kEmpty);
        }
        default: return kEmpty;
    }
}

// A utility row against the base case (1519/280 to 282): index 3 chooses the quantity (0 load,
// 1 operating cost), index 2 the column.
double utilityAgainstBase(V& v, Stream s, Var var) {
    const int which = var.Offset(2), column = var.Offset(1);
    if ((which != 0 && which != 1) || (column != 1 && column != 2)) return kEmpty;
    const double q = which == 0 ? s.GetHeatLoad(0) : s.GetOperatingCost();
    switch (var.Number()) {
        case 280: {
            const double b = v.GetBaseCaseInfo(var);
            return column == 1 ? V::ComparisonBasis(b) : V::Compare(q, b);
        }
        case 281: return column == 1 ? V::Compare(v.GetBaseCaseInfo(var), q) : V::ComparisonBasis(q);
        case 282: {
            const double u = v.GetUtilityDesignInfo(var, &s);
            return column == 1 ? V::Compare(v.GetBaseCaseInfo(var), u) : V::Compare(q, u);
        }
        default: return kEmpty;
    }
}

}  // namespace

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::DesignRows() {
    static const std::vector<Row> rows = {
        // ---- the selected design ----
        {.type = 1519, .number = 203, .read = selectedExchanger<&kExShell>, .dims = 1},
        {.type = 1519, .number = 205, .read = selectedExchanger<&kAdShell>, .dims = 1},
        {.type = 1519, .number = 206, .read = selectedExchanger<&kTotalNShells>, .dims = 1},
        {.type = 1508, .number = 203, .read = selectedExchanger<&kExArea>, .dims = 1},
        {.type = 1508, .number = 204, .read = selectedExchanger<&kHTArea>, .dims = 1},
        {.type = 1508, .number = 205, .read = selectedExchanger<&kAddArea>, .dims = 1},
        {.type = 31000, .number = 203, .read = selectedExchanger<&kAddCapCost>, .dims = 1},
        {.type = 6, .number = 320, .read = selectedUtilityTotal<false>, .dims = 1},
        {.type = 31001, .number = 320, .read = selectedUtilityTotal<true>, .dims = 1},
        {.type = 6, .number = 622, .read = selectedSideTotal<false>, .dims = 1},
        {.type = 31001, .number = 622, .read = selectedSideTotal<true>, .dims = 1},
        {.type = 1519, .number = 622, .read = [](V& v, Var var) {
             const IHENDesign* d = selected(v);
             const int s = totalsSide(v, var);
             if (!d || s < 0) return kEmpty;
             return V::Compare(v.GetmyScenario()->GetUtilityTarget(s), d->GetTotalUtilityLoad(s));
         }, .dims = 1},
        {.type = 100, .number = 200, .read = [](V& v, Var) {
             const IHENDesign* d = selected(v);
             return d ? flag(d->GetOperationLocked()) : kEmpty;
         }},
        // Whether the exchanger of the design viewer's row was sized to its minimum area.
        {.type = 104, .number = 315, .read = [](V& v, Var var) {
             const HIDesignViewerDesign* viewer = v.GetCurrentDesign();
             const IHENDesign* d = selected(v);
             if (!viewer || !d) return 0.0;
             const CNode* unit = exchangerAt(d, flaggedExchanger(*viewer, var.Offset(0)));
             long minimum = 0;
             return flag(unit && unit->getVariableAsInteger("AreaMinimum", minimum) && minimum == 1);
         }, .dims = 1},

        // ---- rows of the ranked design list ----
        {.type = 1519, .number = 201, .read = [](V& v, Var var) {
             const IHENDesign* d = rowDesign(v, var);
             return d ? v.PaybackYears(*d) : kEmpty;
         }, .dims = 1},
        {.type = 1519, .number = 610, .read = ofRow<shellsOf>, .dims = 1},
        {.type = 1519, .number = 800, .read = ofRow<exchangersOf>, .dims = 1},
        {.type = 31000, .number = 202, .read = [](V& v, Var var) {
             IHENDesign* d = rowDesign(v, var);
             return d && d->IsNetworkCalculated() ? d->CalculateCapitalCost() : kEmpty;
         }, .dims = 1},
        {.type = 31000, .number = 611, .read = ofRow<capitalOf>, .dims = 1},
        {.type = 1508, .number = 609, .read = ofRow<areaOf>, .dims = 1},
        {.type = 1508, .number = 759, .read = ofRow<areaOf, true>, .dims = 1},
        {.type = 1508, .number = 760, .read = ofRow<addedAreaOf>, .dims = 1},
        {.type = 6, .number = 612, .read = ofRow<hotLoadOf>, .dims = 1},
        {.type = 6, .number = 613, .read = ofRow<coldLoadOf>, .dims = 1},
        {.type = 6, .number = 754, .read = ofRow<hotLoadOf, true>, .dims = 1},
        {.type = 6, .number = 755, .read = ofRow<coldLoadOf, true>, .dims = 1},
        {.type = 31001, .number = 608, .read = ofRow<annualCostOf>, .dims = 1},
        {.type = 31001, .number = 764, .read = ofRow<allUtilityCostOf, true>, .dims = 1},
        // Complete designs only, or the row's design of the list of every design is complete.
        {.type = 104, .number = 850, .read = [](V& v, Var var) {
             if (v.option100_251 != 0) return 1.0;
             IHENDesign* d = nullptr;
             if (!v.GetmyScenario()->GetDesign(var.Offset(0), d, 1) || !d) return 1.0;
             return flag(d->IsDesignComplete());
         }, .dims = 1},

        // ---- the design matrix: each design row against the targets ----
        {.type = 110, .number = 201, .read = againstTarget<annualCostTarget, annualCostOf>, .dims = 1},
        {.type = 110, .number = 202, .read = againstTarget<areaTarget, areaOf>, .dims = 1},
        {.type = 110, .number = 203, .read = againstTarget<unitsTarget, exchangersOf>, .dims = 1},
        {.type = 110, .number = 204, .read = againstTarget<shellsTarget, shellsOf>, .dims = 1},
        {.type = 110, .number = 205, .read = againstTarget<capitalTarget, capitalOf>, .dims = 1},
        {.type = 110, .number = 206, .read = againstTarget<hotTarget, hotLoadOf>, .dims = 1},
        {.type = 110, .number = 207, .read = againstTarget<coldTarget, coldLoadOf>, .dims = 1},
        {.type = 110, .number = 208, .read = againstTarget<operatingTarget, operatingOf>, .dims = 1},
        {.type = 110, .number = 214, .read = [](V&, Var) { return 100.0; }},
        {.type = 110, .number = 215, .read = [](V&, Var) { return 100.0; }},
        {.type = 110, .number = 216, .read = [](V&, Var) { return kEmpty; }},
        {.type = 110, .number = 217, .read = [](V&, Var) { return kEmpty; }},
        {.type = 1519, .number = 760, .read = [](V& v, Var var) { return v.GetMatrixInfo(var, 0); }, .dims = 1},
        {.type = 1508, .number = 758, .read = [](V& v, Var var) { return v.GetMatrixInfo(var, 0); }, .dims = 1},
        {.type = 31001, .number = 761, .read = [](V& v, Var var) { return v.GetMatrixInfo(var, 0); }, .dims = 1},
        {.type = 31001, .number = 614, .read = [](V& v, Var var) {
             return var.Offset(0) < v.GetmyScenario()->GetNumberOfDesigns() + 2 ? v.GetMatrixInfo(var, 1) : kEmpty;
         }, .dims = 1},

        // ---- targets beside the simulation base case, as figures and as percentages ----
        {.type = 1519, .number = 611, .read = besideBaseCase<shellsTarget, shellsOf>, .dims = 1},
        {.type = 6, .number = 614, .read = besideBaseCase<hotTarget, hotLoadOf>, .dims = 1},
        {.type = 6, .number = 615, .read = besideBaseCase<coldTarget, coldLoadOf>, .dims = 1},
        {.type = 31000, .number = 613, .read = besideBaseCase<capitalTarget, capitalOf>, .dims = 1},
        {.type = 1508, .number = 610, .read = besideBaseCase<areaTarget, areaOf>, .dims = 1},
        {.type = 31001, .number = 609, .read = besideBaseCase<annualCostTarget, annualCostOf>, .dims = 1},
        {.type = 31001, .number = 615, .read = besideBaseCase<operatingTarget, operatingOf>, .dims = 1},
        {.type = 1519, .number = 623, .read = shareOfBaseCase<annualCostTarget, annualCostOf>, .dims = 1},
        {.type = 1519, .number = 624, .read = shareOfBaseCase<areaTarget, areaOf>, .dims = 1},
        {.type = 1519, .number = 625, .read = shareOfBaseCase<shellsTarget, shellsOf>, .dims = 1},
        {.type = 1519, .number = 626, .read = shareOfBaseCase<capitalTarget, capitalOf>, .dims = 1},
        {.type = 1519, .number = 627, .read = shareOfBaseCase<hotTarget, hotLoadOf>, .dims = 1},
        {.type = 1519, .number = 628, .read = shareOfBaseCase<coldTarget, coldLoadOf>, .dims = 1},
        {.type = 1519, .number = 629, .read = shareOfBaseCase<operatingTarget, operatingOf>, .dims = 1},
        // Whether the simulation base case can be retrofitted.
        {.type = 1519, .number = 333, .read = [](V& v, Var) {
             return flag(v.GetmyScenario()->CheckRetrofitDesign(simulationBaseCase(v)) == 3);
         }},

        // ---- the utilities of the selected design, row by row ----
        {.type = 6, .number = 600, .rows = R::UtilityList, .kind = 1, .side = Row::UtilitySide,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 602, .rows = R::UtilityList, .kind = 1, .side = 0,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 605, .rows = R::UtilityList, .kind = 1, .side = 1,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 603, .rows = R::Unbounded, .kind = 1, .side = 0,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 604, .rows = R::Unbounded, .kind = 1, .side = 1,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 31001, .number = 603, .rows = R::UtilityList, .kind = 1, .side = 0,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 31001, .number = 606, .rows = R::UtilityList, .kind = 1, .side = 1,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 31001, .number = 604, .rows = R::Unbounded, .kind = 1, .side = 0,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 31001, .number = 605, .rows = R::Unbounded, .kind = 1, .side = 1,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 282, .rows = R::UtilityList, .kind = 1, .side = 2,
         .streamRead = utilityDesignValue<true>, .keepOnFail = true, .dims = 2},
        {.type = 31001, .number = 282, .rows = R::UtilityList, .kind = 1, .side = 2,
         .streamRead = utilityDesignValue<>, .keepOnFail = true, .dims = 2},
        {.type = 31001, .number = 281, .rows = R::UtilityList, .kind = 1, .side = 2,
         .streamRead = [](V&, Stream s, Var) { return s.GetOperatingCost(); }, .keepOnFail = true, .dims = 1},
        {.type = 6, .number = 281, .rows = R::Kind, .kind = 1, .side = 2,
         .streamRead = [](V&, Stream s, Var var) { return var.Offset(1) == 0 ? s.GetHeatLoad(0) : kEmpty; },
         .dims = 2},
        {.type = 1519, .number = 598, .rows = R::UtilityList, .kind = 1, .side = Row::UtilitySide,
         .streamRead = utilityShareOfLoad, .keepOnFail = true, .dims = 1},
        {.type = 1519, .number = 599, .rows = R::Unbounded, .kind = 1, .side = 1,
         .streamRead = utilityShareOfLoad, .keepOnFail = true, .dims = 1},
        {.type = 1519, .number = 600, .rows = R::Unbounded, .kind = 1, .side = 0,
         .streamRead = utilityShareOfLoad, .keepOnFail = true, .dims = 1},
        {.type = 1519, .number = 632, .rows = R::UtilityList, .kind = 1, .side = 0,
         .streamRead = utilityPercentOfLoad, .keepOnFail = true, .dims = 1},
        {.type = 1519, .number = 633, .rows = R::UtilityList, .kind = 1, .side = 1,
         .streamRead = utilityPercentOfLoad, .keepOnFail = true, .dims = 1},

        // ---- comparison columns of the scenario page: base design, targets, selected design ----
        {.type = 6, .number = 271, .read = comparisonColumn<hotTarget>, .dims = 2},
        {.type = 6, .number = 273, .read = comparisonColumn<coldTarget>, .dims = 2},
        {.type = 31001, .number = 270, .read = comparisonColumn<hotUtilityCost>, .dims = 2},
        {.type = 31001, .number = 272, .read = comparisonColumn<coldUtilityCost>, .dims = 2},
        {.type = 1519, .number = 208, .read = [](V& v, Var var) {
             return baseOrDesign(v, var, var.Offset(0) == 2 && v.GetCurrentDesign()
                                             ? std::max(0.0, addedBySelected(v, var)) : kEmpty);
         }, .dims = 1},
        {.type = 1519, .number = 250, .read = [](V& v, Var var) {
             return baseOrDesign(v, var, var.Offset(0) == 2 ? std::max(0.0, v.NewEquipment(var)) : kEmpty);
         }, .dims = 1},
        {.type = 1508, .number = 250, .read = [](V& v, Var var) {
             return baseOrDesign(v, var, var.Offset(0) == 2 ? v.NewEquipment(var) : kEmpty);
         }, .dims = 1},
        {.type = 1508, .number = 251, .read = [](V& v, Var var) {
             return baseOrDesign(v, var, var.Offset(0) == 2 ? addedBySelected(v, var) : kEmpty);
         }, .dims = 1},
        {.type = 31001, .number = 762, .read = [](V& v, Var) { return v.UtilityCost(0); }},
        {.type = 31001, .number = 763, .read = [](V& v, Var) { return v.UtilityCost(1); }},
        {.type = 1519, .number = 270, .read = percentageMatrix<hotUtilityCost, true>, .dims = 2},
        {.type = 1519, .number = 271, .read = percentageMatrix<hotTarget, true>, .dims = 2},
        {.type = 1519, .number = 272, .read = percentageMatrix<coldUtilityCost, false>, .dims = 2},
        {.type = 1519, .number = 273, .read = percentageMatrix<coldTarget, false>, .dims = 2},
        {.type = 1519, .number = 280, .rows = R::Kind, .kind = 1, .side = 2, .streamRead = utilityAgainstBase,
         .keepOnFail = true, .dims = 2},
        {.type = 1519, .number = 281, .rows = R::Kind, .kind = 1, .side = 2, .streamRead = utilityAgainstBase,
         .keepOnFail = true, .dims = 2},
        {.type = 1519, .number = 282, .rows = R::Kind, .kind = 1, .side = 2, .streamRead = utilityAgainstBase,
         .keepOnFail = true, .dims = 2},
    };
    return rows;
}

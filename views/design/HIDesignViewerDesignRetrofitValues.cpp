// The design viewer's numbers that set the network against money and against the retrofit base
// design: capital, annual and utility costs, payback, the exchangers the retrofit keeps or
// changes, the retrofit steps, and the approach temperatures the exchangers are sized with.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"
#include "views/design/DesignValueRows.h"
#include "views/AnnualisedCosts.h"

#include <cstring>

namespace {

using V = HIDesignViewerDesign;
using Row = HIDesignViewerDesign::ValueRow;
using L = Row::List;
using Var = const VarDescription&;
constexpr double kEmpty = Viewable::EmptyValue;
// The change code that makes the design recalculate after a flowsheet value changed.
constexpr int kFlowsheetChanged = 17;

bool hasExchangers(V& v) { return v.GetDesign()->GetNumberOfHeatExchangers() > 0; }

// The scenario's retrofit base design; null when there is none.
IHENDesign* baseDesign(V& v) {
    IHeatIntegrationScenario* s = v.GetScenario();
    const char* name = s ? s->GetRetrofitBaseDesignName() : nullptr;
    IHENDesign* base = nullptr;
    if (!name || !*name || !s->GetDesign(CPString(name), base)) return nullptr;
    return base;
}

bool isBaseDesign(V& v) {
    IHeatIntegrationScenario* s = v.GetScenario();
    const char* base = s ? s->GetRetrofitBaseDesignName() : nullptr;
    const char* own = v.GetDesign()->GetDesignName();
    return base && own && *base && std::strcmp(base, own) == 0;
}

// The same exchanger in the retrofit base design, found by the fingerprint a copy keeps (its name
// may have been changed in either design); null when absent.
CNode* counterpart(V& v, CNode& unit) {
    IHENDesign* base = baseDesign(v);
    const unsigned print = unit.getDNAFingerPrint();
    return base && print ? base->GetNodeByFingerPrint(print) : nullptr;
}

// The retrofit figures (capital, saving, payback) of a design set against the base: none for the
// base itself, without a base or exchangers, or while the network does not calculate.
bool hasRetrofitFigures(V& v) {
    return hasExchangers(v) && !isBaseDesign(v) && baseDesign(v) && v.GetDesign()->IsNetworkCalculated();
}

// Whether a retrofit exchanger is shaded on both sides as one the retrofit leaves in place: 2.0
// when the base design holds it too, 1.0 when it is new; 0.0 outside a retrofit or unshaded.
double retrofitShade(V& v, CNode& u, Var) {
    if (!v.GetScenario() || !v.GetScenario()->IsRetrofitScenario()) return 0.0;
    long hot = 0, cold = 0;
    if (!u.getVariableAsInteger("HotShadeIt", hot) || !u.getVariableAsInteger("ColdShadeIt", cold) || hot != 4 || cold != 4)
        return 0.0;
    return counterpart(v, u) ? 2.0 : 1.0;
}

// What an exchanger's capital cost rose over its counterpart in the base design; empty when
// the base design lacks it.
double capitalRise(V& v, CNode& u, Var) {
    if (!v.GetDesign()->IsNetworkCalculated()) return kEmpty;
    const CNode* old = counterpart(v, u);
    if (!old) return kEmpty;
    const double now = design_rows::NodeValue(&u, "CapitalCost"), before = design_rows::NodeValue(old, "CapitalCost");
    if (now == kEmpty || before == kEmpty) return kEmpty;
    return now > before ? now - before : 0.0;
}

// A payback is the time the saving over the retrofit base design takes to repay the money spent
// on it; without a base design there is no saving to speak of, so no payback either.
// A result that loses money never pays back: it has no payback to show, not a negative one.
double payback(V& v, Var) {
    if (!hasRetrofitFigures(v)) return kEmpty;
    const double years = v.GetDesign()->GetPaybackTime();
    return years < 0.0 ? kEmpty : years;
}

double economicParameter(V& v, Var) { return v.GetScenario() ? v.GetScenario()->GetOptimizerEconomicParameter() : kEmpty; }

// An exchanger's minimum approach; one without its own takes the design's (or, when that is
// not above 0, the scenario's) as a specified value, and the network recalculates.
double exchangerApproach(V& v, CNode& u, Var) {
    double own = design_rows::NodeValue(&u, "DTMin");
    if (own != kEmpty) return own;
    own = v.GetDesign()->GetDTMin();
    if (!(own > 0.0) && v.GetScenario()) own = v.GetScenario()->GetDTmin();
    if (own == kEmpty) return kEmpty;
    u.addVariable("DTMin", own, 1);
    v.GetDesign()->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
    return own;
}

}  // namespace

namespace design_rows {

void AddRetrofitRows(Rows& rows) {
    const std::vector<Row> more = {
        {.type = 1519, .number = 616, .list = L::Direct, .unitRead = retrofitShade},
        {.type = 1519, .number = 786, .read = payback},
        {.type = 1520, .number = 786, .read = payback},
        {.type = 1519, .number = 980, .read = economicParameter},
        {.type = 31000, .number = 980, .read = economicParameter},
        {.type = 1519, .number = 1033, .read = [](V& v, Var) {
             return v.GetScenario() ? double(v.GetScenario()->GetRetrofitStatus()) : kEmpty;
         }},
        {.type = 1519, .number = 1034, .read = [](V& v, Var var) {
             return v.GetScenario() ? double(v.GetScenario()->GetRetrofitStepStatus(var.Offset(0))) : kEmpty;
         }, .dims = 1},
        // costs
        {.type = 31000, .number = 711, .list = L::Direct, .unitRead = [](V& v, CNode& u, Var) {
             return v.GetDesign()->GetScenarioLockState() == 2 ? kEmpty : design_rows::NodeValue(&u, "AddCapCost");
         }},
        {.type = 31000, .number = 787, .read = [](V& v, Var) {
             return hasExchangers(v) && !isBaseDesign(v) && v.GetDesign()->IsNetworkCalculated()
                        ? v.GetDesign()->CalculateCapitalCost()
                        : kEmpty;
         }},
        {.type = 31000, .number = 788, .list = L::Direct, .unitRead = capitalRise},
        {.type = 31001, .number = 751, .read = [](V& v, Var) {
             return hasExchangers(v) ? annualised_costs::TotalAnnualCost(*v.GetDesign()) : kEmpty;
         }},
        // A heater or cooler running backwards has no area, so the capital would be summed over
        // the other units alone: no annual figure is shown then, as the total annual cost is not.
        {.type = 31001, .number = 757, .read = [](V& v, Var) {
             return hasExchangers(v) && v.GetDesign()->DoUtilityUnitsRunForwards()
                        ? annualised_costs::AnnualisedCapital(*v.GetDesign())
                        : kEmpty;
         }},
        // The performance table asks its utility-cost cell (761) and its annual-cost cell (763)
        // in this kind too: 761 keeps the table's comparison with the base design, and 763 is
        // left to the table, whose cell shows the total annual cost, not the cold utility's.
        {.type = 31001, .number = 761, .read = [](V& v, Var var) {
             if (var.Offset(1) == 1) return v.GetPerformanceValue(var);
             return hasExchangers(v) ? annualised_costs::UtilityCost(*v.GetDesign(), 2) : kEmpty;
         }},
        {.type = 31001, .number = 762, .read = [](V& v, Var) {
             return hasExchangers(v) ? annualised_costs::UtilityCost(*v.GetDesign(), 0) : kEmpty;
         }},
        {.type = 31001, .number = 788, .read = [](V& v, Var) {
             const double cost = annualised_costs::UtilityCost(*v.GetDesign(), 2);
             if (!v.GetScenario() || isBaseDesign(v) || cost == kEmpty || !v.GetDesign()->IsNetworkCalculated())
                 return kEmpty;
             return v.GetScenario()->GetRetrofitBaseUtilityCost() - cost;
         }},
        // approach temperatures
        {.type = 1517, .number = 605, .list = L::Filtered, .unitRead = exchangerApproach},
        // The DTmin the network allows, shown without applying it: the exchanger DTmins typed
        // stay until the design is calculated.
        {.type = 1517, .number = 608, .read = [](V& v, Var) { return v.GetDesign()->GetDTMinFromNetwork(); }},
    };
    rows.insert(rows.end(), more.begin(), more.end());
}

}  // namespace design_rows

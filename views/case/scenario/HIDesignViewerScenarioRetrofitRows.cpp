// The numbers of the scenario viewer's retrofit pages: the variables routed to the retrofit
// getters (HIDesignViewerScenarioRetrofitValues.cpp, HIDesignViewerScenarioCompare.cpp), the
// values against the retrofit base design, and the design rows against it.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/CNode.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/design/HIDesignViewerDesign.h"

using namespace scenario_values;

namespace {

using Var = const VarDescription&;
using design_values::exchangerAt;

// A row that answers what one getter answers for the same variable.
template <double (V::*Getter)(const VarDescription&) const>
double routed(V& v, Var var) {
    return (v.*Getter)(var);
}
double baseCaseInfo(V& v, Var var) { return v.GetBaseCaseInfo(var); }
double utilityStreamInfo(V& v, Var var) { return v.GetUtilityStreamInfo(var); }

// The base design's name; empty when no base design is chosen.
Text baseName(V& v) {
    const char* name = v.GetmyScenario()->GetRetrofitBaseDesignName();
    return name ? Text(name) : Text();
}

// The base design of the retrofit by its name (null when there is none).
IHENDesign* namedBase(V& v) {
    const Text name = baseName(v);
    IHENDesign* d = nullptr;
    return !name.empty() && v.GetmyScenario()->GetDesign(name, d) ? d : nullptr;
}

// A named value of exchanger index 1 of the base design.
double baseExchangerValue(V& v, Var var, const char* name) {
    const CNode* unit = exchangerAt(namedBase(v), var.Offset(0));
    double out = kEmpty;
    return unit && unit->getVariableAsDouble(name, out) ? out : kEmpty;
}

// The design of row index 1 other than the base design; null when there is none.
const char* otherDesign(V& v, Var var) { return v.GetDesignName(baseName(v), var); }

// The added figures of the selected design viewer's design against the base: index 2 reads them.
double addedOfSelected(V& v, Var var) {
    const HIDesignViewerDesign* current = v.GetCurrentDesign();
    return current ? v.GetHXInfoByDNA(current->GetName(), var) : kEmpty;
}

// Design row index 1 against the retrofit base design: both must exist.
template <double (*Of)(V&, const IHENDesign& base, const IHENDesign& design, Var)>
double againstBase(V& v, Var var) {
    IHENDesign* d = v.GetEngineeringDesign(var.Offset(0), 1);
    IHENDesign* b = nullptr;
    if (!d || !v.GetmyScenario()->GetRetrofitBaseDesign(b) || !b) return kEmpty;
    return Of(v, *b, *d, var);
}

template <int Side>
double loadShare(V&, const IHENDesign& b, const IHENDesign& d, Var) {
    return V::Compare(b.GetTotalUtilityLoad(Side), d.GetTotalUtilityLoad(Side));
}
double areaShare(V&, const IHENDesign& b, const IHENDesign& d, Var) {
    return V::Compare(b.GetTotalArea(), d.GetTotalArea());
}
double newAreaShare(V& v, const IHENDesign& b, const IHENDesign& d, Var var) {
    const char* name = d.GetDesignName();
    return V::Compare(b.GetTotalArea(), v.NewEquipment(Text(name ? name : ""), var));
}
double capitalShare(V&, const IHENDesign& b, const IHENDesign& d, Var) {
    return V::Compare(b.GetTotalCapitalCost(), d.GetTotalCapitalCost());
}
double paybackYears(V& v, const IHENDesign&, const IHENDesign& d, Var) { return v.PaybackYears(d); }
// The utility cost the design saves against the base; a design without exchangers, or whose
// network does not calculate, saves nothing that can be shown.
double utilitySaving(V&, const IHENDesign& b, const IHENDesign& d, Var) {
    if (d.GetNumberOfHeatExchangers() == 0 || !d.IsNetworkCalculated()) return kEmpty;
    return b.GetTotalUtilityCost(2) - d.GetTotalUtilityCost(2);
}

}  // namespace

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::RetrofitRows() {
    static const std::vector<Row> rows = {
        // ---- routed to the retrofit getters ----
        {.type = 1519, .number = 290, .read = baseCaseInfo, .dims = 1},
        {.type = 1508, .number = 290, .read = baseCaseInfo, .dims = 1},
        {.type = 31001, .number = 280, .read = baseCaseInfo, .dims = 2},
        {.type = 6, .number = 280, .read = [](V& v, Var var) {
             return var.Offset(1) == 0 ? v.GetBaseCaseInfo(var) : kEmpty;
         }, .dims = 2},
        {.type = 6, .number = 291, .read = routed<&V::GetOldExchangers>, .dims = 1},
        {.type = 1508, .number = 291, .read = routed<&V::GetOldExchangers>, .dims = 1},
        {.type = 1519, .number = 291, .read = routed<&V::GetOldExchangers>, .dims = 1},
        {.type = 6, .number = 292, .read = routed<&V::GetNewExchangers>, .dims = 1},
        {.type = 1508, .number = 292, .read = routed<&V::GetNewExchangers>, .dims = 1},
        {.type = 1519, .number = 292, .read = routed<&V::GetNewExchangers>, .dims = 1},
        {.type = 31000, .number = 292, .read = routed<&V::GetNewExchangers>, .dims = 1},
        // The new exchangers: their port temperatures (1/705 is not one of them), duty, approach,
        // coefficient, area, position, shells and cost.
        {.type = 1, .number = 703, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1, .number = 704, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1, .number = 706, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1, .number = 707, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 6, .number = 712, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1517, .number = 702, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1524, .number = 701, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1508, .number = 710, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1519, .number = 705, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1519, .number = 708, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 1519, .number = 709, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 31000, .number = 711, .read = routed<&V::GetNewHX>, .dims = 1},
        {.type = 6, .number = 318, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 6, .number = 319, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 1508, .number = 320, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 1508, .number = 321, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 1508, .number = 322, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 1519, .number = 320, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 31000, .number = 320, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 110, .number = 209, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 110, .number = 210, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 110, .number = 211, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 110, .number = 212, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 110, .number = 213, .read = routed<&V::GetRetroHX>, .dims = 1},
        {.type = 6, .number = 330, .read = routed<&V::GetTotalLoadCostArea>},
        {.type = 1508, .number = 330, .read = routed<&V::GetTotalLoadCostArea>},
        {.type = 1519, .number = 330, .read = routed<&V::GetTotalLoadCostArea>},
        {.type = 31000, .number = 330, .read = routed<&V::GetTotalLoadCostArea>},
        {.type = 1519, .number = 301, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 302, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 303, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 304, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 305, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 306, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 307, .read = routed<&V::GetRetroSummary>, .dims = 1},
        {.type = 1519, .number = 310, .read = utilityStreamInfo, .dims = 1},
        {.type = 1519, .number = 311, .read = utilityStreamInfo, .dims = 1},
        {.type = 1519, .number = 312, .read = utilityStreamInfo, .dims = 1},
        {.type = 1519, .number = 313, .read = utilityStreamInfo, .dims = 1},
        {.type = 31001, .number = 600, .read = utilityStreamInfo, .dims = 1},
        {.type = 6, .number = 301, .read = routed<&V::GetTotalUtilityInfo>},
        {.type = 31001, .number = 311, .read = routed<&V::GetTotalUtilityInfo>},
        {.type = 31001, .number = 312, .read = routed<&V::GetTotalUtilityInfo>},
        {.type = 31001, .number = 313, .read = routed<&V::GetTotalUtilityInfo>},
        {.type = 31001, .number = 314, .read = routed<&V::GetTotalUtilityInfo>},
        {.type = 31000, .number = 201, .read = [](V& v, Var var) { return v.NewEquipment(var); }},

        // ---- against the base design: its basis, the selected design's share, the new equipment ----
        {.type = 1519, .number = 209, .read = [](V& v, Var var) {
             if (baseName(v).empty()) return kEmpty;
             const double b = v.GetBaseCaseInfo(var);
             switch (var.Offset(0)) {
                 case 0: return V::ComparisonBasis(b);
                 case 1: return V::Compare(b, v.GetDesignInfo(var));
                 case 2: return V::Compare(b, addedOfSelected(v, var));
                 default: return kEmpty;
             }
         }, .dims = 1},
        {.type = 1519, .number = 251, .read = [](V& v, Var var) {
             if (baseName(v).empty()) return kEmpty;
             const double b = v.GetBaseCaseInfo(var);
             switch (var.Offset(0)) {
                 case 0: return V::ComparisonBasis(b);
                 case 1: return V::Compare(b, v.GetDesignInfo(var));
                 case 2: return V::Compare(b, v.NewEquipment(var));
                 default: return kEmpty;
             }
         }, .dims = 1},
        // Row index 1 of the designs other than the base: the added area of that design.
        {.type = 1519, .number = 248, .read = [](V& v, Var var) {
             if (baseName(v).empty() || var.Offset(0) == 0) return kEmpty;
             const char* other = otherDesign(v, var);
             return other ? V::Compare(v.GetBaseCaseInfo(var), v.GetHXInfoByDNA(Text(other), var)) : kEmpty;
         }, .dims = 1},
        {.type = 1508, .number = 206, .read = [](V& v, Var var) {
             if (baseName(v).empty() || var.Offset(0) == 0) return kEmpty;
             const char* other = otherDesign(v, var);
             return other ? v.GetHXInfoByDNA(Text(other), var) : kEmpty;
         }, .dims = 1},
        {.type = 1508, .number = 711, .read = [](V& v, Var var) { return baseExchangerValue(v, var, "HTArea"); },
         .dims = 1},
        {.type = 6, .number = 290, .read = [](V& v, Var var) { return baseExchangerValue(v, var, "Duty"); }, .dims = 1},
        // The utility cost the selected design saves against the base design.
        {.type = 31001, .number = 201, .read = [](V& v, Var var) {
             const double b = v.GetBaseCaseInfo(var), d = v.GetDesignInfo(var);
             return b == kEmpty || d == kEmpty ? kEmpty : b - d;
         }},

        // ---- design rows against the base design ----
        {.type = 1519, .number = 245, .read = againstBase<loadShare<2>>, .dims = 1},
        {.type = 1519, .number = 246, .read = againstBase<paybackYears>, .dims = 1},
        {.type = 31001, .number = 203, .read = againstBase<utilitySaving>, .dims = 1},
        {.type = 110, .number = 240, .read = againstBase<areaShare>, .dims = 1},
        {.type = 110, .number = 241, .read = againstBase<newAreaShare>, .dims = 1},
        {.type = 110, .number = 242, .read = againstBase<capitalShare>, .dims = 1},
        {.type = 110, .number = 243, .read = againstBase<loadShare<0>>, .dims = 1},
        {.type = 110, .number = 244, .read = againstBase<loadShare<1>>, .dims = 1},
        {.type = 110, .number = 247, .read = againstBase<loadShare<2>>, .dims = 1},
        {.type = 110, .number = 245, .read = [](V&, Var) { return kEmpty; }, .dims = 1},
        {.type = 110, .number = 246, .read = [](V&, Var) { return kEmpty; }, .dims = 1},
    };
    return rows;
}

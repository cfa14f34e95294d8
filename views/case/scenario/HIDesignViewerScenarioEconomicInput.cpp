// The economics and settings input: the general economics of the default set, the capital-cost
// law of each set with its coefficient dialog, the cost model of a match, the default film
// coefficients, and the targeting, design-automation and extraction settings.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/UnitsMILP.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormWrites.h"
#include "lumeth/Framework.h"
#include "lumeth/Resources.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/CNode.h"
#include "views/case/scenario/ScenarioInputRows.h"
#include "views/design/HIDesignViewerDesign.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace scenario_input;

namespace {

using Var = const VarDescription&;
constexpr double kMaxHours = 8765.76;
using D = CellDomain;
// The most designs an automatic design is asked for, as the command line takes them.
constexpr double kMaxDesignsWanted = 100.0;
// A rate of return within what the command line takes for a plant's economics (`--economics`),
// from 0 to 100 %; a plant life typed by name at most the 100 years it takes (none is 0, and a life
// below it is answered by the row's own check); a cost-law constant or coefficient from 0 to the
// size a case holds.
const D kRate = D::Between(0.0, 100.0).RefusedWith("TypicalRateOfReturnRange");
const D kLife = D::Between(-std::numeric_limits<double>::infinity(), 100.0).RefusedWith("PlantLifeRange");
const D kLawConstant = D::Between(0.0, CaseValueLimits::MaxMagnitude).RefusedWith("TypicalAreaConstantRange");

const char* setOf(V& v, Var var) { return v.GetmyScenario()->GetEconomicDataName(var.Offset(0)); }
void setDefault(V& v, int datum, double value) { v.GetmyScenario()->SetEconomicData(datum, value, "DEFAULT"); }

// The general economics typed by address share their addresses with the retrofit summary, whose
// cells show costs and loads: the framework hands over the typed number converted from that unit.
// A rate, a life in years or hours in a year has no unit: take the number back as it was typed.
double asTyped(V& v, Var var, double value) {
    return isEmpty(value) ? value : calc_ounit(value, DefUnitConv(v.GetEDVarType(var)));
}

// The display-unit factor of the cost law's basis (area or duty); 1 under automation.
double basisFactor(int kind, bool toBase) {
    if (IsAutomationStartup()) return 1.0;
    const UnitConversion c = DefUnitConv(kind, DefaultUnits);
    return toBase ? calc_unit(1.0, c) : calc_ounit(1.0, c);
}
int basisKind(double basis) { return static_cast<int>(basis) == 0 ? 41 : 6; }

// The coefficient b as the user sees it: base to display for the cost and for the basis.
double shownCoefficient(V& v, const char* set) {
    IHeatIntegrationScenario* s = v.GetmyScenario();
    const double b = s->GetEconomicData(1, set);
    if (b == kEmpty) return kEmpty;
    const double u = basisFactor(basisKind(s->GetEconomicData(5, set)), false);
    return calc_ounit(b, DefUnitConv(99, DefaultUnits)) / std::pow(u, s->GetEconomicData(2, set));
}

// A coefficient typed in display units, stored in base units under the set's basis.
const char* storeCoefficient(V& v, Var var, double value) {
    const char* set = setOf(v, var);
    if (!set) return nullptr;
    IHeatIntegrationScenario* s = v.GetmyScenario();
    if (isEmpty(value)) {
        s->SetEconomicData(1, 0.0, set);
        return nullptr;
    }
    // Past the size a case holds, on either side, it is refused; a negative one inside is taken
    // with the warning.
    if (!(std::fabs(value) <= CaseValueLimits::MaxMagnitude)) return "TypicalAreaConstantRange";
    if (value < 0.0) ErrorMsg("TypicalAreaConstantRange");
    const double x = calc_unit(value, DefUnitConv(99, DefaultUnits));
    const int k = static_cast<int>(s->GetEconomicData(5, set));
    const double u = (k == 0 || k == 1) ? basisFactor(k == 0 ? 41 : 6, true) : 1.0;
    s->SetEconomicData(1, x / std::pow(u, s->GetEconomicData(2, set)), set);
    return nullptr;
}

// After a targeting method changes, a retrofit scenario recomputes its range targets.
void retrofitStep(V& v) {
    IHeatIntegrationScenario* s = v.GetmyScenario();
    if (!s->IsRetrofitScenario()) return;
    Viewable::UserStatusReport(FindString("CPISuperTarget"), 2);
    s->RecalculateSuperTargets();
    Viewable::UserStatusClear(2);
}

// A named value of the scenario's extraction settings; nothing when it has none.
CPValue* extractionValue(V& v, const char* name) {
    DataExtractionConfig* config = v.GetmyScenario()->GetDataExtractionConfig();
    if (!config || !config->GetSettings()) return nullptr;
    return config->GetSettings()->GetSubvalueByName(name);
}
template <const char* const* name, bool inverted>
const char* extractionOption(V& v, Var, double value) {
    if (CPValue* c = extractionValue(v, *name)) c->Set(inverted ? (value == 0.0 ? 1.0 : 0.0) : value);
    return nullptr;
}
constexpr const char* kShift = "ShiftTempsForPumps";
constexpr const char* kSubCool = "UseSubCoolLiveSteam";
constexpr const char* kSuperHeat = "UseSuperHeatLiveSteam";
constexpr const char* kLiveSteam = "DoIExtractLiveSteam";
constexpr const char* kReaction = "DoIExtractReactionHeat";
constexpr const char* kTolerances = "SegmentTolerances";

// The exchanger of the selected design on row i of the design viewer's exchanger list, as its
// filter maps rows: all exchangers (9), process exchangers (1), utility exchangers (3 to 8);
// any other filter takes the design's first exchanger.
CNode* listedExchanger(V& v, int row) {
    HIDesignViewerDesign* viewer = v.GetCurrentDesign();
    IHENDesign* design = viewer ? v.GetSelectedDesign(viewer) : nullptr;
    if (!design) return nullptr;
    const int filter = static_cast<int>(viewer->GetExchangerFilter());
    int index = 0;
    if (filter == 9) index = row;
    else if (filter == 1) index = viewer->GetProcessExchangerIndex(row);
    else if (filter >= 3 && filter <= 8) index = viewer->GetUtilityExchangerIndex(row);
    CNode* unit = nullptr;
    return index >= 0 && design->GetHeatExchanger(index, unit) ? unit : nullptr;
}

}  // namespace

const std::vector<HIDesignViewerScenario::InputRow>& HIDesignViewerScenario::EconomicInputRows() {
    static const std::vector<In> rows = {
        // The numbered route stores what it is given, except that a negative value is refused
        // as the named route refuses it; as the named route, it is read-only while a retrofit's
        // base case holds the economics.
        {.type = 1519, .number = 300, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             value = asTyped(v, var, value);
             if (isEmpty(value)) return nullptr;
             if (value < 0.0) return "TypicalRateOfReturnRange";
             setDefault(v, 3, value / 100.0);
             return nullptr;
         }, .refusals = "TypicalRateOfReturnRange", .domain = kRate.AsTyped()},
        {.type = 1519, .number = 301, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             value = asTyped(v, var, value);
             if (isEmpty(value)) return nullptr;
             if (value < 0.0) return "PlantLifeRange";
             setDefault(v, 4, value);
             return nullptr;
         }, .refusals = "PlantLifeRange"},
        {.type = 1519, .number = 302, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             value = asTyped(v, var, value);
             if (isEmpty(value)) return nullptr;
             if (value < 0.0) return "HoursOfOperationRange";
             setDefault(v, 6, std::min(value, kMaxHours));
             return nullptr;
         }, .refusals = "HoursOfOperationRange"},
        {.name = "rate_cap_int", .number = 300, .guarded = true, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (!(value / 100.0 > 0.0)) return "TypicalRateOfReturnRange";
             setDefault(v, 3, value / 100.0);
             return nullptr;
         }, .refusals = "TypicalRateOfReturnRange", .domain = kRate},
        {.name = "exp_plant_life", .number = 300, .guarded = true, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (value < 0.0) return "NegativePlantLifeInput";
             setDefault(v, 4, value);
             return nullptr;
         }, .refusals = "NegativePlantLifeInput PlantLifeRange", .domain = kLife},
        {.name = "hours_of_operation", .number = 300, .guarded = true, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (value < 0.0) return "NegativeHoursOfOperInput";
             if (value > kMaxHours) return "OverlimitHoursOfOperInput";
             setDefault(v, 6, value);
             return nullptr;
         }, .refusals = "NegativeHoursOfOperInput OverlimitHoursOfOperInput"},
        // The capital-cost law of set i.
        {.type = 31000, .number = 501, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             // A constant past any plant's costs, on either side, is no law a case could hold.
             if (!isEmpty(value) && !(std::fabs(value) <= CaseValueLimits::MaxMagnitude)) return "TypicalAreaConstantRange";
             if (!isEmpty(value) && value < 0.0) ErrorMsg("TypicalAreaConstantRange");
             if (const char* set = setOf(v, var)) v.GetmyScenario()->SetEconomicData(0, isEmpty(value) ? 0.0 : value, set);
             return nullptr;
         }, .refusals = "TypicalAreaConstantRange", .domain = kLawConstant},
        {.type = 1519, .number = 502, .guarded = true, .write = storeCoefficient, .refusals = "TypicalAreaConstantRange",
         .domain = kLawConstant},
        // The exponent opens the dialog that proposes it with the coefficient shown.
        {.type = 1519, .number = 503, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             if (isEmpty(value)) return "CannotDeleteCError";
             if (value < 0.0 || value > 1.0) return "TypicalEconomicRateRange";
             const char* set = setOf(v, var);
             if (!set) return nullptr;
             const int k = static_cast<int>(v.GetmyScenario()->GetEconomicData(5, set));
             v.workText = set;
             v.value1519_210 = shownCoefficient(v, set);
             v.valueComputed = value;
             if (!IsAutomationStartup()) v.View(k == 0 ? "CostCoefficientView" : "CostCoefficientFHView");
             return nullptr;
         }, .refusals = "CannotDeleteCError TypicalEconomicRateRange"},
        {.type = 1519, .number = 210, .write = [](V& v, Var, double value) -> const char* {
             if (!isEmpty(value) && !(std::fabs(value) <= CaseValueLimits::MaxMagnitude)) return "TypicalAreaConstantRange";
             if (!isEmpty(value) && value < 0.0) ErrorMsg("TypicalAreaConstantRange");
             v.value1519_210 = value;
             return nullptr;
         }, .refusals = "TypicalAreaConstantRange", .domain = kLawConstant},
        // A new basis re-enters the coefficient, as if typed, in the display units of the new
        // basis: shown and re-entered through the same conversion, it keeps its value.
        {.type = 105, .number = 101, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             // The law's basis is area (0) or heat load (1); any other number was answered as
             // taken while the set kept its basis.
             if (value != 0.0 && value != 1.0) return "SpecRange";
             const char* set = setOf(v, var);
             if (!set) return nullptr;
             v.GetmyScenario()->SetEconomicData(5, value, set);
             const double shown = shownCoefficient(v, set);
             if (shown == kEmpty) return nullptr;
             VarDescription again;
             // The re-entry belongs to the change of basis: it is not refused on its own.
             if (VarDescription::Parse(FormattedText("ExtraData.502.%d", var.Offset(0)), again))
                 if (const In* coefficient = V::FindInputRow(again)) coefficient->write(v, again, shown);
             return nullptr;
         }, .refusals = "SpecRange", .domain = D::Entries(2)},
        // The cost model of a match of the i-th cold and the j-th hot stream.
        {.type = 105, .number = 510, .guarded = true, .write = [](V& v, Var var, double value) -> const char* {
             IHeatIntegrationStream *cold = nullptr, *hot = nullptr;
             IHeatIntegrationScenario* s = v.GetmyScenario();
             if (!s->GetStreamOfKind(var.Offset(0), cold, 4, 1) || !cold) return "GetStreamError";
             if (!s->GetStreamOfKind(var.Offset(1), hot, 4, 0) || !hot) return "GetStreamError";
             v.SetEconomicData();
             VarEnumInfo* choices = v.GetEconomicDataEnum();
             const int at = choices ? choices->FindEntry(value) : -1;
             const VarEnumInfo::Entry* e = at >= 0 ? choices->GetEntry(at) : nullptr;
             if (!e) return nullptr;
             return s->SetMatchCostModelName(hot->GetName(), cold->GetName(), e->text) ? nullptr : "EconomicDefaultError";
         }, .refusals = "GetStreamError EconomicDefaultError"},
        // The default film coefficient of table entry i.
        {.type = 1524, .number = 229, .write = [](V& v, Var var, double value) -> const char* {
             IDefaultUtilityManager* m = nullptr;
             if (!v.GetmyScenario()->GetDefaultUtilityManager(m) || !m) return nullptr;
             if (isEmpty(value)) return "CannotDeleteHTC";
             // The manager answers 1 when it took the value and 0 when it refused it.
             return m->SetHTCDefaultValue(var.Offset(0), value) != 1 ? HTCDefaultRefusal(value) : nullptr;
         }, .refusals = "CannotDeleteHTC HCValueTooSmall HTCoeffUpdateError"},
    };
    return rows;
}

const std::vector<HIDesignViewerScenario::InputRow>& HIDesignViewerScenario::SettingInputRows() {
    static const std::vector<In> rows = {
        {.type = 1517, .number = 1, .write = [](V& v, Var, double value) -> const char* {
             // Within the range a case may hold, or the case would not open again.
             if (isEmpty(value) || !(value >= CaseValueLimits::MinDTmin && value <= CaseValueLimits::MaxDTmin))
                 return "DeltaTViolationsError";
             v.GetmyScenario()->SetDTmin(value);
             return nullptr;
         }, .refusals = "DeltaTViolationsError"},
        {.type = 107, .number = 101, .write = [](V& v, Var, double value) -> const char* {
             // 0 countercurrent, 1 shell-and-tube, 2 both: anything else is no option.
             const int n = whole(value);
             if (n < 0 || n > 2 || value != n) return WriteRefusal::NotTaken;
             v.GetmyScenario()->SetAreaTargetOption(n);
             retrofitStep(v);
             return nullptr;
         }, .domain = D::Entries(3)},
        // The form lists the user's assignment first: its first two choices are swapped.
        // While a match is forbidden only the placement on the grand composite curve (engine 0)
        // is taken: another is refused here, with its key, and the method stays.
        {.type = 107, .number = 450, .write = [](V& v, Var, double value) -> const char* {
             const int method = value == 1.0 ? 0 : value == 0.0 ? 1 : value == 2.0 ? 2 : -1;
             if (method < 0) return WriteRefusal::NotTaken;
             if (method > 0 && v.GetmyScenario()->GetNumberOfForbiddenMatches() != 0)
                 return MessageKey("OnlyGCCBasedAllowedIfForbidden");
             v.GetmyScenario()->SetUtilityAssignmentMethod(method);
             retrofitStep(v);
             return nullptr;
         }, .refusals = "OnlyGCCBasedAllowedIfForbidden", .domain = D::Entries(3)},
        {.type = 107, .number = 550, .write = [](V& v, Var, double value) -> const char* {
             if (value == 0.0 || value == 1.0 || value == 2.0 || value == 3.0) {
                 v.GetmyScenario()->OnTargetsChanged();
                 UpdateViews(nullptr);
             }
             retrofitStep(v);
             return nullptr;
         }, .domain = D::Entries(4)},
        {.type = 107, .number = 560, .write = [](V& v, Var, double) -> const char* {
             const char* out = nullptr;
             if (v.GetmyScenario()->ValidateTargetMethodsForForbiddenMatches()) v.GetmyScenario()->OnTargetMethodChanged();
             else out = "ValidOptionError";
             retrofitStep(v);
             return out;
         }, .refusals = "ValidOptionError"},
        // Design automation: a cleared field changes nothing; out-of-range values are refused.
        {.type = 100, .number = 211, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (value < 1.0) return "ValidOptionError";
             v.GetmyScenario()->SetNumberOfDesignsWanted(whole(value));
             return nullptr;
         }, .refusals = "ValidOptionError", .domain = D::Count(kMaxDesignsWanted).RefusedWith("ValidOptionError")},
        // The number of alternative decompositions the units search runs: 0 (none) up to the
        // search's own limit, which a case holds.
        {.type = 100, .number = 290, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (!(value >= 0.0 && value <= UnitsMILP::MaxDecompositions)) return "ValidOptionError";
             v.GetmyScenario()->SetUnitsTargetMILPFlag(whole(value));
             return nullptr;
         }, .refusals = "ValidOptionError", .domain = D::Whole(0, UnitsMILP::MaxDecompositions).RefusedWith("ValidOptionError")},
        {.type = 104, .number = 2005, .write = [](V& v, Var, double value) -> const char* {
             v.GetmyScenario()->SetUseEquationBasedOptimization(whole(value) != 0);
             return nullptr;
         }},
        {.type = 104, .number = 2006, .write = [](V& v, Var, double value) -> const char* {
             v.GetmyScenario()->SetAllowUtilitiesAtExchangerPorts(whole(value) != 0);
             return nullptr;
         }},
        {.type = 1519, .number = 765, .write = [](V& v, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (!(value > 0.0 && value <= 1.0)) return "ValidOptionError";
             v.GetmyScenario()->SetMinimumFFactor(value);
             return nullptr;
         }, .refusals = "ValidOptionError", .domain = D::Above(0.0, 1.0).RefusedWith("ValidOptionError")},
        {.type = 1519, .number = 766, .write = [](V& v, Var, double value) -> const char* {
             if (!isEmpty(value)) v.GetmyScenario()->SetLevelSetting1(whole(value));
             return nullptr;
         }, .domain = D::Whole(1, 5)},
        {.type = 1519, .number = 767, .write = [](V& v, Var, double value) -> const char* {
             if (!isEmpty(value)) v.GetmyScenario()->SetLevelSetting2(whole(value));
             return nullptr;
         }, .domain = D::Whole(1, 5)},
        {.type = 1519, .number = 768, .write = [](V& v, Var, double value) -> const char* {
             if (!isEmpty(value)) v.GetmyScenario()->SetLevelSetting3(whole(value));
             return nullptr;
         }, .domain = D::Whole(1, 5)},
        {.type = 1519, .number = 769, .write = [](V& v, Var, double value) -> const char* {
             if (!isEmpty(value)) v.GetmyScenario()->SetLevelSetting4(whole(value));
             return nullptr;
         }, .domain = D::Whole(1, 5)},
        // Area limits of an exchanger of the selected design (marked specified when set).
        {.type = 104, .number = 315, .write = [](V& v, Var var, double value) -> const char* {
             if (CNode* unit = listedExchanger(v, var.Offset(0))) unit->addVariable("AreaMinimum", value == 0.0 ? 0.0 : 1.0, 1);
             return nullptr;
         }},
        {.type = 1508, .number = 321, .write = [](V& v, Var var, double value) -> const char* {
             CNode* unit = listedExchanger(v, var.Offset(0));
             if (!unit) return nullptr;
             if (isEmpty(value)) unit->addVariable("MaxSpareArea", 0.0, 0);
             else if (value < 0.0) return "AreaInputError";
             else unit->addVariable("MaxSpareArea", value, 1);
             return nullptr;
         }, .refusals = "AreaInputError"},
        // Extraction options.
        {.type = 104, .number = 207, .write = extractionOption<&kShift, false>},
        {.type = 104, .number = 208, .write = extractionOption<&kSubCool, true>},
        {.type = 104, .number = 209, .write = extractionOption<&kSuperHeat, true>},
        {.type = 104, .number = 211, .write = extractionOption<&kLiveSteam, false>},
        {.type = 104, .number = 414, .write = extractionOption<&kReaction, false>},
        // The segment tolerance takes what the extraction wizard's own cell takes.
        {.type = 1519, .number = 219, .write = extractionOption<&kTolerances, false>, .refusals = "NegativeSegmentTolerance",
         .domain = D::Inside(0.0, 1.0).RefusedWith("NegativeSegmentTolerance")},
    };
    return rows;
}

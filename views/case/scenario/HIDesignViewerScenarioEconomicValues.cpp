// The economics and options pages' numbers: the economic data sets (cost law and financial
// parameters), the cost model of a match, the targeting methods and the scenario's settings.
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "osmeri/CPValue.h"
#include "views/case/scenario/ScenarioValueRows.h"

#include <cmath>
#include <strings.h>

using namespace scenario_values;

namespace {
using Var = const VarDescription&;
constexpr int kCostUnit = 99, kAreaUnit = 41, kHeatFlowUnit = 6;
}  // namespace

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::EconomicRows() {
    static const std::vector<Row> rows = {
        // The economic data table: index 1 is the set.
        {.type = 31000, .number = 501, .read = [](V& v, Var var) { return v.EconomicRowItem(var, 0); }, .dims = 1},
        {.type = 1519, .number = 503, .read = [](V& v, Var var) { return v.EconomicRowItem(var, 2); }, .dims = 1},
        {.type = 105, .number = 101, .read = [](V& v, Var var) { return v.EconomicRowItem(var, 5); }, .dims = 1},
        {.type = 1519, .number = 502, .read = [](V& v, Var var) { return v.CostCoefficient(var); }, .dims = 1},
        {.type = 105, .number = 510, .read = [](V& v, Var var) { return v.MatchCostModel(var); }, .dims = 2},

        // Targeting methods and options.
        {.type = 107, .number = 101, .read = [](V& v, Var) { return double(v.myScenario->GetAreaTargetOption()); }},
        {.type = 107, .number = 450, .read = [](V& v, Var) {
             switch (v.myScenario->GetUtilityAssignmentMethod()) {
                 case 0: return 1.0;
                 case 1: return 0.0;
                 case 2: return 2.0;
                 default: return kEmpty;
             }
         }},
        {.type = 107, .number = 550, .read = [](V& v, Var) { return double(v.myScenario->GetCapitalCostTargetKind()); }},
        {.type = 107, .number = 560, .read = [](V& v, Var) { return double(v.myScenario->GetAreaTargetMethod()); }},
        {.type = 104, .number = 751, .read = [](V& v, Var) {
             IHeatIntegrationScenario* s = v.myScenario;
             return flag((s->GetUtilityAssignmentStatus(1) != 0 || s->GetUtilityAssignmentStatus(0) != 0) &&
                         s->GetUtilityAssignmentMethod() == 1);
         }},
        {.type = 100, .number = 211, .read = [](V& v, Var) { return double(v.myScenario->GetNumberOfDesignsWanted()); }},
        {.type = 1519, .number = 765, .read = [](V& v, Var) { return v.myScenario->GetMinimumFFactor(); }},
        {.type = 1519, .number = 766, .read = [](V& v, Var) { return double(v.myScenario->GetLevelSetting1()); }},
        {.type = 1519, .number = 767, .read = [](V& v, Var) { return double(v.myScenario->GetLevelSetting2()); }},
        {.type = 1519, .number = 768, .read = [](V& v, Var) { return double(v.myScenario->GetLevelSetting3()); }},
        {.type = 1519, .number = 769, .read = [](V& v, Var) { return double(v.myScenario->GetLevelSetting4()); }},

        // Scenario flags and settings.
        {.type = 100, .number = 201, .read = [](V& v, Var) { return flag(v.myScenario->IsRetrofitScenario()); }},
        {.type = 104, .number = 1001, .read = [](V& v, Var) { return flag(v.myScenario->IsRetrofitScenario()); }},
        {.type = 104, .number = 1000, .read = [](V& v, Var) { return flag(!v.myScenario->IsRetrofitScenario()); }},
        {.type = 1519, .number = 596, .read = [](V& v, Var) {
             return v.myScenario->IsRetrofitScenario() ? 0.0 : double(v.myScenario->GetNumberOfDesigns());
         }},
        {.type = 104, .number = 2002, .read = [](V& v, Var) { return double(v.myScenario->IsTotalSiteScenario()); }},
        {.type = 104, .number = 2005, .read = [](V& v, Var) { return flag(v.myScenario->GetUseEquationBasedOptimization()); }},
        {.type = 104, .number = 2006, .read = [](V& v, Var) { return flag(v.myScenario->GetAllowUtilitiesAtExchangerPorts()); }},
        {.type = 104, .number = 601, .read = [](V&, Var) {
             double preference = 0.0;
             GetConfigData("AdvanceStreamLinkPreference", preference, false);
             return preference;
         }},
        {.type = 104, .number = 414, .read = [](V& v, Var) {
             const DataExtractionConfig* config = v.myScenario->GetDataExtractionConfig();
             if (!config) return kEmpty;
             double out = 0.0;
             return config->GetSettingValue("DoIExtractReactionHeat", out) ? out : 0.0;
         }},
        {.type = 1519, .number = 219, .read = [](V& v, Var) {
             const DataExtractionConfig* config = v.myScenario->GetDataExtractionConfig();
             const CPValue* settings = config ? config->GetSettings() : nullptr;
             if (!settings) return kEmpty;
             const CPValue* tolerance = settings->GetSubvalueByName("SegmentTolerances");
             return tolerance ? tolerance->GetAsDouble() : 0.9;
         }},
    };
    return rows;
}

double HIDesignViewerScenario::EconomicItem(int item, const char* set) const {
    return myScenario->GetEconomicData(item, set);
}

double HIDesignViewerScenario::EconomicRowItem(const VarDescription& var, int item) const {
    const int i = var.Offset(0);
    if (i >= myScenario->GetNumberOfEconomicData()) return kEmpty;
    const char* name = myScenario->GetEconomicDataName(i);
    return myScenario->GetEconomicData(item, name ? name : "");
}

// The coefficient of the cost law in display units: the cost unit over the unit of the law's
// basis (area or heat load) raised to the law's exponent.
double HIDesignViewerScenario::CostCoefficient(const VarDescription& var) const {
    const double a = EconomicRowItem(var, 1);
    if (a == kEmpty) return kEmpty;
    const double cost = calc_ounit(a, DefUnitConv(kCostUnit, DefaultUnits));
    const double basis = EconomicRowItem(var, 5);
    const int k = std::isfinite(basis) && std::fabs(basis) < 1e9 ? static_cast<int>(basis) : -1;
    const double unit = k == 0   ? calc_ounit(1.0, DefUnitConv(kAreaUnit, DefaultUnits))
                        : k == 1 ? calc_ounit(1.0, DefUnitConv(kHeatFlowUnit, DefaultUnits))
                                 : 1.0;
    return cost / std::pow(unit, EconomicRowItem(var, 2));
}

// r (1 + r)^n / ((1 + r)^n - 1); without interest the capital is spread evenly, 1/n. A plant
// without a life, or rates that leave nothing to divide by, show nothing.
double HIDesignViewerScenario::AnnualisationFactor() const {
    const double r = EconomicItem(3, "DEFAULT");
    const double n = EconomicItem(4, "DEFAULT");
    if (r == kEmpty || n == kEmpty) return kEmpty;
    if (r == 0.0) return n == 0.0 ? kEmpty : 1.0 / n;
    const double growth = std::pow(1.0 + r, n);
    const double factor = r * growth / (growth - 1.0);
    return growth - 1.0 == 0.0 || !std::isfinite(factor) ? kEmpty : factor;
}

// The economic data set chosen for a match of the cold stream of index 1 and the hot stream of
// index 2, as its position among the sets.
double HIDesignViewerScenario::MatchCostModel(const VarDescription& var) {
    IHeatIntegrationStream* cold = nullptr;
    IHeatIntegrationStream* hot = nullptr;
    if (!myScenario->GetStreamOfKind(var.Offset(0), cold, 4, 1) || !cold ||
        !myScenario->GetStreamOfKind(var.Offset(1), hot, 4, 0) || !hot)
        return kEmpty;
    const char* model = myScenario->GetMatchCostModelName(hot->GetName(), cold->GetName());
    SetEconomicData();
    if (!economicDataEnum || !model) return kEmpty;
    // A set is known by its name in upper case: a match read back names it so, while the set
    // keeps the letters it was given.
    for (int i = 0; i < economicDataEnum->NumberOfEntries(); ++i) {
        const VarEnumInfo::Entry* entry = economicDataEnum->GetEntry(i);
        if (entry && strcasecmp(entry->text.c_str(), model) == 0) return entry->value;
    }
    return kEmpty;
}

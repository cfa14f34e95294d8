// The utility a case heater or cooler goes on: the one the defaults recommend for its outlet
// temperature when that utility can do the unit's duty at the minimum approach, else the cheapest
// default utility that can; where none can, the report says so and the recommendation stands.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Messages.h"

#include <cmath>
#include <string>

namespace {

constexpr double kEmpty = -32767.0;
// Temperatures read back from a calculation: an approach at DTmin within this is at DTmin.
constexpr double kTemperatureTolerance = 1e-6;

bool known(double t) { return std::isfinite(t) && t != kEmpty; }

// Countercurrent: the utility's supply meets the process outlet, its target the process inlet,
// each at least `dtmin` apart on the side that gives the heat.
bool serves(bool heating, double supply, double target, double from, double to, double dtmin) {
    if (!known(supply) || !known(target)) return false;
    return heating ? supply - to >= dtmin && target - from >= dtmin : to - supply >= dtmin && from - target >= dtmin;
}

}  // namespace

bool VelmorToTarsilImport::UtilityServes(IDefaultUtilityManager& manager, const CPString& name, bool heating, double from,
                                         double to) const {
    const double supply = manager.GetValue(name.c_str(), DUP_SupplyTemperature);
    const double target = manager.GetValue(name.c_str(), DUP_TargetTemperature);
    if (!known(from) || !known(to) || !known(supply) || !known(target)) return true;
    return serves(heating, supply, target, from, to, m_scenario->GetDTmin() - kTemperatureTolerance);
}

CPString VelmorToTarsilImport::ServingUtility(IDefaultUtilityManager& manager, const char* recommended, bool heating,
                                              double from, double to, const CPString& unit, const CPString& stream) {
    const CPString chosen = recommended ? recommended : "";
    if (!known(from) || !known(to) || from == to) return chosen;
    const double dtmin = m_scenario->GetDTmin() - kTemperatureTolerance;
    if (!chosen.empty() && serves(heating, manager.GetValue(chosen.c_str(), DUP_SupplyTemperature),
                                  manager.GetValue(chosen.c_str(), DUP_TargetTemperature), from, to, dtmin))
        return chosen;
    // The utilities the defaults hold: a handful, walked once per unit.
    const SegmentHeatType side = heating ? SHT_Hot : SHT_Cold;
    const char* best = nullptr;
    double bestCost = 0.0;
    for (int i = 0; i < manager.GetNumberOfDefaultUtilities(); ++i) {
        const char* name = manager.GetDefaultUtilityName(i);
        const char* type = manager.GetExchangerType(i);
        // Air is for the case's air coolers, which take it by their class.
        if (!name || !*name || manager.GetValue(i) != side || (type && std::string(type) == "Air Cooler")) continue;
        if (!serves(heating, manager.GetValue(i, DUP_SupplyTemperature), manager.GetValue(i, DUP_TargetTemperature), from,
                    to, dtmin))
            continue;
        const double cost = manager.GetValue(i, DUP_Cost);
        if (!best || cost < bestCost) {
            best = name;
            bestCost = cost;
        }
    }
    if (best) return best;
    // No recommendation either: the placement's own warning names the unit.
    if (chosen.empty()) return chosen;
    ReportWarning("No_Utility_Serves", "ExtractionNoUtilityServes",
                  FormatMessage(FindString("ExtractionNoUtilityServesUnit"),
                                {unit, stream, ExtractionNumber(from), ExtractionNumber(to),
                                 ExtractionNumber(m_scenario->GetDTmin()), chosen}));
    return chosen;
}

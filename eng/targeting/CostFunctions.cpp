// Uniform capital cost laws, operating costs and the total annual cost.
#include "eng/targeting/CostFunctions.h"

#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <cmath>

namespace {

using CostConstants::kDefaultSet;

constexpr int kUtilityKind = 1;
// The minimum number of units counted separately above and below the pinch.
constexpr int kUnitsWithPinchDivision = 1;
constexpr int kCountercurrentArea = 0;
constexpr int kShellAndTubeArea = 1;
constexpr int kCapitalCostCode = 7;
constexpr int kOperatingCostCode = 4;
// The targeting view of a stream's heat load.
constexpr int kTargetingLoad = 0;

double item(const IHeatIntegrationScenarioForCosting& costing, EconomicDataType type) {
    return costing.GetEconomicData(type, kDefaultSet);
}

// `count` items of b (area/count)^c; nothing when there is no item or no area to share (a
// negative area or count cannot be priced and is taken as none).
double areaTerm(double count, double area, double b, double c) {
    if (!(count > 0.0) || !(area > 0.0)) return 0.0;
    return count * b * std::pow(area / count, c);
}

double operatingHoursFraction(const IHeatIntegrationScenarioForCosting& costing) {
    return item(costing, EDT_OperatingHours) / CostConstants::kHoursPerYear;
}

}  // namespace

double CapitalCost11Uniform::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream*) {
    const double units = costing.GetMinimumNumberOfUnits(kUnitsWithPinchDivision);
    const double area = costing.GetAreaTarget(kCountercurrentArea);
    if (!(units > 0.0) || !(area > 0.0)) return 0.0;
    return units * item(costing, EDT_FixedCostPerUnit) +
           areaTerm(units, area, item(costing, EDT_AreaCostCoefficient), item(costing, EDT_AreaExponent));
}

double CapitalCost12Uniform::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream*) {
    const double units = costing.GetMinimumNumberOfUnits(kUnitsWithPinchDivision);
    const double area = costing.GetAreaTarget(kShellAndTubeArea);
    if (!(units > 0.0) || !(area > 0.0)) return 0.0;
    // Area is built in shells: a unit with area has at least one, whatever the shells target
    // rounded to.
    const double shells = std::max(static_cast<double>(costing.GetNumberOfShellsTarget()), 1.0);
    return units * item(costing, EDT_FixedCostPerUnit) +
           areaTerm(shells, area, item(costing, EDT_AreaCostCoefficient), item(costing, EDT_AreaExponent));
}

double OperatingCost::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream*) {
    double sum = 0.0;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; costing.GetStream(i, stream); ++i) {
        if (!stream || stream->GetStreamKind() != kUtilityKind) continue;
        sum += stream->GetHeatLoad(kTargetingLoad) * stream->GetCostIndex();
        stream = nullptr;
    }
    return operatingHoursFraction(costing) * sum;
}

double StreamOperatingCost::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) {
    if (!stream) return 0.0;
    return stream->GetHeatLoad(kTargetingLoad) * stream->GetCostIndex() * operatingHoursFraction(costing);
}

double TotalAnnualCost::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream*) {
    const double capital = costing.GetCostTarget(kCapitalCostCode);
    const double operating = costing.GetCostTarget(kOperatingCostCode);
    const double life = item(costing, EDT_PlantLife);
    // Without a plant life or a capital target there is no capital to annualise: the total is the
    // operating cost alone, never less.
    if (!(life > 0.0) || !(capital > 0.0)) return operating;
    const double recovery = CapitalRecoveryFactor(item(costing, EDT_RateOfReturn), life);
    // A rate of return beyond any plant's (the economics form takes up to 1e308 %) can make the
    // annualised capital overflow: no cost is representable then, and none is added.
    const double annualised = capital * recovery * CostConstants::kPerSecondOfYear;
    return std::isfinite(annualised) ? annualised + operating : operating;
}

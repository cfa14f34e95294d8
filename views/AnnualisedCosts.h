#pragma once
// Capital is annualised over the plant's life. A plant of no life (0 years, which the economics
// form takes) has no annualised capital, and so no total annual cost: every readout of either
// reads it through these, so that none shows the operating cost alone as a total.
#include "brasko/DefaultUtilityTypes.h"
#include "dunmor/Units.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"

namespace annualised_costs {

// A design outside any scenario has no economics to say the life is missing.
inline bool HasPlantLife(const IHeatIntegrationScenario* scenario) {
    return !scenario || SharedEconomicData(*scenario, EDT_PlantLife) > 0.0;
}

inline double TotalAnnualCostTarget(const IHeatIntegrationScenario& scenario) {
    return HasPlantLife(&scenario) ? scenario.GetCostTarget(5) : Units::EmptyValue;
}

inline double AnnualisedCapital(const IHENDesign& design) {
    return HasPlantLife(design.GetScenario()) ? design.GetTotalAnnualizedCapitalCost() : Units::EmptyValue;
}

// A heater or cooler running backwards makes the utility loads no answer of the network: no
// utility total, no utility cost and no total annual cost is read from them.
inline double UtilityLoad(const IHENDesign& design, int side) {
    return design.DoUtilityUnitsRunForwards() ? design.GetTotalUtilityLoad(side) : Units::EmptyValue;
}

inline double UtilityCost(const IHENDesign& design, int kind) {
    return design.DoUtilityUnitsRunForwards() ? design.GetTotalUtilityCost(kind) : Units::EmptyValue;
}

inline double TotalAnnualCost(const IHENDesign& design) {
    return HasPlantLife(design.GetScenario()) && design.DoUtilityUnitsRunForwards()
               ? design.GetTotalUtilityCost(2) + design.GetTotalAnnualizedCapitalCost()
               : Units::EmptyValue;
}

}  // namespace annualised_costs

// Capital cost of one exchanger from the scenario's economic data.
#include "eng/targeting/ExchangerCostLaw.h"

#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/targeting/Cost.h"

#include <cmath>

namespace {
constexpr double kLawCostsUnits = 1.0;
}

bool ScenarioExchangerCostLaw::CapitalCost(const CPString& model, double area, double shells, double& cost) const {
    if (!m_scenario || !(area > 0.0) || !std::isfinite(area)) return false;
    const char* set = model.empty() ? CostConstants::kDefaultSet : model.c_str();
    const double a = m_scenario->GetEconomicData(EDT_FixedCostPerUnit, set);
    const double b = m_scenario->GetEconomicData(EDT_AreaCostCoefficient, set);
    const double c = m_scenario->GetEconomicData(EDT_AreaExponent, set);
    if (a == 0.0 && b == 0.0) return false;
    const bool byUnits = m_scenario->GetEconomicData(EDT_CostLaw, set) == kLawCostsUnits;
    const double s = byUnits || !(shells >= 1.0) ? 1.0 : shells;
    cost = a + s * b * std::pow(area / s, c);
    return std::isfinite(cost);
}

double ScenarioExchangerCostLaw::AnnualisedCost(const CPString& model, double capitalCost) const {
    if (!m_scenario) return 0.0;
    const char* set = model.empty() ? CostConstants::kDefaultSet : model.c_str();
    const double recovery = CapitalRecoveryFactor(m_scenario->GetEconomicData(EDT_RateOfReturn, set),
                                                  m_scenario->GetEconomicData(EDT_PlantLife, set));
    // A rate of return beyond any plant's can make the annualised cost overflow: none is representable.
    const double annualised = capitalCost * recovery * CostConstants::kPerSecondOfYear;
    return std::isfinite(annualised) ? annualised : 0.0;
}

#pragma once
// The capital cost of one exchanger of a design, priced by the same economic data and laws as
// the scenario's capital cost targets, so that an exchanger and a target of the same area cost
// the same. With a, b, c, the cost law, rate and life of the exchanger's cost model:
//   cost law 0 (shells):  a + s b (A/s)^c       cost law 1 (units):  a + b A^c
// and the annualised cost is cost x CapitalRecoveryFactor(rate, life) x 3.1709792e-8 per second.
// The scenario is read through its interface; a design installs one law on its flowsheet.
#include "pellin/ExchangerCostLaw.h"

class IHeatIntegrationScenario;

class ScenarioExchangerCostLaw : public IExchangerCostLaw {
public:
    explicit ScenarioExchangerCostLaw(const IHeatIntegrationScenario* scenario) : m_scenario(scenario) {}
    void SetScenario(const IHeatIntegrationScenario* scenario) { m_scenario = scenario; }

    // False without a scenario, for an area or shell count that cannot be priced, and for a model
    // whose law has neither a fixed nor an area term (a set the scenario does not know).
    bool CapitalCost(const CPString& model, double area, double shells, double& cost) const override;
    double AnnualisedCost(const CPString& model, double capitalCost) const override;

private:
    const IHeatIntegrationScenario* m_scenario;
};

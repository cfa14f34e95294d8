#pragma once
// The cost functions that need no state: uniform capital cost laws over the area target,
// operating cost of the utility streams, total annual cost, and the operating cost of one stream.
//
// With U the minimum number of units with the pinch division, S the shells target, A0 and A1 the
// countercurrent and shell-and-tube area targets, and a, b, c the capital cost law of the set
// "DEFAULT" (a + b (A/unit)^c per unit):
//   CapitalCost11Uniform  U (a + b (A0/U)^c)
//   CapitalCost12Uniform  U a + S b (A1/S)^c
#include "eng/targeting/Cost.h"

class CapitalCost11Uniform : public ICost {
protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;
};

class CapitalCost12Uniform : public ICost {
protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;
};

// h / 8765.76 times the sum of heat load x cost index over the utility streams (process streams
// carry no operating cost whatever their cost index), h the operating hours per year.
class OperatingCost : public ICost {
protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;
};

// The same for one stream, whatever its kind; 0.0 without a stream.
class StreamOperatingCost : public ICost {
protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;
};

// Annualised capital target plus operating target, per second:
//   C x CapitalRecoveryFactor(i, n) x 3.1709792e-8 + O
// 0.0 (not O) when the plant life is not positive or the capital target is not above 0.
class TotalAnnualCost : public ICost {
protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;
};

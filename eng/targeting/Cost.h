#pragma once
// Cost functions: small objects that turn the targets of anything implementing
// IHeatIntegrationScenarioForCosting (a scenario, or one point of the capital/utility trade-off)
// into money, so that one set of formulas serves both.
//
// Units: capital costs are in cost units; operating and total annual costs are per second
// (annual values times 3.1709792e-8, one 365-day year being 31,536,000 s), and operating costs
// scale by the operating hours over the 8765.76 hours of a year.
#include <memory>

class IHeatIntegrationScenarioForCosting;
class IHeatIntegrationStream;

namespace CostConstants {
// One over the seconds of a 365-day year: annual cost to cost per second.
constexpr double kPerSecondOfYear = 3.1709792e-8;
// Hours of an average year; operating hours are taken relative to it.
constexpr double kHoursPerYear = 8765.76;
// The economic data set that the uniform and operating formulas read.
constexpr const char* kDefaultSet = "DEFAULT";
}  // namespace CostConstants

// Kinds that CreateCost knows.
enum CostKind : int {
    CK_CapitalCost11Uniform = 0,
    CK_CapitalCost12Uniform = 1,
    CK_CapitalCost11NonUniform = 2,
    CK_CapitalCost12NonUniform = 3,
    CK_OperatingCost = 4,
    CK_TotalAnnualCost = 5,
    CK_StreamOperatingCost = 6,
};

class ICost {
public:
    virtual ~ICost() = default;

    double Evaluate(IHeatIntegrationScenarioForCosting& costing) { return Compute(costing, nullptr); }
    // The per-stream operating cost reads the stream; every other kind ignores it.
    double Evaluate(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream& stream) {
        return Compute(costing, &stream);
    }

protected:
    virtual double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) = 0;
};

// The cost object of `kind` (CostKind); null for any other kind.
std::unique_ptr<ICost> CreateCost(int kind);

// Capital-recovery factor i (1+i)^n / ((1+i)^n - 1) for a rate of return `rate` per year over
// `years`; at a rate of 0 the capital is spread evenly, 1/n. 0.0 when the plant life is not
// positive or the rate is not above -100 % (nothing can be annualised).
double CapitalRecoveryFactor(double rate, double years);

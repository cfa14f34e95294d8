// Creation of cost objects by kind and the capital-recovery factor they share.
#include "eng/targeting/Cost.h"

#include "eng/targeting/CostFunctions.h"
#include "eng/targeting/CostNonUniform.h"

#include <cmath>

std::unique_ptr<ICost> CreateCost(int kind) {
    switch (kind) {
    case CK_CapitalCost11Uniform: return std::make_unique<CapitalCost11Uniform>();
    case CK_CapitalCost12Uniform: return std::make_unique<CapitalCost12Uniform>();
    case CK_CapitalCost11NonUniform: return std::make_unique<CapitalCost11NonUniform>();
    case CK_CapitalCost12NonUniform: return std::make_unique<CapitalCost12NonUniform>();
    case CK_OperatingCost: return std::make_unique<OperatingCost>();
    case CK_TotalAnnualCost: return std::make_unique<TotalAnnualCost>();
    case CK_StreamOperatingCost: return std::make_unique<StreamOperatingCost>();
    default: return nullptr;
    }
}

double CapitalRecoveryFactor(double rate, double years) {
    if (!std::isfinite(rate) || !std::isfinite(years) || years <= 0.0 || rate <= -1.0) return 0.0;
    // Without interest the capital is simply spread over the plant life.
    if (rate == 0.0) return 1.0 / years;
    // i / (1 - (1+i)^-n), the same factor without (1+i)^n, which overflows over a long life (10,000
    // years at 10 %) where the factor has long reached the rate; expm1/log1p keep its digits when
    // the rate is small.
    const double growthLog = years * std::log1p(rate);
    const double discountedLessOne = -std::expm1(-growthLog);
    if (discountedLessOne == 0.0) return 1.0 / years;
    const double factor = rate / discountedLessOne;
    return std::isfinite(factor) ? factor : 0.0;
}

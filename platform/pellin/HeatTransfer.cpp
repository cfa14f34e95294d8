#include "pellin/HeatTransfer.h"

#include <cmath>

namespace {
// Relative closeness of the two end differences below which the mean series is used.
constexpr double kNearlyEqualBand = 1e-4;
}  // namespace

double LogMeanTemperatureDifference(double dt1, double dt2) {
    if (!std::isfinite(dt1) || !std::isfinite(dt2)) return 0.0;
    if (dt1 <= 0.0 || dt2 <= 0.0) return 0.0;

    const double mean = 0.5 * (dt1 + dt2);
    const double halfGap = 0.5 * (dt1 - dt2);
    const double e = halfGap / mean;  // |e| < 1 for positive differences
    if (std::fabs(e) <= kNearlyEqualBand) {
        // (a - b) / ln(a / b) = mean * e / atanh(e) = mean * (1 - e^2/3 - 4 e^4/45 - ...);
        // with |e| <= 1e-4 the next term is below 1e-25 of the mean.
        const double e2 = e * e;
        return mean * (1.0 - e2 / 3.0 - 4.0 * e2 * e2 / 45.0);
    }
    // The difference is exact for close ends, and log1p keeps the logarithm's digits.
    return (dt1 - dt2) / std::log1p((dt1 - dt2) / dt2);
}

double OverallCoefficient(double hHot, double hCold) {
    if (!std::isfinite(hHot) || !std::isfinite(hCold)) return 0.0;
    if (hHot <= 0.0 || hCold <= 0.0) return 0.0;
    return 1.0 / (1.0 / hHot + 1.0 / hCold);
}

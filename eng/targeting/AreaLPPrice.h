#pragma once
// What the area LP's model and its pricing share of a column's price.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace arealp {

// The mean temperature difference of a column never goes below this, so that a column whose
// approach is nil is priced very high rather than infinitely.
constexpr double kMinimumMTD = 1e-6;
// Each pricing round brings in at most this many columns per hot row and per cold row.
constexpr int kBestPerRow = 4;
// A column comes in when its reduced cost is below this share of its price.
constexpr double kPricingTolerance = 1e-10;

// Two thirds of the geometric and one third of the arithmetic mean of the end differences, close
// to the log mean.
inline double MeanTemperatureDifference(double top, double bottom) {
    const double mtd = 2.0 * std::sqrt(std::max(top * bottom, 0.0)) / 3.0 + (top + bottom) / 6.0;
    return mtd > kMinimumMTD ? mtd : kMinimumMTD;
}

inline std::uint64_t PairKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

}  // namespace arealp

#pragma once
// Whole numbers of shells from real ones. A count computed as a sum or a ratio of areas carries
// round-off (37.000000000000007 shells is 37 shells, not 38), so it is rounded up only when it
// lies above the whole number below by more than a relative tolerance.
#include <algorithm>
#include <cmath>

namespace shell_count {

constexpr double RelativeTolerance = 1e-9;

inline double RoundUp(double shells) {
    if (!std::isfinite(shells)) return shells;
    const double nearest = std::round(shells);
    if (std::fabs(shells - nearest) <= RelativeTolerance * std::max(1.0, std::fabs(shells))) return nearest;
    return std::ceil(shells);
}

}  // namespace shell_count

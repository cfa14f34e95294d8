#pragma once
// A duty no larger than this (kW) either way is no duty: the rounding of a balance that closes,
// not heat run against the driving force, and no exchange that needs an area. The exchanger's
// unit model (HeatExch::HasNegligibleDuty), the verdict on an operated network, the design report
// and the case reader all ask IsNegligibleDuty.
#include <cmath>

inline constexpr double kNegligibleExchangerDuty = 1e-6;

// Whether a heater's or cooler's duty q (kW) is no duty at all (not a number is none such).
inline bool IsNegligibleDuty(double q) { return std::fabs(q) <= kNegligibleExchangerDuty; }

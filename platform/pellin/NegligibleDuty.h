#pragma once
// A duty no larger than this (kW) either way is no duty: the rounding of a balance that closes,
// not heat run against the driving force, and no exchange that needs an area. The exchanger's
// unit model, the verdict on an operated network and the case reader share it.
inline constexpr double kNegligibleExchangerDuty = 1e-6;

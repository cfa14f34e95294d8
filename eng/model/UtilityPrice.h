#pragma once
// The price of a utility as the user types it, on every table and editor that takes one.
#include "eng/model/CaseValueLimits.h"

namespace CaseValueLimits {
// Held per second. A utility bought costs from 0 up; one that earns a credit (steam raised,
// refrigerant recovered: its price, as the default utilities give it, is below 0) may keep a
// credit of the same size. A price typed never turns a utility bought into one sold.
constexpr bool UtilityPriceTaken(double perSecond, double heldPerSecond) {
    const double perYear = perSecond / PerYearToPerSecond;
    const double lowest = heldPerSecond < 0.0 ? -MaxCost : 0.0;
    return perYear >= lowest && perYear <= MaxCost;
}
}  // namespace CaseValueLimits

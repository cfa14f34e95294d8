#pragma once
// The price of a utility as the user types it, on every table and editor that takes one.
#include "brasko/DefaultManager.h"
#include "eng/model/CaseValueLimits.h"

namespace CaseValueLimits {
// Held per second. A utility bought costs from 0 up; one that earns a credit (steam raised,
// refrigerant recovered: its price, as the default utilities give it, is below 0) may take a
// credit of the same size. What a utility may take is its kind's, never the price typed last: a
// generation utility given a price it pays may be given its credit again, and a price typed never
// turns a utility bought into one sold.
constexpr bool UtilityPriceTaken(double perSecond, bool earnsCredit) {
    const double perYear = perSecond / PerYearToPerSecond;
    const double lowest = earnsCredit ? -MaxCost : 0.0;
    return perYear >= lowest && perYear <= MaxCost;
}

// Whether a utility of this name earns a credit: a generation utility of the default set does,
// whatever it was priced at since; a utility of a name of its own earns one where it holds one
// (read from a defaults file, say).
inline bool UtilityEarnsCredit(const char* name, double heldPerSecond) {
    return DefaultManager::FactoryUtilityEarnsCredit(name) || heldPerSecond < 0.0;
}

inline bool UtilityPriceTaken(double perSecond, const char* name, double heldPerSecond) {
    return UtilityPriceTaken(perSecond, UtilityEarnsCredit(name, heldPerSecond));
}
}  // namespace CaseValueLimits

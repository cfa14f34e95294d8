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

// Whether a utility earns a credit is what it is, never the price it holds: a generation utility
// of the default set does by its name; any other where it came from a default utility that earns
// one or was given a credit once (`earns`, which a stream keeps through a rename, a price typed
// since and the case file), so renamed, priced 2 and then -2 it takes the credit again.
inline bool UtilityEarnsCredit(const char* name, bool earns) {
    return earns || DefaultManager::FactoryUtilityEarnsCredit(name);
}

inline bool UtilityPriceTaken(double perSecond, const char* name, bool earns) {
    return UtilityPriceTaken(perSecond, UtilityEarnsCredit(name, earns));
}
}  // namespace CaseValueLimits

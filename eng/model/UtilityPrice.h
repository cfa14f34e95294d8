#pragma once
// The price of a utility as the user types it, on every table and editor that takes one.
#include "eng/model/CaseValueLimits.h"

namespace CaseValueLimits {
// Held per second. A utility bought costs from 0 up; one that earns a credit (steam raised,
// refrigerant recovered: its price, as the default utilities give it, is below 0) may take a
// credit of the same size. What a utility may take is its kind's, never the price typed last: a
// generation utility given a price it pays may be given its credit again, and a price typed never
// turns a utility bought into one sold. Nor does its name: `earnsCredit` is the mark a stream
// takes from a default utility that earns one or from a credit given once, and keeps through a
// rename, a price typed since and the case file, so a bought utility renamed like a generation
// one still pays.
constexpr bool UtilityPriceTaken(double perSecond, bool earnsCredit) {
    const double perYear = perSecond / PerYearToPerSecond;
    const double lowest = earnsCredit ? -MaxCost : 0.0;
    return perYear >= lowest && perYear <= MaxCost;
}

}  // namespace CaseValueLimits

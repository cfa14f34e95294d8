#pragma once
// The one judgement of a stream's segment that a case reader makes: a case holds no segment that
// fails it, so every route that gives a stream a value (a table, a form, a what-if run) asks it
// before the value is taken.
#include "eng/model/CaseValueLimits.h"

#include <cmath>

namespace CaseValueLimits {

// A segment from `from` to `to` (C) with film coefficient `h` and heat-capacity flow rate `cp`:
// its ends within the temperature range, its coefficient within the coefficient range, and on a
// process stream a rate within the rate range carrying a load within the duty range over its
// span. A utility's rate follows from the load the targets place on it. A value not given
// (EmptyValue) passes.
inline bool SegmentHolds(double from, double to, double h, double cp, bool utility) {
    const auto within = [](double v, double low, double high) { return v == EmptyValue || (v >= low && v <= high); };
    if (!within(from, MinTemperature, MaxTemperature) || !within(to, MinTemperature, MaxTemperature)) return false;
    if (!within(h, MinH, MaxH)) return false;
    if (utility || cp == EmptyValue) return true;
    if (!within(cp, MinCp, MaxCp)) return false;
    if (from == EmptyValue || to == EmptyValue || from == to) return true;
    const double load = cp * std::fabs(from - to);
    return load >= MinDuty && load <= MaxDuty;
}

// The same over values read by index (a stream's own, or a trial copy of them): segment `i` runs
// from point `i` to point `i + 1`. `read(name, index)` gives EmptyValue for a value not given.
template <class Read>
bool SegmentHolds(const Read& read, int i, bool utility) {
    return SegmentHolds(read("Temperature", i), read("Temperature", i + 1), read("HTCoeff", i),
                        read("HeatCapacityFlowrate", i), utility);
}

}  // namespace CaseValueLimits

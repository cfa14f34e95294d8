#pragma once
// The new values an event of a what-if schedule can carry out: an inlet temperature from absolute
// zero to what a furnace reaches, every other quantity (a flow, an area, shells, a coefficient, a
// split share) from 0 to the size of any plant. The same bounds the event-plan reader holds a
// plan file's values to.
#include "eng/model/CaseValueLimits.h"

// `kind` is the event's quantity (its type code: 1 a temperature in C); `value` in base units.
inline bool EventValueFits(int kind, double value) {
    if (kind == 1) return value >= CaseValueLimits::MinTemperature && value <= CaseValueLimits::MaxTemperature;
    return value >= 0.0 && value <= CaseValueLimits::MaxMagnitude;
}

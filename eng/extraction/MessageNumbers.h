#pragma once
// Numbers in the extraction's report and warnings: ten significant figures, so that a flow the
// case gives as 3.0001 kg/s reads 3.0001 and not the binary sum 3.0000999999999998, while values
// that differ in the simulator's own output still read apart. Every extraction message quotes its
// numbers through this one formatter.
#include "lumeth/Text.h"

inline Text ExtractionNumber(double value) {
    // A negative zero (a duty of -0) reads as the 0 it is.
    return FormattedText("%.10g", value == 0.0 ? 0.0 : value);
}

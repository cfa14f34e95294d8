#pragma once
// Whether a network is one an engineer could build: every process stream reaches its target,
// every exchanger that carries heat meets the minimum approach, and the network calculates.
// A retrofit step is judged by it, so that a saving that comes from an unmet target or from an
// exchanger run below the approach is never reported as one.
#include <string>

class IHENDesign;

// Empty when the design is buildable, else why not, in one line. `dtMin` is the approach every
// process exchanger must keep; an exchanger that already ran closer in `base` (may be null) need
// keep only the approach it had there, so that an existing plant below the approach can still be
// improved. The approach is met to within the calculation's own precision.
std::string WhyNetworkIsNotBuildable(IHENDesign& design, const IHENDesign* base, double dtMin);

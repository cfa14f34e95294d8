#pragma once
// Whether a stream's segment holds only what a case holds: a form that takes a value leaving a
// segment outside this would show it, and then refuse the whole case when it is saved.
class IHeatIntegrationStream;

namespace segment_limits {

// Segment `i` (its ends `i` and `i + 1`) as the case reader judges it (CaseValueLimits::
// SegmentHolds): ends, film coefficient, and a process stream's rate and load in their ranges.
bool Holds(const IHeatIntegrationStream& stream, int i);

}  // namespace segment_limits

#pragma once
// Whether a stream's segment holds only what a case holds: a form that takes a value leaving a
// segment outside this would show it, and then refuse the whole case when it is saved.
class IHeatIntegrationStream;

namespace segment_limits {

// Segment `i` (its ends `i` and `i + 1`): its ends within the temperature range, the film
// coefficient it works with within the coefficient range, and on a process stream a heat-capacity
// flow rate within the rate range carrying a load within the duty range over its span. A
// utility's rate follows from the load the targets place on it. A value not given passes.
bool Holds(const IHeatIntegrationStream& stream, int i);

}  // namespace segment_limits

#pragma once
// The pinches the scenario viewer shows: those of the utilities as placed (a second steam level
// may touch the grand composite curve) and, when the placement brings none of its own (more
// utility placed than the minimum, as with a forbidden match), the process pinches, which divide
// the problem whatever is placed. The count, the temperatures and the pinch text read one list.
#include "eng/model/IHeatIntegrationScenario.h"

namespace scenario_pinches {

inline bool Placed(const IHeatIntegrationScenario& s) {
    const int n = s.GetNumberOfPinchPoints();
    return n > 0;
}

inline int Count(const IHeatIntegrationScenario& s) {
    if (Placed(s)) return s.GetNumberOfPinchPoints();
    const int n = s.GetNumberOfProcessPinchPoints();
    return n > 0 ? n : 0;
}

// Side 0 hot, 1 cold, of pinch `index`; 0.0 when there is no such pinch.
inline double Temperature(const IHeatIntegrationScenario& s, int side, int index) {
    return Placed(s) ? s.GetPinchTemperature(side, index) : s.GetProcessPinchTemperatureAt(side, index);
}

}  // namespace scenario_pinches

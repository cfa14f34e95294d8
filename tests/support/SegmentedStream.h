#pragma once
// A stream of a scenario split into segments by hand: its temperature points in order (supply
// first) and, when given, the "Enthalpy" of each segment as the stream keeps it (negative on a
// cold stream).
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <vector>

inline IHeatIntegrationStream* MakeSegmentedStream(IHeatIntegrationScenario& scenario, const char* name, int kind,
                                                   const std::vector<double>& points,
                                                   const std::vector<double>& enthalpies = {}) {
    if (points.size() < 2 || scenario.AddStream(name, kind) != 1) return nullptr;
    IHeatIntegrationStream* s = nullptr;
    if (!scenario.GetStream(name, s) || !s) return nullptr;
    if (!s->SetValue("Temperature", points.front(), 0) || !s->SetValue("Temperature", points.back(), 1)) return nullptr;
    // Each new point goes in before the target point.
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const int at = static_cast<int>(i);
        if (s->InsertSegment(at) != 1 || !s->SetValue("Temperature", points[i], at)) return nullptr;
    }
    for (std::size_t i = 0; i < enthalpies.size(); ++i)
        if (!s->SetValue("Enthalpy", enthalpies[i], static_cast<int>(i))) return nullptr;
    return s;
}

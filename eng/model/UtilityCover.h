#pragma once
// Whether the utilities cover the targets. Where they do not (typed loads short of the targets,
// a trade-off with no economic data to weigh, no utility to place), the area, units, shells and
// costs are no results: `targets` prints them not available and the views leave them empty.
#include "eng/model/IHeatIntegrationScenario.h"

namespace utility_cover {

// A side of the placement is settled when its status is 0 or 2 (4: typed loads that could not
// be evaluated; 5: a trade-off without economic data; 1: short of the target).
constexpr bool SideCovered(int status) { return status == 0 || status == 2; }

// A utility target this small is none to cover.
constexpr double kNoTarget = 1e-9;

inline bool UtilitiesCoverTargets(IHeatIntegrationScenario& scenario) {
    const bool needsUtility = scenario.GetUtilityTarget(0) > kNoTarget || scenario.GetUtilityTarget(1) > kNoTarget;
    if (needsUtility && scenario.GetNumberOfUtilityStreams() == 0) return false;
    return SideCovered(scenario.GetUtilityAssignmentStatus(0)) && SideCovered(scenario.GetUtilityAssignmentStatus(1));
}

}  // namespace utility_cover

#pragma once
// The supertargeting results of a scenario: the targets at many values of the minimum approach
// temperature (one point each, sorted by DTmin), the DTmin values asked for, and the bracket
// around the least-cost DTmin. The scenario empties the points whenever a change invalidates the
// targets they were computed from.
#include "eng/startup/SharedRecords.h"

#include <vector>

struct SuperTargetRange {
    static constexpr double kEmpty = -32767.0;

    // values[0..9] are selectors 1..10 of a point, `eleventh` selector 11, `count` the flag that
    // says whether the utility placement was valid at that DTmin.
    std::vector<SuperTargetPointRecord> points;
    std::vector<double> requestedValues;
    double dBaseCostValue = 0.0;
    double dRangeStart = 2.0001;
    double dRangeEnd = 0.0;
    double dThirdRangeValue = 1.0;
    double dOptimumUpper = kEmpty;
    double dOptimumLower = kEmpty;

    bool HasPoints() const { return !points.empty(); }
    void ClearPoints() { points.clear(); }
};

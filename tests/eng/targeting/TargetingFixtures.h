#pragma once
// Stream segments for the targeting tests, and an independent problem-table cascade to check the
// LP targets against.
#include "eng/core/StreamSegment.h"
#include "eng/targeting/TemperatureInterval.h"
#include "tests/support/FourStreams.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace targeting_test {

// Owns the segments; `refs` is the list targeting is given.
class SegmentSet {
public:
    // A segment from `in` to `out`: hot when it cools, cold when it heats. Kind 0 process,
    // 1 utility (with a used network block), 2 linked.
    StreamSegment* Add(double in, double out, double cp, int kind = 0) {
        auto s = std::make_unique<StreamSegment>();
        s->dInletTemperature = in;
        s->dOutletTemperature = out;
        s->dHeatCapacityFlowrate = cp;
        s->nHotCold = in >= out ? 0 : 1;
        s->nKind = kind;
        s->dLoad = std::fabs(in - out) * cp;
        if (kind == 1) {
            s->pLink = std::make_unique<StreamSegmentLink>();
            s->pLink->nConnected = 1;
            s->pLink->dFarEndTemperature = out;
        }
        refs.push_back(s.get());
        owned.push_back(std::move(s));
        return refs.back();
    }
    // Every segment shifted for a global DTmin: hot down, cold up by half of it.
    void Shift(double dtMin) {
        for (StreamSegment* s : refs) s->ShiftTemperatures(dtMin);
    }

    std::vector<std::unique_ptr<StreamSegment>> owned;
    SegmentRefs refs;
};

// The four-stream textbook problem.
inline void AddFourStreamProblem(SegmentSet& set) { AddFourStreamSegments(set); }

struct CascadeResult {
    double hot = 0.0;
    double cold = 0.0;
    std::vector<double> pinches;  // shifted pinch temperatures
};

// Problem-table algorithm over the shifted temperatures of the process segments.
inline CascadeResult ProblemTable(const SegmentRefs& segments) {
    std::vector<double> t;
    for (const StreamSegment* s : segments) {
        if (s->nKind == 1) continue;
        t.push_back(s->dShiftedInletTemperature);
        t.push_back(s->dShiftedOutletTemperature);
    }
    std::sort(t.begin(), t.end(), std::greater<double>());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    CascadeResult r;
    if (t.empty()) return r;
    std::vector<double> flow(t.size(), 0.0);
    for (std::size_t k = 0; k + 1 < t.size(); ++k) {
        const double mid = 0.5 * (t[k] + t[k + 1]);
        double net = 0.0;
        for (const StreamSegment* s : segments) {
            if (s->nKind == 1) continue;
            const double hi = std::max(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
            const double lo = std::min(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
            if (mid < hi && mid > lo) net += (s->nHotCold == 0 ? 1.0 : -1.0) * s->dHeatCapacityFlowrate;
        }
        flow[k + 1] = flow[k] + net * (t[k] - t[k + 1]);
    }
    const double lowest = std::min(0.0, *std::min_element(flow.begin(), flow.end()));
    r.hot = -lowest;
    r.cold = flow.back() - lowest;
    for (std::size_t k = 1; k + 1 < t.size(); ++k)
        if (std::fabs(flow[k] - lowest) < 1e-9) r.pinches.push_back(t[k]);
    return r;
}

// Random process streams: temperatures 20 to 400, CP 1 to 50.
inline void AddRandomStreams(SegmentSet& set, int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> temperature(20.0, 400.0);
    std::uniform_real_distribution<double> cp(1.0, 50.0);
    for (int i = 0; i < count; ++i) {
        double a = temperature(rng), b = temperature(rng);
        while (std::fabs(a - b) < 1.0) b = temperature(rng);
        set.Add(a, b, cp(rng));
    }
}

}  // namespace targeting_test

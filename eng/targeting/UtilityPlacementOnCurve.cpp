#include "eng/targeting/UtilityPlacementOnCurve.h"

#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kCrossingTolerance = 1e-8;
// A placed load above this marks the segment as one whose load crosses the pinch.
constexpr double kCrossPinchLoad = 1e-8;

// Walks the boundaries in the given order while their load is below zero; answers the crossing.
double Crossing(const TIList* list, bool fromBottom, double none) {
    const int n = list ? list->GetNumberOfBoundaries() : 0;
    if (n == 0) return none;
    auto at = [&](int step) { return list->GetInterval(fromBottom ? n - 1 - step : step); };
    int passed = -1;
    while (passed + 1 < n && at(passed + 1)->dValue < -kCrossingTolerance) ++passed;
    const TemperatureInterval* p = at(passed < 0 ? 0 : passed);
    double t = p->dTemperature;
    if (passed + 1 < n) {
        const TemperatureInterval* q = at(passed + 1);
        const double dl = q->dValue - p->dValue;
        if (std::fabs(dl) > kCrossingTolerance)
            t = q->dTemperature - (q->dTemperature - p->dTemperature) * q->dValue / dl;
    }
    return t;
}

void ClearOwnerLoads(IPlacedUtilityStream* owner) {
    if (owner) owner->ClearLoadFlags();
}

}  // namespace

double HotUtilityCrossing(const TargetCurve& curve) {
    const TIList* hot = curve.GetHotList();
    const int nh = hot ? hot->GetNumberOfBoundaries() : 0;
    if (nh == 0) return UtilityPlacementLimits::NoHotCrossing;
    // The profile of every utility boundary, hottest first, down to the coldest hot boundary: a
    // cold utility lying within a hot utility's range lifts the profile there, so the hot
    // boundaries alone would draw a straight line across it (a hot utility ending inside the
    // cooling water's range would read as crossing nowhere and serve its whole range).
    std::vector<std::pair<double, double>> points;
    const double lowest = hot->GetTemperature(nh - 1);
    for (const TIList* list : {curve.GetColdList(), hot})
        for (int i = 0; list && i < list->GetNumberOfBoundaries(); ++i)
            if (list->GetTemperature(i) >= lowest)
                points.emplace_back(list->GetTemperature(i), list->GetInterval(i)->dValue);
    std::stable_sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    // From the top down to the first point below zero; the crossing lies between it and the one
    // before. None below zero: the hot utilities serve their whole range.
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!(points[k].second < -kCrossingTolerance)) continue;
        if (k == 0) return points[0].first;
        const auto& [ta, va] = points[k - 1];
        const auto& [tb, vb] = points[k];
        const double dl = va - vb;
        return std::fabs(dl) > kCrossingTolerance ? ta - (ta - tb) * va / dl : tb;
    }
    return lowest;
}

double ColdUtilityCrossing(const TargetCurve& curve) {
    return Crossing(curve.GetColdList(), false, UtilityPlacementLimits::NoColdCrossing);
}

void PlaceUtilitySegment(StreamSegment& s, double t, IPlacedUtilityStream* owner) {
    if (!s.pLink) return;
    StreamSegmentLink& link = *s.pLink;
    const double supply = s.dShiftedInletTemperature;
    const double target = s.dShiftedOutletTemperature;
    const bool hot = s.nHotCold == 0;
    // Hot: supply above target, used from the supply down to t. Cold: the mirror.
    const bool inside = hot ? (t >= target && t <= supply) : (t >= supply && t <= target);
    const bool wholeRange = hot ? t < target : t > target;
    if (inside) {
        link.dShiftedFarEndTemperature = t;
        link.dFarEndTemperature = s.dInletTemperature - supply + t;
        s.dLoad = std::fabs(s.dInletTemperature - link.dFarEndTemperature) * s.dHeatCapacityFlowrate;
        ClearOwnerLoads(owner);
        link.nConnected = CarriesUtilityLoad(s) ? 1 : 0;
    } else if (wholeRange) {
        link.dShiftedFarEndTemperature = target;
        link.dFarEndTemperature = s.dOutletTemperature;
        link.nConnected = CarriesUtilityLoad(s) ? 1 : 0;
    } else {
        link.nConnected = 0;
        s.dLoad = 0.0;
        ClearOwnerLoads(owner);
    }
    link.nCrossPinch = link.nConnected != 0 && std::fabs(s.dLoad) > kCrossPinchLoad ? 1 : 0;
}

void PlaceUtilitiesOnCurve(const TargetCurve& curve, std::span<StreamSegment* const> hotSegments,
                           std::span<StreamSegment* const> coldSegments,
                           const std::function<IPlacedUtilityStream*(const StreamSegment&)>& ownerOf) {
    const double hotCrossing = HotUtilityCrossing(curve);
    const double coldCrossing = ColdUtilityCrossing(curve);
    for (StreamSegment* s : hotSegments)
        if (s) PlaceUtilitySegment(*s, hotCrossing, ownerOf ? ownerOf(*s) : nullptr);
    for (StreamSegment* s : coldSegments)
        if (s) PlaceUtilitySegment(*s, coldCrossing, ownerOf ? ownerOf(*s) : nullptr);
}

void ApplyPlacedUtilityTemperature(IPlacedUtilityStream& stream) {
    StreamSegmentList* segments = stream.GetDesignSegments();
    if (!segments || segments->empty()) return;
    const bool cold = (*segments)[0]->nHotCold == 1;
    bool found = false;
    double best = 0.0;
    for (const auto& s : *segments) {
        if (!s || !s->pLink || s->pLink->nConnected == 0) continue;
        const double t = s->pLink->dFarEndTemperature;
        if (cold ? t > UtilityPlacementLimits::NoHotCrossing : t < UtilityPlacementLimits::NoColdCrossing) {
            if (!found || (cold ? t > best : t < best)) best = t;
            found = true;
        }
    }
    if (found) {
        stream.SetStoredValue(best);
        stream.ClearLoadFlags();
        stream.RecomputeHeatLoads();
    } else {
        // A utility the plant no longer uses (a stream deleted, a copy without one) is used to
        // no temperature: it holds what a utility never placed holds, not the last placement's.
        stream.SetStoredValue(0.0);
    }
    stream.UpdateEndToleranceLoad(1);
    stream.UpdateEndToleranceLoad(-1);
}

void ResetUtilityPlacementOfSegments(std::span<StreamSegment* const> segments) {
    for (StreamSegment* s : segments) {
        if (!s || s->nKind != 1 || !s->pLink) continue;
        s->pLink->dShiftedFarEndTemperature = s->dShiftedOutletTemperature;
        s->pLink->dFarEndTemperature = s->dOutletTemperature;
        s->pLink->nConnected = 1;
        s->pLink->nCrossPinch = 0;
    }
}

#include "eng/targeting/CurveInterpolation.h"

#include "dunmor/Exceptions.h"
#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>

double GetIthTI(const TIList* list, int column, int i) {
    if (column != 0 && column != 1) {
        Exceptions::Assert("eng/unit5", 632, "!\"GetIthTI Failed\"");
        return 0.0;
    }
    const TemperatureInterval* e = list ? list->GetInterval(i) : nullptr;
    if (!e) return 0.0;
    return column == 0 ? e->dTemperature : e->dValue;
}

double InterpolateOnCurve(std::span<const CurvePoint> curve, double x) {
    if (curve.empty()) return 0.0;
    if (x >= curve.back().x) return curve.back().y;
    if (curve.front().x >= x) return curve.front().y;
    // The first point at or beyond x, and its predecessor.
    auto p2 = std::partition_point(curve.begin(), curve.end(), [x](const CurvePoint& p) { return p.x < x; });
    // On a curve that is not in increasing x the search may stop at either end.
    if (p2 == curve.begin()) return curve.front().y;
    if (p2 == curve.end()) return curve.back().y;
    auto p1 = p2 - 1;
    return (p2->y - p1->y) / (p2->x - p1->x) * (x - p2->x) + p2->y;
}

std::vector<CurvePoint> CurveOfIntervals(const TIList& list) {
    std::vector<CurvePoint> curve;
    const int n = list.GetNumberOfBoundaries();
    curve.reserve(static_cast<std::size_t>(n));
    for (int i = n - 1; i >= 0; --i) {
        const TemperatureInterval* e = list.GetInterval(i);
        curve.push_back(CurvePoint{e->dTemperature, e->dValue});
    }
    return curve;
}

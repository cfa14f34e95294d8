// Supertargeting over the minimum approach temperature: fixed-step ranges, the golden-section
// search for the least total annual cost, the optimum bracket and the record.
#include "eng/model/SuperTargetRange.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/Scenario.h"
#include "eng/core/SharedCallbacks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDTmin = 0;
constexpr int kCapital = 7;
constexpr int kOperating = 8;
constexpr int kTotal = 9;
constexpr double kConvergedWidth = 1.0;  // degrees between the inner points
// Curves of the scenario that bound the search: the composite curves' hot and cold lists.
constexpr int kHotCompositeCurve = 3;
constexpr int kColdCompositeCurve = 4;
constexpr int kLoadOrTemperatureCoordinate = 0;

double dtOf(const SuperTargetPointRecord& p) { return p.values[kDTmin]; }
double costOf(const SuperTargetPointRecord& p) { return p.values[kTotal]; }

bool isUsable(const SuperTargetPointRecord& p) {
    const double tol = SuperTargetRange::kCostTolerance;
    return p.values[kCapital] > tol && p.values[kOperating] > tol && p.values[kTotal] > tol;
}

bool readPoint(ILurmetBinaryFile& file, SuperTargetPointRecord& point) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    for (double& v : point.values)
        if (!file.ReadDouble(v)) return false;
    if (!file.ReadInt(point.count)) return false;
    point.eleventh = 0.0;
    if (file.GetRecordVersion(h) >= 2 && !file.ReadDouble(point.eleventh)) return false;
    return file.EndRecord(h);
}

}  // namespace

// ---------------------------------------------------------------- the scenario as source

double ScenarioSuperTargetSource::GetDTmin() const { return m_scenario.GetDTmin(); }

// The last point may have been at the scenario's own DTmin; the targets are rebuilt all the same, so
// that designs and views hear the scenario's DTmin again.
void ScenarioSuperTargetSource::RestoreDTmin(double dTmin) { m_scenario.ApplyDTmin(dTmin); }

SuperTargetPointRecord ScenarioSuperTargetSource::CalculatePoint(double dTmin) {
    return m_scenario.CalculateSuperTargetPoint(dTmin);
}

double ScenarioSuperTargetSource::GetSearchRangeEnd() const {
    const int coldPoints = m_scenario.GetNumberOfCurvePoints(kColdCompositeCurve);
    const double hotFirst = m_scenario.GetTargetCurveValue(kHotCompositeCurve, kLoadOrTemperatureCoordinate, 0);
    const double coldLast =
        coldPoints > 0 ? m_scenario.GetTargetCurveValue(kColdCompositeCurve, kLoadOrTemperatureCoordinate, coldPoints - 1)
                       : 0.0;
    return hotFirst - coldLast;
}

// ---------------------------------------------------------------- points

void SuperTargetRange::Free() {
    points.clear();
    requestedValues.clear();
}

bool SuperTargetRange::IsDTminFree(double dTmin) const {
    return std::none_of(points.begin(), points.end(),
                        [dTmin](const SuperTargetPointRecord& p) { return dtOf(p) == dTmin; });
}

void SuperTargetRange::RememberRequested(double dTmin) {
    if (std::find(requestedValues.begin(), requestedValues.end(), dTmin) == requestedValues.end())
        requestedValues.push_back(dTmin);
}

const SuperTargetPointRecord& SuperTargetRange::Compute(ISuperTargetPointSource& source, double dTmin) {
    points.push_back(source.CalculatePoint(dTmin));
    return points.back();
}

bool SuperTargetRange::AddPoint(ISuperTargetPointSource& source, double dTmin) {
    if (dTmin == kEmpty || !std::isfinite(dTmin) || !IsDTminFree(dTmin)) return false;
    const double kept = source.GetDTmin();
    RememberRequested(dTmin);
    Compute(source, dTmin);
    SortByDTmin();
    source.RestoreDTmin(kept);
    return true;
}

void SuperTargetRange::SortByDTmin() {
    // A DTmin that is not a number (only a damaged record can bring one) sorts last.
    std::stable_sort(points.begin(), points.end(), [](const SuperTargetPointRecord& x, const SuperTargetPointRecord& y) {
        if (std::isnan(dtOf(x))) return false;
        if (std::isnan(dtOf(y))) return true;
        return dtOf(x) < dtOf(y);
    });
}

// ---------------------------------------------------------------- fixed steps

bool SuperTargetRange::IsFixedStepRangeAcceptable(double from, double to, double step) {
    if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step) || step <= 0.0) return false;
    if (from == kEmpty) return false;
    if (to < from) return true;  // an empty range: nothing to compute, nothing wrong
    return (to - from) / step < static_cast<double>(kMaxFixedStepPoints);
}

bool SuperTargetRange::CalculateFixedSteps(ISuperTargetPointSource& source, double from, double to, double step) {
    if (!IsFixedStepRangeAcceptable(from, to, step)) return false;
    const double kept = source.GetDTmin();
    bool computed = false;
    // Each value from the start and its index, so that a long range does not drift; a value past
    // the end by rounding only (a millionth of a step) is the end itself.
    const double slack = step * 1e-6;
    for (int i = 0; i < kMaxFixedStepPoints; ++i) {
        double dTmin = from + i * step;
        if (dTmin > to + slack) break;
        if (dTmin > to) dTmin = to;
        if (!IsDTminFree(dTmin)) continue;
        RememberRequested(dTmin);
        Compute(source, dTmin);
        computed = true;
    }
    FindOptimumBracket();
    SortByDTmin();
    if (computed) source.RestoreDTmin(kept);
    return true;
}

// ---------------------------------------------------------------- golden-section search

double SuperTargetRange::SearchPosition(double f, bool alwaysRound) const {
    const double exact = dRangeStart + (dRangeEnd - dRangeStart) * f;
    const double whole = std::ceil(exact);
    return alwaysRound || IsDTminFree(whole) ? whole : exact;
}

void SuperTargetRange::Search(ISuperTargetPointSource& source) {
    const double kept = source.GetDTmin();
    const std::size_t pointsBefore = points.size();
    dRangeEnd = source.GetSearchRangeEnd();

    // Without a range above its start (no composite curves yet) there is nothing to search;
    // only the start and the requested values are computed.
    const bool haveStart = std::isfinite(dRangeStart);
    const bool haveRange = haveStart && std::isfinite(dRangeEnd) && dRangeEnd > dRangeStart;

    if (haveStart) {
        // The points are copied: computing a new point may move the list.
        SuperTargetPointRecord outerLeft = Compute(source, dRangeStart);
        double a = 0.0;
        double b = 1.0;
        bool converged = false;

        if (haveRange && isUsable(outerLeft)) {
            SuperTargetPointRecord innerLeft = Compute(source, SearchPosition(kInnerLeft, false));
            SuperTargetPointRecord innerRight = Compute(source, SearchPosition(kInnerRight, false));
            SuperTargetPointRecord outerRight = Compute(source, dRangeEnd);
            double reference = std::max(costOf(outerLeft), costOf(outerRight));

            auto moveLeft = [&] {
                b = a + (b - a) * kInnerRight;
                outerRight = innerRight;
                innerRight = innerLeft;
                innerLeft = Compute(source, SearchPosition(a + (b - a) * kInnerLeft, false));
            };
            auto moveRight = [&] {
                a = a + (b - a) * kInnerLeft;
                outerLeft = innerLeft;
                innerLeft = innerRight;
                innerRight = Compute(source, SearchPosition(a + (b - a) * kInnerRight, false));
            };
            auto closeIn = [&] {
                a = a + (b - a) * kInnerLeft;
                b = a + (b - a) * kInnerRight;
                outerLeft = innerLeft;
                outerRight = innerRight;
                innerLeft = Compute(source, SearchPosition(a + (b - a) * kInnerLeft, true));
                innerRight = Compute(source, SearchPosition(a + (b - a) * kInnerRight, false));
            };

            for (int iteration = 0; iteration < kMaxSearchIterations; ++iteration) {
                if (!(innerRight.count & PointPlacementValid) && !(outerRight.count & PointPlacementValid)) {
                    // The utility placement fails towards large DTmin: search to the left.
                    if (dtOf(innerRight) - dtOf(innerLeft) <= kConvergedWidth) {
                        converged = true;
                        break;
                    }
                    moveLeft();
                } else {
                    const double half = 0.5 * reference;
                    if (costOf(innerLeft) > half || costOf(innerRight) > half) break;
                    if (costOf(innerLeft) < costOf(innerRight))
                        moveLeft();
                    else if (costOf(innerLeft) == costOf(innerRight))
                        closeIn();
                    else
                        moveRight();
                }
                reference = std::max(costOf(outerLeft), costOf(outerRight));
            }
        }

        if (haveRange && !converged) {
            for (int k = 1; k < kRefinementDivisions; ++k)
                Compute(source, SearchPosition(a + k * (b - a) / kRefinementDivisions, false));
        }
    }

    for (double requested : std::vector<double>(requestedValues))
        if (std::isfinite(requested) && requested != kEmpty && IsDTminFree(requested)) Compute(source, requested);

    FindOptimumBracket();
    SortByDTmin();
    if (points.size() != pointsBefore) source.RestoreDTmin(kept);
}

// ---------------------------------------------------------------- optimum bracket

void SuperTargetRange::FindOptimumBracket() {
    // Cheapest first; points without a cost (or with one that is not a number) last.
    std::vector<SuperTargetPointRecord> ranked(points);
    for (SuperTargetPointRecord& p : ranked)
        if (!std::isfinite(p.values[kTotal])) p.values[kTotal] = 0.0;
    std::stable_sort(ranked.begin(), ranked.end(), [](const SuperTargetPointRecord& x, const SuperTargetPointRecord& y) {
        return CompareCostLastZero(&x, &y) < 0;
    });

    // Without a point that has a total annual cost there is no optimum: the bracket says so
    // rather than naming the first DTmin tried.
    if (ranked.empty() || !(costOf(ranked[0]) > kCostTolerance)) {
        dOptimumLower = dOptimumUpper = kEmpty;
        return;
    }
    const bool any = !ranked.empty();
    const double a = any ? dtOf(ranked[0]) : 0.0;
    const bool secondCounts = ranked.size() > 1 && costOf(ranked[1]) > kCostTolerance;
    const bool thirdCounts = ranked.size() > 2 && costOf(ranked[2]) > kCostTolerance;
    const double b = ranked.size() > 1 ? dtOf(ranked[1]) : 0.0;
    const double c = ranked.size() > 2 ? dtOf(ranked[2]) : 0.0;

    if (secondCounts && thirdCounts && any) {
        if ((b < a && a < c) || (c < a && a < b)) {
            dOptimumLower = std::min(b, c);
            dOptimumUpper = std::max(b, c);
        } else if (c < b) {
            dOptimumLower = std::min(a, b);
            dOptimumUpper = std::max(a, b);
        } else if (c > b) {
            dOptimumLower = std::min(a, c);
            dOptimumUpper = std::max(a, c);
        }
        return;
    }
    if (a != 0.0) dOptimumLower = dOptimumUpper = a;
    const double lower = secondCounts ? b : a;
    const double upper = thirdCounts ? c : a;
    if (lower != 0.0) dOptimumLower = lower;
    if (upper != 0.0) dOptimumUpper = upper;
}

// ---------------------------------------------------------------- record

bool SuperTargetRange::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    if (!file.BeginRecord(h, RecordVersion) || !file.WriteDouble(dRangeStart) || !file.WriteDouble(dRangeEnd) ||
        !file.WriteDouble(dThirdRangeValue))
        return false;

    const bool hasPoints = !points.empty();
    if (!file.WriteInt(hasPoints ? 1 : 0)) return false;
    if (hasPoints) {
        if (!file.WriteInt(static_cast<std::int32_t>(points.size()))) return false;
        StoreContext context{&file, true};
        for (const SuperTargetPointRecord& p : points)
            StoreEachSuperTargetPoint(const_cast<SuperTargetPointRecord*>(&p), &context);
        if (!context.ok) return false;
    }

    const bool hasRequested = !requestedValues.empty();
    if (!file.WriteInt(hasRequested ? 1 : 0)) return false;
    if (hasRequested) {
        if (!file.WriteInt(static_cast<std::int32_t>(requestedValues.size()))) return false;
        for (double v : requestedValues)
            if (!file.WriteDouble(v)) return false;
    }
    return file.WriteDouble(dBaseCostValue) && file.EndRecord(h);
}

bool SuperTargetRange::Recall(ILurmetBinaryFile& file) {
    // Read into a fresh record; this one changes only when the whole record was read.
    SuperTargetRange read;
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    if (!file.ReadDouble(read.dRangeStart) || !file.ReadDouble(read.dRangeEnd) ||
        !file.ReadDouble(read.dThirdRangeValue))
        return false;

    std::int32_t present = 0;
    std::int32_t count = 0;
    if (!file.ReadInt(present)) return false;
    if (present) {
        // The count is not trusted: points are read one by one until it is reached or the file
        // runs out.
        if (!file.ReadItemCount(count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            SuperTargetPointRecord point{};
            if (!readPoint(file, point)) return false;
            read.points.push_back(point);
        }
    }
    read.FindOptimumBracket();

    if (!file.ReadInt(present)) return false;
    if (present) {
        if (!file.ReadItemCount(count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            double v = 0.0;
            if (!file.ReadDouble(v)) return false;
            read.requestedValues.push_back(v);
        }
    }
    if (version >= 2 && !file.ReadDouble(read.dBaseCostValue)) return false;
    if (!file.EndRecord(h)) return false;

    *this = std::move(read);
    return true;
}

// The Bath area target: merging the balanced curves' points into vertical enthalpy intervals, the
// log-mean temperature difference, F-factor and shells of each interval, the interval areas and
// the totals; the near-pinch points and the feasibility test on the same merged points.
#include "eng/targeting/BathAreaTarget.h"

#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/ShellCount.h"
#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFlatEnthalpy = 1e-8;
// Enthalpies of the two curves closer than this share of the whole load (beyond the load
// tolerance) are one: the curves' running sums differ by round-off.
constexpr double kRelativeEnthalpy = 1e-11;
constexpr double kFlowTolerance = 1e-8;
constexpr double kEqualDifference = 0.0001;
// A point closer to DTmin than this share of it is at a pinch.
constexpr double kNearPinchShare = 0.99;

using CurvePointTH = BathCurvePoint;

// A curve's boundaries from the lowest temperature up. The loads accumulate upwards, so the
// enthalpies never fall; a fall of round-off size is held level.
std::vector<CurvePointTH> Ascending(const TIList& list) {
    std::vector<CurvePointTH> curve;
    const int n = list.GetNumberOfBoundaries();
    curve.reserve(static_cast<std::size_t>(n));
    for (int i = n - 1; i >= 0; --i) {
        const TemperatureInterval* e = list.GetInterval(i);
        const double H = curve.empty() ? e->dValue : std::max(e->dValue, curve.back().H);
        curve.push_back(CurvePointTH{H, e->dTemperature});
    }
    return curve;
}

// The temperature of a curve at enthalpy H, where `next` is its first point beyond H: linear
// between that point and the one before it, the end value outside the curve.
double TemperatureAt(const std::vector<CurvePointTH>& curve, std::size_t next, double H) {
    if (next == 0) return curve.front().T;
    if (next >= curve.size()) return curve.back().T;
    const CurvePointTH& a = curve[next - 1];
    const CurvePointTH& b = curve[next];
    return a.T + (b.T - a.T) * (H - a.H) / (b.H - a.H);
}

double SameEnthalpy(double scale) { return kFlowTolerance + kRelativeEnthalpy * std::fabs(scale); }

// Whether heat passes between two neighbouring merged points: an interval inside a gap of a
// curve (its temperature jumps at one enthalpy) carries none, whatever its temperatures.
bool CarriesHeat(const BathInterval& previous, const BathInterval& p, double same) {
    return p.dEnthalpy - previous.dEnthalpy > same;
}

double SameEnthalpyOf(const std::vector<BathInterval>& points) {
    return SameEnthalpy(points.empty() ? 0.0 : points.back().dEnthalpy);
}

bool HasPoints(const TIList* list) { return list && list->GetNumberOfBoundaries() > 0; }

// Where a segment ends on the balanced curves: a utility where it was placed.
double EndTemperature(const StreamSegment& s) { return s.nKind == 1 ? s.GetFarEndTemperature() : s.dOutletTemperature; }

// Whether the values never fall (a value that is not a number falls).
bool Rising(const std::vector<BathInterval>& points, double BathInterval::*side) {
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!(points[k].*side == points[k].*side)) return false;
        if (k > 0 && !(points[k - 1].*side <= points[k].*side)) return false;
    }
    return true;
}

// The points k whose interval a segment lies across (hot: end <= hot temperature < inlet; cold:
// inlet <= cold temperature < end), as runs of consecutive points. On rising temperatures each
// segment is one run found by bisection; otherwise every point is tested.
void BuildSegmentSpans(const std::vector<BathInterval>& points, std::span<StreamSegment* const> segments,
                       std::vector<BathSegmentSpan>& spans) {
    spans.clear();
    // A span counts points in four bytes; merged points beyond that leave no segment across them
    // (no table comes near: that is billions of streams).
    if (points.size() > std::numeric_limits<std::uint32_t>::max()) return;
    spans.reserve(segments.size());
    const bool hotRises = Rising(points, &BathInterval::dHotTemperature);
    const bool coldRises = Rising(points, &BathInterval::dColdTemperature);
    std::vector<double> hotT, coldT;
    if (hotRises) for (const BathInterval& p : points) hotT.push_back(p.dHotTemperature);
    if (coldRises) for (const BathInterval& p : points) coldT.push_back(p.dColdTemperature);
    auto at = [](const std::vector<double>& t, double value) {
        return static_cast<std::size_t>(std::lower_bound(t.begin(), t.end(), value) - t.begin());
    };
    for (StreamSegment* s : segments) {
        if (!s || !IsUsedUtilitySegment(*s) || (s->nHotCold != 0 && s->nHotCold != 1)) continue;
        const int side = s->nHotCold;
        const double low = side == 0 ? EndTemperature(*s) : s->dInletTemperature;
        const double high = side == 0 ? s->dInletTemperature : EndTemperature(*s);
        if (std::isnan(low) || std::isnan(high)) continue;
        if (side == 0 ? hotRises : coldRises) {
            const std::vector<double>& t = side == 0 ? hotT : coldT;
            const std::size_t first = at(t, low), last = at(t, high);
            if (first < last) spans.push_back(BathSegmentSpan{s, side, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)});
            continue;
        }
        double BathInterval::*temperature = side == 0 ? &BathInterval::dHotTemperature : &BathInterval::dColdTemperature;
        for (std::size_t k = 0; k < points.size();) {
            auto inside = [&](std::size_t i) { return low <= points[i].*temperature && points[i].*temperature < high; };
            if (!inside(k)) {
                ++k;
                continue;
            }
            const std::size_t first = k;
            while (k < points.size() && inside(k)) ++k;
            spans.push_back(BathSegmentSpan{s, side, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(k)});
        }
    }
}

double IntervalLMTD(double dT1, double dT2) {
    if (dT1 <= 0.0 || dT2 <= 0.0) return BathAreaTarget::CrossedLMTD;
    if (std::fabs(dT1 - dT2) >= kEqualDifference) return (dT1 - dT2) / std::log(dT1 / dT2);
    return (dT1 + dT2) * 0.5;
}

// The merged points (enthalpy, hot and cold temperature, their difference) of two curves given
// from their lowest temperature up; the curves are freed once their points are gathered.
std::vector<BathInterval> MergeAscending(std::vector<CurvePointTH> h, std::vector<CurvePointTH> c, bool dropFlat,
                                         const BathCutJoints* joints = nullptr);

bool IsJoint(const std::vector<double>& joints, double T) {
    const auto at = std::lower_bound(joints.begin(), joints.end(), T - 1e-9 * std::max(1.0, std::fabs(T)));
    return at != joints.end() && SameTemperature(*at, T);
}

// The LMTD, F-factor and shells of each merged point's interval.
void FillIntervalShells(std::vector<BathInterval>& points, double minimumFFactor) {
    const double same = SameEnthalpyOf(points);
    for (std::size_t k = 0; k < points.size(); ++k) {
        BathInterval& p = points[k];
        if (k == 0) {
            p.dLMTD = 0.0;
            p.dFFactor = 0.0;
            p.dShells = 0.0;
            continue;
        }
        const BathInterval& previous = points[k - 1];
        p.dLMTD = IntervalLMTD(previous.dDifference, p.dDifference);
        if (!CarriesHeat(previous, p, same)) {
            // No heat, no exchanger: nothing to shell.
            p.dFFactor = 1.0;
            p.dShells = 0.0;
            continue;
        }
        if (previous.dDifference <= 0.0 || p.dDifference <= 0.0) {
            p.dFFactor = 1.0;
            p.dShells = BathAreaTarget::Unbounded;
            continue;
        }
        double F = 1.0, shells = 0.0;
        g_CalculateFFactorAndShells(previous.dHotTemperature, p.dHotTemperature, previous.dColdTemperature,
                                    p.dColdTemperature, minimumFFactor, F, shells, 0, 0);
        p.dFFactor = F;
        p.dShells = shells;
    }
}

// Per span, |CP| / h of its segment as the interval areas sum it, or -1 for a span they leave out
// (no interval of `count` points, or no flow).
std::vector<double> SpanTerms(const std::vector<BathSegmentSpan>& spans, std::size_t count) {
    std::vector<double> terms;
    terms.reserve(spans.size());
    for (const BathSegmentSpan& span : spans) {
        const double cp = span.first < span.last && span.last <= count ? std::fabs(span.segment->dHeatCapacityFlowrate) : 0.0;
        terms.push_back(cp > kFlowTolerance ? cp * InverseFilmCoefficient(span.segment->dFilmCoefficient) : -1.0);
    }
    return terms;
}

// The hot and cold sums, load terms and areas of the intervals from the spans' terms; answers
// whether the target is computed or the curves leave some interval no driving force.
int FillIntervalAreas(std::vector<BathInterval>& points, const std::vector<BathSegmentSpan>& spans,
                      const std::vector<double>& terms) {
    // Sum of |CP| / h of the segments across each interval, from where each span starts and ends;
    // one side after the other through the same two work arrays (the sides never mix, so each
    // sum is made in the same order as with an array per side).
    std::vector<long double> change(points.size() + 1);
    std::vector<long> count(points.size() + 1);
    for (int side = 0; side < 2; ++side) {
        std::fill(change.begin(), change.end(), 0.0L);
        std::fill(count.begin(), count.end(), 0L);
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const BathSegmentSpan& span = spans[i];
            if (terms[i] < 0.0 || (span.side == 0 ? 0 : 1) != side) continue;
            const long double v = static_cast<long double>(terms[i]);
            change[span.first] += v;
            change[span.last] -= v;
            ++count[span.first];
            --count[span.last];
        }
        long double sum = 0.0L;
        long active = 0;
        for (std::size_t k = 0; k < points.size(); ++k) {
            sum += change[k];
            active += count[k];
            // An interval no segment lies across sums to nothing, not to the round-off of the others.
            if (active == 0) sum = 0.0L;
            (side == 0 ? points[k].dHotSum : points[k].dColdSum) = static_cast<double>(sum);
        }
    }
    const double same = SameEnthalpyOf(points);
    int state = BathAreaTarget::Computed;
    for (std::size_t k = 1; k < points.size(); ++k) {
        BathInterval& p = points[k];
        const BathInterval& previous = points[k - 1];
        if (!CarriesHeat(previous, p, same)) {
            p.dLoadTerm = 0.0;
            p.dCountercurrentArea = 0.0;
            p.dShellAndTubeArea = 0.0;
            continue;
        }
        p.dLoadTerm = (p.dColdTemperature - previous.dColdTemperature) * previous.dColdSum +
                      (p.dHotTemperature - previous.dHotTemperature) * previous.dHotSum;
        // Curves that touch or cross leave no driving force: the interval cannot be built.
        if (p.dLMTD <= 0.0 || previous.dDifference <= 0.0 || p.dDifference <= 0.0) {
            state = BathAreaTarget::NoDrivingForce;
            p.dCountercurrentArea = BathAreaTarget::Unbounded;
            p.dShellAndTubeArea = BathAreaTarget::Unbounded;
            continue;
        }
        p.dCountercurrentArea = p.dLoadTerm / p.dLMTD;
        p.dShellAndTubeArea = p.dFFactor > 0.0 ? p.dCountercurrentArea / p.dFFactor : BathAreaTarget::Unbounded;
    }
    return state;
}

}  // namespace

// A stream cut into segments of the same rate and coefficient is the same stream as the uncut one:
// the segments' ends are found, each marked where the stream goes on from it unchanged, and a
// temperature all of whose ends are so marked is a joint.
BathCutJoints FindCutJoints(std::span<StreamSegment* const> segments) {
    BathCutJoints joints;
    struct End {
        const StreamSegment* s;
        double inlet, end;
    };
    std::vector<End> ends;
    for (StreamSegment* s : segments) {
        if (!s || !IsUsedUtilitySegment(*s) || (s->nHotCold != 0 && s->nHotCold != 1)) continue;
        const double end = EndTemperature(*s);
        if (std::isnan(end) || std::isnan(s->dInletTemperature)) continue;
        ends.push_back(End{s, s->dInletTemperature, end});
    }
    if (ends.size() < 2) return joints;
    // One stream's segments are told by their stream, or by their own name without one.
    auto before = [](const End& a, const End& b) {
        if (a.s->pStream != b.s->pStream) return std::less<const void*>{}(a.s->pStream, b.s->pStream);
        if (!a.s->pStream && a.s->StreamName() != b.s->StreamName()) return a.s->StreamName() < b.s->StreamName();
        if (a.s->nHotCold != b.s->nHotCold) return a.s->nHotCold < b.s->nHotCold;
        return a.inlet < b.inlet;
    };
    auto sameStream = [](const StreamSegment& a, const StreamSegment& b) {
        if (a.pStream || b.pStream) return a.pStream == b.pStream;
        return !a.StreamName().empty() && a.StreamName() == b.StreamName();
    };
    std::sort(ends.begin(), ends.end(), before);
    std::vector<char> endJoined(ends.size(), 0), inletJoined(ends.size(), 0);
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const StreamSegment& a = *ends[i].s;
        // The segment that goes on where this one ends: the same stream and side, its inlet here.
        End probe = ends[i];
        probe.inlet = ends[i].end - 1e-9 * std::max(1.0, std::fabs(ends[i].end));
        for (auto it = std::lower_bound(ends.begin(), ends.end(), probe, before);
             it != ends.end() && sameStream(a, *it->s) && it->s->nHotCold == a.nHotCold &&
             it->inlet <= ends[i].end + 1e-9 * std::max(1.0, std::fabs(ends[i].end));
             ++it) {
            const StreamSegment& b = *it->s;
            const double cpA = std::fabs(a.dHeatCapacityFlowrate), cpB = std::fabs(b.dHeatCapacityFlowrate);
            if (&b == &a || !SameTemperature(it->inlet, ends[i].end) ||
                std::fabs(cpA - cpB) > 1e-12 * std::max(cpA, cpB) ||
                InverseFilmCoefficient(a.dFilmCoefficient) != InverseFilmCoefficient(b.dFilmCoefficient))
                continue;
            endJoined[i] = 1;
            inletJoined[static_cast<std::size_t>(it - ends.begin())] = 1;
            break;
        }
    }
    for (int side = 0; side < 2; ++side) {
        std::vector<std::pair<double, char>> at;
        for (std::size_t i = 0; i < ends.size(); ++i) {
            if (ends[i].s->nHotCold != side) continue;
            at.emplace_back(ends[i].inlet, inletJoined[i]);
            at.emplace_back(ends[i].end, endJoined[i]);
        }
        std::sort(at.begin(), at.end());
        for (std::size_t k = 0; k < at.size();) {
            std::size_t next = k;
            bool joined = true;
            for (; next < at.size() && SameTemperature(at[k].first, at[next].first); ++next)
                joined = joined && at[next].second;
            if (joined) joints.side[side].push_back(at[k].first);
            k = next;
        }
    }
    return joints;
}

double InverseFilmCoefficient(double h) { return h > 0.0 && std::isfinite(h) ? 1.0 / h : 0.0; }

double BathInterval::Value(int position) const {
    switch (position) {
        case 0: return dEnthalpy;
        case 1: return dHotTemperature;
        case 2: return dColdTemperature;
        case 3: return dDifference;
        case 4: return dLMTD;
        case 5: return dLoadTerm;
        case 6: return dCountercurrentArea;
        case 7: return dShellAndTubeArea;
        case 8: return dShells;
        case 9: return dFFactor;
        case 10: return dHotSum;
        case 11: return dColdSum;
        default: return 0.0;
    }
}

// The two curves are walked together in enthalpy. Points of either curve within round-off of one
// enthalpy make one group: where a curve has a gap (no stream over a range of temperatures, so
// the temperature jumps at one enthalpy) the group gives the point below the jump and the point
// above it, each paired with the other curve's temperature on the same side of its own jump, so
// that every interval with heat pairs the hot and the cold temperatures it really runs between.
// A curve without a point in the group is interpolated there.
std::vector<BathInterval> MergeCurvePoints(const TIList* hot, const TIList* cold, bool dropFlat) {
    if (!HasPoints(hot) || !HasPoints(cold)) return {};
    return MergeAscending(Ascending(*hot), Ascending(*cold), dropFlat);
}

namespace {

std::vector<BathInterval> MergeAscending(std::vector<CurvePointTH> h, std::vector<CurvePointTH> c, bool dropFlat,
                                         const BathCutJoints* joints) {
    std::vector<BathInterval> merged;
    if (h.empty() || c.empty()) return merged;
    // The points are gathered in three numbers each and thinned where they stand; only the points
    // kept become full intervals (at 100,000 streams the full records of every candidate point
    // would be held twice over for a moment).
    struct Point {
        double H, hot, cold;
    };
    std::vector<Point> points;
    {
        const double same = SameEnthalpy(std::max(h.back().H, c.back().H));
        constexpr double none = std::numeric_limits<double>::infinity();
        points.reserve(h.size() + c.size());
        std::size_t i = 0, j = 0;
        while (i < h.size() || j < c.size()) {
            const double H = std::min(i < h.size() ? h[i].H : none, j < c.size() ? c[j].H : none);
            std::size_t i2 = i, j2 = j;
            while (i2 < h.size() && h[i2].H <= H + same) ++i2;
            while (j2 < c.size() && c[j2].H <= H + same) ++j2;
            const double hotLow = i2 > i ? h[i].T : TemperatureAt(h, i, H);
            const double hotHigh = i2 > i ? h[i2 - 1].T : hotLow;
            const double coldLow = j2 > j ? c[j].T : TemperatureAt(c, j, H);
            const double coldHigh = j2 > j ? c[j2 - 1].T : coldLow;
            // A point that only a joint put on a curve (the other curve passing there without
            // a point of its own, or at a joint of its own) bounds no interval.
            const bool hotJoint = i2 == i + 1 && joints && IsJoint(joints->side[0], hotLow);
            const bool coldJoint = j2 == j + 1 && joints && IsJoint(joints->side[1], coldLow);
            if ((hotJoint || coldJoint) && (i2 == i || hotJoint) && (j2 == j || coldJoint) && i > 0 && j > 0 &&
                i2 < h.size() && j2 < c.size()) {
                i = i2;
                j = j2;
                continue;
            }
            points.push_back(Point{H, hotLow, coldLow});
            if (hotHigh != hotLow || coldHigh != coldLow) points.push_back(Point{H, hotHigh, coldHigh});
            i = i2;
            j = j2;
        }
        std::vector<CurvePointTH>().swap(h);
        std::vector<CurvePointTH>().swap(c);
    }

    // A point is dropped by comparing it with its successor as gathered, which the thinning
    // (writing at or behind the point read) has not touched yet.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (k + 1 < points.size()) {
            const Point& a = points[k];
            const Point& b = points[k + 1];
            const bool repeated = std::fabs(b.hot - a.hot) < BathAreaTarget::PointTolerance &&
                                  std::fabs(b.cold - a.cold) < BathAreaTarget::PointTolerance;
            const bool flat = dropFlat && std::fabs(b.H - a.H) < kFlatEnthalpy;
            if (repeated || flat) continue;
        }
        points[kept++] = points[k];
    }
    merged.resize(kept);
    for (std::size_t k = 0; k < kept; ++k) {
        BathInterval& p = merged[k];
        p.dEnthalpy = points[k].H;
        p.dHotTemperature = points[k].hot;
        p.dColdTemperature = points[k].cold;
        p.dDifference = p.dHotTemperature - p.dColdTemperature;
    }
    return merged;
}

}  // namespace

BathAreaTarget::BathAreaTarget(double dtMin, double minimumFFactor, std::vector<PinchListEntry> pinchPoints) {
    Reset(dtMin, minimumFFactor, std::move(pinchPoints));
}

void BathAreaTarget::Reset(double dtMin, double minimumFFactor, std::vector<PinchListEntry> pinchPoints) {
    m_pSource.reset();
    m_bPointsLetGo = false;
    for (auto* list : {m_pRegionShells.get(), m_pRegionCountercurrent.get(), m_pRegionShellAndTube.get()})
        if (list) list->clear();
    if (m_pIntervals) m_pIntervals->clear();
    m_spans.clear();
    m_joints = BathCutJoints{};
    m_dDTmin = dtMin;
    m_dMinimumFFactor = minimumFFactor;
    m_pinchPoints = std::move(pinchPoints);
    std::stable_sort(m_pinchPoints.begin(), m_pinchPoints.end(), [](const PinchListEntry& a, const PinchListEntry& b) {
        return a.dHotTemperature < b.dHotTemperature;
    });
    m_dCountercurrentArea = 0.0;
    m_dShellAndTubeArea = 0.0;
    m_nShells = 0;
    m_nState = NotComputed;
}

// Codes 16 and 19 compute nothing, nor does code 4 unless the utilities come from the trade-off.
// Any other code creates or resets the target and, with a valid utility placement, computes it
// on the balanced curves; without one the target stays empty. Then, whenever a target exists and
// the placement allows it, the capital-cost kind decides which match values it fills.
BathAreaTarget* BathAreaTarget::Update(BathAreaTarget* existing, const AreaTargetInputs& in, int code) {
    BathAreaTarget* target = existing;
    const bool computes = code != AreaTargetCodes::Unchanged16 && code != AreaTargetCodes::Unchanged19 &&
                          !(code == AreaTargetCodes::UtilityChanged && in.utilityAssignmentMethod != 2);
    if (computes) {
        if (!target) target = new BathAreaTarget(in.dtMin, in.minimumFFactor, in.pinchPoints);
        else target->Reset(in.dtMin, in.minimumFFactor, in.pinchPoints);
        if (!in.placementValid) return target;
        static const SegmentRefs none;
        target->Calculate(in.balancedCurves, in.segments ? *in.segments : none);
    }
    // The copies are kept before the spread over the matches, which lets the points go as soon
    // as it has read them (it reads the segments and changes none of them, nor the curves).
    if (computes && in.placementValid && in.balancedCurves)
        target->KeepPointSource(in.balancedCurves->GetHotList(), in.balancedCurves->GetColdList());
    if (target && in.matches) {
        const int kind = in.CapitalCostTargetKind();
        if (kind == 2) target->DistributeCountercurrent(*in.matches);
        else if (kind == 3) target->DistributeShellAndTube(*in.matches);
    }
    if (target) target->LetGoOfPoints();
    return target;
}

void BathAreaTarget::Calculate(const TargetCurve* curves, std::span<StreamSegment* const> segments) {
    Calculate(curves ? curves->GetHotList() : nullptr, curves ? curves->GetColdList() : nullptr, segments);
}

void BathAreaTarget::Calculate(const TIList* hot, const TIList* cold, std::span<StreamSegment* const> segments) {
    DropPointSource();
    if (!m_pIntervals) m_pIntervals = std::make_unique<std::vector<BathInterval>>();
    if (hot && cold) BuildIntervals(hot, cold, segments);
    m_nState = Computed;
    if (m_pIntervals->empty()) return;

    ComputeIntervalAreas();
    ComputeRegionAreas();
    m_dCountercurrentArea = 0.0;
    m_dShellAndTubeArea = 0.0;
    for (const BathInterval& p : *m_pIntervals) {
        m_dCountercurrentArea += p.dCountercurrentArea;
        m_dShellAndTubeArea += p.dShellAndTubeArea;
    }
    ComputeRegionShells();
    double shells = 0.0;
    for (double region : *m_pRegionShells) shells += region >= MaxRegionShells ? MaxRegionShells : shell_count::RoundUp(region);
    // A region without streams cannot hold shells; its negative count never reaches the total.
    m_nShells = static_cast<int>(std::clamp(shells, 0.0, 2.0e9));
    // Heat to pass where the curves touch or cross needs unbounded area: the intervals keep
    // their markers, but the totals are no results.
    if (m_nState == NoDrivingForce) {
        m_dCountercurrentArea = 0.0;
        m_dShellAndTubeArea = 0.0;
        m_nShells = 0;
    }
}

bool BathAreaTarget::IsShellsCapped() const {
    // Without a result there is no count to have stopped at its cap.
    if (!m_pRegionShells || m_nState != Computed) return false;
    return std::any_of(m_pRegionShells->begin(), m_pRegionShells->end(),
                       [](double region) { return region >= MaxRegionShells; });
}

void BathAreaTarget::BuildIntervals(const TIList* hot, const TIList* cold, std::span<StreamSegment* const> segments) {
    DropPointSource();
    if (!m_pIntervals) m_pIntervals = std::make_unique<std::vector<BathInterval>>();
    m_pIntervals->clear();
    m_pIntervals->shrink_to_fit();
    m_joints = FindCutJoints(segments);
    if (HasPoints(hot) && HasPoints(cold))
        *m_pIntervals = MergeAscending(Ascending(*hot), Ascending(*cold), false, &m_joints);
    std::vector<BathInterval>& points = *m_pIntervals;

    BuildSegmentSpans(points, segments, m_spans);
    FillIntervalShells(points, m_dMinimumFFactor);
}

void BathAreaTarget::ComputeIntervalAreas() {
    DropPointSource();
    if (!m_pIntervals) return;
    std::vector<BathInterval>& points = *m_pIntervals;
    m_nState = FillIntervalAreas(points, m_spans, SpanTerms(m_spans, points.size()));
}

void BathAreaTarget::KeepPointSource(const TIList* hot, const TIList* cold) {
    DropPointSource();
    if (!m_pIntervals || m_pIntervals->empty() || !HasPoints(hot) || !HasPoints(cold)) return;
    auto source = std::make_unique<PointSource>();
    source->hot = Ascending(*hot);
    source->cold = Ascending(*cold);
    source->spanTerms = SpanTerms(m_spans, m_pIntervals->size());
    source->count = m_pIntervals->size();
    m_pSource = std::move(source);
}

void BathAreaTarget::LetGoOfPoints() { LetGoOfReadPoints(); }

void BathAreaTarget::LetGoOfReadPoints() const {
    if (!m_pSource || m_bPointsLetGo || !m_pIntervals) return;
    std::vector<BathInterval>().swap(*m_pIntervals);
    m_bPointsLetGo = true;
}

const std::vector<BathInterval>* BathAreaTarget::Points() const {
    if (m_bPointsLetGo) RemakePoints();
    return m_pIntervals.get();
}

// The steps of BuildIntervals and ComputeIntervalAreas on the copies; the region sums and the
// totals made of the points are kept as computed.
void BathAreaTarget::RemakePoints() const {
    std::vector<BathInterval>& points = *m_pIntervals;
    points = MergeAscending(m_pSource->hot, m_pSource->cold, false, &m_joints);
    FillIntervalShells(points, m_dMinimumFFactor);
    FillIntervalAreas(points, m_spans, m_pSource->spanTerms);
    m_bPointsLetGo = false;
}

void BathAreaTarget::DropPointSource() {
    if (m_bPointsLetGo) RemakePoints();
    m_pSource.reset();
}

void BathAreaTarget::GetNearPinchPoints(std::vector<PinchListEntry>& list, int count) const {
    const std::vector<BathInterval>* merged = Points();
    if (!merged || count <= 0) return;
    const std::vector<BathInterval>& points = *merged;
    std::vector<const BathInterval*> candidates;
    for (std::size_t k = points.size() >= 2 ? points.size() - 2 : 0; k >= 1 && k + 1 < points.size(); --k) {
        const BathInterval& p = points[k];
        const bool listed = std::any_of(list.begin(), list.end(), [&](const PinchListEntry& e) {
            return e.dHotTemperature == p.dHotTemperature && e.dColdTemperature == p.dColdTemperature;
        });
        if (!listed && p.dDifference <= m_dDTmin * kNearPinchShare) candidates.push_back(&p);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const BathInterval* a, const BathInterval* b) {
        return a->dHotTemperature - a->dColdTemperature < b->dHotTemperature - b->dColdTemperature;
    });
    const std::size_t keep = std::min(candidates.size(), static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < keep; ++k)
        list.push_back(PinchListEntry{candidates[k]->dHotTemperature, candidates[k]->dColdTemperature, 0.0});
}

int BathAreaTarget::IsFeasible(const TargetCurve& curves) const {
    return IsFeasible(curves.GetHotList(), curves.GetColdList());
}

int BathAreaTarget::IsFeasible(const TIList* hot, const TIList* cold) const {
    // Both points of a gap stay: the one below a hot gap is where the curves come closest.
    const std::vector<BathInterval> points = MergeCurvePoints(hot, cold, false);
    for (const BathInterval& p : points)
        if (m_dDTmin * kNearPinchShare >= p.dDifference) return 0;
    return 1;
}

// Reading the energy target's solution: the heat cascade over the interval boundaries, the
// utilities at its two ends, the pinch points at its minimum and the pockets of the cascade.
#include "eng/targeting/EnergyTarget.h"

#include "eng/targeting/CompensatedSum.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPocketStopTolerance = 1e-8;
// The LP solver's primal feasibility tolerance (kW), and the rounding of sums of double flows.
constexpr double kSolverTolerance = 1e-7;
constexpr double kRelativeResidue = 1e-12;

// Heat values of the boundaries, top first.
std::vector<double> HeatValues(const TIList& list) {
    const int n = list.GetNumberOfBoundaries();
    std::vector<double> heat(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) heat[static_cast<std::size_t>(i)] = list.GetInterval(i)->dValue;
    return heat;
}

}  // namespace

std::vector<EnergyTargetResidual> EnergyTarget::GetResiduals() const {
    if (!m_residuals.empty() || m_pooledResiduals.empty()) return m_residuals;
    std::vector<EnergyTargetResidual> pooled;
    pooled.reserve(m_pooledResiduals.size());
    for (std::size_t k = 0; k < m_pooledResiduals.size(); ++k)
        pooled.push_back({static_cast<std::int32_t>(k), -1, nullptr, m_pooledResiduals[k]});
    return pooled;
}

void EnergyTarget::ComputeResults() {
    const int n = m_intervals.GetNumberOfBoundaries();
    // Without columns the results are the walk's own (CalculatePooled), already in place.
    if (m_residuals.empty() || n < 1 || !m_pModel || !m_bColumnsBuilt) return;
    const auto nn = static_cast<std::size_t>(n);

    // Flows over a run of boundaries are spread with a difference array; what crosses a single
    // boundary is added to it directly.
    std::vector<double> single(nn, 0.0);
    std::vector<double> runs(nn + 1, 0.0);
    for (const EnergyTargetResidual& r : m_residuals) {
        if (r.pSegment && r.nInterval == r.nSegmentLast) {
            // What a linked segment still holds below its last interval flows to the bottom.
            AddRun(runs, r.nInterval + 1, n - 1, r.dValue);
        } else if (r.nInterval + 1 < n) {
            single[static_cast<std::size_t>(r.nInterval) + 1] += r.dValue;
        }
    }
    // A match adds its flow to every boundary between its source and its sink; a slack column
    // (no source) from the top, so the first boundary collects the whole slack.
    for (const LPMatchColumn& c : m_pModel->columns) AddRun(runs, c.nHotIntervalIndex + 1, c.nColdIntervalIndex, c.dFlow);
    ApplyCascade(single, runs);
}

void EnergyTarget::AddRun(std::vector<double>& runs, int from, int to, double value) const {
    const int n = static_cast<int>(runs.size()) - 1;
    from = std::max(from, 0);
    to = std::min(to, n - 1);
    if (from > to || value == 0.0) return;
    runs[static_cast<std::size_t>(from)] += value;
    runs[static_cast<std::size_t>(to) + 1] -= value;
}

void EnergyTarget::ApplyCascade(const std::vector<double>& single, const std::vector<double>& runs) {
    const int n = m_intervals.GetNumberOfBoundaries();
    // A heat flow that the sums leave within the solver's feasibility tolerance of zero (scaled by
    // the flows summed) is a residue of rounding, not heat: it is zero, so that it is neither
    // reported as a utility nor keeps a boundary from being a pinch.
    double summed = 0.0;
    for (double v : runs) summed += std::fabs(v);
    for (double v : single) summed += std::fabs(v);
    std::vector<double> values(static_cast<std::size_t>(n), 0.0);
    CompensatedSum running;
    for (int i = 0; i < n; ++i) {
        running.Add(runs[static_cast<std::size_t>(i)]);
        values[static_cast<std::size_t>(i)] = running.Value() + single[static_cast<std::size_t>(i)];
    }
    SetCascade(values, std::max(kSolverTolerance, kRelativeResidue * summed));
}

double EnergyTarget::LargerSideLoad() const {
    double hot = 0.0, cold = 0.0;
    for (const StreamSegment* s : m_segments) {
        const double load = std::fabs(s->dHeatCapacityFlowrate * (s->dInletTemperature - s->dOutletTemperature));
        (s->dInletTemperature > s->dOutletTemperature ? hot : cold) += load;
    }
    return std::max(hot, cold);
}

void EnergyTarget::SetCascade(const std::vector<double>& values, double zero) {
    const int n = m_intervals.GetNumberOfBoundaries();
    // The ends are the utilities: there the noise of the loads' balance is no heat either.
    const double noise = std::max(zero, kLoadRelativeNoise * LargerSideLoad());
    for (int i = 0; i < n; ++i) {
        const double value = values[static_cast<std::size_t>(i)];
        const double within = i == 0 || i == n - 1 ? noise : zero;
        m_intervals.GetInterval(i)->dValue = std::fabs(value) <= within ? 0.0 : value;
    }
    m_dHotUtility = m_intervals.GetInterval(0)->dValue;
    m_dColdUtility = m_intervals.GetInterval(n - 1)->dValue;

    m_pinchList.clear();
    FindPinchPoints();
    FindPockets();
}

void EnergyTarget::FindPinchPoints() {
    m_pinchList.clear();
    const int n = m_intervals.GetNumberOfBoundaries();
    if (n < 1) return;
    const std::vector<double> heat = HeatValues(m_intervals);
    const auto [lo, hi] = std::minmax_element(heat.begin(), heat.end());
    const double minimum = *lo;
    const double tol = (*hi - *lo) * kPinchRelativeTolerance;

    for (int b = 1; b + 1 < n; ++b) {
        if (std::fabs(heat[static_cast<std::size_t>(b)] - minimum) > tol) continue;
        const double t = m_intervals.GetTemperature(b);
        PinchRecord pinch;
        pinch.dHotTemperature = t + m_dDTmin * 0.5;
        pinch.dColdTemperature = t - m_dDTmin * 0.5;
        for (IntervalMemberList list : {AllHotMembers, AllColdMembers})
            for (StreamSegment* s : m_intervals.GetMembers(b, list))
                if (SameTemperature(s->dShiftedInletTemperature, t)) pinch.segments.push_back(s);
        m_pinchList.push_back(std::move(pinch));
    }
    if (m_pinchList.size() > 1)
        std::stable_sort(m_pinchList.begin(), m_pinchList.end(),
                         [](const PinchRecord& a, const PinchRecord& b) { return a.dHotTemperature > b.dHotTemperature; });

    const bool hotNeeded = heat.front() > tol;
    const bool coldNeeded = heat.back() > tol;
    m_nProblemType = hotNeeded && coldNeeded ? BothUtilities
                     : hotNeeded             ? HotUtilityOnly
                     : coldNeeded            ? ColdUtilityOnly
                                             : NoUtility;
}

void EnergyTarget::FindPockets() {
    m_pockets.clear();
    const int n = m_intervals.GetNumberOfBoundaries();
    if (n < 2 || m_nProblemType == NoUtility) return;
    const std::vector<double> heat = HeatValues(m_intervals);
    auto T = [&](int i) { return m_intervals.GetTemperature(i); };
    auto middle = [](const PinchRecord& p) { return 0.5 * (p.dHotTemperature + p.dColdTemperature); };

    auto record = [&](int a, int b, int c, int side) {
        const std::size_t A = static_cast<std::size_t>(a), B = static_cast<std::size_t>(b), C = static_cast<std::size_t>(c);
        PocketRecord p;
        p.dStartTemperature = T(a);
        p.dClosingBoundaryTemperature = T(b);
        p.dClosingTemperature = T(b) + (heat[A] - heat[B]) * (T(b) - T(c)) / (heat[B] - heat[C]);
        p.nSide = side;
        p.nStartBoundary = a;
        p.nClosingBoundary = b;
        m_pockets.push_back(p);
    };

    // From the top down to `stop`: a run of boundaries whose heat flow exceeds that of its first
    // boundary is a pocket, closed where the cascade comes back to that flow.
    auto walkDown = [&](double stop) {
        int a = 0;
        while (a < n && T(a) > stop + kPocketStopTolerance) {
            int j = a + 1;
            while (j < n && heat[static_cast<std::size_t>(j)] > heat[static_cast<std::size_t>(a)]) ++j;
            if (j == a + 1) {
                ++a;
                continue;
            }
            if (j >= n) break;
            record(a, j, j - 1, 0);
            a = j;
        }
    };
    auto walkUp = [&](double stop) {
        int a = n - 1;
        while (a >= 0 && T(a) < stop - kPocketStopTolerance) {
            int j = a - 1;
            while (j >= 0 && heat[static_cast<std::size_t>(j)] > heat[static_cast<std::size_t>(a)]) --j;
            if (j == a - 1) {
                --a;
                continue;
            }
            if (j < 0) break;
            record(a, j, j + 1, 1);
            a = j;
        }
    };

    const bool pinched = !m_pinchList.empty();
    switch (m_nProblemType) {
        case BothUtilities:
            walkDown(pinched ? middle(m_pinchList.front()) : T(n - 1));
            walkUp(pinched ? middle(m_pinchList.back()) : T(0));
            break;
        case HotUtilityOnly:
            walkDown(pinched ? middle(m_pinchList.front()) : T(n - 1));
            break;
        case ColdUtilityOnly:
            walkUp(pinched ? middle(m_pinchList.back()) : T(0));
            break;
        default:
            break;
    }
}

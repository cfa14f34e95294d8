// How finely the area LP cuts its intervals: where the composite curves run close together a
// column's area depends strongly on which partner interval it reaches, so the intervals there
// must be narrow; where they run far apart wide intervals cost nothing in accuracy.
#include "eng/targeting/AreaLP.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFlowTolerance = 1e-8;

// A composite curve in actual temperatures: heat load H(T) at every end temperature of its
// segments, rising with T, and its inverse.
class Composite {
public:
    void Add(double low, double high, double cp) {
        if (!(high > low) || !(cp > kFlowTolerance) || !std::isfinite(low) || !std::isfinite(high)) return;
        m_steps.push_back({low, cp});
        m_steps.push_back({high, -cp});
    }
    void Build() {
        std::sort(m_steps.begin(), m_steps.end());
        double cp = 0.0, h = 0.0, last = 0.0;
        for (std::size_t k = 0; k < m_steps.size(); ++k) {
            const double t = m_steps[k].first;
            if (!m_t.empty()) h += cp * (t - last);
            if (m_t.empty() || t > m_t.back()) {
                m_t.push_back(t);
                m_h.push_back(h);
            }
            cp += m_steps[k].second;
            last = t;
        }
    }
    bool Empty() const { return m_t.size() < 2; }
    bool Spans(double t) const { return !Empty() && t >= m_t.front() && t <= m_t.back(); }
    double LoadAt(double t) const { return Interpolate(m_t, m_h, t); }
    double TemperatureAt(double h) const { return Interpolate(m_h, m_t, h); }

private:
    // Clamped piecewise-linear interpolation of y over an ascending x.
    static double Interpolate(const std::vector<double>& x, const std::vector<double>& y, double at) {
        if (x.empty()) return 0.0;
        if (at <= x.front()) return y.front();
        if (at >= x.back()) return y.back();
        const std::size_t k = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), at) - x.begin());
        const double dx = x[k] - x[k - 1];
        return dx > 0.0 ? y[k - 1] + (y[k] - y[k - 1]) * (at - x[k - 1]) / dx : y[k];
    }

    std::vector<std::pair<double, double>> m_steps;
    std::vector<double> m_t, m_h;
};

}  // namespace

// The driving force at a boundary is the vertical distance of the balanced composite curves (the
// utilities as placed) at the hot streams' temperature there and at the cold streams'; an
// interval is cut so that no part is wider than DrivingForceShare of the smaller of the two at
// either end, nor wider than the plain subdivision step.
std::vector<double> AreaLP::DrivingForces(int side) const {
    const int boundaries = m_pIntervals ? m_pIntervals->GetNumberOfBoundaries() : 0;
    std::vector<double> forces(static_cast<std::size_t>(std::max(boundaries, 0)), 1e24);
    Composite hot, cold;
    for (const StreamSegment* s : m_segments) {
        if (!IsUsedUtilitySegment(*s)) continue;
        const double supply = s->dInletTemperature;
        const double end = s->nKind == 1 ? s->GetFarEndTemperature() : s->dOutletTemperature;
        const double cp = std::fabs(s->dHeatCapacityFlowrate);
        if (s->nHotCold == 0) hot.Add(end, supply, cp);
        else if (s->nHotCold == 1) cold.Add(supply, end, cp);
    }
    hot.Build();
    cold.Build();

    const double shift = 0.5 * TemporaryDTmin;
    auto force = [&](double t) {
        if (hot.Empty() || cold.Empty()) return 1e24;
        const double th = t + shift, tc = t - shift;
        // Each side where its own curve runs: beyond a curve's ends there is no heat to place.
        const double fromHot = hot.Spans(th) ? th - cold.TemperatureAt(hot.LoadAt(th)) : 1e24;
        const double fromCold = cold.Spans(tc) ? hot.TemperatureAt(cold.LoadAt(tc)) - tc : 1e24;
        const double force = side == 0 ? fromHot : side == 1 ? fromCold : std::min(fromHot, fromCold);
        return std::max(force, TemporaryDTmin);
    };
    for (int k = 0; k < boundaries; ++k) forces[static_cast<std::size_t>(k)] = force(m_pIntervals->GetTemperature(k));
    return forces;
}

std::vector<std::size_t> AreaLP::DrivingForceParts() const {
    const int boundaries = m_pIntervals ? m_pIntervals->GetNumberOfBoundaries() : 0;
    std::vector<std::size_t> parts(static_cast<std::size_t>(std::max(boundaries, 0)), 0);
    if (boundaries < 2) return parts;
    // The coarser LPs below the first serve only to start the one above them: they keep the
    // grid's boundaries and the plain step, so that their rows shrink with the grid (random
    // tables of 300 streams: 9,000, 3,400 and 2,900 rows instead of 17,000 each time, the
    // driving-force cuts being what those rows were made of). The first coarser LP keeps the
    // cuts: its optimum then lies close to the scenario's own, which saves more pivots there
    // than the cuts cost.
    const bool cutByDrivingForce = m_nCoarseLevel < 2;
    const std::vector<double> forces = cutByDrivingForce ? DrivingForces() : std::vector<double>();

    std::vector<double> width(static_cast<std::size_t>(boundaries - 1));
    std::vector<double> wanted(width.size());
    double narrowest = 1e24;
    for (int k = 0; k + 1 < boundaries; ++k) {
        width[static_cast<std::size_t>(k)] = m_pIntervals->GetWidth(k);
        narrowest = std::min(narrowest, width[static_cast<std::size_t>(k)]);
    }
    const double step = std::max(SubdivisionStep, SubdivisionFactor * narrowest);
    for (std::size_t k = 0; k < wanted.size(); ++k)
        wanted[k] = cutByDrivingForce ? std::min(step, DrivingForceShare * std::min(forces[k], forces[k + 1])) : step;

    // The finest cut the interval budget allows: every wanted width is scaled up alike.
    double scale = 1.0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        double total = 0.0;
        for (std::size_t k = 0; k < width.size(); ++k)
            total += std::ceil(width[k] / std::max(wanted[k] * scale, m_dNarrowestPart) - 1e-9);
        if (total <= MaxIntervals) break;
        scale *= 1.25;
    }
    for (std::size_t k = 0; k < width.size(); ++k) {
        const double n = std::ceil(width[k] / std::max(wanted[k] * scale, m_dNarrowestPart) - 1e-9);
        parts[k] = n > 1.0 ? static_cast<std::size_t>(std::min(n, 1e6)) - 1 : 0;
    }
    return parts;
}

#include "pellin/StreamProfile.h"

#include "pellin/IFlowsheetStream.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kEmpty = -32767.0;

bool usable(double v) { return std::isfinite(v) && v != kEmpty; }
}  // namespace

bool StreamProfile::Build(const IFlowsheetStream& stream, double fraction) {
    return BuildFullFlow(stream) && finish(fraction);
}

bool StreamProfile::Scale(const StreamProfile& fullFlow, double fraction) {
    m_t.assign(fullFlow.m_t.begin(), fullFlow.m_t.end());
    m_cp.assign(fullFlow.m_cp.begin(), fullFlow.m_cp.end());
    m_film.assign(fullFlow.m_film.begin(), fullFlow.m_film.end());
    return !m_cp.empty() && finish(fraction);
}

// The pieces of the profile before they are scaled to the share of the flow (finish).
bool StreamProfile::BuildFullFlow(const IFlowsheetStream& stream) {
    m_t.clear();
    m_cp.clear();
    m_film.clear();
    const int n = stream.GetNumberOfSegments();
    if (n <= 0) return false;
    struct Piece {
        double lo, hi, cp, film;
    };
    std::vector<Piece> pieces;
    pieces.reserve(static_cast<std::size_t>(n));
    double a = 0.0;
    if (!stream.GetValue(NodeValue::Temperature, a, 0) || !usable(a)) return false;
    for (int i = 0; i < n; ++i) {
        double b = 0.0;
        if (!stream.GetValue(NodeValue::Temperature, b, i + 1) || !usable(b)) return false;
        if (a != b) {
            const double cp = stream.GetSegmentHeatCapacityFlowrate(i);
            if (!usable(cp) || !(cp > 0.0)) return false;
            double film = 0.0;
            if (!stream.GetValue(NodeValue::FilmCoefficient, film, i) || !usable(film) || !(film > 0.0)) film = 0.0;
            pieces.push_back({std::min(a, b), std::max(a, b), cp, film});
        }
        a = b;
    }
    if (pieces.empty()) return false;
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) { return x.lo < y.lo; });
    // Segments of a stream follow each other; pieces that overlap (a stream turning back on
    // itself) cannot be a heat content that rises with temperature.
    for (std::size_t i = 1; i < pieces.size(); ++i)
        if (pieces[i].lo < pieces[i - 1].hi - 1e-9) return false;
    m_t.push_back(pieces.front().lo);
    for (const Piece& p : pieces) {
        if (p.lo > m_t.back() + 1e-9) {
            // A gap between segments: bridge it with the heat capacity below it.
            m_cp.push_back(m_cp.empty() ? p.cp : m_cp.back());
            m_film.push_back(m_film.empty() ? p.film : m_film.back());
            m_t.push_back(p.lo);
        }
        // A segment that goes on where the last one ended, alike in heat capacity and film
        // coefficient, widens it: a stream cut where nothing changes has the profile it has uncut.
        if (!m_cp.empty() && p.cp == m_cp.back() && p.film == m_film.back() && p.lo <= m_t.back() + 1e-9) {
            m_t.back() = p.hi;
            continue;
        }
        m_cp.push_back(p.cp);
        m_film.push_back(p.film);
        m_t.push_back(p.hi);
    }
    return true;
}

bool StreamProfile::BuildConstant(double heatCapacityFlowrate, double filmCoefficient, double fraction) {
    m_t.clear();
    m_cp.clear();
    m_film.clear();
    if (!usable(heatCapacityFlowrate) || !(heatCapacityFlowrate > 0.0)) return false;
    m_t = {0.0, 1.0};
    m_cp = {heatCapacityFlowrate};
    m_film = {usable(filmCoefficient) && filmCoefficient > 0.0 ? filmCoefficient : 0.0};
    return finish(fraction);
}

bool StreamProfile::finish(double fraction) {
    if (!std::isfinite(fraction) || !(fraction > 0.0)) {
        m_t.clear();
        m_cp.clear();
        m_film.clear();
        return false;
    }
    m_h.assign(m_t.size(), 0.0);
    for (std::size_t i = 0; i < m_cp.size(); ++i) {
        m_cp[i] *= fraction;
        m_h[i + 1] = m_h[i] + m_cp[i] * (m_t[i + 1] - m_t[i]);
    }
    return true;
}

double StreamProfile::Enthalpy(double temperature) const {
    if (!Valid()) return 0.0;
    if (std::isnan(temperature)) return temperature;
    if (temperature <= m_t.front()) return (temperature - m_t.front()) * m_cp.front();
    if (temperature >= m_t.back()) return m_h.back() + (temperature - m_t.back()) * m_cp.back();
    const std::size_t i = static_cast<std::size_t>(std::upper_bound(m_t.begin(), m_t.end(), temperature) - m_t.begin()) - 1;
    return m_h[i] + (temperature - m_t[i]) * m_cp[i];
}

double StreamProfile::TemperatureAt(double enthalpy) const {
    if (!Valid()) return 0.0;
    if (std::isnan(enthalpy)) return enthalpy;
    if (enthalpy <= 0.0) return m_t.front() + enthalpy / m_cp.front();
    if (enthalpy >= m_h.back()) return m_t.back() + (enthalpy - m_h.back()) / m_cp.back();
    const std::size_t i = static_cast<std::size_t>(std::upper_bound(m_h.begin(), m_h.end(), enthalpy) - m_h.begin()) - 1;
    return m_t[i] + (enthalpy - m_h[i]) / m_cp[i];
}

double StreamProfile::FilmCoefficientAt(double temperature) const {
    if (!Valid() || std::isnan(temperature)) return 0.0;
    if (temperature <= m_t.front()) return m_film.front();
    if (temperature >= m_t.back()) return m_film.back();
    const std::size_t i = static_cast<std::size_t>(std::upper_bound(m_t.begin(), m_t.end(), temperature) - m_t.begin()) - 1;
    return m_film[std::min(i, m_film.size() - 1)];
}

void StreamProfile::PointsBetween(double lo, double hi, std::vector<double>& out) const {
    out.clear();
    if (m_cp.size() < 2) return;
    for (std::size_t i = 1; i + 1 < m_t.size(); ++i)
        if (m_t[i] > lo && m_t[i] < hi) out.push_back(m_t[i]);
}

#pragma once
// A small model of the automatic design's match choice, written apart from the module from the
// model's description, for tables small enough that every set of candidate matches can be tried.
//
// Every segment moves 2 K towards the other side; the intervals lie between the shifted ends,
// each split into floor(W / step) + 1 equal parts, step = max(18, 8 x the narrowest). A column is
// the heat of a hot segment in interval i to a cold segment in interval j at or below i (two
// utilities never pair), priced per kW at
//   capital coefficient x (1/h_hot + 1/h_cold) / (MTD x F) + (cost index hot + cold) x hours x 3600
// with MTD = 2 sqrt(ab)/3 + (a + b)/6 of the end approaches a, b (shifted difference + 4) and F of
// one 1-2 shell at the actual temperatures (shift back by 2 K), 0.8 where one shell gives less
// (enough shells to reach it). A process segment gives (takes) its whole heat in every interval
// it spans; a utility segment keeps one flow rate over its range. A set of matches costs the
// cheapest heat its columns can carry plus the fixed cost of each match.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace interval_model {

struct Stream {
    std::string name;
    double supply = 0.0, target = 0.0;
    double cp = 0.0;  // process streams; a utility's flow is what the model finds
    double h = 1.0;
    double costIndex = 0.0;  // per kJ
    bool hot = true;
    bool utility = false;
};

// min c x, A x = b (b >= 0), x >= 0, by two phases of the dense simplex with Bland's rule (no
// cycling on the degenerate utility rows). nullopt when no x meets the rows.
inline std::optional<double> SolveLP(const std::vector<std::vector<double>>& A, const std::vector<double>& b,
                                     const std::vector<double>& c) {
    const std::size_t m = A.size(), n = c.size();
    const double eps = 1e-9;
    std::vector<std::vector<double>> T(m, std::vector<double>(n + m + 1, 0.0));
    std::vector<std::size_t> basis(m);
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t j = 0; j < n; ++j) T[i][j] = A[i][j];
        T[i][n + i] = 1.0;
        T[i][n + m] = b[i];
        basis[i] = n + i;
    }
    auto pivot = [&](std::size_t r, std::size_t e) {
        const double p = T[r][e];
        for (double& v : T[r]) v /= p;
        for (std::size_t i = 0; i < m; ++i) {
            if (i == r || T[i][e] == 0.0) continue;
            const double f = T[i][e];
            for (std::size_t j = 0; j <= n + m; ++j) T[i][j] -= f * T[r][j];
        }
        basis[r] = e;
    };
    // Minimises the costs `cost` over the columns below `columns` (the artificials above never enter
    // again in the second phase); answers the objective.
    auto run = [&](const std::vector<double>& cost, std::size_t columns) {
        for (;;) {
            std::size_t enter = columns;
            for (std::size_t j = 0; j < columns && enter == columns; ++j) {
                double reduced = cost[j];
                for (std::size_t i = 0; i < m; ++i) reduced -= cost[basis[i]] * T[i][j];
                if (reduced < -eps * std::max(1.0, std::fabs(cost[j]))) enter = j;
            }
            if (enter == columns) break;
            std::size_t leave = m;
            double best = std::numeric_limits<double>::infinity();
            for (std::size_t i = 0; i < m; ++i) {
                if (T[i][enter] <= eps) continue;
                const double ratio = T[i][n + m] / T[i][enter];
                if (ratio < best - eps || (ratio <= best + eps && leave < m && basis[i] < basis[leave])) {
                    best = std::min(best, ratio);
                    leave = i;
                }
            }
            if (leave == m) return -std::numeric_limits<double>::infinity();
            pivot(leave, enter);
        }
        double value = 0.0;
        for (std::size_t i = 0; i < m; ++i) value += cost[basis[i]] * T[i][n + m];
        return value;
    };
    std::vector<double> phase1(n + m, 0.0);
    double scale = 1.0;
    for (std::size_t i = 0; i < m; ++i) {
        phase1[n + i] = 1.0;
        scale = std::max(scale, b[i]);
    }
    if (run(phase1, n + m) > 1e-7 * scale) return std::nullopt;
    // Artificials still basic (at zero) leave for any real column of their row; a row without one
    // repeats others and keeps its artificial at zero.
    for (std::size_t i = 0; i < m; ++i) {
        if (basis[i] < n) continue;
        for (std::size_t j = 0; j < n; ++j)
            if (std::fabs(T[i][j]) > eps) {
                pivot(i, j);
                break;
            }
    }
    std::vector<double> phase2(n + m, 0.0);
    std::copy(c.begin(), c.end(), phase2.begin());
    return run(phase2, n);
}

// F of one 1-2 shell (Bowman): 0 where one shell cannot do the duty.
inline double OneShellF(double hotIn, double hotOut, double coldIn, double coldOut) {
    const double R = (hotIn - hotOut) / (coldOut - coldIn);
    const double P = (coldOut - coldIn) / (hotIn - coldIn);
    const double S = std::sqrt(R * R + 1.0);
    const double low = 2.0 - P * (R + 1.0 + S);
    if (!(low > 0.0) || !(P < 1.0) || !(R * P < 1.0)) return 0.0;
    const double high = 2.0 - P * (R + 1.0 - S);
    const double numerator = std::fabs(R - 1.0) < 1e-12 ? S * P / (1.0 - P) : S * std::log((1.0 - P) / (1.0 - R * P)) / (R - 1.0);
    return std::min(1.0, numerator / std::log(high / low));
}

struct Model {
    std::vector<Stream> streams;
    double capital = 0.0;   // per m2 and year (the area coefficient, annualised)
    double fixed = 0.0;     // per match and year
    double hours = 8000.0;  // a year's operating hours

    // The annual cost of the cheapest heat the matches (pairs of stream indices) can carry, plus
    // their fixed costs; nullopt when they cannot carry every process stream's heat.
    std::optional<double> CostOf(const std::vector<std::pair<int, int>>& matches) const {
        std::vector<double> bounds;
        for (const Stream& s : streams) {
            const double shift = s.hot ? -2.0 : 2.0;
            bounds.push_back(s.supply + shift);
            bounds.push_back(s.target + shift);
        }
        std::sort(bounds.rbegin(), bounds.rend());
        bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
        double narrowest = 1e300;
        for (std::size_t k = 0; k + 1 < bounds.size(); ++k) narrowest = std::min(narrowest, bounds[k] - bounds[k + 1]);
        const double step = std::max(18.0, 8.0 * narrowest);
        std::vector<double> T;
        for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
            const double w = bounds[k] - bounds[k + 1];
            const double parts = std::floor(w / step) + 1.0;
            for (int p = 0; p < static_cast<int>(parts); ++p) T.push_back(bounds[k] - p * w / parts);
        }
        T.push_back(bounds.back());
        const int intervals = static_cast<int>(T.size()) - 1;
        auto covers = [&](const Stream& s, int k) {
            const double shift = s.hot ? -2.0 : 2.0;
            const double top = std::max(s.supply, s.target) + shift, bottom = std::min(s.supply, s.target) + shift;
            return T[k] <= top + 1e-9 && T[k + 1] >= bottom - 1e-9;
        };
        struct Column {
            int hot, cold, i, j;
            double cost;
        };
        std::vector<Column> columns;
        for (const auto& [hot, cold] : matches) {
            const Stream& H = streams[static_cast<std::size_t>(hot)];
            const Stream& C = streams[static_cast<std::size_t>(cold)];
            for (int i = 0; i < intervals; ++i) {
                if (!covers(H, i)) continue;
                for (int j = i; j < intervals; ++j) {
                    if (!covers(C, j)) continue;
                    const double a = T[i + 1] - T[j + 1] + 4.0, b = T[i] - T[j] + 4.0;
                    const double mtd = 2.0 * std::sqrt(a * b) / 3.0 + (a + b) / 6.0;
                    double F = OneShellF(T[i] + 2.0, T[i + 1] + 2.0, T[j + 1] - 2.0, T[j] - 2.0);
                    if (F < 0.8) F = 0.8;
                    const double cost = capital * (1.0 / H.h + 1.0 / C.h) / (mtd * F) +
                                        (H.costIndex + C.costIndex) * hours * 3600.0;
                    columns.push_back({hot, cold, i, j, cost});
                }
            }
        }
        std::vector<std::vector<double>> A;
        std::vector<double> rhs;
        auto row = [&](double value) {
            A.emplace_back(columns.size(), 0.0);
            rhs.push_back(value);
            return A.size() - 1;
        };
        for (std::size_t s = 0; s < streams.size(); ++s) {
            const Stream& S = streams[s];
            std::vector<int> span;
            for (int k = 0; k < intervals; ++k)
                if (covers(S, k)) span.push_back(k);
            auto sideOf = [&](const Column& c, int k) {
                return S.hot ? (c.hot == static_cast<int>(s) && c.i == k) : (c.cold == static_cast<int>(s) && c.j == k);
            };
            if (!S.utility) {
                for (int k : span) {
                    const std::size_t r = row((T[k] - T[k + 1]) * S.cp);
                    for (std::size_t c = 0; c < columns.size(); ++c)
                        if (sideOf(columns[c], k)) A[r][c] = 1.0;
                }
                continue;
            }
            for (std::size_t p = 0; p + 1 < span.size(); ++p) {
                const int k = span[p], l = span[p + 1];
                const std::size_t r = row(0.0);
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    if (sideOf(columns[c], k)) A[r][c] += T[l] - T[l + 1];
                    if (sideOf(columns[c], l)) A[r][c] -= T[k] - T[k + 1];
                }
            }
        }
        std::vector<double> cost;
        for (const Column& c : columns) cost.push_back(c.cost);
        const std::optional<double> heat = SolveLP(A, rhs, cost);
        if (!heat) return std::nullopt;
        return *heat + fixed * static_cast<double>(matches.size());
    }
};

}  // namespace interval_model

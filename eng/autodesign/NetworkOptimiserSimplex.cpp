// The simplex search of one sub-network: the initial simplex around the present point, the
// Nelder-Mead steps with the optimiser's own coefficients (on purpose not affine: reflection
// 1.99 G - 1.02 P0, expansion 1.97 R - 0.96 G, and for split shares 1.5 (G - P0) + 1.1 P0 and
// 1.2 (R - G) + 1.1 G), a stop test that only trusts feasible points, a collapse after ten steps
// without gain, and a refinement of one coordinate at a time. Points are ranked worst first: P0 is
// the worst, Pn the best.
#include "eng/autodesign/NetworkOptimiser.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
constexpr int kRetrofitMode = 3;
constexpr int kMaxInner = 25;
constexpr int kStallLimit = 10;
constexpr int kMaxLineSteps = 60;
constexpr double kFirstPenalty = 9.9e9;
constexpr double kImproving = 0.999999;
constexpr double kAgreement = 0.001;
}  // namespace

void NetworkOptimiser::BuildInitialSimplex() {
    m_inner = 0;
    m_stall = 0;
    const int d = m_variables.DutyCount(), s = m_variables.SplitCount(), n = d + s;
    auto status = [&](int point) {
        Show(Format("Sub-network: %i / Outer loop iteration: %i / Initial point: %i", m_subNetwork + 1, m_outer, point));
    };
    status(1);
    std::vector<double>& p0 = m_points[0];
    for (int j = 0; j < d; ++j) p0[j] = 1.0;
    for (int m = 0; m < s; ++m) p0[d + m] = m_variables.splitFractions[m];
    ApplyPoint(p0);
    m_network->Recalculate();
    m_penaltyBase = kFirstPenalty;
    m_feasible[0] = m_network->IsNetworkFeasible();
    m_values[0] = Evaluate();
    m_penaltyBase = 1.1 * m_values[0];
    m_tolerance = 0.005 * m_values[0];

    double step = m_mode == kRetrofitMode ? 0.9 : 0.5;
    double splitStep = 0.1;
    bool anyTrial = false, lastFeasible = true;
    for (int k = 1; k <= n; ++k) {
        step -= 0.2;
        std::vector<double>& pk = m_points[k];
        bool feasible = false;
        do {
            step = std::max(0.1, step + 0.1);
            if (anyTrial && !lastFeasible) splitStep *= 0.5;
            status(k + 1);
            for (int j = 0; j < d; ++j) {
                if (!m_duties) pk[j] = 1.0;
                else if (j == k) pk[j] = 1.1 + 0.052 * (d - j) / d;
                else pk[j] = step + 0.102 * (k - j) / d;
            }
            // Every branch but the last of a splitter moves by the same amount; the last takes
            // what the others leave.
            int m = 0;
            for (int branches : m_variables.splitterBranches) {
                double given = 0.0;
                for (int b = 0; b < branches; ++b, ++m) {
                    const double f = m_variables.splitFractions[m];
                    if (!m_splits) pk[d + m] = f;
                    else if (b + 1 == branches) pk[d + m] = 1.0 - given;
                    else {
                        pk[d + m] = f - splitStep + 2.0 * splitStep * k / n;
                        given += pk[d + m];
                    }
                }
            }
            m_values[k] = EvaluateAt(pk, &feasible);
            m_feasible[k] = feasible;
            anyTrial = true;
            lastFeasible = feasible;
        } while (!feasible && step < 2.0 - 1e-9);
    }
}

void NetworkOptimiser::SortPoints() {
    const std::size_t count = m_points.size();
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return m_values[a] > m_values[b]; });
    std::vector<std::vector<double>> points(count);
    std::vector<double> values(count);
    std::vector<bool> feasible(count);
    for (std::size_t i = 0; i < count; ++i) {
        points[i] = std::move(m_points[order[i]]);
        values[i] = m_values[order[i]];
        feasible[i] = m_feasible[order[i]];
    }
    m_points.swap(points);
    m_values.swap(values);
    m_feasible.swap(feasible);
}

void NetworkOptimiser::Reflect() {
    const int d = m_variables.DutyCount();
    const std::size_t n = m_points.size() - 1;
    for (std::size_t c = 0; c < n; ++c) {
        double sum = 0.0;
        for (std::size_t i = 1; i <= n; ++i) sum += m_points[i][c];
        m_centre[c] = sum / static_cast<double>(n);
        const double g = m_centre[c], p0 = m_points[0][c];
        m_reflected[c] = static_cast<int>(c) < d ? 1.99 * g - 1.02 * p0 : 1.5 * (g - p0) + 1.1 * p0;
    }
    bool feasible = true;
    m_reflectedValue = EvaluateAt(m_reflected, &feasible);
    m_reflectedFeasible = feasible;
}

void NetworkOptimiser::Collapse() {
    m_stall = 0;
    Append(" - collapsing");
    const std::size_t n = m_points.size() - 1;
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<double> q(n);
        for (std::size_t c = 0; c < n; ++c) q[c] = std::max(0.0, 0.23 * m_points[n][c] + 0.79 * m_points[i][c]);
        bool feasible = true;
        const double value = EvaluateAt(q, &feasible);
        if (value < m_values[i]) {
            m_points[i] = q;
            m_values[i] = value;
            m_feasible[i] = feasible;
        }
    }
}

void NetworkOptimiser::RunSimplex() {
    const std::size_t n = m_points.size() - 1;
    if (n == 0) return;
    const int d = m_variables.DutyCount();
    auto takeTrialAsWorst = [&] {
        m_points[0] = m_trial;
        m_values[0] = m_trialValue;
        m_feasible[0] = m_trialFeasible;
    };
    double best = 0.0;
    do {
        ++m_inner;
        SortPoints();
        Show(Format("Sub-network: %i / Outer loop iteration: %i / Inner loop iteration: %i / Objective function: %8.6f",
                    m_subNetwork + 1, m_outer, m_inner, m_values[n]));
        Reflect();
        if (m_reflectedValue < m_values[n]) {
            m_stall = 0;
            Append(" - performing expansion.");
            for (std::size_t c = 0; c < n; ++c) {
                const double r = m_reflected[c], g = m_centre[c];
                m_trial[c] = static_cast<int>(c) < d ? 1.97 * r - 0.96 * g : 1.2 * (r - g) + 1.1 * g;
            }
            bool feasible = true;
            m_trialValue = EvaluateAt(m_trial, &feasible);
            m_trialFeasible = feasible;
            if (m_reflectedValue <= m_trialValue) {
                m_points[0] = m_reflected;
                m_values[0] = m_reflectedValue;
                m_feasible[0] = m_reflectedFeasible;
            } else {
                takeTrialAsWorst();
            }
        } else if (m_reflectedValue <= m_values[0]) {
            m_stall = 0;
            m_points[0] = m_reflected;
            m_values[0] = m_reflectedValue;
            m_feasible[0] = m_reflectedFeasible;
        } else {
            if (++m_stall >= kStallLimit) {
                Collapse();
            } else {
                Append(" - performing contraction.");
                for (std::size_t c = 0; c < n; ++c) m_trial[c] = 0.49 * m_points[0][c] + 0.51 * m_centre[c];
                bool feasible = true;
                m_trialValue = EvaluateAt(m_trial, &feasible);
                m_trialFeasible = feasible;
            }
            if (m_trialValue > m_values[1]) {
                Append(" Contracting around lowest point.");
                for (std::size_t c = 0; c < n; ++c) {
                    double sum = 0.0;
                    for (std::size_t i = 0; i < n; ++i) sum += m_points[i][c];
                    m_trial[c] = 0.48 * m_points[n][c] + 0.51 * (sum / static_cast<double>(n));
                }
                bool feasible = true;
                m_trialValue = EvaluateAt(m_trial, &feasible);
                m_trialFeasible = feasible;
            }
            takeTrialAsWorst();
        }
        best = m_values[0];
        for (std::size_t i = n; i >= 1; --i)
            if (m_feasible[i]) {
                best = m_values[i];
                break;
            }
    } while (std::fabs(best - m_values[0]) > m_tolerance && m_inner < kMaxInner);
    bool feasible = true;
    m_values[n] = EvaluateAt(m_points[n], &feasible);
    m_feasible[n] = feasible;
}

void NetworkOptimiser::RefineSolution() {
    const std::size_t n = m_points.size() - 1;
    for (std::size_t c = 0; c < n; ++c) {
        auto status = [&](double value) {
            Show(Format("Sub-network: %i / Outer loop iteration: %i / Refine solution: %i / Objective function: %8.6f",
                        m_subNetwork + 1, m_outer, static_cast<int>(c) + 1, value));
        };
        bool feasible = true;
        std::vector<double> a = m_points[n], b = m_points[n], t = m_points[n];
        double fa = EvaluateAt(a, &feasible);
        b[c] = 0.9 * a[c];
        double fb = EvaluateAt(b, &feasible);
        if (fa < fb) {
            std::swap(a, b);
            std::swap(fa, fb);
        }
        // Extrapolation while the objective falls: A ends at the last improving point, B at the
        // failed trial.
        double k = 1.0;
        for (int steps = 0; steps < kMaxLineSteps; ++steps) {
            t = b;
            t[c] = (k + 1.0) * b[c] - k * a[c];
            const double ft = EvaluateAt(t, &feasible);
            status(fb);
            const bool stop = ft > kImproving * fb;
            a = b;
            fa = fb;
            b = t;
            fb = ft;
            k += 0.1;
            if (stop) break;
        }
        for (int steps = 0; steps < kMaxLineSteps; ++steps) {
            status(fb);
            t = a;
            t[c] = 0.5 * (a[c] + b[c]);
            const double ft = EvaluateAt(t, &feasible);
            if (fa <= fb) {
                b = t;
                fb = ft;
            } else {
                a = t;
                fa = ft;
            }
            const double spread = a[c] == 0.0 ? (b[c] == 0.0 ? 0.0 : 0.001) : std::fabs((a[c] - b[c]) / a[c]);
            if (!(std::fabs(fa - fb) / std::fabs(fa) > kAgreement && spread > kAgreement)) break;
        }
        if (fb <= fa) {
            m_points[n] = b;
            m_values[n] = fb;
        } else {
            m_points[n] = a;
            m_values[n] = fa;
        }
    }
    bool feasible = true;
    m_values[n] = EvaluateAt(m_points[n], &feasible);
    m_feasible[n] = feasible;
}

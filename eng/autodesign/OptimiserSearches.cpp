#include "eng/autodesign/OptimiserSearches.h"

#include <algorithm>
#include <cmath>

namespace optimiser {

namespace {
constexpr double kFloor = 1e-08;
// The searches' own bounds: a search on a flat or ill-behaved objective ends here.
constexpr int kMaxSteps = 60;
constexpr double kSmallestInterval = 1e-9;
constexpr double kAgreement = 0.001;
constexpr double kImproving = 0.999999;
constexpr int kMaxReductions = 8;
}  // namespace

// Capital beyond the budget weighs a / b (1 or more, so no utility saving buys it); capital within
// the budget weighs nothing, so that a budget the network does not reach changes no state's
// weight: 1e5 and 1e12 lead to the same network wherever both are above what it spends.
double CapitalTerm(double a, double b) {
    if (b <= a) return a / (b < kFloor ? kFloor : b);
    return 0.0;
}

double RetrofitObjective(double a, double b, double u, double u0) {
    return CapitalTerm(a, b) + (u0 == 0.0 ? 0.0 : u / u0);
}

double HeaterMarginObjective(double u, double uStart, double sum, bool within) {
    const double v = sum + 1.0;
    if (!within) return 2.0 * v;
    const double ratio = uStart == 0.0 ? 1.0 : u / uStart;
    return ratio * ratio * v;
}

double MeasuredTemperatureObjective(const std::vector<Deviation>& deviations) {
    double sum = 0.0;
    for (const Deviation& d : deviations) {
        const double delta = d.calculated - d.measured;
        sum += d.weight * delta * delta;
    }
    return 1.0 + sum;
}

double Penalised(double value, double p) { return value / p + p; }

double SearchDuty(double q0, double f0, const ApplyDuty& apply, const Judge& judge,
                  const std::function<bool()>& abandon, const std::function<void(double)>& report,
                  DutySearchTrace* trace) {
    auto evaluate = [&](double q) {
        if (trace) trace->trials.push_back(q);
        apply(q);
        return judge();
    };
    const double q1 = std::max(0.0, 0.98 * q0);
    const double f1 = evaluate(q1);
    if (abandon && abandon()) {
        if (trace) trace->abandoned = true;
        apply(q0);
        return q0;
    }
    // The better of the two leads (a tie goes to the step).
    double b = q1, fb = f1, o = q0;
    if (f0 < f1) {
        b = q0;
        fb = f0;
        o = q1;
    }
    double a = b, fa = fb, t = b, ft = fb;
    double k = 1.0;
    for (int step = 0;; ++step) {
        if (report) report(fb);
        t = std::max(0.0, (k + 1.0) * b - k * o);
        ft = evaluate(t);
        if (ft > kImproving * fb || step + 1 >= kMaxSteps) {
            a = b;
            fa = fb;
            break;
        }
        o = b;
        b = t;
        fb = ft;
        k += 0.2;
    }
    for (int step = 0; step < kMaxSteps; ++step) {
        if (report) report(ft);
        const double m = 0.5 * (a + t);
        const double fm = evaluate(m);
        if (trace) ++trace->halvings;
        if (ft < fa) {
            a = m;
            fa = fm;
        } else {
            t = m;
            ft = fm;
        }
        const double scale = std::max(std::fabs(a), std::fabs(t));
        if (!(std::fabs(fa - ft) > kAgreement * std::fabs(fa))) break;
        if (std::fabs(a - t) <= kSmallestInterval * scale) break;
    }
    const double chosen = fa < ft ? a : t;
    apply(chosen);
    return chosen;
}

bool RestoreByFactors(double q0, const ApplyDuty& apply, const std::function<bool()>& feasible) {
    for (int i = 1; i <= 10; ++i) {
        apply((1.0 - 0.1 * i) * q0);
        if (feasible()) return true;
    }
    for (int i = 1; i <= 9; ++i) {
        apply((1.0 + 0.1 * i) * q0);
        if (feasible()) return true;
    }
    apply(q0);
    return false;
}

double RescueSmallDuty(double m, const ApplyDuty& apply, const std::function<bool()>& feasible) {
    double q = m;
    for (int i = 0; i < kMaxReductions; ++i) {
        q *= 0.1;
        apply(q);
        if (feasible()) break;
    }
    return q;
}

}  // namespace optimiser

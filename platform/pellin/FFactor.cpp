#include "pellin/FFactor.h"

#include "dunmor/Exceptions.h"

#include <algorithm>
#include <cmath>

namespace {

// A side whose two ends differ by no more than this (°C) does not change temperature.
constexpr double kIsothermalBand = 1e-9;
// The bisection on the shell count stops when its bracket is this narrow, or after
// kMaxBisections halvings (the bracket [1, 100] needs about 37).
constexpr double kShellTolerance = 1e-10;
constexpr int kMaxBisections = 200;

// ln(1 + a u) / u, continuous through u = 0 where it is a. Needs 1 + a u > 0.
// Written this way the R = 1 limit of the formulas needs no special branch and R close to 1
// loses no digits to cancellation.
double Log1pOver(double a, double u) {
    const double x = a * u;
    if (std::fabs(x) < 1e-8) return a * (1.0 - x * (0.5 - x / 3.0));
    return std::log1p(x) / u;
}

// (e^y - 1) / y, continuous through y = 0.
double Expm1Over(double y) {
    if (std::fabs(y) < 1e-8) return 1.0 + y * (0.5 + y / 6.0);
    return std::expm1(y) / y;
}

// Effectiveness P1 of each of N equal shells in series whose overall effectiveness is P:
// with Z = ((1 - R P) / (1 - P))^(1/N), P1 = (Z - 1) / (Z - R). Dividing through by (1 - R)
// gives P1 = e / (1 + e) with e = (Z - 1) / (1 - R), which is P / (N (1 - P)) at R = 1.
// Needs 0 <= P < 1 and R P < 1.
double OneShellEffectiveness(double R, double P, double shells) {
    const double a = P / (1.0 - P);
    const double u = 1.0 - R;
    const double lambda = Log1pOver(a, u);  // ln((1 - R P) / (1 - P)) / (1 - R)
    const double e = lambda / shells * Expm1Over(u * lambda / shells);
    return e / (1.0 + e);
}

// Bowman-Underwood F of one 1-2 shell:
//   F = S ln((1 - P) / (1 - R P)) / ((R - 1) ln((2 - P (R + 1 - S)) / (2 - P (R + 1 + S)))),
// S = sqrt(R^2 + 1). False beyond the 1-2 limit P < 2 / (R + 1 + S), where F falls to 0.
bool OneShellFFactor(double R, double P, double& F) {
    if (P <= 0.0) {
        F = 1.0;
        return true;
    }
    const double S = std::hypot(R, 1.0);
    const double lower = 2.0 - P * (R + 1.0 + S);
    if (!(lower > 0.0) || !(P < 1.0) || !(R * P < 1.0)) return false;
    const double numerator = S * Log1pOver(P / (1.0 - P), 1.0 - R);
    // The two arguments of the logarithm differ by 2 P S, which keeps small P exact.
    const double denominator = std::log1p(2.0 * P * S / lower);
    if (!(numerator > 0.0) || !(denominator > 0.0)) return false;
    const double value = numerator / denominator;
    if (!std::isfinite(value)) return false;
    F = std::min(1.0, value);
    return true;
}

enum class Exchange { Unusable, Isothermal, Crossed, Regular };

// Orders each side's ends (hot enters at its hotter end, cold at its colder end) and finds R
// and P of the countercurrent exchange.
Exchange Classify(double hotA, double hotB, double coldA, double coldB, double& R, double& P) {
    const bool finite = std::isfinite(hotA) && std::isfinite(hotB) && std::isfinite(coldA) &&
                        std::isfinite(coldB);
    KS_ASSERT(finite);
    if (!finite) return Exchange::Unusable;

    const double hotIn = std::max(hotA, hotB);
    const double hotOut = std::min(hotA, hotB);
    const double coldIn = std::min(coldA, coldB);
    const double coldOut = std::max(coldA, coldB);
    const double hotChange = hotIn - hotOut;
    const double coldChange = coldOut - coldIn;
    if (hotChange <= kIsothermalBand || coldChange <= kIsothermalBand) return Exchange::Isothermal;
    if (!(hotIn > coldOut) || !(hotOut > coldIn)) return Exchange::Crossed;

    R = hotChange / coldChange;
    P = coldChange / (hotIn - coldIn);
    const bool usable = std::isfinite(R) && std::isfinite(P);
    KS_ASSERT(usable);
    return usable ? Exchange::Regular : Exchange::Unusable;
}

// F at a shell count, 0 where the arrangement cannot do the duty (F falls continuously to 0
// towards that limit, so the bisection sees a monotone function).
double FAt(double R, double P, double shells) {
    double F = 0.0;
    return FFactorForShells(R, P, shells, F) ? F : 0.0;
}

double EffectiveMinimum(double minF) {
    if (std::isnan(minF)) return kLowestFFactor;
    return std::clamp(minF, kLowestFFactor, 1.0);
}

}  // namespace

bool FFactorForShells(double R, double P, double shells, double& F) {
    F = 0.0;
    if (!std::isfinite(R) || !std::isfinite(P) || R < 0.0 || P < 0.0) return false;
    if (!(shells >= 1.0)) return false;
    if (P == 0.0 || R == 0.0) {
        F = 1.0;
        return true;
    }
    if (!(P < 1.0) || !(R * P < 1.0)) return false;
    return OneShellFFactor(R, OneShellEffectiveness(R, P, shells), F);
}

double g_CalculateFFactorAndShells(double hotLow, double hotHigh, double coldLow, double coldHigh,
                                   double minF, double& F, double& shells, int, int) {
    double R = 0.0;
    double P = 0.0;
    switch (Classify(hotLow, hotHigh, coldLow, coldHigh, R, P)) {
        case Exchange::Unusable:
        case Exchange::Isothermal:
            F = 1.0;
            shells = 1.0;
            return F;
        case Exchange::Crossed:
            F = kLowestFFactor;
            shells = kMaxShellsInSeries;
            return F;
        case Exchange::Regular:
            break;
    }

    const double target = EffectiveMinimum(minF);
    const double single = FAt(R, P, 1.0);
    if (single >= target) {
        F = single;
        shells = 1.0;
        return F;
    }
    double high = kMaxShellsInSeries;
    double fHigh = FAt(R, P, high);
    if (fHigh < target) {
        F = std::max(fHigh, kLowestFFactor);
        shells = kMaxShellsInSeries;
        return F;
    }
    // F(low) < target <= F(high); F rises with the shell count.
    double low = 1.0;
    for (int i = 0; i < kMaxBisections && high - low > kShellTolerance; ++i) {
        const double middle = 0.5 * (low + high);
        const double fMiddle = FAt(R, P, middle);
        if (fMiddle >= target) {
            high = middle;
            fHigh = fMiddle;
        } else {
            low = middle;
        }
    }
    F = fHigh;
    shells = high;
    return F;
}

double g_CalculateFFactorWithFixedShells(double hotOut, double hotIn, double coldIn, double coldOut,
                                         double shells) {
    double R = 0.0;
    double P = 0.0;
    switch (Classify(hotOut, hotIn, coldIn, coldOut, R, P)) {
        case Exchange::Unusable:
        case Exchange::Isothermal:
            return 1.0;
        case Exchange::Crossed:
            return kLowestFFactor;
        case Exchange::Regular:
            break;
    }
    const double count = shells >= 1.0 ? shells : 1.0;
    return std::max(FAt(R, P, count), kLowestFFactor);
}

bool g_FFactorExistsWithFixedShells(double hotOut, double hotIn, double coldIn, double coldOut, double shells) {
    double R = 0.0;
    double P = 0.0;
    if (Classify(hotOut, hotIn, coldIn, coldOut, R, P) != Exchange::Regular) return true;
    double F = 0.0;
    return FFactorForShells(R, P, shells >= 1.0 ? shells : 1.0, F);
}

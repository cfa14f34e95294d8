#include "eng/model/FilmCoefficient.h"

#include <cmath>

namespace FilmCoefficient {

double ReynoldsNumber(const FilmProperties& p) { return p.velocity * p.diameter * p.density / (p.viscosity * 0.001); }

double PrandtlNumber(const FilmProperties& p) {
    return std::fabs(p.specificHeat) * 1000.0 * (p.viscosity * 0.001) / p.conductivity;
}

int Clean(const FilmProperties& p, int hotCold, double& coefficient) {
    if (hotCold != 0 && hotCold != 1) return 0;
    if (p.viscosity == 0.0 || p.conductivity == 0.0 || p.diameter == 0.0) return -1;
    const double re = ReynoldsNumber(p);
    const double pr = PrandtlNumber(p);
    // Powers of negative numbers have no real value: a property with the wrong sign is a conflict.
    if (!(re >= 0.0) || !(pr >= 0.0) || !std::isfinite(re) || !std::isfinite(pr)) return -1;
    const double base = p.conductivity / p.diameter * std::cbrt(pr);
    coefficient = hotCold == 1 ? 2.3e-05 * base * std::pow(re, 0.8) : 0.00036 * base * std::pow(re, 0.55);
    return std::isfinite(coefficient) ? 1 : -1;
}

}  // namespace FilmCoefficient

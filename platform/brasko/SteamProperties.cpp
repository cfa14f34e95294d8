#include "brasko/SteamProperties.h"

#include "brasko/IF97.h"

#include <cmath>
#include <cstring>

namespace {
constexpr double kEmpty = -32767.0;
constexpr double kKPaPerMPa = 1000.0;
// How far past the saturation line a phase's equation is still taken (K).
constexpr double kMetastableMargin = 1.0;
// Saturation pressure at 273.15 K, the lowest pressure of the saturation line (MPa).
constexpr double kLowestSaturationPressure = 611.212677e-6;

bool usable(double x) { return std::isfinite(x) && x != kEmpty; }
}  // namespace

double SteamCriticalProperty(const char* name) {
    if (!name) return kEmpty;
    if (std::strcmp(name, "Temperature") == 0) return IF97::CriticalTemperature;
    if (std::strcmp(name, "Pressure") == 0) return IF97::CriticalPressure;
    if (std::strcmp(name, "Volume") == 0) return 1.0 / 322.0;
    return kEmpty;
}

double Steam67ReducedBPCalcT(double pressureKPa) {
    if (!usable(pressureKPa)) return kEmpty;
    const double p = pressureKPa / kKPaPerMPa;
    if (p < kLowestSaturationPressure || p > IF97::CriticalPressure) return kEmpty;
    const double t = IF97::SaturationTemperature(p);
    if (!std::isfinite(t)) return kEmpty;
    return t / IF97::CriticalTemperature;
}

double SteamEnthalpyCalcTPi(double temperatureK, double pressureKPa, int phase) {
    if (!usable(temperatureK) || !usable(pressureKPa)) return kEmpty;
    const double T = temperatureK;
    const double p = pressureKPa / kKPaPerMPa;
    if (!(p > 0.0) || p > IF97::MaximumPressure || T < IF97::MinimumTemperature) return kEmpty;
    // Boiling point at this pressure; none above the critical pressure.
    const bool belowCritical = p <= IF97::CriticalPressure && p >= kLowestSaturationPressure;
    const double tSat = belowCritical ? IF97::SaturationTemperature(p) : 0.0;
    double h = kEmpty;
    if (phase == 1) {
        // Below the triple point's pressure there is no liquid above 273.15 K.
        if (T > IF97::Region1MaximumTemperature || p < kLowestSaturationPressure) return kEmpty;
        if (belowCritical && T > tSat + kMetastableMargin) return kEmpty;
        h = IF97::Region1Enthalpy(T, p);
    } else if (phase == 0) {
        if (T > IF97::Region2MaximumTemperature) return kEmpty;
        if (T <= IF97::Region1MaximumTemperature) {
            // Below 623.15 K vapour lies under the saturation line (the lowest pressures have
            // their boiling point under 273.15 K: always vapour).
            if (p > IF97::SaturationPressure(IF97::Region1MaximumTemperature)) return kEmpty;
            if (p >= kLowestSaturationPressure && T < tSat - kMetastableMargin) return kEmpty;
        } else if (T <= IF97::B23MaximumTemperature && p > IF97::B23Pressure(T)) {
            return kEmpty;  // region 3
        }
        h = IF97::Region2Enthalpy(T, p);
    } else {
        return kEmpty;
    }
    return std::isfinite(h) ? h * IF97::MolarMass : kEmpty;
}

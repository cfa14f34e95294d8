#pragma once
// Water and steam by the IAPWS Industrial Formulation 1997 (IF97): the basic equations of
// region 1 (compressed liquid) and region 2 (superheated vapour), both as dimensionless Gibbs free
// energies, and the saturation-pressure equation of region 4 with its backward form. SI units
// of the release: temperature in K, pressure in MPa, specific enthalpy in kJ/kg; the reference
// state is the release's (u = 0, s = 0 for saturated liquid at the triple point).
//
// These are the bare equations: they answer whatever the formula gives and do not check where
// it is valid. SteamProperties.h decides which equation serves a state.
namespace IF97 {

inline constexpr double SpecificGasConstant = 0.461526;  // kJ/(kg K)
inline constexpr double MolarMass = 18.015268;           // kg/kmol
inline constexpr double CriticalTemperature = 647.096;   // K
inline constexpr double CriticalPressure = 22.064;       // MPa
inline constexpr double TriplePointTemperature = 273.16; // K
// Lowest temperature of regions 1 and 2.
inline constexpr double MinimumTemperature = 273.15;
// Upper temperature of region 1 (and lower bound of region 3).
inline constexpr double Region1MaximumTemperature = 623.15;
// Region 2 is bounded by the B23 line up to this temperature, by the pressure limit above it.
inline constexpr double B23MaximumTemperature = 863.15;
inline constexpr double Region2MaximumTemperature = 1073.15;
inline constexpr double MaximumPressure = 100.0;

// Specific enthalpy of region 1 and of region 2.
double Region1Enthalpy(double temperature, double pressure);
double Region2Enthalpy(double temperature, double pressure);

// Saturation pressure at a temperature (273.15 K to the critical temperature) and saturation
// temperature at a pressure (611.213 Pa to the critical pressure).
double SaturationPressure(double temperature);
double SaturationTemperature(double pressure);

// The boundary between regions 2 and 3: pressure at a temperature (623.15 K to 863.15 K).
double B23Pressure(double temperature);

}  // namespace IF97

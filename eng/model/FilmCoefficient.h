#pragma once
// Clean film heat-transfer coefficient of a stream segment from its flow and physical properties,
// by the tube-side correlations the segment rules use.
//
// Units in: velocity m/s, diameter m, density kg/m3, viscosity cP, conductivity W/(m K), specific
// heat kJ/(kg K). The viscosity is turned into Pa s (x 0.001) and the specific heat into J/(kg K)
// (x 1000); with the conductivity in W/(m K) the coefficient comes out in kW/(m2 K).
struct FilmProperties {
    double velocity = 0.0;
    double diameter = 0.0;
    double density = 0.0;
    double viscosity = 0.0;
    double conductivity = 0.0;
    double specificHeat = 0.0;
};

namespace FilmCoefficient {
// Re = v D rho / (mu 0.001)
double ReynoldsNumber(const FilmProperties& p);
// Pr = |cp| 1000 (mu 0.001) / k
double PrandtlNumber(const FilmProperties& p);

// hotCold 1 (cold): 2.3e-05 k / D Re^0.8 Pr^(1/3); hotCold 0 (hot): 0.00036 k / D Re^0.55 Pr^(1/3).
// Answers 1 with the coefficient; 0 for an undetermined side (nothing computed); -1 when the
// viscosity, conductivity or diameter is zero or the numbers would not be real (negative
// Reynolds or Prandtl number).
int Clean(const FilmProperties& p, int hotCold, double& coefficient);
}  // namespace FilmCoefficient

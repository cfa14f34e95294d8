// Coefficients and exponents of the IAPWS-IF97 release (revised 2007): Table 2 (region 1),
// Tables 10 and 11 (region 2, ideal-gas and residual parts), Table 34 (saturation equation) and
// Table 1 (the B23 boundary). Enthalpy follows from the Gibbs free energy as
// h / (R T) = tau * d(gamma)/d(tau).
#include "brasko/IF97.h"

#include <cmath>
#include <iterator>

namespace {

struct Term {
    int I;
    int J;
    double n;
};

// Region 1: gamma = sum n (7.1 - pi)^I (tau - 1.222)^J, pi = p / 16.53 MPa, tau = 1386 K / T.
constexpr Term kRegion1[] = {
    {0, -2, 0.14632971213167},     {0, -1, -0.84548187169114},    {0, 0, -0.37563603672040e1},
    {0, 1, 0.33855169168385e1},    {0, 2, -0.95791963387872},     {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},  {0, 5, 0.81214629983568e-3},   {1, -9, 0.28319080123804e-3},
    {1, -7, -0.60706301565874e-3}, {1, -1, -0.18990068218419e-1}, {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},  {1, 3, -0.52838357969930e-4},  {2, -3, -0.47184321073267e-3},
    {2, 0, -0.30001780793026e-3},  {2, 1, 0.47661393906987e-4},   {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15}, {3, -4, -0.31679644845054e-4}, {3, 0, -0.28270797985312e-5},
    {3, 6, -0.85205128120103e-9},  {4, -5, -0.22425281908000e-5}, {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12}, {5, -8, -0.40516996860117e-6}, {8, -11, -0.12734301741641e-8},
    {8, -6, -0.17424871230634e-9}, {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22}, {30, -39, -0.11947622640071e-22}, {31, -40, 0.18228094581404e-23},
    {32, -41, -0.93537087292458e-25},
};
constexpr double kRegion1PressureStar = 16.53;   // MPa
constexpr double kRegion1TemperatureStar = 1386; // K

// Region 2, ideal-gas part: gamma0 = ln pi + sum n0 tau^J0, pi = p / 1 MPa, tau = 540 K / T.
constexpr int kRegion2IdealJ[] = {0, 1, -5, -4, -3, -2, -1, 2, 3};
constexpr double kRegion2IdealN[] = {-0.96927686500217e1, 0.10086655968018e2, -0.56087911283020e-2,
                                     0.71452738081455e-1, -0.40710498223928,  0.14240819171444e1,
                                     -0.43839511319450e1, -0.28408632460772,  0.21268463753307e-1};
// Residual part: gamma_r = sum n pi^I (tau - 0.5)^J.
constexpr Term kRegion2Residual[] = {
    {1, 0, -0.17731742473213e-2},   {1, 1, -0.17834862292358e-1},  {1, 2, -0.45996013696365e-1},
    {1, 3, -0.57581259083432e-1},   {1, 6, -0.50325278727930e-1},  {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},   {2, 4, -0.39392777243355e-2},  {2, 7, -0.43797295650573e-1},
    {2, 36, -0.26674547914087e-4},  {3, 0, 0.20481737692309e-7},   {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},   {3, 6, -0.15033924542148e-2},  {3, 35, -0.40668253562649e-1},
    {4, 1, -0.78847309559367e-9},   {4, 2, 0.12790717852285e-7},   {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},    {6, 3, -0.16714766451061e-10}, {6, 16, -0.21171472321355e-2},
    {6, 35, -0.23895741934104e2},   {7, 0, -0.59059564324270e-17}, {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1},  {8, 8, 0.11256211360459e-10},  {8, 36, -0.82311340897998e1},
    {9, 13, 0.19809712802088e-7},   {10, 4, 0.10406965210174e-18}, {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10}, {16, 50, 0.10693031879409},
    {18, 57, -0.33662250574171},    {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25}, {22, 53, 0.37826947613457e-5},
    {23, 39, -0.12768608934681e-14}, {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
};
constexpr double kRegion2TemperatureStar = 540; // K

// Region 4: the saturation equation's ten coefficients.
constexpr double kN4[] = {0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2, 0.12020824702470e5,
                          -0.32325550322333e7, 0.14915108613530e2,  -0.48232657361591e4, 0.40511340542057e6,
                          -0.23855557567849,   0.65017534844798e3};

// The B23 line p = n1 + n2 T + n3 T^2.
constexpr double kB23[] = {0.34805185628969e3, -0.11671859879975e1, 0.10192970039326e-2};

}  // namespace

namespace IF97 {

double Region1Enthalpy(double temperature, double pressure) {
    const double pi = pressure / kRegion1PressureStar;
    const double tau = kRegion1TemperatureStar / temperature;
    const double a = 7.1 - pi;
    const double b = tau - 1.222;
    double gammaTau = 0.0;
    for (const Term& t : kRegion1)
        if (t.J != 0) gammaTau += t.n * std::pow(a, t.I) * t.J * std::pow(b, t.J - 1);
    return SpecificGasConstant * temperature * tau * gammaTau;
}

double Region2Enthalpy(double temperature, double pressure) {
    const double pi = pressure;
    const double tau = kRegion2TemperatureStar / temperature;
    double ideal = 0.0;
    for (std::size_t i = 0; i < std::size(kRegion2IdealJ); ++i)
        if (kRegion2IdealJ[i] != 0) ideal += kRegion2IdealN[i] * kRegion2IdealJ[i] * std::pow(tau, kRegion2IdealJ[i] - 1);
    const double b = tau - 0.5;
    double residual = 0.0;
    for (const Term& t : kRegion2Residual)
        if (t.J != 0) residual += t.n * std::pow(pi, t.I) * t.J * std::pow(b, t.J - 1);
    return SpecificGasConstant * temperature * tau * (ideal + residual);
}

double SaturationPressure(double temperature) {
    const double theta = temperature + kN4[8] / (temperature - kN4[9]);
    const double A = theta * theta + kN4[0] * theta + kN4[1];
    const double B = kN4[2] * theta * theta + kN4[3] * theta + kN4[4];
    const double C = kN4[5] * theta * theta + kN4[6] * theta + kN4[7];
    const double x = 2.0 * C / (-B + std::sqrt(B * B - 4.0 * A * C));
    return x * x * x * x;
}

double SaturationTemperature(double pressure) {
    const double beta = std::pow(pressure, 0.25);
    const double E = beta * beta + kN4[2] * beta + kN4[5];
    const double F = kN4[0] * beta * beta + kN4[3] * beta + kN4[6];
    const double G = kN4[1] * beta * beta + kN4[4] * beta + kN4[7];
    const double D = 2.0 * G / (-F - std::sqrt(F * F - 4.0 * E * G));
    const double s = kN4[9] + D;
    return (s - std::sqrt(s * s - 4.0 * (kN4[8] + kN4[9] * D))) / 2.0;
}

double B23Pressure(double temperature) {
    return kB23[0] + kB23[1] * temperature + kB23[2] * temperature * temperature;
}

}  // namespace IF97

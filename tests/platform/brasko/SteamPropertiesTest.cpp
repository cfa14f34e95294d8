// Water and steam against the verification values the IAPWS-IF97 release prints for its
// equations, and the answers outside the regions built.
#include "brasko/IF97.h"
#include "brasko/SteamProperties.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kEmpty = -32767.0;

struct Verification {
    const char* what;
    double temperature;  // K
    double pressure;     // MPa
    int phase;           // 1 liquid (region 1), 0 vapour (region 2)
    double enthalpy;     // kJ/kg
};
void PrintTo(const Verification& c, std::ostream* os) {
    *os << c.what;
}

class SteamEnthalpyVerification : public ::testing::TestWithParam<Verification> {};

TEST_P(SteamEnthalpyVerification, MatchesTheReleaseWithinOnePartPerMillion) {
    const Verification& v = GetParam();
    const double direct = v.phase == 1 ? IF97::Region1Enthalpy(v.temperature, v.pressure)
                                       : IF97::Region2Enthalpy(v.temperature, v.pressure);
    EXPECT_NEAR(direct / v.enthalpy, 1.0, 1e-6) << v.what;
    // Through the engineering manager's entry: kPa in, kJ/kmol out.
    const double molar = SteamEnthalpyCalcTPi(v.temperature, v.pressure * 1000.0, v.phase);
    EXPECT_NEAR(molar / IF97::MolarMass / v.enthalpy, 1.0, 1e-6) << v.what;
}

INSTANTIATE_TEST_SUITE_P(
    IF97, SteamEnthalpyVerification,
    ::testing::Values(Verification{"region 1, 300 K, 3 MPa", 300, 3, 1, 115.331273},
                      Verification{"region 1, 300 K, 80 MPa", 300, 80, 1, 184.142828},
                      Verification{"region 1, 500 K, 3 MPa", 500, 3, 1, 975.542239},
                      Verification{"region 2, 300 K, 0.0035 MPa", 300, 0.0035, 0, 2549.91145},
                      Verification{"region 2, 700 K, 0.0035 MPa", 700, 0.0035, 0, 3335.68375},
                      Verification{"region 2, 700 K, 30 MPa", 700, 30, 0, 2631.49474}));

TEST(SteamSaturation, MatchesTheReleaseWithinOnePartPerMillion) {
    struct {
        double p, t;
    } temperatures[] = {{0.1, 372.755919}, {1, 453.035632}, {10, 584.149488}};
    for (const auto& r : temperatures) {
        EXPECT_NEAR(IF97::SaturationTemperature(r.p) / r.t, 1.0, 1e-6) << r.p;
        EXPECT_NEAR(Steam67ReducedBPCalcT(r.p * 1000.0) * 647.096 / r.t, 1.0, 1e-6) << r.p;
    }
    struct {
        double t, p;
    } pressures[] = {{300, 0.353658941e-2}, {500, 0.263889776e1}, {600, 0.123443146e2}};
    for (const auto& r : pressures) EXPECT_NEAR(IF97::SaturationPressure(r.t) / r.p, 1.0, 1e-6) << r.t;
    // The boundary between regions 2 and 3 passes 623.15 K at 16.5291643 MPa.
    EXPECT_NEAR(IF97::B23Pressure(623.15), 16.5291643, 1e-6);
}

TEST(SteamSaturation, LatentHeatAtAtmosphericPressure) {
    // 101.325 kPa boils at 373.124 K (99.974 C) with about 2256.5 kJ/kg of latent heat.
    const double tSat = Steam67ReducedBPCalcT(101.325) * SteamCriticalProperty("Temperature");
    EXPECT_NEAR(tSat, 373.124, 1e-3);
    const double latent = (SteamEnthalpyCalcTPi(tSat, 101.325, 0) - SteamEnthalpyCalcTPi(tSat, 101.325, 1)) / IF97::MolarMass;
    EXPECT_NEAR(latent, 2256.5, 0.5);
}

TEST(SteamProperties, StatesNoEquationHereCoversAreEmpty) {
    struct {
        const char* what;
        double T, pKPa;
        int phase;
    } rows[] = {
        {"region 3", 650, 25000, 0},
        {"region 3 from the liquid side", 640, 25000, 1},
        {"above 800 C", 1100, 100, 0},
        {"above 100 MPa", 400, 100001, 1},
        {"ice", 270, 101.325, 1},
        {"liquid well above its boiling point", 400, 101.325, 1},
        {"vapour well below its boiling point", 350, 101.325, 0},
        {"vapour under pressure at 600 K", 600, 20000, 0},
        {"liquid below the triple point's pressure", 300, 0.5, 1},
        {"no such phase", 300, 101.325, 2},
        {"zero pressure", 300, 0, 0},
        {"empty temperature", kEmpty, 101.325, 1},
        {"not a number", std::nan(""), 101.325, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(SteamEnthalpyCalcTPi(r.T, r.pKPa, r.phase), kEmpty) << r.what;
    for (double p : {0.5, 22065.0, 0.0, -1.0, kEmpty, std::nan("")}) EXPECT_EQ(Steam67ReducedBPCalcT(p), kEmpty) << p;
    EXPECT_NEAR(Steam67ReducedBPCalcT(22064.0), 1.0, 1e-6);
}

TEST(SteamProperties, EachPhaseReachesJustPastItsBoilingPoint) {
    const double tSat = Steam67ReducedBPCalcT(101.325) * 647.096;
    EXPECT_NE(SteamEnthalpyCalcTPi(tSat + 0.9, 101.325, 1), kEmpty);
    EXPECT_NE(SteamEnthalpyCalcTPi(tSat - 0.9, 101.325, 0), kEmpty);
    // Low pressures boil below 273.15 K: their vapour is stable at every temperature here.
    EXPECT_NE(SteamEnthalpyCalcTPi(300, 0.5, 0), kEmpty);
}

}  // namespace

// The engine alone on networks whose optimum is known independently.
//
// Two-stream network: H 200 -> 100 and C 80 -> 180, both CP 2 kW/K and film coefficient 0.1, one
// countercurrent exchanger, a steam heater (250 -> 249, h 6, 2.5e-6 per kJ) on C and a
// cooling-water cooler (20 -> 25, h 3.75, 2.12456e-7 per kJ) on H; cost law 10000 + 800 A^0.8,
// rate 0.1, life 5 years, 8760 h. With the exchanger at duty Q both of its end differences are
// 120 - Q/2, the heater and cooler take 200 - Q; a plain scan of the total annual cost over Q in
// steps of 0.01 kW finds its minimum at 163.3 kW, 11.1 % below the cost at 100 kW.
#include "vireth/CPinchWrapper.h"
#include "vireth/PinchModel.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <string>

namespace {

constexpr double kHours = 8760.0;

struct Network {
    double duty = 100.0;          // of the process exchanger at the start
    double maxNewArea = 10000.0;
    double capitalCap = 0.0;
    bool processAreaLocked = false;
    double processArea = 0.0;
    bool processIsNew = true;
};

ExchangerDeclaration exchanger(const char* name, const char* hi, const char* ho, const char* ci, const char* co,
                               double duty) {
    ExchangerDeclaration x;
    x.name = name;
    x.hotIn = hi;
    x.hotOut = ho;
    x.coldIn = ci;
    x.coldOut = co;
    x.costModel = "DEFAULT";
    x.fixedCost = 10000.0;
    x.areaCost = 800.0;
    x.areaExponent = 0.8;
    x.duty = duty;
    x.maxDuty = 220.0;
    x.arrangement = 2;
    x.dtMin = 10.0;
    return x;
}

void declare(CPinchWrapper& engine, const Network& n) {
    const double q = n.duty;
    engine.CreateSegment("H", 1, 200, 100, 200, 2, 0.1, 1.0);
    engine.CreateStream("H", 200, 100, 200, 0, 1);
    engine.CreateSegment("C", 1, 80, 180, 200, 2, 0.1, 1.0);
    engine.CreateStream("C", 80, 180, 200, 1, 1);
    engine.CreateSegment("Steam", 1, 250, 249, 200 - q, 200 - q, 6, 1.0);
    engine.CreateUtility("Steam", 250, 249, 200 - q, 0, 1, 6, 2.5e-6);
    engine.CreateSegment("CW", 1, 20, 25, 200 - q, (200 - q) / 5, 3.75, 1.0);
    engine.CreateUtility("CW", 20, 25, 200 - q, 1, 1, 3.75, 2.12456e-7);
    engine.CreateNode("1", "H", "START", "E1", 200);
    engine.CreateNode("2", "H", "E1", "Cooler", 200 - q / 2);
    engine.CreateNode("3", "H", "Cooler", "END", 100);
    engine.CreateNode("4", "C", "START", "E1", 80);
    engine.CreateNode("5", "C", "E1", "Heater", 80 + q / 2);
    engine.CreateNode("6", "C", "Heater", "END", 180);
    engine.CreateNode("7", "Steam", "START", "Heater", 250);
    engine.CreateNode("8", "Steam", "Heater", "END", 249);
    engine.CreateNode("9", "CW", "START", "Cooler", 20);
    engine.CreateNode("10", "CW", "Cooler", "END", 25);
    engine.ConnectSplittersAndMixers();
    ExchangerDeclaration e1 = exchanger("E1", "1", "2", "4", "5", q);
    e1.isNew = n.processIsNew;
    e1.onPath = true;
    e1.areaLocked = n.processAreaLocked;
    e1.area = n.processArea;
    e1.maxNewArea = n.maxNewArea;
    e1.overallHTC = 0.05;
    engine.CreateExchanger(e1);
    ExchangerDeclaration heater = exchanger("Heater", "7", "8", "5", "6", 200 - q);
    heater.utility = heater.hotUtility = true;
    engine.CreateExchanger(heater);
    ExchangerDeclaration cooler = exchanger("Cooler", "2", "3", "9", "10", 200 - q);
    cooler.utility = true;
    engine.CreateExchanger(cooler);
    engine.SetEconomicParameters(0.1, 5.0, kHours, n.capitalCap);
}

double logMean(double a, double b) { return std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b); }

// The same cost, worked out directly.
double annualCost(double q) {
    const double recovery = 0.1 * std::pow(1.1, 5) / (std::pow(1.1, 5) - 1.0);
    const double uh = 1.0 / (10.0 + 1.0 / 6.0), uc = 1.0 / (10.0 + 1.0 / 3.75);
    const double a1 = q / (0.05 * (120 - q / 2));
    const double ah = (200 - q) / (uh * logMean(70, 169 - q / 2));
    const double ac = (200 - q) / (uc * logMean(175 - q / 2, 80));
    double capital = 0.0;
    for (double a : {a1, ah, ac}) capital += 10000 + 800 * std::pow(a, 0.8);
    return recovery * capital + (2.5e-6 + 2.12456e-7) * (200 - q) * kHours * 3600;
}

struct Result {
    long code;
    double duty, area, t[4];
    double start, final;
};

Result run(const Network& n) {
    CPinchWrapper engine;
    declare(engine, n);
    Result r{};
    r.code = engine.RunOptimization("Scenario", "Design");
    engine.GetExchangerResults("E1", r.duty, r.area, r.t[0], r.t[1], r.t[2], r.t[3]);
    r.start = engine.StartCost();
    r.final = engine.FinalCost();
    return r;
}

TEST(PinchEngine, TwoStreamOptimumMatchesTheScanOfTheCost) {
    const Result r = run(Network{});
    ASSERT_EQ(r.code, 0);
    EXPECT_NEAR(r.duty, 163.3, 163.3 * 0.005);
    // The engine's cost law takes 0.01 m2 more area per exchanger (a few cost units a year).
    EXPECT_NEAR(r.start, annualCost(100.0), 2e-4 * r.start);
    EXPECT_NEAR(1.0 - r.final / r.start, 0.111, 0.0005);
    // The exchanger's outlets follow its duty on both sides.
    EXPECT_NEAR(r.t[1], 200 - r.duty / 2, 1e-5);
    EXPECT_NEAR(r.t[3], 80 + r.duty / 2, 1e-5);
    EXPECT_NEAR(r.area, r.duty / (0.05 * (120 - r.duty / 2)), 1e-4);
}

// Where the optimum lies beyond a limit, the limit binds; the run still counts as a success
// because the point is cheaper than the start.
struct LimitCase {
    const char* name;
    Network network;
    double duty;   // the duty at which the limit binds
};

class PinchEngineLimits : public ::testing::TestWithParam<LimitCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

TEST_P(PinchEngineLimits, TheLimitBinds) {
    const Result r = run(GetParam().network);
    ASSERT_EQ(r.code, 0);
    EXPECT_NEAR(r.duty, GetParam().duty, 0.05);
    EXPECT_LE(r.final, r.start);
}

// A = Q / (0.05 (120 - Q/2)): 40 m2 at Q = 120 kW, 30 m2 at Q = 102.857 kW (an existing
// exchanger locked at its 30 m2). Capital of the new exchanger 10000 + 800 A^0.8 <= 30000 gives
// A = 25^1.25 = 55.90 m2, Q = 139.90 kW.
INSTANTIATE_TEST_SUITE_P(
    Limits, PinchEngineLimits,
    ::testing::Values(LimitCase{"MaxNewArea", Network{100.0, 40.0}, 120.0},
                      LimitCase{"AreaLocked", Network{100.0, 10000.0, 0.0, true, 30.0, false}, 102.857},
                      LimitCase{"CapitalCap", Network{100.0, 10000.0, 30000.0}, 139.90}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PinchEngine, AStartThatCannotBeImprovedIsStillASuccess) {
    Network n;
    n.duty = 163.3;
    const Result r = run(n);
    EXPECT_EQ(r.code, 0);
    EXPECT_LE(r.final, r.start * (1 + 1e-9));
}

TEST(PinchEngine, DeclarationsThatDoNotMakeAModelAreRefused) {
    CPinchWrapper engine;
    // A segment number out of order, a stream whose segment count does not match.
    EXPECT_EQ(engine.CreateSegment("H", 2, 200, 100, 200, 2, 0.1, 1.0), 0);
    EXPECT_EQ(engine.CreateStream("H", 200, 100, 200, 0, 1), 0);
    // A node of an unknown stream, an exchanger at unknown segments.
    EXPECT_EQ(engine.CreateNode("1", "H", "START", "E1", 200), 0);
    ExchangerDeclaration x = exchanger("E1", "1", "2", "3", "4", 10);
    EXPECT_EQ(engine.CreateExchanger(x), 1);
    EXPECT_EQ(engine.RunOptimization("S", "D"), 1);
    double q = 0, a = 0, t = 0;
    EXPECT_EQ(engine.GetExchangerResults("E1", q, a, t, t, t, t), 0);
}

// H 200 -> 100 (CP 4) split half and half over E1 (to C1 60 -> 160, CP 2) and E2 (to C2 90 -> 140,
// CP 4), mixed again before its cooler; each cold stream ends in a steam heater. Whatever duties
// the engine chooses, each branch carries CP 2, the mixer gives the mean of the branch outlets,
// and the heaters and the cooler close the balances.
TEST(PinchEngine, ASplitStreamKeepsItsSharesAndMixesByHeatContent) {
    CPinchWrapper engine;
    engine.CreateSegment("H", 1, 200, 100, 400, 4, 0.5, 1);
    engine.CreateStream("H", 200, 100, 400, 0, 1);
    engine.CreateSegment("C1", 1, 60, 160, 200, 2, 0.5, 1);
    engine.CreateStream("C1", 60, 160, 200, 1, 1);
    engine.CreateSegment("C2", 1, 90, 140, 200, 4, 0.5, 1);
    engine.CreateStream("C2", 90, 140, 200, 1, 1);
    for (const char* u : {"S1", "S2"}) {
        engine.CreateSegment(u, 1, 250, 249, 100, 100, 6, 1);
        engine.CreateUtility(u, 250, 249, 100, 0, 1, 6, 2.5e-6);
    }
    engine.CreateSegment("CW", 1, 20, 25, 200, 40, 3.75, 1);
    engine.CreateUtility("CW", 20, 25, 200, 1, 1, 3.75, 2.12456e-7);
    const struct {
        const char *label, *stream, *from, *to;
        double t;
    } nodes[] = {{"1", "H", "START", "T", 200},     {"2", "H", "T", "E1", 200},        {"3", "H", "E1", "M", 150},
                 {"4", "H", "T", "E2", 200},        {"5", "H", "E2", "M", 150},        {"6", "H", "M", "Cooler", 150},
                 {"7", "H", "Cooler", "END", 100},  {"8", "C1", "START", "E1", 60},    {"9", "C1", "E1", "H1", 110},
                 {"10", "C1", "H1", "END", 160},    {"11", "C2", "START", "E2", 90},   {"12", "C2", "E2", "H2", 115},
                 {"13", "C2", "H2", "END", 140},    {"14", "S1", "START", "H1", 250},  {"15", "S1", "H1", "END", 249},
                 {"16", "S2", "START", "H2", 250},  {"17", "S2", "H2", "END", 249},    {"18", "CW", "START", "Cooler", 20},
                 {"19", "CW", "Cooler", "END", 25}};
    for (const auto& n : nodes) ASSERT_EQ(engine.CreateNode(n.label, n.stream, n.from, n.to, n.t), 1) << n.label;
    ASSERT_EQ(engine.CreateSplitMixer("1", "6", "T", 2, {{2, 3}, {4, 5}}, {0.5, 0.5}, "M", 2, {3, 5}, {0.5, 0.5}, 0), 1);
    engine.ConnectSplittersAndMixers();
    const struct {
        const char *name, *hi, *ho, *ci, *co;
        bool utility, hotUtility;
    } units[] = {{"E1", "2", "3", "8", "9", false, false},        {"E2", "4", "5", "11", "12", false, false},
                 {"H1", "14", "15", "9", "10", true, true},       {"H2", "16", "17", "12", "13", true, true},
                 {"Cooler", "6", "7", "18", "19", true, false}};
    for (const auto& u : units) {
        ExchangerDeclaration x = exchanger(u.name, u.hi, u.ho, u.ci, u.co, std::string(u.name) == "Cooler" ? 200 : 100);
        x.utility = u.utility;
        x.hotUtility = u.hotUtility;
        x.isNew = !u.utility;
        engine.CreateExchanger(x);
    }
    engine.SetEconomicParameters(0.1, 5.0, kHours, 0.0);
    ASSERT_EQ(engine.RunOptimization("S", "D"), 0);
    double q[5], a, t[5][4];
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(engine.GetExchangerResults(units[i].name, q[i], a, t[i][0], t[i][1], t[i][2], t[i][3]), 1);
    EXPECT_NEAR(t[0][1], 200 - q[0] / 2, 1e-5);                 // E1's branch: CP 2
    EXPECT_NEAR(t[1][1], 200 - q[1] / 2, 1e-5);                 // E2's branch: CP 2
    EXPECT_NEAR(t[4][0], 0.5 * (t[0][1] + t[1][1]), 1e-5);     // the mixer
    EXPECT_NEAR(q[4], 4 * (t[4][0] - 100), 1e-4);              // the cooler takes H to its target
    EXPECT_NEAR(q[0] + q[2], 200, 1e-4);
    EXPECT_NEAR(q[1] + q[3], 200, 1e-4);
    EXPECT_NEAR(q[0] + q[1] + q[4], 400, 1e-4);
    for (int i = 0; i < 5; ++i) {
        EXPECT_GE(t[i][0] - t[i][3], 10 - 1e-6) << units[i].name;
        EXPECT_GE(t[i][1] - t[i][2], 10 - 1e-6) << units[i].name;
    }
    std::vector<double> fractions;
    EXPECT_EQ(engine.GetSplitterResults("T", 2, {{2, 3}, {4, 5}}, fractions), 1);
    EXPECT_EQ(fractions, (std::vector<double>{0.5, 0.5}));  // a process splitter keeps its fractions
}

struct HeatCase {
    double t, heat, slope;
};
void PrintTo(const HeatCase& c, std::ostream* os) {
    *os << "at " << c.t << " C: " << c.heat << " kW";
}
class HeatContentTest : public ::testing::TestWithParam<HeatCase> {};

// Hot stream 200 -> 100 in two segments: 200 -> 150 at CP 2 (100 kW), 150 -> 100 at CP 4
// (200 kW); beyond either end the end slope goes on.
TEST_P(HeatContentTest, PiecewiseLinearFromTheSupply) {
    vireth::StreamDecl s;
    s.supplyT = 200;
    s.targetT = 100;
    s.segments = {{200, 150, 100, 0, 0, 0}, {150, 100, 200, 0, 0, 0}};
    const vireth::HeatContent h(s);
    double slope = 0.0;
    EXPECT_NEAR(h.At(GetParam().t, &slope), GetParam().heat, 1e-9);
    EXPECT_NEAR(slope, GetParam().slope, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(HotTwoSegments, HeatContentTest,
                         ::testing::Values(HeatCase{200, 0, -2}, HeatCase{175, 50, -2}, HeatCase{150, 100, -2},
                                           HeatCase{125, 200, -4}, HeatCase{100, 300, -4}, HeatCase{90, 340, -4},
                                           HeatCase{210, -20, -2}));

TEST(LogMeanTest, AgreesWithItsDefinitionAndItsDerivatives) {
    double da = 0, db = 0;
    const double l = vireth::LogMean(40, 10, da, db);
    EXPECT_NEAR(l, 30 / std::log(4.0), 1e-12);
    const double h = 1e-6;
    double d1, d2;
    EXPECT_NEAR(da, (vireth::LogMean(40 + h, 10, d1, d2) - vireth::LogMean(40 - h, 10, d1, d2)) / (2 * h), 1e-6);
    EXPECT_NEAR(db, (vireth::LogMean(40, 10 + h, d1, d2) - vireth::LogMean(40, 10 - h, d1, d2)) / (2 * h), 1e-6);
    EXPECT_NEAR(vireth::LogMean(25, 25, da, db), 25, 1e-12);
    EXPECT_DOUBLE_EQ(da, 0.5);
}

}  // namespace

// The exchanger's unit model against numbers worked by hand and the effectiveness-NTU relation.
#include "pellin/ExchangerCostLaw.h"
#include "pellin/FFactor.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tests/support/FlowsheetTestStream.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

namespace V = NodeValue;
namespace S = ExchangerStatus;

// One exchanger between a segment of a hot and of a cold stream.
struct OneExchanger {
    FlowsheetTestStream hot, cold;
    FlowSheet sheet;
    StreamNode *hi, *ho, *ci, *co;
    HeatExch* x;

    OneExchanger(FlowsheetTestStream h, FlowsheetTestStream c, const char* kind = NodeKind::CountercurrentHX)
        : hot(std::move(h)), cold(std::move(c)) {
        auto seg = [&](const char* name, FlowsheetTestStream& s) {
            return AsStreamNode(sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, name, &s)));
        };
        hi = seg("hi", hot);
        ho = seg("ho", hot);
        ci = seg("ci", cold);
        co = seg("co", cold);
        x = AsHeatExch(sheet.addNode(FlowSheet::CreateNode(kind, "E-100")));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideFeed, hi));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideProduct, ho));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideFeed, ci));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideProduct, co));
    }
    void inlets(double thi, double tci) {
        hi->addVariable(V::Temperature, thi, 1);
        ci->addVariable(V::Temperature, tci, 1);
    }
    double value(CNode* n, const char* name) {
        double v = std::nan("");
        n->getVariableAsDouble(name, v);
        return v;
    }
    int run() { return x->Calculate(UnitCode::Calculate); }
};

FlowsheetTestStream constantHot(double cp, std::vector<double> films = {}) {
    return FlowsheetTestStream("H", {400, 0}, {cp}, std::move(films));
}
FlowsheetTestStream constantCold(double cp, std::vector<double> films = {}) {
    return FlowsheetTestStream("C", {0, 400}, {cp}, std::move(films));
}

// Hot 150, cold 50, CP 10 and 10, duty 833.33: both sides move 83.333 degrees, so both ends
// approach by 16.667 and with U 0.5, F 1 the area is 833.33 / (0.5 x 16.667) = 100.
TEST(ExchangerModel, DutyGivesOutletsAndArea) {
    OneExchanger e(constantHot(10), constantCold(10));
    e.inlets(150, 50);
    e.x->addVariable(V::OverallHTC, 0.5, 1);
    e.x->addVariable(V::Duty, 833.33, 1);
    e.run();
    EXPECT_EQ(e.x->getStatus(), S::Calculated);
    EXPECT_NEAR(e.value(e.ho, V::Temperature), 66.667, 1e-3);
    EXPECT_NEAR(e.value(e.co, V::Temperature), 133.333, 1e-3);
    EXPECT_NEAR(e.value(e.x, V::HTArea), 100.0, 0.01);
    EXPECT_EQ(e.value(e.x, V::FtFactor), 1.0);
    EXPECT_NEAR(e.value(e.x, V::HighEndDelT), 16.667, 1e-3);
    EXPECT_EQ(e.x->getVariableStatus(V::HTArea), ValueStatus::Calculated);

    // The same exchanger with its area given instead finds the duty again.
    OneExchanger a(constantHot(10), constantCold(10));
    a.inlets(150, 50);
    a.x->addVariable(V::OverallHTC, 0.5, 1);
    a.x->addVariable(V::HTArea, 100.0, 1);
    a.run();
    EXPECT_EQ(a.x->getStatus(), S::Calculated);
    EXPECT_NEAR(a.value(a.x, V::Duty), 833.33, 0.01);
    EXPECT_EQ(a.x->getVariableStatus(V::Duty), ValueStatus::Calculated);
    EXPECT_EQ(a.x->getVariableStatus(V::HTArea), ValueStatus::Specified);
}

struct Ntu {
    double thi, tci, cpHot, cpCold, u, area, duty;
};
void PrintTo(const Ntu& c, std::ostream* os) {
    *os << "UA " << c.u * c.area << ": duty " << c.duty << " kW";
}

class ExchangerAreaGiven : public ::testing::TestWithParam<Ntu> {};

// Countercurrent effectiveness: e = (1 - exp(-N(1 - r))) / (1 - r exp(-N(1 - r))), N = UA/Cmin,
// r = Cmin/Cmax; Q = e Cmin (Thi - Tci).
TEST_P(ExchangerAreaGiven, MeetsEffectivenessNtu) {
    const Ntu n = GetParam();
    OneExchanger e(constantHot(n.cpHot), constantCold(n.cpCold));
    e.inlets(n.thi, n.tci);
    e.x->addVariable(V::OverallHTC, n.u, 1);
    e.x->addVariable(V::HTArea, n.area, 1);
    e.run();
    const double cmin = std::min(n.cpHot, n.cpCold), r = cmin / std::max(n.cpHot, n.cpCold);
    const double ntu = n.u * n.area / cmin, g = std::exp(-ntu * (1 - r));
    const double exact = (1 - g) / (1 - r * g) * cmin * (n.thi - n.tci);
    EXPECT_NEAR(exact, n.duty, 1e-3);
    EXPECT_NEAR(e.value(e.x, V::Duty), exact, 5e-4 * exact);
    EXPECT_EQ(e.x->getStatus(), S::Calculated);
}

INSTANTIATE_TEST_SUITE_P(Countercurrent, ExchangerAreaGiven,
                         ::testing::Values(Ntu{150, 50, 10, 5, 0.5, 100, 498.3098}, Ntu{150, 50, 10, 5, 0.5, 10, 282.3667},
                                           Ntu{200, 40, 4, 8, 0.3, 20, 442.1027}));

// Of duty and the four temperatures two determine the rest; a third that disagrees
// over-specifies, too few under-specify.
TEST(ExchangerModel, StatusWalk) {
    OneExchanger e(constantHot(10, {1.0}), constantCold(10, {1.0}));
    EXPECT_EQ((e.run(), e.x->getStatus()), S::UnderSpecified);
    e.hi->addVariable(V::Temperature, 150, 1);
    EXPECT_EQ((e.run(), e.x->getStatus()), S::UnderSpecified);
    e.ho->addVariable(V::Temperature, 100, 1);  // the hot side gives the duty, 500
    EXPECT_EQ((e.run(), e.x->getStatus()), S::NoTemperatureOnSide);
    EXPECT_NEAR(e.value(e.x, V::Duty), 500.0, 1e-9);
    e.ci->addVariable(V::Temperature, 40, 1);
    EXPECT_EQ((e.run(), e.x->getStatus()), S::Calculated);
    EXPECT_NEAR(e.value(e.co, V::Temperature), 90.0, 1e-9);
    // 1/U = 1/1 + 1/1; ends 60 and 60: A = 500 / (0.5 x 60).
    EXPECT_NEAR(e.value(e.x, V::HTArea), 500.0 / 30.0, 1e-9);
    EXPECT_NEAR(e.value(e.x, V::OverallHTC), 0.5, 1e-12);

    e.x->addVariable(V::Duty, 400, 1);  // against the hot side's 500
    EXPECT_EQ((e.run(), e.x->getStatus()), S::OverSpecified);
    EXPECT_FALSE(e.x->hasVariable(V::HTArea) && e.x->getVariableStatus(V::HTArea) != ValueStatus::Open);
    e.x->addVariable(V::Duty, 500, 1);
    e.x->addVariable(V::HTArea, 20, 1);  // duty and area both given
    EXPECT_EQ((e.run(), e.x->getStatus()), S::OverSpecified);

    OneExchanger b(constantHot(10, {1.0}), constantCold(10, {1.0}));
    b.x->addVariable(V::HTArea, 20, 1);
    b.hi->addVariable(V::Temperature, 150, 1);
    EXPECT_EQ((b.run(), b.x->getStatus()), S::AreaUnsolvable);
    // No coefficient: the duty and temperatures, but no area.
    OneExchanger c(constantHot(10), constantCold(10));
    c.inlets(150, 40);
    c.x->addVariable(V::Duty, 500, 1);
    EXPECT_EQ((c.run(), c.x->getStatus()), S::Partial);
    EXPECT_NEAR(c.value(c.co, V::Temperature), 90.0, 1e-9);
}

// A 1-2N exchanger takes the whole shell count at which F reaches 0.8 and the F of that count;
// the shells in parallel keep each shell within "HTMaxAreaShell".
TEST(ExchangerModel, ShellAndTube) {
    OneExchanger e(constantHot(10), constantCold(10), NodeKind::HeatExchanger);
    e.inlets(150, 50);
    e.x->addVariable(V::OverallHTC, 0.5, 1);
    e.x->addVariable(V::Duty, 800, 1);  // 150 -> 70 against 50 -> 130: a tight temperature cross
    e.x->addVariable(V::HTMaxAreaShell, 40, 1);
    e.run();
    ASSERT_EQ(e.x->getStatus(), S::Calculated);
    double F = 0, realShells = 0;
    g_CalculateFFactorAndShells(70, 150, 50, 130, 0.8, F, realShells, 0, 0);
    const double series = std::ceil(realShells);
    EXPECT_GT(series, 1.0);
    EXPECT_EQ(e.value(e.x, V::NShellsInSeries), series);
    EXPECT_DOUBLE_EQ(e.value(e.x, V::FtFactor), g_CalculateFFactorWithFixedShells(70, 150, 50, 130, series));
    EXPECT_GE(e.value(e.x, V::FtFactor), 0.8);
    const double area = 800 / (0.5 * e.value(e.x, V::FtFactor) * 20.0);
    EXPECT_NEAR(e.value(e.x, V::HTArea), area, 1e-9 * area);
    EXPECT_EQ(e.value(e.x, V::TotalNShells), series * std::ceil(area / (series * 40)));

    // Given shells in series fix F.
    e.x->addVariable(V::NShellsInSeries, 5, 1);
    e.run();
    EXPECT_DOUBLE_EQ(e.value(e.x, V::FtFactor), g_CalculateFFactorWithFixedShells(70, 150, 50, 130, 5));
}

// Temperatures that cross leave an exchanger infeasible, with no area and no NaN anywhere; an
// end approach below "DTMin" leaves it calculated but infeasible.
TEST(ExchangerModel, CrossingAndApproach) {
    for (const char* kind : {NodeKind::CountercurrentHX, NodeKind::HeatExchanger}) {
        OneExchanger e(constantHot(10), constantCold(20), kind);
        e.inlets(150, 50);
        e.x->addVariable(V::OverallHTC, 0.5, 1);
        e.x->addVariable(V::Duty, 1500, 1);  // hot 150 -> 0, cold 50 -> 125: the ends cross
        e.run();
        EXPECT_EQ(e.x->getStatus(), S::Crossed) << kind;
        EXPECT_FALSE(e.x->IsFeasible());
        double a = 0;
        EXPECT_EQ(e.x->getVariableAsDouble(V::HTArea, a), 0);
        for (const char* name : {V::HighEndDelT, V::LowEndDelT, V::Duty})
            EXPECT_TRUE(std::isfinite(e.value(e.x, name))) << name;
    }
    OneExchanger e(constantHot(10), constantCold(10));
    e.inlets(150, 50);
    e.x->addVariable(V::OverallHTC, 0.5, 1);
    e.x->addVariable(V::DTMin, 20, 1);
    e.x->addVariable(V::Duty, 833.33, 1);  // ends 16.7 apart
    e.run();
    EXPECT_EQ(e.x->getStatus(), S::Calculated);
    EXPECT_FALSE(e.x->IsFeasible());
    e.x->addVariable(V::Duty, 700, 1);  // ends 30 apart
    e.run();
    EXPECT_TRUE(e.x->IsFeasible());
    // A cooler's duty within its closing balance's rounding either way is none: not one run against
    // the driving force, and no exchange (no area, no shell, and no approach to keep, DTMin 200
    // though its ends stand 100 apart); past it, it is. So it is while its design counts the
    // cooling water as a process stream (sizing the unit at its own load of it). A process
    // exchanger's duty below 0 runs backwards, however little.
    enum Service { Utility, CountedAsProcess, Process };
    struct Row {
        double duty;
        Service service;
        bool crossed;
    };
    for (const Row& row : {Row{-2.4e-9, Utility, false}, Row{-2e-6, Utility, true}, Row{-7.57e-7, CountedAsProcess, false},
                           Row{1.39e-8, CountedAsProcess, false}, Row{-2e-6, CountedAsProcess, true},
                           Row{-7.57e-7, Process, true}}) {
        OneExchanger z(constantHot(10), FlowsheetTestStream("CW", {0, 400}, {10.0}, {}, row.service == Utility ? 1 : 0));
        if (row.service == CountedAsProcess) z.x->setSideOnCountedUtility(1);
        z.inlets(150, 50);
        z.x->addVariable(V::OverallHTC, 0.5, 1);
        z.x->addVariable(V::DTMin, 200, 1);
        z.x->addVariable(V::Duty, row.duty, 1);
        z.run();
        EXPECT_EQ(z.x->getStatus(), row.crossed ? S::Crossed : S::Calculated) << row.duty << " " << row.service;
        EXPECT_EQ(z.x->IsFeasible(), !row.crossed) << row.duty << " " << row.service;
        if (row.crossed) continue;
        EXPECT_EQ(z.value(z.x, V::HTArea), 0.0) << row.duty << " " << row.service;
        EXPECT_EQ(z.value(z.x, V::TotalNShells), 0.0) << row.duty << " " << row.service;
        // Sized again from its duty as it stands (as a network's solution is), it is the same.
        z.x->setArea();
        EXPECT_EQ(z.x->getStatus(), S::Calculated) << row.duty << " " << row.service;
        EXPECT_TRUE(z.x->IsFeasible()) << row.duty << " " << row.service;
        EXPECT_EQ(z.value(z.x, V::HTArea), 0.0) << row.duty << " " << row.service;
    }
}

// Hot CP 10 from 150, cold CP 5 from 50, 400 kW: hot 150 -> 110, cold 50 -> 130. The ends
// stand 150 - 130 = 20 and 110 - 50 = 60 apart; the closer one decides against "DTMin".
TEST(ExchangerModel, UnequalFlowsAreJudgedByTheCloserEnd) {
    for (auto [dtMin, feasible] : {std::pair{15.0, true}, {20.0, true}, {30.0, false}, {70.0, false}}) {
        OneExchanger e(constantHot(10), constantCold(5));
        e.inlets(150, 50);
        e.x->addVariable(V::OverallHTC, 0.5, 1);
        e.x->addVariable(V::DTMin, dtMin, 1);
        e.x->addVariable(V::Duty, 400, 1);
        e.run();
        ASSERT_EQ(e.x->getStatus(), S::Calculated) << dtMin;
        EXPECT_NEAR(e.value(e.x, V::HighEndDelT), 20.0, 1e-9);
        EXPECT_NEAR(e.value(e.x, V::LowEndDelT), 60.0, 1e-9);
        EXPECT_EQ(e.x->IsFeasible(), feasible) << dtMin;
    }
}

// Films 1 and 1 give a clean U of 0.5; a fouling resistance of 0.5 adds to their 2: U = 1 / 2.5
// = 0.4. 500 kW between CP 10 and CP 10 from 150 and 50: both ends 50 apart, A = 500 / (0.4 x 50).
TEST(ExchangerModel, FoulingAddsItsResistanceToTheFilms) {
    OneExchanger e(constantHot(10, {1.0}), constantCold(10, {1.0}));
    e.inlets(150, 50);
    e.x->addVariable(V::HXFoulingFactor, 0.5, 1);
    e.x->addVariable(V::Duty, 500, 1);
    e.run();
    ASSERT_EQ(e.x->getStatus(), S::Calculated);
    EXPECT_NEAR(e.value(e.x, V::OverallHTC), 0.4, 1e-12);
    EXPECT_NEAR(e.value(e.x, V::OverallCleanHTC), 0.5, 1e-12);
    EXPECT_NEAR(e.value(e.x, V::HTArea), 25.0, 1e-9);
}

// The exchanger of the test above (CP 10 and 5, 400 kW) with an outlet known in place of an
// inlet: the inlet is worked back from it, hotter on the hot side, colder on the cold side; with
// nothing known on the other side the duty still carries the one side to its other end.
TEST(ExchangerModel, AnInletIsWorkedBackFromAKnownOutlet) {
    struct Known {
        double thi, tho, tci, tco;  // NAN: not given
    };
    for (const Known& k : {Known{NAN, 110, 50, NAN}, Known{150, NAN, NAN, 130}, Known{NAN, 110, NAN, 130},
                           Known{NAN, 110, NAN, NAN}, Known{NAN, NAN, NAN, 130}}) {
        OneExchanger e(constantHot(10), constantCold(5));
        StreamNode* ports[4] = {e.hi, e.ho, e.ci, e.co};
        const double given[4] = {k.thi, k.tho, k.tci, k.tco};
        for (int i = 0; i < 4; ++i)
            if (!std::isnan(given[i])) ports[i]->addVariable(V::Temperature, given[i], 1);
        e.x->addVariable(V::OverallHTC, 0.5, 1);
        e.x->addVariable(V::Duty, 400, 1);
        e.run();
        const bool bothSides = (!std::isnan(k.thi) || !std::isnan(k.tho)) && (!std::isnan(k.tci) || !std::isnan(k.tco));
        EXPECT_EQ(e.x->getStatus(), bothSides ? S::Calculated : S::NoTemperatureOnSide);
        const double expected[4] = {150, 110, 50, 130};
        for (int i = 0; i < 4; ++i) {
            const bool sideKnown = i < 2 ? !std::isnan(k.thi) || !std::isnan(k.tho) : !std::isnan(k.tci) || !std::isnan(k.tco);
            if (sideKnown) {
                EXPECT_NEAR(e.value(ports[i], V::Temperature), expected[i], 1e-9) << i;
            }
        }
    }
}

// A hot stream of two segments, 200 -> 150 at CP 4 and 150 -> 100 at CP 2, films 1 and 0.5;
// cold CP 10 at 20, film 1. Duty 250: the hot side gives 200 above 150 and the rest 50 below,
// ending at 125. Cold: 20 -> 45. Zone 1 (cold end, 50 kW): ends 125-20 = 105 and 150-25 = 125,
// U = 1/3; zone 2 (200 kW): ends 125 and 200-45 = 155, U = 1/2.
TEST(ExchangerModel, PiecewiseOverStreamSegments) {
    OneExchanger e(FlowsheetTestStream("H", {200, 150, 100}, {4, 2}, {1.0, 0.5}),
                   FlowsheetTestStream("C", {20, 300}, {10}, {1.0}));
    e.inlets(200, 20);
    e.x->addVariable(V::Duty, 250, 1);
    e.run();
    ASSERT_EQ(e.x->getStatus(), S::Calculated);
    EXPECT_NEAR(e.value(e.ho, V::Temperature), 125.0, 1e-9);
    EXPECT_NEAR(e.value(e.co, V::Temperature), 45.0, 1e-9);
    auto lm = [](double a, double b) { return (a - b) / std::log(a / b); };
    const double area = 50 / (lm(125, 105) / 3.0) + 200 / (lm(155, 125) / 2.0);
    EXPECT_NEAR(e.value(e.x, V::HTArea), area, 1e-9 * area);
    // The coefficient shown makes Q = U F A LMTD hold over the end temperatures.
    EXPECT_NEAR(e.value(e.x, V::OverallHTC) * area * lm(155, 105), 250.0, 1e-9 * 250);
}

struct ShellLaw : IExchangerCostLaw {
    bool CapitalCost(const CPString& model, double area, double shells, double& cost) const override {
        if (model != "DEFAULT") return false;
        cost = 10000 + shells * 800 * std::pow(area / shells, 0.8);
        return true;
    }
    double AnnualisedCost(const CPString&, double capital) const override { return capital * 0.1 * 3.1709792e-8; }
};

TEST(ExchangerModel, CapitalCostThroughTheCostLaw) {
    OneExchanger e(constantHot(10), constantCold(10));
    ShellLaw law;
    e.sheet.SetCostLaw(&law);
    e.inlets(150, 50);
    e.x->addVariable(V::OverallHTC, 0.5, 1);
    e.x->addVariable(V::HTMaxAreaShell, 60, 1);
    e.x->addVariable(V::Duty, 833.33, 1);
    e.run();
    const double area = e.value(e.x, V::HTArea);
    EXPECT_EQ(e.value(e.x, V::TotalNShells), 2.0);  // 100 m2 at most 60 a shell
    EXPECT_NEAR(e.value(e.x, V::CapitalCost), 10000 + 2 * 800 * std::pow(area / 2, 0.8), 1e-6);
    EXPECT_NEAR(e.value(e.x, V::AnnualizedCapitalCost), e.value(e.x, V::CapitalCost) * 0.1 * 3.1709792e-8, 1e-15);
    e.x->addVariable(V::CostModelName, "UNKNOWN", 1);
    e.run();
    EXPECT_EQ(e.x->getVariableStatus(V::CapitalCost), ValueStatus::Open);
}

// Hot 150 -> 66.67, cold 50 -> 133.33 (CP 10 each, 833.33 kW); pinch at hot 100 / cold 90.
// The hot side gives 500 above 100, the cold side takes 400 below 90: 500 + 400 - 833.33 = 66.67
// crosses. As a heater (hot side a utility) the 400 below the pinch count; as a cooler the 500.
TEST(ExchangerModel, CrossPinchLoads) {
    for (int utility : {-1, 0, 1}) {
        OneExchanger e(FlowsheetTestStream("H", {400, 0}, {10}, {}, utility == 0 ? 1 : 0),
                       FlowsheetTestStream("C", {0, 400}, {10}, {}, utility == 1 ? 1 : 0));
        e.inlets(150, 50);
        e.x->addVariable(V::Duty, 2500.0 / 3.0, 1);
        e.run();
        ASSERT_EQ(e.x->CalculateCrossPinchHeatLoads({100, 500}, {90, 490}), 2);
        double load = 0, none = -1;
        ASSERT_EQ(e.x->getIndexedVariable(V::CrossPinchLoads, 0, load), 1);
        EXPECT_NEAR(load, utility == 0 ? 400 : utility == 1 ? 500 : 200.0 / 3.0, 1e-9) << utility;
        EXPECT_EQ(e.x->getIndexedVariable(V::CrossPinchLoads, 1, none), 1);
        EXPECT_NEAR(none, utility == 0 ? 2500.0 / 3.0 : 0.0, 1e-9);
    }
}

}  // namespace

// A heater at no duty, its steam carrying nothing (CP 0, no heat contents), exchanges nothing: it
// has no area, not the 3.09 m2 of the point before; a duty within the rounding of none the same.
TEST(ExchangerModel, AHeaterAtNoDutyHasNoArea) {
    for (double duty : {0.0, 4e-7}) {
        OneExchanger e(FlowsheetTestStream("ST", {250, 249}, {0.0}, {5.0}, 1),
                       FlowsheetTestStream("C", {100, 160}, {4.0}, {0.5}));
        e.inlets(250, 160);
        e.ho->addVariable(V::Temperature, 249, 1);
        e.co->addVariable(V::Temperature, 160, 1);
        e.x->addVariable(V::HTArea, 3.09, ValueStatus::Calculated);
        e.x->addVariable(V::Duty, duty, 1);
        e.x->setArea();
        EXPECT_EQ(e.value(e.x, V::HTArea), 0.0) << duty;
        EXPECT_TRUE(e.x->IsFeasible()) << duty;
    }
}

// A heater on steam 250 -> 249 C whose steam still flows at the 180 kW it carried before (CP 180),
// heating a process stream of CP 4 from 120 to 160 C: 160 kW. Marked as following, the steam side
// neither gives nor checks the duty: the process side's 160 kW holds, the steam side does not make
// the unit over-specified, and with only the process inlet known the unit waits (unmarked, the
// steam's old 180 kW would decide). A steam that
// carried nothing before (CP 0, no heat contents) still lets the process side give the duty. A
// cooler mirrors it: process 130 -> 110 C (CP 1, 20 kW) against water 20 -> 30 C at CP 6.
TEST(ExchangerModel, AUtilitySideThatFollowsGivesNoDuty) {
    struct Case {
        const char* what;
        int following;           // -1: not marked
        double steamCp;          // the heater's hot side
        bool processOutletKnown; // 160 C
        int status;
        double duty;             // NaN: none written
    };
    const double none = std::nan("");
    for (const Case& c : {Case{"not marked: both sides fix a duty", -1, 180.0, true, S::OverSpecified, none},
                          Case{"following: the process side's", 0, 180.0, true, S::Calculated, 160.0},
                          Case{"following, process outlet open", 0, 180.0, false, S::UnderSpecified, none},
                          Case{"following, steam without load", 0, 0.0, true, S::Failed, 160.0},
                          Case{"not marked, process outlet open: the old load", -1, 180.0, false, S::Calculated, 180.0}}) {
        SCOPED_TRACE(c.what);
        OneExchanger e(FlowsheetTestStream("ST", {250, 249}, {c.steamCp}, {5.0}, 1),
                       FlowsheetTestStream("C", {100, 160}, {4.0}, {0.5}));
        e.inlets(250, 120);
        e.ho->addVariable(V::Temperature, 249, 1);
        if (c.processOutletKnown) e.co->addVariable(V::Temperature, 160, 1);
        e.x->setFollowingUtilitySide(c.following);
        e.run();
        EXPECT_EQ(e.x->getStatus(), c.status);
        if (std::isnan(c.duty)) EXPECT_TRUE(std::isnan(e.value(e.x, V::Duty)) || e.x->getVariableStatus(V::Duty) == 0);
        else EXPECT_NEAR(e.value(e.x, V::Duty), c.duty, 1e-9);
    }

    OneExchanger cooler(FlowsheetTestStream("H2", {130, 70}, {1.0}, {0.5}),
                        FlowsheetTestStream("CW", {20, 30}, {6.0}, {1.0}, 1));
    cooler.inlets(130, 20);
    cooler.ho->addVariable(V::Temperature, 110, 1);
    cooler.co->addVariable(V::Temperature, 30, 1);
    cooler.x->setFollowingUtilitySide(1);
    cooler.run();
    EXPECT_EQ(cooler.x->getStatus(), S::Calculated);
    EXPECT_NEAR(cooler.value(cooler.x, V::Duty), 20.0, 1e-9);
    // Out of a design's calculation the mark is gone and both sides count again.
    cooler.x->setFollowingUtilitySide(-1);
    cooler.x->Calculate(UnitCode::ClearCalculated);
    cooler.run();
    EXPECT_EQ(cooler.x->getStatus(), S::OverSpecified);

    // Once the water carries the flow the duties make, its two temperatures check the duty they
    // still do not give: at CP 6 they carry 60 kW against the process side's 20 (over-specified);
    // at CP 2 they carry the same 20 kW and the unit is calculated.
    for (const auto& [cp, status] : {std::pair{6.0, S::OverSpecified}, std::pair{2.0, S::Calculated}}) {
        OneExchanger c(FlowsheetTestStream("H2", {130, 70}, {1.0}, {0.5}),
                       FlowsheetTestStream("CW", {20, 30}, {cp}, {1.0}, 1));
        c.inlets(130, 20);
        c.ho->addVariable(V::Temperature, 110, 1);
        c.co->addVariable(V::Temperature, 30, 1);
        c.x->setFollowingUtilitySide(1, true);
        c.run();
        EXPECT_EQ(c.x->getStatus(), status) << cp;
        EXPECT_NEAR(c.value(c.x, V::Duty), 20.0, 1e-9) << cp;
    }
}

// Asked for its duty only, a heater on steam still flowing at its earlier 180 kW (CP 180, inlet
// 250 C) takes the process side's duty and passes it on along that side, but writes nothing on
// the steam side: no outlet temperature and no area from a flow the steam is about to leave.
// Asked for everything, it works the steam outlet and the area out from that flow. A duty only
// asked for is given up once the utility's side checks the duty.
TEST(ExchangerModel, AUnitAskedForItsDutyOnlyLeavesTheUtilitySideAlone) {
    struct Case {
        const char* what;
        bool dutyOnly;
        bool processOutletKnown;  // 160 C; otherwise the duty is given (160 kW)
    };
    for (const Case& c : {Case{"duty only", true, true}, Case{"everything", false, true},
                          Case{"duty only, passed on along the process side", true, false},
                          Case{"everything, passed on along the process side", false, false}}) {
        SCOPED_TRACE(c.what);
        OneExchanger e(FlowsheetTestStream("ST", {250, 249}, {180.0}, {5.0}, 1),
                       FlowsheetTestStream("C", {100, 160}, {4.0}, {0.5}));
        e.inlets(250, 120);
        if (c.processOutletKnown) e.co->addVariable(V::Temperature, 160, 1);
        else e.x->addVariable(V::Duty, 160.0, ValueStatus::Specified);
        e.x->setFollowingUtilitySide(0, false, c.dutyOnly);
        EXPECT_EQ(e.x->followsDutyOnly(), c.dutyOnly);
        e.run();
        EXPECT_NEAR(e.value(e.x, V::Duty), 160.0, 1e-9);
        EXPECT_NEAR(e.value(e.co, V::Temperature), 160.0, 1e-9);
        if (c.dutyOnly) {
            EXPECT_TRUE(std::isnan(e.value(e.ho, V::Temperature)));
            EXPECT_TRUE(std::isnan(e.value(e.x, V::HTArea)));
            EXPECT_NE(e.x->getStatus(), S::Calculated);
        } else {
            EXPECT_NEAR(e.value(e.ho, V::Temperature), 250.0 - 160.0 / 180.0, 1e-9);
            EXPECT_GT(e.value(e.x, V::HTArea), 0.0);
            EXPECT_EQ(e.x->getStatus(), S::Calculated);
        }
    }
    OneExchanger e(FlowsheetTestStream("ST", {250, 249}, {180.0}, {5.0}, 1),
                   FlowsheetTestStream("C", {100, 160}, {4.0}, {0.5}));
    e.x->setFollowingUtilitySide(0, true, true);
    EXPECT_FALSE(e.x->followsDutyOnly());
    e.x->setFollowingUtilitySide(-1, false, true);
    EXPECT_FALSE(e.x->followsDutyOnly());
}

struct LargestDuty {
    const char* name;
    FlowsheetTestStream hot, cold;
    double hotIn, coldIn, dtMin, duty;
};

void PrintTo(const LargestDuty& c, std::ostream* os) { *os << c.name; }

class ExchangerLargestDuty : public ::testing::TestWithParam<LargestDuty> {};

// The largest duty at a minimum approach, worked by hand from the inlets and the heat contents;
// at that duty the exchanger is feasible at the approach, a little above it is not.
TEST_P(ExchangerLargestDuty, MeetsTheApproachAtOneEnd) {
    const LargestDuty& c = GetParam();
    OneExchanger e(c.hot, c.cold);
    e.inlets(c.hotIn, c.coldIn);
    e.x->addVariable(V::DTMin, c.dtMin, 1);
    double duty = -1.0;
    ASSERT_TRUE(e.x->LargestDutyAtApproach(c.dtMin, duty));
    EXPECT_NEAR(duty, c.duty, 1e-9);
    if (c.duty <= 0.0) return;
    e.x->addVariable(V::Duty, duty, 1);
    e.run();
    EXPECT_TRUE(e.x->IsFeasible());
    EXPECT_NEAR(std::min(e.value(e.x, V::HighEndDelT), e.value(e.x, V::LowEndDelT)), c.dtMin, 1e-9);
    e.x->Calculate(UnitCode::ClearCalculated);
    e.x->addVariable(V::Duty, duty + 0.005, 1);
    e.run();
    ASSERT_EQ(e.x->getStatus(), S::Partial);  // no film coefficients: temperatures, no area
    EXPECT_FALSE(e.x->IsFeasible());
}

INSTANTIATE_TEST_SUITE_P(
    Inlets, ExchangerLargestDuty,
    ::testing::Values(
        // The hot side closes first: 1 x (130 - 110).
        LargestDuty{"HotEnd", FlowsheetTestStream("H2", {130, 70}, {1}), FlowsheetTestStream("C", {100, 160}, {4}),
                    130, 100, 10, 20.0},
        // The cold side closes first: 1 x (140 - 50), the hot side would give 10 x (150 - 60).
        LargestDuty{"ColdEnd", constantHot(10), FlowsheetTestStream("C", {50, 200}, {1}), 150, 50, 10, 90.0},
        // Over the hot stream's two segments: 4 x (200 - 150) + 2 x (150 - 130).
        LargestDuty{"Piecewise", FlowsheetTestStream("H", {200, 150, 100}, {4, 2}),
                    FlowsheetTestStream("C", {20, 300}, {10}), 200, 120, 10, 240.0},
        // Inlets closer than the approach allow nothing.
        LargestDuty{"TooClose", FlowsheetTestStream("H2", {130, 70}, {1}), FlowsheetTestStream("C", {100, 160}, {4}),
                    130, 125, 10, 0.0}),
    [](const ::testing::TestParamInfo<LargestDuty>& info) { return std::string(info.param.name); });

TEST(ExchangerModel, LargestDutyNeedsBothInlets) {
    OneExchanger e(constantHot(10), constantCold(10));
    e.hi->addVariable(V::Temperature, 150, 1);
    double duty = -1.0;
    EXPECT_FALSE(e.x->LargestDutyAtApproach(10, duty));
    EXPECT_EQ(duty, -1.0);
}

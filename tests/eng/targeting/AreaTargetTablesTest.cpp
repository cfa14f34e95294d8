// Area targets of whole scenarios on tables whose balanced composite curves have gaps: only hot
// utility (the heater's area), a pinch where the hot curve has a gap, two pinches, and a single
// cold stream on steam. Every area is worked by hand as sum over the enthalpy intervals of
// q x (1/h_hot + 1/h_cold) / LMTD; DTmin 10 throughout.
#include "eng/model/SuperTargetRange.h"
#include "tests/support/FourStreamProject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Row {
    const char* name;
    double supply, target, cp, h;
};

struct TableCase {
    const char* name;
    std::vector<Row> process;
    // Utilities with their own temperatures (cp unused), or by a factory default's name.
    std::vector<Row> utilities;
    std::vector<const char*> defaults;
    double hotUtility, coldUtility;
    double area;  // countercurrent, by hand
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class AreaTargetTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(AreaTargetTables, BathAndAreaLPGiveTheAreaWorkedByHand) {
    const TableCase& c = GetParam();
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    for (const Row& r : c.process) {
        ASSERT_TRUE(p.AddProcess(r.name, r.supply, r.target, r.cp));
        ASSERT_TRUE(p.Stream(r.name)->SetValue("HTCoeff", r.h, 0));
    }
    for (const Row& u : c.utilities) {
        ASSERT_EQ(p.scenario->AddStream(u.name, 1), 1);
        IHeatIntegrationStream* s = p.Stream(u.name);
        ASSERT_TRUE(s && s->SetValue("Temperature", u.supply, 0) && s->SetValue("Temperature", u.target, 1) &&
                    s->SetValue("HTCoeff", u.h, 0));
    }
    for (const char* name : c.defaults) ASSERT_TRUE(p.AddUtility(name));
    p.scenario->ResumeCalculations(true);

    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), c.hotUtility, 1e-6);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(1), c.coldUtility, 1e-6);
    EXPECT_EQ(p.scenario->GetAreaTargetState(), 1);
    EXPECT_NEAR(p.scenario->GetAreaTarget(0), c.area, 1e-3);
    // An area comes with its shells and its capital cost.
    EXPECT_GE(p.scenario->GetNumberOfShellsTarget(), 1);
    EXPECT_GT(p.scenario->GetCostTarget(7), 0.0);

    // The area LP on the same placement: with the same coefficients on both sides of every
    // interval no network beats the vertical one by much.
    ASSERT_EQ(p.scenario->SetAreaTargetMethod(1), 1);
    p.scenario->SetAreaTargetOption(2);  // both areas
    EXPECT_EQ(p.scenario->GetAreaTargetMethod(), 1);
    EXPECT_EQ(p.scenario->GetAreaTargetState(), 1);
    EXPECT_NEAR(p.scenario->GetAreaTarget(0), c.area, 0.005 * c.area);
    EXPECT_GE(p.scenario->GetNumberOfShellsTarget(), 1);
    EXPECT_GT(p.scenario->GetCostTarget(7), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AreaTargetTables,
    ::testing::Values(
        // H heats C from 40 to 90 (dT 10 and 60): 200 / (50 / ln 6) = 7.1670; the steam
        // (249.99 -> 250) takes C from 90 to 140 (dT 159.99 and 110): 200 / 133.43 = 1.4988.
        TableCase{"onlyHotUtility",
                  {{"H", 150, 50, 1, 1}, {"C", 40, 140, 2, 1}},
                  {{"HU", 250, 249.99, 0, 1}, {"CU", 10, 10.01, 0, 1}},
                  {},
                  100.0,
                  0.0,
                  8.66586},
        // B 140 -> 130 (CP 6), C1 110 -> 120 (CP 5), C2 125 -> 160 (CP 12/7): QH 51.429, QC 1.429,
        // pinch 140 / 130 where the hot curve jumps to the steam. Intervals (kW; dT at the ends):
        // 1.429 (125; 125.23), 50 (20.24; 18.57), 8.571 (13.57; 10), 51.429 (59.99; 30):
        // 2 x (0.0114 + 2.5781 + 0.7329 + 1.1884) = 9.0219.
        TableCase{"pinchAtAHotGap",
                  {{"B", 140, 130, 6, 1}, {"C1", 110, 120, 5, 1}, {"C2", 125, 160, 60.0 / 35.0, 1}},
                  {{"HU", 190, 189.99, 0, 1}, {"CU", 5, 5.01, 0, 1}},
                  {},
                  50.0 + 10.0 / 7.0,
                  10.0 / 7.0,
                  9.02194},
        // C2 at 150 -> 160 (CP 6): pinches at 160 / 150 and 140 / 130, QH 60, QC 10. Intervals:
        // 10 (125; 126.66), 50 (21.67; 20), 60 (39.99; 30): 2 x (0.0795 + 2.4013 + 1.7263) = 8.4141.
        TableCase{"twoPinches",
                  {{"B", 140, 130, 6, 1}, {"C1", 110, 120, 5, 1}, {"C2", 150, 160, 6, 1}},
                  {{"HU", 190, 189.99, 0, 1}, {"CU", 5, 5.01, 0, 1}},
                  {},
                  60.0,
                  10.0,
                  8.41415},
        // C1 20 -> 135 (CP 2, h 0.2) on HP Steam (250 -> 249, h 6): 230 kW at dT 229 and 115,
        // LMTD 165.51: (5 + 1/6) x 230 / 165.51 = 7.1799.
        TableCase{"singleColdStreamOnSteam",
                  {{"C1", 20, 135, 2, 0.2}},
                  {},
                  {"HP Steam", "Cooling Water"},
                  230.0,
                  0.0,
                  7.17993},
        // With H1 170 -> 60 (CP 1, h 0.2): H1 heats C1 from 20 to 75 (dT 40 and 95):
        // 10 x 110 / 63.584 = 17.300; the steam takes C1 from 75 to 135 (dT 174 and 115):
        // (5 + 1/6) x 120 / 142.47 = 4.352.
        TableCase{"hotAndColdStreamOnSteam",
                  {{"C1", 20, 135, 2, 0.2}, {"H1", 170, 60, 1, 0.2}},
                  {},
                  {"HP Steam", "Cooling Water"},
                  120.0,
                  0.0,
                  21.65175}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

// Supertargeting walks DTmin without placing the utilities again: a steam that carries nothing
// stays on the hot curve as a jump of no heat, which must add no shells. One hot stream cooled by
// water: the same area at every DTmin, and at least one shell with it.
TEST(AreaTargetTables, SupertargetPointsCountTheShellsOfTheirArea) {
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    ASSERT_TRUE(p.AddProcess("H1", 170, 60, 1));
    ASSERT_TRUE(p.Stream("H1")->SetValue("HTCoeff", 0.2, 0));
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    p.scenario->ResumeCalculations(true);
    ASSERT_GT(p.scenario->GetAreaTarget(0), 0.0);
    const int shells = p.scenario->GetNumberOfShellsTarget();
    ASSERT_GE(shells, 1);

    p.scenario->CalculateSuperTargets(5.0, 20.0, 5.0);
    const SuperTargetRange* range = p.scenario->GetSuperTargetRange();
    ASSERT_NE(range, nullptr);
    ASSERT_EQ(range->points.size(), 4u);
    for (const SuperTargetPointRecord& point : range->points) {
        SCOPED_TRACE(point.values[0]);
        EXPECT_NEAR(point.values[3], p.scenario->GetAreaTarget(0), 1e-9);
        EXPECT_EQ(point.values[6], static_cast<double>(shells));
    }
}

// H 150 -> 50 and C 50 -> 150, both CP 1: at DTmin 0 the balanced curves lie on one another and
// 100 kW would pass with no driving force; the area, the shells and the costs on them are no
// results. At DTmin 10 the steam and the water take 10 kW each and the curves stand 10 apart.
TEST(AreaTargetTables, CurvesThatTouchWhereHeatPassesGiveNoArea) {
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    ASSERT_TRUE(p.AddProcess("H", 150, 50, 1));
    ASSERT_TRUE(p.AddProcess("C", 50, 150, 1));
    for (const Row& u : {Row{"HU", 250, 249.99, 0, 1}, Row{"CU", 10, 10.01, 0, 1}}) {
        ASSERT_EQ(p.scenario->AddStream(u.name, 1), 1);
        IHeatIntegrationStream* s = p.Stream(u.name);
        ASSERT_TRUE(s && s->SetValue("Temperature", u.supply, 0) && s->SetValue("Temperature", u.target, 1));
    }
    for (const char* name : {"H", "C", "HU", "CU"}) ASSERT_TRUE(p.Stream(name)->SetValue("HTCoeff", 1.0, 0));
    p.scenario->ResumeCalculations(true);
    ASSERT_EQ(p.scenario->SetDTmin(0.0), 1);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), 0.0, 1e-9);
    EXPECT_EQ(p.scenario->GetAreaTargetState(), 2);
    EXPECT_EQ(p.scenario->GetAreaTarget(0), 0.0);
    EXPECT_EQ(p.scenario->GetAreaTarget(1), 0.0);
    EXPECT_EQ(p.scenario->GetNumberOfShellsTarget(), 0);
    EXPECT_EQ(p.scenario->GetCostTarget(7), 0.0);
    EXPECT_EQ(p.scenario->GetCostTarget(5), 0.0);

    ASSERT_EQ(p.scenario->SetDTmin(10.0), 1);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), 10.0, 1e-9);
    EXPECT_EQ(p.scenario->GetAreaTargetState(), 1);
    EXPECT_GT(p.scenario->GetAreaTarget(0), 0.0);
    EXPECT_GT(p.scenario->GetCostTarget(7), 0.0);
}

// One plant, one area: the six streams below with H1 and C1 forbidden to match (the area LP) give
// the shell-and-tube area of option 1 whether it was computed alone, with the countercurrent one
// first (option 2, as `targets` asks for it) or again after that. Among equal optima the areas
// laid out differ, so each kind must be solved from the plant alone.
TEST(AreaTargetTables, TheShellAndTubeAreaIsTheSameWhicheverOptionAskedForIt) {
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    for (const Row& r : {Row{"H1", 170, 60, 3, 0.2}, Row{"H2", 150, 30, 1.5, 0.2}, Row{"C1", 20, 135, 2, 0.2},
                         Row{"C2", 80, 140, 4, 0.2}, Row{"H3", 120, 40, 1, 0.1}, Row{"C3", 50, 110, 1.2, 0.3}}) {
        ASSERT_TRUE(p.AddProcess(r.name, r.supply, r.target, r.cp));
        ASSERT_TRUE(p.Stream(r.name)->SetValue("HTCoeff", r.h, 0));
    }
    for (const char* name : {"HP Steam", "Cooling Water"}) ASSERT_TRUE(p.AddUtility(name));
    ASSERT_EQ(p.Stream("H1")->LinkStream("C1"), 1);
    p.scenario->EndForbiddenMatchChanges();
    p.scenario->ResumeCalculations(true);
    ASSERT_EQ(p.scenario->GetAreaTargetMethod(), 1);
    ASSERT_EQ(p.scenario->GetAreaTargetState(), 1);
    const double alone = p.scenario->GetAreaTarget(1);
    EXPECT_GT(alone, 0.0);
    p.scenario->SetAreaTargetOption(2);
    EXPECT_DOUBLE_EQ(p.scenario->GetAreaTarget(1), alone);
    p.scenario->SetAreaTargetOption(1);
    EXPECT_DOUBLE_EQ(p.scenario->GetAreaTarget(1), alone);
}

}  // namespace

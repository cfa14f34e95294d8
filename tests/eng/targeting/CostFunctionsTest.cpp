// The cost formulas on numbers worked by hand.
#include "eng/targeting/Cost.h"
#include "eng/targeting/CostFunctions.h"
#include "eng/targeting/CostNonUniform.h"
#include "tests/eng/targeting/CostTestDoubles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using costtest::CostStream;
using costtest::FakeCosting;
using costtest::Match;

namespace {

struct FormulaCase {
    const char* name;
    int kind;
    std::function<void(FakeCosting&)> setUp;
    double expected;
};

void PrintTo(const FormulaCase& c, std::ostream* os) { *os << c.name; }

class CostFormula : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(CostFormula, GivesTheHandWorkedValue) {
    FakeCosting costing;
    GetParam().setUp(costing);
    std::unique_ptr<ICost> cost = CreateCost(GetParam().kind);
    ASSERT_NE(cost, nullptr);
    const double value = cost->Evaluate(costing);
    EXPECT_NEAR(value, GetParam().expected, 1e-9 * std::max(1.0, std::fabs(GetParam().expected)));
    // A second evaluation of the same object starts afresh.
    EXPECT_NEAR(cost->Evaluate(costing), value, 1e-12 * std::max(1.0, std::fabs(value)));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CostFormula,
    ::testing::Values(
        // 2 x (1000 + 500 x 200/2)
        FormulaCase{"Uniform11", CK_CapitalCost11Uniform,
                    [](FakeCosting& c) {
                        c.units = 2;
                        c.countercurrentArea = 200.0;
                    },
                    102000.0},
        // 3 x (10000 + 800 x 100^0.8), 100^0.8 = 39.810717
        FormulaCase{"Uniform11FactoryLaw", CK_CapitalCost11Uniform,
                    [](FakeCosting& c) {
                        c.SetLaw("DEFAULT", 10000.0, 800.0, 0.8, 0.0);
                        c.units = 3;
                        c.countercurrentArea = 300.0;
                    },
                    125545.72093283935},
        FormulaCase{"Uniform11NoUnits", CK_CapitalCost11Uniform,
                    [](FakeCosting& c) { c.countercurrentArea = 200.0; }, 0.0},
        FormulaCase{"Uniform11NoArea", CK_CapitalCost11Uniform, [](FakeCosting& c) { c.units = 2; }, 0.0},
        // Units carry the fixed cost, shells share the area: 3 x 10000 + 5 x 800 x (300/5)^0.8,
        // (60)^0.8 = 26.455806.
        FormulaCase{"Uniform12FactoryLaw", CK_CapitalCost12Uniform,
                    [](FakeCosting& c) {
                        c.SetLaw("DEFAULT", 10000.0, 800.0, 0.8, 0.0);
                        c.units = 3;
                        c.shells = 5;
                        c.shellAndTubeArea = 300.0;
                    },
                    135823.2247466065},
        // A unit with area has a shell even when the shells target rounded to none: 4 x 1000 + 500 x 500.
        FormulaCase{"Uniform12NoShellsTarget", CK_CapitalCost12Uniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.shellAndTubeArea = 500.0;
                    },
                    254000.0},
        FormulaCase{"Uniform12NoUnits", CK_CapitalCost12Uniform,
                    [](FakeCosting& c) {
                        c.shells = 5;
                        c.shellAndTubeArea = 500.0;
                    },
                    0.0},
        // Models DEFAULT (3 units, 200 m2): 3 (1000 + 500 x 200/3) = 103000;
        // CS (1 unit, 300 m2, a 2000, b 100, c 0.5): 2000 + 100 sqrt(300) = 3732.0508.
        FormulaCase{"NonUniform11", CK_CapitalCost11NonUniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.SetLaw("CS", 2000.0, 100.0, 0.5, 0.0);
                        c.SetLaw("UNUSED", 1e9, 1e9, 1.0, 0.0);
                        c.matches = {Match{"DEFAULT", 0, 100.0, 0, 0.5, 0}, Match{"CS", 0, 300.0, 0, 0.25, 0},
                                     Match{"DEFAULT", 0, 100.0, 0, 0.25, 0}};
                    },
                    106732.05080756888},
        // Area target 400 m2 in 8 shells, 4 units.
        // DEFAULT, law 0: 150 m2, 2 units, ceil(150/400 x 8) = 3 shells: 3 x 500 x 50 + 2 x 1000.
        // U, law 1 (a 500, b 200, c 1): 2 units, first values 90: 2 x 200 x 45 + 2 x 500.
        FormulaCase{"NonUniform12", CK_CapitalCost12NonUniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.shells = 8;
                        c.shellAndTubeArea = 400.0;
                        c.SetLaw("U", 500.0, 200.0, 1.0, 1.0);
                        c.matches = {Match{"DEFAULT", 0.0, 0, 150.0, 0.5, 3.0}, Match{"U", 90.0, 0, 250.0, 0.5, 7.0}};
                    },
                    96000.0},
        // 100 of 400 m2 with 5 shells is 1.25 shells: two are costed, 2 x 500 x 50 + 1000.
        FormulaCase{"NonUniform12ShellsRoundUp", CK_CapitalCost12NonUniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.shells = 5;
                        c.shellAndTubeArea = 400.0;
                        c.matches = {Match{"DEFAULT", 0.0, 0, 100.0, 0.25, 0.0}};
                    },
                    51000.0},
        // A match with all the area: 0.30000000000000004 / 0.3 x 37 = 37.00000000000001 shells is
        // 37 shells (round-off), not 38: 37 x 500 x (0.3 / 37)^0.5 + 1000.
        FormulaCase{"NonUniform12ShellsRoundOff", CK_CapitalCost12NonUniform,
                    [](FakeCosting& c) {
                        c.units = 1;
                        c.shells = 37;
                        c.shellAndTubeArea = 0.3;
                        c.SetLaw("DEFAULT", 1000.0, 500.0, 0.5, 0.0);
                        c.matches = {Match{"DEFAULT", 0.0, 0, 0.1 + 0.2, 1.0, 0.0}};
                    },
                    500.0 * 3.3316662497915361 + 1000.0},
        // Without a shell-and-tube area target the model's 100 m2 still take one shell (no division
        // by 0): 500 x 100 + 1 unit x 1000.
        FormulaCase{"NonUniform12NoAreaTarget", CK_CapitalCost12NonUniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.shells = 5;
                        c.matches = {Match{"DEFAULT", 0.0, 0, 100.0, 0.25, 0.0}};
                    },
                    51000.0},
        // A law that is neither shells nor units, and law 1 without first values, add nothing.
        FormulaCase{"NonUniform12OtherLaws", CK_CapitalCost12NonUniform,
                    [](FakeCosting& c) {
                        c.units = 4;
                        c.shells = 5;
                        c.shellAndTubeArea = 400.0;
                        c.SetLaw("ODD", 500.0, 200.0, 1.0, 2.0);
                        c.SetLaw("U", 500.0, 200.0, 1.0, 1.0);
                        c.matches = {Match{"ODD", 10.0, 0, 100.0, 0.5, 0.0}, Match{"U", 0.0, 0, 100.0, 0.5, 0.0}};
                    },
                    0.0},
        // 102000 x 0.2637975 x 3.1709792e-8 + 0.001
        FormulaCase{"TotalAnnual", CK_TotalAnnualCost,
                    [](FakeCosting& c) {
                        c.capital = 102000.0;
                        c.operating = 1e-3;
                    },
                    0.0018532262511047873},
        // At a rate of 0 the capital is spread evenly: 102000 / 4 x 3.1709792e-8 + 0.001.
        FormulaCase{"TotalAnnualNoInterest", CK_TotalAnnualCost,
                    [](FakeCosting& c) {
                        c.capital = 102000.0;
                        c.operating = 1e-3;
                        c.rate = 0.0;
                        c.life = 4.0;
                    },
                    0.001808599696},
        FormulaCase{"TotalAnnualNoPlantLife", CK_TotalAnnualCost,
                    [](FakeCosting& c) {
                        c.capital = 102000.0;
                        c.operating = 1e-3;
                        c.life = 0.0;
                    },
                    1e-3},
        // Never below the operating cost.
        FormulaCase{"TotalAnnualNoCapital", CK_TotalAnnualCost, [](FakeCosting& c) { c.operating = 1e-3; }, 1e-3}),
    [](const ::testing::TestParamInfo<FormulaCase>& info) { return std::string(info.param.name); });

TEST(CostFunctions, KindsOutsideTheSevenCreateNothing) {
    EXPECT_EQ(CreateCost(-1), nullptr);
    EXPECT_EQ(CreateCost(7), nullptr);
}

struct RecoveryCase {
    double rate, years, expected;
};
void PrintTo(const RecoveryCase& c, std::ostream* os) {
    *os << "rate " << c.rate << " over " << c.years << " years: " << c.expected;
}

class CapitalRecovery : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(CapitalRecovery, AnnualisesAsWorkedByHand) {
    EXPECT_NEAR(CapitalRecoveryFactor(GetParam().rate, GetParam().years), GetParam().expected, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(Rates, CapitalRecovery,
                         ::testing::Values(RecoveryCase{0.1, 5.0, 0.2637975}, RecoveryCase{0.05, 10.0, 0.1295046},
                                           RecoveryCase{0.0, 4.0, 0.25}, RecoveryCase{1e-13, 5.0, 0.2},
                                           RecoveryCase{0.1, 0.0, 0.0}, RecoveryCase{0.1, -3.0, 0.0},
                                           RecoveryCase{-1.0, 5.0, 0.0},
                                           RecoveryCase{std::numeric_limits<double>::quiet_NaN(), 5.0, 0.0}));

TEST(CostFunctions, OperatingCostSumsUtilitiesOnlyOverTheOperatingYear) {
    FakeCosting costing;
    CostStream steam("Steam", 1, 100.0, 2e-6);
    CostStream water("Water", 1, 50.0, 1e-7);
    CostStream process("H1", 0, 300.0, 5.0);
    costing.streams = {&steam, &process, &water};
    OperatingCost cost;
    EXPECT_NEAR(cost.Evaluate(costing), 2.05e-4, 1e-15);
    EXPECT_EQ(steam.modesAsked, std::vector<int>{0});
    EXPECT_TRUE(process.modesAsked.empty());
    // Half the hours, half the cost.
    costing.hours = 4382.88;
    EXPECT_NEAR(cost.Evaluate(costing), 1.025e-4, 1e-15);
    costing.streams.clear();
    EXPECT_DOUBLE_EQ(cost.Evaluate(costing), 0.0);
}

TEST(CostFunctions, StreamOperatingCostOfOneStreamWhateverItsKind) {
    FakeCosting costing;
    costing.hours = 8000.0;
    CostStream process("H1", 0, 100.0, 2e-6);
    std::unique_ptr<ICost> cost = CreateCost(CK_StreamOperatingCost);
    // 100 kW x 2e-6 per kJ x 8000 / 8765.76
    EXPECT_NEAR(cost->Evaluate(costing, process), 0.00018252838316358192, 1e-15);
    EXPECT_DOUBLE_EQ(cost->Evaluate(costing), 0.0);
}

TEST(CostFunctions, NonUniformKeepsOneRecordPerModelInUseInOrderOfFirstMatch) {
    FakeCosting costing;
    costing.units = 2;
    costing.SetLaw("CS", 2000.0, 100.0, 0.5, 0.0);
    costing.SetLaw("UNUSED", 1.0, 1.0, 1.0, 0.0);
    costing.matches = {Match{"CS", 0, 10.0, 0, 0.5, 0}, Match{"DEFAULT", 0, 20.0, 0, 0.5, 0},
                       Match{"CS", 0, 30.0, 0, 0.5, 0}};
    CapitalCost11NonUniform cost;
    cost.Evaluate(costing);
    const auto& records = cost.GetCostLawRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].strCostModel, "CS");
    EXPECT_DOUBLE_EQ(records[0].dCountercurrentAreaSum, 40.0);
    EXPECT_DOUBLE_EQ(records[0].dUnitShare, 2.0);
    EXPECT_DOUBLE_EQ(records[0].dFixedCost, 2000.0);
    EXPECT_EQ(records[1].strCostModel, "DEFAULT");
    EXPECT_EQ(costing.economicReads.count("UNUSED"), 0u);
}

}  // namespace

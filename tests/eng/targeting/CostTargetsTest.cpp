// The capital-, operating- and total-annual-cost target builders and their records.
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/Cost.h"
#include "eng/targeting/CostTargets.h"
#include "tests/eng/targeting/CostTestDoubles.h"

#include <gtest/gtest.h>

#include <memory>

using costtest::CostStream;
using costtest::FakeCosting;
using costtest::Match;

namespace {

CostTargetConditions allValid(int option = 1) {
    CostTargetConditions c;
    c.nAreaTargetOption = option;
    c.bEconomicDataValid = c.bEconomicInfoValid = c.bUtilityPlacementValid = true;
    return c;
}

// A costing object with a known value for each of the three targets:
// capital (kind 3): 4 units, 8 shells, 400 m2, one DEFAULT match of 150 m2 -> 3 x 500 x 50 + 4 x 1000;
// capital (kind 2): 4 units, one DEFAULT match of 200 m2 -> 4 (1000 + 500 x 50);
// operating: one utility of 100 kW at 2e-6 per kJ over the whole year; TAC from capital 102000.
struct Costing {
    Costing() : steam("Steam", 1, 100.0, 2e-6) {
        fake.units = 4;
        fake.shells = 8;
        fake.shellAndTubeArea = 400.0;
        fake.matches = {Match{"DEFAULT", 0.0, 200.0, 150.0, 1.0, 0.0}};
        fake.streams = {&steam};
        fake.capital = 102000.0;
        fake.operating = 1e-3;
    }
    CostStream steam;
    FakeCosting fake;
};

constexpr double kCapitalShells = 79000.0;
constexpr double kCapitalUnits = 104000.0;
constexpr double kOperating = 2e-4;
constexpr double kTotal = 0.0018532262511047873;

struct KindCase {
    int option;
    int startKind;
    int expectedKind;
    double expectedValue;
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "option " << c.option << " from kind " << c.startKind << ": kind " << c.expectedKind << ", "
        << c.expectedValue;
}

class CapitalKindByAreaOption : public ::testing::TestWithParam<KindCase> {};

TEST_P(CapitalKindByAreaOption, FollowsTheOptionAndPricesWithIt) {
    Costing c;
    auto* record = new CapitalCostTarget{};
    record->nFlag = GetParam().startKind;
    record = UpdateCapitalCostTarget(record, &c.fake, allValid(GetParam().option), 35);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->nFlag, GetParam().expectedKind);
    EXPECT_NEAR(record->dValue, GetParam().expectedValue, 1e-6);
    delete record;
}

INSTANTIATE_TEST_SUITE_P(Options, CapitalKindByAreaOption,
                         ::testing::Values(KindCase{0, 3, 2, kCapitalUnits}, KindCase{1, 2, 3, kCapitalShells},
                                           KindCase{2, 2, 3, kCapitalShells},
                                           // Any other option keeps the kind the record had.
                                           KindCase{7, 2, 2, kCapitalUnits}, KindCase{-1, 3, 3, kCapitalShells}));

TEST(CostTargets, NewCapitalRecordCostsShellsUntilAnOptionSaysOtherwise) {
    Costing c;
    CostTargetConditions none;
    CapitalCostTarget* record = UpdateCapitalCostTarget(nullptr, &c.fake, none, 35);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->nFlag, CK_CapitalCost12NonUniform);
    EXPECT_DOUBLE_EQ(record->dValue, 0.0);
    delete record;
}

// Which conditions each target needs: a target whose conditions fail is reset to 0.0.
struct ConditionCase {
    const char* name;
    bool data, info, placement;
    bool capital, operating, total;
};

void PrintTo(const ConditionCase& c, std::ostream* os) { *os << c.name; }

class CostTargetConditionsCase : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(CostTargetConditionsCase, ComputeOnlyWhenTheirConditionsHold) {
    Costing c;
    CostTargetConditions conditions;
    conditions.nAreaTargetOption = 1;
    conditions.bEconomicDataValid = GetParam().data;
    conditions.bEconomicInfoValid = GetParam().info;
    conditions.bUtilityPlacementValid = GetParam().placement;

    // Records that hold stale values from an earlier calculation.
    auto* capital = new CapitalCostTarget{};
    capital->dValue = 1.0;
    capital->nFlag = 3;
    auto* operating = new CostTargetValue{5.0};
    auto* total = new CostTargetValue{7.0};
    capital = UpdateCapitalCostTarget(capital, &c.fake, conditions, 36);
    operating = UpdateOperatingCostTarget(operating, &c.fake, conditions, 36);
    total = UpdateTotalAnnualCostTarget(total, &c.fake, conditions, 36);

    EXPECT_NEAR(capital->dValue, GetParam().capital ? kCapitalShells : 0.0, 1e-6);
    EXPECT_NEAR(operating->dValue, GetParam().operating ? kOperating : 0.0, 1e-15);
    // Without the capital side the total annual cost is the operating cost, never less.
    EXPECT_NEAR(total->dValue, GetParam().total ? kTotal : (GetParam().operating ? kOperating : 0.0), 1e-15);
    delete capital;
    delete operating;
    delete total;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, CostTargetConditionsCase,
    ::testing::Values(ConditionCase{"AllValid", true, true, true, true, true, true},
                      ConditionCase{"NoPlacement", true, true, false, false, false, false},
                      ConditionCase{"NoEconomicSet", false, true, true, false, true, false},
                      ConditionCase{"NoEconomicInfo", true, false, true, true, true, false},
                      ConditionCase{"NothingValid", false, false, false, false, false, false}),
    [](const ::testing::TestParamInfo<ConditionCase>& info) { return std::string(info.param.name); });

// An area target without a result (curves that touch where heat passes, or an area LP that
// could not exchange the loads) leaves the capital and total annual cost without one: both 0,
// not the operating cost dressed as a total. The operating cost still stands.
TEST(CostTargets, AreaWithoutAResultLeavesCapitalAndTotalAtZero) {
    Costing c;
    CostTargetConditions conditions = allValid();
    conditions.bAreaTargetUnavailable = true;
    auto* capital = new CapitalCostTarget{};
    capital->dValue = 1.0;
    auto* operating = new CostTargetValue{5.0};
    auto* total = new CostTargetValue{7.0};
    capital = UpdateCapitalCostTarget(capital, &c.fake, conditions, 36);
    operating = UpdateOperatingCostTarget(operating, &c.fake, conditions, 36);
    total = UpdateTotalAnnualCostTarget(total, &c.fake, conditions, 36);
    EXPECT_EQ(capital->dValue, 0.0);
    EXPECT_NEAR(operating->dValue, kOperating, 1e-15);
    EXPECT_EQ(total->dValue, 0.0);
    delete capital;
    delete operating;
    delete total;
}

TEST(CostTargets, LoadFractionKeepsTheValuesAndCreatesMissingRecords) {
    Costing c;
    auto* capital = new CapitalCostTarget{};
    capital->dValue = 123.0;
    capital->nFlag = 3;
    auto* operating = new CostTargetValue{5.0};
    auto* total = new CostTargetValue{7.0};
    capital = UpdateCapitalCostTarget(capital, &c.fake, allValid(0), 16);
    operating = UpdateOperatingCostTarget(operating, &c.fake, allValid(), 16);
    total = UpdateTotalAnnualCostTarget(total, &c.fake, allValid(), 16);
    EXPECT_DOUBLE_EQ(capital->dValue, 123.0);
    EXPECT_EQ(capital->nFlag, CK_CapitalCost11NonUniform);
    EXPECT_DOUBLE_EQ(operating->dValue, 5.0);
    EXPECT_DOUBLE_EQ(total->dValue, 7.0);
    delete capital;
    delete operating;
    delete total;

    CostTargetValue* fresh = UpdateOperatingCostTarget(nullptr, &c.fake, allValid(), 16);
    ASSERT_NE(fresh, nullptr);
    EXPECT_DOUBLE_EQ(fresh->dValue, 0.0);
    delete fresh;
}

TEST(CostTargets, ScenarioConditionsComeFromItsOwnEconomicsAndPlacement) {
    CPIScenario scenario(nullptr);
    const CostTargetConditions c = ReadCostTargetConditions(scenario);
    EXPECT_EQ(c.nAreaTargetOption, scenario.GetAreaTargetOption());
    EXPECT_TRUE(c.bEconomicDataValid);
    EXPECT_TRUE(c.bEconomicInfoValid);
    EXPECT_EQ(c.bUtilityPlacementValid, scenario.IsUtilityPlacementValid());

    // Through the scenario's own builders: records are made and freed.
    CapitalCostTarget* capital = UpdateCapitalCostTarget(nullptr, scenario, 35);
    CostTargetValue* total = UpdateTotalAnnualCostTarget(nullptr, scenario, 35);
    ASSERT_NE(capital, nullptr);
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(capital->nFlag, CK_CapitalCost12NonUniform);
    if (!c.bUtilityPlacementValid) {
        EXPECT_DOUBLE_EQ(total->dValue, 0.0);
    }
    EXPECT_EQ(UpdateCapitalCostTarget(capital, scenario, 3), nullptr);
    EXPECT_EQ(UpdateTotalAnnualCostTarget(total, scenario, 3), nullptr);
}

}  // namespace

// Economic data sets, level settings, forbidden matches, match cost models and supertargeting
// values of a scenario.
#include "ScenarioTestDoubles.h"

#include "brasko/DefaultManager.h"
#include "dunmor/Exceptions.h"
#include "eng/model/SuperTargetRange.h"
#include "lumeth/Framework.h"

#include <gtest/gtest.h>

namespace {

using namespace scenario_test;

struct LevelCase {
    int which;
    int given;
    int stored;
};
void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << "level " << c.which << " given " << c.given << " stores " << c.stored;
}

class LevelSetting : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelSetting, StoresOneToFiveElseFive) {
    Fixture f;
    IHeatIntegrationScenario& s = *f.scenario;
    void (IHeatIntegrationScenario::*set[])(int) = {&IHeatIntegrationScenario::SetLevelSetting1,
                                                    &IHeatIntegrationScenario::SetLevelSetting2,
                                                    &IHeatIntegrationScenario::SetLevelSetting3,
                                                    &IHeatIntegrationScenario::SetLevelSetting4};
    int (IHeatIntegrationScenario::*get[])() const = {&IHeatIntegrationScenario::GetLevelSetting1,
                                                      &IHeatIntegrationScenario::GetLevelSetting2,
                                                      &IHeatIntegrationScenario::GetLevelSetting3,
                                                      &IHeatIntegrationScenario::GetLevelSetting4};
    (s.*set[GetParam().which])(2);
    (s.*set[GetParam().which])(GetParam().given);
    EXPECT_EQ((s.*get[GetParam().which])(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Values, LevelSetting,
                         ::testing::Values(LevelCase{1, 0, 5}, LevelCase{2, 3, 3}, LevelCase{0, 1, 1},
                                           LevelCase{3, 6, 5}, LevelCase{0, -4, 5}, LevelCase{3, 5, 5}));

struct RenameCase {
    const char* newName;
    const char* oldName;
    int result;
};
void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << "\"" << c.oldName << "\" renamed \"" << c.newName << "\": result " << c.result;
}

class RenameEconomicData : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameEconomicData, FollowsTheNamingRules) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    f.scenario->AddEconomicData("A");
    f.scenario->AddEconomicData("Other");
    ASSERT_EQ(f.scenario->SetMatchCostModelName("H1", "C1", "A"), 1);
    const RenameCase& c = GetParam();
    EXPECT_EQ(f.scenario->RenameEconomicData(c.newName, c.oldName), c.result);
    if (c.result) {
        EXPECT_STREQ(f.scenario->GetMatchCostModelName("H1", "C1"), c.newName);
        EXPECT_STREQ(f.scenario->GetEconomicDataName(1), c.newName);
    } else {
        EXPECT_STREQ(f.scenario->GetMatchCostModelName("H1", "C1"), "A");
    }
}

INSTANTIATE_TEST_SUITE_P(Names, RenameEconomicData,
                         ::testing::Values(RenameCase{"b", "A", 1}, RenameCase{"b", "a", 1},
                                           RenameCase{"X", "Default", 0}, RenameCase{"DEFAULT", "A", 0},
                                           RenameCase{"default", "A", 0}, RenameCase{"other", "A", 0},
                                           RenameCase{"X", "Missing", 0}));

TEST(ScenarioEconomics, DeletingADataSetInUseByAMatchIsRefused) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    f.scenario->AddEconomicData("A");
    f.scenario->AddEconomicData("B");
    ASSERT_EQ(f.scenario->SetMatchCostModelName("H1", "C1", "A"), 1);
    EXPECT_EQ(f.scenario->DeleteEconomicData("A"), 0);
    EXPECT_EQ(f.scenario->DeleteEconomicData(nullptr), 0);
    EXPECT_EQ(f.scenario->GetNumberOfEconomicData(), 3);
    EXPECT_EQ(f.scenario->DeleteEconomicData("B"), 1);
    EXPECT_EQ(f.scenario->GetNumberOfEconomicData(), 2);
}

TEST(ScenarioEconomics, SetEconomicDataRecalculatesCostsAndReassignsCostModelsForTheLaw) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    f.AddProcessStream("H1", 150, 50, 2);
    f.Clear();
    f.scenario->SetEconomicData(EDT_AreaCostCoefficient, 900.0, "DEFAULT");
    EXPECT_DOUBLE_EQ(f.scenario->GetEconomicData(EDT_AreaCostCoefficient, "DEFAULT"), 900.0);
    EXPECT_EQ(f.view.Codes(), std::vector<int>{4});
    EXPECT_EQ(d->costModelAssignments, 0);
    f.scenario->SetEconomicData(EDT_CostLaw, 1.0, "DEFAULT");
    EXPECT_EQ(d->costModelAssignments, 1);
    // A refused value recalculates nothing.
    f.Clear();
    f.scenario->SetEconomicData(EDT_AreaCostCoefficient, 900.0, "NOSUCHSET");
    f.scenario->GetOwnDefaultManager().Lock();
    f.scenario->SetEconomicData(EDT_AreaCostCoefficient, 1.0, "DEFAULT");
    EXPECT_DOUBLE_EQ(f.scenario->GetEconomicData(EDT_AreaCostCoefficient, "DEFAULT"), 900.0);
}

// The cost law is one of two choices: a number that is neither is refused and the law stays, so
// no case is saved with a law that no exchanger follows.
TEST(ScenarioEconomics, ACostLawOtherThanShellsOrUnitsIsRefused) {
    Fixture f;
    f.scenario->SetEconomicData(EDT_CostLaw, 1.0, "DEFAULT");
    for (const double law : {7.0, 0.5, -1e308, 1e308, 2.0, -1.0}) {
        f.scenario->SetEconomicData(EDT_CostLaw, law, "DEFAULT");
        EXPECT_EQ(1.0, f.scenario->GetEconomicData(EDT_CostLaw, "DEFAULT")) << law;
    }
    f.scenario->SetEconomicData(EDT_CostLaw, 0.0, "DEFAULT");
    EXPECT_EQ(0.0, f.scenario->GetEconomicData(EDT_CostLaw, "DEFAULT"));
}

TEST(ScenarioEconomics, ForbiddenMatchesRestrictTheAssignmentMethod) {
    Fixture f;
    SetAutomationStartup(false);
    f.AddProcessStream("H1", 150, 50, 2);
    ASSERT_EQ(f.scenario->SetUtilityAssignmentMethod(1), 1);
    f.Clear();
    EXPECT_EQ(f.scenario->ChangeNumberOfForbiddenMatches(1), 1);
    EXPECT_TRUE(f.view.Saw(60, "ChangingToLPAndGCCChoseForbidden"));
    EXPECT_EQ(f.scenario->GetUtilityAssignmentMethod(), 0);
    EXPECT_EQ(f.scenario->ChangeNumberOfForbiddenMatches(1), 2);
    EXPECT_EQ(f.scenario->GetCalculationEnableCount(), 0);
    f.Clear();
    EXPECT_EQ(f.scenario->SetUtilityAssignmentMethod(1), 0);
    EXPECT_TRUE(f.view.Saw(60, "OnlyGCCBasedAllowedIfForbidden"));
    EXPECT_EQ(f.scenario->GetUtilityAssignmentMethod(), 0);
    f.scenario->EndForbiddenMatchChanges();
    EXPECT_EQ(f.scenario->GetCalculationEnableCount(), 1);
    f.Clear();
    EXPECT_EQ(f.scenario->ChangeNumberOfForbiddenMatches(-2), 0);
    EXPECT_TRUE(f.view.Saw(60, "ChangingToBathChoseUnForbidAll"));
    EXPECT_EQ(f.scenario->GetUtilityAssignmentMethod(), 0);
    f.scenario->EndForbiddenMatchChanges();
    EXPECT_EQ(f.scenario->GetCalculationEnableCount(), 1);
}

TEST(ScenarioEconomics, SupertargetPointIsComputedAtItsDTminAndTheScenarioKeepsItsOwn) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.Clear();
    f.scenario->AddSuperTargetPoint(20.0);
    f.scenario->AddSuperTargetPoint(5.0);
    ASSERT_EQ(f.scenario->GetNumberOfSuperTargetPoints(), 2);
    EXPECT_DOUBLE_EQ(f.scenario->PointTargetValue(0, 1), 5.0);
    EXPECT_DOUBLE_EQ(f.scenario->PointTargetValue(1, 1), 20.0);
    EXPECT_DOUBLE_EQ(f.scenario->PointTargetValue(1, 8), 700.0);
    EXPECT_EQ(f.scenario->HasSuperTargetPointAtDTmin(20.0), 1);
    EXPECT_EQ(f.scenario->HasSuperTargetPointAtDTmin(10.0), 0);
    EXPECT_DOUBLE_EQ(f.scenario->GetDTmin(), 10.0);
    const Notice* progress = f.view.Last(64);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->text, "Calculating targets at DTMin = 5 C");
    EXPECT_EQ(f.view.Count(38), 2);
    double upper = 0, lower = 0;
    f.scenario->GetSuperTargetOptimum(upper, lower);
    EXPECT_DOUBLE_EQ(upper, -32767.0);
}

}  // namespace

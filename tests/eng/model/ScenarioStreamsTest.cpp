// Streams and utilities of a scenario: refusals, the default utility of the same name, the stream
// counter, renaming, deleting and the removal of what nothing uses.
#include "ScenarioTestDoubles.h"

#include "brasko/DefaultManager.h"
#include "eng/model/MatchwiseStreamData.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>

using namespace scenario_test;

namespace {

double value(IHeatIntegrationStream* s, const char* name, int index = 0) {
    double v = -1.0;
    s->GetValue(name, v, index);
    return v;
}

}  // namespace

struct AddCase {
    const char* name;
    int kind;
    int result;
    const char* key;  // message sent, or null
};

class AddStreamRule : public ::testing::TestWithParam<AddCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const AddCase& c, std::ostream* os) { *os << c.name; }

TEST_P(AddStreamRule, RefusesTakenAndReservedNames) {
    Fixture f;
    ASSERT_EQ(f.scenario->AddStream("H1", 0), 1);
    ASSERT_EQ(f.scenario->AddStream("HP Steam", 1), 1);
    f.Clear();
    const AddCase& c = GetParam();
    const int before = f.scenario->GetStreamCounter();
    EXPECT_EQ(f.scenario->AddStream(c.name, c.kind), c.result);
    if (c.key) {
        // One refusal, one word: the first holder of the name is told.
        EXPECT_TRUE(f.view.Saw(60, c.key));
        EXPECT_EQ(f.view.Count(60), 1);
    } else {
        EXPECT_EQ(f.view.Count(60), 0);
    }
    EXPECT_EQ(f.view.Count(30), c.result);
    EXPECT_EQ(f.scenario->GetStreamCounter(), before + c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Names, AddStreamRule,
    ::testing::Values(AddCase{"H1", 0, 0, "SameStreamErrorMsg"}, AddCase{"H1", 1, 0, "SameStreamErrorMsg"},
                      AddCase{"LP Steam", 0, 0, "SameStreamDefUtilErrorMsg"},
                      AddCase{"Cooling Water", 2, 0, "SameStreamDefUtilErrorMsg"},
                      AddCase{"HP Steam", 0, 0, "SameStreamErrorMsg"},
                      AddCase{"LP Steam", 1, 1, nullptr}, AddCase{"C1", 0, 1, nullptr},
                      AddCase{"U1", 1, 1, nullptr}, AddCase{"X", 7, 0, nullptr}));

// A utility takes its temperatures, properties and price from the default of its name, and follows
// that default when it is edited.
TEST(ScenarioStreams, UtilityTakesAndFollowsTheDefaultOfItsName) {
    Fixture f;
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    CPIHeatIntegrationStream* s = f.scenario->FindStream("LP Steam");
    DefaultManager& m = f.scenario->GetOwnDefaultManager();
    const std::pair<const char*, DefaultUtilityParameter> properties[] = {
        {"CHTCoeff", DUP_FilmCoefficient}, {"Viscosity", DUP_Viscosity}, {"ThermalConductivity", DUP_ThermalConductivity},
        {"MassDensity", DUP_MassDensity},  {"SpecificHeat", DUP_SpecificHeat}};
    auto expectTheDefault = [&] {
        EXPECT_DOUBLE_EQ(value(s, "Temperature", 0), m.GetValue("LP Steam", DUP_SupplyTemperature));
        EXPECT_DOUBLE_EQ(value(s, "Temperature", 1), m.GetValue("LP Steam", DUP_TargetTemperature));
        for (const auto& [name, parameter] : properties) EXPECT_DOUBLE_EQ(value(s, name), m.GetValue("LP Steam", parameter)) << name;
        EXPECT_DOUBLE_EQ(s->GetCostIndex(), m.GetValue("LP Steam", DUP_Cost));
    };
    expectTheDefault();
    EXPECT_EQ(s->GetHotCold(), 0);
    EXPECT_EQ(f.scenario->GetNumberOfUtilityStreams(), 1);
    EXPECT_EQ(f.scenario->GetNumberOfProcessStreams(), 0);
    // The fill runs in one batch: calculations are enabled again afterwards.
    EXPECT_EQ(f.scenario->GetCalculationEnableCount(), 1);

    ASSERT_EQ(m.SetValue("LP Steam", DUP_SupplyTemperature, 131.0), 1);
    ASSERT_EQ(m.SetValue("LP Steam", DUP_TargetTemperature, 130.0), 1);
    ASSERT_EQ(m.SetValue("LP Steam", DUP_Viscosity, 1.5e-5), 1);
    ASSERT_EQ(m.SetValue("LP Steam", DUP_SpecificHeat, 2.2), 1);
    ASSERT_EQ(m.SetValue("LP Steam", DUP_Cost, 2.5e-6), 1);
    f.scenario->UpdateStreamFromDefaultUtility("LP Steam");
    expectTheDefault();
    EXPECT_DOUBLE_EQ(value(s, "SpecificHeat"), 2.2);
    EXPECT_DOUBLE_EQ(value(s, "Viscosity"), 1.5e-5);
    EXPECT_DOUBLE_EQ(s->GetCostIndex(), 2.5e-6);
}

TEST(ScenarioStreams, RenamingAHotUtilityToAColdDefaultFailsAndKeepsTheOldName) {
    Fixture f;
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    f.Clear();
    EXPECT_EQ(f.scenario->RenameStream("LP Steam", "Cooling Water"), 0);
    EXPECT_NE(f.scenario->FindStream("LP Steam"), nullptr);
    EXPECT_EQ(f.scenario->FindStream("LP Steam")->GetName(), "LP Steam");
    EXPECT_EQ(f.view.Count(32), 0);
    // To another hot default it is renamed and refilled.
    EXPECT_EQ(f.scenario->RenameStream("LP Steam", "MP Steam"), 1);
    CPIHeatIntegrationStream* s = f.scenario->FindStream("MP Steam");
    ASSERT_NE(s, nullptr);
    EXPECT_DOUBLE_EQ(value(s, "Temperature", 0), 175.0);
    const Notice* renamed = f.view.Last(32);
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->text, "LP Steam");
}

TEST(ScenarioStreams, RenameRefusesTakenNamesAndDefaultNamesForProcessStreams) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("H2", 160, 60, 1);
    EXPECT_EQ(f.scenario->RenameStream("H1", "H2"), 0);
    EXPECT_EQ(f.scenario->RenameStream("H1", "HP Steam"), 0);
    EXPECT_EQ(f.scenario->RenameStream("Nope", "H9"), 0);
    EXPECT_EQ(f.scenario->RenameStream("H1", "Feed"), 1);
    EXPECT_TRUE(f.scenario->IsStreamNameFree("H1"));
    EXPECT_FALSE(f.scenario->IsStreamNameFree("Feed"));
    EXPECT_EQ(d->renamedStreams, std::vector<std::string>{"H1->Feed"});
}

TEST(ScenarioStreams, UtilitiesWithAUnitOfTheirSideAreKept) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    ASSERT_EQ(f.scenario->AddStream("MP Steam", 1), 1);
    ASSERT_EQ(f.scenario->AddStream("Cooling Water", 1), 1);
    d->unitsOn = {"LP Steam", "Cooling Water"};
    d->heater = true;
    d->cooler = false;
    f.scenario->RemoveUnusedUtilities();
    EXPECT_NE(f.scenario->FindStream("LP Steam"), nullptr);
    EXPECT_EQ(f.scenario->FindStream("MP Steam"), nullptr);
    EXPECT_EQ(f.scenario->FindStream("Cooling Water"), nullptr);
}

TEST(ScenarioStreams, RemoveUnloadedUtilitiesTakesUtilitiesNotProcessStreams) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    d->exchangers = 2;
    f.AddProcessStream("H1", 150, 50, 2);
    f.scenario->AddStream("H2", 0);
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    ASSERT_EQ(f.scenario->AddStream("Cooling Water", 1), 1);
    d->unitsOn = {"Cooling Water"};
    f.scenario->RemoveUnloadedUtilities();
    EXPECT_EQ(f.scenario->FindStream("LP Steam"), nullptr);
    EXPECT_NE(f.scenario->FindStream("Cooling Water"), nullptr);
    EXPECT_NE(f.scenario->FindStream("H1"), nullptr);
    EXPECT_NE(f.scenario->FindStream("H2"), nullptr);
}

TEST(ScenarioStreams, MatchesPairHotWithColdAndNeverTwoUtilities) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    ASSERT_EQ(f.scenario->AddStream("Cooling Water", 1), 1);
    // H1-C1, H1-CW, LP-C1; never LP-CW.
    EXPECT_EQ(f.scenario->GetNumberOfMatches(), 3);
    EXPECT_STREQ(f.scenario->GetMatchCostModelName("H1", "C1"), "DEFAULT");
    EXPECT_STREQ(f.scenario->GetMatchCostModelName("LP Steam", "Cooling Water"), "DEFAULT");
    EXPECT_DOUBLE_EQ(f.scenario->GetMatchValue(7), -1.0);
    EXPECT_STREQ(f.scenario->GetMatchCostModelNameAt(0), "DEFAULT");
    EXPECT_EQ(f.scenario->GetMatchCostModelNameAt(9), nullptr);
}

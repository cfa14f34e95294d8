// Editing default utilities: the value rules of each side, range derivation, names, exchanger
// types, the mode that silences change code 97, and the change codes sent.
#include "DefaultManagerTestSupport.h"

#include "tevrin/CPList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

hresult AddPlain(DefaultManager& m, const char* name, SegmentHeatType side, double supply, double target, double dtmin,
                 double cost = 1e-6) {
    return m.AddDefaultUtility(name, side, supply, target, 1.0, cost, Units::EmptyValue, Units::EmptyValue, dtmin,
                               "Shell & Tube", 1.0, 1.0, 1.0, 1.0);
}

// ---- the value rules ---------------------------------------------------------------------------

struct SetValueCase {
    const char* label;
    const char* utility;
    int parameter;
    double value;
    hresult result;
    int checked;      // parameter read back afterwards
    double expected;  // its value then
};
void PrintTo(const SetValueCase& c, std::ostream* os) {
    *os << c.label;
}

class SetValueRules : public ::testing::TestWithParam<SetValueCase> {};

TEST_P(SetValueRules, AcceptOrRefuseByTheSideOfTheUtility) {
    auto m = FactoryManager();
    const SetValueCase& c = GetParam();
    EXPECT_EQ(m->SetValue(c.utility, static_cast<DefaultUtilityParameter>(c.parameter), c.value), c.result) << c.label;
    EXPECT_NEAR(m->GetValue(c.utility, static_cast<DefaultUtilityParameter>(c.checked)), c.expected, 1e-9) << c.label;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// MP Steam: hot, 175 -> 174, approach 10, range (115.5, 165.5].
// Cooling Water: cold, 20 -> 25, approach 5, range [29.5, 44.5).
INSTANTIATE_TEST_SUITE_P(
    Temperatures, SetValueRules,
    ::testing::Values(
        SetValueCase{"hot supply not above target", "MP Steam", DUP_SupplyTemperature, 174.0, 0, DUP_SupplyTemperature, 175.0},
        // 180 - 10 + 0.5 = 170.5: the range follows the new supply.
        SetValueCase{"hot supply raised", "MP Steam", DUP_SupplyTemperature, 180.0, 1, DUP_RangeUpper, 170.5},
        SetValueCase{"cold target below supply", "Cooling Water", DUP_TargetTemperature, 19.0, 0, DUP_TargetTemperature, 25.0},
        // 30 + 5 - 0.5 = 34.5.
        SetValueCase{"cold target raised", "Cooling Water", DUP_TargetTemperature, 30.0, 1, DUP_RangeLower, 34.5},
        SetValueCase{"not a number", "MP Steam", DUP_SupplyTemperature, kNaN, 0, DUP_SupplyTemperature, 175.0}));

INSTANTIATE_TEST_SUITE_P(
    Ranges, SetValueRules,
    ::testing::Values(
        SetValueCase{"hot upper above supply", "MP Steam", DUP_RangeUpper, 176.0, 0, DUP_RangeUpper, 165.5},
        SetValueCase{"hot upper below lower", "MP Steam", DUP_RangeUpper, 100.0, 0, DUP_RangeUpper, 165.5},
        SetValueCase{"hot lower inside", "MP Steam", DUP_RangeLower, 120.0, 1, DUP_RangeLower, 120.0},
        SetValueCase{"cold upper above target", "Cooling Water", DUP_RangeUpper, 50.0, 1, DUP_RangeUpper, 50.0},
        SetValueCase{"cold lower below supply", "Cooling Water", DUP_RangeLower, 10.0, 0, DUP_RangeLower, 29.5}));

INSTANTIATE_TEST_SUITE_P(
    Others, SetValueRules,
    ::testing::Values(
        // 175 - 20 + 0.5 = 155.5.
        SetValueCase{"approach raised", "MP Steam", DUP_DTminContribution, 20.0, 1, DUP_RangeUpper, 155.5},
        SetValueCase{"viscosity negative", "MP Steam", DUP_Viscosity, -1.0, 0, DUP_Viscosity, 0.0152},
        SetValueCase{"credit", "MP Steam", DUP_Cost, -1e-6, 1, DUP_Cost, -1e-6},
        SetValueCase{"film coefficient negative", "MP Steam", DUP_FilmCoefficient, -300.0, 0, DUP_FilmCoefficient, 6.0},
        SetValueCase{"side is read only", "MP Steam", DUP_HeatType, 1.0, 1, DUP_HeatType, 0.0},
        SetValueCase{"unknown utility", "Nothing", DUP_Cost, 1.0, 1, DUP_Cost, Units::EmptyValue}));

TEST(DefaultManagerUtility, ApproachBelowOneWarnsAndKeepsTheValue) {
    auto m = FactoryManager();
    ChangeRecorder r(*m);
    // The value is not taken: the answer says so.
    EXPECT_EQ(m->SetValue("Hot Oil", DUP_DTminContribution, 0.5), 0);
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].code, 60);
    EXPECT_EQ(r.changes[0].text, "DeltaTMinWarning");
    EXPECT_EQ(r.changes[0].data, static_cast<IDefaultUtilityManager*>(m.get()));
    EXPECT_DOUBLE_EQ(m->GetValue("Hot Oil", DUP_DTminContribution), 5.0);
}

TEST(DefaultManagerUtility, UtilityOfUnknownSideTakesTheSideItsTemperaturesShow) {
    DefaultManager m;
    ASSERT_EQ(m.AddDefaultUtility("Flue Gas"), 1);
    EXPECT_EQ(m.SetValue("Flue Gas", DUP_DTminContribution, 20.0), 1);
    EXPECT_EQ(m.SetValue("Flue Gas", DUP_SupplyTemperature, 400.0), 1);
    EXPECT_EQ(m.GetValue(0), SHT_NotSet);
    EXPECT_EQ(m.SetValue("Flue Gas", DUP_TargetTemperature, 400.0), 0);  // equal: no side
    EXPECT_EQ(m.GetValue(0), SHT_NotSet);
    EXPECT_EQ(m.SetValue("Flue Gas", DUP_TargetTemperature, 150.0), 1);
    EXPECT_EQ(m.GetValue(0), SHT_Hot);
    // 400 - 20 + 0.5, the only hot utility.
    EXPECT_DOUBLE_EQ(m.GetValue("Flue Gas", DUP_RangeUpper), 380.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Flue Gas", DUP_RangeLower), -273.15);
}

// ---- ranges from neighbours ---------------------------------------------------------------------

TEST(DefaultManagerUtility, HotRangesRiseWithSupplyTemperature) {
    DefaultManager m;
    AddPlain(m, "C", SHT_Hot, 250, 249, 10);
    AddPlain(m, "A", SHT_Hot, 125, 124, 10);
    AddPlain(m, "B", SHT_Hot, 175, 174, 10);
    m.CalculateARTemp();
    EXPECT_DOUBLE_EQ(m.GetValue("A", DUP_RangeLower), -273.15);
    EXPECT_DOUBLE_EQ(m.GetValue("A", DUP_RangeUpper), 115.5);
    EXPECT_DOUBLE_EQ(m.GetValue("B", DUP_RangeLower), 115.5);
    EXPECT_DOUBLE_EQ(m.GetValue("B", DUP_RangeUpper), 165.5);
    EXPECT_DOUBLE_EQ(m.GetValue("C", DUP_RangeLower), 165.5);
    EXPECT_DOUBLE_EQ(m.GetValue("C", DUP_RangeUpper), 240.5);
    EXPECT_STREQ(m.GetRecommendedUtilityName(120.0, SHT_Hot, nullptr), "B");
    // The list keeps its order whatever the sort did.
    EXPECT_STREQ(m.GetDefaultUtilityName(0), "C");
}

TEST(DefaultManagerUtility, ColdRangesFallWithTargetTemperature) {
    DefaultManager m;
    AddPlain(m, "Low", SHT_Cold, 20, 25, 5);
    AddPlain(m, "High", SHT_Cold, 249, 250, 10);
    m.CalculateARTemp();
    EXPECT_DOUBLE_EQ(m.GetValue("High", DUP_RangeLower), 259.5);
    EXPECT_DOUBLE_EQ(m.GetValue("High", DUP_RangeUpper), 3000.0);
    EXPECT_DOUBLE_EQ(m.GetValue("Low", DUP_RangeLower), 29.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Low", DUP_RangeUpper), 259.5);
}

TEST(DefaultManagerUtility, UtilityLackingATemperatureServesNothingAndBoundsNoNeighbour) {
    DefaultManager m;
    AddPlain(m, "Half", SHT_Hot, Units::EmptyValue, 100, 10);
    AddPlain(m, "Damaged", SHT_Hot, kNaN, 100, 10);
    AddPlain(m, "Steam", SHT_Hot, 125, 124, 10);
    m.CalculateARTemp();
    EXPECT_DOUBLE_EQ(m.GetValue("Damaged", DUP_RangeLower), Units::EmptyValue);
    EXPECT_DOUBLE_EQ(m.GetValue("Half", DUP_RangeUpper), Units::EmptyValue);
    EXPECT_DOUBLE_EQ(m.GetValue("Half", DUP_RangeLower), Units::EmptyValue);
    EXPECT_DOUBLE_EQ(m.GetValue("Steam", DUP_RangeLower), -273.15);
}

TEST(DefaultManagerUtility, NewUtilityByNameIsNeverOffered) {
    auto m = FactoryManager();
    ChangeRecorder r(*m);
    ASSERT_EQ(m->AddDefaultUtility("Mystery"), 1);
    EXPECT_EQ(m->AddDefaultUtility("Mystery"), 0);
    EXPECT_EQ(m->AddDefaultUtility(""), 0);
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].code, 55);
    EXPECT_EQ(r.changes[0].text, "Mystery");
    EXPECT_EQ(m->GetValue(21), SHT_NotSet);
    EXPECT_DOUBLE_EQ(m->GetValue("Mystery", DUP_RangeUpper), Units::EmptyValue);
    EXPECT_DOUBLE_EQ(m->GetValue("Mystery", DUP_Cost), 0.0);
    EXPECT_STREQ(m->GetExchangerType("Mystery"), "Shell & Tube");
    // Made cheapest of all, it is still neither usable nor recommended.
    m->SetValue("Mystery", DUP_Cost, -1.0);
    CPList usable;
    for (double T : {-100.0, 40.0, 150.0, 1000.0})
        for (SegmentHeatType side : {SHT_Hot, SHT_Cold}) {
            EXPECT_STRNE(m->GetMostEconomicalUtilityName(T, side), "Mystery");
            const char* recommended = m->GetRecommendedUtilityName(T, side, nullptr);
            EXPECT_TRUE(!recommended || std::string(recommended) != "Mystery");
            m->GetUsableUtilList(T, side, &usable);
        }
    for (std::size_t i = 0; i < usable.Length(); ++i)
        EXPECT_NE(static_cast<DefaultUtility*>(usable.GetAt(i))->name, "Mystery");
}

TEST(DefaultManagerUtility, MostEconomicalPrefersTheCreditAndTheFirstOfATie) {
    DefaultManager m;
    AddPlain(m, "Water", SHT_Cold, 20, 25, 5, 2.1e-7);
    AddPlain(m, "Steam Raising", SHT_Cold, 100, 101, 5, -1.9e-6);
    AddPlain(m, "Water Again", SHT_Cold, 10, 15, 5, -1.9e-6);
    m.CalculateARTemp();
    EXPECT_STREQ(m.GetMostEconomicalUtilityName(150.0, SHT_Cold), "Steam Raising");
    AddPlain(m, "Too Dear", SHT_Hot, 300, 290, 5, 1.0e20);
    m.CalculateARTemp();
    EXPECT_EQ(m.GetMostEconomicalUtilityName(100.0, SHT_Hot), nullptr);
}

// ---- names, removal, mode --------------------------------------------------------------------

TEST(DefaultManagerUtility, ModeSilencesChangeCodeUntilItReturnsToZero) {
    auto m = FactoryManager();
    ChangeRecorder r(*m);
    m->SetMode(1);
    EXPECT_EQ(m->GetMode(), 1);
    EXPECT_EQ(m->SetValue("Hot Oil", DUP_FilmCoefficient, 0.3), 1);
    EXPECT_EQ(m->SetValue("Hot Oil", DUP_SupplyTemperature, 290.0), 1);
    EXPECT_TRUE(r.changes.empty());
    m->SetMode(0);
    ASSERT_EQ(r.changes.size(), 1u);
    EXPECT_EQ(r.changes[0].code, 97);
    // The coefficient defaults report whatever the mode.
    m->SetMode(1);
    r.changes.clear();
    EXPECT_EQ(m->SetHTCDefaultValue(1, 0.5), 1);
    EXPECT_EQ(r.Count(67), 1);
}

TEST(DefaultManagerUtility, OnlyOneUtilityMayBeTheAirCooler) {
    auto m = FactoryManager();
    EXPECT_STREQ(m->SetExchangerType("Cooling Water", "Air Cooler"), "AirCoolerAlreadyExists");
    EXPECT_STREQ(m->SetExchangerType("Air", "Air Cooler"), "AirCoolerAlreadyExists");
    EXPECT_STREQ(m->GetExchangerType("Cooling Water"), "Shell & Tube");
    EXPECT_EQ(m->SetExchangerType("Nothing", "Fired Heater"), nullptr);
    EXPECT_STREQ(m->SetExchangerType(0, nullptr), "InvalidExchangerType");
    EXPECT_STREQ(m->SetExchangerType(0, ""), "InvalidExchangerType");
    EXPECT_STREQ(m->GetExchangerType(0), "Steam Reboiler");
    EXPECT_EQ(m->SetExchangerType(12, "Shell & Tube"), nullptr);  // Air gives the air cooler up
    EXPECT_EQ(m->SetExchangerType("Cooling Water", "Air Cooler"), nullptr);
    EXPECT_STREQ(m->GetExchangerType(11), "Air Cooler");
}

}  // namespace

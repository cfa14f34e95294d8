// The factory set-up of a default manager: utilities and their derived ranges, coefficient
// defaults, economic values, and the answers to which utility serves a temperature.
#include "DefaultManagerTestSupport.h"

#include "tevrin/CPList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const kFactoryOrder[] = {
    "LP Steam", "MP Steam", "HP Steam", "Hot Oil", "Fired Heat (1000)", "Fired Heat (2000)",
    "Very High Temperature", "Refrigerant 1 Generation", "Refrigerant 2 Generation", "Refrigerant 3 Generation",
    "Refrigerant 4 Generation", "Cooling Water", "Air", "LP Steam Generation", "MP Steam Generation",
    "HP Steam Generation", "Refrigerant 1", "Refrigerant 2", "Refrigerant 3", "Refrigerant 4",
    "Very Low Temperature"};

std::string Text(const char* s) { return s ? std::string(s) : std::string("<null>"); }

TEST(DefaultManagerFactory, HoldsTheTwentyOneUtilitiesInOrderWithTheirSides) {
    auto m = FactoryManager();
    ASSERT_EQ(m->GetNumberOfDefaultUtilities(), 21);
    for (int i = 0; i < 21; ++i) {
        EXPECT_STREQ(m->GetDefaultUtilityName(i), kFactoryOrder[i]) << i;
        // The first eleven give heat, the last ten take it.
        EXPECT_EQ(m->GetValue(i), i < 11 ? SHT_Hot : SHT_Cold) << kFactoryOrder[i];
    }
    EXPECT_EQ(m->GetDefaultUtilityName(21), nullptr);
    EXPECT_EQ(m->GetValue(21), SHT_NotSet);
    EXPECT_DOUBLE_EQ(m->GetValue("Hot Oil", DUP_FilmCoefficient), 0.232282);
    EXPECT_DOUBLE_EQ(m->GetValue("LP Steam Generation", DUP_Cost), -1.89e-06);
    EXPECT_DOUBLE_EQ(m->GetValue("Cooling Water", DUP_SpecificHeat), 4.183);
    EXPECT_STREQ(m->GetExchangerType("Air"), "Air Cooler");
    EXPECT_STREQ(m->GetExchangerType(4), "Fired Heater");
    EXPECT_DOUBLE_EQ(m->GetValue("No Such Utility", DUP_SupplyTemperature), Units::EmptyValue);
}

TEST(DefaultManagerFactory, CoefficientDefaultsAreTheFirstTablePlusTwoFromTheSecond) {
    auto m = FactoryManager();
    ASSERT_EQ(m->GetNumberOfHTCDefaultValues(), 28);
    EXPECT_STREQ(m->GetHTCDefaultValueName(0), "DEFAULT");
    EXPECT_DOUBLE_EQ(m->GetHTCDefaultValue(0), 0.2);
    EXPECT_STREQ(m->GetHTCDefaultValueName(2), "Brine");
    EXPECT_DOUBLE_EQ(m->GetHTCDefaultValue(5), 20.44);
    EXPECT_STREQ(m->GetHTCDefaultValueName(25), "Wax Distillate");
    EXPECT_STREQ(m->GetHTCDefaultValueName(26), "<default>");
    EXPECT_DOUBLE_EQ(m->GetHTCDefaultValue(26), 0.2);
    EXPECT_STREQ(m->GetHTCDefaultValueName(27), "Condensing/Reboiling Steam");
    EXPECT_DOUBLE_EQ(m->GetHTCDefaultValue(27), 6.0);
    EXPECT_STREQ(m->GetHTCDefaultValueNote(27), "");
    EXPECT_EQ(m->GetHTCDefaultValueName(28), nullptr);
}

TEST(DefaultManagerFactory, EconomicValuesAndTheDefaultCapitalCostLaw) {
    auto m = FactoryManager();
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_RateOfReturn, "DEFAULT"), 0.1);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_PlantLife, "DEFAULT"), 5.0);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_OperatingHours, "DEFAULT"), 8765.76);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_FixedCostPerUnit, "DEFAULT"), 10000.0);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_AreaCostCoefficient, "DEFAULT"), 800.0);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_AreaExponent, "DEFAULT"), 0.8);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_CostLaw, "DEFAULT"), 0.0);
    EXPECT_EQ(m->isEconomicDataValid(0), 1);
    EXPECT_EQ(m->isEconomicDataValid(1), 1);
    const char* name = nullptr;
    m->GetCurrentFileName(DefaultManager::kCurrentEconomicsFileName, name);
    EXPECT_STREQ(name, "Default File");
}

// ---- ranges after the set-up -------------------------------------------------------------------

struct RangeCase {
    const char* utility;
    double lower;
    double upper;
};

class FactoryRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FactoryRanges, EachUtilityServesTheRangeItsNeighboursLeaveIt) {
    auto m = FactoryManager();
    const RangeCase& c = GetParam();
    EXPECT_NEAR(m->GetValue(c.utility, DUP_RangeLower), c.lower, 1e-9) << c.utility;
    EXPECT_NEAR(m->GetValue(c.utility, DUP_RangeUpper), c.upper, 1e-9) << c.utility;
}

INSTANTIATE_TEST_SUITE_P(
    Hot, FactoryRanges,
    ::testing::Values(RangeCase{"Refrigerant 4 Generation", -273.15, -103.5},
                      RangeCase{"Refrigerant 3 Generation", -103.5, -65.5},
                      RangeCase{"Refrigerant 2 Generation", -65.5, -41.5},
                      RangeCase{"Refrigerant 1 Generation", -41.5, -26.5}, RangeCase{"LP Steam", -26.5, 115.5},
                      RangeCase{"MP Steam", 115.5, 165.5}, RangeCase{"HP Steam", 165.5, 240.5},
                      RangeCase{"Hot Oil", 240.5, 275.5}, RangeCase{"Fired Heat (1000)", 275.5, 975.5},
                      RangeCase{"Fired Heat (2000)", 975.5, 1970.5},
                      RangeCase{"Very High Temperature", 1970.5, 2990.5}));

INSTANTIATE_TEST_SUITE_P(
    Cold, FactoryRanges,
    ::testing::Values(RangeCase{"HP Steam Generation", 259.5, 3000.0}, RangeCase{"MP Steam Generation", 184.5, 259.5},
                      RangeCase{"LP Steam Generation", 134.5, 184.5}, RangeCase{"Air", 44.5, 134.5},
                      RangeCase{"Cooling Water", 29.5, 44.5}, RangeCase{"Refrigerant 1", -21.5, 29.5},
                      RangeCase{"Refrigerant 2", -36.5, -21.5}, RangeCase{"Refrigerant 3", -62.5, -36.5},
                      RangeCase{"Refrigerant 4", -100.5, -62.5}, RangeCase{"Very Low Temperature", -267.5, -100.5}));

// ---- recommendations ---------------------------------------------------------------------------

struct RecommendationCase {
    double T;
    int side;
    const char* exchangerType;
    const char* expected;  // null: none
};

class FactoryRecommendation : public ::testing::TestWithParam<RecommendationCase> {};

TEST_P(FactoryRecommendation, FirstUtilityOfTheSideWhoseRangeHoldsT) {
    auto m = FactoryManager();
    const RecommendationCase& c = GetParam();
    EXPECT_EQ(Text(m->GetRecommendedUtilityName(c.T, static_cast<SegmentHeatType>(c.side), c.exchangerType)),
              Text(c.expected))
        << c.T << " side " << c.side;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FactoryRecommendation,
    ::testing::Values(RecommendationCase{150.0, SHT_Hot, nullptr, "MP Steam"},
                      RecommendationCase{150.0, SHT_Hot, "Steam Reboiler", "MP Steam"},
                      RecommendationCase{150.0, SHT_Hot, "Shell & Tube", nullptr},
                      RecommendationCase{40.0, SHT_Cold, nullptr, "Cooling Water"},
                      RecommendationCase{40.0, SHT_Cold, "Air Cooler", nullptr},
                      RecommendationCase{50.0, SHT_Cold, "Air Cooler", "Air"},
                      RecommendationCase{50.0, SHT_Cold, nullptr, "Air"},
                      RecommendationCase{150.0, SHT_NotSet, nullptr, nullptr},
                      RecommendationCase{-300.0, SHT_Hot, nullptr, nullptr},
                      RecommendationCase{2995.0, SHT_Hot, nullptr, nullptr}));

// A hot utility's range is open below and closed above; a cold utility's the other way round.
INSTANTIATE_TEST_SUITE_P(
    RangeEnds, FactoryRecommendation,
    ::testing::Values(RecommendationCase{275.5, SHT_Hot, nullptr, "Hot Oil"},
                      RecommendationCase{240.5, SHT_Hot, nullptr, "HP Steam"},
                      RecommendationCase{240.5001, SHT_Hot, nullptr, "Hot Oil"},
                      RecommendationCase{-273.15, SHT_Hot, nullptr, nullptr},
                      RecommendationCase{29.5, SHT_Cold, nullptr, "Cooling Water"},
                      RecommendationCase{44.5, SHT_Cold, nullptr, "Air"},
                      RecommendationCase{44.4999, SHT_Cold, nullptr, "Cooling Water"},
                      RecommendationCase{3000.0, SHT_Cold, nullptr, nullptr}));

struct EconomicalCase {
    double T;
    int side;
    const char* expected;
};

class FactoryMostEconomical : public ::testing::TestWithParam<EconomicalCase> {};

TEST_P(FactoryMostEconomical, CheapestUsableUtilityAndCreditsWin) {
    auto m = FactoryManager();
    const EconomicalCase& c = GetParam();
    EXPECT_EQ(Text(m->GetMostEconomicalUtilityName(c.T, static_cast<SegmentHeatType>(c.side))), Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FactoryMostEconomical,
    ::testing::Values(
        // Cold at 150: every cold utility with range lower below 150; only steam generation earns.
        EconomicalCase{150.0, SHT_Cold, "LP Steam Generation"},
        // Cold at 40: cooling water, the cheapest of those reaching below 40.
        EconomicalCase{40.0, SHT_Cold, "Cooling Water"},
        // Hot at 150: MP Steam is the cheapest of those whose range reaches above 150.
        EconomicalCase{150.0, SHT_Hot, "MP Steam"},
        // Hot at -50: refrigerant 2 generation earns the largest credit of those above -50.
        EconomicalCase{-50.0, SHT_Hot, "Refrigerant 2 Generation"},
        EconomicalCase{Units::EmptyValue, SHT_Cold, nullptr}, EconomicalCase{150.0, SHT_NotSet, nullptr},
        EconomicalCase{3000.0, SHT_Hot, nullptr}));

TEST(DefaultManagerFactory, UsableListAppendsToWhatTheListHeld) {
    auto m = FactoryManager();
    CPList out;
    int marker = 0;
    out.Append(&marker);
    EXPECT_EQ(m->GetUsableUtilList(Units::EmptyValue, SHT_Cold, &out), 0);
    EXPECT_EQ(out.Length(), 1u);
    EXPECT_EQ(m->GetUsableUtilList(3000.0, SHT_Hot, &out), 1);  // nothing usable, but the list is not empty
    EXPECT_EQ(out.Length(), 1u);
    EXPECT_EQ(m->GetUsableUtilList(40.0, SHT_Cold, &out), 1);
    // Cooling water and the five refrigerants reach below 40; air (44.5) does not.
    ASSERT_EQ(out.Length(), 7u);
    EXPECT_EQ(static_cast<DefaultUtility*>(out.GetAt(1))->name, "Cooling Water");
    EXPECT_EQ(static_cast<DefaultUtility*>(out.GetAt(6))->name, "Very Low Temperature");
}

TEST(DefaultManagerFactory, DataExtractionPicksTheUtilityReachingTheOutlet) {
    auto m = FactoryManager();
    // A cooler taking a process stream from 120 down to 40.
    EXPECT_STREQ(m->GetRecommendedUtilityForDataExt(40.0, SHT_Cold, 120.0), "Cooling Water");
    // A heater taking a process stream from 100 up to 150.
    EXPECT_STREQ(m->GetRecommendedUtilityForDataExt(150.0, SHT_Hot, 100.0), "MP Steam");
    EXPECT_STREQ(m->GetRecommendedUtilityForDataExt(Units::EmptyValue, SHT_Hot, 150.0), "MP Steam");
    EXPECT_EQ(m->GetRecommendedUtilityForDataExt(Units::EmptyValue, SHT_Hot, Units::EmptyValue), nullptr);
}

}  // namespace

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

// ---- ranges after the set-up -------------------------------------------------------------------

// ---- recommendations ---------------------------------------------------------------------------

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

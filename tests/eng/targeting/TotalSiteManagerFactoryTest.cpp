// The site manager after set-up: the factory utilities with their site streams, the coefficient
// table, the economic values, the ranges, and the recommendations made from them.
#include "TotalSiteManagerTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {
using namespace sitemanager_test;

const char* const kFactoryNames[] = {
    "LP Steam", "MP Steam", "HP Steam", "Hot Oil", "Fired Heat (1000)", "Fired Heat (2000)",
    "Very High Temperature", "Refrigerant 1 Generation", "Refrigerant 2 Generation", "Refrigerant 3 Generation",
    "Refrigerant 4 Generation", "Cooling Water", "Air", "LP Steam Generation", "MP Steam Generation",
    "HP Steam Generation", "Refrigerant 1", "Refrigerant 2", "Refrigerant 3", "Refrigerant 4",
    "Very Low Temperature"};

TEST(TotalSiteManagerFactory, HoldsTheFactoryTablesWithOneUnfilledStreamPerUtility) {
    TotalSiteManager m;
    Recorder r(m);
    m.SetUpDefaults(ConfigurationStore());

    ASSERT_EQ(m.GetNumberOfDefaultUtilities(), 21);
    for (int i = 0; i < 21; ++i) EXPECT_STREQ(m.GetDefaultUtilityName(i), kFactoryNames[i]) << i;
    ASSERT_EQ(m.GetNumberOfHTCDefaultValues(), 28);
    EXPECT_STREQ(m.GetHTCDefaultValueName(0), "DEFAULT");
    EXPECT_DOUBLE_EQ(m.GetHTCDefaultValue(0), 0.2);
    EXPECT_STREQ(m.GetHTCDefaultValueName(25), "Wax Distillate");
    EXPECT_STREQ(m.GetHTCDefaultValueName(26), "<default>");
    EXPECT_STREQ(m.GetHTCDefaultValueName(27), "Condensing/Reboiling Steam");
    EXPECT_DOUBLE_EQ(m.GetHTCDefaultValue(27), 6.0);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_RateOfReturn, "DEFAULT"), 0.1);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_PlantLife, "DEFAULT"), 5.0);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_OperatingHours, "DEFAULT"), 8765.76);

    EXPECT_EQ(r.Count(30), 21);
    EXPECT_EQ(r.Count(67), 28);
    ASSERT_EQ(m.GetNumberOfStreams(), 21);
    for (int i = 0; i < 21; ++i) {
        IHeatIntegrationStream* s = nullptr;
        ASSERT_EQ(m.GetStream(i, s), 1);
        EXPECT_EQ(s->GetName(), kFactoryNames[i]);
        EXPECT_EQ(s->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
        EXPECT_EQ(s->GetStoredInt(), i + 1);
        // The streams were made before any coefficient default existed.
        EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 0.0) << kFactoryNames[i];
    }
}

struct RangeRow {
    const char* name;
    double lower;
    double upper;
};

class FactoryRanges : public ::testing::TestWithParam<RangeRow> {
protected:
    static void SetUpTestSuite() { s_manager = FactoryManager().release(); }
    static void TearDownTestSuite() {
        delete s_manager;
        s_manager = nullptr;
    }
    static TotalSiteManager* s_manager;
};
TotalSiteManager* FactoryRanges::s_manager = nullptr;

TEST_P(FactoryRanges, FollowFromTheNeighbours) {
    const RangeRow& row = GetParam();
    EXPECT_NEAR(s_manager->GetValue(row.name, DUP_RangeLower), row.lower, 1e-9);
    EXPECT_NEAR(s_manager->GetValue(row.name, DUP_RangeUpper), row.upper, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    AllUtilities, FactoryRanges,
    ::testing::Values(RangeRow{"Refrigerant 4 Generation", -273.15, -103.5},
                      RangeRow{"Refrigerant 3 Generation", -103.5, -65.5},
                      RangeRow{"Refrigerant 2 Generation", -65.5, -41.5},
                      RangeRow{"Refrigerant 1 Generation", -41.5, -26.5}, RangeRow{"LP Steam", -26.5, 115.5},
                      RangeRow{"MP Steam", 115.5, 165.5}, RangeRow{"HP Steam", 165.5, 240.5},
                      RangeRow{"Hot Oil", 240.5, 275.5}, RangeRow{"Fired Heat (1000)", 275.5, 975.5},
                      RangeRow{"Fired Heat (2000)", 975.5, 1970.5}, RangeRow{"Very High Temperature", 1970.5, 2990.5},
                      RangeRow{"HP Steam Generation", 259.5, 3000.0}, RangeRow{"MP Steam Generation", 184.5, 259.5},
                      RangeRow{"LP Steam Generation", 134.5, 184.5}, RangeRow{"Air", 44.5, 134.5},
                      RangeRow{"Cooling Water", 29.5, 44.5}, RangeRow{"Refrigerant 1", -21.5, 29.5},
                      RangeRow{"Refrigerant 2", -36.5, -21.5}, RangeRow{"Refrigerant 3", -62.5, -36.5},
                      RangeRow{"Refrigerant 4", -100.5, -62.5}, RangeRow{"Very Low Temperature", -267.5, -100.5}));

struct RecommendCase {
    const char* label;
    double T;
    SegmentHeatType side;
    const char* exchangerType;
    const char* expected;  // null: no utility
};

class FactoryRecommendations : public ::testing::TestWithParam<RecommendCase> {};

TEST_P(FactoryRecommendations, PickTheFirstUtilityWhoseRangeHoldsTheTemperature) {
    const RecommendCase& c = GetParam();
    auto m = FactoryManager();
    const char* name = m->GetRecommendedUtilityName(c.T, c.side, c.exchangerType);
    if (c.expected) {
        ASSERT_NE(name, nullptr) << c.label;
        EXPECT_STREQ(name, c.expected) << c.label;
    } else {
        EXPECT_EQ(name, nullptr) << c.label << ": " << (name ? name : "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FactoryRecommendations,
    ::testing::Values(RecommendCase{"MP steam at 150", 150.0, SHT_Hot, nullptr, "MP Steam"},
                      RecommendCase{"cooling water at 40", 40.0, SHT_Cold, nullptr, "Cooling Water"},
                      RecommendCase{"no air cooler at 40", 40.0, SHT_Cold, "Air Cooler", nullptr},
                      RecommendCase{"air cooler at 50", 50.0, SHT_Cold, "Air Cooler", "Air"},
                      RecommendCase{"air at 50", 50.0, SHT_Cold, nullptr, "Air"},
                      RecommendCase{"hot range holds its upper end", 115.5, SHT_Hot, nullptr, "LP Steam"},
                      RecommendCase{"hot range excludes its lower end", 115.5000001, SHT_Hot, nullptr, "MP Steam"},
                      RecommendCase{"cold range holds its lower end", 29.5, SHT_Cold, nullptr, "Cooling Water"},
                      RecommendCase{"cold range excludes its upper end", 44.5, SHT_Cold, nullptr, "Air"},
                      RecommendCase{"hot oil", 260.0, SHT_Hot, nullptr, "Hot Oil"},
                      RecommendCase{"refrigerant", -50.0, SHT_Cold, nullptr, "Refrigerant 3"},
                      RecommendCase{"reboiler type", 150.0, SHT_Hot, "Steam Reboiler", "MP Steam"},
                      RecommendCase{"type of another range", 150.0, SHT_Hot, "Fired Heater", nullptr},
                      RecommendCase{"above every hot utility", 2995.0, SHT_Hot, nullptr, nullptr},
                      RecommendCase{"no side", 150.0, SHT_NotSet, nullptr, nullptr}),
    [](const auto& info) {
        std::string n = info.param.label;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

struct EconomyCase {
    double T;
    SegmentHeatType side;
    const char* expected;
};

class FactoryMostEconomical : public ::testing::TestWithParam<EconomyCase> {};

// Hand-worked: a hot utility serves T when its range upper lies above T, a cold one when its
// range lower lies below T; the lowest price wins, a credit lowest of all.
TEST_P(FactoryMostEconomical, PicksTheCheapestUsableUtility) {
    const EconomyCase& c = GetParam();
    auto m = FactoryManager();
    const char* name = m->GetMostEconomicalUtilityName(c.T, c.side);
    if (c.expected) {
        ASSERT_NE(name, nullptr);
        EXPECT_STREQ(name, c.expected);
    } else {
        EXPECT_EQ(name, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FactoryMostEconomical,
                         ::testing::Values(EconomyCase{150.0, SHT_Cold, "LP Steam Generation"},
                                           EconomyCase{150.0, SHT_Hot, "MP Steam"},
                                           EconomyCase{50.0, SHT_Hot, "LP Steam"},
                                           EconomyCase{20.0, SHT_Cold, "Refrigerant 1"},
                                           EconomyCase{-32767.0, SHT_Hot, nullptr},
                                           EconomyCase{150.0, SHT_NotSet, nullptr}));

}  // namespace

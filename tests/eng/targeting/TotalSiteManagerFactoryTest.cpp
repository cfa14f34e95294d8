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

}  // namespace

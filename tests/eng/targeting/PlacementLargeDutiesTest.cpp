// Shortfalls of large duties: the cascade of a site-sized problem sums heat of the order of 1e7 kW,
// whose round-off lies far above any fixed tolerance in kW. What is zero is relative to the total
// heat load (1e-9 of it), so utilities that cover the targets are placed, never short by residue.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "eng/targeting/AutomaticUtilityPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using placement_test::PlacementStream;
using placement_test::StreamSet;

TEST(PlacementLargeDuties, UtilitiesThatCoverTheTargetsAreSettledOnBothSides) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> t(50.0, 380.0), cp(1e4, 5e6);
    for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE(trial);
        StreamSet set;
        for (int i = 0; i < 60; ++i) {
            const double a = t(rng);
            double b = t(rng);
            if (std::fabs(a - b) < 1.0) b = a + 3.0;
            set.Add(("P" + std::to_string(i)).c_str(), a, b, cp(rng));
        }
        PlacementStream& steam = set.Add("Fired heat", 1000.0, 999.0, 0.0, 1);
        steam.costIndex = 2.0;
        PlacementStream& water = set.Add("Cooling water", 20.0, 25.0, 0.0, 1);
        water.costIndex = 1.0;
        UtilityPlacementLP lp;
        lp.SetIntervalModel(UtilityPlacementLP::IntervalModel::Full);
        ASSERT_TRUE(lp.Calculate(set.segments));
        EXPECT_TRUE(lp.GetHotSide().IsSettled()) << lp.GetHotSide().dSecond;
        EXPECT_TRUE(lp.GetColdSide().IsSettled()) << lp.GetColdSide().dSecond;
        EXPECT_EQ(lp.GetHotSide().dSecond, 0.0);
        EXPECT_EQ(lp.GetColdSide().dSecond, 0.0);
        EXPECT_NEAR(lp.GetHotUtilityLoad(), lp.GetMinimumHotUtility(), 1e-9 * lp.GetMinimumHotUtility());
        EXPECT_NEAR(lp.GetColdUtilityLoad(), lp.GetMinimumColdUtility(), 1e-9 * lp.GetMinimumColdUtility());
    }
}

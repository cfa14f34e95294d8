// The energy target of a large random table against the problem table worked in integers: the
// pinch is the one boundary where the exact cascade is lowest, however close the next boundaries
// come to it.
#include "TargetingFixtures.h"

#include "eng/targeting/EnergyTarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using targeting_test::SegmentSet;

// Temperatures and flow rates on a grid of 1e-6: the exact cascade is a sum of integers.
constexpr std::int64_t kScale = 1000000;

struct ExactEnd {
    std::int64_t temperature;  // shifted, in micro-degrees
    std::int64_t cpChange;     // hot minus cold flow rate starting (+) or ending (-) below it
};

TEST(EnergyTargetLargeTable, OnePinchWhereTheExactCascadeIsLowest) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::int64_t> temperature(50 * kScale, 380 * kScale), cp(1 * kScale, 50 * kScale);
    SegmentSet set;
    std::vector<ExactEnd> ends;
    const std::int64_t half = 5 * kScale;  // DTmin 10
    for (int i = 0; i < 100000; ++i) {
        const std::int64_t supply = temperature(rng);
        std::int64_t target = temperature(rng);
        while (target == supply) target = temperature(rng);
        const std::int64_t flow = cp(rng);
        set.Add(static_cast<double>(supply) / kScale, static_cast<double>(target) / kScale,
                static_cast<double>(flow) / kScale);
        const bool hot = supply > target;
        const std::int64_t top = hot ? supply - half : target + half, bottom = hot ? target - half : supply + half;
        ends.push_back({top, hot ? flow : -flow});
        ends.push_back({bottom, hot ? -flow : flow});
    }
    set.Shift(10.0);
    EnergyTarget target(set.refs, 10.0);

    std::sort(ends.begin(), ends.end(), [](const ExactEnd& a, const ExactEnd& b) { return a.temperature > b.temperature; });
    // The cascade in units of 1e-12 kW.
    __int128 net = 0, heat = 0, lowest = 0;
    std::vector<std::pair<std::int64_t, __int128>> boundaries;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        if (i > 0 && ends[i].temperature != ends[i - 1].temperature) {
            heat += net * static_cast<__int128>(ends[i - 1].temperature - ends[i].temperature);
            boundaries.emplace_back(ends[i].temperature, heat);
            lowest = std::min(lowest, heat);
        }
        net += ends[i].cpChange;
    }
    std::vector<double> pinches;
    for (std::size_t i = 0; i + 1 < boundaries.size(); ++i)
        if (boundaries[i].second == lowest) pinches.push_back(static_cast<double>(boundaries[i].first) / kScale);
    const double hot = static_cast<double>(-lowest) / (1e12);
    const double cold = static_cast<double>(heat - lowest) / (1e12);

    EXPECT_NEAR(hot, target.GetHotUtility(), 1e-9 * hot);
    EXPECT_NEAR(cold, target.GetColdUtility(), 1e-9 * cold);
    ASSERT_EQ(pinches.size(), target.GetPinchList().size());
    for (std::size_t i = 0; i < pinches.size(); ++i) {
        const PinchRecord& p = target.GetPinchList()[i];
        EXPECT_NEAR(pinches[i], 0.5 * (p.dHotTemperature + p.dColdTemperature), 1e-9) << i;
    }
}

}  // namespace

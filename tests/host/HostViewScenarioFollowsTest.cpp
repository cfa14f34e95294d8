// What the scenario's views show right after an input changes, through `kestrin-host view`: the
// points of a range of DTmin after a stream's own contribution changes, the capital cost after
// the area-target option changes, and the answer of a refused write.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kRange = "open ChiSuperTargetPlot.200.2\nset DeltaTemp.201.0 10\nset DeltaTemp.201.1 20\n"
                           "set DeltaTemp.201.2 5\ncmd UserCalculate\n";

// Hot utility 20, 42.5, 65 kW at DTmin 10, 15, 20. C1's own contribution of 14 C makes the
// scenario's target 24 kW; the range's points, worked out with the old contribution, are gone
// until the range is worked out again (24, 41.5, 59 kW, as `supertarget` gives them).
TEST(HostViewScenarioFollows, AStreamsContributionClearsTheRangeOfDTmin) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      kRange + "get HeatFlow.333.[]\nopen MyOwnerObject\nset DeltaTemp.406.2 14\n" +  // 6-8
                                          "get HeatFlow.107\n" + kRange + "get HeatFlow.333.[]\n");  // 9-15
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ((std::vector<double>{20, 42.5, 65}), ScriptValues(run.out, 6)) << run.out;
    EXPECT_EQ((std::vector<double>{24}), ScriptValues(run.out, 9)) << run.out;
    EXPECT_TRUE(has(run.out, "10: open ChiSuperTargetPlot.200.2\n  text ChiSuperTargetPlot\n")) << run.out;
    EXPECT_EQ((std::vector<double>{24, 41.5, 59}), ScriptValues(run.out, 15)) << run.out;

    const HostRun cleared = RunViewScript(ExamplePath("four-streams.csv"),
                                          kRange + "open MyOwnerObject\nset DeltaTemp.406.2 14\n"
                                                   "open ChiSuperTargetPlot.200.2\nget HeatFlow.333.[]\n");
    ASSERT_EQ(0, cleared.exitCode) << cleared.out;
    EXPECT_TRUE(has(cleared.out, "9: get HeatFlow.333.[]\n  value kW\n")) << cleared.out;
}

// The area-target option 0 prices units on the countercurrent area: 7 x (10000 + 800 x
// (253.296/7)^0.8) = 168858.09; options 1 and 2 price shells on the shell-and-tube area, 215554.22
// as the targeting command gives it. Each follows the option at once, and the total annual cost
// with it.
TEST(HostViewScenarioFollows, TheCapitalCostFollowsTheAreaOptionAtOnce) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "set TargetMethod.101 0\nget Cost.654\nget CostPerTime.651\nget CostPerTime.657\n"
                                      "set TargetMethod.101 1\nget Cost.654\nget CostPerTime.651\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 2).size()) << run.out;
    EXPECT_NEAR(168858.09, ScriptValues(run.out, 2)[0], 0.01) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 3).size()) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 4).size()) << run.out;
    EXPECT_GT(ScriptValues(run.out, 3)[0], ScriptValues(run.out, 4)[0] + 1000.0) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 6).size()) << run.out;
    EXPECT_NEAR(215554.22, ScriptValues(run.out, 6)[0], 0.01) << run.out;
    EXPECT_NEAR(58841.46, ScriptValues(run.out, 7)[0], 0.01) << run.out;
}

}  // namespace

// kestrin-host optimise says it improved a network only when the objective it was asked to lower
// fell; a run whose result code says it kept a point of its own, but whose network costs what the
// start did, left the network unchanged. The equation-based engine's networks pass the
// exchangers' own feasibility check.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>

namespace {

// The number after "key": in `text` from `from` on; NaN when absent or null.
double field(const std::string& text, const std::string& key, std::size_t from = 0) {
    const std::size_t at = text.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return NAN;
    const char* start = text.c_str() + at + key.size() + 4;
    char* end = nullptr;
    const double v = std::strtod(start, &end);
    return end == start ? NAN : v;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Verdict {
    const char* name;
    const char* network;
    const char* options;
    bool improved;
};

void PrintTo(const Verdict& v, std::ostream* out) { *out << v.name; }

class OptimiseVerdict : public ::testing::TestWithParam<Verdict> {};

TEST_P(OptimiseVerdict, FollowsTheObjective) {
    const Verdict& v = GetParam();
    const std::string args = ExamplePath("four-streams.csv") + " " + ExamplePath(v.network) + " " + v.options;
    const HostRun json = RunHost("optimise " + args + " --json");
    ASSERT_EQ(json.exitCode, 0) << json.out;
    const std::size_t after = json.out.find("\"after\": ");
    const bool cost = has(v.options, "cost") || has(v.options, "equation-based");
    const char* key = cost ? "total_annual_cost" : "area_total";
    const double before = field(json.out, key, json.out.find("\"before\": "));
    const double result = field(json.out, key, after);
    EXPECT_EQ(result < before - 1e-6 * before, v.improved) << before << " -> " << result;
    EXPECT_TRUE(has(json.out, v.improved ? "\"improved\": true" : "\"improved\": false")) << json.out;
    const HostRun text = RunHost("optimise " + args);
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_TRUE(has(text.out, v.improved ? "Optimisation improved the network (result 4)"
                                         : "Optimisation left the network unchanged (result"))
        << text.out;
}

INSTANTIATE_TEST_SUITE_P(
    HostOptimiseVerdict, OptimiseVerdict,
    ::testing::Values(
        // The README's network: 261.952 m2 down to 185.782 m2 over its duties.
        Verdict{"DutiesLowerTheArea", "four-streams-network.csv", "", true},
        // The split network over its split fractions alone: the search ends where it began
        // (254.915327 m2 both), though its result code says it kept a point.
        Verdict{"SplitsAloneLeaveTheSplitNetwork", "four-streams-split-network.csv", "--duties off", false},
        Verdict{"NothingFreeLeavesTheNetwork", "four-streams-network.csv", "--duties off", false},
        Verdict{"EquationBasedLowersTheCost", "four-streams-split-network.csv", "--equation-based", true}),
    [](const ::testing::TestParamInfo<Verdict>& info) { return std::string(info.param.name); });

// Every automatic design of the four-stream problem that the equation-based engine improves comes
// back with every exchanger feasible and every approach at DTmin (10 K) or above.
TEST(HostOptimiseVerdict, EquationBasedDesignsStayFeasible) {
    ScratchFile saved("optimise-verdict", "designs.case", "", false);
    const HostRun designs = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 6 --save " + saved.path);
    ASSERT_EQ(designs.exitCode, 0) << designs.out;
    for (const char* name : {"A_Design0", "A_Design2", "A_Design3", "A_Design5"}) {
        const HostRun run =
            RunHost("optimise " + saved.path + " --design " + std::string(name) + " --equation-based --json");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_TRUE(has(run.out, "\"improved\": true")) << name << run.out;
        const std::size_t after = run.out.find("\"after\": ");
        EXPECT_FALSE(has(run.out.substr(after), "\"feasible\": false")) << name << run.out;
        for (std::size_t at = run.out.find("\"kind\": \"exchanger\"", after); at != std::string::npos;
             at = run.out.find("\"kind\": \"exchanger\"", at + 1))
            EXPECT_GE(field(run.out, "approach", at), 10.0 - 1e-6 * 200.0) << name;
    }
}

}  // namespace

// kestrin-host design and the design viewer on networks whose units overshoot their streams: a
// heater or cooler of negative duty is infeasible and leaves the utility cost unknown, and a
// crossed exchanger carries no log-mean approach or UA from an earlier, feasible state.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("results-hold", stem, content, write) {}
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kStreams = ExamplePath("four-streams.csv");

// The textbook network with E1 raised from 240 to 300 kW: C2 leaves E1 at 80 + 300 / 4 = 155 C,
// past its 140 C target, and H1 at 170 - 100 = 70 C, so the design ends C2 with a heater of
// -60 kW and H1 with a cooler of -60 kW. Neither can run; the priced duties are no utility cost.
const std::string kOvershoot = "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,300,1,1\nE2,H2,C1,90,1,3\n"
                               "E3,H1,C1,90,2,2\nE4,H2,C1,30,2,1\nHeater,HP Steam,C1,20,,4\n"
                               "Cooler,H2,Cooling Water,60,3,\n";

TEST(HostDesignResultsHold, NegativeHeatersAndCoolersAreInfeasibleAndTheUtilityCostIsNotAvailable) {
    Scratch table("overshoot.csv", kOvershoot);
    const HostRun text = RunHost("design " + kStreams + " " + table.path);
    EXPECT_EQ(0, text.exitCode) << text.out;
    for (const char* unit : {"Heater1 (heater) HP Steam -> C2: duty -60.00", "Cooler1 (cooler) H1 -> Cooling Water: duty -60.00"}) {
        const std::size_t at = text.out.find(unit);
        ASSERT_NE(std::string::npos, at) << unit << "\n" << text.out;
        const std::string line = text.out.substr(at, text.out.find('\n', at) - at);
        EXPECT_TRUE(has(line, ", INFEASIBLE")) << line;
    }
    EXPECT_TRUE(has(text.out, "  utility cost              not available\n")) << text.out;
    EXPECT_TRUE(has(text.out, "  total annual cost         not available\n")) << text.out;
    EXPECT_TRUE(has(text.out, "Note: utility cost is not available: infeasible Heater1, Cooler1;")) << text.out;

    const HostRun json = RunHost("design " + kStreams + " " + table.path + " --json");
    EXPECT_EQ(0, json.exitCode) << json.out;
    EXPECT_TRUE(has(json.out, "\"utility_cost\": null")) << json.out;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"name\": \"Heater1\"[^}]*\"feasible\": false"))) << json.out;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"name\": \"Cooler1\"[^}]*\"feasible\": false"))) << json.out;

    // The textbook network prices its 20 kW of steam and 60 kW of cooling water.
    const HostRun whole = RunHost("design " + kStreams + " " + ExamplePath("four-streams-network.csv") + " --json");
    ASSERT_EQ(0, whole.exitCode) << whole.out;
    EXPECT_GT(JsonNumber(whole.out, "utility_cost"), 0.0) << whole.out;
    EXPECT_FALSE(has(whole.out, "\"feasible\": false")) << whole.out;
}

// E3 of the textbook network runs H1 90 -> 60 C against C1 35 -> 80 C at 90 kW: 10 and 25 K,
// LMTD 15 / ln 2.5 = 16.37 C. Raised to 150 kW in
// the design viewer, C1 would leave it at 110 C, above H1's 90 C inlet: the exchanger is crossed
// and shows no log-mean approach, nor the heater that now runs at -40 kW.
TEST(HostDesignResultsHold, ACrossedExchangerKeepsNoLogMeanApproachOfItsLastFeasibleState) {
    Scratch saved("textbook.case", "", false);
    ASSERT_EQ(0, RunHost("design " + kStreams + " " + ExamplePath("four-streams-network.csv") + " --save " + saved.path)
                     .exitCode);
    Scratch script("crossed.txt", "get DeltaTemp.702.[]\nset HeatFlow.304.2 150\nget HeatFlow.304.[]\nget DeltaTemp.702.[]\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    std::smatch before;
    ASSERT_TRUE(std::regex_search(run.out, before, std::regex("1: get DeltaTemp.702.\\[\\]\n  value [-0-9.]+ [-0-9.]+ ([-0-9.]+) ")))
        << run.out;
    EXPECT_NEAR(15.0 / std::log(2.5), std::stod(before[1]), 1e-6);
    EXPECT_TRUE(has(run.out, "3: get HeatFlow.304.[]\n  value 240 30 150 90 -40 60 kW")) << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("4: get DeltaTemp.702.\\[\\]\n  value [-0-9.]+ [-0-9.]+ empty empty empty [-0-9.]+ C")))
        << run.out;
}

// The F factor of N 1-2 shells in series (Bowman, Mueller and Nagle), each shell taking its share
// of the overall effectiveness P at the capacity ratio R.
double ShellsFt(double p, double r, int shells) {
    const double x = std::pow((1.0 - p * r) / (1.0 - p), 1.0 / shells);
    const double p1 = (x - 1.0) / (x - r);
    const double s = std::sqrt(r * r + 1.0);
    return s / (r - 1.0) * std::log((1.0 - p1) / (1.0 - r * p1)) /
           std::log((2.0 - p1 * (r + 1.0 - s)) / (2.0 - p1 * (r + 1.0 + s)));
}

// E3 as a shell-and-tube exchanger: H1 90 -> 60 C against C1 35 -> 80 C (R = 30 / 45, P = 45 / 55).
// Two shells would give F 0.7295, below the 0.8 an exchanger is laid out for; three give 0.8979,
// and the area is 90 / (0.1 x 0.8979 x 15 / ln 2.5) m2.
TEST(HostDesignResultsHold, AShellAndTubeExchangerTakesWholeShellsUntilItsFtFactorIsAtLeast08) {
    const double r = 30.0 / 45.0, p = 45.0 / 55.0;
    ASSERT_NEAR(0.7295, ShellsFt(p, r, 2), 5e-5);
    const double ft = ShellsFt(p, r, 3);
    ASSERT_NEAR(0.8979, ft, 5e-5);
    Scratch table("shells.csv", "name,hot,cold,duty,hot_order,cold_order,type\nE1,H1,C2,240,1,1,countercurrent\n"
                                "E2,H2,C1,90,1,3,countercurrent\nE3,H1,C1,90,2,2,shell-and-tube\n"
                                "E4,H2,C1,30,2,1,countercurrent\n");
    const HostRun run = RunHost("design " + kStreams + " " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t e3 = run.out.find("\"name\": \"E3\"");
    ASSERT_NE(std::string::npos, e3) << run.out;
    EXPECT_EQ(3.0, JsonNumber(run.out, "shells", e3)) << run.out;
    EXPECT_NEAR(ft, JsonNumber(run.out, "ft", e3), 1e-6) << run.out;
    EXPECT_NEAR(90.0 / (0.1 * ft * 15.0 / std::log(2.5)), JsonNumber(run.out, "area", e3), 1e-4) << run.out;
}

}  // namespace

// A duty typed on a unit is either none (0) or one a case holds: a thousandth of a kW or more.
// A trace of 1e-9 kW would make a "complete" unit that carries nothing.
TEST(HostDesignResultsHold, ADutyBelowAThousandthOfAKilowattIsRefusedAndZeroTaken) {
    Scratch saved("trace.case", "", false);
    ASSERT_EQ(0, RunHost("design " + kStreams + " " + ExamplePath("four-streams-network.csv") + " --save " + saved.path)
                     .exitCode);
    Scratch script("trace.txt", "expect SpecRange\nset HeatFlow.304.2 1e-9\nexpect SpecRange\nset HeatFlow.304.2 -1e-9\n"
                                "get HeatFlow.304.[]\nset HeatFlow.304.2 0.001\nset HeatFlow.304.2 0\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: set HeatFlow.304.2 1e-9\n  result 0")) << run.out;
    EXPECT_TRUE(has(run.out, "4: set HeatFlow.304.2 -1e-9\n  result 0")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get HeatFlow.304.[]\n  value 240 30 90 90 20 60 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "6: set HeatFlow.304.2 0.001\n  result 1")) << run.out;
    EXPECT_TRUE(has(run.out, "7: set HeatFlow.304.2 0\n  result 1")) << run.out;
}

// kestrin-host optimise: the optimiser's status line, printed after the verdict, quotes the
// objective of the network the run kept (the copy it saves, or the network it started from when
// it kept nothing), not the last trial point of its searches.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The number after "Objective function: " on the verdict line; NaN when the line has none.
double StatusObjective(const std::string& out) {
    const std::size_t line = out.find("Optimisation ");
    if (line == std::string::npos) return NAN;
    const std::size_t end = out.find('\n', line);
    const std::size_t at = out.find("Objective function: ", line);
    if (at == std::string::npos || at > end) return NAN;
    return std::atof(out.c_str() + at + 20);
}

// The figure after "after:  area " or after ", total annual cost " on the "after:" line.
double AfterFigure(const std::string& out, const std::string& key) {
    const std::size_t line = out.find("  after:  ");
    if (line == std::string::npos) return NAN;
    const std::size_t at = out.find(key, line);
    return at == std::string::npos ? NAN : std::atof(out.c_str() + at + key.size());
}

struct Trial {
    const char* name;
    const char* network;
    const char* options;
};

void PrintTo(const Trial& r, std::ostream* out) { *out << r.name; }

class OptimiseStatus : public ::testing::TestWithParam<Trial> {};

// Least area: the status line's objective is the kept network's area (printed to six figures).
TEST_P(OptimiseStatus, QuotesTheKeptNetworksArea) {
    const Trial& r = GetParam();
    const HostRun run = RunHost("optimise " + ExamplePath("four-streams.csv") + " " + ExamplePath(r.network) + " " +
                                r.options + " 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const double area = AfterFigure(run.out, "area ");
    ASSERT_GT(area, 0.0) << run.out;
    EXPECT_NEAR(StatusObjective(run.out), area, 5e-6 * area) << run.out;
    const std::size_t line = run.out.find("Optimisation ");
    EXPECT_EQ(" m2\n", run.out.substr(run.out.find('\n', line) - 3, 4)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    HostOptimiseStatus, OptimiseStatus,
    ::testing::Values(
        // Improved: the last trial of the split network's search (205.34 m2) is not the kept 185.79 m2.
        Trial{"SplitNetworkImproved", "four-streams-split-network.csv", ""},
        Trial{"NetworkImproved", "four-streams-network.csv", ""},
        // A search that ends where it began, and a run with nothing to move (result 3).
        Trial{"SplitsAloneKeepTheStart", "four-streams-split-network.csv", "--duties off"},
        Trial{"NothingFreeKeepsTheStart", "four-streams-network.csv", "--duties off"}),
    [](const ::testing::TestParamInfo<Trial>& info) { return std::string(info.param.name); });

// Least cost: the objective is the cost per unit of time, so every run's status figure stands in
// one ratio to the total annual cost of the network it kept.
TEST(HostOptimiseStatus, QuotesTheKeptNetworksCostInOneRatio) {
    std::vector<double> ratios;
    for (const Trial& r : {Trial{"", "four-streams-network.csv", ""}, Trial{"", "four-streams-split-network.csv", ""},
                         Trial{"", "four-streams-split-network.csv", "--duties off"}}) {
        const HostRun run = RunHost("optimise " + ExamplePath("four-streams.csv") + " " + ExamplePath(r.network) +
                                    " --objective cost " + r.options + " 2>/dev/null");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const double cost = AfterFigure(run.out, "total annual cost ");
        ASSERT_GT(cost, 0.0) << run.out;
        ratios.push_back(StatusObjective(run.out) / cost);
        // The figure says what it is: a cost per second, with the cost per year it comes to.
        const std::size_t line = run.out.find("Optimisation ");
        const std::string verdict = run.out.substr(line, run.out.find('\n', line) - line);
        EXPECT_NE(std::string::npos, verdict.find(" per second (")) << verdict;
        const std::size_t year = verdict.find(" per second (");
        EXPECT_NEAR(std::atof(verdict.c_str() + year + 13), StatusObjective(run.out) * 31536000.0, 1.0) << verdict;
    }
    // The status prints six decimals of a figure near 0.001: three figures of the ratio hold.
    for (double ratio : ratios) EXPECT_NEAR(ratio, ratios.front(), 2e-3 * ratios.front());
}

}  // namespace

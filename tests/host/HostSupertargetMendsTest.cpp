// What supertarget reports: each point is the targets at its DTmin, and the least cost is an
// optimum only where the cost rises on both sides of it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

std::string Field(const std::string& json, const std::string& key, std::size_t from = 0) {
    std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

// The four streams at DTmin 5: supertarget once gave 25 shells where targets gives 27.
TEST(HostSupertargetPoint, EqualsTheTargetsAtItsDTminInEveryFigure) {
    HostRun targets = RunHost("targets " + example("four-streams.csv") + " --dtmin 5 --json");
    HostRun super = RunHost("supertarget " + example("four-streams.csv") + " --from 4 --to 6 --step 1 --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_EQ(0, super.exitCode) << super.out;
    const std::size_t point = super.out.find("{\"dtmin\": 5,");
    ASSERT_NE(std::string::npos, point) << super.out;
    for (const char* key : {"hot_utility", "cold_utility", "area_countercurrent", "area_shell_tube", "shells",
                            "capital_cost", "operating_cost", "total_annual_cost"})
        EXPECT_EQ(Field(targets.out, key), Field(super.out, key, point)) << key << "\n" << super.out;
    EXPECT_EQ(Field(targets.out, "units_pinch"), Field(super.out, "units_pinch", point));
}

struct Scratch {
    std::string path;
    Scratch(const std::string& stem, const std::string& content)
        : path("/tmp/kestrin-optimum-" + std::to_string(getpid()) + "-" + stem + ".csv") {
        std::ofstream(path) << content;
    }
    ~Scratch() { std::remove(path.c_str()); }
};

// Between DTmin 9 and 9.3 the four streams' cost falls towards the upper end: no optimum. The
// shells once read 23 at 9.15 alone among 24s, a curve point a rounding below the pinch counted
// in the region below it; every point now reads 24, so no dip is there to be taken for a minimum.
TEST(HostSupertargetOptimum, AShellCountThatJittersIsNoMinimum) {
    HostRun run = RunHost("supertarget " + example("four-streams.csv") + " --from 9 --to 9.3 --step 0.05");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("optimum DTmin: none")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the least total annual cost (60648.27 per year) is at its edge, DTmin 9.300 C"))
        << run.out;
    for (const char* dtmin : {"9.000", "9.050", "9.100", "9.150", "9.200", "9.250", "9.300"}) {
        const std::size_t row = run.out.find(std::string("   ") + dtmin + " ");
        ASSERT_NE(std::string::npos, row) << dtmin << "\n" << run.out;
        const std::string line = run.out.substr(row, run.out.find('\n', row) - row);
        EXPECT_NE(std::string::npos, line.find("  7     24  ")) << line;
    }
}

// One hot and one cold stream: cheap exchange below DTmin 10 (no hot utility), dearer steam above;
// the cost falls from 47,197 to 41,596 at 26 and rises again to 46,519 at 40, more than a shell
// could make on either side.
TEST(HostSupertargetOptimum, ACostThatRisesOnBothSidesHasItsOptimum) {
    Scratch table("optimum", "name,supply,target,cp,h,kind\nH1,200,60,10,0.5,process\nC1,40,190,9,0.5,process\n"
                             "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    HostRun run = RunHost("supertarget " + table.path + " --from 2 --to 40 --step 2 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("26", Field(run.out, "optimum")) << run.out;
}

}  // namespace

namespace {

// A table of two utilities and no process stream: the targets need no utility at all, so there
// is nothing the utilities fail to cover. Each supertarget point says what `targets` says at its
// DTmin: no area, units or shells (no network), and costs of 0; no DTmin is an optimum, for want of
// a network, not of a cost.
TEST(HostSupertargetPoint, AUtilitiesOnlyTableNeedsNothingTheUtilitiesCouldFailToCover) {
    ScratchFile table("supertarget", "utilities.csv",
                      "name,supply,target,cp,h,kind\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const HostRun targets = RunHost("targets " + table.path + " --json");
    const HostRun super = RunHost("supertarget " + table.path + " --from 10 --to 11 --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_EQ(0, super.exitCode) << super.out;
    const std::size_t point = super.out.find("{\"dtmin\": 10,");
    ASSERT_NE(std::string::npos, point) << super.out;
    for (const char* key : {"hot_utility", "cold_utility", "area_countercurrent", "units_pinch", "shells", "capital_cost",
                            "operating_cost", "total_annual_cost"})
        EXPECT_EQ(Field(targets.out, key), Field(super.out, key, point)) << key << "\n" << super.out;
    EXPECT_EQ(std::string::npos, super.out.find("cannot cover")) << super.out;
    // Each point's total annual cost reads 0: the reason there is no optimum is the missing network.
    EXPECT_EQ(std::string::npos, super.out.find("no point has a total annual cost")) << super.out;
    EXPECT_NE(std::string::npos, super.out.find("no optimum: without process streams")) << super.out;
}

}  // namespace

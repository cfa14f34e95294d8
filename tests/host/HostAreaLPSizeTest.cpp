// An area LP larger than the solver can hold is refused before it is built: the run names the
// columns it would need and fails at once, for targets and supertargeting alike, instead of
// running out of memory. A small one is solved as before.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// `streams` random process streams (hot ones named H..., cold ones C...) and two utilities.
std::string RandomTable(int streams, const std::string& stem) {
    const std::string path = "/tmp/kestrin-host-test-" + std::to_string(getpid()) + "-" + stem + ".csv";
    std::ofstream table(path);
    table << "name,supply,target,cp,h,kind\n";
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> t(50.0, 380.0), cp(1.0, 50.0), h(0.1, 1.0);
    for (int i = 0; i < streams; ++i) {
        const double a = t(rng);
        double b = t(rng);
        while (a - b < 1.0 && b - a < 1.0) b = t(rng);
        table << (a > b ? "H" : "C") << i << "," << a << "," << b << "," << cp(rng) << "," << h(rng) << ",process\n";
    }
    table << "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    return path;
}

// The first two hot and cold streams of the table, forbidden in pairs.
std::string TwoForbiddenMatches(int streams) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> t(50.0, 380.0), other(0.0, 1.0);
    std::vector<std::string> hot, cold;
    for (int i = 0; i < streams; ++i) {
        const double a = t(rng);
        double b = t(rng);
        while (a - b < 1.0 && b - a < 1.0) b = t(rng);
        other(rng);
        other(rng);
        (a > b ? hot : cold).push_back((a > b ? "H" : "C") + std::to_string(i));
    }
    return " --forbid " + hot[0] + ":" + cold[0] + " --forbid " + hot[1] + ":" + cold[1];
}

TEST(HostAreaLPSize, ATooLargeModelIsRefusedBeforeItIsBuilt) {
    const std::string large = RandomTable(500, "large");
    const std::string forbid = TwoForbiddenMatches(500);
    HostRun targets = RunHost("targets " + large + forbid + " --json");
    HostRun sweep = RunHost("supertarget " + large + forbid + " --from 10 --to 11");
    // Asked for without a forbidden match, the advice is the Bath area, not dropping --forbid.
    HostRun asked = RunHost("targets " + large + " --area-method lp");
    std::remove(large.c_str());
    EXPECT_EQ(1, targets.exitCode) << targets.out;
    EXPECT_NE(std::string::npos, targets.out.find("kestrin-host: the area LP would need ")) << targets.out;
    EXPECT_NE(std::string::npos, targets.out.find(" columns, more than it can solve in reasonable time")) << targets.out;
    EXPECT_EQ(std::string::npos, targets.out.find("{\"dtmin\"")) << targets.out;
    EXPECT_EQ(1, sweep.exitCode) << sweep.out;
    EXPECT_NE(std::string::npos, sweep.out.find("the area LP would need ")) << sweep.out;
    EXPECT_NE(std::string::npos, targets.out.find("forbid fewer matches")) << targets.out;
    EXPECT_EQ(1, asked.exitCode) << asked.out;
    EXPECT_NE(std::string::npos, asked.out.find("take the Bath area with --area-method bath")) << asked.out;
    EXPECT_EQ(std::string::npos, asked.out.find("forbid")) << asked.out;

    const std::string small = RandomTable(8, "small");
    HostRun solved = RunHost("targets " + small + TwoForbiddenMatches(8) + " --json");
    std::remove(small.c_str());
    EXPECT_EQ(0, solved.exitCode) << solved.out;
    EXPECT_EQ(std::string::npos, solved.out.find("area_countercurrent\": null")) << solved.out;
}

}  // namespace

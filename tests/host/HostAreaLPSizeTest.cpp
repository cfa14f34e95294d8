// A table too large for the area LP over its own temperature intervals is answered over a grid of
// temperatures, and says so; a small one is solved over its own intervals as before.
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

TEST(HostAreaLPSize, ATableTooLargeForItsOwnIntervalsIsAnsweredOverAGrid) {
    // 450 streams: more than 100,000 load rows over their own intervals.
    const std::string large = RandomTable(450, "large");
    HostRun targets = RunHost("targets " + large + TwoForbiddenMatches(450) + " --json");
    std::remove(large.c_str());
    EXPECT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_EQ(std::string::npos, targets.out.find("area_countercurrent\": null")) << targets.out;
    EXPECT_EQ(std::string::npos, targets.out.find("area_shell_tube\": null")) << targets.out;
    EXPECT_EQ(std::string::npos, targets.out.find("area_shell_tube\": 0,")) << targets.out;
    EXPECT_NE(std::string::npos, targets.out.find("too large for the area LP over its own temperature intervals: it was "
                                                  "solved over a grid of "))
        << targets.out;

    const std::string small = RandomTable(8, "small");
    HostRun solved = RunHost("targets " + small + TwoForbiddenMatches(8) + " --json");
    std::remove(small.c_str());
    EXPECT_EQ(0, solved.exitCode) << solved.out;
    EXPECT_EQ(std::string::npos, solved.out.find("area_countercurrent\": null")) << solved.out;
    EXPECT_EQ(std::string::npos, solved.out.find("solved over a grid")) << solved.out;
}

}  // namespace

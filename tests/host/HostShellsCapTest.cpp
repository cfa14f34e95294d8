// The shells target of a table large enough for a pinch region to reach the count's cap is
// reported as "at least" the cap, not as a target; a small table's is a plain count.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

TEST(HostShellsCap, ACappedCountIsReportedAsSuch) {
    const std::string path = "/tmp/kestrin-host-test-" + std::to_string(getpid()) + "-capped.csv";
    {
        std::ofstream table(path);
        table << "name,supply,target,cp,h,kind\n";
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> t(50.0, 380.0), cp(1.0, 50.0);
        for (int i = 0; i < 300; ++i) {
            const double a = t(rng);
            double b = t(rng);
            while (a - b < 1.0 && b - a < 1.0) b = t(rng);
            table << "S" << i << "," << a << "," << b << "," << cp(rng) << ",0.5,process\n";
        }
        table << "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    }
    HostRun text = RunHost("targets " + path);
    HostRun json = RunHost("targets " + path + " --json");
    // Every point of a supertargeting run says so too.
    HostRun sweep = RunHost("supertarget " + path + " --from 10 --to 12");
    HostRun sweepJson = RunHost("supertarget " + path + " --from 10 --to 12 --json");
    std::remove(path.c_str());
    ASSERT_EQ(0, sweep.exitCode) << sweep.out;
    EXPECT_NE(std::string::npos, sweep.out.find("Note: shells at least the count shown at 3 of 3 points (marked *): a "
                                                "pinch region reached the count's cap"))
        << sweep.out;
    EXPECT_EQ(3, std::count(sweep.out.begin(), sweep.out.end(), '*') - 1) << sweep.out;
    EXPECT_NE(std::string::npos, sweepJson.out.find("\"shells_capped\": true, \"capital_cost\"")) << sweepJson.out;
    EXPECT_EQ(std::string::npos, sweepJson.out.find("\"shells_capped\": false")) << sweepJson.out;
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("shells                    at least ")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("(a pinch region reached the count's cap)")) << text.out;
    EXPECT_NE(std::string::npos, json.out.find(", \"shells_capped\": true")) << json.out;

    HostRun small = RunHost("targets " + std::string(KESTRIN_EXAMPLES) + "/four-streams.csv --json");
    HostRun smallSweep = RunHost("supertarget " + std::string(KESTRIN_EXAMPLES) + "/four-streams.csv --from 10 --to 11");
    EXPECT_EQ(std::string::npos, smallSweep.out.find('*')) << smallSweep.out;
    EXPECT_NE(std::string::npos, small.out.find("\"shells\": 22, \"shells_capped\": false")) << small.out;
}

}  // namespace

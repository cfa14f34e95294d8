// A utility cut into two segments is the same utility: it places the load the uncut one places,
// whatever the specific heats of its segments (one mass flow through both), and a network with a
// heater on each segment is saved with the duties each segment carries.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kTable = "name,supply,target,cp,h,kind\n"
                     "H1,200,150,2,0.2,process\nH1,150,80,4,0.2,process\nH2,160,40,2.5,0.2,process\n"
                     "H3,120,50,1.5,0.2,process\nC1,30,230,2,0.2,process\nC2,60,150,4,0.2,process\n"
                     "Hot Oil,300,200,,0.2,utility\nCooling Water,20,30,,0.2,utility\n";

// Hot Oil cut at 250 C in its segment table, each segment given a specific heat.
std::string Cut(double upper, double lower) {
    return "set RowPos.106 0\ncmd ViewSegTableViewU\nopen @last\nset WhereToIns.200 0\n"
           "expect InsertedSegmentIncomplete\ncmd InsSeg\nset Temperature.101.0 250\n"
           "set SpecificHeat.100.0 " + std::to_string(upper) + "\nset SpecificHeat.100.1 " + std::to_string(lower) + "\n";
}

TEST(HostUtilityInSegments, ACutUtilityPlacesTheLoadTheUncutOnePlaces) {
    ScratchFile table("utility-segments", "table.csv", kTable);
    const HostRun uncut = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, uncut.exitCode) << uncut.out;
    // The problem table of the six process streams at DTmin 10 needs 95 kW of heat.
    EXPECT_NEAR(95.0, JsonNumber(uncut.out, "hot_utility"), 1e-6) << uncut.out;
    EXPECT_NE(std::string::npos, uncut.out.find("{\"name\": \"Hot Oil\", \"load\": 95}")) << uncut.out;
    const double area = JsonNumber(uncut.out, "area_countercurrent");
    const struct {
        double upper, lower;
        bool sameArea;  // a cut that changes nothing physical changes no area either
    } cuts[] = {{3, 3, true}, {3, 2.5, false}, {2, 3, false}};
    // The scenario's utility rows in both views and the operating cost, at once and reopened: 95 kW
    // of Hot Oil at its default price of 110.376 and 120 kW of cooling water at 6.70001.
    const std::string reads = "get HeatFlow.440.[]\nget HeatFlow.450.[]\nget CostPerTime.657\n";
    const double operating = 95 * 110.376 + 120 * 6.70001;
    const auto checkReads = [&](const HostRun& run, int first) {
        EXPECT_EQ((std::vector<double>{95, 120}), ScriptValues(run.out, first)) << run.out;
        EXPECT_EQ((std::vector<double>{95, 120}), ScriptValues(run.out, first + 1)) << run.out;
        ASSERT_EQ(1u, ScriptValues(run.out, first + 2).size()) << run.out;
        EXPECT_NEAR(operating, ScriptValues(run.out, first + 2)[0], 1e-6 * operating) << run.out;
    };
    for (const auto& c : cuts) {
        ScratchFile saved("utility-segments", "cut.kcase", "", false);
        // The segment table shows each segment's load and the rate it gives over its 50 C, the
        // lower segment's as much as the upper one's.
        const std::string segmentReads = "get HeatFlow.100.[]\nget HeatCapacityFlow.100.[]\n";
        const HostRun view = RunViewScript(table.path, Cut(c.upper, c.lower) + segmentReads + "open MyOwnerObject\n" + reads,
                                           " --save " + saved.path);
        ASSERT_EQ(0, view.exitCode) << view.out;
        const std::vector<double> loads = ScriptValues(view.out, 10), rates = ScriptValues(view.out, 11);
        ASSERT_EQ(2u, loads.size()) << view.out;
        ASSERT_EQ(2u, rates.size()) << view.out;
        EXPECT_NEAR(95.0, loads[0] + loads[1], 1e-6) << view.out;
        for (int i = 0; i < 2; ++i) EXPECT_NEAR(loads[i] / 50.0, rates[i], 1e-6) << "segment " << i << view.out;
        checkReads(view, 13);
        const HostRun reopened = RunViewScript(saved.path, reads);
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        checkReads(reopened, 1);
        const HostRun cut = RunHost("targets " + saved.path + " --json");
        ASSERT_EQ(0, cut.exitCode) << c.upper << "/" << c.lower << cut.out;
        EXPECT_NE(std::string::npos, cut.out.find("{\"name\": \"Hot Oil\", \"load\": 95}")) << c.upper << "/" << c.lower << cut.out;
        EXPECT_GT(JsonNumber(cut.out, "area_countercurrent"), 0.0) << cut.out;
        if (c.sameArea) {
            EXPECT_NEAR(area, JsonNumber(cut.out, "area_countercurrent"), 1e-6 * area) << cut.out;
        }
    }
}

// C1 100 -> 200 C (cp 1) heated by Hot Oil 300 -> 200 C through two heaters of 40 and 60 kW; Hot
// Oil cut at 250 C with specific heats 3 above and 2 below carries 3 x 50 : 2 x 50, that is 60 kW
// from 300 to 250 C and 40 kW from 250 to 200 C: the network is right, and the case saves.
TEST(HostUtilityInSegments, TwoHeatersOnACutUtilityAreSaved) {
    ScratchFile table("utility-segments", "heaters.csv", "name,supply,target,cp,h,kind\nC1,100,200,1,0.2,process\n"
                                                         "Hot Oil,300,200,,0.2,utility\n");
    ScratchFile network("utility-segments", "network.csv", "name,hot,cold,duty,hot_order,cold_order\n"
                                                           "Heater1,Hot Oil,C1,40,,1\nHeater2,Hot Oil,C1,60,,2\n");
    ScratchFile designed("utility-segments", "designed.kcase", "", false), cut("utility-segments", "cut.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + table.path + " " + network.path + " --save " + designed.path).exitCode);
    const HostRun view = RunViewScript(designed.path, Cut(3, 2), " --save " + cut.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    const HostRun reopened = RunHost("design " + cut.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_NE(std::string::npos, reopened.out.find("Heater1 (heater) Hot Oil -> C1: duty 40.00, hot 250.00 -> 200.00"))
        << reopened.out;
    EXPECT_NE(std::string::npos, reopened.out.find("Heater2 (heater) Hot Oil -> C1: duty 60.00, hot 300.00 -> 250.00"))
        << reopened.out;
}

}  // namespace

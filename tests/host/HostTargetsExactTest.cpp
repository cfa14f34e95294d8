// Targets that kestrin-host must get exactly right on tables that once went wrong: forbidden
// matches, utility pinches, near-equal shifted temperatures and default utilities' approaches.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string TableFile(const std::string& rows, const std::string& header = "name,supply,target,cp,h,kind") {
    return header + "\n" + rows;
}

std::string Field(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}", at) - at);
}

double Number(const std::string& json, const std::string& key) { return std::atof(Field(json, key).c_str()); }

// How often `needle` occurs in `text`.
int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
    return n;
}

}  // namespace

// C4 needs 7.23 x 67.7 = 489.471 kW; with H0 and H5 forbidden to it only H2 (3.3 x 21.5 = 70.95 kW)
// may heat it, so the hot utility is at least 418.521 kW, and the placed steam says the same.
TEST(HostForbiddenTarget, AForbiddenMatchIsNeverBoughtToSaveUtility) {
    ScratchFile table("exact", "forbid.csv",
                      TableFile("H0,222,49.5,5.84,0.979,process\nC1,108.1,142.9,4.48,0.768,process\n"
                                "H2,224,202.5,3.3,0.399,process\nH3,131.3,118.7,0.95,0.709,process\n"
                                "C4,156.8,224.5,7.23,0.339,process\nH5,126.9,51.4,7.51,0.93,process\n"
                                "HP Steam,,,,,utility\nCooling Water,,,,,utility\n"));
    HostRun run = RunHost("targets " + table.path + " --dtmin 5 --forbid H0:C4 --forbid H5:C4 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NEAR(418.521, Number(run.out, "hot_utility"), 1e-3) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("placed hot utility loads add up")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("placed cold utility loads add up")) << run.out;
}

// With HP 80 kW and MP 20 kW placed, the cascade of process and utilities is zero at shifted 195
// (H1's supply), 170 (MP Steam's top) and 135 (the process pinch). Units by region, N - 1 each:
// above 195 C1 and HP (1); 170-195 H1, C1 (1); 135-170 H1, C1, C2, MP (3); below 135 H1, H2, C1,
// C2, cooling water (4): 9 in all.
TEST(HostUtilityPinch, EveryZeroOfTheCascadeWithUtilitiesDividesTheUnits) {
    const std::string rows =
        "H1,200,60,2,0.5,process\nH2,140,40,2,0.5,process\nC1,100,230,2,0.5,process\nC2,50,150,1,0.5,process\n"
        "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    ScratchFile withMP("exact", "mp.csv", TableFile(rows + "MP Steam,,,,,utility\n"));
    ScratchFile withoutMP("exact", "nomp.csv", TableFile(rows));
    HostRun run = RunHost("targets " + withMP.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string utilityPinches = run.out.substr(run.out.find("\"utility_pinches\""));
    EXPECT_NE(std::string::npos, utilityPinches.find("\"shifted\": 195")) << run.out;
    EXPECT_NE(std::string::npos, utilityPinches.find("\"shifted\": 170")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"process_pinches\": [{\"hot\": 140, \"cold\": 130, \"shifted\": 135"))
        << run.out;
    EXPECT_EQ(9, Number(run.out, "units_pinch")) << run.out;
    EXPECT_EQ(6, Number(run.out, "units_overall")) << run.out;

    // Without MP Steam the only zero is the process pinch: above it H1, C1, C2, HP (3), below it 4.
    HostRun single = RunHost("targets " + withoutMP.path + " --json");
    ASSERT_EQ(0, single.exitCode) << single.out;
    EXPECT_NE(std::string::npos, single.out.find("\"utility_pinches\": []")) << single.out;
    EXPECT_EQ(7, Number(single.out, "units_pinch")) << single.out;
}

// H1 shifted by half its 17.5 contribution starts at 153.2 - 8.75 and C1 by half its 7.1 at
// 140.9 + 3.55: both 144.45, which the arithmetic makes two doubles one unit in the last place
// apart. They are one boundary and one pinch; above it C1 and HP steam (1 unit), below it H1, C2
// and cooling water (2 units).
TEST(HostNearEqualTemperatures, EndsThatDifferByRoundingMakeOnePinch) {
    ScratchFile table("exact", "near.csv",
                      TableFile("H1,153.2,60,3,0.5,process,17.5\nC1,140.9,200,3,0.5,process,7.1\n"
                                "C2,40,130,2,0.5,process,\nHP Steam,,,,,utility,\nCooling Water,,,,,utility,\n",
                                "name,supply,target,cp,h,kind,dtmin_contribution"));
    HostRun run = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(1, Count(run.out, "\"shifted\": 144.45")) << run.out;
    EXPECT_NEAR(177.3, Number(run.out, "hot_utility"), 1e-6) << run.out;
    EXPECT_NEAR(99.6, Number(run.out, "cold_utility"), 1e-6) << run.out;
    EXPECT_EQ(3, Number(run.out, "units_pinch")) << run.out;
    EXPECT_EQ(4, Number(run.out, "units_overall")) << run.out;
}

// Cooling water (20 -> 25 C) asks for an approach of 5 C, as `info` lists it: at DTmin 15 it
// still takes H2's heat down to 30 C, so every target is available. A row that names the
// utility and gives an approach of its own (10) takes that one, and cooling water then cannot
// reach 30 C at DTmin 15.
TEST(HostDefaultUtilityApproach, ANameOnlyUtilityTakesItsOwnApproachUnlessTheRowGivesOne) {
    HostRun own = RunHost("targets " + ExamplePath("four-streams.csv") + " --dtmin 15 --json");
    ASSERT_EQ(0, own.exitCode) << own.out;
    EXPECT_NE("null", Field(own.out, "units_pinch")) << own.out;
    EXPECT_NE("null", Field(own.out, "area_countercurrent")) << own.out;
    EXPECT_NEAR(82.5, Number(own.out, "cold_utility"), 1e-9) << own.out;

    ScratchFile table("exact", "approach.csv",
                      TableFile("H1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\nC1,20,135,2,0.2,process,\n"
                                "C2,80,140,4,0.2,process,\nHP Steam,,,,,utility,\nCooling Water,,,,,utility,10\n",
                                "name,supply,target,cp,h,kind,dtmin_contribution"));
    HostRun given = RunHost("targets " + table.path + " --dtmin 15 --json");
    ASSERT_EQ(0, given.exitCode) << given.out;
    EXPECT_EQ("null", Field(given.out, "units_pinch")) << given.out;
    EXPECT_NE(std::string::npos, given.out.find("the utilities cannot cover the targets")) << given.out;
}

// H3 (120 -> 93 C, shifted 88) ends within DTmin / 2 of the pinch (shifted 85): it lies above the
// pinch only. Above it H1, H2, H3, C1, C2 and HP steam (5 units), below it H1, H2, C1 and cooling
// water (3 units): 8 with the pinch division, N - 1 = 6 overall.
TEST(HostUnitsNearThePinch, AStreamEndingJustAboveThePinchCountsAboveItOnly) {
    ScratchFile table("exact", "near-pinch.csv",
                      FileContents(ExamplePath("four-streams.csv")) + "H3,120,93,0.1,0.2,process\n");
    HostRun run = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"process_pinches\": [{\"hot\": 90, \"cold\": 80, \"shifted\": 85"))
        << run.out;
    EXPECT_EQ(8, Number(run.out, "units_pinch")) << run.out;
    EXPECT_EQ(6, Number(run.out, "units_overall")) << run.out;
}

// A range of one point is a range: its one point is the targets at that DTmin; a range that runs
// backwards is still refused.
TEST(HostSupertargetRange, ASinglePointIsAValidRange) {
    HostRun run = RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 10 --to 10 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(1, Count(run.out, "\"dtmin\": ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"dtmin\": 10, \"hot_utility\": 20, \"cold_utility\": 60")) << run.out;
    HostRun backwards = RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 10 --to 9.5");
    EXPECT_NE(0, backwards.exitCode) << backwards.out;
}

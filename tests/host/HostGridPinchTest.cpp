// kestrin-host grid --pinch on the 4SP1 problem (H1 175 -> 45 C, CP 10; H2 125 -> 65, CP 40;
// C1 20 -> 155, CP 20; C2 40 -> 112, CP 15; DTmin 10: pinch 125 / 115 C, 300 kW of steam,
// 220 kW of cooling water). Its minimum-energy design, worked by hand: above the pinch E1 takes
// H1 175 -> 125 into C1 115 -> 140 (500 kW) and the heater takes C1 on to 155; below it H2,
// which enters at the pinch, splits between E3 (1320 kW into C1 49 -> 115) and E4 (1080 kW,
// the whole of C2), E2 takes H1 125 -> 67 into C1 20 -> 49 and the cooler takes H1 on to 45.
// Every unit and split is drawn on its own side of the pinch column, every stream starts where
// its supply temperature lies.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

const char* kStreams =
    "name,supply,target,cp,h,kind\n"
    "H1,175,45,10,0.2,process\nH2,125,65,40,0.2,process\nC1,20,155,20,0.2,process\nC2,40,112,15,0.2,process\n"
    "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
const char* kNetwork =
    "name,hot,cold,duty,hot_order,cold_order\n"
    "E1,H1,C1,500,1,3\nE2,H1,C1,580,2,1\nE3,H2,C1,1320,1,2\nE4,H2,C2,1080,1,1\n"
    "Heater,HP Steam,C1,300,,4\nCooler,H1,Cooling Water,220,3,\n";

// The x of the first end of the item of that name in the grid's JSON; NAN when absent.
double itemX(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("\"name\":\"" + name + "\"");
    if (at == std::string::npos) return NAN;
    const std::size_t x = json.find("\"x\":", at);
    return x == std::string::npos ? NAN : std::strtod(json.c_str() + x + 4, nullptr);
}

struct Placed {
    const char* name;
    int side;  // -1 left of the pinch column (above the pinch), +1 right of it, 0 on it
};

TEST(HostGridPinch, EveryUnitOfTheMinimumEnergyDesignSitsOnItsSideOfThePinch) {
    ScratchFile streams("grid-pinch", "4sp1.csv", kStreams), network("grid-pinch", "4sp1-net.csv", kNetwork);
    ScratchFile svg("grid-pinch", "4sp1.svg", "", false);
    const HostRun run = RunHost("grid " + streams.path + " " + network.path + " --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t pinches = run.out.find("\"pinches\":[{");
    ASSERT_NE(std::string::npos, pinches) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"hot\":125", pinches));
    const double pinchX = std::strtod(run.out.c_str() + run.out.find("\"x\":", pinches) + 4, nullptr);
    const Placed placed[] = {{"E1", -1},      {"Heater", -1},  {"H1Start", -1}, {"E2", 1},       {"E3", 1},
                             {"E4", 1},       {"Cooler", 1},   {"TEE-100", 1},  {"MIX-100", 1},  {"H1End", 1},
                             {"H2End", 1},    {"C1Start", 1},  {"C1End", -1},   {"C2Start", 1},  {"C2End", 1}};
    for (const Placed& p : placed) {
        const double x = itemX(run.out, p.name);
        ASSERT_FALSE(std::isnan(x)) << p.name << "\n" << run.out;
        if (p.side < 0) EXPECT_LT(x, pinchX) << p.name;
        else EXPECT_GT(x, pinchX) << p.name;
    }
    // H2 enters at the pinch temperature: its supply square starts at the pinch column, and its
    // split lies downstream of it.
    EXPECT_NEAR(pinchX, itemX(run.out, "H2Start"), 1e-6);
    EXPECT_GT(itemX(run.out, "TEE-100"), itemX(run.out, "H2Start"));
}

}  // namespace

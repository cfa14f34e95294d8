// kestrin-host optimise --equation-based: the two-stream network whose cost optimum is worked
// out independently in the engine's own tests (E1 at 163.3 kW), run through the host against the
// simplex path on the same tables.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content) : ScratchFile("optimise-eb-test", stem, content, true) {}
};

// Prices per kW and year: 2.5e-6 and 2.12456e-7 per kJ over a year of 8760 h.
const char* kStreams =
    "name,supply,target,cp,h,kind,cost\n"
    "H,200,100,2,0.1,process,\n"
    "C,80,180,2,0.1,process,\n"
    "Steam,250,249,,6,utility,78.84\n"
    "CW,20,25,,3.75,utility,6.70002\n";
const char* kNetwork =
    "name,hot,cold,duty,hot_order,cold_order,type\n"
    "E1,H,C,100,1,1,countercurrent\n"
    "Heater,Steam,C,100,,2,countercurrent\n"
    "Cooler,H,CW,100,2,,countercurrent\n";
const char* kEconomics = " --economics fixed=10000,area=800,exponent=0.8,interest=0.1,life=5,hours=8760 --dtmin 10";


std::size_t after(const std::string& json) { return json.find("\"after\": "); }
std::size_t unit(const std::string& json, const std::string& name) {
    return json.find("{\"name\": \"" + name + "\"", after(json));
}

TEST(HostOptimiseEquationBased, LandsAtTheCostOptimumAndBeatsTheSimplexPath) {
    Scratch streams("streams.csv", kStreams), network("network.csv", kNetwork);
    const std::string args = "optimise " + streams.path + " " + network.path + " --objective cost --json" + kEconomics;
    const HostRun eb = RunHost(args + " --equation-based");
    const HostRun simplex = RunHost(args);
    ASSERT_EQ(eb.exitCode, 0) << eb.out;
    ASSERT_EQ(simplex.exitCode, 0) << simplex.out;
    EXPECT_DOUBLE_EQ(JsonNumber(eb.out, "result"), 4.0);
    // The status ends on what the run did, not on the engine's start.
    EXPECT_NE(eb.out.find("\"status\": \"Equation-based optimization finished for design"), std::string::npos);

    const double e1 = JsonNumber(eb.out, "duty", unit(eb.out, "E1"));
    EXPECT_GE(e1, 155.0);
    EXPECT_LE(e1, 172.0);
    const double cost = JsonNumber(eb.out, "total_annual_cost", after(eb.out));
    const double simplexCost = JsonNumber(simplex.out, "total_annual_cost", after(simplex.out));
    EXPECT_LE(cost, simplexCost * 1.002);
    EXPECT_LT(cost, JsonNumber(eb.out, "total_annual_cost", eb.out.find("\"before\": ")));
    // Energy balance: E1 and the heater heat C by 200 kW, E1 and the cooler cool H by 200 kW.
    EXPECT_NEAR(e1 + JsonNumber(eb.out, "duty", unit(eb.out, "Heater")), 200.0, 1e-3);
    EXPECT_NEAR(e1 + JsonNumber(eb.out, "duty", unit(eb.out, "Cooler")), 200.0, 1e-3);
    for (const char* name : {"E1", "Heater", "Cooler"}) {
        const std::size_t at = unit(eb.out, name);
        const double first = JsonNumber(eb.out, "hot_in", at) - JsonNumber(eb.out, "cold_out", at);
        const double second = JsonNumber(eb.out, "hot_out", at) - JsonNumber(eb.out, "cold_in", at);
        EXPECT_GE(std::min(first, second), 10.0 - 1e-6) << name;
    }
    EXPECT_EQ(eb.out.find("\"feasible\": false"), std::string::npos);
}

// A network without heaters or coolers has no path from one utility to another: the equation-based
// run refuses it and the host reports that nothing improved.
TEST(HostOptimiseEquationBased, AnUntiedNetworkIsRefused) {
    Scratch streams("untied-streams.csv",
                    "name,supply,target,cp,h,kind\nH,200,100,2,0.1,process\nC,80,180,2,0.1,process\n");
    Scratch network("untied-network.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H,C,100,1,1\n");
    const HostRun run =
        RunHost("optimise " + streams.path + " " + network.path + " --objective cost --equation-based --json");
    EXPECT_NE(run.out.find("Untied streams are not allowed for equation-based optimization"), std::string::npos)
        << run.out;
    EXPECT_DOUBLE_EQ(JsonNumber(run.out, "result"), 3.0);
}

}  // namespace

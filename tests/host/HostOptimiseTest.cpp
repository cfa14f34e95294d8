// kestrin-host optimise: the split network of one hot stream over two cold ones, optimised for
// least area over its split fractions and for least total annual cost; the pre-run check refuses
// a run without variables; a saved case is optimised as its tables are; bad options fail.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("optimise-test", stem, content, write) {}
};

// HA 200 -> 100 C (CP 4) split over X1 (to CA 60 -> 160 C, CP 2) and X2 (to CB 90 -> 140 C, CP 4),
// 200 kW each, film coefficients 0.5: the shares from the duties (0.5) give 48.668 m2; the least
// area, 45.775 m2, lies at a share of 0.456 to CA (an independent minimisation in the module tests).
const char* kStreams =
    "name,supply,target,cp,h,kind\n"
    "HA,200,100,4,0.5,process\n"
    "CA,60,160,2,0.5,process\n"
    "CB,90,140,4,0.5,process\n"
    "HP Steam,,,,,utility\n"
    "Cooling Water,,,,,utility\n";
const char* kNetwork =
    "name,hot,cold,duty,hot_order,cold_order\n"
    "X1,HA,CA,200,1,1\n"
    "X2,HA,CB,200,1,1\n";

struct Tables {
    Scratch streams{"streams.csv", kStreams};
    Scratch network{"network.csv", kNetwork};
    std::string Args() const { return streams.path + " " + network.path; }
};


std::size_t after(const std::string& json) { return json.find("\"after\": "); }

// HA's share to CA from X1's hot outlet: 200 kW take HA's branch from 200 C to 200 - 50 / x.
double shareToCA(const std::string& json) {
    const std::size_t x1 = json.find("{\"name\": \"X1\"", after(json));
    return 50.0 / (200.0 - JsonNumber(json, "hot_out", x1));
}

TEST(HostOptimise, LeastAreaOverTheSplitFractionsReachesTheMinimum) {
    Tables t;
    const HostRun run = RunHost("optimise " + t.Args() + " --objective area --duties off --splits on --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_DOUBLE_EQ(JsonNumber(run.out, "result"), 4.0);
    EXPECT_NEAR(JsonNumber(run.out, "area_total", run.out.find("\"before\": ")), 48.668, 5e-3);
    const double area = JsonNumber(run.out, "area_total", after(run.out));
    EXPECT_LE(area, 45.775 * 1.005);
    EXPECT_GE(area, 45.775 * 0.999);
    EXPECT_NEAR(shareToCA(run.out), 0.456, 0.01);
    EXPECT_NE(run.out.find("\"name\": \"Network-O\"", after(run.out)), std::string::npos);
    // Duties and feasibility kept.
    EXPECT_NEAR(JsonNumber(run.out, "duty", after(run.out)), 200.0, 1e-6);
    EXPECT_EQ(run.out.find("\"feasible\": false"), std::string::npos);
    EXPECT_NE(run.out.find("\"status\": \"Kept network / Objective function: "), std::string::npos);
    EXPECT_DOUBLE_EQ(JsonNumber(run.out, "severity"), 1.0);  // the placeholder after the mixer: a warning
}

TEST(HostOptimise, LeastCostDoesNotRaiseTheTotalAnnualCost) {
    Tables t;
    const HostRun run = RunHost("optimise " + t.Args() + " --objective cost --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const double before = JsonNumber(run.out, "total_annual_cost", run.out.find("\"before\": "));
    const double afterCost = JsonNumber(run.out, "total_annual_cost", after(run.out));
    EXPECT_LE(afterCost, before * (1 + 1e-9));
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []", after(run.out)), std::string::npos);
}

TEST(HostOptimise, BothVariablesOffIsRefusedByTheCheck) {
    Tables t;
    Scratch saved("refused.case", "", false);
    const HostRun run = RunHost("optimise " + t.Args() + " --duties off --splits off --save " + saved.path);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("FATAL ERROR: The optimizer cannot run."), std::string::npos);
    EXPECT_NE(run.out.find("You must select at least one optimization variable."), std::string::npos);
    EXPECT_FALSE(FileExists(saved.path));
}

TEST(HostOptimise, ASavedCaseIsOptimisedAsItsTables) {
    Tables t;
    Scratch saved("split.case", "", false);
    ASSERT_EQ(RunHost("design " + t.Args() + " --save " + saved.path).exitCode, 0);
    const HostRun fromCase = RunHost("optimise " + saved.path + " --design Network --duties off --json");
    const HostRun fromTables = RunHost("optimise " + t.Args() + " --duties off --json");
    ASSERT_EQ(fromCase.exitCode, 0) << fromCase.out;
    EXPECT_NEAR(JsonNumber(fromCase.out, "area_total", after(fromCase.out)),
                JsonNumber(fromTables.out, "area_total", after(fromTables.out)), 1e-6);
}

TEST(HostOptimise, BadOptionsFailWithTheirReason) {
    Tables t;
    for (const auto& [arguments, reason] :
         {std::pair<std::string, std::string>{" --objective speed", "--objective must be area or cost"},
          {" --duties maybe", "--duties must be on or off"},
          {" --design Other", "--design names a design of a case"},
          {" --splits", "--splits needs on or off"}}) {
        const HostRun run = RunHost("optimise " + t.Args() + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.out.find(reason), std::string::npos) << run.out;
    }
    EXPECT_EQ(RunHost("optimise " + t.streams.path + " --dtmin 5").exitCode, 2);
}

}  // namespace

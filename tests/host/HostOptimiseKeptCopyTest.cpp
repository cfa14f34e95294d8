// kestrin-host optimise: a copy the optimiser leaves with units that do not calculate is not kept
// (nor saved), and the report names the figure it optimised beside the other one.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int count(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

// The equation-based engine closes a cooling-water branch of these designs to nothing: the copy
// would hold units that do not calculate.
TEST(HostOptimiseKeptCopy, ACopyThatDoesNotCalculateIsDroppedAndNotSaved) {
    ScratchFile table("optimise-kept", "p1.csv",
                      "name,supply,target,cp,h,kind\nH1,260,60,8,0.5,process\nH2,190,40,5,0.4,process\n"
                      "C1,30,240,6,0.5,process\nC2,100,270,4,0.3,process\nHot Oil,,,,,utility\n"
                      "Cooling Water,,,,,utility\n");
    ScratchFile designs("optimise-kept", "p1.case", "", false);
    ScratchFile optimised("optimise-kept", "p1-optimised.case", "", false);
    ASSERT_EQ(RunHost("autodesign " + table.path + " --economics exponent=1 --designs 4 --save " + designs.path +
                      " 2>/dev/null")
                  .exitCode,
              0);
    // A copy the engine's solution leaves calculating is kept and saved, and the status says the
    // run finished: a network of the same plant written by hand off its optimum (H1 gives C2 and
    // C1 500 kW each, H2 gives C1 400 kW; 145230 a year), which the engine makes cheaper.
    ScratchFile network("optimise-kept", "p1-network.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,500,1,1\nE2,H1,C1,500,2,2\n"
                        "E3,H2,C1,400,1,1\n");
    ScratchFile keptCase("optimise-kept", "p1-kept.case", "", false);
    const HostRun kept = RunHost("optimise " + table.path + " " + network.path +
                                 " --economics exponent=1 --equation-based --save " + keptCase.path + " 2>/dev/null");
    ASSERT_EQ(kept.exitCode, 0) << kept.out;
    EXPECT_TRUE(has(kept.out, "(result 4): Equation-based optimization finished for design Network-O")) << kept.out;
    EXPECT_GT(count(FileContents(keptCase.path), "Network-O"), 0);
    for (const char* design : {"A_Design2", "A_Design3"}) {
        const HostRun run = RunHost("optimise " + designs.path + " --design " + design + " --equation-based --save " +
                                    optimised.path + " 2>/dev/null");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_TRUE(has(run.out, "Optimisation left the network unchanged (result 3)")) << run.out;
        EXPECT_TRUE(has(run.out, "  objective: least total annual cost")) << run.out;
        // The status ends on what became of the copy, not on the engine's start.
        EXPECT_FALSE(has(run.out, "Running equation-based optimization")) << run.out;
        EXPECT_TRUE(has(run.out, std::string("(result 3): The optimised copy ") + design + "-O has units that do not "
                                 "calculate: it was discarded")) << run.out;
        EXPECT_EQ(count(FileContents(optimised.path), std::string(design) + "-O"), 0) << design;
        // The saved case is optimised again without a word about a copy of its own.
        const HostRun again = RunHost("optimise " + optimised.path + " --design " + design + " 2>/dev/null");
        EXPECT_EQ(again.exitCode, 0) << again.out;
    }
}

TEST(HostOptimiseKeptCopy, TheReportNamesTheObjectiveAndTheOtherFigure) {
    for (const char* objective : {"area", "cost"}) {
        const HostRun run = RunHost("optimise " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                                    " --objective " + objective + " 2>/dev/null");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_TRUE(has(run.out, std::string("  objective: least ") + (*objective == 'a' ? "area" : "total annual cost")))
            << run.out;
        const HostRun json = RunHost("optimise " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                                     " --objective " + objective + " --json 2>/dev/null");
        EXPECT_TRUE(has(json.out, std::string("\"objective\": \"") + objective + "\"")) << json.out;
    }
}

// The extracted train has one process exchanger, between a cooler and a heater its streams fix:
// no search finds a lower area, so the run keeps nothing, says so, and saves no copy.
TEST(HostOptimiseKeptCopy, ARunThatFindsNothingLowerKeepsNoCopy) {
    ScratchFile extracted("optimise-kept", "train.case", "", false);
    ScratchFile optimised("optimise-kept", "train-optimised.case", "", false);
    ASSERT_EQ(RunHost("extract " + std::string(KESTRIN_EXAMPLES) + "/extraction/boiling-train.vmc --save " +
                      extracted.path + " 2>/dev/null")
                  .exitCode,
              0);
    const HostRun run = RunHost("optimise " + extracted.path + " --save " + optimised.path + " 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(has(run.out, "Optimisation left the network unchanged (result 3)")) << run.out;
    EXPECT_FALSE(has(run.out, "Network design SimulationBaseCase-O")) << run.out;
    EXPECT_EQ(count(FileContents(optimised.path), "SimulationBaseCase-O"), 0);
    const HostRun json = RunHost("optimise " + extracted.path + " --json 2>/dev/null");
    EXPECT_TRUE(has(json.out, "\"result\": 3,")) << json.out;
}

}  // namespace

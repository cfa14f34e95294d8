// kestrin-host autodesign reports each solution of its run under its own heading: the LP's utility
// loads beside the LP's matches (each utility's load is the sum of its matches), each MILP's loads
// beside the design built from it, and with --complete the matches of the completed design; it
// explains an over-specified design and why a design's utilities differ from the targets.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

double numberAfter(const std::string& text, const std::string& key, std::size_t from = 0) {
    const std::size_t at = text.find(key, from);
    return at == std::string::npos ? -1e300 : std::atof(text.c_str() + at + key.size());
}

TEST(HostAutoDesignReport, TheLPsLoadsStandBesideTheLPsMatchesAndEachMILPBesideItsDesign) {
    const HostRun run = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The LP: steam heats C1 by 48.625 kW and C2 by 130 kW; water cools H1 by 117 and H2 by 101.625.
    EXPECT_TRUE(has(run.out, "\"utility_loads\": [{\"name\": \"HP Steam\", \"load\": 178.625}, "
                             "{\"name\": \"Cooling Water\", \"load\": 218.625}]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"hot\": \"HP Steam\", \"cold\": \"C1\", \"load\": 48.625}, "
                             "{\"hot\": \"HP Steam\", \"cold\": \"C2\", \"load\": 130}"))
        << run.out;
    // Each MILP's loads are those of the design built from it.
    for (const char* name : {"A_Design0", "A_Design1"}) {
        const std::size_t solution = run.out.find("{\"design\": \"" + std::string(name) + "\", \"utility_loads\": ");
        const std::size_t design = run.out.find("{\"name\": \"" + std::string(name) + "\"");
        ASSERT_NE(solution, std::string::npos) << run.out;
        ASSERT_NE(design, std::string::npos) << run.out;
        EXPECT_NEAR(numberAfter(run.out, "{\"name\": \"HP Steam\", \"load\": ", solution),
                    numberAfter(run.out, "\"hot_utility\": ", design), 1e-3)
            << name;
        EXPECT_NEAR(numberAfter(run.out, "{\"name\": \"Cooling Water\", \"load\": ", solution),
                    numberAfter(run.out, "\"cold_utility\": ", design), 1e-3)
            << name;
    }
    EXPECT_TRUE(has(run.out, "\"matches_of_completed_design\": false")) << run.out;
    // Both designs are handed over with as many specifications as their streams can meet (the
    // loop H1 -> E-100 -> E-103 -> E-104 -> C1 -> E-100 of A_Design0 included), and calculated;
    // both use more utility than the targets.
    EXPECT_FALSE(has(run.out, "over-specified")) << run.out;
    for (const char* name : {"A_Design0", "A_Design1"}) {
        const std::size_t design = run.out.find("{\"name\": \"" + std::string(name) + "\"");
        ASSERT_NE(design, std::string::npos) << run.out;
        EXPECT_EQ(0.0, numberAfter(run.out, "\"degrees_of_freedom\": ", design)) << name;
        EXPECT_EQ(run.out.find("\"calculation_status\": \"calculated\"", design),
                  run.out.find("\"calculation_status\": ", design))
            << name;
    }
    EXPECT_TRUE(has(run.out, "A_Design0 uses 140 kW of hot and 180 kW of cold utility against targets of 20 kW and "
                             "60 kW at its DTmin of 10 C: the automatic design matches at its model's own 4 C approach"))
        << run.out;
    const HostRun text = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 2>/dev/null");
    EXPECT_TRUE(has(text.out, "LP solution\nUtility loads (kW):\n  HP Steam: 178.625\n")) << text.out;
    EXPECT_TRUE(has(text.out, "MILP solution 1 (design A_Design0)\nUtility loads (kW):\n  HP Steam: 140\n  Cooling "
                              "Water: 180\n"))
        << text.out;
}

// The heater of A_Design0 takes what the exchangers leave, as a heater drawn by hand does: its
// duty is no cell to type (130 kW would set E-103's two sides at 100 and 110 kW), and the saved
// case goes to the optimiser as it is.
TEST(HostAutoDesignReport, AnAutomaticDesignsUtilitiesTakeWhatTheExchangersLeave) {
    ScratchFile saved("autodesign-report", "relaxed.case", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 1 --save " + saved.path +
                         " 2>/dev/null")
                     .exitCode);
    const HostRun heater = RunViewScript(saved.path, "status HeatFlow.319.0\nexpect ReadOnlyCell\nset HeatFlow.319.0 130\n",
                                         " --open design=A_Design0");
    ASSERT_EQ(0, heater.exitCode) << heater.out;
    EXPECT_TRUE(has(heater.out, "1: status HeatFlow.319.0\n  read-only\n")) << heater.out;
    EXPECT_TRUE(has(heater.out, "3: set HeatFlow.319.0 130\n  result 0\n")) << heater.out;
    const HostRun optimised = RunHost("optimise " + saved.path + " --design A_Design0 2>/dev/null");
    EXPECT_EQ(0, optimised.exitCode) << optimised.out;
    EXPECT_TRUE(has(optimised.out, "degrees of freedom: ok")) << optimised.out;
}

TEST(HostAutoDesignReport, ACompletedDesignsMatchesAreItsOwn) {
    ScratchFile streams("autodesign-report", "streams.csv",
                        "name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
                        "HU,250,249,,1,300000,utility\nCU,20,30,,1,300000,utility\n");
    ScratchFile network("autodesign-report", "network.csv", "name,hot,cold,duty\nE1,H,C,50\n");
    const HostRun run = RunHost("autodesign " + streams.path + " --complete " + network.path + " --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The completed design's units: E1 as given (H -> C 50 kW), the heater and the cooler 50 kW each.
    // H leaves E1 at 130 C, below the 150 C at which C meets its heater: no exchange along the
    // utilities pays, and E1 keeps its place and duty (no layout of the completion's own moves it).
    EXPECT_TRUE(has(run.out, "\"matches\": [{\"hot\": \"H\", \"cold\": \"C\", \"load\": 50}, {\"hot\": \"HU\", \"cold\": "
                             "\"C\", \"load\": 50}, {\"hot\": \"H\", \"cold\": \"CU\", \"load\": 50}]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"matches_of_completed_design\": true")) << run.out;
}

// The units of a design the run builds are named by the design (E-100, E-101, ... in the order it
// places them), and the report calls them so: the name it prints is the one the other commands
// take, here the exchanger of a temperature-duty plot.
TEST(HostAutoDesignReport, UnitsGoByTheDesignsUnitNames) {
    ScratchFile saved("autodesign-report", "names.case", "", false);
    ScratchFile svg("autodesign-report", "e100.svg", "", false);
    const HostRun run =
        RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 1 --save " + saved.path + " 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    for (const char* line : {"  E-100 (exchanger) H1 -> C1: duty 135.41", "  E-101 (heater) HP Steam -> C2: duty 140.00",
                             "  E-102 (cooler) H2 -> Cooling Water: duty 180.00", "  E-103 (exchanger) H1 -> C2: duty 100.00",
                             "  E-104 (exchanger) H1 -> C1: duty 94.59"})
        EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
    EXPECT_FALSE(has(run.out, "N-31")) << run.out;
    const HostRun plot =
        RunHost("plot " + saved.path + " --kind th --unit E-100 --design A_Design0 --svg " + svg.path);
    EXPECT_EQ(plot.exitCode, 0) << plot.out;
}

// The targets a design is weighed against are taken at the DTmin the user gave; the design itself
// is built at its model's 4 C approach, so its exchangers come closer than a DTmin of 20 C and the
// note says both.
TEST(HostAutoDesignReport, TheNoteNamesTheDTminOfTheTargetsGiven) {
    const HostRun run = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --dtmin 20 --designs 1 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // Four streams at 20 C: hot 65 kW, cold 105 kW (at 10 C: 20 kW and 60 kW).
    EXPECT_TRUE(has(run.out, "against targets of 65 kW and 105 kW at the DTmin of 20 C given for the targets (its "
                             "exchangers are judged at their own smallest approach, 10 C): the automatic design"))
        << run.out;
    EXPECT_FALSE(has(run.out, "at its DTmin of 10 C")) << run.out;
}

}  // namespace

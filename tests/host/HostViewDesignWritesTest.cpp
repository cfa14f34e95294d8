// kestrin-host view --open design on a saved case of the textbook network: an exchanger renamed
// through the design (a used name refused), its overall coefficient given and changed, a
// design-wide minimum approach set; saved, read back, and the design recalculated from it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("designwrites", stem, "", false) {}
};

// A number of the unit named `name` in the `design --json` report; -1 when it is not there.
double unitValue(const std::string& json, const std::string& name, const std::string& key) {
    std::smatch m;
    const std::regex unit("\"name\": \"" + name + "\"[^}]*\"" + key + "\": ([-0-9.]+)");
    return std::regex_search(json, m, unit) ? std::stod(m[1]) : -1.0;
}

TEST(HostViewDesignWrites, RenameCoefficientAndApproachAreSavedAndRecalculated) {
    Scratch saved("net.kestrin"), edited("edited.kestrin"), script("edit.txt"), check("check.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    // Rows in design order: E1, E4, E3, E2, Heater, Cooler. E1 moves 240 kW with U 0.1 over
    // 131.83 m2; given U 0.2 the same duty needs half the area, 65.92 m2.
    std::ofstream(script.path) << "settext Name.300.1 Preheat\nexpect HeatExchangerNameError\nsettext Name.300.0 E3\n"
                                  "set Switch.600.0 1\nset HeatTransferCoeff.701.0 0.2\nget Area.302.[]\n"
                                  "set DeltaTemp.607 5\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"1: settext Name.300.1 Preheat\n  result 1", "3: settext Name.300.0 E3\n  result 0",
                             "4: set Switch.600.0 1\n  result 1", "5: set HeatTransferCoeff.701.0 0.2\n  result 1",
                             "6: get Area.302.[]\n  value 65.91673732 5.718610788 54.97744391 54.97744391"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;

    // Read back: the new name in the form, the refused one nowhere.
    std::ofstream(check.path) << "text Name.300.0\ntext Name.300.1\nget DeltaTemp.607\n";
    const HostRun reread = RunHost("view " + edited.path + " --open design --script " + check.path);
    ASSERT_EQ(0, reread.exitCode) << reread.out;
    for (const char* line : {"1: text Name.300.0\n  text E1", "2: text Name.300.1\n  text Preheat", "3: get DeltaTemp.607\n  value 5 C"})
        EXPECT_NE(std::string::npos, reread.out.find(line)) << line << "\n" << reread.out;

    const HostRun report = RunHost("design " + edited.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_NEAR(65.916737, unitValue(report.out, "E1", "area"), 1e-6);
    EXPECT_DOUBLE_EQ(0.2, unitValue(report.out, "E1", "u"));
    EXPECT_DOUBLE_EQ(240.0, unitValue(report.out, "E1", "duty"));
    // The other exchangers keep their areas; the report names E4 by its new name.
    EXPECT_NEAR(54.977444, unitValue(report.out, "E3", "area"), 1e-6);
    EXPECT_NEAR(5.718611, unitValue(report.out, "Preheat", "area"), 1e-6);
    EXPECT_EQ(-1.0, unitValue(report.out, "E4", "area"));
}

// A minimum approach set for the whole design is an exchanger change on every exchanger: the
// network is judged again, as when it is typed on one exchanger. At 12 C the three exchangers
// and the cooler with an approach of 10 C are infeasible, and the totals built on them are none.
TEST(HostViewDesignWrites, DesignWideApproachJudgesEveryExchangerAgain) {
    Scratch saved("wide.kestrin"), edited("wide-edited.kestrin"), script("wide.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::ofstream(script.path) << "set DeltaTemp.607 12\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun report = RunHost("design " + edited.path + " --json");
    for (const char* unit : {"E1", "E3", "E2", "Cooler"})
        EXPECT_TRUE(std::regex_search(report.out, std::regex(std::string("\"name\": \"") + unit + "\"[^}]*\"feasible\": false")))
            << unit << "\n" << report.out;
    EXPECT_TRUE(std::regex_search(report.out, std::regex("\"name\": \"E4\"[^}]*\"feasible\": true"))) << report.out;
    EXPECT_NE(std::string::npos, report.out.find("\"area_total\": null")) << report.out;
    EXPECT_NE(std::string::npos, report.out.find("\"total_annual_cost\": null")) << report.out;
}

// The textbook network holds one loop of exchangers. Loop analysis switched off empties the
// loop list at once, not at the next change of the network.
TEST(HostViewDesignWrites, LoopAnalysisSwitchedOffListsNoLoop) {
    Scratch saved("loops.kestrin");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    const HostRun run = RunViewScript(saved.path, "get ExtraData.905\nset Switch.229 0\nget ExtraData.905\ndims ExtraData.907\n",
                                      " --open design");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("1: get ExtraData.905\n  value 1\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("3: get ExtraData.905\n  value 0\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("4: dims ExtraData.907\n  dims 0 ")) << run.out;
}

}  // namespace

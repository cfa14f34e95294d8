// kestrin-host view --open design on a saved case of the textbook network: the duties read from
// the filtered exchanger rows, one written there, saved, and the design recalculated from it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("designforms", stem, "", false) {}
};

// The duty of the unit named `name` in the `design --json` report; -1 when it is not there.
double dutyOf(const std::string& json, const std::string& name) {
    std::smatch m;
    const std::regex unit("\"name\": \"" + name + "\"[^}]*\"duty\": ([-0-9.]+)");
    return std::regex_search(json, m, unit) ? std::stod(m[1]) : -1.0;
}

TEST(HostViewDesignForms, ADutyWrittenInTheFilteredRowsIsSavedAndRecalculated) {
    Scratch saved("net.kestrin"), edited("edited.kestrin"), script("edit.txt"), bad("bad.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    // Rows in design order: E1, E4, E3, E2, Heater, Cooler.
    std::ofstream(script.path) << "get HeatFlow.304.[]\nset HeatFlow.304.1 80\nget HeatFlow.304.[]\n"
                                  "text Name.300.1\ntext Name.348.1\ntext Name.345.1\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"1: get HeatFlow.304.[]\n  value 240 30 90 90 20 60 kW", "2: set HeatFlow.304.1 80\n  result 1",
                             // The heater and cooler follow: C1 then gets 260 kW of its 230 from the
                             // process, so its heater would have to take 30 kW out; H2 keeps 10 kW.
                             "3: get HeatFlow.304.[]\n  value 240 80 90 90 -30 10 kW", "4: text Name.300.1\n  text E4",
                             "5: text Name.348.1\n  text H2", "6: text Name.345.1\n  text C1"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;

    const HostRun report = RunHost("design " + edited.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_DOUBLE_EQ(80.0, dutyOf(report.out, "E4"));
    for (const auto& [name, duty] : {std::pair<const char*, double>{"E1", 240}, {"E3", 90}, {"E2", 90}})
        EXPECT_DOUBLE_EQ(duty, dutyOf(report.out, name)) << name;
    // E4 now takes 80 kW from H2 at 90 C (1.5 kW/K): it leaves at 36.67 C.
    EXPECT_NE(std::string::npos, report.out.find("\"hot_out\": 36.666667")) << report.out;
    // A heater asked to cool is no feasible unit.
    EXPECT_NE(std::string::npos, report.out.find("\"status\": \"incomplete\", \"feasible\": false")) << report.out;

    // E1's area follows from its duty: its cell is read-only and refuses a value as such,
    // changing nothing. With E3's duty freed its area is the user's, and a negative one is
    // refused. A row past the filtered list is outside the list's dimensions.
    std::ofstream(bad.path) << "set Area.302.0 -5\nget HeatFlow.304.[]\nset HeatFlow.304.2 empty\nset Area.302.2 -5\n"
                               "get Area.302.2\n";
    const HostRun refused = RunHost("view " + edited.path + " --open design --script " + bad.path);
    EXPECT_NE(std::string::npos, refused.out.find("1: set Area.302.0 -5\n  result 0\n")) << refused.out;
    EXPECT_NE(std::string::npos, refused.out.find("Error ReadOnlyCell|")) << refused.out;
    EXPECT_NE(std::string::npos, refused.out.find("value 240 80 90 90 -30 10 kW")) << refused.out;
    EXPECT_NE(std::string::npos, refused.out.find("4: set Area.302.2 -5\n  result 0\n")) << refused.out;
    EXPECT_NE(std::string::npos, refused.out.find("AreaInputError")) << refused.out;
    EXPECT_NE(std::string::npos, refused.out.find("5: get Area.302.2\n  value empty m2\n")) << refused.out;
    std::ofstream(bad.path) << "set HeatFlow.304.9 10\n";
    const HostRun stale = RunHost("view " + edited.path + " --open design --script " + bad.path);
    EXPECT_NE(std::string::npos, stale.out.find("outside its dimensions (6)")) << stale.out;
}

// Each exchanger's name, hot and cold stream and duty read from the filtered rows; E4 (H2 to C1)
// lowered from 30 to 20 kW there. H2 then keeps 10 kW more for its cooler (60 + 10 = 70 kW) and
// C1 gets 10 kW less from the process, which its heater adds (20 + 10 = 30 kW); the other
// exchangers keep their duties and both streams still reach their targets.
TEST(HostViewDesignForms, TheHeaterAndCoolerTakeUpADutyChangedInTheFilteredRows) {
    Scratch saved("net2.kestrin"), edited("edited2.kestrin"), script("rows.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::string lines;
    for (int row = 0; row < 6; ++row)
        for (const char* v : {"Name.300.", "Name.348.", "Name.345."}) lines += "text " + std::string(v) + std::to_string(row) + "\n";
    std::ofstream(script.path) << lines << "get HeatFlow.304.[]\nset HeatFlow.304.1 20\nget HeatFlow.304.[]\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const char* rows[6][3] = {{"E1", "H1", "C2"},     {"E4", "H2", "C1"},     {"E3", "H1", "C1"},
                              {"E2", "H2", "C1"},     {"Heater", "HP Steam", "C1"}, {"Cooler", "H2", "Cooling Water"}};
    int step = 1;
    for (int row = 0; row < 6; ++row)
        for (int k = 0; k < 3; ++k, ++step) {
            static const char* const kVars[] = {"Name.300.", "Name.348.", "Name.345."};
            const std::string line = std::to_string(step) + ": text " + kVars[k] + std::to_string(row) + "\n  text " + rows[row][k] + "\n";
            EXPECT_NE(std::string::npos, run.out.find(line)) << line << run.out;
        }
    EXPECT_NE(std::string::npos, run.out.find("19: get HeatFlow.304.[]\n  value 240 30 90 90 20 60 kW")) << run.out;
    // The form shows the heater and cooler following at once.
    EXPECT_NE(std::string::npos, run.out.find("21: get HeatFlow.304.[]\n  value 240 20 90 90 30 70 kW")) << run.out;

    const HostRun report = RunHost("design " + edited.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    for (const auto& [name, duty] : {std::pair<const char*, double>{"E1", 240}, {"E4", 20}, {"E3", 90}, {"E2", 90},
                                     {"Heater", 30}, {"Cooler", 70}})
        EXPECT_NEAR(duty, dutyOf(report.out, name), 1e-6) << name;
    EXPECT_NE(std::string::npos, report.out.find("\"hot_utility\": 30,")) << report.out;
    EXPECT_NE(std::string::npos, report.out.find("\"cold_utility\": 70,")) << report.out;
    EXPECT_NE(std::string::npos, report.out.find("\"unsatisfied_streams\": []")) << report.out;
}

// The same change typed into E4's own view (the current exchanger, row 1 of all exchangers):
// the heater and cooler follow as they do from the forms.
TEST(HostViewDesignForms, TheHeaterAndCoolerTakeUpADutyChangedInTheExchangersView) {
    Scratch saved("net3.kestrin"), edited("edited3.kestrin"), script("hxduty.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::ofstream(script.path) << "set Index.414 1\nset Index.415 1\nopen HeatExchangerViewObject.400\n"
                                  "set HeatFlow.200 20\nget HeatFlow.200\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("3: open HeatExchangerViewObject.400\n  text E4")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("5: get HeatFlow.200\n  value 20 kW")) << run.out;

    const HostRun report = RunHost("design " + edited.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    for (const auto& [name, duty] : {std::pair<const char*, double>{"E1", 240}, {"E4", 20}, {"E3", 90}, {"E2", 90},
                                     {"Heater", 30}, {"Cooler", 70}})
        EXPECT_NEAR(duty, dutyOf(report.out, name), 1e-6) << name;
    EXPECT_NE(std::string::npos, report.out.find("\"unsatisfied_streams\": []")) << report.out;
}

}  // namespace

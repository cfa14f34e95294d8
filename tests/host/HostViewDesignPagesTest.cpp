// kestrin-host view reads the scenario viewer's design pages of a case saved by the design job:
// the design row's utility loads, exchanger count, area and costs are what `design --json`
// reports, the design matrix is the comparison of those figures with what `targets` reports for
// the same case, and the exchanger names are the network's.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The number after "key": in a JSON report; NaN when the key is missing.
double jsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

// The value printed for script line n ("n: get ...\n  value X unit").
double scriptValue(const std::string& out, int n) {
    const std::size_t line = out.find("\n" + std::to_string(n) + ": get ");
    const std::size_t at = line == std::string::npos ? line : out.find("  value ", line);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(out.c_str() + at + 8, nullptr);
}

std::string scriptText(const std::string& out, int n) {
    const std::size_t line = out.find("\n" + std::to_string(n) + ": text ");
    const std::size_t at = line == std::string::npos ? line : out.find("  text ", line + 1);
    if (at == std::string::npos) return "?";
    const std::size_t end = out.find('\n', at);
    return out.substr(at + 7, end - at - 7);
}

void expectClose(double expected, double got, const char* what) {
    EXPECT_NEAR(expected, got, std::fabs(expected) * 1e-8 + 1e-9) << what;
}

TEST(HostViewDesignPages, TheDesignRowsAgreeWithTheDesignAndTargetsReports) {
    ScratchFile saved("view-design-pages", "network.kcase", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                                   " --json --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    const HostRun targets = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;

    // The case's selection becomes the design viewer; the scenario viewer then reads its rows.
    ScratchFile script("view-design-pages", "rows.txt",
                       "attach Viewable.299 Network\nopen Viewable.299\nopen MyOwnerObject\n"
                       "get HeatFlow.612.0\nget HeatFlow.613.0\nget ExtraData.800.0\nget Area.609.0\n"
                       "get Cost.611.0\nget CostPerTime.608.0\nget CostPerTime.764.0\n"
                       "get Percent.201.0\nget Percent.202.0\nget Percent.203.0\nget Percent.206.0\n"
                       "get Percent.207.0\nget Percent.208.0\n"
                       "text ExtraData.771.0\ntext ExtraData.773.0\ntext ExtraData.773.1\ntext ExtraData.773.2\n"
                       "text ExtraData.773.3\ntext ExtraData.773.4\ntext ExtraData.773.5\n"
                       "get HeatFlow.320.0\nget HeatFlow.320.1\n");
    const HostRun view = RunHost("view " + saved.path + " --open case --script " + script.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    const std::string& d = design.out;
    const std::string& t = targets.out;

    expectClose(jsonNumber(d, "hot_utility"), scriptValue(view.out, 4), "hot utility load");
    expectClose(jsonNumber(d, "cold_utility"), scriptValue(view.out, 5), "cold utility load");
    expectClose(jsonNumber(d, "exchangers"), scriptValue(view.out, 6), "exchangers");
    expectClose(jsonNumber(d, "area_total"), scriptValue(view.out, 7), "area");
    expectClose(jsonNumber(d, "capital_cost"), scriptValue(view.out, 8), "capital cost");
    expectClose(jsonNumber(d, "total_annual_cost"), scriptValue(view.out, 9), "total annual cost");
    expectClose(jsonNumber(d, "utility_cost"), scriptValue(view.out, 10), "utility cost");

    // The matrix: the design's figure as a share of the target's, in percent.
    auto share = [](double target, double value) { return 100.0 * value / target; };
    expectClose(share(jsonNumber(t, "total_annual_cost"), jsonNumber(d, "total_annual_cost")), scriptValue(view.out, 11),
                "total annual cost against its target");
    expectClose(share(jsonNumber(t, "area_shell_tube"), jsonNumber(d, "area_total")), scriptValue(view.out, 12),
                "area against the shell-and-tube area target");
    expectClose(share(jsonNumber(t, "units_pinch"), jsonNumber(d, "exchangers")), scriptValue(view.out, 13),
                "exchangers against the units of the pinch design");
    expectClose(share(jsonNumber(t, "hot_utility"), jsonNumber(d, "hot_utility")), scriptValue(view.out, 14), "hot");
    expectClose(share(jsonNumber(t, "cold_utility"), jsonNumber(d, "cold_utility")), scriptValue(view.out, 15), "cold");
    expectClose(share(jsonNumber(t, "operating_cost"), jsonNumber(d, "utility_cost")), scriptValue(view.out, 16),
                "operating cost");

    // Names: the design of the first row, then the network's exchangers in the design's order.
    EXPECT_EQ("Network", scriptText(view.out, 17));
    std::vector<std::string> names;
    for (int n = 18; n <= 23; ++n) names.push_back(scriptText(view.out, n));
    EXPECT_EQ((std::vector<std::string>{"E1", "E4", "E3", "E2", "Heater", "Cooler"}), names) << view.out;
    for (const std::string& name : names) EXPECT_NE(d.find("\"name\": \"" + name + "\""), std::string::npos) << name;
    // The selected design's utility loads.
    expectClose(jsonNumber(d, "hot_utility"), scriptValue(view.out, 24), "selected design's hot utility");
    expectClose(jsonNumber(d, "cold_utility"), scriptValue(view.out, 25), "selected design's cold utility");
}

}  // namespace

namespace {

// The cells of step `step`'s value line, an empty cell as NaN ("value empty 20 20 kW").
std::vector<double> Cells(const std::string& out, int step) {
    std::vector<double> cells;
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": get ");
    const std::size_t line = at == std::string::npos ? at : out.find("\n  value ", at);
    if (line == std::string::npos) return cells;
    std::istringstream in(out.substr(line + 9, out.find('\n', line + 1) - line - 9));
    for (std::string word; in >> word;) {
        char* end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (word == "empty") cells.push_back(NAN);
        else if (end != word.c_str() && *end == '\0') cells.push_back(v);
    }
    return cells;
}

// The scenario page's comparison columns read as their dimensions say: a column of the table
// is the first cell of each row (base design, targets, selected design), as each cell reads.
TEST(HostViewDesignPages, TheComparisonColumnsReadTheirRowsFirstCells) {
    ScratchFile saved("view-design-pages", "columns.kcase", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                                   " --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    ScratchFile script("view-design-pages", "columns.txt",
                       "attach Viewable.299 Network\nopen Viewable.299\nopen MyOwnerObject\n"
                       "get HeatFlow.271.[]\nget HeatFlow.273.[]\nget CostPerTime.270.[]\nget CostPerTime.272.[]\n"
                       "get HeatFlow.271.1.0\nget HeatFlow.273.2.0\nget CostPerTime.270.1.0\nget CostPerTime.272.2.0\n"
                       "get HeatFlow.282.[]\n");
    const HostRun view = RunHost("view " + saved.path + " --open case --script " + script.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    // The targets of the four streams and the network's heater and cooler: 20 and 60 kW.
    // The base design's row is empty: the scenario has none.
    const std::vector<double> hot = Cells(view.out, 4), cold = Cells(view.out, 5);
    ASSERT_EQ(3u, hot.size()) << view.out;
    ASSERT_EQ(3u, cold.size()) << view.out;
    EXPECT_TRUE(std::isnan(hot[0]) && std::isnan(cold[0])) << view.out;
    EXPECT_EQ(20, hot[1]);
    EXPECT_EQ(20, hot[2]);
    EXPECT_EQ(60, cold[1]);
    EXPECT_EQ(60, cold[2]);
    EXPECT_EQ(std::vector<double>{20}, ScriptValues(view.out, 8));
    EXPECT_EQ(std::vector<double>{60}, ScriptValues(view.out, 9));
    const std::vector<double> hotCost = Cells(view.out, 6), coldCost = Cells(view.out, 7);
    ASSERT_EQ(3u, hotCost.size()) << view.out;
    ASSERT_EQ(3u, coldCost.size()) << view.out;
    expectClose(Cells(view.out, 10).at(0), hotCost[1], "hot utility cost of the targets");
    expectClose(Cells(view.out, 11).at(0), coldCost[2], "cold utility cost of the design");
    EXPECT_GT(hotCost[1], 0.0);
    // The utility rows: each utility's own load, HP Steam's 20 and Cooling Water's 60 kW.
    EXPECT_EQ((std::vector<double>{20, 60}), ScriptValues(view.out, 12)) << view.out;
}

}  // namespace

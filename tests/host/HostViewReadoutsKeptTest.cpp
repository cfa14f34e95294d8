// Readouts of the views through `kestrin-host view` that must show what holds, and come back
// after a save and a reopen: the site viewer's icon, the cost-law units before the coefficient
// dialog, the form listing in the units `get` reads, the grid's chosen configuration and the
// segment table's plot type.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The textbook network designed on the four streams, saved where a test reads it back; the exit status.
int saveFourStreamDesign(const std::string& path) {
    return RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") + " --save " + path)
        .exitCode;
}

// The listed variable's entry of a `form` answer, from its address to the end of its object.
std::string listed(const std::string& out, const std::string& address) {
    const std::size_t at = out.find("\"address\":\"" + address + "\"");
    if (at == std::string::npos) return std::string();
    return out.substr(at, out.find('}', at) - at);
}

TEST(HostViewReadoutsKept, TheSiteViewerShowsItsIconAndTheCostUnitsTheirExponent) {
    ScratchFile script("kept", "site.txt", "get ObjectStatus.200\n");
    const HostRun site = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, site.exitCode) << site.out;
    EXPECT_EQ((std::vector<double>{2353}), ScriptValues(site.out, 1)) << site.out;

    // The default set's exponent is 0.8 until the dialog proposes another.
    const HostRun units = RunViewScript(ExamplePath("four-streams.csv"), "text CCUnits.201\ntext CCUnits.202\n");
    ASSERT_EQ(0, units.exitCode) << units.out;
    EXPECT_TRUE(has(units.out, "1: text CCUnits.201\n  text [ Cost / m2 ^ 0.80 ]\n")) << units.out;
    EXPECT_TRUE(has(units.out, "2: text CCUnits.202\n  text [ Cost / kW ^ 0.80 ]\n")) << units.out;
}

// The design viewer's performance rows list their costs per year, as `get` reads them, and the
// forbidden-match table lists a row of ticks per cold stream.
TEST(HostViewReadoutsKept, TheFormListsEachCellAsGetReadsIt) {
    ScratchFile saved("kept", "net.kcase", "", false);
    ASSERT_EQ(0, saveFourStreamDesign(saved.path));
    const HostRun design = RunViewScript(saved.path, "get ExtraData.759.[]\nget ExtraData.763.[]\nform\n", " --open design");
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "1: get ExtraData.759.[]\n  value 1576.8 Cost/year 100\n")) << design.out;
    EXPECT_TRUE(has(listed(design.out, "ExtraData.759"), "\"values\":[1576.8,100]")) << design.out;
    EXPECT_TRUE(has(listed(design.out, "ExtraData.763"), "\"values\":[41439.55995,70.42578271]")) << design.out;

    const HostRun scenario = RunViewScript(ExamplePath("four-streams.csv"),
                                           "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.1 1\nform\n");
    ASSERT_EQ(0, scenario.exitCode) << scenario.out;
    EXPECT_TRUE(has(listed(scenario.out, "Switch.1200"), "\"values\":[[0,1],[0,0]]")) << scenario.out;
}

// A user configuration of the grid, and the density plot of a segment table, are what the
// reopened case shows (read before anything else is asked of the view).
TEST(HostViewReadoutsKept, TheGridsConfigurationAndTheSegmentPlotComeBack) {
    ScratchFile net("kept", "grid.kcase", "", false), saved("kept", "grid-saved.kcase", "", false);
    ASSERT_EQ(0, saveFourStreamDesign(net.path));
    const std::string grid = "open HIDesignViewerDesignObject.200.0\nopen HENDiagramObject.200(Network HENDiagram)\n";
    const HostRun run = RunViewScript(net.path, grid + "set Enum.206 2\nsettext ExtraData.200 Mine\nget Enum.206\n",
                                      " --open scenario --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ((std::vector<double>{6}), ScriptValues(run.out, 5)) << run.out;
    const HostRun again = RunViewScript(saved.path, grid + "get Enum.206\ntext ExtraData.202\nget Enum.206\n", " --open scenario");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_EQ((std::vector<double>{6}), ScriptValues(again.out, 3)) << again.out;
    EXPECT_TRUE(has(again.out, "4: text ExtraData.202\n  text Mine\n")) << again.out;
    EXPECT_EQ((std::vector<double>{6}), ScriptValues(again.out, 5)) << again.out;

    ScratchFile segments("kept", "segments.kcase", "", false);
    const HostRun table = RunViewScript(ExamplePath("four-streams.csv"), "set Switch.411.0 1\nopen @last\nset Enum.551 2\n",
                                        " --save " + segments.path);
    ASSERT_EQ(0, table.exitCode) << table.out;
    const HostRun reopened = RunViewScript(segments.path, "open SegmentTable.200.0\nget Enum.551\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ((std::vector<double>{2}), ScriptValues(reopened.out, 2)) << reopened.out;
}

// The cross-pinch list follows the exchanger filter: from heaters only to coolers only (one unit
// each) it names the cooler, as the filtered list does.
TEST(HostViewReadoutsKept, TheCrossPinchListFollowsTheFilter) {
    ScratchFile saved("kept", "cross.kcase", "", false);
    ASSERT_EQ(0, saveFourStreamDesign(saved.path));
    const HostRun run = RunViewScript(saved.path,
                                      "set Index.213 0\nset Index.215 0\ntext ExtraData.601.0\n"
                                      "set Index.214 0\nset Index.215 1\ntext ExtraData.601.0\ntext ExtraData.300.[]\n",
                                      " --open design");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: text ExtraData.601.0\n  text Heater\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: text ExtraData.601.0\n  text Cooler\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: text ExtraData.300.[]\n  text Cooler\n")) << run.out;
}

// Reading the network's DTmin, or listing the form that shows it, leaves an exchanger's own DTmin
// typed as 12 as it is.
TEST(HostViewReadoutsKept, ReadingTheNetworksDTminAppliesNothing) {
    ScratchFile saved("kept", "dtmin.kcase", "", false);
    ASSERT_EQ(0, saveFourStreamDesign(saved.path));
    const HostRun run = RunViewScript(saved.path, "set DeltaTemp.605.0 12\nget DeltaTemp.608\nform\nget DeltaTemp.605.0\n",
                                      " --open design");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ((std::vector<double>{10}), ScriptValues(run.out, 2)) << run.out;
    EXPECT_EQ((std::vector<double>{12}), ScriptValues(run.out, 4)) << run.out;
}

}  // namespace

// What the scenario's views show right after an input changes, through `kestrin-host view`: the
// points of a range of DTmin after a stream's own contribution changes, the capital cost after
// the area-target option changes, and the answer of a refused write.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kRange = "open ChiSuperTargetPlot.200.2\nset DeltaTemp.201.0 10\nset DeltaTemp.201.1 20\n"
                           "set DeltaTemp.201.2 5\ncmd UserCalculate\n";

// Hot utility 20, 42.5, 65 kW at DTmin 10, 15, 20. C1's own contribution of 14 C makes the
// scenario's target 24 kW; the range's points, worked out with the old contribution, are gone
// until the range is worked out again (24, 41.5, 59 kW, as `supertarget` gives them).
TEST(HostViewScenarioFollows, AStreamsContributionClearsTheRangeOfDTmin) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      kRange + "get HeatFlow.333.[]\nopen MyOwnerObject\nset DeltaTemp.406.2 14\n" +  // 6-8
                                          "get HeatFlow.107\n" + kRange + "get HeatFlow.333.[]\n");  // 9-15
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ((std::vector<double>{20, 42.5, 65}), ScriptValues(run.out, 6)) << run.out;
    EXPECT_EQ((std::vector<double>{24}), ScriptValues(run.out, 9)) << run.out;
    EXPECT_TRUE(has(run.out, "10: open ChiSuperTargetPlot.200.2\n  text ChiSuperTargetPlot\n")) << run.out;
    EXPECT_EQ((std::vector<double>{24, 41.5, 59}), ScriptValues(run.out, 15)) << run.out;

    const HostRun cleared = RunViewScript(ExamplePath("four-streams.csv"),
                                          kRange + "open MyOwnerObject\nset DeltaTemp.406.2 14\n"
                                                   "open ChiSuperTargetPlot.200.2\nget HeatFlow.333.[]\n");
    ASSERT_EQ(0, cleared.exitCode) << cleared.out;
    EXPECT_TRUE(has(cleared.out, "9: get HeatFlow.333.[]\n  value kW\n")) << cleared.out;
}

// The area-target option 0 prices units on the countercurrent area: 7 x (10000 + 800 x
// (253.296/7)^0.8) = 168858.09; options 1 and 2 price shells on the shell-and-tube area, 215554.22
// as the targeting command gives it. Each follows the option at once, and the total annual cost
// with it.
TEST(HostViewScenarioFollows, TheCapitalCostFollowsTheAreaOptionAtOnce) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "set TargetMethod.101 0\nget Cost.654\nget CostPerTime.651\nget CostPerTime.657\n"
                                      "set TargetMethod.101 1\nget Cost.654\nget CostPerTime.651\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 2).size()) << run.out;
    EXPECT_NEAR(168858.09, ScriptValues(run.out, 2)[0], 0.01) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 3).size()) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 4).size()) << run.out;
    EXPECT_GT(ScriptValues(run.out, 3)[0], ScriptValues(run.out, 4)[0] + 1000.0) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 6).size()) << run.out;
    EXPECT_NEAR(215554.22, ScriptValues(run.out, 6)[0], 0.01) << run.out;
    EXPECT_NEAR(58841.46, ScriptValues(run.out, 7)[0], 0.01) << run.out;
}

// A refused write answers 0, with its one message, and changes nothing: a utility placement
// other than on the grand composite curve while a match is forbidden, and a cleaning moved onto
// the range of another cleaning of the same exchanger (E100 out from 2 to 4 and from 5 to 7).
TEST(HostViewScenarioFollows, ARefusedWriteAnswersZero) {
    const HostRun method = RunViewScript(ExamplePath("four-streams.csv"),
                                         "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.1 1\n"
                                         "expect OnlyGCCBasedAllowedIfForbidden\nset TargetMethod.450 0\n"
                                         "get TargetMethod.450\nexpect OnlyGCCBasedAllowedIfForbidden\n"
                                         "set TargetMethod.450 2\nset TargetMethod.450 1\n");
    ASSERT_EQ(0, method.exitCode) << method.out;
    EXPECT_TRUE(has(method.out, "4: set TargetMethod.450 0\n  result 0\n")) << method.out;
    EXPECT_EQ((std::vector<double>{1}), ScriptValues(method.out, 5)) << method.out;
    EXPECT_TRUE(has(method.out, "7: set TargetMethod.450 2\n  result 0\n")) << method.out;
    EXPECT_TRUE(has(method.out, "8: set TargetMethod.450 1\n  result 1\n")) << method.out;

    OperatedCase c;
    const std::string up = "open MyOwnerObject\n";
    const HostRun cleaning = c.View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\ncmd AddStudyToTrendAnalysis\n"
        "open StudyNodeView.300.1\nset Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\n"
        "cmd AddEventToStudy\nset Enum.391 5\nset Enum.392 7\ncmd AddEventToStudy\n" +
        up + up + "attach Viewable.398 E100_from_t5_to_t7\nopen Viewable.398\nexpect WrongRangeForEvent\n"
        "set Enum.391 3\nget Enum.391\nset Enum.392 6\n");
    ASSERT_EQ(0, cleaning.exitCode) << cleaning.out;
    EXPECT_TRUE(has(cleaning.out, "23: set Enum.391 3\n  result 0\n")) << cleaning.out;
    EXPECT_EQ((std::vector<double>{5}), ScriptValues(cleaning.out, 24)) << cleaning.out;
    EXPECT_TRUE(has(cleaning.out, "25: set Enum.392 6\n  result 1\n")) << cleaning.out;
}

// A fouling factor emptied is unset: the stream goes back to its default of none, and the area
// target with it.
TEST(HostViewScenarioFollows, AnEmptiedFoulingFactorIsUnset) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "get Area.652\nset Fouling.412.0 0.5\nset Fouling.412.0 empty\n"
                                      "get Fouling.412.[]\nget Area.652\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: set Fouling.412.0 empty\n  result 1\n")) << run.out;
    EXPECT_FALSE(has(run.out, "FoulingFactorUpdateError")) << run.out;
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0}), ScriptValues(run.out, 4)) << run.out;
    EXPECT_EQ(ScriptValues(run.out, 1), ScriptValues(run.out, 5)) << run.out;
}

// A new project's "Design 1" is the selected design: its scenario viewer clones and renames it.
// With no design at all, a design command says so and answers 0.
TEST(HostViewScenarioFollows, ANewProjectsDesignIsSelectedAndNoneIsSaid) {
    ScratchFile script("follows", "project.txt",
                       "settext ExtraData.208 Copy\ncmd CloneDesign\nsettext ExtraData.208 Renamed\ncmd RenameView\n"
                       "text ExtraData.650.[]\n");
    const HostRun run = RunHost("view --new hi-project P --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: cmd CloneDesign\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: text ExtraData.650.[]\n  text Design 1\n  text Renamed\n")) << run.out;

    const HostRun none = RunViewScript(ExamplePath("four-streams.csv"),
                                       "settext ExtraData.208 Copy\nexpect NoDesignSelected\ncmd CloneDesign\n"
                                       "expect NoDesignSelected\ncmd RenameView\n");
    ASSERT_EQ(0, none.exitCode) << none.out;
    EXPECT_TRUE(has(none.out, "3: cmd CloneDesign\n  result 0\n")) << none.out;
    EXPECT_TRUE(has(none.out, "5: cmd RenameView\n  result 0\n")) << none.out;
}

// With no design selected, opening the design view makes a design of the scenario and opens its
// viewer, bound to it: the case saved holds the design, and a command of the viewer acts on it.
TEST(HostViewScenarioFollows, OpeningADesignViewWithNoneSelectedMakesTheDesign) {
    ScratchFile saved("follows", "opened.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "cmd OpenDesignView\nopen @last\nexpect NetOptNoDes\ncmd Optimize\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: open @last\n  text Kestrin project_Design\n")) << run.out;
    const HostRun design = RunHost("design " + saved.path);
    EXPECT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "Network design Kestrin project_Design\n")) << design.out;
}

// After a clone the scenario viewer holds the clone as its current design; the case view's
// selection is what a delete or rename from it acts on, saved and reopened alike: the design
// selected goes, or the scenario selected, never the clone in its place.
TEST(HostViewScenarioFollows, TheCaseViewsCommandsActOnTheSelectedDesign) {
    ScratchFile saved("follows", "cloned.kcase", "", false);
    ScratchFile clone("follows", "clone.txt", "settext ExtraData.208 Copy\ncmd CloneDesign\n");
    ASSERT_EQ(0, RunHost("view --new hi-project P --script " + clone.path + " --save " + saved.path).exitCode);
    const std::string designs = "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\ntext ExtraData.650.[]\n";
    struct Row {
        const char* name;
        std::string script;
        const char* left;
    };
    const Row rows[] = {
        {"delete", "attach Viewable.299 Design 1\nanswer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\n" + designs, "text Copy\n"},
        {"delete the clone", "attach Viewable.299 Copy\nanswer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\n" + designs,
         "text Design 1\n"},
        {"rename", "attach Viewable.299 Design 1\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                   "settext ExtraData.208 Renamed\ncmd RenameView\ntext ExtraData.650.[]\n",
         "text Renamed\n  text Copy\n"},
    };
    for (const Row& r : rows) {
        const HostRun run = RunViewScript(saved.path, r.script, " --open case");
        ASSERT_EQ(0, run.exitCode) << r.name << "\n" << run.out;
        const std::string read = "text ExtraData.650.[]\n";
        const std::size_t last = run.out.rfind(read);
        ASSERT_NE(std::string::npos, last) << r.name << "\n" << run.out;
        EXPECT_EQ("  " + std::string(r.left), run.out.substr(last + read.size())) << r.name << "\n" << run.out;
    }
}

}  // namespace

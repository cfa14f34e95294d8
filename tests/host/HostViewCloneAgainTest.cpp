// The clone tool through `kestrin-host view`, opened on the same scenario again and again: each
// opening starts with every stream ticked, so a second append copies as the first did; a clone
// with no name, or with nothing ticked, is refused with a message and copies nothing.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// From the project viewer: the clone tool opened on "base".
const std::string kOpenTool = "open MyOwnerObject\nattach Viewable.299 base\nopen HIDesignViewerProject.200.0\n"
                              "cmd CloneHI\nopen CloneHIScenarioTool.298\n";

TEST(HostViewCloneAgain, EveryOpeningCopiesWhatItShowsAndAnEmptyCopyIsRefused) {
    const std::string script =
        "open MyOwnerObject\n" + kOpenTool +                                                    // 1-6
        "expect CloneNameMissing\ncmd clone\nsettext ExtraData.100 copy\ncmd clone\n" +         // 7-10
        kOpenTool + "choices Enum.200\nset Enum.202 1\ncmd clone\n" +                           // 11-18
        kOpenTool + "set Enum.202 1\ncmd ObjectSelectionToggledOnDataEnum 0\n"                  // 19-25
                    "cmd ObjectSelectionToggledOnDataEnum 1\nexpect CloneCopiesNothing\ncmd clone\n"  // 26-28
                    "settext ExtraData.100 other\ncmd ObjectSelectionToggledOnDataEnum 2\n"     // 29-30
                    "expect CloneCopiesNothing\ncmd clone\nopen MyOwnerObject\n"                // 31-33
                    "open HIDesignViewerScenario.200(copy)\ntext StrName.401.[]\n";                // 34-35
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), script);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "8: cmd clone\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error CloneNameMissing|Type the name of a new scenario")) << run.out;
    // The second opening ticks every stream, as the first.
    EXPECT_TRUE(has(run.out, "16: choices Enum.200\n  choice 0 Process Streams (1)\n  choice 1000 H1 (1)\n"
                             "  choice 1001 H2 (1)\n  choice 1002 C1 (1)\n  choice 1003 C2 (1)\n"
                             "  choice 1 Utility Streams (1)\n"))
        << run.out;
    EXPECT_TRUE(has(run.out, "18: cmd clone\n  result 1\n")) << run.out;
    // Nothing ticked: refused into "copy" (an append) and into the new "other", which is not made.
    EXPECT_TRUE(has(run.out, "28: cmd clone\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error CloneCopiesNothing|Nothing is ticked to copy; tick the streams or the data to "
                             "copy into the scenario: copy|"))
        << run.out;
    EXPECT_TRUE(has(run.out, "32: cmd clone\n  result 0\n")) << run.out;
    // "copy" holds the four streams it was made with and the four the append brought.
    EXPECT_TRUE(has(run.out, "35: text StrName.401.[]\n  text H1\n  text H2\n  text C1\n  text C2\n  text H1 from base\n"
                             "  text H2 from base\n  text C1 from base\n  text C2 from base\n  text **New**\n"))
        << run.out;
}

}  // namespace

namespace {

// Loads typed by the user (method "user") are the scenario's data: the clone reads 30 and 70 kW
// as its source does, and costs them alike, after the case is saved and reopened.
TEST(HostViewCloneAgain, AUserLoadCloneKeepsTheTypedLoads) {
    ScratchFile saved("clone-again", "typed.kcase", "", false);
    const std::string script = "set TargetMethod.450 0\nset HeatFlow.440.0 30\nset HeatFlow.440.1 70\n"
                               "open MyOwnerObject\n" + kOpenTool + "settext ExtraData.100 copy\ncmd clone\n";
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), script, " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ScratchFile read("clone-again", "read.txt", "get TargetMethod.450\nget HeatFlow.440.[]\nget CostPerTime.762\n");
    const HostRun source = RunHost("view " + saved.path + " --open scenario=base --script " + read.path);
    const HostRun copy = RunHost("view " + saved.path + " --open scenario=copy --script " + read.path);
    ASSERT_EQ(0, source.exitCode) << source.out;
    ASSERT_EQ(0, copy.exitCode) << copy.out;
    EXPECT_EQ(ScriptValues(source.out, 1), ScriptValues(copy.out, 1)) << copy.out;
    EXPECT_EQ((std::vector<double>{30, 70}), ScriptValues(copy.out, 2)) << copy.out;
    ASSERT_EQ(1u, ScriptValues(copy.out, 3).size()) << copy.out;
    EXPECT_GT(ScriptValues(copy.out, 3)[0], 0.0) << copy.out;
    EXPECT_EQ(ScriptValues(source.out, 3), ScriptValues(copy.out, 3)) << copy.out;
}

}  // namespace

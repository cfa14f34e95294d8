// kestrin-host view: the clone tool driven from the project viewer of the four-stream table, and
// a total site built from nothing, saved with the streams typed into it and opened again.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostViewTotalSite, ACloneHoldsTheTickedStreamsAndTargetsThemAlone) {
    // H2 (process stream 1, entry 1001) left out: the copy holds H1, C1 and C2. Their problem
    // table at a 10 K minimum approach (shifted 165-55, 25-140, 85-145): interval surpluses
    // +60, -5, -165, +30, -60, a largest deficit of 140 and nothing left at the bottom, so
    // 140 kW of hot utility and none of cold, where the four streams need 20 and 60.
    const std::string script =
        "get HeatFlow.107\n"
        "get HeatFlow.108\n"
        "open MyOwnerObject\n"
        "open MyOwnerObject\n"
        "attach Viewable.299 base\n"
        "open HIDesignViewerProject.200.0\n"
        "cmd CloneHI\n"
        "open CloneHIScenarioTool.298\n"
        "settext ExtraData.100 Copy\n"
        "cmd ObjectSelectionToggledOnDataEnum 1001\n"
        "cmd clone\n"
        "dims HIDesignViewerScenario.200\n"
        "open HIDesignViewerScenario.200(Copy)\n"
        "dims Count.410\n"
        "get HeatFlow.107\n"
        "get HeatFlow.108\n";
    ScratchFile file("view", "clone.txt", script);
    ScratchFile saved("view", "clone.kcase", "", false);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --script " + file.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get HeatFlow.107\n  value 20 kW\n2: get HeatFlow.108\n  value 60 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "12: dims HIDesignViewerScenario.200\n  dims 2\n")) << run.out;
    // Three process streams and the row for a new one.
    EXPECT_TRUE(has(run.out, "14: dims Count.410\n  dims 4\n")) << run.out;
    EXPECT_TRUE(has(run.out, "15: get HeatFlow.107\n  value 140 kW\n16: get HeatFlow.108\n  value 0 kW\n")) << run.out;

    ScratchFile again("view", "reopen.txt",
                      "dims HIDesignViewerScenario.200\nopen HIDesignViewerScenario.200(Copy)\nget HeatFlow.107\n");
    const HostRun reopened = RunHost("view " + saved.path + " --open project --script " + again.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: dims HIDesignViewerScenario.200\n  dims 2\n")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: get HeatFlow.107\n  value 140 kW\n")) << reopened.out;
}

TEST(HostViewTotalSite, ANewSiteSavesItsStreamsAndReopensOnItsViewer) {
    ScratchFile file("view", "site.txt",
                     "attach UtilityNameView.599.0 Cooling Water\n"
                     "attach UtilityNameView.599.1 LP Steam\n"
                     "expect ThisScenarioNameAlreadyExists\n"
                     "cmd AddDefaultScenario\n");
    ScratchFile saved("view", "site.kcase", "", false);
    const HostRun built =
        RunHost("view --new hi-total-site Works --script " + file.path + " --save " + saved.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    const HostRun run = RunHost("view " + saved.path + " --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "\"form\":{\"view\":\"Works\",\"type\":\"HIDesignViewerGrassRootTotalSiteObject\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"address\":\"StrNameU.440\",\"hook\":\"text\",\"unit\":\"\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"text\":\"\","
                             "\"texts\":[\"Cooling Water\",\"LP Steam\",\"**New**\"]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"view\":\"Process 1\",\"type\":\"HIDesignViewerGrassRootScenarioObject\"")) << run.out;

    // An unknown kind of study is refused with the kinds there are.
    const HostRun wrong = RunHost("view --new hi-site Works");
    EXPECT_NE(0, wrong.exitCode);
    EXPECT_TRUE(has(wrong.out, "hi-total-site")) << wrong.out;
}

}  // namespace

// Outputs that read as what they are: a completion's JSON writes null where the completion has no
// LP loads or area of its own (not 0 and no utilities), supertarget tells its progress point by
// point on standard error, and `view` opens a total site's case at the site's own viewer while
// `--open scenario` reaches its first scenario.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}  // namespace

TEST(HostOutputsReadTrue, ACompletionWritesNullForWhatItDoesNotHave) {
    const HostRun run = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --complete " +
                                ExamplePath("four-streams-network.csv") + " --json 2>/dev/null");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "{\"message\": null, \"utility_loads\": null, \"matches\": [")) << run.out;
    EXPECT_TRUE(has(run.out, "\"estimated_area\": null, \"analyses\": null")) << run.out;
    EXPECT_TRUE(has(run.out, "{\"design\": \"A_Design1\", \"utility_loads\": null, \"estimated_area\": null")) << run.out;
    EXPECT_FALSE(has(run.out, "\"estimated_area\": 0")) << run.out;
    // A design from nothing keeps its LP's loads and area.
    const HostRun fresh = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --json 2>/dev/null");
    ASSERT_EQ(0, fresh.exitCode) << fresh.out;
    EXPECT_TRUE(has(fresh.out, "\"utility_loads\": [{\"name\": ")) << fresh.out;
    EXPECT_GT(JsonNumber(fresh.out, "estimated_area"), 0.0) << fresh.out;
}

TEST(HostOutputsReadTrue, SupertargetTellsEachPointOnStandardError) {
    ScratchFile out("readtrue", "points.txt", "", false);
    const HostRun run = RunShell(std::string(KESTRIN_HOST_EXE) + " supertarget " + ExamplePath("four-streams.csv") +
                                 " --from 5 --to 15 --step 5 2>&1 >" + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* point : {"5", "10", "15"})
        EXPECT_TRUE(has(run.out, std::string("supertarget: Calculating targets at DTMin = ") + point + " C\n")) << run.out;
    EXPECT_FALSE(has(FileContents(out.path), "supertarget:"));
}

TEST(HostOutputsReadTrue, ASiteCaseOpensAtTheSiteAndScenarioAtItsFirstScenario) {
    ScratchFile site("readtrue", "site.kcase", "", false);
    ScratchFile none("readtrue", "none.txt", "");
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + none.path + " --save " + site.path).exitCode);
    ScratchFile form("readtrue", "form.txt", "form\n");
    const HostRun byDefault = RunHost("view " + site.path + " --script " + form.path + " --json");
    ASSERT_EQ(0, byDefault.exitCode) << byDefault.out.substr(0, 400);
    EXPECT_TRUE(has(byDefault.out, "{\"view\":\"Works\",\"type\":\"HIDesignViewerGrassRootTotalSiteObject\""))
        << byDefault.out.substr(0, 400);
    const HostRun scenario = RunHost("view " + site.path + " --open scenario --script " + form.path + " --json");
    ASSERT_EQ(0, scenario.exitCode) << scenario.out.substr(0, 400);
    EXPECT_TRUE(has(scenario.out, "{\"view\":\"Process 1\",\"type\":\"HIDesignViewerGrassRootScenarioObject\""))
        << scenario.out.substr(0, 400);
}

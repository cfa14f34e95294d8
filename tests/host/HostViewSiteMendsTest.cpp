// kestrin-host view: a total site's utility-default editor through saves and reopens, the
// conversion of a reopened case, and what the script runner reads of columns, grids and choices.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// The editor opened, the site saved, reopened and the editor opened again, saved again: each
// reopen finds one editor, bound to the site's manager (its first utility's exchanger type
// reads 4, a steam reboiler), and it writes the utility-default set.
TEST(HostViewSiteEditor, OneEditorBoundAgainThroughEveryReopen) {
    ScratchFile first("sitemends", "first.kcase", "", false);
    ScratchFile second("sitemends", "second.kcase", "", false);
    ScratchFile defaults("sitemends", "defaults.hud", "", false);
    const std::string editor = "cmd OpenUDB\nopen @last\nget Enum.900\n";
    ScratchFile script("sitemends", "build.txt", editor);
    const HostRun built = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + first.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    ASSERT_TRUE(has(built.out, "3: get Enum.900\n  value 4\n")) << built.out;

    const HostRun reopened = RunViewScript(first.path, editor + "file " + defaults.path + "\ncmd SaveUtilityDefaultSet\n",
                                       " --open project --save " + second.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: get Enum.900\n  value 4\n")) << reopened.out;
    EXPECT_FALSE(has(reopened.out, "SavePreferenceError")) << reopened.out;
    EXPECT_TRUE(FileExists(defaults.path)) << reopened.out;

    const HostRun listed = RunHost("view " + second.path + " --open project --form");
    ASSERT_EQ(0, listed.exitCode) << listed.out;
    EXPECT_EQ(1u, count(listed.out, "(TotalSiteUtilManagerViewObject)")) << listed.out;
}

// A single-scenario case saved, reopened and converted: the project it becomes holds the case's
// scenario, and it is saved and reopens as a project.
// A utility-defaults file read into a site whose retrofit base runs on HP Steam (its heater):
// the file's other values are taken, HP Steam's site stream keeps its own supply (250 C, not the
// file's 260), and the read says so as a notice naming the utility beside its answer of 1.
TEST(HostViewSiteEditor, ADefaultsFileLeavesTheBasesUtilityAndSaysSo) {
    ScratchFile defaults("sitemends", "hotter.hud", "", false);
    ScratchFile base("sitemends", "base.kcase", "", false);
    const std::string editor = "cmd OpenUDB\nopen @last\n";
    const HostRun saved = RunViewScript("--new hi-total-site Works", editor + "set Temperature.903.2 260\nfile " +
                                                                         defaults.path + "\ncmd SaveUtilityDefaultSet\n");
    ASSERT_EQ(0, saved.exitCode) << saved.out;
    const HostRun built = RunViewScript("--new hi-total-site Works",
                                        kFourStreamSite + "cmd AutomaticHENDesign\ncmd SelectRetrofitNow\nset Enum.222 1\n"
                                                          "set Index.217 1\ncmd RetrofitNow\n",
                                        " --save " + base.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    const HostRun read = RunViewScript(base.path, editor + "file " + defaults.path +
                                                      "\nexpect HeldUtilitiesLeftAlone\ncmd OpenUtilityDefaultSet\n"
                                                      "open MyOwnerObject\nget Temperature.440.0\n");
    ASSERT_EQ(0, read.exitCode) << read.out;
    EXPECT_TRUE(has(read.out, "cmd OpenUtilityDefaultSet\n  result 1\n")) << read.out;
    EXPECT_TRUE(has(read.out, "Response HeldUtilitiesLeftAlone|")) << read.out;
    EXPECT_TRUE(has(read.out, "which keep their own values: HP Steam.|1|")) << read.out;
    EXPECT_TRUE(has(read.out, "get Temperature.440.0\n  value 250 C\n")) << read.out;
}

TEST(HostViewConvert, AReopenedCaseBecomesAProject) {
    ScratchFile single("sitemends", "single.kcase", "", false);
    ScratchFile converted("sitemends", "converted.kcase", "", false);
    ScratchFile script("sitemends", "single.txt", "text ExtraData.201\n");
    ASSERT_EQ(0, RunHost("view --new hi-case C --script " + script.path + " --save " + single.path).exitCode);
    const HostRun run = RunViewScript(single.path,
                                  "cmd Convert\nopen ChiGrassRootView.200(HI Project 1)\nopen HIDesignViewerProject.200.0\n"
                                  "dims HIDesignViewerScenario.200\nopen HIDesignViewerScenario.200(C)\n",
                                  " --save " + converted.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: dims HIDesignViewerScenario.200\n  dims 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: open HIDesignViewerScenario.200(C)\n  text C\n")) << run.out;
    const HostRun again = RunHost("view " + converted.path + " --open project --form --json");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_TRUE(has(again.out, "\"form\":{\"view\":\"HI Project 1\",\"type\":\"HIDesignViewerGrassRootProjectObject\""))
        << again.out.substr(0, 400);
}

// Designs of an automatic design with no retrofit base design: nothing to save against, so the
// ranked list shows no payback (the engine's figure is a negative time), as the design viewer.
TEST(HostViewPayback, NoPaybackWithoutARetrofitBaseDesign) {
    ScratchFile designs("sitemends", "designs.kcase", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 --save " + designs.path).exitCode);
    const HostRun run = RunViewScript(designs.path, "get ExtraData.201.[]\nopen HIDesignViewerDesign.200.0\nget ExtraData.786.0\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get ExtraData.201.[]\n  value empty empty\n")) << run.out;
    EXPECT_TRUE(has(run.out, "3: get ExtraData.786.0\n  value empty")) << run.out;
}

// The script runner reads a column cell by cell in each cell's own unit (the utility cost total
// in Cost/year, its share beside it in none) and a grid cell named by one index of two at the
// first place along the other, as the form reads it.
TEST(HostViewRunner, ColumnsConvertPerCellAndOneIndexReadsAGridsFirstCell) {
    ScratchFile designs("sitemends", "runner.kcase", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 --save " + designs.path).exitCode);
    const HostRun run = RunViewScript(designs.path, "get ExtraData.264.[]\nopen HIDesignViewerDesign.200.0\n"
                                                "get Temperature.708.3.0\nget Temperature.708.3\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get ExtraData.264.[]\n  value 1978.800745 Cost/year empty Cost/year empty\n")) << run.out;
    EXPECT_TRUE(has(run.out, "3: get Temperature.708.3.0\n  value 135 C\n4: get Temperature.708.3\n  value 135 C\n"))
        << run.out;
}

// `choices` shows which entries a list keeps hidden: on a scenario that is no retrofit the
// list of plot kinds hides the retrofit ones (12, 13, 14, 16) and shows 11; in JSON each entry
// says so too.
TEST(HostViewRunner, ChoicesShowTheHiddenEntries) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), "choices Enum.402\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"  choice 11 11 (0)\n", "  choice 12 12 (0) hidden\n", "  choice 13 13 (0) hidden\n",
                             "  choice 14 14 (0) hidden\n", "  choice 15 15 (0)\n", "  choice 16 16 (0) hidden\n"})
        EXPECT_TRUE(has(run.out, line)) << line << run.out;
    EXPECT_EQ(4u, count(run.out, " hidden\n")) << run.out;
    const HostRun json = RunViewScript(ExamplePath("four-streams.csv"), "choices Enum.402\n", " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_EQ(4u, count(json.out, "\"hidden\":true")) << json.out;
    EXPECT_EQ(12u, count(json.out, "\"hidden\":false")) << json.out;
}

}  // namespace

namespace {

// A site stream's own name typed over it again renames nothing and is no refusal, on the site and
// in a scenario of the site (where another name is refused: the site names its streams); the site
// saves and reopens with its streams as they were.
TEST(HostViewSiteStreams, TheirOwnNameTypedAgainIsNoRename) {
    ScratchFile saved("sitemends", "samename.kcase", "", false);
    ScratchFile script("sitemends", "samename.txt",
                       "attach UtilityNameView.599.0 Cooling Water\nattach UtilityNameView.599.1 HP Steam\n"
                       "attach UtilityNameView.599.0 Cooling Water\ntext StrNameU.440.[]\n"
                       "open HIDesignViewerScenario.200(Process 1)\nsettext StrNameU.440.0 Cooling Water\n"
                       "expect SiteUtilityStaysInEveryScenario\nsettext StrNameU.440.0 Coolant\n"
                       "open MyOwnerObject\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "RenameStreamError")) << run.out;
    const HostRun again = RunViewScript(saved.path, "text StrNameU.440.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "  text Cooling Water\n  text HP Steam\n  text **New**\n")) << again.out;
}

// What the scenario says when a match is forbidden and when none is any more is shown in words,
// with no numbers the scenario never sent after them. Both are told as information: the write
// that forbade the match, or freed the Bath formula again, was done.
TEST(HostViewScenarioNotices, AForbiddenMatchIsAnnouncedInWords) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                                      "expect ChangingToBathChoseUnForbidAll\nset Switch.1200.0.0 0\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "  Response ChangingToLPAndGCCChoseForbidden|A match is forbidden: the area target comes "
                             "from the area LP and the utilities are placed on the grand composite curve.|1|1\n"))
        << run.out;
    EXPECT_TRUE(has(run.out, "  Response ChangingToBathChoseUnForbidAll|No match is forbidden any more: the Bath formula "
                             "may be chosen again for the area target.|1|1\n"))
        << run.out;
    EXPECT_EQ(0u, count(run.out, " 0 0 0|")) << run.out;
}

}  // namespace

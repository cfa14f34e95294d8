// A total site's economics are the site's: a capital-cost file opened in one of its scenarios is
// read into the site's sets, prices every scenario of the site, and the sets the scenario shows
// are the ones a save writes.
#include "DefaultUtilityBytes.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The four streams' capital cost goes up by 10000 a unit when the law's constant a goes from
// 10000 to 20000: N (a + 800 (A / N)^0.8), N the units of the pinch design (4 above, 3 below).
TEST(HostSiteEconomics, ACapitalCostFileOpenedInASiteScenarioPricesTheSite) {
    ScratchFile costs("site-economics", "a20000.hcc", "", false), written("site-economics", "site.hcc", "", false);
    ScratchFile make("site-economics", "make.txt",
                     "set Cost.501.0 20000\nfile " + costs.path + "\ncmd SaveHXCapitalCostDefaultSet\n");
    ASSERT_EQ(0, RunHost("view " + ExamplePath("four-streams.csv") + " --script " + make.path).exitCode);
    const HostRun targets = RunHost("targets " + ExamplePath("four-streams.csv") + " --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    const double units = JsonNumber(targets.out, "units_pinch"), capital = JsonNumber(targets.out, "capital_cost");
    EXPECT_EQ(7, units) << targets.out;

    ScratchFile script("site-economics", "site.txt",
                       kFourStreamSite + "get Cost.654\nfile " + costs.path +
                           "\ncmd OpenHXCapitalCostDefaultSet\nget Cost.501.0\nget Cost.654\n"  // 20-24
                           "file " + written.path + "\ncmd SaveHXCapitalCostDefaultSet\nopen MyOwnerObject\n"
                           "cmd AddDefaultScenario Winter\nopen HIDesignViewerScenario.200(Winter)\nget Cost.501.0\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NEAR(capital, ScriptValues(run.out, 20).at(0), 1e-3) << run.out;
    EXPECT_EQ(std::vector<double>{20000}, ScriptValues(run.out, 23)) << run.out;
    EXPECT_NEAR(capital + 10000 * units, ScriptValues(run.out, 24).at(0), 1e-3) << run.out;
    // Another scenario of the site lists the site's set.
    EXPECT_EQ(std::vector<double>{20000}, ScriptValues(run.out, 30)) << run.out;
    // The file saved from the site scenario holds the site's set.
    ScratchFile read("site-economics", "read.txt", "file " + written.path + "\ncmd OpenHXCapitalCostDefaultSet\nget Cost.501.0\n");
    const HostRun project = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + read.path);
    ASSERT_EQ(0, project.exitCode) << project.out;
    EXPECT_EQ(std::vector<double>{20000}, ScriptValues(project.out, 3)) << project.out;
}

}  // namespace

namespace {

// HP Steam typed 270 -> 269 C on the site table keeps that span when the defaults editor changes
// its price or its approach (each reaching the site stream as what it changed); a defaults file
// that gives HP Steam 300 -> 299 C sets both of its ends together, never one end of each.
TEST(HostSiteEconomics, AnEditorChangeUpdatesWhatItChanged) {
    ScratchFile hud("site-economics", "defaults.hud", "", false);
    const std::string typed = "attach UtilityNameView.599.0 HP Steam\nset Temperature.440.0 270\nset Temperature.441.0 269\n"
                              "cmd OpenUDB\nopen @last\n";  // 1-5
    ScratchFile edit("site-economics", "edit.txt",
                     typed + "file " + hud.path + "\ncmd SaveUtilityDefaultSet\n"                     // 6-7
                             "set CostPerEnergy.906.2 0.01\nset DeltaTemp.909.2 7\nopen MyOwnerObject\n"  // 8-10
                             "get Temperature.440.0\nget Temperature.441.0\nget DeltaTemp.442.0\nget CostPerEnergy.445.0\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + edit.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::vector<double>{270}, ScriptValues(run.out, 11)) << run.out;
    EXPECT_EQ(std::vector<double>{269}, ScriptValues(run.out, 12)) << run.out;
    EXPECT_EQ(std::vector<double>{7}, ScriptValues(run.out, 13)) << run.out;
    EXPECT_EQ(std::vector<double>{0.01}, ScriptValues(run.out, 14)) << run.out;

    ScratchFile hotter("site-economics", "hotter.hud",
                       WithHPSteamValue(WithHPSteamValue(FileContents(hud.path), 1, 299.0), 0, 300.0));
    ScratchFile open("site-economics", "open.txt",
                     typed + "file " + hotter.path + "\ncmd OpenUtilityDefaultSet\nopen MyOwnerObject\n"
                             "get Temperature.440.0\nget Temperature.441.0\n");
    const HostRun opened = RunHost("view --new hi-total-site Works --script " + open.path);
    ASSERT_EQ(0, opened.exitCode) << opened.out;
    EXPECT_EQ(std::vector<double>{300}, ScriptValues(opened.out, 9)) << opened.out;
    EXPECT_EQ(std::vector<double>{299}, ScriptValues(opened.out, 10)) << opened.out;
}

}  // namespace

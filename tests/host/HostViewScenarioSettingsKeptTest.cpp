// kestrin-host view: settings of a scenario that must survive a save and a reopen although
// nothing has been calculated from them yet, and readouts that must not go stale after an edit
// that leaves what they show unchanged.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A scenario with no process stream yet (a new project's, a new site's) has no placement to
// keep: the method chosen for it is the scenario's own and must reach the case file all the same.
struct EmptyScenario {
    const char* name;
    const char* kind;
    const char* before = "";  // typed before the scenario is opened
};
void PrintTo(const EmptyScenario& c, std::ostream* out) { *out << c.name; }

class HostViewPlacementMethodKept : public ::testing::TestWithParam<EmptyScenario> {};

TEST_P(HostViewPlacementMethodKept, TheMethodOfAScenarioWithoutStreamsReopensAsChosen) {
    for (const char* method : {"2", "0"}) {
        SCOPED_TRACE(method);
        ScratchFile saved("settingskept", "empty.kcase", "", false);
        ScratchFile script("settingskept", "empty.txt",
                           std::string(GetParam().before) + "open HIDesignViewerScenario.200.0\nset TargetMethod.450 " +
                               method + "\n");
        const HostRun run = RunHost(std::string("view --new ") + GetParam().kind + " Works --script " + script.path +
                                    " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const HostRun again =
            RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nget TargetMethod.450\n", " --open project");
        ASSERT_EQ(0, again.exitCode) << again.out;
        EXPECT_TRUE(has(again.out, std::string("2: get TargetMethod.450\n  value ") + method + "\n")) << again.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, HostViewPlacementMethodKept,
                         ::testing::Values(EmptyScenario{"Project", "hi-project"},
                                           EmptyScenario{"Site", "hi-total-site"},
                                           // Its copies of the site utilities are all the scenario's
                                           // streams: loads typed by hand have no curves to be set against.
                                           EmptyScenario{"SiteWithUtilities", "hi-total-site",
                                                         "attach UtilityNameView.599.0 HP Steam\n"
                                                         "attach UtilityNameView.599.1 Cooling Water\n"}),
                         [](const ::testing::TestParamInfo<EmptyScenario>& info) { return std::string(info.param.name); });

// On the four-stream table the automatic placement loads both utilities ("Load assigned").
// An economic edit moves no load: the status column reads the same after it, and after the case
// is saved and reopened.
struct EconomicEdit {
    const char* name;
    const char* line;
};
void PrintTo(const EconomicEdit& c, std::ostream* out) { *out << c.name; }

class HostViewPlacementStatusAfterEconomics : public ::testing::TestWithParam<EconomicEdit> {};

TEST_P(HostViewPlacementStatusAfterEconomics, TheUtilitiesStillReadLoadAssigned) {
    const std::string loaded = "text Name.234.[]\n  text Load assigned\n  text Load assigned\n";
    ScratchFile saved("settingskept", "economics.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      std::string("text Name.234.[]\n") + GetParam().line + "text Name.234.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: " + loaded)) << run.out;
    EXPECT_TRUE(has(run.out, "3: " + loaded)) << run.out;
    const HostRun again = RunViewScript(saved.path, "text Name.234.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: " + loaded)) << again.out;
}

INSTANTIATE_TEST_SUITE_P(Edits, HostViewPlacementStatusAfterEconomics,
                         ::testing::Values(EconomicEdit{"CapitalCostLaw", "set Cost.501.0 12000\n"},
                                           EconomicEdit{"UtilityPrice", "set CostPerEnergy.445.0 150\n"}),
                         [](const ::testing::TestParamInfo<EconomicEdit>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// An exchanger DTmin typed on the design viewer (12 C on the first of the automatic design's
// exchangers) stays what was typed when the design's DTmin from the network is read, alone or in
// a form listing, and the case keeps it. The figure read is the smaller of the scenario's DTmin
// and the network's smallest approach: 10 C, the four-stream design's.
TEST(HostViewDesignApproach, TheDTminFromTheNetworkIsShownWithoutBeingApplied) {
    ScratchFile designs("settingskept", "designs.kcase", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 1 --save " + designs.path).exitCode);
    for (const char* read : {"get DeltaTemp.608\n", "form\n"}) {
        SCOPED_TRACE(read);
        ScratchFile saved("settingskept", "typed.kcase", "", false);
        const HostRun run = RunViewScript(designs.path,
                                          std::string("open HIDesignViewerDesign.200.0\nset DeltaTemp.605.0 12\n") + read +
                                              "get DeltaTemp.605.0\nget DeltaTemp.607\nget DeltaTemp.608\n",
                                          " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
        EXPECT_TRUE(has(run.out, "4: get DeltaTemp.605.0\n  value 12 C\n5: get DeltaTemp.607\n  value 10 C\n"
                                 "6: get DeltaTemp.608\n  value 10 C\n"))
            << run.out.substr(run.out.size() > 2000 ? run.out.size() - 2000 : 0);
        const HostRun again = RunViewScript(saved.path, "open HIDesignViewerDesign.200.0\nget DeltaTemp.605.0\n");
        ASSERT_EQ(0, again.exitCode) << again.out;
        EXPECT_TRUE(has(again.out, "2: get DeltaTemp.605.0\n  value 12 C\n")) << again.out;
    }
}

// A site scenario's DTmin moved to 12 C: its design keeps its own DTmin (10 C) and shows 12 C as
// the network's (no exchanger yet), the same after a form listing, a save and a reopen.
TEST(HostViewDesignApproach, ASiteDesignShowsTheSameDTminsBeforeAndAfterAReopen) {
    ScratchFile saved("settingskept", "site.kcase", "", false);
    const std::string reads = "get DeltaTemp.1\nget DeltaTemp.607\nget DeltaTemp.608\n";
    ScratchFile script("settingskept", "site.txt",
                       "open HIDesignViewerScenario.200.0\nset DeltaTemp.1 12\nopen HIDesignViewerDesign.200.0\nform\n" +
                           reads);
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    auto values = [](int first) {
        return std::to_string(first) + ": get DeltaTemp.1\n  value 12 C\n" + std::to_string(first + 1) +
               ": get DeltaTemp.607\n  value 10 C\n" + std::to_string(first + 2) + ": get DeltaTemp.608\n  value 12 C\n";
    };
    EXPECT_TRUE(has(run.out, values(5))) << run.out.substr(run.out.size() > 1000 ? run.out.size() - 1000 : 0);
    const HostRun again = RunViewScript(
        saved.path, "open HIDesignViewerScenario.200.0\nopen HIDesignViewerDesign.200.0\nform\n" + reads, " --open project");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_TRUE(has(again.out, values(4))) << again.out.substr(again.out.size() > 1000 ? again.out.size() - 1000 : 0);
}

// A site (HP Steam, Cooling Water) with the four classic streams at DTmin 20 C, Cooling Water's
// own approach emptied: it takes the scenario's DTmin, and H2 (150 -> 30 C, 1.5 kW/C) can then be
// cooled by it only down to 40 C, so 90 of the 105 kW of cold utility are placed on it (at DTmin
// 10 it would be 97.5). The reopened case places the same.
TEST(HostViewSiteApproach, ASiteUtilityOnTheGlobalApproachTakesItsScenariosDTminAfterAReopen) {
    ScratchFile saved("settingskept", "approach.kcase", "", false);
    ScratchFile script("settingskept", "approach.txt",
                       kFourStreamSite + "set DeltaTemp.1 20\nset DeltaTemp.442.1 empty\nget HeatFlow.440.[]\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "22: get HeatFlow.440.[]\n  value 65 90 kW\n")) << run.out.substr(run.out.size() - 600);
    const HostRun again =
        RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nget DeltaTemp.442.[]\nget HeatFlow.440.[]\n", " --open project");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: get DeltaTemp.442.[]\n  value 10 empty C\n3: get HeatFlow.440.[]\n  value 65 90 kW\n"))
        << again.out;
}

}  // namespace

namespace {

// The four-stream site with the utility loads assigned by hand (25 kW of HP Steam, 65 kW of
// Cooling Water) and Cooling Water's end fraction at 0.05: the loads and the fraction are the
// scenario's own, kept on its copies of the site utilities, and a reopened case reads them back.
TEST(HostViewSiteUtilityLoads, TypedLoadsAndEndFractionsOfASiteScenarioReopenAsTyped) {
    ScratchFile saved("settingskept", "loads.kcase", "", false);
    const std::string reads = "get HeatFlow.440.[]\nget EndTolerance.202.1\n";
    ScratchFile script("settingskept", "loads.txt",
                       kFourStreamSite + "set TargetMethod.450 0\nset HeatFlow.440.0 25\nset HeatFlow.440.1 65\n"
                                         "set EndTolerance.202.1 0.05\n" + reads);
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string values = "get HeatFlow.440.[]\n  value 25 65 kW\n";
    EXPECT_TRUE(has(run.out, "24: " + values)) << run.out.substr(run.out.size() - 600);
    EXPECT_TRUE(has(run.out, "25: get EndTolerance.202.1\n  value 0.05\n")) << run.out.substr(run.out.size() - 600);
    const HostRun again =
        RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nget TargetMethod.450\n" + reads, " --open project");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: get TargetMethod.450\n  value 0\n3: " + values +
                                   "4: get EndTolerance.202.1\n  value 0.05\n"))
        << again.out;
}

}  // namespace

namespace {

// A load typed on the site's own table (25 kW of HP Steam) is the site stream's: the site table
// shows it, and each scenario that assigns its utility loads by hand (Process 1, and Winter, which
// has no process stream) takes it as its own. A load typed afterwards in Process 1 (30 kW) is that
// scenario's alone: the site table still shows the site's 25 kW. Saved and reopened, all read as
// they were.
TEST(HostViewSiteUtilityLoads, ALoadTypedOnTheSiteTableIsShownThereAndKept) {
    ScratchFile saved("settingskept", "siteload.kcase", "", false);
    const std::string winter = "open HIDesignViewerScenario.200(Winter)\n", process = "open HIDesignViewerScenario.200(Process 1)\n";
    ScratchFile script("settingskept", "siteload.txt",
                       kFourStreamSite + "set TargetMethod.450 0\nopen MyOwnerObject\ncmd AddDefaultScenario Winter\n" +
                           winter + "set TargetMethod.450 0\nopen MyOwnerObject\nset HeatFlow.440.0 25\nget HeatFlow.440.[]\n" +
                           winter + "get HeatFlow.440.[]\nopen MyOwnerObject\n" + process +
                           "get HeatFlow.440.[]\nset HeatFlow.440.0 30\nopen MyOwnerObject\nget HeatFlow.440.[]\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string tail = run.out.substr(run.out.size() > 1500 ? run.out.size() - 1500 : 0);
    EXPECT_TRUE(has(run.out, "27: get HeatFlow.440.[]\n  value 25 0 kW\n")) << tail;
    EXPECT_TRUE(has(run.out, "29: get HeatFlow.440.[]\n  value 25 0 kW\n")) << tail;
    EXPECT_TRUE(has(run.out, "32: get HeatFlow.440.[]\n  value 25 60 kW\n")) << tail;
    EXPECT_TRUE(has(run.out, "35: get HeatFlow.440.[]\n  value 25 0 kW\n")) << tail;
    const HostRun again = RunViewScript(saved.path, "get HeatFlow.440.[]\n" + winter + "get HeatFlow.440.[]\nopen MyOwnerObject\n" +
                                                        process + "get HeatFlow.440.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: get HeatFlow.440.[]\n  value 25 0 kW\n")) << again.out;
    EXPECT_TRUE(has(again.out, "3: get HeatFlow.440.[]\n  value 25 0 kW\n")) << again.out;
    EXPECT_TRUE(has(again.out, "6: get HeatFlow.440.[]\n  value 30 60 kW\n")) << again.out;
}

// Loads typed into Process 1 (25 kW of HP Steam, 65 kW of Cooling Water, 2406.50 a year), then
// MP Steam added on the site: the new utility carries no load there, as one added to a project's
// table does, and the cost stays; the reopened case reads the same, and saved again unchanged it
// writes the same bytes.
TEST(HostViewSiteUtilityLoads, AUtilityAddedOnTheSiteAfterTypedLoadsCarriesNone) {
    ScratchFile saved("settingskept", "added.kcase", "", false), again("settingskept", "added-again.kcase", "", false);
    const std::string reads = "get HeatFlow.440.[]\nget CostPerTime.302\n";
    const std::string script = kFourStreamSite + "set TargetMethod.450 0\nset HeatFlow.440.0 25\nset HeatFlow.440.1 65\n"
                                                 "open MyOwnerObject\nattach UtilityNameView.599.2 MP Steam\n"
                                                 "open HIDesignViewerScenario.200(Process 1)\n" + reads;
    const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                ScratchFile("settingskept", "added.txt", script).path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string values = "get HeatFlow.440.[]\n  value 25 65 0 kW\n";
    EXPECT_TRUE(has(run.out, "26: " + values + "27: get CostPerTime.302\n  value 2406.5")) << run.out.substr(run.out.size() - 600);
    const HostRun reopened = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\n" + reads,
                                           " --open project --save " + again.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "2: " + values + "3: get CostPerTime.302\n  value 2406.5")) << reopened.out;
    const HostRun last = RunViewScript(again.path, "open HIDesignViewerScenario.200.0\n", " --open project --save " + saved.path);
    ASSERT_EQ(0, last.exitCode) << last.out;
    EXPECT_TRUE(FileContents(saved.path) == FileContents(again.path));
}

}  // namespace

namespace {

// A site scenario whose only streams are the site utilities, their loads typed by hand (25 kW of
// HP Steam, 65 kW of Cooling Water): there is no process stream to exchange heat with, so the
// viewer shows no area, units or shells; `targets` on the saved case says the same, in text and
// in JSON, and keeps the operating cost of the typed loads, with no capital or total annual cost
// (no exchanger to buy);
// `supertarget` does the same at each of its points.
TEST(HostViewSiteUtilityLoads, AScenarioOfUtilitiesOnlyReportsNoNetworkFigures) {
    ScratchFile saved("settingskept", "utilitiesonly.kcase", "", false);
    const std::string script = "attach UtilityNameView.599.0 HP Steam\nattach UtilityNameView.599.1 Cooling Water\n"
                               "open HIDesignViewerScenario.200.0\nset TargetMethod.450 0\nset HeatFlow.440.0 25\n"
                               "set HeatFlow.440.1 65\nget Area.200\nget GlMinUnit.200\nget CostPerTime.302\n";
    const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                ScratchFile("settingskept", "utilitiesonly.txt", script).path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "7: get Area.200\n  value empty m2\n8: get GlMinUnit.200\n  value empty\n")) << run.out;
    const HostRun text = RunHost("targets " + saved.path);
    ASSERT_EQ(0, text.exitCode) << text.out;
    for (const char* line : {"area, countercurrent      not available", "area, shell and tube      not available",
                             "units, overall            not available", "units, pinch division     not available",
                             "shells                    not available", "capital cost              not available\n",
                             "operating cost            2406.50 per year", "total annual cost         not available\n",
                             "HP Steam  25.000 kW",
                             "Note: area, units, shells, capital and total annual cost are not available: the table has no "
                             "process streams to "
                             "exchange heat with"})
        EXPECT_TRUE(has(text.out, line)) << line << "\n" << text.out;
    const HostRun json = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    for (const char* field : {"\"area_countercurrent\": null", "\"area_shell_tube\": null", "\"units_overall\": null",
                              "\"units_pinch\": null", "\"shells\": null", "\"capital_cost\": null,",
                              "\"operating_cost\": 2406.5", "\"total_annual_cost\": null,"})
        EXPECT_TRUE(has(json.out, field)) << field << "\n" << json.out;
    // So does every point of a supertargeting run.
    const HostRun range = RunHost("supertarget " + saved.path + " --from 10 --to 11");
    ASSERT_EQ(0, range.exitCode) << range.out;
    EXPECT_TRUE(has(range.out, "  10.000     0.00      0.00       n/a       n/a          n/a    n/a          n/a     2406.50         n/a\n"))
        << range.out;
    const HostRun rangeJson = RunHost("supertarget " + saved.path + " --from 10 --to 11 --json");
    ASSERT_EQ(0, rangeJson.exitCode) << rangeJson.out;
    EXPECT_TRUE(has(rangeJson.out, "\"area_countercurrent\": null, \"area_shell_tube\": null, \"units_pinch\": null, "
                                   "\"shells\": null, \"shells_capped\": false, \"capital_cost\": null, "
                                   "\"operating_cost\": 2406.5"))
        << rangeJson.out;
    EXPECT_TRUE(has(rangeJson.out, "\"total_annual_cost\": null}"))
        << rangeJson.out;
}

// Loads typed by hand (25 kW of the hot utility, 65 kW of Cooling Water) and Cooling Water's end
// fraction at 0.05, then a utility renamed or its supply temperature changed: the utility's
// segments are made again from its new values, and the loads and the fraction stay as typed, at
// once and after a save and a reopen. The operating cost follows the hot utility's price: 25 x
// 78.84 (HP Steam, 0.009 per kWh over 8760 h) + 65 x 6.7 = 2406.50 a year; as MP Steam 25 x
// 69.3792 + 65 x 6.7 = 2169.98.
struct KeptLoadEdit {
    const char* name;
    bool site;          // on a total site's viewer, else in a project
    const char* edit;   // the step, on the site's viewer or the project's scenario
    double cost;        // the operating cost afterwards
};
void PrintTo(const KeptLoadEdit& c, std::ostream* out) { *out << c.name; }

class HostViewTypedLoadsKept : public ::testing::TestWithParam<KeptLoadEdit> {};

TEST_P(HostViewTypedLoadsKept, ARenameOrANewTemperatureKeepsTheTypedLoadsAndFractions) {
    const KeptLoadEdit& c = GetParam();
    const std::string typed = "set TargetMethod.450 0\nset HeatFlow.440.0 25\nset HeatFlow.440.1 65\nset EndTolerance.202.1 0.05\n";
    const std::string reads = "get HeatFlow.440.[]\nget EndTolerance.202.1\nget CostPerTime.302\n";
    const std::string script = c.site ? kFourStreamSite + typed + "open MyOwnerObject\n" + c.edit +
                                            "open HIDesignViewerScenario.200.0\n" + reads
                                      : typed + c.edit + reads;
    ScratchFile saved("settingskept", std::string(c.name) + ".kcase", "", false);
    ScratchFile file("settingskept", std::string(c.name) + ".txt", script);
    const std::string input = c.site ? "--new hi-total-site Works" : ExamplePath("four-streams.csv");
    const HostRun run = RunHost("view " + input + " --script " + file.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    auto check = [&](const HostRun& r, int last) {
        EXPECT_EQ((std::vector<double>{25, 65}), ScriptValues(r.out, last - 2)) << r.out.substr(r.out.size() - 800);
        EXPECT_EQ((std::vector<double>{0.05}), ScriptValues(r.out, last - 1)) << r.out.substr(r.out.size() - 800);
        ASSERT_EQ(1u, ScriptValues(r.out, last).size()) << r.out.substr(r.out.size() - 800);
        EXPECT_NEAR(c.cost, ScriptValues(r.out, last)[0], 0.005) << r.out.substr(r.out.size() - 800);
    };
    const auto lines = [](const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); };
    check(run, lines(script));
    const HostRun again = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\n" + reads, " --open project");
    ASSERT_EQ(0, again.exitCode) << again.out;
    check(again, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HostViewTypedLoadsKept,
    ::testing::Values(KeptLoadEdit{"SiteRename", true, "attach UtilityNameView.599.0 MP Steam\n", 2169.98},
                      KeptLoadEdit{"SiteTemperature", true, "set Temperature.440.0 260\n", 2406.50},
                      KeptLoadEdit{"ProjectRename", false, "attach UtilityNameView.599.0 MP Steam\n", 2169.98},
                      KeptLoadEdit{"ProjectTemperature", false, "set Temperature.440.0 260\n", 2406.50}),
    [](const ::testing::TestParamInfo<KeptLoadEdit>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Loads typed by hand (25 kW of HP Steam, 65 kW of Cooling Water), then Cooling Water split in its
// segment table at 22 C (the new segment given its end and specific heat) and joined back: the
// 65 kW stay the user's, spread over the two segments by their spans (26 and 39 kW) and whole
// again on one; the operating cost stays 2406.50 a year, at once, reopened and in `targets`. The
// split and the join are done, and answer so.
TEST(HostViewSiteUtilityLoads, AUtilitySplitInItsSegmentTableAndJoinedKeepsItsTypedLoad) {
    ScratchFile split("settingskept", "split.kcase", "", false), joined("settingskept", "joined.kcase", "", false);
    const std::string reads = "open MyOwnerObject\nget HeatFlow.440.[]\nget CostPerTime.302\n";
    const std::string splitting = "set TargetMethod.450 0\nset HeatFlow.440.0 25\nset HeatFlow.440.1 65\n"
                                  "set RowPos.106 1\ncmd ViewSegTableViewU\nopen @last\nset WhereToIns.200 0\n"
                                  "expect InsertedSegmentIncomplete\ncmd InsSeg\nset Temperature.101.0 22\n"
                                  "set SpecificHeat.100.0 4.183\nget HeatFlow.100.[]\n";
    const std::string joining = "open SegmentTable.202.0\nset WhereToIns.200 1\ncmd DeleteSegment\nget HeatFlow.100.[]\n";
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), splitting + reads, " --save " + split.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const auto check = [](const HostRun& r, int last, const std::vector<double>& segments) {
        const std::string tail = r.out.substr(r.out.size() > 800 ? r.out.size() - 800 : 0);
        if (!segments.empty()) {
            EXPECT_EQ(segments, ScriptValues(r.out, last - 3)) << tail;
        }
        EXPECT_EQ((std::vector<double>{25, 65}), ScriptValues(r.out, last - 1)) << tail;
        ASSERT_EQ(1u, ScriptValues(r.out, last).size()) << tail;
        EXPECT_NEAR(2406.50, ScriptValues(r.out, last)[0], 0.005) << tail;
    };
    EXPECT_TRUE(has(run.out, "9: cmd InsSeg\n  result 1\n")) << run.out;
    check(run, 15, {26, 39});
    const HostRun reopened = RunViewScript(split.path, joining + reads, " --save " + joined.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: cmd DeleteSegment\n  result 1\n")) << reopened.out;
    check(reopened, 7, {65});
    for (const std::string& saved : {split.path, joined.path}) {
        const HostRun targets = RunHost("targets " + saved);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "  HP Steam  25.000 kW\n  Cooling Water  65.000 kW\n")) << targets.out;
        EXPECT_TRUE(has(targets.out, "operating cost            2406.50 per year")) << targets.out;
    }
}

}  // namespace

namespace {

// The extracted preheat train with loads typed by hand (Air 0, LP Steam 60, MP Steam 60), then a
// segment inserted into LP Steam (125 -> 124 C) at 124.5 C: while the new segment has no specific
// heat LP Steam is left out; completed (2196.4 kJ/kg K, as the segment it was cut from), in the
// same session or after a save and a reopen, its 60 kW are the user's again, spread by range (30
// and 30 kW), and the targets place 60 and 60 kW.
TEST(HostViewSiteUtilityLoads, AUtilitySegmentInsertedKeepsItsTypedLoadWhenCompletedLater) {
    ScratchFile extracted("settingskept", "preheat.kcase", "", false);
    const HostRun extract = RunHost("extract " + ExamplePath("extraction/preheat-train.vmc") + " --save " + extracted.path);
    ASSERT_EQ(0, extract.exitCode) << extract.out;
    const std::string typing = "set TargetMethod.450 0\nset HeatFlow.440.1 60\nset HeatFlow.440.2 60\n"
                               "set RowPos.106 1\ncmd ViewSegTableViewU\nopen @last\nset WhereToIns.200 0\n"
                               "expect InsertedSegmentIncomplete\ncmd InsSeg\nset Temperature.101.0 124.5\n"
                               "open MyOwnerObject\nget HeatFlow.440.[]\n";
    const std::string completing = "set RowPos.106 1\ncmd ViewSegTableViewU\nopen @last\nset SpecificHeat.100.0 2196.4\n"
                                   "get HeatFlow.100.[]\nopen MyOwnerObject\nget HeatFlow.440.[]\n";
    for (const bool reopened : {false, true}) {
        SCOPED_TRACE(reopened ? "completed after a reopen" : "completed in the same session");
        ScratchFile half("settingskept", "inserted.kcase", "", false), done("settingskept", "completed.kcase", "", false);
        const HostRun first = RunViewScript(extracted.path, typing + (reopened ? "" : completing),
                                            " --save " + (reopened ? half.path : done.path));
        ASSERT_EQ(0, first.exitCode) << first.out;
        EXPECT_EQ((std::vector<double>{0, 0, 60}), ScriptValues(first.out, 12)) << first.out;
        HostRun last = first;
        int step = 12;
        if (reopened) {
            last = RunViewScript(half.path, completing, " --save " + done.path);
            ASSERT_EQ(0, last.exitCode) << last.out;
            step = 0;
        }
        EXPECT_EQ((std::vector<double>{30, 30}), ScriptValues(last.out, step + 5)) << last.out;
        EXPECT_EQ((std::vector<double>{0, 60, 60}), ScriptValues(last.out, step + 7)) << last.out;
        const HostRun targets = RunHost("targets " + done.path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "  LP Steam  60.000 kW\n  MP Steam  60.000 kW\n")) << targets.out;
    }
}

}  // namespace

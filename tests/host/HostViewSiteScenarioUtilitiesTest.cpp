// kestrin-host view on total sites built from nothing: every scenario keeps the utility loads of
// its own targets whichever scenario calculates last, the site's utility data stay the site's,
// nothing typed into a site scenario is lost on save, and a site utility takes the approach of
// the default utility of its name as a stream table's row does.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The site "Works" with the site streams HP Steam and Cooling Water, and the four classic streams
// typed into "Process 1": at DTmin 10 their problem table needs 20 kW of hot and 60 kW of cold
// utility, and only HP Steam and Cooling Water can give them.
const std::string kWorks = kFourStreamSite;
// From the site's viewer to a scenario's, and back.
std::string at(const std::string& scenario) { return "open HIDesignViewerScenario.200(" + scenario + ")\n"; }
const std::string kBack = "open MyOwnerObject\n";

// The lines of a script numbered from `first`: each step's echo is found by its number.
struct Script {
    std::string text;
    int steps = 0;
    // Adds the lines and answers the number of the last one.
    int add(const std::string& lines) {
        text += lines;
        for (char c : lines) steps += c == '\n';
        return steps;
    }
};

int ScriptSteps(const std::string& script) {
    int n = 0;
    for (char c : script) n += c == '\n';
    return n;
}

std::vector<double> stepValues(const std::string& out, int step) { return ScriptValues(out, step); }

// Works saved, Winter added with one stream H9 200->40 C CP 1 (160 kW, no process stream to
// heat: 0 kW of hot and 160 kW of cold utility), then each scenario read. In one order Winter
// calculates last, in the other Process 1 does (its DTmin moved away and back); either way each
// scenario reads the loads of its own targets, in the session and after the case is reopened.
TEST(HostViewSiteScenarios, EachScenarioKeepsTheUtilityLoadsOfItsOwnTargets) {
    ScratchFile works("siteloads", "works.kcase", "", false);
    ScratchFile build("siteloads", "works.txt", kWorks);
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + build.path + " --save " + works.path).exitCode);

    struct Order {
        const char* name;
        std::string last;  // what makes one scenario calculate after the other
    };
    const Order orders[] = {
        {"Winter last", kBack + at("Winter") + "set HeatCapacityFlow.404.0 2\nset HeatCapacityFlow.404.0 1\n"},
        {"Process 1 last", kBack + at("Process 1") + "set DeltaTemp.1 11\nset DeltaTemp.1 10\n"},
    };
    for (const Order& order : orders) {
        SCOPED_TRACE(order.name);
        ScratchFile saved("siteloads", "two.kcase", "", false);
        Script s;
        s.add("cmd AddDefaultScenario Winter\n" + at("Process 1"));
        const int emptyWinter = s.add("get HeatFlow.440.[]\n");
        s.add(kBack + at("Winter") + "settext StrName.401.0 H9\nset Temperature.402.0 200\nset Temperature.403.0 40\n"
                        "set HeatCapacityFlow.404.0 1\n");
        s.add(order.last);
        const int winterLoads = s.add(kBack + at("Winter") + "get HeatFlow.440.[]\n");
        const int processLoads = s.add(kBack + at("Process 1") + "get HeatFlow.440.[]\n");
        const int processHot = s.add("get HeatFlow.107\n");
        const int processCold = s.add("get HeatFlow.108\n");
        const HostRun run = RunViewScript(works.path, s.text, " --open project --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        // An empty scenario added leaves Process 1's loads as they were.
        EXPECT_EQ((std::vector<double>{20, 60}), stepValues(run.out, emptyWinter)) << run.out;
        EXPECT_EQ((std::vector<double>{0, 160}), stepValues(run.out, winterLoads)) << run.out;
        EXPECT_EQ((std::vector<double>{20, 60}), stepValues(run.out, processLoads)) << run.out;
        EXPECT_EQ((std::vector<double>{20}), stepValues(run.out, processHot)) << run.out;
        EXPECT_EQ((std::vector<double>{60}), stepValues(run.out, processCold)) << run.out;

        // The jobs read the first scenario, Process 1: its loads add up to its targets, and its
        // operating cost and utility curves are those of 20 and 60 kW, as of the four-stream table.
        const HostRun targets = RunHost("targets " + saved.path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "  HP Steam  20.000 kW\n  Cooling Water  60.000 kW\n")) << targets.out;
        EXPECT_TRUE(has(targets.out, "operating cost            1978.80 per year")) << targets.out;
        EXPECT_FALSE(has(targets.out, "Note:")) << targets.out;
        ScratchFile svg("siteloads", "utility.svg", "", false);
        const HostRun plot = RunHost("plot " + saved.path + " --kind utility --svg " + svg.path + " --json");
        ASSERT_EQ(0, plot.exitCode) << plot.out;
        EXPECT_TRUE(has(plot.out, "\"label\":\"Hot Utility Composite Curve\",\"axis\":\"left\",\"points\":[[20,")) << plot.out;
        EXPECT_TRUE(has(plot.out, "\"label\":\"Cold Utility Composite Curve\",\"axis\":\"left\",\"points\":[[0,")) << plot.out;
        EXPECT_TRUE(has(plot.out, "],[60,")) << plot.out;

        const HostRun reopened = RunViewScript(saved.path, at("Winter") + "get HeatFlow.440.[]\n" + kBack + at("Process 1") +
                                                               "get HeatFlow.440.[]\nget HeatFlow.107\nget HeatFlow.108\n",
                                               " --open project");
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        EXPECT_EQ((std::vector<double>{0, 160}), stepValues(reopened.out, 2)) << reopened.out;
        EXPECT_EQ((std::vector<double>{20, 60}), stepValues(reopened.out, 5)) << reopened.out;
        EXPECT_EQ((std::vector<double>{20}), stepValues(reopened.out, 6)) << reopened.out;
        EXPECT_EQ((std::vector<double>{60}), stepValues(reopened.out, 7)) << reopened.out;
    }
}

// A site utility's supply temperature typed in one scenario is the site's: the site and the
// other scenario read it, also after the case is reopened; the loads stay each scenario's own.
TEST(HostViewSiteScenarios, ASiteUtilitysDataTypedInAScenarioStayTheSites) {
    ScratchFile saved("siteloads", "shared.kcase", "", false);
    Script s;
    s.add(kWorks + kBack + "cmd AddDefaultScenario Winter\n" + at("Winter"));
    s.add("set Temperature.440.0 260\n");
    const int site = s.add(kBack + "get Temperature.440.[]\n");
    const int process = s.add(at("Process 1") + "get Temperature.440.[]\n");
    const int processLoads = s.add("get HeatFlow.440.[]\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                ScratchFile("siteloads", "shared.txt", s.text).path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ((std::vector<double>{260, 20}), stepValues(run.out, site)) << run.out;
    EXPECT_EQ((std::vector<double>{260, 20}), stepValues(run.out, process)) << run.out;
    EXPECT_EQ((std::vector<double>{20, 60}), stepValues(run.out, processLoads)) << run.out;
    const HostRun reopened =
        RunViewScript(saved.path, "get Temperature.440.[]\n" + at("Winter") + "get Temperature.440.[]\nget HeatFlow.440.[]\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ((std::vector<double>{260, 20}), stepValues(reopened.out, 1)) << reopened.out;
    EXPECT_EQ((std::vector<double>{260, 20}), stepValues(reopened.out, 3)) << reopened.out;
    // Winter has no stream yet: nothing is placed on the site's utilities for it.
    EXPECT_EQ((std::vector<double>{0, 0}), stepValues(reopened.out, 4)) << reopened.out;
}

// Every way a utility could come into Process 1 other than from the site is refused where it is
// typed, so the case saved holds what the session showed: a utility typed into the scenario's
// own table, and a process stream switched to a utility. A copy of the scenario holds the site's
// utilities as the scenario does. The targets after the reopen are those of the session.
TEST(HostViewSiteScenarios, NothingTypedIntoASiteScenarioIsLostOnSave) {
    struct Route {
        const char* name;
        std::string steps;
        const char* scenario;  // the scenario read after the reopen
        bool endsOnTheSite;    // the steps end on the site's viewer
    };
    const Route routes[] = {
        {"own utility", "expect PickTotalSiteUtilityFromDropDownList\nattach UtilityNameView.599.2 MP Steam\n", "Process 1", false},
        {"switched process stream", "expect PickTotalSiteUtilityFromDropDownList\ncmd SwitchProcessToUtil\n", "Process 1", false},
        {"clone", kBack + "cmd CloneHI\nopen CloneHIScenarioTool.298\nsettext ExtraData.100 Copy\ncmd clone\n", "Copy", true},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        ScratchFile saved("siteroutes", "route.kcase", "", false);
        const std::string read = at(route.scenario) + "text StrName.401.[]\ntext StrNameU.440.[]\nget HeatFlow.440.[]\n";
        const std::string script = kWorks + route.steps + (route.endsOnTheSite ? "" : kBack) + read;
        const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                    ScratchFile("siteroutes", "route.txt", script).path + " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string shown = "text H1\n  text H2\n  text C1\n  text C2\n";
        const std::string utilities = "text StrNameU.440.[]\n  text HP Steam\n  text Cooling Water\n";
        EXPECT_TRUE(has(run.out, shown)) << run.out;
        // The scenario's utility list holds the two site streams and nothing after them.
        EXPECT_TRUE(has(run.out, utilities + std::to_string(ScriptSteps(script)) + ": get")) << run.out;

        const HostRun reopened = RunViewScript(saved.path, read);
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        EXPECT_TRUE(has(reopened.out, shown)) << reopened.out;
        EXPECT_TRUE(has(reopened.out, utilities + "4: get")) << reopened.out;
        EXPECT_EQ((std::vector<double>{20, 60}), stepValues(reopened.out, 4)) << reopened.out;
        const HostRun targets = RunHost("targets " + saved.path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "hot utility               20.000 kW")) << targets.out;
        EXPECT_TRUE(has(targets.out, "operating cost            1978.80 per year")) << targets.out;
    }
}

// At DTmin 15 the four streams need 42.5 kW of hot and 82.5 kW of cold utility. Cooling Water
// (20 -> 25 C) asks for an approach of 5 C of its own: against H2's end at 30 C it can take the
// whole 82.5 kW, where half of the DTmin would leave it short. The site and the stream table of
// the same streams (utilities named only) give the same targets.
TEST(HostViewSiteScenarios, ASiteUtilityTakesItsDefaultsApproachAsATableRowDoes) {
    ScratchFile saved("siteapproach", "works.kcase", "", false);
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + ScratchFile("siteapproach", "works.txt", kWorks).path +
                         " --save " + saved.path)
                     .exitCode);
    ScratchFile table("siteapproach", "four.csv",
                      "name,supply,target,cp,kind\nH1,170,60,3,process\nH2,150,30,1.5,process\nC1,20,135,2,process\n"
                      "C2,80,140,4,process\nHP Steam,,,,utility\nCooling Water,,,,utility\n");
    const HostRun site = RunHost("targets " + saved.path + " --dtmin 15");
    const HostRun rows = RunHost("targets " + table.path + " --dtmin 15");
    ASSERT_EQ(0, site.exitCode) << site.out;
    ASSERT_EQ(0, rows.exitCode) << rows.out;
    for (const char* line : {"hot utility               42.500 kW", "cold utility              82.500 kW",
                             "area, countercurrent      196.037 m2", "total annual cost         52801.74 per year"}) {
        EXPECT_TRUE(has(site.out, line)) << line << "\n" << site.out;
        EXPECT_TRUE(has(rows.out, line)) << line << "\n" << rows.out;
    }
    EXPECT_FALSE(has(site.out, "not available")) << site.out;
}

}  // namespace

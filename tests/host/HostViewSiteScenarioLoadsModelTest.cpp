// kestrin-host view on a total site of four scenarios, each with streams and a DTmin of its own:
// every scenario's utility loads, minimum utilities and operating cost are those of its own
// problem table, worked here by a small independent model, in the session, after a scenario is
// deleted and added again, and after the case is saved and reopened twice; the site's table shows
// what they place on each site stream, summed over them.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Stream {
    const char* name;
    double supply, target, cp;
};

// The problem table: hot streams shifted down and cold streams up by half the DTmin; the largest
// deficit of the cascade is the hot utility, what leaves its bottom the cold utility.
struct Loads {
    double hot, cold;
};
Loads problemTable(const std::vector<Stream>& streams, double dtmin) {
    auto shifted = [&](const Stream& s, double t) { return s.supply > s.target ? t - dtmin / 2 : t + dtmin / 2; };
    std::vector<double> bounds;
    for (const Stream& s : streams) bounds.insert(bounds.end(), {shifted(s, s.supply), shifted(s, s.target)});
    std::sort(bounds.rbegin(), bounds.rend());
    double heat = 0.0, lowest = 0.0;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const double hi = bounds[i], lo = bounds[i + 1];
        for (const Stream& s : streams) {
            const double a = std::min(shifted(s, s.supply), shifted(s, s.target));
            const double b = std::max(shifted(s, s.supply), shifted(s, s.target));
            const double overlap = std::max(0.0, std::min(b, hi) - std::max(a, lo));
            heat += (s.supply > s.target ? 1.0 : -1.0) * s.cp * overlap;
        }
        lowest = std::min(lowest, heat);
    }
    return {-lowest, heat - lowest};
}

struct Scenario {
    const char* name;
    std::vector<Stream> streams;
    double dtmin;
};

std::string typed(const Scenario& s) {
    std::string lines;
    for (std::size_t i = 0; i < s.streams.size(); ++i) {
        const Stream& t = s.streams[i];
        const std::string row = std::to_string(i);
        lines += "settext StrName.401." + row + " " + t.name + "\n";
        lines += "set Temperature.402." + row + " " + std::to_string(t.supply) + "\n";
        lines += "set Temperature.403." + row + " " + std::to_string(t.target) + "\n";
        lines += "set HeatCapacityFlow.404." + row + " " + std::to_string(t.cp) + "\n";
    }
    if (s.dtmin != 10) lines += "set DeltaTemp.1 " + std::to_string(s.dtmin) + "\n";
    return lines;
}

int lines(const std::string& script) { return static_cast<int>(std::count(script.begin(), script.end(), '\n')); }

TEST(HostViewSiteScenarioLoads, EachScenarioReadsTheLoadsOfItsOwnProblemTable) {
    const std::vector<Stream> four = {{"H1", 170, 60, 3}, {"H2", 150, 30, 1.5}, {"C1", 20, 135, 2}, {"C2", 80, 140, 4}};
    const std::vector<Scenario> scenarios = {
        {"Process 1", four, 10},
        {"Winter", {{"H9", 200, 40, 1}}, 10},
        {"Summer", {{"C5", 50, 150, 2}}, 10},
        {"Tight", four, 14},
    };
    // HP Steam and Cooling Water per kW and year (kestrin-host info).
    const double hpSteam = 78.84, coolingWater = 6.70001;

    const std::string back = "open MyOwnerObject\n";
    std::string read;
    for (const Scenario& s : scenarios)
        read += back + "open HIDesignViewerScenario.200(" + s.name + ")\nget HeatFlow.107\nget HeatFlow.108\n"
                "get HeatFlow.440.[]\nget CostPerTime.302\n";
    // The site's own table: the loads its scenarios place on HP Steam and Cooling Water, summed
    // over them, beside the site streams' own loads (none typed).
    read += back + "get HeatFlow.765.[]\nget HeatFlow.440.[]\n";
    // Each scenario's four readings, from the step before the first `get` of the reading.
    auto check = [&](const HostRun& run, int before, const char* stage) {
        SCOPED_TRACE(stage);
        for (std::size_t i = 0; i < scenarios.size(); ++i) {
            SCOPED_TRACE(scenarios[i].name);
            const Loads model = problemTable(scenarios[i].streams, scenarios[i].dtmin);
            const int at = before + 6 * static_cast<int>(i) + 2;
            const std::vector<double> hot = ScriptValues(run.out, at + 1), cold = ScriptValues(run.out, at + 2);
            const std::vector<double> loads = ScriptValues(run.out, at + 3), cost = ScriptValues(run.out, at + 4);
            ASSERT_EQ(1u, hot.size()) << run.out;
            ASSERT_EQ(1u, cold.size()) << run.out;
            ASSERT_EQ(2u, loads.size()) << run.out;
            ASSERT_EQ(1u, cost.size()) << run.out;
            EXPECT_NEAR(model.hot, hot[0], 1e-6);
            EXPECT_NEAR(model.cold, cold[0], 1e-6);
            EXPECT_NEAR(model.hot, loads[0], 1e-6);
            EXPECT_NEAR(model.cold, loads[1], 1e-6);
            EXPECT_NEAR(model.hot * hpSteam + model.cold * coolingWater, cost[0], 0.01);
        }
        Loads sum{0.0, 0.0};
        for (const Scenario& s : scenarios) {
            const Loads model = problemTable(s.streams, s.dtmin);
            sum.hot += model.hot;
            sum.cold += model.cold;
        }
        const int site = before + 6 * static_cast<int>(scenarios.size()) + 2;
        const std::vector<double> placed = ScriptValues(run.out, site), own = ScriptValues(run.out, site + 1);
        ASSERT_EQ(2u, placed.size()) << run.out;
        EXPECT_NEAR(sum.hot, placed[0], 1e-6);
        EXPECT_NEAR(sum.cold, placed[1], 1e-6);
        EXPECT_EQ((std::vector<double>{0.0, 0.0}), own) << run.out;
    };

    // Built from nothing: the site, Process 1, then the other three added and typed.
    std::string build = "attach UtilityNameView.599.0 HP Steam\nattach UtilityNameView.599.1 Cooling Water\n"
                        "open HIDesignViewerScenario.200.0\n" + typed(scenarios[0]);
    for (std::size_t i = 1; i < scenarios.size(); ++i)
        build += back + "cmd AddDefaultScenario " + scenarios[i].name + "\nopen HIDesignViewerScenario.200(" +
                 scenarios[i].name + ")\n" + typed(scenarios[i]);
    ScratchFile first("siteloadsmodel", "first.kcase", "", false), second("siteloadsmodel", "second.kcase", "", false);
    const HostRun built = RunHost("view --new hi-total-site Works --script " +
                                  ScratchFile("siteloadsmodel", "build.txt", build + read).path + " --save " + first.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    check(built, lines(build), "built");

    // Reopened: Summer deleted and added again with its stream typed anew, then saved once more.
    const std::string again = "attach Viewable.299 Summer\nopen HIDesignViewerTotalSite.200.0\nanswer 1\n"
                              "expect ConfirmDeleteHIScenario\ncmd RemoveFromDesignView\ncmd AddDefaultScenario Summer\n"
                              "open HIDesignViewerScenario.200(Summer)\n" + typed(scenarios[2]);
    const HostRun reopened = RunViewScript(first.path, again + read, " --open case --save " + second.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    check(reopened, lines(again), "summer added again");

    const HostRun last = RunViewScript(second.path, "open HIDesignViewerScenario.200(Winter)\n" + read, " --open project");
    ASSERT_EQ(0, last.exitCode) << last.out;
    check(last, 1, "reopened twice");
}

}  // namespace

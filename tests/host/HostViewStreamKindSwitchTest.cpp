// A stream switched between process and utility: the targets and the design pages follow at once,
// read in the same run, as after any other stream edit; the figures are worked by hand.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Stream {
    double supply, target, cp;
};

// The problem table: the minimum hot and cold utility of the streams at DTmin.
std::pair<double, double> ProblemTable(const std::vector<Stream>& streams, double dtMin) {
    std::vector<double> t;
    auto shifted = [dtMin](const Stream& s, double T) { return s.supply > s.target ? T - dtMin / 2 : T + dtMin / 2; };
    for (const Stream& s : streams) {
        t.push_back(shifted(s, s.supply));
        t.push_back(shifted(s, s.target));
    }
    std::sort(t.rbegin(), t.rend());
    double heat = 0.0, lowest = 0.0;
    for (std::size_t k = 0; k + 1 < t.size(); ++k) {
        double net = 0.0;
        for (const Stream& s : streams) {
            const double a = shifted(s, s.supply), b = shifted(s, s.target);
            if (std::min(a, b) <= t[k + 1] && std::max(a, b) >= t[k]) net += s.supply > s.target ? s.cp : -s.cp;
        }
        heat += net * (t[k] - t[k + 1]);
        lowest = std::min(lowest, heat);
    }
    return {-lowest, heat - lowest};
}

double Value(const HostRun& run, int step) {
    const std::vector<double> v = ScriptValues(run.out, step);
    return v.empty() ? NAN : v.front();
}

}  // namespace

TEST(HostViewStreamKindSwitch, TargetsAndDesignPagesFollowTheSwitchAtOnce) {
    ScratchFile saved("kind-switch", "network.kcase", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                   ExamplePath("four-streams-network.csv") + " --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;

    // H1 a utility: the process streams left are H2, C1 and C2.
    const auto [hot, cold] = ProblemTable({{150, 30, 1.5}, {20, 135, 2}, {80, 140, 4}}, 10.0);
    EXPECT_NEAR(290.0, hot, 1e-9);
    EXPECT_NEAR(0.0, cold, 1e-9);
    const auto [hot4, cold4] = ProblemTable({{170, 60, 3}, {150, 30, 1.5}, {20, 135, 2}, {80, 140, 4}}, 10.0);

    // The network's exchangers on H1 (E1 240 kW, E3 90 kW) heat with a utility now: the design's
    // hot utility is the heater's 20 kW and theirs.
    ScratchFile script("kind-switch", "switch.txt",
                       "attach Viewable.299 Network\nopen Viewable.299\nopen MyOwnerObject\n"
                       "set RowPos.105 0\ncmd SwitchProcessToUtil\n"
                       "get HeatFlow.107\nget HeatFlow.108\nget HeatFlow.612.0\n"
                       "set RowPos.106 2\ncmd SwitchUtilToProcess\n"
                       "get HeatFlow.107\nget HeatFlow.108\nget HeatFlow.612.0\nget HeatCapacityFlow.404.[]\n");
    const HostRun view = RunHost("view " + saved.path + " --open case --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    EXPECT_NEAR(hot, Value(view, 6), 1e-6) << view.out;
    EXPECT_NEAR(cold, Value(view, 7), 1e-6) << view.out;
    EXPECT_NEAR(20.0 + 240.0 + 90.0, Value(view, 8), 1e-6) << view.out;
    // And back: the four streams' targets and the heater alone.
    EXPECT_NEAR(hot4, Value(view, 11), 1e-6) << view.out;
    EXPECT_NEAR(cold4, Value(view, 12), 1e-6) << view.out;
    EXPECT_NEAR(20.0, Value(view, 13), 1e-6) << view.out;
    // H1 is a process stream again with the flow rate it was given (the utility's placed load
    // wrote a rate of its own while it was one), and the saved case reads so.
    EXPECT_EQ((std::vector<double>{1.5, 2, 4, 3}), ScriptValues(view.out, 14)) << view.out;
    const HostRun reopened = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_NEAR(hot4, JsonNumber(reopened.out, "hot_utility"), 1e-6) << reopened.out;
    EXPECT_NEAR(cold4, JsonNumber(reopened.out, "cold_utility"), 1e-6) << reopened.out;
}

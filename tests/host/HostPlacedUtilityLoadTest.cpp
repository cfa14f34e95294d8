// A utility whose range runs past the pinch serves only down (or up) to it: the placed utility
// carries the load of its placed range, and every result reads that one load: the targets
// report, the operating cost, the notes, the scenario's utility rows (targeting and network
// view alike, read again and again), the design page's utility rows, and all of it after a
// reopen. The loads and temperatures are worked from a problem table in the test.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct ProcessStream {
    double supply, target, cp;
};

// The four classic process streams (examples/four-streams.csv).
const std::vector<ProcessStream> kProcess = {{170, 60, 3}, {150, 30, 1.5}, {20, 135, 2}, {80, 140, 4}};
const char* kProcessRows = "H1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\n"
                           "C1,20,135,2,0.2,process,\nC2,80,140,4,0.2,process,\n";

// Problem table at DTmin: hot streams shifted down, cold ones up by half of it; the cascade's
// most negative point gives the hot utility, its end plus that the cold one, and where it lies
// the shifted pinch.
struct ProblemTable {
    double hot = 0.0, cold = 0.0, pinch = 0.0;
};

ProblemTable Cascade(const std::vector<ProcessStream>& streams, double dtMin) {
    std::vector<double> bounds;
    auto shifted = [&](const ProcessStream& s, double t) { return s.supply > s.target ? t - dtMin / 2 : t + dtMin / 2; };
    for (const ProcessStream& s : streams) {
        bounds.push_back(shifted(s, s.supply));
        bounds.push_back(shifted(s, s.target));
    }
    std::sort(bounds.rbegin(), bounds.rend());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    double flow = 0.0, lowest = 0.0;
    ProblemTable table;
    table.pinch = bounds.front();
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        double net = 0.0;  // hot cp less cold cp in the interval
        for (const ProcessStream& s : streams) {
            const double a = shifted(s, s.supply), b = shifted(s, s.target);
            if (std::min(a, b) <= bounds[i + 1] && std::max(a, b) >= bounds[i]) net += s.supply > s.target ? s.cp : -s.cp;
        }
        flow += net * (bounds[i] - bounds[i + 1]);
        if (flow < lowest) {
            lowest = flow;
            table.pinch = bounds[i + 1];
        }
    }
    table.hot = -lowest;
    table.cold = flow - lowest;
    return table;
}

constexpr double kDTmin = 10.0;
constexpr double kCoolingWaterPrice = 6.70001, kSteamPrice = 78.84;  // the default utilities' prices

struct Row {
    const char* name;
    std::string utilities;   // the table's utility rows
    const char* hotName;     // the hot utility and the cold one, in the scenario's order
    const char* coldName;
    double hotPrice, coldPrice;
    double hotPlaced, coldPlaced;  // where each placed utility ends (actual temperatures)
    std::string edit = "";         // what the user changes in the views first (back on the scenario)
    bool coldFirst = false;        // the scenario lists the cold utility first
};

// HU (the first row of the utility table) cut at 120 C in its segment table, the segments given the
// specific heats `upper` and `lower`.
std::string CutHU(int upper, int lower) {
    return "set RowPos.106 0\ncmd ViewSegTableViewU\nopen @last\nset WhereToIns.200 0\n"
           "expect InsertedSegmentIncomplete\ncmd InsSeg\nset Temperature.101.0 120\nset SpecificHeat.100.0 " +
           std::to_string(upper) + "\nset SpecificHeat.100.1 " + std::to_string(lower) + "\nopen MyOwnerObject\n";
}

int Lines(const std::string& script) { return static_cast<int>(std::count(script.begin(), script.end(), '\n')); }

}  // namespace

TEST(HostPlacedUtilityLoad, AUtilityRunningPastThePinchCarriesOnlyItsPlacedLoad) {
    const ProblemTable pt = Cascade(kProcess, kDTmin);
    // By hand: 20 kW above the pinch, 60 kW below it, the pinch at shifted 85 C.
    ASSERT_NEAR(20.0, pt.hot, 1e-9);
    ASSERT_NEAR(60.0, pt.cold, 1e-9);
    ASSERT_NEAR(85.0, pt.pinch, 1e-9);
    // A utility row with temperatures of its own is shifted by half the DTmin: HU (200 -> 40 C)
    // serves from 195 down to the pinch at shifted 85, i.e. down to 90 C; CU (10 -> 120 C) from
    // shifted 15 up to 85, i.e. up to 80 C. The default utilities stay within their sides.
    // However the utility is cut (in rows of the table or in its segment table, with one specific
    // heat or two), it serves down to the same pinch and carries the same 20 kW; a segment beyond
    // the placed end serves nothing. A price typed in the views prices the same load.
    const std::string hu = "HU,200,40,,1,utility,50\nCooling Water,,,,,utility,\n";
    const double hotEnd = pt.pinch + kDTmin / 2, coldEnd = pt.pinch - kDTmin / 2;
    const Row rows[] = {
        {"hot utility past the pinch", hu, "HU", "Cooling Water", 50.0, kCoolingWaterPrice, hotEnd, NAN},
        {"cold utility past the pinch", "HP Steam,,,,,utility,\nCU,10,120,,1,utility,5\n", "HP Steam", "CU",
         kSteamPrice, 5.0, NAN, coldEnd},
        {"hot utility in two rows", "HU,200,120,,1,utility,50\nHU,120,40,,1,utility,50\nCooling Water,,,,,utility,\n",
         "HU", "Cooling Water", 50.0, kCoolingWaterPrice, hotEnd, NAN},
        {"hot utility cut beyond its placed end", "HU,200,60,,1,utility,50\nHU,60,40,,1,utility,50\nCooling Water,,,,,utility,\n",
         "HU", "Cooling Water", 50.0, kCoolingWaterPrice, hotEnd, NAN},
        {"cold utility in two rows", "HP Steam,,,,,utility,\nCU,10,60,,1,utility,5\nCU,60,120,,1,utility,5\n", "HP Steam",
         "CU", kSteamPrice, 5.0, NAN, coldEnd},
        {"hot utility cut in its segment table", hu, "HU", "Cooling Water", 50.0, kCoolingWaterPrice, hotEnd, NAN,
         CutHU(3, 3)},
        {"hot utility cut into two specific heats", hu, "HU", "Cooling Water", 50.0, kCoolingWaterPrice, hotEnd, NAN,
         CutHU(2, 4)},
        // 0.01 per kWh over the 8760 hours of a year.
        {"hot utility priced in the views", hu, "HU", "Cooling Water", 87.6, kCoolingWaterPrice, hotEnd, NAN,
         "set CostPerEnergy.445.0 0.01\n"},
        // HU a process stream for a while (the four streams and HU's placed flow need 69.09 kW of
        // cooling water then), and a utility again, now listed after the cooling water.
        {"hot utility switched to a process stream and back", hu, "HU", "Cooling Water", 50.0, kCoolingWaterPrice,
         hotEnd, NAN, "set RowPos.106 0\ncmd SwitchUtilToProcess\nset RowPos.105 4\ncmd SwitchProcessToUtil\n", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const double operating = pt.hot * r.hotPrice + pt.cold * r.coldPrice;
        ScratchFile table("placed-load", "table.csv",
                          std::string("name,supply,target,cp,h,kind,cost\n") + kProcessRows + r.utilities);
        const auto checkReport = [&](const std::string& input) {
            const HostRun report = RunHost("targets " + input + " --json");
            ASSERT_EQ(0, report.exitCode) << report.out;
            EXPECT_NEAR(operating, JsonNumber(report.out, "operating_cost"), 1e-6 * operating) << report.out;
            EXPECT_NE(std::string::npos, report.out.find("{\"name\": \"" + std::string(r.hotName) + "\", \"load\": 20}"))
                << report.out;
            EXPECT_NE(std::string::npos, report.out.find("{\"name\": \"" + std::string(r.coldName) + "\", \"load\": 60}"))
                << report.out;
            EXPECT_EQ(std::string::npos, report.out.find("add up")) << report.out;
        };
        if (r.edit.empty()) checkReport(table.path);

        // The scenario's utility rows in both views and the cost, twice over (a read changes
        // nothing), the placed temperatures, and a design's page of utility loads and costs.
        const std::string reads = "get HeatFlow.440.[]\nget HeatFlow.450.[]\nget HeatFlow.451.[]\nget CostPerTime.657\n"
                                  "get HeatFlow.440.[]\nget HeatFlow.450.[]\nget CostPerTime.657\nget HeatFlow.630.[]\n"
                                  "get HeatFlow.631.[]\nget Temperature.443.[]\nget HeatFlow.281.[]\n"
                                  "get CostPerTime.281.[]\n";
        ScratchFile saved("placed-load", "saved.kcase", "", false);
        const std::string prefix = r.edit + "cmd AddDefaultDesign\n";
        const HostRun first = RunViewScript(table.path, prefix + reads, " --save " + saved.path);
        ASSERT_EQ(0, first.exitCode) << first.out;
        const HostRun reopened = RunViewScript(saved.path, reads);
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        for (const auto& [run, offset] : {std::pair{&first, Lines(prefix)}, std::pair{&reopened, 0}}) {
            const std::string& out = run->out;
            auto values = [&](int step) { return ScriptValues(out, step + offset); };
            const std::size_t h = r.coldFirst ? 1 : 0, c = 1 - h;
            for (int step : {1, 2, 5, 6}) {
                ASSERT_EQ(2u, values(step).size()) << step << out;
                EXPECT_NEAR(pt.hot, values(step)[h], 1e-9) << step << out;
                EXPECT_NEAR(pt.cold, values(step)[c], 1e-9) << step << out;
            }
            for (double d : values(3)) EXPECT_NEAR(0.0, d, 1e-9) << out;
            for (int step : {4, 7}) {
                ASSERT_EQ(1u, values(step).size()) << out;
                EXPECT_NEAR(operating, values(step)[0], 1e-6 * operating) << step << out;
            }
            EXPECT_EQ(std::vector<double>{pt.hot}, values(8)) << out;
            EXPECT_EQ(std::vector<double>{pt.cold}, values(9)) << out;
            const std::vector<double> placed = values(10);
            ASSERT_EQ(2u, placed.size()) << out;
            if (!std::isnan(r.hotPlaced)) {
                EXPECT_NEAR(r.hotPlaced, placed[h], 1e-9) << out;
            }
            if (!std::isnan(r.coldPlaced)) {
                EXPECT_NEAR(r.coldPlaced, placed[c], 1e-9) << out;
            }
            const std::vector<double> designLoads = values(11), designCosts = values(12);
            ASSERT_EQ(2u, designCosts.size()) << out;
            EXPECT_NEAR(pt.hot * r.hotPrice, designCosts[h], 1e-6 * operating) << out;
            EXPECT_NEAR(pt.cold * r.coldPrice, designCosts[c], 1e-6 * operating) << out;
            ASSERT_FALSE(designLoads.empty()) << out;
            EXPECT_NEAR(r.coldFirst ? pt.cold : pt.hot, designLoads.front(), 1e-9) << out;
        }
        checkReport(saved.path);
    }
}

// The same on a total site: its HP Steam typed 200 -> 40 C on the site's table (shifted by half
// its 10 C approach, it serves from 195 down to the pinch at 85), the four streams in its scenario:
// 20 kW of steam at 78.84 and 60 kW of cooling water, in the scenario at once and after a reopen.
TEST(HostPlacedUtilityLoad, ASiteUtilityRunningPastThePinchCarriesOnlyItsPlacedLoad) {
    const ProblemTable pt = Cascade(kProcess, kDTmin);
    const double operating = pt.hot * kSteamPrice + pt.cold * kCoolingWaterPrice;
    const std::string reads = "get HeatFlow.440.[]\nget HeatFlow.450.[]\nget CostPerTime.657\nget HeatFlow.440.[]\n";
    ScratchFile script("placed-load", "site.txt",
                       "attach UtilityNameView.599.0 HP Steam\nattach UtilityNameView.599.1 Cooling Water\n"
                       "set Temperature.441.0 40\nset Temperature.440.0 200\n" +
                           kFourStreamSite.substr(kFourStreamSite.find("open ")) + reads);
    ScratchFile saved("placed-load", "site.kcase", "", false);
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun reopened = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\n" + reads);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    for (const auto& [out, first] : {std::pair{&run.out, 22}, std::pair{&reopened.out, 2}}) {
        for (int step : {first, first + 1, first + 3})
            EXPECT_EQ((std::vector<double>{pt.hot, pt.cold}), ScriptValues(*out, step)) << step << *out;
        ASSERT_EQ(1u, ScriptValues(*out, first + 2).size()) << *out;
        EXPECT_NEAR(operating, ScriptValues(*out, first + 2)[0], 1e-6 * operating) << *out;
    }
}

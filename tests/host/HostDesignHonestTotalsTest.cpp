// kestrin-host design, grid and autodesign on networks as users build them: the load that crosses
// the pinch from tables as from the saved case, an exchanger laid out exactly at DTmin, totals
// only where every unit is calculated and feasible, the log-mean approach and UA of each unit in
// the views and pictures, and the fractions of each splitter.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("honest-totals", stem, content, write) {}
};


// The cross-pinch load of every pinch marker of a `grid --json` picture, in order.
std::string crossLoads(const std::string& json) {
    std::string loads;
    const std::regex marker("\"crossLoad\":([^,]*)");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), marker); it != std::sregex_iterator(); ++it)
    {
        if (!loads.empty()) loads += ' ';
        loads += (*it)[1].str();
    }
    return loads;
}

const std::string kRetrofit = ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv");
const std::string kTextbook = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");

// Cooler1 cools H1 120 -> 110 C and Cooler2 H2 130 -> 110 C above the 110/100 C pinch: 2 x 10 and
// 1 x 20 kW, 40 kW in all, whether the design comes from the tables or from the case saved of them.
TEST(HostDesignHonestTotals, CrossPinchLoadOfTheRetrofitNetworkFromTablesAndFromItsCase) {
    Scratch saved("retrofit.kestrin", "", false), svg("grid.svg", "", false);
    const HostRun tables = RunHost("design " + kRetrofit + " --json --save " + saved.path);
    ASSERT_EQ(0, tables.exitCode) << tables.out;
    EXPECT_NEAR(40.0, JsonNumber(tables.out, "cross_pinch_load"), 1e-6) << tables.out;
    const HostRun reloaded = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(0, reloaded.exitCode) << reloaded.out;
    EXPECT_NEAR(40.0, JsonNumber(reloaded.out, "cross_pinch_load"), 1e-6) << reloaded.out;

    const HostRun gridTables = RunHost("grid " + kRetrofit + " --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, gridTables.exitCode) << gridTables.out;
    EXPECT_EQ("40", crossLoads(gridTables.out)) << gridTables.out;
    const HostRun gridCase = RunHost("grid " + saved.path + " --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, gridCase.exitCode) << gridCase.out;
    EXPECT_EQ("40", crossLoads(gridCase.out)) << gridCase.out;
}

// An automatic design reports the cross-pinch load it has again when its case is read back.
TEST(HostDesignHonestTotals, AutomaticDesignReportsTheCrossPinchLoadItsCaseReloadsWith) {
    Scratch saved("auto.kestrin", "", false);
    const HostRun made = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --json --save " + saved.path);
    ASSERT_EQ(0, made.exitCode) << made.out;
    const double reported = JsonNumber(made.out, "cross_pinch_load");
    const HostRun reloaded = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(0, reloaded.exitCode) << reloaded.out;
    const double again = JsonNumber(reloaded.out, "cross_pinch_load");
    ASSERT_TRUE(std::isfinite(again)) << reloaded.out;
    EXPECT_GT(again, 1.0);
    EXPECT_NEAR(again, reported, 1e-6) << made.out;
}

// H1 150 -> 100 C and H2 80 -> 40 C (CP 1 and 2) against C1 20 -> 160 C (CP 1), DTmin 10: the
// cascade touches zero at 75 C shifted, the process pinch (80 C hot / 70 C cold), after 40 kW
// of hot utility. With LP steam (shifted 120 C) beside HP steam it touches zero again at 145 C
// shifted, where the 20 kW of C1 above it need HP steam: a utility pinch. E1 (H2 -> C1, 50 kW)
// below the process pinch, E2 (H1 -> C1, 50 kW) above it, the heater on HP steam takes C1 120 ->
// 160 C and the cooler H2 55 -> 40 C: the targets, and nothing crosses the process pinch. The
// heater's 20 kW below 140 C counts only against the utility pinch, which no design reads.
TEST(HostDesignHonestTotals, CrossPinchLoadsAndTheGridsPinchesAreTheProcessPinchesAlone) {
    Scratch streams("two-steams.csv", "name,supply,target,cp,h,kind\nH1,150,100,1,0.5,process\nH2,80,40,2,0.5,process\n"
                                      "C1,20,160,1,0.5,process\nHP Steam,,,,,utility\nLP Steam,,,,,utility\n"
                                      "Cooling Water,,,,,utility\n");
    Scratch network("two-steams-network.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H2,C1,50,1,1\nE2,H1,C1,50,1,2\n");
    Scratch saved("two-steams.kestrin", "", false), svg("two-steams.svg", "", false);
    const std::string tables = streams.path + " " + network.path;
    const HostRun targets = RunHost("targets " + streams.path + " --json");
    ASSERT_NE(std::string::npos, targets.out.find("\"utility_pinches\": [{\"hot\": 150, \"cold\": 140,")) << targets.out;

    const HostRun design = RunHost("design " + tables + " --json --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_EQ(40.0, JsonNumber(design.out, "hot_utility")) << design.out;
    EXPECT_EQ(0.0, JsonNumber(design.out, "cross_pinch_load")) << design.out;
    const HostRun reloaded = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(0, reloaded.exitCode) << reloaded.out;
    EXPECT_EQ(0.0, JsonNumber(reloaded.out, "cross_pinch_load")) << reloaded.out;

    // The design viewer's pinch column holds the process pinch alone.
    Scratch script("pinch.txt", "text ExtraData.690.0\ntext ExtraData.690.1\n");
    const HostRun view = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_NE(std::string::npos, view.out.find("1: text ExtraData.690.0\n  text 80.00 C / 70.00 C\n")) << view.out;
    EXPECT_NE(std::string::npos, view.out.find("index 1 of ExtraData.690.1 is outside its dimensions (1)")) << view.out;

    // One pinch marker, the process pinch's, carrying the design's load across it.
    for (const std::string& source : {tables, saved.path}) {
        const HostRun grid = RunHost("grid " + source + " --pinch --json --svg " + svg.path);
        ASSERT_EQ(0, grid.exitCode) << grid.out;
        EXPECT_EQ("0", crossLoads(grid.out)) << source;
    }

    // Without a process pinch (the threshold problem of C1 against H1 alone) nothing crosses:
    // the heater's 70 kW below the utility pinch at 140 C stays out of the design's load.
    Scratch threshold("threshold.csv", "name,supply,target,cp,h,kind\nH1,150,100,1,0.5,process\nC1,20,160,1,0.5,process\n"
                                       "HP Steam,,,,,utility\nLP Steam,,,,,utility\n");
    Scratch one("threshold-network.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C1,50,1,1\n");
    const HostRun alone = RunHost("design " + threshold.path + " " + one.path + " --json");
    ASSERT_EQ(0, alone.exitCode) << alone.out;
    EXPECT_EQ(0.0, JsonNumber(alone.out, "cross_pinch_load")) << alone.out;
    // The pinch layout asked for cannot be drawn without a pinch: the job says so and fails, the
    // picture in sequence written all the same.
    const HostRun grid = RunHost("grid " + threshold.path + " " + one.path + " --pinch --json --svg " + svg.path);
    ASSERT_EQ(1, grid.exitCode) << grid.out;
    EXPECT_NE(std::string::npos, grid.out.find("grid --pinch: The scenario has no process pinch to show.")) << grid.out;
    EXPECT_EQ("", crossLoads(grid.out));
}

// The textbook design given by its own areas: E1 (240 kW at U 0.1 across 30 and 10 K) needs
// 240 / (0.1 x 20 / ln 3) = 131.833475 m2 to six places, which puts it at DTmin to within 1e-7 K.
// It is feasible, the specified-area pass finds E2, E3 and E4 (90, 90 and 30 kW) and every unit
// is calculated.
TEST(HostDesignHonestTotals, AnExchangerAtDTminFromItsRoundedAreaIsFeasibleAndTheAreasAreSolved) {
    Scratch table("areas.csv",
                  "name,hot,cold,duty,area,hot_order,cold_order\nE1,H1,C2,,131.833475,1,1\nE2,H2,C1,,54.977444,1,3\n"
                  "E3,H1,C1,,54.977444,2,2\nE4,H2,C1,,5.718611,2,1\nHeater,HP Steam,C1,20,,,4\n"
                  "Cooler,H2,Cooling Water,60,,3,\n");
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("\"feasible\": false")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("\"status\": \"incomplete\"")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"calculation_status\": \"calculated\"")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"unsatisfied_streams\": []")) << run.out;
    // The table's heater ends C1: it takes what the areas leave, and no second heater joins it.
    EXPECT_EQ(std::string::npos, run.out.find("\"name\": \"Heater1\"")) << run.out;
    const std::regex duty("\"name\": \"(E[1-4])\"[^}]*\"duty\": ([-0-9.e]+)");
    std::string duties;
    for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), duty); it != std::sregex_iterator(); ++it)
        duties += (*it)[1].str() + "=" + std::to_string(std::lround(std::stod((*it)[2].str()))) + " ";
    EXPECT_EQ("E1=240 E4=30 E3=90 E2=90 ", duties);
}

// One exchanger whose duty crosses its streams (C2 would leave E1 above H1's inlet) keeps area
// and the capital and total annual cost from being totals: "not available" with the reason, JSON
// null and a note; and the network is not reported as calculated.
TEST(HostDesignHonestTotals, TotalsAreNotAvailableWhileAUnitIsInfeasibleOrNotCalculated) {
    Scratch table("crossed.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,3\n"
                                 "E3,H1,C1,90,2,2\nE4,H2,C1,30,2,1\nE5,H2,C2,15,4,2\nHeater,HP Steam,C1,20,,4\n"
                                 "Cooler,H2,Cooling Water,45,3,\n");
    const HostRun json = RunHost("design " + ExamplePath("four-streams.csv") + " " + table.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    for (const char* key : {"area_total", "capital_cost", "annualized_capital_cost", "total_annual_cost"}) {
        std::string null = "\"";
        null += key;
        null += "\": null";
        EXPECT_NE(std::string::npos, json.out.find(null)) << json.out;
    }
    // C2 leaves E5 at 143.75 C, past its 140 C target: the heater that ends C2 runs at -15 kW, which
    // no steam can do, so the utility use of this network is not known either.
    EXPECT_TRUE(std::isnan(JsonNumber(json.out, "utility_cost"))) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"notes\": [\"area, capital and total annual cost are not available: "
                                               "infeasible E5, Heater1"))
        << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"notes\": [\"area, capital and total annual cost are not available: "
                                               "infeasible E5"))
        << json.out;
    EXPECT_EQ(std::string::npos, json.out.find("\"calculation_status\": \"calculated\"")) << json.out;

    const HostRun text = RunHost("design " + ExamplePath("four-streams.csv") + " " + table.path);
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  area                      not available\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  total annual cost         not available\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("Note: area, capital and total annual cost are not available:"))
        << text.out;

    // The textbook network itself is complete: its totals stand, without a note.
    const HostRun whole = RunHost("design " + kTextbook + " --json");
    ASSERT_EQ(0, whole.exitCode) << whole.out;
    EXPECT_GT(JsonNumber(whole.out, "area_total"), 0.0);
    EXPECT_NE(std::string::npos, whole.out.find("\"notes\": []")) << whole.out;
}

// E2's duty cleared in the design view leaves C1's heater and H2's cooler open: their duties are
// not known (null, "not known"), and the utility loads and costs summed over them are none.
TEST(HostDesignHonestTotals, AnUnknownDutyIsNotKnownAndNoTotalIsBuiltOnIt) {
    Scratch saved("textbook.kestrin", "", false), edited("cleared.kestrin", "", false);
    ASSERT_EQ(0, RunHost("design " + kTextbook + " --save " + saved.path).exitCode);
    const HostRun cleared = RunViewScript(saved.path, "set HeatFlow.304.3 empty\n", " --open design --save " + edited.path);
    ASSERT_EQ(0, cleared.exitCode) << cleared.out;
    const HostRun json = RunHost("design " + edited.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    for (const char* unit : {"E2", "Heater", "Cooler"})
        EXPECT_TRUE(std::regex_search(json.out, std::regex(std::string("\"name\": \"") + unit + "\"[^}]*\"duty\": null")))
            << unit << "\n" << json.out;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"name\": \"E1\"[^}]*\"duty\": 240"))) << json.out;
    for (const char* key : {"hot_utility", "cold_utility", "utility_cost", "total_annual_cost"})
        EXPECT_TRUE(std::isnan(JsonNumber(json.out, key))) << key << "\n" << json.out;
    EXPECT_NE(std::string::npos, json.out.find("hot utility is not available: the duty of Heater is not known")) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("cold utility is not available: the duty of Cooler is not known"))
        << json.out;

    const HostRun text = RunHost("design " + edited.path);
    EXPECT_NE(std::string::npos, text.out.find("Heater (heater) HP Steam -> C1: duty not known,")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  hot utility               not available (target 20.00)\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  cold utility              not available (target 60.00)\n")) << text.out;
}

// Every calculated unit carries its log-mean approach and U x A: the design viewer's DeltaTemp
// 702 and the UA bar chart read them. E1 works across 30 and 10 K (LMTD 20 / ln 3 = 18.2048 C)
// with U 0.1 over 131.8335 m2 (UA 13.1833); E4 across 55 and 50 K (52.4603 C), 0.5718611.
TEST(HostDesignHonestTotals, LogMeanApproachAndUAOfEachUnitReachTheViewerAndTheBarChart) {
    Scratch saved("textbook.kestrin", "", false), script("lmtd.txt", "get DeltaTemp.702.[]\n"), svg("ua.svg", "", false);
    ASSERT_EQ(0, RunHost("design " + kTextbook + " --save " + saved.path).exitCode);
    const HostRun view = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(view.out, m, std::regex("value ([-0-9.]+) ([-0-9.]+) "))) << view.out;
    EXPECT_NEAR(20.0 / std::log(3.0), std::stod(m[1]), 1e-6);
    EXPECT_NEAR(5.0 / std::log(55.0 / 50.0), std::stod(m[2]), 1e-6);

    const HostRun bars = RunHost("plot " + kTextbook + " --kind bar --quantity ua --json --svg " + svg.path);
    ASSERT_EQ(0, bars.exitCode) << bars.out;
    for (const auto& [unit, ua] : {std::pair<std::string, double>{"E1", 13.1833475}, {"E4", 0.5718611}}) {
        std::smatch bar;
        ASSERT_TRUE(std::regex_search(bars.out, bar,
                                      std::regex("\"label\":\"" + unit + "\",\"axis\":\"left\",\"points\":\\[\\[[-0-9.]+,0\\],"
                                                 "\\[[-0-9.]+,([-0-9.e]+)\\]")))
            << unit << "\n" << bars.out;
        EXPECT_NEAR(ua, std::stod(bar[1]), 1e-6) << unit;
    }
}

// The split network divides C1 between E3 and E4 in 0.75 and 0.25; the report says so.
TEST(HostDesignHonestTotals, TheReportGivesTheFractionsOfEachSplitter) {
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-split-network.csv");
    const HostRun text = RunHost("design " + tables);
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_TRUE(std::regex_search(text.out, std::regex("\nSplitter [^ ]+ on C1: E3 0\\.7500, E4 0\\.2500\n"))) << text.out;
    const HostRun json = RunHost("design " + tables + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"stream\": \"C1\", \"branches\": \\[\\{\"unit\": \"E3\", "
                                                       "\"fraction\": 0\\.75\\}, \\{\"unit\": \"E4\", "
                                                       "\"fraction\": 0\\.25\\}\\]")))
        << json.out;
    // The series network has no splitter.
    const HostRun series = RunHost("design " + kTextbook + " --json");
    EXPECT_NE(std::string::npos, series.out.find("\"splitters\": []")) << series.out;
}

}  // namespace

namespace {

// E1 given a thousand million kW, far more than H1 and C2 carry: the utilities would have to take
// heat back, and a negative load has no price. The utility cost (and the total with it) is not
// available, and the note names the heaters and coolers that run backwards.
TEST(HostDesignHonestTotals, NoUtilityCostIsPricedFromNegativeUtilityLoads) {
    Scratch network("huge-duty.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,1e9,1,1\nE2,H2,C1,90,1,3\n"
                                     "E3,H1,C1,90,2,2\nE4,H2,C1,30,2,1\nHeater,HP Steam,C1,20,,4\n"
                                     "Cooler,H2,Cooling Water,60,3,\n");
    const HostRun text = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path);
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  utility cost              not available\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("  total annual cost         not available\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("utility totals are not available: heaters and coolers run backwards ("))
        << text.out;
    const HostRun json = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"utility_cost\": null")) << json.out;
    // The textbook network, whose loads are all positive, keeps its price.
    const HostRun textbook = RunHost("design " + kTextbook);
    EXPECT_NE(std::string::npos, textbook.out.find("  utility cost              1978.80 per year\n")) << textbook.out;
}

}  // namespace

namespace {

// Exchangers that carry more than their streams hold: E2 given 300 kW where H2 carries 180, or E1
// given 400 kW where H1 carries 330 and C2 240. The heaters and coolers then run backwards, so
// no utility total is a real answer: each is null, with a note saying why; and every stream the
// exchangers take past its target is unsatisfied, though its backwards unit closes its balance.
struct OverrunCase {
    const char* name;
    const char* row;          // the textbook row replaced
    const char* overrun;      // by this one
    const char* unsatisfied;  // the JSON list
};

class HostDesignOverrun : public ::testing::TestWithParam<OverrunCase> {};

TEST_P(HostDesignOverrun, ReportsNoUtilityTotalAndNamesTheStreamsItOverruns) {
    const OverrunCase& c = GetParam();
    std::string table = "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,3\n"
                        "E3,H1,C1,90,2,2\nE4,H2,C1,30,2,1\nHeater,HP Steam,C1,20,,4\nCooler,H2,Cooling Water,60,3,\n";
    table.replace(table.find(c.row), std::string(c.row).size(), c.overrun);
    Scratch network("overrun.csv", table);
    const HostRun json = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"hot_utility\": null,")) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"cold_utility\": null,")) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("\"utility_cost\": null,")) << json.out;
    EXPECT_NE(std::string::npos, json.out.find(std::string("\"unsatisfied_streams\": [") + c.unsatisfied + "]"))
        << json.out;
    EXPECT_NE(std::string::npos, json.out.find("utility totals are not available: ")) << json.out;
    EXPECT_EQ(std::string::npos, json.out.find("utility load is negative")) << json.out;

    // The case saves and reopens, and its design viewer shows none of the annual figures either: no
    // total annual cost, no utility cost, and no annualised capital summed over the units whose areas
    // are known.
    Scratch saved("overrun.kestrin", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path + " --save " + saved.path).exitCode);
    const HostRun viewer = RunViewScript(saved.path, "get CostPerTime.751\nget CostPerTime.757\nget CostPerTime.761\n"
                                                     "get CostPerTime.762\n", " --open design");
    ASSERT_EQ(0, viewer.exitCode) << viewer.out;
    std::size_t empty = 0;
    for (std::size_t at = viewer.out.find("  value empty Cost/year\n"); at != std::string::npos;
         at = viewer.out.find("  value empty Cost/year\n", at + 1))
        ++empty;
    EXPECT_EQ(4u, empty) << viewer.out;
}

INSTANTIATE_TEST_SUITE_P(
    Networks, HostDesignOverrun,
    ::testing::Values(OverrunCase{"E2Over", "E2,H2,C1,90,1,3", "E2,H2,C1,300,1,3", "\"H2\", \"C1\""},
                      OverrunCase{"E1Over", "E1,H1,C2,240,1,1", "E1,H1,C2,400,1,1", "\"H1\", \"C2\""},
                      // E3 takes H1 past its target, E2 leaves C1 short of its own: only a cooler runs
                      // backwards, and the heater on C1 takes the rest.
                      OverrunCase{"CoolerOver", "E2,H2,C1,90,1,3\nE3,H1,C1,90,2,2", "E2,H2,C1,40,1,3\nE3,H1,C1,150,2,2",
                                  "\"H1\""}),
    [](const ::testing::TestParamInfo<OverrunCase>& info) { return std::string(info.param.name); });

}  // namespace

// The ends of a network placed from an exchanger table: what the rows leave of a stream's load
// goes to a heater or cooler on a utility of the scenario, so the textbook network without its
// heater and cooler rows is the textbook network in every job; a later deletion moves the deleted
// duty onto those heaters and coolers; and a placed network carries no utilities at its exchanger
// ports, so retrofit (from the host and from the design viewer) and design completion take it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content = "", bool write = false)
        : ScratchFile("network-ends", stem, content, write) {}
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kStreams = ExamplePath("four-streams.csv");
const std::string kNetwork = ExamplePath("four-streams-network.csv");

// The textbook network (README) without its heater and cooler rows: E1 to E4 leave 20 kW to heat
// on C1 (125 -> 135 C) and 60 kW to cool on H2 (70 -> 30 C).
std::string exchangerRowsOnly() {
    std::string out, line;
    const std::string all = FileContents(kNetwork);
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t end = all.find('\n', at);
        line = all.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
        if (line.rfind("Heater", 0) != 0 && line.rfind("Cooler", 0) != 0) out += line;
        at = end == std::string::npos ? all.size() : end + 1;
    }
    return out;
}

// The JSON object of a unit of the design report.
std::string unitNamed(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("{\"name\": \"" + name + "\"");
    return at == std::string::npos ? std::string() : json.substr(at, json.find('}', at) - at + 1);
}

double field(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\"" + key + "\": ");
    return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + key.size() + 4, nullptr);
}

// One job a user runs on a network table, and what it must show of the textbook network.
struct Job {
    const char* name;
    std::function<std::string(const std::string& network)> run;
    std::vector<std::string> shows;
};

std::string host(const std::string& arguments) {
    const HostRun run = RunHost(arguments);
    return "exit " + std::to_string(run.exitCode) + "\n" + run.out;
}

std::string savedThen(const std::string& network, const std::string& then) {
    Scratch saved("saved.kestrin");
    const HostRun design = RunHost("design " + kStreams + " " + network + " --save " + saved.path);
    if (design.exitCode != 0) return design.out;
    return host(then + " " + saved.path);
}

const Job kJobs[] = {
    {"design_text", [](const std::string& n) { return host("design " + kStreams + " " + n); },
     {"exit 0\n", "hot utility               20.00 kW (target 20.00)", "cold utility              60.00 kW (target 60.00)",
      "degrees of freedom        0\n", "unsatisfied streams       none\n"}},
    {"design_json", [](const std::string& n) { return host("design " + kStreams + " " + n + " --json"); },
     {"\"hot_utility\": 20,", "\"cold_utility\": 60,", "\"unsatisfied_streams\": [],",
      "{\"name\": \"Heater\", \"kind\": \"heater\", \"hot\": \"HP Steam\", \"cold\": \"C1\", \"duty\": 20,",
      "{\"name\": \"Cooler\", \"kind\": \"cooler\", \"hot\": \"H2\", \"cold\": \"Cooling Water\", \"duty\": 60,"}},
    {"saved_case", [](const std::string& n) { return savedThen(n, "design --json"); },
     {"\"hot_utility\": 20,", "\"cold_utility\": 60,", "\"unsatisfied_streams\": [],"}},
    {"design_viewer",
     [](const std::string& n) {
         Scratch script("view.txt", "get ExtraData.752.0\nget ExtraData.753.0\n", true);
         Scratch saved("viewed.kestrin");
         RunHost("design " + kStreams + " " + n + " --save " + saved.path);
         return host("view " + saved.path + " --open design --script " + script.path);
     },
     {"1: get ExtraData.752.0\n  value 20 kW", "2: get ExtraData.753.0\n  value 60 kW"}},
    {"grid",
     [](const std::string& n) {
         Scratch svg("grid.svg");
         return host("grid " + kStreams + " " + n + " --svg " + svg.path + " --json");
     },
     {"{\"kind\":\"heater\",\"name\":\"Heater\",\"ends\":[{\"stream\":\"C1\"",
      "{\"kind\":\"cooler\",\"name\":\"Cooler\",\"ends\":[{\"stream\":\"H2\""}},
    {"bar_plot",
     [](const std::string& n) {
         Scratch svg("bars.svg");
         return host("plot " + kStreams + " " + n + " --kind bar --quantity duty --svg " + svg.path + " --json");
     },
     {"\"label\":\"Heater\",\"axis\":\"left\",\"points\":[[4.7,0],[5.3,20]]", "\"label\":\"Cooler\",\"axis\":\"left\""}},
    {"retrofit", [](const std::string& n) { return host("retrofit " + kStreams + " " + n + " --mode utility --json"); },
     {"exit 0\n", "\"base\":{\"hot_utility\":20,\"cold_utility\":60,"}},
    {"optimise", [](const std::string& n) { return host("optimise " + kStreams + " " + n + " --json"); },
     {"exit 0\n", "\"result\": 4"}},
    {"optimise_equation_based",
     [](const std::string& n) { return host("optimise " + kStreams + " " + n + " --equation-based --json"); },
     {"exit 0\n", "\"result\": 4"}},
};

// A failing case names its job, not the bytes of its function object.
void PrintTo(const Job& job, std::ostream* out) { *out << job.name; }

class HostNetworkEndsJobs : public ::testing::TestWithParam<Job> {};

// Every job reads the network without the rows exactly as the README's network with them.
TEST_P(HostNetworkEndsJobs, TheTextbookNetworkWithoutItsUtilityRowsIsTheTextbookNetwork) {
    Scratch rows("exchangers-only.csv", exchangerRowsOnly(), true);
    const std::string without = GetParam().run(rows.path);
    const std::string with = GetParam().run(kNetwork);
    for (const std::string& part : GetParam().shows) EXPECT_TRUE(has(without, part)) << part << "\n" << without;
    EXPECT_EQ(with, without);
}

INSTANTIATE_TEST_SUITE_P(Jobs, HostNetworkEndsJobs, ::testing::ValuesIn(kJobs),
                         [](const ::testing::TestParamInfo<Job>& info) { return std::string(info.param.name); });

// Which utility an end takes, worked by hand: H1 150 -> 50 C (cp 2) gives E1 60 kW and leaves
// 140 kW from 120 to TARGET C; C (cp 4) takes 60 kW from 100 to 115 C and leaves 180 kW to 160 C.
// Default utilities (C, cost index per kW): LP Steam 125/124, MP Steam 175/174 (cheaper than HP),
// HP Steam 250/249; Cooling Water 20/25, Air 30/35 (the cheapest). DTmin 10.
struct EndCase {
    const char* name;
    const char* utilities;  // rows of the stream table
    double coldTarget, hotTarget;
    const char* heater;  // the utility the heater takes
    const char* cooler;
    bool heaterFeasible;
};

const EndCase kEnds[] = {
    // MP Steam meets 160 C with 15 C and 115 C with 59 C: it serves, and is cheaper than HP.
    {"cheapest_that_serves", "HP Steam\nMP Steam\nLP Steam\nCooling Water\nAir\n", 160, 50, "MP Steam", "Air", true},
    // C to 170 C: MP Steam would meet it with 5 C, so HP Steam; H1 to 35 C: Air would meet it with 5 C,
    // so cooling water (15 C).
    {"temperatures_before_cost", "HP Steam\nMP Steam\nCooling Water\nAir\n", 170, 35, "HP Steam", "Cooling Water", true},
    // Nothing reaches 170 C at DTmin: the hottest steam, and the report shows the heater infeasible.
    {"hottest_when_none_serves", "MP Steam\nLP Steam\nCooling Water\n", 170, 50, "MP Steam", "Cooling Water", false},
};

void PrintTo(const EndCase& c, std::ostream* out) { *out << c.name; }

class HostNetworkEndsUtilities : public ::testing::TestWithParam<EndCase> {};

TEST_P(HostNetworkEndsUtilities, EachEndTakesTheUtilityItsTemperaturesAllow) {
    const EndCase& c = GetParam();
    char rows[256];
    std::snprintf(rows, sizeof rows, "name,supply,target,cp,h,kind\nH1,150,%g,2,0.2,process\nC,100,%g,4,0.2,process\n",
                  c.hotTarget, c.coldTarget);
    std::string streams = rows;
    for (std::string u = c.utilities; !u.empty();) {
        const std::size_t end = u.find('\n');
        streams += u.substr(0, end) + ",,,,,utility\n";
        u.erase(0, end + 1);
    }
    Scratch table("streams.csv", streams, true), network("network.csv", "name,hot,cold,duty\nE1,H1,C,60\n", true);
    const HostRun run = RunHost("design " + table.path + " " + network.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string heater = unitNamed(run.out, "Heater"), cooler = unitNamed(run.out, "Cooler");
    EXPECT_TRUE(has(heater, "\"kind\": \"heater\", \"hot\": \"" + std::string(c.heater) + "\", \"cold\": \"C\"")) << run.out;
    EXPECT_TRUE(has(cooler, "\"kind\": \"cooler\", \"hot\": \"H1\", \"cold\": \"" + std::string(c.cooler) + "\""))
        << run.out;
    EXPECT_NEAR(4.0 * (c.coldTarget - 115.0), field(heater, "duty"), 1e-6) << heater;
    EXPECT_NEAR(2.0 * (120.0 - c.hotTarget), field(cooler, "duty"), 1e-6) << cooler;
    EXPECT_NEAR(115.0, field(heater, "cold_in"), 1e-6) << heater;
    EXPECT_NEAR(120.0, field(cooler, "hot_in"), 1e-6) << cooler;
    EXPECT_EQ(c.heaterFeasible, has(heater, "\"feasible\": true")) << heater;
    EXPECT_TRUE(has(run.out, "\"unsatisfied_streams\": [],")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Choices, HostNetworkEndsUtilities, ::testing::ValuesIn(kEnds),
                         [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

// The README's network with other duties typed for its heater and cooler, which are the last units
// of C1 and H2: they take what E1 to E4 leave there (20 and 60 kW), and no second heater or
// cooler joins them.
struct NamedEnd {
    const char* name;
    const char* heaterDuty;
    const char* coolerDuty;
};

const NamedEnd kNamedEnds[] = {{"short_of_the_residual", "15", "55"}, {"beyond_the_residual", "25", "70"}};

void PrintTo(const NamedEnd& c, std::ostream* out) { *out << c.name; }

class HostNetworkEndsNamed : public ::testing::TestWithParam<NamedEnd> {};

TEST_P(HostNetworkEndsNamed, TheTablesHeaterAndCoolerTakeTheResidual) {
    const std::string table = exchangerRowsOnly() + "Heater,HP Steam,C1," + GetParam().heaterDuty + ",,4\nCooler,H2,Cooling Water," +
                              GetParam().coolerDuty + ",3,\n";
    Scratch network("named.csv", table, true);
    const HostRun run = RunHost("design " + kStreams + " " + network.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NEAR(20.0, field(unitNamed(run.out, "Heater"), "duty"), 1e-6) << run.out;
    EXPECT_NEAR(60.0, field(unitNamed(run.out, "Cooler"), "duty"), 1e-6) << run.out;
    EXPECT_TRUE(unitNamed(run.out, "Heater1").empty()) << run.out;
    EXPECT_TRUE(unitNamed(run.out, "Cooler1").empty()) << run.out;
    EXPECT_NEAR(20.0, field(run.out, "hot_utility"), 1e-6) << run.out;
    EXPECT_NEAR(60.0, field(run.out, "cold_utility"), 1e-6) << run.out;
    EXPECT_TRUE(has(run.out, "\"unsatisfied_streams\": [],")) << run.out;
    EXPECT_TRUE(has(run.out, "\"calculation_status\": \"calculated\"")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Duties, HostNetworkEndsNamed, ::testing::ValuesIn(kNamedEnds),
                         [](const ::testing::TestParamInfo<NamedEnd>& info) { return std::string(info.param.name); });

// The first end of a unit in `grid --json`.
bool unitEnd(const std::string& json, const std::string& name, double& x, double& y) {
    const std::size_t at = json.find("\"name\":\"" + name + "\",\"ends\":[");
    if (at == std::string::npos) return false;
    const std::size_t px = json.find("\"x\":", at), py = json.find("\"y\":", at);
    return std::sscanf(json.c_str() + px + 4, "%lf", &x) == 1 && std::sscanf(json.c_str() + py + 4, "%lf", &y) == 1;
}

// E4 (30 kW from H2 to C1) deleted in the grid of a case saved from the rows without utilities:
// the cooler on H2 takes 60 + 30 = 90 kW and the heater on C1 20 + 30 = 50 kW, by calculation.
TEST(HostNetworkEnds, ADeletedExchangerLeavesItsDutyToTheHeatersAndCoolersAtTheEnds) {
    Scratch rows("exchangers-only.csv", exchangerRowsOnly(), true), saved("net.kestrin"), after("after.kestrin");
    Scratch svg("net.svg");
    ASSERT_EQ(0, RunHost("design " + kStreams + " " + rows.path + " --save " + saved.path).exitCode);
    const HostRun grid = RunHost("grid " + saved.path + " --svg " + svg.path + " --json");
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(unitEnd(grid.out, "E4", x, y)) << grid.out;
    char script[96];
    std::snprintf(script, sizeof script, "menu %.6f %.6f\nchoose 5609\n", x, y);
    Scratch file("delete.txt", script, true);
    const HostRun run = RunHost("view " + saved.path + " --open grid --script " + file.path + " --save " + after.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun report = RunHost("design " + after.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_TRUE(unitNamed(report.out, "E4").empty()) << report.out;
    EXPECT_NEAR(50.0, field(unitNamed(report.out, "Heater"), "duty"), 1e-6) << report.out;
    EXPECT_NEAR(90.0, field(unitNamed(report.out, "Cooler"), "duty"), 1e-6) << report.out;
    EXPECT_NEAR(50.0, field(report.out, "hot_utility"), 1e-6) << report.out;
    EXPECT_NEAR(90.0, field(report.out, "cold_utility"), 1e-6) << report.out;
    EXPECT_TRUE(has(report.out, "\"unsatisfied_streams\": [],")) << report.out;
}

// The README's retrofit network, saved and opened in the design viewer, is taken as the retrofit
// base as `kestrin-host retrofit` takes it, and the retrofit runs.
TEST(HostNetworkEnds, TheRetrofitExampleRetrofitsFromTheDesignViewer) {
    // The retrofit stays in this scenario (the form's source 1; 0, its default, retrofits a copy).
    Scratch saved("retrofit.kestrin"),
        script("retrofit.txt", "cmd SelectRetrofitNow\nset Index.217 1\ncmd RetrofitNow\n", true);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const HostRun run = RunHost("view " + saved.path + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "RetDesStrmUntied")) << run.out;
    EXPECT_FALSE(has(run.out, "Error ")) << run.out;
    EXPECT_TRUE(has(run.out, "3: cmd RetrofitNow\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Calculating targets at DTMin")) << run.out;
}

// The completion keeps the textbook network's matches: H2 is settled by E2, E4 and its cooler, so
// no new match takes H2 to C2.
TEST(HostNetworkEnds, CompletingTheTextbookNetworkAddsNoMatchToASettledStream) {
    const HostRun run = RunHost("autodesign " + kStreams + " --complete " + kNetwork + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_TRUE(has(run.out, "\"name\": \"A_Design1\"")) << run.out;
    EXPECT_FALSE(has(run.out, "\"hot\": \"H2\", \"cold\": \"C2\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"unsatisfied_streams\": []")) << run.out;
}

// The table cools H2 to 30 C itself (Cooler, 60 kW) and leaves H1 at 90 C (no E3): the cooler the
// design adds on H1 (to 60 C, 90 kW) goes after the table's on the cooling water, which meets
// H2's 30 C outlet at 20 C: one flow of 150 / 5 = 30 kW/C warms to 22 C in the table's cooler
// (approach 10) and on to 25 C in the added one. Placed first it would warm the water to 23 C
// before H2 (approach 7, infeasible) and blank the totals.
TEST(HostNetworkEnds, ACoolerAddedAtAStreamEndKeepsTheTablesCoolerFeasible) {
    Scratch table("own-cooler.csv",
                  "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,2\nE4,H2,C1,30,2,1\n"
                  "Heater,HP Steam,C1,110,,3\nCooler,H2,Cooling Water,60,3,\n",
                  true);
    const HostRun run = RunHost("design " + kStreams + " " + table.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "INFEASIBLE")) << run.out;
    EXPECT_TRUE(has(run.out, "Cooler (cooler) H2 -> Cooling Water: duty 60.00, hot 70.00 -> 30.00, cold 20.00 -> 22.00, "
                             "approach 10.00"))
        << run.out;
    EXPECT_TRUE(has(run.out, "Cooler1 (cooler) H1 -> Cooling Water: duty 90.00, hot 90.00 -> 60.00, cold 22.00 -> 25.00"))
        << run.out;
    EXPECT_FALSE(has(run.out, "not available")) << run.out;
}

// Two hot utilities for the heater the table leaves C1 (125 -> 135 C, 20 kW): high-pressure
// steam (250 -> 249 C) and a cheaper warm oil. The end goes to the cheapest utility that serves it
// at DTmin at both ends (its supply 10 K above 135 C and its target 10 K above 125 C), else to
// the steam: each case below fails one of the two conditions alone, or neither.
struct EndUtility {
    const char* name;
    const char* oil;  // the warm oil's supply and target
    const char* utility;
};
void PrintTo(const EndUtility& e, std::ostream* out) { *out << e.name; }

class HostNetworkEndsUtility : public ::testing::TestWithParam<EndUtility> {};

TEST_P(HostNetworkEndsUtility, TheEndGoesToTheCheapestUtilityServingBothEnds) {
    const EndUtility& e = GetParam();
    Scratch streams("two-hot-utilities.csv",
                    std::string("name,supply,target,cp,h,kind,cost\nH1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\n"
                                "C1,20,135,2,0.2,process,\nC2,80,140,4,0.2,process,\nHP Steam,,,,,utility,\n"
                                "Warm Oil,") +
                        e.oil + ",,0.2,utility,1\nCooling Water,,,,,utility,\n",
                    true);
    Scratch table("two-hot-utilities-network.csv",
                  "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,3\nE3,H1,C1,90,2,2\n"
                  "E4,H2,C1,30,2,1\nCooler,H2,Cooling Water,60,3,\n",
                  true);
    const HostRun run = RunHost("design " + streams.path + " " + table.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("Heater (heater) ") + e.utility + " -> C1: duty 20.00")) << run.out;
    EXPECT_FALSE(has(run.out, "INFEASIBLE")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    TwoHotUtilities, HostNetworkEndsUtility,
    ::testing::Values(EndUtility{"OilServesBothEnds", "160,136", "Warm Oil"},
                      EndUtility{"OilSupplyServesButNotItsTarget", "150,130", "HP Steam"},
                      EndUtility{"OilTargetServesButNotItsSupply", "140,136", "HP Steam"}),
    [](const ::testing::TestParamInfo<EndUtility>& info) { return std::string(info.param.name); });

// Exchangers that take a stream past its target leave its end a load the wrong way round: the end
// still gets its heater or cooler, which runs backwards by the overshoot, is infeasible, and the
// report names it and the stream. E1 at 260 kW heats C2 20 kW past its 240 kW; E4 at 110 kW cools
// H2 20 kW past what E2 and E4 leave it of its 180 kW, and takes C1 60 kW past its 230 kW.
struct Overshoot {
    const char* name;
    const char* network;
    std::vector<const char*> notes;
};
[[maybe_unused]] void PrintTo(const Overshoot& o, std::ostream* os) { *os << o.name; }

class HostNetworkEndsOvershoot : public ::testing::TestWithParam<Overshoot> {};

TEST_P(HostNetworkEndsOvershoot, AnEndPastItsTargetGetsAUnitThatRunsBackwards) {
    const Overshoot& o = GetParam();
    Scratch network(std::string(o.name) + ".csv", o.network, true);
    const HostRun run = RunHost("design " + kStreams + " " + network.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* note : o.notes) EXPECT_TRUE(has(run.out, note)) << note << "\n" << run.out;
    EXPECT_TRUE(has(run.out, "calculation               incomplete")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Ends, HostNetworkEndsOvershoot,
    ::testing::Values(Overshoot{"ColdPastTarget",
                                "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,260,1,1\nE2,H2,C1,90,1,3\n"
                                "E3,H1,C1,70,2,2\nE4,H2,C1,30,2,1\n",
                                {"Heater2 would run backwards (-20.00 kW): the exchangers take C2 past its target"}},
                      Overshoot{"BothSidesPastTarget",
                                "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,3\n"
                                "E3,H1,C1,90,2,2\nE4,H2,C1,110,2,1\n",
                                {"Heater would run backwards (-60.00 kW): the exchangers take C1 past its target",
                                 "Cooler would run backwards (-20.00 kW): the exchangers take H2 past its target"}}),
    [](const ::testing::TestParamInfo<Overshoot>& info) { return std::string(info.param.name); });

}  // namespace

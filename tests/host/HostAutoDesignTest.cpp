// kestrin-host autodesign: the matches and utility loads of the LP of the automatic design.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Table {
    std::string path;
    explicit Table(const std::string& stem, const std::string& content) {
        path = "/tmp/kestrin-host-autodesign-" + std::to_string(getpid()) + "-" + stem + ".csv";
        std::ofstream(path, std::ios::binary) << content;
    }
    ~Table() { std::remove(path.c_str()); }
};

// Utilities at 300000 per kW and year cost far more than the area that saves them.
const char* const kWorked =
    "name,supply,target,cp,h,cost,kind\n"
    "H,180,80,1,0.5,,process\n"
    "C,100,200,1,0.5,,process\n"
    "HU,250,249,,1,300000,utility\n"
    "CU,20,30,,1,300000,utility\n";

TEST(HostAutoDesign, WorkedTableGivesTheHandWorkedMatches) {
    Table t("worked", kWorked);
    HostRun run = RunHost("autodesign " + t.path + " --matches-only --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"message\": null")) << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("\"utility_loads\": [{\"name\": \"HU\", \"load\": 24}, {\"name\": \"CU\", \"load\": 24}]"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"H\", \"cold\": \"C\", \"load\": 76}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"HU\", \"cold\": \"C\", \"load\": 24}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"H\", \"cold\": \"CU\", \"load\": 24}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"unloaded_matches\": []")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"analyses\": 1, \"milp_solutions\": [], \"designs\": []")) << run.out;

    HostRun text = RunHost("autodesign " + t.path + " --matches-only");
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("H -> C: 76")) << text.out;
}

// The four streams with dear utilities: the 4 K approach of the model is a threshold, no hot
// utility and 40 kW of cooling, whatever --dtmin says.
TEST(HostAutoDesign, FourStreamsAtTheModelsApproachWhateverDTmin) {
    Table t("four",
            "name,supply,target,cp,h,cost,kind\n"
            "H1,170,60,3,0.2,,process\nH2,150,30,1.5,0.2,,process\n"
            "C1,20,135,2,0.2,,process\nC2,80,140,4,0.2,,process\n"
            "HU,250,249,,1,300000,utility\nCU,10,20,,1,300000,utility\n");
    for (const char* dtmin : {"10", "4", "25"}) {
        HostRun run = RunHost("autodesign " + t.path + " --matches-only --json --dtmin " + dtmin);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos,
                  run.out.find("\"utility_loads\": [{\"name\": \"HU\", \"load\": 0}, {\"name\": \"CU\", \"load\": 40}]"))
            << dtmin << run.out;
    }
}

TEST(HostAutoDesign, FailedRunPrintsKeyAndTextAndExitsOne) {
    struct Case {
        const char* table;
        const char* line;
    };
    const Case cases[] = {
        {"name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
         "HU,203,202,,1,300000,utility\nCU,20,30,,1,300000,utility\n",
         "NotHotEnoughHotUtility: No hot utility"},
        {"name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
         "T,150,149.991,1000,0.5,,process\nHU,250,249,,1,300000,utility\nCU,20,30,,1,300000,utility\n",
         "MinimumSegStreamTempDiff T: Two temperature points"},
    };
    for (const Case& c : cases) {
        Table t("fail", c.table);
        HostRun run = RunHost("autodesign " + t.path + " --matches-only");
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find(c.line)) << run.out;
    }
    Table bad("bad", "name,supply,target,cp,h,kind\nH,abc,80,1,0.5,process\n");
    HostRun run = RunHost("autodesign " + bad.path + " --matches-only");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("line 2")) << run.out;
}

}  // namespace

namespace {

double NumberAfter(const std::string& text, const std::string& key, std::size_t from = 0) {
    const std::size_t at = text.find(key, from);
    return at == std::string::npos ? -1e300 : std::atof(text.c_str() + at + key.size());
}

// What every generated design must be: calculated, every stream satisfied, each exchanger's
// area the duty over U Ft LMTD of its reported temperatures (the film coefficients are the
// table's, so U is checked as reported), and at least `minimumUnits` units.
void ExpectSoundDesign(const std::string& design, int minimumUnits) {
    EXPECT_NE(std::string::npos, design.find("\"unsatisfied_streams\": []")) << design;
    EXPECT_NE(std::string::npos, design.find("\"calculation_status\": \"calculated\"")) << design;
    EXPECT_EQ(std::string::npos, design.find("\"feasible\": false")) << design;
    int units = 0;
    for (std::size_t at = design.find("{\"name\": \"", 1); at != std::string::npos;
         at = design.find("{\"name\": \"", at + 1)) {
        ++units;
        const std::string unit = design.substr(at, design.find('}', at) - at);
        const double q = NumberAfter(unit, "\"duty\": "), u = NumberAfter(unit, "\"u\": "),
                     ft = NumberAfter(unit, "\"ft\": "), area = NumberAfter(unit, "\"area\": ");
        const double high = NumberAfter(unit, "\"hot_in\": ") - NumberAfter(unit, "\"cold_out\": ");
        const double low = NumberAfter(unit, "\"hot_out\": ") - NumberAfter(unit, "\"cold_in\": ");
        ASSERT_GT(high, 0.0) << unit;
        ASSERT_GT(low, 0.0) << unit;
        const double lmtd = std::fabs(high - low) < 1e-9 ? high : (high - low) / std::log(high / low);
        ASSERT_GT(area, 0.0) << unit;
        EXPECT_NEAR(area, q / (u * ft * lmtd), 2e-3 * area) << unit;
    }
    EXPECT_GE(units, minimumUnits) << design;
}

// Two designs of the worked problem: the first recovers 76 kW between H and C (24 kW left to
// each utility, its smallest approach becoming its DTMin); the second uses the
// utilities alone. A third design is wanted in vain: both are still printed, and the run fails.
TEST(HostAutoDesign, WorkedTableBuildsTheNetworksOfBothMatchSets) {
    Table t("designs", kWorked);
    HostRun run = RunHost("autodesign " + t.path + " --designs 2 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t first = run.out.find("{\"name\": \"A_Design0\", \"dtmin\": ");
    const std::size_t second = run.out.find("{\"name\": \"A_Design1\", \"dtmin\": ");
    ASSERT_NE(std::string::npos, first) << run.out;
    ASSERT_NE(std::string::npos, second) << run.out;
    // At most the model's 4 C, and at least the 4^0.85 = 3.249 C the structure holds a process
    // match to (it may leave a sliver of cooling at H's hot end and bring the exchanger that
    // close); not the scenario's 10 C, which the fresh design would fail.
    const double dtmin = NumberAfter(run.out, "\"dtmin\": ", first);
    EXPECT_GE(dtmin, std::pow(4.0, 0.85) - 1e-5);
    EXPECT_LE(dtmin, 4.0 + 1e-6);
    EXPECT_NEAR(NumberAfter(run.out, "\"hot_utility\": ", first), 24.0, 1e-3);
    EXPECT_NEAR(NumberAfter(run.out, "\"cold_utility\": ", first), 24.0, 1e-3);
    EXPECT_NEAR(NumberAfter(run.out, "\"hot_utility\": ", second), 100.0, 1e-3);
    EXPECT_NEAR(NumberAfter(run.out, "\"cold_utility\": ", second), 100.0, 1e-3);
    const std::string one = run.out.substr(first, second - first);
    ExpectSoundDesign(one, 1);
    EXPECT_NE(std::string::npos, one.find("\"unsatisfied_streams\": []")) << one;
    EXPECT_EQ(std::string::npos, one.find("\"feasible\": false")) << one;
    EXPECT_EQ(std::string::npos, run.out.substr(second).find("\"kind\": \"exchanger\"")) << run.out;

    HostRun three = RunHost("autodesign " + t.path + " --designs 3");
    EXPECT_EQ(1, three.exitCode) << three.out;
    EXPECT_NE(std::string::npos, three.out.find("Network design A_Design0")) << three.out;
    EXPECT_NE(std::string::npos, three.out.find("Network design A_Design1")) << three.out;
    EXPECT_NE(std::string::npos, three.out.find("NotEnoughDesignsGenerated")) << three.out;
}

// Four streams with dear utilities at the default DTmin: the one design wanted takes no hot
// utility and 40 kW of cooling, 470 kW being recovered through split streams.
TEST(HostAutoDesign, FourStreamsDesignRecoversTheTarget) {
    Table t("four-design",
            "name,supply,target,cp,h,cost,kind\n"
            "H1,170,60,3,0.2,,process\nH2,150,30,1.5,0.2,,process\n"
            "C1,20,135,2,0.2,,process\nC2,80,140,4,0.2,,process\n"
            "HU,250,249,,1,300000,utility\nCU,10,20,,1,300000,utility\n");
    HostRun run = RunHost("autodesign " + t.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t d = run.out.find("{\"name\": \"A_Design0\"");
    ASSERT_NE(std::string::npos, d) << run.out;
    EXPECT_NEAR(NumberAfter(run.out, "\"hot_utility\": ", d), 0.0, 1e-3);
    EXPECT_NEAR(NumberAfter(run.out, "\"cold_utility\": ", d), 40.0, 0.04);
    ExpectSoundDesign(run.out.substr(d), 3);
}

// Yee and Grossmann's four streams (their kelvin figures read as degrees; U = 0.8 from films of
// 1.6; exchangers 5500 + 150 A each, steam 80 and water 15 per kW and year). The structure is
// found for feasibility only and the exchangers are shell-and-tube, so the one network made
// costs more than the literature's best (154,854 a year), and far less than doing without
// recovery (heating 4,700 kW and cooling 5,100 kW on utilities alone: over 574,000). The two
// coolers that share the water in series are costed like every other unit. Their price is by area:
// the shells law with an exponent of 1 is 5500 a unit + 150 x the area of its shells; the units
// law prices a unit by its duty.
TEST(HostAutoDesign, YeeGrossmannNetworkCostsBetweenTheBestKnownAndNoRecovery) {
    Table t("yee-grossmann",
            "name,supply,target,cp,h,cost,kind\n"
            "H1,443,333,30,1.6,,process\nH2,423,303,15,1.6,,process\n"
            "C1,293,408,20,1.6,,process\nC2,353,413,40,1.6,,process\n"
            "HU,450,449,,1.6,80,utility\nCU,293,313,,1.6,15,utility\n");
    HostRun run = RunHost("autodesign " + t.path +
                          " --json --economics fixed=5500,area=150,exponent=1,law=shells,interest=0,life=1,hours=8760");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t d = run.out.find("{\"name\": \"A_Design0\"");
    ASSERT_NE(std::string::npos, d) << run.out;
    const std::string design = run.out.substr(d);
    const double cost = NumberAfter(design, "\"total_annual_cost\": ");
    EXPECT_GT(cost, 154854.0) << design;
    EXPECT_LT(cost, 574000.0) << design;
    ExpectSoundDesign(design, 5);
    // One design wanted: its utilities are the utility loads of the MILP solution it was built from
    // (the run's first utility loads are the LP's, beside the LP's matches).
    const std::size_t milp = run.out.find("\"milp_solutions\": [{\"design\": \"A_Design0\"");
    ASSERT_NE(std::string::npos, milp) << run.out;
    const double hot = NumberAfter(run.out, "{\"name\": \"HU\", \"load\": ", milp);
    const double cold = NumberAfter(run.out, "{\"name\": \"CU\", \"load\": ", milp);
    EXPECT_NEAR(NumberAfter(design, "\"hot_utility\": "), hot, 1e-3 * hot);
    EXPECT_NEAR(NumberAfter(design, "\"cold_utility\": "), cold, 1e-3 * cold);
}

// Bad requests are refused before anything runs; a run that ends on its key saves nothing.
TEST(HostAutoDesign, BadRequestsAreRefused) {
    Table t("refused", kWorked);
    for (const char* args : {" --designs 0", " --designs 1.5", " --designs -2", " --max-matches -1",
                             " --matches-only --designs 2"}) {
        HostRun run = RunHost("autodesign " + t.path + args);
        EXPECT_EQ(2, run.exitCode) << args << run.out;
    }
    Table bare("bare", "name,supply,target,cp,h,kind\nH,180,80,1,0.5,process\nC,100,200,1,0.5,process\n");
    const std::string save = "/tmp/kestrin-host-autodesign-" + std::to_string(getpid()) + "-nothing.kcase";
    std::remove(save.c_str());
    HostRun run = RunHost("autodesign " + bare.path + " --save " + save);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_FALSE(std::ifstream(save).good());
}

// Economics that are no economics are refused, by every job that takes them.
TEST(HostAutoDesign, BadEconomicsAreRefused) {
    Table t("economics", kWorked);
    for (const char* value : {"wages=3", "life=-1", "life=0", "law=tubes", "exponent=0", "interest=1.5", "fixed",
                              "life=2,life=3", "hours=9000"}) {
        for (const char* job : {"autodesign ", "targets "}) {
            HostRun run = RunHost(std::string(job) + t.path + " --economics " + value);
            EXPECT_NE(0, run.exitCode) << job << value << run.out;
            EXPECT_NE(std::string::npos, run.out.find("--economics")) << job << value << run.out;
        }
    }
    HostRun ok = RunHost("targets " + t.path + " --economics life=5,interest=0.1,law=shells");
    EXPECT_EQ(0, ok.exitCode) << ok.out;
}

// Completing a network: the worked problem's table with one exchanger of 50 kW between H and C.
// The network itself is built as the design job builds it and is not reported as a design of the
// run; the completed design is.
TEST(HostAutoDesign, CompletesTheNetworkOfATable) {
    Table t("complete-streams", kWorked);
    const std::string network = "/tmp/kestrin-host-autodesign-" + std::to_string(getpid()) + "-network.csv";
    std::ofstream(network, std::ios::binary) << "name,hot,cold,duty\nE1,H,C,50\n";
    HostRun run = RunHost("autodesign " + t.path + " --complete " + network + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("{\"name\": \"Network\"")) << run.out;
    const std::size_t d = run.out.find("{\"name\": \"A_Design1\"");
    ASSERT_NE(std::string::npos, d) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"unsatisfied_streams\": []", d)) << run.out;
    // A case that holds a design named "Network" already: the network to complete takes a name of
    // its own, and the completion is the same.
    const std::string held = "/tmp/kestrin-host-autodesign-" + std::to_string(getpid()) + "-held.case";
    ASSERT_EQ(0, RunHost("design " + t.path + " " + network + " --save " + held).exitCode);
    const std::string completed = held + ".completed.case";
    HostRun again = RunHost("autodesign " + held + " --complete " + network + " --json --save " + completed);
    std::remove(network.c_str());
    ASSERT_EQ(0, again.exitCode) << again.out;
    // The completion's own name, A_Design<n>, as its report gives it.
    const std::size_t e = again.out.find("\"designs\": [{\"name\": \"A_Design");
    ASSERT_NE(std::string::npos, e) << again.out;
    const std::size_t from = again.out.find("A_Design", e);
    const std::string made = again.out.substr(from, again.out.find('"', from) - from);
    EXPECT_NE(std::string::npos, again.out.find("\"unsatisfied_streams\": []", e)) << again.out;
    // The design job reports the design it is asked for by name, the case's first without a name.
    HostRun named = RunHost("design " + completed + " --design " + made);
    EXPECT_EQ(0, named.exitCode) << named.out;
    EXPECT_EQ(0u, named.out.find("Network design " + made + "\n")) << named.out;
    HostRun first = RunHost("design " + completed);
    EXPECT_EQ(0u, first.out.find("Network design Network\n")) << first.out;
    HostRun none = RunHost("design " + completed + " --design Nope");
    EXPECT_EQ(1, none.exitCode) << none.out;
    EXPECT_NE(std::string::npos, none.out.find("the case holds no design named \"Nope\"")) << none.out;
    HostRun noBase = RunHost("retrofit " + completed + " --design Nope");
    EXPECT_EQ(1, noBase.exitCode) << noBase.out;
    EXPECT_NE(std::string::npos, noBase.out.find("the case holds no design named \"Nope\"")) << noBase.out;
    std::remove(held.c_str());
    std::remove(completed.c_str());

    // A given exchanger carrying more than H has (150 kW of its 100): no completion mends that, and
    // the job fails saying so, with no utility use quoted for a design that does not calculate.
    ScratchFile tooMuch("autodesign", "complete-too-much.csv", "name,hot,cold,duty\nE1,H,C,150\n");
    HostRun infeasible = RunHost("autodesign " + t.path + " --complete " + tooMuch.path);
    EXPECT_EQ(1, infeasible.exitCode) << infeasible.out;
    EXPECT_NE(std::string::npos, infeasible.out.find("A_Design1 does not calculate (")) << infeasible.out;
    EXPECT_NE(std::string::npos, infeasible.out.find("A_Design1's utility use is not available")) << infeasible.out;
    EXPECT_EQ(std::string::npos, infeasible.out.find("null kW")) << infeasible.out;

    HostRun missing = RunHost("autodesign " + t.path + " --complete /nonexistent/network.csv");
    EXPECT_EQ(1, missing.exitCode) << missing.out;
}

}  // namespace

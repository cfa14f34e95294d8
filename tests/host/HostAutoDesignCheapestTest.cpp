// The automatic design's MILP answers come cheapest first: the first is the cheapest set of the
// pairs the LP loaded, each later one the cheapest set that holds no set chosen before, and each
// reports the objective it reached. Checked against a model of the match choice written apart from the module
// (IntervalMatchModel.h) that tries every set of candidate matches. A match search that its time
// limit stops says so.
#include "HostProcess.h"
#include "IntervalMatchModel.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace {

using interval_model::Model;
using interval_model::Stream;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The text between `open` and the bracket that closes the list it opens.
std::string ListAfter(const std::string& json, const std::string& open) {
    const std::size_t at = json.find(open);
    if (at == std::string::npos) return std::string();
    int depth = 0;
    for (std::size_t k = at + open.size() - 1; k < json.size(); ++k) {
        if (json[k] == '[') ++depth;
        if (json[k] == ']' && --depth == 0) return json.substr(at, k - at + 1);
    }
    return std::string();
}

std::vector<double> Objectives(const std::string& json) {
    std::vector<double> values;
    const std::string list = ListAfter(json, "\"milp_solutions\": [");
    const std::regex objective("\"objective\": ([-0-9.e+]+)");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), objective); it != std::sregex_iterator(); ++it)
        values.push_back(std::stod((*it)[1]));
    return values;
}

// Two hot and two cold process streams, a hot and a cold utility; whole degrees, so that the
// shifted ends are exact.
std::vector<Stream> RandomTable(unsigned seed) {
    std::mt19937 random(seed);
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto real = [&](double low, double high) { return std::round(std::uniform_real_distribution<double>(low, high)(random) * 100.0) / 100.0; };
    const double processIndex = 3.171e-06;  // a process stream's cost index when the table gives none
    std::vector<Stream> s;
    for (int k = 1; k <= 2; ++k) {
        const double supply = between(120, 170);
        s.push_back({"H" + std::to_string(k), supply, supply - between(30, 80), real(1, 5), real(0.2, 1), processIndex, true, false});
    }
    double hottestTarget = 0.0;
    for (int k = 1; k <= 2; ++k) {
        const double supply = between(40, 90);
        s.push_back({"C" + std::to_string(k), supply, supply + between(30, 80), real(1, 5), real(0.2, 1), processIndex, false, false});
        hottestTarget = std::max(hottestTarget, s.back().target);
    }
    const double steam = hottestTarget + between(15, 40);
    // The table's costs are per kW and year; the cost index is per kJ.
    s.push_back({"HU", steam, steam - 1, 0.0, 1.0, between(150, 300) * 3.1709792e-8, true, true});
    s.push_back({"CU", 20, 30, 0.0, 1.0, between(5, 40) * 3.1709792e-8, false, true});
    return s;
}

std::string TableText(const std::vector<Stream>& streams) {
    std::string text = "name,supply,target,cp,h,cost,kind\n";
    char line[200];
    for (const Stream& s : streams) {
        if (s.utility)
            std::snprintf(line, sizeof line, "%s,%.0f,%.0f,,%.2f,%.0f,utility\n", s.name.c_str(), s.supply, s.target, s.h,
                          std::round(s.costIndex / 3.1709792e-8));
        else
            std::snprintf(line, sizeof line, "%s,%.0f,%.0f,%.2f,%.2f,,process\n", s.name.c_str(), s.supply, s.target, s.cp, s.h);
        text += line;
    }
    return text;
}

// Every seeded table: the pairs the LP loads are the candidates, every set of them is costed by
// the independent model, and each answer's objective is the cheapest cost of the sets that hold
// none of the earlier answers (within the search's relative gap of 1e-5).
TEST(HostAutoDesignCheapest, EachAnswerIsTheCheapestSetNotChosenBefore) {
    const double area = 800.0, fixed = 10000.0;
    for (unsigned seed : {3u, 11u, 29u, 41u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Model model;
        model.streams = RandomTable(seed);
        model.capital = area * 0.1;  // interest 0 over 10 years: a tenth a year
        model.fixed = fixed * 0.1;
        model.hours = 8000.0;
        ScratchFile table("autodesign-cheapest", "table.csv", TableText(model.streams));
        const HostRun run = RunHost("autodesign " + table.path +
                                    " --designs 3 --economics area=800,fixed=10000,exponent=1,interest=0,life=10,hours=8000"
                                    " --json 2>/dev/null");
        std::vector<std::pair<int, int>> candidates;
        const std::string lp = ListAfter(run.out, "\"matches\": [");
        const std::regex pair("\\{\"hot\": \"([^\"]+)\", \"cold\": \"([^\"]+)\"");
        auto index = [&](const std::string& name) {
            for (std::size_t k = 0; k < model.streams.size(); ++k)
                if (model.streams[k].name == name) return static_cast<int>(k);
            return -1;
        };
        for (auto it = std::sregex_iterator(lp.begin(), lp.end(), pair); it != std::sregex_iterator(); ++it)
            candidates.emplace_back(index((*it)[1]), index((*it)[2]));
        ASSERT_GE(candidates.size(), 3u) << run.out;
        ASSERT_LE(candidates.size(), 10u) << run.out;
        std::vector<std::pair<double, unsigned>> sets;
        for (unsigned mask = 1; mask < (1u << candidates.size()); ++mask) {
            std::vector<std::pair<int, int>> chosen;
            for (std::size_t k = 0; k < candidates.size(); ++k)
                if (mask >> k & 1u) chosen.push_back(candidates[k]);
            if (const std::optional<double> cost = model.CostOf(chosen)) sets.emplace_back(*cost, mask);
        }
        std::sort(sets.begin(), sets.end());
        // The cut after each answer leaves out its set and every set that holds it.
        std::vector<double> costs;
        std::vector<unsigned> answered;
        while (costs.size() < 3) {
            auto next = std::find_if(sets.begin(), sets.end(), [&](const std::pair<double, unsigned>& s) {
                return std::none_of(answered.begin(), answered.end(), [&](unsigned a) { return (s.second & a) == a; });
            });
            if (next == sets.end()) break;
            costs.push_back(next->first);
            answered.push_back(next->second);
        }
        // Three answers, or as many as there are sets left (the run then says it made fewer designs).
        const std::vector<double> objectives = Objectives(run.out);
        ASSERT_EQ(objectives.size(), costs.size()) << run.out;
        EXPECT_EQ(run.exitCode, costs.size() == 3 ? 0 : 1) << run.out;
        for (std::size_t k = 0; k < objectives.size(); ++k)
            EXPECT_NEAR(objectives[k], costs[k], 2e-5 * costs[k]) << "answer " << k + 1 << "\n" << run.out;
    }
}

// A completion's solves are its own run's, which the scenario does not report: its objective is
// "not available", not a number of another run.
TEST(HostAutoDesignCheapest, ACompletionsObjectiveIsNotReported) {
    ScratchFile streams("autodesign-cheapest", "streams.csv",
                        "name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
                        "HU,250,249,,1,300000,utility\nCU,20,30,,1,300000,utility\n");
    ScratchFile network("autodesign-cheapest", "network.csv", "name,hot,cold,duty\nE1,H,C,50\n");
    const HostRun run = RunHost("autodesign " + streams.path + " --complete " + network.path + " --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(has(run.out, "\"objective\": null}]")) << run.out;
}

// A table whose dearer set holds a match of one shell: the first answer is the cheaper set.
TEST(HostAutoDesignCheapest, AOneShellMatchIsPricedAtTheAreaItIsReportedWith) {
    ScratchFile table("autodesign-cheapest", "r11.csv",
                      "name,supply,target,cp,h,kind\nH1,174.22,141.94,1.924,1.0,process\nH2,195.59,151.48,1.206,0.5,process\n"
                      "H3,137.02,84.18,7.178,0.1,process\nH4,191.45,94.06,3.897,0.2,process\n"
                      "C1,101.01,219.13,0.974,0.1,process\nC2,44.73,92.39,0.726,1.0,process\n"
                      "C3,62.42,157.2,1.965,0.2,process\nC4,103.24,179.09,5.468,1.0,process\n"
                      "Hot Oil,,,,,utility\nMP Steam,,,,,utility\nAir,,,,,utility\n");
    const HostRun run = RunHost("autodesign " + table.path +
                                " --designs 1 --economics area=800,interest=0,life=10,exponent=1,fixed=10000 --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // Hot Oil 66.3693, MP Steam 189.43903 and Air 379.28552 kW at 264.995 m2 cost less than
    // 60.32 / 135.24 / 319.04 kW at 309.08 m2 by the model's own prices.
    EXPECT_TRUE(has(run.out, "{\"design\": \"A_Design0\", \"utility_loads\": [{\"name\": \"Hot Oil\", \"load\": 66.3693}, "
                             "{\"name\": \"MP Steam\", \"load\": 189.43903}, {\"name\": \"Air\", \"load\": 379.28552}], "
                             "\"estimated_area\": 264.995214"))
        << run.out;
}

}  // namespace

namespace {

// Eighteen random process streams with the default steam, cooling water and fired heat: the match
// search takes more than 40 s to prove its set the cheapest (its superstructure some 0.07 s).
std::string SlowTable() {
    std::mt19937 random(5);
    auto real = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    std::string text = "name,supply,target,cp,h,kind\n";
    char line[160];
    for (int i = 0; i < 18; ++i) {
        if (i % 2 == 0) {
            const double a = real(80, 300), b = real(45, a - 10);
            std::snprintf(line, sizeof line, "H%d,%.2f,%.2f,%.3f,%.3f,process\n", i, a, b, real(0.5, 10), real(0.1, 1));
        } else {
            const double a = real(10, 250), b = real(a + 10, 290);
            std::snprintf(line, sizeof line, "C%d,%.2f,%.2f,%.3f,%.3f,process\n", i, a, b, real(0.5, 10), real(0.1, 1));
        }
        text += line;
    }
    return text + "HP Steam,,,,,utility\nCooling Water,,,,,utility\nFired Heat (1000),,,,,utility\n";
}

// Stopped with a set in hand, the answer is the best found and the report says so, in text and
// JSON; stopped before any set, the failure says why; a search that ends within its limit says
// nothing of it. (Half a second finds a set at the root here; on a machine so loaded that it does
// not, or that the superstructure fails in its half second, the failed run's report still says that
// the limit stopped the search.)
TEST(HostAutoDesignCheapest, AMatchSearchStoppedByItsTimeLimitSaysSo) {
    ScratchFile table("autodesign-cheapest", "slow.csv", SlowTable());
    const std::string stopped = "the match search was stopped at its time limit of 0.5 s";
    const std::string found = stopped + ": the set of matches is the best it found, not proved within 0.001 % of the cheapest";
    const HostRun text = RunHost("autodesign " + table.path + " --time-limit 0.5");
    EXPECT_TRUE(has(text.out, stopped)) << text.out;
    if (text.exitCode == 0) {
        EXPECT_TRUE(has(text.out, "\nNote: MILP solution 1: " + found + "\n")) << text.out;
    }
    const HostRun json = RunHost("autodesign " + table.path + " --time-limit 0.5 --json 2>/dev/null");
    EXPECT_TRUE(has(json.out, "\"MILP solution 1: " + stopped)) << json.out;

    // A limit of a microsecond stops the first solve under it, the linear model of the matches,
    // before the match search starts: the failure says so.
    const std::string none = "the linear model of the matches was stopped at its time limit of 1e-06 s before it was solved";
    const HostRun failed = RunHost("autodesign " + table.path + " --time-limit 0.000001");
    EXPECT_EQ(failed.exitCode, 1) << failed.out;
    EXPECT_TRUE(has(failed.out, "kestrin-host: AutomaticDesignSolverFailed: The solver found no solution of the automatic "
                                "design model. (" + none + ")"))
        << failed.out;
    const HostRun failedJson = RunHost("autodesign " + table.path + " --time-limit 0.000001 --json 2>/dev/null");
    EXPECT_TRUE(has(failedJson.out, "\"" + none + "\"")) << failedJson.out;

    const HostRun proved = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --time-limit 60 --json 2>/dev/null");
    ASSERT_EQ(proved.exitCode, 0) << proved.out;
    EXPECT_FALSE(has(proved.out, "match search was stopped")) << proved.out;
}

}  // namespace

namespace {

// A completion searches for its set of matches under the same time limit: stopped before it found
// one (here before its linear model is solved), the job fails with the reason, as the automatic design does, and never reports success
// with no design made.
TEST(HostAutoDesignCheapest, ACompletionWhoseSearchItsTimeLimitStoppedFails) {
    ScratchFile table("autodesign-cheapest", "slow-complete.csv", SlowTable());
    ScratchFile network("autodesign-cheapest", "slow-network.csv", "name,hot,cold,duty\nE1,H0,C1,5\n");
    const std::string none = "the linear model of the matches was stopped at its time limit of 1e-06 s before it was solved";
    const std::string run = "autodesign " + table.path + " --complete " + network.path + " --time-limit 0.000001";
    const HostRun text = RunHost(run);
    EXPECT_EQ(text.exitCode, 1) << text.out;
    EXPECT_TRUE(has(text.out, "kestrin-host: AutomaticDesignSolverFailed: The solver found no solution of the automatic "
                              "design model. (" + none + ")"))
        << text.out;
    // The automatic design's LP did not run: its empty headings are not shown as the completion's.
    EXPECT_FALSE(has(text.out, "\nLP solution\n")) << text.out;
    const HostRun json = RunHost(run + " --json 2>/dev/null");
    EXPECT_EQ(json.exitCode, 1) << json.out;
    EXPECT_TRUE(has(json.out, "{\"message\": \"AutomaticDesignSolverFailed\"")) << json.out;
    EXPECT_TRUE(has(json.out, "\"" + none + "\"")) << json.out;
}

}  // namespace

namespace {

// Two hot and two cold process streams, worked by hand, check both the run and the model of the
// match choice the tests above compare it with. Shifted by 2 K the ends are 258, 238 (HU), 198,
// 158 (H2), 182, 142 (C2), 98, 58 (H1), 82, 42 (C1), 32, 12 (CU); the narrowest interval is 10 K,
// so the step is 80 K and no interval is split. H1 gives 16 and 24 kW in 98-82 and 82-58; C1 takes
// 24 and 16 kW in 82-58 and 58-42. Of its four columns the one within 82-58 stands at a 4 K
// approach at both ends (F of one shell cannot reach 0.8 there: P = 24/28), so the cheapest flow
// puts 16 kW from 98-82 into 82-58 (end approaches 28 and 20 K, mean 2 sqrt(560)/3 + 8 = 23.7762,
// F 0.873293 at 100-84 against 56-80), 8 kW within 82-58 (mean 4, F 0.8) and 16 kW from 82-58
// into 58-42 (the mirror image): 16/(23.7762 x 0.873293) x 2 + 8/3.2 = 4.0411591 m2 per unit of
// 1/h_hot + 1/h_cold. H2 and C2 repeat the picture 100 K higher. H1-C1 (1/h sum 3) and H2-C2 (6)
// need 36.370432 m2, at 80 a year each, and two matches at 1000: 4909.634521 a year. No other set
// of the loaded pairs carries the heat, so a second answer does not exist.
TEST(HostAutoDesignCheapest, TheModelAndTheRunPriceATwoByTwoTableAsWorkedByHand) {
    const double hand = 80.0 * 9.0 * 4.0411590568 + 2000.0;
    ASSERT_NEAR(hand, 4909.634521, 1e-5);
    Model model;
    model.streams = {{"H1", 100, 60, 1, 1.0, 0.0, true, false},    {"H2", 200, 160, 1, 0.5, 0.0, true, false},
                     {"C1", 40, 80, 1, 0.5, 0.0, false, false},    {"C2", 140, 180, 1, 0.25, 0.0, false, false},
                     {"HU", 260, 240, 0, 1.0, 300 * 3.1709792e-8, true, true},
                     {"CU", 10, 30, 0, 1.0, 300 * 3.1709792e-8, false, true}};
    model.capital = 80.0;
    model.fixed = 1000.0;
    const std::optional<double> pairs = model.CostOf({{0, 2}, {1, 3}});
    ASSERT_TRUE(pairs.has_value());
    EXPECT_NEAR(*pairs, hand, 1e-6 * hand);
    // A pair that can carry nothing still costs its match.
    const std::optional<double> idle = model.CostOf({{0, 2}, {1, 3}, {1, 2}});
    ASSERT_TRUE(idle.has_value());
    EXPECT_NEAR(*idle, hand + 1000.0, 1e-6 * hand);
    EXPECT_FALSE(model.CostOf({{0, 2}}).has_value());
    EXPECT_FALSE(model.CostOf({{1, 2}, {1, 3}}).has_value());

    ScratchFile table("autodesign-cheapest", "by-hand.csv",
                      "name,supply,target,cp,h,cost,kind\nH1,100,60,1,1.0,0,process\nH2,200,160,1,0.5,0,process\n"
                      "C1,40,80,1,0.5,0,process\nC2,140,180,1,0.25,0,process\nHU,260,240,,1,300,utility\n"
                      "CU,10,30,,1,300,utility\n");
    const HostRun run = RunHost("autodesign " + table.path +
                                " --designs 2 --economics area=800,fixed=10000,exponent=1,interest=0,life=10,hours=8000"
                                " --json 2>/dev/null");
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_TRUE(has(run.out, "\"message\": \"NotEnoughDesignsGenerated\"")) << run.out;
    const std::vector<double> objectives = Objectives(run.out);
    ASSERT_EQ(objectives.size(), 1u) << run.out;
    EXPECT_NEAR(objectives[0], hand, 1e-6 * hand) << run.out;
    EXPECT_TRUE(has(run.out, "\"estimated_area\": 36.370432, \"objective\"")) << run.out;
}

}  // namespace

namespace {

// One match in one pair of intervals: H1 150-135 C gives C1 110-125 C 30 kW across shifted
// intervals 148-133 and 127-112 (end approaches 25 K, mean 25 K). One shell reaches F 0.936812
// there: at the scenario's minimum F of 0.8 that is the match's F; at a minimum of 0.99 the match
// is priced with the shells that reach 0.99. Either way the answer's estimated area is the area its
// objective prices: 30 x (1/0.5 + 1/0.5) / (25 F) m2, at 80 a year, with one match at 1000 and the
// two process streams' energy, 30 kW at 2 x 3.171e-06 per kJ over 8000 h (5479.488 a year).
TEST(HostAutoDesignCheapest, AnAnswersAreaIsTheAreaItsObjectivePricesAtTheScenariosMinimumF) {
    struct Case {
        const char* minimumF;
        double F;
    };
    for (const Case c : {Case{"0.8", 0.936812}, Case{"0.99", 0.99}}) {
        SCOPED_TRACE(std::string("minimum F ") + c.minimumF);
        ScratchFile saved("autodesign-cheapest", std::string("minimum-f-") + c.minimumF + ".case", "", false);
        ScratchFile table("autodesign-cheapest", "one-match.csv",
                          "name,supply,target,cp,h,cost,kind\nH1,150,135,2,0.5,,process\nC1,110,125,2,0.5,,process\n"
                          "HU,200,199,,1,300,utility\nCU,20,25,,1,30,utility\n");
        const HostRun view = RunViewScript(table.path, std::string("set ExtraData.765 ") + c.minimumF + "\n", " --save " + saved.path);
        ASSERT_EQ(view.exitCode, 0) << view.out;
        const HostRun run = RunHost("autodesign " + saved.path +
                                    " --designs 1 --economics area=800,fixed=10000,exponent=1,interest=0,life=10,hours=8000"
                                    " --json 2>/dev/null");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const double area = 30.0 * 4.0 / (25.0 * c.F);
        const std::string solutions = ListAfter(run.out, "\"milp_solutions\": [");
        const std::smatch found = [&] {
            std::smatch m;
            std::regex_search(solutions, m, std::regex("\"estimated_area\": ([-0-9.e+]+), \"objective\": ([-0-9.e+]+)"));
            return m;
        }();
        ASSERT_EQ(found.size(), 3u) << run.out;
        EXPECT_NEAR(std::stod(found[1]), area, 2e-6 * area) << run.out;
        const double energy = 30.0 * 2.0 * 3.171e-06 * 8000.0 * 3600.0;
        EXPECT_NEAR(std::stod(found[2]), 80.0 * area + 1000.0 + energy, 1e-5 * (1000.0 + energy)) << run.out;
    }
}

}  // namespace

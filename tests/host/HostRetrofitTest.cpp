// kestrin-host retrofit: the example plant's heater goes from high- to medium-pressure steam (the
// saving worked by hand), the new-exchanger step names the exchanger the model places, a saved
// case retrofits as its tables do, and bad input is refused with a message, nothing computed.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kStreams = ExamplePath("retrofit-streams.csv");
const std::string kNetwork = ExamplePath("retrofit-network.csv");

std::string TestDataPath(const std::string& name) { return std::string(KESTRIN_TEST_DATA) + "/" + name; }
constexpr double kSecondsPerYear = 31536000.0;

// The value after "key": (the first after `from`), as text up to the next ',' or '}'.
std::string jsonValue(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\":", from);
    if (at == std::string::npos) return "(missing)";
    const std::size_t start = at + key.size() + 3;
    std::size_t end = start;
    if (json[start] == '"') end = json.find('"', start + 1) + 1;
    else end = json.find_first_of(",}", start);
    return json.substr(start, end - start);
}

double jsonNumber(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::string text = jsonValue(json, key, from);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? NAN : v;
}

}  // namespace

// The heater's 180 kW on MP Steam would cost 180 x 3e-7 x 31,536,000 s = 1702.94 a year less in
// steam than on HP Steam, but at 175 C the steam leaves the heater a smaller approach: its area
// grows from 8.41 to 28.95 m2 and its annualised capital from 3797.60 to 5754.22 a year, so the
// heater's steam plus capital rises from 17988.80 to 18242.48 a year. No move lowers that sum:
// the step keeps nothing.
TEST(HostRetrofit, UtilityModeRefusesAMoveWhoseCapitalEatsTheSaving) {
    const HostRun json = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode utility --json");
    ASSERT_EQ(json.exitCode, 0) << json.out;
    EXPECT_EQ(jsonValue(json.out, "mode"), "\"utility\"");
    EXPECT_NEAR(jsonNumber(json.out, "hot_utility"), 180.0, 1e-6);
    EXPECT_NEAR(jsonNumber(json.out, "cold_utility"), 200.0, 1e-6);
    const std::size_t step = json.out.find("\"steps\":[");
    ASSERT_NE(step, std::string::npos);
    EXPECT_EQ(jsonValue(json.out, "step", step), "1");
    EXPECT_EQ(jsonValue(json.out, "result", step), "41");
    EXPECT_EQ(jsonValue(json.out, "kept", step), "false");
    EXPECT_EQ(jsonValue(json.out, "design", step), "\"Network-1U\"");
    // A discarded step's network is no result: its numbers are not reported.
    EXPECT_EQ(jsonValue(json.out, "utility_cost_saving", step), "null");

    const HostRun text = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode utility");
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_NE(text.out.find("Step 1: result 41, no heater or cooler moved: no other utility lowers"), std::string::npos)
        << text.out;
    // Of the result's two causes, the one that happened: the savings were worked out, none is one.
    EXPECT_NE(text.out.find("  why: no other utility serves a heater or cooler for less utility and annualised capital "
                            "cost\n"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(text.out.find("(kept)"), std::string::npos) << text.out;
}

// The new-exchanger step: the model's one gainful exchanger takes 20 kW from H2 before its cooler
// into C before E1. With no investment allowed (the scenario's budget is 0, at which any capital
// outweighs every saving) the area check takes the new exchanger down to nothing: a step whose new
// exchanger carries nothing is no modification (5), and the report says what the placed exchanger
// needed. The step is tried on H2 and C, and nothing of its network is reported.
TEST(HostRetrofit, NewExchangerStepNamesTheExchangerAndItsStreams) {
    const HostRun run = RunHost("retrofit " + kStreams + " " + kNetwork + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t step = run.out.find("\"steps\":[");
    ASSERT_NE(step, std::string::npos);
    EXPECT_EQ(jsonValue(run.out, "result", step), "5") << run.out;
    EXPECT_EQ(jsonValue(run.out, "kept", step), "false");
    EXPECT_EQ(jsonValue(run.out, "design", step), "\"Network-1N-1\"");
    EXPECT_EQ(jsonValue(run.out, "kind", step), "\"new exchanger\"");
    EXPECT_EQ(jsonValue(run.out, "hot", step), "\"H2\"");
    EXPECT_EQ(jsonValue(run.out, "cold", step), "\"C\"");
    EXPECT_EQ(jsonValue(run.out, "duty", step), "null");
    EXPECT_EQ(jsonValue(run.out, "hot_utility", step), "null");
    const std::string note = jsonValue(run.out, "budget_note", step);
    EXPECT_EQ(note.rfind("\"the step needs capital ", 0), 0u) << run.out;
    EXPECT_NE(note.find("; the budget is 0.00\""), std::string::npos) << run.out;
}

// With an investment to spend the area check keeps the new exchanger: it starts at the 20 kW that
// H2 and C allow at DTmin 10 (H2 130 -> 110 C into C 100 -> 105 C), the optimiser weighs the
// capital against the budget and the utility cost against the base design's, and the step is
// kept with code 7: the scenario's designs are the base and the step's. C's heater falls below
// the base design's 180 kW by at least what the new exchanger brings (1 kW of it taken off
// after the check).
TEST(HostRetrofit, NewExchangerWithABudgetIsKept) {
    const HostRun run =
        RunHost("retrofit " + kStreams + " " + kNetwork + " --mode new-exchanger --budget 100000 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t step = run.out.find("\"steps\":[");
    ASSERT_NE(step, std::string::npos);
    EXPECT_EQ(jsonValue(run.out, "result", step), "7") << run.out;
    EXPECT_EQ(jsonValue(run.out, "kept", step), "true");
    EXPECT_EQ(jsonValue(run.out, "design", step), "\"Network-1N-1\"");
    EXPECT_EQ(jsonValue(run.out, "hot", step), "\"H2\"");
    EXPECT_EQ(jsonValue(run.out, "cold", step), "\"C\"");
    const double duty = jsonNumber(run.out, "duty", step);
    EXPECT_TRUE(duty > 0.0 && duty <= 19.0 + 1e-9) << duty;
    // The whole area of a new exchanger is what the step adds.
    EXPECT_GT(jsonNumber(run.out, "added_area", step), 0.0) << run.out;
    const double hot = jsonNumber(run.out, "hot_utility", step);
    EXPECT_LE(hot, 180.0 - duty + 1e-6) << run.out;
    // The cold utility falls by as much as the hot: the plant's balance.
    EXPECT_NEAR(jsonNumber(run.out, "cold_utility", step), 200.0 - (180.0 - hot), 1e-6);
    EXPECT_GT(jsonNumber(run.out, "utility_cost_saving", step), 0.0);
    const double capital = jsonNumber(run.out, "capital_cost", step);
    EXPECT_GT(capital, 0.0);
    EXPECT_LT(capital, 100000.0);
    EXPECT_GT(jsonNumber(run.out, "payback", step), 0.0);

    const HostRun text = RunHost("retrofit " + kStreams + " " + kNetwork + " --budget 100000");
    ASSERT_EQ(text.exitCode, 0) << text.out;
    for (const char* line : {"Step 1: result 7, new exchanger added", "design Network-1N-1 (kept)",
                             "modification: new exchanger, E-1100, hot H2 in at 130.00 C, cold C in at 100.00 C"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
}

// The four-stream problem's minimum-energy design without its 90 kW H1 -> C1 exchanger (air takes
// H1's 90 kW, steam gives C1 90 kW more): the one new exchanger that recovers all of it is that
// exchanger again, H1 from 90 C to 60 C into C1 from 35 C to 80 C, leaving the 20 kW hot and 60 kW
// cold utility targets. The plant's exchangers stay in use, air's cooler is left idle (the step is
// kept for all that), and 1 kW of the new duty is taken off after the area check as a margin.
TEST(HostRetrofit, NewExchangerRestoresTheMissingMinimumEnergyExchanger) {
    const std::string streams = TestDataPath("retrofit/four-streams-air.csv");
    const std::string network = TestDataPath("retrofit/missing-e3.csv");
    const HostRun run = RunHost("retrofit " + streams + " " + network +
                                " --mode new-exchanger --budget 100000 --steps 1 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const double baseCost = jsonNumber(run.out, "utility_cost");
    const std::size_t step = run.out.find("\"steps\":[");
    ASSERT_NE(step, std::string::npos);
    EXPECT_EQ(jsonValue(run.out, "result", step), "7") << run.out;
    EXPECT_EQ(jsonValue(run.out, "kept", step), "true");
    EXPECT_EQ(jsonValue(run.out, "hot", step), "\"H1\"");
    EXPECT_EQ(jsonValue(run.out, "cold", step), "\"C1\"");
    const double duty = jsonNumber(run.out, "duty", step);
    // The model holds the plant's exchangers to their duties within a ten-thousandth of them.
    EXPECT_NEAR(duty, 89.0, 1e-2) << run.out;
    EXPECT_NEAR(jsonNumber(run.out, "hot_utility", step), 110.0 - duty, 1e-6);
    EXPECT_NEAR(jsonNumber(run.out, "cold_utility", step), 150.0 - duty, 1e-6);
    EXPECT_GT(jsonNumber(run.out, "added_area", step), 0.0);
    const double cost = jsonNumber(run.out, "utility_cost", step);
    const double saving = jsonNumber(run.out, "utility_cost_saving", step);
    EXPECT_NEAR(saving, baseCost - cost, 1e-6);
    EXPECT_GT(saving, 0.0);
    EXPECT_NEAR(jsonNumber(run.out, "payback", step), jsonNumber(run.out, "capital_cost", step) / saving, 1e-5);

    const HostRun text = RunHost("retrofit " + streams + " " + network + " --budget 100000");
    EXPECT_NE(text.out.find("hot H1 in at 90.00 C, cold C1 in at 35.00 C"), std::string::npos) << text.out;
    // The kept network shows why the 1 kW goes: at 89 kW C1 leaves the new exchanger at 79.5 C,
    // half a kelvin clear of DTmin against H1's 90 C; at 90 kW it would sit exactly at DTmin.
    const std::size_t network_ = run.out.find("\"network\":[", step);
    ASSERT_NE(network_, std::string::npos) << run.out;
    const std::size_t added = run.out.find("\"hot\": \"H1\", \"cold\": \"C1\"", network_);
    ASSERT_NE(added, std::string::npos) << run.out;
    EXPECT_NEAR(jsonNumber(run.out.substr(added), "duty"), duty, 1e-6);
    EXPECT_NEAR(jsonNumber(run.out.substr(added), "cold_out"), 35.0 + duty / 2.0, 1e-6);
    EXPECT_NEAR(jsonNumber(run.out.substr(added), "approach"), 10.5, 1e-2);
}

// A kept step is the user's to keep: `--save` stores the scenario with the base design and the
// step's design, which reads back with the new exchanger and the heater at the step's duties, and
// the saved base retrofits again.
TEST(HostRetrofit, SaveKeepsTheBaseAndTheKeptStepsDesigns) {
    const std::string streams = TestDataPath("retrofit/four-streams-air.csv");
    const std::string network = TestDataPath("retrofit/missing-e3.csv");
    ScratchFile saved("retrofit-test", "kept.kcase", "", false);
    ScratchFile svg("retrofit-test", "kept-bars.svg", "", false);
    const HostRun run = RunHost("retrofit " + streams + " " + network + " --budget 100000 --save " + saved.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t step = run.out.find("\"steps\":[");
    ASSERT_EQ(jsonValue(run.out, "design", step), "\"Network-1N-1\"") << run.out;
    const double duty = jsonNumber(run.out, "duty", step);
    const double hot = jsonNumber(run.out, "hot_utility", step);

    const HostRun bars = RunHost("plot " + saved.path + " --kind bar --quantity duty --design Network-1N-1 --svg " +
                                 svg.path + " --json");
    ASSERT_EQ(bars.exitCode, 0) << bars.out;
    const auto barTop = [&bars](const std::string& unit) {
        // A unit's bar, not the legend entry of its kind (which has no points).
        const std::size_t at = bars.out.find("\"label\":\"" + unit + "\",\"axis\":\"left\",\"points\":[[");
        if (at == std::string::npos) return double(NAN);
        const std::size_t end = bars.out.find("]]", at);
        const std::size_t comma = bars.out.rfind(',', end);
        return std::strtod(bars.out.c_str() + comma + 1, nullptr);
    };
    EXPECT_NEAR(barTop("E-1100"), duty, 1e-6) << bars.out;
    EXPECT_NEAR(barTop("Heater"), hot, 1e-6) << bars.out;

    const HostRun again = RunHost("retrofit " + saved.path + " --budget 100000 --json");
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_NEAR(jsonNumber(again.out, "hot_utility"), 110.0, 1e-6) << again.out;
    EXPECT_EQ(jsonValue(again.out, "design", again.out.find("\"steps\":[")), "\"Network-2N-1\"") << again.out;
}

// Two steps on the README example are two alternatives from the base design, and the report says
// so. With a budget of 10000 the area check takes each new exchanger down to nothing; the report
// says what the placed exchanger needed, which is more than the budget. With 100000 step 1 is kept
// and its network is printed unit by unit, with no budget remark.
TEST(HostRetrofit, TheReportSaysHowStepsRelateAndWhenTheBudgetBlockedOne) {
    const HostRun blocked = RunHost("retrofit " + kStreams + " " + kNetwork + " --budget 10000 --steps 2");
    ASSERT_EQ(blocked.exitCode, 0) << blocked.out;
    EXPECT_NE(blocked.out.find("Note: the steps are alternatives: each is made from the base design"), std::string::npos)
        << blocked.out;
    const std::string needs = "  budget: the step needs capital ";
    const std::size_t at = blocked.out.find(needs);
    ASSERT_NE(at, std::string::npos) << blocked.out;
    EXPECT_GT(std::strtod(blocked.out.c_str() + at + needs.size(), nullptr), 10000.0) << blocked.out;
    EXPECT_NE(blocked.out.find("; the budget is 10000.00\n", at), std::string::npos) << blocked.out;
    EXPECT_EQ(blocked.out.find("  network:"), std::string::npos) << blocked.out;

    const HostRun kept = RunHost("retrofit " + kStreams + " " + kNetwork + " --budget 100000 --json");
    ASSERT_EQ(kept.exitCode, 0) << kept.out;
    EXPECT_EQ(jsonValue(kept.out, "steps_are"), "\"alternatives\"");
    const std::size_t step = kept.out.find("\"steps\":[");
    EXPECT_EQ(jsonValue(kept.out, "kept", step), "true") << kept.out;
    EXPECT_EQ(jsonValue(kept.out, "budget_note", step), "null") << kept.out;
    const std::size_t units = kept.out.find("\"network\":[", step);
    ASSERT_NE(units, std::string::npos) << kept.out;
    for (const char* unit : {"\"name\": \"E1\"", "\"name\": \"Heater\"", "\"hot\": \"H2\", \"cold\": \"C\""})
        EXPECT_NE(kept.out.find(unit, units), std::string::npos) << unit << "\n" << kept.out;
}

// With a budget of 10000 the area check takes the example's new exchanger down to nothing (the
// saving it shows comes from E1, which the optimiser enlarged): a step whose new exchanger
// carries no duty made no modification and is not kept.
TEST(HostRetrofit, NewExchangerLeftWithoutDutyIsNotKept) {
    const HostRun run = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode new-exchanger --budget 10000 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t step = run.out.find("\"steps\":[");
    ASSERT_NE(step, std::string::npos);
    EXPECT_EQ(jsonValue(run.out, "result", step), "5") << run.out;
    EXPECT_EQ(jsonValue(run.out, "kept", step), "false");
}

// Moving an existing exchanger on the example: the repiping model's best moves tie between E1 where
// it already sits and E1 to H2 and C's supply ends at 20 kW; the present place wins no tie, so the
// first step tries the move, which gives up 40 kW of E1's recovery and is discarded (26: no
// saving), and the second, with that move shut out, has only the present place left (30, refused
// by its own rule); the resequencing model finds no move (32). No step is kept.
TEST(HostRetrofit, MovesOfAnExistingExchangerAreRefusedOnTheExample) {
    struct Case {
        const char* mode;
        std::vector<std::string> results;
    };
    for (const Case& c : {Case{"repipe", {"26", "30"}}, Case{"resequence", {"32", "32"}}}) {
        SCOPED_TRACE(c.mode);
        const HostRun run = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode " + c.mode + " --steps 2 --json");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        std::size_t at = run.out.find("\"steps\":[");
        ASSERT_NE(at, std::string::npos);
        for (const std::string& expected : c.results) {
            at = run.out.find("\"step\":", at + 1);
            ASSERT_NE(at, std::string::npos);
            EXPECT_EQ(jsonValue(run.out, "result", at), expected) << run.out;
            EXPECT_EQ(jsonValue(run.out, "kept", at), "false");
        }
    }
    // A discarded step reports what was tried and why it went, not the numbers of its network.
    const HostRun text = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode repipe --steps 2");
    EXPECT_NE(text.out.find("  tried: repiping, E1, hot H2, cold C\n"
                            "  why: the step saves no utility cost: the hot utility would be "),
              std::string::npos)
        << text.out;
    EXPECT_EQ(text.out.find("hot utility    180.00 ->"), std::string::npos) << text.out;
}

// The four-stream plant with three exchangers, far from its target: each step of a run is an
// alternative made from the base, and the model, with the earlier steps' choices shut out, may
// reach the very move an earlier step offered through another of its columns. Resequencing
// offers E3 ahead of C1's heater at step 1 and E1 (no saving) at step 2; steps 3 and 4 reach the
// same moves again and say so instead of offering them twice.
TEST(HostRetrofit, AMoveAnEarlierStepOfferedIsNotOfferedAgain) {
    ScratchFile network("retrofit-test", "three.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,200,1,1\nE2,H2,C1,100,1,1\nE3,H1,C1,40,2,2\n");
    const HostRun run = RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path +
                                " --mode resequence --budget 1e6 --steps 5");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> shown = {
        "Step 1: result 34",
        "  modification: resequencing, E3, hot H1 in at 170.00 C, cold C1 in at 109.98 C,",
        "Step 2: result 26",
        "  tried: resequencing, E1, hot H1, cold C2\n",
        "Step 3: result 32",
        "  why: the model offers the move of step 2 again (E1 to the same places)\n",
        "Step 4: result 32",
        "  why: the model offers the move of step 1 again (E3 to the same places)\n",
        "Step 5: result 34"};
    std::size_t at = 0;
    for (const std::string& line : shown) {
        at = run.out.find(line, at);
        ASSERT_NE(std::string::npos, at) << line << "\n" << run.out;
    }
    EXPECT_EQ(std::string::npos, run.out.find("  modification: resequencing, E3, hot H1 in at 170.00 C", run.out.find("Step 2:")))
        << run.out;
}

// A case saved by `design` is retrofitted as its tables are.
TEST(HostRetrofit, CaseRetrofitsAsItsTables) {
    ScratchFile saved("retrofit-test", "case.kes", "", false);
    const HostRun save = RunHost("design " + kStreams + " " + kNetwork + " --save " + saved.path);
    ASSERT_EQ(save.exitCode, 0) << save.out;
    const HostRun fromCase = RunHost("retrofit " + saved.path + " --mode utility --json");
    const HostRun fromTables = RunHost("retrofit " + kStreams + " " + kNetwork + " --mode utility --json");
    ASSERT_EQ(fromCase.exitCode, 0) << fromCase.out;
    EXPECT_EQ(fromCase.out, fromTables.out);
}

// With one hot and one cold utility there is nothing to change a heater or cooler to.
TEST(HostRetrofit, UtilityModeWithOneUtilityEachAnswers24) {
    ScratchFile streams("retrofit-test", "one-steam.csv",
                        "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nH2,130,70,1,0.2,process\n"
                        "C,100,160,4,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\nAir,,,,,utility\n");
    ScratchFile network("retrofit-test", "one-steam-network.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C,60,1,1\nHeater,HP Steam,C,180,,2\n"
                        "Cooler1,H1,Cooling Water,140,2,\nCooler2,H2,Air,60,1,\n");
    // Two cold utilities: the coolers are tried, and air costs more than cooling water.
    const HostRun two = RunHost("retrofit " + streams.path + " " + network.path + " --mode utility");
    ASSERT_EQ(two.exitCode, 0) << two.out;
    EXPECT_EQ(two.out.find("result 24"), std::string::npos) << two.out;

    ScratchFile single("retrofit-test", "single.csv",
                       "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nC,100,160,4,0.2,process\n"
                       "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile singleNetwork("retrofit-test", "single-network.csv",
                              "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C,60,1,1\nHeater,HP Steam,C,180,,2\n"
                              "Cooler1,H1,Cooling Water,140,2,\n");
    const HostRun one = RunHost("retrofit " + single.path + " " + singleNetwork.path + " --mode utility");
    ASSERT_EQ(one.exitCode, 0) << one.out;
    EXPECT_NE(one.out.find("Step 1: result 24, no alternative utility"), std::string::npos) << one.out;
    EXPECT_NE(one.out.find("discarded"), std::string::npos) << one.out;
}

// The design viewer reports a retrofit the scenario refuses by the refusal's own key, as the host
// reports it by its own message: a design without exchangers is "RetNoDes" (11), and a scenario
// whose existing network was never chosen is "RetNoBCDesign" (8), for the utility step and for
// the stepwise run alike.
TEST(HostRetrofit, TheDesignViewerShowsWhyTheScenarioRefusedTheRetrofit) {
    ScratchFile saved("retrofit-test", "viewer.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    struct Case {
        const char* name;
        std::string chooseBase, key;
    };
    for (const Case& c : {Case{"design without exchangers", "cmd SelectRetrofitNow\n", "RetNoDes"},
                          Case{"no existing network chosen", "", "RetNoBCDesign"}}) {
        SCOPED_TRACE(c.name);
        ScratchFile script("retrofit-test", "viewer.txt",
                           c.chooseBase + "cmd AddDefaultDesign Other\nopen HIDesignViewerDesign.200.1\nexpect " + c.key +
                               "\ncmd UtilHX\nexpect " + c.key + "\ncmd RunRetrofitOptimization\n");
        const HostRun run = RunHost("view " + saved.path + " --script " + script.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string shown = "Error " + c.key + "|";
        const std::size_t first = run.out.find(shown);
        ASSERT_NE(first, std::string::npos) << run.out;
        EXPECT_NE(run.out.find(shown, first + 1), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("RetFail"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Unlisted retrofit result code"), std::string::npos) << run.out;
    }
}

TEST(HostRetrofit, BadInputIsRefusedWithAMessage) {
    ScratchFile noCold("retrofit-test", "no-cold.csv",
                       "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nC,100,160,4,0.2,process\n"
                       "HP Steam,,,,,utility\n");
    ScratchFile noColdNetwork("retrofit-test", "no-cold-network.csv",
                              "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C,60,1,1\nHeater,HP Steam,C,180,,2\n");
    ScratchFile notCase("retrofit-test", "not-a-case.kes", "plain text\n");
    const std::string tables = kStreams + " " + kNetwork;
    struct Case {
        std::string arguments, message;
        int exitCode;  // 2 a command line the job cannot take, 1 a run that fails on its files
    };
    for (const Case& c : std::vector<Case>{
             {"", "retrofit takes STREAMS NETWORK, or a CASE saved with a design", 2},
             {tables + " " + kNetwork, "retrofit takes STREAMS NETWORK, or a CASE saved with a design", 2},
             {tables + " --mode sideways", "--mode must be new-exchanger, repipe, resequence or utility, not \"sideways\"", 2},
             {tables + " --mode", "--mode needs new-exchanger, repipe, resequence or utility", 2},
             {tables + " --steps", "--steps needs a number", 2},
             {tables + " --steps 0", "--steps must be a whole number from 1 to 5", 2},
             {tables + " --steps 6", "--steps must be a whole number from 1 to 5", 2},
             {tables + " --steps 2.5", "--steps must be a whole number from 1 to 5", 2},
             {tables + " --mode utility --steps 2", "--steps belongs to the stepwise modes", 2},
             {tables + " --save", "--save needs a file name", 2},
             {tables + " --save " + kNetwork, "--save " + kNetwork + " names an input file", 1},
             {tables + " --budget", "--budget needs a number", 2},
             {tables + " --budget lots", "--budget needs a number", 2},
             {tables + " --budget -1", "--budget must be a number of 0 or more", 2},
             {tables + " --mode utility --budget 5", "--budget belongs to the modes whose steps are checked by area", 2},
             {kStreams + " /nonexistent/network.csv", "/nonexistent/network.csv", 1},
             {notCase.path, "is not a Kestrin case file, and the network table is missing", 2},
             {noCold.path + " " + noColdNetwork.path, "cannot be retrofitted: the retrofit needs a hot and a cold utility", 1},
         }) {
        SCOPED_TRACE(c.arguments);
        const HostRun run = RunHost("retrofit " + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out;
        EXPECT_NE(run.out.find("kestrin-host: "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Step "), std::string::npos) << run.out;
    }
}

// The network of the four-stream problem less its H1 -> C1 exchanger is all countercurrent (the
// table gives no type), and so is the exchanger that restores it: no Ft below 1. Air's cooler was
// idle before the 1 kW margin; it carries that kilowatt only for the margin, and the step says so.
TEST(HostRetrofit, NewExchangerTakesTheNetworksTypeAndTheMarginsUtilityIsNamed) {
    const std::string streams = TestDataPath("retrofit/four-streams-air.csv");
    const std::string network = TestDataPath("retrofit/missing-e3.csv");
    const HostRun text = RunHost("retrofit " + streams + " " + network + " --budget 100000");
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_NE(text.out.find("duty 89.00 kW, added area "), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(" m2, countercurrent\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("    E-1100 (exchanger) H1 -> C1: duty 89.00, hot 90.00 -> 60.33, cold 35.00 -> 79.50, "
                            "approach 10.50, area "),
              std::string::npos)
        << text.out;
    const std::size_t added = text.out.find("    E-1100 (exchanger)");
    EXPECT_NE(text.out.find("Ft 1.0000, shells 1", added), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  note: Cooler1 carries 1.00 kW only because the new exchanger gives up 1 kW after the "
                            "area check\n"),
              std::string::npos)
        << text.out;
    const HostRun json = RunHost("retrofit " + streams + " " + network + " --budget 100000 --json");
    EXPECT_NE(json.out.find("\"type\":\"countercurrent\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"notes\":[\"Cooler1 carries 1.00 kW only because"), std::string::npos) << json.out;
}

namespace {

// Two hot streams cooled and one cold stream heated besides the example plant's: the new exchanger
// of a step goes from H3 to C. Its type follows the network's process exchangers E1 and E2: a
// network of one type gets that type, one of both types a shell-and-tube unit, and only then does
// the step's note say so. Shell-and-tube shows in the unit's F below 1 on these temperatures.
const char* kFiveStreams = "name,supply,target,cp,h,kind\n"
                           "H1,150,50,2,0.2,process\nH2,130,70,1,0.2,process\nH3,140,60,1,0.2,process\n"
                           "C,100,160,4,0.2,process\nC2,40,90,1,0.2,process\n"
                           "HP Steam,,,,,utility\nMP Steam,,,,,utility\nCooling Water,,,,,utility\nAir,,,,,utility\n";

struct NewUnitType {
    const char* name;
    const char* e1;
    const char* e2;
    const char* expected;
    bool noted;
};
[[maybe_unused]] void PrintTo(const NewUnitType& t, std::ostream* os) { *os << t.name; }

class HostRetrofitNewUnitType : public ::testing::TestWithParam<NewUnitType> {};

TEST_P(HostRetrofitNewUnitType, TheNewExchangerIsOfTheTypeItsNoteAndFigureSay) {
    const NewUnitType& t = GetParam();
    ScratchFile streams("retrofit-type", std::string(t.name) + "-streams.csv", kFiveStreams);
    ScratchFile network("retrofit-type", std::string(t.name) + "-network.csv",
                        std::string("name,hot,cold,duty,hot_order,cold_order,type\n") + "E1,H1,C,60,1,1," + t.e1 +
                            "\nE2,H3,C2,30,1,1," + t.e2 +
                            "\nHeater,HP Steam,C,180,,2,countercurrent\nCooler1,H1,Cooling Water,140,2,,countercurrent\n"
                            "Cooler2,H2,Air,60,1,,countercurrent\nCooler3,H3,Cooling Water,50,2,,countercurrent\n"
                            "Heater2,MP Steam,C2,20,,2,countercurrent\n");
    const HostRun run = RunHost("retrofit " + streams.path + " " + network.path + " --budget 100000 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ("true", jsonValue(run.out, "kept")) << run.out;
    const std::size_t modification = run.out.find("\"modification\":");
    ASSERT_NE(std::string::npos, modification) << run.out;
    EXPECT_EQ(std::string("\"") + t.expected + "\"", jsonValue(run.out, "type", modification)) << run.out;
    const std::string unit = jsonValue(run.out, "exchanger", modification);
    ASSERT_EQ("\"E-1100\"", unit) << run.out;
    const std::size_t row = run.out.find("\"name\": \"E-1100\"", run.out.find("\"network\":"));
    ASSERT_NE(std::string::npos, row) << run.out;
    if (std::string(t.expected) == "countercurrent") EXPECT_DOUBLE_EQ(1.0, JsonNumber(run.out, "ft", row)) << run.out;
    else EXPECT_LT(JsonNumber(run.out, "ft", row), 0.95) << run.out;
    EXPECT_EQ(t.noted, run.out.find("the new one is shell-and-tube") != std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    NetworkTypes, HostRetrofitNewUnitType,
    ::testing::Values(NewUnitType{"Countercurrent", "countercurrent", "countercurrent", "countercurrent", false},
                      NewUnitType{"ShellAndTube", "shell-and-tube", "shell-and-tube", "shell-and-tube", false},
                      NewUnitType{"Both", "countercurrent", "shell-and-tube", "shell-and-tube", true},
                      NewUnitType{"BothTheOtherWay", "shell-and-tube", "countercurrent", "shell-and-tube", true}),
    [](const ::testing::TestParamInfo<NewUnitType>& info) { return std::string(info.param.name); });

// Moving the heater from one steam to another of the same temperatures and coefficient at half the
// price adds no area and so no capital: the step saves 180 kW x (100 - 50) = 9000 a year and pays
// back at once (payback 0), which is a step to keep, not one that never pays back.
TEST(HostRetrofit, AStepThatSavesWithoutCapitalPaysBackAtOnceAndIsKept) {
    ScratchFile streams("retrofit-payback", "streams.csv",
                        "name,supply,target,cp,h,kind,cost\nH1,150,50,2,0.2,process,\nH2,130,70,1,0.2,process,\n"
                        "C,100,160,4,0.2,process,\nDear Steam,250,249,,6,utility,100\nCheap Steam,250,249,,6,utility,50\n"
                        "Cooling Water,,,,,utility,\nAir,,,,,utility,\n");
    ScratchFile network("retrofit-payback", "network.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C,60,1,1\nHeater,Dear Steam,C,180,,2\n"
                        "Cooler1,H1,Cooling Water,140,2,\nCooler2,H2,Air,60,1,\n");
    const HostRun run = RunHost("retrofit " + streams.path + " " + network.path + " --mode utility --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("true", jsonValue(run.out, "kept")) << run.out;
    const std::size_t step = run.out.find("\"step\":1");
    ASSERT_NE(std::string::npos, step) << run.out;
    EXPECT_NEAR(9000.0, jsonNumber(run.out, "utility_cost_saving", step), 1e-3) << run.out;
    EXPECT_DOUBLE_EQ(0.0, jsonNumber(run.out, "capital_cost", step)) << run.out;
    EXPECT_DOUBLE_EQ(0.0, jsonNumber(run.out, "payback", step)) << run.out;
    EXPECT_EQ("null", jsonValue(run.out, "reason", step)) << run.out;
}

}  // namespace

// The four-stream network with E2 (60 kW) first on C1, then E3 (60 kW, second on H1) and E1
// (150 kW) on H1 and C2: E1 and E3 limit its recovery. A 0.5 kW steam heater between E2 and E3 on
// C1 raises E3's cold inlet by 0.25 C and changes nothing of that: E3 still limits it.
TEST(HostRetrofit, AHeaterBetweenTwoExchangersHidesNoLimitingExchanger) {
    for (const bool heater : {false, true}) {
        SCOPED_TRACE(heater ? "with the heater" : "without it");
        ScratchFile network("retrofit-test", heater ? "heater-between.csv" : "no-heater-between.csv",
                            std::string("name,hot,cold,duty,hot_order,cold_order\nE2,H2,C1,60,1,1\n") +
                                (heater ? "HeaterA,HP Steam,C1,0.5,,2\nE3,H1,C1,60,2,3\n" : "E3,H1,C1,60,2,2\n") +
                                "E1,H1,C2,150,1,1\n");
        const HostRun run = RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path +
                                    " --mode new-exchanger");
        EXPECT_NE(std::string::npos, run.out.find("Debottleneck: the exchangers that limit recovery are E1, E3\n"))
            << run.out;
    }
}

// H1 150 -> 50 C (CP 2) gives 35 kW to C 100 -> 160 C (CP 4) through Xb, then 45 kW to C2
// 40 -> 130 C (CP 0.5, its whole load; C2 has no heater) through Xa. The resequencing model's
// first move (Xb) leaves a network that does not calculate; its second moves Xa on H1, which at
// the plant's areas saves nothing: a saving would need a heater on C2 for what Xa no longer gives,
// and the model adds none. The step is discarded, and the reason says so.
TEST(HostRetrofit, AResequencingStepDiscardedForNoSavingSaysWhy) {
    ScratchFile streams("retrofit-test", "reseq.csv",
                        "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nC,100,160,4,0.2,process\n"
                        "C2,40,130,0.5,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile network("retrofit-test", "reseq-network.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nXa,H1,C2,45,2,1\nXb,H1,C,35,1,1\n");
    const HostRun run =
        RunHost("retrofit " + streams.path + " " + network.path + " --mode resequence --budget 1e9 --steps 2");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("  tried: resequencing, Xa, hot H1, cold C2\n"
                                              "  why: the step saves no utility cost: the hot utility would be 205.00 kW "
                                              "against 205.00 kW; a modification adds no heater or cooler, and C2 has "
                                              "none, so its exchangers carry its whole load\n"))
        << run.out;
}

// S1 20 -> 180 C (CP 20) and S3 140 -> 230 C (CP 30) are heated by S4 200 -> 80 C (CP 25) in E1
// (1250 kW, S3 to 181.67 C) and E4 (1750 kW, both at DTmin 10), by S2 250 -> 40 C (CP 15) in E5
// (650 kW) and by steam for the rest (800 + 1450 kW); cooling water takes S2's other 2500 kW. S2
// still leaves its supply at 250 C, so a new S2 -> S3 exchanger between E1 and S3's heater takes
// over steam: S2 from 250 C may fall to 10 C above S3's 181.67 C, 15 x 58.33 = 875 kW, whatever
// the order of S2's cooler and E5, and each kW it carries comes off the steam and the cooling
// water alike. A cooler ahead of E5 moves S2's temperature down by its duty
// over S2's flow, as one after it does.
TEST(HostRetrofit, ACoolerAheadOfAnExchangerStillLeavesItsUtilityToANewExchanger) {
    const std::string streams = "name,supply,target,cp,h,kind\nS1,20,180,20,0.2,process\nS2,250,40,15,0.2,process\n"
                                "S3,140,230,30,0.2,process\nS4,200,80,25,0.2,process\nHP Steam,,,,,utility\n"
                                "Cooling Water,,,,,utility\n";
    const std::string plant = "name,hot,cold,duty,hot_order,cold_order\nE1,S4,S3,1250,1,1\nE4,S4,S1,1750,2,2\n"
                              "Heater1,HP Steam,S1,800,,3\nHeater3,HP Steam,S3,1450,,2\n";
    const struct {
        const char* order;
        const char* s2;
    } kCases[] = {
        {"cooler first on S2", "Cooler,S2,Cooling Water,2500,1,\nE5,S2,S1,650,2,1\n"},
        {"cooler last on S2", "E5,S2,S1,650,1,1\nCooler,S2,Cooling Water,2500,2,\n"},
    };
    ScratchFile table("retrofit-test", "cooler-ahead-streams.csv", streams);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.order);
        ScratchFile network("retrofit-test", "cooler-ahead-network.csv", plant + c.s2);
        const HostRun run = RunHost("retrofit " + table.path + " " + network.path + " --budget 1000000 --json");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const std::size_t step = run.out.find("\"steps\":[");
        ASSERT_NE(step, std::string::npos) << run.out;
        EXPECT_EQ(jsonValue(run.out, "result", step), "7") << run.out;
        EXPECT_EQ(jsonValue(run.out, "kept", step), "true");
        EXPECT_EQ(jsonValue(run.out, "hot", step), "\"S2\"");
        EXPECT_EQ(jsonValue(run.out, "cold", step), "\"S3\"");
        const double duty = jsonNumber(run.out, "duty", step);
        EXPECT_TRUE(duty > 100.0 && duty <= 875.0 + 1e-6) << duty;
        EXPECT_NEAR(jsonNumber(run.out, "hot_utility", step), 2250.0 - duty, 1e-6) << run.out;
        EXPECT_NEAR(jsonNumber(run.out, "cold_utility", step), 2500.0 - duty, 1e-6) << run.out;
    }
}

// The host as a newcomer meets it: help for every job, the default utilities in info, one name
// per units count, process and utility pinches apart, the area LP's advice and note, and the
// site example's utilities covering its hottest stream.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The value of "key": in a JSON text, from `from` on.
std::string Field(const std::string& json, const std::string& key, std::size_t from = 0) {
    std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

class HostJobHelp : public ::testing::TestWithParam<const char*> {};

TEST_P(HostJobHelp, GivesUsageOptionsAndAnExample) {
    const std::string job = GetParam();
    HostRun run = RunHost(job + " --help");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(Has(run.out, "usage: kestrin-host " + job)) << run.out;
    EXPECT_TRUE(Has(run.out, "example: kestrin-host " + job)) << run.out;
    // The help is asked for before the files: a job's help needs none.
    EXPECT_FALSE(Has(run.out, "no input file")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Jobs, HostJobHelp,
                         ::testing::Values("info", "targets", "supertarget", "autodesign", "extract", "plot", "design",
                                           "grid", "retrofit", "optimise", "view"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(HostHelp, ListsEveryJobAndKeepsRefusingUnknownOptions) {
    HostRun help = RunHost("--help");
    EXPECT_EQ(0, help.exitCode) << help.out;
    for (const char* job : {"info", "targets", "supertarget", "autodesign", "extract", "plot", "design", "grid",
                            "retrofit", "optimise", "view"})
        EXPECT_TRUE(Has(help.out, std::string("\n  ") + job + " ")) << job << "\n" << help.out;
    EXPECT_TRUE(Has(help.out, "per kW and year")) << help.out;
    // The view job's help names every script action the script runner takes.
    HostRun view = RunHost("view --help");
    for (const char* action : {"get", "text", "set", "settext", "attach", "cmd", "dims", "status", "choices", "answer",
                               "file", "expect", "open", "svg", "form", "close"})
        EXPECT_TRUE(Has(view.out, std::string(action) + ",") || Has(view.out, std::string(action) + ";"))
            << action << "\n" << view.out;
    // The options with their defaults and units.
    HostRun targets = RunHost("targets --help");
    EXPECT_TRUE(Has(targets.out, "--dtmin X          minimum approach temperature in C (default 10")) << targets.out;

    HostRun unknown = RunHost("targets " + ExamplePath("four-streams.csv") + " --bogus");
    EXPECT_EQ(2, unknown.exitCode) << unknown.out;
    EXPECT_TRUE(Has(unknown.out, "unknown option --bogus")) << unknown.out;
    HostRun infoArgument = RunHost("info --bogus");
    EXPECT_EQ(2, infoArgument.exitCode) << infoArgument.out;
}

// The factory table: HP steam 250 -> 249 C at 2.5e-6 per kJ, 78.84 per kW and year (365 days);
// cooling water 20 -> 25 C at 2.12456e-7 per kJ, 6.70001 per kW and year.
TEST(HostInfo, ListsTheDefaultUtilitiesAndTheCapitalCostLaw) {
    HostRun run = RunHost("info");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(Has(run.out, "default utilities")) << run.out;
    EXPECT_TRUE(Has(run.out, "cost /kW.year")) << run.out;
    const auto row = [&](const std::string& name) {
        const std::size_t at = run.out.find("  " + name + " ");
        return at == std::string::npos ? std::string() : run.out.substr(at, run.out.find('\n', at) - at);
    };
    const std::string hp = row("HP Steam");
    EXPECT_TRUE(Has(hp, " hot ") && Has(hp, " 250 ") && Has(hp, " 249 ") && Has(hp, " 78.84 ") && Has(hp, " 10"))
        << hp;
    const std::string water = row("Cooling Water");
    EXPECT_TRUE(Has(water, " cold ") && Has(water, " 20 ") && Has(water, " 25 ") && Has(water, " 3.75 ") &&
                Has(water, " 6.70001 "))
        << water;
    EXPECT_FALSE(row("Very Low Temperature").empty()) << "all 21 default utilities";
    EXPECT_TRUE(Has(run.out, "default capital cost law")) << run.out;
    // The fixed part a is paid once per unit, as the designs price it, not once per shell.
    EXPECT_TRUE(Has(run.out, ": a per unit + b (A/shell)^c per shell, A in m2\n")) << run.out;
    EXPECT_TRUE(Has(run.out, "life= 5 years")) << run.out;
}

// One name per count: targets gives both, supertarget's points the pinch-division count.
TEST(HostUnitsCounts, OneNamePerCountInEveryCommand) {
    HostRun targets = RunHost("targets " + ExamplePath("four-streams.csv") + " --json");
    HostRun super = RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 9 --to 11 --step 1 --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_EQ(0, super.exitCode) << super.out;
    EXPECT_EQ("5", Field(targets.out, "units_overall"));
    EXPECT_EQ("7", Field(targets.out, "units_pinch"));
    for (const std::string* out : {&targets.out, &super.out}) EXPECT_FALSE(Has(*out, "\"units\"")) << *out;
    EXPECT_EQ("7", Field(super.out, "units_pinch", super.out.find("{\"dtmin\": 10,")));
    HostRun text = RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 9 --to 11 --step 1");
    EXPECT_TRUE(Has(text.out, "units pinch")) << text.out;
}

// C1 (20 -> 160 C, CP 1) takes 140 kW, H1 (150 -> 100 C, CP 1) gives 50: a threshold problem
// with 90 kW of hot utility and no cold utility, so no process pinch. Shifted by 5, C1 alone
// takes 20 kW above 145 C, which only HP steam reaches; from 145 to 95 H1 and C1 balance, and LP
// steam (shifted 120 C) serves the 70 kW below: the cascade with both steams touches zero at 145
// shifted (150 C hot, 140 C cold), a utility pinch, reported as such and not as the pinch.
TEST(HostPinch, AUtilityPinchIsNoProcessPinch) {
    ScratchFile table("newcomer", "threshold.csv",
                      "name,supply,target,cp,h,kind\nH1,150,100,1,0.5,process\nC1,20,160,1,0.5,process\n"
                      "HP Steam,,,,,utility\nLP Steam,,,,,utility\n");
    HostRun json = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_EQ("90", Field(json.out, "hot_utility")) << json.out;
    EXPECT_EQ("1", Field(json.out, "problem_type")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"process_pinches\": []")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"utility_pinches\": [{\"hot\": 150, \"cold\": 140, \"shifted\": 145, ")) << json.out;
    HostRun text = RunHost("targets " + table.path);
    EXPECT_TRUE(Has(text.out, "  process pinch             none\n")) << text.out;
    EXPECT_TRUE(Has(text.out, "  utility pinch             150.000 C hot / 140.000 C cold (shifted 145.000 C)\n"))
        << text.out;
}

// The area LP asked for: the note says what its 2 C approach means for the area.
TEST(HostAreaLP, ItsAreaCarriesANoteOnItsApproach) {
    HostRun lp = RunHost("targets " + ExamplePath("four-streams.csv") + " --area-method lp --json");
    ASSERT_EQ(0, lp.exitCode) << lp.out;
    EXPECT_TRUE(Has(lp.out, "approach to 2 C; it may fall below the area a network at DTmin 10.000 C needs")) << lp.out;
    HostRun bath = RunHost("targets " + ExamplePath("four-streams.csv") + " --json");
    EXPECT_FALSE(Has(bath.out, "approach to 2 C")) << bath.out;
}

// C9 reaches 356 C, above the steam and the hot oil: the fired heater covers it; the refrigerant
// cools H3's end when cooling water, with its own approach of 5 C, no longer can (above DTmin 33,
// where 39 - DTmin / 2 falls below 20 + 5 / 2). Every DTmin has its costs, and the optimum lies
// inside the range: from 20 to 30 cooling water still takes all the cooling, the operating cost
// rises by the same 2103.46 a year for each step of 5 as from 5 to 15, and the area falls on.
TEST(HostSiteExample, ItsUtilitiesCoverTheTargetsAtEveryDTmin) {
    HostRun run = RunHost("supertarget " + ExamplePath("site-24-streams.csv") + " --from 5 --to 40 --step 5 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(Has(run.out, "cannot cover")) << run.out;
    EXPECT_FALSE(Has(run.out, "\"units_pinch\": null")) << run.out;
    EXPECT_EQ("25", Field(run.out, "optimum")) << run.out;
}

}  // namespace

// kestrin-host view on the four-stream table: the scenario viewer's retrofit choices, forbidden
// matches, operating costs, the F-factor, the limits of its input and a total site's typed
// utility values, each through the forms and, where data are at stake, through the case file.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Four automatic designs; the form chooses the third and where its retrofit goes.
class HostViewRetrofitChoice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, RunHost("autodesign " + example("four-streams.csv") + " --designs 4 --save " + designs.path).exitCode);
    }
    ScratchFile designs{"mends", "designs.kcase", "", false};
    ScratchFile saved{"mends", "retrofit.kcase", "", false};
};

TEST_F(HostViewRetrofitChoice, ANewScenarioRetrofitsTheChosenDesignAndNoDesignIsLost) {
    const HostRun run = RunViewScript(designs.path,
                                  "cmd SelectRetrofitNow\nset Enum.222 2\nset Index.217 0\ncmd RetrofitNow\n"
                                  "open MyOwnerObject\ndims HIDesignViewerScenario.200\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "CloneAndRetrofit A_Design2")) << run.out;
    EXPECT_TRUE(has(run.out, "6: dims HIDesignViewerScenario.200\n  dims 2\n")) << run.out;
    // Reopened: the scenario keeps its four designs; the copy holds its retrofit base.
    const HostRun again = RunViewScript(saved.path, "choices Enum.222\nopen MyOwnerObject\n"
                                                "open HIDesignViewerScenario.200(base 1)\nchoices Enum.222\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: choices Enum.222\n  choice 0 A_Design0 (0)\n  choice 1 A_Design1 (0)\n"
                               "  choice 2 A_Design2 (0)\n  choice 3 A_Design3 (0)\n"))
        << again.out;
    EXPECT_TRUE(has(again.out, "4: choices Enum.222\n  choice 0 A_Design2 (0)\n")) << again.out;
}

TEST_F(HostViewRetrofitChoice, ThisScenarioKeepsTheChosenDesignAsItsBase) {
    const HostRun run = RunViewScript(designs.path,
                                  "cmd SelectRetrofitNow\nset Enum.222 1\nset Index.217 1\ncmd RetrofitNow\n"
                                  "choices Enum.222\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "CloneAndRetrofit")) << run.out;
    const std::string last = run.out.substr(run.out.find("5: choices Enum.222"));
    EXPECT_EQ("5: choices Enum.222\n  choice 0 A_Design1 (0)\n", last) << run.out;
}

// One forbidden match (H1 with C1) then a new DTmin: the targets are those of the targeting
// command with the same match forbidden, whether the switch is set on the forbidden-match form
// (the batch ends as the form closes) or anywhere else (a batch of its own).
struct ForbiddenCase {
    const char* name;
    const char* script;
    const char* reads;
};
void PrintTo(const ForbiddenCase& c, std::ostream* out) { *out << c.name; }

class HostViewForbiddenMatch : public ::testing::TestWithParam<ForbiddenCase> {};

TEST_P(HostViewForbiddenMatch, TheTargetsFollowAsTheTargetingCommandGivesThem) {
    const HostRun targets = RunHost("targets " + example("four-streams.csv") + " --dtmin 20 --forbid H1:C1");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_TRUE(has(targets.out, "hot utility               95.000 kW")) << targets.out;
    ASSERT_TRUE(has(targets.out, "cold utility              135.000 kW")) << targets.out;
    const HostRun run = RunViewScript(example("four-streams.csv"), GetParam().script);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, GetParam().reads)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HostViewForbiddenMatch,
    ::testing::Values(
        ForbiddenCase{"OutsideTheForm",
                      "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\nset DeltaTemp.1 20\n"
                      "get HeatFlow.107\nget HeatFlow.108\n",
                      "4: get HeatFlow.107\n  value 95 kW\n5: get HeatFlow.108\n  value 135 kW\n"},
        ForbiddenCase{"OnTheFormClosed",
                      "cmd OpenForbidden\nexpect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                      "set DeltaTemp.1 20\nclose ForbiddenMatchView\nget HeatFlow.107\nget HeatFlow.108\n",
                      "6: get HeatFlow.107\n  value 95 kW\n7: get HeatFlow.108\n  value 135 kW\n"}),
    [](const ::testing::TestParamInfo<ForbiddenCase>& info) { return std::string(info.param.name); });

// One forbidden match (H1 with C1) removed by "RemoveAllForbMatches": outside the forbidden-match
// form the targets are at once those of the problem table (20 and 60 kW at DTmin 10, 65 and 105
// kW at DTmin 20, as the targeting command gives them); on the form they keep the forbidden
// figures (50 and 90 kW) until the form closes, and then follow.
struct RemovalCase {
    const char* name;
    const char* script;
    std::vector<std::string> reads;
};
void PrintTo(const RemovalCase& c, std::ostream* out) { *out << c.name; }

class HostViewForbiddenMatchRemoval : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(HostViewForbiddenMatchRemoval, TheTargetsFollowTheRemoval) {
    for (const char* dtmin : {"10", "20"}) {
        const HostRun targets = RunHost("targets " + example("four-streams.csv") + " --dtmin " + dtmin);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        const bool ten = dtmin[0] == '1';
        EXPECT_TRUE(has(targets.out, std::string("hot utility               ") + (ten ? "20" : "65") + ".000 kW")) << targets.out;
        EXPECT_TRUE(has(targets.out, std::string("cold utility              ") + (ten ? "60" : "105") + ".000 kW")) << targets.out;
    }
    const HostRun run = RunViewScript(example("four-streams.csv"), GetParam().script);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const std::string& line : GetParam().reads) EXPECT_TRUE(has(run.out, line)) << line << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HostViewForbiddenMatchRemoval,
    ::testing::Values(
        RemovalCase{"OutsideTheForm",
                    "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\nget HeatFlow.107\n"
                    "expect ChangingToBathChoseUnForbidAll\ncmd RemoveAllForbMatches\nget HeatFlow.107\nget HeatFlow.108\n"
                    "set DeltaTemp.1 20\nget HeatFlow.107\nget HeatFlow.108\n",
                    {"3: get HeatFlow.107\n  value 50 kW\n", "6: get HeatFlow.107\n  value 20 kW\n",
                     "7: get HeatFlow.108\n  value 60 kW\n", "9: get HeatFlow.107\n  value 65 kW\n",
                     "10: get HeatFlow.108\n  value 105 kW\n"}},
        RemovalCase{"OnTheForm",
                    "cmd OpenForbidden\nexpect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                    "close ForbiddenMatchView\ncmd OpenForbidden\nexpect ChangingToBathChoseUnForbidAll\n"
                    "cmd RemoveAllForbMatches\nget HeatFlow.107\nget HeatFlow.108\nclose ForbiddenMatchView\n"
                    "get HeatFlow.107\nget HeatFlow.108\nset DeltaTemp.1 20\nget HeatFlow.107\nget HeatFlow.108\n",
                    {"8: get HeatFlow.107\n  value 50 kW\n", "9: get HeatFlow.108\n  value 90 kW\n",
                     "11: get HeatFlow.107\n  value 20 kW\n", "12: get HeatFlow.108\n  value 60 kW\n",
                     "14: get HeatFlow.107\n  value 65 kW\n", "15: get HeatFlow.108\n  value 105 kW\n"}}),
    [](const ::testing::TestParamInfo<RemovalCase>& info) { return std::string(info.param.name); });

// A value the case reader refuses is refused by the form with its key, and the case saved after
// it opens again.
struct RefusedValue {
    const char* name;
    const char* address;
    const char* value;
    const char* key;
};
void PrintTo(const RefusedValue& c, std::ostream* out) { *out << c.name << " (" << c.address << " " << c.value << ")"; }

class HostViewRefusedValue : public ::testing::TestWithParam<RefusedValue> {};

TEST_P(HostViewRefusedValue, TheFormRefusesItAndTheCaseReopens) {
    const RefusedValue& c = GetParam();
    ScratchFile saved("mends", "refused.kcase", "", false);
    const HostRun run = RunViewScript(example("four-streams.csv"),
                                  std::string("expect ") + c.key + "\nset " + c.address + " " + c.value + "\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("Error ") + c.key)) << run.out;
    const HostRun again = RunHost("targets " + saved.path);
    EXPECT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "hot utility               20.000 kW")) << again.out;
}

INSTANTIATE_TEST_SUITE_P(
    Limits, HostViewRefusedValue,
    ::testing::Values(RefusedValue{"SupplyAboveTheHottestFurnace", "Temperature.402.0", "6000",
                                   "HotStreamInletTemperatureUpdateError"},
                      RefusedValue{"CpBelowAThousandth", "HeatCapacityFlow.404.0", "0.0001", "MCpUpdateError"},
                      RefusedValue{"NegativeUtilityCost", "CostPerEnergy.445.0", "-1", "SpecRange"},
                      RefusedValue{"DTminBelowAThousandth", "DeltaTemp.1", "0.0001", "DeltaTViolationsError"},
                      RefusedValue{"ContributionBeyondAnySpan", "DeltaTemp.406.0", "100000", "DeltaTcUpdateError"},
                      // The cost law's basis is area (0) or duty (1); 7 was answered as taken.
                      RefusedValue{"CostLawBasisNoneOfItsTwo", "Enum.101.0", "7", "SpecRange"}),
    [](const ::testing::TestParamInfo<RefusedValue>& info) { return std::string(info.param.name); });

TEST(HostViewScenarioMends, UtilityCostsAndTheTotalAnnualCostAreThoseOfTheTargets) {
    // HP Steam carries the 20 kW hot utility target: 20 kW x 0.009 per kWh x 8760 h = 1576.8 a
    // year; the two utilities together make the operating cost target, 1978.80 a year.
    const HostRun targets = RunHost("targets " + example("four-streams.csv"));
    ASSERT_TRUE(has(targets.out, "operating cost            1978.80 per year")) << targets.out;
    ASSERT_TRUE(has(targets.out, "total annual cost         58841.46 per year")) << targets.out;
    const HostRun run =
        RunViewScript(example("four-streams.csv"), "get CostPerTime.310.[]\ntext CostPerTime.751\nget ExtraData.632.0\n"
                                               "get ExtraData.633.0\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get CostPerTime.310.[]\n  value 1576.8 402.000745 Cost/year\n")) << run.out;
    EXPECT_TRUE(has(run.out, "2: text CostPerTime.751\n  text 58841\n")) << run.out;
    // No design is selected: no share of the target either.
    EXPECT_TRUE(has(run.out, "3: get ExtraData.632.0\n  value empty\n4: get ExtraData.633.0\n  value empty\n")) << run.out;
}

TEST(HostViewScenarioMends, ANewMinimumFFactorMovesTheShellAndTubeTargets) {
    // 308.54 m2 and 22 shells at the default minimum F of 0.8; at 0.75 fewer shells do, over
    // more area.
    const HostRun run = RunViewScript(example("four-streams.csv"),
                                  "get Area.201\nget ShellTarget.200\nset ExtraData.765 0.75\nget Area.201\n"
                                  "get ShellTarget.200\nget Area.200\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get Area.201\n  value 308.5409822 m2\n2: get ShellTarget.200\n  value 22\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Area.201\n  value 326.4856062 m2\n5: get ShellTarget.200\n  value 21\n")) << run.out;
    // The countercurrent target knows no F-factor.
    EXPECT_TRUE(has(run.out, "6: get Area.200\n  value 253.2959613 m2\n")) << run.out;
}

TEST(HostViewScenarioMends, ATotalSitesTypedUtilityValueStaysThroughReadsAndTheCaseFile) {
    ScratchFile saved("mends", "site.kcase", "", false);
    ScratchFile script("mends", "site.txt",
                       "attach UtilityNameView.599.0 LP Steam\nexpect ThisScenarioNameAlreadyExists\n"
                       "cmd AddDefaultScenario\nget Temperature.440.0\nset Temperature.440.0 260\n"
                       "open HIDesignViewerScenario.200.0\nget Temperature.440.0\nopen MyOwnerObject\n"
                       "get Temperature.440.0\n");
    const HostRun built = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    EXPECT_TRUE(has(built.out, "4: get Temperature.440.0\n  value 125 C\n")) << built.out;
    EXPECT_TRUE(has(built.out, "7: get Temperature.440.0\n  value 260 C\n")) << built.out;
    EXPECT_TRUE(has(built.out, "9: get Temperature.440.0\n  value 260 C\n")) << built.out;
    const HostRun again = RunViewScript(saved.path, "get Temperature.440.0\nopen HIDesignViewerScenario.200.0\n"
                                                "get Temperature.440.0\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: get Temperature.440.0\n  value 260 C\n")) << again.out;
    EXPECT_TRUE(has(again.out, "3: get Temperature.440.0\n  value 260 C\n")) << again.out;
}

// H1 runs from 170 to 60 C. A typed load of 440 kW makes its cp 440 / 110 = 4 kW/C, the figure the
// targets use and the column shows; a cp typed after it, 5, replaces the load (550 kW). Each
// time the targets are those of the table with that cp.
TEST(HostViewScenarioMends, ALoadAndACpTypedOneAfterTheOtherAgreeWithTheTargets) {
    const auto targetsWithCp = [](const char* cp) {
        ScratchFile table("mends", "cp.csv",
                          std::string("name,supply,target,cp,h,kind\nH1,170,60,") + cp +
                              ",0.2,process\nH2,150,30,1.5,0.2,process\nC1,20,135,2,0.2,process\n"
                              "C2,80,140,4,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n");
        return RunHost("targets " + table.path).out;
    };
    const auto utility = [](const std::string& out, const char* side) {
        const std::size_t at = out.find(side);
        return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
    };
    const std::string four = targetsWithCp("4"), five = targetsWithCp("5");
    const HostRun run = RunViewScript(example("four-streams.csv"),
                                  "set HeatFlow.405.0 440\nget HeatCapacityFlow.404.0\nget HeatFlow.107\n"
                                  "get HeatFlow.108\nset HeatCapacityFlow.404.0 5\nget HeatFlow.405.0\n"
                                  "get HeatFlow.107\nget HeatFlow.108\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: get HeatCapacityFlow.404.0\n  value 4 kW/C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get HeatFlow.405.0\n  value 550 kW\n")) << run.out;
    // "hot utility   X kW" of the table against "value X kW" of the form.
    const auto kw = [](const std::string& line) { return std::stod(line.substr(line.find_last_of(' ', line.size() - 4) + 1)); };
    const auto formValue = [&](const char* step) {
        const std::size_t at = run.out.find(step);
        return at == std::string::npos ? -1.0 : std::stod(run.out.substr(run.out.find("value ", at) + 6));
    };
    EXPECT_NEAR(kw(utility(four, "hot utility")), formValue("3: get HeatFlow.107"), 1e-6) << four << run.out;
    EXPECT_NEAR(kw(utility(four, "cold utility")), formValue("4: get HeatFlow.108"), 1e-6) << four << run.out;
    EXPECT_NEAR(kw(utility(five, "hot utility")), formValue("7: get HeatFlow.107"), 1e-6) << five << run.out;
    EXPECT_NEAR(kw(utility(five, "cold utility")), formValue("8: get HeatFlow.108"), 1e-6) << five << run.out;
}

// An integer field refuses a number no integer holds and keeps its choice.
TEST(HostViewScenarioMends, AnIntegerFieldRefusesANumberBeyondTheIntegers) {
    const HostRun run = RunViewScript(example("four-streams.csv"), "get Index.251\nexpect SpecRange\nset Index.251 1e300\nget Index.251\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get Index.251\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error SpecRange")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Index.251\n  value 1\n")) << run.out;
}

// A site utility's own DTmin typed as 20 C reads 20 C in the number and in the text column.
TEST(HostViewScenarioMends, ASiteUtilitysTypedContributionReadsAsTyped) {
    ScratchFile script("mends", "contribution.txt",
                       "attach UtilityNameView.599.0 LP Steam\nexpect ThisScenarioNameAlreadyExists\n"
                       "cmd AddDefaultScenario\nset DeltaTemp.442.0 20\nget DeltaTemp.442.0\n"
                       "open HIDesignViewerScenario.200.0\nget DeltaTemp.442.0\ntext ExtraData.207.0\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: get DeltaTemp.442.0\n  value 20 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: get DeltaTemp.442.0\n  value 20 C\n8: text ExtraData.207.0\n  text 20.00 *\n")) << run.out;
}

}  // namespace

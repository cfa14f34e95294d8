// kestrin-host view: what a user types into the case, scenario and site views is what the case
// holds, through a save and a reopen: forbidden matches on a form left open, film coefficients
// and fouling of streams read from a table, capital-cost files, site streams, the clone tool and
// a retrofit copy.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kFourStreams = ExamplePath("four-streams.csv");

// The forbidden-match form left open as the case is saved: the saved case targets with the match
// forbidden at every DTmin (50/90 kW at 10 K, 95/135 kW at 20 K, as `targets --forbid H1:C1`),
// and so does the scenario reopened in the views.
TEST(HostViewCaseHolds, ACaseSavedWithTheForbiddenMatchFormOpenTargetsAfterwards) {
    ScratchFile saved("caseholds", "forbidden.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "cmd OpenForbidden\nexpect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const struct {
        const char* dtmin;
        const char* hot;
        const char* cold;
    } expected[] = {{"10", "hot utility               50.000 kW", "cold utility              90.000 kW"},
                    {"20", "hot utility               95.000 kW", "cold utility              135.000 kW"}};
    for (const auto& e : expected) {
        const HostRun targets = RunHost("targets " + saved.path + " --dtmin " + e.dtmin);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, e.hot)) << e.dtmin << "\n" << targets.out;
        EXPECT_TRUE(has(targets.out, e.cold)) << e.dtmin << "\n" << targets.out;
    }
    // The form switched the scenario to the area LP; the report still gives both areas, as
    // `targets --forbid H1:C1` does on the table. The utilities keep their own approach (steam
    // 10 C, cooling water 5 C) in the LP, as the table's rows do.
    const HostRun areas = RunHost("targets " + saved.path + " --dtmin 10");
    const HostRun table = RunHost("targets " + kFourStreams + " --forbid H1:C1 --dtmin 10");
    EXPECT_TRUE(has(table.out, "area, countercurrent      226.329 m2")) << table.out;
    EXPECT_TRUE(has(table.out, "area, shell and tube      280.186 m2")) << table.out;
    EXPECT_TRUE(has(areas.out, "area, countercurrent      226.329 m2")) << areas.out;
    EXPECT_TRUE(has(areas.out, "area, shell and tube      280.186 m2")) << areas.out;
    const HostRun reopened = RunViewScript(saved.path, "set DeltaTemp.1 20\nget HeatFlow.107\nget HeatFlow.108\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "2: get HeatFlow.107\n  value 95 kW\n3: get HeatFlow.108\n  value 135 kW\n"))
        << reopened.out;
}

// A film coefficient or fouling typed on a stream of the table reaches the area target, as the
// same value written into the table does; again after a save and a reopen.
struct TypedCoefficient {
    const char* name;
    const char* script;  // typed on the table's scenario, then the area read
    const char* table;   // the table with the value written in it (empty: none)
    const char* area;
};
void PrintTo(const TypedCoefficient& c, std::ostream* out) { *out << c.name; }

class HostViewTypedCoefficient : public ::testing::TestWithParam<TypedCoefficient> {};

TEST_P(HostViewTypedCoefficient, ReachesTheAreaTarget) {
    const TypedCoefficient& c = GetParam();
    ScratchFile saved("caseholds", "coefficient.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams, std::string(c.script) + "get Area.200\n", " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("get Area.200\n  value ") + c.area + " m2\n")) << run.out;
    if (*c.table) {
        ScratchFile table("caseholds", "table.csv", c.table);
        const HostRun fromTable = RunViewScript(table.path, "get Area.200\n");
        ASSERT_EQ(0, fromTable.exitCode) << fromTable.out;
        EXPECT_TRUE(has(fromTable.out, std::string("get Area.200\n  value ") + c.area + " m2\n")) << fromTable.out;
    }
    const HostRun reopened = RunViewScript(saved.path, "get Area.200\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, std::string("get Area.200\n  value ") + c.area + " m2\n")) << reopened.out;
}

INSTANTIATE_TEST_SUITE_P(
    Routes, HostViewTypedCoefficient,
    ::testing::Values(
        TypedCoefficient{"NoneTyped", "", "", "253.2959613"},
        TypedCoefficient{"FormCoefficient", "set HeatTransferCoeff.413.0 0.5\n",
                         "name,supply,target,cp,h,kind\nH1,170,60,3,0.5,process\nH2,150,30,1.5,0.2,process\n"
                         "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\nHP Steam,,,,,utility\n"
                         "Cooling Water,,,,,utility\n",
                         "202.8783672"},
        TypedCoefficient{"FormFouling", "set Fouling.412.0 0.1\n", "", "254.9765478"},
        TypedCoefficient{"SegmentTable", "set Switch.411.0 1\nopen @last\nset HeatTransferCoeff.100.0 0.5\nopen MyOwnerObject\n",
                         "", "202.8783672"}),
    [](const ::testing::TestParamInfo<TypedCoefficient>& info) { return std::string(info.param.name); });

// A case an earlier build saved from the same table kept the table's h as the coefficient in use,
// given: it reads with the targets it had, and a coefficient or fouling typed on it reaches the
// area as on the table, also after it is saved again and reopened.
class HostViewTypedCoefficientEarlierCase : public HostViewTypedCoefficient {};

TEST_P(HostViewTypedCoefficientEarlierCase, ReachesTheAreaTarget) {
    const TypedCoefficient& c = GetParam();
    const std::string earlier = std::string(KESTRIN_TEST_DATA) + "/cases/four-streams-targets-earlier.case";
    const HostRun targets = RunHost("targets " + earlier);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_EQ(RunHost("targets " + kFourStreams).out, targets.out);
    ScratchFile saved("caseholds", "earlier.kcase", "", false);
    const HostRun run = RunViewScript(earlier, std::string(c.script) + "get Area.200\n", " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("get Area.200\n  value ") + c.area + " m2\n")) << run.out;
    const HostRun reopened = RunViewScript(saved.path, "get Area.200\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, std::string("get Area.200\n  value ") + c.area + " m2\n")) << reopened.out;
}

INSTANTIATE_TEST_SUITE_P(
    Routes, HostViewTypedCoefficientEarlierCase,
    ::testing::Values(TypedCoefficient{"NoneTyped", "", "", "253.2959613"},
                      TypedCoefficient{"FormCoefficient", "set HeatTransferCoeff.413.0 0.5\n", "", "202.8783672"},
                      TypedCoefficient{"FormFouling", "set Fouling.412.0 0.1\n", "", "254.9765478"},
                      TypedCoefficient{"SegmentTable",
                                       "set Switch.411.0 1\nopen @last\nset HeatTransferCoeff.100.0 0.5\nopen MyOwnerObject\n",
                                       "", "202.8783672"}),
    [](const ::testing::TestParamInfo<TypedCoefficient>& info) { return std::string(info.param.name); });

// A capital-cost file read into the scenario: the cost targets are those of its law at once
// (a = 12000, b = 900 give 247748.50 and 67334.23 where the factory law gives 215554.22 and
// 58841.46), as the same law typed into the form gives them.
TEST(HostViewCaseHolds, ACapitalCostFileGivesItsCostTargetsAtOnce) {
    ScratchFile costs("caseholds", "law.hcc", "", false);
    const HostRun typed = RunViewScript(kFourStreams, "get Cost.654\nset Cost.501.0 12000\nset ExtraData.502.0 900\n"
                                                  "get Cost.654\nget CostPerTime.651\nfile " + costs.path +
                                                  "\ncmd SaveHXCapitalCostDefaultSet\n");
    ASSERT_EQ(0, typed.exitCode) << typed.out;
    ASSERT_TRUE(has(typed.out, "1: get Cost.654\n  value 215554.2227 Cost\n")) << typed.out;
    ASSERT_TRUE(has(typed.out, "4: get Cost.654\n  value 247748.5005 Cost\n5: get CostPerTime.651\n  value 67334.23108"))
        << typed.out;
    ScratchFile saved("caseholds", "law.kcase", "", false);
    const HostRun read = RunViewScript(kFourStreams, "file " + costs.path + "\ncmd OpenHXCapitalCostDefaultSet\n"
                                                 "get Cost.654\nget CostPerTime.651\n",
                                   " --save " + saved.path);
    ASSERT_EQ(0, read.exitCode) << read.out;
    EXPECT_TRUE(has(read.out, "3: get Cost.654\n  value 247748.5005 Cost\n4: get CostPerTime.651\n  value 67334.23108"))
        << read.out;
    const HostRun reopened = RunViewScript(saved.path, "get Cost.654\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: get Cost.654\n  value 247748.5005 Cost\n")) << reopened.out;
}

// A site stream renamed to a name that is no default utility is refused as adding it is, and the
// site saves; a site stream emptied and confirmed is deleted, also after the reopen.
TEST(HostViewCaseHolds, SiteStreamsAreRenamedOnlyToUtilitiesAndDeletedByEmptyingTheirRow) {
    ScratchFile saved("caseholds", "site.kcase", "", false);
    const HostRun built = RunHost("view --new hi-total-site Works --script " +
                                  ScratchFile("caseholds", "site.txt",
                                              "attach UtilityNameView.599.0 Cooling Water\n"
                                              "attach UtilityNameView.599.1 LP Steam\n"
                                              "expect RenameStreamError\nattach UtilityNameView.599.0 My Water\n"
                                              "attach UtilityNameView.599.2 HP Steam\n"
                                              "expect DeleteStreamError\nanswer 1\nattach UtilityNameView.599.1 empty\n"
                                              "text StrNameU.440.[]\n")
                                      .path +
                                  " --save " + saved.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    EXPECT_TRUE(has(built.out, "Error RenameStreamError|The stream cannot be renamed")) << built.out;
    EXPECT_TRUE(has(built.out, "My Water|0|0")) << built.out;
    EXPECT_TRUE(has(built.out, "Response DeleteStreamError|")) << built.out;
    EXPECT_TRUE(has(built.out, "9: text StrNameU.440.[]\n  text Cooling Water\n  text HP Steam\n  text **New**\n"))
        << built.out;
    const HostRun reopened = RunViewScript(saved.path, "text StrNameU.440.[]\nexpect DeleteStreamError\nanswer 1\n"
                                                   "attach UtilityNameView.599.0 empty\ntext StrNameU.440.[]\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: text StrNameU.440.[]\n  text Cooling Water\n  text HP Steam\n  text **New**\n"))
        << reopened.out;
    EXPECT_TRUE(has(reopened.out, "5: text StrNameU.440.[]\n  text HP Steam\n  text **New**\n")) << reopened.out;
}

// The clone tool opened on "base" of the four-stream table.
const std::string kCloneTool = "open MyOwnerObject\nopen MyOwnerObject\nattach Viewable.299 base\n"
                               "open HIDesignViewerProject.200.0\ncmd CloneHI\nopen CloneHIScenarioTool.298\n";

// The source is never a target: its own entry, any entry not shown, a fraction and a number no
// entry can have are refused with the choice's key, and a clone asked for then appends nothing;
// "base" keeps its four streams and its targets.
TEST(HostViewCaseHolds, TheCloneToolNeverAppendsAScenarioIntoItself) {
    ScratchFile saved("caseholds", "self.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  kCloneTool + "choices Enum.202\nexpect ValidOptionError\nset Enum.202 0\n"
                                               "expect ValidOptionError\nset Enum.202 7\n"
                                               "expect ValidOptionError\nset Enum.202 0.5\n"
                                               "expect ValidOptionError\nset Enum.202 1e20\n"
                                               "expect CloneNameMissing\ncmd clone\nopen MyOwnerObject\n"
                                               "open HIDesignViewerScenario.200(base)\n"
                                               "dims Count.410\nget HeatFlow.107\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* refused : {"8: expect ValidOptionError\n9: set Enum.202 0\n", "11: set Enum.202 7\n",
                                "13: set Enum.202 0.5\n", "15: set Enum.202 1e20\n"}) {
        const std::size_t at = run.out.find(refused);
        ASSERT_NE(std::string::npos, at) << refused << "\n" << run.out;
        const std::size_t next = run.out.find("\n1", at + std::string(refused).size());
        const std::string answer = run.out.substr(at, next - at);
        EXPECT_TRUE(has(answer, "  result 0\n")) << answer;
        EXPECT_TRUE(has(answer, "  Error ValidOptionError|This choice is not one of the options.|")) << answer;
    }
    EXPECT_TRUE(has(run.out, "17: cmd clone\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "20: dims Count.410\n  dims 5\n21: get HeatFlow.107\n  value 20 kW\n")) << run.out;
    const HostRun targets = RunHost("targets " + saved.path);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_TRUE(has(targets.out, "hot utility               20.000 kW")) << targets.out;
}

// An entry the clone tool shows not available (a site scenario's utility streams and their group,
// designs before a new scenario is named) and an identifier that names no entry are refused with
// a key, answer 0 and leave every tick as it was.
TEST(HostViewCaseHolds, TheCloneToolRefusesTogglesOfEntriesNotAvailable) {
    const std::string ticks = "choices Enum.200\n";
    const HostRun run = RunHost(
        "view --new hi-total-site Works --script " +
        ScratchFile("caseholds", "siteclone.txt",
                    "attach UtilityNameView.599.0 Cooling Water\nexpect ThisScenarioNameAlreadyExists\n"
                    "cmd AddDefaultScenario\ncmd CloneHI\nopen CloneHIScenarioTool.298\n" + ticks +
                        "expect CloneEntryNotAvailable\ncmd ObjectSelectionToggledOnDataEnum 2000\n"
                        "expect CloneEntryNotAvailable\ncmd ObjectSelectionToggledOnDataEnum 1\n"
                        "expect CloneEntryNotAvailable\ncmd ObjectSelectionToggledOnDataEnum 6000\n"
                        "expect ValidOptionError\ncmd ObjectSelectionToggledOnDataEnum 7\n"
                        "expect ValidOptionError\ncmd ObjectSelectionToggledOnDataEnum 2001\n" + ticks)
            .path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* refused : {"ObjectSelectionToggledOnDataEnum 2000\n  result 0\n", "ObjectSelectionToggledOnDataEnum 1\n  result 0\n",
                                "ObjectSelectionToggledOnDataEnum 6000\n  result 0\n", "ObjectSelectionToggledOnDataEnum 7\n  result 0\n",
                                "ObjectSelectionToggledOnDataEnum 2001\n  result 0\n"})
        EXPECT_TRUE(has(run.out, refused)) << refused << "\n" << run.out;
    EXPECT_TRUE(has(run.out, "Error CloneEntryNotAvailable|Cooling Water is not available")) << run.out;
    // The ticks before and after the refused toggles are the same.
    const std::size_t first = run.out.find("6: choices Enum.200\n");
    const std::size_t second = run.out.find("17: choices Enum.200\n");
    ASSERT_NE(std::string::npos, first) << run.out;
    ASSERT_NE(std::string::npos, second) << run.out;
    const std::size_t firstEnd = run.out.find("\n7: ", first);
    const std::size_t secondEnd = run.out.size() - 1;
    ASSERT_NE(std::string::npos, firstEnd) << run.out;
    ASSERT_NE(std::string::npos, secondEnd) << run.out;
    const std::string before = run.out.substr(first + 2, firstEnd - first - 2);
    const std::string after = run.out.substr(second + 3, secondEnd - second - 3);
    EXPECT_EQ(before, after);
    EXPECT_TRUE(has(before, "choice 2000 Cooling Water (2)")) << before;

    // With a stream left out the forbidden matches do not apply: their toggle is refused too, and
    // the stream ticked again gives them back ticked.
    const HostRun table = RunViewScript(kFourStreams, kCloneTool +
                                                          "settext ExtraData.100 Copy\ncmd ObjectSelectionToggledOnDataEnum 1001\n"
                                                          "expect CloneEntryNotAvailable\ncmd ObjectSelectionToggledOnDataEnum 3\n"
                                                          "cmd ObjectSelectionToggledOnDataEnum 1001\nchoices Enum.200\n");
    ASSERT_EQ(0, table.exitCode) << table.out;
    EXPECT_TRUE(has(table.out, "ObjectSelectionToggledOnDataEnum 3\n  result 0\n")) << table.out;
    EXPECT_TRUE(has(table.out, "choice 3 Forbidden Matches (1)\n")) << table.out;
}

// A stream unticked and ticked again gives back the forbidden matches and the matchwise
// economics: the copy of a scenario with H1-C1 forbidden targets 50/90 kW as its source.
TEST(HostViewCaseHolds, RetickingAStreamGivesBackTheForbiddenMatches) {
    ScratchFile saved("caseholds", "retick.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n" + kCloneTool +
                                      "settext ExtraData.100 Copy\ncmd ObjectSelectionToggledOnDataEnum 1001\n"
                                      "choices Enum.200\ncmd ObjectSelectionToggledOnDataEnum 1001\nchoices Enum.200\n"
                                      "cmd clone\nopen HIDesignViewerScenario.200(Copy)\nget HeatFlow.107\n"
                                      "get HeatFlow.108\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // Unticked, the two entries do not apply; ticked again, they are ticked.
    const std::size_t unticked = run.out.find("11: choices Enum.200");
    const std::size_t reticked = run.out.find("13: choices Enum.200");
    ASSERT_NE(std::string::npos, unticked) << run.out;
    ASSERT_NE(std::string::npos, reticked) << run.out;
    const std::string before = run.out.substr(unticked, reticked - unticked);
    const std::string after = run.out.substr(reticked);
    EXPECT_FALSE(has(before, "choice 3 Forbidden Matches (1)")) << before;
    EXPECT_TRUE(has(after, "choice 3 Forbidden Matches (1)\n  choice 4 Matchwise Economics (1)\n")) << after;
    EXPECT_TRUE(has(run.out, "get HeatFlow.107\n  value 50 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "get HeatFlow.108\n  value 90 kW\n")) << run.out;
    const HostRun again = RunViewScript(saved.path + " --open scenario=Copy", "get HeatFlow.107\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: get HeatFlow.107\n  value 50 kW\n")) << again.out;
}

// The lists of streams of any kind hold one order in a fresh copy and in the copy reopened: a
// cost model set on C1 with HP Steam (row 0, column 2) names that pair in both.
TEST(HostViewCaseHolds, ACopyListsItsStreamsInTheOrderItReopensIn) {
    ScratchFile saved("caseholds", "order.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "settext ExtraData.500.1 Mine\nset Enum.510.0.2 1\nget Enum.510.0.[]\n" + kCloneTool +
                                      "settext ExtraData.100 Copy\ncmd clone\nopen HIDesignViewerScenario.200(Copy)\n"
                                      "get Enum.510.0.[]\nget Enum.510.1.[]\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: get Enum.510.0.[]\n  value 0 0 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "13: get Enum.510.0.[]\n  value 0 0 1\n14: get Enum.510.1.[]\n  value 0 0 0\n")) << run.out;
    const HostRun again = RunViewScript(saved.path + " --open scenario=Copy", "get Enum.510.0.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: get Enum.510.0.[]\n  value 0 0 1\n")) << again.out;
}

}  // namespace

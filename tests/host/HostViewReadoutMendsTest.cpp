// Readouts of the views as a user meets them through `kestrin-host view`: what a message names,
// what an empty value shows, what a column of a table lists.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// H1's segment table, opened from the scenario's stream table.
const std::string kH1SegmentTable = "set Switch.411.0 1\nopen @last\n";

// With an event of the schedule selected in the Event Summary (a new event is selected there),
// "ExecuteSchedule" runs its schedule; run again, it is refused naming the schedule, "Event-P1",
// not the event's stream.
TEST(HostViewReadoutMends, ExecutingWithAnEventSelectedRunsAndNamesItsSchedule) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd AddScheduleToDesign\nopen ScheduleTypeView.301(Event Summary)\nopen MyOwnerObject\n"
        "set ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\ncmd ExecuteSchedule\n"
        "text ExtraData.230\nexpect CannotExecuteSchedule\ncmd ExecuteSchedule\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::size_t first = run.out.find("8: cmd ExecuteSchedule");
    const std::size_t second = run.out.find("11: cmd ExecuteSchedule");
    ASSERT_NE(std::string::npos, second) << run.out;
    EXPECT_FALSE(has(run.out.substr(first, second - first), "Error CannotExecuteSchedule")) << run.out;
    EXPECT_TRUE(has(run.out, "9: text ExtraData.230\n  text Last schedule executed: Event-P1")) << run.out;
    EXPECT_TRUE(has(run.out.substr(second), "Error CannotExecuteSchedule|The schedule Event-P1 cannot be executed: it "
                                            "holds no event, or it is solved and its results stand until one of its "
                                            "events changes.|"))
        << run.out;
}

// A figure the views do not have is never shown as the empty value -32767: the advanced link
// editor of a stream without transport properties has no mass flow to show (its temperature it
// has, 170 C for H1), and a design without a retrofit result has no cost or payback to report.
TEST(HostViewReadoutMends, AFigureThatIsNotThereIsNotShownAsANumber) {
    const HostRun link = RunViewScript(ExamplePath("four-streams.csv"),
                                       "cmd AddDefaultDesign\nset Switch.601 1\nset Switch.600.0 1\nopen @last\n"
                                       "text FlowPropertyValue.201\ntext TempPropertyValue.102\n");
    EXPECT_EQ(0, link.exitCode) << link.out;
    EXPECT_TRUE(has(link.out, "5: text FlowPropertyValue.201\n  text MassFlow  =  A + Sum  (Bi * Ti)  +  Sum  (Ci * Fi)  "
                              "=  not available\n"))
        << link.out;
    EXPECT_TRUE(has(link.out, "6: text TempPropertyValue.102\n  text Inlet Temperature  =  A + Sum  (Bi * Ti)  +  Sum  "
                              "(Ci * Fi)  =  170  C\n"))
        << link.out;

    ScratchFile saved("readouts", "net.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const HostRun design = RunViewScript(saved.path, "text ExtraData.331\ntext ExtraData.332\n", " --open design");
    EXPECT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "1: text ExtraData.331\n  text \n")) << design.out;
    EXPECT_FALSE(has(design.out, "32767")) << design.out;
}


// The site utility table's conductivities are those of the default utilities in W/m-C (steam
// 0.027, water 0.56 for the eighth row): labelled so, and 0.56 W/m-C is 0.56 x 0.5777893 =
// 0.32356 Btu/hr-ft-F.
TEST(HostViewReadoutMendsSite, TheUtilityTableLabelsConductivityInTheUnitsOfItsValues) {
    for (const auto& [units, unit, water] : {std::tuple<const char*, const char*, double>{"si", "W/m-C", 0.56},
                                             {"customary", "Btu/hr-ft-F", 0.56 * 0.5777893}}) {
        ScratchFile script("readouts", "site.txt", "cmd OpenUDB\nopen @last\nget ThermCond.911.[]\n");
        const HostRun run =
            RunHost("view --new hi-total-site Works --units " + std::string(units) + " --script " + script.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::size_t at = run.out.find("3: get ThermCond.911.[]\n  value ");
        ASSERT_NE(std::string::npos, at) << run.out;
        const std::string line = run.out.substr(at, run.out.find('\n', at + 30) - at);
        EXPECT_TRUE(line.size() > std::string(unit).size() &&
                    line.compare(line.size() - std::string(unit).size() - 1, std::string::npos, " " + std::string(unit)) == 0)
            << line;
        const std::vector<double> values = ScriptValues(run.out, 3);
        ASSERT_GT(values.size(), 8u) << line;
        EXPECT_NEAR(water, values[7], 1e-6) << line;
    }
}

// A site stream is one of the site manager's utilities: another name asks the user to pick one
// of them and adds nothing, with no second refusal; a utility's name adds its stream.
TEST(HostViewReadoutMendsSite, ASiteStreamNamedAfterNoUtilityIsAnsweredByOneMessage) {
    ScratchFile script("readouts", "streams.txt",
                       "expect PickTotalSiteUtilityFromDropDownList\nattach UtilityNameView.599.0 Plant Air\n"
                       "dims UtilityNameView.599\nattach UtilityNameView.599.0 Cooling Water\ndims UtilityNameView.599\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "AddStreamError")) << run.out;
    EXPECT_TRUE(has(run.out, "3: dims UtilityNameView.599\n  dims 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: attach UtilityNameView.599.0 Cooling Water\n  text Cooling Water\n  result 1")) << run.out;
    EXPECT_TRUE(has(run.out, "5: dims UtilityNameView.599\n  dims 2\n")) << run.out;
}

// "get A.[].[]" reads a whole table, a value line per row, each row as "get A.R.[]" reads it:
// the forbidden matches of the four streams (cold rows, hot columns) with C1/H2 and C2/H1
// forbidden are the rows "0 1" and "1 0"; in JSON a list per row.
TEST(HostViewReadoutMends, AWholeTableReadsEveryRow) {
    const std::string script =
        "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.1 1\nset Switch.1200.1.0 1\n"
        "get Switch.1200.[].[]\nget Switch.1200.0.[]\nget Switch.1200.1.[]\ndims Switch.1200\n";
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), script);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Switch.1200.[].[]\n  value 0 1\n  value 1 0\n5:")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get Switch.1200.0.[]\n  value 0 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get Switch.1200.1.[]\n  value 1 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: dims Switch.1200\n  dims 2 2\n")) << run.out;
    const HostRun json = RunViewScript(ExamplePath("four-streams.csv"), script, " --json");
    EXPECT_TRUE(has(json.out, "\"input\":\"get Switch.1200.[].[]\",\"value\":[[0,1],[1,0]]")) << json.out;
}

// The grid's stream order reads, right after a configuration is chosen, as the drawing lays the
// streams out. Hot ends: H1 170, H2 150, C2 140, C1 135 C; loads: H1 330, H2 180, C2 240, C1
// 230 kW; the utilities stay at the top and the bottom.
TEST(HostViewReadoutMends, TheGridsStreamOrderFollowsTheChosenConfigurationAtOnce) {
    ScratchFile saved("readouts", "grid.kcase", "", false);
    ScratchFile picture("readouts", "grid.svg", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const std::string byTemperatureOrLoad = "  text Cooling Water\n  text H1\n  text H2\n  text C2\n  text C1\n  text HP Steam\n";
    const std::string byName = "  text Cooling Water\n  text H1\n  text H2\n  text C1\n  text C2\n  text HP Steam\n";
    for (int preset = 1; preset <= 5; ++preset) {
        const std::string expected = preset == 2 || preset == 5 ? byName : byTemperatureOrLoad;
        const std::string k = std::to_string(preset);
        const HostRun run = RunViewScript(saved.path,
                                          "set Enum.206 " + k + "\ndims StreamsOrder.200\ntext StreamsOrder.200.[]\n"
                                          "svg . " + picture.path + "\ntext StreamsOrder.200.[]\n",
                                          " --open grid");
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "2: dims StreamsOrder.200\n  dims 6\n")) << preset << "\n" << run.out;
        EXPECT_TRUE(has(run.out, "3: text StreamsOrder.200.[]\n" + expected)) << preset << "\n" << run.out;
        EXPECT_TRUE(has(run.out, "5: text StreamsOrder.200.[]\n" + expected)) << preset << "\n" << run.out;
    }
}

// The scenario view's pinch agrees with `targets` with and without a forbidden match: the four
// streams pinch at 90 C hot / 80 C cold; forbidding C2 with H1 raises the utilities to 150 and
// 190 kW but leaves the process pinch where it is.
TEST(HostViewReadoutMends, APinchReadsAsTargetsReportsItWithAForbiddenMatch) {
    for (const bool forbid : {false, true}) {
        ScratchFile saved("readouts", "pinch.kcase", "", false);
        const std::string script = std::string(forbid ? "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.1.0 1\n"
                                                      : "get HeatFlow.107\nget HeatFlow.108\n") +
                                   "get PinchNo.200\ntext ExtraData.203\nget Temperature.200.[]\nget Temperature.203.[]\n"
                                   "get HeatFlow.107\n";
        const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), script, " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "3: get PinchNo.200\n  value 1\n")) << run.out;
        EXPECT_TRUE(has(run.out, "4: text ExtraData.203\n  text 90.00 C \\ 80.00 C\n")) << run.out;
        EXPECT_TRUE(has(run.out, "5: get Temperature.200.[]\n  value 90 C\n")) << run.out;
        EXPECT_TRUE(has(run.out, "6: get Temperature.203.[]\n  value 80 C\n")) << run.out;
        EXPECT_TRUE(has(run.out, std::string("7: get HeatFlow.107\n  value ") + (forbid ? "150" : "20") + " kW")) << run.out;
        const HostRun targets = RunHost("targets " + saved.path);
        EXPECT_TRUE(has(targets.out, "process pinch             90.000 C hot / 80.000 C cold")) << targets.out;
    }
}

// A segment inserted into H1's table has no temperature or cp yet: the stream is incomplete and
// leaves the targets, and the user is told why. Once both are typed (H1 170 -> 115 -> 60 C at
// cp 3 throughout) the targets are the four streams' 20 and 60 kW again. The target row of the
// table (past the last segment) splits nothing: the insert answers 0 and says a segment's row is
// wanted.
TEST(HostViewReadoutMends, AnInsertedSegmentThatLeavesTheTargetsSaysWhy) {
    const HostRun run = RunViewScript(
        ExamplePath("four-streams.csv"),
        "set Switch.411.0 1\nopen @last\nset WhereToIns.200 0\nexpect InsertedSegmentIncomplete\ncmd InsSeg\n"
        "open MyOwnerObject\nget HeatFlow.107\n"
        // 8: the missing data typed
        "open SegmentTable.200.0\nset Temperature.101.0 115\nset HeatCapacityFlow.100.0 3\nopen MyOwnerObject\n"
        "get HeatFlow.107\nget HeatFlow.108\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    // The insert is done and the notice beside it says what it left undone.
    EXPECT_TRUE(has(run.out, "Response InsertedSegmentIncomplete|A segment was inserted into H1:")) << run.out;
    EXPECT_FALSE(has(run.out, "7: get HeatFlow.107\n  value 20 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "12: get HeatFlow.107\n  value 20 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "13: get HeatFlow.108\n  value 60 kW\n")) << run.out;

    const HostRun past = RunViewScript(ExamplePath("four-streams.csv"),
                                       "set Switch.411.0 1\nopen @last\nset WhereToIns.200 1\n"
                                       "expect InsertSegmentErrorMsg\ncmd InsSeg\nget Temperature.201.[]\n");
    EXPECT_EQ(0, past.exitCode) << past.out;
    EXPECT_FALSE(has(past.out, "InsertedSegmentIncomplete")) << past.out;
    EXPECT_TRUE(has(past.out, "5: cmd InsSeg\n  result 0\n")) << past.out;
    EXPECT_FALSE(has(past.out, "CommandNotDone")) << past.out;
    EXPECT_TRUE(has(past.out, "6: get Temperature.201.[]\n  value 170 60 C\n")) << past.out;
}

// The "coefficient from default" box of a segment reads checked once checking it has put the
// default coefficient in, unchecked once another coefficient is typed, and both survive a save
// and a reopen.
TEST(HostViewReadoutMends, TheDefaultCoefficientBoxReadsWhatTheRowHolds) {
    ScratchFile checked("readouts", "checked.kcase", "", false);
    const HostRun first = RunViewScript(ExamplePath("four-streams.csv"),
                                        kH1SegmentTable + "set HeatTransferCoeff.100.0 0.5\nget Switch.113.0\n"
                                                "set Switch.113.0 1\nget Switch.113.0\n",
                                        " --save " + checked.path);
    EXPECT_EQ(0, first.exitCode) << first.out;
    EXPECT_TRUE(has(first.out, "4: get Switch.113.0\n  value 0\n")) << first.out;
    EXPECT_TRUE(has(first.out, "6: get Switch.113.0\n  value 1\n")) << first.out;

    ScratchFile typed("readouts", "typed.kcase", "", false);
    const HostRun reopened = RunViewScript(checked.path,
                                           kH1SegmentTable + "get Switch.113.0\nset HeatTransferCoeff.100.0 0.7\n"
                                                   "get Switch.113.0\n",
                                           " --save " + typed.path);
    EXPECT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: get Switch.113.0\n  value 1\n")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "5: get Switch.113.0\n  value 0\n")) << reopened.out;

    const HostRun last = RunViewScript(typed.path, kH1SegmentTable + "get Switch.113.0\n");
    EXPECT_EQ(0, last.exitCode) << last.out;
    EXPECT_TRUE(has(last.out, "3: get Switch.113.0\n  value 0\n")) << last.out;
}

// Clearing the box of a row on the default coefficient keeps that coefficient (0.2) as the row's
// own: the box reads unchecked, after a save and a reopen too, until it is checked again. A
// coefficient typed equal to the default is the user's own as well.
TEST(HostViewReadoutMends, AClearedDefaultCoefficientBoxStaysCleared) {
    ScratchFile cleared("readouts", "cleared.kcase", "", false);
    const HostRun first = RunViewScript(ExamplePath("four-streams.csv"),
                                        kH1SegmentTable + "get Switch.113.0\nset Switch.113.0 0\nget Switch.113.0\n"
                                                "get HeatTransferCoeff.100.0\n",
                                        " --save " + cleared.path);
    EXPECT_EQ(0, first.exitCode) << first.out;
    EXPECT_TRUE(has(first.out, "3: get Switch.113.0\n  value 1\n")) << first.out;
    EXPECT_TRUE(has(first.out, "5: get Switch.113.0\n  value 0\n6: get HeatTransferCoeff.100.0\n  value 0.2 kW/m2-C\n"))
        << first.out;

    const HostRun again = RunViewScript(cleared.path,
                                        kH1SegmentTable + "get Switch.113.0\nget HeatTransferCoeff.100.0\nset Switch.113.0 1\n"
                                                "get Switch.113.0\nset HeatTransferCoeff.100.0 0.2\nget Switch.113.0\n");
    EXPECT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "3: get Switch.113.0\n  value 0\n4: get HeatTransferCoeff.100.0\n  value 0.2 kW/m2-C\n"))
        << again.out;
    EXPECT_TRUE(has(again.out, "6: get Switch.113.0\n  value 1\n")) << again.out;
    EXPECT_TRUE(has(again.out, "8: get Switch.113.0\n  value 0\n")) << again.out;
}

// A segment inserted below a row whose coefficient is the user's own takes the coefficient and
// whose it is; checking the new row's box puts it back on the default, and the case keeps both.
TEST(HostViewReadoutMends, AnInsertedSegmentTakesTheRowsOwnCoefficient) {
    ScratchFile saved("readouts", "inserted.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      kH1SegmentTable + "set Switch.113.0 0\nset WhereToIns.200 0\nexpect InsertedSegmentIncomplete\n"
                                              "cmd InsSeg\nget Switch.113.[]\nset Switch.113.1 1\nget Switch.113.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "7: get Switch.113.[]\n  value 0 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: get Switch.113.[]\n  value 0 1\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, kH1SegmentTable + "get Switch.113.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "3: get Switch.113.[]\n  value 0 1\n")) << again.out;
}

// Deleting a point merges the segments on either side into the lower one's values (the one
// below the point survives), so the merged row is the user's own only when that segment was:
// own above and default below reads checked, and so does the one segment DeleteAllSegments
// leaves of own above and default last, also in the reopened case.
TEST(HostViewReadoutMends, AMergedSegmentKeepsTheMarkOfTheSegmentWhoseCoefficientSurvives) {
    const std::string insert = "set WhereToIns.200 0\nexpect InsertedSegmentIncomplete\ncmd InsSeg\n";
    ScratchFile saved("readouts", "merged.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      kH1SegmentTable + "set Switch.113.0 0\n" + insert + "set Switch.113.1 1\nget Switch.113.[]\n"
                                              "set WhereToIns.200 1\ncmd DeleteSegment\nget Switch.113.[]\n" + insert +
                                              "set Switch.113.0 0\nget Switch.113.[]\ncmd DeleteAllSegments\nget Switch.113.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "8: get Switch.113.[]\n  value 0 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "11: get Switch.113.[]\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "16: get Switch.113.[]\n  value 0 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "18: get Switch.113.[]\n  value 1\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, kH1SegmentTable + "get Switch.113.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "3: get Switch.113.[]\n  value 1\n")) << again.out;
}

// A default coefficient chosen for the stream on the scenario's stream table (entry 0, the clean
// 0.2) takes the row off the user's own coefficient, as choosing it on the segment table does.
TEST(HostViewReadoutMends, ADefaultCoefficientChosenOnTheStreamTableChecksTheBox) {
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      kH1SegmentTable + "set Switch.113.0 0\nget Switch.113.[]\nopen MyOwnerObject\nset Enum.511.0 0\n" +
                                          kH1SegmentTable + "get Switch.113.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Switch.113.[]\n  value 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: get Switch.113.[]\n  value 1\n")) << run.out;
}

}  // namespace

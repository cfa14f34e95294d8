// What-if values on the locked operated example (examples/operated-network.csv): a value that no
// operated unit or stream can carry out is refused with the key of its quantity wherever it is
// typed or read (the schedule form, an event-plan file, the planner's task cells, the trend
// study's flow changes and fouled coefficients), and a plan's task that is not applied is named.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// The line that answers step `step` of a `get`.
std::string readingOf(const std::string& out, int step) {
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": get ");
    if (at == std::string::npos) return std::string();
    const std::size_t line = out.find('\n', at);
    return out.substr(line + 1, out.find('\n', line + 1) - line - 1);
}

// One event of a schedule on the locked example: the kind (the schedule form's numbering), its
// target, and the value typed for it.
struct EventValue {
    const char* name;
    int kind;
    const char* target;
    const char* value;
    const char* key;  // the refusal; null where the value is taken
};
void PrintTo(const EventValue& e, std::ostream* out) { *out << e.name; }

std::string eventScript(const EventValue& e) {
    return "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 " + std::to_string(e.kind) +
           "\nsettext HXSelection.389 " + e.target + "\ncmd AddEventToSchedule\nget ExtraData.358\n" +
           (e.key ? std::string("expect ") + e.key + "\n" : std::string()) + "set ExtraData.358 " + e.value +
           "\nget ExtraData.358\n";
}

class ScheduleFormRefuses : public testing::TestWithParam<EventValue> {};

TEST_P(ScheduleFormRefuses, AValueNoUnitCanCarryOut) {
    const EventValue& e = GetParam();
    OperatedCase c;
    const HostRun run = c.View(eventScript(e));
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("  Error ") + e.key + "|")) << run.out;
    EXPECT_TRUE(has(run.out, std::string("8: set ExtraData.358 ") + e.value + "\n  result 0\n")) << run.out;
    const std::string before = readingOf(run.out, 6);
    EXPECT_FALSE(before.empty()) << run.out;
    EXPECT_EQ(before, readingOf(run.out, 9)) << run.out;
}

// Kinds: 0 cleaning, 1 area, 2 shells, 5 fouling, 6 mass flow, 7 inlet temperature.
INSTANTIATE_TEST_SUITE_P(
    OperatedExample, ScheduleFormRefuses,
    testing::Values(EventValue{"CleanedToNoCoefficient", 0, "E100", "0", "HTCoeffUpdateError"},
                    EventValue{"CleanedToANegativeCoefficient", 0, "E100", "-5", "HTCoeffUpdateError"},
                    EventValue{"FouledToANegativeCoefficient", 5, "E101", "-5", "HTCoeffUpdateError"},
                    EventValue{"NegativeArea", 1, "E100", "-1", "AreaInputError"},
                    EventValue{"PartOfAShell", 2, "E100", "2.5", "ShellsInputError"},
                    EventValue{"MoreShellsThanAnyLayout", 2, "E100", "101", "ShellsInputError"},
                    EventValue{"NegativeMassFlow", 6, "C1", "-0.5", "FlowRateUpdateError"},
                    EventValue{"NoMassFlow", 6, "C1", "0", "FlowRateUpdateError"},
                    EventValue{"InletPastAnyPlant", 7, "H2", "1e300", "TemperatureUpdateError"},
                    EventValue{"InletBelowAbsoluteZero", 7, "H2", "-274", "TemperatureUpdateError"},
                    EventValue{"InletPastTheTarget", 7, "C2", "150", "ColdStreamInletTemperatureUpdateError"},
                    // H1 (2 kJ/kg.C) at 0.0001 and 0.00049 kg/s runs at a rate below the 0.001 kW/C
                    // a case holds, at 1e9 kg/s past its 1e9 kW/C; an inlet 0.0001 or 0.0003 C
                    // above its 60 C target leaves 3 kW/C carrying less than 0.001 kW. A run on
                    // any of them would leave a case that cannot be saved.
                    EventValue{"FlowBelowACasesRate", 6, "H1", "0.0001", "FlowRateUpdateError"},
                    EventValue{"FlowJustBelowACasesRate", 6, "H1", "0.00049", "FlowRateUpdateError"},
                    EventValue{"FlowPastACasesRate", 6, "H1", "1e9", "FlowRateUpdateError"},
                    EventValue{"InletCarryingNoLoad", 7, "H1", "60.0001", "HotStreamInletTemperatureUpdateError"},
                    EventValue{"InletJustShortOfALoad", 7, "H1", "60.0003", "HotStreamInletTemperatureUpdateError"}),
    [](const testing::TestParamInfo<EventValue>& info) { return std::string(info.param.name); });

// The same values typed into the event's own item of the event summary: every route to an event's
// value takes the one domain, with the same word.
class EventItemRefuses : public testing::TestWithParam<EventValue> {};

TEST_P(EventItemRefuses, AValueNoUnitCanCarryOut) {
    const EventValue& e = GetParam();
    OperatedCase c;
    const HostRun run = c.View("cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 " + std::to_string(e.kind) +
                               "\nsettext HXSelection.389 " + e.target +
                               "\ncmd AddEventToSchedule\nopen ScheduleTypeView.301(Event Summary)\n"
                               "open ScheduleItemView.300.0\nopen EventItemView.301.0\nget ExtraData.358\nexpect " +
                               e.key + "\nset ExtraData.358 " + e.value + "\nget ExtraData.358\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("  Error ") + e.key + "|")) << run.out;
    EXPECT_TRUE(has(run.out, std::string("11: set ExtraData.358 ") + e.value + "\n  result 0\n")) << run.out;
    EXPECT_FALSE(readingOf(run.out, 9).empty()) << run.out;
    EXPECT_EQ(readingOf(run.out, 9), readingOf(run.out, 12)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    OperatedExample, EventItemRefuses,
    testing::Values(EventValue{"CleanedToNoCoefficient", 0, "E100", "0", "HTCoeffUpdateError"},
                    EventValue{"NegativeArea", 1, "E100", "-1", "AreaInputError"},
                    EventValue{"MoreShellsThanAnyLayout", 2, "E100", "1e9", "ShellsInputError"},
                    EventValue{"NoMassFlow", 6, "C1", "0", "FlowRateUpdateError"},
                    EventValue{"InletPastTheTarget", 7, "C2", "150", "ColdStreamInletTemperatureUpdateError"},
                    EventValue{"FlowBelowACasesRate", 6, "H1", "0.0001", "FlowRateUpdateError"},
                    EventValue{"InletCarryingNoLoad", 7, "H1", "60.0001", "HotStreamInletTemperatureUpdateError"}),
    [](const testing::TestParamInfo<EventValue>& info) { return std::string(info.param.name); });

class ScheduleFormTakes : public testing::TestWithParam<EventValue> {};

TEST_P(ScheduleFormTakes, AValueAtTheEndOfItsRange) {
    const EventValue& e = GetParam();
    OperatedCase c;
    const HostRun run = c.View(eventScript(e));
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("7: set ExtraData.358 ") + e.value + "\n  result 1\n")) << run.out;
    const std::vector<double> now = ScriptValues(run.out, 8);
    ASSERT_EQ(1u, now.size()) << run.out;
    EXPECT_DOUBLE_EQ(std::stod(e.value), now[0]) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    OperatedExample, ScheduleFormTakes,
    testing::Values(EventValue{"SmallestCoefficient", 0, "E100", "0.001", nullptr},
                    EventValue{"NoArea", 1, "E100", "0", nullptr}, EventValue{"OneShell", 2, "E100", "1", nullptr},
                    EventValue{"MostShells", 2, "E100", "100", nullptr},
                    EventValue{"SmallMassFlow", 6, "C1", "0.001", nullptr},
                    EventValue{"InletAtAbsoluteZero", 7, "C1", "-273.15", nullptr},
                    EventValue{"HottestInlet", 7, "H2", "5000", nullptr},
                    // H1 at exactly 0.001 kW/C, and just above; an inlet carrying 0.0012 kW.
                    EventValue{"FlowAtACasesRate", 6, "H1", "0.0005", nullptr},
                    EventValue{"FlowJustAboveACasesRate", 6, "H1", "0.00051", nullptr},
                    EventValue{"InletCarryingALoad", 7, "H1", "60.0004", nullptr}),
    [](const testing::TestParamInfo<EventValue>& info) { return std::string(info.param.name); });

// A plan file's tasks: each that cannot be applied is named with its reason (a heater's or
// cooler's size is a result: neither sized, given shells nor removed, which the schedule refuses
// as it refuses those events; E999 is no unit), and the one that can (C2 at 1.1 kg/s, cp
// 4.4 kW/C) is executed. A value that is not a number reads as none; 101 shells in series are more
// than any layout takes; H1 entering 0.0001 C above its target and H2 at 0.0001 kg/s would carry
// less than any stream a case holds.
TEST(HostWhatIfValues, APlanFileNamesEveryTaskItDoesNotApply) {
    OperatedCase c;
    ScratchFile plan("what-if-values", "plan.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n  <Event Name=\"Event 1\"><Notes Notes=\"\"/>"
                     "<Task Type=\"Clean\"><Data UnitName=\"E100\" NewValue=\"0\" Units=\"kW/m2-C\"/></Task>"
                     "<Task Type=\"StudyFouling\"><Data UnitName=\"E101\" NewValue=\"-5\" Units=\"kW/m2-C\"/></Task>"
                     "<Task Type=\"ChangeArea\"><Data UnitName=\"E999\" NewValue=\"10\" Units=\"m2\"/></Task>"
                     "<Task Type=\"ChangeArea\"><Data UnitName=\"Cooler1\" NewValue=\"200\" Units=\"m2\"/></Task>"
                     "<Task Type=\"Remove\"><Data UnitName=\"Heater\" NewValue=\"1\" Units=\"\"/></Task>"
                     "<Task Type=\"AddShells\"><Data UnitName=\"Cooler1\" NewValue=\"2\" Units=\"\"/></Task>"
                     "<Task Type=\"AddShells\"><Data UnitName=\"E101\" NewValue=\"101\" Units=\"\"/></Task>"
                     "<Task Type=\"StreamFlow\"><Data UnitName=\"C1\" NewValue=\"-0.5\" Units=\"kg/s\"/></Task>"
                     "<Task Type=\"InletTemp\"><Data UnitName=\"H2\" NewValue=\"1e300\" Units=\"C\"/></Task>"
                     "<Task Type=\"StreamFlow\"><Data UnitName=\"H1\" NewValue=\"fast\" Units=\"kg/s\"/></Task>"
                     "<Task Type=\"InletTemp\"><Data UnitName=\"H1\" NewValue=\"60.0001\" Units=\"C\"/></Task>"
                     "<Task Type=\"StreamFlow\"><Data UnitName=\"H2\" NewValue=\"0.0001\" Units=\"kg/s\"/></Task>"
                     "<Task Type=\"StreamFlow\"><Data UnitName=\"C2\" NewValue=\"1.1\" Units=\"kg/s\"/></Task>"
                     "</Event>\n</RootPlan>\n");
    const HostRun run = c.View("cmd LockOperation\nget HeatFlow.304.[]\ncmd ShowEventPlannerView\nopen @last\nfile " +
                               plan.path +
                               "\ncmd OpenEventPlanFile\nexpect EventTaskValueRefused\nexpect EventTaskUnitUnknown\n"
                               "expect EventAddFailed\ncmd ExecuteNewEvents\nopen MyOwnerObject\nget HeatFlow.304.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(8u, countOf(run.out, "Error EventTaskValueRefused|")) << run.out;
    for (const char* task : {"Clean on E100", "StudyFouling on E101", "StreamFlow on C1", "InletTemp on H2",
                             "StreamFlow on H1", "InletTemp on H1", "StreamFlow on H2", "ChangeArea on E999",
                             "ChangeArea on Cooler1", "Remove on Heater", "AddShells on Cooler1", "AddShells on E101"})
        EXPECT_TRUE(has(run.out, std::string("the task ") + task + " was not applied")) << task << "\n" << run.out;
    EXPECT_EQ(1u, countOf(run.out, "Error EventTaskUnitUnknown|")) << run.out;
    EXPECT_EQ(3u, countOf(run.out, "Error EventAddFailed|")) << run.out;
    EXPECT_FALSE(has(run.out, "C2 was not applied")) << run.out;
    // C2 takes more of H1's heat through E100; the heater and coolers close their streams.
    const std::vector<double> locked = ScriptValues(run.out, 2), run1 = ScriptValues(run.out, 12);
    ASSERT_EQ(5u, locked.size()) << run.out;
    ASSERT_EQ(5u, run1.size()) << run.out;
    EXPECT_GT(run1[0], locked[0] + 1.0) << run.out;
    EXPECT_NEAR(3.0 * 110.0 - run1[0], run1[3], 1e-6) << run.out;
    EXPECT_NEAR(2.0 * 115.0 - run1[1], run1[2], 1e-6) << run.out;
}

// An inlet on the far side of its stream's own target (C1 is heated to 135 C, H2 cooled to 30 C)
// would turn the stream round: the task is named and not applied, and the schedule runs on what
// the plan could carry out (C2 at 1.1 kg/s) alone, as a plan holding only that task does.
TEST(HostWhatIfValues, APlanInletPastItsStreamsTargetIsNotApplied) {
    OperatedCase c;
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n  <Event Name=\"Event 1\"><Notes Notes=\"\"/>";
    const std::string flow = "<Task Type=\"StreamFlow\"><Data UnitName=\"C2\" NewValue=\"1.1\" Units=\"kg/s\"/></Task>";
    const std::string tail = "</Event>\n</RootPlan>\n";
    ScratchFile both("what-if-values", "past.xml",
                     head + "<Task Type=\"InletTemp\"><Data UnitName=\"C1\" NewValue=\"140\" Units=\"C\"/></Task>" +
                         "<Task Type=\"InletTemp\"><Data UnitName=\"H2\" NewValue=\"29\" Units=\"C\"/></Task>" + flow + tail);
    ScratchFile alone("what-if-values", "alone.xml", head + flow + tail);
    auto run = [&](const ScratchFile& plan, const std::string& expects) {
        return c.View("cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\nfile " + plan.path +
                      "\ncmd OpenEventPlanFile\n" + expects + "cmd ExecuteNewEvents\nopen MyOwnerObject\nget HeatFlow.304.[]\n");
    };
    const HostRun refused = run(both, "expect EventTaskValueRefused\n"), taken = run(alone, "");
    EXPECT_EQ(0, refused.exitCode) << refused.out;
    EXPECT_EQ(2u, countOf(refused.out, "Error EventTaskValueRefused|")) << refused.out;
    EXPECT_TRUE(has(refused.out, "the task InletTemp on C1 was not applied")) << refused.out;
    EXPECT_TRUE(has(refused.out, "the task InletTemp on H2 was not applied")) << refused.out;
    const std::vector<double> withRefusals = ScriptValues(refused.out, 9), flowOnly = ScriptValues(taken.out, 8);
    ASSERT_EQ(5u, withRefusals.size()) << refused.out;
    ASSERT_EQ(5u, flowOnly.size()) << taken.out;
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(flowOnly[i], withRefusals[i], 1e-9) << i;
}

// The planner's task cells refuse what the file's tasks are refused for.
TEST(HostWhatIfValues, ThePlannerRefusesATaskValueAsItIsTyped) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\n"
        "expect HTCoeffUpdateError\nset HeatTransferCoeff.300.0 -5\nexpect FlowRateUpdateError\nset MassFlow.301.0 -0.5\n"
        "expect TemperatureUpdateError\nset Temperature.300.1 1e300\nset MassFlow.301.0 0.55\nget MassFlow.301.[]\n"
        "get HeatTransferCoeff.300.[]\nexpect ColdStreamInletTemperatureUpdateError\nset Temperature.300.3 150\n"
        "expect FlowRateUpdateError\nset MassFlow.301.0 0.0001\nexpect HotStreamInletTemperatureUpdateError\n"
        "set Temperature.300.0 60.0001\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "6: set HeatTransferCoeff.300.0 -5\n  result 0\n")) << run.out;
    // C2 heated to 140 C: an inlet at 150 C would turn it round, refused as typed as the event's
    // own item refuses it, not only when the plan runs.
    EXPECT_TRUE(has(run.out, "15: set Temperature.300.3 150\n  result 0\n")) << run.out;
    // H1 at a rate, or over a span, that no case holds.
    EXPECT_TRUE(has(run.out, "17: set MassFlow.301.0 0.0001\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "19: set Temperature.300.0 60.0001\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "8: set MassFlow.301.0 -0.5\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "10: set Temperature.300.1 1e300\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "11: set MassFlow.301.0 0.55\n  result 1\n")) << run.out;
    EXPECT_DOUBLE_EQ(0.55, ScriptValues(run.out, 12).at(0)) << run.out;
    for (double v : ScriptValues(run.out, 13)) EXPECT_TRUE(std::isnan(v)) << run.out;
}

// A trend study's flow change and fouled coefficient: the same refusals.
TEST(HostWhatIfValues, ATrendStudyRefusesANegativeFlowAndNoCoefficient) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "expect HTCoeffUpdateError\nset HeatTransferCoeff.370.1.0 0\nset HeatTransferCoeff.370.1.0 0.08\n"
        "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\nopen StudyNodeView.300.0\nset Enum.500 2\n"
        "set Enum.401 0\nset Enum.393 2\nexpect FlowRateUpdateError\nset MassFlow.395 -0.5\nget MassFlow.395\n"
        "expect FlowRateUpdateError\nset MassFlow.395 0.0001\nset Enum.401 2\nset MassFlow.395 0.0003\n"
        "set Enum.401 0\nexpect FlowRateUpdateError\ncmd AddEventToStudy\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "7: set HeatTransferCoeff.370.1.0 0\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "8: set HeatTransferCoeff.370.1.0 0.08\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "16: set MassFlow.395 -0.5\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error FlowRateUpdateError|")) << run.out;
    EXPECT_FALSE(has(run.out, "17: get MassFlow.395\n  value -0.5")) << run.out;
    // H1 (2 kJ/kg.C) at 0.0001 kg/s runs below the rate a case holds; 0.0003 kg/s is 0.0012 kW/C
    // of C1 (4 kJ/kg.C), taken, but 0.0006 kW/C of H1 when H1 is chosen after it.
    EXPECT_TRUE(has(run.out, "19: set MassFlow.395 0.0001\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "21: set MassFlow.395 0.0003\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "24: cmd AddEventToStudy\n  result 0\n")) << run.out;
}

// A change of throughput keeps a trace of every flow: -99.99 % itself is taken, below it refused,
// on the design viewer and on a study's node alike.
TEST(HostWhatIfValues, AThroughputChangeTakesTheLowestPercentItself) {
    for (const char* before : {"cmd LockOperation\ncmd AddScheduleToDesign\n",
                               "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\n"
                               "cmd SetSelectedList\ncmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\n"
                               "open StudyNodeView.300.0\n"}) {
        OperatedCase c;
        const std::string steps = std::string(before) + "set Percent.200 -99.99\n";
        const HostRun run = c.View(steps + "expect CannotAcceptThisPercentValue\nset Percent.200 -99.991\n");
        EXPECT_EQ(0, run.exitCode) << run.out;
        const int taken = static_cast<int>(std::count(steps.begin(), steps.end(), '\n'));
        EXPECT_TRUE(has(run.out, std::to_string(taken) + ": set Percent.200 -99.99\n  result 1\n")) << run.out;
        EXPECT_TRUE(has(run.out, std::to_string(taken + 2) + ": set Percent.200 -99.991\n  result 0\n")) << run.out;
    }
}

// An event the schedule cannot take (a flow change on a unit the design lacks) is refused in
// words, not by its key alone.
TEST(HostWhatIfValues, AnEventTheScheduleCannotTakeIsRefusedInWords) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 E999\n"
        "expect EventAddFailed\ncmd AddEventToSchedule\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    ASSERT_TRUE(has(run.out, "Error EventAddFailed|")) << run.out;
    EXPECT_FALSE(has(run.out, "Error EventAddFailed|EventAddFailed|")) << run.out;
    EXPECT_TRUE(has(run.out, "Error EventAddFailed|The event was not added")) << run.out;
}

}  // namespace

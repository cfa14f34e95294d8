// What-if work on a locked network from the design viewer, as a user reaches it: the schedule
// list, the state view, the trend wizard's fouled exchangers, and cases saved while locked.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
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

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The operated example pair saved as a case.
// A schedule made on a locked network is one row of the Event Summary beside the base case,
// however the list came to be made.
TEST(HostOperatingStudies, TheEventSummaryListsEachScheduleOnce) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd AddScheduleToDesign\nopen ScheduleTypeView.301(Event Summary)\n"
        "dims ScheduleItemView.300\ndims ExtraData.300\ntext ExtraData.300.1\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: dims ScheduleItemView.300\n  dims 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: dims ExtraData.300\n  dims 2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: text ExtraData.300.1\n  text Event-P1\n")) << run.out;
}

// Two plans of the event planner become two schedules, each one row.
TEST(HostOperatingStudies, PlannedEventsAreOneSummaryRowEach) {
    ScratchFile saved("operating-studies", "loops.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                         ExamplePath("four-streams-network.csv") + " --save " + saved.path)
                     .exitCode);
    ScratchFile plans("operating-studies", "plans.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n"
                      "  <Event Name=\"Event 2\"><Notes Notes=\"\"/>"
                      "<Task Type=\"Clean\"><Data UnitName=\"E1\" NewValue=\"0.35\" Units=\"kW/m2-C\"/></Task></Event>\n"
                      "  <Event Name=\"Event 5\"><Notes Notes=\"\"/>"
                      "<Task Type=\"Remove\"><Data UnitName=\"E3\" NewValue=\"1\" Units=\"\"/></Task></Event>\n"
                      "</RootPlan>\n");
    ScratchFile script("operating-studies", "plans.txt",
                       "cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\nfile " + plans.path +
                           "\ncmd OpenEventPlanFile\ncmd CreateNewEvents\nopen MyOwnerObject\n"
                           "open ScheduleTypeView.301(Event Summary)\ndims ScheduleItemView.300\ntext ExtraData.300.1\n"
                           "text ExtraData.300.2\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "9: dims ScheduleItemView.300\n  dims 2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "10: text ExtraData.300.1\n  text Event 2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "11: text ExtraData.300.2\n  text Event 5\n")) << run.out;
}

TEST(HostOperatingStudies, TheStateViewIsReachedFromTheFormItOpened) {
    OperatedCase c;
    const HostRun run = c.View("cmd LockOperation\ncmd OpenDefaultStateView\nopen @last\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: open @last\n  text Base Case")) << run.out;
}

// The wizard's pages pick the fouled exchangers before the number of intervals: E100's fouled
// coefficient at the first point stays when twelve monthly intervals become three.
TEST(HostOperatingStudies, FouledCoefficientsSurviveANewNumberOfIntervals) {
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "set HeatTransferCoeff.370.1.0 0.08\nset ExtraData.350 3\ncmd ChangeIntervalNumber\n"
        "get HeatTransferCoeff.370.[].0\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "9: get HeatTransferCoeff.370.[].0\n  value 0.1 0.08 0.1 0.1 kW/m2-C")) << run.out;
}

// A schedule that sizes E101 anew (50 m2) is saved while locked; reading the case and saving it
// again gives no unit a coefficient basis it did not have. (A heater's area is a result: no
// schedule sizes it.)
TEST(HostOperatingStudies, ACaseSavedWhileLockedSavesAgainAsItWasRead) {
    OperatedCase c;
    ScratchFile first("operating-studies", "first.case", "", false), again("operating-studies", "again.case", "", false);
    const HostRun run = c.View(
        "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 1\nsettext HXSelection.389 E101\n"
        "cmd AddEventToSchedule\nset ExtraData.358 50\ncmd ExecuteSchedule\n",
        " --save " + first.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(0, RunHost("view " + first.path + " --save " + again.path).exitCode);
    const std::string before = contentOf(first.path), after = contentOf(again.path);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(countOf(before, "StreamBased") + countOf(before, "FlowCorrecBased"),
              countOf(after, "StreamBased") + countOf(after, "FlowCorrecBased"));
    EXPECT_EQ(countOf(before, "FlowCorrecBased"), countOf(after, "FlowCorrecBased"));
}

// The duties a design had are kept with the case while it is locked: unlocking the reopened
// case gives each one back exactly, specified as it was.
TEST(HostOperatingStudies, ACaseSavedWhileLockedUnlocksToItsDesignedDuties) {
    OperatedCase c;
    ScratchFile locked("operating-studies", "locked.case", "", false);
    ASSERT_EQ(0, c.View("cmd LockOperation\n", " --save " + locked.path).exitCode);
    ScratchFile script("operating-studies", "unlock.txt",
                       "cmd UnlockOperation\nget HeatFlow.304.[]\nstatus HeatFlow.304.[]\n");
    const HostRun run = RunHost("view " + locked.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: get HeatFlow.304.[]\n  value 240 150 80 90 30 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "3: status HeatFlow.304.[]\n  editable")) << run.out;
}

}  // namespace

namespace {

// The shipped simulator case with transport properties in its property tables: its extracted
// network locks, and a flow-rate event on the feed moves X1's duty with the heater and cooler
// closing their streams' balances (feed 2.2 kg/s at 3 kJ/kg C over 40 -> 180 C, product 5 kW/C
// over 200 -> 60 C).
TEST(HostOperatingStudies, AnExtractedNetworkWithTransportPropertiesLocks) {
    ScratchFile saved("operating-studies", "extracted.case", "", false);
    ASSERT_EQ(0, RunHost("extract " + ExamplePath("extraction/exchanger-train-properties.vmc") + " --save " + saved.path)
                     .exitCode);
    ScratchFile script("operating-studies", "extracted.txt",
                       "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 K1_To_K3\n"
                       "cmd AddEventToSchedule\nget ExtraData.358\nset ExtraData.358 2.2\ncmd ExecuteSchedule\n"
                       "get HeatFlow.304.[]\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "OpStrmPhysData")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get ExtraData.358\n  value 2 kg/s")) << run.out;
    const std::size_t at = run.out.find("9: get HeatFlow.304.[]\n  value ");
    ASSERT_NE(std::string::npos, at) << run.out;
    double x1 = 0.0, cooler = 0.0, heater = 0.0;
    ASSERT_EQ(3, std::sscanf(run.out.c_str() + at + 31, "%lf %lf %lf", &x1, &cooler, &heater)) << run.out;
    EXPECT_GT(x1, 300.5);
    EXPECT_NEAR(5.0 * 140.0 - x1, cooler, 1e-6);
    EXPECT_NEAR(2.2 * 3.0 * 140.0 - x1, heater, 1e-6);
}

}  // namespace

namespace {

std::vector<double> numbersAfter(const std::string& out, const std::string& header) {
    std::vector<double> values;
    const std::size_t at = out.find(header + "\n  value ");
    if (at == std::string::npos) return values;
    const std::size_t from = at + header.size() + 9;
    std::istringstream in(out.substr(from, out.find('\n', from) - from));
    for (double v = 0.0; in >> v;) values.push_back(v);
    return values;
}

// Every stream of the operated example but C2 ends in a heater or cooler; its outlet is where it
// leaves the exchangers between process streams: H1 out of E100 at 90 C, H2 out of E101 at
// 150 - 150 / 1.5 = 50 C, C1 out of E101 at 20 + 150 / 2 = 95 C, C2 out of E100 at 140 C (the
// locked network within a few hundredths).
TEST(HostOperatingStudies, TheStateViewGivesEachStreamsOutletBeforeItsHeaterOrCooler) {
    OperatedCase c;
    const HostRun run = c.View("cmd LockOperation\ncmd OpenDefaultStateView\nopen @last\nget Temperature.303.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> outlets = numbersAfter(run.out, "4: get Temperature.303.[]");
    const std::vector<double> expected = {90.0, 50.0, 95.0, 140.0};
    ASSERT_EQ(expected.size(), outlets.size()) << run.out;
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], outlets[i], 0.05) << i << "\n" << run.out;
}

// E100 fouls from 0.1 to 0.08, 0.06 and 0.05 kW/m2-C over three months. Its area is the
// design's, 240 kW over U 0.1 and LMTD (30 - 10) / ln 3; at each coefficient effectiveness-NTU
// (H1 the smaller flow, cp 3 against C2's 4, from 170 and 80 C) gives H1's outlet: 90.0, 93.6,
// 99.0 and 102.9 C, the stream outlet trend of the default study.
TEST(HostOperatingStudies, TheOutletTrendFollowsAFoulingExchanger) {
    const double area = 240.0 / (0.1 * (20.0 / std::log(3.0)));
    auto outletAt = [area](double u) {
        const double ntu = u * area / 3.0, cr = 0.75;
        const double e = (1.0 - std::exp(-ntu * (1.0 - cr))) / (1.0 - cr * std::exp(-ntu * (1.0 - cr)));
        return 170.0 - e * 90.0;
    };
    ASSERT_NEAR(93.57, outletAt(0.08), 0.01);
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "set ExtraData.350 3\ncmd ChangeIntervalNumber\nset HeatTransferCoeff.370.1.0 0.08\n"
        "set HeatTransferCoeff.370.2.0 0.06\nset HeatTransferCoeff.370.3.0 0.05\ncmd ExecuteTrendAnalysis\n"
        "open TrendNodeViewObject.300\nopen StudyNodeView.300.0\nset Enum.380 1\nset Enum.381 0\n"
        "get Temperature.450.0.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> trend = numbersAfter(run.out, "16: get Temperature.450.0.[]");
    const double u[] = {0.1, 0.08, 0.06, 0.05};
    ASSERT_EQ(4u, trend.size()) << run.out;
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(outletAt(u[i]), trend[i], 0.05) << i << "\n" << run.out;
}

}  // namespace

namespace {

// A study with a cleaning of E100 (points 2 to 4) and a flow change of H1 (from point 3). The
// wizard's tree offers its nodes at Viewable.398: the cleaning, selected there, moves to end at
// point 6 (its node renamed), and the flow change, selected, is deleted from its study; the
// wizard's form lists the tree as it then stands.
TEST(HostOperatingStudies, TheTreesNodesAreSelectedMovedAndDeletedFromAScript) {
    OperatedCase c;
    const std::string up = "open MyOwnerObject\n";
    const HostRun run = c.View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\ncmd AddStudyToTrendAnalysis\n"
        "open StudyNodeView.300.1\nset Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\n"
        "cmd AddEventToStudy\nset Enum.500 2\nset Enum.401 0\nset Enum.393 3\nset MassFlow.395 2\n"
        "cmd AddEventToStudy\n" +
        up + up + "attach Viewable.398 E100_from_t2_to_t4\nopen Viewable.398\nset Enum.392 6\n" + up + up + up +
        "attach Viewable.398 H1_at_t3\nopen Viewable.398\n" + up + "cmd RemoveSelectedEventFromStudy\n" + up + up +
        "form\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "22: attach Viewable.398 E100_from_t2_to_t4\n  text E100_from_t2_to_t4\n  result 1\n"))
        << run.out;
    EXPECT_TRUE(has(run.out, "24: set Enum.392 6\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "28: attach Viewable.398 H1_at_t3\n  text H1_at_t3\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "31: cmd RemoveSelectedEventFromStudy\n  result 1\n")) << run.out;
    const std::size_t form = run.out.find("34: form\n");
    ASSERT_NE(std::string::npos, form) << run.out;
    const std::string tree = run.out.substr(form);
    EXPECT_TRUE(has(tree, "{\"view\":\"Trend Analysis Summary\",\"type\":\"TrendNodeViewObject\"")) << tree;
    EXPECT_TRUE(has(tree, "{\"view\":\"Study-1\",\"type\":\"StudyNodeViewObject\"")) << tree;
    EXPECT_TRUE(has(tree, "{\"view\":\"E100_from_t2_to_t6\",\"type\":\"EventNodeViewObject\"")) << tree;
    EXPECT_FALSE(has(tree, "H1_at_t3")) << tree;
}

}  // namespace

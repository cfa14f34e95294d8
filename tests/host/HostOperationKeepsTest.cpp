// The network in operation as an operating engineer drives it from the design viewer: the lock,
// what-if schedules, trend studies and deletions while locked; each script starts from the
// operated example pair saved as a case.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One saved case for the whole suite: the scripts only read it.
class HostOperationKeeps : public ::testing::Test {
protected:
    static void SetUpTestSuite() { operated = std::make_unique<OperatedCase>(); }
    static void TearDownTestSuite() { operated.reset(); }
    static HostRun View(const std::string& steps) { return operated->View(steps); }
    static std::unique_ptr<OperatedCase> operated;
};
std::unique_ptr<OperatedCase> HostOperationKeeps::operated;

void expectNear(const std::vector<double>& expected, const std::vector<double>& got, double tolerance,
                const std::string& out) {
    ASSERT_EQ(expected.size(), got.size()) << out;
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], got[i], tolerance) << i << "\n" << out;
}

// C2, E100's cold side, deleted from the scenario's stream table while the network is locked: the
// deletion is refused with a word, and whatever the locked network does next (unlock, reset, a
// study that fouls E100) finds C2 and E100 where they were.
TEST_F(HostOperationKeeps, AStreamOfALockedNetworkStaysWhenDeleted) {
    const std::string deletion =
        "cmd LockOperation\nopen MyOwnerObject\nanswer 1\nexpect DeleteStreamError\nexpect StreamInLockedOperation\n"
        "settext StrName.401.3\nopen HIDesignViewerDesign.200.0\n";
    struct Row {
        std::string then;
        int step;  // of the get
    } rows[] = {
        {"cmd UnlockOperation\nget HeatFlow.304.[]\n", 9},
        {"cmd ResetDefaultState\nget HeatFlow.304.[]\n", 9},
        {"cmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
         "set HeatTransferCoeff.370.1.0 0.08\ncmd ExecuteTrendAnalysis\nopen MyOwnerObject\nget HeatFlow.304.[]\n",
         15},
    };
    for (const Row& row : rows) {
        const HostRun run = View(deletion + row.then);
        ASSERT_EQ(0, run.exitCode) << row.then << run.out;
        EXPECT_TRUE(has(run.out, "6: settext StrName.401.3\n  result 0\n")) << run.out;
        EXPECT_EQ(5u, ScriptValues(run.out, row.step).size()) << row.then << run.out;
    }
}

// Ten thousand intervals and more are refused with the bound; the bound itself is taken.
TEST_F(HostOperationKeeps, TheNumberOfTrendIntervalsIsBounded) {
    const HostRun run = View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nexpect TooManyTrendIntervals\n"
        "set ExtraData.350 100000000\nexpect NothingToChangeIntervals\ncmd ChangeIntervalNumber\n"
        "expect TooManyTrendIntervals\nset ExtraData.350 2001\nset ExtraData.350 2000\ncmd ChangeIntervalNumber\n"
        "expect NothingToChangeIntervals\ncmd ChangeIntervalNumber\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: set ExtraData.350 100000000\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: cmd ChangeIntervalNumber\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: set ExtraData.350 2001\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "10: set ExtraData.350 2000\n  result 1\n")) << run.out;
    // Taken once, the number is no longer pending: a second confirmation changes nothing.
    EXPECT_TRUE(has(run.out, "11: cmd ChangeIntervalNumber\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "13: cmd ChangeIntervalNumber\n  result 0\n")) << run.out;
}

// A study cleans E100 from point 1 to 2 (out of service there: cooling water takes its 240 kW on
// top of the coolers' 90 + 30) and from point 8 to 9; six intervals keep the first cleaning in the
// new points and remove the second with a word, in the default study and in a study made from it
// alike (which then runs again).
TEST_F(HostOperationKeeps, ANewNumberOfIntervalsKeepsTheStudysCleanings) {
    // The node of the study cleaned, made first where it is not the default study.
    const std::string studies[] = {"open StudyNodeView.300.0\n", "cmd AddStudyToTrendAnalysis\nopen StudyNodeView.300.1\n"};
    for (const std::string& study : studies) {
        const std::string steps =
            "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
            "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\n" + study +
            "set Enum.500 1\nset Enum.400 0\nset Enum.391 1\nset Enum.392 2\ncmd AddEventToStudy\nset Enum.391 8\n"
            "set Enum.392 9\ncmd AddEventToStudy\ncmd ExecTrend\nopen MyOwnerObject\nopen MyOwnerObject\n"
            "set ExtraData.350 6\nexpect TrendEventsBeyondLastPoint\ncmd ChangeIntervalNumber\n"
            "open TrendNodeViewObject.300\n" + study.substr(study.find("open StudyNodeView")) +
            "cmd ExecTrend\nset Enum.380 0\nset Enum.381 1\nget HeatFlow.450.0.[]\nform\n";
        const HostRun run = View(steps);
        ASSERT_EQ(0, run.exitCode) << run.out;
        // The number is taken, the cleaning past the last point told as a notice: the command
        // answers 1, and the study runs on its new points.
        EXPECT_TRUE(has(run.out, "cmd ChangeIntervalNumber\n  result 1\n  Message")) << run.out;
        EXPECT_TRUE(has(run.out, "Response TrendEventsBeyondLastPoint|1 ")) << run.out;
        EXPECT_EQ(std::string::npos, run.out.find("CannotExecuteStudy")) << run.out;
        const int get = static_cast<int>(std::count(steps.begin(), steps.end(), '\n')) - 1;
        // The default study's cooling water over its seven points (its own series selection).
        if (&study == &studies[0]) expectNear({120, 360, 120, 120, 120, 120, 120}, ScriptValues(run.out, get), 0.01, run.out);
        const std::string form = run.out.substr(run.out.find(std::to_string(get + 1) + ": form"));
        EXPECT_TRUE(has(form, "E100_from_t1_to_t2")) << run.out;
        EXPECT_FALSE(has(form, "E100_from_t8_to_t9")) << run.out;
    }
}

// E100 designed with a fouling resistance of 2 m2-C/kW behind its clean 0.1 kW/m2-C runs at
// 1/12 and 240 kW. The lock keeps that duty; a cleaning takes the fouling off once (U 0.1), and
// E100 then gives 247.40 kW over its 158.20 m2 (effectiveness-NTU, H1 3 kW/C from 170 C against
// C2 4 kW/C from 80 C).
TEST_F(HostOperationKeeps, TheLockKeepsAFouledExchangersDuty) {
    const double area = 240.0 / ((1.0 / 12.0) * (20.0 / std::log(3.0)));
    const double ntu = 0.1 * area / 3.0, cr = 0.75;
    const double cleaned = 90.0 * 3.0 * (1.0 - std::exp(-ntu * (1.0 - cr))) / (1.0 - cr * std::exp(-ntu * (1.0 - cr)));
    ASSERT_NEAR(158.20, area, 0.01);
    ASSERT_NEAR(247.40, cleaned, 0.01);
    const HostRun run = View(
        "set Fouling.500.0 2\ncmd LockOperation\nget HeatFlow.304.[]\ncmd AddScheduleToDesign\nset ExtraData.587 0\n"
        "settext HXSelection.389 E100\ncmd AddEventToSchedule\nget ExtraData.357\nget ExtraData.358\n"
        "cmd ExecuteSchedule\nget HeatFlow.304.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    expectNear({240, 150, 80, 90, 30}, ScriptValues(run.out, 3), 0.01, run.out);
    expectNear({1.0 / 12.0}, ScriptValues(run.out, 8), 1e-6, run.out);
    expectNear({0.1}, ScriptValues(run.out, 9), 1e-6, run.out);
    expectNear({cleaned, 150, 80, 330 - cleaned, 30}, ScriptValues(run.out, 11), 0.01, run.out);
}

// Two schedules, C1's flow to 0.55 kg/s and E100's area to 200 m2; the second is run. The first,
// selected by typing its event's value (0.6 kg/s), is the one run and the one removed.
TEST_F(HostOperationKeeps, TheScheduleSelectedIsTheOneRunOrRemoved) {
    const std::string schedules =
        "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
        "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd AddScheduleToDesign\nset ExtraData.587 1\n"
        "settext HXSelection.389 E100\ncmd AddEventToSchedule\nset ExtraData.358 200\ncmd ExecuteSchedule\n"
        "open ScheduleTypeView.301(Event Summary)\nopen ScheduleItemView.300.0\nopen EventItemView.301.0\n"
        "set ExtraData.358 0.6\nopen MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\n";
    const HostRun run = View(schedules + "cmd ExecuteSchedule\nget HeatFlow.304.[]\ntext ExtraData.230\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    expectNear({240, 155.629, 120.371, 90, 24.371}, ScriptValues(run.out, 21), 0.001, run.out);
    EXPECT_TRUE(has(run.out, "22: text ExtraData.230\n  text Last schedule executed: Event-P1\n")) << run.out;

    const HostRun removed = View(schedules + "cmd RemoveScheduleFromDesign\nopen ScheduleTypeView.301(Event Summary)\n"
                                             "text ExtraData.300.[]\n");
    ASSERT_EQ(0, removed.exitCode) << removed.out;
    EXPECT_TRUE(has(removed.out, "22: text ExtraData.300.[]\n  text Base case\n  text Event-P2\n")) << removed.out;
    EXPECT_FALSE(has(removed.out.substr(removed.out.find("22: text")), "Event-P1")) << removed.out;
}

// At the default study's node its commands act on it, not on the study made from it: a cleaning
// added there is calculated (cooling water takes E100's 240 kW at point 1), and its removal is
// refused with a word; Study-1 stays.
TEST_F(HostOperationKeeps, AStudyNodesCommandsActOnItsOwnStudy) {
    const HostRun run = View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\ncmd AddStudyToTrendAnalysis\nopen MyOwnerObject\n"
        "attach Viewable.398 Default Study\nopen Viewable.398\nset Enum.500 1\nset Enum.400 0\nset Enum.391 1\n"
        "set Enum.392 2\ncmd AddEventToStudy\ncmd ExecTrend\nexpect DefaultStudyStays\ncmd RemoveStudyFromDesign\n"
        "set Enum.380 0\nset Enum.381 1\nget HeatFlow.450.0.1\nopen MyOwnerObject\nopen MyOwnerObject\n"
        "open TrendNodeViewObject.300\nopen StudyNodeView.300.1\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "17: cmd ExecTrend\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "19: cmd RemoveStudyFromDesign\n  result 0\n")) << run.out;
    expectNear({360}, ScriptValues(run.out, 22), 0.01, run.out);
    EXPECT_TRUE(has(run.out, "26: open StudyNodeView.300.1\n  text Study-1\n")) << run.out;
}

// The heater's outlet typed to 140 C while locked (it then gives 90 kW); unlocking gives the
// design back: the heater at its designed 80 kW, C1 leaving at its 135 C target.
TEST_F(HostOperationKeeps, UnlockGivesTheDesignsEndsBack) {
    const HostRun run = View("cmd LockOperation\nset HeatFlow.356.0 140\nget HeatFlow.304.[]\ncmd UnlockOperation\n"
                             "get HeatFlow.304.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    expectNear({240, 150, 90, 90, 30}, ScriptValues(run.out, 3), 0.01, run.out);
    expectNear({240, 150, 80, 90, 30}, ScriptValues(run.out, 5), 0.01, run.out);
}

// The lock freezes the exchangers' sizes: an area (one of 0, 0.5 or 40 m2) or the coefficient
// switch typed before ModifyOperation is refused and E100 keeps its 240 kW; after it, an area
// of 200 m2 is taken.
TEST_F(HostOperationKeeps, SizesOfALockedNetworkChangeOnlyAfterModifyOperation) {
    for (const char* cell : {"Area.302.0 0", "Area.302.0 0.5", "Area.302.0 40", "Switch.600.0 0", "Switch.600.0 1"}) {
        const std::string address = std::string(cell).substr(0, std::string(cell).find(' '));
        const HostRun run = View("cmd LockOperation\nstatus " + address + "\nexpect ReadOnlyCell\nset " + cell +
                                 "\nget HeatFlow.304.[]\ncmd ModifyOperation\nstatus " + address + "\n");
        ASSERT_EQ(0, run.exitCode) << cell << run.out;
        EXPECT_TRUE(has(run.out, "2: status " + address + "\n  read-only\n")) << run.out;
        EXPECT_TRUE(has(run.out, "4: set " + std::string(cell) + "\n  result 0\n")) << run.out;
        expectNear({240, 150, 80, 90, 30}, ScriptValues(run.out, 5), 0.01, run.out);
        EXPECT_TRUE(has(run.out, "7: status " + address + "\n  editable\n")) << run.out;
    }
    const HostRun modified = View("cmd LockOperation\ncmd ModifyOperation\nset Area.302.0 200\nget HeatFlow.304.[]\n");
    ASSERT_EQ(0, modified.exitCode) << modified.out;
    EXPECT_GT(ScriptValues(modified.out, 4).at(0), 250.0) << modified.out;
}

// Study-1 of the operated example, its node open.
const char* kStudyOne =
    "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
    "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\ncmd AddStudyToTrendAnalysis\nopen StudyNodeView.300.1\n";

// The number of the script step that follows `steps` (one step a line).
int stepAfter(const std::string& steps) { return static_cast<int>(std::count(steps.begin(), steps.end(), '\n')) + 1; }

// Counter-current duty by effectiveness-NTU: UA (kW/C) between a hot side of heat-capacity flow
// rate ch entering at th and a cold side cc entering at tc; negative where the "cold" side is the
// hotter one.
double counterCurrentDuty(double ua, double ch, double cc, double th, double tc) {
    const double cmin = std::min(ch, cc), cr = cmin / std::max(ch, cc), ntu = ua / cmin;
    const double e = std::exp(-ntu * (1.0 - cr));
    return (1.0 - e) / (1.0 - cr * e) * cmin * (th - tc);
}

// "Converged" only where every stream meets its target and no unit runs backwards. E100 out of
// service leaves C2 short (nothing else heats it); the same with E100 renamed after C2's end
// block; C1 entering at 100 C and H2 at 90 C run E101 backwards (C1 heats H2) while the heater and
// Cooler2 close both balances; C1 at 0.55 kg/s is an operating point. So are C1 at 0.243925085
// kg/s, where E101 alone brings C1 to its target and leaves the heater within the rounding of no
// duty below 0, and H2 at 0.4784543285 kg/s, where it does the same to Cooler2: each unit is
// calculated. The event summary's "converged only" keeps only the operating points; the reset is
// the locked point again.
TEST_F(HostOperationKeeps, ConvergedOnlyWhereEveryStreamMeetsItsTargetAndNoUnitRunsBackwards) {
    // E101 designed for 150 kW: H2 (1.5 kW/C) 150 -> 50 C against C1 (2 kW/C) 20 -> 95 C.
    const double ua101 = 150.0 / (25.0 / std::log(55.0 / 30.0));
    const double back = counterCurrentDuty(ua101, 2.0, 1.5, 100.0, 90.0);  // C1 now the hotter side
    const double c1 = counterCurrentDuty(ua101, 1.5, 2.2, 150.0, 20.0);
    ASSERT_NEAR(11.538, back, 0.001);
    ASSERT_NEAR(153.108, c1, 0.001);
    const double c1Slow = 4.0 * 0.243925085, h2Slow = 2.0 * 0.4784543285;  // kW/C
    const double heaterFree = counterCurrentDuty(ua101, 1.5, c1Slow, 150.0, 20.0);
    const double coolerFree = counterCurrentDuty(ua101, h2Slow, 2.0, 150.0, 20.0);
    ASSERT_NEAR(c1Slow * 115.0, heaterFree, 1e-4);
    ASSERT_NEAR(h2Slow * 120.0, coolerFree, 1e-4);
    struct Row {
        const char* label;
        std::string before, events;
        std::vector<double> duties;
        const char* unsatisfied;
        const char* status;
    } rows[] = {
        {"E100 out of service", "", "set ExtraData.587 4\nsettext HXSelection.389 E100\ncmd AddEventToSchedule\n",
         {0, 150, 80, 330, 30}, "Stream not satisfied: 1", "Not converged"},
        {"E100 named C2End", "settext Name.300.0 C2End\n",
         "set ExtraData.587 4\nsettext HXSelection.389 C2End\ncmd AddEventToSchedule\n", {0, 150, 80, 330, 30},
         "Stream not satisfied: 1", "Not converged"},
        {"E101 backwards", "",
         "set ExtraData.587 7\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\nset ExtraData.358 100\n"
         "set ExtraData.587 7\nsettext HXSelection.389 H2\ncmd AddEventToSchedule\nset ExtraData.358 90\n",
         {240, -back, 70 + back, 90, 90 + back}, "Streams not satisfied: 0", "Not converged"},
        {"C1 at 0.55 kg/s", "",
         "set ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\nset ExtraData.358 0.55\n",
         {240, c1, 253 - c1, 90, 180 - c1}, "Streams not satisfied: 0", "Converged"},
        {"heater at no duty", "",
         "set ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\nset ExtraData.358 0.243925085\n",
         {240, heaterFree, 0, 90, 180 - heaterFree}, "0 exchangers not calculated, 0 failed\tStreams not satisfied: 0",
         "Converged"},
        {"Cooler2 at no duty", "",
         "set ExtraData.587 6\nsettext HXSelection.389 H2\ncmd AddEventToSchedule\nset ExtraData.358 0.4784543285\n",
         {240, coolerFree, 230 - coolerFree, 90, 0}, "0 exchangers not calculated, 0 failed\tStreams not satisfied: 0",
         "Converged"},
    };
    for (const Row& row : rows) {
        const std::string steps = row.before + "cmd LockOperation\ncmd AddScheduleToDesign\n" + row.events +
                                  "cmd ExecuteSchedule\n";
        const HostRun run = View(steps + "get HeatFlow.304.[]\ntext ExtraData.212\ntext ExtraData.231\n"
                                         "open ScheduleTypeView.301(Event Summary)\nset Switch.402 1\n"
                                         "text ExtraData.300.[]\nopen MyOwnerObject\ncmd ResetDefaultState\n"
                                         "text ExtraData.231\n");
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        const int get = stepAfter(steps);
        expectNear(row.duties, ScriptValues(run.out, get), 0.01, run.out);
        const std::string out = run.out.substr(run.out.find(std::to_string(get) + ": get "));
        EXPECT_TRUE(has(out, row.unsatisfied)) << row.label << run.out;
        EXPECT_TRUE(has(out, "text ExtraData.231\n  text Calculation status: " + std::string(row.status) + "\n"))
            << row.label << run.out;
        const bool converged = std::string(row.status) == "Converged";
        EXPECT_EQ(converged, has(out, "text ExtraData.300.[]\n  text Base case\n  text Event-P1\n")) << row.label << run.out;
        EXPECT_TRUE(has(out.substr(out.find("ResetDefaultState")), "  text Calculation status: Converged\n"))
            << row.label << run.out;
    }
}

// The balances of a run of the operated example, read by `get HeatFlow.304.[]` and the hot inlets,
// hot outlets, cold inlets and cold outlets (Temperature.347, 346, 344, 343) in the next steps:
// each unit's duty is each process side's heat-capacity flow rate (H1, H2, C1, C2 in `cp`) times
// its change, and the cooling water of the two coolers is one flow over the range they span.
// Units: E100 H1/C2, E101 H2/C1, Heater steam/C1, Cooler1 H1/water, Cooler2 H2/water.
void expectBalanced(const std::string& out, int first, const std::vector<double>& cp, const char* label) {
    const std::vector<double> q = ScriptValues(out, first), hotIn = ScriptValues(out, first + 1),
                              hotOut = ScriptValues(out, first + 2), coldIn = ScriptValues(out, first + 3),
                              coldOut = ScriptValues(out, first + 4);
    for (const auto* v : {&q, &hotIn, &hotOut, &coldIn, &coldOut}) ASSERT_EQ(5u, v->size()) << label << out;
    const int hot[] = {0, 1, -1, 0, 1}, cold[] = {3, 2, 2, -1, -1};
    auto near = [](double a) { return 1e-4 * (1.0 + std::fabs(a)); };
    for (int i = 0; i < 5; ++i) {
        if (hot[i] >= 0) {
            EXPECT_NEAR(q[i], cp[hot[i]] * (hotIn[i] - hotOut[i]), near(q[i])) << label << " unit " << i << out;
        }
        if (cold[i] >= 0) {
            EXPECT_NEAR(q[i], cp[cold[i]] * (coldOut[i] - coldIn[i]), near(q[i])) << label << " unit " << i << out;
        }
    }
    const double low = std::min(coldIn[3], coldIn[4]), high = std::max(coldOut[3], coldOut[4]);
    ASSERT_GT(high, low) << label << out;
    const double water = (q[3] + q[4]) / (high - low);
    for (int i : {3, 4}) EXPECT_NEAR(q[i], water * (coldOut[i] - coldIn[i]), near(q[i])) << label << " unit " << i << out;
}
// Each unit of a saved case (`design --json`) that shows an area shows the one its duty and
// temperatures give at its coefficient: Q = U Ft A LMTD, countercurrent ends (no area, no duty).
void expectAreasFollowDuties(const std::string& json, const char* label) {
    int units = 0;
    for (std::size_t at = json.find("{\"name\": "); at != std::string::npos; at = json.find("{\"name\": ", at + 1)) {
        ++units;
        const std::size_t end = json.find('}', at);
        const std::string unit = json.substr(at, end - at);
        const double area = JsonNumber(unit, "area");
        if (std::isnan(area)) continue;
        const double q = JsonNumber(unit, "duty"), u = JsonNumber(unit, "u"), ft = JsonNumber(unit, "ft");
        // No area does no duty, whatever the coefficient (none is shown for it).
        if (area == 0.0) {
            EXPECT_NEAR(0.0, q, 1e-6) << label << "\n" << unit;
            continue;
        }
        const double d1 = JsonNumber(unit, "hot_in") - JsonNumber(unit, "cold_out"),
                     d2 = JsonNumber(unit, "hot_out") - JsonNumber(unit, "cold_in");
        ASSERT_TRUE(d1 > 0.0 && d2 > 0.0) << label << ": an area on crossed ends\n" << unit;
        const double lmtd = std::fabs(d1 - d2) < 1e-9 ? d1 : (d1 - d2) / std::log(d1 / d2);
        EXPECT_NEAR(q, u * ft * area * lmtd, 1e-3 * (1.0 + q)) << label << "\n" << unit;
    }
    EXPECT_EQ(5, units) << label << json;
}
const char* kBalances =
    "get HeatFlow.304.[]\nget Temperature.347.[]\nget Temperature.346.[]\nget Temperature.344.[]\nget Temperature.343.[]\n";

// A schedule's results are those of the plant under it: C1 at 0.55 kg/s run, then the plant changes
// beneath it. H1's supply typed to 180 C is process data (kept by the reset): the units show the
// default point at 180 C, E100 267 kW taking C2 past its target ("Not converged", as without the
// schedule). E101 sized to 50 m2 under ModifyOperation: the default point at once (163.57 kW with
// C1 at 0.5 kg/s). Reconciled to H1 leaving E100 at 95 C: 225 kW, C2 short of its target. A
// utility's or a product's price changed. Each time the schedule's results are no longer solved
// (its summary row empty) and it runs again on the changed plant.
TEST_F(HostOperationKeeps, AScheduleFollowsThePlantUnderIt) {
    const double ua100 = 240.0 / (20.0 / std::log(3.0)), ua101 = 150.0 / (25.0 / std::log(55.0 / 30.0));
    const double hot180 = counterCurrentDuty(ua100, 3.0, 4.0, 180.0, 80.0);
    const double c1 = counterCurrentDuty(ua101, 1.5, 2.2, 150.0, 20.0);
    const double ua50 = 0.1 * 50.0;  // U 1 / (1/0.2 + 1/0.2)
    const double sized = counterCurrentDuty(ua50, 1.5, 2.0, 150.0, 20.0), sizedC1 = counterCurrentDuty(ua50, 1.5, 2.2, 150.0, 20.0);
    ASSERT_NEAR(266.67, hot180, 0.01);
    ASSERT_NEAR(163.57, sized, 0.01);
    ASSERT_NEAR(166.88, sizedC1, 0.01);
    const double cooler2 = 30.0 / (1.0 / (1.0 / 0.4 + 1.0 / 3.75) * (18.75 / std::log(28.75 / 10.0)));
    ASSERT_NEAR(4.67, cooler2, 0.01);
    const double fouled = counterCurrentDuty(0.9 * ua100, 3.0, 4.0, 170.0, 80.0);
    ASSERT_NEAR(235.17, fouled, 0.01);
    struct Row {
        const char* label;
        std::string change;
        std::vector<double> duties;  // shown after the change
        const char* verdict;
        std::vector<double> again;  // the schedule run again
        double cooler2 = 0.0;       // Cooler2's area at the default point, where worked by hand
    } rows[] = {
        {"stream typed", "open MyOwnerObject\nset Temperature.402.0 180\nopen HIDesignViewerDesign.200.0\n",
         {hot180, 150, 80, 3.0 * 120 - hot180, 30}, "Not converged",
         {hot180, c1, 253 - c1, 3.0 * 120 - hot180, 180 - c1}},
        {"sized", "cmd ModifyOperation\nset Area.302.1 50\n", {240, sized, 230 - sized, 90, 180 - sized}, "Converged",
         {240, sizedC1, 253 - sizedC1, 90, 180 - sizedC1}},
        {"reconciled", "set Temperature.602.0 95\nanswer 1\nexpect DutySpecifiedUtilityExchangers\ncmd Reconcile\n",
         {225, 150, 80, 105, 30}, "Not converged", {225, c1, 253 - c1, 105, 180 - c1}},
        // H2's film coefficient 0.4 (from 0.2) typed over the run: Cooler2 at U 1/(1/0.4 + 1/3.75)
        // (cooling water's film 3.75 gives the designed 0.1899), its 30 kW over the log mean of
        // 28.75 and 10 C: 4.67 m2 at the default point. E101's coefficient is frozen.
        {"film typed", "open MyOwnerObject\nset HeatTransferCoeff.413.1 0.4\nopen HIDesignViewerDesign.200.0\n",
         {240, 150, 80, 90, 30}, "Converged", {240, c1, 253 - c1, 90, 180 - c1}, cooler2},
        // E100's observed coefficient typed to 0.09 over the run: the default point at it, E100
        // leaving C2 short of its target.
        {"coefficient typed", "set HeatTransferCoeff.502.0 0.09\n", {fouled, 150, 80, 330 - fouled, 30}, "Not converged",
         {fouled, c1, 253 - c1, 330 - fouled, 180 - c1}},
        // A price solves nothing anew: the units show the default point, the what-if's costs are stale.
        {"utility priced", "open MyOwnerObject\nset CostPerEnergy.445.0 0.012\nopen HIDesignViewerDesign.200.0\n",
         {240, 150, 80, 90, 30}, "Converged", {240, c1, 253 - c1, 90, 180 - c1}},
        {"product priced", "open MyOwnerObject\nset PricePerMass.105.2 0.01\nopen HIDesignViewerDesign.200.0\n",
         {240, 150, 80, 90, 30}, "Converged", {240, c1, 253 - c1, 90, 180 - c1}},
    };
    const std::string schedule = "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                                 "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd ExecuteSchedule\n";
    for (const Row& row : rows) {
        const std::string steps = "cmd LockOperation\n" + schedule + row.change;
        const HostRun run = View(steps + kBalances + "text ExtraData.231\nopen ScheduleTypeView.301(Event Summary)\n"
                                 "get HeatFlow.300.1.[]\nopen MyOwnerObject\ncmd ExecuteSchedule\n" + kBalances +
                                 "cmd ResetDefaultState\nget HeatFlow.304.[]\nget Area.302.[]\n"
                                 "cmd OpenDefaultStateView\nopen @last\nget Area.329.[]\n");
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        const int get = stepAfter(steps);
        expectNear(row.duties, ScriptValues(run.out, get), 0.01, run.out);
        expectBalanced(run.out, get, {3.0, 1.5, 2.0, 4.0}, row.label);
        EXPECT_TRUE(has(run.out, std::to_string(get + 5) + ": text ExtraData.231\n  text Calculation status: " + row.verdict + "\n"))
            << row.label << run.out;
        EXPECT_TRUE(has(run.out, std::to_string(get + 7) + ": get HeatFlow.300.1.[]\n  value empty empty empty empty empty"))
            << row.label << run.out;
        EXPECT_TRUE(has(run.out, std::to_string(get + 9) + ": cmd ExecuteSchedule\n  result 1\n")) << row.label << run.out;
        expectNear(row.again, ScriptValues(run.out, get + 10), 0.01, run.out);
        expectBalanced(run.out, get + 10, {3.0, 1.5, 2.2, 4.0}, row.label);
        expectNear(row.duties, ScriptValues(run.out, get + 16), 0.01, run.out);
        // The default state is the default point the reset solved, sizes of heaters and coolers too.
        const std::vector<double> areas = ScriptValues(run.out, get + 17);
        expectNear(areas, ScriptValues(run.out, get + 20), 1e-6, run.out);
        if (row.cooler2 > 0.0) expectNear({row.cooler2}, {areas.at(4)}, 0.01, run.out);
    }
}

// Every run keeps the balances, and saves: a schedule of one event each, its duties and
// temperatures checked against the streams' heat-capacity flow rates (H1, H2, C1, C2 after the
// event) and one cooling-water flow over the coolers' range, and every area of the saved case
// against its unit's duty (H1 at 0.5 kg/s: Cooler1's 20 kW from 80 to 60 C against water from 23 to
// 25 C at U 0.1899 needs 2.32 m2, not the 9.34 m2 of the locked point's 90 kW).
TEST_F(HostOperationKeeps, EveryRunKeepsTheBalances) {
    struct Row {
        const char* label;
        int kind;
        const char* target;
        const char* value;
        std::vector<double> cp;
        const char* retyped = nullptr;  // the event's value typed again after the run
        const char* typed = "";         // process data typed over the run's results
    } rows[] = {
        {"H1 at 0.6 kg/s", 6, "H1", "0.6", {1.2, 1.5, 2.0, 4.0}},
        {"H1 at 0.5 kg/s", 6, "H1", "0.5", {1.0, 1.5, 2.0, 4.0}},
        {"H1 at 0.45 kg/s", 6, "H1", "0.45", {0.9, 1.5, 2.0, 4.0}},
        {"C1 at 0.55 kg/s", 6, "C1", "0.55", {3.0, 1.5, 2.2, 4.0}},
        {"E101 fouled", 5, "E101", "0.08", {3.0, 1.5, 2.0, 4.0}},
        {"H2 enters at 160 C", 7, "H2", "160", {3.0, 1.5, 2.0, 4.0}},
        // The units stay at the run's point (C1 0.55 kg/s) while the schedule waits to run again.
        {"C1 retyped to 0.7 kg/s", 6, "C1", "0.55", {3.0, 1.5, 2.2, 4.0}, "0.7"},
        // Process data typed over the run: every unit at the default point re-solved with it, the
        // heater at its 80 kW again (3.09 m2, not the run's 3.80 m2 of 99.89 kW).
        {"H1 typed to 180 C over C1 at 0.55 kg/s", 6, "C1", "0.55", {3.0, 1.5, 2.0, 4.0}, nullptr,
         "open MyOwnerObject\nset Temperature.402.0 180\nopen HIDesignViewerDesign.200.0\n"},
        {"C1 typed to 25 C over C1 at 0.55 kg/s", 6, "C1", "0.55", {3.0, 1.5, 2.0, 4.0}, nullptr,
         "open MyOwnerObject\nset Temperature.402.2 25\nopen HIDesignViewerDesign.200.0\n"},
        // The heater, then Cooler2, left within the rounding of no duty below 0 (-7.6e-7 and
        // -1.8e-8 kW) and above it (Cooler2 at 1.4e-8 kW): no area, no shell, feasible, and the
        // case that holds it is read back.
        {"C1 at 0.243925085 kg/s", 6, "C1", "0.243925085", {3.0, 1.5, 4.0 * 0.243925085, 4.0}},
        {"H2 at 0.4784543285 kg/s", 6, "H2", "0.4784543285", {3.0, 2.0 * 0.4784543285, 2.0, 4.0}},
        {"H2 at 0.478454329 kg/s", 6, "H2", "0.478454329", {3.0, 2.0 * 0.478454329, 2.0, 4.0}},
    };
    for (const Row& row : rows) {
        ScratchFile saved("operation-keeps", "balanced.case", "", false);
        const std::string steps = "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 " + std::to_string(row.kind) +
                                  "\nsettext HXSelection.389 " + row.target + "\ncmd AddEventToSchedule\nset ExtraData.358 " +
                                  row.value + "\ncmd ExecuteSchedule\n" +
                                  (row.retyped ? std::string("set ExtraData.358 ") + row.retyped + "\n" : std::string()) +
                                  row.typed;
        const HostRun run = operated->View(steps + kBalances, " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        expectBalanced(run.out, stepAfter(steps), row.cp, row.label);
        EXPECT_FALSE(FileContents(saved.path).empty()) << row.label << run.out;
        const HostRun report = RunHost("design " + saved.path + " --json");
        ASSERT_EQ(0, report.exitCode) << row.label << report.out;
        expectAreasFollowDuties(report.out, row.label);
        EXPECT_FALSE(has(report.out, "\"feasible\": false")) << row.label << report.out;
        // A unit at no duty exchanges nothing.
        for (std::size_t at = report.out.find("{\"name\": "); at != std::string::npos;
             at = report.out.find("{\"name\": ", at + 1))
            if (std::fabs(JsonNumber(report.out, "duty", at)) <= 1e-6) {
                EXPECT_EQ(0.0, JsonNumber(report.out, "area", at)) << row.label << report.out;
                EXPECT_EQ(0.0, JsonNumber(report.out, "shells", at)) << row.label << report.out;
            }
    }
}

// A study's results follow the plant and its own events: each row runs a study, reads H1's outlet
// in the stream outlet trend, changes what the study stands on, and reads it again (no result),
// runs the study again (which it may) and reads the new figure. The default study with E100
// fouling (90 C at t0), then E100 sized to 150 m2: by effectiveness-NTU at UA 15 kW/C, 88.21 C.
// Study-1 with E100 out of service at t2 and t3 (170 C there), then that last cleaning deleted:
// 90 C again. The default study made before a reconciliation to H1 leaving E100 at 95 C: t0 (no
// fouling yet) runs on the fitted coefficient, 95 C.
TEST_F(HostOperationKeeps, AStudyFollowsThePlantUnderIt) {
    const double t0 = 170.0 - counterCurrentDuty(0.1 * 150.0, 3.0, 4.0, 170.0, 80.0) / 3.0;
    ASSERT_NEAR(88.21, t0, 0.01);
    const std::string series = "set Enum.380 1\nset Enum.381 0\n";
    const std::string defaultNode = "open TrendNodeViewObject.300\nopen StudyNodeView.300.0\n" + series;
    const struct Row {
        const char* label;
        std::string run;     // ends at the study's node, the outlet trend chosen
        std::string change;  // the same
        const char* outlet;
        double first, again;
    } rows[] = {
        {"sized",
         "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
         "cmd ExecuteTrendAnalysis\n" + defaultNode,
         "open MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\ncmd ModifyOperation\nset Area.302.0 150\n"
         "open TrendAnalysisView.200.1\n" + defaultNode,
         "Temperature.450.0.0", 90.0, t0},
        {"reconciled",
         "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
         "cmd ExecuteTrendAnalysis\n" + defaultNode,
         "open MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\nset Temperature.602.0 95\nanswer 1\n"
         "expect DutySpecifiedUtilityExchangers\ncmd Reconcile\nopen TrendAnalysisView.200.1\n" + defaultNode,
         "Temperature.450.0.0", 90.0, 95.0},
        {"cleaning deleted",
         std::string(kStudyOne) + "set Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\ncmd AddEventToStudy\n"
                                  "cmd ExecTrend\n" + series,
         "open Viewable.300.0\ncmd RemoveEventFromStudy\nopen MyOwnerObject\nopen StudyNodeView.300.1\n" + series,
         "Temperature.450.1.2", 170.0, 90.0},
    };
    for (const Row& row : rows) {
        const std::string read = std::string("get ") + row.outlet + "\n";
        const std::string before = row.run + read + row.change;
        const HostRun run = View(before + read + "cmd ExecTrend\n" + read);
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        const int first = stepAfter(row.run), stale = stepAfter(before);
        expectNear({row.first}, ScriptValues(run.out, first), 0.01, run.out);
        EXPECT_TRUE(has(run.out, std::to_string(stale) + ": " + read + "  value empty")) << row.label << run.out;
        EXPECT_TRUE(has(run.out, std::to_string(stale + 1) + ": cmd ExecTrend\n  result 1\n")) << row.label << run.out;
        expectNear({row.again}, ScriptValues(run.out, stale + 2), 0.01, run.out);
    }
}

// H2 gives 1.5 x 60 = 90 kW above its 90 C pinch. With C1 at 0.55 kg/s the frozen E101 heats C1 to
// 20 + Q / 2.2 = 89.59 C, 2.2 x 9.59 = 21.1 kW of it above C1's 80 C pinch: 68.89 kW cross the
// pinch, at once as after a save and reopen; the reset gives back the locked 60 kW. Every figure the
// viewer shows is the one the reopened case shows.
TEST_F(HostOperationKeeps, TheFiguresOfALockedNetworkAreItsState) {
    const double q = counterCurrentDuty(150.0 / (25.0 / std::log(55.0 / 30.0)), 1.5, 2.2, 150.0, 20.0);
    const double cross = 90.0 - 2.2 * (20.0 + q / 2.2 - 80.0);
    ASSERT_NEAR(68.89, cross, 0.01);
    const std::string schedule =
        "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
        "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd ExecuteSchedule\n";
    const struct Row {
        std::string steps;
        double cross;
    } rows[] = {{schedule, cross}, {schedule + "cmd ResetDefaultState\n", 60.0}};
    for (const Row& row : rows) {
        ScratchFile saved("operation-figures", "figures.case", "", false);
        const HostRun run = operated->View(row.steps + "get HeatFlow.150.[]\nopen MyOwnerObject\nopen HIDesignViewerDesign.200.0\nform\n",
                                           " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const int get = stepAfter(row.steps);
        expectNear({row.cross}, ScriptValues(run.out, get), 0.01, run.out);
        ScratchFile script("operation-figures", "form.txt", "form\n");
        const HostRun reopened = RunHost("view " + saved.path + " --open design --script " + script.path);
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        // The figures, not what the session typed or selected for its next event (a unit chosen,
        // an item selected, the switches that follow them).
        const auto form = [](const std::string& out) {
            const std::size_t at = out.find("  form ", out.rfind(": form\n"));
            if (at == std::string::npos) return std::string();
            static const std::regex entry(
                R"re(\{"address":"(HXSelection\.389|HXSelectionName\.388|Index\.300|Switch\.437|Switch\.488)"[^}]*\},?)re");
            return std::regex_replace(out.substr(at, out.find('\n', at) - at), entry, "");
        };
        EXPECT_FALSE(form(run.out).empty()) << run.out;
        EXPECT_EQ(form(run.out), form(reopened.out));
    }
}

// A study point is judged as a schedule is: E100 fouled to 0.08 from point 1 leaves C2 short there
// and the study reads not converged; E101 fouled alike is made up by C1's heater (90.78 kW at point
// 1) and the study reads converged. The two studies' status icons differ.
TEST_F(HostOperationKeeps, AStudyWithAPointShortOfATargetIsNotConverged) {
    // E101's 150 kW design duty over H2 150 -> 50 C against C1 20 -> 95 C at U 0.1.
    const double area101 = 150.0 / (0.1 * 25.0 / std::log(55.0 / 30.0));
    const double heater = 230.0 - counterCurrentDuty(0.08 * area101, 1.5, 2.0, 150.0, 20.0);
    ASSERT_NEAR(90.776, heater, 0.001);
    std::vector<double> status;
    for (const char* exchanger : {"0", "1"}) {
        const HostRun run = View(std::string("cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.") +
                                 exchanger + " 1\ncmd SetSelectedList\nset HeatTransferCoeff.370.1.0 0.08\n"
                                 "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\nopen StudyNodeView.300.0\n"
                                 "get ObjectStatus.300\nset Enum.380 0\nset Enum.381 0\nget HeatFlow.450.0.1\n");
        ASSERT_EQ(0, run.exitCode) << run.out;
        ASSERT_EQ(1u, ScriptValues(run.out, 10).size()) << run.out;
        status.push_back(ScriptValues(run.out, 10)[0]);
        if (exchanger[0] == '1') expectNear({heater}, ScriptValues(run.out, 13), 0.001, run.out);
    }
    EXPECT_NE(status[0], status[1]);
}

// What the locked network was reconciled or sized to is its operating point: a schedule that
// changes C1 (E100 does not see it) and the reset keep E100 there. Reconciled to H1 leaving E100 at
// a measured 95 C: 3 x (170 - 95) = 225 kW, with C2 80 -> 136.25 C over E100's 131.83 m2 (U by
// the log mean), also when reconciled over a schedule's solution. Sized to 200 m2 at U 0.1, by
// effectiveness-NTU (H1 3 kW/C from 170 C, C2 4 kW/C from 80 C).
TEST_F(HostOperationKeeps, SchedulesAndTheResetStartFromWhatWasReconciledOrSized) {
    const double lmtd = (33.75 - 15.0) / std::log(33.75 / 15.0);
    const double area = 240.0 / (0.1 * 20.0 / std::log(3.0));
    const double sized = counterCurrentDuty(0.1 * 200.0, 3.0, 4.0, 170.0, 80.0);
    struct Row {
        const char* label;
        std::string change;
        double duty, coefficient;
    } rows[] = {
        {"reconciled", "set Temperature.602.0 95\nanswer 1\nexpect DutySpecifiedUtilityExchangers\ncmd Reconcile\n", 225.0,
         225.0 / (area * lmtd)},
        {"sized", "cmd ModifyOperation\nset Area.302.0 200\n", sized, 0.1},
        // Sized after a schedule ran: ModifyOperation takes the units back to the default state and
        // solves it, so the size typed next is calculated.
        {"sized over a schedule",
         "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\n"
         "set ExtraData.358 0.6\ncmd ExecuteSchedule\ncmd ModifyOperation\nset Area.302.0 200\n",
         sized, 0.1},
        // Reconciled while a schedule's solution is in the units: the fitted coefficient still
        // becomes the default state's.
        {"reconciled over a schedule",
         "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\n"
         "set ExtraData.358 0.6\ncmd ExecuteSchedule\nset Temperature.602.0 95\nanswer 1\n"
         "expect DutySpecifiedUtilityExchangers\ncmd Reconcile\n",
         225.0, 225.0 / (area * lmtd)},
    };
    // The event summary's base case row is the default state's (E100 first).
    const std::string baseCase = "open ScheduleTypeView.301(Event Summary)\nget HeatFlow.300.0.0\nopen MyOwnerObject\n";
    const std::string after =
        "get HeatFlow.304.0\nget HeatTransferCoeff.502.0\ncmd AddScheduleToDesign\n" + baseCase +
        "set ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\nset ExtraData.358 0.55\n"
        "cmd ExecuteSchedule\nget HeatFlow.304.0\nget HeatTransferCoeff.502.0\ncmd ResetDefaultState\n"
        "get HeatFlow.304.0\n" + baseCase;
    for (const Row& row : rows) {
        const std::string steps = "cmd LockOperation\n" + row.change;
        const HostRun run = View(steps + after);
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        const int first = stepAfter(steps);
        for (int step : {first, first + 11, first + 14, first + 16})
            expectNear({row.duty}, ScriptValues(run.out, step), 0.01, run.out);
        // Over a schedule's solution the base case row follows at the reset, which solves the
        // default point; otherwise at once.
        if (!has(row.change, "ExecuteSchedule")) expectNear({row.duty}, ScriptValues(run.out, first + 4), 0.01, run.out);
        for (int step : {first + 1, first + 12})
            expectNear({row.coefficient}, ScriptValues(run.out, step), 1e-4, run.out);
    }
}

// H1's film coefficient typed from 0.2 to 0.4 kW/m2-C while locked: after unlock E100 is what
// typing it before the lock gives, U 1/(1/0.4 + 1/0.2) = 0.1333 and 240 kW over 98.88 m2 (the log
// mean of 30 and 10 C).
TEST_F(HostOperationKeeps, AStreamChangedWhileLockedShowsAfterUnlock) {
    const double u = 1.0 / (1.0 / 0.4 + 1.0 / 0.2), area = 240.0 / (u * 20.0 / std::log(3.0));
    ASSERT_NEAR(98.88, area, 0.01);
    const std::string film = "open MyOwnerObject\nset HeatTransferCoeff.413.0 0.4\nopen HIDesignViewerDesign.200.0\n";
    const std::string read = "get HeatTransferCoeff.701.0\nget Area.302.0\nget HeatFlow.304.0\n";
    // Locked twice, the second lock's coefficients are no more the design's than the first's.
    for (const std::string& steps : {"cmd LockOperation\n" + film + "cmd UnlockOperation\n",
                                     "cmd LockOperation\nexpect OperationLockedAlready\ncmd LockOperation\n" + film +
                                         "cmd UnlockOperation\n",
                                     film}) {
        const HostRun run = View(steps + read);
        ASSERT_EQ(0, run.exitCode) << steps << run.out;
        const int first = stepAfter(steps);
        expectNear({u}, ScriptValues(run.out, first), 1e-6, run.out);
        expectNear({area}, ScriptValues(run.out, first + 1), 0.01, run.out);
        expectNear({240.0}, ScriptValues(run.out, first + 2), 0.01, run.out);
    }
}

// A trend wizard opened before the lock goes with the lock; opened after it (twice), it is the
// locked network's wizard, and the design holds the default study only.
TEST_F(HostOperationKeeps, TheTrendWizardOpensAfterTheLockWithNothingHidden) {
    const HostRun run = View(
        "cmd OpenTrendAnalysisView\ncmd LockOperation\ncmd OpenTrendAnalysisView\ncmd OpenTrendAnalysisView\n"
        "open @last\nset Switch.361.0 1\ncmd SetSelectedList\ncmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\n"
        "text ExtraData.393.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: cmd OpenTrendAnalysisView\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "10: text ExtraData.393.[]\n  text Default Study\n")) << run.out;
    EXPECT_FALSE(has(run.out, "Study-")) << run.out;
}

// Cooling water may flow at most 4 kg/s; C1 at 0.55 kg/s leaves the coolers 116.89 kW, which over
// cooling water's 5 K would need 5.59 kg/s. Held at 4 kg/s the water warms 6.99 K instead, the
// last cooler's outlet at 26.99 C (cooler 2 first in series).
TEST_F(HostOperationKeeps, AUtilitysMaximumFlowHoldsInEveryPass) {
    const std::string schedule =
        "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\n"
        "set ExtraData.358 0.55\ncmd ExecuteSchedule\nget HeatFlow.304.[]\nget Temperature.343.[]\n";
    const HostRun run = View("cmd LockOperation\nopen MyOwnerObject\nset MassFlow.106.1 4\nopen HIDesignViewerDesign.200.0\n"
                             "get Temperature.343.[]\n" + schedule);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> duties = ScriptValues(run.out, 12), outlets = ScriptValues(run.out, 13);
    ASSERT_EQ(5u, duties.size()) << run.out;
    ASSERT_EQ(5u, outlets.size()) << run.out;
    EXPECT_NEAR(116.89, duties[3] + duties[4], 0.01) << run.out;
    EXPECT_NEAR(26.99, outlets[3], 0.01) << run.out;
    // One flow through both: the first cooler's share of the rise is its share of the duty.
    EXPECT_NEAR(20.0 + (outlets[3] - 20.0) * duties[4] / (duties[3] + duties[4]), outlets[4], 0.01) << run.out;
    // The maximum typed while locked holds the default point at once: the coolers' 120 kW warm the
    // 4 kg/s by 120 / 116.89 of the schedule's rise (27.17 C), not to the 25 C of a free flow.
    const std::vector<double> held = ScriptValues(run.out, 5);
    ASSERT_EQ(5u, held.size()) << run.out;
    EXPECT_NEAR(20.0 + (outlets[3] - 20.0) * 120.0 / (duties[3] + duties[4]), held[3], 0.01) << run.out;
    // Without a maximum the water takes the flow it needs and leaves at its 25 C target.
    const HostRun free = View("cmd LockOperation\n" + schedule);
    ASSERT_EQ(0, free.exitCode) << free.out;
    EXPECT_NEAR(25.0, ScriptValues(free.out, 9).at(3), 1e-6) << free.out;
}

}  // namespace

// The trend view's tree of the locked example, before any study is made from the default one.
const char* kTrendNode =
    "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
    "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\n";

// Study-1 added, with H1 at 2 kg/s from point 3.
const char* kStudyOneH1At3 =
    "cmd AddStudyToTrendAnalysis\nopen StudyNodeView.300.1\nset Enum.500 2\nset Enum.401 0\nset Enum.393 3\n"
    "set MassFlow.395 2\ncmd AddEventToStudy\n";

// The locked example with cooling water held to at most 0.6 kg/s.
const char* kCappedWater =
    "cmd LockOperation\nopen MyOwnerObject\nset MassFlow.106.1 0.6\nopen HIDesignViewerDesign.200.0\n";

// A what-if command with nothing to act on is refused with a word and answers 0: a schedule run,
// removed or given an event or flow changes with none selected, an event's value or removal with
// no event, a study run, removed or renamed with none, a reconciliation of a network that is not
// locked (before its question is asked).
TEST_F(HostOperationKeeps, WhatIfCommandsWithNothingToActOnAreRefused) {
    struct Row {
        std::string before;
        const char* key;
        const char* step;
    } rows[] = {
        {"cmd LockOperation\n", "NoScheduleSelected", "cmd ExecuteSchedule"},
        {"cmd LockOperation\n", "NoScheduleSelected", "cmd RemoveScheduleFromDesign"},
        {"cmd LockOperation\n", "NoScheduleEventSelected", "set ExtraData.358 0.6"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\n", "NoScheduleEventSelected", "set ExtraData.358 0.6"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\n", "NoScheduleEventSelected", "cmd RemoveEventFromSchedule"},
        {"", "ReconcileNeedsLock", "cmd Reconcile"},
        {"cmd LockOperation\nset ExtraData.587 6\nsettext HXSelection.389 C1\n", "NoScheduleSelected",
         "cmd AddEventToSchedule"},
        {"cmd LockOperation\n", "NoScheduleSelected", "cmd AcceptThroughputChanges"},
        // An event with no unit or stream to take it, with no kind (the flow changes just accepted
        // leave none), or of a kind its unit cannot take (an exchanger given for a split's flows):
        // nothing is added.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\n", "EventAddFailed",
         "cmd AddEventToSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\ncmd AcceptThroughputChanges\nsettext HXSelection.389 C1\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 3\nsettext HXSelection.389 E100\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        // A schedule with no event, and flow changes for streams that already have theirs in the
        // schedule: each refusal answers 0.
        {"cmd LockOperation\ncmd AddScheduleToDesign\n", "CannotExecuteSchedule", "cmd ExecuteSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\ncmd AcceptThroughputChanges\n", "StreamsHaveFlowChange",
         "cmd AcceptThroughputChanges"},
        // Throughput down 99.99 %: every stream's flow a ten-thousandth, a rate no case holds
        // (H1 0.0003 kW/C), in a schedule and in a study.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset Percent.200 -99.99\n", "FlowRateUpdateError",
         "cmd AcceptThroughputChanges"},
        {std::string(kTrendNode) + "open StudyNodeView.300.0\nset Percent.200 -99.99\n", "FlowRateUpdateError",
         "cmd AcceptThroughputChanges"},
        {kTrendNode, "NoStudySelected", "cmd ExecuteSelectedStudy"},
        {kTrendNode, "NoStudySelected", "cmd RemoveSelectedStudyFromDesign"},
        {kTrendNode, "NoStudySelected", "cmd RenameSelectedStudyFromDesign"},
        {kTrendNode, "NoStudySelected", "settext ExtraData.390 Winter"},
        // A heater's or cooler's area is what closes its stream: no area event, nor a removal.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 1\nsettext HXSelection.389 Cooler1\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 4\nsettext HXSelection.389 Heater\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        // A stream added while locked: no unit of the locked network serves it, no base value.
        {"cmd LockOperation\nopen MyOwnerObject\nsettext StrName.401.4 H3\nset Temperature.402.4 150\n"
         "set Temperature.403.4 60\nset HeatCapacityFlow.404.4 2\nopen HIDesignViewerDesign.200.0\n"
         "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H3\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        // An inlet temperature of that stream likewise: one rule for every event kind.
        {"cmd LockOperation\nopen MyOwnerObject\nsettext StrName.401.4 H3\nset Temperature.402.4 150\n"
         "set Temperature.403.4 60\nset HeatCapacityFlow.404.4 2\nopen HIDesignViewerDesign.200.0\n"
         "cmd AddScheduleToDesign\nset ExtraData.587 7\nsettext HXSelection.389 H3\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        // And a study's flow change of it.
        {"cmd LockOperation\nopen MyOwnerObject\nsettext StrName.401.4 H3\nset Temperature.402.4 150\n"
         "set Temperature.403.4 60\nset HeatCapacityFlow.404.4 2\nopen HIDesignViewerDesign.200.0\n" +
             std::string(kTrendNode).substr(std::string("cmd LockOperation\n").size()) +
             "open StudyNodeView.300.0\nset Enum.500 2\nset Enum.401 4\nset Enum.393 2\nset MassFlow.395 2\n",
         "EventAddFailed", "cmd AddEventToStudy"},
        // Shells of a cooler are a result as its area is: no shell event.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 2\nsettext HXSelection.389 Cooler1\n",
         "EventAddFailed", "cmd AddEventToSchedule"},
        // A measurement no coefficient reproduces (H1 leaving E100 hotter than it enters).
        {"cmd LockOperation\nset Temperature.602.0 200\nanswer 1\nexpect DutySpecifiedUtilityExchangers\n", "ReconcileFailed",
         "cmd Reconcile"},
        {"cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\n", "NothingToChangeIntervals",
         "cmd ChangeIntervalNumber"},
        // A flow change at the reference point itself, or past the last point.
        {"cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
         "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\ncmd AddStudyToTrendAnalysis\n"
         "open StudyNodeView.300.1\nset Enum.500 2\nset Enum.401 0\nset Enum.393 0\nset MassFlow.395 2\n",
         "FlowChangePointOutsideStudy", "cmd AddEventToStudy"},
        // A stream runs at one flow at a point: a second change of H1 at point 3, added or moved
        // there from point 5, is refused as a schedule refuses a second.
        {std::string(kTrendNode) + kStudyOneH1At3, "StreamsHaveFlowChange", "cmd AddEventToStudy"},
        {std::string(kTrendNode) + kStudyOneH1At3 +
             "set Enum.393 5\ncmd AddEventToStudy\nopen MyOwnerObject\nopen MyOwnerObject\n"
             "attach Viewable.398 H1_at_t5\nopen Viewable.398\n",
         "StreamsHaveFlowChange", "set Enum.393 3"},
        // A run whose solution no heater, cooler or utility can run at keeps no result: H2 at 0.1
        // kg/s (0.2 kW/C) leaves E101 at 20 C, so Cooler2 would heat it to 30 C; with H1 at 0.05
        // kg/s as well the cooling water's units carry next to nothing over one flow, and the
        // water would leave Cooler1 at -199980 C.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H2\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.1\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H2\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.1\nset ExtraData.587 6\nsettext HXSelection.389 H1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.05\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        // C1 at 0.2 kg/s: E101 takes it past its target, and the heater would cool it.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.2\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        // Cooling water held to 0.6 kg/s (2.51 kW/C) and H1 at 3 kg/s: the coolers' 381 kW would
        // take the water out of Cooler1 at 171.98 C where H1 enters it at 118.57 C, in a schedule
        // and at a study's point alike.
        {std::string(kCappedWater) + "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H1\n"
                                     "cmd AddEventToSchedule\nset ExtraData.358 3\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        {std::string(kCappedWater) + std::string(kStudyOne).substr(std::string("cmd LockOperation\n").size()) +
             "set Enum.500 2\nset Enum.401 0\nset Enum.393 3\nset MassFlow.395 3\ncmd AddEventToStudy\n",
         "WhatIfRunRefused", "cmd ExecTrend"},
        // The same schedule from an event plan.
        {"cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\nfile " + std::string(KESTRIN_TEST_DATA) +
             "/eventplans/h2-slow.xml\ncmd OpenEventPlanFile\ncmd CreateNewEvents\n",
         "WhatIfRunRefused", "cmd ExecuteNewEvents"},
        // A planner with no plan makes and runs no schedule.
        {"cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\n", "NoEventSelected", "cmd CreateNewEvents"},
        {"cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\n", "NoEventSelected", "cmd ExecuteNewEvents"},
        // A plan giving H1 two flows: the second task is named, not kept over the first.
        {"cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\nfile " + std::string(KESTRIN_TEST_DATA) +
             "/eventplans/h1-twice.xml\ncmd OpenEventPlanFile\n",
         "EventTaskValueRefused", "cmd CreateNewEvents"},
        // A plan's schedule run again after H1's supply was typed to 60.4 C under its 0.0005 kg/s:
        // the run is refused as the design viewer's is, the event kept.
        {"cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nset MassFlow.301.0 0.0005\n"
         "cmd CreateNewEvents\nopen MyOwnerObject\nopen MyOwnerObject\nset Temperature.402.0 60.4\n"
         "open HIDesignViewerDesign.200.0\ncmd ShowEventPlannerView\nopen @last\n",
         "WhatIfRunRefused", "cmd ExecuteNewEvents"},
        // H1 at 0.0005 kg/s (0.001 kW/C over 110 C) and H1 entering at 60.5 C each hold alone; together
        // the stream carries 0.0005 kW, a load no case holds: the second value is refused.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.0005\nset ExtraData.587 7\nsettext HXSelection.389 H1\n"
         "cmd AddEventToSchedule\n",
         "HotStreamInletTemperatureUpdateError", "set ExtraData.358 60.5"},
        // Process data typed after the event: H1's supply 60.4 C under its 0.0005 kg/s (0.0008 kW),
        // C2's target 125 C under its inlet of 130 C. The run is refused, naming the event.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.0005\nopen MyOwnerObject\nset Temperature.402.0 60.4\n"
         "open HIDesignViewerDesign.200.0\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 7\nsettext HXSelection.389 C2\n"
         "cmd AddEventToSchedule\nset ExtraData.358 130\nopen MyOwnerObject\nset Temperature.403.3 125\n"
         "open HIDesignViewerDesign.200.0\n",
         "WhatIfRunRefused", "cmd ExecuteSchedule"},
        // A study's flow change of H1 to 0.0005 kg/s at point 12, then H1's supply typed to 60.4 C.
        {std::string(kTrendNode) + "open StudyNodeView.300.0\nset Enum.500 2\nset Enum.401 0\nset Enum.393 12\n"
             "set MassFlow.395 0.0005\ncmd AddEventToStudy\nopen MyOwnerObject\nopen MyOwnerObject\n"
             "open MyOwnerObject\nopen MyOwnerObject\nset Temperature.402.0 60.4\nopen HIDesignViewerDesign.200.0\n"
             "cmd OpenTrendAnalysisView\nopen @last\n",
         "WhatIfRunRefused", "cmd ExecuteTrendAnalysis"},
        // A throughput change one stream refuses is refused whole: H1 entering at 60.5 C, then every
        // flow down 99.96 % (H1 0.0004 kW/C, 0.0002 kW over 0.5 C; the others hold): nothing added.
        {"cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 7\nsettext HXSelection.389 H1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 60.5\nset Percent.200 -99.96\n",
         "FlowRateUpdateError", "cmd AcceptThroughputChanges"},
        // A second lock would freeze the operated network as the design; an unlock of a network
        // not locked would write the last lock's state over what was typed since; a lock refused
        // (C2 left 40 kW short) locks nothing.
        {"cmd LockOperation\n", "OperationLockedAlready", "cmd LockOperation"},
        {"", "OperationNotLocked", "cmd UnlockOperation"},
        {"set HeatFlow.304.0 200\n", "OpDesInfes", "cmd LockOperation"},
        // Cooling water held to 0.3 kg/s (1.25 kW/C) before the lock would leave Cooler1 at 115.6 C
        // where H1 enters it at 90 C: the lock undoes itself.
        {"open MyOwnerObject\nset MassFlow.106.1 0.3\nopen HIDesignViewerDesign.200.0\n", "OpDesInfes",
         "cmd LockOperation"},
        // Cooling water typed to run from 35 C to 45 C while locked: its 120 kW over 10 K would
        // take it into Cooler2 at 35 C where H2 leaves it at 30 C.
        {"cmd LockOperation\nopen MyOwnerObject\nset Temperature.441.1 45\n", "OpDesInfes", "set Temperature.440.1 35"},
        // H1's mass flow typed in the stream table while locked carries its rate (2 kJ/kg.C) as a
        // what-if's does: 0.0001 kg/s, 0.0002 kW/C, is no rate a case holds.
        {"cmd LockOperation\nopen MyOwnerObject\n", "FlowRateUpdateError", "set MassFlow.105.0 0.0001"},
        // E100 runs at U 0.1: a fouling of 20 m2-C/kW is more than its whole resistance of 10.
        {"cmd LockOperation\n", "FoulingFactorUpdateError", "set Fouling.501.0 20"},
        // The same fouling typed into the list of all units, or at E100's own view.
        {"cmd LockOperation\n", "FoulingFactorUpdateError", "set Fouling.500.0 20"},
        {"cmd LockOperation\nset Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\n",
         "FoulingFactorUpdateError", "set Fouling.200 20"},
        // Just under the whole resistance: a cleaning would give back 1 / (10 - 9.9999999) = 1e7
        // kW/m2-C, past any coefficient a case holds; on each route the coefficient's word.
        {"cmd LockOperation\n", "HTCoeffUpdateError", "set Fouling.501.0 9.9999999"},
        {"cmd LockOperation\n", "HTCoeffUpdateError", "set Fouling.500.0 9.9999999"},
        {"cmd LockOperation\nset Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\n",
         "HTCoeffUpdateError", "set Fouling.200 9.9999999"},
    };
    for (const Row& row : rows) {
        const HostRun run = View(std::string(row.before) + "expect " + row.key + "\n" + row.step + "\n");
        EXPECT_EQ(0, run.exitCode) << row.step << run.out;
        EXPECT_TRUE(has(run.out, std::string(row.step) + "\n  result 0\n")) << run.out;
        EXPECT_TRUE(has(run.out, std::string("Error ") + row.key + "|")) << run.out;
    }
    // The throughput change refused whole adds no stream's change (C2's 0.0004 kg/s would hold
    // alone): the schedule runs H1's inlet alone, as without the change.
    const std::string inlet = "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 7\nsettext HXSelection.389 H1\n"
                              "cmd AddEventToSchedule\nset ExtraData.358 60.5\n";
    const HostRun alone = View(inlet + "cmd ExecuteSchedule\nget HeatFlow.304.[]\n");
    const HostRun refused = View(inlet + "set Percent.200 -99.96\nexpect FlowRateUpdateError\ncmd AcceptThroughputChanges\n"
                                         "cmd ExecuteSchedule\nget HeatFlow.304.[]\n");
    expectNear(ScriptValues(alone.out, 8), ScriptValues(refused.out, 11), 1e-9, refused.out);
    // A study's throughput change is refused whole too: H1 already changes flow at point 3, so no
    // other stream's change is added there, and the second stream's own change at point 3 is taken.
    const HostRun study = View(std::string(kTrendNode) + kStudyOneH1At3 +
                               "set Percent.200 10\nexpect StreamsHaveFlowChange\ncmd AcceptThroughputChanges\n"
                               "set Enum.401 1\nset MassFlow.395 0.8\ncmd AddEventToStudy\n");
    EXPECT_TRUE(has(study.out, "cmd AcceptThroughputChanges\n  result 0\n")) << study.out;
    EXPECT_NE(study.out.find("cmd AddEventToStudy\n  result 1\n", study.out.find("cmd AcceptThroughputChanges")),
              std::string::npos)
        << study.out;
}

// A change the plant cannot run at is refused whole: the case saved after it is the same bytes as
// the case saved before it (no value re-solved to within its solver's precision, no stream
// restated, no unit re-added, no study lost).
TEST_F(HostOperationKeeps, AChangeThePlantCannotRunAtChangesNothing) {
    const struct Row {
        std::string before;
        const char* step;
    } rows[] = {
        // Cooling water from 35 C to 45 C while locked: Cooler2 would cross.
        {"cmd LockOperation\nopen MyOwnerObject\nset Temperature.441.1 45\n", "set Temperature.440.1 35"},
        // The same with a schedule run and a study calculated: their results stand.
        {std::string(kStudyOne) + "set Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\ncmd AddEventToStudy\n"
                                  "cmd ExecTrend\nopen MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\n"
                                  "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                                  "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd ExecuteSchedule\n"
                                  "open MyOwnerObject\nset Temperature.441.1 45\n",
         "set Temperature.440.1 35"},
        // A lock refused by cooling water held to 0.3 kg/s, typed before it, with a study made after
        // an earlier lock holding H1's flow change: the streams are not left restated, no unit is
        // re-added, and the study stays.
        {"cmd LockOperation\ncmd UnlockOperation\ncmd OpenTrendAnalysisView\nopen @last\nopen TrendNodeViewObject.300\n"
         "cmd AddStudyToTrendAnalysis\nopen StudyNodeView.300.1\nset Enum.500 2\nset Enum.401 0\nset Enum.393 3\n"
         "set MassFlow.395 2\ncmd AddEventToStudy\nopen MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\n"
         "open MyOwnerObject\nset MassFlow.106.1 0.3\nopen HIDesignViewerDesign.200.0\n",
         "cmd LockOperation"},
    };
    for (const Row& row : rows) {
        ScratchFile before("operation-keeps", "before.case", "", false), after("operation-keeps", "after.case", "", false);
        const HostRun first = operated->View(row.before, " --save " + before.path);
        ASSERT_EQ(0, first.exitCode) << first.out;
        const HostRun second = operated->View(row.before + "expect OpDesInfes\n" + row.step + "\n", " --save " + after.path);
        ASSERT_EQ(0, second.exitCode) << second.out;
        EXPECT_TRUE(has(second.out, std::string(row.step) + "\n  result 0\n")) << second.out;
        EXPECT_TRUE(has(second.out, "Error OpDesInfes|")) << second.out;
        const std::string a = FileContents(before.path), b = FileContents(after.path);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a.size(), b.size()) << row.step;
        EXPECT_TRUE(a == b) << row.step;
    }
}

// The locked example with one schedule: C1's flow from 0.5 to 0.55 kg/s.
const char* kC1Schedule =
    "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
    "cmd AddEventToSchedule\nset ExtraData.358 0.55\n";

// A plant measurement is what a reconciliation fits to, not the plant: typed over C1 at 0.55 kg/s
// executed, the run's duties stand and the event summary keeps its row.
TEST_F(HostOperationKeeps, AMeasurementKeepsTheScheduleResults) {
    const std::string steps = std::string(kC1Schedule) + "cmd ExecuteSchedule\nset Temperature.602.0 95\n";
    const HostRun run = View(steps + "get HeatFlow.304.[]\nopen ScheduleTypeView.301(Event Summary)\nget HeatFlow.300.1.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const int get = stepAfter(steps);
    expectNear({240, 153.11, 99.89, 90, 26.89}, ScriptValues(run.out, get), 0.01, run.out);
    expectNear(ScriptValues(run.out, get), ScriptValues(run.out, get + 2), 1e-6, run.out);
}

// C1 at 0.55 kg/s executed (E101 153.11 kW, heater 99.89), then its only event removed: the
// units go back to the locked state (150, 80 kW) and no schedule is named as executed. The same
// with C1 entering at 30 C as well (heater 2.2 x 105 less E101's 141.33 = 89.67 kW) and that
// event removed: the units hold no change no event names; run again, the schedule is C1 at
// 0.55 kg/s alone.
TEST_F(HostOperationKeeps, RemovingAnEventOfTheExecutedScheduleResetsTheState) {
    const double ua101 = 150.0 / (25.0 / std::log(55.0 / 30.0));
    const double c1 = counterCurrentDuty(ua101, 1.5, 2.2, 150.0, 20.0), warm = counterCurrentDuty(ua101, 1.5, 2.2, 150.0, 30.0);
    ASSERT_NEAR(89.67, 2.2 * 105.0 - warm, 0.01);
    const struct Row {
        const char* label;
        std::string more;
        double heater;
        std::vector<double> again;  // the schedule run again (none: it holds no event)
    } rows[] = {
        {"its only event", "", 253.0 - c1, {}},
        {"one of two events", "set ExtraData.587 7\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\nset ExtraData.358 30\n",
         231.0 - warm, {240, c1, 253 - c1, 90, 180 - c1}},
    };
    for (const Row& row : rows) {
        const std::string steps = kC1Schedule + row.more;
        const HostRun run = View(steps + "cmd ExecuteSchedule\nget HeatFlow.304.[]\ncmd RemoveEventFromSchedule\n"
                                         "get HeatFlow.304.[]\ntext ExtraData.230\n" +
                                 (row.again.empty() ? "" : "cmd ExecuteSchedule\nget HeatFlow.304.[]\n"));
        ASSERT_EQ(0, run.exitCode) << row.label << run.out;
        const int first = stepAfter(steps);
        EXPECT_NEAR(row.heater, ScriptValues(run.out, first + 1).at(2), 0.01) << row.label << run.out;
        expectNear({240, 150, 80, 90, 30}, ScriptValues(run.out, first + 3), 0.01, run.out);
        EXPECT_TRUE(has(run.out, std::to_string(first + 4) + ": text ExtraData.230\n  text Default operating state\n"))
            << row.label << run.out;
        if (!row.again.empty()) expectNear(row.again, ScriptValues(run.out, first + 6), 0.01, run.out);
    }
}

// The points typed on an event's node move that event, selected or not: the cleaning of E100 from
// 2 to 4 to end at 6, the flow change of H1 to 2 kg/s from point 3 to 5. Cooling water then takes
// 360 kW with E100 out of service (90 + 30 + 240), 470 kW with H1 at 4 kW/C as well
// (4 x 110 + 30), and from point 6 on what E100's UA of 13.18 kW/C leaves of H1's 440 kW
// (effectiveness-NTU, both sides 4 kW/C). A point past the study is refused with a word.
TEST_F(HostOperationKeeps, AStudyEventsNodeMovesItsOwnEvent) {
    const HostRun run = View(std::string(kStudyOne) +
                             "set Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\ncmd AddEventToStudy\n"
                             "set Enum.500 2\nset Enum.401 0\nset Enum.393 3\nset MassFlow.395 2\ncmd AddEventToStudy\n"
                             "open Viewable.300.0\nset Enum.392 6\nopen MyOwnerObject\nopen Viewable.300.1\n"
                             "set Enum.393 5\nexpect FlowChangePointOutsideStudy\nset Enum.393 13\nopen MyOwnerObject\n"
                             "cmd ExecTrend\nset Enum.380 0\nset Enum.381 1\nget HeatFlow.450.1.[]\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "26: set Enum.393 13\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "one of the time points 1 to 12 of the study")) << run.out;
    const double ua = 240.0 / (20.0 / std::log(3.0)), ntu = ua / 4.0;
    const double left = 440.0 - ntu / (1.0 + ntu) * 4.0 * 90.0 + 30.0;
    ASSERT_NEAR(193.80, left, 0.01);
    std::vector<double> expected{120, 120, 360, 360, 360, 470};
    expected.resize(13, left);
    expectNear(expected, ScriptValues(run.out, 31), 0.01, run.out);
}

// A cleaning covers one point at least: one added from 3 to 3, or one moved to end where it
// starts, is refused with the range's word and the cleaning keeps its points.
TEST_F(HostOperationKeeps, AnEmptyCleaningIsRefused) {
    const std::string add = "set Enum.500 1\nset Enum.400 0\nset Enum.391 3\nset Enum.392 ";
    const struct Row {
        std::string steps;
        std::string refused;  // the step refused
        std::string kept;     // a node the study still has
    } rows[] = {
        {add + "3\nexpect WrongRangeForEvent\ncmd AddEventToStudy\nform\n", "15: cmd AddEventToStudy\n  result 0\n",
         ""},
        {add + "5\ncmd AddEventToStudy\nopen Viewable.300.0\nexpect WrongRangeForEvent\nset Enum.392 3\nopen MyOwnerObject\n"
               "form\n",
         "17: set Enum.392 3\n  result 0\n", "{\"view\":\"E100_from_t3_to_t5\""},
    };
    for (const Row& row : rows) {
        const HostRun run = View(kStudyOne + row.steps);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, row.refused)) << run.out;
        EXPECT_FALSE(has(run.out, "_from_t3_to_t3")) << run.out;
        EXPECT_TRUE(has(run.out, row.kept)) << run.out;
    }
}

// The planner runs a plan whose schedule exists by updating the events that schedule has: a task
// added after (E100's area) and one cleared (C1's flow) are each named, as neither is what runs.
TEST_F(HostOperationKeeps, APlansTasksTheExistingScheduleDoesNotRunAreNamed) {
    const HostRun run = View(
        "cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nset MassFlow.301.2 0.55\n"
        "cmd ExecuteNewEvents\nset Area.300.0 200\nset MassFlow.301.2 -32767\nexpect EventTaskNotApplied\n"
        "cmd ExecuteNewEvents\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string second = run.out.substr(run.out.find("10: cmd ExecuteNewEvents"));
    EXPECT_TRUE(has(second, "Error EventTaskNotApplied|Event plan Event 1: the task ChangeArea on E100 ")) << run.out;
    EXPECT_TRUE(has(second, "Error EventTaskNotApplied|Event plan Event 1: the task StreamFlow on C1 ")) << run.out;
    EXPECT_FALSE(has(run.out.substr(0, run.out.find("10: cmd")), "EventTaskNotApplied|")) << run.out;
}

// The operated streams designed on another network of the examples (with the design job's
// options), and a script run on its design viewer.
HostRun ViewDesigned(const std::string& network, const std::string& options, const std::string& steps) {
    ScratchFile saved("operation-designed", "designed.case", "", false);
    const HostRun made = RunHost("design " + ExamplePath("operated-streams.csv") + " " + ExamplePath(network) + options +
                                 " --save " + saved.path);
    if (made.exitCode != 0) return made;
    ScratchFile script("operation-designed", "script.txt", steps);
    return RunHost("view " + saved.path + " --open design --script " + script.path);
}

// The operated streams on the split network (C1 divided 75 / 25 between E3 and E4): a plan's
// tee-flow task on TEE-100 sends 30 % of C1 down the tee's adjustable branch, E3's. E3 then takes
// less than its 90 kW and E4 more than its 30 kW; the heater still closes C1 (2 kW/C over 115 C).
TEST(HostOperationPlanner, ATeeFlowTaskActsOnTheTeesAdjustableBranch) {
    const HostRun run = ViewDesigned("four-streams-split-network.csv", "",
                                     "cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\n"
                                     "set Index.400.0 30\ncmd ExecuteNewEvents\nopen MyOwnerObject\nget HeatFlow.304.[]\n"
                                     "text ExtraData.356\nget ExtraData.358\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "EventTaskUnitUnknown")) << run.out;
    const std::vector<double> duties = ScriptValues(run.out, 8);  // E1 E2 E3 E4 heater cooler
    ASSERT_EQ(6u, duties.size()) << run.out;
    EXPECT_LT(duties[2], 89.0) << run.out;
    EXPECT_GT(duties[3], 31.0) << run.out;
    EXPECT_NEAR(230.0, duties[1] + duties[2] + duties[3] + duties[4], 1e-6) << run.out;
    EXPECT_TRUE(has(run.out, "9: text ExtraData.356\n  text TEE-100 Branch 1\n")) << run.out;
    EXPECT_DOUBLE_EQ(30.0, ScriptValues(run.out, 10).at(0)) << run.out;
}

// A plant operating half the year (4382.88 h) sells C1 at 0.01 per kg (0.5 kg/s) and buys steam
// (80 kW at 0.009 per kWh) and cooling water (120 kW at 0.0007648416 per kWh): the profit index
// counts both over the hours it operates, half of a year's product value less half of a year's
// utility cost.
TEST(HostOperationStudies, TheProfitIndexCountsProductAndUtilitiesOverTheOperatingHours) {
    const HostRun run = ViewDesigned("operated-network.csv", " --economics hours=4382.88",
                                     "open MyOwnerObject\nset PricePerMass.105.2 0.01\nopen HIDesignViewerDesign.200.0\n"
                                     "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\n"
                                     "cmd SetSelectedList\ncmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\n"
                                     "open StudyNodeView.300.0\nset Enum.380 2\nget CostPerTime.450.0.[]\n"
                                     "get Cost.452.1\nopen MyOwnerObject\nopen MyOwnerObject\nsettext Time.300 years\n"
                                     "open TrendNodeViewObject.300\nopen StudyNodeView.300.0\nget Cost.452.1\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double hours = 8760.0, share = 0.5;
    const double product = 0.01 * 0.5 * 3600.0 * hours, utilities = (80.0 * 0.009 + 120.0 * 0.0007648416) * hours;
    const std::vector<double> profit = ScriptValues(run.out, 13);
    ASSERT_EQ(13u, profit.size()) << run.out;
    for (double p : profit) EXPECT_NEAR(share * (product - utilities), p, 0.01) << run.out;
    // Twelve intervals of a month each; the same twelve numbers as years make the cumulative
    // index twelve times as large, at once.
    const std::vector<double> months = ScriptValues(run.out, 14), years = ScriptValues(run.out, 20);
    ASSERT_EQ(1u, months.size()) << run.out;
    ASSERT_EQ(1u, years.size()) << run.out;
    EXPECT_NEAR(12.0 * months[0], years[0], 1e-6 * std::fabs(years[0])) << run.out;
}

// A schedule executed on the locked network writes its what-if (H1 entering at 180 C, or C1 at
// 0.55 kg/s) into the scenario's streams: the stream table says so on the stream's row, and the
// targets of the case saved so say they are the what-if's (the process data give 20 kW of steam,
// H1 at 180 C none); once the default state is back, nothing is said.
TEST_F(HostOperationKeeps, AWhatIfsStreamValuesAreSaidToBeAWhatIfs) {
    struct Row {
        const char* kind;
        const char* target;
        const char* value;
        int row;  // of the stream table
        const char* said;
        const char* calculation;  // as the design job reports the saved case
        const char* backwards = nullptr;  // the design job's line of a unit run backwards
    } rows[] = {
        // H1 at 180 C: E100 takes C2 past its target, which nothing cools.
        {"7", "H1", "180", 0, "H1 supply temperature 180 C (process data 170 C)", "NotConverged"},
        {"6", "C1", "0.55", 2, "C1 mass flow 0.55 kg/s (process data 0.5 kg/s)", "calculated"},
    };
    for (const Row& row : rows) {
        ScratchFile saved("operation-whatif", "executed.case", "", false);
        const std::string schedule = std::string("cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 ") +
                                     row.kind + "\nsettext HXSelection.389 " + row.target +
                                     "\ncmd AddEventToSchedule\nset ExtraData.358 " + row.value +
                                     "\ncmd ExecuteSchedule\nopen MyOwnerObject\ntext ExtraData.415.[]\n";
        const HostRun run = operated->View(schedule, " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string texts = run.out.substr(run.out.find("9: text ExtraData.415.[]"));
        std::string expected = "9: text ExtraData.415.[]\n";
        for (int i = 0; i < 4; ++i) expected += i == row.row ? std::string("  text Network: ") + row.said + "\n" : "  text \n";
        EXPECT_TRUE(has(texts, expected)) << run.out;
        const HostRun design = RunHost("design " + saved.path);
        EXPECT_TRUE(has(design.out, std::string("  calculation               ") + row.calculation + "\n")) << design.out;
        if (row.backwards) {
            const std::size_t at = design.out.find(row.backwards);
            ASSERT_NE(std::string::npos, at) << design.out;
            const std::string line = design.out.substr(at, design.out.find('\n', at) - at);
            EXPECT_TRUE(has(line, ", area not known,")) << line;
            EXPECT_TRUE(has(line, ", incomplete")) << line;
        }
        const HostRun targets = RunHost("targets " + saved.path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, std::string("the stream data are a what-if's of the locked design \"Network\", and so "
                                                 "are these targets: ") + row.said))
            << targets.out;
        const HostRun reset = View(schedule + "open HIDesignViewerDesign.200.0\ncmd ResetDefaultState\nopen MyOwnerObject\n"
                                              "text ExtraData.415.[]\n");
        ASSERT_EQ(0, reset.exitCode) << reset.out;
        EXPECT_TRUE(has(reset.out, "13: text ExtraData.415.[]\n  text \n  text \n  text \n  text \n")) << reset.out;
    }
    const HostRun process = RunHost("targets " + operated->saved.path);
    EXPECT_TRUE(has(process.out, "  hot utility               20.000 kW\n")) << process.out;
    EXPECT_FALSE(has(process.out, "what-if")) << process.out;
}

// Study-1 holds a cleaning of E100 (2 to 4) and a flow change of H1 (from 3). The cleaning's node
// removes the cleaning, whichever event the tree selected last (the flow change, or none); the
// study node's removal of its selected event, with none selected, is refused with a word.
TEST_F(HostOperationKeeps, AnEventsNodeRemovesItsOwnEvent) {
    const std::string events = std::string(kStudyOne) +
                               "set Enum.500 1\nset Enum.400 0\nset Enum.391 2\nset Enum.392 4\ncmd AddEventToStudy\n"
                               "set Enum.500 2\nset Enum.401 0\nset Enum.393 3\nset MassFlow.395 2\ncmd AddEventToStudy\n";
    const std::string tree = "open TrendNodeViewObject.300\nopen StudyNodeView.300.1\n";
    const struct Row {
        std::string select;
    } rows[] = {{""}, {"open MyOwnerObject\nopen MyOwnerObject\nattach Viewable.398 H1_at_t3\n" + tree}};
    for (const Row& row : rows) {
        const HostRun run = View(events + row.select + "open Viewable.300.0\ncmd RemoveEventFromStudy\n"
                                                       "open MyOwnerObject\nform\n");
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string form = run.out.substr(run.out.rfind(": form\n"));
        EXPECT_TRUE(has(form, "\"view\":\"H1_at_t3\"")) << run.out;
        EXPECT_FALSE(has(form, "\"view\":\"E100_from_t2_to_t4\"")) << run.out;
    }
    const HostRun none = View(events + "expect NoStudyEventSelected\ncmd RemoveSelectedEventFromStudy\n");
    ASSERT_EQ(0, none.exitCode) << none.out;
    EXPECT_TRUE(has(none.out, "21: cmd RemoveSelectedEventFromStudy\n  result 0\n")) << none.out;
    EXPECT_TRUE(has(none.out, "Error NoStudyEventSelected|")) << none.out;
}

// A locked case saved with a schedule (C1 at 0.55 kg/s) and reopened: ExecuteSchedule runs that
// schedule, not the event summary the reopened viewer has selected. Unlocked, it has no schedule
// left to read (the views of the schedule that go select none), and it saves with the designed
// duties.
TEST_F(HostOperationKeeps, AReopenedCasesScheduleIsExecutedOrGoesWithTheUnlock) {
    ScratchFile saved("operation-reopen", "scheduled.case", "", false);
    const HostRun made = operated->View(kC1Schedule, " --save " + saved.path);
    ASSERT_EQ(0, made.exitCode) << made.out;
    ScratchFile script("operation-reopen", "script.txt", "cmd ExecuteSchedule\nget HeatFlow.304.[]\ntext ExtraData.230\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: cmd ExecuteSchedule\n  result 1\n")) << run.out;
    expectNear({240, 153.107751, 99.892249, 90, 26.892249}, ScriptValues(run.out, 2), 1e-5, run.out);
    EXPECT_TRUE(has(run.out, "text Last schedule executed: Event-P1\n")) << run.out;

    ScratchFile unlocked("operation-reopen", "unlocked.case", "", false);
    ScratchFile unlock("operation-reopen", "unlock.txt", "cmd UnlockOperation\nget ExtraData.357\nget ExtraData.358\n");
    const HostRun gone = RunHost("view " + saved.path + " --open design --script " + unlock.path + " --save " + unlocked.path);
    ASSERT_EQ(0, gone.exitCode) << gone.out;
    EXPECT_TRUE(has(gone.out, "2: get ExtraData.357\n  value empty")) << gone.out;
    EXPECT_TRUE(has(gone.out, "3: get ExtraData.358\n  value empty")) << gone.out;
    const HostRun design = RunHost("design " + unlocked.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "E101 (exchanger) H2 -> C1: duty 150.00,")) << design.out;
}

// After an unlock H1's supply is typed as 175 C. Schedules, the default state's reset, the
// planner's schedules and the trend study work on a locked network only: each is refused with a
// word, and H1 keeps its 175 C (the last lock's state, at 170 C, is not written back).
TEST_F(HostOperationKeeps, AnUnlockedNetworkRunsNoScheduleOverTheDataTypedSince) {
    const std::string typed = "cmd LockOperation\ncmd UnlockOperation\nopen MyOwnerObject\nset Temperature.402.0 175\n"
                              "open HIDesignViewerDesign.200.0\n";
    const struct Row {
        std::string steps;
        std::string refused;
    } rows[] = {
        {"", "cmd AddScheduleToDesign"},
        {"", "cmd ExecuteSchedule"},
        {"", "cmd ResetDefaultState"},
        {"cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nset MassFlow.301.2 0.55\n",
         "cmd ExecuteNewEvents"},
        {"cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nset MassFlow.301.2 0.55\n",
         "cmd CreateNewEvents"},
        {"cmd OpenTrendAnalysisView\nopen @last\n", "cmd ExecuteTrendAnalysis"},
    };
    for (const Row& row : rows) {
        const std::string back = row.steps.empty() ? "" : "open MyOwnerObject\n";
        const HostRun run = View(typed + row.steps + "expect OperationNotLocked\n" + row.refused + "\n" + back +
                                 "open MyOwnerObject\nget Temperature.402.0\n");
        EXPECT_EQ(0, run.exitCode) << run.out;
        const std::size_t step = run.out.find(": " + row.refused + "\n");
        ASSERT_NE(std::string::npos, step) << run.out;
        EXPECT_TRUE(has(run.out.substr(step), row.refused + "\n  result 0\n")) << run.out;
        EXPECT_TRUE(has(run.out.substr(step), "Error OperationNotLocked|")) << run.out;
        const std::size_t last = run.out.rfind(": get Temperature.402.0\n");
        ASSERT_NE(std::string::npos, last) << run.out;
        EXPECT_TRUE(has(run.out.substr(last), "  value 175 C\n")) << run.out;
    }
}

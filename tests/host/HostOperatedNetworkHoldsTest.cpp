// The operated example (examples/operated-network.csv on examples/operated-streams.csv) locked in
// its design viewer: what may be locked, what a locked network reports, and what a what-if run
// refuses.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A network whose units leave a process stream short of its target has no operating point to
// lock: each edit below leaves one stream 40 kW short, the other streams satisfied. Units in the
// viewer's order: E100 (H1-C2 240), E101 (H2-C1 150), the heater on C1 (80), the coolers on H1
// (90) and H2 (30).
struct ShortStream {
    const char* name;
    const char* edit;
};

std::ostream& operator<<(std::ostream& out, const ShortStream& s) { return out << s.name; }

class LockRefused : public testing::TestWithParam<ShortStream> {};

TEST_P(LockRefused, WhileAProcessStreamIsShortOfItsTarget) {
    OperatedCase c;
    const HostRun run = c.View(std::string(GetParam().edit) +
                               "get HeatFlow.300.[]\nexpect OpDesInfes\ncmd LockOperation\nget HeatFlow.304.[]\n"
                               "set HeatFlow.304.0 240\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::string edit = GetParam().edit;
    const int edits = static_cast<int>(std::count(edit.begin(), edit.end(), '\n'));
    EXPECT_EQ(std::vector<double>{40.0}, ScriptValues(run.out, edits + 1)) << run.out;
    EXPECT_TRUE(has(run.out, "Error OpDesInfes|")) << run.out;
    EXPECT_FALSE(has(run.out, "OperationsSetUpView")) << run.out;
    // Still a design: its duties are its own, and editable.
    EXPECT_TRUE(has(run.out, std::to_string(edits + 5) + ": set HeatFlow.304.0 240\n  result 1")) << run.out;
}

// The cooler on H1 keeps H1's target and works out its duty, which is then read-only: it is made
// to keep its area instead (Switch.355), then its duty (Switch.318), which the user then types.
INSTANTIATE_TEST_SUITE_P(OperatedExample, LockRefused,
                         testing::Values(ShortStream{"H1CooledTooLittle",
                                                     "set Switch.355.0 1\nset Switch.318.0 0\nset HeatFlow.304.3 50\n"},
                                         ShortStream{"C2HeatedTooLittle", "set HeatFlow.304.0 200\n"}),
                         [](const testing::TestParamInfo<ShortStream>& info) { return std::string(info.param.name); });

// E100 was laid out at DTmin (H1 leaves at 90 C against C2's 80 C inlet). Locked, its duty comes
// from its frozen area at the design's coefficient: the 240 kW it was laid out for, at its 10 K
// approach. It is still the exchanger the design laid out, feasible, and the locked case's totals
// stand.
TEST(HostOperatedNetworkHolds, ALockedNetworkFeasibleAsDesignedStaysFeasible) {
    OperatedCase c;
    ScratchFile locked("operated", "locked.case", "", false);
    const HostRun run = c.View("cmd LockOperation\nget HeatFlow.304.[]\n", " --save " + locked.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> duties = ScriptValues(run.out, 2);
    ASSERT_EQ(5u, duties.size()) << run.out;
    EXPECT_NEAR(240.0, duties[0], 1e-6 * 240.0) << run.out;
    const HostRun report = RunHost("design " + locked.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_FALSE(has(report.out, "\"feasible\": false")) << report.out;
    EXPECT_GT(JsonNumber(report.out, "area_total"), 189.0) << report.out;
}

}  // namespace

namespace {

// The cooling water passes the cooler on H2 (Cooler2, 20 C in) and then the one on H1 (Cooler1,
// out at 25 C): one flow carries both duties over 5 K. `get Temperature.201.[]` of a cooler reads
// its water inlet and outlet; the flow each cooler implies is its duty over its water's rise.
struct CoolerReading {
    double duty = 0.0, in = 0.0, out = 0.0;
    double Flow() const { return duty / (out - in); }
};

std::string coolerSteps(int row) {
    return "set Index.414 1\nset Index.415 " + std::to_string(row) +
           "\nopen HeatExchangerViewObject.400\nget HeatFlow.200\nget Temperature.201.[]\nopen MyOwnerObject\n";
}

CoolerReading coolerAt(const std::string& out, int firstStep) {
    CoolerReading r;
    const std::vector<double> duty = ScriptValues(out, firstStep + 3), ends = ScriptValues(out, firstStep + 4);
    if (duty.size() != 1 || ends.size() != 2) return r;
    r.duty = duty[0];
    r.in = ends[0];
    r.out = ends[1];
    return r;
}

// Locked, after a schedule that moves C1 to 0.55 kg/s (H2's cooler then takes 26.892 kW instead of
// 30), and back at the default state: each time both coolers see the one flow that this state's
// duties make, (Q1 + Q2) / 5 (24 kW/C locked, 23.378 in the schedule), and not the flow of the
// state before.
TEST(HostOperatedNetworkHolds, CoolersInSeriesShareTheFlowOfTheirOwnState) {
    OperatedCase c;
    const std::string readBoth = coolerSteps(3) + coolerSteps(4);
    const HostRun run = c.View("cmd LockOperation\n" + readBoth +
                               "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                               "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd ExecuteSchedule\n" +
                               readBoth + "cmd ResetDefaultState\n" + readBoth);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // Steps: 1 lock, 2-13 locked readings, 14-19 the schedule, 20-31 its readings, 32 the reset,
    // 33-44 the default state's readings.
    const std::vector<double> expected = {24.0, 23.378, 24.0};
    for (int state = 0; state < 3; ++state) {
        const int first = state == 0 ? 2 : state == 1 ? 20 : 33;
        const CoolerReading h1 = coolerAt(run.out, first), h2 = coolerAt(run.out, first + 6);
        ASSERT_GT(h1.duty, 0.0) << state << "\n" << run.out;
        ASSERT_GT(h2.duty, 0.0) << state << "\n" << run.out;
        EXPECT_DOUBLE_EQ(20.0, h2.in) << state;
        EXPECT_DOUBLE_EQ(h2.out, h1.in) << state;
        EXPECT_NEAR(25.0, h1.out, 1e-9) << state;
        const double flow = (h1.duty + h2.duty) / 5.0;
        EXPECT_NEAR(expected[state], flow, 0.01) << state;
        EXPECT_NEAR(flow, h1.Flow(), 1e-6 * flow) << state << "\n" << run.out;
        EXPECT_NEAR(flow, h2.Flow(), 1e-6 * flow) << state << "\n" << run.out;
    }
}

}  // namespace

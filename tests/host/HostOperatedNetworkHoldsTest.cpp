// The operated example (examples/operated-network.csv on examples/operated-streams.csv) locked in
// its design viewer: what may be locked, what a locked network reports, and what a what-if run
// refuses.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The numbers of the value line that answers script step `step` ("N: get ...\n  value a b c kW").
std::vector<double> valuesOf(const std::string& out, int step) {
    const std::string mark = "\n" + std::to_string(step) + ": get ";
    const std::size_t at = ("\n" + out).find(mark);
    std::vector<double> values;
    if (at == std::string::npos) return values;
    const std::size_t line = out.find("\n  value ", at);
    if (line == std::string::npos) return values;
    std::istringstream in(out.substr(line + 9, out.find('\n', line + 1) - line - 9));
    for (double v = 0.0; in >> v;) values.push_back(v);
    return values;
}

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
    EXPECT_EQ(std::vector<double>{40.0}, valuesOf(run.out, 2)) << run.out;
    EXPECT_TRUE(has(run.out, "Error OpDesInfes|")) << run.out;
    EXPECT_FALSE(has(run.out, "OperationsSetUpView")) << run.out;
    // Still a design: its duties are its own, and editable.
    EXPECT_TRUE(has(run.out, "6: set HeatFlow.304.0 240\n  result 1")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(OperatedExample, LockRefused,
                         testing::Values(ShortStream{"H1CooledTooLittle", "set HeatFlow.304.3 50\n"},
                                         ShortStream{"C2HeatedTooLittle", "set HeatFlow.304.0 200\n"}),
                         [](const testing::TestParamInfo<ShortStream>& info) { return std::string(info.param.name); });

// E100 was laid out at DTmin (H1 leaves at 90 C against C2's 80 C inlet). Locked, its duty comes
// from its frozen area, 240.044 kW to the area equations' 0.05 %, at a 9.985 K approach: it is
// still the exchanger the design laid out, feasible, and the locked case's totals stand.
TEST(HostOperatedNetworkHolds, ALockedNetworkFeasibleAsDesignedStaysFeasible) {
    OperatedCase c;
    ScratchFile locked("operated", "locked.case", "", false);
    const HostRun run = c.View("cmd LockOperation\nget HeatFlow.304.[]\n", " --save " + locked.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> duties = valuesOf(run.out, 2);
    ASSERT_EQ(5u, duties.size()) << run.out;
    EXPECT_NE(240.0, duties[0]) << run.out;
    EXPECT_NEAR(240.0, duties[0], 5e-4 * 240.0) << run.out;
    const HostRun report = RunHost("design " + locked.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_FALSE(has(report.out, "\"feasible\": false")) << report.out;
    EXPECT_GT(JsonNumber(report.out, "area_total"), 189.0) << report.out;
}

}  // namespace

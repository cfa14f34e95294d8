// The network in operation as an operating engineer drives it from the design viewer: the lock,
// what-if schedules, trend studies and deletions while locked; each script starts from the
// operated example pair saved as a case.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <memory>
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
        "set ExtraData.350 100000000\ncmd ChangeIntervalNumber\nexpect TooManyTrendIntervals\nset ExtraData.350 2001\n"
        "set ExtraData.350 2000\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: set ExtraData.350 100000000\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: cmd ChangeIntervalNumber\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "8: set ExtraData.350 2001\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: set ExtraData.350 2000\n  result 1\n")) << run.out;
}

// The default study cleans E100 from point 1 to 2 (out of service there: cooling water takes its
// 240 kW on top of the coolers' 90 + 30) and from point 8 to 9; six intervals keep the first
// cleaning in the new points and remove the second with a word.
TEST_F(HostOperationKeeps, ANewNumberOfIntervalsKeepsTheStudysCleanings) {
    const HostRun run = View(
        "cmd LockOperation\ncmd OpenTrendAnalysisView\nopen @last\nset Switch.361.0 1\ncmd SetSelectedList\n"
        "cmd ExecuteTrendAnalysis\nopen TrendNodeViewObject.300\nopen StudyNodeView.300.0\nset Enum.500 1\n"
        "set Enum.400 0\nset Enum.391 1\nset Enum.392 2\ncmd AddEventToStudy\nset Enum.391 8\nset Enum.392 9\n"
        "cmd AddEventToStudy\nopen MyOwnerObject\nopen MyOwnerObject\nset ExtraData.350 6\n"
        "expect TrendEventsBeyondLastPoint\ncmd ChangeIntervalNumber\ncmd ExecuteTrendAnalysis\n"
        "open TrendNodeViewObject.300\nopen StudyNodeView.300.0\nset Enum.380 0\nset Enum.381 1\nget HeatFlow.450.0.[]\n"
        "form\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    expectNear({120, 360, 120, 120, 120, 120, 120}, ScriptValues(run.out, 27), 0.01, run.out);
    EXPECT_TRUE(has(run.out, "E100_from_t1_to_t2")) << run.out;
    EXPECT_FALSE(has(run.out.substr(run.out.find("28: form")), "E100_from_t8_to_t9")) << run.out;
}

}  // namespace

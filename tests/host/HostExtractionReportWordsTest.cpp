// The extraction report says what a stream leaves and enters with the right word: a unit of the
// case, or a stream where the extraction cut the chain at a turn of temperature (never the copy
// the cut spliced in).
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Words {
    const char* name;
    const char* example;
    const char* line;
};

void PrintTo(const Words& w, std::ostream* out) { *out << w.name; }

class ExtractionReportWords : public ::testing::TestWithParam<Words> {};

TEST_P(ExtractionReportWords, NameWhatTheStreamLeavesOrEnters) {
    const HostRun run = RunHost("extract " + ExamplePath(std::string("extraction/") + GetParam().example) + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find(GetParam().line), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("unit F3"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("stream F3Duplicate"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    HostExtractionReport, ExtractionReportWords,
    ::testing::Values(
        // The preheat train is cut where F3's temperature turns: the part after the cut leaves the
        // simulation's heater E2 (not the extraction's own copy F3Duplicate, as this row once said),
        // and the part before it enters the stream F3.
        Words{"CutStreamLeavesTheSimulationsUnit", "preheat-train.vmc", "Leaves unit E2 and ends the process."},
        Words{"CutStreamIsAStream", "preheat-train.vmc", "Is a process feed and enters stream F3."},
        Words{"ColumnIsAUnit", "small-column.vmc", "Is a process feed and enters unit COL."},
        Words{"ColumnProductLeavesAUnit", "small-column.vmc", "Leaves unit COL and ends the process."}),
    [](const ::testing::TestParamInfo<Words>& info) { return std::string(info.param.name); });

}  // namespace

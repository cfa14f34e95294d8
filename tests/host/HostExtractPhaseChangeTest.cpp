// kestrin-host extract on a train whose streams change phase in its exchanger: under the default
// segment tolerance a condensing and a boiling stream are each cut where their specific heat
// jumps, so the segments carry the document's heat at the document's temperatures and the
// extracted exchanger has the document's outlet temperatures.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct ToleranceCase {
    const char* name;
    const char* settings;  // "" for the defaults
};

class PhaseChangeKept : public ::testing::TestWithParam<ToleranceCase> {};

TEST_P(PhaseChangeKept, SegmentsAndOutletsAreTheDocuments) {
    ScratchFile settings("extract-phase", std::string(GetParam().name) + ".settings", GetParam().settings);
    const std::string options = *GetParam().settings ? " --settings " + settings.path : std::string();
    const HostRun run = RunHost("extract " + example("boiling-train.vmc") + options + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The hot product: 2 kg/s x 1.0 x 58.5 K as vapour, 2 x 91.5 condensing, 2 x 2.5 x 80 as liquid.
    EXPECT_TRUE(has(run.out, "\"segments\": [{\"from\": 200, \"to\": 141.5, \"load\": 117}, {\"from\": 141.5, \"to\": "
                             "140, \"load\": 183}, {\"from\": 140, \"to\": 60, \"load\": 400}]"))
        << run.out;
    // The feed: 0.3 kg/s x 4.0 x 75 K as liquid, 0.3 x 700 boiling, 0.3 x 2.0 x 51.5 as vapour.
    EXPECT_TRUE(has(run.out, "\"segments\": [{\"from\": 20, \"to\": 95, \"load\": 90}, {\"from\": 95, \"to\": 98.5, "
                             "\"load\": 210}, {\"from\": 98.5, \"to\": 150, \"load\": 30.9}]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"duty\": 300, \"hot_in\": 200, \"hot_out\": 140, \"cold_in\": 20, \"cold_out\": 98.5"))
        << run.out;
}

INSTANTIATE_TEST_SUITE_P(HostExtractPhaseChange, PhaseChangeKept,
                         ::testing::Values(ToleranceCase{"Default", ""},
                                           ToleranceCase{"Fine", "SegmentTolerances = 0.01\n"},
                                           ToleranceCase{"Loose", "SegmentTolerances = 0.95\n"}),
                         [](const ::testing::TestParamInfo<ToleranceCase>& info) { return std::string(info.param.name); });

}  // namespace

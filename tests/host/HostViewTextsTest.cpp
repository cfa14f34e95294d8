// kestrin-host view reads the scenario viewer's texts: on the four-stream problem (H1, H2 hot,
// C1, C2 cold, pinch 90/80 C at DTmin 10 C) the stream names with their hot and cold words, the
// pinch text and the targets heading, in SI and in customary units; a forbidden match marks the
// heading, and a refused value shows its catalogue text beside its key.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char* const kScript =
    "text StrName.401.0\n"
    "text StrName.401.3\n"
    "text StrName.401.4\n"
    "text Status.409.0\n"
    "text Status.409.2\n"
    "text ExtraData.203\n"
    "text ExtraData.702\n"
    "text ColdStream.100.1\n"
    "text SVMHotStName.1\n";

struct UnitCase {
    const char* options;
    std::vector<std::string> lines;
};
void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << (c.options && *c.options ? c.options : "default units");
}
class HostViewTexts : public ::testing::TestWithParam<UnitCase> {};

TEST_P(HostViewTexts, StreamListsPinchAndHeadingReadInTheUserUnits) {
    ScratchFile script("viewtexts", "texts.txt", kScript);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --script " + script.path + " " + GetParam().options);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"1: text StrName.401.0\n  text H1\n", "2: text StrName.401.3\n  text C2\n",
                                    "3: text StrName.401.4\n  text **New**\n", "4: text Status.409.0\n  text Hot\n",
                                    "5: text Status.409.2\n  text Cold\n", "8: text ColdStream.100.1\n  text C2\n",
                                    "9: text SVMHotStName.1\n  text H2\n"})
        EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
    for (const std::string& line : GetParam().lines) EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
}
// 90 C is 194 F and 80 C 176 F; a difference of 10 C is 18 F.
INSTANTIATE_TEST_SUITE_P(
    ViewUnits, HostViewTexts,
    ::testing::Values(UnitCase{"", {"  text 90.00 C \\ 80.00 C\n", "  text Targets @ 10.00 C\n"}},
                      UnitCase{"--units customary", {"  text 194.00 F \\ 176.00 F\n", "  text Targets @ 18.00 F\n"}}));

TEST(HostViewTextsEdit, AForbiddenMatchMarksTheHeadingAndARefusalShowsItsText) {
    ScratchFile script("viewtexts", "forbid.txt",
                       "text ExtraData.702\nexpect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                       "text ExtraData.702\nexpect ChangingToBathChoseUnForbidAll\nset Switch.1200.0.0 0\ntext ExtraData.702\n");
    HostRun run = RunHost("view " + example("four-streams.csv") + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: text ExtraData.702\n  text Targets @ 10.00 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: text ExtraData.702\n  text Targets @ 10.00 C (FM)\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: text ExtraData.702\n  text Targets @ 10.00 C\n")) << run.out;

    ScratchFile refused("viewtexts", "refused.txt", "set Temperature.402.0 60\n");
    run = RunHost("view " + example("four-streams.csv") + " --script " + refused.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Error TemperatureUpdateError|The temperature could not be set.|")) << run.out;
}

}  // namespace

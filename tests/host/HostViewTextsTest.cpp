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

// The forbidden-match matrix is headed by one hot process stream per column: the form lists a
// heading for each of the hot streams there are, and none past them, whatever their number;
// listing the form shows no message.
class HostViewHotStreamHeadings : public ::testing::TestWithParam<int> {};

TEST_P(HostViewHotStreamHeadings, TheFormListsOneHeadingPerHotStream) {
    const int hot = GetParam();
    std::string table = "name,supply,target,cp,h,kind\n";
    for (int k = 1; k <= hot; ++k) table += "H" + std::to_string(k) + "," + std::to_string(180 - 10 * k) + ",60,3,0.2,process\n";
    table += "C1,20,135,2,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    ScratchFile csv("viewtexts", "hot" + std::to_string(hot) + ".csv", table);
    std::string script = "form\n";
    for (int k = 0; k < hot; ++k) script += "text SVMHotStName." + std::to_string(k) + "\n";
    const HostRun run = RunViewScript(csv.path, script);
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    EXPECT_FALSE(has(run.out, "  Error ")) << run.out.substr(0, 2000);
    for (int k = 0; k < hot; ++k) {
        const std::string n = std::to_string(k), name = "H" + std::to_string(k + 1);
        EXPECT_TRUE(has(run.out, "{\"address\":\"SVMHotStName." + n + "\",\"hook\":\"text\",\"unit\":\"\",\"editable\":false,"
                                 "\"refuses\":[\"ReadOnlyCell\"],\"text\":\"" + name + "\"}"))
            << n;
        EXPECT_TRUE(has(run.out, std::to_string(k + 2) + ": text SVMHotStName." + n + "\n  text " + name + "\n")) << run.out;
    }
    const std::string past = "SVMHotStName." + std::to_string(hot);
    EXPECT_FALSE(has(run.out, "\"address\":\"" + past + "\"")) << run.out.substr(0, 2000);
    const HostRun beyond = RunViewScript(csv.path, "text " + past + "\n");
    EXPECT_EQ(1, beyond.exitCode) << beyond.out;
    EXPECT_TRUE(has(beyond.out, "the view base lists no variable " + past)) << beyond.out;
    // The whole tree's listing too.
    const HostRun listing = RunHost("view " + csv.path + " --form");
    EXPECT_EQ(0, listing.exitCode) << listing.out.substr(0, 2000);
    EXPECT_TRUE(has(listing.out, "SVMHotStName." + std::to_string(hot - 1) + " text")) << listing.out.substr(0, 2000);
}

INSTANTIATE_TEST_SUITE_P(HotStreams, HostViewHotStreamHeadings, ::testing::Values(1, 2, 3));

}  // namespace

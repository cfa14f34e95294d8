// What a stream link keeps through the case file, through `kestrin-host view --save` and a
// reopen: each coefficient stays with its stream when another stream is deleted first, and the
// constants and DT the user typed come back as typed.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The link of C2 takes C1's temperature with the coefficient 2.5 (candidates H1, H2, C1); H1 is
// deleted and the case saved. Reopened, the candidates are H2 and C1, and 2.5 is still C1's.
TEST(HostViewLinkRecord, ACoefficientStaysWithItsStreamAfterADeletion) {
    ScratchFile saved("links", "deleted.kcase", "", false);
    const HostRun run = RunViewScript(
        ExamplePath("four-streams.csv"),
        "cmd AddDefaultDesign\nset Switch.601 1\nset Switch.600.3 1\nopen @last\nset Switch.100.2 1\n"
        "set TempCoefficient.100.2 2.5\nset Switch.105.2 1\nset Temperature.200.2 30\nopen MyOwnerObject\n"
        "open MyOwnerObject\nexpect DeleteStreamError\nanswer 1\nsettext StrName.401.0\n",
        " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun again = RunViewScript(saved.path, "open LinkTableCollection.200\nopen LinkTable.200.0\n"
                                                    "text PStreamName.100.[]\nget Switch.100.[]\n"
                                                    "get TempCoefficient.100.[]\nget Switch.105.[]\n"
                                                    "get Temperature.200.1\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "3: text PStreamName.100.[]\n  text H2\n  text C1\n")) << again.out;
    EXPECT_EQ((std::vector<double>{0, 1}), ScriptValues(again.out, 4)) << again.out;
    EXPECT_EQ((std::vector<double>{0, 2.5}), ScriptValues(again.out, 5)) << again.out;
    EXPECT_TRUE(has(again.out, "6: get Switch.105.[]\n  value empty 1\n")) << again.out;
    EXPECT_EQ((std::vector<double>{30}), ScriptValues(again.out, 7)) << again.out;
}

// A simple link's DT typed as 25, and an advanced link's constants 10 (temperature) and 2 (mass
// flow), read back as typed after a reopen, not as worked out again from the streams.
TEST(HostViewLinkRecord, TypedConstantsAndDifferenceComeBackAsTyped) {
    ScratchFile saved("links", "constants.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      "cmd AddDefaultDesign\nset Switch.600.2 1\nopen @last\nset Switch.100.0 1\n"
                                      "set DeltaTemp.400 25\ncmd UpdateSimpleLink\nopen MyOwnerObject\n"
                                      "open MyOwnerObject\nset Switch.601 1\nset Switch.600.3 1\nopen @last\n"
                                      "set Switch.100.0 1\nset Temperature.101 10\nset MassFlow.101 2\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun again = RunViewScript(saved.path, "open LinkTableCollection.200\nopen LinkTable.200.0\n"
                                                    "get DeltaTemp.400\nopen MyOwnerObject\nopen LinkTable.200.1\n"
                                                    "get Temperature.101\nget MassFlow.101\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: open LinkTable.200.0\n  text C1\n")) << again.out;
    EXPECT_EQ((std::vector<double>{25}), ScriptValues(again.out, 3)) << again.out;
    EXPECT_TRUE(has(again.out, "5: open LinkTable.200.1\n  text C2\n")) << again.out;
    EXPECT_EQ((std::vector<double>{10}), ScriptValues(again.out, 6)) << again.out;
    EXPECT_EQ((std::vector<double>{2}), ScriptValues(again.out, 7)) << again.out;
}

}  // namespace

namespace {

// Deleting a stream takes its links and its terms at once, in the same run: C2's link goes with
// C2 (none is left to save with an empty name), and H1's ticked term goes with H1 while C1's
// stays ticked with its coefficient.
TEST(HostViewLinkRecord, ADeletedStreamTakesItsLinksAndTermsAtOnce) {
    const std::string link = "cmd AddDefaultDesign\nset Switch.601 1\nset Switch.600.3 1\nopen @last\n"
                             "set Switch.100.0 1\nset TempCoefficient.100.0 2.5\nset Switch.100.2 1\n"
                             "set TempCoefficient.100.2 4\nopen MyOwnerObject\nopen MyOwnerObject\n";  // 1-10
    const std::string read = "open LinkTableCollection.200\ntext SimpleLinkStrName.300.[]\n"
                             "text SimpleLinkedStrName.300.[]\n";
    ScratchFile linkedGone("links", "linked-gone.kcase", "", false);
    const HostRun linked = RunViewScript(ExamplePath("four-streams.csv"),
                                         link + "expect DeleteStreamError\nanswer 1\nsettext StrName.401.3\n" + read,
                                         " --save " + linkedGone.path);
    ASSERT_EQ(0, linked.exitCode) << linked.out;
    EXPECT_TRUE(has(linked.out, "15: text SimpleLinkStrName.300.[]\n16: ")) << linked.out;
    const HostRun reopened = RunViewScript(linkedGone.path, read);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "2: text SimpleLinkStrName.300.[]\n3: ")) << reopened.out;

    const HostRun candidate = RunViewScript(ExamplePath("four-streams.csv"),
                                            link + "expect DeleteStreamError\nanswer 1\nsettext StrName.401.0\n" +
                                                "open LinkTableCollection.200\nopen LinkTable.200.0\n"
                                                "text PStreamName.100.[]\nget Switch.100.[]\nget TempCoefficient.100.[]\n");
    ASSERT_EQ(0, candidate.exitCode) << candidate.out;
    EXPECT_TRUE(has(candidate.out, "16: text PStreamName.100.[]\n  text H2\n  text C1\n17: ")) << candidate.out;
    EXPECT_EQ((std::vector<double>{0, 1}), ScriptValues(candidate.out, 17)) << candidate.out;
    EXPECT_EQ((std::vector<double>{0, 4}), ScriptValues(candidate.out, 18)) << candidate.out;
}

}  // namespace

namespace {

// A site scenario's link list is recalled in its site scenario: the case saved with a link
// (its editor opened, then the link deleted again or not) reopens with every view of the site.
TEST(HostViewLinkRecord, ASiteWithAStreamLinkReopens) {
    const std::string streams =
        "open HIDesignViewerScenario.200.0\nsettext StrName.401.0 H1\nsettext StrName.401.1 C1\n"
        "set Temperature.402.0 170\nset Temperature.403.0 60\nset HeatCapacityFlow.404.0 3\n"
        "set Temperature.402.1 20\nset Temperature.403.1 135\nset HeatCapacityFlow.404.1 2\nset Switch.600.1 1\n";
    ScratchFile script("links", "site.txt", streams), saved("links", "site.kcase", "", false);
    const HostRun run = RunHost("view --new hi-total-site S --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun again = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nget HeatFlow.107\n"
                                                    "open LinkTableCollection.200\ntext SimpleLinkStrName.300.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    // H1 170 -> 60 (330 kW) against C1 20 -> 135 (230 kW) at DTmin 10: no heat to add.
    EXPECT_EQ(std::vector<double>{0}, ScriptValues(again.out, 2)) << again.out;
    EXPECT_TRUE(has(again.out, "4: text SimpleLinkStrName.300.[]\n  text C1\n")) << again.out;
}

}  // namespace

// kestrin-host view: the clone tool driven from the project viewer of the four-stream table, and
// a total site built from nothing, saved with the streams typed into it and opened again.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostViewTotalSite, ACloneHoldsTheTickedStreamsAndTargetsThemAlone) {
    // H2 (process stream 1, entry 1001) left out: the copy holds H1, C1 and C2. Their problem
    // table at a 10 K minimum approach (shifted 165-55, 25-140, 85-145): interval surpluses
    // +60, -5, -165, +30, -60, a largest deficit of 140 and nothing left at the bottom, so
    // 140 kW of hot utility and none of cold, where the four streams need 20 and 60.
    const std::string script =
        "get HeatFlow.107\n"
        "get HeatFlow.108\n"
        "open MyOwnerObject\n"
        "open MyOwnerObject\n"
        "attach Viewable.299 base\n"
        "open HIDesignViewerProject.200.0\n"
        "cmd CloneHI\n"
        "open CloneHIScenarioTool.298\n"
        "settext ExtraData.100 Copy\n"
        "cmd ObjectSelectionToggledOnDataEnum 1001\n"
        "cmd clone\n"
        "dims HIDesignViewerScenario.200\n"
        "open HIDesignViewerScenario.200(Copy)\n"
        "dims Count.410\n"
        "get HeatFlow.107\n"
        "get HeatFlow.108\n";
    ScratchFile file("view", "clone.txt", script);
    ScratchFile saved("view", "clone.kcase", "", false);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --script " + file.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get HeatFlow.107\n  value 20 kW\n2: get HeatFlow.108\n  value 60 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "12: dims HIDesignViewerScenario.200\n  dims 2\n")) << run.out;
    // Three process streams and the row for a new one.
    EXPECT_TRUE(has(run.out, "14: dims Count.410\n  dims 4\n")) << run.out;
    EXPECT_TRUE(has(run.out, "15: get HeatFlow.107\n  value 140 kW\n16: get HeatFlow.108\n  value 0 kW\n")) << run.out;

    ScratchFile again("view", "reopen.txt",
                      "dims HIDesignViewerScenario.200\nopen HIDesignViewerScenario.200(Copy)\nget HeatFlow.107\n");
    const HostRun reopened = RunHost("view " + saved.path + " --open project --script " + again.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: dims HIDesignViewerScenario.200\n  dims 2\n")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: get HeatFlow.107\n  value 140 kW\n")) << reopened.out;
}

TEST(HostViewTotalSite, ANewSiteSavesItsStreamsAndReopensOnItsViewer) {
    ScratchFile file("view", "site.txt",
                     "attach UtilityNameView.599.0 Cooling Water\n"
                     "attach UtilityNameView.599.1 LP Steam\n"
                     "expect ThisScenarioNameAlreadyExists\n"
                     "cmd AddDefaultScenario\n");
    ScratchFile saved("view", "site.kcase", "", false);
    const HostRun built =
        RunHost("view --new hi-total-site Works --script " + file.path + " --save " + saved.path);
    ASSERT_EQ(0, built.exitCode) << built.out;
    const HostRun run = RunHost("view " + saved.path + " --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "\"form\":{\"view\":\"Works\",\"type\":\"HIDesignViewerGrassRootTotalSiteObject\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"address\":\"StrNameU.440\",\"hook\":\"text\",\"unit\":\"\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"text\":\"\","
                             "\"texts\":[\"Cooling Water\",\"LP Steam\",\"**New**\"]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"view\":\"Process 1\",\"type\":\"HIDesignViewerGrassRootScenarioObject\"")) << run.out;

    // An unknown kind of study is refused with the kinds there are.
    const HostRun wrong = RunHost("view --new hi-site Works");
    EXPECT_NE(0, wrong.exitCode);
    EXPECT_TRUE(has(wrong.out, "hi-total-site")) << wrong.out;
}

}  // namespace

namespace {

// Each edit of the site's stream table answers what it did: 1 for an add, a rename or a deletion
// done, 0 for one refused (with one message, its key listed among the table's refusals) or
// declined. A name the defaults hold in other letters is the default's own. (Refused adds and
// renames answered 1, a deletion done 0, names in other letters were refused, and the table
// listed no refusal keys.)
TEST(HostViewTotalSite, EachEditOfTheStreamTableAnswersWhatItDid) {
    const std::string water = "attach UtilityNameView.599.0 Cooling Water\n";
    // The defaults editor opened and its first row (LP Steam) selected.
    const std::string kFirstDefaultSelected = "cmd OpenUDB\nopen @last\nset RowPos.288 0\nopen MyOwnerObject\n";
    struct Row {
        const char* name;
        std::string before;
        const char* action;
        const char* key;  // the message the action is answered with, "" for none
        int result;
        const char* names;  // the stream table afterwards, before its spare row
    } rows[] = {
        {"add", "", "attach UtilityNameView.599.0 Cooling Water", "", 1, "  text Cooling Water\n"},
        {"addTaken", water, "attach UtilityNameView.599.1 Cooling Water", "SameStreamErrorMsg", 0, "  text Cooling Water\n"},
        {"addNoDefault", "", "attach UtilityNameView.599.0 Plant Water", "PickTotalSiteUtilityFromDropDownList", 0, ""},
        {"addOtherLetters", "", "attach UtilityNameView.599.0 cooling water", "", 1, "  text Cooling Water\n"},
        {"renameRefused", water, "attach UtilityNameView.599.0 LP Steam", "RenameStreamError", 0, "  text Cooling Water\n"},
        {"rename", water, "attach UtilityNameView.599.0 Air", "", 1, "  text Air\n"},
        {"renameOtherLetters", water, "attach UtilityNameView.599.0 air", "", 1, "  text Air\n"},
        {"delete", water + "answer 1\n", "attach UtilityNameView.599.0 empty", "DeleteStreamError", 1, ""},
        {"deleteDeclined", water + "answer 0\n", "attach UtilityNameView.599.0 empty", "DeleteStreamError", 0,
         "  text Cooling Water\n"},
        // The utility selected in the defaults editor (its first row, LP Steam) added by command.
        {"addByCommand", water + kFirstDefaultSelected, "cmd AddUtilityToUtilityStreams", "", 1,
         "  text Cooling Water\n  text LP Steam\n"},
        {"addByCommandTaken", "attach UtilityNameView.599.0 LP Steam\n" + kFirstDefaultSelected,
         "cmd AddUtilityToUtilityStreams", "SameStreamErrorMsg", 0, "  text LP Steam\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string lead = row.before + (*row.key ? std::string("expect ") + row.key + "\n" : "");
        const int step = static_cast<int>(std::count(lead.begin(), lead.end(), '\n')) + 1;
        ScratchFile saved("view", std::string(row.name) + ".kcase", "", false);
        const HostRun run = RunHost("view --new hi-total-site S --script " +
                                    ScratchFile("view", std::string(row.name) + ".txt",
                                                lead + row.action + "\ntext StrNameU.440.[]\n").path +
                                    " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::size_t at = run.out.find(std::to_string(step) + ": " + row.action + "\n");
        ASSERT_NE(std::string::npos, at) << run.out;
        const std::string answer = run.out.substr(at, run.out.find(std::to_string(step + 1) + ": ", at) - at);
        EXPECT_TRUE(has(answer, "  result " + std::to_string(row.result) + "\n")) << answer;
        // One message: the refusal's own, or the question a deletion asks.
        const bool asked = std::string(row.key) == "DeleteStreamError";
        std::size_t errors = 0;
        for (std::size_t e = answer.find("\n  Error "); e != std::string::npos; e = answer.find("\n  Error ", e + 1)) ++errors;
        EXPECT_EQ(*row.key && !asked ? 1u : 0u, errors) << answer;
        if (*row.key) {
            EXPECT_TRUE(has(answer, (asked ? "  Response " : "  Error ") + std::string(row.key) + "|")) << answer;
        }
        EXPECT_TRUE(has(run.out, "text StrNameU.440.[]\n" + std::string(row.names) + "  text **New**\n")) << run.out;
        const HostRun again = RunViewScript(saved.path, "text StrNameU.440.[]\n");
        EXPECT_TRUE(has(again.out, "text StrNameU.440.[]\n" + std::string(row.names) + "  text **New**\n")) << again.out;
    }
    // The table lists every key a row's edit may be answered with.
    const HostRun form = RunHost("view --new hi-total-site S --form --json");
    const std::size_t table = form.out.find("{\"address\":\"UtilityNameView.599\"");
    ASSERT_NE(std::string::npos, table) << form.out;
    const std::string listed = form.out.substr(table, form.out.find('}', table) - table);
    for (const Row& row : rows)
        if (*row.key) {
            EXPECT_TRUE(has(listed, std::string("\"") + row.key + "\"")) << row.key << " " << listed;
        }
}

}  // namespace

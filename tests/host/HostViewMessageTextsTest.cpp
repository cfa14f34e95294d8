// The messages and questions a user meets in the views read as words of their own, never as the
// key they are looked up by: a name already taken, a deletion asked about, a refusal, the trend
// wizard's captions (its own, not the extraction wizard's).
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Shown {
    const char* name;
    std::string input;   // the file the views open
    std::string open;    // --open
    std::string script;
    std::string event;   // "Error" or "Response"
    std::string key;
    std::string words;   // a part of the text the user reads
};

void PrintTo(const Shown& s, std::ostream* out) { *out << s.name; }

// The text of the first "  EVENT KEY|TEXT|..." line of a run.
std::string shownText(const std::string& out, const std::string& event, const std::string& key) {
    const std::string head = "  " + event + " " + key + "|";
    const std::size_t at = out.find(head);
    if (at == std::string::npos) return std::string();
    const std::size_t from = at + head.size();
    return out.substr(from, out.find('|', from) - from);
}

class HostViewMessageTexts : public ::testing::TestWithParam<Shown> {};

TEST_P(HostViewMessageTexts, TheUserReadsWordsNotTheKey) {
    const Shown& s = GetParam();
    const HostRun run = RunViewScript(s.input, s.script, s.open.empty() ? "" : " --open " + s.open);
    const std::string text = shownText(run.out, s.event, s.key);
    ASSERT_FALSE(text.empty()) << run.out;
    EXPECT_EQ(std::string::npos, text.find(s.key)) << text;
    EXPECT_NE(std::string::npos, text.find(s.words)) << text;
}

const std::string kStreams = ExamplePath("four-streams.csv");

INSTANTIATE_TEST_SUITE_P(
    Views, HostViewMessageTexts,
    ::testing::Values(
        Shown{"ScenarioNameTaken", kStreams, "project",
              "cmd AddDefaultScenario\nexpect ThisScenarioNameAlreadyExists\ncmd AddDefaultScenario\n", "Error",
              "ThisScenarioNameAlreadyExists", "already exists in the project: Scenario 1"},
        Shown{"DesignNameTaken", kStreams, "",
              "cmd AddDefaultDesign X\nexpect ThisDesignNameAlreadyExists\ncmd AddDefaultDesign X\n", "Error",
              "ThisDesignNameAlreadyExists", "already exists in the scenario: X"},
        Shown{"DeleteDesignAsked", kStreams, "", "cmd AddDefaultDesign X\nanswer 0\ncmd RemoveFromDesignView\n",
              "Response", "ConfirmDeleteHENDesign", "Delete the design X?"},
        Shown{"UtilityLoadsNotMadeSufficient", kStreams, "",
              "expect MakeSufficientError\ncmd MakeUtilitySufficient\n", "Error", "MakeSufficientError",
              "utility loads given by the user"}),
    [](const ::testing::TestParamInfo<Shown>& info) { return std::string(info.param.name); });

// An automatic design refused for one stream names the stream after the words of the refusal.
TEST(HostViewMessageTexts, AnAutomaticDesignRefusalReadsAsWordsWithItsStream) {
    ScratchFile table("texts", "close.csv",
                      "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nC1,20,20.005,2,0.2,process\n"
                      "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const HostRun run = RunViewScript(table.path, "expect MinimumSegStreamTempDiff\ncmd AutomaticHENDesign\n");
    const std::string text = shownText(run.out, "Error", "MinimumSegStreamTempDiff");
    EXPECT_EQ("Two temperature points of this stream lie closer than 0.01 C: C1", text) << run.out;
}

// A refusal answers 0 with its words: utility loads that cannot be made sufficient, and a completion
// that fails, which says why as the automatic design does (here for a stream whose ends lie too
// close), rather than nothing.
TEST(HostViewMessageTexts, RefusedCommandsAnswerNoughtAndSayWhy) {
    ScratchFile table("texts", "close-complete.csv",
                      "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nC1,20,20.005,2,0.2,process\n"
                      "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const HostRun sufficient = RunViewScript(kStreams, "expect MakeSufficientError\ncmd MakeUtilitySufficient\n");
    EXPECT_NE(std::string::npos, sufficient.out.find("2: cmd MakeUtilitySufficient\n  result 0\n")) << sufficient.out;
    const HostRun completion =
        RunViewScript(table.path, "cmd AddDefaultDesign X\nexpect MinimumSegStreamTempDiff\ncmd SmartCompleteDesign\n");
    EXPECT_NE(std::string::npos, completion.out.find("3: cmd SmartCompleteDesign\n  result 0\n")) << completion.out;
    EXPECT_EQ("Two temperature points of this stream lie closer than 0.01 C: C1",
              shownText(completion.out, "Error", "MinimumSegStreamTempDiff"))
        << completion.out;
}

// The trend wizard's pages speak of the trend analysis; its closing caption is words.
TEST(HostViewMessageTexts, TheTrendWizardShowsItsOwnWords) {
    ScratchFile study("texts", "study.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + kStreams + " " + ExamplePath("four-streams-network.csv") + " --save " +
                         study.path)
                     .exitCode);
    const HostRun run = RunViewScript(study.path,
                                      "cmd OpenTrendAnalysisView\nopen @last\ntext ExtraData.750\n"
                                      "text ExtraData.754\ntext ExtraData.807\n",
                                      " --open design");
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (int step : {3, 4, 5}) {
        const std::size_t at = run.out.find(std::to_string(step) + ": text ");
        ASSERT_NE(std::string::npos, at) << run.out;
        const std::size_t line = run.out.find("\n  text ", at);
        const std::string text = run.out.substr(line + 8, run.out.find('\n', line + 1) - line - 8);
        EXPECT_NE(std::string::npos, text.find("trend analysis")) << step << ": " << text;
        EXPECT_EQ(std::string::npos, text.find("extract")) << step << ": " << text;
    }
}

}  // namespace

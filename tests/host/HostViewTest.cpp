// kestrin-host view: scripts of form actions drive the project viewer and the scenario viewer of
// a stream table; each kind of script error stops at its line with exit 1 and saves nothing.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdint>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

HostRun runScript(const std::string& stem, const std::string& script, const std::string& options) {
    ScratchFile file("view", stem + ".txt", script);
    return RunHost("view " + example("four-streams.csv") + " --script " + file.path + " " + options);
}

TEST(HostView, ProjectViewerAddsRenamesAndRemovesScenariosAsScripted) {
    const std::string script =
        "# the first scenario comes with the table\n"
        "cmd AddDefaultScenario\n"
        "expect ThisScenarioNameAlreadyExists\n"
        "cmd AddDefaultScenario\n"
        "settext ExtraData.208 Winter\n"
        "cmd AddToDesignView\n"
        "dims HIDesignViewerScenario.200\n"
        "settext ExtraData.208 Summer\n"
        "cmd RenameView\n"
        "open HIDesignViewerScenario.200(Summer)\n"
        "open MyOwnerObject\n"
        "answer 0\n"
        "expect ConfirmDeleteHIScenario\n"
        "cmd RemoveFromDesignView\n"
        "dims HIDesignViewerScenario.200\n"
        "answer 1\n"
        "expect ConfirmDeleteHIScenario\n"
        "cmd RemoveFromDesignView\n"
        "dims HIDesignViewerScenario.200\n"
        "settext ExtraData.210.2 A. Engineer\n"
        "text ExtraData.210.2\n"
        "expect ThisProjectNameAlreadyExists\n"
        "settext ExtraData.210.1 Kestrin project\n"
        "text ExtraData.210.1\n";
    const HostRun run = runScript("project", script, "--open project --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    // Three scenarios after the second add, three still after the refused deletion, two after.
    EXPECT_TRUE(has(run.out, "\"input\":\"dims HIDesignViewerScenario.200\",\"value\":null,\"unit\":\"\",\"text\":null,"
                             "\"result\":null,\"editable\":null,\"dims\":[3]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"dims\":[2]")) << run.out;
    EXPECT_TRUE(has(run.out, "\"input\":\"open HIDesignViewerScenario.200(Summer)\",\"value\":null,\"unit\":\"\","
                             "\"text\":\"Summer\""))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"event\":\"Response\",\"key\":\"ConfirmDeleteHIScenario\",\"text\":"
                             "\"Delete the scenario Summer with its streams and designs?\",\"number\":2,\"answer\":0"))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"text\":\"A. Engineer\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"input\":\"text ExtraData.210.1\",\"value\":null,\"unit\":\"\",\"text\":\"Kestrin project\""))
        << run.out;
}

TEST(HostView, FormListsTheCaseViewWithItsProjectViewerAndScenarioViewer) {
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --open case --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "\"form\":{\"view\":\"Kestrin project\",\"type\":\"HeatIntegrationGrassRootObject\"")) << run.out;
    EXPECT_TRUE(has(run.out, "\"children\":[{\"view\":\"Kestrin project\",\"type\":\"HIDesignViewerGrassRootProjectObject\""))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"address\":\"ExtraData.208\",\"hook\":\"text\",\"unit\":\"\",\"editable\":true,\"refuses\":[\"ReadOnlyCell\",\"ValueNotTaken\"],\"text\":\"\"}"))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"commands\":[\"AddNote\",")) << run.out;
    EXPECT_TRUE(has(run.out, "{\"view\":\"base\",\"type\":\"HIDesignViewerGrassRootScenarioObject\"")) << run.out;
}

TEST(HostView, ClosingTheSelectedScenarioViewerSelectsTheProjectViewer) {
    const HostRun run = runScript("close",
                                  "open Viewable.299\ncmd AddDefaultScenario\nopen MyOwnerObject\nopen Viewable.299\n"
                                  "cmd DeleteView\nopen MyOwnerObject\nopen Viewable.299\n",
                                  "--open case");
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The project viewer is selected once the case is open; a scenario it adds takes over.
    EXPECT_TRUE(has(run.out, "1: open Viewable.299\n  text Kestrin project\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: open Viewable.299\n  text Scenario 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: open Viewable.299\n  text Kestrin project\n")) << run.out;
}

struct ScriptError {
    const char* name;
    const char* script;
    int line;
    const char* reason;
};

class HostViewScriptErrors : public ::testing::TestWithParam<ScriptError> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ScriptError& c, std::ostream* os) { *os << c.name; }

TEST_P(HostViewScriptErrors, StopAtTheirLineWithExitOneAndSaveNothing) {
    const ScriptError& e = GetParam();
    ScratchFile script("view", std::string(e.name) + ".txt", e.script);
    ScratchFile saved("view", std::string(e.name) + ".kcase", "", false);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --open project --script " + script.path +
                                " --save " + saved.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, script.path + ":" + std::to_string(e.line) + ": " + e.reason)) << run.out;
    EXPECT_FALSE(exists(saved.path));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HostViewScriptErrors,
    ::testing::Values(
        ScriptError{"action", "cmd AddNote\n\nfrobnicate X\n", 3, "not an action: frobnicate"},
        ScriptError{"parse", "# bad\ntext Extra(Data\n", 2, "the address Extra(Data does not parse"},
        ScriptError{"noview", "text HIDesignViewerScenario.200.7:ExtraData.208\n", 1, "the address"},
        ScriptError{"unlisted", "text ExtraData.999\n", 1, "the view Kestrin project lists no variable"},
        ScriptError{"index", "text ExtraData.211.4\n", 1, "index 4 of ExtraData.211.4 is outside its dimensions (0)"},
        ScriptError{"number", "set Switch.201 many\n", 1, "the value many is not a number"},
        ScriptError{"hexadecimal", "set Switch.201 0x10\n", 1, "the value 0x10 is not a number"},
        ScriptError{"picture", "svg HIDesignViewerScenario.200.0 /dev/null\n", 1, "the view base draws no picture"},
        ScriptError{"question", "cmd AddDefaultScenario\ncmd RemoveFromDesignView\n", 2,
                    "the question ConfirmDeleteHIScenario has no scripted answer"},
        // A command no view takes is the script's fault, not a refusal: unknown, misspelt, or one
        // another kind of view takes.
        ScriptError{"nocommand", "cmd AddNote\ncmd NoSuchCommand\n", 2,
                    "the view Kestrin project does not handle the command NoSuchCommand"},
        ScriptError{"misspelt", "open HIDesignViewerScenario.200.0\ncmd LockOperaton\n", 2,
                    "the view base does not handle the command LockOperaton"},
        ScriptError{"otherview", "open HIDesignViewerScenario.200.0\ncmd OpenCrossPinchView\n", 2,
                    "the view base does not handle the command OpenCrossPinchView"}),
    [](const ::testing::TestParamInfo<ScriptError>& info) { return std::string(info.param.name); });

TEST(HostView, APlotOfTheScenarioViewerIsWrittenAsItsPicture) {
    ScratchFile picture("view", "composite.svg", "", false);
    const HostRun run = runScript("svg", "svg chiPlot.200.3 " + picture.path + "\n", "");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string svg = FileContents(picture.path);
    EXPECT_TRUE(has(svg, "<svg ")) << svg.substr(0, 200);
    EXPECT_TRUE(has(svg, "class=\"plot-area\"")) << svg.substr(0, 200);
}

TEST(HostView, AnUnexpectedMessageRunsOnThenFailsWithoutSaving) {
    ScratchFile script("view", "unexpected.txt", "cmd AddDefaultScenario\ncmd AddDefaultScenario\ncmd AddNote\n");
    ScratchFile saved("view", "unexpected.kcase", "", false);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --open project --script " + script.path +
                                " --save " + saved.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: cmd AddNote")) << run.out;  // the run went on
    EXPECT_TRUE(has(run.out, "did not expect")) << run.out;
    EXPECT_FALSE(exists(saved.path));
}

}  // namespace

namespace {

std::string formPart(const std::string& out) {
    const std::size_t at = out.find("\"form\":");
    return at == std::string::npos ? std::string() : out.substr(at);
}

TEST(HostView, ASavedCaseReopensItsViewsAndReadsAsTheTableForTargets) {
    ScratchFile script("view", "save.txt", "cmd AddDefaultScenario Winter\nsettext ExtraData.210.2 Ann\n");
    ScratchFile saved("view", "save.kcase", "", false);
    const HostRun first = RunHost("view " + example("four-streams.csv") + " --open project --script " + script.path +
                                  " --form --json --save " + saved.path);
    ASSERT_EQ(0, first.exitCode) << first.out.substr(0, 2000);
    ASSERT_TRUE(exists(saved.path));
    const HostRun again = RunHost("view " + saved.path + " --open project --form --json");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_FALSE(formPart(again.out).empty());
    EXPECT_TRUE(formPart(first.out) == formPart(again.out));
    EXPECT_TRUE(has(again.out, "{\"view\":\"Winter\",\"type\":\"HIDesignViewerGrassRootScenarioObject\""));
    ScratchFile read("view", "read.txt", "text ExtraData.210.2\n");
    const HostRun engineer = RunHost("view " + saved.path + " --open project --script " + read.path);
    EXPECT_TRUE(has(engineer.out, "1: text ExtraData.210.2\n  text Ann\n")) << engineer.out;

    const HostRun fromCase = RunHost("targets " + saved.path);
    const HostRun fromTable = RunHost("targets " + example("four-streams.csv"));
    ASSERT_EQ(0, fromCase.exitCode) << fromCase.out;
    EXPECT_EQ(fromTable.out, fromCase.out);
}

TEST(HostView, ACaseWithoutViewsOpensWithViewsBuilt) {
    ScratchFile saved("view", "plain.kcase", "", false);
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    const HostRun run = RunHost("view " + saved.path + " --open case --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    EXPECT_TRUE(has(run.out, "{\"view\":\"base\",\"type\":\"HIDesignViewerGrassRootScenarioObject\""));
}

TEST(HostView, AFailedScriptLeavesAnExistingCaseAsItWas) {
    ScratchFile saved("view", "kept.kcase", "", false);
    ASSERT_EQ(0, RunHost("view " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    const std::string before = FileContents(saved.path);
    ASSERT_FALSE(before.empty());
    for (const char* text : {"cmd AddDefaultScenario\ncmd AddDefaultScenario\n", "text Nothing.1\n"}) {
        ScratchFile script("view", "kept.txt", text);
        const HostRun run =
            RunHost("view " + saved.path + " --open project --script " + script.path + " --save " + saved.path);
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_EQ(before, FileContents(saved.path));
    }
}

}  // namespace

namespace {

TEST(HostView, AViewSetThatDoesNotReadBackIsRefusedAsDamaged) {
    ScratchFile saved("view", "damaged.kcase", "", false);
    ASSERT_EQ(0, RunHost("view " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    std::string bytes = FileContents(saved.path);
    const std::string type = "HeatIntegrationGrassRootObject";
    const std::size_t at = bytes.rfind(type);
    ASSERT_NE(std::string::npos, at);
    // A type no build registers, under a checksum that matches: only the view set is wrong.
    bytes[at + type.size() - 1] = 'X';
    std::string body = bytes.substr(0, bytes.size() - 4);
    std::ofstream(saved.path, std::ios::binary | std::ios::trunc) << WithCaseChecksum(body);

    const HostRun run = RunHost("view " + saved.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "the case's views are damaged")) << run.out;
    // The project itself still reads for the commands that do not show views.
    EXPECT_EQ(0, RunHost("targets " + saved.path).exitCode);
}

}  // namespace

namespace {

TEST(HostView, ClosingTheSelectedDesignViewerSelectsItsScenarioViewer) {
    ScratchFile saved("view", "network.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    // attach drops the design viewer the case offers as its selection.
    ScratchFile script("view", "closedesign.txt",
                       "attach Viewable.299 Network\nopen Viewable.299\ncmd DeleteView\nopen MyOwnerObject\n"
                       "open MyOwnerObject\nopen Viewable.299\n");
    const HostRun run = RunHost("view " + saved.path + " --open case --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: attach Viewable.299 Network\n  text Network\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "2: open Viewable.299\n  text Network\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: open Viewable.299\n  text base\n")) << run.out;
}

}  // namespace

namespace {

TEST(HostViewDesigns, TheScenarioViewerAddsClonesRenamesAndDeletesDesignsThatSurviveASave) {
    ScratchFile saved("view", "designs.kcase", "", false);
    const std::string script =
        "cmd AddDefaultDesign\n"
        "expect ThisDesignNameAlreadyExists\n"
        "cmd AddDefaultDesign\n"
        "cmd AddDefaultDesign D2\n"
        "settext ExtraData.208 Copy\n"
        "cmd CloneDesign\n"
        "settext ExtraData.208 Renamed\n"
        "cmd RenameView\n"
        "open HIDesignViewerDesign.200.2\n"
        "open MyOwnerObject\n"
        "answer 0\n"
        "expect ConfirmDeleteHENDesign\n"
        "cmd RemoveFromDesignView\n"
        "answer 1\n"
        "expect ConfirmDeleteHENDesign\n"
        "cmd RemoveFromDesignView\n";
    const HostRun run = runScript("designs", script, "--json --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The second add is refused by name; the clone of D2 (the selected design) is renamed, then
    // kept on the answer 0 and deleted on the answer 1.
    EXPECT_TRUE(has(run.out, "\"key\":\"ThisDesignNameAlreadyExists\",\"text\":"
                             "\"A design of that name already exists in the scenario: Design 1\""))
        << run.out;
    EXPECT_TRUE(has(run.out, "\"input\":\"open HIDesignViewerDesign.200.2\",\"value\":null,\"unit\":\"\",\"text\":\"Renamed\""))
        << run.out;
    EXPECT_TRUE(
        has(run.out, "\"key\":\"ConfirmDeleteHENDesign\",\"text\":\"Delete the design Renamed?\",\"number\":2,\"answer\":1"))
        << run.out;
    const HostRun again = RunHost("view " + saved.path + " --form --json");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_TRUE(has(again.out, "{\"view\":\"Design 1\",\"type\":\"HIDesignViewerGrassRootDesignObject\"")) << again.out;
    EXPECT_TRUE(has(again.out, "{\"view\":\"D2\",\"type\":\"HIDesignViewerGrassRootDesignObject\"")) << again.out;
    EXPECT_FALSE(has(again.out, "\"view\":\"Renamed\"")) << again.out;
}

TEST(HostViewDesigns, FailuresOfTheScenarioShowTheirKeysAndTheRetrofitBaseIsChosen) {
    ScratchFile saved("view", "network.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const std::string script =
        "expect NoSubsetsFound\n"
        "cmd SearchSubsets\n"
        "cmd SelectRetrofitNow\n"
        "cmd UnlockRetrofit\n"
        "cmd AddDefaultDesign Other\n"
        "cmd SelectRetrofitNow\n";
    ScratchFile file("view", "retrofit.txt", script);
    const HostRun run = RunHost("view " + saved.path + " --script " + file.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The subset search finds none on the four streams; the one design, whose streams carry no
    // utilities at exchanger ports, is taken as the retrofit base at once; with two the form
    // chooses.
    EXPECT_TRUE(has(run.out, "Error NoSubsetsFound|No sub-network was found: the streams balance only all together."))
        << run.out;
    EXPECT_TRUE(has(run.out, "3: cmd SelectRetrofitNow\n  result 1\n")) << run.out;
    EXPECT_FALSE(has(run.out, "RetDesStrmUntied")) << run.out;
    EXPECT_TRUE(has(run.out, "View base|SelectBaseCaseForRetrofitView")) << run.out;
}

TEST(HostViewDesigns, ANewProjectAndANewCaseAreBuiltFromNothingAndSaved) {
    const HostRun project = RunHost("view --new hi-project P --open case --form --json");
    ASSERT_EQ(0, project.exitCode) << project.out.substr(0, 2000);
    EXPECT_TRUE(has(project.out, "\"form\":{\"view\":\"P\",\"type\":\"HeatIntegrationGrassRootObject\"")) << project.out;
    EXPECT_TRUE(has(project.out, "{\"view\":\"P\",\"type\":\"HIDesignViewerGrassRootProjectObject\""));
    EXPECT_TRUE(has(project.out, "{\"view\":\"Scenario 1\",\"type\":\"HIDesignViewerGrassRootScenarioObject\""));
    EXPECT_TRUE(has(project.out, "{\"view\":\"Design 1\",\"type\":\"HIDesignViewerGrassRootDesignObject\""));
    ScratchFile selected("view", "selected.txt", "open Viewable.299\n");
    EXPECT_TRUE(has(RunHost("view --new hi-project P --open case --script " + selected.path).out,
                    "1: open Viewable.299\n  text Scenario 1\n"));

    ScratchFile saved("view", "case.kcase", "", false);
    ScratchFile script("view", "case.txt",
                       "text ExtraData.201\nopen HIDesignViewerDesign.200.0\ntext ExtraData.250\nopen MyOwnerObject\n"
                       "cmd Convert\nopen ChiGrassRootView.200(HI Project 1)\nopen HIDesignViewerProject.200.0\n"
                       "text ExtraData.210.1\ndims HIDesignViewerScenario.200\nopen HIDesignViewerScenario.200(C)\n");
    const HostRun single = RunHost("view --new hi-case C --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, single.exitCode) << single.out;
    EXPECT_TRUE(has(single.out, "1: text ExtraData.201\n  text C\n")) << single.out;
    EXPECT_TRUE(has(single.out, "2: open HIDesignViewerDesign.200.0\n  text Design1\n")) << single.out;
    EXPECT_TRUE(has(single.out, "3: text ExtraData.250\n  text C HEN\n")) << single.out;
    EXPECT_TRUE(has(single.out, "8: text ExtraData.210.1\n  text HI Project 1\n")) << single.out;
    EXPECT_TRUE(has(single.out, "9: dims HIDesignViewerScenario.200\n  dims 1\n")) << single.out;
    EXPECT_TRUE(has(single.out, "10: open HIDesignViewerScenario.200(C)\n  text C\n")) << single.out;
    // The converted study is saved under its new name and reopens with its views.
    const HostRun again = RunHost("view " + saved.path + " --open project --form --json");
    ASSERT_EQ(0, again.exitCode) << again.out.substr(0, 2000);
    EXPECT_TRUE(has(again.out, "\"form\":{\"view\":\"HI Project 1\"")) << again.out.substr(0, 400);
    EXPECT_EQ(0, RunHost("targets " + saved.path).exitCode);

    for (const char* bad : {"view --new hi-site X", "view --new hi-case", "view --new hi-case C extra.csv"}) {
        const HostRun refused = RunHost(bad);
        EXPECT_EQ(2, refused.exitCode) << bad << refused.out;
    }
}

// A one-scenario case given its own name again takes it as it is: answer 1, no message, the case
// keeps its name.
TEST(HostViewDesigns, ASingleScenarioCaseTakesItsOwnNameAgain) {
    ScratchFile script("view", "rename-single.txt", "settext ExtraData.201 Alpha\ntext ExtraData.201\n");
    const HostRun run = RunHost("view --new hi-case Alpha --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: settext ExtraData.201 Alpha\n  result 1\n")) << run.out;
    EXPECT_FALSE(has(run.out, "Error ")) << run.out;
    EXPECT_TRUE(has(run.out, "2: text ExtraData.201\n  text Alpha\n")) << run.out;
}

// A single-scenario study opens the view --open names, new or saved, as a project case does: its
// design view, its grid, or its scenario; a name that is not there opens nothing (exit 1), so no
// script meant for a design reads the scenario's cells.
TEST(HostViewDesigns, ASingleScenarioCaseOpensTheViewNamedOrNone) {
    ScratchFile saved("view", "single.kcase", "", false);
    ScratchFile name("view", "name.txt", "text ExtraData.201\n");
    ASSERT_EQ(0, RunHost("view --new hi-case Alpha --script " + name.path + " --save " + saved.path).exitCode);
    struct Row {
        const char* open;
        int exit;
        const char* shows;
    };
    const Row rows[] = {{"design", 0, "\"view\":\"Design1\",\"type\":\"HIDesignObject\""},
                        {"design=Design1", 0, "\"view\":\"Design1\",\"type\":\"HIDesignObject\""},
                        {"grid", 0, "\"view\":\"Design1 HENDiagram\""},
                        {"scenario", 0, "\"view\":\"Alpha\""},
                        {"design=Nope", 1, "no view design=Nope"},
                        {"grid=Nope", 1, "no view grid=Nope"},
                        {"scenario=Nope", 1, "no view scenario=Nope"}};
    for (const std::string& input : {std::string("--new hi-case Alpha"), saved.path})
        for (const Row& r : rows) {
            const HostRun run = RunHost("view " + input + " --open " + r.open + " --form --json");
            EXPECT_EQ(r.exit, run.exitCode) << input << " " << r.open << "\n" << run.out.substr(0, 600);
            EXPECT_TRUE(has(run.out.substr(0, 600), r.shows)) << input << " " << r.open << "\n" << run.out.substr(0, 600);
        }
}

}  // namespace

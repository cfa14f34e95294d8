// A command acts on the item the user selected, and on nothing else. Each row selects an item
// that is not the current one (a scenario, a design, a stream row, a schedule through its event),
// gives the command, and reads back both the selected item (changed) and the other (as it was);
// where the selection must survive a save, the case is saved and reopened between the two scripts.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Selection {
    const char* label;
    std::string input;   // what `view` opens, with its options
    std::string script;  // selects an item that is not the current one, and gives the command
    std::string reopenedScript;  // when not empty: run on the case saved by `script`, reopened
    std::vector<std::string> expected;  // what the last run shows when the command acted on the selection
    const char* knownFailure = nullptr;  // a fault being mended elsewhere
};
[[maybe_unused]] void PrintTo(const Selection& s, std::ostream* os) { *os << s.label; }

// The operated network, locked for operation, as the schedules need it.
std::string OperatedCase() {
    static const ScratchFile file("sameselect", "operated.case", "", false);
    static const int made = RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                                    ExamplePath("operated-network.csv") + " --save " + file.path)
                                .exitCode;
    (void)made;
    return file.path;
}

const std::vector<Selection>& Selections() {
    static const std::vector<Selection> rows = {
        // "Scenario 1" is added (and current); "base" is selected on the case view and renamed.
        {"ScenarioRenamed",
         ExamplePath("four-streams.csv") + " --open case",
         "open HIDesignViewerProject.200.0\ncmd AddDefaultScenario\nopen MyOwnerObject\nattach Viewable.299 base\n"
         "open HIDesignViewerProject.200.0\nsettext ExtraData.208 Winter\ncmd RenameView\n"
         "open HIDesignViewerScenario.200.0\nopen MyOwnerObject\nopen HIDesignViewerScenario.200.1\n",
         "",
         {"open HIDesignViewerScenario.200.0\n  text Winter\n", "open HIDesignViewerScenario.200.1\n  text Scenario 1\n"}},
        // "Winter" is added (and current); "Design 1" is selected on the case view and renamed.
        {"DesignRenamed",
         "--new hi-project P --open case",
         "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\ncmd AddDefaultDesign Winter\n"
         "open MyOwnerObject\nopen MyOwnerObject\nattach Viewable.299 Design 1\nopen HIDesignViewerProject.200.0\n"
         "open HIDesignViewerScenario.200.0\nsettext ExtraData.208 Summer\ncmd RenameView\ntext ExtraData.650.[]\n",
         "",
         {"text ExtraData.650.[]\n  text Summer\n  text Winter\n"}},
        // "Scenario 1" is added (and current); "base" is selected on the case view and deleted.
        {"ScenarioDeleted",
         ExamplePath("four-streams.csv") + " --open case",
         "open HIDesignViewerProject.200.0\ncmd AddDefaultScenario\nopen MyOwnerObject\nattach Viewable.299 base\n"
         "open HIDesignViewerProject.200.0\nanswer 1\nexpect ConfirmDeleteHIScenario\ncmd RemoveFromDesignView\n"
         "open HIDesignViewerScenario.200.0\n",
         "",
         {"open HIDesignViewerScenario.200.0\n  text Scenario 1\n"}},
        // "Winter" and "Summer" are added (the last current); "Design 1" is selected and removed at
        // once (no question): the two others stay.
        {"DesignRemovedWithoutAQuestion",
         "--new hi-project P --open case",
         "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\ncmd AddDefaultDesign Winter\n"
         "cmd AddDefaultDesign Summer\nopen MyOwnerObject\nopen MyOwnerObject\nattach Viewable.299 Design 1\n"
         "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\ncmd RemoveDesignFromEAC\n"
         "text ExtraData.650.[]\n",
         "",
         {"text ExtraData.650.[]\n  text Winter\n  text Summer\n"}},
        // The stream table's third row (C1) is selected and switched to a utility: H1, the first
        // row, stays a process stream.
        {"StreamRowSwitched",
         ExamplePath("four-streams.csv"),
         "set RowPos.105 2\ncmd SwitchProcessToUtil\ntext StrName.401.[]\n",
         "",
         {"text StrName.401.[]\n  text H1\n  text H2\n  text C2\n"}},
        // Two schedules, the second executed; the first is selected through its event, whose value
        // is typed, and executed: C1 at 0.6 kg/s, not the second schedule again.
        {"ScheduleExecuted",
         OperatedCase() + " --open design",
         "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
         "cmd AddEventToSchedule\nset ExtraData.358 0.55\ncmd AddScheduleToDesign\nset ExtraData.587 1\n"
         "settext HXSelection.389 E100\ncmd AddEventToSchedule\nset ExtraData.358 200\ncmd ExecuteSchedule\n"
         "open ScheduleTypeView.301(Event Summary)\nopen ScheduleItemView.300.0\nopen EventItemView.301.0\n"
         "set ExtraData.358 0.6\nopen MyOwnerObject\nopen MyOwnerObject\nopen MyOwnerObject\ncmd ExecuteSchedule\n"
         "get HeatFlow.304.[]\ntext ExtraData.230\n",
         "",
         {"value 240 155.629", "text Last schedule executed: Event-P1\n"}},
        // "Design 1" cloned as "Copy", saved; reopened, "Design 1" is selected and deleted: "Copy"
        // stays.
        {"DesignDeletedAfterAReopen",
         "--new hi-project P --open case",
         "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\nsettext ExtraData.208 Copy\n"
         "cmd CloneDesign\n",
         "attach Viewable.299 Design 1\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
         "answer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\ntext ExtraData.650.[]\n",
         {"text ExtraData.650.[]\n  text Copy\n"}},
    };
    return rows;
}

class HostSamePlantSelection : public ::testing::TestWithParam<Selection> {};

TEST_P(HostSamePlantSelection, TheCommandActsOnTheSelectedItemOnly) {
    const Selection& s = GetParam();
    if (s.knownFailure) GTEST_SKIP() << s.knownFailure;
    ScratchFile saved("sameselect", std::string(s.label) + ".case", "", false);
    HostRun run = RunViewScript(s.input, s.script, s.reopenedScript.empty() ? "" : " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    if (!s.reopenedScript.empty()) {
        run = RunViewScript(saved.path + " --open case", s.reopenedScript);
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    for (const std::string& shown : s.expected) EXPECT_NE(std::string::npos, run.out.find(shown)) << shown << run.out;
}

INSTANTIATE_TEST_SUITE_P(Selected, HostSamePlantSelection, ::testing::ValuesIn(Selections()),
                         [](const ::testing::TestParamInfo<Selection>& info) {
                             return std::string(info.param.label);
                         });

}  // namespace

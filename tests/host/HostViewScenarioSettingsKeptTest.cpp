// kestrin-host view: settings of a scenario that must survive a save and a reopen although
// nothing has been calculated from them yet, and readouts that must not go stale after an edit
// that leaves what they show unchanged.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A scenario with no process stream yet (a new project's, a new site's) has no placement to
// keep: the method chosen for it is the scenario's own and must reach the case file all the same.
struct EmptyScenario {
    const char* name;
    const char* kind;
};
void PrintTo(const EmptyScenario& c, std::ostream* out) { *out << c.name; }

class HostViewPlacementMethodKept : public ::testing::TestWithParam<EmptyScenario> {};

TEST_P(HostViewPlacementMethodKept, TheMethodOfAScenarioWithoutStreamsReopensAsChosen) {
    for (const char* method : {"2", "0"}) {
        SCOPED_TRACE(method);
        ScratchFile saved("settingskept", "empty.kcase", "", false);
        ScratchFile script("settingskept", "empty.txt",
                           std::string("open HIDesignViewerScenario.200.0\nset TargetMethod.450 ") + method + "\n");
        const HostRun run = RunHost(std::string("view --new ") + GetParam().kind + " Works --script " + script.path +
                                    " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const HostRun again =
            RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\nget TargetMethod.450\n", " --open project");
        ASSERT_EQ(0, again.exitCode) << again.out;
        EXPECT_TRUE(has(again.out, std::string("2: get TargetMethod.450\n  value ") + method + "\n")) << again.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, HostViewPlacementMethodKept,
                         ::testing::Values(EmptyScenario{"Project", "hi-project"},
                                           EmptyScenario{"Site", "hi-total-site"}),
                         [](const ::testing::TestParamInfo<EmptyScenario>& info) { return std::string(info.param.name); });

// On the four-stream table the automatic placement loads both utilities ("Load assigned").
// An economic edit moves no load: the status column reads the same after it, and after the case
// is saved and reopened.
struct EconomicEdit {
    const char* name;
    const char* line;
};
void PrintTo(const EconomicEdit& c, std::ostream* out) { *out << c.name; }

class HostViewPlacementStatusAfterEconomics : public ::testing::TestWithParam<EconomicEdit> {};

TEST_P(HostViewPlacementStatusAfterEconomics, TheUtilitiesStillReadLoadAssigned) {
    const std::string loaded = "text Name.234.[]\n  text Load assigned\n  text Load assigned\n";
    ScratchFile saved("settingskept", "economics.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      std::string("text Name.234.[]\n") + GetParam().line + "text Name.234.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: " + loaded)) << run.out;
    EXPECT_TRUE(has(run.out, "3: " + loaded)) << run.out;
    const HostRun again = RunViewScript(saved.path, "text Name.234.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: " + loaded)) << again.out;
}

INSTANTIATE_TEST_SUITE_P(Edits, HostViewPlacementStatusAfterEconomics,
                         ::testing::Values(EconomicEdit{"CapitalCostLaw", "set Cost.501.0 12000\n"},
                                           EconomicEdit{"UtilityPrice", "set CostPerEnergy.445.0 150\n"}),
                         [](const ::testing::TestParamInfo<EconomicEdit>& info) { return std::string(info.param.name); });

}  // namespace

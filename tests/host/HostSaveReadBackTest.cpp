// A value no case holds never costs the user their case: the form refuses it with its key where
// it knows the range, and where it does not the save reads the case back and refuses it; either
// way the job exits 1 and the file there stays byte for byte and still reopens. Values at the
// edges of what a case holds save and reopen.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Edit {
    const char* name;
    const char* script;
    const char* key;  // the form's refusal, or null where the form takes the value
};
[[maybe_unused]] void PrintTo(const Edit& e, std::ostream* os) { *os << e.name; }

class HostSaveOverInput : public ::testing::TestWithParam<Edit> {
protected:
    void SetUp() override {
        const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    ScratchFile saved{"readback", std::string("case-") + GetParam().name, "", false};
};

TEST_P(HostSaveOverInput, AValueNoCaseHoldsLeavesTheCaseAsItWas) {
    const std::string before = FileContents(saved.path);
    ScratchFile script("readback", std::string("edit-") + GetParam().name, GetParam().script);
    HostRun run = RunHost("view " + saved.path + " --script " + script.path + " --save " + saved.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    const std::string says = GetParam().key ? std::string("Error ") + GetParam().key + "|" : "it would not reopen";
    EXPECT_TRUE(has(run.out, says)) << run.out;
    EXPECT_EQ(before, FileContents(saved.path));
    // The case still reopens.
    run = RunHost("targets " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Edits, HostSaveOverInput,
                         ::testing::Values(Edit{"dtminAboveAnyCase", "set DeltaTemp.1 5000\n", "DeltaTViolationsError"},
                                           Edit{"supplyOfAHugeNumber", "set Temperature.402.0 1e308\n",
                                                "HotStreamInletTemperatureUpdateError"},
                                           Edit{"targetBelowAbsoluteZero", "set Temperature.403.1 -300\n",
                                                "HotStreamOutletTemperatureUpdateError"},
                                           Edit{"cpAboveAnyCase", "set HeatCapacityFlow.404.0 1e12\n", "MCpUpdateError"},
                                           Edit{"coefficientAboveAnyCase", "set HeatTransferCoeff.413.0 1e7\n", "HTCoeffUpdateError"},
                                           Edit{"utilityCostBelowZero", "set CostPerEnergy.445.0 -5\n", "SpecRange"}),
                         [](const ::testing::TestParamInfo<Edit>& info) { return std::string(info.param.name); });

// The edges of what a case holds are values like any other: saved, reopened, the same.
TEST(HostSaveReadBack, ValuesAtTheEdgesSaveAndReopen) {
    ScratchFile saved("readback", "edges.case", "", false);
    ScratchFile edit("readback", "edges.txt", "set DeltaTemp.1 1000\nset Temperature.402.0 5000\n");
    HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + edit.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ScratchFile read("readback", "edges-read.txt", "get DeltaTemp.1\nget Temperature.402.0\n");
    run = RunHost("view " + saved.path + " --script " + read.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "  value 1000 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 5000 C\n")) << run.out;
}

// Every switch and setting of the scenario's record comes back from a saved case as it was set,
// each in its own place: each case sets one of them away from its default and reads all of them
// back after reopening, so a flag stored or read in another's place shows as two wrong values.
// Read back: the equation-based switch, utilities at exchanger ports, the retrofit flag, the
// minimum F and the four level settings.
struct StoredSetting {
    const char* name;
    const char* script;  // the view script that sets it, or null for a retrofit run saved
    std::vector<double> expected;
};
[[maybe_unused]] void PrintTo(const StoredSetting& s, std::ostream* os) { *os << s.name; }

class HostScenarioSettingsReopen : public ::testing::TestWithParam<StoredSetting> {};

TEST_P(HostScenarioSettingsReopen, EachComesBackInItsOwnPlace) {
    const StoredSetting& s = GetParam();
    ScratchFile saved("readback", std::string("settings-") + s.name + ".case", "", false);
    if (s.script) {
        ScratchFile script("readback", std::string("settings-") + s.name + ".txt", s.script);
        const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + script.path + " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
    } else {
        const HostRun run = RunHost("retrofit " + ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv") +
                                    " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    const char* names[] = {"Switch.2005",    "Switch.2006",    "Switch.1001",    "ExtraData.765",
                           "ExtraData.766", "ExtraData.767", "ExtraData.768", "ExtraData.769"};
    std::string read;
    for (const char* name : names) read += std::string("get ") + name + "\n";
    ScratchFile readScript("readback", std::string("settings-read-") + s.name + ".txt", read);
    const HostRun reopened = RunHost("view " + saved.path + " --script " + readScript.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    ASSERT_EQ(s.expected.size(), std::size(names));
    for (std::size_t i = 0; i < s.expected.size(); ++i) {
        const std::vector<double> value = ScriptValues(reopened.out, static_cast<int>(i) + 1);
        ASSERT_EQ(1u, value.size()) << names[i] << "\n" << reopened.out;
        EXPECT_DOUBLE_EQ(s.expected[i], value[0]) << names[i] << "\n" << reopened.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    OneAtATime, HostScenarioSettingsReopen,
    ::testing::Values(StoredSetting{"Defaults", "", {0, 0, 0, 0.8, 5, 5, 5, 5}},
                      StoredSetting{"EquationBased", "set Switch.2005 1\n", {1, 0, 0, 0.8, 5, 5, 5, 5}},
                      StoredSetting{"UtilitiesAtPorts", "set Switch.2006 1\n", {0, 1, 0, 0.8, 5, 5, 5, 5}},
                      StoredSetting{"MinimumF", "set ExtraData.765 0.75\n", {0, 0, 0, 0.75, 5, 5, 5, 5}},
                      StoredSetting{"Levels", "set ExtraData.766 2\nset ExtraData.767 3\nset ExtraData.768 4\nset ExtraData.769 1\n",
                                    {0, 0, 0, 0.8, 2, 3, 4, 1}},
                      // A retrofit run marks the scenario a retrofit one and leaves its step counts.
                      StoredSetting{"Retrofit", nullptr, {0, 0, 1, 0.8, 1, 1, 5, 5}}),
    [](const ::testing::TestParamInfo<StoredSetting>& info) { return std::string(info.param.name); });

}  // namespace

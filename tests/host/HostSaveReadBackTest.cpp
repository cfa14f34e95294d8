// A value no case holds never costs the user their case: the form refuses it with its key where
// it knows the range, and where it does not the save reads the case back and refuses it; either
// way the job exits 1 and the file there stays byte for byte and still reopens. Values at the
// edges of what a case holds save and reopen.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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

}  // namespace

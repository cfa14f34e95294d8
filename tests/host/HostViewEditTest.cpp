// kestrin-host view edits a case through the scenario viewer's forms: DTmin and a supply
// temperature typed on the four-stream problem give the problem table's targets of the new
// data; the edited case saved and reopened (and read by `targets`) keeps them; a refused value
// exits 1 with its key and leaves the case file as it was; a study typed from nothing.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Problem tables worked by hand (DTmin 10 unless set; shifted temperatures hot -DTmin/2, cold +).
//  DTmin 15: H1 162.5->52.5, H2 142.5->22.5, C1 27.5->142.5, C2 87.5->147.5; intervals from the
//   top give +45, +7.5, -82.5, +87.5, -7.5: Qh 42.5, Qc 82.5, pinch at 87.5 shifted (95/80).
//  H1 supply 160: shifted 155; +30, +2.5, -82.5, +75, -15: Qh 50, Qc 60, pinch 90/80.
struct EditCase {
    const char* name;
    const char* script;
    std::vector<std::string> lines;
};
class HostViewEdit : public ::testing::TestWithParam<EditCase> {};
// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HostViewEdit, TypedDataGiveTheirProblemTableTargets) {
    ScratchFile script("viewedit", "script.txt", GetParam().script);
    const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const std::string& line : GetParam().lines) EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
}
INSTANTIATE_TEST_SUITE_P(
    Edits, HostViewEdit,
    ::testing::Values(
        EditCase{"dtmin", "set DeltaTemp.1 15\nget HeatFlow.107\nget HeatFlow.108\nget Temperature.200.0\nget Temperature.203.0\n",
                 {"  value 42.5 kW\n", "  value 82.5 kW\n", "  value 95 C\n", "  value 80 C\n"}},
        EditCase{"supply", "set Temperature.402.0 160\nget HeatFlow.107\nget HeatFlow.108\nget Temperature.402.[]\n",
                 {"  value 50 kW\n", "  value 60 kW\n", "  value 160 150 20 80 C\n"}},
        EditCase{"load", "set HeatFlow.405.2 120\nget HeatFlow.405.[]\n", {"  value 330 180 120 240 kW\n"}}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(HostViewEditSave, TheEditedCaseReopensAndARefusedValueLeavesItAsItWas) {
    ScratchFile saved("viewedit", "edited.case", "", false);
    ScratchFile edit("viewedit", "edit.txt", "set Temperature.402.0 160\n");
    HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + edit.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ScratchFile read("viewedit", "read.txt", "get Temperature.402.[]\nget HeatFlow.107\n");
    run = RunHost("view " + saved.path + " --script " + read.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "  value 160 150 20 80 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 50 kW\n")) << run.out;
    run = RunHost("targets " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "hot utility               50.000 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "cold utility              60.000 kW")) << run.out;

    const std::string before = FileContents(saved.path);
    for (const char* refused : {"set DeltaTemp.1 0\n", "set Temperature.402.0 60\n", "set HeatCapacityFlow.404.1 -2\n"}) {
        ScratchFile bad("viewedit", "bad.txt", refused);
        run = RunHost("view " + saved.path + " --script " + bad.path + " --save " + saved.path);
        EXPECT_EQ(1, run.exitCode) << refused << run.out;
        EXPECT_TRUE(has(run.out, "Error ")) << run.out;
        EXPECT_EQ(before, FileContents(saved.path)) << refused;
    }
}

// H1 150->40 C CP 2 and C1 60->130 C CP 3 at DTmin 10: shifted 145, 135, 65, 35; the intervals
// give +20, -70, +60, so Qh 50, Qc 60 and the pinch at 65 shifted (70/60).
TEST(HostViewEditNew, AStudyTypedFromNothingGivesItsTargets) {
    ScratchFile script("viewedit", "new.txt",
                       "settext StrName.401.0 H1\nsettext StrName.401.1 C1\n"
                       "set Temperature.402.0 150\nset Temperature.403.0 40\nset HeatCapacityFlow.404.0 2\n"
                       "set Temperature.402.1 60\nset Temperature.403.1 130\nset HeatCapacityFlow.404.1 3\n"
                       "dims Temperature.402\nget HeatFlow.107\nget HeatFlow.108\nget Temperature.200.0\nget Temperature.203.0\n");
    const HostRun run = RunHost("view --new hi-project Study --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"  dims 2\n", "  value 50 kW\n", "  value 60 kW\n", "  value 70 C\n", "  value 60 C\n"})
        EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
}

}  // namespace

// Operating mode from a user's input: stream tables carry the transport properties an operated
// network needs, each refused with its line and column when it is out of range or incomplete, and
// a network built from such a table locks from its design viewer, keeps every unit's duty while
// locked and gets them back when unlocked.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kHeader = "name,supply,target,cp,kind,thermal_conductivity,viscosity,density,specific_heat\n";
const std::string kColdRow = "C1,20,135,2,process,0.6,0.5,990,4\n";

struct Refusal {
    const char* what;
    std::string rows;
    const char* says;
};

std::ostream& operator<<(std::ostream& out, const Refusal& r) { return out << r.what; }

class TransportPropertyRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(TransportPropertyRefusal, NamesTheLineAndTheColumn) {
    const Refusal& r = GetParam();
    ScratchFile table("operating-mode", "refused.csv", kHeader + r.rows);
    const HostRun run = RunHost("targets " + table.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, r.says)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    StreamTable, TransportPropertyRefusal,
    testing::Values(
        Refusal{"ZeroConductivity", "H1,170,60,3,process,0,0.8,850,2\n" + kColdRow,
                "line 2: H1: column thermal_conductivity: a thermal conductivity must be above 0"},
        Refusal{"ViscosityAboveItsRange", "H1,170,60,3,process,0.12,1e10,850,2\n" + kColdRow,
                "line 2: H1: column viscosity: 1e+10 is outside the range of viscosity (0.0001 to 1e+09 cP)"},
        Refusal{"NegativeDensity", "H1,170,60,3,process,0.12,0.8,-850,2\n" + kColdRow,
                "line 2: H1: column density: a density must be above 0"},
        Refusal{"SpecificHeatBelowItsRange", "H1,170,60,3,process,0.12,0.8,850,0.001\n" + kColdRow,
                "line 2: H1: column specific_heat: 0.001 is outside the range of specific_heat"},
        Refusal{"OnePropertyMissing", "H1,170,60,3,process,0.12,0.8,,2\n" + kColdRow, "line 2: H1: has no density"},
        Refusal{"PropertiesOnOneSegmentOnly",
                "H1,170,100,3,process,0.12,0.8,850,2\nH1,100,60,3,process,,,,\n" + kColdRow,
                "line 3: H1: segment 2 has no thermal_conductivity"},
        // 3 / 2 = 1.5 kg/s on the first segment, 4 / 2 = 2 kg/s on the second.
        Refusal{"SegmentsOfTwoMassFlows",
                "H1,170,100,3,process,0.12,0.8,850,2\nH1,100,60,4,process,0.12,0.8,850,2\n" + kColdRow,
                "a mass flow of 2 kg/s, where segment 1 gives 1.5 kg/s"},
        Refusal{"UtilityWithProperties", "H1,170,60,3,process,0.12,0.8,850,2\nHP Steam,250,249,,utility,0.1,1,800,2\n",
                "line 3: HP Steam: is a utility: utilities take their transport properties from the site's default"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.what); });

// The example pair as a saved case, opened at its design viewer with a script.
struct OperatedCase {
    OperatedCase() {
        const HostRun run = RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                                    ExamplePath("operated-network.csv") + " --save " + saved.path);
        EXPECT_EQ(0, run.exitCode) << run.out;
    }
    HostRun View(const std::string& steps) {
        ScratchFile script("operating-mode", "script.txt", steps);
        return RunHost("view " + saved.path + " --open design --script " + script.path);
    }
    ScratchFile saved{"operating-mode", "operated.case", "", false};
};

// The textbook network (E1 240, E2 30, E3 90, E4 90, heater 20, cooler 60 kW) on the streams with
// properties: locked, its duties come from the frozen areas (to a few parts in a million), and
// unlocking gives back each duty the design had, exactly, not the operated one.
TEST(HostOperatingMode, UnlockGivesBackTheDesignedDutiesExactly) {
    ScratchFile saved("operating-mode", "textbook.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                         ExamplePath("four-streams-network.csv") + " --save " + saved.path)
                     .exitCode);
    ScratchFile script("operating-mode", "unlock.txt",
                       "get HeatFlow.304.[]\ncmd LockOperation\ncmd UnlockOperation\nget HeatFlow.304.[]\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get HeatFlow.304.[]\n  value 240 30 90 90 20 60 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get HeatFlow.304.[]\n  value 240 30 90 90 20 60 kW")) << run.out;
}

TEST(HostOperatingMode, ATableWithTransportPropertiesLocks) {
    OperatedCase c;
    const HostRun run = c.View("cmd LockOperation\nget ExtraData.752.0\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "OpStrmPhysData")) << run.out;
    EXPECT_TRUE(has(run.out, "View Network|OperationsSetUpView")) << run.out;
    // The textbook table has none: its network is refused with the reason.
    ScratchFile saved("operating-mode", "plain.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    ScratchFile script("operating-mode", "lock.txt", "cmd LockOperation\n");
    const HostRun plain = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_TRUE(has(plain.out, "OpStrmPhysData")) << plain.out;
}

// E100 and E101 leave 80 kW to heat on C1 and 90 kW and 30 kW to cool on H1 and H2, both coolers on
// one cooling water. Locking keeps each unit at its duty, and unlocking gives every one of them
// back as specified, editable again.
TEST(HostOperatingMode, LockAndUnlockKeepEveryDutyOfCoolersOnOneCoolingWater) {
    OperatedCase c;
    const HostRun run = c.View(
        "text Name.300.[]\nget HeatFlow.304.[]\ncmd LockOperation\nget HeatFlow.304.[]\ncmd UnlockOperation\n"
        "get HeatFlow.304.[]\nstatus HeatFlow.304.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: get HeatFlow.304.[]\n  value 240 150 80 90 30 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get HeatFlow.304.[]\n  value 240 150 80 90 30 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get HeatFlow.304.[]\n  value 240 150 80 90 30 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "7: status HeatFlow.304.[]\n  editable")) << run.out;
}

}  // namespace

// Operating mode from a user's input: stream tables carry the transport properties an operated
// network needs, each refused with its line and column when it is out of range or incomplete, and
// a network built from such a table locks from its design viewer, keeps every unit's duty while
// locked and gets them back when unlocked.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// A network on the streams with properties, saved as a case, locked and unlocked at its design
// viewer. Locked, each exchanger's duty comes from its frozen area (within 0.05 % over ten
// segments, its Ft included); unlocking gives back each duty, area and outlet temperature the
// design had, exactly, and each with the status it had (a duty the design worked out from a given
// area or outlet temperature is read-only again, the value given editable).
struct GivenBack {
    const char* what;
    std::string network;  // an example's name, or the rows of a table
    std::vector<double> duties;
    std::string typed = "";  // typed at the viewer before the lock
};

std::ostream& operator<<(std::ostream& out, const GivenBack& g) { return out << g.what; }

class UnlockGivesBack : public testing::TestWithParam<GivenBack> {};

TEST_P(UnlockGivesBack, EveryDutyAndAreaAsDesigned) {
    const GivenBack& g = GetParam();
    const bool example = g.network.find('\n') == std::string::npos;
    ScratchFile table("operating-mode", "network.csv", example ? "" : g.network, !example);
    ScratchFile saved("operating-mode", "given.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                         (example ? ExamplePath(g.network) : table.path) + " --save " + saved.path)
                     .exitCode);
    // Duties, areas, hot and cold outlets, then the status of each in the first two units' cells.
    const char* cells[] = {"HeatFlow.304", "Area.302", "Temperature.346", "Temperature.343"};
    std::string read;
    for (const char* cell : cells) read += std::string("get ") + cell + ".[]\n";
    for (const char* cell : cells) read += std::string("status ") + cell + ".0\nstatus " + cell + ".1\n";
    // The degrees of freedom: a value given back calculated that was given (a splitter's share) frees one.
    read += "text ExtraData.211\n";
    const int first = static_cast<int>(std::count(g.typed.begin(), g.typed.end(), '\n')) + 1, after = first + 16;
    ScratchFile script("operating-mode", "unlock.txt",
                       g.typed + read + "cmd LockOperation\nget HeatFlow.304.[]\ncmd UnlockOperation\n" + read);
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> designed = ScriptValues(run.out, first), locked = ScriptValues(run.out, first + 14);
    ASSERT_EQ(g.duties.size(), designed.size()) << run.out;
    ASSERT_EQ(g.duties.size(), locked.size()) << run.out;
    for (std::size_t i = 0; i < g.duties.size(); ++i) {
        EXPECT_NEAR(g.duties[i], designed[i], 1e-6) << i << run.out;
        EXPECT_NEAR(g.duties[i], locked[i], 5e-4 * g.duties[i]) << i << run.out;
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ScriptValues(run.out, first + i), ScriptValues(run.out, after + i)) << i << run.out;
    const auto status = [&](int step) {
        const std::size_t at = run.out.find("\n" + std::to_string(step) + ": status ");
        return at == std::string::npos ? std::string() : run.out.substr(run.out.find('\n', at + 1), 12);
    };
    for (int i = 4; i < 12; ++i) EXPECT_EQ(status(first + i), status(after + i)) << i << run.out;
    const auto freedom = [&](int step) {
        const std::string read = "\n" + std::to_string(step) + ": text ExtraData.211\n";
        const std::size_t at = run.out.find(read);
        return at == std::string::npos ? std::string() : run.out.substr(at + read.size(), run.out.find('\n', at + read.size()) - at - read.size());
    };
    EXPECT_FALSE(freedom(first + 12).empty()) << run.out;
    EXPECT_EQ(freedom(first + 12), freedom(after + 12)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    OperatedStreams, UnlockGivesBack,
    testing::Values(
        // The textbook network: E1 240, E2 30, E3 90, E4 90, heater 20, cooler 60 kW.
        GivenBack{"Duties", "four-streams-network.csv", {240, 30, 90, 90, 20, 60}},
        // E100 and E101 given by the areas their 240 and 150 kW need at U 0.1 (one by its area,
        // then both).
        GivenBack{"OneArea",
                  "name,hot,cold,duty,area,hot_order,cold_order\nE100,H1,C2,240,,1,1\nE101,H2,C1,,36.36814821,1,1\n",
                  {240, 150, 80, 90, 30}},
        GivenBack{"Areas",
                  "name,hot,cold,area,hot_order,cold_order\nE100,H1,C2,131.8334746,1,1\nE101,H2,C1,36.36814821,1,1\n",
                  {240, 150, 80, 90, 30}},
        // E101 given by its hot outlet, H2 leaving it at 150 - 150 / 1.5 = 50 C; then E100 by its
        // area and E101 by its cold outlet, C1 leaving it at 20 + 150 / 2 = 95 C.
        GivenBack{"OutletTemperature", "operated-network.csv", {240, 150, 80, 90, 30},
                  "set HeatFlow.304.1 empty\nset Temperature.346.1 50\n"},
        GivenBack{"AreaAndOutletTemperature",
                  "name,hot,cold,duty,area,hot_order,cold_order\nE100,H1,C2,,131.8334746,1,1\nE101,H2,C1,150,,1,1\n",
                  {240, 150, 80, 90, 30}, "set HeatFlow.304.1 empty\nset Temperature.343.1 95\n"},
        // Shell-and-tube units on the fewest shells that keep Ft at 0.8 (E100 4 shells at 0.8238,
        // E101 3 at 0.9120; the viewer lists the heater and coolers first): the frozen areas give
        // the designed duties only with their Ft.
        // C1 split 0.75 / 0.25 between E3 and E4, the first share given: given again after the unlock.
        GivenBack{"Split", "four-streams-split-network.csv", {240, 90, 30, 90, 20, 60}},
        GivenBack{"ShellAndTube",
                  "name,hot,cold,duty,hot_order,cold_order,type\nE100,H1,C2,240,1,1,shell-and-tube\n"
                  "E101,H2,C1,150,1,1,shell-and-tube\n",
                  {80, 90, 30, 240, 150}}),
    [](const testing::TestParamInfo<GivenBack>& info) { return std::string(info.param.what); });

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
    // The refusal names the stream and where its properties are typed, and locks nothing.
    EXPECT_TRUE(has(plain.out, "1: cmd LockOperation\n  result 0\n")) << plain.out;
    EXPECT_TRUE(has(plain.out, "Error OpStrmPhysData|Stream H1 lacks the transport properties")) << plain.out;
    // A cooling water of the user's own (CW, 20 -> 25 C) takes its film coefficient from the site's
    // defaults, not from transport properties: the network on it locks.
    std::string streams;
    {
        std::ifstream in(ExamplePath("operated-streams.csv"));
        for (std::string line; std::getline(in, line);)
            streams += (line.rfind("Cooling Water", 0) == 0 ? std::string("CW,20,25,,,utility") : line) + "\n";
    }
    ScratchFile own("operating-mode", "own-utility.csv", streams);
    ScratchFile ownCase("operating-mode", "own-utility.case", "", false);
    const HostRun made = RunHost("design " + own.path + " " + ExamplePath("operated-network.csv") + " --save " + ownCase.path);
    ASSERT_EQ(0, made.exitCode) << made.out;
    ASSERT_TRUE(has(made.out, "H1 -> CW: duty 90.00")) << made.out;
    const HostRun ownLock = RunHost("view " + ownCase.path + " --open design --script " + script.path);
    EXPECT_TRUE(has(ownLock.out, "1: cmd LockOperation\n  result 1\n")) << ownLock.out;
    EXPECT_FALSE(has(ownLock.out, "OpStrmPhysData")) << ownLock.out;
}

// E100 (R = 80 / 60 = 1.333, P = 60 / 90 = 0.667) in two 1-2 shells needs each to reach
// P1 = 0.559, and E101 (R = 100 / 75, P = 75 / 130 = 0.577) in one, both above the 1-2 shell's
// limit 2 / (1 + R + sqrt(1 + R^2)) = 0.5: no Ft exists. Each is infeasible with its shells named,
// the totals are not available, and the lock refuses the network.
TEST(HostOperatingMode, ShellsTooFewForTheirTemperaturesAreInfeasible) {
    const double r = 80.0 / 60.0, limit = 2.0 / (1.0 + r + std::sqrt(1.0 + r * r));
    const double z = std::sqrt((1.0 - r * 60.0 / 90.0) / (1.0 - 60.0 / 90.0)), p1 = (z - 1.0) / (z - r);
    ASSERT_NEAR(0.5, limit, 1e-12);
    ASSERT_NEAR(0.559, p1, 1e-3);
    ScratchFile table("operating-mode", "shells.csv",
                      "name,hot,cold,duty,hot_order,cold_order,type,shells\nE100,H1,C2,240,1,1,shell-and-tube,2\n"
                      "E101,H2,C1,150,1,1,shell-and-tube,1\n");
    ScratchFile saved("operating-mode", "shells.case", "", false);
    const HostRun run = RunHost("design " + ExamplePath("operated-streams.csv") + " " + table.path + " --save " + saved.path);
    EXPECT_TRUE(has(run.out, "E100 (exchanger) H1 -> C2: duty 240.00, hot 170.00 -> 90.00, cold 80.00 -> 140.00, "
                             "approach 10.00, area not known")) << run.out;
    EXPECT_TRUE(has(run.out, "Ft not known, shells 2, complete, INFEASIBLE\n  E101")) << run.out;
    EXPECT_TRUE(has(run.out, "  capital cost              not available")) << run.out;
    EXPECT_TRUE(has(run.out, "Note: E100 is given 2 shells in series, too few for its temperatures")) << run.out;
    EXPECT_TRUE(has(run.out, "Note: E101 is given 1 shell in series, too few for its temperatures")) << run.out;
    ScratchFile script("operating-mode", "lock.txt", "expect OpDesInfes\ncmd LockOperation\n");
    const HostRun lock = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_TRUE(has(lock.out, "2: cmd LockOperation\n  result 0\n")) << lock.out;
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
    // Locked, each exchanger is solved from its frozen area over ten segments: within 0.05 %.
    const std::vector<double> designed = {240, 150, 80, 90, 30}, locked = ScriptValues(run.out, 4);
    ASSERT_EQ(designed.size(), locked.size()) << run.out;
    for (std::size_t i = 0; i < designed.size(); ++i) EXPECT_NEAR(designed[i], locked[i], 5e-4 * designed[i]) << i;
    EXPECT_TRUE(has(run.out, "6: get HeatFlow.304.[]\n  value 240 150 80 90 30 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "7: status HeatFlow.304.[]\n  editable")) << run.out;
}

// The README's what-if run. E101 was designed at 150 kW between H2 (cp 1.5, 150 -> 50 C) and
// C1 (cp 2, 20 -> 95 C): LMTD = (55 - 30) / ln(55 / 30) = 41.2447 C, so UA = 3.63681 kW/C. With
// C1 at 0.55 kg/s (cp 2.2) the frozen exchanger gives, by effectiveness-NTU with H2 the smaller
// flow: Cr = 1.5 / 2.2, NTU = 3.63681 / 1.5 = 2.42454, e = (1 - exp(-NTU (1 - Cr))) /
// (1 - Cr exp(-NTU (1 - Cr))) = 0.785178, Q = e 1.5 (150 - 20) = 153.108 kW. The heater then takes
// C1 from 20 + 153.108 / 2.2 = 89.594 C to 135 C, 2.2 x 45.406 = 99.892 kW, and the cooler H2 from
// 150 - 153.108 / 1.5 = 47.928 C to 30 C, 26.892 kW. E100, on streams the event leaves alone, keeps
// its 240 kW and H1's cooler its 90 kW. The locked network solves each exchanger over ten segments,
// within 0.05 % of these; the heater and cooler close their streams' balances exactly.
TEST(HostOperatingMode, AFlowRateEventGivesTheEffectivenessNTUDuties) {
    const double ua = 150.0 / ((55.0 - 30.0) / std::log(55.0 / 30.0));
    const double cr = 1.5 / 2.2, ntu = ua / 1.5;
    const double e = (1.0 - std::exp(-ntu * (1.0 - cr))) / (1.0 - cr * std::exp(-ntu * (1.0 - cr)));
    const double q = e * 1.5 * (150.0 - 20.0);
    const std::vector<double> expected = {240.0, q, 2.2 * (135.0 - 20.0) - q, 90.0, 1.5 * (150.0 - 30.0) - q};
    ASSERT_NEAR(99.892, expected[2], 1e-3);
    OperatedCase c;
    const HostRun run = c.View(
        "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
        "cmd AddEventToSchedule\nget ExtraData.358\nset ExtraData.358 0.55\ncmd ExecuteSchedule\n"
        "get HeatFlow.304.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    // The event starts from C1's mass flow, 2 kW/C over 4 kJ/kg.C.
    EXPECT_TRUE(has(run.out, "6: get ExtraData.358\n  value 0.5 kg/s")) << run.out;
    const std::vector<double> duties = ScriptValues(run.out, 9);
    ASSERT_EQ(expected.size(), duties.size()) << run.out;
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(expected[i], duties[i], 5e-4 * expected[i]) << i;
    EXPECT_NEAR(3.0 * (170.0 - 60.0) - duties[0], duties[3], 1e-6);
    EXPECT_NEAR(2.2 * (135.0 - 20.0) - duties[1], duties[2], 1e-6);
    EXPECT_NEAR(1.5 * (150.0 - 30.0) - duties[1], duties[4], 1e-6);
}

// Each run of a schedule starts from the locked state: the same schedule gives the same duties
// however often it runs, and the default state gives back the locked duties.
TEST(HostOperatingMode, AScheduleRunAgainGivesTheSameDuties) {
    OperatedCase c;
    const std::string run3 = "set ExtraData.358 0.55\ncmd ExecuteSchedule\nget HeatFlow.304.[]\n";
    const HostRun run = c.View("get HeatFlow.304.[]\ncmd LockOperation\nget HeatFlow.304.[]\ncmd AddScheduleToDesign\n"
                               "set ExtraData.587 6\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\n" +
                               run3 + run3 + run3 + "cmd ResetDefaultState\nget HeatFlow.304.[]\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> locked = ScriptValues(run.out, 3), first = ScriptValues(run.out, 10);
    ASSERT_EQ(5u, first.size()) << run.out;
    EXPECT_GT(first[2], 99.8) << run.out;
    EXPECT_EQ(first, ScriptValues(run.out, 13)) << run.out;
    EXPECT_EQ(first, ScriptValues(run.out, 16)) << run.out;
    EXPECT_EQ(locked, ScriptValues(run.out, 18)) << run.out;
}

// The textbook network (E1 240 kW H1-C2, E2 90 kW H2-C1, E3 90 kW H1-C1, E4 30 kW H2-C1, heater
// on C1, cooler on H2) locked, with C1 at 0.45 kg/s (1.8 kW/C): the exchangers in loops on C1
// and H2 are solved together, and the heater and cooler close C1 (1.8 x 115 = 207 kW) and H2
// (1.5 x 120 = 180 kW).
TEST(HostOperatingMode, ALockedNetworkOfLoopsAnswersAFlowRateEvent) {
    ScratchFile saved("operating-mode", "loops.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                         ExamplePath("four-streams-network.csv") + " --save " + saved.path)
                     .exitCode);
    ScratchFile script("operating-mode", "loops.txt",
                       "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                       "cmd AddEventToSchedule\nset ExtraData.358 0.45\ncmd ExecuteSchedule\nget HeatFlow.304.[]\n");
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    const std::vector<double> d = ScriptValues(run.out, 8);
    ASSERT_EQ(6u, d.size()) << run.out;
    EXPECT_NEAR(207.0, d[1] + d[2] + d[3] + d[4], 1e-6) << run.out;
    EXPECT_NEAR(180.0, d[1] + d[3] + d[5], 1e-6) << run.out;
    EXPECT_LT(d[2], 90.0) << run.out;
}

}  // namespace

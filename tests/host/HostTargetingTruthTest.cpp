// What kestrin-host reports of targets that depend on which streams take part: utilities that carry
// no load, tables without process heat, forbidden matches and the area method asked for.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Table {
    std::string path;
    explicit Table(const std::string& stem, const std::string& rows) {
        path = "/tmp/kestrin-truth-" + std::to_string(getpid()) + "-" + stem + ".csv";
        std::ofstream(path) << "name,supply,target,cp,h,kind\n" << rows;
    }
    ~Table() { std::remove(path.c_str()); }
};

std::string Field(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}", at) - at);
}

double Number(const std::string& json, const std::string& key) { return std::atof(Field(json, key).c_str()); }

const char* kFourStreams =
    "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\nC1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n";
const char* kTwoByTwo = "H1,150,50,1,1,process\nH2,150,50,1,1,process\nC1,40,140,1,1,process\nC2,40,90,2,1,process\n";

struct ProblemCase {
    const char* name;
    std::string rows;
    const char* pinches;  // the start of the JSON list expected
    const char* problemType;
};

class HostProblemKinds : public ::testing::TestWithParam<ProblemCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ProblemCase& c, std::ostream* os) { *os << c.name; }

// The energy target works on the process streams alone: a utility row, used or not, adds no
// pinch, the dry end of a threshold problem is no pinch, and a table without process heat needs
// no utility (type 3).
TEST_P(HostProblemKinds, PinchesAndProblemTypeComeFromTheProcess) {
    const ProblemCase& c = GetParam();
    Table table(c.name, c.rows);
    HostRun run = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(std::string("\"process_pinches\": ") + c.pinches)) << run.out;
    EXPECT_EQ(c.problemType, Field(run.out, "problem_type")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostProblemKinds,
    ::testing::Values(
        ProblemCase{"thresholdWithUtilities",
                    "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                    "[]", "2"},
        ProblemCase{"thresholdWithoutUtilities", "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\n", "[]", "2"},
        ProblemCase{"pinchedWithAnUnusedSteam",
                    std::string(kFourStreams) + "MP Steam,,,,,utility\nCooling Water,,,,,utility\nHP Steam,,,,,utility\n",
                    "[{\"hot\": 90, \"cold\": 80, \"shifted\": 85, ", "0"},
        // No process stream: no problem to tell a kind of, so none is reported.
        ProblemCase{"onlyUtilities", "HP Steam,,,,,utility\nCooling Water,,,,,utility\n", "[]", "null"},
        // Balanced but for 1e-6 kW of heat-balance noise: still no utility (not a threshold).
        ProblemCase{"balancedButForNoise", "H1,200,100,2,0.2,process\nC1,90,190,2.00000001,0.2,process\n", "[]", "3"}),
    [](const auto& info) { return std::string(info.param.name); });

// H1 200 -> 100 C and C1 90 -> 190 C at 2 kW/C balance at a uniform 10 K: 200 kW over U 0.1 is
// 200 m2 in one unit, with no utility. C1 at 2.00000001 kW/C (1e-6 kW more, a rounded table's
// noise) is the same problem: no threshold, and area, units and costs as they were.
TEST(HostBalanceNoise, IsNoUtilityAndWithholdsNothing) {
    Table exact("balanced", "H1,200,100,2,0.2,process\nC1,90,190,2,0.2,process\n");
    Table noisy("noisy", "H1,200,100,2,0.2,process\nC1,90,190,2.00000001,0.2,process\n");
    HostRun a = RunHost("targets " + exact.path + " --json");
    HostRun b = RunHost("targets " + noisy.path + " --json");
    ASSERT_EQ(0, a.exitCode) << a.out;
    ASSERT_EQ(0, b.exitCode) << b.out;
    EXPECT_EQ("200", Field(a.out, "area_countercurrent")) << a.out;
    EXPECT_EQ("3", Field(b.out, "problem_type")) << b.out;
    for (const char* key : {"area_countercurrent", "area_shell_tube", "units_overall", "shells", "capital_cost", "total_annual_cost"}) {
        ASSERT_NE("null", Field(b.out, key)) << key << "\n" << b.out;
        EXPECT_NEAR(Number(a.out, key), Number(b.out, key), 1e-6 * Number(a.out, key)) << key;
    }
}

// A utility that carries no load changes nothing: the same area, shells and costs as without it.
TEST(HostUnusedUtility, TakesNoPartInAreaShellsUnitsOrCosts) {
    const std::string used = std::string(kFourStreams) + "MP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    Table without("without", used);
    Table with("with", used + "HP Steam,,,,,utility\n");
    HostRun a = RunHost("targets " + without.path + " --json");
    HostRun b = RunHost("targets " + with.path + " --json");
    ASSERT_EQ(0, a.exitCode) << a.out;
    ASSERT_EQ(0, b.exitCode) << b.out;
    EXPECT_NE(std::string::npos, b.out.find("{\"name\": \"HP Steam\", \"load\": 0}")) << b.out;
    for (const char* key : {"area_countercurrent", "area_shell_tube", "units_overall", "units_pinch", "shells", "capital_cost",
                            "operating_cost", "total_annual_cost"})
        EXPECT_EQ(Field(a.out, key), Field(b.out, key)) << key;
}

// Forbidding H1-C2 leaves H1 to C1 alone (100 kW at a uniform 10 K, 20 m2) and H2 to C2
// (ends 60 and 10 K): 20 + 2 x 100 x ln 6 / 50 = 27.167 m2; the area LP asked for without a
// forbidden match finds Bath's 20.044.
TEST(HostAreaOptions, ForbiddenMatchesAndTheAreaMethodReachTheScenario) {
    Table table("twoByTwo", kTwoByTwo);
    HostRun bath = RunHost("targets " + table.path + " --json");
    HostRun forbidden = RunHost("targets " + table.path + " --json --forbid H1:C2");
    HostRun lp = RunHost("targets " + table.path + " --json --area-method lp");
    ASSERT_EQ(0, bath.exitCode) << bath.out;
    ASSERT_EQ(0, forbidden.exitCode) << forbidden.out;
    ASSERT_EQ(0, lp.exitCode) << lp.out;
    const double expected = 20.0 + 2.0 * 100.0 * std::log(6.0) / 50.0;
    EXPECT_NEAR(Number(forbidden.out, "area_countercurrent") / expected, 1.0, 5e-3) << forbidden.out;
    EXPECT_NEAR(Number(lp.out, "area_countercurrent") / Number(bath.out, "area_countercurrent"), 1.0, 1e-3) << lp.out;
    EXPECT_GT(Number(forbidden.out, "area_shell_tube"), Number(forbidden.out, "area_countercurrent"));

    HostRun super = RunHost("supertarget " + table.path + " --from 5 --to 7 --forbid H1:C2 --json");
    EXPECT_EQ(0, super.exitCode) << super.out;
}

// A case on countercurrent exchangers with a forbidden match keeps its option: the area LP's
// countercurrent area prices the capital by the countercurrent law, over the units as shells,
// N (10000 + 800 (A / N)^0.8); the saved case still says countercurrent, and a table's case the
// shell-and-tube option it started with.
TEST(HostAreaOptions, TheCaseKeepsItsExchangerTypeWithTheAreaLP) {
    ScratchFile forbidden("area-option", "forbidden.kcase", "", false);
    ScratchFile countercurrent("area-option", "countercurrent.kcase", "", false);
    ScratchFile again("area-option", "again.kcase", "", false);
    ScratchFile set("area-option", "set.txt", "set TargetMethod.101 0\n");
    ScratchFile read("area-option", "read.txt", "get TargetMethod.101\n");
    ASSERT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --forbid H1:C1 --save " + forbidden.path).exitCode);
    const HostRun tableOption = RunHost("view " + forbidden.path + " --script " + read.path);
    EXPECT_EQ(std::vector<double>{1}, ScriptValues(tableOption.out, 1)) << tableOption.out;
    ASSERT_EQ(0, RunHost("view " + forbidden.path + " --script " + set.path + " --save " + countercurrent.path).exitCode);

    const HostRun targets = RunHost("targets " + countercurrent.path + " --json --save " + again.path);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    const double area = Number(targets.out, "area_countercurrent"), units = Number(targets.out, "units_pinch");
    ASSERT_GT(area, 0.0) << targets.out;
    EXPECT_EQ(5, units) << targets.out;
    EXPECT_NEAR(units * (10000 + 800 * std::pow(area / units, 0.8)), Number(targets.out, "capital_cost"), 1e-3)
        << targets.out;
    // Countercurrent exchange has no shells and no shell-and-tube area to give.
    EXPECT_EQ("null", Field(targets.out, "area_shell_tube")) << targets.out;
    EXPECT_EQ("null", Field(targets.out, "shells")) << targets.out;
    const HostRun kept = RunHost("view " + again.path + " --script " + read.path);
    EXPECT_EQ(std::vector<double>{0}, ScriptValues(kept.out, 1)) << kept.out;
}

TEST(HostAreaOptions, BadForbiddenMatchesAreRefused) {
    Table table("twoByTwoBad", kTwoByTwo);
    for (const char* options : {"--forbid H1", "--forbid H1:C9", "--forbid C1:H1", "--forbid H1:C2 --area-method bath",
                                "--area-method simplex"}) {
        HostRun run = RunHost("targets " + table.path + " " + options);
        EXPECT_NE(0, run.exitCode) << options;
        EXPECT_NE(std::string::npos, run.out.find("kestrin-host: ")) << options << run.out;
    }
    HostRun usage = RunHost("");
    EXPECT_NE(std::string::npos, usage.out.find("--forbid HOT:COLD")) << usage.out;
    EXPECT_NE(std::string::npos, usage.out.find("--area-method bath|lp")) << usage.out;
}

}  // namespace

// The process pinch divides heat recovery between process streams: where every hot process stream
// is forbidden to meet every cold one the utilities serve each stream whole and there is no process
// pinch; a stream left without links, or one pair left allowed, keeps the four streams' 90/80 C.
TEST(HostAreaOptions, NoProcessPinchWhereEveryProcessMatchIsForbidden) {
    const struct {
        const char* forbids;
        const char* pinch;
    } rows[] = {
        {"--forbid H1:C1 --forbid H1:C2 --forbid H2:C1 --forbid H2:C2", "  process pinch             none\n"},
        {"--forbid H1:C1 --forbid H1:C2 --forbid H2:C1", "  process pinch             90.000 C hot / 80.000 C cold"},
        {"--forbid H1:C1 --forbid H1:C2", "  process pinch             90.000 C hot / 80.000 C cold"},
    };
    for (const auto& row : rows) {
        const HostRun run = RunHost("targets " + ExamplePath("four-streams.csv") + " " + row.forbids);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find(row.pinch)) << row.forbids << "\n" << run.out;
    }
}

// What the host takes from the user and what it refuses: streams without heat, physical lower
// bounds, options a command does not take, and the meaning of a stream's own DTmin contribution.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    Scratch(const std::string& stem, const std::string& content)
        : path("/tmp/kestrin-input-" + std::to_string(getpid()) + "-" + stem + ".csv") {
        std::ofstream(path, std::ios::binary) << content;
    }
    ~Scratch() { std::remove(path.c_str()); }
};

std::string Field(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

struct Refused {
    const char* name;
    const char* table;
    const char* expected;  // part of the message: the line, the stream and the column
};

class HostRefusedTable : public ::testing::TestWithParam<Refused> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const Refused& c, std::ostream* os) { *os << c.name; }

TEST_P(HostRefusedTable, NamesTheLineAndTheColumn) {
    const Refused& c = GetParam();
    Scratch table(c.name, c.table);
    HostRun run = RunHost("targets " + table.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostRefusedTable,
    ::testing::Values(
        // A duty of 0 is refused as cp 0 is: a stream with no heat is no stream.
        Refused{"zeroDuty", "name,supply,target,duty\nC1,20,135,230\nH1,170,60,0\n",
                "line 3: H1: column duty: a duty of 0 carries no heat"},
        Refused{"tinyCp", "name,supply,target,cp\nC1,20,135,2\nH1,170,60,1e-10\n",
                "line 3: H1: column cp: 1e-10 is outside the range of cp (0.001 to 1e9 kW/C)"},
        Refused{"tinyDuty", "name,supply,target,duty\nH1,170,60,1e-9\n",
                "line 2: H1: column duty: 1e-09 is outside the range of duty (0.001 to 1e12 kW)"},
        Refused{"tinyH", "name,supply,target,cp,h\nH1,170,60,1,1e-9\n",
                "line 2: H1: column h: 1e-09 is outside the range of h (0.001 to 1e6 kW/(m2.C))"},
        Refused{"segmentWithoutHeat", "name,supply,target,cp\nH1,170,60,1\nH1,60,59.5,0.001\n",
                "line 3: H1: segment 2 carries 0.0005 kW"},
        // A duty is a cp over the span: a case read back is checked by its cp, so the table is too.
        Refused{"dutyOfATinyCp", "name,supply,target,duty\nH1,1000,0,0.01\n",
                "line 2: H1: has duty 0.01 kW over 1000 C, a cp of 1e-05 kW/C, outside the range of cp"},
        // A process row over no temperature change carries no heat, whatever its cp: it is refused
        // as the same row with a duty is, not read as 0 kW.
        Refused{"isothermalProcessWithCp", "name,supply,target,cp\nC1,20,135,2\nH1,100,100,3\n",
                "line 3: H1: has a cp over no temperature change (supply = target = 100 C)"},
        // A process stream may not take a default utility's name; the message says so.
        Refused{"processNamedLikeAUtility", "name,supply,target,cp,kind\nHP Steam,170,60,1,process\n",
                "has the name of a default utility"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadOption {
    const char* name;
    const char* arguments;  // after the example table
    int exitCode;
    const char* expected;
};

class HostBadOption : public ::testing::TestWithParam<BadOption> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const BadOption& c, std::ostream* os) { *os << c.name; }

TEST_P(HostBadOption, IsRefusedNotIgnored) {
    const BadOption& c = GetParam();
    HostRun run = RunHost(std::string(c.arguments).replace(std::string(c.arguments).find("FILE"), 4,
                                                           example("four-streams.csv")));
    EXPECT_EQ(c.exitCode, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Options, HostBadOption,
    ::testing::Values(BadOption{"tinyDtmin", "targets FILE --dtmin 1e-300", 2, "--dtmin must be from 0.001 to 1000 C"},
                      BadOption{"tinyFrom", "supertarget FILE --from 1e-300 --to 5", 2,
                                "--from must be at least 0.001 C"},
                      BadOption{"targetsFrom", "targets FILE --from 5", 2, "targets takes no --from"},
                      BadOption{"targetsStep", "targets FILE --dtmin 5 --step 1", 2, "targets takes no --step"},
                      BadOption{"supertargetDtmin", "supertarget FILE --from 5 --to 10 --dtmin 7", 2,
                                "supertarget takes no --dtmin"}),
    [](const auto& info) { return std::string(info.param.name); });

// The column is the approach the stream asks for: every stream at 10 meets its partners at 10 K,
// the targets of DTmin 10 whatever DTmin the scenario has.
TEST(HostContribution, IsTheApproachTheStreamAsksFor) {
    Scratch table("contribution10",
                  "name,supply,target,cp,h,kind,dtmin_contribution\nH1,170,60,3,0.2,process,10\n"
                  "H2,150,30,1.5,0.2,process,10\nC1,20,135,2,0.2,process,10\nC2,80,140,4,0.2,process,10\n"
                  "HP Steam,,,,,utility,\nCooling Water,,,,,utility,\n");
    HostRun run = RunHost("targets " + table.path + " --dtmin 40 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("20", Field(run.out, "hot_utility")) << run.out;
    EXPECT_EQ("60", Field(run.out, "cold_utility")) << run.out;
    HostRun usage = RunHost("");
    EXPECT_NE(std::string::npos, usage.out.find("contribution 10 meet at 10 C")) << usage.out;
}

// H 150 -> 50 (CP 1.8) and C 20 -> 200 (CP 1), each of contribution 20 and so shifted by 10:
// shifted H 140 -> 40, C 30 -> 210. Above 140 C takes 70 kW with nothing to give; below, H gives
// 180 and C takes 110: hot and cold utility 70 kW.
TEST(HostContribution, TwoStreamsOfTwentyMeetAtTwenty) {
    Scratch table("contribution20",
                  "name,supply,target,cp,h,kind,dtmin_contribution\nH,150,50,1.8,1,process,20\n"
                  "C,20,200,1,1,process,20\n");
    HostRun run = RunHost("targets " + table.path + " --dtmin 40 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("70", Field(run.out, "hot_utility")) << run.out;
    EXPECT_EQ("70", Field(run.out, "cold_utility")) << run.out;
}

// Of contribution 20, shifted by 10 each, H (150 -> 50) and C (20 -> 200) pinch at 140 shifted: H
// is there at 150, C at 130. H2 (160 -> 60, contribution 10, shifted by 5) meets the same pinch at 145. The cascade above 140 (C
// alone from 210 to 155, 55 kW; H2 and C from 155 to 140, 7.5 kW net) asks 62.5 kW of steam.
TEST(HostPinch, ReportsItsShiftedTemperatureAndTheStreamsThatMeetThere) {
    Scratch table("pinchStreams",
                  "name,supply,target,cp,h,kind,dtmin_contribution\nH,150,50,1.8,1,process,20\n"
                  "C,20,200,1,1,process,20\n");
    HostRun run = RunHost("targets " + table.path + " --dtmin 40 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("\"process_pinches\": [{\"hot\": 150, \"cold\": 130, \"shifted\": 140, \"hot_streams\": [{\"name\": "
                           "\"H\", \"temperature\": 150}], \"cold_streams\": [{\"name\": \"C\", \"temperature\": 130}]}]"))
        << run.out;

    Scratch mixed("pinchMixed",
                  "name,supply,target,cp,h,kind,dtmin_contribution\nH,150,50,1.8,1,process,20\n"
                  "H2,160,60,0.5,1,process,10\nC,20,200,1,1,process,20\n");
    run = RunHost("targets " + mixed.path + " --dtmin 40 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("62.5", Field(run.out, "hot_utility"));
    EXPECT_NE(std::string::npos,
              run.out.find("{\"hot\": null, \"cold\": 130, \"shifted\": 140, \"hot_streams\": [{\"name\": \"H\", "
                           "\"temperature\": 150}, {\"name\": \"H2\", \"temperature\": 145}]"))
        << run.out;
    run = RunHost("targets " + mixed.path + " --dtmin 40");
    EXPECT_NE(std::string::npos, run.out.find("H 150.000 C, H2 145.000 C hot / 130.000 C cold (shifted 140.000 C)"))
        << run.out;
}

// A pinch side names its streams by where they stand in the scenario's list: a utility and a
// stream away from the pinch listed before them, and a cold stream between the two hot ones,
// must not shift the names or the temperatures read back for the report.
TEST(HostPinch, NamesTheStreamsThatMeetItPastTheOnesThatDoNot) {
    Scratch mixed("pinchPositions",
                  "name,supply,target,cp,h,kind,dtmin_contribution\nCooling Water,,,,,utility,\n"
                  "Cold away,20,30,0.1,1,process,20\nH,150,50,1.8,1,process,20\nC,20,200,1,1,process,20\n"
                  "H2,160,60,0.5,1,process,10\n");
    HostRun run = RunHost("targets " + mixed.path + " --dtmin 40");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("H 150.000 C, H2 145.000 C hot / 130.000 C cold (shifted 140.000 C)"))
        << run.out;
    run = RunHost("targets " + mixed.path + " --dtmin 40 --json");
    EXPECT_NE(std::string::npos,
              run.out.find("\"hot_streams\": [{\"name\": \"H\", \"temperature\": 150}, {\"name\": \"H2\", "
                           "\"temperature\": 145}], \"cold_streams\": [{\"name\": \"C\", \"temperature\": 130}]"))
        << run.out;
}

// At DTmin 1000 the four streams' pinches lie where no stream of one side is: no side is given a
// temperature there (it once read -830 C, below absolute zero).
TEST(HostPinch, ASideWithoutStreamsHasNoTemperature) {
    HostRun run = RunHost("targets " + example("four-streams.csv") + " --dtmin 1000 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("-830")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": 170, \"cold\": null, \"shifted\": -330")) << run.out;
}

// H0 gives 1,000,000 kW and C1 takes 3,333,333 kW, every kelvin of H0 above a kelvin of C1: all
// the difference is hot utility and no heat is left for cold utility. The cps the duties make
// (1e6 / 23 and 3333333 / 45.5) once left 1.16e-10 kW of rounding as the cold utility.
TEST(HostUtilityTargets, ARoundingResidueIsNoUtility) {
    Scratch table("residue", "name,supply,target,duty\nH0,85.5,62.5,1000000\nC1,52.2,97.7,3333333\n");
    HostRun run = RunHost("targets " + table.path + " --dtmin 3.3 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("2333333", Field(run.out, "hot_utility")) << run.out;
    EXPECT_EQ("0", Field(run.out, "cold_utility")) << run.out;
    EXPECT_EQ("1", Field(run.out, "problem_type")) << run.out;
}

}  // namespace

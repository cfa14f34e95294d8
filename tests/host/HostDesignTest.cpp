// kestrin-host design: a network written as an exchanger table is built through the design's own
// operations, calculated and reported; saved with it, the case reports the same; bad tables are
// refused by line, with nothing computed.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <map>

#include <ostream>
#include <cmath>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("design-test", stem, content, write) {}
};

const std::string kStreams = std::string(KESTRIN_EXAMPLES) + "/four-streams.csv";
const std::string kNetwork = std::string(KESTRIN_EXAMPLES) + "/four-streams-network.csv";


std::vector<std::string> unitLines(const std::string& json) {
    std::vector<std::string> lines;
    std::istringstream in(json);
    std::string line;
    while (std::getline(in, line))
        if (line.find("{\"name\": ") != std::string::npos) lines.push_back(line);
    return lines;
}

double lmtd(double a, double b) { return std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b); }

// The report's line of the unit named `name`; empty when there is none.
std::string unitNamed(const std::string& json, const std::string& name) {
    for (const std::string& line : unitLines(json))
        if (line.find("{\"name\": \"" + name + "\"") != std::string::npos) return line;
    return std::string();
}

TEST(HostDesign, TheTextbookNetworkReachesTheTargetsAndItsAreasFollowFromItsTemperatures) {
    const HostRun run = RunHost("design " + kStreams + " " + kNetwork + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NEAR(JsonNumber(run.out, "hot_utility"), 20.0, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "cold_utility"), 60.0, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "hot_utility_target"), 20.0, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "cold_utility_target"), 60.0, 1e-6);
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;
    EXPECT_NEAR(JsonNumber(run.out, "exchangers"), 6, 0);
    EXPECT_NEAR(JsonNumber(run.out, "cross_pinch_load"), 0.0, 1e-6);
    const std::vector<std::string> units = unitLines(run.out);
    ASSERT_EQ(units.size(), 6u);
    double total = 0.0;
    for (const std::string& u : units) {
        SCOPED_TRACE(u);
        EXPECT_NE(u.find("\"feasible\": true"), std::string::npos);
        EXPECT_NE(u.find("\"status\": \"complete\""), std::string::npos);
        const double duty = JsonNumber(u, "duty"), area = JsonNumber(u, "area");
        const double dt1 = JsonNumber(u, "hot_in") - JsonNumber(u, "cold_out"), dt2 = JsonNumber(u, "hot_out") - JsonNumber(u, "cold_in");
        EXPECT_GE(std::min(dt1, dt2), 10.0 - 1e-6);
        EXPECT_NEAR(JsonNumber(u, "approach"), std::min(dt1, dt2), 1e-6);
        EXPECT_NEAR(area, duty / (JsonNumber(u, "u") * JsonNumber(u, "ft") * lmtd(dt1, dt2)), 1e-4 * area);
        total += area;
    }
    EXPECT_NEAR(JsonNumber(run.out, "area_total"), total, 1e-4);
    // E1 by hand: 240 kW at U 0.1 over 170 -> 90 against 80 -> 140, LMTD 20 / ln 3.
    EXPECT_NEAR(JsonNumber(units[0], "area"), 240.0 / (0.1 * 20.0 / std::log(3.0)), 1e-4);

    const HostRun text = RunHost("design " + kStreams + " " + kNetwork);
    ASSERT_EQ(text.exitCode, 0) << text.out;
    for (const char* line : {"E1 (exchanger) H1 -> C2", "Heater (heater) HP Steam -> C1", "Cooler (cooler) H2 -> Cooling Water",
                             "hot utility               20.00 kW (target 20.00)"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
}

TEST(HostDesign, AnAreaGivenInsteadOfADutyIsSolvedForItsDutyAndAShellAndTubeUnitGetsItsFFactor) {
    Scratch network("area.csv",
                    "Name,HOT,cold,duty,area,hot_order,cold_order,type\n"
                    "E1,H1,C2,240,,1,1,shell-and-tube\nE2,H2,C1,90,,1,3,\nE3,H1,C1,,54.977444,2,2,\n"
                    "E4,H2,C1,30,,2,1,\nHeater,HP Steam,C1,20,,,4,\nCooler,H2,Cooling Water,60,,3,,\n");
    const HostRun run = RunHost("design " + kStreams + " " + network.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> units = unitLines(run.out);
    ASSERT_EQ(units.size(), 6u);
    for (const std::string& u : units) {
        if (u.find("\"name\": \"E3\"") != std::string::npos) {
            EXPECT_NEAR(JsonNumber(u, "duty"), 90.0, 1e-3) << u;
        }
        if (u.find("\"name\": \"E1\"") != std::string::npos) {
            EXPECT_LT(JsonNumber(u, "ft"), 1.0) << u;
            EXPECT_GE(JsonNumber(u, "shells"), 1.0) << u;
            EXPECT_GT(JsonNumber(u, "area"), 131.833) << u;
        }
    }
    EXPECT_NEAR(JsonNumber(run.out, "hot_utility"), 20.0, 1e-3);
}

TEST(HostDesign, ASavedDesignReportsTheSameAndADamagedCaseFailsCleanly) {
    Scratch saved("net.case", "", false);
    const HostRun first = RunHost("design " + kStreams + " " + kNetwork + " --save " + saved.path);
    ASSERT_EQ(first.exitCode, 0) << first.out;
    const HostRun again = RunHost("design " + saved.path);
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(RunHost("design " + saved.path + " --json").out,
              RunHost("design " + kStreams + " " + kNetwork + " --json").out);

    std::ifstream in(saved.path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5a);
    Scratch damaged("damaged.case", bytes);
    const HostRun bad = RunHost("design " + damaged.path);
    EXPECT_EQ(bad.exitCode, 1) << bad.out;
    EXPECT_EQ(bad.out.find("Network design"), std::string::npos);
    // A case without a design is refused by name.
    Scratch targetsOnly("targets.case", "", false);
    ASSERT_EQ(RunHost("targets " + kStreams + " --save " + targetsOnly.path).exitCode, 0);
    const HostRun none = RunHost("design " + targetsOnly.path);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.out.find("holds no design"), std::string::npos) << none.out;
}

TEST(HostDesign, AnExchangerBelowItsApproachIsReportedInfeasibleAndTheStreamEndsGetHeatersAndCoolers) {
    // H2 150 -> 83.3 against C2 80 -> 105: 3.3 C at the cold end, below the DTmin of 10.
    Scratch network("cross.csv", "name,hot,cold,duty\nE1,H2,C2,100\n");
    const HostRun run = RunHost("design " + kStreams + " " + network.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> units = unitLines(run.out);
    ASSERT_EQ(units.size(), 5u) << run.out;
    EXPECT_NEAR(JsonNumber(units[0], "approach"), 150.0 - 100.0 / 1.5 - 80.0, 1e-6);
    EXPECT_NE(units[0].find("\"feasible\": false"), std::string::npos) << units[0];
    // What E1 leaves goes to steam and cooling water at the stream ends, heaters first: C1 whole
    // (2 x 115), C2 from 105 C (4 x 35), H1 whole (3 x 110), H2 from 83.3 C (1.5 x 53.3).
    const std::pair<const char*, double> ends[] = {{"Heater1", 230.0}, {"Heater2", 140.0}, {"Cooler1", 330.0},
                                                   {"Cooler2", 80.0}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(units[i + 1].find("\"name\": \"" + std::string(ends[i].first) + "\""), std::string::npos) << units[i + 1];
        EXPECT_NEAR(JsonNumber(units[i + 1], "duty"), ends[i].second, 1e-6) << units[i + 1];
    }
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;
    EXPECT_NEAR(JsonNumber(run.out, "hot_utility"), 370.0, 1e-6) << run.out;
    EXPECT_NEAR(JsonNumber(run.out, "cold_utility"), 410.0, 1e-6) << run.out;
}

const std::string kSplitNetwork = std::string(KESTRIN_EXAMPLES) + "/four-streams-split-network.csv";

// The share of a stream's flow (heat-capacity flow rate cp) that a branch carries, from what the
// report says of its unit: duty / (cp x the branch's temperature change).
double branchShare(const std::string& unit, double cp, const char* in, const char* out) {
    return JsonNumber(unit, "duty") / (cp * std::fabs(JsonNumber(unit, out) - JsonNumber(unit, in)));
}

TEST(HostDesignSplit, TheSplitExampleTakesItsFractionsFromTheBranchDutiesAndMixesAtEightyDegrees) {
    const HostRun run = RunHost("design " + kStreams + " " + kSplitNetwork + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string e3 = unitNamed(run.out, "E3"), e4 = unitNamed(run.out, "E4"), e2 = unitNamed(run.out, "E2");
    ASSERT_FALSE(e3.empty() || e4.empty() || e2.empty()) << run.out;
    // C1 (cp 2) divides 0.75 / 0.25 between the branches: 90 and 30 kW, both 20 -> 80 C.
    for (const std::string& branch : {e3, e4}) {
        SCOPED_TRACE(branch);
        EXPECT_NEAR(JsonNumber(branch, "cold_in"), 20.0, 1e-6);
        EXPECT_NEAR(JsonNumber(branch, "cold_out"), 80.0, 1e-6);
        EXPECT_NE(branch.find("\"feasible\": true"), std::string::npos);
    }
    EXPECT_NEAR(branchShare(e3, 2.0, "cold_in", "cold_out"), 0.75, 1e-6);
    EXPECT_NEAR(branchShare(e4, 2.0, "cold_in", "cold_out"), 0.25, 1e-6);
    // The mixed C1 enters E2: 0.75 x 80 + 0.25 x 80 = 80 C, and leaves at 80 + 90 / 2 = 125 C.
    EXPECT_NEAR(JsonNumber(e2, "cold_in"), 80.0, 1e-6);
    EXPECT_NEAR(JsonNumber(e2, "cold_out"), 125.0, 1e-6);
    // Areas at U 0.1: E3 across 10 and 40 C, E4 across 10 and 50 C.
    EXPECT_NEAR(JsonNumber(e3, "area"), 90.0 / (0.1 * 30.0 / std::log(4.0)), 1e-4);
    EXPECT_NEAR(JsonNumber(e4, "area"), 30.0 / (0.1 * 40.0 / std::log(5.0)), 1e-4);
    EXPECT_NEAR(JsonNumber(e3, "hot_out"), 90.0 - 90.0 / 3.0, 1e-6);
    EXPECT_NEAR(JsonNumber(e4, "hot_out"), 90.0 - 30.0 / 1.5, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "hot_utility"), 20.0, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "cold_utility"), 60.0, 1e-6);
    EXPECT_NEAR(JsonNumber(run.out, "degrees_of_freedom"), 0.0, 0.0);
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"calculation_status\": \"calculated\""), std::string::npos) << run.out;

    Scratch saved("split.case", "", false);
    const HostRun first = RunHost("design " + kStreams + " " + kSplitNetwork + " --save " + saved.path);
    ASSERT_EQ(first.exitCode, 0) << first.out;
    EXPECT_NE(first.out.find("E4 (exchanger) H2 -> C1: duty 30.00, hot 90.00 -> 70.00, cold 20.00 -> 80.00"),
              std::string::npos)
        << first.out;
    EXPECT_EQ(RunHost("design " + saved.path).out, first.out);
    EXPECT_EQ(RunHost("design " + saved.path + " --json").out, run.out);
}

struct SplitCase {
    const char* what;
    const char* streams;
    const char* network;
    // Per branch unit on the split hot stream: name, the stream's cp, the branch's share and the
    // temperature it leaves at.
    struct Branch {
        const char* name;
        double cp, share, leaves;
    } branches[3];
    const char* after;  // the unit after the mixer, which the mixed stream enters (null: none)
    double mixed;
};

class HostDesignSplitCase : public ::testing::TestWithParam<SplitCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.what; }

TEST_P(HostDesignSplitCase, EachBranchCarriesItsDutyShareAndTheMixedStreamGoesOn) {
    const SplitCase& c = GetParam();
    Scratch streams("split-streams.csv", c.streams);
    Scratch network("split-network.csv", c.network);
    const HostRun run = RunHost("design " + streams.path + " " + network.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    for (const SplitCase::Branch& b : c.branches) {
        if (!b.name) continue;
        const std::string unit = unitNamed(run.out, b.name);
        ASSERT_FALSE(unit.empty()) << b.name << "\n" << run.out;
        EXPECT_NEAR(branchShare(unit, b.cp, "hot_in", "hot_out"), b.share, 1e-6) << unit;
        EXPECT_NEAR(JsonNumber(unit, "hot_out"), b.leaves, 1e-6) << unit;
        EXPECT_NE(unit.find("\"feasible\": true"), std::string::npos) << unit;
    }
    if (c.after) {
        const std::string after = unitNamed(run.out, c.after);
        ASSERT_FALSE(after.empty()) << run.out;
        EXPECT_NEAR(JsonNumber(after, "hot_in"), c.mixed, 1e-6) << after;
    }
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;
    EXPECT_NEAR(JsonNumber(run.out, "degrees_of_freedom"), 0.0, 0.0);
}

// H1 150 -> 30 C (cp 2) feeds C1 40 -> 110 C (cp 1) and C2 40 -> 140 C (cp 1.3); a cooler takes it on to 30 C.
const char* const kHotSplitStreams =
    "name,supply,target,cp,h,kind\nH1,150,30,2,0.2,process\nC1,40,110,1,0.2,process\n"
    "C2,40,140,1.3,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n";

INSTANTIATE_TEST_SUITE_P(
    Kinds, HostDesignSplitCase,
    ::testing::Values(
        // 70 + 130 kW take H1 from 150 to 50 C on both branches: shares 70 / 200 and 130 / 200.
        SplitCase{"hot stream over two exchangers", kHotSplitStreams,
                  "name,hot,cold,duty,hot_order\nE1,H1,C1,70,1\nE2,H1,C2,130,1\nCooler,H1,Cooling Water,40,2\n",
                  {{"E1", 2.0, 0.35, 50.0}, {"E2", 2.0, 0.65, 50.0}, {}},
                  "Cooler",
                  50.0},
        // Three branches, one of them a cooler: 70, 90 and 20 kW over 150 -> 60 C; E3 takes the mixed H1
        // on to 30 C against C3 (20 -> 40 C, cp 3), a heater C2 from 109.23 to 140 C.
        SplitCase{"hot stream over three branches",
                  "name,supply,target,cp,h,kind\nH1,150,30,2,0.2,process\nC1,40,110,1,0.2,process\n"
                  "C2,40,140,1.3,0.2,process\nC3,20,40,3,0.2,process\nHP Steam,,,,,utility\n"
                  "Cooling Water,,,,,utility\n",
                  "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C1,70,1,\nE2,H1,C2,90,1,1\n"
                  "Cooler,H1,Cooling Water,20,1,\nE3,H1,C3,60,2,\nHeater,HP Steam,C2,40,,2\n",
                  {{"E1", 2.0, 70.0 / 180.0, 60.0}, {"E2", 2.0, 90.0 / 180.0, 60.0}, {"Cooler", 2.0, 20.0 / 180.0, 60.0}},
                  "E3",
                  60.0},
        // Two coolers share H1's end, 85 -> 50 C: between them they carry the end load, and the
        // network is exactly specified.
        SplitCase{"coolers on every branch of the end",
                  "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nC2,40,140,1.3,0.2,process\n"
                  "Cooling Water,,,,,utility\nAir,,,,,utility\n",
                  "name,hot,cold,duty,hot_order\nE2,H1,C2,130,1\nWater,H1,Cooling Water,40,2\nFan,H1,Air,30,2\n",
                  {{"Water", 2.0, 40.0 / 70.0, 50.0}, {"Fan", 2.0, 30.0 / 70.0, 50.0}, {}},
                  nullptr,
                  0.0}),
    [](const ::testing::TestParamInfo<SplitCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

struct BadTable {
    const char* what;
    const char* table;
    const char* message;
};
void PrintTo(const BadTable& c, std::ostream* os) {
    *os << c.what;
}

class HostDesignBadTable : public ::testing::TestWithParam<BadTable> {};

TEST_P(HostDesignBadTable, IsRefusedByLineWithNothingComputed) {
    Scratch network("bad.csv", GetParam().table);
    Scratch saved("bad.case", "", false);
    const HostRun run = RunHost("design " + kStreams + " " + network.path + " --save " + saved.path);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find(GetParam().message), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Network design"), std::string::npos);
    EXPECT_NE(access(saved.path.c_str(), F_OK), 0) << "a refused table saves nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HostDesignBadTable,
    ::testing::Values(
        BadTable{"unknown stream", "name,hot,cold,duty\nE1,H1,C2,240\nE2,H9,C1,90\n", "line 3: no stream named \"H9\""},
        BadTable{"hot stream on the cold side", "name,hot,cold,duty\nE1,H1,H2,240\n",
                 "line 2: \"H2\" is not a cold stream"},
        BadTable{"cold utility on the hot side", "name,hot,cold,duty\nE1,Cooling Water,C1,20\n",
                 "line 2: \"Cooling Water\" is not a hot utility"},
        BadTable{"both duty and area", "name,hot,cold,duty,area\nE1,H1,C2,240,100\n",
                 "line 2: \"E1\" needs exactly one of duty and area"},
        BadTable{"neither duty nor area", "name,hot,cold,duty,area\nE1,H1,C2,,\n",
                 "line 2: \"E1\" needs exactly one of duty and area"},
        BadTable{"duplicate name", "name,hot,cold,duty\nE1,H1,C2,240\nE1,H2,C1,90\n",
                 "line 3: a second exchanger named \"E1\""},
        BadTable{"order gap", "name,hot,cold,duty,hot_order\nE1,H1,C2,240,1\nE3,H1,C1,90,3\n",
                 "line 3: hot_order 3 on \"H1\" leaves a gap"},
        BadTable{"order not a number", "name,hot,cold,duty,cold_order\nE1,H1,C2,240,first\n",
                 "line 2: cold_order \"first\" is not a whole number"},
        BadTable{"order not whole", "name,hot,cold,duty,cold_order\nE1,H1,C2,240,1.5\n",
                 "line 2: cold_order \"1.5\" is not a whole number"},
        BadTable{"duty not a number", "name,hot,cold,duty\nE1,H1,C2,lots\n", "line 2: duty \"lots\" is not a number"},
        BadTable{"unknown column", "name,hot,cold,duty,colour\nE1,H1,C2,240,red\n", "line 1: unknown column \"colour\""},
        BadTable{"two utilities", "name,hot,cold,duty\nE1,HP Steam,Cooling Water,10\n",
                 "line 2: \"E1\" joins two utilities"},
        BadTable{"area on a parallel branch", "name,hot,cold,duty,area,cold_order\nE1,H1,C1,100,,1\nE2,H2,C1,,20,1\n",
                 "line 3: \"E2\" shares its place on \"C1\" with \"E1\": exchangers on parallel branches give their duty"},
        BadTable{"gap after a shared place",
                 "name,hot,cold,duty,hot_order\nE1,H1,C1,70,1\nE2,H1,C2,100,1\nE3,H1,C2,30,3\n",
                 "line 4: hot_order 3 on \"H1\" leaves a gap: no exchanger has 2"},
        BadTable{"missing name", "name,hot,cold,duty\n,H1,C2,240\n", "line 2: an exchanger needs a name"},
        BadTable{"name of the new-row marker", "name,hot,cold,duty\nE1,H1,C2,240\n**new**,H2,C1,90\n",
                 "line 3: \"**new**\" is the tables' new-row marker \"**New**\""}),
    [](const ::testing::TestParamInfo<BadTable>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// The names the network gives its own nodes (a segment's "N-3", a stream's "H1Start" and "C2End")
// are names the design viewer lets a user give a unit: a table naming units so builds the network
// it builds with other names, and a case saved from it reports the same.
TEST(HostDesign, UnitsTakeTheNamesTheNetworkGivesItsOwnNodes) {
    const std::string plain = "name,hot,cold,duty\nE1,H1,C2,240\nE2,H2,C1,90\nE3,H1,C1,90\n";
    Scratch reference("names-plain.csv", plain);
    const HostRun expected = RunHost("design " + kStreams + " " + reference.path);
    ASSERT_EQ(0, expected.exitCode) << expected.out;
    const struct {
        const char *e1, *e2, *e3;
    } rows[] = {{"N-3", "N-5", "N-7"}, {"H1Start", "C1End", "H2End"}, {"C2Start", "N-1", "H1End"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.e1);
        std::string table = plain, report = expected.out;
        for (const auto& [from, to] : {std::pair{"E1", r.e1}, std::pair{"E2", r.e2}, std::pair{"E3", r.e3}}) {
            table.replace(table.find(from), 2, to);
            for (std::size_t at = report.find(from); at != std::string::npos; at = report.find(from, at + 1))
                report.replace(at, 2, to);
        }
        Scratch network("names.csv", table);
        Scratch saved("names.case", "", false);
        const HostRun run = RunHost("design " + kStreams + " " + network.path + " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_EQ(report, run.out);
        const HostRun again = RunHost("design " + saved.path);
        ASSERT_EQ(0, again.exitCode) << again.out;
        EXPECT_NE(std::string::npos, again.out.find(std::string("  ") + r.e1 + " (exchanger) H1 -> C2: duty 240.00")) << again.out;
        // The design viewer's rename names units by the same rule: the node holding the name gives
        // it up, and the grid shows each name once.
        Scratch plainCase("names-plain.case", "", false), renamedCase("names-renamed.case", "", false);
        ASSERT_EQ(0, RunHost("design " + kStreams + " " + reference.path + " --save " + plainCase.path).exitCode);
        Scratch renames("names-renames.txt", std::string("settext Name.300.0 ") + r.e1 + "\nsettext Name.300.1 " + r.e2 +
                                                 "\nsettext Name.300.2 " + r.e3 + "\n");
        const HostRun renamed =
            RunHost("view " + plainCase.path + " --open design --script " + renames.path + " --save " + renamedCase.path);
        ASSERT_EQ(0, renamed.exitCode) << renamed.out;
        Scratch picture("names-grid.svg", "", false);
        const HostRun grid = RunHost("grid " + renamedCase.path + " --svg " + picture.path + " --json");
        ASSERT_EQ(0, grid.exitCode) << grid.out;
        std::map<std::string, int> shown;
        for (std::size_t at = grid.out.find("\"name\":\""); at != std::string::npos; at = grid.out.find("\"name\":\"", at + 1)) {
            const std::size_t from = at + 8;
            ++shown[grid.out.substr(from, grid.out.find('"', from) - from)];
        }
        for (const char* name : {r.e1, r.e2, r.e3}) EXPECT_EQ(1, shown[name]) << name << "\n" << grid.out;
        for (const auto& [name, count] : shown) EXPECT_EQ(1, count) << name << "\n" << grid.out;
    }
}

// Two coolers both given place 1 on Cooling Water: a heater or cooler finds its place on its
// utility from its temperatures, so the places given there are not used, and the report says so
// for each, in text and in JSON; a process stream's place is used as given and not noted.
TEST(HostDesign, APlaceGivenOnAUtilitysSideIsNotedAsNotUsed) {
    Scratch network("utility-orders.csv",
                    "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,2\nE3,H1,C1,90,2,1\n"
                    "E4,H2,C1,30,2,1\nHeater,HP Steam,C1,20,,3\nCoolerA,H1,Cooling Water,1,3,1\n"
                    "CoolerB,H2,Cooling Water,60,3,1\n");
    const HostRun run = RunHost("design " + kStreams + " " + network.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* unit : {"line 7: cold_order 1 of \"CoolerA\" on utility \"Cooling Water\" is not used",
                             "line 8: cold_order 1 of \"CoolerB\" on utility \"Cooling Water\" is not used"})
        EXPECT_NE(std::string::npos, run.out.find(std::string("Note: ") + network.path + ": " + unit)) << unit << "\n" << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("hot_order 3 of")) << run.out;
    const HostRun json = RunHost("design " + kStreams + " " + network.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_NE(std::string::npos, json.out.find("cold_order 1 of \\\"CoolerB\\\" on utility")) << json.out;
}

}  // namespace

// kestrin-host design: a network written as an exchanger table is built through the design's own
// operations, calculated and reported; saved with it, the case reports the same; bad tables are
// refused by line, with nothing computed.
#include "HostProcess.h"

#include <gtest/gtest.h>

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

// The number after "key": on a line of the report; NaN when absent or null.
double field(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\"" + key + "\": ");
    if (at == std::string::npos) return NAN;
    const char* start = text.c_str() + at + key.size() + 4;
    char* end = nullptr;
    const double v = std::strtod(start, &end);
    return end == start ? NAN : v;
}

std::vector<std::string> unitLines(const std::string& json) {
    std::vector<std::string> lines;
    std::istringstream in(json);
    std::string line;
    while (std::getline(in, line))
        if (line.find("{\"name\": ") != std::string::npos) lines.push_back(line);
    return lines;
}

double lmtd(double a, double b) { return std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b); }

TEST(HostDesign, TheTextbookNetworkReachesTheTargetsAndItsAreasFollowFromItsTemperatures) {
    const HostRun run = RunHost("design " + kStreams + " " + kNetwork + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NEAR(field(run.out, "hot_utility"), 20.0, 1e-6);
    EXPECT_NEAR(field(run.out, "cold_utility"), 60.0, 1e-6);
    EXPECT_NEAR(field(run.out, "hot_utility_target"), 20.0, 1e-6);
    EXPECT_NEAR(field(run.out, "cold_utility_target"), 60.0, 1e-6);
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;
    EXPECT_NEAR(field(run.out, "exchangers"), 6, 0);
    EXPECT_NEAR(field(run.out, "cross_pinch_load"), 0.0, 1e-6);
    const std::vector<std::string> units = unitLines(run.out);
    ASSERT_EQ(units.size(), 6u);
    double total = 0.0;
    for (const std::string& u : units) {
        SCOPED_TRACE(u);
        EXPECT_NE(u.find("\"feasible\": true"), std::string::npos);
        EXPECT_NE(u.find("\"status\": \"complete\""), std::string::npos);
        const double duty = field(u, "duty"), area = field(u, "area");
        const double dt1 = field(u, "hot_in") - field(u, "cold_out"), dt2 = field(u, "hot_out") - field(u, "cold_in");
        EXPECT_GE(std::min(dt1, dt2), 10.0 - 1e-6);
        EXPECT_NEAR(field(u, "approach"), std::min(dt1, dt2), 1e-6);
        EXPECT_NEAR(area, duty / (field(u, "u") * field(u, "ft") * lmtd(dt1, dt2)), 1e-4 * area);
        total += area;
    }
    EXPECT_NEAR(field(run.out, "area_total"), total, 1e-4);
    // E1 by hand: 240 kW at U 0.1 over 170 -> 90 against 80 -> 140, LMTD 20 / ln 3.
    EXPECT_NEAR(field(units[0], "area"), 240.0 / (0.1 * 20.0 / std::log(3.0)), 1e-4);

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
            EXPECT_NEAR(field(u, "duty"), 90.0, 1e-3) << u;
        }
        if (u.find("\"name\": \"E1\"") != std::string::npos) {
            EXPECT_LT(field(u, "ft"), 1.0) << u;
            EXPECT_GE(field(u, "shells"), 1.0) << u;
            EXPECT_GT(field(u, "area"), 131.833) << u;
        }
    }
    EXPECT_NEAR(field(run.out, "hot_utility"), 20.0, 1e-3);
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

TEST(HostDesign, AnExchangerBelowItsApproachIsReportedInfeasibleAndTheShortStreamsUnsatisfied) {
    // H2 150 -> 83.3 against C2 80 -> 105: 3.3 C at the cold end, below the DTmin of 10.
    Scratch network("cross.csv", "name,hot,cold,duty\nE1,H2,C2,100\n");
    const HostRun run = RunHost("design " + kStreams + " " + network.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> units = unitLines(run.out);
    ASSERT_EQ(units.size(), 1u) << run.out;
    EXPECT_NEAR(field(units[0], "approach"), 150.0 - 100.0 / 1.5 - 80.0, 1e-6);
    EXPECT_NE(units[0].find("\"feasible\": false"), std::string::npos) << units[0];
    for (const char* stream : {"\"H1\"", "\"C1\""})
        EXPECT_NE(run.out.substr(run.out.find("unsatisfied_streams")).find(stream), std::string::npos) << run.out;
}

struct BadTable {
    const char* what;
    const char* table;
    const char* message;
};

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
        BadTable{"parallel branches", "name,hot,cold,duty,cold_order\nE1,H1,C1,100,1\nE2,H2,C1,50,1\n",
                 "line 3: \"E2\" shares its place on \"C1\" with \"E1\""},
        BadTable{"name the design refuses", "name,hot,cold,duty\nH1Start,H1,C2,240\n",
                 "line 2: the design refused to add \"H1Start\""},
        BadTable{"missing name", "name,hot,cold,duty\n,H1,C2,240\n", "line 2: an exchanger needs a name"}),
    [](const ::testing::TestParamInfo<BadTable>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

}  // namespace

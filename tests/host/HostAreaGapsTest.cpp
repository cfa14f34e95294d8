// What kestrin-host reports of the area where the balanced composite curves have gaps: steam
// that heats a cold stream on its own, a heater beside a process match, a pinch at a gap of the
// hot curve, and utility rows that give no span. Areas worked by hand (see the module's tests of
// the same tables); DTmin 10.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Table {
    std::string path;
    Table(const std::string& stem, const std::string& header, const std::string& rows) {
        path = "/tmp/kestrin-gaps-" + std::to_string(getpid()) + "-" + stem + ".csv";
        std::ofstream(path) << header << rows;
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

struct GapCase {
    const char* name;
    const char* header;
    const char* rows;
    double area;  // countercurrent, by hand
};

class HostAreaGaps : public ::testing::TestWithParam<GapCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

// The area, its shells and its capital come together, by either area method.
TEST_P(HostAreaGaps, AreaShellsAndCapitalComeTogether) {
    const GapCase& c = GetParam();
    Table table(c.name, c.header, c.rows);
    for (const char* method : {"", " --area-method lp"}) {
        SCOPED_TRACE(method);
        HostRun run = RunHost("targets " + table.path + " --json" + method);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NEAR(Number(run.out, "area_countercurrent"), c.area, 0.005 * c.area) << run.out;
        EXPECT_GE(Number(run.out, "shells"), 1.0) << run.out;
        EXPECT_GT(Number(run.out, "capital_cost"), 0.0) << run.out;
        EXPECT_GT(Number(run.out, "total_annual_cost"), Number(run.out, "operating_cost")) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostAreaGaps,
    ::testing::Values(
        GapCase{"coldStreamOnSteam", "name,supply,target,cp,h,kind\n",
                "C1,20,135,2,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n", 7.17993},
        GapCase{"heaterBesideAMatch", "name,supply,target,cp,h,kind\n",
                "C1,20,135,2,0.2,process\nH1,170,60,1,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                21.65175},
        GapCase{"onlyHotUtility", "name,supply,target,cp,h,kind\n",
                "H,150,50,1,1,process\nC,40,140,2,1,process\nHU,250,249.99,,1,utility\nCU,10,10.01,,1,utility\n", 8.66586},
        GapCase{"pinchAtAHotGap", "name,supply,target,duty,h,kind\n",
                "B,140,130,60,1,process\nC1,110,120,50,1,process\nC2,125,160,60,1,process\nHU,190,189.99,,1,utility\n"
                "CU,5,5.01,,1,utility\n",
                9.02194},
        GapCase{"twoPinches", "name,supply,target,duty,h,kind\n",
                "B,140,130,60,1,process\nC1,110,120,50,1,process\nC2,150,160,60,1,process\nHU,190,189.99,,1,utility\n"
                "CU,5,5.01,,1,utility\n",
                8.41415}),
    [](const auto& info) { return std::string(info.param.name); });

// Isothermal utility rows say neither their side nor their capacity: refused with the line.
TEST(HostAreaGapsInput, UtilityRowWithSupplyEqualToTargetIsRefusedWithItsLine) {
    Table table("isothermal", "name,supply,target,cp,h,kind\n",
                "H,150,50,1,1,process\nC,40,140,2,1,process\nHU,250,250,,1,utility\n");
    HostRun run = RunHost("targets " + table.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("line 4: HU: has supply equal to target (250 C)")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("250 -> 249.99")) << run.out;
}

}  // namespace

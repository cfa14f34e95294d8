// What the host prints as JSON is JSON: an exchanger duty or area no case holds, an exchanger name
// that is not UTF-8 and a script in another encoding are refused where they are read (exit 1, the
// line named), so no report ever shows a number that is not finite or bytes that are not UTF-8.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Table {
    const char* name;
    const char* row;  // the row in place of E1 of the example's network
    const char* says;
};
[[maybe_unused]] void PrintTo(const Table& t, std::ostream* os) { *os << t.name; }

class HostValidJsonTable : public ::testing::TestWithParam<Table> {};

TEST_P(HostValidJsonTable, IsRefusedAtItsLine) {
    const std::string network = std::string("name,hot,cold,duty,area,hot_order,cold_order\n") + GetParam().row +
                                "\nE2,H2,C1,90,,1,3\n";
    ScratchFile table("validjson", std::string(GetParam().name) + ".csv", network);
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + table.path + " --json");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, GetParam().says)) << run.out;
    EXPECT_FALSE(has(run.out, "inf")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostValidJsonTable,
    ::testing::Values(Table{"dutyOfAHugeNumber", "E1,H1,C2,1e308,,1,1", "line 2: duty \"1e308\" is not a number above 0"},
                      Table{"dutyAboveAnyPlant", "E1,H1,C2,2e12,,1,1", "line 2: duty \"2e12\""},
                      Table{"areaOfAHugeNumber", "E1,H1,C2,,1e300,1,1", "line 2: area \"1e300\""},
                      Table{"nameInLatin1", "Caf\xe9,H1,C2,240,,1,1", "line 2: the text is not UTF-8"}),
    [](const ::testing::TestParamInfo<Table>& info) { return std::string(info.param.name); });

TEST(HostValidJsonScript, AScriptThatIsNotUtf8IsRefusedBeforeItRuns) {
    ScratchFile script("validjson", "latin1.txt", "settext StrName.401.0 Caf\xe9\n");
    const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --form --json --script " + script.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "the script is not UTF-8")) << run.out;
    EXPECT_FALSE(has(run.out, "Caf\xe9")) << run.out;
}

}  // namespace

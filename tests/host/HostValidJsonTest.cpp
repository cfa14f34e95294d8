// What the host prints as JSON is JSON: an exchanger duty or area no case holds, an exchanger name
// that is not UTF-8 and a script in another encoding are refused where they are read (exit 1, the
// line named), so no report ever shows a number that is not finite or bytes that are not UTF-8.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    ::testing::Values(Table{"dutyOfAHugeNumber", "E1,H1,C2,1e308,,1,1", "line 2: duty \"1e308\" is not a number from 0.001"},
                      Table{"dutyBelowAnyStream", "E1,H1,C2,1e-9,,1,1", "line 2: duty \"1e-9\" is not a number from 0.001"},
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

// Every `from` of a saved case's bytes made `to` (as long), its checksum made again: a case as
// a writer of old, which took any bytes for a name, left it.
std::string withBytes(const std::string& saved, const std::string& from, const std::string& to) {
    std::string body = saved.substr(0, saved.size() - 4);
    for (std::size_t at = body.find(from); at != std::string::npos; at = body.find(from, at + to.size()))
        body.replace(at, from.size(), to);
    return WithCaseChecksum(body);
}

// A stream named in Latin-1 reaches no report: the case is refused as damaged before anything is
// drawn or printed.
TEST(HostValidJsonCase, ANameThatIsNotUtf8InASavedCaseIsRefused) {
    std::string streams = FileContents(ExamplePath("four-streams.csv"));
    std::string network = FileContents(ExamplePath("four-streams-network.csv"));
    for (std::string* text : {&streams, &network})
        for (std::size_t at = text->find("H1,"); at != std::string::npos; at = text->find("H1,", at + 1))
            text->replace(at, 2, "Zqxw");
    ScratchFile table("validjson", "zq-streams.csv", streams), exchangers("validjson", "zq-network.csv", network);
    ScratchFile saved("validjson", "zq.case", "", false);
    ASSERT_EQ(0, RunHost("design " + table.path + " " + exchangers.path + " --save " + saved.path).exitCode);
    ScratchFile latin1("validjson", "latin1.case", withBytes(FileContents(saved.path), "Zqxw", "Zq\xe9w"));
    ScratchFile svg("validjson", "latin1.svg", "", false);
    for (const char* command : {"grid ", "targets ", "view "}) {
        const std::string json = std::string(command) == "view " ? " --form --json"
                                 : std::string(command) == "grid " ? " --json --svg " + svg.path
                                                                   : " --json";
        const HostRun run = RunHost(command + latin1.path + json);
        EXPECT_EQ(1, run.exitCode) << command << run.out;
        EXPECT_TRUE(has(run.out, "damaged")) << command << run.out;
        EXPECT_FALSE(has(run.out, "Zq\xe9w")) << command << run.out;
    }
}

}  // namespace

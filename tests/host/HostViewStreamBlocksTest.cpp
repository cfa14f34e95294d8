// kestrin-host: a stream's feed and product blocks belong to the stream, whatever units are
// called. An exchanger may bear the name "<stream>Start" or "<stream>End" of a stream that comes
// later (by a rename or an addition); the stream then keeps its own blocks under free names, the
// units keep their places, and deleting the stream takes its own pieces only.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct BlockCase {
    const char* name;
    const char* unit;     // the exchanger of the example network that is renamed
    const char* newName;  // ...to this name in the network table
    const char* script;   // the scenario view's edits
    std::vector<const char*> design;  // lines of `design` on the saved case
    std::vector<const char*> grid;    // parts of `grid --json` on the saved case
    std::vector<const char*> absent;  // parts that neither may show
};
[[maybe_unused]] void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class HostViewStreamBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(HostViewStreamBlocks, TheStreamKeepsItsOwnBlocksBesideAUnitOfTheirName) {
    const BlockCase& c = GetParam();
    std::string table = FileContents(ExamplePath("four-streams-network.csv"));
    const std::string row = std::string("\n") + c.unit + ",";
    ASSERT_TRUE(has(table, row));
    table.replace(table.find(row), row.size(), std::string("\n") + c.newName + ",");
    ScratchFile network("blocks", std::string(c.name) + "-net.csv", table), built("blocks", std::string(c.name) + ".kcase", "", false),
        edited("blocks", std::string(c.name) + "-edited.kcase", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path + " --save " + built.path);
    ASSERT_EQ(0, design.exitCode) << design.out;

    const HostRun edit = RunViewScript(built.path, c.script, " --open scenario --save " + edited.path);
    ASSERT_EQ(0, edit.exitCode) << edit.out;
    const HostRun after = RunHost("design " + edited.path);
    ScratchFile svg("blocks", std::string(c.name) + ".svg", "", false);
    const HostRun grid = RunHost("grid " + edited.path + " --svg " + svg.path + " --json");
    ASSERT_EQ(0, grid.exitCode) << grid.out;
    for (const char* line : c.design) EXPECT_TRUE(has(after.out, line)) << line << "\n" << after.out;
    for (const char* part : c.grid) EXPECT_TRUE(has(grid.out, part)) << part << "\n" << grid.out;
    for (const char* part : c.absent) {
        EXPECT_FALSE(has(after.out, part)) << part << "\n" << after.out;
        EXPECT_FALSE(has(grid.out, part)) << part << "\n" << grid.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostViewStreamBlocks,
    ::testing::Values(
        // H1 renamed X while E1 is called "XStart": E1 keeps both its sides, X its first segment.
        BlockCase{"renamed",
                  "E1",
                  "XStart",
                  "settext StrName.401.0 X\n",
                  {"XStart (exchanger) X -> C2: duty 240.00, hot 170.00 -> 90.00, cold 80.00 -> 140.00",
                   "E3 (exchanger) X -> C1: duty 90.00, hot 90.00 -> 60.00", "calculation               calculated"},
                  {"{\"kind\":\"exchanger\",\"name\":\"XStart\",\"ends\":[{\"stream\":\"X\"",
                   "{\"kind\":\"stream-start\",\"name\":\"XStart_2\",\"stream\":\"X\""},
                  {"INFEASIBLE"}},
        // C3 added while E1 is called "C3Start": C3's supply stays on C3, E3 keeps H1's 90 C.
        BlockCase{"added",
                  "E1",
                  "C3Start",
                  "settext StrName.401.4 C3\nset Temperature.402.4 30\nset Temperature.403.4 50\n"
                  "set HeatCapacityFlow.404.4 1\n",
                  {"E3 (exchanger) H1 -> C1: duty 90.00, hot 90.00 -> 60.00", "degrees of freedom        0",
                   "C3Start (exchanger) H1 -> C2: duty 240.00, hot 170.00 -> 90.00"},
                  {"{\"stream\":\"C3\",", "{\"kind\":\"stream-start\",\"name\":\"C3Start_2\",\"stream\":\"C3\""},
                  {"INFEASIBLE", "approach -50.00"}},
        // H1 renamed X while E2 (on H2) is called "XEnd", then X deleted: E2 stays with H2.
        BlockCase{"deleted",
                  "E2",
                  "XEnd",
                  "settext StrName.401.0 X\nanswer 1\nexpect DeleteStreamError\nsettext StrName.401.0\n",
                  {"XEnd (exchanger) H2 -> C1: duty 90.00"},
                  {"{\"kind\":\"exchanger\",\"name\":\"XEnd\",\"ends\":[{\"stream\":\"H2\""},
                  {"\"stream\":\"X\"", "E1 (exchanger)", "E3 (exchanger)"}}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

}  // namespace

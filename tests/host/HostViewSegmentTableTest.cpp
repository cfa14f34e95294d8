// kestrin-host view on a table of a hot and a cold stream of several segments: the scenario
// viewer holds their two segment tables, whose series read as worked by hand, whose plots are
// written as pictures, and whose edits are in the case after saving and opening it again.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// H1: 170 -> 120 at 2 kW/C (100 kW), 120 -> 60 at 3 (180 kW). C1: 30 -> 90 at 4 (240 kW), 90 ->
// 140 at 2 (100 kW), 140 -> 150 at 5 (50 kW).
const char* const kTable =
    "name,supply,target,cp,h,kind\n"
    "H1,170,120,2,0.2,process\n"
    "H1,120,60,3,0.2,process\n"
    "C1,30,90,4,0.2,process\n"
    "C1,90,140,2,0.2,process\n"
    "C1,140,150,5,0.2,process\n"
    "HP Steam,,,,,utility\n"
    "Cooling Water,,,,,utility\n";

TEST(HostViewSegmentTable, TheTwoTablesReadTheirSeriesAndDrawOnePolylinePerStream) {
    ScratchFile table("view", "segments.csv", kTable);
    ScratchFile hot("view", "hot.svg", "", false);
    ScratchFile cold("view", "cold.svg", "", false);
    ScratchFile script("view", "segments.txt",
                       "open SegmentTable.200.0\ntext StrData.3\nget Temperature.201.[]\nget HeatFlow.201.[]\n"
                       "get HeatFlow.100.[]\nget Switch.700\nget DelSeg.102\nsvg TwoDimPlotNTW.200 " + hot.path + "\n"
                       "open MyOwnerObject\nopen SegmentTable.201.1\ntext StrData.3\nget Temperature.201.[]\n"
                       "get HeatFlow.201.[]\nget HeatFlow.100.[]\nsvg TwoDimPlotNTW.200 " + cold.path + "\n");
    const HostRun run = RunHost("view " + table.path + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // Hot: the load still to give at each point; cold: the load taken up.
    EXPECT_TRUE(has(run.out, "2: text StrData.3\n  text H1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "3: get Temperature.201.[]\n  value 170 120 60 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get HeatFlow.201.[]\n  value 280 180 0 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get HeatFlow.100.[]\n  value 100 180 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get Switch.700\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: get DelSeg.102\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "11: text StrData.3\n  text C1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "12: get Temperature.201.[]\n  value 30 90 140 150 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "13: get HeatFlow.201.[]\n  value 0 240 340 390 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "14: get HeatFlow.100.[]\n  value 240 100 50 kW\n")) << run.out;

    for (const auto& [path, points, colour] : {std::tuple{hot.path, 3u, "#ff0000"}, std::tuple{cold.path, 4u, "#0000ff"}}) {
        const SvgPicture picture = ReadSvg(FileContents(path));
        ASSERT_TRUE(picture.parsed) << path;
        const auto curves = picture.OfClass("data-set");
        ASSERT_EQ(1u, curves.size()) << path;
        EXPECT_EQ(points, curves[0]->Points().size()) << path;
        EXPECT_EQ(colour, curves[0]->Attribute("stroke")) << path;
    }
}

TEST(HostViewSegmentTable, AnEditTypedIntoASegmentTableIsInTheSavedCase) {
    ScratchFile table("view", "edit.csv", kTable);
    ScratchFile saved("view", "edit.kcase", "", false);
    ScratchFile script("view", "edit.txt", "open SegmentTable.200.1\nset Temperature.101.0 100\n");
    const HostRun first = RunHost("view " + table.path + " --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, first.exitCode) << first.out;
    ScratchFile read("view", "read.txt",
                     "open SegmentTable.200.1\nget Temperature.201.[]\nopen MyOwnerObject\nopen SegmentTable.200.0\n"
                     "text StrData.3\n");
    const HostRun again = RunHost("view " + saved.path + " --script " + read.path);
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: get Temperature.201.[]\n  value 30 100 140 150 C\n")) << again.out;
    EXPECT_TRUE(has(again.out, "5: text StrData.3\n  text H1\n")) << again.out;
    // The reopened scenario viewer has its two tables, once each.
    ScratchFile third("view", "third.txt", "open SegmentTable.200.2\n");
    const HostRun none = RunHost("view " + saved.path + " --script " + third.path);
    EXPECT_EQ(1, none.exitCode) << none.out;
}

TEST(HostViewSegmentTable, TheFormListsTheTableWithItsCommands) {
    ScratchFile table("view", "form.csv", kTable);
    const HostRun run = RunHost("view " + table.path + " --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    EXPECT_TRUE(has(run.out, "{\"view\":\"H1\",\"type\":\"SegmentTableObject\",\"variables\":[{\"address\":"
                             "\"Temperature.100.[]\",\"hook\":\"value\",\"unit\":\"C\",\"editable\":true,\"values\":[170,120]}"))
        << run.out.substr(0, 3000);
    EXPECT_TRUE(has(run.out, "\"commands\":[\"InsSeg\",\"DeleteSegment\",\"DeleteAllSegments\"")) << run.out.substr(0, 3000);
}

}  // namespace

// Plots whose texts crowd: a design's driving-force plot names each unit in its key and its bar
// chart each bar under it, and levels drawn close together label each line. With many units the
// key keeps to columns under the plot, each entry inside the picture and clear of the others, and
// the plot area keeps more than a third of the picture's height; the bar names take rows. The
// ten-exchanger network draws 19 curves (ten exchangers, five coolers, two heaters, the target
// and the diagonal); a plant of forty hot streams, each cooled by C1 (20 -> 80 C, CP 20) and then
// by cooling water, 80 units and 82 curves.
#include "HostProcess.h"
#include "TenExchangerNetwork.h"
#include "../support/SvgReadBack.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::pair<std::string, std::string> FortyStreamPlant() {
    std::string streams = "name,supply,target,cp,h,kind\n", network = "name,hot,cold,duty,hot_order,cold_order\n";
    for (int k = 1; k <= 40; ++k) {
        const std::string h = "H" + std::to_string(k);
        streams += h + ",200,100,1,0.2,process\n";
        network += "E" + std::to_string(k) + "," + h + ",C1,30,1," + std::to_string(k) + "\n";
        network += "K" + std::to_string(k) + "," + h + ",Cooling Water,70,2,\n";
    }
    streams += "C1,20,80,20,0.2,process\nCooling Water,,,,,utility\n";
    return {streams, network};
}

class HostPlotKey : public ::testing::TestWithParam<bool> {};

// The plot of the network the case names, drawn by the host: its SVG text ("" when it failed),
// rendered to be sure it draws.
std::string DrawPlot(bool forty, const std::string& options, const std::string& label) {
    const auto [streams, network] = forty ? FortyStreamPlant() : TenExchangerNetwork();
    ScratchFile s("plotkey", "streams.csv", streams), n("plotkey", "network.csv", network);
    ScratchFile svg("plotkey", "plot.svg", "", false), png("plotkey", "plot.png", "", false);
    const HostRun run = RunHost("plot " + s.path + " " + n.path + " " + options + " --svg " + svg.path);
    EXPECT_EQ(0, run.exitCode) << label << "\n" << run.out;
    if (run.exitCode != 0) return std::string();
    EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path)) << label;
    return FileContents(svg.path);
}

TEST_P(HostPlotKey, AKeyOfManyUnitsStaysInsideAndLeavesThePlotItsRoom) {
    const std::string label = GetParam() ? "forty streams" : "ten exchangers";
    const std::string text = DrawPlot(GetParam(), "--kind driving-force", label);
    ASSERT_FALSE(text.empty());
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    const int entries = static_cast<int>(picture.OfClass("legend-entry").size());
    EXPECT_EQ(GetParam() ? 82 : 19, entries) << label;
    ExpectTextsApartAndInside(picture, ReadViewBox(text), label);
    ExpectReportGrade(text, label);
    ASSERT_NE(nullptr, picture.PlotArea());
    EXPECT_GT(picture.PlotArea()->Number("height"), ReadViewBox(text).height / 3.0) << label;
}

// The bar chart names each bar under it: eighty bars stand closer than their names are wide, and
// the names take rows in turn, none over another, the axis's caption and the key below them.
TEST_P(HostPlotKey, BarNamesCloserThanTheirWidthTakeRowsInTurn) {
    const std::string label = GetParam() ? "forty streams" : "ten exchangers";
    const std::string text = DrawPlot(GetParam(), "--kind bar --quantity duty", label);
    ASSERT_FALSE(text.empty());
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    EXPECT_EQ(GetParam() ? 80u : 17u, picture.OfClass("bar-label").size()) << label;
    ExpectTextsApartAndInside(picture, ReadViewBox(text), label);
}

INSTANTIATE_TEST_SUITE_P(Networks, HostPlotKey, ::testing::Bool());

// The site's composite curves mark the hot pinch (334 C) and the cold pinch (324 C) by dashed
// levels about 8 pixels apart on a 0..400 C axis: the cold pinch's label hangs under its line,
// clear of the hot pinch's label and line.
TEST(HostPlotLevels, LevelsCloseTogetherKeepTheirLabelsApartAndClearOfTheirLines) {
    ScratchFile svg("plotkey", "composite.svg", "", false), png("plotkey", "composite.png", "", false);
    const HostRun run = RunHost("plot " + ExamplePath("site-24-streams.csv") + " --kind composite --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    ASSERT_EQ(2u, picture.OfClass("level-label").size());
    ExpectTextsApartAndInside(picture, ReadViewBox(text), "composite");
    ExpectNoLineThroughText(picture, {"references"}, "composite");
    EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path));
}

}  // namespace

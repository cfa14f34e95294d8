// kestrin-host plot --kind area-demand: the curve read back from the picture is the hot-utility
// target against the shell-and-tube area target of each range-target point, as the supertarget
// report gives them; a case's designs are their points (hot utility, total area); the picture
// keeps the contract of the other kinds; without range targets or designs the plot is refused.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"


#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string example(const char* name) { return ExamplePath(name); }

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("area-demand", stem, "", false) {}
};

std::string readFile(const std::string& path) { return FileContents(path); }
bool exists(const std::string& path) { return FileExists(path); }
int shell(const std::string& command) { return ShellStatus(command); }

// The values of a key, in order of appearance; NaN for null.
std::vector<double> column(const std::string& json, const std::string& key) {
    std::vector<double> out;
    const std::string needle = "\"" + key + "\": ";
    for (std::size_t at = json.find(needle); at != std::string::npos; at = json.find(needle, at + 1)) {
        const std::size_t from = at + needle.size();
        out.push_back(json.compare(from, 4, "null") == 0 ? std::nan("") : std::strtod(json.c_str() + from, nullptr));
    }
    return out;
}

std::vector<const SvgElement*> ofSet(const SvgPicture& picture, const std::string& cls, const std::string& set) {
    std::vector<const SvgElement*> out;
    for (const SvgElement* e : picture.OfClass(cls))
        if (e->Attribute("data-set") == set) out.push_back(e);
    return out;
}

TEST(HostAreaDemandPlot, TheCurveIsHotUtilityAgainstShellAndTubeAreaOfEachRangePoint) {
    Scratch svg("curve.svg"), png("curve.png");
    const std::string four = example("four-streams.csv");
    const HostRun report = RunHost("supertarget " + four + " --from 5 --to 30 --step 5 --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    const std::vector<double> hot = column(report.out, "hot_utility"), area = column(report.out, "area_shell_tube");
    ASSERT_EQ(6u, hot.size());
    ASSERT_EQ(6u, area.size());
    const HostRun run = RunHost("plot " + four + " --kind area-demand --from 5 --to 30 --step 5 --svg " + svg.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"number\":1,\"label\":\"Area - Heat Demand Curve\",\"axis\":\"left\""))
        << run.out;

    const SvgPicture picture = ReadSvg(readFile(svg.path));
    ASSERT_TRUE(picture.parsed);
    ASSERT_NE(nullptr, picture.PlotArea());
    const SvgAxes axes(*picture.PlotArea());
    const double xSpan = axes.xMax - axes.xMin, ySpan = axes.yMax - axes.yMin;
    // A point without an area breaks the curve; the others are the range points in order.
    std::vector<std::pair<double, double>> expected;
    for (std::size_t p = 0; p < hot.size(); ++p)
        if (!std::isnan(area[p]) && area[p] != 0.0) expected.emplace_back(hot[p], area[p]);
    ASSERT_GE(expected.size(), 2u);
    std::vector<SvgPoint> drawn;
    for (const SvgElement* line : ofSet(picture, "data-set", "1")) {
        EXPECT_EQ("Area - Heat Demand Curve", line->Attribute("data-label"));
        EXPECT_EQ("left", line->Attribute("data-axis"));
        for (const SvgPoint& p : line->Points()) drawn.push_back(p);
    }
    ASSERT_EQ(expected.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(expected[i].first, axes.X(drawn[i].x), 1e-4 * xSpan) << i;
        EXPECT_NEAR(expected[i].second, axes.Y(drawn[i].y), 1e-4 * ySpan) << i;
    }
    // Ticks sit where their values map; titles carry units; the legend names the curve.
    for (const SvgElement* t : picture.OfClass("x-tick"))
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), axes.X(t->Number("x")), 1e-4 * xSpan) << t->text;
    for (const SvgElement* t : picture.OfClass("y-tick"))
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), axes.Y(t->Number("y")), 1e-4 * ySpan) << t->text;
    EXPECT_GE(picture.OfClass("x-tick").size(), 3u);
    EXPECT_GE(picture.OfClass("y-tick").size(), 3u);
    ASSERT_EQ(1u, picture.OfClass("x-title").size());
    ASSERT_EQ(1u, picture.OfClass("y-title").size());
    ASSERT_EQ(1u, picture.OfClass("title").size());
    EXPECT_EQ("HEN Heat Demand (kW)", picture.OfClass("x-title")[0]->text);
    EXPECT_NE(std::string::npos, picture.OfClass("y-title")[0]->text.find("HEN Area ("));
    EXPECT_EQ("Area - Heat Demand Curve", picture.OfClass("title")[0]->text);
    EXPECT_NE(std::string::npos, readFile(svg.path).find("class=\"legend\""));
    EXPECT_EQ(0, shell("xmllint --noout " + svg.path));
    EXPECT_EQ(0, shell("rsvg-convert -o " + png.path + " " + svg.path));
    EXPECT_GT(readFile(png.path).size(), 1000u);
}

TEST(HostAreaDemandPlot, ACasesDesignIsItsPointOfHotUtilityAndTotalArea) {
    Scratch network("network.case"), svg("design.svg");
    const HostRun design = RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                                   " --save " + network.path + " --json");
    ASSERT_EQ(0, design.exitCode) << design.out;
    const std::vector<double> hot = column(design.out, "hot_utility"), area = column(design.out, "area_total");
    ASSERT_EQ(1u, hot.size());
    ASSERT_EQ(1u, area.size());
    // A design alone is enough to draw the plot; the range targets add the curve.
    for (const std::string& range : {std::string(), std::string(" --from 5 --to 30 --step 5")}) {
        const HostRun run = RunHost("plot " + network.path + " --kind area-demand --svg " + svg.path + range);
        ASSERT_EQ(0, run.exitCode) << range << "\n" << run.out;
        const SvgPicture picture = ReadSvg(readFile(svg.path));
        ASSERT_TRUE(picture.parsed);
        ASSERT_NE(nullptr, picture.PlotArea());
        const SvgAxes axes(*picture.PlotArea());
        const auto points = ofSet(picture, "data-point", "2");
        ASSERT_EQ(1u, points.size()) << range;
        EXPECT_NEAR(hot[0], axes.X(points[0]->Number("cx")), 1e-4 * (axes.xMax - axes.xMin)) << range;
        EXPECT_NEAR(area[0], axes.Y(points[0]->Number("cy")), 1e-4 * (axes.yMax - axes.yMin)) << range;
        EXPECT_FALSE(points[0]->Attribute("data-label").empty());
        EXPECT_EQ(range.empty(), ofSet(picture, "data-set", "1").empty()) << range;
    }
}

TEST(HostAreaDemandPlot, ACaseSavedWithRangeTargetsDrawsTheSameCurveWithoutARange) {
    Scratch ranged("ranged.case"), svg("ranged.svg");
    const std::string four = example("four-streams.csv");
    ASSERT_EQ(0, RunHost("supertarget " + four + " --from 5 --to 30 --step 5 --save " + ranged.path).exitCode);
    const HostRun fromCase = RunHost("plot " + ranged.path + " --kind area-demand --svg " + svg.path + " --json");
    ASSERT_EQ(0, fromCase.exitCode) << fromCase.out;
    const HostRun fromRange = RunHost("plot " + four + " --kind area-demand --from 5 --to 30 --step 5 --svg " + svg.path +
                                      " --json");
    ASSERT_EQ(0, fromRange.exitCode) << fromRange.out;
    EXPECT_NE(std::string::npos, fromCase.out.find("\"points\":[[0,")) << fromCase.out;
    EXPECT_EQ(fromRange.out, fromCase.out);
}

TEST(HostAreaDemandPlot, WithoutRangeTargetsOrDesignsItFailsAndWritesNoFile) {
    Scratch svg("bad.svg");
    const std::string four = example("four-streams.csv");
    const struct {
        std::string arguments;
        const char* message;
        int exitCode;  // 1 the job fails on its input, 2 a command line the job cannot take
    } cases[] = {
        {"plot " + four + " --kind area-demand --svg " + svg.path, "needs range targets", 1},
        {"plot " + four + " --kind area-demand --svg " + svg.path + " --from 5", "--from and --to go together", 2},
        {"plot " + four + " --kind area-demand --svg " + svg.path + " --from 5 --to 30 --at 1,2", "not on a cost plot", 2},
        {"plot " + four + " --kind area-demand --svg " + svg.path + " --from 5 --to 30 --left area", "range and supertarget", 2},
    };
    for (const auto& c : cases) {
        const HostRun run = RunHost(c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.arguments;
        EXPECT_NE(std::string::npos, run.out.find(c.message)) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(exists(svg.path)) << c.arguments;
    }
}

}  // namespace

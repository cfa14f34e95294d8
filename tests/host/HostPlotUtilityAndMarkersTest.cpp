// kestrin-host plot, read back from the picture: the hot utility composite curve spans the hot
// utilities alone (from the hot utility target down to nothing) and never runs on to the cold
// utilities' points; on the retrofit alpha plot, where every design is drawn in one colour, each
// design has a marker of its own shape, in the picture and in its key.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

double jsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? -1.0 : std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

// Every vertex of a data set's polylines, in the plot's own units.
std::vector<SvgPoint> curve(const SvgPicture& picture, const std::string& set) {
    const SvgAxes axes(*picture.PlotArea());
    std::vector<SvgPoint> out;
    for (const SvgElement* line : picture.OfClass("data-set"))
        if (line->Attribute("data-set") == set)
            for (const SvgPoint& p : line->Points()) out.push_back({axes.X(p.x), axes.Y(p.y)});
    return out;
}

struct UtilityCase {
    const char* table;
    double hotTop, hotBottom;  // the hot utility's supply and target temperatures, shifted down by half its approach
};

void PrintTo(const UtilityCase& c, std::ostream* out) { *out << c.table; }

class HostPlotUtilityCurves : public ::testing::TestWithParam<UtilityCase> {};

TEST_P(HostPlotUtilityCurves, TheHotUtilityCurveSpansTheHotUtilitiesAlone) {
    const std::string table = ExamplePath(GetParam().table);
    ScratchFile svg("plotutility", "utility.svg", "", false);
    const HostRun run = RunHost("plot " + table + " --kind utility --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun targets = RunHost("targets " + table + " --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    const double qh = jsonNumber(targets.out, "hot_utility");
    ASSERT_GT(qh, 0.0) << targets.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed && picture.PlotArea());
    const SvgAxes axes(*picture.PlotArea());
    const double dx = 1e-3 * (axes.xMax - axes.xMin), dy = 1e-3 * (axes.yMax - axes.yMin);
    const std::vector<SvgPoint> hot = curve(picture, "1"), cold = curve(picture, "2");
    ASSERT_GE(hot.size(), 2u);
    ASSERT_GE(cold.size(), 2u);
    // From the hot utility target at the utility's supply temperature down to no heat at its
    // target temperature, and nowhere lower.
    EXPECT_NEAR(qh, hot.front().x, dx);
    EXPECT_NEAR(GetParam().hotTop, hot.front().y, dy);
    EXPECT_NEAR(0.0, hot.back().x, dx);
    EXPECT_NEAR(GetParam().hotBottom, hot.back().y, dy);
    double coldTop = cold.front().y;
    for (const SvgPoint& p : cold) coldTop = std::max(coldTop, p.y);
    for (const SvgPoint& p : hot) EXPECT_GT(p.y, coldTop + dy) << p.x << " " << p.y;
}

INSTANTIATE_TEST_SUITE_P(Tables, HostPlotUtilityCurves,
                         ::testing::Values(UtilityCase{"four-streams.csv", 245.0, 244.0},
                                           UtilityCase{"site-24-streams.csv", 987.5, 387.5}),
                         [](const auto& info) { return info.index == 0 ? std::string("FourStreams") : std::string("Site"); });

TEST(HostPlotDesignMarkers, EachDesignOnTheRetrofitAlphaPlotHasAMarkerOfItsOwn) {
    ScratchFile saved("plotmarkers", "retrofit.kestrin", "", false), svg("plotmarkers", "alpha.svg", "", false);
    ASSERT_EQ(0, RunHost("retrofit " + ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv") +
                         " --budget 100000 --save " + saved.path)
                     .exitCode);
    const HostRun run = RunHost("plot " + saved.path + " --kind retrofit-alpha --from 5 --to 30 --step 5 --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    // The base design and the retrofit step's design, each one point of one colour.
    std::map<std::string, std::set<std::string>> shapes;  // design -> element names of its markers
    std::set<std::string> colours;
    for (const SvgElement* p : picture.OfClass("data-point")) {
        shapes[p->Attribute("data-label")].insert(p->name);
        colours.insert(p->Attribute("fill"));
    }
    ASSERT_EQ(2u, shapes.size()) << text;
    EXPECT_TRUE(shapes.count("Network")) << text;
    EXPECT_EQ(1u, colours.size()) << text;
    std::set<std::string> distinct;
    for (const auto& [design, names] : shapes) {
        EXPECT_EQ(1u, names.size()) << design;
        distinct.insert(*names.begin());
    }
    EXPECT_EQ(shapes.size(), distinct.size()) << text;
    // The key draws each design's marker in its own shape too.
    std::set<std::string> keyed;
    for (const SvgElement& e : picture.elements) {
        const bool inKey =
            std::find(e.groupClasses.begin(), e.groupClasses.end(), "legend") != e.groupClasses.end();
        if (inKey && e.name != "text" && e.name != "line" && e.Attribute("fill") == *colours.begin()) keyed.insert(e.name);
    }
    EXPECT_EQ(distinct, keyed) << text;
}

}  // namespace

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

// A marker's shape, read from its element: a disc, a square, or a polygon by the turns between its
// vertices (a triangle pointing up and one pointing down, a diamond, ... tell apart so).
std::string MarkerShape(const SvgElement& e) {
    if (e.name != "polyline" && e.name != "polygon") return e.name;
    const std::vector<SvgPoint> points = e.Points();
    std::string shape = e.name;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double dx = points[i].x - points[i - 1].x, dy = points[i].y - points[i - 1].y;
        shape += std::string(" ") + (dx > 0.1 ? "+" : dx < -0.1 ? "-" : "0") + (dy > 0.1 ? "+" : dy < -0.1 ? "-" : "0");
    }
    return shape;
}

// Five steps of a retrofit leave up to six designs on the alpha plot, all of one colour: the
// four-stream network without E1 keeps four steps at a budget of 100,000, and its base and each
// kept step still take a shape of their own.
TEST(HostPlotDesignMarkers, FiveDesignsOnTheRetrofitAlphaPlotTakeFiveShapes) {
    ScratchFile network("plotmarkers", "without-e1.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE2,H2,C1,90,1,3\nE3,H1,C1,90,1,2\nE4,H2,C1,30,2,1\n");
    ScratchFile saved("plotmarkers", "five.kestrin", "", false), svg("plotmarkers", "five.svg", "", false);
    ASSERT_EQ(0, RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path +
                         " --budget 100000 --steps 5 --save " + saved.path)
                     .exitCode);
    const HostRun run = RunHost("plot " + saved.path + " --kind retrofit-alpha --from 5 --to 30 --step 5 --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    std::map<std::string, std::set<std::string>> shapes;  // design -> shapes of its markers
    for (const SvgElement* p : picture.OfClass("data-point")) shapes[p->Attribute("data-label")].insert(MarkerShape(*p));
    ASSERT_EQ(5u, shapes.size()) << text;
    std::map<std::string, std::string> owner;  // shape -> the design drawn in it
    for (const auto& [design, kinds] : shapes) {
        ASSERT_EQ(1u, kinds.size()) << design;
        const auto [at, fresh] = owner.emplace(*kinds.begin(), design);
        EXPECT_TRUE(fresh) << design << " and " << at->second << " share " << at->first;
    }
}

}  // namespace

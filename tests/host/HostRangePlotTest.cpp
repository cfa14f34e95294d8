// kestrin-host plot --kind range|supertarget: the series read back from the picture through
// their own axes are the range targets the supertarget report gives, point by point; points
// without costs are left out of the general plot; a case's designs come as their points; a case
// saved with range targets needs no range.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    explicit Scratch(const std::string& stem) : path("/tmp/kestrin-range-" + std::to_string(getpid()) + "-" + stem) {}
    ~Scratch() { std::remove(path.c_str()); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value of a key in each point of the supertarget report; NaN for null.
std::vector<double> column(const std::string& json, const std::string& key) {
    std::vector<double> out;
    for (std::size_t at = json.find("\"" + key + "\": "); at != std::string::npos;
         at = json.find("\"" + key + "\": ", at + 1)) {
        const std::size_t from = at + key.size() + 4;
        out.push_back(json.compare(from, 4, "null") == 0 ? std::nan("") : std::strtod(json.c_str() + from, nullptr));
    }
    return out;
}

struct Axes {
    SvgAxes left;
    double y2Min, y2Max;
    explicit Axes(const SvgElement& area)
        : left(area), y2Min(area.Number("data-y2-min")), y2Max(area.Number("data-y2-max")) {}
    double Y2(double py) const { return y2Min + (left.top + left.height - py) / left.height * (y2Max - y2Min); }
};

// Every vertex of a data set, its polylines one after the other.
std::vector<SvgPoint> vertices(const SvgPicture& picture, const std::string& set) {
    std::vector<SvgPoint> out;
    for (const SvgElement* line : picture.OfClass("data-set"))
        if (line->Attribute("data-set") == set)
            for (const SvgPoint& p : line->Points()) out.push_back(p);
    return out;
}

TEST(HostRangePlot, HotAndColdUtilityOverDTminAreTheRangeTargetsOnTheirOwnAxes) {
    Scratch svg("range.svg");
    const std::string four = example("four-streams.csv");
    const HostRun report = RunHost("supertarget " + four + " --from 5 --to 30 --step 5 --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    const std::vector<double> dtmin = column(report.out, "dtmin"), hot = column(report.out, "hot_utility"),
                              cold = column(report.out, "cold_utility");
    ASSERT_EQ(6u, dtmin.size());
    const HostRun run = RunHost("plot " + four + " --kind range --from 5 --to 30 --step 5 --left hot-utility --right "
                                "cold-utility --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(readFile(svg.path));
    ASSERT_TRUE(picture.parsed);
    ASSERT_NE(nullptr, picture.PlotArea());
    const Axes axes(*picture.PlotArea());
    const double xSpan = axes.left.xMax - axes.left.xMin, ySpan = axes.left.yMax - axes.left.yMin;
    const double y2Span = axes.y2Max - axes.y2Min;
    ASSERT_GT(y2Span, 0.0);
    const auto left = vertices(picture, "1"), right = vertices(picture, "2");
    ASSERT_EQ(6u, left.size());
    ASSERT_EQ(6u, right.size());
    for (std::size_t p = 0; p < 6; ++p) {
        EXPECT_NEAR(dtmin[p], axes.left.X(left[p].x), 1e-4 * xSpan) << p;
        EXPECT_NEAR(hot[p], axes.left.Y(left[p].y), 1e-4 * ySpan) << p;
        EXPECT_NEAR(dtmin[p], axes.left.X(right[p].x), 1e-4 * xSpan) << p;
        EXPECT_NEAR(cold[p], axes.Y2(right[p].y), 1e-4 * y2Span) << p;
    }
    const auto ticks = picture.OfClass("y2-tick");
    EXPECT_GE(ticks.size(), 3u);
    for (const SvgElement* t : ticks)
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), axes.Y2(t->Number("y")), 1e-4 * y2Span) << t->text;
    ASSERT_EQ(1u, picture.OfClass("y2-title").size());
    EXPECT_EQ("Cold Utility Target (kW)", picture.OfClass("y2-title")[0]->text);
}

TEST(HostRangePlot, GeneralPlotMatchesTheSupertargetReportAndLeavesOutPointsWithoutCosts) {
    Scratch svg("general.svg");
    const std::string four = example("four-streams.csv");
    const HostRun report = RunHost("supertarget " + four + " --from 5 --to 30 --step 5 --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    const std::vector<double> operating = column(report.out, "operating_cost"), capital = column(report.out, "capital_cost");
    std::vector<std::pair<double, double>> costed;
    for (std::size_t p = 0; p < operating.size(); ++p)
        if (!std::isnan(operating[p]) && !std::isnan(capital[p]) && operating[p] != 0.0 && capital[p] != 0.0)
            costed.emplace_back(operating[p], capital[p]);
    ASSERT_FALSE(costed.empty());
    const HostRun run = RunHost("plot " + four + " --kind supertarget --from 5 --to 30 --step 5 --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(readFile(svg.path));
    ASSERT_TRUE(picture.parsed);
    const SvgAxes axes(*picture.PlotArea());
    const auto drawn = vertices(picture, "1");
    ASSERT_EQ(costed.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(costed[i].first, axes.X(drawn[i].x), 1e-4 * (axes.xMax - axes.xMin)) << i;
        EXPECT_NEAR(costed[i].second, axes.Y(drawn[i].y), 1e-4 * (axes.yMax - axes.yMin)) << i;
    }
    EXPECT_EQ("Operating Cost Index (Cost/year)", picture.OfClass("x-title")[0]->text);
}

TEST(HostRangePlot, ACasesDesignsAreItsPointsAndSavedRangeTargetsNeedNoRange) {
    Scratch network("network.case"), ranged("ranged.case"), svg("case.svg");
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") + " --save " +
                         network.path)
                     .exitCode);
    const HostRun general = RunHost("plot " + network.path + " --kind supertarget --from 5 --to 30 --step 5 --svg " +
                                    svg.path + " --json");
    ASSERT_EQ(0, general.exitCode) << general.out;
    const SvgPicture picture = ReadSvg(readFile(svg.path));
    std::vector<const SvgElement*> designs;
    for (const SvgElement* p : picture.OfClass("data-point"))
        if (p->Attribute("data-set") == "3") designs.push_back(p);
    ASSERT_EQ(1u, designs.size()) << general.out;
    const std::string label = designs[0]->Attribute("data-label");
    EXPECT_EQ("(Left-Axis)", label.substr(label.size() - 11));
    EXPECT_NE(std::string::npos, general.out.find("(Left-Axis)\",\"axis\":\"left\""));

    ASSERT_EQ(0, RunHost("supertarget " + example("four-streams.csv") + " --from 5 --to 30 --step 5 --save " + ranged.path)
                     .exitCode);
    const HostRun range = RunHost("plot " + ranged.path + " --kind range --svg " + svg.path + " --json");
    ASSERT_EQ(0, range.exitCode) << range.out;
    EXPECT_NE(std::string::npos, range.out.find("\"title\":\"Range Targets\"")) << range.out;
    EXPECT_NE(std::string::npos, range.out.find("{\"number\":1,\"label\":\"Total Cost Index Target\",\"axis\":\"left\",\"points\":[[5,"))
        << "DTmin against the total cost";
}

}  // namespace

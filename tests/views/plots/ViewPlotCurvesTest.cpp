// The curve plots drawn from a real scenario and read back from their SVG the way a script
// does: every vertex, through the plot area's axis values, is the scenario's own curve point;
// every tick label sits where its value maps; titles carry units; the legend names each curve.
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/SvgReadBack.h"
#include "views/plots/chiPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

struct Segment {
    double supply, target, cp;
};

// A stream of several segments, each starting where the previous one ends.
bool addSegmented(FourStreamProject& p, const char* name, const std::vector<Segment>& segments) {
    if (p.scenario->AddStream(name, 0) != 1) return false;
    IHeatIntegrationStream* s = p.Stream(name);
    if (!s) return false;
    for (std::size_t i = 1; i < segments.size(); ++i)
        if (s->InsertSegment(0) != 1) return false;
    bool ok = s->SetValue("Temperature", segments.front().supply, 0) == 1;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        ok = ok && s->SetValue("Temperature", segments[i].target, static_cast<int>(i + 1)) == 1;
        ok = ok && s->SetValue("HeatCapacityFlowrate", segments[i].cp, static_cast<int>(i)) == 1;
    }
    return ok;
}

std::unique_ptr<FourStreamProject> fourStreams() {
    auto p = std::make_unique<FourStreamProject>();
    p->AddUtility("HP Steam");
    p->AddUtility("Cooling Water");
    return p;
}

std::unique_ptr<FourStreamProject> segmentedStreams() {
    auto p = std::make_unique<FourStreamProject>(false);
    p->scenario->SuspendCalculations();
    addSegmented(*p, "H1", {{200.0, 150.0, 2.0}, {150.0, 80.0, 4.0}});
    addSegmented(*p, "H2", {{160.0, 40.0, 1.5}});
    addSegmented(*p, "C1", {{30.0, 120.0, 2.5}, {120.0, 180.0, 1.2}});
    addSegmented(*p, "C2", {{60.0, 100.0, 3.0}, {100.0, 140.0, 1.0}, {140.0, 150.0, 5.0}});
    p->AddUtility("HP Steam");
    p->AddUtility("Cooling Water");
    p->scenario->ResumeCalculations(true);
    return p;
}

// What one data set of a graph shows: its point count and each point (internal units).
struct Expected {
    int set;
    std::function<int(const IHeatIntegrationScenario&)> count;
    std::function<double(const IHeatIntegrationScenario&, int)> x, y;
    int xKind, yKind;  // kinds of quantity the values are shown in
};

Expected curve(int set, int kind) {
    return {set, [kind](const IHeatIntegrationScenario& s) { return s.GetNumberOfCurvePoints(kind); },
            [kind](const IHeatIntegrationScenario& s, int i) { return s.GetTargetCurveValue(kind, 1, i); },
            [kind](const IHeatIntegrationScenario& s, int i) { return s.GetTargetCurveValue(kind, 0, i); }, 6, 1};
}

Expected driving(int set, int field) {
    return {set, [](const IHeatIntegrationScenario& s) { return s.GetNumberOfAreaTargetMatches(); },
            [field](const IHeatIntegrationScenario& s, int i) { return s.GetAreaTargetMatchValue(field, i); },
            [](const IHeatIntegrationScenario& s, int i) { return s.GetAreaTargetMatchValue(3, i); }, 1, 1517};
}

std::vector<Expected> expectedSets(int graph) {
    switch (graph) {
        case 1: return {curve(1, 0)};
        case 2: return {curve(1, 5)};
        case 3: return {curve(1, 3), curve(2, 4)};
        case 4: return {curve(1, 1), curve(2, 2)};
        case 5: return {curve(1, 8), curve(2, 9)};
        case 6: return {curve(1, 10), curve(2, 11)};
        case 7: {
            // The hot utility curve: the points of curve 6 from its top down to its last
            // hot-utility boundary (kind 16 reads them), not on to the cold utilities' points.
            Expected hot = curve(1, 16);
            Expected shifted = curve(3, 0);
            shifted.x = [](const IHeatIntegrationScenario& s, int i) { return s.GetTargetCurveValue(15, 1, i); };
            return {hot, curve(2, 7), shifted};
        }
        case 8: return {driving(1, 1)};
        case 9: return {driving(1, 2)};
        default: return {curve(1, 12), curve(2, 13)};
    }
}

struct PlotCase {
    const char* table;
    int graph;
};
void PrintTo(const PlotCase& c, std::ostream* os) {
    *os << "graph " << c.graph;
}

class ViewPlotCurves : public ::testing::TestWithParam<PlotCase> {};

TEST_P(ViewPlotCurves, EveryVertexIsTheScenariosCurvePointAndEveryTickSitsAtItsValue) {
    SetDisplayUnitSet(SIUnits);
    const PlotCase c = GetParam();
    auto project = std::string(c.table) == "four" ? fourStreams() : segmentedStreams();
    IHeatIntegrationScenario& scenario = *project->scenario;
    ASSERT_GT(scenario.GetNumberOfCurvePoints(3), 2) << "the scenario has its targets";
    // The user-supplied utility loads exist once the user places the utilities.
    if (c.graph == 10) scenario.SetUtilityAssignmentMethod(1);

    chiPlot plot(nullptr, &scenario, false);
    plot.ConstructPlot(c.graph);
    ASSERT_NE(nullptr, plot.GetPlot());
    const std::string svg = plot.GetPlot()->ExportSVG(chiPlot::PictureWidth, chiPlot::PictureHeight);
    const SvgPicture picture = ReadSvg(svg);
    ASSERT_TRUE(picture.parsed);
    const SvgElement* area = picture.PlotArea();
    ASSERT_NE(nullptr, area);
    const SvgAxes axes(*area);
    const double xSpan = axes.xMax - axes.xMin, ySpan = axes.yMax - axes.yMin;
    ASSERT_GT(xSpan, 0.0);
    ASSERT_GT(ySpan, 0.0);

    std::vector<std::string> labels;
    int drawnSets = 0;
    for (const Expected& e : expectedSets(c.graph)) {
        const int n = e.count(scenario);
        std::vector<const SvgElement*> lines;
        for (const SvgElement* l : picture.OfClass("data-set"))
            if (l->Attribute("data-set") == std::to_string(e.set)) lines.push_back(l);
        if (n == 0) {
            EXPECT_TRUE(lines.empty()) << "set " << e.set;
            continue;
        }
        ++drawnSets;
        ASSERT_EQ(1u, lines.size()) << "set " << e.set << ": no point of the scenario's curves is empty";
        EXPECT_EQ("left", lines[0]->Attribute("data-axis"));
        labels.push_back(lines[0]->Attribute("data-label"));
        const std::vector<SvgPoint> vertices = lines[0]->Points();
        ASSERT_EQ(static_cast<std::size_t>(n), vertices.size()) << "set " << e.set;
        const UnitConversion ux = DefUnitConv(e.xKind), uy = DefUnitConv(e.yKind);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(calc_ounit(e.x(scenario, i), ux), axes.X(vertices[i].x), 1e-4 * xSpan) << "set " << e.set << " point " << i;
            EXPECT_NEAR(calc_ounit(e.y(scenario, i), uy), axes.Y(vertices[i].y), 1e-4 * ySpan) << "set " << e.set << " point " << i;
        }
    }
    EXPECT_GT(drawnSets, 0);

    // Tick labels: their value maps onto their own place, and they cover the axis.
    const auto xTicks = picture.OfClass("x-tick"), yTicks = picture.OfClass("y-tick");
    EXPECT_GE(xTicks.size(), 3u);
    EXPECT_GE(yTicks.size(), 3u);
    for (const SvgElement* t : xTicks) {
        EXPECT_EQ("middle", t->Attribute("text-anchor"));
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), axes.X(t->Number("x")), 1e-4 * xSpan) << t->text;
    }
    for (const SvgElement* t : yTicks) {
        EXPECT_EQ("middle", t->Attribute("dominant-baseline"));
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), axes.Y(t->Number("y")), 1e-4 * ySpan) << t->text;
    }
    EXPECT_DOUBLE_EQ(axes.xMin, std::strtod(xTicks.front()->text.c_str(), nullptr)) << "the range ends on ticks";
    EXPECT_DOUBLE_EQ(axes.xMax, std::strtod(xTicks.back()->text.c_str(), nullptr));

    // Titles with units, and a legend that names each curve.
    const auto xTitle = picture.OfClass("x-title"), yTitle = picture.OfClass("y-title"), title = picture.OfClass("title");
    ASSERT_EQ(1u, xTitle.size());
    ASSERT_EQ(1u, yTitle.size());
    ASSERT_EQ(1u, title.size());
    EXPECT_EQ(plot.GetPlot()->title, title[0]->text);
    const bool driving = c.graph == 8 || c.graph == 9;
    EXPECT_NE(std::string::npos, xTitle[0]->text.find(driving ? "(C)" : "(kW)")) << xTitle[0]->text;
    EXPECT_NE(std::string::npos, yTitle[0]->text.find("(C)")) << yTitle[0]->text;
    if (c.graph == 1 || c.graph == 7) {
        EXPECT_EQ(0u, yTitle[0]->text.find("Shifted Temperature")) << "the grand composite is drawn on shifted temperatures";
    }
    std::vector<std::string> legend;
    for (const SvgElement* entry : picture.OfClass("legend-entry")) {
        ASSERT_EQ(std::vector<std::string>{"legend"}, entry->groupClasses);
        legend.push_back(entry->text);
    }
    for (const std::string& label : labels)
        EXPECT_NE(legend.end(), std::find(legend.begin(), legend.end(), label)) << label;
    // The utilities are drawn against the grand composite curve, which the legend names.
    if (c.graph == 7) {
        EXPECT_NE(legend.end(), std::find(legend.begin(), legend.end(), "Grand Composite Curve"));
        EXPECT_EQ(legend.end(), std::find(legend.begin(), legend.end(), "Shifted Temperature"));
    }
}

std::vector<PlotCase> allCases() {
    std::vector<PlotCase> out;
    for (const char* table : {"four", "segmented"})
        for (int graph = 1; graph <= 10; ++graph) out.push_back({table, graph});
    return out;
}

INSTANTIATE_TEST_SUITE_P(ViewCurveKinds, ViewPlotCurves, ::testing::ValuesIn(allCases()), [](const auto& info) {
    return std::string(info.param.table) + "_" + std::to_string(info.param.graph);
});

}  // namespace

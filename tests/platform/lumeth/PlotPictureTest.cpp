// The plot picture's contract: nice scales, ticks at their values, marked plot area and data
// sets (an empty point starts a new polyline, nothing else is added or dropped), point markers,
// a right axis, dashed reference lines, and the canvas's text placement, classes and groups.
#include "lumeth/DisplayUnits.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "tests/support/ProbeView.h"
#include "tests/support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

TEST(PlotPicture, NiceScalesStepBy1_2Or5AndWidenToTheirTicks) {
    struct Case {
        double lo, hi, fixedLo, fixedHi;
        double scaleLo, scaleHi, step;
    };
    const double none = -32767.0;
    const Case cases[] = {
        {0.0, 582.5, none, none, 0.0, 600.0, 100.0},     // 97 a step: 100
        {25.0, 165.0, none, none, 0.0, 200.0, 50.0},     // 23.3 a step: 50
        {-3.2, 7.9, none, none, -4.0, 8.0, 2.0},         // 1.85 -> 2
        {0.0013, 0.0061, none, none, 0.001, 0.007, 0.001},
        {5.0, 5.0, none, none, 4.0, 6.0, 0.5},           // one value: a unit either side
        {0.0, 90.0, -5.0, none, -5.0, 100.0, 20.0},      // a fixed end stays
    };
    for (const Case& c : cases) {
        const AxisScale a = NiceScale(c.lo, c.hi, c.fixedLo, c.fixedHi);
        EXPECT_NEAR(c.scaleLo, a.lo, 1e-12) << c.lo << ".." << c.hi;
        EXPECT_NEAR(c.scaleHi, a.hi, 1e-12) << c.lo << ".." << c.hi;
        EXPECT_NEAR(c.step, a.step, 1e-12) << c.lo << ".." << c.hi;
        const std::vector<double> ticks = a.Ticks();
        ASSERT_GE(ticks.size(), 3u);
        EXPECT_NEAR(a.lo, ticks.front(), 1e-12);
        EXPECT_NEAR(a.hi, ticks.back(), 1e-12);
    }
    // Ends no picture can hold give a scale of finite numbers.
    for (const AxisScale& odd : {NiceScale(-1e308, 1e308, none, none), NiceScale(0.0, 1.0, std::nan(""), HUGE_VAL)}) {
        EXPECT_TRUE(std::isfinite(odd.lo) && std::isfinite(odd.hi) && odd.lo < odd.hi);
        for (double t : odd.Ticks()) EXPECT_TRUE(std::isfinite(t));
    }
    const AxisScale fixed = NiceScale(0.0, 90.0, -5.0, none);
    EXPECT_EQ((std::vector<double>{-5.0, 20.0, 40.0, 60.0, 80.0, 100.0}), fixed.Ticks())
        << "a multiple closer than a third of a step to a fixed end gives way";
}

TEST(PlotPicture, CurvesPointsRightAxisAndLegendFollowTheContract) {
    SetDisplayUnitSet(SIUnits);
    ProbeRegistry registry;
    ProbeView owner{nullptr, "Scenario"};
    owner.series[{6, 204}] = {0.0, 50.0, -32767.0, 100.0, 150.0};
    owner.series[{1, 205}] = {150.0, 120.0, 110.0, 60.0, 50.0};
    owner.series[{6, 206}] = {10.0, 90.0};
    owner.series[{31000, 207}] = {1000.0, 3000.0};
    auto* plot = new TwoDimPlot(&owner);
    plot->title = "Picture";
    plot->GetXAxisPtr()->title = "Enthalpy";
    plot->GetXAxisPtr()->showUnits = true;
    plot->GetYAxisPtr()->title = "Temperature";
    plot->GetYAxisPtr()->showUnits = true;
    XYDataStruct hot;
    hot.xVariable = ":HeatFlow.204.[]";
    hot.yVariable = ":Temperature.205.[]";
    hot.label = "Hot & <dashed>";
    hot.appearance.style = 1;
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&hot, 1));
    Axis* right = plot->AddYAxisPtr(1);
    right->title = "Cost";
    right->showUnits = true;
    PointStruct point;
    point.xVariable = ":HeatFlow.206.[]";
    point.yVariable = ":Cost.207.[]";
    point.label = "Designs";
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&point, 2, nullptr, right));

    const SvgPicture picture = ReadSvg(plot->ExportSVG());
    ASSERT_TRUE(picture.parsed);
    const SvgElement* area = picture.PlotArea();
    ASSERT_NE(nullptr, area);
    const SvgAxes axes(*area);
    EXPECT_EQ(0.0, axes.xMin);
    EXPECT_EQ(150.0, axes.xMax);
    EXPECT_EQ("1000", area->Attribute("data-y2-min"));
    EXPECT_EQ("3000", area->Attribute("data-y2-max"));

    // The empty point splits the curve into two polylines; no vertex is added or dropped.
    const auto lines = picture.OfClass("data-set");
    ASSERT_EQ(2u, lines.size());
    for (const SvgElement* l : lines) {
        EXPECT_EQ("1", l->Attribute("data-set"));
        EXPECT_EQ("Hot & <dashed>", l->Attribute("data-label"));
        EXPECT_EQ("left", l->Attribute("data-axis"));
        EXPECT_FALSE(l->Attribute("stroke-dasharray").empty()) << "style 1 is dashed";
    }
    const auto first = lines[0]->Points(), second = lines[1]->Points();
    ASSERT_EQ(2u, first.size());
    ASSERT_EQ(2u, second.size());
    EXPECT_NEAR(50.0, axes.X(first[1].x), 1e-4 * 150.0);
    EXPECT_NEAR(120.0, axes.Y(first[1].y), 1e-4 * (axes.yMax - axes.yMin));
    EXPECT_NEAR(100.0, axes.X(second[0].x), 1e-4 * 150.0);

    // Points on the right axis: circles mapped through the right axis's range.
    const auto points = picture.OfClass("data-point");
    ASSERT_EQ(2u, points.size());
    EXPECT_EQ("right", points[1]->Attribute("data-axis"));
    const double y2 = 1000.0 + (axes.top + axes.height - points[1]->Number("cy")) / axes.height * 2000.0;
    EXPECT_NEAR(3000.0, y2, 1e-4 * 2000.0);
    for (const SvgElement* t : picture.OfClass("y2-tick")) {
        const double v = 1000.0 + (axes.top + axes.height - t->Number("y")) / axes.height * 2000.0;
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), v, 1e-4 * 2000.0) << t->text;
        EXPECT_EQ("start", t->Attribute("text-anchor").empty() ? "start" : t->Attribute("text-anchor"));
    }
    EXPECT_FALSE(picture.OfClass("y2-tick").empty());

    // Titles with units; the y titles are turned, nothing else is.
    EXPECT_EQ("Enthalpy (kW)", picture.OfClass("x-title")[0]->text);
    EXPECT_EQ("Temperature (C)", picture.OfClass("y-title")[0]->text);
    EXPECT_EQ("Cost (Cost)", picture.OfClass("y2-title")[0]->text);
    EXPECT_EQ("rotate(-90 15 ", picture.OfClass("y-title")[0]->Attribute("transform").substr(0, 14));
    for (const SvgElement& e : picture.elements)
        if (e.name != "text") {
            EXPECT_TRUE(e.Attribute("transform").empty()) << e.name;
        }
    const auto entries = picture.OfClass("legend-entry");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("Hot & <dashed>", entries[0]->text);
    EXPECT_EQ((std::vector<std::string>{"legend"}), entries[1]->groupClasses);
}

TEST(PlotPicture, BarsAreTheRectanglesTheirPointPairsSpanReadBackThroughThePlotArea) {
    SetDisplayUnitSet(SIUnits);
    ProbeRegistry registry;
    ProbeView owner{nullptr, "Design"};
    // Three bars as an exchanger chart gives them: edges i + 0.7 and i + 1.3, from 0 to the
    // height; the third has no height (an empty point) and the fourth pair is cut short.
    const double heights[] = {12.5, 40.0};
    for (int i = 0; i < 2; ++i) {
        owner.series[{1519, 791 + i}] = {i + 0.7, i + 1.3};
        owner.series[{1508, 799 + i}] = {0.0, heights[i]};
    }
    owner.series[{1519, 793}] = {2.7, 3.3};
    owner.series[{1508, 801}] = {0.0, -32767.0};
    owner.series[{1519, 794}] = {3.7, 4.3, 5.0};
    owner.series[{1508, 802}] = {0.0, 8.0, 9.0};
    auto* plot = new TwoDimPlot(&owner);
    plot->GetYAxisPtr()->title = "Area";
    plot->GetYAxisPtr()->showUnits = true;
    for (int i = 0; i < 4; ++i) {
        XYDataStruct bar;
        bar.xVariable = FormattedText(":ExtraData.%d.[]", 791 + i);
        bar.yVariable = FormattedText(":Area.%d.[]", 799 + i);
        bar.appearance.colour = i == 1 ? RedColour() : BlueColour();
        bar.label = FormattedText("E%d", i + 1);
        ASSERT_NE(nullptr, plot->GetPlotArea().CreateBarDataSet(&bar, i));
    }
    // A legend entry without points: a swatch, no bar.
    XYDataStruct key;
    key.xVariable = key.yVariable = ":Unknown.0";
    key.label = "Heater";
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateBarDataSet(&key, -1));
    EXPECT_NE(std::string::npos, plot->Dump().find("dataset 0 bar \"E1\""));

    const SvgPicture picture = ReadSvg(plot->ExportSVG());
    ASSERT_TRUE(picture.parsed);
    const SvgElement* area = picture.PlotArea();
    ASSERT_NE(nullptr, area);
    const SvgAxes axes(*area);
    const double xSpan = axes.xMax - axes.xMin, ySpan = axes.yMax - axes.yMin;
    const auto bars = picture.OfClass("bar");
    ASSERT_EQ(3u, bars.size()) << "one bar a full pair of points";
    const double expected[][4] = {{0.7, 1.3, 0.0, 12.5}, {1.7, 2.3, 0.0, 40.0}, {3.7, 4.3, 0.0, 8.0}};
    const char* sets[] = {"0", "1", "3"};
    for (std::size_t b = 0; b < bars.size(); ++b) {
        const SvgElement& r = *bars[b];
        EXPECT_EQ("rect", r.name);
        EXPECT_EQ(sets[b], r.Attribute("data-set"));
        EXPECT_EQ("left", r.Attribute("data-axis"));
        EXPECT_FALSE(r.Attribute("data-label").empty());
        const double x = r.Number("x"), y = r.Number("y"), w = r.Number("width"), h = r.Number("height");
        EXPECT_NEAR(expected[b][0], axes.X(x), 1e-4 * xSpan);
        EXPECT_NEAR(expected[b][1], axes.X(x + w), 1e-4 * xSpan);
        EXPECT_NEAR(expected[b][2], axes.Y(y + h), 1e-4 * ySpan);
        EXPECT_NEAR(expected[b][3], axes.Y(y), 1e-4 * ySpan);
    }
    EXPECT_EQ(0.0, axes.yMin) << "bars stand on zero";
    EXPECT_TRUE(picture.OfClass("data-set").empty() && picture.OfClass("data-point").empty());
    EXPECT_EQ("Area (m2)", picture.OfClass("y-title")[0]->text);
    // Each bar's name stands under it, centred; the key names only the kind of bar.
    const auto names = picture.OfClass("bar-label");
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ("E1", names[0]->text);
    EXPECT_NEAR(1.0, axes.X(names[0]->Number("x")), 1e-4 * xSpan);
    EXPECT_GT(names[0]->Number("y"), axes.top + axes.height);
    const auto entries = picture.OfClass("legend-entry");
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("Heater", entries[0]->text);
}

TEST(PlotPicture, CanvasTextPlacementClassesAndGroupsInDumpAndSvg) {
    Canvas c;
    c.SetExtent(100, 50);
    CanvasMarkup m;
    m.cssClass = "x-tick";
    m.data = {{"value", "1 & 2"}};
    c.SetMarkup(c.AddText({50, 20}, "12", DefaultFont(), DefaultColour(), TextAnchor::Middle, TextBaseline::Middle, -90.0), m);
    CanvasMarkup g;
    g.cssClass = "legend";
    c.BeginGroup(g);
    c.AddLine({0, 0}, {10, 0}, LineAttrib{});
    c.EndGroup();
    c.AddLine({0, 5}, {10, 5}, LineAttrib{});
    const Text dump = c.Dump();
    EXPECT_NE(Text::npos, dump.find("anchor=middle baseline=middle rotation=-90 class=x-tick data-value=\"1 & 2\""));
    EXPECT_NE(Text::npos, dump.find("group=1"));
    const Text svg = c.ExportSVG();
    EXPECT_NE(Text::npos, svg.find("<text class=\"x-tick\" data-value=\"1 &amp; 2\" x=\"50\" y=\"20\" text-anchor=\"middle\" "
                                   "dominant-baseline=\"middle\" transform=\"rotate(-90 50 20)\""));
    EXPECT_NE(Text::npos, svg.find("<g class=\"legend\">\n<line x1=\"0\" y1=\"0\""));
    EXPECT_NE(Text::npos, svg.find("</g>\n<line x1=\"0\" y1=\"5\""));
    // A middle-anchored text is hit about its middle.
    EXPECT_EQ(0, c.HitTest({46, 20}, 0.0));
}

}  // namespace

namespace {

// An axis whose format prints fewer digits than a 1-2-5 step over its range would need.
struct FormatCase {
    const char* name;
    const char* format;
    std::vector<double> xs;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class PlotTicksFollowTheFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PlotTicksFollowTheFormat, NoTwoLabelsOfTheAxisAreEqualAndTheDataStaysInside) {
    SetDisplayUnitSet(SIUnits);
    ProbeRegistry registry;
    ProbeView owner{nullptr, "Scenario"};
    const FormatCase& c = GetParam();
    owner.series[{6, 204}] = c.xs;
    owner.series[{1, 205}] = std::vector<double>(c.xs.size(), 10.0);
    auto* plot = new TwoDimPlot(&owner);
    ASSERT_TRUE(plot->GetXAxisPtr()->SetNumberFormat(c.format));
    XYDataStruct set;
    set.xVariable = ":HeatFlow.204.[]";
    set.yVariable = ":Temperature.205.[]";
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&set, 1));
    const SvgPicture picture = ReadSvg(plot->ExportSVG());
    ASSERT_TRUE(picture.parsed);
    std::vector<std::string> labels;
    for (const SvgElement* t : picture.OfClass("x-tick")) labels.push_back(t->text);
    ASSERT_GE(labels.size(), 2u);
    std::vector<std::string> sorted = labels;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted.end(), std::adjacent_find(sorted.begin(), sorted.end())) << ::testing::PrintToString(labels);
    // Below a million the numbers are written out, never in exponent notation.
    for (const std::string& label : labels) EXPECT_EQ(std::string::npos, label.find_first_of("eE")) << label;
    const SvgAxes axes(*picture.PlotArea());
    for (double x : c.xs) {
        EXPECT_LE(axes.xMin, x);
        EXPECT_GE(axes.xMax, x);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PlotTicksFollowTheFormat,
    ::testing::Values(FormatCase{"WholeNumbersOverOne", "%.0f", {0.0, 1.0}},          // was 0,0,0,1,1,1
                      FormatCase{"WholeNumbersOverThree", "%.0f", {0.0, 1.0, 2.0, 3.0}},  // was 0,0,1,2,2,2,3
                      FormatCase{"SixDigitsAtOnePoint", "%.6g", {149586.0}},        // was 149586 repeated
                      FormatCase{"OneDecimalOverATenth", "%.1f", {2.0, 2.1}},
                      FormatCase{"ShortGeneralFormatOverHundredsOfThousands", "%3.2g", {215554.0, 237597.0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The segment table's property plot: the heat-flow and step series worked by hand, the raw-data
// curve of hot and cold streams, the plot types, and the picture.
#include "brasko/CaseDocument.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/SegmentedStream.h"
#include "tests/support/XmlCheck.h"
#include "views/case/streams/SegmentTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<double> series(SegmentTable& t, const char* address) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(address, var)) << address;
    DimInfo dims;
    t.Dimensions(var, dims);
    std::vector<double> out;
    for (int i = 0; i < dims.Dim(0); ++i) {
        VarDescription point = var;
        point.SetOffset(0, i);
        out.push_back(t.Value(point));
    }
    return out;
}

void setAll(IHeatIntegrationStream* s, const char* name, const std::vector<double>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(1, s->SetValue(name, values[i], static_cast<int>(i))) << name;
}

class ViewSegmentPlot : public ::testing::Test {
protected:
    ViewSegmentPlot() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetDocument(&document);
    }
    ~ViewSegmentPlot() override { delete root; }
    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
};

struct LoadCase {
    const char* name;
    std::vector<double> points;
    std::vector<double> enthalpies;
    std::vector<double> heatFlow;
    const char* colour;
};
void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewSegmentPlotLoads : public ViewSegmentPlot, public ::testing::WithParamInterface<LoadCase> {};

// Hot: the load still to give falls to 0 at the target; cold: the load taken up rises from 0.
TEST_P(ViewSegmentPlotLoads, TheHeatFlowSeriesAddsTheSegmentLoads) {
    const LoadCase& c = GetParam();
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, c.name, 0, c.points, c.enthalpies);
    ASSERT_NE(nullptr, s);
    SegmentTable t(root, p.scenario, s);
    EXPECT_EQ(c.heatFlow, series(t, "HeatFlow.201.[]"));
    EXPECT_EQ(c.points, series(t, "Temperature.201.[]"));
    ASSERT_NE(nullptr, t.GetPlot());
    const PlottedData* set = t.GetPlot()->GetPlotArea().GetDataSet(1);
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(":HeatFlow.201.[]", set->XMoniker());
    EXPECT_EQ(c.colour, set->appearance.colour.name);
    EXPECT_EQ("Temperature - Enthalpy Diagram", t.GetPlot()->title);
}

INSTANTIATE_TEST_SUITE_P(HotAndCold, ViewSegmentPlotLoads,
                         ::testing::Values(LoadCase{"H", {100, 80, 60, 40}, {30, 20, 10}, {60, 30, 10, 0}, "RedColour"},
                                           LoadCase{"C", {40, 60, 80, 100}, {-30, -20, -10}, {0, 30, 50, 60},
                                                    "BlueColour"}));

TEST_F(ViewSegmentPlot, DensitiesAreDrawnAsStepsAgainstTheSegmentEnds) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {100, 80, 60});
    ASSERT_NE(nullptr, s);
    setAll(s, "SpecificHeat", {2.0, 2.0});
    setAll(s, "MassDensity", {800, 900});
    SegmentTable t(root, p.scenario, s);
    EXPECT_EQ((std::vector<double>{800, 800, 900, 900}), series(t, "MassDensity.104.[]"));
    EXPECT_EQ((std::vector<double>{100, 80, 80, 60}), series(t, "Temperature.202.[]"));
    // Type 2 makes the density diagram; selecting it again builds nothing new; 1 is empty.
    VarDescription type;
    ASSERT_TRUE(VarDescription::Parse("Enum.551", type));
    ASSERT_EQ(1, t.Specify(type, 2));
    TwoDimPlot* density = t.GetPlot();
    EXPECT_EQ("Temperature - Density Diagram", density->title);
    EXPECT_EQ(":MassDensity.104.[]", density->GetPlotArea().GetDataSet(1)->XMoniker());
    EXPECT_EQ(":Temperature.202.[]", density->GetPlotArea().GetDataSet(1)->YMoniker());
    auto life = density->LifeToken();
    ASSERT_EQ(1, t.Specify(type, 2));
    EXPECT_FALSE(life.expired());
    EXPECT_EQ(density, t.GetPlot());
    ASSERT_EQ(1, t.Specify(type, 1));
    EXPECT_TRUE(life.expired());
    EXPECT_TRUE(t.GetPlot()->GetPlotArea().DataSets().empty());
    EXPECT_EQ("Temperature", t.GetPlot()->GetYAxisPtr()->title);
    // The picture of the density diagram draws one polyline of 2n points.
    ASSERT_EQ(1, t.Specify(type, 2));
    const Text svg = t.GetPlot()->ExportSVG();
    EXPECT_TRUE(IsWellFormedXml(svg)) << svg;
}

struct RawCase {
    const char* name;
    std::vector<double> points;
    double heatCapacity;
    std::vector<double> enthalpies;
    std::vector<double> heatFlow;
};
void PrintTo(const RawCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewSegmentPlotRaw : public ViewSegmentPlot, public ::testing::WithParamInterface<RawCase> {};

// Cold: |h(i) - h(0)| x m. Hot: measured from the enthalpy at the target, h(n-1) - load / m.
TEST_P(ViewSegmentPlotRaw, TheRawCurveTurnsMassEnthalpiesIntoHeatFlows) {
    const RawCase& c = GetParam();
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, c.name, 0, c.points);
    ASSERT_NE(nullptr, s);
    ASSERT_EQ(1, s->SetValue("HeatCapacityFlowrate", c.heatCapacity, 0));
    ASSERT_EQ(1, s->SetValue("MassFlow", 2.0, 0));
    SegmentTable t(root, p.scenario, s);
    EXPECT_FALSE(t.HasRawData());
    EXPECT_EQ(1u, t.GetPlot()->GetPlotArea().DataSets().size());
    setAll(s, "Raw_MassEnthalpy_DataSet", c.enthalpies);
    // Storing the raw temperatures (code 37) adds the green raw curve as data set 2.
    setAll(s, "Raw_Temperature_DataSet", {60, 100, 150});
    EXPECT_EQ(c.heatFlow, series(t, "HeatFlow.211.[]"));
    const PlottedData* raw = t.GetPlot()->GetPlotArea().GetDataSet(2);
    ASSERT_NE(nullptr, raw);
    EXPECT_EQ("GreenColour", raw->appearance.colour.name);
    EXPECT_EQ(":HeatFlow.211.[]", raw->XMoniker());
    EXPECT_EQ(":Temperature.211.[]", raw->YMoniker());
    EXPECT_EQ(0, Text(raw->Label()).find("Temperature vs Enthalpy ("));
    EXPECT_EQ((std::vector<double>{60, 100, 150}), series(t, "Temperature.211.[]"));
    EXPECT_TRUE(t.HasRawData());
}

INSTANTIATE_TEST_SUITE_P(HotAndCold, ViewSegmentPlotRaw,
                         ::testing::Values(RawCase{"C", {60, 150}, 1.0, {100, 150, 220}, {0, 100, 240}},
                                           RawCase{"H", {150, 50}, 2.0, {300, 250, 200}, {400, 300, 200}}));

TEST_F(ViewSegmentPlot, TheStreamColourTintsTheSegmentCurve) {
    IHeatIntegrationStream* h = MakeSegmentedStream(*p.scenario, "H", 0, {150, 50});
    SegmentTable t(root, p.scenario, h);
    VarDescription colour;
    ASSERT_TRUE(VarDescription::Parse("StrColor.100", colour));
    EXPECT_EQ(0.0, t.Value(colour));
    EXPECT_EQ("RedColour", t.GetPlot()->GetPlotArea().GetDataSet(1)->appearance.colour.name);
    // ":THDiagram" answers the plot.
    MessageInfo info;
    info.code = 6;
    info.name = ":THDiagram";
    ASSERT_TRUE(t.GenMessage(info));
    EXPECT_EQ(t.GetPlot(), info.answer);
}

}  // namespace

#include "eng/targeting/TotalSiteManager.h"

namespace {

// A site-mode table has no scenario to name the simulator: its raw curve takes the segment
// curve's label.
TEST_F(ViewSegmentPlot, TheRawCurveOfASiteModeTableNamesNoSimulator) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {150, 50});
    ASSERT_NE(nullptr, s);
    TotalSiteManager site;
    SegmentTable t(root, &site, s);
    setAll(s, "Raw_Temperature_DataSet", {60, 100, 150});
    const PlottedData* raw = t.GetPlot()->GetPlotArea().GetDataSet(2);
    ASSERT_NE(nullptr, raw);
    EXPECT_EQ("Temperature vs Enthalpy", raw->Label());
}

}  // namespace

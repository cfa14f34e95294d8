#include "brasko/LurmetBinaryFile.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "tests/support/ProbeView.h"
#include "tests/support/XmlCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

namespace {

class PlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDisplayUnitSet(SIUnits);
        // Two curves on the probe: hot (HeatFlow 204 / Temperature 205) with an empty point,
        // and cold (HeatFlow 206 / Temperature 207).
        owner.series[{6, 204}] = {0.0, 50.0, -32767.0, 100.0};
        owner.series[{1, 205}] = {150.0, 120.0, 110.0, 60.0};
        owner.series[{6, 206}] = {10.0, 90.0};
        owner.series[{1, 207}] = {20.0, 100.0};
    }
    XYDataStruct curve(const char* x, const char* y, const char* label, const ColourResource& colour) {
        XYDataStruct r;
        r.xVariable = x;
        r.yVariable = y;
        r.label = label;
        r.appearance.colour = colour;
        r.appearance.style = 0;
        return r;
    }
    ProbeRegistry registry;
    ProbeView owner{nullptr, "Scenario 1"};
};

TEST_F(PlotTest, TwoDataSetsResolvedByMonikerDropEmptyPointsWhenTold) {
    auto* plot = new TwoDimPlot(&owner);
    plot->title = "Composite Curves";
    plot->GetXAxisPtr()->title = "Enthalpy";
    plot->GetYAxisPtr()->title = "Temperature";
    const XYDataStruct hot = curve(":HeatFlow.204.[]", ":Temperature.205.[]", "Hot Composite Curve", RedColour());
    const XYDataStruct cold = curve(":HeatFlow.206.[]", ":Temperature.207.[]", "Cold Composite Curve", BlueColour());
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&hot, 1));
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&cold, 2));
    EXPECT_EQ(4u, plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(1)).size());
    plot->SetIgnoreEmptyPoints(true);
    const char* expected =
        "plot \"Composite Curves\" title=1 ignoreEmpty=1\n"
        "axis x \"Enthalpy\" format=%g visible=1 labels=1 units=0 ticks=0/0,0/0\n"
        "axis left \"Temperature\" format=%g visible=1 labels=1 units=0 ticks=0/0,0/0\n"
        "legend visible=1 direction=0\n"
        "dataset 1 curve \"Hot Composite Curve\" x=:HeatFlow.204.[] y=:Temperature.205.[] axis=left "
        "colour=#ff0000 style=0 symbol=-32767 visible=1 points=3 (0,150) (50,120) (100,60)\n"
        "dataset 2 curve \"Cold Composite Curve\" x=:HeatFlow.206.[] y=:Temperature.207.[] axis=left "
        "colour=#0000ff style=0 symbol=-32767 visible=1 points=2 (10,20) (90,100)\n";
    EXPECT_EQ(expected, plot->Dump());
    EXPECT_TRUE(IsWellFormedXml(plot->ExportSVG()));
    // The plot is the owner's child: it goes with it.
    EXPECT_EQ(1, owner.GetNumberOfChildren());
}

TEST_F(PlotTest, PointsPathsDisplayUnitsAndPlaceholders) {
    auto* design = new ProbeView(&owner, "Design 1");
    design->series[{31001, 236}] = {1.0 / 31536000.0, 2.0 / 31536000.0};
    design->series[{31000, 237}] = {500.0, 700.0};
    auto* plot = new TwoDimPlot(&owner);
    PointStruct p;
    p.xVariable = "ProbeView.200(Design 1).Cost.237.1";
    p.yVariable = "ProbeView.200(Design 1).CostPerTime.236.1";
    p.label = "Design 1";
    EXPECT_EQ(1, p.appearance.capacity);
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&p, 3));
    const auto pts = plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(3));
    ASSERT_EQ(1u, pts.size());
    EXPECT_DOUBLE_EQ(700.0, pts[0].x);
    EXPECT_NEAR(2.0, pts[0].y, 1e-9);  // cost per second shown per year

    XYDataStruct none;
    none.xVariable = ":Unknown.0";
    none.yVariable = ":Unknown.0";
    EXPECT_EQ(7, none.appearance.style);
    EXPECT_EQ(-32767, none.appearance.symbol);
    EXPECT_EQ(1000, none.appearance.capacity);
    EXPECT_EQ(0, none.appearance.flag);
    ASSERT_NE(nullptr, plot->GetPlotArea().CreateDataSet(&none, 1, nullptr, plot->AddYAxisPtr(1)));
    EXPECT_TRUE(plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(1)).empty());
    none.xVariable = "not an address";
    EXPECT_EQ(nullptr, plot->GetPlotArea().CreateDataSet(&none, 2));
    PlottedData* set = plot->GetPlotArea().GetDataSet(1);
    set->Hide();
    EXPECT_TRUE(set->IsChanged());
    EXPECT_FALSE(set->IsVisible());
    EXPECT_TRUE(plot->GetPlotArea().DestroyDataSet(1));
    EXPECT_FALSE(plot->GetPlotArea().DestroyDataSet(1));

    // Through a path: the design's owner reaches its sibling first.
    auto* chart = new TwoDimPlot(design);
    XYDataStruct viaPath = curve("MyOwnerObject:HeatFlow.206.[]", "MyOwnerObject:Temperature.207.[]", "c", RedColour());
    ASSERT_NE(nullptr, chart->GetPlotArea().CreateDataSet(&viaPath, 1));
    SetDisplayUnitSet(CustomaryUnits);
    const auto f = chart->ResolvePoints(*chart->GetPlotArea().GetDataSet(1));
    ASSERT_EQ(2u, f.size());
    EXPECT_NEAR(68.0, f[0].y, 1e-9);  // 20 C in F
    EXPECT_NEAR(10.0 * 3412.141633, f[0].x, 1e-6);
}

TEST_F(PlotTest, PlotParametersRoundTripAndFixTheAxisRange) {
    auto* params = new Dim2GraphControl(&owner);
    params->xMinimum = -5.0;
    params->grid = true;
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StorePlotParameters(out, params) && StorePlotParameters(out, nullptr) && out.Commit());
    DeletePlotParameters(params);
    EXPECT_EQ(nullptr, params);
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    Dim2GraphControl* back = nullptr;
    Dim2GraphControl* none = reinterpret_cast<Dim2GraphControl*>(&owner);
    ASSERT_TRUE(RecallPlotParameters(in, back, &owner) && RecallPlotParameters(in, none, &owner));
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(-5.0, back->xMinimum);
    EXPECT_EQ(-32767.0, back->xMaximum);
    EXPECT_TRUE(back->grid);
    EXPECT_EQ(nullptr, none);
    for (std::size_t cut = LurmetBinaryFile::MagicSize; cut + 1 < out.Bytes().size(); ++cut) {
        LurmetBinaryFile shortFile = LurmetBinaryFile::ForReading({out.Bytes().begin(), out.Bytes().begin() + cut});
        Dim2GraphControl* p = nullptr;
        if (!RecallPlotParameters(shortFile, p, &owner)) {
            EXPECT_EQ(nullptr, p) << cut;
        }
        DeletePlotParameters(p);
    }
    auto* plot = new TwoDimPlot(&owner, back);
    const XYDataStruct cold = curve(":HeatFlow.206.[]", ":Temperature.207.[]", "Cold", BlueColour());
    plot->GetPlotArea().CreateDataSet(&cold, 1);
    EXPECT_NE(Text::npos, plot->ExportSVG().find(">-5<")) << "the fixed minimum labels the x axis";
}

TEST_F(PlotTest, AxisFormatsAreOneFloatingConversionAndCurvesBreakAtNonFinitePoints) {
    auto* plot = new TwoDimPlot(&owner);
    Axis& x = *plot->GetXAxisPtr();
    for (const char* bad : {"%s", "%d", "%f %f", "%n", "no number", "%*f", "%12345f", "%"})
        EXPECT_FALSE(x.SetNumberFormat(bad)) << bad;
    for (const char* good : {"%4.1f", "%g", "%.3e kW", "100%% %5.2f", ""}) EXPECT_TRUE(x.SetNumberFormat(good)) << good;
    EXPECT_EQ("", x.FormatNumber(12.5)) << "an empty format shows no numbers";
    ASSERT_TRUE(x.SetNumberFormat("100%% %5.2f"));
    EXPECT_EQ("100% 12.50", x.FormatNumber(12.5));
    x.format = "%s";  // set behind the setter's back: written as "%g", never read as text
    EXPECT_EQ("12.5", x.FormatNumber(12.5));
    owner.series[{6, 210}] = {0.0, 10.0, HUGE_VAL, 30.0, 40.0};
    owner.series[{1, 211}] = {100.0, 90.0, 80.0, std::nan(""), 60.0};
    const XYDataStruct r = curve(":HeatFlow.210.[]", ":Temperature.211.[]", "Gaps", RedColour());
    plot->GetPlotArea().CreateDataSet(&r, 1);
    const std::string svg = plot->ExportSVG();
    EXPECT_TRUE(IsWellFormedXml(svg));
    // No number is written as nan or inf (words such as "dominant-baseline" hold the letters).
    EXPECT_FALSE(std::regex_search(svg, std::regex("(^|[^A-Za-z])-?(nan|inf)([^A-Za-z]|$)", std::regex::icase)));
    EXPECT_NE(std::string::npos, svg.find(">40<")) << "the axis numbers use the fallback format";
}

TEST(DisplayUnits, EveryTypeCodeOfTheFormsHasAQuantityNameAndUnits) {
    const int codes[] = {1,    4,    6,    9,    11,   24,    100,   104,   105,   107,   109,   110,   1011, 1027, 1507, 1508,
                         1516, 1517, 1519, 1520, 1524, 4101, 31000, 31001, 31002, 32009, 32039, 32048, 32049, 32053};
    for (int code : codes) {
        const QuantityInfo* q = FindQuantity(code);
        ASSERT_NE(nullptr, q) << code;
        EXPECT_FALSE(q->name.empty()) << code;
        EXPECT_EQ(q, FindQuantityByName(q->name)) << code;
        VarDescription v(q->name, 7);
        EXPECT_EQ(code, v.Type()) << "the name addresses its own kind: " << code;
        EXPECT_FALSE(v.DefFormat().empty()) << code;
    }
    // A heat-capacity flow rate follows the loads into customary units: 1 kW/C is 3412.14/1.8.
    const UnitConversion cp = DefUnitConv(1516, CustomaryUnits);
    EXPECT_EQ("Btu/hr-F", cp.name);
    EXPECT_NEAR(1895.634241, calc_ounit(1.0, cp), 1e-6);
    EXPECT_NEAR(10.0 / 176.1101838, calc_ounit(10.0, DefUnitConv(4101, CustomaryUnits)), 1e-12);
    // Integer settings are never converted, whatever else shares their number.
    EXPECT_EQ(3.0, calc_ounit(3.0, DefUnitConv(100, SIUnits)));
    VarDescription index;
    ASSERT_TRUE(VarDescription::Parse(":Index.0", index));
    EXPECT_EQ("%.0f", index.DefFormat());
}

TEST(DisplayUnits, ConversionsBothWaysInBothSets) {
    struct Case {
        int kind;
        int set;
        double base;
        double display;
        const char* unit;
    };
    const Case cases[] = {
        {1, SIUnits, 100.0, 100.0, "C"},        {1, CustomaryUnits, 100.0, 212.0, "F"},
        {1517, CustomaryUnits, 10.0, 18.0, "F"}, {24, CustomaryUnits, 10.0, 18.0, "F"},
        {6, CustomaryUnits, 1.0, 3412.141633, "Btu/hr"}, {1508, CustomaryUnits, 1.0, 10.7639104, "ft2"},
        {4, CustomaryUnits, 1.0, 7936.641439, "lb/hr"}, {31001, SIUnits, 1.0, 31536000.0, "Cost/year"},
        {31000, SIUnits, 5.0, 5.0, "Cost"},      {1520, SIUnits, 7200.0, 2.0, "h"},
        {777, SIUnits, 3.0, 3.0, ""},
    };
    for (const Case& c : cases) {
        const UnitConversion u = DefUnitConv(c.kind, c.set);
        EXPECT_EQ(c.unit, u.name) << c.kind;
        EXPECT_NEAR(c.display, calc_ounit(c.base, u), 1e-9) << c.kind;
        EXPECT_NEAR(c.base, calc_unit(c.display, u), 1e-9) << c.kind;
        EXPECT_EQ(-32767.0, calc_ounit(-32767.0, u));
    }
    UnitConversion years;
    ASSERT_TRUE(get_unit(44, "years", DefaultUnits, years));
    EXPECT_NEAR(2.0, calc_ounit(2.0 * 31536000.0, years), 1e-12);
    EXPECT_FALSE(get_unit(44, "parsecs", DefaultUnits, years));
}

}  // namespace

// The exchanger bar chart: one bar per exchanger the design viewer's filter shows, at x from
// i + 0.7 to i + 1.3 and from 0 to the quantity picked, coloured by service; its axis formats
// and units; and its record, older versions and cut records included.
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Resources.h"
#include "lumeth/TwoDimPlot.h"
#include "tests/support/RecordHarness.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/EnginePointers.h"
#include "views/plots/chiHXBarPlot.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using design_viewer_test::ViewerNetwork;

struct Bar {
    double x0, x1, y0, y1;
    ColourResource colour;
    Text label;
};

std::vector<Bar> bars(const chiHXBarPlot& chart) {
    std::vector<Bar> out;
    for (const PlottedData* set : chart.GetPlot()->GetPlotArea().DataSets()) {
        if (set->Number() < 0 || !set->IsBar()) continue;
        const std::vector<CanvasPoint> p = chart.GetPlot()->ResolvePoints(*set);
        EXPECT_EQ(2u, p.size()) << set->Number();
        if (p.size() == 2) out.push_back({p[0].x, p[1].x, p[0].y, p[1].y, set->appearance.colour, set->Label()});
    }
    return out;
}

TEST(ViewBarChart, ThreeExchangersAndAHeaterGiveFourBarsInTheirColours) {
    ViewerNetwork n;
    n.Units("pphp");
    // Duties of 50, 60, 70 and 80 kW as they stand on the units.
    for (int i = 0; i < 4; ++i) {
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetHeatExchanger(i, unit));
        unit->addVariable("Duty", 50.0 + 10.0 * i, 1);
    }
    auto viewer = n.Viewer();
    chiHXBarPlot* chart = viewer->GetBarChart();
    ASSERT_NE(nullptr, chart);
    ASSERT_EQ(9.0, viewer->GetExchangerFilter());
    ASSERT_EQ(1, chart->Specify(VarDescription(105, 250), 2.0));  // Duty
    const std::vector<Bar> b = bars(*chart);
    ASSERT_EQ(4u, b.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(i + 0.7, b[static_cast<std::size_t>(i)].x0) << i;
        EXPECT_DOUBLE_EQ(i + 1.3, b[static_cast<std::size_t>(i)].x1) << i;
        EXPECT_DOUBLE_EQ(0.0, b[static_cast<std::size_t>(i)].y0) << i;
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetHeatExchanger(i, unit));
        EXPECT_DOUBLE_EQ(50.0 + 10.0 * i, b[static_cast<std::size_t>(i)].y1) << i;
        EXPECT_EQ(HIDesignViewerDesign::UnitName(unit), b[static_cast<std::size_t>(i)].label);
        EXPECT_EQ(GetCommonColour(i == 2 ? 8 : 13), b[static_cast<std::size_t>(i)].colour) << i;
    }
    // The legend's three services, in their colours.
    const TwoDimDataPlotArea& area = chart->GetPlot()->GetPlotArea();
    const char* services[] = {"Exchanger", "Heater", "Cooler"};
    const int colours[] = {13, 8, 2};
    for (int k = 0; k < 3; ++k) {
        const PlottedData* legend = area.GetDataSet(-1 - k);
        ASSERT_NE(nullptr, legend);
        EXPECT_EQ(services[k], legend->Label());
        EXPECT_EQ(GetCommonColour(colours[k]), legend->appearance.colour);
    }
    // Process exchangers only: the heater's bar goes and the others close up.
    ASSERT_EQ(1, viewer->Specify(VarDescription(100, 214), 0.0));
    ASSERT_EQ(1, viewer->Specify(VarDescription(100, 215), 0.0));
    const std::vector<Bar> processOnly = bars(*chart);
    ASSERT_EQ(3u, processOnly.size());
    EXPECT_DOUBLE_EQ(2.7, processOnly[2].x0);
    EXPECT_EQ(b[3].label, processOnly[2].label);
    EXPECT_EQ(3, chart->GetBarCount());
    // No group shown: no bars.
    ASSERT_EQ(1, viewer->Specify(VarDescription(100, 213), 0.0));
    EXPECT_TRUE(bars(*chart).empty());
    EXPECT_EQ(0, chart->GetBarCount());
}

TEST(ViewBarChart, TheQuantityPicksTheAxisFormatUnitAndLabel) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    chiHXBarPlot* chart = viewer->GetBarChart();
    struct Case {
        int quantity;
        const char* label;
        const char* format;
        const char* unit;
    };
    const Case cases[] = {
        {0, "No. of Shell", "%.0f", ""},
        {1, "Area", "%4.1f", "m2"},
        {2, "Duty", "%.1f", "kW"},
        {3, "UA Value", "%.3f", "kW/C"},  // a heat flow per degree
    };
    for (const Case& c : cases) {
        ASSERT_EQ(1, chart->Specify(VarDescription(105, 250), c.quantity));
        Axis* y = chart->GetPlot()->GetYAxisPtr();
        EXPECT_EQ(c.label, y->title) << c.quantity;
        EXPECT_EQ(c.format, y->format) << c.quantity;
        EXPECT_EQ(c.unit, chart->GetPlot()->AxisUnit(*y)) << c.quantity;
        EXPECT_EQ(c.label, chart->TextValue(VarDescription(1519, 798)));
        // The picture is titled with what it shows.
        EXPECT_TRUE(chart->GetPlot()->titleVisible) << c.quantity;
        EXPECT_EQ(Text(c.label) + " of Each Unit", chart->GetPlot()->title) << c.quantity;
    }
    // These exchangers are not calculated (no duty, no temperatures), so they carry no "UAValue"
    // and their bars stand at 0; a calculated unit's bar is its U x A (the host's bar-chart test).
    for (const Bar& b : bars(*chart)) EXPECT_EQ(0.0, b.y1);
    // A choice outside the list is refused.
    EXPECT_EQ(0, chart->Specify(VarDescription(105, 250), 4.0));
    EXPECT_EQ(3, chart->GetSelectedQuantity());
    // Rows: the exchanger names and numbers.
    VarDescription name(1519, 713);
    name.SetOffset(0, 1);
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(1, unit));
    EXPECT_EQ(HIDesignViewerDesign::UnitName(unit), chart->TextValue(name));
    VarDescription number(1519, 790);
    number.SetOffset(0, 1);
    EXPECT_EQ("2", chart->TextValue(number));
    MessageInfo asked{6, "chiHXBarPlot", nullptr, 0, nullptr};
    EXPECT_TRUE(chart->GenMessage(asked));
    EXPECT_EQ(chart->GetPlot(), asked.answer);
}

class ViewBarChartRecord : public ::testing::Test {
protected:
    // Version 1 and 2 records made by hand; `cut` stops after that many items.
    std::vector<std::uint8_t> oldRecord(int v, int cut = 1000) {
        HandMadeRecord record(cut);
        LurmetBinaryFile& f = record.File();
        auto item = [&](const std::function<bool()>& write) { record.Item(write); };
        if (v >= 2) item([&] { return f.WriteBool(false); });
        item([&] { return StoreDesignPointer(f, nullptr, nullptr); });  // no design
        item([&] { return f.WriteInt(0); });  // the plot
        item([&] { return StorePlotParameters(f, nullptr); });
        item([&] { return f.WriteInt(0); });  // the viewer
        item([&] { return f.WriteInt(1); });  // area
        item([&] { return f.WriteInt(4); });  // bars
        return record.Finish();
    }
};

TEST_F(ViewBarChartRecord, OlderVersionsGetTheAxesTheBarsWouldSetAndCutRecordsFail) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    const ObjectTypeInfo* type = ObjectTypeRegistry::Current()->Find(chiHXBarPlot::TypeName);
    for (int v : {1, 2, 3}) {
        SCOPED_TRACE(v);
        ObjectInstanceInfo info{type, "chiHXBarPlot", viewer.get()};
        auto* chart = static_cast<chiHXBarPlot*>(type->CreateInstanceForRecall(info));
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(oldRecord(v));
        ASSERT_TRUE(chart->RecallClassData(in, v));
        ASSERT_TRUE(chart->CheckRecalledPointers());
        ASSERT_TRUE(chart->RecallFixUp());
        EXPECT_EQ(viewer.get(), chart->GetViewer());
        EXPECT_EQ(1, chart->GetSelectedQuantity());
        ASSERT_NE(nullptr, chart->GetPlot());
        EXPECT_EQ("%4.1f", chart->GetPlot()->GetYAxisPtr()->format);
        EXPECT_EQ("", chart->GetPlot()->GetXAxisPtr()->format);
        delete chart;
        ExpectEveryCutRecordFails([&](int cut) { return oldRecord(v, cut); },
                                  [&](const Bytes& bytes) {
                                      auto* cutChart = static_cast<chiHXBarPlot*>(type->CreateInstanceForRecall(info));
                                      LurmetBinaryFile part = LurmetBinaryFile::ForReading(bytes);
                                      const bool read = cutChart->RecallClassData(part, v);
                                      delete cutChart;
                                      return read;
                                  },
                                  "bar chart");
    }
}

}  // namespace

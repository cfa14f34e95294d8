// The grid diagram of a design: one line per process stream, hot above cold, exchangers in
// columns in the order they meet along each line, heaters and coolers only where the network
// leaves a utility duty, and the picture read back from its SVG.
#include "views/grid/HENDiagram.h"

#include "lumeth/VarDescription.h"

#include "tests/eng/design/OperationTestSupport.h"
#include "tests/support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>

namespace {

using design_test::OperatedNetwork;

std::map<std::string, const HENDHeatEx*> unitsByName(const HENDiagram& g) {
    std::map<std::string, const HENDHeatEx*> out;
    for (const HENDNode* item : g.Items())
        if (auto* hx = dynamic_cast<const HENDHeatEx*>(item)) out[hx->Node()->getName().c_str()] = hx;
    return out;
}

int count(const HENDiagram& g, const std::string& cls) {
    int n = 0;
    for (const HENDNode* item : g.Items()) n += cls == item->SvgClass();
    return n;
}

TEST(ViewGridDiagram, TwoExchangersWithTheirUtilitiesLaidOutInColumns) {
    OperatedNetwork n;
    ASSERT_TRUE(n.e100 && n.e101);
    HENDiagram g;
    g.zoomMode = g.previousZoomMode = 2;  // the layout's own coordinates
    g.hideUtilityUnits = false;
    g.SetDesign(n.d);
    // Preset 1: hot process streams by supply temperature, then cold ones by target temperature;
    // each line 30 below its top, 60 high, 100 to the next.
    ASSERT_EQ(4u, g.Lines().size());
    const char* lines[] = {"H1", "H2", "C2", "C1"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i], g.Lines()[static_cast<std::size_t>(i)].stream);
        EXPECT_DOUBLE_EQ(80.0 + 190.0 * i, g.Lines()[static_cast<std::size_t>(i)].y);
    }
    // H1 and H2 leave 90 and 30 kW for coolers, C1 80 kW for a heater; C2 is met in full by E100
    // and gets no heater.
    EXPECT_EQ(2, count(g, "exchanger"));
    EXPECT_EQ(2, count(g, "cooler"));
    EXPECT_EQ(1, count(g, "heater"));
    const auto units = unitsByName(g);
    const HENDHeatEx* e100 = units.at(n.e100->getName());
    const HENDHeatEx* e101 = units.at(n.e101->getName());
    ASSERT_EQ(2u, e100->ends.size());
    EXPECT_EQ("H1", e100->ends[0].stream);
    EXPECT_DOUBLE_EQ(80.0, e100->ends[0].y);
    EXPECT_EQ("C2", e100->ends[1].stream);
    EXPECT_DOUBLE_EQ(460.0, e100->ends[1].y);
    // Every unit has a column of its own; along C1 (right to left) the heater at the hot end lies
    // left of E101, along H1 and H2 the coolers lie right of the exchangers.
    std::map<int, int> columns;
    const HENDHeatEx *heater = nullptr, *h1Cooler = nullptr, *h2Cooler = nullptr;
    for (const auto& [name, hx] : units) {
        ++columns[hx->column];
        if (std::string(hx->SvgClass()) == "heater") heater = hx;
        if (std::string(hx->SvgClass()) == "cooler") (hx->ends[0].stream == "H1" ? h1Cooler : h2Cooler) = hx;
        // Columns 60 apart from 165, the circle 60 across centred 30 right of that.
        EXPECT_DOUBLE_EQ(195.0 + 60.0 * hx->column, hx->ends[0].x) << name;
    }
    for (const auto& [c, k] : columns) EXPECT_EQ(1, k) << c;
    ASSERT_TRUE(heater && h1Cooler && h2Cooler);
    EXPECT_EQ("C1", heater->ends[0].stream);
    EXPECT_LT(heater->ends[0].x, e101->ends[1].x);
    EXPECT_GT(h1Cooler->ends[0].x, e100->ends[0].x);
    EXPECT_GT(h2Cooler->ends[0].x, e101->ends[0].x);
}

// A new diagram leaves the heaters and coolers out until the user shows them (form switch 201).
TEST(ViewGridDiagram, ANewDiagramShowsTheUtilityUnitsOnlyWhenAskedTo) {
    OperatedNetwork n;
    HENDiagram g;
    g.SetDesign(n.d);
    EXPECT_EQ(0, count(g, "heater") + count(g, "cooler"));
    EXPECT_EQ(2, count(g, "exchanger"));
    g.hideUtilityUnits = false;
    g.SetDesign(n.d);
    EXPECT_EQ(3, count(g, "heater") + count(g, "cooler"));  // a heater on C1, a cooler on each hot stream
}

TEST(ViewGridDiagram, HiddenUtilitiesLeaveOneContinuousSegment) {
    OperatedNetwork n;
    HENDiagram g;
    g.hideUtilityUnits = true;
    g.SetDesign(n.d);
    EXPECT_EQ(0, count(g, "heater") + count(g, "cooler"));
    int c1Segments = 0;
    for (const HENDNode* item : g.Items())
        if (auto* s = dynamic_cast<const HENDStreamSegment*>(item); s && s->streamName == "C1") ++c1Segments;
    EXPECT_EQ(2, c1Segments);  // end to E101, E101 to start
}

TEST(ViewGridDiagram, NoStreamsGiveNoItemsAndTheBareHeight) {
    design_test::DesignScenario s;
    HENDiagram g;
    g.SelectPreset(3);
    g.SetDesign(s.Design("Empty"));
    ASSERT_TRUE(g.GetDesign());
    EXPECT_TRUE(g.Items().empty());
    EXPECT_DOUBLE_EQ(50.0, g.StackedHeight());
    HENDiagram empty;
    empty.SetDesign(nullptr);
    EXPECT_TRUE(empty.Items().empty());
}

// Each item is named as a child by its place in the list and its name, and that address leads
// back to it.
TEST(ViewGridDiagram, ItemsAreChildViewsByTheirPlaceAndName) {
    OperatedNetwork n;
    HENDiagram g;
    g.SetDesign(n.d);
    ASSERT_GE(g.Items().size(), 3u);
    for (std::size_t i = 0; i < g.Items().size(); ++i) {
        const HENDNode* item = g.Items()[i];
        const Text name = g.AttachedName(item);
        EXPECT_EQ("CanvasConnection.200." + std::to_string(i) + "(" + item->unitName + ")", name);
        VarDescription address;
        ASSERT_TRUE(VarDescription::Parse(name, address)) << name;
        EXPECT_EQ(item, g.AttachedObject(address)) << name;
    }
    VarDescription past;
    ASSERT_TRUE(VarDescription::Parse("CanvasConnection.200." + std::to_string(g.Items().size()), past));
    EXPECT_EQ(nullptr, g.AttachedObject(past));
}

// One anchor per line in display order, named after its stream and kept apart from the items;
// anchors order by their streams' categories: cold utility, hot process, cold process, hot
// utility.
TEST(ViewGridDiagram, EachLineHasAnAnchorThatOrdersByCategory) {
    OperatedNetwork n;
    HENDiagram g;
    g.hideUtilityUnits = false;
    g.SetDesign(n.d);
    ASSERT_EQ(g.Lines().size(), g.Anchors().size());
    const HENDStreamAnchor *hotProcess = nullptr, *coldProcess = nullptr;
    for (std::size_t k = 0; k < g.Lines().size(); ++k) {
        const HENDStreamAnchor* a = g.Anchors()[k];
        EXPECT_EQ(g.Lines()[k].stream, a->streamName);
        EXPECT_EQ(2, a->GetKind());
        EXPECT_EQ(g.Items().end(), std::find(g.Items().begin(), g.Items().end(), a));
        ASSERT_TRUE(a->owner);
        EXPECT_EQ(a->streamName, a->owner->streamName);
        if (a->process) (a->cold ? coldProcess : hotProcess) = a;
    }
    ASSERT_TRUE(hotProcess && coldProcess);
    EXPECT_EQ(-1, hotProcess->CompareAnchor(coldProcess));
    EXPECT_EQ(1, coldProcess->CompareAnchor(hotProcess));
    EXPECT_EQ(0, hotProcess->CompareAnchor(hotProcess->owner));  // a start is no anchor
    EXPECT_EQ(0, hotProcess->CompareAnchor(nullptr));
}

TEST(ViewGridDiagram, PictureGroupsEveryItemWithItsClassAndNames) {
    OperatedNetwork n;
    HENDiagram g;
    g.SetDesign(n.d);
    const SvgPicture pic = ReadSvg(g.PictureSVG());
    ASSERT_TRUE(pic.parsed);
    int circlesInExchangers = 0, segmentLines = 0;
    for (const SvgElement& e : pic.elements) {
        if (&e == &pic.elements.front()) continue;  // the background
        ASSERT_EQ(1u, e.groupClasses.size()) << e.name;
        if (e.name == "circle" && e.groupClasses[0] == "exchanger") ++circlesInExchangers;
        if (e.name == "line" && e.groupClasses[0] == "stream-segment") {
            ++segmentLines;
            EXPECT_DOUBLE_EQ(e.Number("y1"), e.Number("y2"));  // horizontal, on its line
        }
    }
    EXPECT_EQ(2 * 2 * 8, circlesInExchangers);  // two exchangers, two ends, eight shades
    EXPECT_GT(segmentLines, 0);
}

TEST(ViewGridDiagram, ShadedCircleStepsShrinkTowardsTheUpperLeft) {
    const auto steps = ShadedCircleSteps(0, 0, 60, 60, ShadeKeyColour(5));
    ASSERT_EQ(8u, steps.size());
    const int expected[][2] = {{0, 60}, {1, 56}, {3, 52}, {11, 34}};
    const int at[] = {0, 1, 2, 7};
    for (int k = 0; k < 4; ++k) {
        const HENDShadeStep& s = steps[static_cast<std::size_t>(at[k])];
        EXPECT_EQ(expected[k][0], s.left) << k;
        EXPECT_EQ(expected[k][0], s.top) << k;
        EXPECT_EQ(expected[k][1], s.right) << k;
        EXPECT_EQ(expected[k][1], s.bottom) << k;
    }
    // Yellow 255 / 8 = 31 a component, eight of them: 248, 248, 0.
    EXPECT_EQ(63736u, steps.back().colour.Packed());
    EXPECT_EQ(31u, steps.front().colour.Packed() & 0xFF);
    EXPECT_EQ("HENDProcProc", ShadeKeyColour(1).name);
    EXPECT_EQ("HENDInfeasible", ShadeKeyColour(0).name);
}

TEST(ViewGridDiagram, IntervalPositionsAndColumnsOfAnExchangerSide) {
    const std::vector<double> bounds = {100.0, 150.0};
    EXPECT_EQ(2, IntervalPosition(120.0, bounds));
    EXPECT_EQ(0, IntervalPosition(50.0, bounds));
    EXPECT_EQ(4, IntervalPosition(200.0, bounds));
    EXPECT_EQ(1, IntervalPosition(100.0001, bounds));
    EXPECT_EQ(3, IntervalPosition(150.0, bounds));
    EXPECT_EQ(-1, IntervalPosition(-32767.0, bounds));
    EXPECT_EQ(2, IntervalColumn(1, 3));
    EXPECT_EQ(1, IntervalColumn(1, 1));
    EXPECT_EQ(0, IntervalColumn(0, 1));
    EXPECT_EQ(1, IntervalColumn(0, 3));
    EXPECT_EQ(2, IntervalColumn(1, 2));
    EXPECT_EQ(2, IntervalColumn(2, 2));
    EXPECT_EQ(3, IntervalColumn(2, 4));
}

TEST(ViewGridDiagram, TerminalsGoToTheirPinchByTemperature) {
    const std::vector<double> hot = {150.0, 90.0};
    const HENDTerminalPlace on = TerminalAtPinch(150.05, false, true, hot);
    EXPECT_EQ(0, on.interval);
    EXPECT_EQ(1, on.mode);
    const HENDTerminalPlace above = TerminalAtPinch(95.0, false, true, hot);  // smallest above 95
    EXPECT_EQ(0, above.interval);
    EXPECT_EQ(3, above.mode);
    const HENDTerminalPlace end = TerminalAtPinch(100.0, false, false, hot);  // largest below 100
    EXPECT_EQ(1, end.interval);
    EXPECT_EQ(2, end.mode);
    EXPECT_EQ(0, TerminalAtPinch(155.0, false, true, hot).mode);  // nothing above
    EXPECT_EQ(-1, TerminalAtPinch(155.0, false, true, hot).interval);
    // Cold terminals: a start looks below, an end above.
    EXPECT_EQ(1, TerminalAtPinch(120.0, true, true, hot).interval);
    EXPECT_EQ(0, TerminalAtPinch(120.0, true, false, hot).interval);
}

TEST(ViewGridDiagram, SplitWithoutNodeOrBranchesDrawsOnlyWhatItHas) {
    HENDiagram g;
    auto* split = new HENDStreamSplitStart(&g, nullptr, true);  // the plane deletes it
    Canvas canvas;
    split->Draw(canvas);
    EXPECT_EQ(0, canvas.Count());
    split->branchY = {50.0};
    split->Draw(canvas);
    EXPECT_EQ(2, canvas.Count());  // the stub and the line to the one branch
}

}  // namespace

namespace {

// One hot and one cold stream joined by one exchanger, utilities hidden.
struct OneExchanger : design_test::DesignScenario {
    OneExchanger() {
        Add("H", 150.0, 50.0, 1.0);
        Add("C", 40.0, 120.0, 1.0);
        d = Design("One");
        unit = d->AddHeatExchanger(design_test::NthSegment(*d, "H", 0), design_test::NthSegment(*d, "C", 0), nullptr,
                                   nullptr, nullptr);
    }
    CPIHENDesign* d = nullptr;
    CNode* unit = nullptr;
};

const HENDStreamSegment* segmentOf(const HENDiagram& g, const char* stream, double x1) {
    for (const HENDNode* item : g.Items())
        if (auto* s = dynamic_cast<const HENDStreamSegment*>(item); s && s->streamName == stream && s->x1 == x1) return s;
    return nullptr;
}

TEST(ViewGridLayout, OneExchangerInColumnZero) {
    OneExchanger n;
    ASSERT_TRUE(n.unit);
    HENDiagram g;
    g.hideUtilityUnits = true;
    g.zoomMode = g.previousZoomMode = 2;
    g.SetDesign(n.d);
    const HENDHeatEx* hx = unitsByName(g).at(n.unit->getName());
    ASSERT_EQ(2u, hx->ends.size());
    // Column 0 at 0 x 60 + 115 + 50 = 165: the line walk's first segment runs 50 -> 165 (115 long),
    // the circle is 60 across, the ends align 50 past 225 + 50 = 275.
    EXPECT_EQ(0, hx->column);
    EXPECT_DOUBLE_EQ(165.0, hx->ends[0].left);
    EXPECT_DOUBLE_EQ(115.0, hx->ends[0].left - 50.0);
    EXPECT_DOUBLE_EQ(195.0, hx->ends[0].x);
    EXPECT_DOUBLE_EQ(325.0, g.EndColumnX());
    // Drawn, H leaves its square at 65 and meets the circle's left edge; the second segment
    // runs from the circle's right edge to the end column, 100 long. C runs the other way.
    const HENDStreamSegment* first = segmentOf(g, "H", 65.0);
    const HENDStreamSegment* second = segmentOf(g, "H", 225.0);
    ASSERT_TRUE(first && second);
    EXPECT_DOUBLE_EQ(165.0, first->x2);
    EXPECT_DOUBLE_EQ(100.0, second->x2 - second->x1);
    ASSERT_TRUE(segmentOf(g, "C", 65.0) && segmentOf(g, "C", 225.0));
    EXPECT_DOUBLE_EQ(325.0, segmentOf(g, "C", 225.0)->x2);  // into C's start square
    EXPECT_EQ(1, hx->ends[0].shade);                        // process to process: white
}

TEST(ViewGridLayout, FitBothScalesIntoTheCanvasSetUpView) {
    OneExchanger n;
    HENDiagram g;
    g.hideUtilityUnits = true;
    g.SetDesign(n.d);
    // The terminals span 40 (H's square) to 350 (C's square at the end column): 310 wide, no
    // labels outside them; (4 x (1150 - 15) - 100) / 310.
    EXPECT_NEAR(4440.0 / 310.0, g.HorizontalScale(), 1e-12);
    const HENDHeatEx* hx = unitsByName(g).at(n.unit->getName());
    EXPECT_NEAR(40.0 + 125.0 * 4440.0 / 310.0, hx->ends[0].left, 1e-9);
    // The bounds: the content from 0 (the box starts at the origin) to the right side of C's
    // square, whose left edge moved from 325 (its size does not scale), 150 to the left and 170
    // to the right.
    EXPECT_NEAR(-150.0, g.Bounds().left, 1e-9);
    EXPECT_NEAR(40.0 + 285.0 * 4440.0 / 310.0 + 25.0 + 170.0, g.Bounds().right, 1e-9);
    // The view shows the bounds' whole width; the lines moved down by the vertical scale.
    EXPECT_NEAR(g.Bounds().Width() * 1150.0 / 1135.0, g.VisibleWidth(), 1e-6);
    EXPECT_GT(g.VerticalScale(), 1.0);
    EXPECT_NEAR(80.0 * g.VerticalScale(), g.Lines()[0].y, 1e-9);
    // Two lines far apart keep the full symbol size and full-size names.
    EXPECT_DOUBLE_EQ(30.0, g.ExchangerSize());
}

TEST(ViewGridLayout, BranchesLieEvenlyAboutTheirSplitsLine) {
    std::vector<double> offsets;
    // Two branches of one exchanger each: 0 and 30 + 100 + 30 apart, shifted up by half that.
    HENDRoom r = StackBranchOffsets({{30, 30}, {30, 30}}, offsets);
    ASSERT_EQ(2u, offsets.size());
    EXPECT_DOUBLE_EQ(-80.0, offsets[0]);
    EXPECT_DOUBLE_EQ(80.0, offsets[1]);
    EXPECT_DOUBLE_EQ(110.0, r.above);
    EXPECT_DOUBLE_EQ(110.0, r.below);
    // Three with an empty one in the middle: 0, 30 + 100 + 30, 160 + 3 + 100 + 30.
    r = StackBranchOffsets({{30, 30}, {30, 3}, {30, 30}}, offsets);
    EXPECT_DOUBLE_EQ(-146.5, offsets[0]);
    EXPECT_DOUBLE_EQ(13.5, offsets[1]);
    EXPECT_DOUBLE_EQ(146.5, offsets[2]);
    EXPECT_DOUBLE_EQ(176.5, r.above);
    EXPECT_TRUE(StackBranchOffsets({}, offsets).above == 0.0 && offsets.empty());
}

}  // namespace

namespace {

TEST(ViewGridLabels, AnnotationsFollowTheChoicesOfTheirPositions) {
    HENDiagram g;
    // Defaults: temperatures at the segments (0) and the terminals (4, 5), the duty above an
    // exchanger (2), nothing at 1 and 3.
    EXPECT_EQ("150.0 C", g.GetAnnotation(4, nullptr, 150.0));
    EXPECT_EQ("?", g.GetAnnotation(0, nullptr, -32767.0));
    EXPECT_TRUE(g.GetAnnotation(1, nullptr, 150.0).empty());
    EXPECT_TRUE(g.GetAnnotation(6, nullptr, 150.0).empty());
    design_test::OperatedNetwork n;
    EXPECT_EQ("240.0 kW", g.GetAnnotation(2, n.e100, -32767.0));
    g.SetAnnotationChoice(3, 8);  // the unit's name
    EXPECT_EQ("E-100", g.GetAnnotation(3, n.e100, -32767.0));
    g.SetAnnotationChoice(1, 3);  // an area not yet known
    EXPECT_EQ("?", g.GetAnnotation(1, nullptr, -32767.0));
    EXPECT_EQ("?", HENDiagram::FormatValue(-32767.0, "%0.1f ", 1));
}

TEST(ViewGridLabels, NamesAndLabelsScaleToTheRoomTheyHave) {
    // Two lines 60 apart leave 60 - 28 for a name 12 high: 32 / 12 above full size, so 1.0;
    // 40 apart gives 12 / 12; closer ones shrink to half at least.
    struct Metrics : HENDFontMetrics {
        double Width(const Text& t, double scale) const override { return 10.0 * scale * static_cast<double>(Characters(t)); }
    };
    HENDiagram g;
    g.SetFontMetrics(std::make_unique<Metrics>());
    EXPECT_EQ("LongName", g.FitText("LongName", 80.0));
    EXPECT_EQ("Long\xE2\x80\xA6", g.FitText("LongName", 50.0));
    EXPECT_EQ("LongName", g.FitText("LongName", 40.0, 0.5));
    EXPECT_EQ("L", g.FitText("L", 1.0));
    // The textbook network fitted into the view: every start carries one label scale in
    // [0.5, 1], and the exchanger symbols are no larger than half the closest lines allow.
    design_test::OperatedNetwork n;
    HENDiagram fitted;
    fitted.SetDesign(n.d);
    double closest = 1e9;
    for (std::size_t k = 1; k < fitted.Lines().size(); ++k)
        closest = std::min(closest, fitted.Lines()[k].y - fitted.Lines()[k - 1].y);
    EXPECT_DOUBLE_EQ(std::min(30.0, closest / 2.0), fitted.ExchangerSize());
    for (const HENDNode* item : fitted.Items())
        if (auto* s = dynamic_cast<const HENDStreamStart*>(item)) {
            EXPECT_DOUBLE_EQ(std::clamp((closest - 28.0) / 12.0, 0.5, 1.0), s->labelScale);
        }
}

TEST(ViewGridLabels, ExchangerEndsAreShadedByWhatTheyJoin) {
    design_test::OperatedNetwork n;
    HENDiagram g;
    g.hideUtilityUnits = false;
    g.SetDesign(n.d);
    int process = 0, heaters = 0, coolers = 0;
    for (const HENDNode* item : g.Items()) {
        auto* hx = dynamic_cast<const HENDHeatEx*>(item);
        if (!hx) continue;
        for (const HENDExchangerEnd& e : hx->ends) {
            const std::string cls = hx->SvgClass();
            // White between process streams, red for a heater, blue for a cooler.
            const int expected = cls == "exchanger" ? 1 : cls == "heater" ? 2 : 3;
            EXPECT_EQ(expected, e.shade) << cls;
            (cls == "exchanger" ? process : cls == "heater" ? heaters : coolers)++;
        }
    }
    EXPECT_EQ(4, process);
    EXPECT_EQ(1, heaters);
    EXPECT_EQ(2, coolers);
    // The design's own code wins where it set one (a modified exchanger is green).
    n.e100->addVariable("HotShadeIt", 4.0, 1);
    g.SetDesign(n.d);
    for (const HENDNode* item : g.Items())
        if (auto* hx = dynamic_cast<const HENDHeatEx*>(item); hx && hx->Node() == n.e100) {
            for (const HENDExchangerEnd& e : hx->ends) EXPECT_EQ(e.cold ? 1 : 4, e.shade);
        }
}

}  // namespace

namespace {

// A label's number as printf's fixed conversion writes it in the unit shown: the binary value
// rounded (a half of it to the even digit), the sign of a negative zero kept, any other format
// still honoured, and no label longer than 63 characters before its unit.
struct LabelCase {
    const char* what;
    double value;
    const char* format;
    int unitKind;
    const char* label;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.what; }

class ViewGridLabelNumber : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ViewGridLabelNumber, IsWrittenAsTheFormatAsks) {
    const LabelCase& c = GetParam();
    EXPECT_EQ(c.label, HENDiagram::FormatValue(c.value, c.format, c.unitKind));
}

// 1e70 is 10000000000000000725314363815292351261583744096465219555182101554790400 as a double:
// its fixed form cut at 63 characters.
const char* const kHuge = "100000000000000007253143638152923512615837440964652195551821015";

INSTANTIATE_TEST_SUITE_P(
    Labels, ViewGridLabelNumber,
    ::testing::Values(LabelCase{"Temperature", 150.04, "%0.1f ", 1, "150.0 C"},
                      LabelCase{"RoundedUp", 149.96, "%0.1f ", 1, "150.0 C"},
                      LabelCase{"BinaryHalfToEven", 0.25, "%0.1f ", 1, "0.2 C"},
                      LabelCase{"BinaryValueAboveTheHalf", 0.35, "%0.1f ", 1, "0.3 C"},
                      LabelCase{"NegativeZero", -0.04, "%0.1f ", 1, "-0.0 C"},
                      LabelCase{"TwoDecimals", 12.345, "%0.2f ", 24, "12.35 C"},
                      LabelCase{"NoDecimals", 2.5, "%0.0f ", 65, "2 "},
                      LabelCase{"OtherFormat", 1234567.0, "%g ", 65, "1.23457e+06 "},
                      LabelCase{"CutAtTheBuffer", 1e70, "%0.1f ", 65, kHuge}),
    [](const ::testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.what); });

}  // namespace

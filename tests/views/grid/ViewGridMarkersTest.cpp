// The grid diagram's item services and drags: temperatures read along the lines of the pinch
// layout, which segments may be joined, the two markers the user sets on segments, and the
// drags that start from them (a new exchanger, a bypass split) or from an exchanger end, with
// the scroll timer that runs while the pointer is past the border.
#include "views/grid/HENDiagram.h"

#include "lumeth/Session.h"
#include "lumeth/Timer.h"
#include "tests/eng/design/OperationTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// ---- temperatures along a line ----

// Pinches at x 300 (hot 90, cold 80) and x 100 (hot 150, cold 140), in that order; symbols of
// size 30, so the columns' centres lie at 330 and 130, 45 either way.
struct AtX {
    double x;
    bool reverse, cold;
    double expected;
};
void PrintTo(const AtX& c, std::ostream* os) {
    *os << "x " << c.x << (c.reverse ? ", reversed" : "") << (c.cold ? ", cold" : ", hot") << ": " << c.expected;
}
class ViewGridTemperatureAtX : public ::testing::TestWithParam<AtX> {};

TEST_P(ViewGridTemperatureAtX, ReadsThePinchColumnOrJustOffTheNextOne) {
    std::vector<HENDPinch> pinches(2);
    pinches[0].x = 300.0, pinches[0].hot = 90.0, pinches[0].cold = 80.0;
    pinches[1].x = 100.0, pinches[1].hot = 150.0, pinches[1].cold = 140.0;
    const AtX& c = GetParam();
    EXPECT_NEAR(c.expected, PinchTemperatureAtX(pinches, 30.0, c.reverse, c.cold, c.x), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    TwoPinches, ViewGridTemperatureAtX,
    ::testing::Values(AtX{340.0, false, false, 90.0}, AtX{200.0, false, false, 149.9}, AtX{400.0, false, false, 89.9},
                      AtX{50.0, false, false, 150.1}, AtX{375.0, false, false, 90.0},  // exactly 1.5 s off the centre
                      AtX{285.0, false, false, 90.0}, AtX{376.0, false, false, 89.9}, AtX{340.0, false, true, 80.0},
                      AtX{200.0, false, true, 139.9}, AtX{200.0, true, false, 150.1}, AtX{50.0, true, false, 149.9}));

TEST(ViewGridTemperatures, WithoutPinchesTheLineReadsZeroAndThePointNothing) {
    EXPECT_EQ(0.0, PinchTemperatureAtX({}, 30.0, false, false, 100.0));
    EXPECT_EQ(-32767.0, PinchTemperatureAtPoint({}, false, {100.0, 0.0}, true));
}

struct AtPoint {
    double x;
    bool reverse, cold;
    double expected;
};
void PrintTo(const AtPoint& c, std::ostream* os) {
    *os << "x " << c.x << (c.reverse ? ", reversed" : "") << (c.cold ? ", cold" : ", hot") << ": " << c.expected;
}
class ViewGridTemperatureAtPoint : public ::testing::TestWithParam<AtPoint> {};

TEST_P(ViewGridTemperatureAtPoint, ATenThousandthToTheSideThePointLiesOn) {
    std::vector<HENDPinch> pinches(1);
    pinches[0].x = 100.0, pinches[0].hot = 150.0, pinches[0].cold = 140.0;
    const AtPoint& c = GetParam();
    EXPECT_NEAR(c.expected, PinchTemperatureAtPoint(pinches, c.reverse, {c.x, 0.0}, c.cold), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(OnePinch, ViewGridTemperatureAtPoint,
                         ::testing::Values(AtPoint{90.0, false, true, 140.0001}, AtPoint{90.0, false, false, 149.9999},
                                           AtPoint{110.0, false, true, 139.9999}, AtPoint{110.0, false, false, 150.0001},
                                           AtPoint{100.0, false, true, 140.0001}, AtPoint{90.0, true, true, 139.9999},
                                           AtPoint{110.0, true, false, 149.9999}));

TEST(ViewGridTemperatures, TheFirstOfTwoEquallyNearPinchesCounts) {
    std::vector<HENDPinch> pinches(2);
    pinches[0].x = 80.0, pinches[0].hot = 150.0;
    pinches[1].x = 120.0, pinches[1].hot = 90.0;
    // The pinch at 80 lies left of the point: its hot side a little above it.
    EXPECT_NEAR(150.0001, PinchTemperatureAtPoint(pinches, false, {100.0, 0.0}, false), 1e-9);
}

TEST(ViewGridTemperatures, OnlyASpecifiedTemperatureIsRead) {
    design_test::OperatedNetwork n;
    CNode* s = design_test::NthSegment(*n.d, "H1", 0);
    ASSERT_TRUE(s);
    s->addVariable("Temperature", 123.0, ValueStatus::Calculated);
    EXPECT_EQ(-32767.0, HENDiagram::ReadTemperature(s));
    s->addVariable("Temperature", 123.0, ValueStatus::Specified);
    EXPECT_EQ(123.0, HENDiagram::ReadTemperature(s));
    EXPECT_EQ(-32767.0, HENDiagram::ReadTemperature(nullptr));
}

// ---- the diagram of H, H2 and C with one exchanger between H and C ----

// Lines at 80 (H), 270 (H2) and 460 (C) in the layout's own coordinates.
struct Grid : design_test::DesignScenario {
    Grid() {
        Session::Instance().Reset();
        TimerService::Instance().Reset();
        Add("H", 150.0, 50.0, 1.0);
        Add("H2", 140.0, 60.0, 1.0);
        Add("C", 40.0, 120.0, 1.0);
        d = Design("Marks");
        unit = d->AddHeatExchanger(design_test::NthSegment(*d, "H", 0), design_test::NthSegment(*d, "C", 0), nullptr,
                                   nullptr, nullptr);
        g.hideUtilityUnits = true;
        g.zoomMode = g.previousZoomMode = 2;
        g.SetDesign(d);
        g.PaintNow();
    }
    // The longest segment drawn on a stream for a segment node (a line's segments are found
    // anew after every rebuild).
    HENDStreamSegment* Longest(const Text& stream) const {
        HENDStreamSegment* best = nullptr;
        for (HENDNode* item : g.Items())
            if (auto* s = dynamic_cast<HENDStreamSegment*>(item); s && s->streamName == stream && s->Node())
                if (!best || std::abs(s->x2 - s->x1) > std::abs(best->x2 - best->x1)) best = s;
        return best;
    }
    static CanvasPoint Along(const HENDStreamSegment& s, double fraction) {
        return {std::min(s.x1, s.x2) + fraction * std::abs(s.x2 - s.x1), s.y};
    }
    std::vector<Text> Sent() const {
        std::vector<Text> out;
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent)) out.push_back(e.text);
        return out;
    }
    std::string Shape() const {
        return design_test::Chain(*d, "H") + "|" + design_test::Chain(*d, "H2") + "|" + design_test::Chain(*d, "C");
    }
    CPIHENDesign* d = nullptr;
    CNode* unit = nullptr;
    HENDiagram g;
};

TEST(ViewGridItemServices, WhichSegmentsMayBeJoined) {
    Grid t;
    HENDStreamSegment* h = t.Longest("H");
    HENDStreamSegment* h2 = t.Longest("H2");
    HENDStreamSegment* c = t.Longest("C");
    ASSERT_TRUE(h && h2 && c);
    HENDStreamSegment* otherH = nullptr;
    for (HENDNode* item : t.g.Items())
        if (auto* s = dynamic_cast<HENDStreamSegment*>(item); s && s->streamName == "H" && s != h) otherH = s;
    ASSERT_TRUE(otherH);
    // Moving an end: to another segment of its own stream or of its own side.
    EXPECT_EQ(0, t.g.CheckMatch(h, c, true));
    EXPECT_EQ(1, t.g.CheckMatch(h, h2, true));
    EXPECT_EQ(1, t.g.CheckMatch(h, otherH, true));
    EXPECT_EQ(0, t.g.CheckMatch(h, h, true));
    EXPECT_EQ(0, t.g.CheckMatch(h, nullptr, true));
    // A new exchanger: the design decides, and says why not on the status line.
    EXPECT_EQ(2, t.g.CheckMatch(h2, c, false)) << t.d->CheckStreamMatch(h2->Node(), c->Node());
    EXPECT_EQ(0, t.g.CheckMatch(h, h2, false));
    const auto status = Session::Instance().Entries(SessionEvent::Status);
    ASSERT_FALSE(status.empty());
    EXPECT_FALSE(status.back().text.empty());
}

TEST(ViewGridItemServices, ANewExchangersLineGivesTheColdSideTemperatureFirst) {
    Grid t;
    HENDStreamSegment* h2 = t.Longest("H2");
    HENDStreamSegment* c = t.Longest("C");
    ASSERT_TRUE(h2 && c);
    const Text h2Name(h2->Node()->getName()), cName(c->Node()->getName());
    // From the hot line to the cold one, and back: the same temperatures in the same order.
    t.g.AddExchangerAtTemperatures(*h2, *c, 130.0, 45.5);
    h2 = t.Longest("H2");
    c = t.Longest("C");
    ASSERT_TRUE(h2 && c);
    t.g.AddExchangerAtTemperatures(*c, *h2, 45.5, 130.0);
    std::vector<Text> adds;
    for (const Text& line : t.Sent())
        if (line.find("addhxtemp") == 0) adds.push_back(line);
    ASSERT_EQ(2u, adds.size());
    EXPECT_EQ("addhxtemp \"" + h2Name + "\" \"" + cName + "\" 45.5000 130.0000", adds[0]);
    EXPECT_NE(Text::npos, adds[1].find(" 45.5000 130.0000")) << adds[1];
}

TEST(ViewGridMarkers, PickedSegmentsCarryTheMarkersThroughRebuilds) {
    Grid t;
    HENDStreamSegment* h2 = t.Longest("H2");
    HENDStreamSegment* c = t.Longest("C");
    ASSERT_TRUE(h2 && c);
    const Text h2Name(h2->Node()->getName()), cName(c->Node()->getName());
    t.g.PickSegment(Grid::Along(*h2, 0.25), 1);
    EXPECT_EQ(h2Name, t.g.MarkerText(1));
    EXPECT_NEAR(0.25, t.g.MarkerPosition(), 1e-9);
    EXPECT_TRUE(h2->exchangerMarker);
    t.g.PickSegment(Grid::Along(*c, 0.5), 2);
    EXPECT_EQ(h2Name, t.g.MarkerText(1));
    EXPECT_EQ(cName, t.g.MarkerText(2));
    EXPECT_TRUE(c->splitMarker && !c->exchangerMarker);
    // A rebuild puts both back, at the last pick's position.
    t.g.SetDesign(t.d);
    h2 = t.Longest("H2");
    c = t.Longest("C");
    EXPECT_TRUE(h2->exchangerMarker && c->splitMarker);
    EXPECT_NEAR(0.5, h2->markerPosition, 1e-9);
    // The package of a split fraction, and a drop on nothing, change nothing.
    t.g.PickSegment(Grid::Along(*h2, 0.75), 3);
    t.g.PickSegment({-500.0, -500.0}, 1);
    EXPECT_EQ(h2Name, t.g.MarkerText(1));
    EXPECT_NEAR(0.5, t.g.MarkerPosition(), 1e-9);
    // A new exchanger marker starts a new match: the split marker goes.
    t.g.PickSegment(Grid::Along(*c, 0.5), 1);
    EXPECT_EQ(cName, t.g.MarkerText(1));
    EXPECT_TRUE(t.g.MarkerText(2).empty());
    EXPECT_FALSE(h2->exchangerMarker);
    EXPECT_TRUE(c->exchangerMarker && !c->splitMarker);
    // An exchanger added on the marked segment takes its marker away.
    t.g.AfterExchangerAdded(cName);
    EXPECT_TRUE(t.g.MarkerText(1).empty());
    EXPECT_FALSE(c->exchangerMarker);
    // "oiClearMarkers" empties both.
    t.g.PickSegment(Grid::Along(*h2, 0.5), 1);
    t.g.PickSegment(Grid::Along(*c, 0.5), 2);
    CanvasDriver driver(t.g);
    driver.OpenMenu({-500.0, -500.0});
    EXPECT_EQ(1, driver.Choose(5613));
    EXPECT_TRUE(t.g.MarkerText(1).empty() && t.g.MarkerText(2).empty());
    for (HENDNode* item : t.g.Items())
        if (auto* s = dynamic_cast<HENDStreamSegment*>(item)) {
            EXPECT_FALSE(s->exchangerMarker || s->splitMarker);
        }
}

// ---- drags ----

TEST(ViewGridDrags, FromAnExchangerMarkerToAColdLineAddsAnExchanger) {
    Grid t;
    HENDStreamSegment* h2 = t.Longest("H2");
    ASSERT_TRUE(h2);
    const Text h2Name(h2->Node()->getName());
    t.g.PickSegment(Grid::Along(*h2, 0.5), 1);
    t.g.PaintNow();
    const int before = t.d->GetNumberOfHeatExchangers();
    CanvasDriver driver(t.g);
    driver.Click(h2->MarkerPoint());
    ASSERT_TRUE(t.g.Ghost()->dragging);
    EXPECT_EQ(h2, t.g.Ghost()->source);
    EXPECT_FALSE(t.g.Ghost()->splitMode);
    HENDStreamSegment* c = t.Longest("C");
    const CanvasPoint drop = Grid::Along(*c, 0.5);
    driver.Move(drop);
    EXPECT_TRUE(t.g.Ghost()->accepted);
    const auto status = Session::Instance().Entries(SessionEvent::Status);
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(0u, status.back().text.find("Stream C /Stream H2")) << status.back().text;
    driver.Click(drop);
    EXPECT_FALSE(t.g.Ghost()->dragging);
    EXPECT_FALSE(t.g.DragActive());
    ASSERT_FALSE(t.Sent().empty());
    EXPECT_EQ(0u, t.Sent().back().find("addhxtemp \"" + h2Name + "\" \"")) << t.Sent().back();
    EXPECT_EQ(before + 1, t.d->GetNumberOfHeatExchangers());
    EXPECT_TRUE(t.g.MarkerText(1).empty());
}

TEST(ViewGridDrags, FromASplitMarkerAlongItsLineAddsABypass) {
    Grid t;
    // H's segment before the exchanger and the one after it.
    std::vector<HENDStreamSegment*> hs;
    for (HENDNode* item : t.g.Items())
        if (auto* s = dynamic_cast<HENDStreamSegment*>(item); s && s->streamName == "H") hs.push_back(s);
    ASSERT_GE(hs.size(), 2u);
    std::sort(hs.begin(), hs.end(), [](auto* a, auto* b) { return a->x1 < b->x1; });
    t.g.PickSegment(Grid::Along(*hs.front(), 0.5), 2);
    t.g.PaintNow();
    CanvasDriver driver(t.g);
    driver.Click(hs.front()->MarkerPoint());
    ASSERT_TRUE(t.g.Ghost()->dragging);
    ASSERT_TRUE(t.g.Ghost()->splitMode);
    // Over the background far below the line the bypass still follows the pointer's x.
    const CanvasPoint beyond = Grid::Along(*t.Longest("H"), 0.5);
    const CanvasPoint over = {Grid::Along(*hs.back(), 0.5).x, 200.0};
    driver.Move(over);
    EXPECT_TRUE(t.g.Ghost()->bypassShown);
    EXPECT_DOUBLE_EQ(80.0, t.g.Ghost()->bypassY);
    (void)beyond;
    driver.Click(over);
    EXPECT_FALSE(t.g.Ghost()->dragging);
    ASSERT_FALSE(t.Sent().empty());
    EXPECT_EQ(0u, t.Sent().back().find("addsplit \"")) << t.Sent().back();
    EXPECT_NE(std::string::npos, design_test::Chain(*t.d, "H").find('T'));
    EXPECT_TRUE(t.g.MarkerText(2).empty());
}

TEST(ViewGridDrags, ADropOnNothingEndsTheDragAndChangesNothing) {
    Grid t;
    const std::string before = t.Shape();
    HENDStreamSegment* h2 = t.Longest("H2");
    t.g.PickSegment(Grid::Along(*h2, 0.5), 1);
    t.g.PaintNow();
    CanvasDriver driver(t.g);
    // A segment without a marker starts nothing.
    driver.Click(Grid::Along(*t.Longest("C"), 0.5));
    EXPECT_FALSE(t.g.Ghost()->dragging);
    driver.Click(h2->MarkerPoint());
    ASSERT_TRUE(t.g.Ghost()->dragging);
    driver.Move({-100.0, 365.0});
    EXPECT_FALSE(t.g.Ghost()->accepted);
    driver.Click({-100.0, 365.0});
    EXPECT_FALSE(t.g.Ghost()->dragging);
    EXPECT_EQ(before, t.Shape());
    for (const Text& line : t.Sent()) EXPECT_EQ(Text::npos, line.find("add")) << line;
    // The marker stays for another try.
    EXPECT_FALSE(t.g.MarkerText(1).empty());
}

TEST(ViewGridDrags, TheScrollTimerTicksEvery125msUntilTheDrop) {
    for (const bool failingStop : {false, true}) {
        Grid t;
        t.g.zoomMode = t.g.previousZoomMode = 1;
        t.g.SetDesign(t.d);
        t.g.Message("ZoomIn");
        t.g.Message("ZoomIn");
        t.g.PaintNow();
        const HENDHeatEx* hx = nullptr;
        for (const HENDNode* item : t.g.Items())
            if ((hx = dynamic_cast<const HENDHeatEx*>(item))) break;
        ASSERT_TRUE(hx);
        CanvasDriver driver(t.g);
        driver.Click({hx->ends.front().x, hx->ends.front().y});
        ASSERT_TRUE(t.g.Ghost()->dragging);
        for (int k = 0; k < 10; ++k) t.g.ScrollStep(-1, 0, true);
        const CanvasPoint o = t.g.GetOrigin();
        const double step = t.g.ShownWidth() / 10.0;
        driver.Move({o.x + t.g.ShownWidth() + 10.0, hx->ends.front().y});
        ASSERT_TRUE(t.g.AutoScrolling());
        TimerService::Instance().Advance(124);
        EXPECT_DOUBLE_EQ(o.x, t.g.GetOrigin().x);
        TimerService::Instance().Advance(1);
        EXPECT_NEAR(o.x + step, t.g.GetOrigin().x, 1e-9);
        TimerService::Instance().Advance(125);
        EXPECT_NEAR(o.x + 2.0 * step, t.g.GetOrigin().x, 1e-9);
        if (failingStop) TimerService::Instance().FailNextRequest();
        driver.Click({-1000.0, -1000.0});
        EXPECT_FALSE(t.g.Ghost()->dragging);
        const auto errors = Session::Instance().Entries(SessionEvent::Error);
        EXPECT_EQ(failingStop ? 1u : 0u, errors.size());
        if (failingStop) {
            EXPECT_EQ("TimerError", errors.front().key);
        } else {
            EXPECT_FALSE(t.g.AutoScrolling());
            const double at = t.g.GetOrigin().x;
            TimerService::Instance().Advance(500);
            EXPECT_DOUBLE_EQ(at, t.g.GetOrigin().x);
        }
    }
}

}  // namespace

// The pointer on the grid diagram: what lies under it (exchanger ends on top of the lines), the
// fly-by texts of exchangers, segments and pinches, the context menus, and dragging an
// exchanger end to another line, which asks the diagram to move it.
#include "views/grid/HENDiagram.h"

#include "lumeth/Session.h"
#include "lumeth/Timer.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "tests/support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Two hot streams and a cold one; one exchanger joins H and C, H2 runs alone. Laid out in the
// layout's own coordinates: lines at 80 (H), 270 (H2) and 460 (C), the exchanger's circles 60
// across from x 165.
struct Pointer : design_test::DesignScenario {
    explicit Pointer(bool fit = false) {
        Session::Instance().Reset();
        Add("H", 150.0, 50.0, 1.0);
        Add("H2", 140.0, 60.0, 1.0);
        Add("C", 40.0, 120.0, 1.0);
        d = Design("Drag");
        unit = d->AddHeatExchanger(design_test::NthSegment(*d, "H", 0), design_test::NthSegment(*d, "C", 0), nullptr,
                                   nullptr, nullptr);
        g.hideUtilityUnits = true;
        if (!fit) g.zoomMode = g.previousZoomMode = 2;
        g.SetDesign(d);
        g.PaintNow();
    }
    std::vector<Text> commands() const {
        std::vector<Text> out;
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent)) out.push_back(e.text);
        return out;
    }
    CPIHENDesign* d = nullptr;
    CNode* unit = nullptr;
    HENDiagram g;
};

TEST(ViewGridPointer, ExchangerEndsLieOnTopAndTellTheirValues) {
    Pointer p;
    ASSERT_TRUE(p.unit);
    ASSERT_EQ(3u, p.g.Lines().size());
    ASSERT_DOUBLE_EQ(80.0, p.g.Lines()[0].y);
    CanvasDriver driver(p.g);
    // Over an end the placeholder stands for the exchanger; its square is [165, 225) x [50, 110).
    EXPECT_EQ(p.g.Ghost(), p.g.FindObjectAt({165.0, 50.0}));
    EXPECT_EQ(p.g.Ghost(), p.g.FindObjectAt({224.0, 109.0}));
    EXPECT_NE(p.g.Ghost(), p.g.FindObjectAt({225.0, 80.0}));
    const Text flyBy = driver.Move({195.0, 80.0});
    CPString unitName;
    ASSERT_TRUE(p.unit->getVariableAsString("UnitOperationName", unitName));
    const std::string name = unitName.c_str();
    EXPECT_EQ(0u, flyBy.find(name + "\n" + name + "\nLoad\t")) << flyBy;
    EXPECT_NE(Text::npos, flyBy.find("\nArea\t?")) << flyBy;  // no area known yet
    // Between the units the segment answers with its stream's values.
    const Text segment = driver.Move({300.0, 270.0});
    EXPECT_EQ(0u, segment.find("H2\nH2\nLocal Temp\t")) << segment;
    EXPECT_NE(Text::npos, segment.find("\nInlet Temp\t140.0C")) << segment;
    EXPECT_NE(Text::npos, segment.find("\nTotal Load\t80kW")) << segment;
    // Nothing over the background without pinch markers.
    EXPECT_TRUE(driver.Move({120.0, 180.0}).empty());
    // Menus: the exchanger's delete and view items, the background's zoom items.
    const MenuModel& menu = driver.OpenMenu({195.0, 80.0});
    EXPECT_TRUE(menu.Contains(5609) && menu.Contains(5608));
    EXPECT_TRUE(driver.OpenMenu({120.0, 180.0}).Contains(5615));
    EXPECT_EQ(1, driver.Choose(5615));  // zoom in: free zoom kept
    EXPECT_EQ(2, p.g.zoomMode);
}

TEST(ViewGridPointer, DraggingAnEndToAnotherHotLineAsksToMoveIt) {
    Pointer p;
    CanvasDriver driver(p.g);
    // The move is carried out at the drop: what the line names is read before it.
    const Text feeding(p.unit->getIthUpStreamNode(0)->getName());
    std::vector<Text> h2Segments;
    for (CNode* n : design_test::ChainNodes(*p.d, "H2"))
        if (design_test::Letter(n) == "s") h2Segments.push_back(Text(n->getName()));
    driver.Click({195.0, 80.0});  // picks up the end on H
    ASSERT_TRUE(p.g.Ghost()->dragging);
    EXPECT_TRUE(p.g.DragActive());
    driver.Move({250.0, 460.0});  // over C: a hot end cannot go to a cold line
    EXPECT_FALSE(p.g.Ghost()->accepted);
    driver.Move({250.0, 270.0});  // over H2
    EXPECT_TRUE(p.g.Ghost()->accepted);
    p.g.PaintNow();
    int dragShapes = 0;
    for (int i = 1; i <= p.g.GetCanvas().NumberOfGroups(); ++i) dragShapes += p.g.GetCanvas().Group(i).cssClass == "drag";
    EXPECT_EQ(1, dragShapes);
    driver.Click({250.0, 270.0});
    EXPECT_FALSE(p.g.Ghost()->dragging);
    EXPECT_FALSE(p.g.DragActive());
    const std::vector<Text> sent = p.commands();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(0u, sent.back().find("movehx \"" + Text(p.unit->getName()) + "\" \"")) << sent.back();
    // The exchanger, the segment right before it on H, and a segment of H2 under the drop.
    std::vector<std::string> names;
    const std::string line = sent.back();
    for (std::size_t q = line.find('"'); q != std::string::npos; q = line.find('"', line.find('"', q + 1) + 1))
        names.push_back(line.substr(q + 1, line.find('"', q + 1) - q - 1));
    ASSERT_EQ(3u, names.size()) << line;
    EXPECT_EQ(p.unit->getName().c_str(), names[0]);
    EXPECT_EQ(feeding, Text(names[1].c_str()));
    EXPECT_NE(h2Segments.end(), std::find(h2Segments.begin(), h2Segments.end(), Text(names[2].c_str())));
    // And the end now lies on H2.
    const std::vector<CNode*> h2 = design_test::ChainNodes(*p.d, "H2");
    EXPECT_NE(h2.end(), std::find(h2.begin(), h2.end(), p.unit));
}

TEST(ViewGridPointer, ADropOnNothingOrOnTheWrongSideSendsNothing) {
    // The background, a cold line, and the very segment that feeds the end.
    for (const CanvasPoint drop : {CanvasPoint{120.0, 180.0}, CanvasPoint{250.0, 460.0}, CanvasPoint{100.0, 80.0}}) {
        Pointer p;
        CanvasDriver driver(p.g);
        driver.Click({195.0, 80.0});
        driver.Move(drop);
        driver.Click(drop);
        EXPECT_FALSE(p.g.Ghost()->dragging);
        for (const Text& c : p.commands()) EXPECT_EQ(Text::npos, c.find("movehx")) << drop.x << " " << drop.y;
    }
    // A click on the background before any drag does nothing at all.
    Pointer p;
    CanvasDriver driver(p.g);
    driver.Click({120.0, 180.0});
    EXPECT_FALSE(p.g.Ghost()->dragging);
}

TEST(ViewGridPointer, PinchMarkersTellThePinchOverTheBackground) {
    design_test::OperatedNetwork n;
    HENDiagram g;
    g.showPinch = true;
    g.zoomMode = g.previousZoomMode = 2;
    g.SetDesign(n.d);
    if (!g.PinchShown()) GTEST_SKIP() << "the network has no pinch to show";
    ASSERT_FALSE(g.Pinches().empty());
    const HENDPinch& pinch = g.Pinches().front();
    const Text text = g.BackgroundFlyBy({pinch.x + g.ExchangerSize(), g.Lines().front().y});
    EXPECT_EQ(0u, text.find("\nHot Pinch\t")) << text;
    EXPECT_NE(Text::npos, text.find("\nCold Pinch\t")) << text;
    EXPECT_NE(Text::npos, text.find("\n \nH1\t")) << text;
    EXPECT_TRUE(g.BackgroundFlyBy({pinch.x + g.ExchangerSize() + 50.0, 0.0}).empty());
}

TEST(ViewGridPointer, ThePrintedBorderCarriesTheClocksDate) {
    Pointer p;
    p.g.SetClock([] { return Text("7 December 2026"); });
    p.g.printBorder = true;
    p.g.PaintNow();
    bool dated = false, named = false;
    const Canvas& c = p.g.GetCanvas();
    for (int i = 0; i < c.Count(); ++i) {
        dated = dated || c.At(i).text == "  7 December 2026";
        named = named || c.At(i).text.find(" - Drag") != Text::npos;
    }
    EXPECT_TRUE(dated);
    EXPECT_TRUE(named);
}

// A marker on H2's only segment, a quarter along it; where the pointer lies relative to the
// marker's centre and whether it starts a drag there. The square reaches 30 units each way,
// left and top inclusive.
struct MarkerCase {
    double dx, dy;
    bool hit;
};
void PrintTo(const MarkerCase& c, std::ostream* os) {
    *os << "offset " << c.dx << "," << c.dy << (c.hit ? ": hit" : ": missed");
}
class ViewGridSegmentMarker : public ::testing::TestWithParam<MarkerCase> {};

HENDStreamSegment* onlySegmentOf(HENDiagram& g, const Text& stream) {
    for (HENDNode* item : g.Items())
        if (auto* s = dynamic_cast<HENDStreamSegment*>(item); s && s->streamName == stream) return s;
    return nullptr;
}

TEST_P(ViewGridSegmentMarker, OnlyTheMarkersSquareStartsADrag) {
    Pointer p;
    HENDStreamSegment* s = onlySegmentOf(p.g, "H2");
    ASSERT_TRUE(s);
    HENDHitRecord record;
    record.item = s;
    // Without a marker nothing on the segment is hit, not even its marker's place.
    const double a = std::min(s->x1, s->x2), length = std::abs(s->x2 - s->x1);
    ASSERT_GT(length, 8.0);
    s->markerPosition = 0.25;
    const CanvasPoint m{std::trunc(a + 0.25 * length), 270.0};
    EXPECT_FALSE(s->HitTest(m, record));
    EXPECT_EQ(nullptr, record.item);
    for (bool split : {false, true}) {
        s->exchangerMarker = !split;
        s->splitMarker = split;
        record = HENDHitRecord{};
        EXPECT_EQ(GetParam().hit, s->HitTest({m.x + GetParam().dx, m.y + GetParam().dy}, record));
        if (!GetParam().hit) {
            EXPECT_EQ(nullptr, record.item);
            continue;
        }
        EXPECT_EQ(1, record.kind);
        EXPECT_EQ(s, record.item);
        EXPECT_DOUBLE_EQ(m.x, record.point.x);
        EXPECT_DOUBLE_EQ(270.0, record.point.y);
        EXPECT_EQ(split, record.splitMarker);
    }
}

INSTANTIATE_TEST_SUITE_P(Square, ViewGridSegmentMarker,
                         ::testing::Values(MarkerCase{0.0, 0.0, true}, MarkerCase{-30.0, -30.0, true},
                                           MarkerCase{29.0, 29.0, true}, MarkerCase{30.0, 0.0, false},
                                           MarkerCase{0.0, 30.0, false}, MarkerCase{-31.0, 0.0, false},
                                           MarkerCase{0.0, -31.0, false}));

TEST(ViewGridPointer, MarkersAreDrawnOnTheirSegmentInTheirColour) {
    Pointer p;
    HENDStreamSegment* s = onlySegmentOf(p.g, "H2");
    ASSERT_TRUE(s);
    const double a = std::min(s->x1, s->x2), length = std::abs(s->x2 - s->x1);
    s->markerPosition = 0.5;
    auto markerFills = [&]() {
        std::vector<std::string> fills;
        const SvgPicture pic = ReadSvg(p.g.PictureSVG());
        EXPECT_TRUE(pic.parsed);
        for (const SvgElement& e : pic.elements)
            if (e.name == "circle" && !e.groupClasses.empty() && e.groupClasses[0] == "stream-segment") {
                EXPECT_DOUBLE_EQ(a + 0.5 * length, e.Number("cx"));
                EXPECT_DOUBLE_EQ(270.0, e.Number("cy"));
                EXPECT_DOUBLE_EQ(30.0, e.Number("r"));
                fills.push_back(e.Attribute("fill"));
            }
        return fills;
    };
    EXPECT_TRUE(markerFills().empty());
    s->exchangerMarker = true;
    const auto exchanger = markerFills();
    s->exchangerMarker = false;
    s->splitMarker = true;
    const auto split = markerFills();
    ASSERT_EQ(1u, exchanger.size());
    ASSERT_EQ(1u, split.size());
    EXPECT_NE(exchanger[0], split[0]);  // red for a new exchanger, blue for a bypass split
}

TEST(ViewGridPointer, AnExchangerEndHitGivesTheEndAndItsCircleCentre) {
    Pointer p;
    HENDHeatEx* hx = nullptr;
    for (HENDNode* item : p.g.Items())
        if (item->IsHeatEx()) hx = static_cast<HENDHeatEx*>(item);
    ASSERT_TRUE(hx);
    HENDHitRecord record;
    // The end on H: its square is [165, 225) x [50, 110), its centre (195, 80).
    ASSERT_TRUE(hx->HitTest({224.0, 109.0}, record));
    EXPECT_EQ(0, record.kind);
    EXPECT_EQ(hx, record.item);
    EXPECT_EQ(1, record.end);
    EXPECT_DOUBLE_EQ(195.0, record.point.x);
    EXPECT_DOUBLE_EQ(80.0, record.point.y);
    ASSERT_TRUE(hx->HitTest({195.0, 460.0}, record));
    EXPECT_EQ(2, record.end);
    EXPECT_FALSE(hx->HitTest({225.0, 80.0}, record));
    EXPECT_EQ(nullptr, record.item);
}

}  // namespace

namespace {

// H2 split into two empty branches: a branch segment's menu offers to delete its branch, a
// segment of the main line does not; deleting an empty branch asks nothing.
TEST(ViewGridPointer, BranchSegmentsOfferToDeleteTheirBranch) {
    Pointer p;
    CNode* tee = nullptr;
    ASSERT_TRUE(p.d->AddSplitterMixer(design_test::NthSegment(*p.d, "H2", 0), design_test::NthSegment(*p.d, "H2", 0), tee,
                                      "split", 2));
    p.g.SetDesign(p.d);
    int branchSegments = 0, mainSegments = 0;
    for (HENDNode* item : p.g.Items()) {
        auto* s = dynamic_cast<HENDStreamSegment*>(item);
        if (!s || s->streamName != "H2") continue;
        MenuModel menu;
        s->PrepareForObjectInspection(menu);
        EXPECT_TRUE(menu.Contains(5608));
        EXPECT_EQ(s->onBranch, menu.Contains(5610));
        (s->onBranch ? branchSegments : mainSegments)++;
        if (s->onBranch && branchSegments == 1) {
            EXPECT_EQ(0, s->BranchState());
            // The branch goes at once (the last one left takes the split with it), and the
            // diagram's items are rebuilt.
            EXPECT_EQ(1, s->ProcessInspectionCommand(5610));
            EXPECT_EQ(std::string::npos, design_test::Chain(*p.d, "H2").find('T'));
            EXPECT_TRUE(p.g.LayoutValid());
            EXPECT_TRUE(Session::Instance().Entries(SessionEvent::Response).empty());
            ASSERT_FALSE(p.commands().empty());
            EXPECT_EQ(0u, p.commands().back().find("RemoveBranch \""));
            break;
        }
    }
    EXPECT_EQ(1, branchSegments);
    EXPECT_GE(mainSegments, 1);
}

}  // namespace

namespace {

TEST(ViewGridWindowOfADiagram, ZoomAndScrollStayInsideTheBounds) {
    Pointer p(true);
    HENDiagram& g = p.g;
    const HENDBounds b = g.Bounds();
    // Fitted: the origin at the bounds' corner, the whole width in view.
    EXPECT_DOUBLE_EQ(b.left, g.GetOrigin().x);
    g.Message("ZoomIn");
    g.Message("ZoomIn");
    EXPECT_EQ(2, g.zoomMode);
    EXPECT_EQ(1, g.previousZoomMode);
    const double zoomed = g.ShownWidth();
    EXPECT_LT(zoomed, b.Width());
    // Line steps of a tenth, page steps of the whole view, never past the right bound.
    const double x0 = g.GetOrigin().x;
    g.ScrollStep(+1, 0, false);
    EXPECT_NEAR(x0 + zoomed / 10.0, g.GetOrigin().x, 1e-9);
    for (int k = 0; k < 10; ++k) g.ScrollStep(+1, 0, true);
    EXPECT_NEAR(b.right - zoomed, g.GetOrigin().x, 1e-9);
    EXPECT_FALSE(g.ScrollBy(1.0, 0.0));
    for (int k = 0; k < 10; ++k) g.ScrollStep(-1, 0, true);
    EXPECT_DOUBLE_EQ(b.left, g.GetOrigin().x);
    // Zooming out stops once the view covers the bounds; the origin never leaves them.
    for (int k = 0; k < 5; ++k) g.Message("ZoomOut");
    // A width w given to the view shows w x 1150 / 1135 x 1120 / 1135 of the scene (the
    // scroll bars' 15 pixels taken twice), as 4000 shows 3999.1.
    const double shown = 1150.0 * 1120.0 / (1135.0 * 1135.0);
    EXPECT_NEAR(b.Width() * shown, g.ShownWidth(), 1e-6);
    EXPECT_GE(g.GetOrigin().x, b.left);
    EXPECT_GE(g.GetOrigin().y, b.top);
    // A rubber band under 25 pixels both ways is no zoom; a larger one takes the view's aspect.
    g.Message("FitBoth");
    const double fitted = g.ShownWidth();
    g.ZoomToRectangle({0.0, 0.0}, {1.0, 1.0});
    EXPECT_DOUBLE_EQ(fitted, g.ShownWidth());
    EXPECT_EQ(1, g.zoomMode);
    g.ZoomToRectangle({100.0, 50.0}, {100.0 + 1135.0, 60.0});
    EXPECT_EQ(2, g.zoomMode);
    EXPECT_DOUBLE_EQ(100.0, g.GetOrigin().x);
    EXPECT_NEAR(1135.0 * shown, g.ShownWidth(), 1e-6);
    EXPECT_NEAR(485.0 * 500.0 * 470.0 / (485.0 * 485.0), g.ShownHeight(), 1e-6);
}

TEST(ViewGridWindowOfADiagram, DraggingPastTheBorderScrollsEveryTick) {
    Pointer p(true);
    HENDiagram& g = p.g;
    TimerService::Instance().Reset();
    g.Message("ZoomIn");
    g.Message("ZoomIn");
    CanvasDriver driver(g);
    const HENDHeatEx* hx = nullptr;
    for (const HENDNode* item : g.Items())
        if ((hx = dynamic_cast<const HENDHeatEx*>(item))) break;
    ASSERT_TRUE(hx);
    const HENDExchangerEnd end = hx->ends.front();
    driver.Click({end.x, end.y});
    ASSERT_TRUE(g.Ghost()->dragging);
    for (int k = 0; k < 10; ++k) g.ScrollStep(-1, 0, true);  // to the left end
    const CanvasPoint o = g.GetOrigin();
    driver.Move({o.x + g.ShownWidth() + 10.0, end.y});  // past the right border
    EXPECT_TRUE(g.AutoScrolling());
    TimerService::Instance().Advance(125);
    EXPECT_NEAR(o.x + g.ShownWidth() / 10.0, g.GetOrigin().x, 1e-9);
    driver.Move({g.GetOrigin().x + 10.0, end.y});  // back inside
    EXPECT_FALSE(g.AutoScrolling());
    // A timer the framework refuses is reported.
    TimerService::Instance().FailNextRequest();
    driver.Move({g.GetOrigin().x - 10.0, end.y});
    EXPECT_EQ(1u, Session::Instance().Entries(SessionEvent::Error).size());
    EXPECT_EQ("TimerError", Session::Instance().Entries(SessionEvent::Error).front().key);
    driver.Click({g.GetOrigin().x + 10.0, g.GetOrigin().y + 1.0});
    EXPECT_FALSE(g.Ghost()->dragging);
}

}  // namespace

namespace {

// H1 meets two exchangers whose temperatures put the first below the pinch and the second above
// it: along H1 the regions would run backwards, so the pinch layout cannot be drawn. The diagram
// says which stream and unit stand in the way and lays the network out in sequence.
TEST(ViewGridPinch, ALineWhoseRegionsRunBackwardsFallsBackToTheSequence) {
    design_test::OperatedNetwork n;
    ASSERT_TRUE(n.Exchanger("H1", "C1", 20.0));
    std::vector<CNode*> units;
    const std::vector<CNode*> chain = design_test::ChainNodes(*n.d, "H1");
    for (std::size_t k = 1; k + 1 < chain.size(); ++k)
        if (design_test::Letter(chain[k]) == "X") units.push_back(chain[k]);
    ASSERT_EQ(2u, units.size());
    const double temperatures[2][2] = {{70.0, 60.0}, {160.0, 150.0}};  // below, then above 90
    for (std::size_t u = 0; u < 2; ++u) {
        const auto at = std::find(chain.begin(), chain.end(), units[u]) - chain.begin();
        chain[static_cast<std::size_t>(at - 1)]->addVariable(NodeValue::Temperature, temperatures[u][0], ValueStatus::Specified);
        chain[static_cast<std::size_t>(at + 1)]->addVariable(NodeValue::Temperature, temperatures[u][1], ValueStatus::Specified);
    }
    Session::Instance().Reset();
    HENDiagram g;
    g.showPinch = true;
    g.SetDesign(n.d);
    EXPECT_FALSE(g.PinchShown());
    EXPECT_TRUE(g.Pinches().empty());
    EXPECT_EQ("H1", g.ConflictStream());
    // The first unit met after the one below the pinch (a utility placeholder between the two
    // exchangers, or the second exchanger) is where the regions turn back.
    CPString first;
    units[0]->getVariableAsString("UnitOperationName", first);
    EXPECT_FALSE(g.ConflictUnit().empty());
    EXPECT_NE(Text(first), g.ConflictUnit());
    EXPECT_NE(Text(units[0]->getName()), g.ConflictUnit());
    const auto errors = Session::Instance().Entries(SessionEvent::Error);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("UnableToDisplayPinchDiagram", errors[0].key);
    EXPECT_NE(Text::npos, g.DescribeJSON().find("\"pinchConflict\":{\"stream\":\"H1\""));
    // What the diagram says is what happened: the unit is met after the pinch although it
    // belongs before it; it does not lie across the pinch (it is wholly above it).
    const Text said = g.PinchLayoutMessage();
    EXPECT_NE(Text::npos, said.find("along stream H1, unit " + g.ConflictUnit() + " comes after")) << said;
    EXPECT_EQ(Text::npos, said.find("across")) << said;
    EXPECT_NE(Text::npos, said.find("drawn in sequence")) << said;
    // Without the pinch asked for, nothing is said.
    Session::Instance().Reset();
    g.showPinch = false;
    g.SetDesign(n.d);
    EXPECT_TRUE(Session::Instance().Entries(SessionEvent::Error).empty());
    EXPECT_TRUE(g.PinchLayoutMessage().empty());
}

}  // namespace

// The pointer on the grid diagram: what lies under it (exchanger ends on top of the lines), the
// fly-by texts of exchangers, segments and pinches, the context menus, and dragging an
// exchanger end to another line, which asks the diagram to move it.
#include "views/grid/HENDiagram.h"

#include "lumeth/Session.h"
#include "lumeth/Timer.h"
#include "tests/eng/design/OperationTestSupport.h"

#include <gtest/gtest.h>

#include <string>

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
    CNode* side = p.d->GetNodeByName(CPString(names[1].c_str()));
    CNode* target = p.d->GetNodeByName(CPString(names[2].c_str()));
    ASSERT_TRUE(side && target);
    EXPECT_EQ(side, p.unit->getIthUpStreamNode(p.unit->upStreamSlotOf(side)));
    CPString stream;
    ASSERT_TRUE(side->getVariableAsString(NodeValue::ParentStream, stream));
    EXPECT_EQ("H", Text(stream));
    ASSERT_TRUE(target->getVariableAsString(NodeValue::ParentStream, stream));
    EXPECT_EQ("H2", Text(stream));
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
            EXPECT_EQ(1, s->ProcessInspectionCommand(5610));
            EXPECT_TRUE(p.g.BranchRemoved());
            EXPECT_TRUE(s->FlyByDescription({0, 0}).empty());  // a branch is going
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
    // Without the pinch asked for, nothing is said.
    Session::Instance().Reset();
    g.showPinch = false;
    g.SetDesign(n.d);
    EXPECT_TRUE(Session::Instance().Entries(SessionEvent::Error).empty());
}

}  // namespace

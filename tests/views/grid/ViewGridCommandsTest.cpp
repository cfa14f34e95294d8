// The grid diagram's text commands on its design: each edit with quoted node names, refused
// without changing anything when an argument is missing, empty or names no node; the items
// rebuilt at once after an edit; the background menu's loops, paths and configuration numbers.
#include "views/grid/HENDiagram.h"
#include "views/grid/HENDNode.h"
#include "pellin/FlowSheet.h"

#include "lumeth/Session.h"
#include "tests/eng/design/OperationTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

Text q(const CNode* n) { return Text("\"") + Text(n->getName()) + "\""; }

// H (150 to 50), H2 (140 to 60) and C (40 to 120); one exchanger joins H and C.
struct Edits : design_test::DesignScenario {
    Edits() {
        Session::Instance().Reset();
        Add("H", 150.0, 50.0, 1.0);
        Add("H2", 140.0, 60.0, 1.0);
        Add("C", 40.0, 120.0, 1.0);
        d = Design("Edit");
        unit = d->AddHeatExchanger(Segment("H", 0), Segment("C", 0), nullptr, nullptr, nullptr);
        g.hideUtilityUnits = true;
        g.zoomMode = g.previousZoomMode = 2;
        g.SetDesign(d);
    }
    CNode* Segment(const char* stream, int n) const { return design_test::NthSegment(*d, stream, n); }
    CNode* LastSegment(const char* stream) const {
        CNode* last = nullptr;
        for (CNode* n : design_test::ChainNodes(*d, stream))
            if (design_test::Letter(n) == "s") last = n;
        return last;
    }
    // A second exchanger between H and C closes a loop; the analysis finds it and the grid's
    // inspection menu offers it.
    void CloseALoop(MenuModel& menu) {
        ASSERT_TRUE(d->AddHeatExchanger(LastSegment("H"), LastSegment("C"), nullptr, nullptr, nullptr));
        d->SetLoopAnalysisEnabled(true);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        g.PrepareForPlaneInspection({0, 0}, menu);
    }
    std::string Shape() const {
        return design_test::Chain(*d, "H") + "|" + design_test::Chain(*d, "H2") + "|" + design_test::Chain(*d, "C");
    }
    CPIHENDesign* d = nullptr;
    CNode* unit = nullptr;
    HENDiagram g;
};

// The pointer over every line, telling and offering what lies there: after an edit nothing
// under it may stand for a node the edit deleted.
void Sweep(HENDiagram& g) {
    CanvasDriver driver(g);
    g.PaintNow();
    for (double x = 0.0; x < 600.0; x += 20.0)
        for (double y : {80.0, 270.0, 460.0, 180.0, 370.0}) {
            driver.Move({x, y});
            driver.OpenMenu({x, y});
        }
}

// Lines that must be refused with the network left as it was.
class ViewGridRefusedCommand : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewGridRefusedCommand, ChangesNothing) {
    Edits e;
    const std::string before = e.Shape();
    const int exchangers = e.d->GetNumberOfHeatExchangers();
    // "@H" stands for H's first segment, "@C" for C's, "@X" for the exchanger.
    std::string line = GetParam();
    for (const auto& [key, node] : std::vector<std::pair<std::string, CNode*>>{
             {"@H", e.Segment("H", 0)}, {"@C", e.Segment("C", 0)}, {"@X", e.unit}})
        for (std::size_t at = line.find(key); at != std::string::npos; at = line.find(key))
            line.replace(at, key.size(), q(node));
    EXPECT_EQ(0, e.g.Message(Text(line.c_str()))) << line;
    EXPECT_EQ(before, e.Shape()) << line;
    EXPECT_EQ(exchangers, e.d->GetNumberOfHeatExchangers()) << line;
    EXPECT_EQ(std::string(), std::string(e.d->GetChangeLog())) << line;
}

INSTANTIATE_TEST_SUITE_P(
    MissingEmptyOrStale, ViewGridRefusedCommand,
    ::testing::Values("addhx @H", "addhx", "addhx \"\" @C", "addhx @H \"H9Start\"", "addhx @H \"no such node\"",
                      "addhxtemp @H @C 50", "addhxtemp @H @C", "addhxtemp @H @C 50 warm", "movehx @X @H",
                      "deletehx \"\"", "deletehx \"E 100\"", "deletesplit", "viewicnode", "viewicnode \"nothing\"",
                      "RemoveBranch \"\"", "RemoveBranch @H", "deletesplit @H", "deletesplit @X", "addbranch @H",
                      "addbranch @X"));

TEST(ViewGridCommands, AnExchangerAddedAtTwoTemperaturesKeepsThem) {
    Edits e;
    const int before = e.d->GetNumberOfHeatExchangers();
    ASSERT_EQ(1, e.g.Message("addhxtemp " + q(e.Segment("H2", 0)) + " " + q(e.LastSegment("C")) + " 55.5 130.25"));
    ASSERT_EQ(before + 1, e.d->GetNumberOfHeatExchangers());
    CNode* added = nullptr;
    ASSERT_TRUE(e.d->GetHeatExchanger(before, added) && added);
    double cold = 0.0, hot = 0.0;
    ASSERT_TRUE(added->getVariableAsDouble("HENDTempCold", cold));
    ASSERT_TRUE(added->getVariableAsDouble("HENDTempHot", hot));
    EXPECT_DOUBLE_EQ(55.5, cold);
    EXPECT_DOUBLE_EQ(130.25, hot);
    EXPECT_EQ(1, added->getVariableStatus("HENDTempCold"));
    // Logged as a change the user made by hand.
    EXPECT_NE(std::string::npos, std::string(e.d->GetChangeLog()).find("manually"));
    // The diagram drew it at once.
    EXPECT_TRUE(e.g.LayoutValid());
    EXPECT_NE(nullptr, e.g.FindItemForNode(added));
    EXPECT_EQ(nullptr, e.g.FindItemForNode(nullptr));
}

TEST(ViewGridCommands, AddMoveAndDeleteAnExchanger) {
    Edits e;
    ASSERT_EQ(1, e.g.Message("addhx " + q(e.Segment("H2", 0)) + " " + q(e.LastSegment("C"))));
    EXPECT_EQ(2, e.d->GetNumberOfHeatExchangers());
    // The H side of the first exchanger moves over to H2.
    CNode* hSide = e.unit->getIthUpStreamNode(0);
    CPString stream;
    ASSERT_TRUE(hSide->getVariableAsString(NodeValue::ParentStream, stream));
    ASSERT_EQ("H", Text(stream));
    ASSERT_EQ(1, e.g.Message("movehx " + q(e.unit) + " " + q(hSide) + " " + q(e.LastSegment("H2"))));
    const auto onChain = [&](const char* s) {
        const std::vector<CNode*> nodes = design_test::ChainNodes(*e.d, s);
        return std::find(nodes.begin(), nodes.end(), e.unit) != nodes.end();
    };
    EXPECT_FALSE(onChain("H"));
    EXPECT_TRUE(onChain("H2"));
    EXPECT_EQ("", design_test::StructuralFault(*e.d));
    ASSERT_EQ(1, e.g.Message("deletehx " + q(e.unit)));
    EXPECT_EQ(1, e.d->GetNumberOfHeatExchangers());
    EXPECT_EQ("", design_test::StructuralFault(*e.d));
    // Nothing drawn stands for the deleted unit, and the pointer over where it was finds its
    // neighbours whole.
    for (const HENDNode* item : e.g.Items()) EXPECT_NE(e.unit, item->Node());
    Sweep(e.g);
}

// A unit whose name holds a quote (and one named as its first part) is reached by its own name
// from the grid's menu: its Delete deletes it, not the other, through the diagram's command line.
TEST(ViewGridCommands, ANameHoldingAQuoteReachesItsOwnUnit) {
    Edits e;
    CNode* other = e.d->AddHeatExchanger(e.Segment("H2", 0), e.LastSegment("C"), nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    ASSERT_TRUE(e.d->GetFlowSheet()->renameNode(other, "E3"));
    ASSERT_TRUE(e.d->GetFlowSheet()->renameNode(e.unit, "E3\" x\\"));
    e.g.SetDesign(e.d);
    HENDNode* item = e.g.FindItemForNode(e.unit);
    ASSERT_TRUE(item);
    EXPECT_EQ(1, item->ProcessInspectionCommand(5609));
    EXPECT_EQ(1, e.d->GetNumberOfHeatExchangers());
    CNode* left = nullptr;
    ASSERT_TRUE(e.d->GetHeatExchanger(0, left) && left);
    EXPECT_EQ(std::string("E3"), std::string(left->getName().c_str()));
}

TEST(ViewGridCommands, SplitsAndBranches) {
    Edits e;
    // A bypass runs downstream: given the wrong way round it is tried the other way.
    CNode* first = e.Segment("H", 0);
    CNode* last = e.LastSegment("H");
    ASSERT_NE(first, last);
    ASSERT_EQ(1, e.g.Message("addsplit " + q(last) + " " + q(first)));
    EXPECT_NE(std::string::npos, design_test::Chain(*e.d, "H").find('T'));
    CNode* tee = nullptr;
    for (CNode* n : design_test::ChainNodes(*e.d, "H"))
        if (design_test::Letter(n) == "T") tee = n;
    ASSERT_TRUE(tee);
    const auto branches = [&] { return tee->getAllDownStreamNodes().size(); };
    const std::size_t two = branches();
    ASSERT_EQ(1, e.g.Message("addbranch " + q(tee)));
    EXPECT_EQ(two + 1, branches());
    Sweep(e.g);
    ASSERT_EQ(1, e.g.Message("RemoveBranch " + q(e.d->GetSplitterBranch(tee, static_cast<int>(two)))));
    EXPECT_EQ(two, branches());
    Sweep(e.g);
    ASSERT_EQ(1, e.g.Message("deletesplit " + q(tee)));
    Sweep(e.g);
    EXPECT_EQ(std::string::npos, design_test::Chain(*e.d, "H").find('T'));
    EXPECT_EQ("", design_test::StructuralFault(*e.d));
    EXPECT_TRUE(e.g.LayoutValid());
}

// The splitter and the mixer are items of their own kinds, each knowing the segment on its main
// line (flowing into the splitter, out of the mixer) and its branch segments in the order of
// its branch lines (flowing out of the splitter, into the mixer).
TEST(ViewGridCommands, SplitterAndMixerKnowTheirMainSegmentAndBranches) {
    Edits e;
    ASSERT_EQ(1, e.g.Message("addsplit " + q(e.Segment("H", 0)) + " " + q(e.LastSegment("H"))));
    CNode *tee = nullptr, *mixer = nullptr;
    for (CNode* n : design_test::ChainNodes(*e.d, "H")) {
        if (design_test::Letter(n) == "T") tee = n;
        if (design_test::Letter(n) == "M") mixer = n;
    }
    ASSERT_TRUE(tee && mixer) << design_test::Chain(*e.d, "H");
    ASSERT_EQ(1, e.g.Message("addbranch " + q(tee)));
    const auto* start = dynamic_cast<const HENDStreamSplitStart*>(e.g.FindItemForNode(tee));
    const auto* end = dynamic_cast<const HENDStreamSplitEnd*>(e.g.FindItemForNode(mixer));
    ASSERT_TRUE(start && end);
    EXPECT_EQ(6, start->GetKind());
    EXPECT_EQ(5, end->GetKind());
    ASSERT_TRUE(start->GetMainSegment() && end->GetMainSegment());
    EXPECT_EQ(start, start->GetMainSegment()->LinkedItem(2));
    EXPECT_EQ(end, end->GetMainSegment()->LinkedItem(1));
    EXPECT_EQ(start->y, start->GetMainSegment()->y);
    const std::size_t branches = tee->getAllDownStreamNodes().size();
    ASSERT_EQ(3u, branches);
    ASSERT_EQ(branches, start->GetBranchList().size());
    ASSERT_EQ(branches, end->GetBranchList().size());
    ASSERT_EQ(branches, start->branchY.size());
    for (std::size_t b = 0; b < branches; ++b) {
        const HENDStreamSegment* out = start->GetBranchList()[b];
        const HENDStreamSegment* in = end->GetBranchList()[b];
        ASSERT_TRUE(out && in) << b;
        EXPECT_EQ(start, out->LinkedItem(1)) << b;
        EXPECT_EQ(end, in->LinkedItem(2)) << b;
        EXPECT_EQ(start->branchY[b], out->y) << b;
        EXPECT_EQ(end->branchY[b], in->y) << b;
    }
}

TEST(ViewGridCommands, ViewingANodeAsksForItsViewAndChangesNothing) {
    Edits e;
    std::vector<CNode*> asked;
    e.g.SetEquipmentViewSource([&](CNode* n) {
        asked.push_back(n);
        return static_cast<Viewable*>(nullptr);
    });
    const std::string before = e.Shape();
    EXPECT_EQ(1, e.g.ViewNode(e.unit));
    EXPECT_EQ(1, e.g.Message("viewicnode " + q(e.Segment("C", 0))));
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(e.unit, asked[0]);
    EXPECT_EQ(e.Segment("C", 0), asked[1]);
    EXPECT_EQ(before, e.Shape());
    EXPECT_EQ(std::string(), std::string(e.d->GetChangeLog()));
    // A double click on an exchanger end asks for that exchanger.
    CanvasDriver driver(e.g);
    e.g.PaintNow();
    driver.DoubleClick({195.0, 80.0});
    ASSERT_EQ(3u, asked.size());
    EXPECT_EQ(e.unit, asked[2]);
}

// ---- the background menu ----

TEST(ViewGridCommands, ConfigurationNumbersWithTheSixPresets) {
    Edits e;
    MenuModel menu;
    e.g.PrepareForPlaneInspection({0, 0}, menu);
    for (int id = 5621; id <= 5632; ++id) EXPECT_TRUE(menu.Contains(id)) << id;
    for (int id = 6248; id <= 6253; ++id) EXPECT_TRUE(menu.Contains(id)) << id;
    EXPECT_FALSE(menu.Contains(5633));
    EXPECT_FALSE(menu.Contains(6254));
    // Select 5622 is preset 1; edit 5628 preset 1 with its form; clone 6250 preset 2.
    EXPECT_EQ(1, e.g.ProcessInspectionCommand(5622));
    EXPECT_EQ(1, e.g.SelectedPreset());
    EXPECT_EQ(1, e.g.ProcessInspectionCommand(6250));
    EXPECT_EQ(2, e.g.SelectedPreset());
    const auto views = Session::Instance().Entries(SessionEvent::ViewOpened);
    ASSERT_FALSE(views.empty());
    EXPECT_NE(Text::npos, views.back().text.find("AddNewStream")) << views.back().text;
}

TEST(ViewGridCommands, LoopsAndPathsAreOfferedAndHighlighted) {
    Edits e;
    MenuModel menu;
    ASSERT_NO_FATAL_FAILURE(e.CloseALoop(menu));
    const int loops = e.d->GetNumberOfLoops(), paths = e.d->GetNumberOfPaths();
    ASSERT_GT(loops, 0);
    EXPECT_TRUE(menu.Contains(5648));
    for (int i = 0; i < loops; ++i) EXPECT_TRUE(menu.Contains(5649 + i)) << i;
    EXPECT_FALSE(menu.Contains(5649 + loops));
    EXPECT_EQ(paths > 0, menu.Contains(5948));
    for (int i = 0; i < paths; ++i) EXPECT_TRUE(menu.Contains(5949 + i)) << i;
    const Text dump = menu.Dump();
    EXPECT_NE(Text::npos, dump.find(e.d->GetLoopName(0))) << dump;
    EXPECT_EQ(1, e.g.ProcessInspectionCommand(5649));
    EXPECT_EQ(0, e.g.SelectedLoop());
    EXPECT_EQ(-1, e.g.SelectedPath());
    // The loop's exchangers are joined on the picture.
    e.g.PaintNow();
    int highlighted = 0;
    for (int i = 1; i <= e.g.GetCanvas().NumberOfGroups(); ++i) highlighted += e.g.GetCanvas().Group(i).cssClass == "loop";
    EXPECT_EQ(1, highlighted);
    EXPECT_EQ(1, e.g.ProcessInspectionCommand(5648));
    EXPECT_EQ(-1, e.g.SelectedLoop());
    // Without the loop analysis neither sub-menu.
    e.d->SetLoopAnalysisEnabled(false);
    MenuModel off;
    e.g.PrepareForPlaneInspection({0, 0}, off);
    EXPECT_FALSE(off.Contains(5648));
    EXPECT_FALSE(off.Contains(5948));
}

// The two units of the loop both stand on H and C: joined along H, the highlight would lie on H's
// own line and barely show. It runs clear of every stream line, wider than the lines and in a
// colour of its own, from one unit to the other.
TEST(ViewGridCommands, ATwoUnitLoopIsHighlightedClearOfTheStreamLines) {
    Edits e;
    MenuModel menu;
    ASSERT_NO_FATAL_FAILURE(e.CloseALoop(menu));
    ASSERT_GT(e.d->GetNumberOfLoops(), 0);
    ASSERT_EQ(1, e.g.ProcessInspectionCommand(5649));
    e.g.PaintNow();
    const Canvas& canvas = e.g.GetCanvas();
    std::vector<const CanvasPrimitive*> loop;
    std::set<std::uint32_t> lineColours;
    for (int i = 0; i < canvas.Count(); ++i) {
        const CanvasPrimitive& p = canvas.At(i);
        const Text kind = p.group > 0 ? canvas.Group(p.group).cssClass : Text();
        if (kind == "loop") loop.push_back(&p);
        if (kind == "stream-segment") lineColours.insert(p.line.colour.Packed());
    }
    ASSERT_GE(lineColours.size(), 2u);  // hot and cold at least
    ASSERT_FALSE(loop.empty());
    double left = 1e300, right = -1e300;
    for (const CanvasPrimitive* p : loop) {
        EXPECT_GE(p->line.width, 4);
        EXPECT_EQ(0u, lineColours.count(p->line.colour.Packed()));
        for (std::size_t k = 1; k < p->points.size(); ++k) {
            const CanvasPoint a = p->points[k - 1], b = p->points[k];
            left = std::min({left, a.x, b.x}), right = std::max({right, a.x, b.x});
            if (std::abs(a.y - b.y) > 1e-9) continue;  // a stroke across the lines
            for (const HENDLine& l : e.g.Lines()) EXPECT_GT(std::abs(a.y - l.y), 5.0) << "along " << l.stream;
        }
    }
    // From one unit's column to the other's.
    std::vector<double> units;
    for (HENDNode* item : e.g.Items())
        if (auto* hx = dynamic_cast<HENDHeatEx*>(item); hx && !hx->ends.empty()) units.push_back(hx->ends.front().x);
    ASSERT_EQ(2u, units.size());
    EXPECT_NEAR(std::min(units[0], units[1]), left, 1e-6);
    EXPECT_NEAR(std::max(units[0], units[1]), right, 1e-6);
}

TEST(ViewGridCommands, ALockedDesignsSegmentOffersOnlyItsView) {
    Edits e;
    e.d->LockOperation();
    ASSERT_TRUE(e.d->GetOperationLocked());
    e.g.SetDesign(e.d);
    int segments = 0;
    for (HENDNode* item : e.g.Items()) {
        auto* s = dynamic_cast<HENDStreamSegment*>(item);
        if (!s) continue;
        ++segments;
        MenuModel menu;
        s->PrepareForObjectInspection(menu);
        ASSERT_EQ(1u, menu.Items().size());
        EXPECT_EQ(5608, menu.Items()[0].number);
    }
    EXPECT_GT(segments, 0);
    // An exchanger's end offers its view only, too.
    CanvasDriver driver(e.g);
    e.g.PaintNow();
    const MenuModel& unitMenu = driver.OpenMenu({195.0, 80.0});
    EXPECT_TRUE(unitMenu.Contains(5608));
    EXPECT_FALSE(unitMenu.Contains(5609));
    MenuModel background;
    e.g.PrepareForPlaneInspection({0, 0}, background);
    EXPECT_FALSE(background.Contains(5607));
}

}  // namespace

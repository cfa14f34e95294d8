// The splitter view (one view for the tee and its mixer, branch fractions and their refusal,
// renames through the design, the utility after the mixer, closing when its split goes) and the
// state view (the tables of an operating state, closing when the state goes).
#include "eng/design/HENState.h"
#include "eng/design/IHENDesign.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/HENStateView.h"
#include "views/design/SplitterView.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::lastShown;
using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

Text unitName(const CNode* node) {
    CPString s;
    return node && node->getVariableAsString("UnitOperationName", s) ? Text(s.c_str()) : Text();
}

// An exchanger H1/C1 with a split on C1 after it.
struct Split : ViewerNetwork {
    Split() {
        unit = Unit("H1", "C1");
        CNode* segment = AsHeatExch(unit)->getOutlet(1);
        EXPECT_TRUE(d->AddSplitterMixer(segment, segment, tee, "test", 2));
        viewer = Viewer();
        view = dynamic_cast<SplitterView*>(viewer->GetEquipmentView(tee));
    }
    CNode *unit = nullptr, *tee = nullptr;
    std::unique_ptr<HIDesignViewerDesign> viewer;
    SplitterView* view = nullptr;
};

TEST(ViewSplitter, TheMixerOpensTheViewOfItsTeeAndTheTextsNameBoth) {
    Split s;
    ASSERT_NE(nullptr, s.view);
    CNode* mixer = s.view->GetMixerNode();
    ASSERT_NE(nullptr, mixer);
    EXPECT_EQ(s.view, s.viewer->GetEquipmentView(mixer));
    EXPECT_EQ(1, s.viewer->GetSplitterViews().Count());
    EXPECT_EQ(unitName(s.tee), s.view->TextValue(VarDescription(1519, 250)));
    EXPECT_EQ(unitName(mixer), s.view->TextValue(VarDescription(1519, 251)));
    // Upstream the exchanger (its view), downstream the product end (none).
    EXPECT_EQ(s.unit, s.view->UpstreamNode());
    EXPECT_EQ(1.0, s.view->Value(VarDescription(104, 252)));
    EXPECT_EQ(0.0, s.view->Value(VarDescription(104, 256)));
    DimInfo dims;
    ASSERT_EQ(1, s.view->Dimensions(VarDescription(11, 200), dims));
    EXPECT_EQ(2, dims.Dim(0));
    // A branch without a name of its own is listed under its node's name.
    CNode* branch = s.view->Branch(1);
    branch->removeVariable("UnitOperationName");
    VarDescription second(1519, 255);
    second.SetOffset(0, 1);
    EXPECT_EQ(Text(branch->getName().c_str()), s.view->TextValue(second));
}

TEST(ViewSplitter, FractionsOutsideZeroToOneAreRefusedAndNamesGoThroughTheDesign) {
    Split s;
    ASSERT_NE(nullptr, s.view);
    VarDescription fraction(11, 200);
    fraction.SetOffset(0, 0);
    Session::Instance().ClearEvents(SessionEvent::Error);
    EXPECT_EQ(1, s.view->Specify(fraction, 0.3));
    double f = 0.0;
    ASSERT_TRUE(s.view->Branch(0)->getVariableAsDouble("SplitFraction", f));
    EXPECT_DOUBLE_EQ(0.3, f);
    EXPECT_EQ(1, s.view->Branch(0)->getVariableStatus("SplitFraction"));
    EXPECT_EQ(0, s.view->Specify(fraction, 1.5));
    EXPECT_EQ(Text("SplitFractionError"), lastShown());
    ASSERT_TRUE(s.view->Branch(0)->getVariableAsDouble("SplitFraction", f));
    EXPECT_DOUBLE_EQ(0.3, f);

    // A name an exchanger bears is refused; a new one is taken and logged.
    const Text old = unitName(s.tee);
    EXPECT_EQ(0, s.view->SpecifyText(VarDescription(1519, 250), unitName(s.unit)));
    EXPECT_EQ(Text("UnitNameError"), lastShown());
    EXPECT_EQ(old, unitName(s.tee));
    // So is the name of another unit of the split: its own mixer's.
    CNode* mixer = s.view->GetMixerNode();
    EXPECT_EQ(0, s.view->SpecifyText(VarDescription(1519, 250), unitName(mixer)));
    EXPECT_EQ(old, unitName(s.tee));
    EXPECT_EQ(1, s.view->SpecifyText(VarDescription(1519, 250), "Split A"));
    EXPECT_EQ(Text("Split A"), unitName(s.tee));
    EXPECT_NE(std::string::npos, std::string(s.d->GetChangeLog() ? s.d->GetChangeLog() : "").find("Split A"));
}

// Typed shares may not promise more than the whole inflow: a share that would take the specified
// shares past 1 is refused, the branch keeping its share; one that brings them to exactly 1 is
// taken, and a branch's own old share does not count against its new one.
TEST(ViewSplitter, ASharePushingTheSpecifiedSharesPastOneIsRefused) {
    ViewerNetwork n;
    CNode* unit = n.Unit("H1", "C1");
    CNode* segment = AsHeatExch(unit)->getOutlet(1);
    CNode* tee = nullptr;
    ASSERT_TRUE(n.d->AddSplitterMixer(segment, segment, tee, "test", 3));
    auto viewer = n.Viewer();
    auto* view = dynamic_cast<SplitterView*>(viewer->GetEquipmentView(tee));
    ASSERT_NE(nullptr, view);
    VarDescription first(11, 200), second(11, 200);
    first.SetOffset(0, 0);
    second.SetOffset(0, 1);
    view->Branch(1)->addVariable("SplitFraction", 0.0, 1);
    ASSERT_EQ(1, view->Specify(first, 0.75));
    Session::Instance().ClearEvents(SessionEvent::Error);
    EXPECT_EQ(0, view->Specify(second, 0.5));
    EXPECT_EQ(Text("SplitFractionError"), lastShown());
    double f = E;
    ASSERT_TRUE(view->Branch(1)->getVariableAsDouble("SplitFraction", f));
    EXPECT_DOUBLE_EQ(0.0, f);
    EXPECT_EQ(1, view->Specify(second, 0.25));
    EXPECT_EQ(1, view->Specify(first, 0.7));
    EXPECT_EQ(0, view->Specify(first, 0.8));
    ASSERT_TRUE(view->Branch(0)->getVariableAsDouble("SplitFraction", f));
    EXPECT_DOUBLE_EQ(0.7, f);
}

// The branch left to the balance shows the share the network gives it, read-only: a write there
// is refused and the shares still add up to the whole inflow; the specified branch takes one.
TEST(ViewSplitter, ACalculatedShareIsReadOnlyAndItsWriteRefused) {
    Split s;
    ASSERT_NE(nullptr, s.view);
    VarDescription first(11, 200), last(11, 200);
    first.SetOffset(0, 0);
    last.SetOffset(0, 1);
    ASSERT_EQ(1, s.view->Specify(first, 0.3));
    double f = 0.0;
    s.view->Branch(1)->addVariable("SplitFraction", 0.7, 2);
    ModifyState state = ModifiableState;
    int detail = 0;
    s.view->VariableStatus(last, state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    EXPECT_EQ(0, s.view->Specify(last, 0.2));
    ASSERT_TRUE(s.view->Branch(1)->getVariableAsDouble("SplitFraction", f));
    EXPECT_DOUBLE_EQ(0.7, f);
    EXPECT_EQ(2, s.view->Branch(1)->getVariableStatus("SplitFraction"));
    state = ReadOnlyState;
    s.view->VariableStatus(first, state, detail);
    EXPECT_EQ(ModifiableState, state);
    EXPECT_EQ(1, s.view->Specify(first, 0.4));
}

// A split on the cooling water: the placeholder that ends the utility after its mixer is the
// utility's own and may not go (the flag says so); the switch that would take it out is refused,
// the mixer left as it was.
TEST(ViewSplitter, TheSwitchAfterTheMixerAsksAsItsFlagDoes) {
    ViewerNetwork n;
    CNode* segment = design_test::NthSegment(*n.d, "CW", 0);
    CNode* tee = nullptr;
    ASSERT_TRUE(n.d->AddSplitterMixer(segment, segment, tee, "test", 2));
    auto viewer = n.Viewer();
    auto* view = dynamic_cast<SplitterView*>(viewer->GetEquipmentView(tee));
    ASSERT_NE(nullptr, view);
    CNode* mixer = view->GetMixerNode();
    ASSERT_TRUE(mixer);
    ASSERT_FALSE(n.d->IsPortFreeOfUtility(mixer, 2));
    EXPECT_EQ(0.0, view->Value(VarDescription(104, 290)));
    EXPECT_EQ(0.0, view->Value(VarDescription(104, 250)));
    EXPECT_EQ(0, view->Specify(VarDescription(104, 290), 1.0));
    EXPECT_FALSE(n.d->IsPortFreeOfUtility(mixer, 2));
}

TEST(ViewSplitter, ClosesWhenItsSplitIsTakenOutAndOnlyThen) {
    Split s;
    ASSERT_NE(nullptr, s.view);
    const std::weak_ptr<const bool> alive = s.view->LifeToken();
    s.d->SendAMessage(28, "another splitter", nullptr);
    EXPECT_FALSE(alive.expired());
    EXPECT_EQ(s.unit, s.view->UpstreamNode());
    EXPECT_EQ(1, SendViewableMessage(s.view, "DeleteSplit"));
    EXPECT_TRUE(alive.expired());
    EXPECT_EQ(0, s.viewer->GetSplitterViews().Count());
}

TEST(ViewState, ShowsTheStatesTablesAndClosesWithIt) {
    ViewerNetwork n;
    n.Units("ph");
    HENState state;
    state.SetFromDesign(*n.d);
    auto viewer = n.Viewer();
    auto* view = new HENStateView(viewer.get(), ObjectTypeRegistry::Current()->Find(HENStateView::TypeName));
    EXPECT_EQ(E, view->Value(VarDescription(1, 301)));  // no state yet
    view->SetState(&state);
    DimInfo dims;
    ASSERT_EQ(1, view->Dimensions(VarDescription(1519, 320), dims));
    EXPECT_EQ(state.GetNumberOfHeatExchangers(), dims.Dim(0));
    ASSERT_GT(dims.Dim(0), 0);
    VarDescription name(1519, 320), hotIn(1, 321);
    name.SetOffset(0, 0);
    hotIn.SetOffset(0, 0);
    EXPECT_EQ(Text(state.GetHeatExchangerName(0)), view->TextValue(name));
    double expected = E;
    state.GetHeatExchangerValue(0, "HotInletTemperature", expected);
    EXPECT_EQ(expected, view->Value(hotIn));
    // No splitters: an empty table, and a branch table of no rows.
    dims.Clear();
    ASSERT_EQ(2, view->Dimensions(VarDescription(1519, 342), dims));
    EXPECT_EQ(0, dims.Dim(0));
    EXPECT_EQ(0, dims.Dim(1));
    // 326 is sized like the coefficients but shows nothing of its own.
    dims.Clear();
    ASSERT_EQ(1, view->Dimensions(VarDescription(1524, 326), dims));
    EXPECT_EQ(state.GetNumberOfHeatExchangers(), dims.Dim(0));
    EXPECT_EQ(E, view->Value(VarDescription(1524, 326)));

    const std::weak_ptr<const bool> alive = view->LifeToken();
    state.SendAMessage(11, CPString(), nullptr);
    EXPECT_FALSE(alive.expired());
    state.SendAMessage(10, CPString(), nullptr);
    EXPECT_TRUE(alive.expired());
}

}  // namespace

namespace {

TEST(ViewState, TheViewerOpensOneStateViewOfTheDesignsOwnState) {
    ViewerNetwork n;
    n.Units("ph");
    auto viewer = n.Viewer();
    ASSERT_EQ(1, SendViewableMessage(viewer.get(), "OpenDefaultStateView"));
    auto* view = dynamic_cast<HENStateView*>(viewer->GetStateView());
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(n.d->GetDefaultState(), view->GetState());
    if (view->GetState()) {
        EXPECT_EQ(Text("Base Case"), view->GetName());
    }
    ASSERT_EQ(1, SendViewableMessage(viewer.get(), "OpenDefaultStateView"));
    EXPECT_EQ(view, viewer->GetStateView());
    delete view;
    EXPECT_EQ(nullptr, viewer->GetStateView());
}

}  // namespace

namespace {

TEST(ViewState, AStateThatGoesClosesItsView) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    auto state = std::make_unique<HENState>();
    state->SetFromDesign(*n.d);
    auto* view = new HENStateView(viewer.get(), ObjectTypeRegistry::Current()->Find(HENStateView::TypeName));
    view->SetState(state.get());
    const std::weak_ptr<const bool> alive = view->LifeToken();
    state.reset();
    EXPECT_TRUE(alive.expired());
}

}  // namespace

// The exchanger view: the units next to its ports on a chain of exchangers, a cooler, a split on
// each stream and the stream ends (views, names, kinds, the six stream names), closing and
// re-resolving on the design's notices; writes and their refusals; status words; orientation.
#include "eng/design/IHENDesign.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"
#include "lumeth/TwoDimPlot.h"
#include "views/grid/HENDiagram.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

namespace {

using design_viewer_test::lastShown;
using design_test::NthSegment;
using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

Text unitName(const CNode* node) {
    CPString s;
    return node && node->getVariableAsString(NodeValue::UnitOperationName, s) ? Text(s.c_str()) : Text();
}

// H1: feed, split, E1, cooler, E2, product. C1: feed, E3, E2, E1, split, product. E3 takes H2.
struct Chain : ViewerNetwork {
    Chain() {
        e1 = Unit("H1", "C1");
        HeatExch* x1 = AsHeatExch(e1);
        // E2 after E1 on H1 and before it on C1.
        e2 = d->AddHeatExchanger(x1->getOutlet(0), x1->getInlet(1), nullptr, nullptr, nullptr);
        EXPECT_TRUE(d->AddUtilityAtPort(e1, 1));
        CNode* segment = x1->getOutlet(1);
        EXPECT_TRUE(d->AddSplitterMixer(segment, segment, coldTee, "test", 2));
        segment = x1->getInlet(0);
        EXPECT_TRUE(d->AddSplitterMixer(segment, segment, hotTee, "test", 2));
        e3 = d->AddHeatExchanger(NthSegment(*d, "H2", 0), AsHeatExch(e2)->getInlet(1), nullptr, nullptr, nullptr);
        EXPECT_TRUE(e1 && e2 && e3 && hotTee && coldTee);
        viewer = Viewer();
    }
    HeatExchangerView* view(CNode* unit) { return dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit)); }
    static std::string ChainOf(const CPIHENDesign& design, const std::string& stream) { return design_test::Chain(design, stream); }
    CNode *e1 = nullptr, *e2 = nullptr, *e3 = nullptr, *hotTee = nullptr, *coldTee = nullptr;
    std::unique_ptr<HIDesignViewerDesign> viewer;
};

TEST(ViewHeatExchanger, FindsTheUnitsNextToItsPortsAndTheirStreams) {
    Chain c;
    HeatExchangerView* v1 = c.view(c.e1);
    ASSERT_NE(nullptr, v1);
    EXPECT_EQ(v1, c.view(c.e1)) << "one view per exchanger";
    HeatExchangerView* v2 = c.view(c.e2);
    HeatExchangerView* v3 = c.view(c.e3);
    ASSERT_TRUE(v2 && v3);
    Viewable* hotSplit = c.viewer->GetEquipmentView(c.hotTee);
    Viewable* coldSplit = c.viewer->GetEquipmentView(c.coldTee);
    ASSERT_TRUE(hotSplit && coldSplit);

    // E1: the hot split's mixer, E2 beyond the cooler, E2, the cold split's tee.
    EXPECT_EQ(NodeKindId::Mixer, v1->NeighbourNode(0)->getKindId());
    EXPECT_EQ(c.e2, v1->NeighbourNode(1));
    EXPECT_EQ(c.e2, v1->NeighbourNode(2));
    EXPECT_EQ(c.coldTee, v1->NeighbourNode(3));
    const Viewable* views1[4] = {hotSplit, v2, v2, coldSplit};
    // E2: E1 beyond the cooler, the product block, E3, E1.
    EXPECT_EQ(NodeKindId::ProductBlock, v2->NeighbourNode(1)->getKindId());
    const Viewable* views2[4] = {v1, nullptr, v3, v1};
    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(views1[p], v1->NeighbourView(p));
        EXPECT_EQ(views2[p], v2->NeighbourView(p));
        EXPECT_EQ(views1[p] ? 1.0 : 0.0, v1->Value(VarDescription(104, 781 + p)));
        EXPECT_EQ(views2[p] ? 1.0 : 0.0, v2->Value(VarDescription(104, 781 + p)));
        EXPECT_EQ(unitName(v1->NeighbourNode(p)), v1->TextValue(VarDescription(1519, 781 + p)));
    }
    // The neighbours' views carry their units' names as titles.
    EXPECT_EQ(unitName(c.e2), v2->GetCaption());
    EXPECT_EQ(unitName(c.e1), v2->NeighbourName(0));

    // A form steps to a neighbour through 781 to 784, and to the plot through its child name.
    auto link = [](const char* address) {
        VarDescription v;
        EXPECT_TRUE(VarDescription::Parse(address, v)) << address;
        return v;
    };
    EXPECT_EQ(v1, v2->AttachedObject(link("ViewableObject.781")));
    EXPECT_EQ(v3, v2->AttachedObject(link("ViewableObject.783")));
    EXPECT_EQ(nullptr, v2->AttachedObject(link("ViewableObject.782")));
    ASSERT_NE(nullptr, v1->GetPlot());
    EXPECT_EQ(v1->GetPlot(), v1->AttachedObject(link("TwoDimPlotNTW.299")));
    EXPECT_EQ(Text("TwoDimPlotNTW.299"), v1->AttachedName(v1->GetPlot()));
    MessageInfo th{6, ":THPlot", nullptr, 0, nullptr}, other{6, ":Other", nullptr, 0, nullptr};
    EXPECT_TRUE(v1->GenMessage(th) && v1->GenMessage(other));
    EXPECT_EQ(v1->GetPlot(), th.answer);
    EXPECT_EQ(nullptr, other.answer);

    // Kinds: 1 mixer, 2 tee, 3 another exchanger, 4 one between the same streams, 0 a stream end.
    const double kinds1[4] = {1.0, 4.0, 4.0, 2.0}, kinds2[4] = {4.0, 0.0, 3.0, 4.0};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(kinds1[p], v1->Value(VarDescription(1519, 771 + p))) << "E1 port " << p;
        EXPECT_EQ(kinds2[p], v2->Value(VarDescription(1519, 771 + p))) << "E2 port " << p;
    }

    v1->GetHExStreamNames();
    const char* names1[6] = {"H1", "C1", "", "", "H1", "C1"};
    v2->GetHExStreamNames();
    const char* names2[6] = {"H1", "C1", "H1", "C1", "H2", ""};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Text(names1[i]), v1->StreamName(i)) << "E1 " << i;
        EXPECT_EQ(Text(names2[i]), v2->StreamName(i)) << "E2 " << i;
    }
    // 295: the cold side's neighbours (E2 and a tee) share no hot stream name; 296: the hot
    // side's neighbours (a mixer and E2) share none either. E2's hot side: E1 and a stream end.
    EXPECT_EQ(0.0, v1->Value(VarDescription(104, 295)));
    EXPECT_EQ(0.0, v2->Value(VarDescription(104, 296)));
    // E3: neither cold-side neighbour is an exchanger of another hot stream's... its cold inlet is
    // the feed and its cold outlet E2 on H1: the two names differ.
    EXPECT_EQ(0.0, v3->Value(VarDescription(104, 295)));
    // Both empty on the hot side (feed and product of H2): equal, and not H2's own cold stream.
    EXPECT_EQ(1.0, v3->Value(VarDescription(104, 296)));
}

TEST(ViewHeatExchanger, ClosesWithItsExchangerAndTheOthersFindNewNeighbours) {
    Chain c;
    HeatExchangerView* v2 = c.view(c.e2);
    ASSERT_NE(nullptr, c.view(c.e3));
    const std::weak_ptr<const bool> e3View = c.view(c.e3)->LifeToken();
    const int before = c.viewer->GetExchangerViews().Count();
    ASSERT_TRUE(SendViewableMessage(c.view(c.e3), "DeleteHeatExchanger"));
    EXPECT_TRUE(e3View.expired());
    EXPECT_EQ(before - 1, c.viewer->GetExchangerViews().Count());
    EXPECT_EQ(nullptr, v2->NeighbourView(2));
    EXPECT_EQ(0.0, v2->Value(VarDescription(1519, 773)));
    // Another design notice only resolves the neighbours again.
    c.d->SendAMessage(6, "not an exchanger of this design", nullptr);
    EXPECT_EQ(c.e1, v2->NeighbourNode(0));
}

struct Entry {
    const char* what;
    int unit;  // 0 the process exchanger, 1 the heater
    bool locked;
    int type, number, index;
    double value;
    const char* refusal;
    const char* name;  // the value checked on the unit
    double stored;     // E: as it was (the marker 55 specified); -1: no longer specified
    int status;
};

class ViewHeatExchangerEntry : public ::testing::TestWithParam<Entry> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const Entry& c, std::ostream* os) { *os << c.what; }

TEST_P(ViewHeatExchangerEntry, IsTakenOrRefusedWithItsKey) {
    const Entry& e = GetParam();
    ViewerNetwork n;
    n.Units("ph");
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(e.unit, unit));
    if (e.locked) n.d->LockOperation();
    unit->addVariable(e.name, 55.0, 1, 1);
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_NE(nullptr, view);
    Session::Instance().ClearEvents(SessionEvent::Error);
    VarDescription var(e.type, e.number);
    var.SetOffset(0, e.index);
    const int result = view->Specify(var, e.value);
    EXPECT_EQ(Text(e.refusal), lastShown());
    EXPECT_EQ(*e.refusal ? 0 : 1, result);
    double stored = E;
    unit->getVariableAsDouble(e.name, stored);
    if (e.stored == -1.0) {
        // Given up: the network works it out again.
        EXPECT_NE(1, unit->getVariableStatus(e.name));
    } else if (e.stored == E) {
        EXPECT_EQ(55.0, stored);
        EXPECT_EQ(1, unit->getVariableStatus(e.name));
    } else {
        EXPECT_DOUBLE_EQ(e.stored, stored);
        EXPECT_EQ(e.status, unit->getVariableStatus(e.name));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ViewHeatExchangerEntry,
    ::testing::Values(Entry{"area 0", 0, false, 1508, 200, 0, 0.0, "", "HTArea", 0.0, 1},
                      Entry{"negative area", 0, false, 1508, 200, 0, -0.1, "AreaInputError", "HTArea", E, 0},
                      Entry{"heater area", 1, false, 1508, 200, 0, 12.0, "CannotSpecifyAreaForUtilExchanger", "HTArea", E, 0},
                      Entry{"area erased", 0, false, 1508, 200, 0, E, "", "HTArea", -1.0, 0},
                      Entry{"area erased in operation", 0, true, 1508, 200, 0, E, "HTCoeffUpdateError2", "HTArea", E, 0},
                      Entry{"shell area 0", 0, false, 1508, 201, 0, 0.0, "ShellsInputError", "HTMaxAreaShell", E, 0},
                      Entry{"shell area", 0, false, 1508, 201, 0, 80.0, "", "HTMaxAreaShell", 80.0, 1},
                      Entry{"shells 0", 0, false, 1519, 701, 0, 0.0, "ShellsInputError", "NShellsInSeries", E, 0},
                      Entry{"shells erased", 0, false, 1519, 701, 1, E, "ShellsInputError", "NShellsInParallel", E, 0},
                      Entry{"shells in series", 0, false, 1519, 701, 0, 3.0, "", "NShellsInSeries", 3.0, 1},
                      Entry{"duty", 0, false, 6, 200, 0, 120.0, "", "Duty", 120.0, 1},
                      Entry{"fouling erased", 0, false, 4101, 200, 0, E, "", "HXFoulingFactor", 55.0, 0}));

TEST(ViewHeatExchanger, ErasingTheAreaInOperationStillFreesTheShellsInSeries) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    n.d->LockOperation();
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_NE(nullptr, view);
    unit->addVariable("AreaMinimum", 0.0, 1);
    unit->addVariable("NShellsInSeries", 2.0, 1);
    EXPECT_EQ(0, view->Specify(VarDescription(1508, 200), E));
    EXPECT_EQ(0, unit->getVariableStatus("NShellsInSeries"));
    EXPECT_EQ(1, unit->getVariableFlag("NShellsInSeries"));
}

TEST(ViewHeatExchanger, UtilitySwitchesAddAndRemoveAndTheModelSwitchChangesKind) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_NE(nullptr, view);
    // The network starts with a heater at the exchanger's cold inlet (the stream's own end).
    const VarDescription coldInlet(104, 291);
    EXPECT_EQ(0.0, view->Value(coldInlet));
    EXPECT_EQ(1, view->Specify(coldInlet, 1.0));  // takes it out
    EXPECT_EQ(1.0, view->Value(coldInlet));
    EXPECT_TRUE(n.d->IsPortFreeOfUtility(unit, 2));
    EXPECT_EQ(1, view->Specify(coldInlet, 0.0));  // adds one again
    EXPECT_EQ(0.0, view->Value(coldInlet));
    EXPECT_EQ(1, view->Specify(coldInlet, 1.0));
    EXPECT_EQ(1, view->Specify(coldInlet, E));    // erasing adds one too
    EXPECT_EQ(0.0, view->Value(coldInlet));

    const VarDescription model(104, 790);
    EXPECT_EQ(0.0, view->Value(model));
    EXPECT_EQ(1, view->Specify(model, 1.0));
    EXPECT_EQ(1.0, view->Value(model));
    EXPECT_EQ(1, AsHeatExch(unit)->getHXType());
    EXPECT_EQ(1, view->Specify(model, 0.0));
    EXPECT_EQ(0, AsHeatExch(unit)->getHXType());
}

// A port switch takes what the port's flag (751 to 754) offers and refuses the rest with a
// message: no heater or cooler between an exchanger and the tee after it, and none taken away
// where the two segments it would join both carry a given temperature.
TEST(ViewHeatExchanger, UtilitySwitchesRefuseWhatThePortsFlagsMarkUnavailable) {
    Chain c;
    HeatExchangerView* v1 = c.view(c.e1);
    ASSERT_NE(nullptr, v1);
    HeatExch* x1 = AsHeatExch(c.e1);
    const std::string hot = Chain::ChainOf(*c.d, "H1"), cold = Chain::ChainOf(*c.d, "C1");

    // Cold outlet (flag 754, switch 292): the segment after E1 runs into the cold split's tee.
    EXPECT_EQ(1.0, v1->Value(VarDescription(104, 292)));
    EXPECT_EQ(0.0, v1->Value(VarDescription(104, 754)));
    Session::Instance().Reset();
    EXPECT_EQ(0, v1->Specify(VarDescription(104, 292), 0.0));
    EXPECT_EQ(Text("UtilityCannotBeAddedAtPort"), lastShown());
    EXPECT_EQ(cold, Chain::ChainOf(*c.d, "C1"));
    EXPECT_TRUE(c.d->IsPortFreeOfUtility(c.e1, 3));

    // Hot outlet (flag 752, switch 294): the cooler between E1 and E2 joins two given temperatures.
    CNode* own = x1->getOutlet(0);
    CNode* beyond = chain::After(chain::After(own));
    own->addVariable(NodeValue::Temperature, 150.0, ValueStatus::Specified);
    beyond->addVariable(NodeValue::Temperature, 140.0, ValueStatus::Specified);
    EXPECT_EQ(0.0, v1->Value(VarDescription(104, 294)));
    EXPECT_EQ(0.0, v1->Value(VarDescription(104, 752)));
    Session::Instance().Reset();
    EXPECT_EQ(0, v1->Specify(VarDescription(104, 294), 1.0));
    EXPECT_EQ(Text("UtilityCannotBeRemovedAtPort"), lastShown());
    EXPECT_EQ(hot, Chain::ChainOf(*c.d, "H1"));
    EXPECT_FALSE(c.d->IsPortFreeOfUtility(c.e1, 1));

    // Either message has its text.
    for (const char* key : {"UtilityCannotBeAddedAtPort", "UtilityCannotBeRemovedAtPort"})
        EXPECT_TRUE(MessageCatalogue::Instance().Contains(key)) << key;
}

TEST(ViewHeatExchanger, StatusWordsNameTheCalculationsState) {
    const char* words[10] = {"Under-specified", "", "Over-specified", "Calculations OK", "Infeasible: the temperatures cross",
                             "", "Failed to calculate", "Partially calculated", "A stream of the exchanger is under-specified",
                             "A split fraction on the exchanger's streams is not given"};
    for (int code = 0; code < 10; ++code)
        EXPECT_EQ(Text(words[code]), HeatExchangerView::StatusWord(code, "HXTemperatureCross")) << code;
    EXPECT_EQ(Text("Infeasible: "), HeatExchangerView::StatusWord(4, nullptr));
    EXPECT_EQ(Text(), HeatExchangerView::StatusWord(11, nullptr));
}

TEST(ViewHeatExchanger, OrientationFollowsTheDiagramsSwitchAndTheExchangersSides) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    viewer->ReplaceGridDiagram(new HENDiagram(viewer.get(), Text("D1 HENDiagram")));
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_TRUE(view && viewer->GetGridDiagram());
    auto* x = AsHeatExch(unit);
    const VarDescription code(1519, 775);
    for (bool reversedSide : {false, true}) {
        // A hot side whose outlet stands above its inlet fails the test.
        x->getInlet(0)->addVariable("Temperature", 170.0, 1);
        x->getOutlet(0)->addVariable("Temperature", reversedSide ? 180.0 : 100.0, 1);
        viewer->GetGridDiagram()->reverseDirection = true;
        EXPECT_EQ(reversedSide ? 2.0 : 0.0, view->Value(code));
        viewer->GetGridDiagram()->reverseDirection = false;
        EXPECT_EQ(reversedSide ? 3.0 : 1.0, view->Value(code));
    }
}

}  // namespace

namespace {

TEST(ViewHeatExchanger, AScriptReachesTheCurrentExchangersViewThroughTheViewer) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    viewer->nExchangerListMode = 1;
    viewer->nCurrentExchangerRow = 1;
    CNode* second = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(1, second));
    VarDescription address;
    ASSERT_TRUE(VarDescription::Parse("HeatExchangerViewObject.400", address));
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->AttachedObject(address));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(second, view->GetNode());
    // Through it to a variable of the exchanger.
    double duty = E;
    second->getVariableAsDouble("Duty", duty);
    EXPECT_EQ(view->Value(VarDescription(6, 200)), second->getVariableStatus("Duty") ? duty : E);
}

// The form listings of the three views: each variable once, with what a write may be refused with.
TEST(ViewHeatExchanger, TheFormsListTheirVariablesCommandsAndRefusals) {
    for (const char* type : {HeatExchangerView::TypeName, SplitterView::TypeName, "HENStateViewObject"}) {
        SCOPED_TRACE(type);
        FormDescription form;
        ASSERT_TRUE(ObjectTypeRegistry::Current()->Find(type)->LoadVariables(form));
        std::set<std::string> addresses;
        for (const FormVariable& v : form.Variables()) EXPECT_TRUE(addresses.insert(v.address.c_str()).second) << v.address;
        EXPECT_GT(addresses.size(), 10u);
    }
    FormDescription form;
    HeatExchangerView::LoadVariables(form);
    EXPECT_EQ(Text("AreaInputError CannotSpecifyAreaForUtilExchanger HTCoeffUpdateError2 ReadOnlyCell SpecRange"),
              form.Refusals("Area.200"));
    ASSERT_EQ(1u, form.Commands().size());
    EXPECT_EQ(Text("DeleteHeatExchanger"), form.Commands()[0]);
    bool listed = false;
    for (const Text& line : form.Listing(SIUnits))
        listed = listed || std::string(line.c_str()).find("Area.200 value type=1508 unit=m2 editable") == 0;
    EXPECT_TRUE(listed);
}

}  // namespace

namespace {

// The design going away closes its viewer and every unit view inside the one dispatch; the
// sender goes on past receivers that died meanwhile.
TEST(ViewHeatExchanger, TheDesignsEndClosesEveryViewInsideOneNotice) {
    Chain c;
    std::vector<std::weak_ptr<const bool>> alive;
    for (CNode* unit : {c.e1, c.e2, c.e3, c.hotTee, c.coldTee}) {
        Viewable* view = c.viewer->GetEquipmentView(unit);
        ASSERT_NE(nullptr, view);
        alive.push_back(view->LifeToken());
    }
    alive.push_back(c.viewer->LifeToken());
    // The viewer deletes itself on the notice.
    HIDesignViewerDesign* viewer = c.viewer.release();
    (void)viewer;
    c.d->SendAMessage(1, CPString(), nullptr);
    for (std::size_t i = 0; i < alive.size(); ++i) EXPECT_TRUE(alive[i].expired()) << i;
}

}  // namespace

namespace {

TEST(ViewHeatExchanger, TextsFormatTheNodesValuesAndRenamesGoThroughTheDesign) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    CNode *first = nullptr, *second = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, first) && n.d->GetHeatExchanger(1, second));
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(first));
    ASSERT_NE(nullptr, view);
    SetDisplayUnitSet(SIUnits);
    MessageCatalogue::Instance().SetString("HotInletTemperatureText", "Hot inlet %.1f %s");
    MessageCatalogue::Instance().SetString("ColdOutletTemperatureUndefined", "Cold outlet not known");
    MessageCatalogue::Instance().SetString("DefEmptyText", "-");
    auto* x = AsHeatExch(first);
    x->getInlet(0)->addVariable("Temperature", 170.0, 1);
    x->getOutlet(1)->addVariable("Temperature", 99.0, 0);  // not known
    first->addVariable("Duty", 120.0, 1);
    first->addVariable("HTArea", 3.0, 0);
    EXPECT_EQ(Text("Hot inlet 170.0 C"), view->TextValue(VarDescription(1519, 740)));
    EXPECT_EQ(Text("Cold outlet not known"), view->TextValue(VarDescription(1519, 743)));
    EXPECT_EQ(Text("120 kW"), view->TextValue(VarDescription(1519, 744)));
    EXPECT_EQ(Text("-"), view->TextValue(VarDescription(1519, 745)));
    // The configuration names the kind of unit and its cost law; a value of neither kind names none.
    first->addVariable("HeatExchangerConfiguration", 0.0, 1);
    EXPECT_EQ(Text("Heat Exchanger E-100"), view->TextValue(VarDescription(1519, 200)));
    EXPECT_EQ(Text("Capital Cost Index = a + b * (Area / Shells)^c * Shells"), view->TextValue(VarDescription(1519, 223)));
    first->addVariable("HeatExchangerConfiguration", 1.0, 1);
    EXPECT_EQ(Text("Fired Heater"), view->TextValue(VarDescription(1519, 222)));
    EXPECT_EQ(Text("Capital Cost Index = a + b * (Duty)^c"), view->TextValue(VarDescription(1519, 223)));
    first->addVariable("HeatExchangerConfiguration", 0.5, 1);
    EXPECT_EQ(Text("E-100"), view->TextValue(VarDescription(1519, 200)));
    EXPECT_EQ(Text(), view->TextValue(VarDescription(1519, 222)));
    EXPECT_EQ(Text(), view->TextValue(VarDescription(1519, 223)));

    // The other exchanger's name is refused; a new one is taken, and the view is found by it.
    Session::Instance().ClearEvents(SessionEvent::Error);
    EXPECT_EQ(0, view->SpecifyText(VarDescription(1519, 205), unitName(second)));
    EXPECT_EQ(Text("HeatExchangerNameError"), lastShown());
    EXPECT_EQ(Text("E-100"), unitName(first));
    EXPECT_EQ(1, view->SpecifyText(VarDescription(1519, 205), "Main"));
    EXPECT_EQ(Text("Main"), view->TextValue(VarDescription(1519, 205)));
    EXPECT_EQ(Text("Main"), view->GetName());
    EXPECT_EQ(1, view->SpecifyText(VarDescription(1519, 770), "a note"));
    EXPECT_EQ(Text("a note"), view->TextValue(VarDescription(1519, 770)));
}

}  // namespace

namespace {

ModifyState stateOf(HeatExchangerView& view, int type, int number) {
    ModifyState state = SpecialState;
    int detail = 0;
    view.VariableStatus(VarDescription(type, number), state, detail);
    return state;
}

// A stream's own supply temperature (next to its feed block) is changed on the stream, not here;
// a specified temperature inside the network may be changed; a calculated one may not.
TEST(ViewHeatExchanger, CellStatesFollowTheValuesStatusAndTheStreamEnds) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_NE(nullptr, view);
    auto* x = AsHeatExch(unit);
    // Beyond the heater placeholder at the hot inlet: the stream's first segment, after its feed.
    CNode* supply = x->getInlet(0)->getIthUpStreamNode(0)->getIthUpStreamNode(0);
    ASSERT_EQ(NodeKindId::FeedBlock, supply->getIthUpStreamNode(0)->getKindId());
    supply->addVariable("Temperature", 170.0, 1);
    EXPECT_EQ(ReadOnlyState, stateOf(*view, 1, 751));
    x->getInlet(0)->addVariable("Temperature", 160.0, 1);
    EXPECT_EQ(ModifiableState, stateOf(*view, 1, 755));
    EXPECT_EQ(ModifiableState, stateOf(*view, 1, 759));
    x->getInlet(0)->addVariable("Temperature", 160.0, 2);
    EXPECT_EQ(ReadOnlyState, stateOf(*view, 1, 755));
    x->getInlet(0)->addVariable("Temperature", 160.0, 0);
    EXPECT_EQ(ModifiableState, stateOf(*view, 1, 755)) << "open on a process stream";
    // The profile and the candidates are never typed into.
    EXPECT_EQ(ReadOnlyState, stateOf(*view, 1, 570));
    // The area: calculated read-only, specified or open editable.
    unit->addVariable("HTArea", 10.0, 2);
    EXPECT_EQ(ReadOnlyState, stateOf(*view, 1508, 200));
    unit->addVariable("HTArea", 10.0, 1);
    EXPECT_EQ(ModifiableState, stateOf(*view, 1508, 200));
}

}  // namespace

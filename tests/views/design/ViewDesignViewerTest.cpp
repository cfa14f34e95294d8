// The design viewer: binding to its design's change codes, its children and their names, the
// exchanger filter and lists, the cross-pinch order, the performance table, the driving-force
// curves, the notices of the design and the result keys.
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "pellin/HeatExch.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/views/EngineNoticeCheck.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/chiHXBarPlot.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;

VarDescription address(const char* text) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(text, v)) << text;
    return v;
}

std::vector<int> filteredRows(const HIDesignViewerDesign& viewer) {
    std::vector<int> rows;
    for (int r = 0; r < viewer.CountFilteredExchangers(); ++r) rows.push_back(viewer.GetFilteredExchangerIndex(r));
    return rows;
}

// A design that records the codes a receiver subscribes to.
class SubscriptionDesign : public scenario_test::FakeDesign {
public:
    SubscriptionDesign() : FakeDesign("D1") {}
    bool AddValidMessage(INotificationReceiver* receiver, int code) override {
        codes.push_back(code);
        return NotificationSender::AddValidMessage(receiver, code);
    }
    std::vector<int> codes;
};

TEST(ViewDesignViewer, BindingSubscribesTheCodesInOrderAndBuildsThePlots) {
    ViewerNetwork n;
    SubscriptionDesign design;
    design.exchangers = 0;
    auto viewer = n.Viewer(false);
    viewer->SetEngineeringDesign(&design, false);
    EXPECT_EQ((std::vector<int>{1, 2, 5, 60, 61, 62, 64, 6, 74, 32, 8, 9, 12, 100, 112}), design.codes);
    EXPECT_EQ(1, design.GetNumberOfReceivers());
    ASSERT_NE(nullptr, viewer->GetDrivingForcePlot());
    ASSERT_NE(nullptr, viewer->GetBarChart());
    // A second binding to the same design does not subscribe twice; the viewer's end leaves.
    viewer->SetEngineeringDesign(&design, true);
    EXPECT_EQ(1, design.GetNumberOfReceivers());
    viewer.reset();
    EXPECT_EQ(0, design.GetNumberOfReceivers());
}

TEST(ViewDesignViewer, ChildrenAreNamedAndFoundByTheirNames) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer(false);
    auto* diagram = new HENDiagram(viewer.get(), Text("D1 HENDiagram"));
    viewer->ReplaceGridDiagram(diagram);
    viewer->SetEngineeringDesign(n.d, false);
    EXPECT_EQ(n.d, diagram->GetDesign());
    struct Child {
        Viewable* view;
        const char* name;
    };
    const Child children[] = {
        {diagram, "HENDiagram.200(D1 HENDiagram)"},
        {viewer->GetDrivingForcePlot(), "TwoDimPlotNTW.200.1"},
        {viewer->GetBarChart(), "chiHXBarPlot.200.1"},
    };
    for (const Child& c : children) {
        ASSERT_NE(nullptr, c.view) << c.name;
        EXPECT_EQ(c.name, viewer->AttachedName(c.view));
        EXPECT_EQ(c.view, viewer->AttachedObject(address(c.name))) << c.name;
    }
    // Forms ask for the plot objects by name.
    MessageInfo drivingForce{6, ":DrivingForcePlot", nullptr, 0, nullptr};
    MessageInfo bars{6, ":BarChartPlot", nullptr, 0, nullptr};
    MessageInfo target{6, ":SelectedTargetPlot", nullptr, 0, nullptr};
    ASSERT_TRUE(viewer->GenMessage(drivingForce) && viewer->GenMessage(bars) && viewer->GenMessage(target));
    EXPECT_EQ(viewer->GetDrivingForcePlot(), drivingForce.answer);
    EXPECT_EQ(viewer->GetBarChart()->GetPlot(), bars.answer);
    EXPECT_EQ(nullptr, target.answer);  // no scenario viewer above
    // Through a child to its variable; views not part of the module answer null.
    EXPECT_EQ(viewer->GetBarChart()->GetPlot(), viewer->AttachedObject(address("chiHXBarPlot.200.1.chiHXBarPlot.200")));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("HENStateView.200.1")));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("HeatExchangerView.200.0(E-100)")));
    EXPECT_EQ(viewer.get(), viewer->AttachedObject(address("Viewable.299")));
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    // An exchanger's view is made on first use, named after the unit, and found by that name.
    Viewable* exchangerView = viewer->GetEquipmentView(unit);
    ASSERT_NE(nullptr, exchangerView);
    EXPECT_TRUE(exchangerView->IsA("HeatExchangerViewObject"));
    EXPECT_EQ(exchangerView, viewer->GetEquipmentView(unit));
    EXPECT_EQ(exchangerView, viewer->AttachedObject(address("HeatExchangerView.200.0(E-100)")));
    EXPECT_EQ(Text("HeatExchangerView.200.0(E-100)"), viewer->AttachedName(exchangerView));
    // A child that dies leaves its slot.
    delete viewer->GetBarChart();
    EXPECT_EQ(nullptr, viewer->GetBarChart());
    delete diagram;
    EXPECT_EQ(nullptr, viewer->GetGridDiagram());
}

struct FilterCase {
    int process, heaters, coolers;
    std::vector<int> rows;
};
void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << (c.process ? "process" : "") << (c.heaters ? " heaters" : "") << (c.coolers ? " coolers" : "") << ": "
        << c.rows.size() << " rows";
}

class ViewDesignViewerFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ViewDesignViewerFilter, RowsMapToTheExchangersOfTheShownGroups) {
    ViewerNetwork n;
    n.Units("phcp");
    auto viewer = n.Viewer();
    ASSERT_EQ(4, n.d->GetNumberOfHeatExchangers());
    const int groups[] = {1, 3, 5, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(groups[i], viewer->ExchangerGroup(i)) << i;
    const FilterCase& c = GetParam();
    viewer->nFilterProcess = c.process;
    viewer->nFilterHeaters = c.heaters;
    viewer->nFilterCoolers = c.coolers;
    EXPECT_EQ(c.rows, filteredRows(*viewer));
    if (c.rows.empty()) {
        EXPECT_EQ(-1, viewer->GetFilteredExchangerIndex(0));
    }
    // The bar chart has one bar per row.
    viewer->GetBarChart()->UpdatePlot();
    EXPECT_EQ(static_cast<int>(c.rows.size()), viewer->GetBarChart()->GetBarCount());
}

INSTANTIATE_TEST_SUITE_P(Filters, ViewDesignViewerFilter,
                         ::testing::Values(FilterCase{1, 0, 0, {0, 3}}, FilterCase{0, 3, 0, {1}},
                                           FilterCase{1, 3, 0, {0, 1, 3}}, FilterCase{0, 0, 5, {2}},
                                           FilterCase{1, 0, 5, {0, 2, 3}}, FilterCase{0, 3, 5, {1, 2}},
                                           FilterCase{1, 3, 5, {0, 1, 2, 3}}, FilterCase{0, 0, 0, {}}));

TEST(ViewDesignViewer, ListsPastTheirEndGiveTheLastExchanger) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    EXPECT_EQ(-1, viewer->GetProcessExchangerIndex(0));
    EXPECT_EQ(-1, viewer->GetUtilityExchangerIndex(0));
    EXPECT_EQ(0, viewer->GetAreaSpecifiedExchangerIndex(0));
    n.Units("phcp");
    EXPECT_EQ(3, viewer->GetProcessExchangerIndex(1));
    EXPECT_EQ(3, viewer->GetProcessExchangerIndex(7));
    EXPECT_EQ(3, viewer->GetUnconfiguredCoolerIndex(1));
    EXPECT_EQ(2, viewer->GetUnconfiguredCoolerIndex(0));
    EXPECT_EQ(1, viewer->GetUnconfiguredHeaterIndex(0));
    CNode* heater = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(1, heater));
    EXPECT_EQ(heater, viewer->FindExchangerByName(HIDesignViewerDesign::UnitName(heater)));
    EXPECT_EQ(nullptr, viewer->FindExchangerByName("nothing"));
    EXPECT_EQ("ST", viewer->GetSideStreamName(heater, 0));
    EXPECT_EQ("C2", viewer->GetSideStreamName(heater, 1));
    EXPECT_EQ(nullptr, viewer->GetExchangerWithoutExistingArea(0));
    CNode* first = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, first));
    EXPECT_EQ(first, viewer->GetExchangerWithoutExistingArea(1));
}

TEST(ViewDesignViewer, CrossPinchRowsSortByLoadLargestFirstMissingLast) {
    ViewerNetwork n;
    n.Units("pppp");
    auto viewer = n.Viewer();
    const double loads[] = {5.0, 12.0, -32767.0, 7.0};
    for (int i = 0; i < 4; ++i) {
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetHeatExchanger(i, unit));
        unit->clearIndexedVariable("CrossPinchLoads");
        if (loads[i] != -32767.0) unit->setIndexedVariable("CrossPinchLoads", 0, loads[i], 2);
    }
    EXPECT_EQ((std::vector<int>{1, 3, 0, 2}), viewer->BuildCrossPinchList(0));
    // Past the quicksort's insertion-sort threshold the order holds too.
    ViewerNetwork many;
    for (int i = 0; i < 40; ++i) many.Unit(i % 2 ? "H2" : "H1", i % 2 ? "C2" : "C1");
    auto other = many.Viewer();
    const int count = many.d->GetNumberOfHeatExchangers();
    ASSERT_GT(count, 16);
    for (int i = 0; i < count; ++i) {
        CNode* unit = nullptr;
        ASSERT_TRUE(many.d->GetHeatExchanger(i, unit));
        unit->setIndexedVariable("CrossPinchLoads", 0, (i * 37) % 41, 2);
    }
    const std::vector<int> order = other->BuildCrossPinchList(0);
    ASSERT_EQ(static_cast<std::size_t>(count), order.size());
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_GE((order[i - 1] * 37) % 41, (order[i] * 37) % 41) << i;
}

TEST(ViewDesignViewer, PerformanceSetsTheDesignBesideItsTarget) {
    // One cold stream of 1000 kW: the hot utility target is the whole load.
    design_test::DesignScenario s;
    s.Add("C1", 20, 120, 10.0);
    s.Add("ST", 250, 249, 0.5, 1);
    scenario_test::FakeDesign design("D1");
    design.exchangers = 1;
    design.utilityLoad = 1200.0;
    auto viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "D1",
                                                         ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetScenario(s.scenario.get());
    viewer->SetEngineeringDesign(&design, true);
    ASSERT_DOUBLE_EQ(1000.0, s.scenario->GetUtilityTarget(0));
    EXPECT_DOUBLE_EQ(1200.0, viewer->Value(address("ExtraData.752.0")));
    EXPECT_DOUBLE_EQ(120.0, viewer->Value(address("ExtraData.752.1")));
    EXPECT_DOUBLE_EQ(1200.0, viewer->Value(address("HeatFlow.752.0")));
    EXPECT_EQ(6, viewer->GetEDVarType(address("ExtraData.752.0")));
    EXPECT_EQ(1519, viewer->GetEDVarType(address("ExtraData.752.1")));
    EXPECT_EQ(-32767.0, viewer->Value(address("ExtraData.752.2")));
    design.exchangers = 0;
    EXPECT_EQ(-32767.0, viewer->Value(address("ExtraData.752.0")));
}

TEST(ViewDesignViewer, DrivingForceCurvesJoinEachExchangersTwoEnds) {
    design_test::OperatedNetwork n;
    auto viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "Operated",
                                                         ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetEngineeringDesign(n.d, false);
    ASSERT_EQ(2u, viewer->GetDrivingForceSets().size());
    EXPECT_EQ(3, viewer->GetDrivingForceSets()[0].dataSet);
    EXPECT_EQ(4, viewer->GetDrivingForceSets()[1].dataSet);
    TwoDimPlot* plot = viewer->GetDrivingForcePlot();
    ASSERT_NE(nullptr, plot);
    // E100: H1 in at 170 gives 240 kW at 3 kW/K, out at 90; C2 in at 80 takes it at 4 kW/K, out
    // at 140. The cold outlet faces the hot inlet, the cold inlet the hot outlet.
    const PlottedData* e100 = plot->GetPlotArea().GetDataSet(3);
    ASSERT_NE(nullptr, e100);
    const std::vector<CanvasPoint> points = plot->ResolvePoints(*e100);
    ASSERT_EQ(2u, points.size());
    EXPECT_NEAR(140.0, points[0].x, 1e-6);
    EXPECT_NEAR(170.0, points[0].y, 1e-6);
    EXPECT_NEAR(80.0, points[1].x, 1e-6);
    EXPECT_NEAR(90.0, points[1].y, 1e-6);
    EXPECT_EQ(-32767.0, viewer->Value(address("Temperature.708.3.2")));
    EXPECT_EQ(-32767.0, viewer->Value(address("Temperature.708.9.0")));
}

TEST(ViewDesignViewer, CurveNumbersFollowTheDesignsExchangerNotices) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    const std::vector<DrivingForceSet> sets = viewer->GetDrivingForceSets();
    ASSERT_EQ(2u, sets.size());
    const Text first = sets[0].name, second = sets[1].name;
    // Removing curve 3 of 3, 4: the next curve is 5.
    ASSERT_TRUE(n.d->DeleteHeatExchanger(viewer->FindExchangerByName(first), nullptr));
    ASSERT_EQ(1u, viewer->GetDrivingForceSets().size());
    EXPECT_EQ(4, viewer->GetDrivingForceSets()[0].dataSet);
    EXPECT_EQ(nullptr, viewer->GetDrivingForcePlot()->GetPlotArea().GetDataSet(3));
    CNode* added = n.Unit("H1", "C1");
    ASSERT_NE(nullptr, added);
    ASSERT_EQ(2u, viewer->GetDrivingForceSets().size());
    EXPECT_EQ(5, viewer->GetDrivingForceSets()[1].dataSet);
    EXPECT_EQ(HIDesignViewerDesign::UnitName(added), viewer->GetDrivingForceSets()[1].name);
    // A rename renames the curve and its label.
    ASSERT_EQ(1, n.d->RenameUnit("Renamed", added));
    EXPECT_EQ("Renamed", viewer->GetDrivingForceSets()[1].name);
    EXPECT_EQ("Renamed", viewer->GetDrivingForcePlot()->GetPlotArea().GetDataSet(5)->Label());
    // Showing one exchanger: the reference curves and that exchanger only.
    TwoDimDataPlotArea& area = viewer->GetDrivingForcePlot()->GetPlotArea();
    area.GetDataSet(1)->Hide();
    viewer->ShowDrivingForcePlot(second);
    EXPECT_TRUE(area.GetDataSet(1)->IsVisible() && area.GetDataSet(2)->IsVisible());
    EXPECT_TRUE(area.GetDataSet(4)->IsVisible());
    EXPECT_FALSE(area.GetDataSet(5)->IsVisible());
    viewer->ShowDrivingForcePlot("All");
    EXPECT_TRUE(area.GetDataSet(5)->IsVisible());
    EXPECT_EQ("DrivingForcePlotView", Session::Instance().Entries(SessionEvent::ViewOpened).back().text);
}

TEST(ViewDesignViewer, AnExchangerAddedWithoutANoticeRebuildsThePlotWhenShown) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    n.d->RemoveNotificationReceiver(viewer.get());
    n.Units("p");
    ASSERT_EQ(1u, viewer->GetDrivingForceSets().size());
    SendViewableMessage(viewer.get(), "OpenDrivingForcePlot");
    ASSERT_EQ(2u, viewer->GetDrivingForceSets().size());
    EXPECT_EQ(3, viewer->GetDrivingForceSets()[0].dataSet);
    EXPECT_EQ(4, viewer->GetDrivingForceSets()[1].dataSet);
    ASSERT_NE(nullptr, viewer->GetDrivingForcePlot()->GetPlotArea().GetDataSet(4));
}

// The viewer finds exchangers by name through an index it keeps; after every rename (two names
// swapped through a third), deletion and addition it answers as a walk of the design's own list
// does, and each curve reads the ends of the exchanger that now bears its name.
TEST(ViewDesignViewer, ExchangersAreFoundByNameThroughRenamesDeletionsAndAdditions) {
    ViewerNetwork n;
    n.Units("pppp");
    auto viewer = n.Viewer();
    auto walked = [&](const Text& name) -> CNode* {
        CNode* unit = nullptr;
        for (int i = 0; n.d->GetHeatExchanger(i, unit); ++i)
            if (unit && HIDesignViewerDesign::UnitName(unit) == name) return unit;
        return nullptr;
    };
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        CNode* unit = nullptr;
        for (int i = 0; n.d->GetHeatExchanger(i, unit); ++i) {
            const Text name = HIDesignViewerDesign::UnitName(unit);
            EXPECT_EQ(walked(name), viewer->FindExchangerByName(name)) << name.c_str();
        }
        EXPECT_EQ(nullptr, viewer->FindExchangerByName("NoSuchUnit"));
        for (const DrivingForceSet& set : viewer->GetDrivingForceSets()) {
            HeatExch* hx = dynamic_cast<HeatExch*>(walked(set.name));
            ASSERT_NE(nullptr, hx) << set.name.c_str();
            // A node joined anew by a deletion has no temperature: the plot reads it as empty.
            double coldOut = -32767.0, hotIn = -32767.0;
            hx->getOutlet(1)->getVariableAsDouble("Temperature", coldOut);
            hx->getInlet(0)->getVariableAsDouble("Temperature", hotIn);
            EXPECT_EQ(coldOut, viewer->Value(address(FormattedText("Temperature.708.%d.0", set.dataSet).c_str())));
            EXPECT_EQ(hotIn, viewer->Value(address(FormattedText("Temperature.709.%d.0", set.dataSet).c_str())));
        }
    };
    // Each exchanger's ends get temperatures of their own, so that a curve shows whose ends it read.
    auto mark = [](CNode* unit, double t) {
        HeatExch* hx = dynamic_cast<HeatExch*>(unit);
        ASSERT_NE(nullptr, hx);
        hx->getOutlet(1)->addVariable("Temperature", 1000.0 + t, ValueStatus::Calculated);
        hx->getInlet(0)->addVariable("Temperature", 2000.0 + t, ValueStatus::Calculated);
    };
    std::vector<CNode*> units(4, nullptr);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(n.d->GetHeatExchanger(i, units[static_cast<std::size_t>(i)]));
        mark(units[static_cast<std::size_t>(i)], i);
    }
    check("built");
    const Text first = HIDesignViewerDesign::UnitName(units[0]), second = HIDesignViewerDesign::UnitName(units[1]);
    ASSERT_EQ(1, n.d->RenameUnit("Swap", units[0]));
    ASSERT_EQ(1, n.d->RenameUnit(first, units[1]));
    ASSERT_EQ(1, n.d->RenameUnit(second, units[0]));
    EXPECT_EQ(units[1], viewer->FindExchangerByName(first));
    EXPECT_EQ(units[0], viewer->FindExchangerByName(second));
    check("names swapped");
    ASSERT_TRUE(n.d->DeleteHeatExchanger(units[1], nullptr));
    EXPECT_EQ(nullptr, viewer->FindExchangerByName(first));
    check("deleted");
    CNode* added = n.Unit("H2", "C1");
    ASSERT_NE(nullptr, added);
    mark(added, 9);
    EXPECT_EQ(added, viewer->FindExchangerByName(HIDesignViewerDesign::UnitName(added)));
    check("added");
}

TEST(ViewDesignViewer, EngineNoticesGoToTheJournal) {
    Session::Instance().Reset();
    ViewerNetwork n;
    auto viewer = n.Viewer();
    MessageCatalogue::Instance().SetString("DesignKey", "%s|%s|%s");
    const EngineNoticeCase cases[] = {
        {60, "DesignKey 1 2.5 3", SessionEvent::Error, "DesignKey", "1|2.5|3", 0},
        {61, "Question", SessionEvent::Response, "Question", "Question", 1},
        {62, "trace line", SessionEvent::Trace, "", "trace line", 0},
        {62, "", SessionEvent::Trace, "ClearTrace", "", 0},
        {64, "working", SessionEvent::Status, "", "working", 2},
        {64, "", SessionEvent::StatusClear, "", "", 2},
    };
    for (const EngineNoticeCase& c : cases)
        ExpectNoticeInJournal([&](int code, const char* text) { n.d->SendAMessage(code, text, nullptr); }, c);
    n.d->SetDesignName("Renamed");
    EXPECT_EQ("Renamed", viewer->GetName());
}

TEST(ViewDesignViewer, CodeOneDeletesTheViewerAndTheDispatchGoesOn) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    const auto alive = viewer->LifeToken();
    NotificationRecorder after(*n.d);
    n.d->SendAMessage(1, CPString(), n.d);
    EXPECT_TRUE(alive.expired());
    viewer.release();  // it deleted itself
    ASSERT_FALSE(after.changes.empty());
    EXPECT_EQ(1, after.changes.back().code);
    // The design goes on sending to its remaining receivers only.
    n.d->SendAMessage(64, "still here", nullptr);
    EXPECT_EQ(64, after.changes.back().code);
}

TEST(ViewDesignViewer, ResultCodesNoTableListsAreFailures) {
    struct Case {
        int code;
        const char* network;
        const char* retrofit;
        const char* operations;
    };
    const Case cases[] = {
        {4, "NetOptOk", "RetTempViolation", "RetFail"},
        {2, "NetOptNoDes", "RetOk", "OpSplitInfes"},
        {3, "NetOptFail", "RetOk", "RetOk"},
        {42, "NetOptFail", "RetFail", "OpStrmPhysData"},
        {-7, "NetOptFail", "RetFail", "RetFail"},
        {104, "NetOptNoArea", "RetFail", "RetFail"},
        // The added-area run (design optimisation) done is a success.
        {28, "NetOptFail", "RetOk", "RetFail"},
    };
    for (const Case& c : cases) {
        const std::uint64_t before = Session::Instance().NextSequence() - 1;
        EXPECT_EQ(c.network, HIDesignViewerDesign::NetworkOptimisationKey(c.code)) << c.code;
        EXPECT_EQ(c.retrofit, HIDesignViewerDesign::RetrofitKey(c.code)) << c.code;
        EXPECT_EQ(c.operations, HIDesignViewerDesign::OperationsKey(c.code)) << c.code;
        // Every unlisted code leaves its number in the trace.
        int traced = 0;
        for (const SessionEntry& e : Session::Instance().EntriesSince(before))
            traced += e.event == SessionEvent::Trace && e.text.find(FormattedText(" %d", c.code)) != Text::npos;
        const int unlisted = (Text(c.network) == "NetOptFail" && c.code != 3) + (Text(c.retrofit) == "RetFail") +
                             (Text(c.operations) == "RetFail");
        EXPECT_EQ(unlisted, traced) << c.code;
    }
}

TEST(ViewDesignViewer, EnumerationsAndEventKinds) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    VarEnumInfo* priority = viewer->GetEnumInfo(VariableNameInfo(VarDescription(105, 991), Text()));
    ASSERT_NE(nullptr, priority);
    ASSERT_EQ(4, priority->NumberOfEntries());
    EXPECT_EQ(-1, priority->FindEntry(2.0));
    EXPECT_EQ(2, priority->FindEntry(3.0));
    EXPECT_EQ("Low", priority->GetEntry(2)->text);
    VarEnumInfo* streams = viewer->GetEnumInfo(VariableNameInfo(VarDescription(105, 764), Text()));
    ASSERT_NE(nullptr, streams);
    EXPECT_EQ(6, streams->NumberOfEntries());
    EXPECT_EQ(streams->GetEntry(0)->text, viewer->GetSelectedStream());
    VarEnumInfo* option = viewer->GetEnumInfo(VariableNameInfo(VarDescription(105, 240), "Grass root;Retrofit;Both"));
    ASSERT_NE(nullptr, option);
    EXPECT_EQ(2, option->NumberOfVisibleEntries());
    EXPECT_STREQ("CleaningHENEvent", HIDesignViewerDesign::EventClassName(0));
    EXPECT_STREQ("InletTemperatureChangeEvent", HIDesignViewerDesign::EventClassName(7));
    EXPECT_STREQ("StreamFlowrateChangeEvent", HIDesignViewerDesign::EventClassName(8));
    EXPECT_STREQ("ChangetoAnalyse", HIDesignViewerDesign::EventPromptKey(-32767));
    EXPECT_STREQ("SelectTeeToModifyFlowrate", HIDesignViewerDesign::EventPromptKey(3));
}

}  // namespace

namespace {

TEST(ViewDesignViewer, UtilityUnitsStandAgainstThePinchByTheirPortTemperatures) {
    ViewerNetwork n;
    n.Units("hc");
    auto viewer = n.Viewer();
    // The design keeps its own copy of the scenario's pinch points (90/80 C at DTmin 10).
    n.d->SetPinchPoints(n.scenario->GetPinchPointList());
    const int at = viewer->GetDesignPinchIndex();
    ASSERT_GE(at, 0);
    const double hotPinch = n.d->GetPinchPoint(0, at), coldPinch = n.d->GetPinchPoint(1, at);
    ASSERT_DOUBLE_EQ(90.0, hotPinch);
    ASSERT_DOUBLE_EQ(80.0, coldPinch);
    CNode* heater = nullptr;
    CNode* cooler = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, heater) && n.d->GetHeatExchanger(1, cooler));
    // Port temperatures set by hand: hot inlet, hot outlet, cold inlet, cold outlet.
    auto place = [](CNode* unit, double hi, double ho, double ci, double co) {
        HeatExch* hx = AsHeatExch(unit);
        hx->getInlet(0)->addVariable("Temperature", hi, 1);
        hx->getOutlet(0)->addVariable("Temperature", ho, 1);
        hx->getInlet(1)->addVariable("Temperature", ci, 1);
        hx->getOutlet(1)->addVariable("Temperature", co, 1);
    };
    place(heater, 250, 249, hotPinch + 5, hotPinch + 20);
    EXPECT_TRUE(viewer->IsHeaterAboveHotPinch(heater));
    EXPECT_FALSE(viewer->IsHeaterBelowColdPinch(heater));
    EXPECT_FALSE(viewer->IsCoolerAboveHotPinch(heater));  // not a cooler
    place(cooler, coldPinch - 5, coldPinch - 20, 20, 30);
    EXPECT_TRUE(viewer->IsCoolerBelowColdPinch(cooler));
    EXPECT_FALSE(viewer->IsCoolerAboveHotPinch(cooler));
    place(heater, 250, 249, coldPinch - 30, coldPinch - 10);
    EXPECT_FALSE(viewer->IsHeaterAboveHotPinch(heater));
    // A condenser-reboiler pair shares the text after the at sign: the heater above, the cooler
    // below the pinch.
    place(heater, 250, 249, hotPinch + 5, hotPinch + 20);
    heater->addVariable("UnitOperationName", "Reboiler@T1", 1);
    cooler->addVariable("UnitOperationName", "Condenser@T1", 1);
    EXPECT_FALSE(viewer->HasCondenserReboilerPartnerAcrossPinch(0));
    heater->addVariable("CondReb", 1.0, 1);
    cooler->addVariable("CondReb", 1.0, 1);
    EXPECT_TRUE(viewer->HasCondenserReboilerPartnerAcrossPinch(0));
    cooler->addVariable("UnitOperationName", "Condenser@T2", 1);
    EXPECT_FALSE(viewer->HasCondenserReboilerPartnerAcrossPinch(0));
}

TEST(ViewDesignViewer, ClosingThePaletteClosesItsFormAndOpenedMainFormsAreRemembered) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    auto closes = [] {
        int k = 0;
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent))
            k += e.text == "CloseView PaletteView";
        return k;
    };
    const int before = closes();
    viewer->ViewNotification(1, viewer.get(), "BottomView");
    EXPECT_EQ(before + 1, closes());
    // A main form open: its closing only clears the mark; then the open palette is closed once.
    viewer->ViewNotification(0, viewer.get(), "DefaultView");
    viewer->ViewNotification(2, viewer.get(), "DefaultView");
    EXPECT_EQ(before + 1, closes());
    viewer->ViewNotification(2, viewer.get(), "DefaultView");
    EXPECT_EQ(before + 2, closes());
    viewer->ViewNotification(2, viewer.get(), "DefaultView");
    EXPECT_EQ(before + 2, closes());
}

}  // namespace

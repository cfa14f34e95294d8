// The event summary of a locked design: its filter by event kind and calculation status, the
// comparison table against the base case, the schedule and event items, and the design
// viewer's notices that make and follow the what-if views.
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "eng/design/IHENState.h"
#include "lumeth/Messages.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/TrendAnalysisView.h"
#include "views/design/whatif/WhatIfSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <memory>

using namespace whatif_test;

namespace {

// A locked network with three schedules: P1 takes E-100 out of service and is executed (not
// converged: C2, which only E-100 heats, falls short of its target), P2 changes H1's flow and is
// not executed, P3 cleans E-101 and is executed (converged).
struct Schedules : StudiedNetwork {
    Schedules() {
        EXPECT_TRUE(d->AddNewSchedule());
        EXPECT_EQ(nullptr, d->AddEventToSchedule("HeatExchangerRemovalEvent", "E-100"));
        d->ExecuteSchedule();
        EXPECT_TRUE(d->AddNewSchedule());
        EXPECT_EQ(nullptr, d->AddEventToSchedule("StreamFlowrateChangeEvent", "H1"));
        EXPECT_TRUE(d->AddNewSchedule());
        EXPECT_EQ(nullptr, d->AddEventToSchedule("CleaningHENEvent", "E-101"));
        d->ExecuteSchedule();
    }
    // The design viewer of the design, with its event summary.
    std::unique_ptr<HIDesignViewerDesign> Viewer() {
        auto viewer = std::make_unique<HIDesignViewerDesign>(
            nullptr, "Operated", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(scenario.get());
        viewer->SetEngineeringDesign(d, false);
        return viewer;
    }
};

std::vector<std::string> shown(const ScheduleTypeView& list) {
    std::vector<std::string> names;
    for (const ScheduleItemView* item : list.GetDisplayedItems()) names.push_back(item->GetName().c_str());
    return names;
}

struct FilterCase {
    const char* name;
    std::vector<int> criteria;  // set to 1
    int byKind;
    int convergedOnly;
    std::vector<std::string> shown;
};

class ViewScheduleFilter : public ::testing::TestWithParam<FilterCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ViewScheduleFilter, TheDisplayedSchedulesPassTheFilter) {
    const FilterCase& c = GetParam();
    Schedules n;
    ScheduleTypeView list(nullptr, "Event Summary");
    list.SetEngineeringDesign(n.d);
    list.PopulateSchedule();
    EXPECT_EQ((std::vector<std::string>{"Event-P1", "Event-P2", "Event-P3"}), shown(list));
    for (int k : c.criteria) EXPECT_EQ(1, Set(list, "Index.400." + std::to_string(k), 1));
    EXPECT_EQ(1, Set(list, "Switch.401", c.byKind));
    EXPECT_EQ(1, Set(list, "Switch.402", c.convergedOnly));
    EXPECT_EQ(c.shown, shown(list));
    EXPECT_EQ((std::vector<int>{static_cast<int>(c.shown.size()) + 1, 2}), Dims(list, "HeatFlow.300.[].0"));
    // Both flags clear: every schedule again, in the design's order.
    Set(list, "Switch.401", 0);
    Set(list, "Switch.402", 0);
    EXPECT_EQ((std::vector<std::string>{"Event-P1", "Event-P2", "Event-P3"}), shown(list));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewScheduleFilter,
    ::testing::Values(FilterCase{"NoFlag", {}, 0, 0, {"Event-P1", "Event-P2", "Event-P3"}},
                      FilterCase{"ConvergedOnlyHidesTheUnexecutedAndTheNotConverged", {}, 0, 1, {"Event-P3"}},
                      FilterCase{"ByKindWithEveryCriterionZeroHidesAll", {}, 1, 0, {}},
                      FilterCase{"ByKindStreamFlow", {6}, 1, 0, {"Event-P2"}},
                      FilterCase{"ByKindRemovalAndCleaning", {0, 1}, 1, 0, {"Event-P1", "Event-P3"}},
                      FilterCase{"ByKindAndConverged", {0, 6}, 1, 1, {"Event-P3"}},
                      FilterCase{"ByKindRemovalAndConverged", {1}, 1, 1, {}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

TEST(ViewScheduleList, EventKindsComeFromTheExactDescriptions) {
    const char* descriptions[] = {"Clean heat exchanger",          "Change heat exchanger area",
                                  "Change heat exchanger shells",  "Change splitter flow",
                                  "Remove exchanger from service", "Change observed heat transfer coefficient",
                                  "Change stream mass flowrate",   "Change stream inlet temperature"};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(k, EventKindOfDescription(descriptions[k])) << k;
    EXPECT_EQ(0, EventKindOfDescription("Change stream mass flowrate "));
    EXPECT_EQ(0, EventKindOfDescription("Something else"));
    EXPECT_EQ(0, EventKindOfDescription(nullptr));
    EXPECT_EQ((std::vector<int>{0, 2, 3, 5, 1, 4, 6, 7, -1}), ([] {
                  std::vector<int> c;
                  for (int k = 0; k <= 8; ++k) c.push_back(FilterCriterionOfKind(k));
                  return c;
              }()));
}

// An event of the engine's interface with a description of its own.
class StrangeEvent : public IHENEvent, public NotificationSender {
public:
    ~StrangeEvent() override { SendAMessage(CodeDestroyed, CPString(), this); }
    void SetNewValue(double v) override {
        value = v;
        SendAMessage(CodeNewValue, CPString(), this);
    }
    void SetTargetName(const CPString&) override {}
    const char* GetTargetName() const override { return "E-100"; }
    const char* GetName() const override { return "E-100: Polish"; }
    const char* GetDescription() const override { return "Polish heat exchanger"; }
    int GetValueType() const override { return 1524; }
    double GetBaseValue() const override { return 0.5; }
    double GetNewValue() const override { return value; }
    void SetBaseValue(double) override {}
    void UpdateName() override {}
    int GetEventTypeIcon() const override { return kind; }
    void SetEventTypeIcon(int k) override { kind = k; }
    double value = -32767.0;
    int kind = -32767;
};

TEST(ViewScheduleList, AnEventOfNoKnownDescriptionIsACleaning) {
    StrangeEvent event;
    EventItemView item(nullptr, "E-100");
    item.SetEngineeringEvent(&event);
    item.SetEventTypeIcon(EventKindOfDescription(event.GetDescription()));
    EXPECT_EQ(0, event.kind);
    EXPECT_EQ(whatif::IconNumber("CleanHxIco"), Get(item, "ObjectStatus.300"));
    EXPECT_EQ(2484.0, Get(item, "ObjectStatus.300"));
    EXPECT_EQ(FindString("BaseHeatTranCoeffValue"), GetText(item, "ExtraData.808"));
    EXPECT_EQ(FindString("NewHeatTranCoeffValue"), GetText(item, "ExtraData.809"));
    EXPECT_EQ(1524, item.GetEDVarType(At("ExtraData.358")));
    EXPECT_EQ(0.5, Get(item, "ExtraData.357"));
    EXPECT_EQ(1, Set(item, "ExtraData.358", 0.4));
    EXPECT_EQ(0.4, event.value);
    // An unbound item answers the flow captions.
    EventItemView unbound(nullptr, "none");
    EXPECT_EQ(FindString("BaseFlowValue"), GetText(unbound, "ExtraData.808"));
    EXPECT_EQ(-32767.0, Get(unbound, "ExtraData.358"));
}

// A base case with one splitter of two branches, for the split-fraction texts.
class SplitState : public IHENState, public NotificationSender {
public:
    int GetNumberOfStreams() const override { return 0; }
    int GetNumberOfUtilities() const override { return 1; }
    int GetNumberOfHeatExchangers() const override { return 1; }
    int GetNumberOfSelectableHeatExchangers() const override { return 1; }
    int GetNumberOfSplitters() const override { return splitters; }
    void GetHeatExchangerValue(int, const CPString& name, double& out) const override {
        if (name == "Duty") out = 120.0;
    }
    const char* GetSelectableHeatExchangerName(int) const override { return "E-100"; }
    const char* GetHeatExchangerName(int) const override { return "E-100"; }
    const char* GetUtilityName(int) const override { return "Steam"; }
    const char* GetStreamName(int) const override { return nullptr; }
    const char* GetSplitterName(int) const override { return "TEE-100"; }
    int GetNumberOfBranches(int) const override { return 2; }
    double GetBranchFraction(int, int branch) const override { return branch == 0 ? 0.25 : 0.75; }
    double GetStreamSupplyTemperature(int) const override { return 0.0; }
    double GetStreamTargetTemperature(int) const override { return 0.0; }
    double GetStreamOutletTemperature(int) const override { return 0.0; }
    double GetStreamMassFlow(int) const override { return 0.0; }
    double GetStreamPricePerMass(int) const override { return 0.0; }
    double GetUtilityDuty(int) const override { return 80.0; }
    double GetUtilityCost(int) const override { return 7.0; }
    double GetTotalUtilityCost() const override { return 7.0; }
    unsigned char GetStatus() const override { return 1; }
    void SetStatus(const CPString&) override {}
    int splitters = 1;
};

class SplitDesign : public scenario_test::FakeDesign {
public:
    SplitDesign() : FakeDesign("D1") {}
    IHENState* GetDefaultState() override { return &state; }
    SplitState state;
};

TEST(ViewScheduleList, SplitFractionsReadAsTheBaseCaseHasThem) {
    SplitDesign design;
    ScheduleTypeView list(nullptr, "Event Summary");
    list.SetEngineeringDesign(&design);
    list.PopulateSchedule();
    EXPECT_EQ("0.2500, 0.7500", GetText(list, "ExtraData.304.0.0"));
    EXPECT_EQ(FindString("BaseCaseSchedule"), GetText(list, "ExtraData.300.0"));
    EXPECT_EQ("TEE-100", GetText(list, "ExtraData.303.0"));
    EXPECT_EQ(120.0, Get(list, "HeatFlow.300.0.0"));
    EXPECT_EQ(7.0, Get(list, "CostPerTime.301.0"));
    EXPECT_EQ((std::vector<int>{1, 1}), Dims(list, "ExtraData.304.[].0"));
    design.state.splitters = 0;
    EXPECT_EQ((std::vector<int>{0}), Dims(list, "ExtraData.303.[]"));
    EXPECT_EQ((std::vector<int>{1, 0}), Dims(list, "ExtraData.304.[].0"));
    EXPECT_EQ("", GetText(list, "ExtraData.304.0.0"));
    // The criteria: eight, truncated to 16 bits, indices beyond ignored.
    EXPECT_EQ((std::vector<int>{8}), Dims(list, "Index.400.[]"));
    EXPECT_EQ(0, Set(list, "Index.400.8", 1));
    EXPECT_EQ(-32767.0, Get(list, "Index.400.8"));
    list.Message("SelectAllFilterCriteria");
    EXPECT_EQ(1.0, Get(list, "Index.400.7"));
    list.Message("DeleteAllFilterCriteria");
    EXPECT_EQ(0.0, Get(list, "Index.400.7"));
}

TEST(ViewScheduleList, ScheduleItemsReadTheirOperatingState) {
    Schedules n;
    ScheduleTypeView list(nullptr, "Event Summary");
    list.SetEngineeringDesign(n.d);
    list.PopulateSchedule();
    ScheduleItemView* p1 = list.GetItems()[0];
    EXPECT_EQ(whatif::IconNumber("EventExecutedNonConvIco"), Get(*p1, "ObjectStatus.300"));
    EXPECT_EQ(whatif::IconNumber("EventNonExecutedIco"), Get(*list.GetItems()[1], "ObjectStatus.300"));
    EXPECT_NEAR(0.0, Get(*p1, "HeatFlow.328.0"), 1e-6);  // E-100 out of service
    EXPECT_EQ("E-100", GetText(*p1, "ExtraData.320.0"));
    EXPECT_EQ((std::vector<int>{4}), Dims(*p1, "Temperature.301.[]"));
    EXPECT_EQ((std::vector<int>{0}), Dims(*p1, "ExtraData.340.[]"));
    ASSERT_EQ(1u, p1->GetEventItems().size());
    EXPECT_EQ(p1->GetEventItems()[0], p1->AttachedObject(At("EventItemView.301.0")));
    EXPECT_EQ("EventItemView.301.0(E-100)", p1->AttachedName(p1->GetEventItems()[0]));
    EXPECT_EQ(4, p1->GetEventItems()[0]->GetEventTypeIcon());
    EXPECT_EQ(list.GetItems()[1], list.AttachedObject(At("ScheduleItemView.300.1")));
}

TEST(ViewScheduleList, TheViewerMakesTheSummaryOfALockedDesignAndFollowsItsSchedules) {
    Schedules n;
    auto viewer = n.Viewer();
    auto* list = static_cast<ScheduleTypeView*>(viewer->GetEventSummaryView());
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("ScheduleTypeView.301(Event Summary)", viewer->AttachedName(list));
    EXPECT_EQ(list, viewer->AttachedObject(At("ScheduleTypeView.301(Event Summary)")));
    ASSERT_EQ(3u, list->GetItems().size());
    // Under a filter a new schedule shows only when it passes.
    Set(*list, "Switch.402", 1);
    EXPECT_TRUE(n.d->AddNewSchedule());
    ASSERT_EQ(4u, list->GetItems().size());
    EXPECT_EQ((std::vector<std::string>{"Event-P3"}), shown(*list));
    EXPECT_EQ(list->GetItems()[3], viewer->GetSelectedItemView());
    Set(*list, "Switch.402", 0);
    Set(*list, "Index.400.6", 1);
    Set(*list, "Switch.401", 1);
    EXPECT_EQ(nullptr, n.d->AddEventToSchedule("StreamFlowrateChangeEvent", "H2"));
    EXPECT_EQ((std::vector<std::string>{"Event-P2", "Event-P4"}), shown(*list));
    ScheduleItemView* p4 = list->GetItems()[3];
    ASSERT_EQ(1u, p4->GetEventItems().size());
    EventItemView* item = p4->GetEventItems()[0];
    EXPECT_EQ(item, viewer->GetSelectedItemView());
    // A typed new value reaches the event (15), which selects its schedule item.
    EXPECT_EQ(1, Set(*item, "ExtraData.358", 1.1));
    EXPECT_DOUBLE_EQ(1.1, item->GetEvent()->GetNewValue());
    EXPECT_EQ(p4, viewer->GetSelectedItemView());
    // Renamed (9) and removed (11): the item follows and leaves; the list becomes the selection.
    EXPECT_TRUE(n.d->RenameSchedule("Event-P4", "Night"));
    EXPECT_EQ("Night", p4->GetName());
    EXPECT_TRUE(n.d->RemoveSchedule("Night"));
    EXPECT_EQ(3u, list->GetItems().size());
    EXPECT_EQ((std::vector<std::string>{"Event-P2"}), shown(*list));
    EXPECT_EQ(list, viewer->GetSelectedItemView());
    // Selecting an event item selects its schedule and event in the design.
    ScheduleItemView* p2 = list->GetItems()[1];
    EXPECT_EQ(1, viewer->AttachObject(At("Viewable.398"), p2->GetEventItems()[0]));
    EXPECT_STREQ("Event-P2", n.d->GetCurrentScheduleName());
    EXPECT_STREQ("StreamFlowrateChangeEvent", n.d->GetCurrentEventTypeName());
    // The event removed (14): its item goes and its schedule item becomes the selection.
    EXPECT_TRUE(n.d->RemoveCurrentEvent());
    EXPECT_TRUE(p2->GetEventItems().empty());
    EXPECT_EQ(p2, viewer->GetSelectedItemView());
    // The list stays watched after the selection left it: deleted by the user, its slot clears.
    EXPECT_EQ(1, SendViewableMessage(list, "DeleteView"));
    EXPECT_EQ(nullptr, viewer->GetEventSummaryView());
    EXPECT_EQ(nullptr, viewer->GetSelectedItemView());
}

TEST(ViewScheduleList, AViewerEndsWhileItsEventSummaryIsTheSelection) {
    Schedules n;
    auto viewer = n.Viewer();
    auto* list = static_cast<ScheduleTypeView*>(viewer->GetEventSummaryView());
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(n.d->RemoveSchedule("Event-P3"));
    EXPECT_EQ(list, viewer->GetSelectedItemView());
    viewer.reset();
    // The schedules outlive the views that listened to them.
    EXPECT_TRUE(n.d->AddNewSchedule());
}

TEST(ViewScheduleList, TheViewerMakesTheTrendViewOnTheFirstStudyAndDropsItWithTheStudies) {
    design_test::OperatedNetwork n;
    n.d->LockOperation();
    auto viewer = std::make_unique<HIDesignViewerDesign>(
        nullptr, "Operated", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetScenario(n.scenario.get());
    viewer->SetEngineeringDesign(n.d, false);
    EXPECT_EQ(nullptr, viewer->GetTrendAnalysisView());
    JournalMark mark;
    n.d->AddStudy();
    Viewable* trend = viewer->GetTrendAnalysisView();
    ASSERT_NE(nullptr, trend);
    EXPECT_EQ(std::vector<std::string>{"WizardView"}, mark.FormsOpened());
    EXPECT_EQ("TrendAnalysisView.200.1", viewer->AttachedName(trend));
    EXPECT_EQ(trend, viewer->AttachedObject(At("TrendAnalysisView.200.1")));
    // A second notice 100 opens the same wizard again.
    n.d->SendAMessage(100, CPString(), n.d->GetDefaultStudy());
    EXPECT_EQ(trend, viewer->GetTrendAnalysisView());
    n.d->AddStudy();
    // Unlocking deletes the studies and the trend view (112).
    n.d->UnlockOperation();
    EXPECT_EQ(nullptr, viewer->GetTrendAnalysisView());
    // The view deleted by the user is forgotten.
    n.d->LockOperation();
    n.d->AddStudy();
    ASSERT_NE(nullptr, viewer->GetTrendAnalysisView());
    EXPECT_EQ(1, SendViewableMessage(viewer->GetTrendAnalysisView(), "DeleteView"));
    EXPECT_EQ(nullptr, viewer->GetTrendAnalysisView());
    // Opened again, it shows the studies the design holds; no study is added that no view shows.
    const int studies = n.d->GetNumberOfStudies();
    viewer->Message("OpenTrendAnalysisView");
    EXPECT_NE(nullptr, viewer->GetTrendAnalysisView());
    EXPECT_EQ(studies, n.d->GetNumberOfStudies());
}

}  // namespace

// The event planner on a design that records its schedules: plan names and order, renaming,
// task variables, the names and base values taken from the operating state, schedules made
// from the plans and executed, and a planner read back with the case.
#include "lumeth/FormDescription.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "eng/design/IHENSchedule.h"
#include "pellin/CNode.h"
#include "tests/views/design/RecordingDesignSupport.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "views/design/EventPlanner.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <cmath>

#include <memory>
#include <string>
#include <vector>

namespace {

using recording_design::EngineLog;
using recording_design::RecordingDesign;
using recording_design::RecordingScenario;

VarDescription at(const char* address, int i = -1, int j = -1) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(address, v)) << address;
    if (i >= 0) v.SetOffset(0, i);
    if (j >= 0) v.SetOffset(1, j);
    return v;
}

std::vector<std::string> errors(std::uint64_t from) {
    std::vector<std::string> out;
    for (const SessionEntry& e : Session::Instance().Journal())
        if (e.sequence >= from && e.event == SessionEvent::Error) out.push_back(e.key.c_str());
    return out;
}

class ViewEventPlanner : public ::testing::Test {
protected:
    ViewEventPlanner() {
        Session::Instance().Reset();
        // The scenario's first design is another one: the planner plans for its viewer's, locked
        // for operation.
        scenario.AddDesign("A first design");
        design.locked = true;
        viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "D",
                                                        ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(&scenario);
        viewer->SetEngineeringDesign(&design, false);
        viewer->Message("ShowEventPlannerView");
        planner = dynamic_cast<EventPlanner*>(viewer->GetEventPlanner());
    }
    ~ViewEventPlanner() override {
        viewer.reset();
        Session::Instance().Reset();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& plan : planner->GetPlans()) out.push_back(plan->name.c_str());
        return out;
    }
    void Track(const char* name) { planner->SpecifyText(at("Tracker.301"), name); }

    FourStreamProject p{false};
    EngineLog log;
    RecordingScenario scenario{p.project, log};
    RecordingDesign design{"D", log};
    std::unique_ptr<HIDesignViewerDesign> viewer;
    EventPlanner* planner = nullptr;
};

TEST_F(ViewEventPlanner, PlansAreNumberedFromOneAgainOnceAllAreDeleted) {
    ASSERT_NE(nullptr, planner);
    EXPECT_EQ(&design, planner->GetDesign());
    for (int k = 0; k < 3; ++k) planner->Message("CreateNewEventPlan");
    EXPECT_EQ((std::vector<std::string>{"Event 1", "Event 2", "Event 3"}), Names());
    EXPECT_EQ(Text("Event 3"), planner->TextValue(at("PlanName.300")));
    planner->Message("DeleteEventPlan");
    EXPECT_EQ(Text("Event 1"), planner->TextValue(at("Tracker.301")));
    planner->Message("DeleteEventPlan");
    planner->Message("DeleteEventPlan");
    EXPECT_TRUE(planner->GetPlans().empty());
    EXPECT_EQ(nullptr, planner->GetSelectedPlan());
    planner->Message("CreateNewEventPlan");
    EXPECT_EQ(std::vector<std::string>{"Event 1"}, Names());
}

TEST_F(ViewEventPlanner, StepsMoveTheTrackedPlanButNotPastEitherEnd) {
    for (int k = 0; k < 3; ++k) planner->Message("CreateNewEventPlan");
    Track("Event 1");
    planner->Message("StepUp");
    Track("Event 3");
    planner->Message("StepDown");
    EXPECT_EQ((std::vector<std::string>{"Event 1", "Event 2", "Event 3"}), Names());
    planner->Message("StepUp");
    EXPECT_EQ((std::vector<std::string>{"Event 1", "Event 3", "Event 2"}), Names());
    Track("Event 2");
    planner->Message("TopOfList");
    EXPECT_EQ((std::vector<std::string>{"Event 2", "Event 1", "Event 3"}), Names());
    Track("Event 1");
    planner->Message("BottomOfList");
    EXPECT_EQ((std::vector<std::string>{"Event 2", "Event 3", "Event 1"}), Names());
    // A name no plan has moves nothing.
    Track("Nothing");
    planner->Message("StepUp");
    EXPECT_EQ((std::vector<std::string>{"Event 2", "Event 3", "Event 1"}), Names());
}

TEST_F(ViewEventPlanner, ATakenNameIsRefused) {
    std::uint64_t none = Session::Instance().NextSequence();
    EXPECT_EQ(0, planner->SpecifyText(at("PlanName.300"), "Anything"));
    EXPECT_EQ(std::vector<std::string>{"NoEventSelected"}, errors(none));
    // Without a plan there are no tasks to show: the command is refused.
    none = Session::Instance().NextSequence();
    EXPECT_EQ(0, planner->Message("ShowEventTasksView"));
    EXPECT_EQ(std::vector<std::string>{"NoEventSelected"}, errors(none));
    planner->Message("CreateNewEventPlan");
    planner->Message("CreateNewEventPlan");
    const std::uint64_t from = Session::Instance().NextSequence();
    EXPECT_EQ(0, planner->SpecifyText(at("PlanName.300"), "Event 1"));
    EXPECT_EQ(std::vector<std::string>{"EventNameAlreadyUsed"}, errors(from));
    EXPECT_EQ(1, planner->SpecifyText(at("PlanName.300"), "Cleaning"));
    EXPECT_EQ((std::vector<std::string>{"Event 1", "Cleaning"}), Names());
    // The next new plan skips a number whose name is given already.
    planner->SpecifyText(at("PlanName.300"), "Event 3");
    planner->Message("CreateNewEventPlan");
    EXPECT_EQ((std::vector<std::string>{"Event 1", "Event 3", "Event 4"}), Names());
}

TEST_F(ViewEventPlanner, TaskWritesSetReplaceAndRemoveOneTask) {
    // Without a plan a task write does nothing.
    EXPECT_EQ(0, planner->Specify(at("HeatTransferCoeff.300", 0), 0.4));
    planner->Message("CreateNewEventPlan");
    const EventPlan& plan = *planner->GetSelectedPlan();
    planner->Specify(at("HeatTransferCoeff.300", 1), 0.4);
    planner->Specify(at("HeatTransferCoeff.300", 1), 0.5);
    ASSERT_EQ(1u, plan.exchangerTasks.size());
    EXPECT_EQ(Text("E-101"), plan.exchangerTasks[0].unitName);
    EXPECT_EQ(0.5, plan.exchangerTasks[0].newValue);
    EXPECT_EQ(Text("kW/m2-C"), plan.exchangerTasks[0].units);
    EXPECT_EQ(0.5, planner->Value(at("HeatTransferCoeff.300", 1)));
    EXPECT_EQ(-32767.0, planner->Value(at("HeatTransferCoeff.300", 0)));
    planner->Specify(at("HeatTransferCoeff.300", 1), -32767.0);
    EXPECT_TRUE(plan.exchangerTasks.empty());

    planner->Specify(at("Switch.300", 0), 1.0);
    ASSERT_EQ(1u, plan.exchangerTasks.size());
    EXPECT_EQ(Text("Remove"), plan.exchangerTasks[0].keyword);
    EXPECT_TRUE(plan.exchangerTasks[0].units.empty());
    planner->Specify(at("Switch.300", 0), 0.0);
    EXPECT_TRUE(plan.exchangerTasks.empty());

    planner->Specify(at("Index.400", 0), 1.5);
    planner->Specify(at("Temperature.300", 1), 35.0);
    ASSERT_EQ(2u, plan.flowTasks.size());
    EXPECT_EQ(Text("TEE-100"), plan.flowTasks[0].unitName);
    EXPECT_EQ(Text("kg/s"), plan.flowTasks[0].units);
    EXPECT_EQ(Text("C1"), plan.flowTasks[1].unitName);
    EXPECT_EQ(Text("C"), plan.flowTasks[1].units);
    // Past the rows nothing is written.
    EXPECT_EQ(0, planner->Specify(at("MassFlow.301", 2), 3.0));
}

TEST_F(ViewEventPlanner, NamesAndBaseValuesComeFromTheOperatingState) {
    EXPECT_EQ(Text("E-101"), planner->TextValue(at("HxName.300", 1)));
    EXPECT_EQ(Text("C1"), planner->TextValue(at("StrName.300", 1)));
    EXPECT_EQ(Text("TEE-100"), planner->TextValue(at("TeeName.300", 0)));
    EXPECT_EQ(3.0, planner->Value(at("MassFlow.302", 1)));
    EXPECT_EQ(170.0, planner->Value(at("Temperature.301", 0)));
    EXPECT_EQ(2.0, planner->Value(at("NofBranches.301", 0)));
    EXPECT_EQ(0.75, planner->Value(at("SplitFraction.302", 0, 1)));
    DimInfo dims;
    planner->Dimensions(at("HxName.300"), dims);
    EXPECT_EQ(2, dims.Dim(0));
    ModifyState state = SpecialState;
    int detail = 0;
    planner->VariableStatus(at("MassFlow.302"), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
}

TEST_F(ViewEventPlanner, EveryListedVariableReadsInsideItsDimensions) {
    planner->Message("CreateNewEventPlan");
    planner->Specify(at("Index.400", 0), 1.5);
    FormDescription form;
    EventPlanner::LoadVariables(form);
    EXPECT_EQ(11u, form.Commands().size());
    int cells = 0;
    for (const FormVariable& v : form.Variables()) {
        VarDescription base;
        ASSERT_TRUE(VarDescription::Parse(v.address, base)) << v.address;
        DimInfo dims;
        planner->Dimensions(base, dims);
        ASSERT_EQ(v.dimensions, dims.NumberOfDims()) << v.address;
        const int rows = v.dimensions ? dims.Dim(0) : 1;
        for (int i = 0; i < rows; ++i) {
            DimInfo inner;
            VarDescription row = base;
            if (v.dimensions) row.SetOffset(0, i);
            planner->Dimensions(row, inner);
            const int columns = v.dimensions == 2 ? inner.Dim(1) : 1;
            for (int j = 0; j < columns; ++j, ++cells) {
                VarDescription cell = row;
                if (v.dimensions == 2) cell.SetOffset(1, j);
                if (v.hook == FormHook::Text) planner->TextValue(cell);
                else EXPECT_FALSE(std::isnan(planner->Value(cell))) << v.address;
            }
        }
    }
    // 10 columns over the 2 exchangers, 5 over the 2 streams, 3 over the tee, its 2 branch
    // fractions, the 1 plan of the list, 5 single values.
    EXPECT_EQ(20 + 10 + 3 + 2 + 1 + 5, cells);
}

TEST_F(ViewEventPlanner, APlanNamedLikeAScheduleAddsNothingButItsScheduleIsUpdatedAndExecuted) {
    design.AddSchedule("Event-P1");
    design.AddEventToSchedule("CleaningHENEvent", "E-100");
    planner->Message("CreateNewEventPlan");
    planner->SpecifyText(at("PlanName.300"), "Event-P1");
    planner->Specify(at("HeatTransferCoeff.300", 0), 0.45);   // Clean E-100
    planner->Specify(at("HeatTransferCoeff.301", 1), 0.2);    // StudyFouling E-101: no such event there
    planner->Message("CreateNewEventPlan");                    // Event 2
    planner->Specify(at("MassFlow.301", 0), 2.5);
    planner->Specify(at("Switch.300", 1), 1.0);

    std::uint64_t from = Session::Instance().NextSequence();
    // The plan refused makes the command a refusal; the other plan's schedule is made all the same.
    EXPECT_EQ(0, planner->Message("CreateNewEvents"));
    EXPECT_EQ(std::vector<std::string>{"EventNameFromXMLAlreadyInUse"}, errors(from));
    ASSERT_EQ(1u, design.schedules["Event-P1"].size());
    EXPECT_EQ(-32767.0, design.schedules["Event-P1"][0].value);
    const auto& made = design.schedules["Event 2"];
    ASSERT_EQ(2u, made.size());
    // Exchanger tasks first, a removal with the value 0.
    EXPECT_EQ("HeatExchangerRemovalEvent", made[0].type);
    EXPECT_EQ(0.0, made[0].value);
    EXPECT_EQ("StreamFlowrateChangeEvent", made[1].type);
    EXPECT_EQ(2.5, made[1].value);
    EXPECT_TRUE(planner->EventsCreated());
    EXPECT_EQ(6, viewer->nEventKind);

    const recording_design::EngineLog::Mark mark = log.Now();
    from = mark.sequence;
    planner->Message("ExecuteNewEvents");
    // The fouling task has no event in the schedule made before: it is named, not applied.
    EXPECT_EQ(std::vector<std::string>{"EventTaskNotApplied"}, errors(from));
    ASSERT_EQ(1u, design.schedules["Event-P1"].size());
    EXPECT_EQ(0.45, design.schedules["Event-P1"][0].value);
    const std::vector<std::string> trace = log.Trace(mark);
    EXPECT_NE(trace.end(), std::find(trace.begin(), trace.end(), "ExecuteSchedule Event-P1"));
    EXPECT_NE(trace.end(), std::find(trace.begin(), trace.end(), "ExecuteSchedule Event 2"));
}

TEST_F(ViewEventPlanner, APlannerReadBackPlansForNothingUntilItsViewerShowsIt) {
    ObjectInstanceInfo info;
    info.type = ObjectTypeRegistry::Current()->Find(EventPlanner::TypeName);
    info.name = "EventPlanner";
    info.parent = viewer.get();
    Viewable* recalled = info.type->CreateInstanceForRecall(info);
    ASSERT_NE(nullptr, recalled);
    EXPECT_EQ(0, recalled->Message("CreateNewEventPlan"));
    EXPECT_EQ(-32767.0, recalled->Value(at("MassFlow.302", 0)));
    EXPECT_TRUE(recalled->RecallFixUp());
    // The planner the viewer had is gone; the one read back opens as it is.
    EXPECT_EQ(recalled, viewer->GetEventPlanner());
    // Shown again, it plans for the viewer's design.
    viewer->Message("ShowEventPlannerView");
    EXPECT_EQ(recalled, viewer->GetEventPlanner());
    auto* bound = static_cast<EventPlanner*>(recalled);
    EXPECT_TRUE(bound->GetPlans().empty());
    EXPECT_EQ(&design, bound->GetDesign());
    EXPECT_EQ(1, bound->Message("CreateNewEventPlan"));
    EXPECT_EQ(Text("Event 1"), bound->GetPlans().front()->name);
    EXPECT_EQ(3.0, bound->Value(at("MassFlow.302", 1)));
}

}  // namespace

namespace {

using ::at;

// The planner on the textbook network locked for operation, with its default study.
TEST(ViewEventPlannerOnANetwork, PlansBecomeSchedulesOfTheDesignThatRunAndLockingDropsTheStudies) {
    Session::Instance().Reset();
    whatif_test::StudiedNetwork n;
    HIDesignViewerDesign viewer(nullptr, "Operated", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer.SetScenario(n.scenario.get());
    viewer.SetEngineeringDesign(n.d, false);
    viewer.MakeTrendAnalysisView();
    ASSERT_NE(nullptr, viewer.GetTrendAnalysisView());

    viewer.Message("ShowEventPlannerView");
    auto* planner = dynamic_cast<EventPlanner*>(viewer.GetEventPlanner());
    ASSERT_NE(nullptr, planner);
    EXPECT_EQ((std::vector<Text>{"E-100", "E-101"}), planner->GetExchangerNames());
    EXPECT_EQ(4u, planner->GetStreamNames().size());
    // E-100 (H1 to C2, 240 kW) as the network's node holds it.
    double area = 0.0;
    n.e100->getVariableAsDouble("HTArea", area);
    EXPECT_GT(area, 0.0);
    EXPECT_EQ(area, planner->Value(at("Area.301", 0)));
    planner->Message("CreateNewEventPlan");
    planner->Specify(at("Switch.300", 0), 1.0);  // take E-100 out of service
    planner->Message("ExecuteNewEvents");
    IHENSchedule* schedule = n.d->FindOperatingSchedule("Event 1");
    ASSERT_NE(nullptr, schedule);
    EXPECT_EQ(1, schedule->GetNumberOfEvents());
    EXPECT_EQ(Text("Event 1"), Text(n.d->GetExecutedScheduleName() ? n.d->GetExecutedScheduleName() : ""));

    // The what-if view keeps the schedule the plan made as the current one; calculated already,
    // it is not executed again.
    viewer.Message("OpenWhatifAnalysisView");
    ASSERT_NE(nullptr, viewer.GetEventSummaryView());
    ASSERT_NE(nullptr, viewer.GetSelectedItemView());
    EXPECT_EQ(Text("Event 1"), viewer.GetSelectedItemView()->GetName());
    const std::uint64_t from = Session::Instance().NextSequence();
    viewer.Message("ExecuteSchedule");
    EXPECT_EQ(std::vector<std::string>{"CannotExecuteSchedule"}, errors(from));

    // A locked network is not locked again (its studies and their view stay); leaving operation
    // drops the state view.
    const std::uint64_t relock = Session::Instance().NextSequence();
    EXPECT_EQ(0, viewer.Message("LockOperation"));
    EXPECT_EQ(std::vector<std::string>{"OperationLockedAlready"}, errors(relock));
    viewer.Message("OpenDefaultStateView");
    ASSERT_NE(nullptr, viewer.GetStateView());
    viewer.Message("UnlockOperation");
    EXPECT_EQ(nullptr, viewer.GetStateView());
    EXPECT_EQ(nullptr, viewer.GetEventSummaryView());
    EXPECT_EQ(nullptr, viewer.GetSelectedItemView());
    EXPECT_FALSE(n.d->GetOperationLocked());
    Session::Instance().Reset();
}

}  // namespace

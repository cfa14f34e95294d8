// Names of the what-if work on a locked network, as the design viewer and the study tree give
// and take them: a schedule or study the system names skips every name in use, a rename to a
// name in use (the base case's and the default study's included) is refused saying so, and what
// names the executed schedule, a unit or a stream follows its rename.
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "tests/eng/design/DesignRecordTestSupport.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "lumeth/VarEnumInfo.h"
#include "views/design/EventPlanner.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/whatif/ScheduleItemViews.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace whatif_test;

namespace {

struct Viewed : StudiedNetwork {
    Viewed() {
        viewer = std::make_unique<HIDesignViewerDesign>(
            nullptr, "Operated", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(scenario.get());
        viewer->SetEngineeringDesign(d, false);
    }
    std::vector<std::string> Schedules() const {
        std::vector<std::string> names;
        for (int i = 0; i < d->GetNumberOfSchedules(); ++i) names.emplace_back(d->GetScheduleName(i));
        return names;
    }
    // A new schedule with one event of the kind on the target, taking the value, as the design
    // viewer's form makes it.
    void ScheduleEvent(int kind, const char* target, double value) {
        EXPECT_EQ(1, viewer->Message("AddScheduleToDesign"));
        EXPECT_EQ(1, Set(*viewer, "ExtraData.587", kind));
        EXPECT_EQ(1, SetText(*viewer, "HXSelection.389", target));
        EXPECT_EQ(1, viewer->Message("AddEventToSchedule"));
        Set(*viewer, "ExtraData.358", value);
    }
    std::unique_ptr<HIDesignViewerDesign> viewer;
};

// The operated example's steps: a schedule whose C1 flow rises is renamed to the name the next
// new schedule would take; the new one takes the next free number, and removing it (it is the
// current one) keeps the user's schedule and its event.
TEST(ViewWhatIfNames, ANewScheduleSkipsTheNameAUserGaveAndTheRemovalKeepsTheUsersSchedule) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    n.ScheduleEvent(6, "C1", 0.55);
    EXPECT_EQ(1, SetText(v, "ExtraData.593", "Event-P2"));
    EXPECT_EQ(1, v.Message("AddScheduleToDesign"));
    EXPECT_EQ((std::vector<std::string>{"Event-P2", "Event-P3"}), n.Schedules());
    EXPECT_EQ(1, v.Message("RemoveScheduleFromDesign"));
    ASSERT_EQ((std::vector<std::string>{"Event-P2"}), n.Schedules());
    IHENSchedule* kept = n.d->GetOperatingSchedule(0);
    ASSERT_EQ(1, kept->GetNumberOfEvents());
    EXPECT_STREQ("C1", kept->GetEventTargetName(0));
    EXPECT_DOUBLE_EQ(0.55, kept->GetEvent(0)->GetNewValue());
}

// A schedule made from a plan of the event planner takes the plan's name; the next schedule the
// design names passes it by.
TEST(ViewWhatIfNames, ANewSchedulePassesAPlannedScheduleOfItsName) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    EXPECT_EQ(1, v.Message("ShowEventPlannerView"));
    auto* planner = dynamic_cast<EventPlanner*>(v.GetEventPlanner());
    ASSERT_NE(nullptr, planner);
    EXPECT_EQ(1, planner->Message("CreateNewEventPlan"));
    EXPECT_EQ(1, SetText(*planner, "PlanName.300", "Event-P1"));
    Set(*planner, "Switch.300.0", 1.0);  // takes E-100 out of service
    EXPECT_EQ(1, planner->Message("CreateNewEvents"));
    EXPECT_EQ(1, v.Message("AddScheduleToDesign"));
    EXPECT_EQ((std::vector<std::string>{"Event-P1", "Event-P2"}), n.Schedules());
    EXPECT_EQ(1, n.d->FindOperatingSchedule("Event-P1")->GetNumberOfEvents());
}

// A plan named as the event summary's base case row makes no schedule, and the planner says the
// name is in use, for making and for executing alike.
TEST(ViewWhatIfNames, APlanCannotTakeTheBaseCasesName) {
    Viewed n;
    EXPECT_EQ(1, n.viewer->Message("ShowEventPlannerView"));
    auto* planner = dynamic_cast<EventPlanner*>(n.viewer->GetEventPlanner());
    ASSERT_NE(nullptr, planner);
    EXPECT_EQ(1, planner->Message("CreateNewEventPlan"));
    EXPECT_EQ(1, SetText(*planner, "PlanName.300", "Base case"));
    Set(*planner, "Switch.300.0", 1.0);
    JournalMark mark;
    // Both commands are refused for the plan: each answers 0 with its word.
    EXPECT_EQ(0, planner->Message("CreateNewEvents"));
    EXPECT_EQ(0, planner->Message("ExecuteNewEvents"));
    EXPECT_EQ((std::vector<std::string>{"EventNameAlreadyUsed", "EventNameAlreadyUsed"}), mark.Errors());
    EXPECT_EQ("The event plan name Base case is already used.", mark.Of(SessionEvent::Error).front());
    EXPECT_TRUE(n.Schedules().empty());
}

struct RefusedName {
    const char* name;
    const char* typed;
    const char* key;
    const char* shown;
};

class ViewScheduleRename : public ::testing::TestWithParam<RefusedName> {};

[[maybe_unused]] void PrintTo(const RefusedName& c, std::ostream* os) { *os << c.name; }

// A name in use, the base case's row of the event summary and no name at all are refused with a
// message that says which name; the schedule keeps its own.
TEST_P(ViewScheduleRename, ARefusedNameLeavesTheScheduleAndSaysWhy) {
    const RefusedName& c = GetParam();
    Viewed n;
    EXPECT_TRUE(n.d->AddNewSchedule());
    EXPECT_TRUE(n.d->AddNewSchedule());
    JournalMark mark;
    EXPECT_EQ(0, SetText(*n.viewer, "ExtraData.593", c.typed));
    EXPECT_EQ((std::vector<std::string>{"Event-P1", "Event-P2"}), n.Schedules());
    EXPECT_EQ(std::vector<std::string>{c.key}, mark.Errors());
    const std::vector<std::string> texts = mark.Of(SessionEvent::Error);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(c.shown, texts[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ViewScheduleRename,
    ::testing::Values(
        RefusedName{"InUse", "Event-P1", "EventNameAlreadyUsed", "The event plan name Event-P1 is already used."},
        RefusedName{"BaseCase", "Base case", "EventNameAlreadyUsed", "The event plan name Base case is already used."},
        RefusedName{"Empty", "", "EventNameEmpty", "An event plan needs a name."}),
    [](const ::testing::TestParamInfo<RefusedName>& info) { return std::string(info.param.name); });

// The executed schedule renamed: the operating mode's texts name it by its new name and say how
// it solved.
TEST(ViewWhatIfNames, TheExecutedScheduleIsNamedByItsNewName) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    n.ScheduleEvent(6, "C1", 0.55);
    EXPECT_EQ(1, v.Message("ExecuteSchedule"));
    const Text status = GetText(v, "ExtraData.231");
    EXPECT_NE(std::string::npos, status.find("Converged")) << status;
    EXPECT_EQ(1, SetText(v, "ExtraData.593", "Renamed"));
    EXPECT_EQ(Text("Last schedule executed: Renamed"), GetText(v, "ExtraData.230"));
    EXPECT_EQ(status, GetText(v, "ExtraData.231"));
}

// The executed schedule removed: the network goes back to its locked state, so that the operating
// mode's texts name no schedule that is gone and tell the state the units hold.
TEST(ViewWhatIfNames, RemovingTheExecutedScheduleGoesBackToTheLockedState) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    const double locked = design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty);
    n.ScheduleEvent(6, "C1", 0.55);
    EXPECT_EQ(1, v.Message("ExecuteSchedule"));
    ASSERT_GT(std::abs(design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty) - locked), 1.0);
    EXPECT_EQ(Text("Last schedule executed: Event-P1"), GetText(v, "ExtraData.230"));
    EXPECT_EQ(1, v.Message("RemoveScheduleFromDesign"));
    EXPECT_TRUE(n.Schedules().empty());
    EXPECT_EQ(nullptr, n.d->GetExecutedScheduleName());
    EXPECT_EQ(std::string::npos, GetText(v, "ExtraData.230").find("Event-P1")) << GetText(v, "ExtraData.230");
    EXPECT_EQ(Text("Calculation status: Converged"), GetText(v, "ExtraData.231"));
    EXPECT_NEAR(locked, design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty), 1e-6);
}

// A schedule removed that is not the executed one leaves the executed schedule's results.
TEST(ViewWhatIfNames, RemovingAnotherScheduleKeepsTheExecutedOne) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    n.ScheduleEvent(6, "C1", 0.55);
    EXPECT_EQ(1, v.Message("ExecuteSchedule"));
    const double run = design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty);
    EXPECT_EQ(1, v.Message("AddScheduleToDesign"));
    EXPECT_EQ(1, v.Message("RemoveScheduleFromDesign"));
    EXPECT_EQ(Text("Last schedule executed: Event-P1"), GetText(v, "ExtraData.230"));
    EXPECT_EQ(Text("Calculation status: Converged"), GetText(v, "ExtraData.231"));
    EXPECT_NEAR(run, design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty), 1e-9);
}

// A process stream renamed while the network is locked: the design viewer's chosen stream and
// the event summary's item of the stream's flow change take the new name.
TEST(ViewWhatIfNames, TheChosenStreamAndItsEventItemFollowAStreamRename) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    n.ScheduleEvent(6, "C1", 0.55);
    VarDescription chosen(105, 764);
    VarEnumInfo* streams = v.GetEnumInfo(VariableNameInfo(chosen, Text()));
    ASSERT_NE(nullptr, streams);
    const int c1 = streams->FindEntry(Text("C1"));
    ASSERT_GE(c1, 0);
    ASSERT_EQ(1, v.Specify(chosen, double(streams->GetEntry(c1)->value)));
    ASSERT_EQ(Text("C1"), v.GetSelectedStream());
    EXPECT_EQ(1, n.scenario->RenameStream("C1", "Cold1"));
    EXPECT_EQ(Text("Cold1"), v.GetSelectedStream());
    auto* summary = static_cast<ScheduleTypeView*>(v.GetEventSummaryView());
    ASSERT_NE(nullptr, summary);
    ASSERT_EQ(1u, summary->GetItems().size());
    ASSERT_EQ(1u, summary->GetItems()[0]->GetEventItems().size());
    EXPECT_EQ(Text("Cold1"), summary->GetItems()[0]->GetEventItems()[0]->GetName());
}

// An exchanger renamed in the design viewer while the network is locked, after a fouling event
// on it: the schedule still runs on it, the state names it by its new name, and the design saved
// and read back goes back to the locked duty (150 kW) on a reset.
TEST(ViewWhatIfNames, AUnitRenamedWhileLockedKeepsItsOperatingRecords) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    const double locked = design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty);
    ASSERT_NEAR(150.0, locked, 1e-6);
    n.ScheduleEvent(5, "E-101", 0.05);
    int row = -1;
    for (int i = 0; i < Dims(v, "Name.300.[]").front(); ++i)
        if (GetText(v, "Name.300." + std::to_string(i)) == Text("E-101")) row = i;
    ASSERT_GE(row, 0);
    EXPECT_EQ(1, SetText(v, "Name.300." + std::to_string(row), "E999"));
    EXPECT_EQ(1, v.Message("ExecuteSchedule"));
    const double fouled = design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty);
    EXPECT_LT(fouled, locked - 1.0);
    EXPECT_STREQ("E999", n.d->GetOperatingSchedule(0)->GetEventTargetName(0));
    auto* summary = static_cast<ScheduleTypeView*>(v.GetEventSummaryView());
    ASSERT_NE(nullptr, summary);
    ASSERT_EQ(1u, summary->GetItems().size());
    ASSERT_EQ(1u, summary->GetItems()[0]->GetEventItems().size());
    EXPECT_EQ(Text("E999"), summary->GetItems()[0]->GetEventItems()[0]->GetName());
    IHENState* state = n.d->GetDefaultState();
    std::vector<std::string> names;
    for (int i = 0; i < state->GetNumberOfSelectableHeatExchangers(); ++i)
        names.emplace_back(state->GetSelectableHeatExchangerName(i));
    EXPECT_EQ((std::vector<std::string>{"E-100", "E999"}), names);

    const design_test::RecordBytes bytes = design_test::DesignBytes(*n.d);
    ASSERT_FALSE(bytes.empty());
    design_test::OperatedNetwork other(true, false);
    ASSERT_TRUE(design_test::ReadDesignBytes(*other.d, bytes));
    other.d->ResetDefaultState();
    EXPECT_NEAR(locked, design_test::OperatedNetwork::Value(design_test::UnitNamed(*other.d, "E999"), NodeValue::Duty), 1e-3);
    n.d->ResetDefaultState();
    EXPECT_NEAR(locked, design_test::OperatedNetwork::Value(n.e101, NodeValue::Duty), 1e-3);
}

// A process stream renamed while the network is locked, after a flow change on it: the schedule
// names it anew, and the design saved and read back (beside the stream of the new name) resets the
// stream to its locked mass flow.
TEST(ViewWhatIfNames, AStreamRenamedWhileLockedKeepsItsOperatingRecords) {
    Viewed n;
    HIDesignViewerDesign& v = *n.viewer;
    auto massFlow = [](IHeatIntegrationScenario& s, const char* name) {
        IHeatIntegrationStream* stream = nullptr;
        double flow = -32767.0;
        if (s.GetStream(name, stream) && stream) stream->GetValue("MassFlow", flow, 0);
        return flow;
    };
    const double locked = massFlow(*n.scenario, "C1");
    n.ScheduleEvent(6, "C1", locked * 1.1);
    EXPECT_EQ(1, n.scenario->RenameStream("C1", "Cold1"));
    EXPECT_STREQ("Cold1", n.d->GetOperatingSchedule(0)->GetEventTargetName(0));
    EXPECT_EQ(1, v.Message("ExecuteSchedule"));
    EXPECT_NEAR(locked * 1.1, massFlow(*n.scenario, "Cold1"), 1e-9);

    const design_test::RecordBytes bytes = design_test::DesignBytes(*n.d);
    ASSERT_FALSE(bytes.empty());
    design_test::OperatedNetwork other(true, false);
    ASSERT_EQ(1, other.scenario->RenameStream("C1", "Cold1"));
    ASSERT_TRUE(design_test::ReadDesignBytes(*other.d, bytes));
    other.d->SelectSchedule("Event-P1");
    other.d->ExecuteSchedule();
    EXPECT_NEAR(locked * 1.1, massFlow(*other.scenario, "Cold1"), 1e-9);
    other.d->ResetDefaultState();
    EXPECT_NEAR(locked, massFlow(*other.scenario, "Cold1"), 1e-9);
}

// The study tree: a new study passes a name a user gave, and no study takes the default study's
// name, which stays on its own node.
TEST(ViewWhatIfNames, StudiesAreNamedOnceAndTheDefaultStudysNameIsItsOwn) {
    StudiedNetwork n;
    TrendAnalysisView wizard(nullptr, n.d);
    TrendAnalysisNodeView* summary = wizard.GetSummaryNode();
    auto names = [&] {
        std::vector<std::string> out;
        for (const StudyNodeView* node : summary->GetStudyNodes()) out.push_back(node->GetName().c_str());
        return out;
    };
    EXPECT_EQ(1, summary->Message("AddStudyToTrendAnalysis"));
    EXPECT_EQ(1, SetText(*summary, "ExtraData.390", "Study-2"));
    EXPECT_EQ(1, summary->Message("AddStudyToTrendAnalysis"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-2", "Study-3"}), names());
    EXPECT_STREQ("Study-3", n.d->GetCurrentStudyName());

    JournalMark mark;
    EXPECT_EQ(0, SetText(*summary, "ExtraData.390", "Default Study"));
    EXPECT_EQ(0, SetText(*summary, "ExtraData.390", "Study-2"));
    EXPECT_EQ((std::vector<std::string>{"NameNotUnique", "NameNotUnique"}), mark.Errors());
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-2", "Study-3"}), names());
    EXPECT_EQ(Text("Default Study"), GetText(*summary, "ExtraData.393.0"));
    EXPECT_EQ(Text("Study-3"), GetText(*summary, "ExtraData.393.2"));
    // Renamed again, the study's own node follows, not the default study's.
    EXPECT_EQ(1, SetText(*summary, "ExtraData.390", "Other"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-2", "Other"}), names());
}

}  // namespace

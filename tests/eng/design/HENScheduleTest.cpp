// Operating schedules: the design's naming and current schedule, the event kinds and targets a
// schedule offers, refused events, the current-event answers, the status kept in step with the
// events, and a schedule executed on the locked network.
#include "OperationTestSupport.h"

#include "eng/design/HENEvent.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/HENState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace design_test;

namespace {
using V = OperatedNetwork;

struct LockedNetwork : OperatedNetwork {
    LockedNetwork() { d->LockOperation(); }
};
}  // namespace

TEST(HENSchedule, ScheduleNumbersGrowAndStartAgainWhenNoneIsLeft) {
    LockedNetwork n;
    Listener view(*n.d);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(n.d->AddNewSchedule());
    EXPECT_EQ((std::vector<int>{12, 8, 12, 8, 12, 8}), view.Codes());
    EXPECT_TRUE(n.d->RemoveSchedule("Event-P2"));
    EXPECT_STREQ("Event-P1", n.d->GetScheduleName(0));
    EXPECT_STREQ("Event-P3", n.d->GetScheduleName(1));
    ASSERT_TRUE(n.d->AddNewSchedule());
    EXPECT_STREQ("Event-P4", n.d->GetCurrentScheduleName());
    for (const char* name : {"Event-P1", "Event-P3", "Event-P4"}) n.d->RemoveSchedule(name);
    EXPECT_EQ(0, n.d->GetNumberOfSchedules());
    ASSERT_TRUE(n.d->AddNewSchedule());
    EXPECT_STREQ("Event-P1", n.d->GetCurrentScheduleName());

    EXPECT_EQ(1, n.d->AddSchedule("Event-P1"));
    EXPECT_EQ(2, n.d->AddSchedule(""));
    EXPECT_EQ(0, n.d->AddSchedule("Night"));
    EXPECT_EQ(2, n.d->GetNumberOfSchedules());
    EXPECT_FALSE(n.d->RenameSchedule("Night", "Event-P1"));
    EXPECT_FALSE(n.d->RenameSchedule("Day", "Dawn"));
    EXPECT_TRUE(n.d->RenameSchedule("Night", "Day"));
    EXPECT_TRUE(view.Saw(9, "Night"));
    EXPECT_TRUE(n.d->FindOperatingSchedule("Day"));
}

TEST(HENSchedule, WithoutACurrentScheduleTheQuestionsAnswerEmpty) {
    LockedNetwork n;
    EXPECT_DOUBLE_EQ(-32767.0, n.d->GetCurrentEventBaseValue());
    EXPECT_DOUBLE_EQ(-32767.0, n.d->GetCurrentEventNewValue());
    EXPECT_EQ(32009, n.d->GetCurrentEventValueKind());
    EXPECT_EQ(0, n.d->GetNumberOfEventTypes());
    EXPECT_FALSE(n.d->AddEventToCurrentSchedule("CleaningHENEvent", "E-100"));
    // Executing without a current schedule writes the default state back and solves.
    n.d->ExecuteSchedule();
    EXPECT_EQ(nullptr, n.d->GetExecutedScheduleName());
    EXPECT_EQ(1, n.d->GetCalculationStatus());
}

TEST(HENSchedule, KindsTargetsAndRefusedEvents) {
    LockedNetwork n;
    ASSERT_TRUE(n.d->AddNewSchedule());
    EXPECT_EQ(8, n.d->GetNumberOfEventTypes());
    EXPECT_STREQ("CleaningHENEvent", n.d->GetEventTypeName(0));
    EXPECT_STREQ("InletTemperatureChangeEvent", n.d->GetEventTypeName(7));
    EXPECT_EQ(2, n.d->GetNumberOfEventTargets("HeatExchangerFoulingEvent"));
    EXPECT_EQ(4, n.d->GetNumberOfEventTargets("StreamFlowrateChangeEvent"));
    EXPECT_EQ(0, n.d->GetNumberOfEventTargets("SplitflowmodificationEvent"));
    EXPECT_EQ(0, n.d->GetNumberOfEventTargets("NoSuchEvent"));
    EXPECT_STREQ("E-101", n.d->GetEventTargetName("AdditionalShellHENEvent", 1));
    EXPECT_STREQ("C2", n.d->GetEventTargetName("InletTemperatureChangeEvent", 3));

    EXPECT_EQ(nullptr, n.d->AddEventToSchedule("CleaningHENEvent", "E-100"));
    EXPECT_STREQ("EventAddFailed", n.d->AddEventToSchedule("CleaningHENEvent", "E-100"));
    EXPECT_EQ(nullptr, n.d->AddEventToSchedule("HeatExchangerFoulingEvent", "E-100"));
    // No record to act on: an unknown exchanger, an unknown kind, a branch of no splitter.
    EXPECT_STREQ("EventAddFailed", n.d->AddEventToSchedule("CleaningHENEvent", "E-999"));
    EXPECT_STREQ("EventAddFailed", n.d->AddEventToSchedule("NoSuchEvent", "E-100"));
    EXPECT_STREQ("EventAddFailed", n.d->AddEventToSchedule("SplitflowmodificationEvent", "TEE-100 Branch 1"));
    EXPECT_FALSE(n.d->AddEventToCurrentSchedule("CleaningHENEvent", "E-999"));
    // A fouling resistance at 1/U or beyond cannot be cleaned off.
    HENOperatingSchedule fouled("F", n.d->DefaultState());
    fouled.State().FindHeatExchanger("E-101")->SetValue(NodeValue::HXFoulingFactor, 4.0);
    EXPECT_STREQ("EventAddFailed", fouled.AddEvent("CleaningHENEvent", "E-101"));
    fouled.State().FindHeatExchanger("E-101")->SetValue(NodeValue::HXFoulingFactor, 0.5);
    EXPECT_EQ(nullptr, fouled.AddEvent("CleaningHENEvent", "E-101"));
    EXPECT_NEAR(1.0 / (4.0 - 0.5), fouled.GetCurrentEventNewValue(), 1e-12);
    EXPECT_EQ(2, n.d->GetNumberOfScheduleEvents());
    EXPECT_STREQ("E-100: Change observed heat transfer coefficient",
                 n.d->FindScheduleEventLabel("HeatExchangerFoulingEvent", "E-100"));
    EXPECT_TRUE(n.d->AddEventToCurrentSchedule("CleaningHENEvent", "E-100"));  // already there
    EXPECT_EQ(2, n.d->GetNumberOfScheduleEvents());

    EXPECT_FALSE(n.d->SelectScheduleEvent("nothing of that name"));
    EXPECT_EQ(nullptr, n.d->GetCurrentEventName());
    EXPECT_DOUBLE_EQ(-32767.0, n.d->GetCurrentEventNewValue());
    EXPECT_EQ(32009, n.d->GetCurrentEventValueKind());
    EXPECT_TRUE(n.d->SelectScheduleEvent("E-100: Clean heat exchanger"));
    EXPECT_STREQ("CleaningHENEvent", n.d->GetCurrentEventTypeName());
    EXPECT_EQ(1524, n.d->GetCurrentEventValueKind());
    EXPECT_TRUE(n.d->RemoveCurrentEvent());
    EXPECT_EQ(1, n.d->GetNumberOfScheduleEvents());
}

TEST(HENSchedule, ASplitterOfThreeBranchesOffersItsFirstTwo) {
    OperatedNetwork n;
    CNode* tee = nullptr;
    CNode* segment = NthSegment(*n.d, "H2", 1);
    ASSERT_TRUE(n.d->AddSplitterMixer(segment, segment, tee, "split", 3));
    HENState state;
    state.SetFromDesign(*n.d);
    HENOperatingSchedule schedule("S", state);
    ASSERT_EQ(2, schedule.GetNumberOfCandidateTargets("SplitflowmodificationEvent"));
    EXPECT_STREQ("TEE-100 Branch 1", schedule.GetCandidateTargetName("SplitflowmodificationEvent", 0));
    EXPECT_STREQ("TEE-100 Branch 2", schedule.GetCandidateTargetName("SplitflowmodificationEvent", 1));
    EXPECT_EQ(nullptr, schedule.GetCandidateTargetName("SplitflowmodificationEvent", 2));
    // The last branch and a name without a branch number are no targets.
    EXPECT_STREQ("EventAddFailed", schedule.AddEvent("SplitflowmodificationEvent", "TEE-100 Branch 3"));
    EXPECT_STREQ("EventAddFailed", schedule.AddEvent("SplitflowmodificationEvent", "TEE-100"));
    EXPECT_EQ(nullptr, schedule.AddEvent("SplitflowmodificationEvent", "TEE-100 Branch 2"));
}

TEST(HENSchedule, TheStatusFollowsTheEvents) {
    LockedNetwork n;
    HENOperatingSchedule schedule("S", n.d->DefaultState());
    Listener view(schedule);
    EXPECT_FALSE(schedule.NeedsCalculation());
    schedule.SetStatus("");
    EXPECT_FALSE(schedule.NeedsCalculation());  // no events, whatever the status
    ASSERT_EQ(nullptr, schedule.AddEvent("AdditionalAreaHENEvent", "E-101"));
    EXPECT_EQ(1, view.Count(IHENSchedule::CodeEventAdded));
    EXPECT_TRUE(schedule.NeedsCalculation());
    schedule.SetStatus("NotConverged");
    EXPECT_EQ(2, schedule.GetStatus());
    schedule.GetCurrentEvent()->SetNewValue(20.0);  // the event's code 15 invalidates
    EXPECT_EQ(0, schedule.GetStatus());
    schedule.SetStatus("");
    schedule.InvalidateResults();
    EXPECT_EQ(0, schedule.GetStatus());

    // A copy carries the events with their values but is not current on any.
    schedule.SetStatus("");
    HENOperatingSchedule copy(schedule);
    EXPECT_EQ(1, copy.GetStatus());
    ASSERT_EQ(1, copy.GetNumberOfEvents());
    EXPECT_DOUBLE_EQ(20.0, copy.GetEvent(0)->GetNewValue());
    EXPECT_STREQ("E-101: Change heat exchanger area", copy.GetEvent(0)->GetName());
    EXPECT_EQ(nullptr, copy.GetCurrentEventTypeName());
}

TEST(HENSchedule, AnExecutedScheduleHoldsItsSolvedStateAndTheDefaultComesBack) {
    LockedNetwork n;
    const double clean = V::Value(n.e100, NodeValue::Duty);
    ASSERT_TRUE(n.d->AddNewSchedule());
    ASSERT_EQ(nullptr, n.d->AddEventToSchedule("HeatExchangerRemovalEvent", "E-100"));
    EXPECT_TRUE(n.d->CanExecuteSchedule("Event-P1"));
    n.d->ExecuteSchedule();
    EXPECT_STREQ("Event-P1", n.d->GetExecutedScheduleName());
    // Without E-100 nothing but the placeholder at C2's end heats C2: not converged.
    EXPECT_EQ(2, n.d->GetScheduleSolutionStatus("Event-P1"));
    EXPECT_FALSE(n.d->CanExecuteSchedule("Event-P1"));
    IHENState* state = n.d->GetOperatingScheduleState(0);
    double duty = -1.0;
    state->GetHeatExchangerValue(0, NodeValue::Duty, duty);
    EXPECT_NEAR(0.0, duty, 1e-6);  // out of service
    n.d->ResetDefaultState();
    EXPECT_EQ(nullptr, n.d->GetExecutedScheduleName());
    EXPECT_NEAR(clean, V::Value(n.e100, NodeValue::Duty), 1e-6);
}

// The flow change of a schedule reaches the stream while the schedule runs; the default state
// does not take it over, and resetting it gives the stream its flow back.
TEST(HENSchedule, AFlowChangeRunsOnTheStreamAndLeavesTheDefaultStateAlone) {
    LockedNetwork n;
    CPIHeatIntegrationStream* h1 = n.scenario->FindStream("H1");
    ASSERT_TRUE(n.d->AddNewSchedule());
    ASSERT_EQ(nullptr, n.d->AddEventToSchedule("StreamFlowrateChangeEvent", "H1"));
    EXPECT_DOUBLE_EQ(1.5, n.d->GetCurrentEventBaseValue());
    n.d->SetCurrentEventNewValue(1.2);
    n.d->ExecuteSchedule();
    // Less H1 through E-100 leaves C2 short of its target: not converged.
    EXPECT_EQ(2, n.d->GetScheduleSolutionStatus("Event-P1"));
    double flow = 0.0, cp = 0.0;
    h1->GetValue("MassFlow", flow, 0);
    h1->GetValue("HeatCapacityFlowrate", cp, 0);
    EXPECT_DOUBLE_EQ(1.2, flow);
    EXPECT_DOUBLE_EQ(2.4, cp);
    EXPECT_DOUBLE_EQ(1.2, n.d->GetOperatingScheduleState(0)->GetStreamMassFlow(0));
    EXPECT_DOUBLE_EQ(1.5, n.d->GetDefaultState()->GetStreamMassFlow(0));
    n.d->ResetDefaultState();
    h1->GetValue("MassFlow", flow, 0);
    EXPECT_DOUBLE_EQ(1.5, flow);
    EXPECT_NEAR(240.0, V::Value(n.e100, NodeValue::Duty), 0.1);
}

// The schedules are found by name through an index kept with every add, removal and rename: on
// seeded random sequences of those edits every name answers as a plain list of names says.
class HENScheduleNames : public ::testing::TestWithParam<unsigned> {};

TEST_P(HENScheduleNames, AreFoundAsAListOfNamesSays) {
    LockedNetwork n;
    std::vector<std::string> model;
    unsigned seed = GetParam();
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    const auto has = [&model](const std::string& name) {
        return std::find(model.begin(), model.end(), name) != model.end();
    };
    for (int step = 0; step < 400; ++step) {
        const std::string name = "S" + std::to_string(next(40));
        switch (next(4)) {
            case 0:
            case 1: {
                const int made = n.d->AddSchedule(name.c_str());
                EXPECT_EQ(has(name) ? 1 : 0, made) << name;
                if (made == 0) model.push_back(name);
                break;
            }
            case 2:
                n.d->RemoveSchedule(name.c_str());
                model.erase(std::remove(model.begin(), model.end(), name), model.end());
                break;
            default: {
                const std::string renamed = "S" + std::to_string(next(40));
                const bool done = n.d->RenameSchedule(name.c_str(), renamed.c_str());
                EXPECT_EQ(has(name) && !has(renamed), done) << name << " -> " << renamed;
                if (done) *std::find(model.begin(), model.end(), name) = renamed;
            }
        }
        ASSERT_EQ(static_cast<int>(model.size()), n.d->GetNumberOfSchedules());
        for (int k = 0; k < 40; ++k) {
            const std::string asked = "S" + std::to_string(k);
            IHENSchedule* found = n.d->FindOperatingSchedule(asked.c_str());
            EXPECT_EQ(has(asked), found != nullptr) << asked << " at step " << step;
            if (found) {
                EXPECT_EQ(asked, found->GetName());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HENScheduleNames, ::testing::Values(1u, 7u, 42u, 2026u));

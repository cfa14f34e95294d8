// The design viewer's command words on a design and scenario that record the engine calls:
// the order of engine calls, busy signals and status lines of each long operation; the retrofit
// steps with and without an automation start-up; the retrofit result name and feasibility
// worked by hand; throughput changes; and the child views the operating-mode words make and
// destroy.
#include "lumeth/FormDescription.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/design/RecordingDesignSupport.h"
#include "views/design/EventPlanner.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using recording_design::EngineLog;
using recording_design::RecordingDesign;
using recording_design::RecordingScenario;
using Lines = std::vector<std::string>;

class ViewDesignViewerCommands : public ::testing::Test {
protected:
    ViewDesignViewerCommands() {
        Session::Instance().Reset();
        SetAutomationStartup(false);
        viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "D",
                                                        ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(&scenario);
        viewer->SetEngineeringDesign(&design, false);
    }
    ~ViewDesignViewerCommands() override {
        viewer.reset();
        SetAutomationStartup(false);
        Session::Instance().Reset();
    }
    // What a command did: engine calls and what the user was shown, in order.
    Lines Run(const std::string& line) {
        const EngineLog::Mark from = log.Now();
        viewer->Message(line.c_str());
        return log.Trace(from);
    }
    static std::string Status(const char* key) { return "status " + std::string(FindString(key).c_str()); }

    FourStreamProject p{false};
    EngineLog log;
    RecordingScenario scenario{p.project, log};
    RecordingDesign design{"D", log};
    std::unique_ptr<HIDesignViewerDesign> viewer;
};

TEST_F(ViewDesignViewerCommands, AnUnboundViewerAnswersNothingAndAnUnknownWordGoesWholeToTheFramework) {
    HIDesignViewerDesign unbound(nullptr, "U", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    unbound.SetScenario(&scenario);
    EXPECT_EQ(0, unbound.Message("Optimize"));
    EXPECT_TRUE(log.calls.empty());

    const std::uint64_t from = Session::Instance().NextSequence();
    EXPECT_EQ(0, viewer->Message("NoSuchWord with arguments"));
    bool passed = false;
    for (const SessionEntry& e : Session::Instance().Journal())
        passed = passed || (e.sequence >= from && e.event == SessionEvent::Unhandled && e.text == "Message NoSuchWord with arguments");
    EXPECT_TRUE(passed);
}

TEST_F(ViewDesignViewerCommands, EveryWordOfTheTableIsAnsweredByTheViewer) {
    FormDescription form;
    HIDesignViewerDesign::DescribeCommands(form);
    ASSERT_EQ(57u, form.Commands().size());
    // Words with nothing to act on answer 0: no retrofit ran (no result to delete), the network is
    // not locked (nothing to reconcile, no schedule to make, run or reset, no operation to solve or
    // modify), no schedule or event is selected, no stream is split, no exchanger or cross-pinch
    // row is chosen to open the view of.
    const std::set<std::string> nothing = {"DeleteNewRetrofitDesign", "Reconcile",           "RemoveScheduleFromDesign",
                                           "RemoveEventFromSchedule", "ExecuteSchedule",     "AddEventToSchedule",
                                           "AcceptThroughputChanges", "AddScheduleToDesign", "ResetDefaultState",
                                           "UnlockOperation",         "SolveOperations",     "ModifyOperation",
                                           "RunSplitOptimization",    "OptimizeSplitFlows",  "OpenHXView",
                                           "OpenCPEliminationView",   "OpenColdSegmentTable", "OpenHotSegmentTable"};
    for (const Text& word : form.Commands()) {
        const std::uint64_t from = Session::Instance().NextSequence();
        EXPECT_EQ(nothing.count(word.c_str()) ? 0 : 1, viewer->Message(word)) << word;
        for (const SessionEntry& e : Session::Instance().Journal())
            EXPECT_FALSE(e.sequence >= from && e.event == SessionEvent::Unhandled) << word << ": " << e.text;
    }
}

struct Operation {
    const char* line;
    Lines (*expected)();
};
void PrintTo(const Operation& c, std::ostream* os) {
    *os << c.line;
}

// The words of a network locked for operation (Reconcile fits a locked network only).
class ViewDesignViewerOperations : public ViewDesignViewerCommands, public ::testing::WithParamInterface<Operation> {
protected:
    ViewDesignViewerOperations() { design.locked = true; }
};

std::string err(const Text& key) { return "error " + std::string(key.c_str()); }
std::string notice(const Text& key) { return "notice " + std::string(key.c_str()); }
std::string status(const char* key) { return "status " + std::string(FindString(key).c_str()); }

const Operation kOperations[] = {
    // A run that did its work says so as a notice: an error would answer the command as refused.
    {"Optimize", [] {
         return Lines{"busy 1", "OptimizeDesign D 1 1", notice(HIDesignViewerDesign::NetworkOptimisationKey(4)), "clear", "busy 0"};
     }},
    {"UtilHX", [] {
         return Lines{"busy 1", status("SearchingForUtilHX"), "RetrofitDesign D 3", notice(HIDesignViewerDesign::RetrofitKey(39)),
                      "clear", "busy 0"};
     }},
    {"LockOperation", [] { return Lines{err("OperationLockedAlready")}; }},  // locked already: not locked again
    {"SolveOperations", [] { return Lines{"busy 1", status("EnteringOpMode"), "ResetCalculatedValues", "clear", "busy 0"}; }},
    {"UnlockOperation", [] { return Lines{"busy 1", "send CloseView WhatifAnalysisView", "UnlockOperation", "busy 0"}; }},
    {"ResetDefaultState", [] { return Lines{"busy 1", "ResetDefaultState", "busy 0"}; }},
    // The recorded network splits no stream: there is no share to optimise, and no setting moves.
    {"RunSplitOptimization", [] { return Lines{err("NoSplitToOptimise")}; }},
    {"Reconcile", [] { return Lines{"Reconcile"}; }},  // 4 exchangers - 1 heater = 3 area-specified
    {"OpenOptimizerWizardView", [] { return Lines{"RunOptimizerCheck", "view OptimizationWizard"}; }},
    {"ModifyOperation", [] { return Lines{"ModifyOperation"}; }},
    {"AddScheduleToDesign", [] { return Lines{"AddNewSchedule"}; }},
    {"OpenTrendAnalysisView", [] { return Lines{"AddStudy"}; }},  // the wizard opens on the design's notice
    {"ShowEventPlannerView", [] {
         return Lines{"busy 1", status("EnteringOpMode"), "ResetCalculatedValues", "clear", "view EventPlanner", "busy 0"};
     }},
    {"RemoveEventFromSchedule", [] { return Lines{err("NoScheduleEventSelected")}; }},  // no event selected
    {"ClearStatusBar", [] { return Lines{"clear"}; }},
    {"OpenFreedomView", [] { return Lines{"view FreedomView"}; }},
    {"OpenTargets", [] { return Lines{"view Targets"}; }},
    // No split: the priorities of branch shares have no form to open on.
    {"OptimizeSplitFlows", [] { return Lines{err("NoSplitToOptimise")}; }},
    {"PopUpEventToScheduleView", [] { return Lines{"view AddEventToScheduleView", status("CleanExchanger")}; }},
};

TEST_P(ViewDesignViewerOperations, BusyAndStatusStandAroundTheEngineCallsInTheirOrder) {
    EXPECT_EQ(GetParam().expected(), Run(GetParam().line)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Words, ViewDesignViewerOperations, ::testing::ValuesIn(kOperations));

TEST_F(ViewDesignViewerCommands, ReconcilingWithDutySpecifiedUtilitiesAsksFirst) {
    design.locked = true;
    design.areaSpecified = 2;
    Session::Instance().ScriptResponse(0);
    EXPECT_EQ(Lines{}, Run("Reconcile"));
    Session::Instance().ScriptResponse(1);
    EXPECT_EQ(Lines{"Reconcile"}, Run("Reconcile"));
}

TEST_F(ViewDesignViewerCommands, TheModeWordsOpenTheConstraintsOrRunTheOptimisationUnlessAnAutomationStarted) {
    EXPECT_EQ(Lines{"view AddAreaConstraintsView"}, Run("ResqHX"));
    EXPECT_EQ(2, viewer->nRetrofitMode);

    scenario.equationBased = true;
    const Lines run = Run("AddNewHX");
    ASSERT_GE(run.size(), 3u);
    EXPECT_EQ("SetOptimizerEconomicParameter 1e+10", run[0]);
    EXPECT_EQ("send RunRetrofitOptimization", run[1]);
    EXPECT_EQ("RetrofitDesign D 0", run[4]);
    EXPECT_EQ(0, viewer->nRetrofitMode);

    SetAutomationStartup(true);
    EXPECT_EQ(Lines{}, Run("OpenAddAreaHXView"));
    EXPECT_EQ(4, viewer->nRetrofitMode);
    // An automation start-up runs the retrofit itself and is shown no result.
    EXPECT_EQ((Lines{"busy 1", status("SearchingForUtilHX"), "RetrofitDesign D 4", "busy 0", "clear"}),
              Run("RunRetrofitOptimization"));

    viewer->SetScenario(nullptr);
    EXPECT_EQ(Lines{}, Run("RepipHX"));
    EXPECT_EQ(4, viewer->nRetrofitMode);
}

// The result design the last run of mode 2 from "D" kept, and the check of its cost and payback.
// A design merely named like a result ("D-2S" made by the user, or a run of another mode) is
// none.
struct Feasibility {
    int runMode;  // the mode of the run that kept "D-2S"; -1 no run kept it
    double capital, payback;
    const char* name;
    int check;
};
void PrintTo(const Feasibility& c, std::ostream* os) {
    *os << c.runMode << " " << c.capital << " " << c.payback;
}

class ViewRetrofitFeasibility : public ViewDesignViewerCommands, public ::testing::WithParamInterface<Feasibility> {};

TEST_P(ViewRetrofitFeasibility, TheNewestResultIsCheckedAgainstTheInvestmentLimitAndItsPayback) {
    const Feasibility& f = GetParam();
    RecordingDesign older("D-1S", log), newest("D-2S", log);
    for (RecordingDesign* d : {&older, &newest}) {
        d->capitalCost = f.capital;
        d->payback = f.payback;
        scenario.designs[d->GetDesignName()] = d;
    }
    if (f.runMode >= 0) scenario.runResult = &newest;
    scenario.runMode = f.runMode;
    viewer->nRetrofitMode = 2;
    EXPECT_EQ(Text(f.name), viewer->RetrofitResultName());
    EXPECT_EQ(f.check, viewer->RetrofitFeasibility());
}

INSTANTIATE_TEST_SUITE_P(
    Designs, ViewRetrofitFeasibility,
    ::testing::Values(Feasibility{2, 5e5, 1.0, "D-2S", 1},  // 5e5 over the limit of 1e5
                      Feasibility{2, 5e4, 0.0, "D-2S", 2},  // no payback
                      Feasibility{2, 5e4, -3.0, "D-2S", 2},
                      Feasibility{2, 1e5, 2.0, "D-2S", 0},  // at the limit, paid back
                      Feasibility{1, 5e5, 1.0, "", 0},      // the run was of another mode
                      Feasibility{-1, 5e5, 1.0, "", 0}));   // no run kept a design

TEST_F(ViewDesignViewerCommands, AFailedOptimisationIsReportedEvenWhenTheResultIsInfeasible) {
    RecordingDesign result("D-1N", log);
    result.capitalCost = 5e5;
    scenario.designs["D-1N"] = &result;
    scenario.runResult = &result;
    scenario.runMode = 0;
    scenario.retrofitCode = 26;
    Lines run = Run("RunRetrofitOptimization");
    EXPECT_EQ(err(HIDesignViewerDesign::RetrofitKey(26)), run.back());
    EXPECT_EQ(26, viewer->nRetrofitResult);
    EXPECT_EQ(5e5, viewer->dRetrofitCapitalCost);
    EXPECT_EQ(-32767.0, viewer->dRetrofitPayback);

    scenario.retrofitCode = 39;
    run = Run("RunRetrofitOptimization");
    EXPECT_EQ("view CheckFeasilityView", run.back());
}

TEST_F(ViewDesignViewerCommands, DeletingTheNewestResultReopensTheConstraintsOnlyWhenAsked) {
    RecordingDesign one("D-1A", log), two("D-2A", log);
    scenario.designs = {{"D-1A", &one}, {"D-2A", &two}};
    scenario.runResult = &two;
    scenario.runMode = 4;
    viewer->nRetrofitMode = 4;
    EXPECT_EQ((Lines{"busy 1", "DeleteDesign D-2A", "view AddAreaConstraintsView", "busy 0"}), Run("DeleteNewRetrofitDesign 1"));
    EXPECT_EQ((Lines{"busy 1", "DeleteDesign D-2A", "busy 0"}), Run("DeleteNewRetrofitDesign 0"));
}

TEST_F(ViewDesignViewerCommands, TheRetrofitOptionsMakeTheBaseOrCloneThroughTheProject) {
    EXPECT_EQ((Lines{"busy 1", "CheckRetrofitDesign", "SetRetrofitBaseDesign D", "busy 0"}), Run("OpenRetrofitOptionView"));
    scenario.designCount = 2;
    EXPECT_EQ((Lines{"busy 1", "CheckRetrofitDesign", "view RetrofitOptionView", "busy 0"}), Run("OpenRetrofitOptionView"));
    scenario.checkCode = 11;
    EXPECT_EQ((Lines{"busy 1", "CheckRetrofitDesign", err(HIDesignViewerDesign::RetrofitKey(11)), "busy 0"}),
              Run("OpenRetrofitOptionView"));

    viewer->nRetrofitOption = 1;
    EXPECT_EQ((Lines{"SetRetrofitBaseDesign D", "DeleteDesignsExceptBase", "send CloseView RetrofitOptionView"}),
              Run("RetrofitNow"));

    Viewable project(nullptr, "HIDesignViewerProjectObject");
    project.SetName("Plant");
    auto* owner = new Viewable(&project, "ViewableObject");
    owner->SetName("Base");
    HIDesignViewerDesign child(owner, "D", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    child.SetScenario(&scenario);
    child.SetEngineeringDesign(&design, false);
    child.nRetrofitOption = 0;
    const EngineLog::Mark from = log.Now();
    child.Message("RetrofitNow");
    // The stand-in owner does nothing with the clone it is asked for, and the framework says so.
    EXPECT_EQ((Lines{"send CloneAndRetrofit D", "error CommandNotDone", "send CloseView RetrofitOptionView"}), log.Trace(from));
}

TEST_F(ViewDesignViewerCommands, ATenPerCentThroughputGivesEachStreamOnePointOneTimesItsFlow) {
    design.AddSchedule("Event-P1");
    viewer->dPercentage = 10.0;
    viewer->Message("AcceptThroughputChanges");
    const std::vector<recording_design::ScheduleEvent>& events = design.schedules["Event-P1"];
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ("H1", events[0].target);
    EXPECT_DOUBLE_EQ(2.2, events[0].value);
    EXPECT_EQ("C1", events[1].target);
    EXPECT_DOUBLE_EQ(3.3, events[1].value);
    EXPECT_EQ(0.0, viewer->dPercentage);
    EXPECT_EQ(HIDesignViewerDesign::EmptyInt, viewer->nEventKind);
}

TEST_F(ViewDesignViewerCommands, EventsAreAddedForTheChosenKindAndTarget) {
    design.AddSchedule("Event-P1");
    viewer->Message("PopUpEventToScheduleView");
    EXPECT_EQ(0, viewer->nEventKind);
    EXPECT_EQ((std::vector<Text>{"E-100", "E-101"}), viewer->GetEventTargets());
    viewer->strHXSelection = "E-101";
    EXPECT_EQ(Lines{"AddEventToSchedule CleaningHENEvent E-101"}, Run("AddEventToSchedule"));
    viewer->nEventKind = 7;
    viewer->Message("BuildTextList");
    EXPECT_TRUE(viewer->strHXSelection.empty());
    EXPECT_EQ((std::vector<Text>{"H1", "C1"}), viewer->GetEventTargets());
    // No target chosen: nothing is added, and the command says so.
    EXPECT_EQ(Lines{"error EventAddFailed"}, Run("AddEventToSchedule"));
}

TEST_F(ViewDesignViewerCommands, LeavingOperationDestroysTheStateViewAndThePlannerIsMadeOnceForThisDesign) {
    EXPECT_EQ((Lines{"CheckOperationLockable", "busy 1", status("EnteringOpMode"), "LockOperation", "clear", "busy 0",
                     "send CloseView PaletteView", "view OperationsSetUpView", "send CloseView OperationsSetUpView"}),
              Run("LockOperation"));
    design.locked = true;
    viewer->Message("OpenDefaultStateView");
    ASSERT_NE(nullptr, viewer->GetStateView());
    EXPECT_EQ(Text("Base Case"), viewer->GetStateView()->GetName());
    viewer->Message("ShowEventPlannerView");
    EXPECT_EQ(1, viewer->bOperationsMode);
    auto* planner = dynamic_cast<EventPlanner*>(viewer->GetEventPlanner());
    ASSERT_NE(nullptr, planner);
    EXPECT_EQ(&design, planner->GetDesign());
    viewer->Message("ShowEventPlannerView");
    EXPECT_EQ(planner, viewer->GetEventPlanner());

    viewer->Message("UnlockOperation");
    EXPECT_EQ(nullptr, viewer->GetStateView());
    EXPECT_EQ(0, viewer->bOperationsMode);
    // A planner that dies is forgotten.
    delete planner;
    EXPECT_EQ(nullptr, viewer->GetEventPlanner());
}

TEST_F(ViewDesignViewerCommands, AScheduleIsExecutedOnlyWhenItCanBe) {
    // A selection that is no schedule's item names no schedule: the design's current one runs.
    Viewable item(viewer.get(), "ViewableObject");
    item.SetName("Event-P1");
    viewer->SelectWhatIfItem(&item);
    EXPECT_EQ(Lines{"error OperationNotLocked"}, Run("ExecuteSchedule"));
    design.locked = true;
    EXPECT_EQ(Lines{"error NoScheduleSelected"}, Run("ExecuteSchedule"));
    design.AddSchedule("Event-P1");
    EXPECT_EQ(Lines{"error CannotExecuteSchedule"}, Run("ExecuteSchedule"));
    design.AddEventToSchedule("CleaningHENEvent", "E-100");
    EXPECT_EQ((Lines{"busy 1", "ExecuteSchedule Event-P1", "busy 0"}), Run("ExecuteSchedule"));
}

}  // namespace

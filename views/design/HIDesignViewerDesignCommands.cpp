// The design viewer's command words: one table in the order the words are compared, each row the
// member that answers it and the form it opens; the forms and views opened from the viewer, the
// optimisation and reconciliation of the network, and the retrofit steps. The operating-mode,
// schedule, event and planner words have a file of their own.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/retrofit/RetrofitDriver.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"
#include "views/ViewCommandSteps.h"
#include "views/case/project/HIScenarioOwnerViewer.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/plots/chiPlot.h"

#include <cstdlib>

struct HIDesignViewerDesign::Command {
    const char* word;
    int (HIDesignViewerDesign::*action)(const Text& rest);  // null: only the form opens
    const char* form;                                       // null: no form of the viewer opens
};

const std::vector<HIDesignViewerDesign::Command>& HIDesignViewerDesign::Commands() {
    using V = HIDesignViewerDesign;
    static const std::vector<Command> table = {
        // forms of the viewer
        {"OpenOptimizeView", nullptr, "OptimizationView"},
        {"OpenOptimizerWizardView", &V::openOptimizerWizardView, "OptimizationWizard"},
        {"OpenTopRightView", nullptr, "TopRightView"},
        {"OpenFreedomView", &V::openFreedomView, "FreedomView"},
        {"OpenHXStatus", &V::openHXStatus, "HXStatusView"},
        {"OpenSelectedPalette", nullptr, "PaletteView"},
        {"OpenHotUtil", nullptr, "HotUtils"},
        {"OpenColdUtil", nullptr, "ColdUtils"},
        {"OpenPerformanceView", nullptr, "NetworkPerformance"},
        {"OpenNetworkCostView", nullptr, "NetworkCost"},
        {"OpenTargetsView", nullptr, "Targets"},
        {"OpenDrivingForcePlot", &V::openDrivingForcePlot, nullptr},
        {"OpenBarChartPlot", nullptr, "BarChartPlotView"},
        {"OpenTargets", nullptr, "Targets"},
        {"OpenHotTargetUtil", nullptr, "HotTargetUtil"},
        {"OpenCoolTargetUtil", nullptr, "CoolTargetUtil"},
        {"OpenHeatExchangerView", nullptr, "HeatExchangerView"},
        {"OpenCrossPinchView", nullptr, "CrossPinchView"},
        {"OpenRetrofitModificationView", nullptr, "RetrofitModificationView"},
        {"OpenProcessControlView", nullptr, "ProcessControlView"},
        {"OptimizeSplitFlows", &V::optimizeSplitFlows, "StreamsPriorityView"},
        // views of other objects
        {"OpenHXView", &V::openHXView, nullptr},
        {"ViewPlotStandalone", &V::viewPlotStandalone, nullptr},
        {"OpenCPEliminationView", &V::openCPEliminationView, nullptr},
        {"OpenColdSegmentTable", &V::openColdSegmentTable, nullptr},
        {"OpenHotSegmentTable", &V::openHotSegmentTable, nullptr},
        // engine operations on the design
        {"Reconcile", &V::reconcile, nullptr},
        {"Optimize", &V::optimize, nullptr},
        {"RunSplitOptimization", &V::runSplitOptimization, nullptr},
        // retrofit
        {"OpenRetrofitOptionView", &V::openRetrofitOptionView, nullptr},
        {"RetrofitNow", &V::retrofitNow, nullptr},
        {"AddNewHX", &V::addNewHX, nullptr},
        {"ResqHX", &V::resqHX, nullptr},
        {"RepipHX", &V::repipHX, nullptr},
        {"UtilHX", &V::utilHX, nullptr},
        {"OpenAddAreaHXView", &V::openAddAreaHXView, nullptr},
        {"RunRetrofitOptimization", &V::runRetrofitOptimization, nullptr},
        {"DeleteNewRetrofitDesign", &V::deleteNewRetrofitDesign, nullptr},
        // operating mode, schedules and events (HIDesignViewerDesignOperations.cpp)
        {"LockOperation", &V::lockOperation, nullptr},
        {"SolveOperations", &V::solveOperations, nullptr},
        {"UnlockOperation", &V::unlockOperation, nullptr},
        {"ModifyOperation", &V::modifyOperation, nullptr},
        {"AddScheduleToDesign", &V::addScheduleToDesign, nullptr},
        {"RemoveScheduleFromDesign", &V::removeScheduleFromDesign, nullptr},
        {"RemoveEventFromSchedule", &V::removeEventFromSchedule, nullptr},
        {"ExecuteSchedule", &V::executeSchedule, nullptr},
        {"AddEventToSchedule", &V::addEventToSchedule, nullptr},
        {"BuildTextList", &V::buildTextList, nullptr},
        {"ClearStatusBar", &V::clearStatusBar, nullptr},
        {"SetSelectedObjToSchedule", &V::setSelectedObjToSchedule, nullptr},
        {"PopUpEventToScheduleView", &V::popUpEventToScheduleView, nullptr},
        {"AcceptThroughputChanges", &V::acceptThroughputChanges, nullptr},
        {"OpenWhatifAnalysisView", &V::openWhatifAnalysisView, nullptr},
        {"OpenTrendAnalysisView", &V::openTrendAnalysisView, nullptr},
        {"ResetDefaultState", &V::resetDefaultState, nullptr},
        {"OpenDefaultStateView", &V::openDefaultStateView, nullptr},
        {"ShowEventPlannerView", &V::showEventPlannerView, nullptr},
    };
    return table;
}

void HIDesignViewerDesign::DescribeCommands(FormDescription& form) {
    for (const Command& c : Commands()) form.AddCommand(c.word);
}

int HIDesignViewerDesign::Message(const Text& line) {
    if (!pDesign) return 0;
    Text word, rest;
    view_commands::token(line, word, rest);
    for (const Command& c : Commands()) {
        if (word != c.word) continue;
        int handled = 1;
        if (c.action) handled = (this->*c.action)(rest);
        // A command that refused opens no form for the work it did not do.
        if (c.form && handled) View(c.form);
        return handled;
    }
    return Viewable::Message(line);
}

// ---- forms and views ----

int HIDesignViewerDesign::openOptimizerWizardView(const Text&) {
    pDesign->RunOptimizerCheck();
    return 1;
}

int HIDesignViewerDesign::openFreedomView(const Text&) {
    nCurrentStreamRow = 0;
    return 1;
}

int HIDesignViewerDesign::openHXStatus(const Text&) {
    nCurrentExchangerRow = 0;
    return 1;
}

int HIDesignViewerDesign::openDrivingForcePlot(const Text&) {
    ShowDrivingForcePlot("All");
    return 1;
}

// The views of other objects: a command that finds nothing to open answers 0, and the framework
// says it was not done.
int HIDesignViewerDesign::openHXView(const Text&) {
    const int index = GetFilteredExchangerIndex(nSelectedRowA);
    CNode* unit = nullptr;
    if (index < 0 || !pDesign->GetHeatExchanger(index, unit) || !unit) return 0;
    Viewable* view = GetEquipmentView(unit);
    if (!view) return 0;
    view->View();
    return 1;
}

int HIDesignViewerDesign::viewPlotStandalone(const Text&) {
    HIDesignViewerScenario* owner = GetOwningScenarioViewer();
    HenPlotList* plots = owner ? owner->GetHenPlotList() : nullptr;
    // The target plots are numbered from 1; a number past the list names none.
    if (!plots || nSelectedTargetPlot < 1 || nSelectedTargetPlot > plots->Count()) return 1;
    if (chiPlot* plot = plots->GetIth(nSelectedTargetPlot - 1)) plot->View();
    return 1;
}

int HIDesignViewerDesign::openCPEliminationView(const Text&) {
    const std::vector<int>& order = GetCrossPinchOrder();
    const int row = nSelectedRowB - 1;
    if (row < 0 || row >= static_cast<int>(order.size())) return 0;
    CNode* unit = nullptr;
    if (!pDesign->GetHeatExchanger(order[static_cast<std::size_t>(row)], unit) || !unit) return 0;
    HeatExch* part = AsHeatExch(unit);
    if (!pScenario || pScenario->GetUtilityAssignmentMethod() == 0 || !part || !part->IsHeater()) return 0;
    Viewable* view = GetEquipmentView(unit);
    if (!view) return 0;
    view->View("CPEliminationView");
    return 1;
}

int HIDesignViewerDesign::openColdSegmentTable(const Text&) { return openSegmentTable(1); }
int HIDesignViewerDesign::openHotSegmentTable(const Text&) { return openSegmentTable(0); }

int HIDesignViewerDesign::openSegmentTable(int side) {
    CNode* unit = nullptr;
    if (nSelectedRowA < 0 || !pDesign->GetHeatExchanger(nSelectedRowA, unit) || !unit) return 0;
    // The stream entering that side becomes the current stream.
    if (GetSideStreamName(unit, side).empty() || !pCurrentStream) return 0;
    HIDesignViewerScenario* owner = GetOwningScenarioViewer();
    Viewable* table = owner ? owner->GetSegmentTableView(pCurrentStream) : nullptr;
    if (!table) return 0;
    if (pDesign->GetOperationLocked()) table->View("OperationModeView");
    else table->View();
    return 1;
}

// ---- the network ----

int HIDesignViewerDesign::reconcile(const Text&) {
    IHENDesign& d = *pDesign;
    // Measurements are fitted on the frozen sizes of a locked network only.
    if (!d.GetOperationLocked()) {
        ErrorMsg("ReconcileNeedsLock");
        return 0;
    }
    const bool areaSpecified =
        d.GetNumberOfHeatExchangers() - d.GetNumberOfConfiguredExchangers(1) == d.GetNumberOfAreaSpecifiedExchangers();
    // Declined, or fitted to nothing (the design given back as it was): no reconciliation was made.
    if (!areaSpecified && ResponseMsg("DutySpecifiedUtilityExchangers", 5) != 1) return 0;
    d.Reconcile();
    return d.ReconcileFailed() ? 0 : 1;
}

int HIDesignViewerDesign::optimize(const Text&) {
    if (!pScenario) return 1;
    SignalBusy(true);
    const int result = pScenario->OptimizeDesign(pDesign, nOptimizationMode != 0 ? 1 : 0, true);
    ReportNetworkOptimisationResult(result);
    UserStatusClear(2);
    SignalBusy(false);
    return result == kNetworkOptimised ? 1 : 0;
}

bool HIDesignViewerDesign::refusedWithNoSplit() {
    bool split = false;
    for (int i = 0, n = pDesign->GetNumberOfNodes(); i < n && !split; ++i) split = AsSplitter(pDesign->GetNodeByIndex(i)) != nullptr;
    if (!split) ErrorMsg("NoSplitToOptimise");
    return !split;
}

// The form that sets the streams' priorities for the branch shares: a network with no split has
// none to set.
int HIDesignViewerDesign::optimizeSplitFlows(const Text&) { return refusedWithNoSplit() ? 0 : 1; }

int HIDesignViewerDesign::runSplitOptimization(const Text&) {
    // Without a split there is no branch share to optimise, and the optimiser's settings stay.
    if (refusedWithNoSplit()) return 0;
    pDesign->SetOptimizeExchangerDuties(false);
    pDesign->SetOptimizeSplitFractions(true);
    pDesign->RunOptimizer(5);
    return 1;
}

// ---- retrofit ----

namespace {
constexpr int kRetrofitReady = 3;
constexpr int kRetrofitOptimisationFailed = 26;
constexpr double kNoInvestmentLimit = 1.0e10;
}  // namespace

int HIDesignViewerDesign::RetrofitRunCode(int mode) const {
    if (!pScenario) return -1;
    if (mode < 0 || mode > 2) return pScenario->GetRetrofitStatus();
    // A stepwise run marks the steps it did not reach with -1. A run that kept a step answers
    // with the newest kept step's code: the steps after it that found nothing more change nothing
    // of what the run made.
    int code = -1, kept = -1;
    for (int step = 0; step < 5; ++step) {
        const int status = pScenario->GetRetrofitStepStatus(step);
        if (status != -1) code = status;
        if (status != -1 && !RetrofitDriver::IsDiscardResult(status)) kept = status;
    }
    return kept != -1 ? kept : code;
}

int HIDesignViewerDesign::retrofitStep(int mode) {
    if (!pScenario) return 1;
    nRetrofitMode = mode;
    const bool equationBased = pScenario->GetUseEquationBasedOptimization();
    if (IsAutomationStartup()) return 1;
    if (!equationBased) {
        View("AddAreaConstraintsView");
    } else {
        pScenario->SetOptimizerEconomicParameter(kNoInvestmentLimit);
        SendViewableMessage(this, "RunRetrofitOptimization");
    }
    return 1;
}

int HIDesignViewerDesign::addNewHX(const Text&) { return retrofitStep(0); }
int HIDesignViewerDesign::repipHX(const Text&) { return retrofitStep(1); }
int HIDesignViewerDesign::resqHX(const Text&) { return retrofitStep(2); }
int HIDesignViewerDesign::openAddAreaHXView(const Text&) { return retrofitStep(4); }

int HIDesignViewerDesign::openRetrofitOptionView(const Text&) {
    if (!pScenario) return 1;
    if (pDesign && !pDesign->IsNetworkCalculated()) return refuseUncalculatedBase();
    view_commands::busy([&] {
        const int code = pScenario->CheckRetrofitDesign(pDesign);
        if (code != kRetrofitReady) ReportRetrofitResult(code);
        else if (pScenario->GetNumberOfDesigns() < 2) pScenario->SetRetrofitBaseDesign(CPString(GetName()));
        else View("RetrofitOptionView");
    });
    return 1;
}

// A network that does not calculate is no retrofit base: its units not calculated would count as
// carrying nothing. The user is told what does not calculate, before the readiness check sets
// anything on the network (its approach temperature, its loop analysis).
int HIDesignViewerDesign::refuseUncalculatedBase() {
    RefuseUncalculatedBase(pDesign, *this);
    return 0;
}

bool HIDesignViewerDesign::RefuseUncalculatedBase(IHENDesign* design, Viewable& shown) {
    if (!design || design->IsNetworkCalculated()) return false;
    IHENDesign* pDesign = design;
    Text why;
    for (CNode* unit : pDesign->GetIncompleteHeatExchangers()) {
        if (IHENDesign::IsIdleUtilityUnit(unit)) continue;
        why += (why.empty() ? "" : ", ") + UnitName(unit);
    }
    if (!why.empty()) why += " not calculated";
    if (pDesign->GetNumberOfUnsatisfiedProcessStreams() > 0) why += Text(why.empty() ? "" : "; ") + "a stream misses its target";
    if (!pDesign->DoUtilityUnitsRunForwards()) why += Text(why.empty() ? "" : "; ") + "a heater or cooler runs backwards";
    shown.ErrorMsg("RetrofitBaseNotCalculated", MessageParameters{why});
    return true;
}

int HIDesignViewerDesign::retrofitNow(const Text&) {
    if (!pScenario) return 1;
    if (pDesign && !pDesign->IsNetworkCalculated()) return refuseUncalculatedBase();
    int made = 1;
    if (nRetrofitOption == 1) {
        pScenario->SetRetrofitBaseDesign(CPString(GetName()));
        pScenario->DeleteDesignsExceptBase();
    } else if (Viewable* owner = OwnerViewable()) {
        if (Viewable* project = owner->OwnerViewable()) {
            // The project copies its current scenario: this viewer's, whichever was selected before
            // (none, when the design's viewer was opened directly).
            if (auto* scenarios = dynamic_cast<HIScenarioOwnerViewer*>(project))
                scenarios->SelectScenarioView(dynamic_cast<HIDesignViewerScenario*>(owner));
            // The copy the project refuses is no retrofit made: its answer, and its reason, stand.
            made = SendViewableMessage(project, FormattedText("CloneAndRetrofit %s", GetName().c_str()));
        }
    }
    SendViewableMessage(this, "CloseView RetrofitOptionView");
    return made;
}

int HIDesignViewerDesign::utilHX(const Text&) {
    if (!pScenario) return 1;
    SignalBusy(true);
    UserStatusReport(FindString("SearchingForUtilHX"), 2);
    pScenario->RetrofitDesign(pDesign, 3);
    const int code = RetrofitRunCode(3);
    ReportRetrofitResult(code);
    UserStatusClear(2);
    SignalBusy(false);
    // A run refused, or one that moved nothing, answers 0 beside the message that says why.
    return RetrofitWentThrough(code) ? 1 : 0;
}

int HIDesignViewerDesign::runRetrofitOptimization(const Text&) {
    if (!pScenario) return 1;
    SignalBusy(true);
    dRetrofitCapitalCost = dRetrofitPayback = EmptyValue;
    UserStatusReport(FindString("SearchingForUtilHX"), 2);
    pScenario->RetrofitDesign(pDesign, nRetrofitMode);
    const int code = RetrofitRunCode(nRetrofitMode);
    nRetrofitResult = code;
    SignalBusy(false);
    UserStatusClear(2);
    const int feasibility = RetrofitFeasibility();
    // An automation client is shown no result of a run that went through; one that made nothing
    // answers 0 and says why, as to a user.
    if (IsAutomationStartup()) {
        if (RetrofitWentThrough(code)) return 1;
        ReportRetrofitResult(code);
        return 0;
    }
    // A failed optimisation is reported whatever the check of the result design says, and a run
    // that made nothing answers 0 beside the message that says why.
    if (feasibility == 0 || code == kRetrofitOptimisationFailed) {
        ReportRetrofitResult(code);
        return RetrofitWentThrough(code) ? 1 : 0;
    }
    View("CheckFeasilityView");
    return 1;
}

int HIDesignViewerDesign::deleteNewRetrofitDesign(const Text& rest) {
    if (!pScenario) return 1;
    Text word, more;
    view_commands::token(rest, word, more);
    const long reopen = std::strtol(word.c_str(), nullptr, 10);
    bool deleted = false;
    view_commands::busy([&] {
        // Only a design the run made: a design of the user's own is never taken for one.
        const Text name = RetrofitResultName();
        if (!name.empty()) deleted = pScenario->DeleteDesign(CPString(name)) == 1;
        if (reopen == 1) View("AddAreaConstraintsView");
    });
    // Without a result of the run to delete, nothing was done: the answer says so, and why.
    if (!deleted) ErrorMsg("NoRetrofitDesignToDelete");
    return deleted ? 1 : 0;
}

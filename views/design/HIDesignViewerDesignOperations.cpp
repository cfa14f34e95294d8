// The design viewer's operating-mode words: locking the network for operation and leaving it,
// schedules and their events, the throughput change, and the views of operation (the event
// summary, trend studies, the default operating state and the event planner) with the slots
// that keep them.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENState.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamTransportProperties.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "views/ViewCommandSteps.h"
#include "views/design/EventPlanner.h"
#include "views/design/HENStateView.h"
#include "views/design/whatif/ScheduleItemViews.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/WhatIfSupport.h"

namespace {
constexpr int kLockable = 3;
constexpr int kNoTransportProperties = 42;
constexpr const char* kFlowChange = "StreamFlowrateChangeEvent";
}  // namespace

void HIDesignViewerDesign::DestroyChild(Viewable*& slot) {
    Viewable* view = slot;
    slot = nullptr;
    if (!view) return;
    if (pSelectedItemView == view) pSelectedItemView = nullptr;
    if (pCurrentScheduleView == view) pCurrentScheduleView = nullptr;
    view->RemoveDeathPostee(this);
    delete view;
}

void HIDesignViewerDesign::AdoptEventPlanner(Viewable* planner) {
    if (planner == pEventPlanner) return;
    DestroyChild(pEventPlanner);
    pEventPlanner = planner;
    if (planner) planner->AddDeathPostee(this);
}

void HIDesignViewerDesign::RebuildEventTargets() {
    pEventTargets.clear();
    const char* type = pDesign ? pDesign->GetEventTypeName(nEventKind) : nullptr;
    if (!type) return;
    const int n = pDesign->GetNumberOfEventTargets(type);
    for (int i = 0; i < n; ++i)
        if (const char* name = pDesign->GetEventTargetName(type, i)) pEventTargets.emplace_back(name);
}

// ---- operating mode ----

int HIDesignViewerDesign::lockOperation(const Text&) {
    // A locked network holds the operated network, not the design: a second lock would take the
    // operated values for the design's, and the unlock would have nothing of the design to give back.
    if (pDesign->GetOperationLocked()) {
        ErrorMsg("OperationLockedAlready");
        return 0;
    }
    const int code = pDesign->CheckOperationLockable();
    if (code == kLockable) {
        view_commands::longOperation(FindString("EnteringOpMode"), [&] { pDesign->LockOperation(); });
        // A lock whose own point the heaters, coolers or utilities cannot run at changed nothing,
        // the studies made before it and their view included. (A design that does not lock at all,
        // and says no reason, is left as it answers.)
        if (!pDesign->GetOperationLocked() && pDesign->GetOperatingPointRefusal()) {
            ErrorMsg(OperationsKey(1), Text(pDesign->GetOperatingPointRefusal()));
            return 0;
        }
        bSizesModifiable = false;
        // Studies are made again for the locked network: the view of those made before goes, while
        // the design still holds them aside to be let go of.
        DestroyChild(pTrendAnalysisView);
        SendViewableMessage(this, "CloseView PaletteView");
        View("OperationsSetUpView");
        SendViewableMessage(this, "CloseView OperationsSetUpView");
        return 1;
    }
    // A refusal is no lock: a script that checks the answer must not take the network for locked.
    if (code == kNoTransportProperties) {
        // The stream is named, and where its properties are typed.
        for (int i = 0; i < pDesign->GetNumberOfStreams(); ++i)
            if (IHeatIntegrationStream* s = pDesign->GetStream(i);
                s && s->GetStreamKind() != 1 && !HasTransportProperties(*s)) {
                ErrorMsg(OperationsKey(code), MessageParameters{Text(s->GetName().c_str())});
                return 0;
            }
    }
    ReportOperationsResult(code);
    return 0;
}

int HIDesignViewerDesign::solveOperations(const Text&) {
    // Only a network locked for operation has an operation to solve or modify.
    if (!pDesign->GetOperationLocked()) return ErrorMsg("NoOperationToModify"), 0;
    view_commands::longOperation(FindString("EnteringOpMode"), [&] {
        pDesign->ResetCalculatedValues();
        bOperationsMode = 1;
    });
    return 1;
}

int HIDesignViewerDesign::unlockOperation(const Text&) {
    // The default state of a network not locked is the last lock's: writing it back would
    // overwrite the streams and sizes typed since.
    if (RefuseUnlockedOperation()) return 0;
    view_commands::busy([&] {
        SendViewableMessage(this, "CloseView WhatifAnalysisView");
        pDesign->UnlockOperation();
        // The current schedule view is forgotten before the views that may hold it go.
        if (pSelectedItemView && !IsWatchedChild(pSelectedItemView)) pSelectedItemView->RemoveDeathPostee(this);
        pSelectedItemView = nullptr;
        pCurrentScheduleView = nullptr;
        DestroyChild(pEventSummaryView);
        DestroyChild(pStateView);
        bOperationsMode = 0;
        bSizesModifiable = false;
    });
    return 1;
}

int HIDesignViewerDesign::modifyOperation(const Text&) {
    if (!pDesign->GetOperationLocked()) return ErrorMsg("NoOperationToModify"), 0;
    bOperationsMode = 0;
    bSizesModifiable = true;
    pDesign->ModifyOperation();
    return 1;
}

// ---- schedules and events ----

// Schedules run the network locked for operation from its default state: on a network that is not
// locked that state is the last lock's, and running or restoring it would overwrite the streams
// and sizes typed since.
bool HIDesignViewerDesign::RefuseUnlockedOperation() const {
    if (pDesign->GetOperationLocked()) return false;
    ErrorMsg("OperationNotLocked");
    return true;
}

int HIDesignViewerDesign::addScheduleToDesign(const Text&) {
    if (RefuseUnlockedOperation()) return 0;
    pDesign->AddNewSchedule();
    return 1;
}

int HIDesignViewerDesign::removeScheduleFromDesign(const Text&) {
    const char* name = pDesign->GetCurrentScheduleName();
    if (!name) {
        ErrorMsg("NoScheduleSelected");
        return 0;
    }
    pDesign->RemoveSchedule(CPString(name));
    return 1;
}

int HIDesignViewerDesign::removeEventFromSchedule(const Text&) {
    if (!pDesign->GetCurrentEventName()) {
        ErrorMsg("NoScheduleEventSelected");
        return 0;
    }
    pDesign->RemoveCurrentEvent();
    return 1;
}

int HIDesignViewerDesign::executeSchedule(const Text&) {
    if (RefuseUnlockedOperation()) return 0;
    // The schedule of the selection: an event selected in the summary stands for its schedule,
    // and without a selection the design's current schedule is meant.
    Viewable* schedule = pSelectedItemView;
    if (schedule && schedule->IsA(EventItemView::TypeName)) schedule = static_cast<EventItemView*>(schedule)->Parent();
    // Any other selection (the summary itself, as a case reopened selects it) names no schedule.
    if (schedule && !schedule->IsA(ScheduleItemView::TypeName)) schedule = nullptr;
    const char* current = pDesign->GetCurrentScheduleName();
    const Text name = schedule ? schedule->GetName() : current ? Text(current) : Text();
    // The design runs its current schedule: the one tested is made current first.
    if (schedule && schedule->IsA(ScheduleItemView::TypeName)) pDesign->SelectSchedule(name.c_str());
    if (name.empty()) {
        ErrorMsg("NoScheduleSelected");
        return 0;
    }
    if (!pDesign->CanExecuteSchedule(CPString(name))) {
        ErrorMsg("CannotExecuteSchedule", name);
        return 0;
    }
    view_commands::busy([&] { pDesign->ExecuteSchedule(); });
    if (const char* refused = pDesign->GetWhatIfRunRefusal()) {
        ErrorMsg("WhatIfRunRefused", refused);
        return 0;
    }
    return 1;
}

int HIDesignViewerDesign::addEventToSchedule(const Text&) {
    if (!pDesign->GetCurrentScheduleName()) {
        ErrorMsg("NoScheduleSelected");
        return 0;
    }
    // An event needs its kind and the unit or stream it acts on; without either, or with a unit
    // that cannot take the kind, nothing is added and the command says so.
    const char* type = pDesign->GetEventTypeName(nEventKind);
    const char* message = !type || strHXSelection.empty() ? "EventAddFailed"
                                                          : pDesign->AddEventToSchedule(type, strHXSelection.c_str());
    if (!message) return 1;
    ErrorMsg(message);
    return 0;
}

int HIDesignViewerDesign::buildTextList(const Text&) {
    strHXSelection.clear();
    RebuildEventTargets();
    return 1;
}

int HIDesignViewerDesign::clearStatusBar(const Text&) {
    UserStatusClear(2);
    return 1;
}

int HIDesignViewerDesign::setSelectedObjToSchedule(const Text&) {
    if (pSelectedItemView && pSelectedItemView->IsA(EventItemView::TypeName))
        if (Viewable* schedule = static_cast<EventItemView*>(pSelectedItemView)->Parent()) SelectWhatIfItem(schedule);
    return 1;
}

int HIDesignViewerDesign::popUpEventToScheduleView(const Text&) {
    nEventKind = 0;
    RebuildEventTargets();
    strHXSelection.clear();
    View("AddEventToScheduleView");
    UserStatusReport(FindString(EventPromptKey(nEventKind)), 2);
    return 1;
}

int HIDesignViewerDesign::acceptThroughputChanges(const Text&) {
    // The flow changes go to the selected schedule.
    if (!pDesign->GetCurrentScheduleName()) {
        ErrorMsg("NoScheduleSelected");
        return 0;
    }
    nEventKind = EmptyInt;
    IHENState* state = pDesign->GetDefaultState();
    const double factor = dPercentage / 100.0 + 1.0;
    dPercentage = 0.0;
    // All or nothing: a stream that already has its flow change in the schedule, or cannot run
    // at its new flow (a rate no case holds, with the schedule's other values on it), refuses the
    // whole change, named in the message; no stream is changed then.
    std::vector<std::pair<Text, double>> taken;
    whatif::ThroughputRefusals refusals;
    for (int i = 0; state && i < pDesign->GetNumberOfProcessStreams(); ++i) {
        const double flow = state->GetStreamMassFlow(i);
        const char* target = pDesign->GetEventTargetName(kFlowChange, i);
        if (!target) continue;
        if (pDesign->FindScheduleEventLabel(kFlowChange, target)) {
            refusals.Doubled(target);
        } else if (const char* why = pDesign->GetTargetValueRefusal("MassFlow", target, factor * flow)) {
            refusals.Unrunnable(target, why);
        } else {
            taken.emplace_back(target, factor * flow);
        }
    }
    if (refusals.Refuse()) return 0;
    for (const auto& [target, flow] : taken)
        if (!pDesign->AddEventToSchedule(kFlowChange, target.c_str())) pDesign->SetCurrentEventNewValue(flow);
    return 1;
}

// ---- views of operation ----

int HIDesignViewerDesign::openWhatifAnalysisView(const Text&) {
    MakeEventSummary();
    // The summary becomes the current schedule view unless the user has chosen one already.
    if (pEventSummaryView) {
        pCurrentScheduleView = pEventSummaryView;
        if (!pSelectedItemView) SelectWhatIfItem(pEventSummaryView);
    }
    View("WhatifAnalysisView");
    return 1;
}

int HIDesignViewerDesign::openTrendAnalysisView(const Text&) {
    // The design's notice of its new study makes the view and opens its wizard. Studies the
    // design holds without a view (the view was closed) get theirs again: adding one would
    // make a study no view shows.
    if (!pTrendAnalysisView && !pDesign->GetDefaultStudy()) {
        pDesign->AddStudy();
        return 1;
    }
    if (!pTrendAnalysisView) MakeTrendAnalysisView(false);
    if (!pTrendAnalysisView) return 1;
    if (pDesign->GetDefaultStudyStatus() != 0) pTrendAnalysisView->View();
    else pTrendAnalysisView->View("WizardView");
    return 1;
}

int HIDesignViewerDesign::resetDefaultState(const Text&) {
    if (RefuseUnlockedOperation()) return 0;
    view_commands::busy([&] { pDesign->ResetDefaultState(); });
    return 1;
}

int HIDesignViewerDesign::openDefaultStateView(const Text&) {
    if (!pStateView) {
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        const ObjectTypeInfo* type = registry ? registry->Find(HENStateView::TypeName) : nullptr;
        if (!type) return 0;
        auto* view = new HENStateView(this, type);
        pStateView = view;
        view->AddDeathPostee(this);
        if (IHENState* state = pDesign->GetDefaultState()) {
            view->SetName("Base Case");
            view->SetState(state);
        }
    }
    pStateView->View();
    return 1;
}

int HIDesignViewerDesign::showEventPlannerView(const Text&) {
    SignalBusy(true);
    UserStatusReport(FindString("EnteringOpMode"), 2);
    pDesign->ResetCalculatedValues();
    bOperationsMode = 1;
    UserStatusClear(2);
    if (!pEventPlanner) {
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        if (const ObjectTypeInfo* type = registry ? registry->Find(EventPlanner::TypeName) : nullptr)
            AdoptEventPlanner(new EventPlanner(this, pScenario, type));
    }
    // A planner read back with the case is bound now: it would otherwise refuse every command.
    if (pEventPlanner && pScenario && pEventPlanner->IsA(EventPlanner::TypeName))
        static_cast<EventPlanner*>(pEventPlanner)->Bind(this, pScenario);
    if (pEventPlanner) pEventPlanner->View();
    SignalBusy(false);
    return 1;
}

// The design viewer's what-if children: the "Event Summary" schedule list of a design whose
// operation is locked, the trend-analysis view of its studies, the notices that make and follow
// them (8, 9, 12, 100, 112), and the what-if item selected in the schedule lists.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENSchedule.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

namespace {
constexpr const char* kEventSummaryName = "Event Summary";
}

void HIDesignViewerDesign::MakeEventSummary() {
    if (pEventSummaryView || !pDesign || !pDesign->GetOperationLocked()) return;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    if (!registry || !registry->Find(ScheduleTypeView::TypeName)) return;
    auto* summary = new ScheduleTypeView(this, kEventSummaryName);
    summary->SetEngineeringDesign(pDesign);
    summary->AddDeathPostee(this);
    pEventSummaryView = summary;
    summary->PopulateSchedule();
}

void HIDesignViewerDesign::MakeTrendAnalysisView(bool newStudy) {
    if (pTrendAnalysisView || !pDesign || !pDesign->GetDefaultStudy()) return;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    if (!registry || !registry->Find(TrendAnalysisView::TypeName)) return;
    pTrendAnalysisView = new TrendAnalysisView(this, pDesign, newStudy);
    pTrendAnalysisView->AddDeathPostee(this);
}

bool HIDesignViewerDesign::IsWatchedChild(const Viewable* view) const {
    return view && (view == pEventSummaryView || view == pTrendAnalysisView || view == pStateView ||
                    view == pEventPlanner);
}

void HIDesignViewerDesign::SelectWhatIfItem(Viewable* view) {
    if (!view || view == pSelectedItemView) return;
    // A child the viewer watches for its own slot stays watched.
    if (pSelectedItemView && !IsWatchedChild(pSelectedItemView)) pSelectedItemView->RemoveDeathPostee(this);
    pSelectedItemView = view;
    view->AddDeathPostee(this);
    MakeSelectionCurrent(view);
}

void HIDesignViewerDesign::MakeSelectionCurrent(Viewable* object) {
    Viewable* parent = object ? object->GetParent() : nullptr;
    if (!pDesign || !parent) return;
    if (object->IsA("ScheduleItemViewObject") && parent->IsA("ScheduleTypeViewObject")) {
        pDesign->SelectSchedule(object->GetName().c_str());
    } else if (object->IsA("EventItemViewObject") && parent->GetParent() &&
               parent->GetParent()->IsA("ScheduleTypeViewObject")) {
        pDesign->SelectSchedule(parent->GetName().c_str());
        // The item's engine event names its kind.
        const auto* item = static_cast<const EventItemView*>(object);
        const char* className = EventClassName(item->GetEventTypeIcon());
        if (const char* label = pDesign->FindScheduleEventLabel(className, object->GetName().c_str()))
            pDesign->SelectScheduleEvent(label);
    }
}

bool HIDesignViewerDesign::WhatIfNotice(int code, const CPString& text, void* data) {
    switch (code) {
        case 8:
            if (pCurrentScheduleView && pCurrentScheduleView->IsA(ScheduleTypeView::TypeName))
                static_cast<ScheduleTypeView*>(pCurrentScheduleView)
                    ->AddScheduleItem(text.c_str(), static_cast<IHENSchedule*>(data));
            return true;
        case 9:
            if (pCurrentScheduleView && pCurrentScheduleView->IsA(ScheduleTypeView::TypeName) && data)
                static_cast<ScheduleTypeView*>(pCurrentScheduleView)
                    ->RenameScheduleItem(text.c_str(), static_cast<const char*>(data));
            return true;
        case 12:
            // A design locked after the viewer was bound gets its schedule list now.
            MakeEventSummary();
            pCurrentScheduleView = pEventSummaryView;
            return true;
        case 100: {
            MakeTrendAnalysisView(true);
            if (pTrendAnalysisView) pTrendAnalysisView->View("WizardView");
            return true;
        }
        case 112:
            if (Viewable* trend = pTrendAnalysisView) {
                pTrendAnalysisView = nullptr;
                trend->RemoveDeathPostee(this);
                delete trend;
            }
            return true;
        default:
            return false;
    }
}

// The schedule items of the event summary and the event items under them.
#include "views/design/whatif/ScheduleItemViews.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "eng/design/IHENState.h"
#include "lumeth/CellDomain.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/WhatIfSupport.h"
#include "views/design/EventPlans.h"

#include <algorithm>
#include <cstring>

using whatif::kEmpty;

namespace {

constexpr int kScheduleDestroyed = 11;
constexpr int kEventAdded = 13;
constexpr int kEventDestroyed = 14;
constexpr int kNewValue = 15;
constexpr int kResultsChanged = 118;

// The event kinds 0-7: description, icon, captions of the base and new value.
struct EventKind {
    const char* description;
    const char* icon;
    const char* baseCaption;
    const char* newCaption;
};
constexpr EventKind kKinds[] = {
    {"Clean heat exchanger", "CleanHxIco", MessageKey("BaseHeatTranCoeffValue"), MessageKey("NewHeatTranCoeffValue")},
    {"Change heat exchanger area", "AddAreaHxIco", MessageKey("BaseAreaValue"), MessageKey("NewAreaValue")},
    {"Change heat exchanger shells", "AddShellsHxIco", MessageKey("BaseShellsValue"), MessageKey("NewShellsValue")},
    {"Change splitter flow", "ModifyFlowTeeHxIco", MessageKey("BaseFlowValue"), MessageKey("NewFlowValue")},
    {"Remove exchanger from service", "RemoveHxIco", MessageKey("BaseAreaValue"), MessageKey("NewAreaValue")},
    {"Change observed heat transfer coefficient", "FoulingHxIco", MessageKey("BaseHeatTranCoeffValue"),
     MessageKey("NewHeatTranCoeffValue")},
    {"Change stream mass flowrate", "ModifyFlowStreamHxIco", MessageKey("BaseFlowValue"), MessageKey("NewFlowValue")},
    {"Change stream inlet temperature", "InletTempChangeHxIco", MessageKey("BaseTempValue"),
     MessageKey("NewTempValue")},
};
// Any other code: the flow-rate change's icon and captions.
const EventKind& kindRow(int kind) { return kKinds[kind >= 0 && kind < 8 ? kind : 6]; }

bool isEventItemLink(const Text& asked) { return asked == EventItemView::TypeName || asked == "EventItemView"; }

// Exchanger values of the state table by variable number.
const char* exchangerValueName(int number) {
    switch (number) {
        case 321: return "HotInletTemperature";
        case 322: return "HotOutletTemperature";
        case 323: return "ColdInletTemperature";
        case 324: return "ColdOutletTemperature";
        case 325: return "OverallHTC";
        case 328: return "Duty";
        case 329: return "HTArea";
        case 330: return "NShellsInSeries";
        default: return nullptr;
    }
}

}  // namespace

int EventKindOfDescription(const char* description) {
    for (int k = 0; description && k < 8; ++k)
        if (std::strcmp(description, kKinds[k].description) == 0) return k;
    return 0;
}

int FilterCriterionOfKind(int kind) {
    static constexpr int kCriterion[] = {0, 2, 3, 5, 1, 4, 6, 7};
    return kind >= 0 && kind < 8 ? kCriterion[kind] : -1;
}

// ---------------------------------------------------------------- event item

EventItemView::EventItemView(Viewable* parent, const Text& name) : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
}

EventItemView::~EventItemView() { Unbind(); }

void EventItemView::Unbind() {
    if (pEvent) pEvent->RemoveNotificationReceiver(this);
    pEvent = nullptr;
}

void EventItemView::SetEngineeringEvent(IHENEvent* event) {
    Unbind();
    pEvent = event;
    if (event && event->AddNotificationReceiver(this)) {
        event->AddValidMessage(this, kEventDestroyed);
        event->AddValidMessage(this, kNewValue);
    }
}

void EventItemView::SetEventTypeIcon(int kind) {
    if (pEvent) pEvent->SetEventTypeIcon(kind);
}

int EventItemView::GetEventTypeIcon() const { return pEvent ? pEvent->GetEventTypeIcon() : -32767; }

ScheduleItemView* EventItemView::Parent() const {
    Viewable* parent = GetParent();
    return parent && parent->IsA(ScheduleItemView::TypeName) ? static_cast<ScheduleItemView*>(parent) : nullptr;
}

void EventItemView::SetSelectedObject(Viewable* view) {
    if (ScheduleItemView* parent = Parent()) parent->SetSelectedObject(view);
}

void EventItemView::NotifyChange(int code, const CPString&, void*) {
    if (code == kNewValue) {
        if (ScheduleItemView* parent = Parent()) parent->SetSelectedObject(parent);
        return;
    }
    if (code != kEventDestroyed) return;
    // The event is going away and its item with it; nothing of this view is touched after.
    Unbind();
    delete this;
}

void EventItemView::LoadVariables(FormDescription& form) {
    form.Add({"ObjectStatus.300", FormHook::Value, 100, false, 0});
    form.Add({"ExtraData.357", FormHook::Value, 1519, false, 0});
    form.Add({"ExtraData.358", FormHook::Value, 1519, true, 0});
    // The value's domain is the event's own, which the design checks with the event's word (a
    // coefficient, an area, an inlet against its stream's target): the cell itself takes any
    // number and hands it on.
    form.SetDomain("ExtraData.358", CellDomain::Any());
    form.SetRefusals("ExtraData.358", "HTCoeffUpdateError AreaInputError ShellsInputError CannotAcceptThisPercentValue "
                                      "FlowRateUpdateError TemperatureUpdateError HotStreamInletTemperatureUpdateError "
                                      "ColdStreamInletTemperatureUpdateError");
    for (int n : {355, 356, 806, 807, 808, 809}) form.Add({FormattedText("ExtraData.%d", n), FormHook::Text, 1519, false, 0});
}

double EventItemView::Value(const VarDescription& var) {
    if (var.Number() == 300 && var.VariableIs("ObjectStatus"))
        return pEvent ? whatif::IconNumber(kindRow(pEvent->GetEventTypeIcon()).icon) : kEmpty;
    if (var.Type() == 1519 && var.Number() == 357) return pEvent ? pEvent->GetBaseValue() : kEmpty;
    if (var.Type() == 1519 && var.Number() == 358) return pEvent ? pEvent->GetNewValue() : kEmpty;
    return Viewable::Value(var);
}

int EventItemView::Specify(const VarDescription& var, double value) {
    if (var.Type() == 1519 && var.Number() == 358) {
        if (!pEvent) return 0;
        // The design's own domain of the event's value, as the design viewer's write has it (an
        // inlet that would turn its stream round included).
        ScheduleItemView* item = Parent();
        ScheduleTypeView* summary = item ? item->Parent() : nullptr;
        const IHENDesign* design = summary ? summary->GetDesign() : nullptr;
        if (value != EmptyValue) {
            const char* refused = design ? design->GetEventValueRefusal(pEvent, value)
                                         : HENEventValueRefusal(pEvent->GetVariableName(), value);
            if (refused)
                return event_tasks::ShowValueRefusal(refused, pEvent->GetVariableName(), value, design, pEvent->GetTargetName()),
                       0;
        }
        // The event stores it and reports code 15, which selects this item's schedule.
        pEvent->SetNewValue(value);
        return 1;
    }
    return var.Type() == 1519 ? Viewable::Specify(var, value) : 0;
}

Text EventItemView::TextValue(const VarDescription& var) {
    if (var.Type() != 1519) return Viewable::TextValue(var);
    const EventKind& kind = kindRow(pEvent ? pEvent->GetEventTypeIcon() : -32767);
    switch (var.Number()) {
        case 355: return pEvent && pEvent->GetDescription() ? Text(pEvent->GetDescription()) : Text();
        case 356: return pEvent && pEvent->GetTargetName() ? Text(pEvent->GetTargetName()) : Text();
        case 806: return FindString("ChangetoAnalyse");
        case 807: return FindString("UnittoExamine");
        case 808: return FindString(kind.baseCaption);
        case 809: return FindString(kind.newCaption);
        default: return Viewable::TextValue(var);
    }
}

void EventItemView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (var.Type() == 1519 && var.Number() == 358) {
        state = ModifiableState;
        return;
    }
    if (var.Type() == 1519 && (var.Number() == 357 || var.Number() == 355 || var.Number() == 356)) {
        state = ReadOnlyState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}

int EventItemView::GetEDVarType(const VarDescription& var) {
    // The base and new value are shown in the event's own quantity.
    if (var.Type() == 1519 && (var.Number() == 357 || var.Number() == 358)) return pEvent ? pEvent->GetValueType() : 4;
    return Viewable::GetEDVarType(var);
}

// ---------------------------------------------------------------- schedule item

ScheduleItemView::ScheduleItemView(Viewable* parent, const Text& name) : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
}

ScheduleItemView::~ScheduleItemView() {
    Unbind();
    std::vector<EventItemView*> items;
    items.swap(lstEventItems);
    for (EventItemView* item : items) {
        item->RemoveDeathPostee(this);
        delete item;
    }
}

void ScheduleItemView::Unbind() {
    if (pSchedule) pSchedule->RemoveNotificationReceiver(this);
    pSchedule = nullptr;
    pState = nullptr;
}

void ScheduleItemView::SetEngineeringSchedule(IHENSchedule* schedule) {
    Unbind();
    pSchedule = schedule;
    if (!schedule) return;
    if (schedule->AddNotificationReceiver(this))
        for (int code : {kScheduleDestroyed, kEventAdded, kResultsChanged}) schedule->AddValidMessage(this, code);
    pState = schedule->GetState();
}

EventItemView* ScheduleItemView::AddEventItem(const Text& name, IHENEvent* event, int kind) {
    auto* item = new EventItemView(this, name);
    item->AddDeathPostee(this);
    item->SetEngineeringEvent(event);
    item->SetEventTypeIcon(kind);
    lstEventItems.push_back(item);
    return item;
}

void ScheduleItemView::PopulateEvent() {
    for (int i = 0; pSchedule && i < pSchedule->GetNumberOfEvents(); ++i) {
        IHENEvent* event = pSchedule->GetEvent(i);
        if (!event) continue;
        AddEventItem(event->GetTargetName() ? event->GetTargetName() : "", event, EventKindOfDescription(event->GetDescription()));
    }
}

bool ScheduleItemView::CheckFilterCriteria(const EventFilter& filter, const ScheduleItemView& item) {
    const int status = item.pSchedule ? item.pSchedule->GetStatus() : 0;
    if (filter.convergedOnly && status != 1) return false;
    if (filter.convergedOnly && !filter.byKind) return true;
    if (!filter.byKind) return false;
    for (const EventItemView* event : item.lstEventItems) {
        const int criterion = FilterCriterionOfKind(event->GetEventTypeIcon());
        if (criterion >= 0 && filter.criteria[criterion] != 0) return true;
    }
    return false;
}

bool ScheduleItemView::IsEventFilterCriteriaOK(const EventFilter& filter) const { return CheckFilterCriteria(filter, *this); }

ScheduleTypeView* ScheduleItemView::Parent() const {
    Viewable* parent = GetParent();
    return parent && parent->IsA(ScheduleTypeView::TypeName) ? static_cast<ScheduleTypeView*>(parent) : nullptr;
}

void ScheduleItemView::SetSelectedObject(Viewable* view) {
    if (!view || !(view->IsA(TypeName) || view->IsA(EventItemView::TypeName))) return;
    if (ScheduleTypeView* parent = Parent()) parent->SetSelectedObject(view);
}

void ScheduleItemView::NotifyChange(int code, const CPString& text, void* data) {
    switch (code) {
        case kScheduleDestroyed:
            // The schedule is going away and its item with it; the list drops it.
            Unbind();
            delete this;
            return;
        case kEventAdded: {
            if (!data) return;
            auto* event = static_cast<IHENEvent*>(data);
            // The kind the user chose in the design viewer; without one, the event's description.
            ScheduleTypeView* parent = Parent();
            HIDesignViewerDesign* viewer = parent ? parent->Parent() : nullptr;
            const int chosen = viewer ? viewer->nEventKind : -32767;
            const int kind = chosen >= 0 && chosen < 8 ? chosen : EventKindOfDescription(event->GetDescription());
            EventItemView* item = AddEventItem(text.c_str(), event, kind);
            if (parent) parent->ApplyEventFilterCriteria();
            SetSelectedObject(item);
            return;
        }
        case kResultsChanged:
            if (ScheduleTypeView* parent = Parent()) parent->ApplyEventFilterCriteria();
            return;
        default:
            return;
    }
}

void ScheduleItemView::DisconnectDeadObject(Viewable* dead) {
    auto it = std::find(lstEventItems.begin(), lstEventItems.end(), static_cast<const void*>(dead));
    if (it != lstEventItems.end()) {
        lstEventItems.erase(it);
        SetSelectedObject(this);
    }
    Viewable::DisconnectDeadObject(dead);
}

void ScheduleItemView::LoadVariables(FormDescription& form) {
    form.Add({"ObjectStatus.300", FormHook::Value, 100, false, 0});
    for (int n : {301, 302, 303}) form.Add({FormattedText("Temperature.%d", n), FormHook::Value, 1, false, 1});
    form.Add({"HeatFlow.311", FormHook::Value, 6, false, 1});
    form.Add({"CostPerTime.312", FormHook::Value, 31001, false, 1});
    form.Add({"CostPerTime.313", FormHook::Value, 31001, false, 0});
    for (int n : {321, 322, 323, 324}) form.Add({FormattedText("Temperature.%d", n), FormHook::Value, 1, false, 1});
    form.Add({"HeatTransferCoeff.325", FormHook::Value, 1524, false, 1});
    form.Add({"HeatFlow.328", FormHook::Value, 6, false, 1});
    form.Add({"Area.329", FormHook::Value, 1508, false, 1});
    form.Add({"ExtraData.330", FormHook::Value, 1519, false, 1});
    form.Add({"ExtraData.341", FormHook::Value, 1519, false, 1});
    form.Add({"ExtraData.342", FormHook::Value, 1519, false, 2});
    for (int n : {300, 310, 320, 340}) form.Add({FormattedText("ExtraData.%d", n), FormHook::Text, 1519, false, 1});
    form.Add({"EventItemView.301", FormHook::Object, 0, false, 1});
}

double ScheduleItemView::Value(const VarDescription& var) {
    const int type = var.Type(), n = var.Number(), i = var.Offset(0);
    if (n == 300 && var.VariableIs("ObjectStatus")) {
        if (!pSchedule) return kEmpty;
        const int status = pSchedule->GetStatus();
        return whatif::IconNumber(status == 1 ? "EventExecutedConvIco" : status == 2 ? "EventExecutedNonConvIco" : "EventNonExecutedIco");
    }
    const bool known = (type == 1 && ((n >= 301 && n <= 303) || (n >= 321 && n <= 324))) || (type == 6 && (n == 311 || n == 328)) ||
                       (type == 31001 && (n == 312 || n == 313)) || (type == 1524 && n == 325) || (type == 1508 && n == 329) ||
                       (type == 1519 && (n == 330 || n == 341 || n == 342));
    if (!known) return Viewable::Value(var);
    // Figures of a schedule not run since it or the plant under it changed are no results.
    if (!pSchedule || !pState || pSchedule->GetStatus() == 0) return kEmpty;
    const IHENState& s = *pState;
    if (const char* name = exchangerValueName(n)) {
        if (i < 0 || i >= s.GetNumberOfHeatExchangers()) return kEmpty;
        double out = kEmpty;
        s.GetHeatExchangerValue(i, name, out);
        return out;
    }
    switch (n) {
        case 301: return i >= 0 && i < s.GetNumberOfStreams() ? s.GetStreamSupplyTemperature(i) : kEmpty;
        case 302: return i >= 0 && i < s.GetNumberOfStreams() ? s.GetStreamTargetTemperature(i) : kEmpty;
        case 303: return i >= 0 && i < s.GetNumberOfStreams() ? s.GetStreamOutletTemperature(i) : kEmpty;
        case 311: return i >= 0 && i < s.GetNumberOfUtilities() ? s.GetUtilityDuty(i) : kEmpty;
        case 312: return i >= 0 && i < s.GetNumberOfUtilities() ? s.GetUtilityCost(i) : kEmpty;
        case 313: return s.GetTotalUtilityCost();
        case 341: return i >= 0 && i < s.GetNumberOfSplitters() ? s.GetNumberOfBranches(i) : kEmpty;
        case 342: {
            const int j = var.Offset(1);
            if (i < 0 || i >= s.GetNumberOfSplitters() || j < 0 || j >= s.GetNumberOfBranches(i)) return kEmpty;
            return s.GetBranchFraction(i, j);
        }
        default: return kEmpty;
    }
}

Text ScheduleItemView::TextValue(const VarDescription& var) {
    if (var.Type() != 1519) return pState ? Text() : Viewable::TextValue(var);
    const int i = var.Offset(0);
    const IHENState* s = pState;
    const char* name = nullptr;
    switch (var.Number()) {
        case 300: name = s && i >= 0 && i < s->GetNumberOfStreams() ? s->GetStreamName(i) : nullptr; break;
        case 310: name = s && i >= 0 && i < s->GetNumberOfUtilities() ? s->GetUtilityName(i) : nullptr; break;
        case 320: name = s && i >= 0 && i < s->GetNumberOfHeatExchangers() ? s->GetHeatExchangerName(i) : nullptr; break;
        case 340: name = s && i >= 0 && i < s->GetNumberOfSplitters() ? s->GetSplitterName(i) : nullptr; break;
        default: return Viewable::TextValue(var);
    }
    return name ? Text(name) : Text();
}

int ScheduleItemView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (var.IsObjectLink() && isEventItemLink(var.ObjectType()) && (var.Number() == 300 || var.Number() == 301)) {
        dims.AddDim(static_cast<int>(lstEventItems.size()));
        return 1;
    }
    const int type = var.Type(), n = var.Number();
    const IHENState* s = pState;
    const int streams = s ? s->GetNumberOfStreams() : 0, utilities = s ? s->GetNumberOfUtilities() : 0;
    const int exchangers = s ? s->GetNumberOfHeatExchangers() : 0, splitters = s ? s->GetNumberOfSplitters() : 0;
    int count = -1;
    if ((type == 1519 && n == 300) || (type == 1 && n >= 301 && n <= 303)) count = streams;
    else if ((type == 1519 && n == 310) || (type == 6 && n == 311) || (type == 31001 && n == 312)) count = utilities;
    else if (type == 31001 && n == 313) count = 1;
    else if ((type == 1519 && (n == 320 || n == 330)) || (type == 1 && n >= 321 && n <= 324) || (type == 1524 && n == 325) ||
             (type == 6 && n == 328) || (type == 1508 && n == 329))
        count = exchangers;
    else if (type == 1519 && (n == 340 || n == 341)) count = splitters;
    if (type == 1519 && n == 342) {
        dims.AddDim(splitters);
        const int i = var.Offset(0);
        dims.AddDim(s && i >= 0 && i < splitters ? s->GetNumberOfBranches(i) : 0);
        return 2;
    }
    if (count < 0) return Viewable::Dimensions(var, dims);
    dims.AddDim(count);
    return 1;
}

void ScheduleItemView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    DimInfo dims;
    const bool listed = var.Type() != 0 && !var.IsObjectLink() && Dimensions(var, dims) > 0;
    if (listed || (var.Number() == 300 && var.VariableIs("ObjectStatus"))) {
        state = ReadOnlyState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}

int ScheduleItemView::GetEDVarType(const VarDescription& var) {
    if (var.Number() == 300 && var.VariableIs("ObjectStatus")) return 100;
    return var.Type() != 0 ? var.Type() : Viewable::GetEDVarType(var);
}

Viewable* ScheduleItemView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink() || !isEventItemLink(var.ObjectType()) || var.Number() != 301)
        return Viewable::AttachedObject(var);
    const int i = var.Offset(0);
    Viewable* found = i >= 0 && i < static_cast<int>(lstEventItems.size()) ? lstEventItems[static_cast<std::size_t>(i)] : nullptr;
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

Text ScheduleItemView::AttachedName(const Viewable* child) const {
    for (std::size_t i = 0; i < lstEventItems.size(); ++i)
        if (lstEventItems[i] == child)
            return FormattedText("EventItemView.301.%zu(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
    return Viewable::AttachedName(child);
}

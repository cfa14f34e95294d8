// The event nodes of a study: a cleaning and a flow change, each moved in time through its
// time-point choice, and gone with its event.
#include "views/design/whatif/StudyEventNodeViews.h"

#include "eng/design/IHENEvent.h"
#include "eng/design/IHENTrend.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/WhatIfSupport.h"
#include "views/design/EventPlans.h"

#include <cmath>
#include <string>

using whatif::kEmpty;

namespace {

constexpr int kCleaningDestroyed = 105;
constexpr int kCleaningChanged = 106;
constexpr int kFlowChangeDestroyed = 109;
constexpr int kFlowChangeMoved = 110;

struct CaptionKey {
    int number;
    const char* key;
};
constexpr CaptionKey kCleaningCaptions[] = {{803, MessageKey("SelectExchangerforCleaning")},
                                            {804, MessageKey("RemoveExchangeratTime")},
                                            {805, MessageKey("PutbackServiceatTime")},
                                            {806, MessageKey("RemoveTaskWarning")}};
constexpr CaptionKey kFlowCaptions[] = {{806, MessageKey("RemoveTaskWarning")},
                                        {807, MessageKey("SelectProcessStream")},
                                        {808, MessageKey("ChangeFlowrateatTime")},
                                        {809, MessageKey("NewValuefortheFlowrate")}};

template <std::size_t N>
const char* captionKey(const CaptionKey (&table)[N], const VarDescription& var) {
    if (var.Type() != 1519) return nullptr;
    for (const CaptionKey& c : table)
        if (c.number == var.Number()) return c.key;
    return nullptr;
}

StudyNodeView* studyNodeOf(const Viewable* view) {
    Viewable* parent = view->GetParent();
    return parent && parent->IsA(StudyNodeView::TypeName) ? static_cast<StudyNodeView*>(parent) : nullptr;
}

// The parent study node's choice of time points of that number, copied so that this node may
// hide entries of its own.
VarEnumInfo* copyParentChoice(Viewable& node, const VariableNameInfo& name, std::unique_ptr<VarEnumInfo>& copy) {
    StudyNodeView* parent = studyNodeOf(&node);
    VarEnumInfo* points = parent ? parent->GetEnumInfo(name) : nullptr;
    if (!points) return nullptr;
    copy = std::make_unique<VarEnumInfo>(*points);
    return copy.get();
}

}  // namespace

// ---------------------------------------------------------------- cleaning

EventNodeView::EventNodeView(Viewable* parent, const Text& name) : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
}

EventNodeView::~EventNodeView() { Unbind(); }

void EventNodeView::Unbind() {
    if (pEvent) pEvent->RemoveNotificationReceiver(this);
    pEvent = nullptr;
}

void EventNodeView::SetEngineeringEvent(IHENTrendCleanExchEvent* event) {
    Unbind();
    pEvent = event;
    if (event && event->AddNotificationReceiver(this)) {
        event->AddValidMessage(this, kCleaningDestroyed);
        event->AddValidMessage(this, kCleaningChanged);
    }
}

StudyNodeView* EventNodeView::Parent() const { return studyNodeOf(this); }

void EventNodeView::SetSelectedObject(Viewable* view) {
    if (StudyNodeView* parent = Parent()) parent->SetSelectedObject(view);
}

void EventNodeView::NotifyChange(int code, const CPString&, void*) {
    if (code != kCleaningDestroyed) return;
    // The event is going away and its node with it; nothing of this view is touched after.
    Unbind();
    delete this;
}

const ViewForm<EventNodeView>& EventNodeView::Form() {
    using V = EventNodeView;
    static const ViewForm<V> form{
        {{"ObjectStatus.300", FormHook::Value, 100, false, 0}, &V::Status},
        {{"Enum.391", FormHook::Value, 105, true, 0}, &V::Point, &V::SetPoint},
        {{"Enum.392", FormHook::Value, 105, true, 0}, &V::Point, &V::SetPoint},
        {{"ExtraData.302", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::Exchanger},
    };
    return form;
}

void EventNodeView::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const CaptionKey& c : kCleaningCaptions)
        form.Add({FormattedText("ExtraData.%d", c.number), FormHook::Text, 1519, false, 0});
    form.AddCommand("RemoveEventFromStudy");
}

double EventNodeView::Status(const VarDescription&) { return whatif::IconNumber("CleanHxIco"); }

double EventNodeView::Point(const VarDescription& var) {
    return var.Number() == 391 ? pEvent->GetStartingPoint() : pEvent->GetEndingPoint();
}

int EventNodeView::SetPoint(const VarDescription& var, double value) {
    const int point = static_cast<int>(value);
    // The study moves the cleaning or refuses the move ("WrongRangeForEvent", shown by the study):
    // the answer says which, and the node keeps the point the cleaning has.
    if (var.Number() == 391) {
        if (point == pEvent->GetStartingPoint()) return 1;
        pEvent->SetStartingPoint(point);
        nStartingPoint = pEvent->GetStartingPoint();
        return nStartingPoint == point ? 1 : 0;
    }
    if (point == pEvent->GetEndingPoint()) return 1;
    pEvent->SetEndingPoint(point);
    nEndingPoint = pEvent->GetEndingPoint();
    return nEndingPoint == point ? 1 : 0;
}

Text EventNodeView::Exchanger(const VarDescription&) { return pEvent->GetHeatExchangerName(); }

double EventNodeView::Value(const VarDescription& var) {
    double out = kEmpty;
    if (!Form().Find(var)) return Viewable::Value(var);
    if (!pEvent) return kEmpty;
    Form().Value(*this, var, out);
    return out;
}

int EventNodeView::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!Form().Find(var)) return Viewable::Specify(var, value);
    if (!pEvent || var.Type() != 105 || !std::isfinite(value)) return 0;
    Form().Specify(*this, var, value, result);
    return result;
}

Text EventNodeView::TextValue(const VarDescription& var) {
    if (const char* key = captionKey(kCleaningCaptions, var)) return FindString(key);
    Text out;
    if (!Form().Find(var)) return Viewable::TextValue(var);
    if (!pEvent || var.Type() != 1519) return Text();
    Form().TextValue(*this, var, out);
    return out;
}

void EventNodeView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (captionKey(kCleaningCaptions, var)) {
        state = ReadOnlyState;
        return;
    }
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int EventNodeView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    if (captionKey(kCleaningCaptions, var)) return 1519;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

VarEnumInfo* EventNodeView::GetEnumInfo(const VariableNameInfo& name) {
    const VarDescription& var = name.Var();
    if (var.Type() != 105 || (var.Number() != 391 && var.Number() != 392) || !pEvent) return Viewable::GetEnumInfo(name);
    VarEnumInfo* choice = copyParentChoice(*this, name, pChoice);
    if (!choice) return Viewable::GetEnumInfo(name);
    // The cleaning starts no later than it ends.
    for (int i = 0; i < choice->NumberOfEntries(); ++i) {
        const double point = choice->GetEntry(i)->value;
        const bool hidden = var.Number() == 391 ? point > pEvent->GetEndingPoint() : point < pEvent->GetStartingPoint();
        if (hidden) choice->FindAndHideEntry(point);
    }
    return choice;
}

int EventNodeView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (word != "RemoveEventFromStudy") return Viewable::Message(line);
    // The study deletes its selected event: this node's own is selected first, whichever the tree
    // selected last. The node goes with its event: nothing of this view is touched after.
    StudyNodeView* parent = Parent();
    IHENTrend* study = parent ? parent->GetStudy() : nullptr;
    if (!study || !pEvent || !study->SelectCleanExchEvent(CPString(pEvent->GetName()))) return 0;
    return SendViewableMessage(parent, "RemoveSelectedEventFromStudy");
}

// ---------------------------------------------------------------- flow change

SpecialEventNodeView::SpecialEventNodeView(Viewable* parent, const Text& name)
    : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
}

SpecialEventNodeView::~SpecialEventNodeView() { Unbind(); }

void SpecialEventNodeView::Unbind() {
    if (pEvent) pEvent->RemoveNotificationReceiver(this);
    pEvent = nullptr;
}

void SpecialEventNodeView::SetEngineeringEvent(IHENTrendSpecialEvent* event) {
    Unbind();
    pEvent = event;
    if (event && event->AddNotificationReceiver(this)) {
        event->AddValidMessage(this, kFlowChangeDestroyed);
        event->AddValidMessage(this, kFlowChangeMoved);
    }
}

StudyNodeView* SpecialEventNodeView::Parent() const { return studyNodeOf(this); }

void SpecialEventNodeView::SetSelectedObject(Viewable* view) {
    if (StudyNodeView* parent = Parent()) parent->SetSelectedObject(view);
}

void SpecialEventNodeView::NotifyChange(int code, const CPString&, void*) {
    if (code == kFlowChangeMoved) {
        if (StudyNodeView* parent = Parent()) parent->SetSelectedObject(parent);
        return;
    }
    if (code != kFlowChangeDestroyed) return;
    Unbind();
    delete this;
}

const ViewForm<SpecialEventNodeView>& SpecialEventNodeView::Form() {
    using V = SpecialEventNodeView;
    static const ViewForm<V> form{
        {{"ObjectStatus.300", FormHook::Value, 100, false, 0}, &V::Status},
        {{"Enum.393", FormHook::Value, 105, true, 0}, &V::Point, &V::SetPoint},
        {{"Index.393", FormHook::Value, 100, false, 0}, &V::Point},
        {{"MassFlow.394", FormHook::Value, 4, true, 0}, &V::NewFlow, &V::SetNewFlow},
        {{"ExtraData.303", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::Stream},
    };
    return form;
}

void SpecialEventNodeView::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    form.SetRefusals("MassFlow.394", "FlowRateUpdateError");
    for (const CaptionKey& c : kFlowCaptions)
        form.Add({FormattedText("ExtraData.%d", c.number), FormHook::Text, 1519, false, 0});
}

double SpecialEventNodeView::Status(const VarDescription&) { return whatif::IconNumber("ModifyFlowStreamHxIco"); }

double SpecialEventNodeView::Point(const VarDescription&) { return pEvent->GetTimePoint(); }

int SpecialEventNodeView::SetPoint(const VarDescription&, double value) {
    const int point = static_cast<int>(value);
    if (point == pEvent->GetTimePoint()) return 1;
    // The study moves the flow change, or refuses a point before its first or past its last, or
    // one where the stream already changes flow: the answer says which, and the node keeps the
    // point the flow change has.
    if (point >= 1) pEvent->SetTimePoint(point);
    nTimePoint = pEvent->GetTimePoint();
    if (nTimePoint == point) return 1;
    const StudyNodeView* study = Parent();
    const int last = study ? study->GetNumberOfIntervalsInStudy() : 0;
    if (point >= 1 && point <= last) ErrorMsg("StreamsHaveFlowChange", Text(pEvent->GetStreamName()));
    else ErrorMsg("FlowChangePointOutsideStudy", Text(std::to_string(last)));
    return 0;
}

double SpecialEventNodeView::NewFlow(const VarDescription&) { return pEvent->GetNewValue(); }

int SpecialEventNodeView::SetNewFlow(const VarDescription&, double value) {
    const StudyNodeView* study = Parent();
    IHENTrend* trend = study ? study->GetStudy() : nullptr;
    if (const char* refused = trend ? trend->GetFlowChangeRefusal(pEvent->GetStreamName(), value)
                                    : HENEventValueRefusal("MassFlow", value)) {
        event_tasks::ShowValueRefusal(refused, "MassFlow", value);
        return 0;
    }
    dNewFlow = value;
    // The study takes the new flow and writes it into the events of its time points.
    pEvent->SetNewValue(value);
    return 1;
}

Text SpecialEventNodeView::Stream(const VarDescription&) { return pEvent->GetStreamName(); }

double SpecialEventNodeView::Value(const VarDescription& var) {
    double out = kEmpty;
    if (!Form().Find(var)) return Viewable::Value(var);
    if (!pEvent) return kEmpty;
    Form().Value(*this, var, out);
    return out;
}

int SpecialEventNodeView::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!Form().Find(var)) return Viewable::Specify(var, value);
    if (!pEvent || !std::isfinite(value)) return 0;
    Form().Specify(*this, var, value, result);
    return result;
}

Text SpecialEventNodeView::TextValue(const VarDescription& var) {
    if (const char* key = captionKey(kFlowCaptions, var)) return FindString(key);
    Text out;
    if (!Form().Find(var)) return Viewable::TextValue(var);
    if (!pEvent || var.Type() != 1519) return Text();
    Form().TextValue(*this, var, out);
    return out;
}

void SpecialEventNodeView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (captionKey(kFlowCaptions, var)) {
        state = ReadOnlyState;
        return;
    }
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int SpecialEventNodeView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    if (captionKey(kFlowCaptions, var)) return 1519;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

VarEnumInfo* SpecialEventNodeView::GetEnumInfo(const VariableNameInfo& name) {
    const VarDescription& var = name.Var();
    if (var.Type() != 105 || var.Number() != 393) return Viewable::GetEnumInfo(name);
    VarEnumInfo* choice = copyParentChoice(*this, name, pChoice);
    if (!choice) return Viewable::GetEnumInfo(name);
    // Point 0 is the reference: a flow change starts after it.
    choice->FindAndHideEntry(0);
    return choice;
}

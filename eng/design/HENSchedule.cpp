// Operating schedules: their events, the current event, and the targets each event kind offers.
#include "eng/design/HENSchedule.h"

#include "eng/design/HENEvent.h"
#include "eng/core/Registries.h"
#include "lumeth/MessageKey.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr const char* kAddFailed = MessageKey("EventAddFailed");

// Which records an event kind acts on.
enum class Targets { None, Exchangers, Branches, Streams };

Targets targetsOf(const char* typeName) {
    switch (HENEvent::KindIndexOf(typeName)) {
    case 0: case 1: case 2: case 4: case 5: return Targets::Exchangers;
    case 3: return Targets::Branches;
    case 6: case 7: return Targets::Streams;
    default: return Targets::None;
    }
}

// The record of a state an event of the type acts on.
BasicStateStruct* targetIn(const HENState& state, const char* typeName, const char* targetName) {
    switch (targetsOf(typeName)) {
    case Targets::Exchangers: return state.FindHeatExchanger(targetName);
    case Targets::Branches: return state.FindSplitterOf(targetName);
    case Targets::Streams: return state.FindStream(targetName);
    default: return nullptr;
    }
}
}  // namespace

HENSchedule::HENSchedule(const CPString& name, const HENState& state)
    : m_state(std::make_unique<HENState>(state)), m_name(name) {}

HENSchedule::HENSchedule(const HENSchedule& other)
    : IHENSchedule(other), NotificationSender(), m_state(std::make_unique<HENState>(*other.m_state)),
      m_name(other.m_name) {
    for (const HENEvent* source : other.m_events) {
        HENEvent* event = HENEvent::Create(source->GetTypeName(), source->GetTargetName());
        if (!event) continue;
        event->SetBaseValue(source->GetBaseValue());
        event->SetNewValue(source->GetNewValue());
        event->SetTargetName(source->GetTargetName());
        m_events.push_back(event);
    }
}

HENSchedule::~HENSchedule() {
    m_current = nullptr;
    for (HENEvent* event : m_events) {
        event->RemoveNotificationReceiver(this);
        delete event;
    }
    m_events.clear();
    m_state.reset();
    SendAMessage(CodeDestroyed, CPString(), this);
}

void HENSchedule::SetCurrentEventNewValue(double value) {
    // A value no unit or stream can carry out is refused as a whole: the event and the
    // schedule's results stay as they were.
    if (m_current && HENEventValueRefusal(m_current->GetVariableName(), value)) return;
    if (m_current) m_current->SetNewValue(value);
    m_state->ResetStatus();
    SendAMessage(CodeInvalidated, CPString(), this);
}

const char* HENSchedule::AddEvent(const char* typeName, const char* targetName) {
    if (!typeName || !targetName || FindEvent(typeName, targetName)) return kAddFailed;
    // An event needs a record to act on: a target the state does not hold is refused.
    BasicStateStruct* record = FindCandidateTarget(typeName, targetName);
    if (!record) return kAddFailed;
    if (targetsOf(typeName) == Targets::Branches) {
        const auto* split = dynamic_cast<SplitStateStruct*>(record);
        const int branch = SplitStateStruct::GetBranchIndexFromName(targetName);
        if (!split || branch < 0 || branch >= static_cast<int>(split->fractions.size()) - 1) return kAddFailed;
    }
    // A heater's or cooler's size is a result: the end utility closes its stream whatever the
    // area or shells, so an area set on it (changed, or taken out of service) would break the
    // balance, and a shell more would change nothing the run shows.
    const int kind = HENEvent::KindIndexOf(typeName);
    if (kind == 1 || kind == 2 || kind == 4) {
        const auto* x = dynamic_cast<HeatExchStateStruct*>(record);
        if (x && x->IsUtilityExchanger()) return kAddFailed;
    }
    // A stream no unit of the network stands on (one added while the network is locked): no
    // event of any kind on it changes anything the run shows.
    if (const auto* s = dynamic_cast<StreamStateStruct*>(record); s && !s->served) return kAddFailed;
    // A cleaning takes the fouling resistance off the observed coefficient; a resistance at or
    // above 1/U would leave an infinite or negative coefficient.
    if (HENEvent::KindIndexOf(typeName) == 0) {
        const auto* x = dynamic_cast<HeatExchStateStruct*>(record);
        double u = 0.0, rf = 0.0;
        if (x && x->GetValue("ObservedHTC", u) && x->GetValue("HXFoulingFactor", rf) && u > 1e-8 && rf > 0.0 &&
            rf >= 1.0 / u)
            return kAddFailed;
    }
    HENEvent* event = HENEvent::Create(typeName, targetName);
    if (!event) return kAddFailed;
    event->InitialiseFromTarget(*record);
    // A target with no value of the event's variable (a stream added while the network is locked,
    // which no unit of the locked network serves) has nothing the event could change.
    const double base = event->GetBaseValue();
    if (!std::isfinite(base) || base == -32767.0) {
        delete event;
        return kAddFailed;
    }
    AppendEvent(event);
    return nullptr;
}

void HENSchedule::AppendEvent(HENEvent* event) {
    if (!event) return;
    event->AddNotificationReceiver(this);
    event->AddValidMessage(this, IHENEvent::CodeNewValue);
    m_events.push_back(event);
    m_current = event;
    m_state->ResetStatus();
    SendAMessage(CodeEventAdded, CPString(event->GetTargetName()), event);
}

void HENSchedule::RenameTarget(const CPString& oldName, const CPString& newName, bool stream) {
    if (stream) m_state->RenameStream(oldName, newName);
    else m_state->RenameUnit(oldName, newName);
    const CPString branch = oldName + " Branch ";
    for (HENEvent* e : m_events) {
        const Targets targets = targetsOf(e->GetTypeName());
        const CPString target = e->GetTargetName();
        if (target == oldName && targets == (stream ? Targets::Streams : Targets::Exchangers))
            e->SetTargetName(newName);
        else if (!stream && targets == Targets::Branches && target.compare(0, branch.size(), branch) == 0)
            e->SetTargetName(newName + target.substr(oldName.size()));
    }
}

void HENSchedule::FollowPlant(const HENState* before, const HENState& now) {
    for (HENEvent* e : m_events)
        e->FollowPlant(before ? targetIn(*before, e->GetTypeName(), e->GetTargetName()) : nullptr,
                       targetIn(now, e->GetTypeName(), e->GetTargetName()));
}

HENSchedule::Kept HENSchedule::Keep() const {
    Kept kept;
    kept.state = std::make_unique<HENState>();
    kept.state->TakeRecordsOf(*m_state);
    kept.events.reserve(m_events.size());
    for (const HENEvent* e : m_events) kept.events.emplace_back(e->GetBaseValue(), e->GetNewValue());
    return kept;
}

void HENSchedule::GiveBack(const Kept& kept) {
    if (kept.state) m_state->TakeRecordsOf(*kept.state);
    if (kept.events.size() != m_events.size()) return;
    for (std::size_t i = 0; i < m_events.size(); ++i) m_events[i]->GiveBackValues(kept.events[i].first, kept.events[i].second);
}

HENEvent* HENSchedule::FindEvent(const char* typeName, const char* targetName) const {
    if (!typeName || !targetName) return nullptr;
    for (HENEvent* e : m_events)
        if (std::strcmp(e->GetTypeName(), typeName) == 0 && std::strcmp(e->GetTargetName(), targetName) == 0) return e;
    return nullptr;
}

const char* HENSchedule::GetEventTargetName(int index) const {
    const IHENEvent* e = GetEvent(index);
    return e ? e->GetTargetName() : nullptr;
}
const char* HENSchedule::GetCurrentEventTargetName() const { return m_current ? m_current->GetTargetName() : nullptr; }
const char* HENSchedule::GetEventDescription(int index) const {
    const IHENEvent* e = GetEvent(index);
    return e ? e->GetDescription() : nullptr;
}
const char* HENSchedule::GetCurrentEventDescription() const { return m_current ? m_current->GetDescription() : nullptr; }
const char* HENSchedule::GetCurrentEventTypeName() const { return m_current ? m_current->GetTypeName() : nullptr; }
double HENSchedule::GetCurrentEventBaseValue() const { return m_current ? m_current->GetBaseValue() : -32767.0; }
double HENSchedule::GetCurrentEventNewValue() const { return m_current ? m_current->GetNewValue() : -32767.0; }
int HENSchedule::GetCurrentEventValueType() const { return m_current ? m_current->GetValueType() : 32009; }

IHENEvent* HENSchedule::GetEvent(int index) const {
    return index >= 0 && index < static_cast<int>(m_events.size()) ? m_events[index] : nullptr;
}

bool HENSchedule::InvalidateResults() {
    m_state->ResetStatus();
    SendAMessage(CodeInvalidated, CPString(), this);
    return true;
}

bool HENSchedule::DeleteCurrentEvent() {
    if (!m_current) return true;
    m_state->ResetStatus();
    SendAMessage(CodeInvalidated, CPString(), this);
    HENEvent* event = m_current;
    m_current = nullptr;
    event->RemoveNotificationReceiver(this);
    m_events.erase(std::remove(m_events.begin(), m_events.end(), event), m_events.end());
    delete event;
    return true;
}

IHENEvent* HENSchedule::SelectEvent(const char* displayName) {
    m_current = nullptr;
    if (!displayName) return nullptr;
    for (HENEvent* e : m_events)
        if (std::strcmp(e->GetName(), displayName) == 0) {
            m_current = e;
            break;
        }
    return m_current;
}

void HENSchedule::SetStatus(const CPString& text) {
    m_state->SetStatus(text);
    SendAMessage(CodeInvalidated, CPString(), this);
}

void HENSchedule::NotifyChange(int code, const CPString&, void*) {
    if (code != IHENEvent::CodeNewValue) return;
    m_state->ResetStatus();
    SendAMessage(CodeInvalidated, CPString(), this);
}

// ---------------------------------------------------------------- operating schedules

HENOperatingSchedule::HENOperatingSchedule(const CPString& name, const HENState& designState)
    : HENSchedule(name, designState) {
    m_state->ResetStatus();
}

int HENOperatingSchedule::GetNumberOfEventTypes() const {
    const ModuleRegistries* r = ModuleRegistries::Get();
    return r ? static_cast<int>(r->HENEventTypeNames.size()) : 0;
}

const char* HENOperatingSchedule::GetEventTypeName(int index) const {
    const ModuleRegistries* r = ModuleRegistries::Get();
    if (!r || index < 0 || index >= static_cast<int>(r->HENEventTypeNames.size())) return nullptr;
    return r->HENEventTypeNames[index].c_str();
}

int HENOperatingSchedule::GetNumberOfCandidateTargets(const char* typeName) const {
    switch (targetsOf(typeName)) {
    case Targets::Exchangers: return m_state->GetNumberOfSelectableHeatExchangers();
    case Targets::Branches: return m_state->GetNumberOfSplitBranches();
    case Targets::Streams: return m_state->GetNumberOfStreams();
    default: return 0;
    }
}

BasicStateStruct* HENOperatingSchedule::FindCandidateTarget(const char* typeName, const char* targetName) const {
    return targetIn(*m_state, typeName, targetName);
}

const char* HENOperatingSchedule::GetCandidateTargetName(const char* typeName, int index) const {
    switch (targetsOf(typeName)) {
    case Targets::Exchangers: return m_state->GetSelectableHeatExchangerName(index);
    case Targets::Branches: return m_state->GetSplitBranchName(index);
    case Targets::Streams: return m_state->GetStreamName(index);
    default: return nullptr;
    }
}

bool ApplyEventToSchedule(HENEvent& event, IHENSchedule& schedule) {
    BasicStateStruct* record = schedule.FindCandidateTarget(event.GetTypeName(), event.GetTargetName());
    if (!record) return false;
    event.ApplyTo(*record);
    return true;
}

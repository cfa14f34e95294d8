// The design's operating schedules and trend studies: naming, the current schedule and study,
// the questions of the views forwarded to the current schedule, executing a schedule on the
// design's own network, and running studies.
#include "eng/design/HENDesign.h"

#include "eng/design/HENEvent.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "dunmor/NumberedName.h"
#include "lumeth/NewRowMarker.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <strings.h>

namespace {
constexpr const char* kSchedulePrefix = "Event-P";
constexpr const char* kStudyPrefix = "Study-";
constexpr const char* kDefaultStudy = "Default Study";
// The event summary's first row, beside the schedules: the locked network's own state.
constexpr const char* kBaseCase = "Base case";

// A name a schedule or study cannot take: none, the name of the row or study the design keeps
// of its own beside them (in any case of letters: the two would read alike), or the lists' new-row
// marker (a schedule or study so named would read as their spare row).
bool reservedName(const CPString& name, const char* own) {
    return name.empty() || strcasecmp(name.c_str(), own) == 0 || IsNewRowMarker(name.c_str());
}

// Two default states start the what-ifs alike when their inputs agree to solver precision (a
// network solved again from the same inputs lands within it).
bool sameOperatingInputs(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > 1e-7 * (1.0 + std::fabs(a[i]))) return false;
    return true;
}

// A schedule or study that goes tells its views, and a view that goes may make another selection
// current by its name: the design lets go of what it destroys first, so that no name finds a
// schedule or study while it is being destroyed.
template <class T>
void destroyDetached(std::vector<std::unique_ptr<T>>& list) {
    std::vector<std::unique_ptr<T>> going;
    going.swap(list);
    going.clear();
}

template <class T>
std::unique_ptr<T> detach(std::vector<std::unique_ptr<T>>& list, const T* item) {
    const auto it = std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; });
    if (it == list.end()) return nullptr;
    std::unique_ptr<T> taken = std::move(*it);
    list.erase(it);
    return taken;
}
}  // namespace

IHENState* CPIHENDesign::GetDefaultState() { return &DefaultState(); }

HENState& CPIHENDesign::DefaultState() {
    if (!m_state) m_state = std::make_unique<HENState>();
    return *m_state;
}

int CPIHENDesign::GetOperatingStateStatus() const { return m_state ? m_state->GetStatus() : 0; }

int CPIHENDesign::OperatingStatusInForce() const {
    return m_executedSchedule.empty() ? GetOperatingStateStatus() : GetScheduleSolutionStatus(m_executedSchedule);
}

void CPIHENDesign::TakeOperatingState(bool samePlant) {
    HENState& state = DefaultState();
    const HENState before(state);
    state.SetFromDesign(*this);
    // Only a calculation that ended without a status text solved the network; one that failed or
    // left values open did not converge.
    state.SetStatusValue(GetCalculationStatus() == 1 ? 1 : 2);
    // Whether the plant can run at it: a lock whose own point it cannot run at undoes itself.
    m_operatingPointRefusal = m_operationLocked ? JudgeOperatingPoint("Default operating state: ") : CPString();
    // Every change of the plant under the what-ifs (a stream's process data, a size, a
    // coefficient, a price) reaches the default state here: the results worked from the old one
    // are no longer the plant's. A reset solves the same plant again: its state is no change.
    if (!samePlant && !sameOperatingInputs(before.OperatingInputs(), state.OperatingInputs()))
        MarkOperatingResultsStale(&before);
}

// The one staleness mark of the what-if results: every schedule's and every study's results are
// not solved until they are run again on the plant as it now is, and their events start from it
// (a study's reference point fouls from the reconciled coefficient, not the one it was made at).
void CPIHENDesign::MarkOperatingResultsStale(const HENState* before) {
    const HENState& now = DefaultState();
    for (const auto& s : m_schedules) {
        s->FollowPlant(before, now);
        s->InvalidateResults();
    }
    if (m_defaultStudy) m_defaultStudy->FollowPlant(before, now);
    for (const auto& s : m_studies) s->FollowPlant(before, now);
}

void CPIHENDesign::ResetDefaultState() {
    Deactivate();
    m_executedSchedule = CPString();
    DefaultState().ApplyToDesign();
    m_operatingSolution = 0;
    Activate(1);
    // What the reset solved is the default point: its duties and temperatures are the state's
    // again (a coefficient reconciled over a what-if's solution reached the state's record only).
    TakeOperatingState(true);
}

void CPIHENDesign::DestroySchedulesAndStudies() {
    m_executedSchedule = CPString();
    m_currentSchedule = nullptr;
    m_scheduleIndex.clear();
    m_scheduleCounter = 1;
    destroyDetached(m_schedules);
    m_currentSchedule = nullptr;
    DestroyStudies();
}

void CPIHENDesign::DestroyStudies() {
    m_currentStudy = nullptr;
    m_studyCounter = 1;
    destroyDetached(m_studies);
    m_defaultStudy.reset();
    m_currentStudy = nullptr;
    DestroyStudiesSetAside();
}

void CPIHENDesign::DestroyStudiesSetAside() {
    m_currentStudyAside = nullptr;
    destroyDetached(m_studiesAside);
    m_defaultStudyAside.reset();
}

// The operating state, the schedules and the studies name their units and streams: one renamed
// while the network is locked keeps its records, events, cleanings and flow changes, and is found
// again by its new name when a saved case is read.
void CPIHENDesign::RenameOperatingTarget(const CPString& oldName, const CPString& newName, bool stream) {
    if (m_state) {
        if (stream) m_state->RenameStream(oldName, newName);
        else m_state->RenameUnit(oldName, newName);
    }
    for (const auto& s : m_schedules) s->RenameTarget(oldName, newName, stream);
    if (m_defaultStudy) m_defaultStudy->RenameTarget(oldName, newName, stream);
    for (const auto& s : m_studies) s->RenameTarget(oldName, newName, stream);
}

// ---------------------------------------------------------------- schedules

void CPIHENDesign::IndexSchedules() const {
    m_scheduleIndex.clear();
    m_scheduleIndex.reserve(m_schedules.size());
    for (std::size_t i = 0; i < m_schedules.size(); ++i) m_scheduleIndex.emplace(m_schedules[i]->GetName(), i);
}

HENOperatingSchedule* CPIHENDesign::FindSchedule(const CPString& name) const {
    // The index follows every change made here. A list changed otherwise (read from a case)
    // shows in its length or in a name that no longer stands at its place, and is indexed anew;
    // while the index holds every schedule, a name it lacks is no schedule's.
    if (m_scheduleIndex.size() == m_schedules.size()) {
        const auto it = m_scheduleIndex.find(name.c_str());
        if (it == m_scheduleIndex.end()) return nullptr;
        if (it->second < m_schedules.size() && name == m_schedules[it->second]->GetName())
            return m_schedules[it->second].get();
    }
    IndexSchedules();
    const auto it = m_scheduleIndex.find(name.c_str());
    return it == m_scheduleIndex.end() ? nullptr : m_schedules[it->second].get();
}

bool CPIHENDesign::AddNewSchedule() {
    const CPString name = NextNumberedName(kSchedulePrefix, m_scheduleCounter,
                                           [this](const CPString& n) { return FindSchedule(n) != nullptr; });
    if (m_scheduleIndex.size() == m_schedules.size()) m_scheduleIndex.emplace(name.c_str(), m_schedules.size());
    m_schedules.push_back(std::make_unique<HENOperatingSchedule>(name, DefaultState()));
    m_currentSchedule = m_schedules.back().get();
    SendAMessage(CodeScheduleListChanged, CPString(), this);
    SendAMessage(CodeScheduleAdded, name, static_cast<IHENSchedule*>(m_currentSchedule));
    return true;
}

int CPIHENDesign::AddSchedule(const CPString& name) {
    if (name.empty()) return 2;
    if (FindSchedule(name) || IsReservedScheduleName(name)) return 1;
    // FindSchedule left the index whole: the new name takes the next place.
    if (m_scheduleIndex.size() == m_schedules.size()) m_scheduleIndex.emplace(name.c_str(), m_schedules.size());
    m_schedules.push_back(std::make_unique<HENOperatingSchedule>(name, DefaultState()));
    m_currentSchedule = m_schedules.back().get();
    SendAMessage(CodeScheduleListChanged, CPString(), this);
    SendAMessage(CodeScheduleAdded, name, static_cast<IHENSchedule*>(m_currentSchedule));
    return 0;
}

bool CPIHENDesign::RemoveSchedule(const CPString& name) {
    HENOperatingSchedule* s = FindSchedule(name);
    if (!s) return true;
    if (m_currentSchedule == s) m_currentSchedule = nullptr;
    // The units hold the solution of the executed schedule: with the schedule gone they go back
    // to the locked state, so that nothing names a schedule there is no more.
    const bool executed = !m_executedSchedule.empty() && m_executedSchedule == s->GetName();
    std::unique_ptr<HENOperatingSchedule> going = detach(m_schedules, s);
    IndexSchedules();
    going.reset();
    if (m_currentSchedule == s) m_currentSchedule = nullptr;
    if (m_schedules.empty()) m_scheduleCounter = 1;
    if (executed) ResetDefaultState();
    return true;
}

bool CPIHENDesign::SelectSchedule(const CPString& name) {
    if (HENOperatingSchedule* s = FindSchedule(name)) m_currentSchedule = s;
    return true;
}

void CPIHENDesign::SetCurrentSchedule(IHENSchedule* schedule) {
    for (const auto& s : m_schedules)
        if (static_cast<IHENSchedule*>(s.get()) == schedule) m_currentSchedule = s.get();
}

bool CPIHENDesign::RenameSchedule(const CPString& oldName, const CPString& newName) {
    HENOperatingSchedule* s = FindSchedule(oldName);
    if (!s || newName.empty() || FindSchedule(newName) || IsReservedScheduleName(newName)) return false;
    // The caller's old name may be the schedule's own, which the rename overwrites.
    const CPString previous = oldName;
    SendAMessage(CodeScheduleListChanged, CPString(), this);
    SendAMessage(CodeScheduleRenamed, previous, const_cast<char*>(newName.c_str()));
    s->SetName(newName);
    // The executed schedule is named by the operating mode's texts and asked for its status.
    if (m_executedSchedule == previous) m_executedSchedule = newName;
    IndexSchedules();
    return true;
}

IHENSchedule* CPIHENDesign::FindOperatingSchedule(const CPString& name) const { return FindSchedule(name); }

bool CPIHENDesign::IsReservedScheduleName(const CPString& name) const { return !name.empty() && reservedName(name, kBaseCase); }

IHENSchedule* CPIHENDesign::GetOperatingSchedule(int index) const {
    return index >= 0 && index < static_cast<int>(m_schedules.size()) ? m_schedules[index].get() : nullptr;
}

IHENState* CPIHENDesign::GetOperatingScheduleState(int index) const {
    IHENSchedule* s = GetOperatingSchedule(index);
    return s ? s->GetState() : nullptr;
}

const char* CPIHENDesign::GetScheduleName(int index) const {
    IHENSchedule* s = GetOperatingSchedule(index);
    return s ? s->GetName() : nullptr;
}

bool CPIHENDesign::CanExecuteSchedule(const CPString& name) const {
    const HENOperatingSchedule* s = FindSchedule(name);
    return s && s->NeedsCalculation();
}

int CPIHENDesign::GetScheduleSolutionStatus(const CPString& name) const {
    const HENOperatingSchedule* s = FindSchedule(name);
    return s ? s->GetStatus() : 0;
}

const char* CPIHENDesign::GetCurrentScheduleName() const { return m_currentSchedule ? m_currentSchedule->GetName() : nullptr; }

const char* CPIHENDesign::GetExecutedScheduleName() const {
    return m_executedSchedule.empty() ? nullptr : m_executedSchedule.c_str();
}

void CPIHENDesign::ExecuteSchedule() {
    m_whatIfRefusal = CPString();
    // Events the stream as it now is cannot take (process data typed since they were made, or
    // two events on one stream that together leave it a segment no case holds): the run is
    // refused before anything is written, and the case stays as it was.
    if (m_currentSchedule && JudgeWhatIfEvents(m_currentSchedule, m_currentSchedule->GetName())) return;
    Deactivate();
    DefaultState().ApplyToDesign();
    // The mark stays: the recalculation below then resets the end utilities' duties first, so
    // that every run starts from the locked state and not from the last run's solution.
    if (m_currentSchedule) {
        for (int i = 0; i < m_currentSchedule->GetNumberOfEvents(); ++i)
            if (auto* event = dynamic_cast<HENEvent*>(m_currentSchedule->GetEvent(i)))
                ApplyEventToSchedule(*event, *m_currentSchedule);
        m_executedSchedule = m_currentSchedule->GetName();
    }
    Activate(1);
    if (!m_currentSchedule) return;
    // A solution no heater, cooler or utility of the plant can run at is no result: the
    // schedule stays not solved and the units go back to the default point.
    if (JudgeWhatIfResult(m_currentSchedule->GetName())) {
        const CPString refusal = m_whatIfRefusal;
        m_currentSchedule->InvalidateResults();
        ResetDefaultState();
        m_whatIfRefusal = refusal;
        return;
    }
    m_currentSchedule->State().SetFromDesign(*this);
    m_currentSchedule->SetStatus(m_calculationStatus);
    // The schedule's solution is what the units now hold.
    m_operatingSolution = 1;
}

// ---------------------------------------------------------------- forwarded to the current schedule

int CPIHENDesign::GetNumberOfScheduleEvents() const { return m_currentSchedule ? m_currentSchedule->GetNumberOfEvents() : 0; }
int CPIHENDesign::GetNumberOfEventTypes() const { return m_currentSchedule ? m_currentSchedule->GetNumberOfEventTypes() : 0; }
int CPIHENDesign::GetNumberOfEventTargets(const char* type) const {
    return m_currentSchedule ? m_currentSchedule->GetNumberOfCandidateTargets(type) : 0;
}
const char* CPIHENDesign::GetEventTypeName(int index) const {
    return m_currentSchedule ? m_currentSchedule->GetEventTypeName(index) : nullptr;
}
const char* CPIHENDesign::GetEventTargetName(const char* type, int index) const {
    return m_currentSchedule ? m_currentSchedule->GetCandidateTargetName(type, index) : nullptr;
}
void CPIHENDesign::SetCurrentEventNewValue(double value) {
    if (m_currentSchedule) m_currentSchedule->SetCurrentEventNewValue(value);
}
const char* CPIHENDesign::GetCurrentEventValueRefusal(double value) const {
    return GetEventValueRefusal(m_currentSchedule ? m_currentSchedule->GetCurrentEvent() : nullptr, value);
}
const char* CPIHENDesign::GetCurrentEventVariableName() const {
    const IHENEvent* event = m_currentSchedule ? m_currentSchedule->GetCurrentEvent() : nullptr;
    return event ? event->GetVariableName() : nullptr;
}
const char* CPIHENDesign::GetEventValueRefusal(const IHENEvent* event, double value) const {
    if (!event) return nullptr;
    // The event's own schedule (an event item may show one that is not current) gives the stream
    // its other values.
    const HENOperatingSchedule* owner = nullptr;
    for (const auto& s : m_schedules)
        for (int i = 0; !owner && i < s->GetNumberOfEvents(); ++i)
            if (s->GetEvent(i) == event) owner = s.get();
    return TargetValueRefusal(owner, event->GetVariableName(), event->GetTargetName(), value);
}
const char* CPIHENDesign::GetTargetValueRefusal(const char* variable, const char* target, double value) const {
    return TargetValueRefusal(m_currentSchedule, variable, target, value);
}
const char* CPIHENDesign::TargetValueRefusal(const HENOperatingSchedule* run, const char* variable, const char* target,
                                             double value) const {
    if (const char* refused = HENEventValueRefusal(variable, value)) return refused;
    // A stream's new inlet or flow is one the stream can run at and a case can hold, with the
    // other values the same schedule gives it: otherwise the schedule would run on the old value
    // unnoticed, or leave a case that cannot be saved.
    const StreamStateStruct* record = variable && target && m_state ? m_state->FindStream(target) : nullptr;
    if (!record) return nullptr;
    StreamStateStruct::WhatIfValues with;
    for (int i = 0; run && i < run->GetNumberOfEvents(); ++i) {
        const IHENEvent* other = run->GetEvent(i);
        const char* v = other ? other->GetVariableName() : nullptr;
        if (v && other->GetTargetName() && std::strcmp(other->GetTargetName(), target) == 0 && std::strcmp(v, variable) != 0)
            with.emplace_back(v, other->GetNewValue());
    }
    return record->ValueRefusal(variable, value, with);
}
const char* CPIHENDesign::AddEventToSchedule(const char* type, const char* target) {
    return m_currentSchedule ? m_currentSchedule->AddEvent(type, target) : nullptr;
}
const char* CPIHENDesign::GetScheduleEventName(int index) const {
    return m_currentSchedule ? m_currentSchedule->GetEventTargetName(index) : nullptr;
}
const char* CPIHENDesign::GetCurrentEventName() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventTargetName() : nullptr;
}
const char* CPIHENDesign::GetScheduleEventDescription(int index) const {
    return m_currentSchedule ? m_currentSchedule->GetEventDescription(index) : nullptr;
}
const char* CPIHENDesign::GetCurrentEventDescription() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventDescription() : nullptr;
}
const char* CPIHENDesign::GetCurrentEventTypeName() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventTypeName() : nullptr;
}
double CPIHENDesign::GetCurrentEventBaseValue() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventBaseValue() : -32767.0;
}
double CPIHENDesign::GetCurrentEventNewValue() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventNewValue() : -32767.0;
}
int CPIHENDesign::GetCurrentEventValueKind() const {
    return m_currentSchedule ? m_currentSchedule->GetCurrentEventValueType() : 32009;
}
bool CPIHENDesign::RemoveCurrentEvent() {
    if (!m_currentSchedule) return true;
    const bool removed = m_currentSchedule->GetCurrentEvent() != nullptr;
    m_currentSchedule->DeleteCurrentEvent();
    // The units hold the executed schedule's last run: with one of its events gone they would
    // show a change that no event names any more, under the schedule's name (with none left, a
    // schedule that can run no more). They go back to the default state, as when the schedule is
    // removed; the schedule, not solved, runs again on what it now holds.
    if (removed && !m_executedSchedule.empty() && m_executedSchedule == m_currentSchedule->GetName())
        ResetDefaultState();
    return true;
}
bool CPIHENDesign::SelectScheduleEvent(const char* name) {
    return m_currentSchedule && m_currentSchedule->SelectEvent(name) != nullptr;
}

const char* CPIHENDesign::FindScheduleEventLabel(const char* type, const char* target) const {
    const HENEvent* e = m_currentSchedule ? m_currentSchedule->FindEvent(type, target) : nullptr;
    return e ? e->GetName() : nullptr;
}

bool CPIHENDesign::AddEventToCurrentSchedule(const char* type, const char* target) {
    if (!m_currentSchedule) return false;
    if (m_currentSchedule->FindEvent(type, target)) return true;
    return m_currentSchedule->AddEvent(type, target) == nullptr;
}

// ---------------------------------------------------------------- studies

void CPIHENDesign::AddStudy() {
    // The locked network's first study: those of the network before the lock, which no view shows
    // any more, go now.
    DestroyStudiesSetAside();
    if (!m_defaultStudy) {
        m_defaultStudy = std::make_unique<HENTrend>(this);
        m_defaultStudy->SetName(kDefaultStudy);
        SendAMessage(CodeDefaultStudyCreated, CPString(), static_cast<IHENTrend*>(m_defaultStudy.get()));
        return;
    }
    auto study = std::make_unique<HENTrend>(*m_defaultStudy);
    const CPString name = NextNumberedName(kStudyPrefix, m_studyCounter, [this](const CPString& n) {
        return reservedName(n, kDefaultStudy) ||
               std::any_of(m_studies.begin(), m_studies.end(), [&](const auto& s) { return n == s->GetName(); });
    });
    study->SetName(name);
    m_studies.push_back(std::move(study));
    m_currentStudy = m_studies.back().get();
    SendAMessage(CodeStudyAdded, name, static_cast<IHENTrend*>(m_currentStudy));
}

IHENTrend* CPIHENDesign::GetStudy(int index) const {
    return index >= 0 && index < static_cast<int>(m_studies.size()) ? m_studies[index].get() : nullptr;
}

IHENTrend* CPIHENDesign::GetDefaultStudy() const { return m_defaultStudy.get(); }

bool CPIHENDesign::SelectStudy(const CPString& name) {
    for (const auto& s : m_studies)
        if (name == s->GetName()) {
            m_currentStudy = s.get();
            return true;
        }
    return false;
}

bool CPIHENDesign::SelectStudyCleaningEvent(const CPString& key) {
    return m_currentStudy && m_currentStudy->SelectCleanExchEvent(key);
}

bool CPIHENDesign::SelectStudySpecialEvent(const CPString& key) {
    return m_currentStudy && m_currentStudy->SelectSpecialEvent(key);
}

bool CPIHENDesign::DeleteCurrentStudy() {
    if (!m_currentStudy) return false;
    HENTrend* study = m_currentStudy;
    m_currentStudy = nullptr;
    detach(m_studies, static_cast<const HENTrend*>(study)).reset();
    if (m_currentStudy == study) m_currentStudy = nullptr;
    if (m_studies.empty()) m_studyCounter = 1;
    return true;
}

const char* CPIHENDesign::GetCurrentStudyName() const { return m_currentStudy ? m_currentStudy->GetName() : nullptr; }

bool CPIHENDesign::RenameStudy(const CPString& oldName, const CPString& newName) {
    if (reservedName(newName, kDefaultStudy)) return false;
    HENTrend* found = nullptr;
    for (const auto& s : m_studies) {
        if (newName == s->GetName()) return false;
        if (oldName == s->GetName()) found = s.get();
    }
    if (!found) return false;
    const CPString previous = oldName;
    SendAMessage(CodeStudyRenamed, previous, const_cast<char*>(newName.c_str()));
    found->SetName(newName);
    return true;
}

// A study runs the locked network from its default state: on a network not locked that state is
// the last lock's, and writing it back would overwrite what was typed since.
void CPIHENDesign::CalculateCurrentStudy() {
    if (!m_operationLocked) return;
    m_whatIfRefusal = CPString();
    if (m_currentStudy) m_currentStudy->Calculate();
    ResetDefaultState();
}

void CPIHENDesign::CalculateDefaultStudy() {
    if (!m_operationLocked) return;
    m_whatIfRefusal = CPString();
    if (m_defaultStudy) m_defaultStudy->Calculate();
    ResetDefaultState();
}

int CPIHENDesign::GetDefaultStudyStatus() const { return m_defaultStudy ? m_defaultStudy->GetStatus() : 0; }

void CPIHENDesign::DeleteAllStudies() {
    m_currentStudy = nullptr;
    m_studyCounter = 1;
    destroyDetached(m_studies);
    m_currentStudy = nullptr;
    if (m_defaultStudy) m_defaultStudy->SetStatus(0);
}

// The study-level events of a trend study: cleanings of an exchanger over a range of points and
// flow changes of a stream from a point on, and how the study writes them into the schedules of
// its time points.
#include "eng/design/HENTrend.h"

#include "eng/design/HENEvent.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {
constexpr const char* kWrongRange = MessageKey("WrongRangeForEvent");
constexpr const char* kRemoval = "HeatExchangerRemovalEvent";
constexpr const char* kFlowChange = "StreamFlowrateChangeEvent";

CPString removalName(const CPString& exchanger) { return exchanger + ": Remove exchanger from service"; }
CPString flowChangeName(const CPString& stream) { return stream + ": Change stream mass flowrate"; }
}  // namespace

// ---------------------------------------------------------------- the events

HENTrendCleanExchEvent::HENTrendCleanExchEvent(const CPString& exchanger, int from, int to)
    : m_exchanger(exchanger), m_from(from), m_to(to) {
    UpdateName();
}

HENTrendCleanExchEvent::~HENTrendCleanExchEvent() { SendAMessage(CodeDestroyed, CPString(), this); }

void HENTrendCleanExchEvent::SetStartingPoint(int point) {
    TrendEventMove request{this, point};
    SendAMessage(CodeMoveRequest, "StartingPoint", &request);
}
void HENTrendCleanExchEvent::SetEndingPoint(int point) {
    TrendEventMove request{this, point};
    SendAMessage(CodeMoveRequest, "EndingPoint", &request);
}

void HENTrendCleanExchEvent::UpdateName() {
    m_name = m_exchanger + "_from_t" + std::to_string(m_from).c_str() + "_to_t" + std::to_string(m_to).c_str();
}

HENTrendSpecialEvent::HENTrendSpecialEvent(const CPString& stream, const CPString& variable, int point, double value)
    : m_stream(stream), m_variable(variable), m_point(point), m_value(value) {
    UpdateName();
}

void HENTrendSpecialEvent::UpdateName() { m_name = m_stream + "_at_t" + std::to_string(m_point).c_str(); }

HENTrendSpecialEvent::~HENTrendSpecialEvent() { SendAMessage(CodeDestroyed, CPString(), this); }

void HENTrendSpecialEvent::SetTimePoint(int point) {
    TrendEventMove request{this, point};
    SendAMessage(CodeMoveRequest, "StartingPoint", &request);
}

void HENTrendSpecialEvent::SetNewValue(double value) {
    std::pair<HENTrendSpecialEvent*, double> request{this, value};
    SendAMessage(CodeMoveRequest, "NewValue", &request);
}

// ---------------------------------------------------------------- lists and checks

std::vector<HENTrendCleanExchEvent*> HENTrend::CleaningsOf(const CPString& exchanger) const {
    std::vector<HENTrendCleanExchEvent*> list;
    for (const auto& e : m_cleanings)
        if (exchanger == e->GetHeatExchangerName()) list.push_back(e.get());
    return list;
}

std::vector<HENTrendSpecialEvent*> HENTrend::FlowChangesOf(const CPString& stream) const {
    std::vector<HENTrendSpecialEvent*> list;
    for (const auto& e : m_specials)
        if (stream == e->GetStreamName()) list.push_back(e.get());
    return list;
}

bool HENTrend::HasFlowChangeAt(const CPString& stream, int point, const HENTrendSpecialEvent* moving) const {
    return std::any_of(m_specials.begin(), m_specials.end(), [&](const auto& e) {
        return e.get() != moving && stream == e->GetStreamName() && e->GetTimePoint() == point;
    });
}

const char* HENTrend::CheckRange(const std::vector<HENTrendCleanExchEvent*>& list, int from, int to,
                                 const HENTrendCleanExchEvent* moving) const {
    // A cleaning runs forwards from a point of the study and covers one point at least.
    if (from < 0 || to <= from) return kWrongRange;
    for (const HENTrendCleanExchEvent* e : list) {
        if (e == moving) continue;
        if (to > e->GetStartingPoint() && from < e->GetEndingPoint()) return kWrongRange;
    }
    return nullptr;
}

// ---------------------------------------------------------------- writing into the schedules

void HENTrend::WriteCleanings(std::vector<HENTrendCleanExchEvent*> list) {
    std::stable_sort(list.begin(), list.end(), [](const HENTrendCleanExchEvent* a, const HENTrendCleanExchEvent* b) {
        return a->GetStartingPoint() < b->GetStartingPoint();
    });
    for (const HENTrendCleanExchEvent* e : list) {
        const CPString exchanger = e->GetHeatExchangerName();
        for (int t = std::max(0, e->GetStartingPoint()); t < e->GetEndingPoint() && t <= m_intervals; ++t)
            m_points[t]->AddEvent(kRemoval, exchanger.c_str());
        // From its cleaning on the exchanger fouls along the reference profile from its start.
        if (!m_reference) continue;
        for (int t = std::max(0, e->GetEndingPoint()), k = 0; t <= m_intervals; ++t, ++k)
            SetFouledHTC(exchanger, t, m_reference->GetFouledHTC(exchanger, k));
    }
}

void HENTrend::RemoveCleaningEvents(const HENTrendCleanExchEvent& cleaning) {
    const CPString name = removalName(cleaning.GetHeatExchangerName());
    for (int t = std::max(0, cleaning.GetStartingPoint()); t < cleaning.GetEndingPoint() && t <= m_intervals; ++t)
        if (m_points[t]->SelectEvent(name.c_str())) m_points[t]->DeleteCurrentEvent();
}

void HENTrend::WriteFlowChanges(std::vector<HENTrendSpecialEvent*> list) {
    std::stable_sort(list.begin(), list.end(), [](const HENTrendSpecialEvent* a, const HENTrendSpecialEvent* b) {
        return a->GetTimePoint() < b->GetTimePoint();
    });
    for (std::size_t i = 0; i < list.size(); ++i) {
        const CPString stream = list[i]->GetStreamName();
        const CPString label = flowChangeName(stream);
        const int end = i + 1 < list.size() ? list[i + 1]->GetTimePoint() : m_intervals + 1;
        for (int t = std::max(0, list[i]->GetTimePoint()); t < end && t <= m_intervals; ++t) {
            HENOperatingSchedule& s = *m_points[t];
            s.AddEvent(kFlowChange, stream.c_str());
            if (s.SelectEvent(label.c_str())) s.SetCurrentEventNewValue(list[i]->GetNewValue());
        }
    }
}

int HENTrend::RewriteStudyEvents() {
    int dropped = 0;
    for (auto it = m_cleanings.begin(); it != m_cleanings.end();) {
        if ((*it)->GetStartingPoint() <= m_intervals) {
            ++it;
            continue;
        }
        if (m_selectedCleaning == it->get()) m_selectedCleaning = nullptr;
        (*it)->RemoveNotificationReceiver(this);
        it = m_cleanings.erase(it);
        ++dropped;
    }
    for (auto it = m_specials.begin(); it != m_specials.end();) {
        if ((*it)->GetTimePoint() <= m_intervals) {
            ++it;
            continue;
        }
        if (m_selectedSpecial == it->get()) m_selectedSpecial = nullptr;
        (*it)->RemoveNotificationReceiver(this);
        it = m_specials.erase(it);
        ++dropped;
    }
    std::vector<CPString> done;
    const auto first = [&done](const CPString& name) {
        if (std::find(done.begin(), done.end(), name) != done.end()) return false;
        done.push_back(name);
        return true;
    };
    for (const auto& e : m_cleanings)
        if (first(CPString("x:") + e->GetHeatExchangerName())) WriteCleanings(CleaningsOf(e->GetHeatExchangerName()));
    for (const auto& e : m_specials)
        if (first(CPString("s:") + e->GetStreamName())) WriteFlowChanges(FlowChangesOf(e->GetStreamName()));
    return dropped;
}

// ---------------------------------------------------------------- cleanings

const char* HENTrend::AddCleanExchEvent(const CPString& exchanger, int from, int to) {
    m_selectedCleaning = nullptr;
    std::vector<HENTrendCleanExchEvent*> list = CleaningsOf(exchanger);
    if (const char* refused = CheckRange(list, from, to)) return refused;
    auto event = std::make_unique<HENTrendCleanExchEvent>(exchanger, from, to);
    event->AddNotificationReceiver(this);
    event->AddValidMessage(this, IHENTrendCleanExchEvent::CodeMoveRequest);
    HENTrendCleanExchEvent* added = event.get();
    m_cleanings.push_back(std::move(event));
    list.push_back(added);
    WriteCleanings(list);
    InvalidateResults();
    SendAMessage(CodeCleaningAdded, CPString(added->GetName()), static_cast<IHENTrendCleanExchEvent*>(added));
    return nullptr;
}

bool HENTrend::SelectCleanExchEvent(const CPString& name) {
    for (const auto& e : m_cleanings)
        if (name == e->GetName()) {
            m_selectedCleaning = e.get();
            m_selectedSpecial = nullptr;
            return true;
        }
    return false;
}

void HENTrend::NotifyChange(int code, const CPString& text, void* data) {
    if (code == IHENTrendSpecialEvent::CodeMoveRequest && data && text == "NewValue") {
        auto* request = static_cast<std::pair<HENTrendSpecialEvent*, double>*>(data);
        ChangeFlow(*request->first, request->second);
        return;
    }
    if (!data || (text != "StartingPoint" && text != "EndingPoint")) return;
    const auto* request = static_cast<const TrendEventMove*>(data);
    if (code == IHENTrendSpecialEvent::CodeMoveRequest && text == "StartingPoint") {
        for (const auto& e : m_specials)
            if (e.get() == request->event) return MoveFlowChange(*e, request->point);
    }
    if (code != IHENTrendCleanExchEvent::CodeMoveRequest) return;
    for (const auto& e : m_cleanings)
        if (e.get() == request->event) return MoveCleaning(*e, text, request->point);
}

void HENTrend::MoveCleaning(HENTrendCleanExchEvent& cleaning, const CPString& which, int value) {
    HENTrendCleanExchEvent* selected = &cleaning;
    const std::vector<HENTrendCleanExchEvent*> list = CleaningsOf(selected->GetHeatExchangerName());
    const bool end = which == "EndingPoint";
    const int from = end ? selected->GetStartingPoint() : value;
    const int to = end ? value : selected->GetEndingPoint();
    if (CheckRange(list, from, to, selected)) {
        ErrorMsg(kWrongRange, Text());
        return;
    }
    RemoveCleaningEvents(*selected);
    selected->SetRange(from, to);
    WriteCleanings(list);
    InvalidateResults();
    const CPString oldName = selected->GetName();
    selected->UpdateName();
    SendAMessage(CodeCleaningMoved, oldName, const_cast<char*>(selected->GetName()));
}

void HENTrend::DeleteSelectedCleaning() {
    HENTrendCleanExchEvent* selected = m_selectedCleaning;
    std::vector<HENTrendCleanExchEvent*> list = CleaningsOf(selected->GetHeatExchangerName());
    RemoveCleaningEvents(*selected);
    // Covering no point, the cleaning still resets the coefficients to the reference profile;
    // the remaining cleanings then write theirs over it.
    selected->SetRange(0, 0);
    WriteCleanings(list);
    m_selectedCleaning = nullptr;
    selected->RemoveNotificationReceiver(this);
    m_cleanings.erase(std::find_if(m_cleanings.begin(), m_cleanings.end(),
                                   [selected](const auto& e) { return e.get() == selected; }));
    InvalidateResults();
}

// ---------------------------------------------------------------- flow changes

namespace {
// The stream's flow record in the reference point's schedule: what a flow change of it starts from.
const StreamStateStruct* FlowRecordOf(const HENOperatingSchedule* first, const CPString& stream) {
    return first ? dynamic_cast<const StreamStateStruct*>(
                       first->FindCandidateTarget("StreamFlowrateChangeEvent", stream.c_str()))
                 : nullptr;
}
}  // namespace

const char* HENTrend::GetFlowChangeRefusal(const CPString& stream, double value) const {
    if (const char* refused = HENEventValueRefusal("MassFlow", value)) return refused;
    const StreamStateStruct* record = FlowRecordOf(GetTimePointSchedule(0), stream);
    return record ? record->ValueRefusal("MassFlow", value) : nullptr;
}

const char* HENTrend::AddSpecialEvent(const CPString& stream, const CPString& variable, int point, double value) {
    if (const char* refused = HENEventValueRefusal("MassFlow", value)) return refused;
    // As a move has it: from a point after the reference point to the study's last.
    if (point < 1 || point > m_intervals) return MessageKey("FlowChangePointOutsideStudy");
    // The points' schedules take a flow event on a stream a unit of the network stands on only
    // (as every schedule does): a flow change on another would be no change at any point.
    const StreamStateStruct* record = FlowRecordOf(GetTimePointSchedule(0), stream);
    if (!record || !record->served) return MessageKey("EventAddFailed");
    if (const char* refused = record->ValueRefusal("MassFlow", value)) return refused;
    // A stream runs at one flow at a point: a second change of it there would share the first's
    // name and leave the point's schedule to whichever was written last.
    if (HasFlowChangeAt(stream, point, nullptr)) return MessageKey("StreamsHaveFlowChange");
    m_selectedSpecial = nullptr;
    std::vector<HENTrendSpecialEvent*> list = FlowChangesOf(stream);
    auto event = std::make_unique<HENTrendSpecialEvent>(stream, variable, point, value);
    event->AddNotificationReceiver(this);
    event->AddValidMessage(this, IHENTrendSpecialEvent::CodeMoveRequest);
    HENTrendSpecialEvent* added = event.get();
    m_specials.push_back(std::move(event));
    list.push_back(added);
    WriteFlowChanges(list);
    InvalidateResults();
    SendAMessage(CodeFlowChangeAdded, CPString(added->GetName()), static_cast<IHENTrendSpecialEvent*>(added));
    return nullptr;
}

void HENTrend::ChangeFlow(HENTrendSpecialEvent& event, double value) {
    // Only a flow change of this study; its points' events take the new flow through the
    // schedules (each event reports its new value).
    if (std::none_of(m_specials.begin(), m_specials.end(), [&event](const auto& e) { return e.get() == &event; })) return;
    if (GetFlowChangeRefusal(event.GetStreamName(), value)) return;
    event.StoreNewValue(value);
    WriteFlowChanges(FlowChangesOf(event.GetStreamName()));
    InvalidateResults();
}

void HENTrend::MoveFlowChange(HENTrendSpecialEvent& event, int point) {
    HENTrendSpecialEvent* selected = &event;
    // A flow change starts after the reference point and within the study.
    if (point < 1 || point > m_intervals || point == selected->GetTimePoint()) return;
    // Nor onto a point where the stream already changes flow.
    if (HasFlowChangeAt(selected->GetStreamName(), point, selected)) return;
    const std::vector<HENTrendSpecialEvent*> list = FlowChangesOf(selected->GetStreamName());
    const CPString label = flowChangeName(selected->GetStreamName());
    for (const auto& p : m_points)
        if (p->SelectEvent(label.c_str())) p->DeleteCurrentEvent();
    selected->MoveTo(point);
    WriteFlowChanges(list);
    InvalidateResults();
    const CPString oldName = selected->GetName();
    selected->UpdateName();
    SendAMessage(CodeCleaningMoved, oldName, const_cast<char*>(selected->GetName()));
}

bool HENTrend::SelectSpecialEvent(const CPString& name) {
    for (const auto& e : m_specials)
        if (name == e->GetName()) {
            m_selectedSpecial = e.get();
            m_selectedCleaning = nullptr;
            return true;
        }
    return false;
}

void HENTrend::DeleteSelectedFlowChange() {
    HENTrendSpecialEvent* selected = m_selectedSpecial;
    std::vector<HENTrendSpecialEvent*> list = FlowChangesOf(selected->GetStreamName());
    const CPString label = flowChangeName(selected->GetStreamName());
    for (const auto& point : m_points)
        if (point->SelectEvent(label.c_str())) point->DeleteCurrentEvent();
    selected->MoveTo(m_intervals + 1);
    WriteFlowChanges(list);
    m_selectedSpecial = nullptr;
    selected->RemoveNotificationReceiver(this);
    m_specials.erase(std::find_if(m_specials.begin(), m_specials.end(),
                                  [selected](const auto& e) { return e.get() == selected; }));
    InvalidateResults();
}

bool HENTrend::DeleteSelectedEvent() {
    bool deleted = false;
    if (m_selectedCleaning) {
        DeleteSelectedCleaning();
        deleted = true;
    }
    if (m_selectedSpecial) {
        DeleteSelectedFlowChange();
        deleted = true;
    }
    return deleted;
}

IHENTrendCleanExchEvent* HENTrend::GetCleanExchEvent(int index) const {
    return index >= 0 && index < static_cast<int>(m_cleanings.size()) ? m_cleanings[index].get() : nullptr;
}

IHENTrendSpecialEvent* HENTrend::GetSpecialEvent(int index) const {
    return index >= 0 && index < static_cast<int>(m_specials.size()) ? m_specials[index].get() : nullptr;
}

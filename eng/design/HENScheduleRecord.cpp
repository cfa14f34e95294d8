// What-if events and operating schedules in the case file. A schedule writes each event's type
// name before the event's own record, so that the reader can make the event through the
// registry first and let it read itself.
#include "eng/design/HENEvent.h"
#include "eng/design/HENSchedule.h"

#include "brasko/CaseDamage.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/CaseValueLimits.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// ---------------------------------------------------------------- events

bool HENEvent::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, RecordVersion) && file.WriteDouble(m_base) && file.WriteDouble(m_new) &&
           file.WriteCPString(m_target) && file.WriteCPString(m_name) && file.WriteInt(m_kind) &&
           file.EndRecord(record);
}

bool HENEvent::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    double base = 0.0, value = 0.0;
    CPString target, name;
    std::int32_t kind = KindIndexOf(GetTypeName());
    if (version < 1 || version > RecordVersion || !file.ReadDouble(base) || !file.ReadDouble(value) ||
        !file.ReadCPString(target) || !file.ReadCPString(name) || (version >= 2 && !file.ReadInt(kind)) ||
        !file.EndRecord(record))
        return false;
    // An older record names its kind only by the type name the schedule wrote before it.
    if (version < 2 && kind < 0) return false;
    // The value an event starts from and the one it gives lie where the design viewer lets an
    // event's value be given, or are unset (a target that had none); a schedule executed with
    // one outside would write it into the plant.
    for (const auto& [what, v] : {std::pair<const char*, double>{"base", base}, {"new", value}})
        if (v != CaseValueLimits::EmptyValue && HENEventValueRefusal(GetVariableName(), v))
            return NoteCaseDamage("event \"" + std::string(name.c_str()) + "\" on \"" + std::string(target.c_str()) +
                                  "\": its " + what + " " + GetVariableName() + " " + CaseDamageValue(v) +
                                  " is not a value an event gives");
    m_base = base;
    m_new = value;
    m_target = target;
    m_name = name;
    m_kind = kind;
    return true;
}

// ---------------------------------------------------------------- schedules

bool HENSchedule::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && m_state->Store(file) && file.WriteInt(m_current ? 1 : 0) &&
              (!m_current || file.WriteCPString(CPString(m_current->GetName()))) &&
              file.WriteInt(static_cast<std::int32_t>(m_events.size()));
    for (const HENEvent* event : m_events)
        ok = ok && file.WriteCPString(CPString(event->GetTypeName())) && event->Store(file);
    return ok && file.WriteCPString(m_name) && file.EndRecord(record);
}

bool HENSchedule::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    if (version < 1 || version > RecordVersion) return false;
    auto state = std::make_unique<HENState>();
    std::int32_t hasCurrent = 0, count = 0;
    CPString currentName;
    if (!state->Recall(file) || !file.ReadInt(hasCurrent) || (hasCurrent != 0 && hasCurrent != 1) ||
        (hasCurrent == 1 && !file.ReadCPString(currentName)) || !file.ReadItemCount(count))
        return false;
    std::vector<std::unique_ptr<HENEvent>> events;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString typeName;
        if (!file.ReadCPString(typeName)) return false;
        std::unique_ptr<HENEvent> event(HENEvent::Create(typeName.c_str(), nullptr));
        if (!event || !event->Recall(file)) return false;
        events.push_back(std::move(event));
    }
    CPString name;
    std::int32_t status = 0;
    if (!file.ReadCPString(name) || (version < 2 && !file.ReadInt(status)) || !file.EndRecord(record)) return false;
    if (version < 2) {
        if (status < 0 || status > 2) return false;
        state->SetStatusValue(status);
    }

    m_current = nullptr;
    for (HENEvent* old : m_events) {
        old->RemoveNotificationReceiver(this);
        delete old;
    }
    m_events.clear();
    for (auto& event : events) {
        HENEvent* e = event.release();
        e->AddNotificationReceiver(this);
        e->AddValidMessage(this, IHENEvent::CodeNewValue);
        m_events.push_back(e);
        if (!m_current && hasCurrent == 1 && currentName == e->GetName()) m_current = e;
    }
    m_state = std::move(state);
    m_name = name;
    return true;
}

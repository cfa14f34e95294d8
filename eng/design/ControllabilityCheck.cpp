// The controllability verdict from the sub-networks' loops and selected streams.
#include "eng/design/ControllabilityCheck.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/NamedFlagEntry.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {
}  // namespace

void ControllabilityCheck::StreamAdded(IHeatIntegrationStream* stream, bool selected) {
    if (!stream || stream->GetStreamKind() != 0 || FindRecord(stream)) return;
    ControlUnitRecord record;
    record.stream = stream;
    record.selected = selected;
    m_records.push_back(record);
}

void ControllabilityCheck::StreamRemoved(IHeatIntegrationStream* stream) {
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(),
                                   [stream](const ControlUnitRecord& r) { return r.stream == stream; }),
                    m_records.end());
}

const ControlUnitRecord* ControllabilityCheck::GetRecord(int index) const {
    return index >= 0 && index < static_cast<int>(m_records.size()) ? &m_records[index] : nullptr;
}

const ControlUnitRecord* ControllabilityCheck::FindRecord(const IHeatIntegrationStream* stream) const {
    for (const ControlUnitRecord& r : m_records)
        if (r.stream == stream) return &r;
    return nullptr;
}

std::uint32_t ControllabilityCheck::GetKind(int index) const {
    const ControlUnitRecord* r = GetRecord(index);
    return r ? r->kind : NoRecordKind;
}

bool ControllabilityCheck::SetKind(int index, std::uint32_t kind) {
    if (!GetRecord(index)) return false;
    m_records[index].kind = kind;
    m_records[index].first = 0.0;
    m_records[index].second = 50.0;
    return true;
}

bool ControllabilityCheck::SetSelected(int index, bool selected) {
    if (!GetRecord(index)) return false;
    m_records[index].selected = selected;
    return true;
}

void ControllabilityCheck::Run() {
    m_selections = static_cast<int>(std::count_if(m_records.begin(), m_records.end(),
                                                  [](const ControlUnitRecord& r) { return r.selected; }));
    m_verdict = CanBeControlled;
    if (!m_analysis) return;
    m_remaining = m_analysis->GetUnits() - m_analysis->GetIndependentLoops() - m_selections;
    m_analysis->CountSubNetworkLoops();
    std::unordered_set<const IHeatIntegrationStream*> selected;
    for (const ControlUnitRecord& r : m_records)
        if (r.selected) selected.insert(r.stream);
    for (SubNetwork& sub : m_analysis->MutableSubNetworks()) {
        sub.controlSelections = 0;
        for (const IHeatIntegrationStream* s : sub.members)
            if (s->GetStreamKind() == 0 && selected.count(s)) ++sub.controlSelections;
        sub.remainingFreedom = sub.units - sub.loops - sub.controlSelections;
        if (sub.remainingFreedom < 0) m_verdict = CanNotBeControlled;
    }
}

// ---------------------------------------------------------------- by name

bool ControllabilityCheck::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteInt(static_cast<std::int32_t>(m_records.size()));
    for (const ControlUnitRecord& r : m_records) {
        const std::string name = r.stream ? r.stream->GetName().c_str() : "";
        ok = ok && named_flag_entry::Write(file, name, r.selected);
    }
    return ok && file.EndRecord(record);
}

bool ControllabilityCheck::ReadSelections(ILurmetBinaryFile& file, Selections& out) {
    RecordHandle record;
    std::int32_t count = 0;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) != RecordVersion || !file.ReadInt(count) ||
        count < 0)
        return false;
    Selections stored;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        bool flag = false;
        if (!named_flag_entry::Read(file, name, flag)) return false;
        stored.emplace_back(std::move(name), flag);
    }
    if (!file.EndRecord(record)) return false;
    out = std::move(stored);
    return true;
}

ControllabilityCheck::Selections ControllabilityCheck::CaptureSelections() const {
    Selections out;
    for (const ControlUnitRecord& r : m_records)
        if (r.stream) out.emplace_back(r.stream->GetName().c_str(), r.selected);
    return out;
}

void ControllabilityCheck::ApplySelections(const Selections& stored, const std::vector<IHeatIntegrationStream*>& streams) {
    std::unordered_map<std::string, bool> byName(stored.begin(), stored.end());
    std::vector<ControlUnitRecord> records;
    for (IHeatIntegrationStream* s : streams) {
        if (!s || s->GetStreamKind() != 0) continue;
        ControlUnitRecord record;
        if (const ControlUnitRecord* old = FindRecord(s)) record = *old;
        record.stream = s;
        const auto it = byName.find(s->GetName().c_str());
        record.selected = it == byName.end() || it->second;
        records.push_back(record);
    }
    m_records = std::move(records);
}

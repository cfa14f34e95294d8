// The controllability verdict from the sub-networks' loops and selected streams.
#include "eng/design/ControllabilityCheck.h"

#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <unordered_set>

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

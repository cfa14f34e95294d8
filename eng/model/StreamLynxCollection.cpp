#include "eng/model/StreamLynxCollection.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationScenario.h"

#include <memory>

StreamLynxCollection::StreamLynxCollection(IHeatIntegrationScenario* scenario) : m_pScenario(scenario) {}

StreamLynxCollection::~StreamLynxCollection() {
    while (m_links.Length() > 0) delete m_links.RemoveAt(m_links.Length() - 1);
}

StreamLynx* StreamLynxCollection::GetLink(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_links.Length()) return nullptr;
    return m_links[static_cast<std::size_t>(index)];
}

StreamLynx* StreamLynxCollection::FindLink(const IHeatIntegrationStream* stream) const {
    if (!stream) return nullptr;
    for (StreamLynx* link : m_links)
        if (link->GetLinkedStream() == stream) return link;
    return nullptr;
}

bool StreamLynxCollection::AddLink(StreamLynx* link) { return link && m_links.Append(link); }

int StreamLynxCollection::DeleteLinksOf(const IHeatIntegrationStream* stream) {
    if (!stream) return 0;
    int deleted = 0;
    for (std::size_t i = m_links.Length(); i-- > 0;) {
        if (m_links[i]->GetLinkedStream() != stream) continue;
        delete m_links.RemoveAt(i);
        ++deleted;
    }
    return deleted;
}

void StreamLynxCollection::DropStream(const IHeatIntegrationStream* stream) {
    DeleteLinksOf(stream);
    for (StreamLynx* link : m_links) link->DropCandidate(stream);
}

void StreamLynxCollection::AdmitStream(IHeatIntegrationStream* stream) {
    for (StreamLynx* link : m_links) link->AddCandidate(stream);
}

bool StreamLynxCollection::Counts(const StreamLynx& link, const CPString& key) const {
    if (link.GetNumberOfCoefficients(key) != 0) return true;
    return key == "Temp_All" && link.GetNumberOfCoefficients("Flow_All") == 0;
}

int StreamLynxCollection::CountLinks(const CPString& key) const {
    int count = 0;
    for (const StreamLynx* link : m_links) count += Counts(*link, key) ? 1 : 0;
    return count;
}

int StreamLynxCollection::FindNthLink(const CPString& key, int n) const {
    int seen = 0;
    for (std::size_t i = 0; i < m_links.Length(); ++i) {
        if (!Counts(*m_links[i], key)) continue;
        if (seen++ == n) return static_cast<int>(i);
    }
    return 0;
}

void StreamLynxCollection::SetAdvancedLinkPreference(int on) {
    m_nAdvancedPreference = on;
    for (StreamLynx* link : m_links) {
        if (on) link->SetAdvanced(true);
        link->SetAdvancedPreference(on != 0);
    }
}

void StreamLynxCollection::NotifyChange(int code, const CPString&, void* data) {
    if (code != ScenarioDestroyed || !m_pScenario) return;
    if (data && data != static_cast<void*>(m_pScenario)) return;
    // Only the scenario that owns the collection destroys it: here the collection only stops
    // reaching a scenario that is going away.
    m_pScenario = nullptr;
    for (StreamLynx* link : m_links) link->ForgetScenario();
}

bool StreamLynxCollection::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteInt(static_cast<std::int32_t>(m_links.Length()));
    for (const StreamLynx* link : m_links) ok = ok && link->Store(file);
    return ok && file.EndRecord(record);
}

bool StreamLynxCollection::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    if (file.GetRecordVersion(record) >= 1) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        // One link at a time: a damaged count runs out of record after the last real link.
        for (std::int32_t k = 0; k < count; ++k) {
            auto link = std::make_unique<StreamLynx>(m_pScenario);
            if (!link->Recall(file)) return false;
            m_links.Append(link.release());
        }
    }
    return file.EndRecord(record);
}

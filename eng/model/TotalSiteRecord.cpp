// Total site: the case-file record. A read builds a new manager, stream dictionary and scenario
// dictionary beside the live ones and swaps them in only when the whole record was read, so a
// damaged file leaves the site exactly as it was.
#include "eng/model/TotalSite.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/TotalSiteManager.h"

struct CPITotalSite::Staged {
    std::unique_ptr<TotalSiteManager> manager = std::make_unique<TotalSiteManager>();
    std::unique_ptr<StreamDictionary> streams;
    std::unique_ptr<ScenarioDictionary> scenarios;

    ~Staged() {
        // Scenarios first: they hold the streams the manager owns.
        DestroyScenarioDictionary(scenarios);
        streams.reset();
    }
};

// ---------------------------------------------------------------- store

bool CPITotalSite::StoreSiteStreams(ILurmetBinaryFile& file) const {
    if (!m_pSiteStreams) return file.WriteBool(false);
    bool ok = file.WriteBool(true) && file.WriteInt(static_cast<std::int32_t>(m_pSiteStreams->Length()));
    for (std::size_t i = 0; ok && i < m_pSiteStreams->Length(); ++i) ok = file.WriteCountedString(m_pSiteStreams->KeyAt(i));
    for (std::size_t i = 0; ok && i < m_pSiteStreams->Length(); ++i) ok = (*m_pSiteStreams)[i]->Store(file);
    return ok;
}

bool CPITotalSite::StoreScenarios(ILurmetBinaryFile& file) {
    if (!m_pSiteScenarios) return file.WriteInt(0);
    const auto& records = GetScenarioServices().records;
    if (!records) return false;
    bool ok = file.WriteInt(1) && file.WriteLong(static_cast<std::int32_t>(m_pSiteScenarios->Length()));
    for (std::size_t i = 0; ok && i < m_pSiteScenarios->Length(); ++i)
        ok = file.WriteCPString(m_pSiteScenarios->KeyAt(i)) && records->Store(*(*m_pSiteScenarios)[i], file);
    return ok;
}

bool CPITotalSite::Store(ILurmetBinaryFile& file) {
    RecordHandle h;
    // The whole manager goes first: the site streams and the scenarios are read against it.
    return file.BeginRecord(h, RecordVersion) && m_pManager->Store(&file, SRT_All) && StoreSiteStreams(file) &&
           StoreScenarios(file) && CPIProject::Store(file) && file.EndRecord(h);
}

// ---------------------------------------------------------------- recall

bool CPITotalSite::RecallSiteStreams(ILurmetBinaryFile& file, Staged& staged) {
    std::int32_t present = 0, count = 0;
    if (!file.ReadInt(present)) return false;
    if (present == 0) return true;
    if (present != 1 || !file.ReadItemCount(count)) return false;
    staged.streams = std::make_unique<StreamDictionary>(kStreamSlots);
    TotalSiteManager& manager = *staged.manager;
    // Names one at a time: a damaged count runs out of record long before memory runs out.
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        if (!file.ReadCountedString(name) || name.empty() || staged.streams->ExistsKeyString(name)) return false;
        // An older record comes without the manager: a site stream whose utility is not among the
        // defaults gets a utility of its name, so that the stream and its data are kept.
        if (!manager.GetSiteStream(name)) {
            if (!manager.Exists(name.c_str()) && !manager.AddDefaultUtility(name.c_str())) return false;
            manager.AddStream(name.c_str());
        }
        auto* stream = dynamic_cast<CPIHeatIntegrationStream*>(manager.GetSiteStream(name));
        if (!stream || staged.streams->AddKeyString(name, stream) != 1) return false;
        stream->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 0);
    }
    for (std::size_t i = 0; i < staged.streams->Length(); ++i)
        if (!(*staged.streams)[i]->Recall(file)) return false;
    return true;
}

bool CPITotalSite::RecallScenarios(ILurmetBinaryFile& file, Staged& staged) {
    std::int32_t flag = 0, count = 0;
    if (!file.ReadInt(flag)) return false;
    if (flag != 1) return true;
    const auto& records = GetScenarioServices().records;
    if (!file.ReadItemCount(count) || !records) return false;
    staged.scenarios = std::make_unique<ScenarioDictionary>(kScenarioSlots);
    for (std::int32_t i = 0; i < count; ++i) {
        auto scenario = std::make_unique<CPIScenario>(this, GetScenarioServices());
        CPString key;
        if (!file.ReadCPString(key) || staged.scenarios->ExistsKeyString(key)) return false;
        scenario->JoinSite(Share(staged.manager.get(), staged.streams.get()));
        const bool read = records->Recall(*scenario, file);
        // Whatever the record said, the scenario belongs to a site and must not free its streams.
        scenario->SetTotalSiteScenario(1);
        if (!read || staged.scenarios->AddKeyString(key, scenario.get()) != 1) return false;
        scenario.release();
    }
    return true;
}

bool CPITotalSite::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    // A newer writer may have changed what the fields mean: such a record is not read.
    if (version > RecordVersion) return false;

    Staged staged;
    if (version >= SinceManagerRecord) {
        if (!staged.manager->Recall(&file, SRT_All)) return false;
    } else {
        staged.manager->SetUpDefaults();
    }
    if (version >= SinceSiteStreams && !RecallSiteStreams(file, staged)) return false;
    if (!RecallScenarios(file, staged)) return false;
    if (!CPIProject::Recall(file) || !file.EndRecord(h)) return false;

    // The whole record was read: it replaces the site in memory.
    DestroyScenarios();
    m_pSiteStreams.reset();
    m_pManager->SetMyTSPointer(nullptr);
    m_pSiteScenarios = std::move(staged.scenarios);
    m_pSiteStreams = std::move(staged.streams);
    m_pManager = std::move(staged.manager);
    m_pManager->SetMyTSPointer(this);
    m_nStreamCounter = GetNumberOfStreams();
    return true;
}

// Economic data sets, notes, report, default-utility and site managers of a scenario.
#include "eng/model/Scenario.h"

#include "brasko/DefaultManager.h"
#include "brasko/ReportHolder.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/Project.h"

#include <cctype>

namespace {

CPString upperCase(const char* text) {
    CPString out = text ? text : "";
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

// ---------------------------------------------------------------- economic data

double CPIScenario::GetEconomicData(int type, const char* setName) const {
    return GetActiveManager().GetEconomicData(static_cast<EconomicDataType>(type), setName);
}

void CPIScenario::SetEconomicData(int type, double value, const char* setName) {
    // The cost law is a choice of two (0 costs shells, 1 costs units): anything else is no law.
    if (type == EDT_CostLaw && value != 0.0 && value != 1.0) return;
    if (GetActiveManager().SetEconomicData(static_cast<EconomicDataType>(type), value, setName) != 1) return;
    // The exchanger configuration decides which cost law an exchanger follows.
    if (type == EDT_CostLaw) AssignAllExchangerCostModels();
    UpdateTargets(nullptr, 4);
}

int CPIScenario::GetNumberOfEconomicData() const { return GetActiveManager().GetNumberOfEconomicData(); }

const char* CPIScenario::GetEconomicDataName(int index) const { return GetActiveManager().GetEconomicDataName(index); }

void CPIScenario::AddEconomicData(const char* name) { GetActiveManager().AddEconomicData(name); }

int CPIScenario::RenameEconomicData(const char* newName, const char* oldName) {
    if (!newName || !oldName) return 0;
    DefaultManager& manager = *m_pDefaultManager;
    const CPString oldKey = upperCase(oldName);
    const CPString newKey = upperCase(newName);
    if (oldKey == DefaultManager::kDefaultSetName || newKey == DefaultManager::kDefaultSetName) return 0;
    bool oldFound = false;
    // Set 0 is the set "DEFAULT"; the named sets follow.
    for (int i = 1; i < manager.GetNumberOfEconomicData(); ++i) {
        const CPString key = upperCase(manager.GetEconomicDataName(i));
        if (key == newKey) return 0;
        if (key == oldKey) oldFound = true;
    }
    if (!oldFound) return 0;
    // The old name may be the set's own, which the rename overwrites: the matches are moved by a copy.
    const CPString previous = oldName;
    if (manager.RenameEconomicData(newName, previous.c_str()) != 1) return 0;
    if (m_pMatches) m_pMatches->RenameCostModel(previous, newName);
    // The designs' exchangers keep the name of the set that prices them: they take the new one,
    // and are priced by it again.
    AssignAllExchangerCostModels();
    UpdateTargets(nullptr, 4);
    return 1;
}

int CPIScenario::DeleteEconomicData(const char* name) {
    if (!name) return 0;
    if (m_pMatches && m_pMatches->UsesCostModel(name)) return 0;
    // The manager finds a set by its key, the name in upper case, while a renamed set shows its
    // name as it was typed.
    return m_pDefaultManager->DeleteEconomicData(upperCase(name).c_str());
}

int CPIScenario::GetDefaultUtilityManager(IDefaultUtilityManager*& out) {
    // A site scenario's defaults and economics are the site's: what its pages list, read or
    // write is the site manager's, as every scenario of the site shows it.
    out = &GetActiveManager();
    return 1;
}

int CPIScenario::GetSiteUtilityManager(DefaultManager*& out) const {
    out = m_pSiteManager;
    return 1;
}

const char* CPIScenario::GetRecommendedSiteUtilityName(double temperature, int heatType,
                                                       const char* exchangerType) const {
    if (!m_pSiteManager) return nullptr;
    return m_pSiteManager->GetRecommendedUtilityName(temperature, static_cast<SegmentHeatType>(heatType),
                                                     exchangerType);
}

// ---------------------------------------------------------------- notes and report

void CPIScenario::SetNotes(const CPString& notes) { m_pNotes = std::make_unique<CPString>(notes); }

int CPIScenario::GetReportHolder(ReportHolder*& out) {
    if (!m_pReport) m_pReport = std::make_unique<ReportHolder>();
    out = m_pReport.get();
    return 1;
}

const char* CPIScenario::GetReport() {
    if (!m_pReport) m_pReport = std::make_unique<ReportHolder>();
    return m_pReport->GetReport();
}

const char* CPIScenario::GetExtractionItemName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_extractionItemNames.size()) return "";
    return m_extractionItemNames[static_cast<std::size_t>(index)].c_str();
}

// ---------------------------------------------------------------- data extraction

bool CPIScenario::HasCaseDesign(const CPString& designName) const {
    return m_pProject && m_pProject->GetDataExtraction() != nullptr && DesignByName(designName) != nullptr;
}

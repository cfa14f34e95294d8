#include "eng/extraction/DataExtractionConfig.h"

#include "brasko/ConfigurationStore.h"
#include "brasko/ILurmetBinaryFile.h"

#include <unordered_set>

namespace {
const char* const kFileToExtract = "VelmorFileToExtract";
const char* const kSubFlowsheetCount = "NumberOfSubFlowsheet";

CPString importPath(const char* key) {
    CPString path;
    FindFilePath(key, path);
    return path;
}
}  // namespace

DataExtractionConfig::DataExtractionConfig() : m_settings(std::make_unique<CPValue>(RootName)) {
    // In the order the settings were introduced. "MaxNumberOfSegments" and "ShiftTempsForPumps"
    // come twice: the second setting changes the first entry, so 21 settings remain and the pump
    // shift is on.
    const struct {
        const char* name;
        double value;
    } defaults[] = {
        {"DoIUseSegments", 0},         {"AutoSegmentation", 1},       {"MaxNumberOfSegments", 5},
        {"SegmentTolerances", 0.9},    {"MaxNumberOfSegments", 5},    {"DoIRunSimAnalysis", 1},
        {"SegmentOnPhaseChange", 0},   {"UseOnlySaturatedLiveSteam", 1}, {"DoIExtractLiveSteam", 0},
        {"ShiftTempsForPumps", 0},     {"UseSubCoolLiveSteam", 1},    {"UseSuperHeatLiveSteam", 1},
        {"UserSuppliedAmbientTemperature", 20}, {"ShiftTempsForPumps", 1}, {kSubFlowsheetCount, 0},
        {"UtilitiesFileIsReady", 0},   {"EconomicFileIsReady", 0},    {"VelmorCaseFileIsReady", 0},
        {"TransferFromExcel", 0},      {"ExcelSegmentation", 1},      {"DoIExtractReactionHeat", 0},
    };
    for (const auto& d : defaults) SetSettingValue(d.name, d.value);
    SetSettingText(kFileToExtract, importPath("VelmorImport"));
    SetSettingValue("SimulatorFileType", 0);
}

DataExtractionConfig::~DataExtractionConfig() = default;

CPValue* DataExtractionConfig::Find(const CPString& name) const {
    return m_settings ? m_settings->FindSubValue(name) : nullptr;
}

int DataExtractionConfig::GetSettingValue(const CPString& name, double& value) const {
    const CPValue* v = Find(name);
    if (!v) return 0;
    value = v->GetAsDouble();
    return 1;
}

double DataExtractionConfig::GetSetting(const CPString& name) const {
    double value = 0.0;
    return GetSettingValue(name, value) == 1 && value != CPValue::Empty ? value : 0.0;
}

void DataExtractionConfig::SetSettingValue(const CPString& name, double value) {
    CPValue* v = Find(name);
    if (!v) v = m_settings->AddSubValue(name);
    v->Set(value);
}

void DataExtractionConfig::SetSettingText(const CPString& name, const CPString& text) {
    CPValue* v = Find(name);
    if (!v) v = m_settings->AddSubValue(name);
    v->Set(text);
}

CPString DataExtractionConfig::GetSettingText(const CPString& name) const {
    const CPValue* v = Find(name);
    return v && v->IsText() ? v->GetText() : CPString();
}

void DataExtractionConfig::SetFileToExtract(const CPString& path) {
    if (CPValue* v = Find(kFileToExtract)) v->Set(path);
}

void DataExtractionConfig::SetImportPathForSimulator(int kind) {
    static const char* const kKeys[] = {"VelmorImport", "QuorvexImport", "ProiiImport"};
    if (kind < 0 || kind > 2) return;
    SetSettingText(kFileToExtract, importPath(kKeys[kind]));
}

void DataExtractionConfig::AddSubFlowsheet(const CPString& name) {
    if (!m_settings || !m_subFlowsheetIndex.emplace(name, 1).second) return;
    m_subFlowsheetNames.push_back(name);
    SetSettingValue(kSubFlowsheetCount, GetSetting(kSubFlowsheetCount) + 1.0);
}

void DataExtractionConfig::ClearSubFlowsheets() {
    m_subFlowsheetNames.clear();
    m_subFlowsheetIndex.clear();
    SetSettingValue(kSubFlowsheetCount, 0.0);
}

bool DataExtractionConfig::IsSubFlowsheetChosen(const CPString& name) const {
    const auto it = m_subFlowsheetIndex.find(name);
    return it != m_subFlowsheetIndex.end() && it->second == 1;
}

int DataExtractionConfig::GetSubFlowsheetEntry(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_subFlowsheetNames.size()) return 0;
    const auto it = m_subFlowsheetIndex.find(m_subFlowsheetNames[static_cast<std::size_t>(index)]);
    return it == m_subFlowsheetIndex.end() ? 0 : it->second;
}

bool DataExtractionConfig::SetSubFlowsheetEntry(int index, int entry) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_subFlowsheetNames.size()) return false;
    m_subFlowsheetIndex[m_subFlowsheetNames[static_cast<std::size_t>(index)]] = entry;
    return true;
}

const CPString& DataExtractionConfig::GetSubFlowsheetName(int index) const {
    static const CPString kNone;
    if (index < 0 || static_cast<std::size_t>(index) >= m_subFlowsheetNames.size()) return kNone;
    return m_subFlowsheetNames[static_cast<std::size_t>(index)];
}

bool DataExtractionConfig::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    return file.BeginRecord(h, RecordVersion) && file.WriteCPValue(*m_settings) && file.EndRecord(h);
}

bool DataExtractionConfig::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    auto tree = std::make_unique<CPValue>();
    if (file.GetRecordVersion(h) != RecordVersion) {
        // A newer writer's settings may mean something else: they are not taken.
        file.EndRecord(h);
        return false;
    }
    if (!file.ReadCPValue(*tree)) {
        file.AbandonRecord(h);
        return false;
    }
    if (!file.EndRecord(h)) return false;
    // One entry per name: the first of a repeated name stays.
    std::unordered_set<std::string> seen;
    bool repeated = false;
    for (std::size_t i = 0; i < tree->GetNumberOfSubValues() && !repeated; ++i)
        repeated = !seen.insert(tree->GetSubValue(i)->GetName()).second;
    if (repeated) {
        auto unique = std::make_unique<CPValue>(*tree);
        unique->ClearSubValues();
        seen.clear();
        for (std::size_t i = 0; i < tree->GetNumberOfSubValues(); ++i)
            if (seen.insert(tree->GetSubValue(i)->GetName()).second)
                *unique->AddSubValue(CPString()) = std::move(*tree->GetSubValue(i));
        tree = std::move(unique);
    }
    m_settings = std::move(tree);
    return true;
}

// Default-utility manager: heat-transfer-coefficient defaults, economic data and file names.
#include "brasko/DefaultManager.h"
#include "lumeth/NewRowMarker.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {
bool IsEconomicType(int type) { return type >= 0 && type < kNumberOfEconomicDataTypes; }
}  // namespace

// ---- heat-transfer-coefficient defaults -------------------------------------------------------

int DefaultManager::GetNumberOfHTCDefaultValues() const { return static_cast<int>(m_coefficients.size()); }

double DefaultManager::GetHTCDefaultValue(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_coefficients.size()) return 0.0;
    return m_coefficients[static_cast<std::size_t>(index)]->GetHTCValue();
}

const char* DefaultManager::GetHTCDefaultValueName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_coefficients.size()) return nullptr;
    return m_coefficients[static_cast<std::size_t>(index)]->GetName().c_str();
}

const char* DefaultManager::GetHTCDefaultValueNote(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_coefficients.size()) return nullptr;
    return m_coefficients[static_cast<std::size_t>(index)]->GetNote().c_str();
}

// A value of exactly 0.0 asks for the first entry's value, the coefficient a new stream takes.
hresult DefaultManager::AddHTCDefaultValue(const char* name, double value, const char* note) {
    m_hasCoefficientList = true;
    if (!name || !*name || IsNewRowMarker(name) || !std::isfinite(value) || value < 0.0) return 0;
    // Names are told apart as the user reads them, whatever their letter case ("<DEFAULT>" is
    // the factory's "<default>").
    for (const auto& c : m_coefficients)
        if (strcasecmp(c->GetName().c_str(), name) == 0) return 0;
    const double taken = value == 0.0 ? GetHTCDefaultValue(0) : value;
    m_coefficients.push_back(std::make_unique<DefHeatTransferCoefficient>(name, taken, CPString(note)));
    int index = static_cast<int>(m_coefficients.size()) - 1;
    Send(ChangeCoefficientDefault, m_coefficients.back()->GetName(), &index);
    return 1;
}

hresult DefaultManager::DeleteHTCDefaultValue(int index) {
    if (static_cast<unsigned>(index) >= m_coefficients.size()) return 0;
    std::unique_ptr<DefHeatTransferCoefficient> removed = std::move(m_coefficients[static_cast<std::size_t>(index)]);
    m_coefficients.erase(m_coefficients.begin() + index);
    Send(ChangeCoefficientDefault, removed->GetName(), &index);
    return 1;
}

hresult DefaultManager::SetHTCDefaultValue(int index, double value) {
    if (static_cast<unsigned>(index) >= m_coefficients.size() || !(value >= MinHTCDefaultValue && value <= MaxHTCDefaultValue))
        return 0;
    DefHeatTransferCoefficient& entry = *m_coefficients[static_cast<std::size_t>(index)];
    entry.SetHTCValue(value);
    Send(ChangeCoefficientDefault, entry.GetName(), &index);
    return 1;
}

hresult DefaultManager::SetHTCDefaultValueName(int index, const char* name) {
    if (static_cast<unsigned>(index) >= m_coefficients.size() || !name || !*name || IsNewRowMarker(name)) return 0;
    // Another entry's name in any letter case is taken; an entry's own name in other letters is a
    // rename of its spelling (its own name unchanged is nothing to do).
    for (std::size_t i = 0; i < m_coefficients.size(); ++i) {
        const CPString& held = m_coefficients[i]->GetName();
        if (i == static_cast<std::size_t>(index) ? held == name : strcasecmp(held.c_str(), name) == 0) return 0;
    }
    DefHeatTransferCoefficient& entry = *m_coefficients[static_cast<std::size_t>(index)];
    entry.SetName(name);
    Send(ChangeCoefficientDefault, entry.GetName(), &index);
    return 1;
}

hresult DefaultManager::SetHTCDefaultValueNote(int index, const char* note) {
    if (static_cast<unsigned>(index) >= m_coefficients.size()) return 0;
    DefHeatTransferCoefficient& entry = *m_coefficients[static_cast<std::size_t>(index)];
    entry.SetNote(CPString(note));
    Send(ChangeCoefficientDefault, entry.GetName(), &index);
    return 1;
}

// ---- economic data ----------------------------------------------------------------------------

DefaultManager::NamedEconomicData* DefaultManager::FindSet(const CPString& key) {
    for (auto& s : m_sets)
        if (s.key == key) return &s;
    return nullptr;
}

const DefaultManager::NamedEconomicData* DefaultManager::FindSet(const CPString& key) const {
    return const_cast<DefaultManager*>(this)->FindSet(key);
}

char DefaultManager::GetVariableStatus(EconomicDataType type) const {
    if (IsEconomicInfoItem(type)) return m_info ? m_info->GetVariableStatus(type) : 0;
    return m_defaultSet ? m_defaultSet->GetVariableStatus(type) : 0;
}

// A set's key is its name in capitals. Every exchanger's cost reads several items of its set
// in each calculation, so the name is compared with the keys as it stands rather than copied.
bool DefaultManager::NamesKey(const char* name, std::string_view key) {
    std::size_t i = 0;
    for (; name[i] && i < key.size(); ++i)
        if (Capital(name[i]) != key[i]) return false;
    return !name[i] && i == key.size();
}

double DefaultManager::GetEconomicData(EconomicDataType type, const char* setName) const {
    if (!setName || !IsEconomicType(type)) return 0.0;
    if (IsEconomicInfoItem(type)) return m_info ? m_info->GetEconomicInfo(type) : 0.0;
    // No name is the default set.
    if (!*setName || NamesKey(setName, kDefaultSetName)) return m_defaultSet ? m_defaultSet->GetEconomicData(type) : 0.0;
    for (const auto& s : m_sets)
        if (NamesKey(setName, s.key)) return s.set->GetEconomicData(type);
    return 0.0;
}

// The answer is that of the last value actually set: a named set is offered every item (and
// refuses those it does not hold), the economic info then takes items 3, 4 and 6.
hresult DefaultManager::SetEconomicData(EconomicDataType type, double value, const char* setName) {
    if (!setName || !IsEconomicType(type)) return 0;
    const CPString key = UpperCase(setName);
    hresult result = 0;
    if (key == kDefaultSetName) {
        if (!m_defaultSet) {
            m_defaultSet = std::make_unique<EconomicData>(kDefaultSetName);
            if (m_locked) m_defaultSet->Lock();
        }
        if (!m_info) {
            m_info = std::make_unique<EconomicInfo>();
            if (m_locked) m_info->Lock();
        }
        if (IsEconomicSetItem(type)) result = m_defaultSet->SetEconomicData(type, value);
    } else if (NamedEconomicData* s = FindSet(key)) {
        result = s->set->SetEconomicData(type, value);
    }
    if (IsEconomicInfoItem(type) && m_info) result = m_info->SetEconomicInfo(type, value);
    return result;
}

int DefaultManager::GetNumberOfEconomicData() const { return static_cast<int>(m_sets.size()) + 1; }

const char* DefaultManager::GetEconomicDataName(int index) const {
    if (index == 0) return kDefaultSetName;
    if (index < 0 || !m_hasEconomicDataList || static_cast<std::size_t>(index) > m_sets.size()) return nullptr;
    return m_sets[static_cast<std::size_t>(index - 1)].set->GetName().c_str();
}

hresult DefaultManager::AddEconomicData(const char* name) {
    if (m_locked || !name || IsNewRowMarker(name)) return 0;
    const CPString key = UpperCase(name);
    m_hasEconomicDataList = true;
    if (key.empty() || key == kDefaultSetName || FindSet(key)) return 0;
    m_sets.push_back({key, std::make_unique<EconomicData>(key)});
    return 1;
}

hresult DefaultManager::RenameEconomicData(const char* newName, const char* oldName) {
    if (m_locked || !newName || !oldName || !m_hasEconomicDataList || IsNewRowMarker(newName)) return 0;
    const CPString newKey = UpperCase(newName);
    const CPString oldKey = UpperCase(oldName);
    if (newKey.empty() || oldKey == kDefaultSetName || newKey == kDefaultSetName || FindSet(newKey)) return 0;
    NamedEconomicData* s = FindSet(oldKey);
    if (!s) return 0;
    s->key = newKey;
    s->set->SetName(newName);
    return 1;
}

hresult DefaultManager::DeleteEconomicData(const char* name) {
    if (m_locked || !name || !m_hasEconomicDataList) return 0;
    const CPString key(name);
    auto it = std::find_if(m_sets.begin(), m_sets.end(), [&](const NamedEconomicData& s) { return s.key == key; });
    if (it == m_sets.end()) return 0;
    m_sets.erase(it);
    return 1;
}

hresult DefaultManager::isEconomicDataValid(int which) const {
    if (which == 0) return m_defaultSet ? 1 : 0;
    if (which == 1) return m_info ? 1 : 0;
    return 1;
}

EconomicData* DefaultManager::GetEconomicDataPointer(const char* setName) const {
    if (!setName) return m_defaultSet.get();
    const NamedEconomicData* s = FindSet(UpperCase(setName));
    return s ? s->set.get() : m_defaultSet.get();
}

void DefaultManager::SetEconomicInfo(std::unique_ptr<EconomicInfo> info) {
    m_info = std::move(info);
    if (m_info && m_locked) m_info->Lock();
}

void DefaultManager::SetEconomicData(std::unique_ptr<EconomicData> set) {
    m_defaultSet = std::move(set);
    if (m_defaultSet && m_locked) m_defaultSet->Lock();
}

hresult DefaultManager::AdoptEconomicData(const CPString& key, std::unique_ptr<EconomicData> set) {
    if (!set) return 0;
    const CPString upper = UpperCase(key.c_str());
    if (upper.empty() || upper == kDefaultSetName || FindSet(upper)) return 0;
    if (m_locked) set->Lock();
    m_hasEconomicDataList = true;
    m_sets.push_back({upper, std::move(set)});
    return 1;
}

void DefaultManager::ClearEconomicData() {
    m_sets.clear();
    m_hasEconomicDataList = false;
}

void DefaultManager::Lock() {
    m_locked = 1;
    if (m_defaultSet) m_defaultSet->Lock();
    if (m_info) m_info->Lock();
    for (auto& s : m_sets) s.set->Lock();
}

void DefaultManager::Unlock() {
    m_locked = 0;
    if (m_defaultSet) m_defaultSet->Unlock();
    if (m_info) m_info->Unlock();
    for (auto& s : m_sets) s.set->Unlock();
}

// ---- file names -------------------------------------------------------------------------------

CPString* DefaultManager::FileNameEntry(const CPString& key) {
    for (auto& entry : m_fileNames)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

void DefaultManager::GetCurrentFileName(const char* key, const char*& out) const {
    if (!key) return;
    for (const auto& entry : m_fileNames)
        if (entry.first == key) {
            out = entry.second.c_str();
            return;
        }
}

#include "lumeth/VarEnumInfo.h"

#include <cstdlib>

void VarEnumInfo::AddEntry(double value, const Text& text, int state) { m_entries.push_back({value, text, false, state}); }

int VarEnumInfo::FindEntry(double value) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].value == value) return static_cast<int>(i);
    return -1;
}

int VarEnumInfo::FindEntry(const Text& text) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].text == text) return static_cast<int>(i);
    return -1;
}

bool VarEnumInfo::FindAndHideEntry(double value) {
    const int i = FindEntry(value);
    if (i < 0) return false;
    m_entries[static_cast<std::size_t>(i)].hidden = true;
    return true;
}

bool VarEnumInfo::FindAndShowEntry(double value) {
    const int i = FindEntry(value);
    if (i < 0) return false;
    m_entries[static_cast<std::size_t>(i)].hidden = false;
    return true;
}

bool VarEnumInfo::ChangeEntryState(double value, int state) {
    const int i = FindEntry(value);
    if (i < 0) return false;
    m_entries[static_cast<std::size_t>(i)].state = state;
    return true;
}

bool VarEnumInfo::SetEntryStateAt(int index, int state) {
    if (index < 0 || index >= NumberOfEntries()) return false;
    m_entries[static_cast<std::size_t>(index)].state = state;
    return true;
}

int VarEnumInfo::NumberOfVisibleEntries() const {
    int n = 0;
    for (const Entry& e : m_entries) n += e.hidden ? 0 : 1;
    return n;
}

const VarEnumInfo::Entry* VarEnumInfo::GetEntry(int index) const {
    if (index < 0 || index >= NumberOfEntries()) return nullptr;
    return &m_entries[static_cast<std::size_t>(index)];
}

std::unique_ptr<VarEnumInfo> VariableNameInfo::GetParsedEnumInfo() const {
    auto info = std::make_unique<VarEnumInfo>();
    double next = 0.0;
    std::size_t from = 0;
    while (from <= m_choices.size() && !m_choices.empty()) {
        const std::size_t semi = m_choices.find(';', from);
        Text item = m_choices.substr(from, semi == Text::npos ? Text::npos : semi - from);
        item.TrimEndsOfWhitespace();
        const std::size_t eq = item.find('=');
        if (eq != Text::npos && Text(item.substr(0, eq)).IsNumber()) {
            next = std::strtod(item.c_str(), nullptr);
            item = Text(item.substr(eq + 1));
        }
        if (!item.empty()) info->AddEntry(next, item);
        next += 1.0;
        if (semi == Text::npos) break;
        from = semi + 1;
    }
    return info;
}

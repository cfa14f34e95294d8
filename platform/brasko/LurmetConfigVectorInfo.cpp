#include "brasko/LurmetConfigVectorInfo.h"

bool LurmetConfigVectorInfo::AddItem(const CPString& key, const CPString& label) {
    if (Find(key) >= 0) return false;
    m_items.push_back({key, label});
    return true;
}

const LurmetConfigItem* LurmetConfigVectorInfo::Item(int index) const {
    if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
    return &m_items[static_cast<std::size_t>(index)];
}

int LurmetConfigVectorInfo::Find(const CPString& key) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].key == key) return static_cast<int>(i);
    return -1;
}

LurmetConfigVectorInfo& _get_LurmetConfigVectorInfo() {
    static LurmetConfigVectorInfo registry;
    return registry;
}

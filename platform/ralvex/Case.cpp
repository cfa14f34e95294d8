#include "ralvex/Case.h"

#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"

Case::Case(const CPString& name) : m_name(name), m_cursor(m_items.end()) {}

Case::~Case() {
    SetVelmorToTarsilImport(nullptr);
    // Items go one by one, each unlinking itself from neighbours that are still there.
    m_index.clear();
    while (!m_items.empty()) m_items.pop_back();
}

int Case::Add(CPItem* item, int) {
    if (!item || item->GetName().empty() || m_index.count(item->GetName())) return 0;
    m_items.emplace_back(item);
    m_index.emplace(item->GetName(), std::prev(m_items.end()));
    return 1;
}

int Case::Add(std::unique_ptr<CPItem> item) {
    if (!Add(item.get(), 0)) return 0;
    item.release();
    return 1;
}

CPItem* Case::GetItemByName(const CPString& name, int) const {
    auto it = m_index.find(name);
    return it != m_index.end() ? it->second->get() : nullptr;
}

int Case::DeleteItem(const CPString& name) {
    auto it = m_index.find(name);
    if (it == m_index.end()) return 0;
    Items::iterator at = it->second;
    if (m_cursor == at) ++m_cursor;
    m_index.erase(it);
    m_items.erase(at);  // the item's destructor unlinks it
    return 1;
}

CPItem* Case::GetFirstItem() {
    m_cursor = m_items.begin();
    return GetNextItem();
}

CPItem* Case::GetNextItem() {
    if (m_cursor == m_items.end()) return nullptr;
    return (m_cursor++)->get();
}

void Case::SetVelmorToTarsilImport(Createable* import) {
    if (import == m_import) return;
    if (import) import->AddRef();
    Createable* old = m_import;
    m_import = import;
    if (old) old->Release();
}

void Case::RememberDocument() {
    m_document.clear();
    m_document.reserve(m_items.size());
    for (const auto& item : m_items) {
        DocumentItem d;
        d.name = item->GetName();
        d.className = item->_get_szClassName();
        for (const CPItem* fed : item->RelatedNodes(CPItem::Downstream)) d.feeds.push_back(fed->GetName());
        d.values.reserve(item->GetNumberOfVariables());
        for (std::size_t i = 0; i < item->GetNumberOfVariables(); ++i) d.values.push_back(item->GetVariable(i)->GetName());
        m_document.push_back(std::move(d));
    }
}

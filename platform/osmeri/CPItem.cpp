#include "osmeri/CPItem.h"

CPItem::CPItem(const CPItem& other)
    : Createable(), NamedObject(other), bIsMetaItem(other.bIsMetaItem), bIsTemporary(other.bIsTemporary),
      nLoadPriority(other.nLoadPriority) {
    for (const auto& v : other.m_vars) m_vars.push_back(std::make_unique<CPValue>(*v));
}

CPItem& CPItem::operator=(const CPItem& other) {
    if (this == &other) return *this;
    NamedObject::operator=(other);
    bIsMetaItem = other.bIsMetaItem;
    bIsTemporary = other.bIsTemporary;
    nLoadPriority = other.nLoadPriority;
    m_vars.clear();
    for (const auto& v : other.m_vars) m_vars.push_back(std::make_unique<CPValue>(*v));
    return *this;
}

CPValue* CPItem::InternVariable(const CPString& name) {
    if (CPValue* v = FindVariable(name)) return v;
    m_vars.push_back(std::make_unique<CPValue>(name));
    return m_vars.back().get();
}

CPValue* CPItem::FindVariable(const CPString& name) {
    for (auto& v : m_vars)
        if (v->GetName() == name) return v.get();
    return nullptr;
}

const CPValue* CPItem::FindVariable(const CPString& name) const {
    for (const auto& v : m_vars)
        if (v->GetName() == name) return v.get();
    return nullptr;
}

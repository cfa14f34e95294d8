#include "osmeri/CPItem.h"

#include <algorithm>

CPItem::CPItem(const CPItem& other)
    : Createable(), NamedObject(other), bIsMetaItem(other.bIsMetaItem), bIsTemporary(other.bIsTemporary),
      nLoadPriority(other.nLoadPriority), m_className(other.m_className) {
    for (const auto& v : other.m_vars) m_vars.push_back(std::make_unique<CPValue>(*v));
}

CPItem& CPItem::operator=(const CPItem& other) {
    if (this == &other) return *this;
    NamedObject::operator=(other);
    bIsMetaItem = other.bIsMetaItem;
    bIsTemporary = other.bIsTemporary;
    nLoadPriority = other.nLoadPriority;
    m_className = other.m_className;
    m_vars.clear();
    for (const auto& v : other.m_vars) m_vars.push_back(std::make_unique<CPValue>(*v));
    m_valueCursor = 0;
    return *this;
}

CPItem::~CPItem() { UnlinkAll(); }

CPValue* CPItem::InternVariable(const CPString& name) {
    if (CPValue* v = FindVariable(name)) return v;
    m_vars.push_back(std::make_unique<CPValue>(name));
    return m_vars.back().get();
}

CPValue* CPItem::AppendVariable(CPValue&& value) {
    m_vars.push_back(std::make_unique<CPValue>(std::move(value)));
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

CPValue* CPItem::GetFirstValue() {
    m_valueCursor = 0;
    return GetNextValue();
}

CPValue* CPItem::GetNextValue() {
    if (m_valueCursor >= m_vars.size()) return nullptr;
    return m_vars[m_valueCursor++].get();
}

// ---------------------------------------------------------------- relations

std::vector<CPItem*>* CPItem::Neighbours(int kind) {
    if (kind == Downstream) return &m_downstream;
    if (kind == Upstream) return &m_upstream;
    return nullptr;
}

const std::vector<CPItem*>* CPItem::Neighbours(int kind) const {
    if (kind == Downstream) return &m_downstream;
    if (kind == Upstream) return &m_upstream;
    return nullptr;
}

namespace {
int inverseKind(int kind) { return kind == CPItem::Downstream ? CPItem::Upstream : CPItem::Downstream; }

bool eraseOne(std::vector<CPItem*>& list, const CPItem* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}
}  // namespace

int CPItem::AddRelatedNode(CPItem* other, int kind, int, void*, void*) {
    std::vector<CPItem*>* mine = Neighbours(kind);
    if (!mine || !other || other == this || IsRelatedTo(other, kind)) return 0;
    mine->push_back(other);
    other->Neighbours(inverseKind(kind))->push_back(this);
    return 1;
}

int CPItem::UnlinkRelatedNode(CPItem* other, int kind) {
    std::vector<CPItem*>* mine = Neighbours(kind);
    if (!mine || !other || !eraseOne(*mine, other)) return 0;
    eraseOne(*other->Neighbours(inverseKind(kind)), this);
    return 1;
}

void CPItem::UnlinkAll() {
    for (CPItem* n : m_downstream) eraseOne(n->m_upstream, this);
    for (CPItem* n : m_upstream) eraseOne(n->m_downstream, this);
    m_downstream.clear();
    m_upstream.clear();
    m_relationCursor = 0;
}

CPItem* CPItem::GetFirstRelatedNode(int kind, void*) {
    m_relationKind = kind;
    m_relationCursor = 0;
    return GetNextRelatedNode();
}

CPItem* CPItem::GetNextRelatedNode() {
    const std::vector<CPItem*>* list = Neighbours(m_relationKind);
    if (!list || m_relationCursor >= list->size()) return nullptr;
    return (*list)[m_relationCursor++];
}

int CPItem::GetRelatedNodeCount(int kind, void*) const {
    const std::vector<CPItem*>* list = Neighbours(kind);
    return list ? static_cast<int>(list->size()) : 0;
}

bool CPItem::IsRelatedTo(const CPItem* other, int kind) const {
    const std::vector<CPItem*>* list = Neighbours(kind);
    if (!list || !other) return false;
    // The shorter of the two sides answers: a unit feeding many items finds each link quickly.
    const std::vector<CPItem*>* inverse = other->Neighbours(inverseKind(kind));
    if (inverse->size() < list->size()) return std::find(inverse->begin(), inverse->end(), this) != inverse->end();
    return std::find(list->begin(), list->end(), other) != list->end();
}

std::vector<CPItem*> CPItem::RelatedNodes(int kind) const {
    const std::vector<CPItem*>* list = Neighbours(kind);
    return list ? *list : std::vector<CPItem*>();
}

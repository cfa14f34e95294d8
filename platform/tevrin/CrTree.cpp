#include "tevrin/CrTree.h"

#include <vector>

CrTree::CrTree(const CrTree& other) : CrKeyedCollection(other) {
    *this = other;
}

CrTree& CrTree::operator=(const CrTree& other) {
    if (this == &other) return *this;
    CPTree copy(other.m_tree);
    for (std::size_t i = 0; i < copy.Length(); ++i) static_cast<Createable*>(copy.RetrieveIDX(i))->AddRef();
    Clear();
    m_tree = copy;
    return *this;
}

CrTree::~CrTree() {
    Clear();
}

bool CrTree::AddKeyDouble(double key, Createable* object) {
    if (!object || !m_tree.AddKeyDouble(key, object)) return false;
    object->AddRef();
    return true;
}

bool CrTree::AddKeyInteger(std::int64_t key, Createable* object) {
    if (!object || !m_tree.AddKeyInteger(key, object)) return false;
    object->AddRef();
    return true;
}

bool CrTree::RemoveIDX(std::size_t index) {
    if (index >= m_tree.Length()) return false;
    itReleaseCreateable(m_tree.RemoveIDX(index));
    return true;
}

bool CrTree::RemoveItem(Createable* object) {
    if (!object || !m_tree.RemoveItem(object)) return false;
    itReleaseCreateable(object);
    return true;
}

void CrTree::Clear() {
    std::vector<void*> items;
    items.reserve(m_tree.Length());
    for (std::size_t i = 0; i < m_tree.Length(); ++i) items.push_back(m_tree.RetrieveIDX(i));
    m_tree.Clear();
    for (void* item : items) itReleaseCreateable(item);
}

#include "tevrin/CrList.h"

#include <vector>

CrList::CrList(const CrList& other) : CrFlatCollection(other) {
    *this = other;
}

CrList& CrList::operator=(const CrList& other) {
    if (this == &other) return *this;
    // Take the new references before dropping the old ones: an object in both lists must survive.
    CPList copy(other.m_list);
    for (std::size_t i = 0; i < copy.Length(); ++i) static_cast<Createable*>(copy[i])->AddRef();
    Clear();
    m_list = copy;
    return *this;
}

CrList::~CrList() {
    Clear();
}

bool CrList::Take(Createable* object, bool inserted) {
    if (inserted) object->AddRef();
    return inserted;
}

bool CrList::Append(Createable* object) {
    return object && Take(object, m_list.Append(object));
}

bool CrList::Prepend(Createable* object) {
    return object && Take(object, m_list.Prepend(object));
}

bool CrList::InsertAt(std::size_t index, Createable* object) {
    return object && Take(object, m_list.InsertAt(index, object));
}

bool CrList::Remove(Createable* object) {
    if (!object || !m_list.Remove(object)) return false;
    itReleaseCreateable(object);
    return true;
}

bool CrList::RemoveAt(std::size_t index) {
    if (index >= m_list.Length()) return false;
    itReleaseCreateable(m_list.RemoveAt(index));
    return true;
}

void CrList::Clear() {
    // Empty the list first: an object's destructor may reach back into it.
    std::vector<void*> items;
    items.reserve(m_list.Length());
    for (std::size_t i = 0; i < m_list.Length(); ++i) items.push_back(m_list[i]);
    m_list.Clear();
    for (void* item : items) itReleaseCreateable(item);
}

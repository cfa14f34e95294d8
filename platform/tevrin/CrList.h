#pragma once
// A list of framework objects, each held by one reference while it is in the list.
#include "tevrin/CPList.h"
#include "tevrin/CrCollection.h"

class CrList : public CrFlatCollection {
public:
    CrList() = default;
    // The copy holds its own reference to every object.
    CrList(const CrList& other);
    CrList& operator=(const CrList& other);
    ~CrList() override;

    // Each takes a reference. A null object is refused.
    bool Append(Createable* object);
    bool Prepend(Createable* object);
    bool InsertAt(std::size_t index, Createable* object);

    Createable* GetAt(std::size_t index) const override { return static_cast<Createable*>(m_list[index]); }
    std::int64_t IndexOf(const Createable* object) const { return m_list.IndexOf(object); }
    Createable* FindFirst(FilterFn filter, void* key) const { return static_cast<Createable*>(m_list.FindFirst(filter, key)); }

    // Each releases the list's reference: the object may be gone afterwards.
    bool Remove(Createable* object);
    bool RemoveAt(std::size_t index);
    void Clear() override;

    bool Sort(CompareFn compare) { return m_list.Sort(compare); }
    std::uint32_t Length() const override { return m_list.Length(); }
    void ForEach(VisitorFn visitor, void* context) const override { m_list.ForEach(visitor, context); }

private:
    bool Take(Createable* object, bool inserted);

    CPList m_list;
};

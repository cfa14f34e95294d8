#pragma once
// A CPList whose items are T*: the same list, with the casts written once. It is still a CPList, so
// callbacks, Sort and Select work on it unchanged.
#include "tevrin/CPList.h"

#include <cstddef>
#include <iterator>

template <class T>
class CPTypedList : public CPList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        const_iterator(const CPTypedList* list, std::size_t index) : m_pList(list), m_nIndex(index) {}
        T* operator*() const { return (*m_pList)[m_nIndex]; }
        const_iterator& operator++() { ++m_nIndex; return *this; }
        const_iterator operator++(int) { const_iterator before = *this; ++m_nIndex; return before; }
        bool operator==(const const_iterator& other) const { return m_nIndex == other.m_nIndex; }
        bool operator!=(const const_iterator& other) const { return m_nIndex != other.m_nIndex; }

    private:
        const CPTypedList* m_pList;
        std::size_t m_nIndex;
    };

    bool Append(T* item) { return CPList::Append(item); }
    bool Prepend(T* item) { return CPList::Prepend(item); }
    bool InsertAt(std::size_t index, T* item) { return CPList::InsertAt(index, item); }
    T* operator[](std::size_t index) const { return static_cast<T*>(CPList::GetAt(index)); }
    T* RemoveAt(std::size_t index) { return static_cast<T*>(CPList::RemoveAt(index)); }
    T* Current() const { return static_cast<T*>(CPList::Current()); }
    T* FindFirst(FilterFn filter, void* key) const { return static_cast<T*>(CPList::FindFirst(filter, key)); }

    // Walks the items present when the loop starts (a loop must not remove items).
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, Length()); }
};

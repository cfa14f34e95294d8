#pragma once
// A CPList whose items are T*: the same list, with the casts written once. It is still a CPList, so
// callbacks, Sort and Select work on it unchanged.
#include "tevrin/CPList.h"

#include "tevrin/PositionalIterator.h"

#include <cstddef>

template <class T>
class CPTypedList : public CPList {
public:
    using const_iterator = PositionalIterator<CPTypedList, T>;

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

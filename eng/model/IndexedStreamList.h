#pragma once
// A list of streams that knows which streams it holds, so that asking whether a stream is in it
// (or taking out one that is not) does not walk the list. The count of each item follows every
// insertion through the list's own hooks, whoever inserts; an erasure drops the counts, which
// are counted afresh when next asked.
#include "tevrin/CPTypedList.h"

#include <unordered_map>

template <class T>
class IndexedList : public CPTypedList<T> {
public:
    bool Contains(const void* item) const {
        if (m_stale) Recount();
        return m_count.find(item) != m_count.end();
    }
    bool Remove(const void* item) { return Contains(item) && CPList::Remove(item); }

protected:
    void OnInserted(std::size_t index) override {
        CPList::OnInserted(index);
        if (!m_stale) ++m_count[CPList::GetAt(index)];
    }
    void OnErased(std::size_t index) override {
        CPList::OnErased(index);
        m_stale = true;
    }
    void OnCleared() override {
        CPList::OnCleared();
        m_count.clear();
        m_stale = false;
    }

private:
    void Recount() const {
        m_count.clear();
        for (std::size_t i = 0; i < this->Length(); ++i) ++m_count[CPList::GetAt(i)];
        m_stale = false;
    }

    mutable std::unordered_map<const void*, int> m_count;
    mutable bool m_stale = false;
};

#pragma once
// A list of streams that knows which streams it holds, so that asking whether a stream is in it
// (or taking out one that is not) does not walk the list. The set of items follows every
// insertion through the list's own hooks, whoever inserts; an erasure drops the set, which is
// gathered afresh when next asked.
#include "tevrin/CPTypedList.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The pointers added, in one open-addressed table (linear probing, never more than half full):
// one word a slot, where a node-based map takes a node and a bucket per item and the
// allocator's own words besides (a scenario of 100,000 streams holds each stream in two such
// lists).
class PointerSet {
public:
    void Clear() {
        m_slots.clear();
        m_size = 0;
        m_null = false;
    }
    void Add(const void* item) {
        if (!item) {
            m_null = true;
            return;
        }
        if ((m_size + 1) * 2 > m_slots.size()) Grow();
        const void*& slot = m_slots[SlotOf(item)];
        if (!slot) {
            slot = item;
            ++m_size;
        }
    }
    bool Contains(const void* item) const {
        if (!item) return m_null;
        return !m_slots.empty() && m_slots[SlotOf(item)] == item;
    }

private:
    // The slot holding `item`, or the empty slot where it would go.
    std::size_t SlotOf(const void* item) const {
        const std::size_t mask = m_slots.size() - 1;
        std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item)) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 32;
        std::size_t i = static_cast<std::size_t>(h) & mask;
        while (m_slots[i] && m_slots[i] != item) i = (i + 1) & mask;
        return i;
    }
    void Grow() {
        std::vector<const void*> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, nullptr);
        for (const void* item : old)
            if (item) m_slots[SlotOf(item)] = item;
    }

    std::vector<const void*> m_slots;
    std::size_t m_size = 0;
    bool m_null = false;
};

template <class T>
class IndexedList : public CPTypedList<T> {
public:
    bool Contains(const void* item) const {
        if (m_stale) Recount();
        return m_count.Contains(item);
    }
    bool Remove(const void* item) { return Contains(item) && CPList::Remove(item); }

protected:
    void OnInserted(std::size_t index) override {
        CPList::OnInserted(index);
        if (!m_stale) m_count.Add(CPList::GetAt(index));
    }
    void OnErased(std::size_t index) override {
        CPList::OnErased(index);
        m_stale = true;
    }
    void OnCleared() override {
        CPList::OnCleared();
        m_count.Clear();
        m_stale = false;
    }

private:
    void Recount() const {
        m_count.Clear();
        for (std::size_t i = 0; i < this->Length(); ++i) m_count.Add(CPList::GetAt(i));
        m_stale = false;
    }

    mutable PointerSet m_count;
    mutable bool m_stale = false;
};

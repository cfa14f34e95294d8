#pragma once
// A list of streams that knows which streams it holds, so that asking whether a stream is in it
// (or taking out one that is not) does not walk the list. The set of items follows every
// insertion at the end through the list's own hooks, whoever inserts; an insertion elsewhere and
// an erasure drop the set, which is gathered afresh when next asked.
#include "tevrin/CPTypedList.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The positions of a list's items, in one open-addressed table keyed by the item (linear
// probing, never more than half full): four bytes a slot, the item itself read from the list, where
// a node-based map takes a node and a bucket per item and the allocator's own words besides (a
// scenario of 100,000 streams holds each stream in three such lists). A position stays right while
// the list only grows at its end; the owner drops the set on any other change.
// A bit per slot tells whether the slot is taken: an item whose home slot is free is not held,
// and that answer (the common one: a stream entered is asked after in lists it is not yet in)
// comes from a bitmap an eighth of a table's size, which stays in cache where the table of
// 100,000 streams does not.
class PositionSet {
public:
    void Clear() {
        m_slots.clear();
        m_taken.clear();
        m_size = 0;
        m_null = false;
    }
    // Takes the item at `position` of `list`; an item already held keeps its first position.
    void Add(const CPList& list, std::size_t position) {
        const void* item = list.GetAt(position);
        if (!item) {
            m_null = true;
            return;
        }
        if ((m_size + 1) * 2 > m_slots.size()) Grow(list);
        const std::size_t i = SlotOf(list, item);
        if (!m_slots[i]) {
            Take(i, position);
            ++m_size;
        }
    }
    bool Contains(const CPList& list, const void* item) const {
        if (!item) return m_null;
        if (m_slots.empty() || !Taken(Home(item))) return false;
        return m_slots[SlotOf(list, item)] != 0;
    }

private:
    std::size_t Home(const void* item) const {
        std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item)) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 32;
        return static_cast<std::size_t>(h) & (m_slots.size() - 1);
    }
    bool Taken(std::size_t i) const { return (m_taken[i >> 6] >> (i & 63)) & 1U; }
    void Take(std::size_t i, std::size_t position) {
        m_slots[i] = static_cast<std::uint32_t>(position + 1);
        m_taken[i >> 6] |= std::uint64_t{1} << (i & 63);
    }
    // The slot holding `item`, or the empty slot where it would go.
    std::size_t SlotOf(const CPList& list, const void* item) const {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = Home(item);
        while (m_slots[i] && list.GetAt(m_slots[i] - 1) != item) i = (i + 1) & mask;
        return i;
    }
    void Grow(const CPList& list) {
        std::vector<std::uint32_t> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, 0);
        m_taken.assign((m_slots.size() + 63) / 64, 0);
        for (std::uint32_t position : old)
            if (position) Take(SlotOf(list, list.GetAt(position - 1)), position - 1);
    }

    std::vector<std::uint32_t> m_slots;  // position + 1 of the item; 0 empty
    std::vector<std::uint64_t> m_taken;  // a bit per slot of m_slots: set where the slot holds an item
    std::size_t m_size = 0;
    bool m_null = false;
};

template <class T>
class IndexedList : public CPTypedList<T> {
public:
    bool Contains(const void* item) const {
        if (m_stale) Recount();
        return m_count.Contains(*this, item);
    }
    bool Remove(const void* item) { return Contains(item) && CPList::Remove(item); }

protected:
    void OnInserted(std::size_t index) override {
        CPList::OnInserted(index);
        // An item put in before the end moves those after it: their positions are gathered afresh.
        if (index + 1 != this->Length()) m_stale = true;
        if (!m_stale) m_count.Add(*this, index);
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
        for (std::size_t i = 0; i < this->Length(); ++i) m_count.Add(*this, i);
        m_stale = false;
    }

    mutable PositionSet m_count;
    mutable bool m_stale = false;
};

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
// Each slot has a byte beside it, 0 where the slot is free and otherwise eight bits of its item's
// hash (never 0): a probe walks these bytes and reads a slot and the list only where the byte
// is the item's own, so that asking after a stream the list does not hold (the common question:
// a stream entered is asked after in lists it is not yet in) reads one byte array, a quarter of
// the slots' size, and neither the slots nor the list, which at 100,000 streams miss the cache.
class PositionSet {
public:
    void Clear() {
        m_slots.clear();
        m_tags.clear();
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
        if (!m_tags[i]) {
            Take(i, position, item);
            ++m_size;
        }
    }
    bool Contains(const CPList& list, const void* item) const {
        if (!item) return m_null;
        return !m_slots.empty() && m_tags[SlotOf(list, item)] != 0;
    }

private:
    static std::uint64_t Hash(const void* item) {
        std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item)) * 0x9E3779B97F4A7C15ULL;
        return h ^ (h >> 32);
    }
    // The byte of an item: the hash's top eight bits (the slot is taken from its lowest).
    static std::uint8_t Tag(std::uint64_t h) {
        const auto tag = static_cast<std::uint8_t>(h >> 56);
        return tag ? tag : 1;
    }
    void Take(std::size_t i, std::size_t position, const void* item) {
        m_slots[i] = static_cast<std::uint32_t>(position + 1);
        m_tags[i] = Tag(Hash(item));
    }
    // The slot holding `item`, or the empty slot where it would go.
    std::size_t SlotOf(const CPList& list, const void* item) const {
        const std::size_t mask = m_slots.size() - 1;
        const std::uint64_t h = Hash(item);
        const std::uint8_t tag = Tag(h);
        std::size_t i = static_cast<std::size_t>(h) & mask;
        while (m_tags[i] && (m_tags[i] != tag || list.GetAt(m_slots[i] - 1) != item)) i = (i + 1) & mask;
        return i;
    }
    void Grow(const CPList& list) {
        std::vector<std::uint32_t> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, 0);
        m_tags.assign(m_slots.size(), 0);
        for (std::uint32_t position : old)
            if (position) {
                const void* item = list.GetAt(position - 1);
                Take(SlotOf(list, item), position - 1, item);
            }
    }

    std::vector<std::uint32_t> m_slots;  // position + 1 of the item; 0 empty
    std::vector<std::uint8_t> m_tags;    // per slot: 0 free, else the Tag of its item
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

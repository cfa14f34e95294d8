#pragma once
// Collections of items in a sequence: position, find, select, stable sort, destroy. The items are
// held in one sequence here; each kind decides where a new item goes and how it is walked.
#include "tevrin/CPCollection.h"

#include <cstddef>
#include <cstdint>
#include <deque>

class CPFlatCollection : public CPCollection {
public:
    CPFlatCollection() = default;
    CPFlatCollection(const CPFlatCollection&) = default;
    CPFlatCollection& operator=(const CPFlatCollection&) = default;
    ~CPFlatCollection() override = default;

    // Adds an item where this kind of collection puts new items (end of a list, top of a stack, back
    // of a queue). False only when the collection is full.
    virtual bool Add(void* item) = 0;

    // The item at a position (0 = first in the collection's order); null out of range.
    void* operator[](std::size_t index) const { return GetAt(index); }
    void* GetAt(std::size_t index) const { return index < m_items.size() ? m_items[index] : nullptr; }
    // Position of the first occurrence of the item, -1 when absent.
    std::int64_t IndexOf(const void* item) const;
    bool Contains(const void* item) const { return IndexOf(item) >= 0; }

    // The first item the filter selects with the key, or null.
    void* FindFirst(FilterFn filter, void* key) const;
    // Adds every item the filter selects to `out` (in this collection's order); answers how many.
    // Selecting into the collection itself considers only the items present at the start.
    std::uint32_t Select(FilterFn filter, void* key, CPFlatCollection& out) const;

    // Stable sort in the comparator's ascending order. Answers false (order unchanged) for a null
    // comparator or when the comparator changed the collection's length while sorting.
    bool Sort(CompareFn compare);

    void ForEach(VisitorFn visitor, void* context) const override;

    // Forgets every item (the items themselves are untouched).
    void Clear();
    // Hands every non-null item to the destroy callback, then clears. A null callback is refused
    // (recorded as an assertion) and nothing is cleared, so no item is lost unfreed.
    bool DestroyAll(DestroyFn destroy);

protected:
    bool InsertItem(std::size_t index, void* item);
    void* EraseItem(std::size_t index);
    // Puts another item in an existing position; the length does not change.
    bool ReplaceItem(std::size_t index, void* item);
    std::size_t ItemCount() const { return m_items.size(); }
    void* FrontItem() const { return m_items.empty() ? nullptr : m_items.front(); }

    // Told after the sequence changed, so that cursors can follow their items.
    virtual void OnInserted(std::size_t) {}
    virtual void OnErased(std::size_t) {}
    virtual void OnCleared() {}

private:
    std::deque<void*> m_items;
};

// The walk shared by the flat collections: front to back by position.
class FlatIterationState : public PositionalIterationState {
public:
    explicit FlatIterationState(const CPFlatCollection* collection) : m_pCollection(collection) {}

protected:
    std::size_t Count() const override { return m_pCollection ? m_pCollection->Length() : 0; }
    void* ItemAt(std::size_t index) const override { return m_pCollection->GetAt(index); }

private:
    const CPFlatCollection* m_pCollection;
};

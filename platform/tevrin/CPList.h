#pragma once
// The ordered list: insertion anywhere, removal by position or item, and a cursor that stays on its
// item while the list changes around it.
#include "tevrin/CPFlatCollection.h"

#include <cstdint>

class CPList : public CPFlatCollection {
public:
    CPList() = default;
    CPList(const CPList&) = default;
    CPList& operator=(const CPList&) = default;
    ~CPList() override = default;

    bool Add(void* item) override { return Append(item); }
    bool Append(void* item) { return InsertItem(ItemCount(), item); }
    bool Prepend(void* item) { return InsertItem(0, item); }
    // Index == Length() appends; a larger index is refused.
    bool InsertAt(std::size_t index, void* item) { return InsertItem(index, item); }
    // The removed item; null when the index is out of range.
    void* RemoveAt(std::size_t index) { return EraseItem(index); }
    // Removes the first occurrence; false when the item is not in the list.
    bool Remove(const void* item);

    // The cursor: an index, or -1 when it is on no item. It starts on no item.
    std::int64_t _get_nDXCursor() const { return m_nDXCursor; }
    // Each move answers whether the cursor is on an item afterwards. Moving past either end leaves
    // the cursor on no item; MoveNext/MovePrevious from no item stay there.
    bool MoveFirst();
    bool MoveLast();
    bool MoveNext();
    bool MovePrevious();
    bool MoveTo(std::size_t index);
    // The item under the cursor, or null.
    void* Current() const { return m_nDXCursor >= 0 ? GetAt(static_cast<std::size_t>(m_nDXCursor)) : nullptr; }

    CPList* CreateInstance() const override { return new CPList(); }
    std::unique_ptr<IterationState> CreateIterationState() const override;

protected:
    // Insertion before the cursor keeps it on its item; removing its item moves it to the item that
    // followed (or off the list when that was the last).
    void OnInserted(std::size_t index) override;
    void OnErased(std::size_t index) override;
    void OnCleared() override { m_nDXCursor = -1; }

private:
    std::int64_t m_nDXCursor = -1;
};

class ListIterationState : public FlatIterationState {
public:
    explicit ListIterationState(const CPList* list) : FlatIterationState(list) {}
};

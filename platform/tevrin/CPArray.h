#pragma once
// The indexed array: slots set by position, a size that can be set, and a current index that a
// reader moves through the slots.
#include "tevrin/CPFlatCollection.h"

#include <cstdint>

class CPArray : public CPFlatCollection {
public:
    // The largest size SetSize accepts: an array is sized by its owner's counts, never by anything
    // near the 32-bit limit, so a wild size is refused instead of allocated.
    static constexpr std::uint32_t kMaxSize = 1u << 26;

    CPArray() = default;
    CPArray(const CPArray&) = default;
    CPArray& operator=(const CPArray&) = default;
    ~CPArray() override = default;

    bool Add(void* item) override { return InsertItem(ItemCount(), item); }
    bool InsertAt(std::size_t index, void* item) { return InsertItem(index, item); }
    void* RemoveAt(std::size_t index) { return EraseItem(index); }
    // Replaces the item in an existing slot; false out of range.
    bool SetAt(std::size_t index, void* item);
    // Grows with null slots or drops trailing slots; false above kMaxSize.
    bool SetSize(std::uint32_t size);

    std::uint32_t _get_ulCurrentIndex() const { return m_ulCurrentIndex; }
    // Any index up to Length() is accepted (Length() means "past the end").
    bool SetCurrentIndex(std::uint32_t index);
    // The item at the current index, or null past the end.
    void* GetCurrent() const { return GetAt(m_ulCurrentIndex); }
    // The item at the current index, then the index moves on; null past the end.
    void* GetNext();

    CPArray* CreateInstance() const override { return new CPArray(); }
    std::unique_ptr<IterationState> CreateIterationState() const override;

protected:
    void OnErased(std::size_t index) override;
    void OnCleared() override { m_ulCurrentIndex = 0; }

private:
    std::uint32_t m_ulCurrentIndex = 0;
};

class ArrayIterationState : public FlatIterationState {
public:
    explicit ArrayIterationState(const CPArray* array) : FlatIterationState(array) {}
};

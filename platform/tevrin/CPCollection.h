#pragma once
// Root of the untyped collections: a 32-bit length and a 16-bit change counter that moves with
// every change of the length, so a walker can tell that the collection changed under it.
#include "tevrin/Callbacks.h"
#include "tevrin/Iterator.h"

#include <cstdint>
#include <limits>

class CPCollection : public Iterable {
public:
    // The most items a collection holds: its length is 32 bits wide.
    static constexpr std::uint32_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

    CPCollection() = default;
    CPCollection(const CPCollection&) = default;
    CPCollection& operator=(const CPCollection&) = default;
    ~CPCollection() override = default;

    std::uint32_t Length() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    std::uint16_t _get_nXACT() const { return m_nXACT; }

    // The collections keep their own length; these are for collections built on this one.
    void IncrementLength();
    // On an empty collection this records "nLength >0" and leaves the length at 0.
    void DecrementLength();
    void ClearLength();

    // Calls the visitor once per item, in the collection's order, with the context. The walk covers
    // the items present when it starts; a visitor that changes the collection never makes it read
    // outside the items.
    virtual void ForEach(VisitorFn visitor, void* context) const;

    // A new, empty collection of the same kind. The caller owns it.
    virtual CPCollection* CreateInstance() const = 0;

private:
    std::uint32_t m_nLength = 0;
    std::uint16_t m_nXACT = 0;
};

// Collections reached by key rather than by position alone: the dictionaries (string or 64-bit
// cardinal keys, exact and case-sensitive) and the tree (numeric keys).
class CPKeyedCollection : public CPCollection {};

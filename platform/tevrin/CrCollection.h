#pragma once
// The second collection family: its items are framework objects that the collection holds a
// reference to. Adding an object AddRef()s it; removing it (or clearing, or destroying the
// collection) releases it through itReleaseCreateable, so an object held by nothing else goes away.
//
// Callbacks receive each item as its Createable* converted to void*: convert back to Createable*
// before casting to the object's own class.
#include "dunmor/Createable.h"
#include "tevrin/Callbacks.h"

#include <cstdint>

class CrCollection : public Createable {
public:
    // Releases one reference of the object (null is ignored). Shaped as a destroy callback.
    static void itReleaseCreateable(void* item);

    virtual std::uint32_t Length() const = 0;
    bool IsEmpty() const { return Length() == 0; }
    virtual void ForEach(VisitorFn visitor, void* context) const = 0;
    // Releases every item.
    virtual void Clear() = 0;
};

class CrFlatCollection : public CrCollection {
public:
    virtual Createable* GetAt(std::size_t index) const = 0;
    Createable* operator[](std::size_t index) const { return GetAt(index); }
};

class CrKeyedCollection : public CrCollection {};

#pragma once
// A CPDictionary whose values are T*: the same dictionary, with the casts written once.
#include "tevrin/CPDictionary.h"

#include "tevrin/PositionalIterator.h"

#include <cstddef>

template <class T>
class CPTypedDictionary : public CPDictionary {
public:
    using const_iterator = PositionalIterator<CPTypedDictionary, T>;

    explicit CPTypedDictionary(int slots = kDefaultSlots) : CPDictionary(slots) {}

    int AddKeyString(const CPString& key, T* value, int flags = 0) { return CPDictionary::AddKeyString(key, value, flags); }
    int AddKeyCardinal(std::uint64_t key, T* value, int flags = 0) { return CPDictionary::AddKeyCardinal(key, value, flags); }
    T* FindKeyString(const CPString& key) const { return static_cast<T*>(CPDictionary::FindKeyString(key)); }
    T* FindKeyCardinal(std::uint64_t key) const { return static_cast<T*>(CPDictionary::FindKeyCardinal(key)); }
    T* RemoveKeyString(const CPString& key) { return static_cast<T*>(CPDictionary::RemoveKeyString(key)); }
    T* RemoveKeyCardinal(std::uint64_t key) { return static_cast<T*>(CPDictionary::RemoveKeyCardinal(key)); }
    T* operator[](std::size_t index) const { return static_cast<T*>(CPDictionary::operator[](index)); }

    // Walks the values in insertion order (a loop must not remove entries).
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, Length()); }
};

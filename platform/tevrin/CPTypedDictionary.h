#pragma once
// A CPDictionary whose values are T*: the same dictionary, with the casts written once.
#include "tevrin/CPDictionary.h"

#include <cstddef>
#include <iterator>

template <class T>
class CPTypedDictionary : public CPDictionary {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        const_iterator(const CPTypedDictionary* dict, std::size_t index) : m_pDict(dict), m_nIndex(index) {}
        T* operator*() const { return (*m_pDict)[m_nIndex]; }
        const_iterator& operator++() { ++m_nIndex; return *this; }
        const_iterator operator++(int) { const_iterator before = *this; ++m_nIndex; return before; }
        bool operator==(const const_iterator& other) const { return m_nIndex == other.m_nIndex; }
        bool operator!=(const const_iterator& other) const { return m_nIndex != other.m_nIndex; }

    private:
        const CPTypedDictionary* m_pDict;
        std::size_t m_nIndex;
    };

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

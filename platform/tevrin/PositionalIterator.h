#pragma once
// Forward iterator over a collection read by position (operator[] answering T*), so the typed
// collections can be walked with range-for.
#include <cstddef>
#include <iterator>

template <class Collection, class T>
class PositionalIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using pointer = T* const*;
    using reference = T*;

    PositionalIterator(const Collection* collection, std::size_t index) : m_pCollection(collection), m_nIndex(index) {}
    T* operator*() const { return (*m_pCollection)[m_nIndex]; }
    PositionalIterator& operator++() {
        ++m_nIndex;
        return *this;
    }
    PositionalIterator operator++(int) {
        PositionalIterator before = *this;
        ++m_nIndex;
        return before;
    }
    bool operator==(const PositionalIterator& other) const { return m_nIndex == other.m_nIndex; }
    bool operator!=(const PositionalIterator& other) const { return m_nIndex != other.m_nIndex; }

private:
    const Collection* m_pCollection;
    std::size_t m_nIndex;
};

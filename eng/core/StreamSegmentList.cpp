#include "eng/core/StreamSegmentList.h"

#include "eng/core/StreamSegment.h"

#include <algorithm>
#include <utility>

StreamSegmentList::~StreamSegmentList() { Release(); }

StreamSegmentList::StreamSegmentList(StreamSegmentList&& other) noexcept {
    new (&m_one) value_type();
    TakeFrom(other);
}

StreamSegmentList& StreamSegmentList::operator=(StreamSegmentList&& other) noexcept {
    if (this != &other) {
        // The list taken over is in place before the previous segments go, as a vector's move
        // assignment leaves it.
        StreamSegmentList previous(std::move(*this));
        TakeFrom(other);
    }
    return *this;
}

// Requires this list empty and in place.
void StreamSegmentList::TakeFrom(StreamSegmentList& other) noexcept {
    if (other.InPlace()) {
        m_one = std::move(other.m_one);
    } else {
        m_one.~value_type();
        m_many = other.m_many;
        m_capacity = other.m_capacity;
        new (&other.m_one) value_type();
        other.m_capacity = 1;
    }
    m_size = other.m_size;
    other.m_size = 0;
}

void StreamSegmentList::Release() noexcept {
    if (InPlace()) {
        m_one.~value_type();
    } else {
        delete[] m_many;
    }
    m_size = 0;
    m_capacity = 1;
}

void StreamSegmentList::clear() {
    Release();
    new (&m_one) value_type();
}

void StreamSegmentList::reserve(std::size_t n) {
    if (n <= m_capacity) return;
    auto* grown = new value_type[n];
    std::move(begin(), end(), grown);
    const std::uint32_t size = m_size;
    Release();
    m_many = grown;
    m_capacity = static_cast<std::uint32_t>(n);
    m_size = size;
}

void StreamSegmentList::push_back(value_type segment) {
    if (m_size == m_capacity) reserve(std::max<std::size_t>(2, 2 * static_cast<std::size_t>(m_capacity)));
    data()[m_size++] = std::move(segment);
}

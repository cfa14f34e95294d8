#pragma once
// A stream's design segments, in segment order; the list owns them. Nearly every stream has one
// segment, so the list holds one in place and allocates an array only for a second: a table of
// many streams pays no allocation a stream for its list. Used as the vector it stands for
// (contiguous, iterators are pointers to the owning pointers).
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

class StreamSegment;

class StreamSegmentList {
public:
    using value_type = std::unique_ptr<StreamSegment>;
    using iterator = value_type*;
    using const_iterator = const value_type*;
    using size_type = std::size_t;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    StreamSegmentList() { new (&m_one) value_type(); }
    ~StreamSegmentList();
    StreamSegmentList(StreamSegmentList&& other) noexcept;
    StreamSegmentList& operator=(StreamSegmentList&& other) noexcept;
    StreamSegmentList(const StreamSegmentList&) = delete;
    StreamSegmentList& operator=(const StreamSegmentList&) = delete;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    value_type* data() { return InPlace() ? &m_one : m_many; }
    const value_type* data() const { return InPlace() ? &m_one : m_many; }
    iterator begin() { return data(); }
    iterator end() { return data() + m_size; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + m_size; }
    reverse_iterator rbegin() { return reverse_iterator(end()); }
    reverse_iterator rend() { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    value_type& operator[](std::size_t k) { return data()[k]; }
    const value_type& operator[](std::size_t k) const { return data()[k]; }
    value_type& front() { return data()[0]; }
    const value_type& front() const { return data()[0]; }
    value_type& back() { return data()[m_size - 1]; }
    const value_type& back() const { return data()[m_size - 1]; }

    void push_back(value_type segment);
    void reserve(std::size_t n);
    // Frees every segment and any array; the list holds one in place again.
    void clear();

private:
    bool InPlace() const { return m_capacity <= 1; }
    void Release() noexcept;
    void TakeFrom(StreamSegmentList& other) noexcept;

    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 1;
    union {
        value_type m_one;    // while the capacity is 1
        value_type* m_many;  // an array of m_capacity owning pointers
    };
};

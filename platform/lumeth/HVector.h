#pragma once
// The framework's growable array: an element array, the element count, the spare slots behind
// the last element and a grow step (10 in every vector of the views). It grows by whole steps
// and gives memory back when twice a step or more lies unused. The holder decides whether the
// elements (when pointers) are owned; DeleteAll deletes them.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename E>
class HVector {
public:
    static constexpr std::int32_t DefaultStep = 10;

    explicit HVector(std::int32_t step = DefaultStep) : m_step(step) {}
    HVector(const HVector& other) : m_step(other.m_step) {
        Reallocate(other.m_count, other.m_count + other.m_spare);
        std::copy(other.m_array, other.m_array + other.m_count, m_array);
    }
    HVector& operator=(const HVector& other) {
        if (this != &other) {
            HVector copy(other);
            Swap(copy);
        }
        return *this;
    }
    ~HVector() { delete[] m_array; }

    std::int32_t Count() const { return m_count; }
    std::int32_t Spare() const { return m_spare; }
    std::int32_t Capacity() const { return m_count + m_spare; }
    std::int32_t Step() const { return m_step; }
    bool IsEmpty() const { return m_count == 0; }
    E& operator[](std::int32_t i) { return m_array[i]; }
    const E& operator[](std::int32_t i) const { return m_array[i]; }
    E* begin() { return m_array; }
    E* end() { return m_array + m_count; }
    const E* begin() const { return m_array; }
    const E* end() const { return m_array + m_count; }

    // Sets count and capacity; the array moves only when the capacity changes.
    void Reallocate(std::int32_t count, std::int32_t capacity) {
        if (capacity < count) capacity = count;
        if (capacity != m_count + m_spare) {
            E* array = capacity > 0 ? new E[static_cast<std::size_t>(capacity)]() : nullptr;
            const std::int32_t keep = std::min(m_count, count);
            if (keep > 0) std::copy(m_array, m_array + keep, array);
            delete[] m_array;
            m_array = array;
        }
        m_count = count;
        m_spare = capacity - count;
    }

    // Overlap-safe move of n elements.
    static void MoveElements(E* destination, const E* source, std::int32_t n) {
        if (n <= 0 || destination == source) return;
        if (destination < source) std::copy(source, source + n, destination);
        else std::copy_backward(source, source + n, destination + n);
    }

    void Append(const E& element) {
        const std::int32_t capacity =
            m_spare >= 1 ? Capacity() : m_count + m_step - ((-m_spare) % (m_step > 0 ? m_step : 1));
        Reallocate(m_count + 1, std::max(capacity, m_count + 1));
        m_array[m_count - 1] = element;
    }

    // Removes the element at `index`; false when there is none.
    bool RemoveAt(std::int32_t index) {
        if (index < 0 || index >= m_count) return false;
        MoveElements(m_array + index, m_array + index + 1, m_count - index - 1);
        std::int32_t spare = m_spare + 1;
        if (m_step >= 1 && spare >= 2 * m_step) spare = m_step + spare % m_step;
        // The count drops first so that a shrinking reallocation keeps the remaining elements.
        --m_count;
        ++m_spare;
        Reallocate(m_count, m_count + spare);
        return true;
    }
    // Removes the first occurrence; false (vector unchanged) when the element is not held.
    bool Remove(const E& element) { return RemoveAt(Find(element)); }
    // Removes every occurrence; true when at least one was removed.
    bool RemoveAll(const E& element) {
        bool removed = false;
        while (Remove(element)) removed = true;
        return removed;
    }
    // Removes every element that points at `address`; for a view that is dying, which can no
    // longer be cast to its own class (its owner is told from the base destructor).
    bool RemoveAllAt(const void* address) {
        static_assert(std::is_pointer_v<E>, "RemoveAllAt needs a vector of pointers");
        bool removed = false;
        for (std::int32_t i = m_count - 1; i >= 0; --i)
            if (static_cast<const void*>(m_array[i]) == address) removed = RemoveAt(i) || removed;
        return removed;
    }
    std::int32_t Find(const E& element) const {
        for (std::int32_t i = 0; i < m_count; ++i)
            if (m_array[i] == element) return i;
        return -1;
    }

    // n > 0 opens n slots at `position`; n < 0 removes -n slots there; position -1 is the end.
    void ResizeAt(std::int32_t n, std::int32_t position) {
        if (n > 0) {
            const std::int32_t old = m_count;
            if (position < -1 || position > old) position = -1;
            std::int32_t capacity = Capacity();
            if (m_spare < n) {
                const std::int32_t step = m_step > 0 ? m_step : 1;
                capacity += (n - m_spare + step - 1) / step * step;
            }
            Reallocate(old + n, capacity);
            if (position != -1 && position != old) MoveElements(m_array + position + n, m_array + position, old - position);
        } else if (n < 0) {
            std::int32_t remove = -n;
            if (position == -1) {
                position = m_count - remove;
                if (position < 0) {
                    remove += position;
                    position = 0;
                }
            }
            if (position < 0 || position >= m_count) return;
            remove = std::min(remove, m_count - position);
            MoveElements(m_array + position, m_array + position + remove, m_count - position - remove);
            std::int32_t spare = m_spare + remove;
            if (m_step >= 1 && spare >= 2 * m_step) spare = m_step + spare % m_step;
            m_count -= remove;
            m_spare += remove;
            Reallocate(m_count, m_count + spare);
        }
    }

    // Deletes every element through its destructor, then releases the array. An element's
    // destructor may remove elements from this very vector (a dying view's owner forgets it):
    // each element leaves the vector before it is deleted, so none is skipped or deleted twice.
    void DeleteAll() {
        static_assert(std::is_pointer_v<E>, "DeleteAll needs a vector of pointers");
        while (m_count > 0) {
            E element = m_array[m_count - 1];
            m_array[m_count - 1] = nullptr;
            --m_count;
            ++m_spare;
            delete element;
        }
        Clear();
    }
    // Forgets the elements and releases the array.
    void Clear() {
        delete[] m_array;
        m_array = nullptr;
        m_count = m_spare = 0;
    }

    // Stable sort with a comparator of two element addresses (negative: first goes first).
    void Sort(int (*compare)(const void*, const void*)) {
        std::stable_sort(begin(), end(), [compare](const E& a, const E& b) { return compare(&a, &b) < 0; });
    }

    void Swap(HVector& other) {
        std::swap(m_array, other.m_array);
        std::swap(m_count, other.m_count);
        std::swap(m_spare, other.m_spare);
        std::swap(m_step, other.m_step);
    }

private:
    E* m_array = nullptr;
    std::int32_t m_count = 0;
    std::int32_t m_spare = 0;
    std::int32_t m_step;
};

// Comparator of doubles for descending order: 1 when b > a, 0 when equal, -1 otherwise (a > b
// or either is not a number), so that larger values come first.
inline int CompareDoublesDescending(const void* a, const void* b) {
    const double x = *static_cast<const double*>(a);
    const double y = *static_cast<const double*>(b);
    if (y > x) return 1;
    if (x == y) return 0;
    return -1;
}

#include "tevrin/CPFlatCollection.h"

#include "dunmor/Exceptions.h"

#include <algorithm>
#include <vector>

std::int64_t CPFlatCollection::IndexOf(const void* item) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == item) return static_cast<std::int64_t>(i);
    }
    return -1;
}

void* CPFlatCollection::FindFirst(FilterFn filter, void* key) const {
    if (!filter) return nullptr;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (filter(m_items[i], key) == 1) return m_items[i];
    }
    return nullptr;
}

std::uint32_t CPFlatCollection::Select(FilterFn filter, void* key, CPFlatCollection& out) const {
    if (!filter) return 0;
    std::uint32_t selected = 0;
    const std::size_t n = m_items.size();
    for (std::size_t i = 0; i < n && i < m_items.size(); ++i) {
        void* item = m_items[i];
        if (filter(item, key) == 1 && out.Add(item)) ++selected;
    }
    return selected;
}

bool CPFlatCollection::Sort(CompareFn compare) {
    KS_ASSERT(compare != nullptr);
    if (!compare) return false;
    const std::size_t n = m_items.size();
    if (n < 2) return true;
    // Bottom-up merge sort on a copy: stable, and it never reads outside the runs whatever the
    // comparator answers (an inconsistent comparator gives some order, never a fault).
    std::vector<void*> from(m_items.begin(), m_items.end());
    std::vector<void*> to(n);
    const std::uint16_t xact = _get_nXACT();
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                // Take from the right run only when it is strictly first: equal items keep order.
                if (compare(from[i], from[j]) > 0) to[k++] = from[j++];
                else to[k++] = from[i++];
            }
            while (i < mid) to[k++] = from[i++];
            while (j < hi) to[k++] = from[j++];
        }
        from.swap(to);
    }
    if (xact != _get_nXACT() || m_items.size() != n) return false;
    std::copy(from.begin(), from.end(), m_items.begin());
    return true;
}

void CPFlatCollection::ForEach(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    const std::size_t n = m_items.size();
    for (std::size_t i = 0; i < n && i < m_items.size(); ++i) visitor(m_items[i], context);
}

void CPFlatCollection::Clear() {
    m_items.clear();
    ClearLength();
    OnCleared();
}

bool CPFlatCollection::DestroyAll(DestroyFn destroy) {
    KS_ASSERT(destroy != nullptr);
    if (!destroy) return false;
    // Take the items out first: a destroy callback that reaches back into this collection then
    // finds it already empty instead of half torn down.
    std::deque<void*> items;
    items.swap(m_items);
    ClearLength();
    OnCleared();
    for (void* item : items) {
        if (item) destroy(item);
    }
    return true;
}

bool CPFlatCollection::InsertItem(std::size_t index, void* item) {
    if (index > m_items.size() || m_items.size() >= kMaxLength) return false;
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), item);
    IncrementLength();
    OnInserted(index);
    return true;
}

void* CPFlatCollection::EraseItem(std::size_t index) {
    if (index >= m_items.size()) return nullptr;
    void* item = m_items[index];
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    DecrementLength();
    OnErased(index);
    return item;
}

bool CPFlatCollection::ReplaceItem(std::size_t index, void* item) {
    if (index >= m_items.size()) return false;
    m_items[index] = item;
    return true;
}

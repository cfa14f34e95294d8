#pragma once
// The framework's ordered list of pointers. A list that owns its entries deletes those still in
// it when it is destroyed; otherwise only the list itself goes.
#include <algorithm>
#include <vector>

template <typename T>
class PointerList {
public:
    explicit PointerList(bool ownsEntries = false) : m_owns(ownsEntries) {}
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;
    ~PointerList() {
        if (m_owns) DeleteAll();
    }

    bool OwnsEntries() const { return m_owns; }
    void SetOwnsEntries(bool owns) { m_owns = owns; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // Entry i, null when out of range.
    T* GetIth(int i) const { return i >= 0 && i < Count() ? m_items[static_cast<std::size_t>(i)] : nullptr; }
    void Add(T* item) { m_items.push_back(item); }
    bool Insert(int position, T* item) {
        if (position < 0 || position > Count()) return false;
        m_items.insert(m_items.begin() + position, item);
        return true;
    }
    // Takes the first occurrence out of the list without deleting it.
    bool Remove(const T* item) {
        auto it = std::find(m_items.begin(), m_items.end(), item);
        if (it == m_items.end()) return false;
        m_items.erase(it);
        return true;
    }
    int IndexOf(const T* item) const {
        auto it = std::find(m_items.begin(), m_items.end(), item);
        return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
    }
    void DeleteAll() {
        // An entry's destructor may take other entries out of the list: take each one out first.
        while (!m_items.empty()) {
            T* item = m_items.back();
            m_items.pop_back();
            delete item;
        }
    }
    void Clear() { m_items.clear(); }

private:
    std::vector<T*> m_items;
    bool m_owns;
};

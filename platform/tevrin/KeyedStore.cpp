#include "tevrin/KeyedStore.h"

#include <utility>

KeyedStore::KeyedStore(const KeyedStore& other) {
    *this = other;
}

KeyedStore& KeyedStore::operator=(const KeyedStore& other) {
    if (this == &other) return *this;
    Clear();
    m_slots.reserve(other.m_nLive);
    other.Visit([this](const DictionaryEntry& e) {
        auto node = std::make_unique<Node>();
        static_cast<DictionaryEntry&>(*node) = e;
        Node* added = Append(std::move(node));
        if (added->bHasKey) m_byString.Insert(added);
        else m_byCardinal.emplace(added->ulKey, added);
    });
    return *this;
}

void KeyedStore::SwapContents(KeyedStore& other) {
    m_slots.swap(other.m_slots);
    m_counts.swap(other.m_counts);
    std::swap(m_nGaps, other.m_nGaps);
    std::swap(m_nLive, other.m_nLive);
    m_byString.Swap(other.m_byString);
    m_byCardinal.swap(other.m_byCardinal);
}

KeyedStore::Node* KeyedStore::Append(std::unique_ptr<Node> node) {
    const std::size_t slot = m_slots.size();
    node->slot = slot;
    Node* raw = node.get();
    m_slots.push_back(std::move(node));
    ++m_nLive;
    const std::size_t capacity = m_counts.empty() ? 0 : m_counts.size() - 1;
    if (slot >= capacity) CountRebuild(capacity ? capacity * 2 : 16);
    else CountAdd(slot, +1);
    return raw;
}

DictionaryEntry* KeyedStore::AddString(const CPString& key, void* value) {
    if (m_byString.Find(key)) return nullptr;
    auto node = std::make_unique<Node>();
    node->bHasKey = true;
    node->key = key;
    node->value = value;
    Node* added = Append(std::move(node));
    m_byString.Insert(added);
    return added;
}

DictionaryEntry* KeyedStore::AddCardinal(std::uint64_t key, void* value) {
    if (m_byCardinal.count(key)) return nullptr;
    auto node = std::make_unique<Node>();
    node->ulKey = key;
    node->value = value;
    Node* added = Append(std::move(node));
    m_byCardinal.emplace(key, added);
    return added;
}

DictionaryEntry* KeyedStore::FindString(const CPString& key) const {
    return m_byString.Find(key);
}

DictionaryEntry* KeyedStore::FindCardinal(std::uint64_t key) const {
    auto it = m_byCardinal.find(key);
    return it == m_byCardinal.end() ? nullptr : it->second;
}

const KeyedStore::Node* KeyedStore::Owned(const DictionaryEntry* entry) const {
    if (!entry) return nullptr;
    // Confirm through the index rather than trusting the pointer: a stranger's entry is refused.
    const DictionaryEntry* mine = entry->bHasKey ? FindString(entry->key) : FindCardinal(entry->ulKey);
    return mine == entry ? static_cast<const Node*>(mine) : nullptr;
}

bool KeyedStore::Remove(const DictionaryEntry* entry) {
    const Node* node = Owned(entry);
    if (!node) return false;
    if (node->bHasKey) m_byString.Erase(node);
    else m_byCardinal.erase(node->ulKey);
    const std::size_t slot = node->slot;
    m_slots[slot].reset();
    CountAdd(slot, -1);
    ++m_nGaps;
    --m_nLive;
    if (m_nGaps > m_nLive) Compact();
    return true;
}

bool KeyedStore::Rename(const CPString& oldKey, const CPString& newKey) {
    Node* node = m_byString.Find(oldKey);
    if (!node) return false;
    if (oldKey == newKey) return true;
    if (m_byString.Find(newKey)) return false;
    m_byString.Erase(node);
    node->key = newKey;
    m_byString.Insert(node);
    return true;
}

void KeyedStore::Clear() {
    m_byString.Clear();
    m_byCardinal.clear();
    m_slots.clear();
    m_counts.clear();
    m_nGaps = 0;
    m_nLive = 0;
}

void KeyedStore::Compact() {
    if (m_nGaps == 0 || m_nVisiting > 0) return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) continue;
        if (out != i) m_slots[out] = std::move(m_slots[i]);
        m_slots[out]->slot = out;
        ++out;
    }
    m_slots.resize(out);
    m_nGaps = 0;
    CountRebuild(0);
}

void KeyedStore::CountAdd(std::size_t slot, int delta) {
    for (std::size_t i = slot + 1; i < m_counts.size(); i += i & (~i + 1)) {
        m_counts[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(m_counts[i]) + delta);
    }
}

void KeyedStore::CountRebuild(std::size_t capacity) {
    // Capacity stays a power of two at least the slot count: SlotOfPosition descends by halves.
    std::size_t cap = 16;
    while (cap < capacity || cap < m_slots.size()) cap *= 2;
    m_counts.assign(cap + 1, 0);
    for (std::size_t i = 1; i <= cap; ++i) {
        if (i <= m_slots.size() && m_slots[i - 1]) m_counts[i] += 1;
        const std::size_t parent = i + (i & (~i + 1));
        if (parent <= cap) m_counts[parent] += m_counts[i];
    }
}

std::size_t KeyedStore::CountBefore(std::size_t slot) const {
    std::size_t sum = 0;
    for (std::size_t i = slot; i > 0; i -= i & (~i + 1)) sum += m_counts[i];
    return sum;
}

std::size_t KeyedStore::SlotOfPosition(std::size_t position) const {
    // The slot holding the (position+1)-th live entry: descend the tree from the widest span.
    const std::size_t cap = m_counts.size() - 1;
    std::size_t slot = 0;
    std::size_t remaining = position + 1;
    for (std::size_t step = cap; step > 0; step /= 2) {
        const std::size_t next = slot + step;
        if (next <= cap && m_counts[next] < remaining) {
            slot = next;
            remaining -= m_counts[next];
        }
    }
    return slot;  // 0-based slot index
}

DictionaryEntry* KeyedStore::At(std::size_t index) const {
    if (index >= m_nLive) return nullptr;
    if (m_nGaps == 0) return m_slots[index].get();
    const std::size_t slot = SlotOfPosition(index);
    return slot < m_slots.size() ? m_slots[slot].get() : nullptr;
}

std::int64_t KeyedStore::PositionOf(const DictionaryEntry* entry) const {
    const Node* node = Owned(entry);
    if (!node) return -1;
    if (m_nGaps == 0) return static_cast<std::int64_t>(node->slot);
    return static_cast<std::int64_t>(CountBefore(node->slot));
}

KeyedStore::Node* KeyedStore::StringIndex::Find(std::string_view key) const {
    if (m_table.empty()) return nullptr;
    const std::size_t mask = m_table.size() - 1;
    const std::uint32_t tag = Tag(key);
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
        if (m_tags[i] == 0) return nullptr;
        if (m_tags[i] == tag && std::string_view(m_table[i]->key) == key) return m_table[i];
    }
}

void KeyedStore::StringIndex::Insert(Node* node) {
    if (2 * (m_nCount + 1) > m_table.size()) Grow();
    const std::size_t mask = m_table.size() - 1;
    const std::uint32_t tag = Tag(node->key);
    std::size_t i = tag & mask;
    while (m_tags[i]) i = (i + 1) & mask;
    m_table[i] = node;
    m_tags[i] = tag;
    ++m_nCount;
}

void KeyedStore::StringIndex::Erase(const Node* node) {
    if (m_table.empty()) return;
    const std::size_t mask = m_table.size() - 1;
    std::size_t hole = Tag(node->key) & mask;
    while (m_tags[hole] && m_table[hole] != node) hole = (hole + 1) & mask;
    if (!m_tags[hole]) return;
    m_table[hole] = nullptr;
    m_tags[hole] = 0;
    --m_nCount;
    // Every entry of the run after the hole whose home does not lie between the hole and itself
    // would no longer be reached past the hole: it moves into it, leaving a new hole behind.
    for (std::size_t j = (hole + 1) & mask; m_tags[j]; j = (j + 1) & mask) {
        const std::size_t home = m_tags[j] & mask;
        const bool reachable = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
        if (reachable) continue;
        m_table[hole] = m_table[j];
        m_tags[hole] = m_tags[j];
        m_table[j] = nullptr;
        m_tags[j] = 0;
        hole = j;
    }
}

void KeyedStore::StringIndex::Clear() {
    m_table.clear();
    m_table.shrink_to_fit();
    m_tags.clear();
    m_tags.shrink_to_fit();
    m_nCount = 0;
}

void KeyedStore::StringIndex::Swap(StringIndex& other) noexcept {
    m_table.swap(other.m_table);
    m_tags.swap(other.m_tags);
    std::swap(m_nCount, other.m_nCount);
}

void KeyedStore::StringIndex::Grow() {
    std::vector<Node*> old;
    std::vector<std::uint32_t> oldTags;
    old.swap(m_table);
    oldTags.swap(m_tags);
    const std::size_t size = old.empty() ? 4 : 2 * old.size();
    m_table.assign(size, nullptr);
    m_tags.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t k = 0; k < old.size(); ++k) {
        if (!oldTags[k]) continue;
        std::size_t i = oldTags[k] & mask;
        while (m_tags[i]) i = (i + 1) & mask;
        m_table[i] = old[k];
        m_tags[i] = oldTags[k];
    }
}

#pragma once
// The storage behind the keyed collections: entries kept in insertion order for positional access,
// with hash indexes beside them so that a look-up by key does not walk the order.
#include "dunmor/CPString.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One entry as the collections hand it to an entry visitor. A cardinal-keyed entry has bHasKey
// false and an empty key string. Visitors may change the value; the key is changed only through
// the collection (its index depends on it).
struct DictionaryEntry {
    bool bHasKey = false;
    CPString key;
    void* value = nullptr;
    std::uint64_t ulKey = 0;
};

class KeyedStore {
public:
    KeyedStore() = default;
    KeyedStore(const KeyedStore& other);
    KeyedStore& operator=(const KeyedStore& other);
    ~KeyedStore() = default;

    // Exchanges the entries of two stores; a walk under way on either stays with its object.
    void SwapContents(KeyedStore& other);

    std::size_t Size() const { return m_nLive; }

    // The new entry, or null when the key is already present (the first entry keeps its place and
    // value).
    DictionaryEntry* AddString(const CPString& key, void* value);
    DictionaryEntry* AddCardinal(std::uint64_t key, void* value);
    DictionaryEntry* FindString(const CPString& key) const;
    DictionaryEntry* FindCardinal(std::uint64_t key) const;
    // Removes an entry of this store (found by one of the look-ups); false for anything else.
    bool Remove(const DictionaryEntry* entry);
    // Keeps the entry's position. False when the old key is absent or the new key is taken by
    // another entry.
    bool Rename(const CPString& oldKey, const CPString& newKey);
    void Clear();

    // Entry at an insertion-order position, or null out of range.
    DictionaryEntry* At(std::size_t index) const;
    // Insertion-order position of an entry of this store, or -1.
    std::int64_t PositionOf(const DictionaryEntry* entry) const;

    // Calls f(DictionaryEntry&) for each entry present when the walk starts, in order. Entries may be
    // added or removed from inside f: removed ones are skipped, added ones are not visited.
    template <class F>
    void Visit(F&& f) const {
        VisitGuard guard(*this);
        const std::size_t n = m_slots.size();
        for (std::size_t i = 0; i < n && i < m_slots.size(); ++i) {
            if (Node* node = m_slots[i].get()) f(static_cast<DictionaryEntry&>(*node));
        }
    }

private:
    struct Node : DictionaryEntry {
        std::size_t slot = 0;
    };
    struct VisitGuard {
        explicit VisitGuard(const KeyedStore& s) : store(s) { ++store.m_nVisiting; }
        ~VisitGuard() { --store.m_nVisiting; }
        const KeyedStore& store;
    };

    Node* Append(std::unique_ptr<Node> node);
    const Node* Owned(const DictionaryEntry* entry) const;
    // Closes the gaps left by removals, unless a walk is under way (its positions must hold).
    void Compact();

    // Live-slot counts (a Fenwick tree over the slots), so that positions are found in log time
    // while removals have left gaps.
    void CountAdd(std::size_t slot, int delta);
    void CountRebuild(std::size_t capacity);
    std::size_t CountBefore(std::size_t slot) const;
    std::size_t SlotOfPosition(std::size_t position) const;

    // Removal leaves a gap, closed once gaps outnumber entries: removing many keys stays linear
    // overall and positions stay right in between.
    std::vector<std::unique_ptr<Node>> m_slots;
    std::vector<std::uint32_t> m_counts;  // 1-based Fenwick array over the slots
    std::size_t m_nGaps = 0;
    std::size_t m_nLive = 0;
    mutable int m_nVisiting = 0;
    // The string index holds the entries themselves, found by their own key: the key is not
    // kept a second time (a scenario's streams are a dictionary of 100,000 names). An
    // open-addressed table of the entries (linear probing, at most half full, a removal shifts
    // the run after it back, so no markers are left): a word a slot, where a node set spent a
    // node of three words and a bucket per entry.
    class StringIndex {
    public:
        Node* Find(std::string_view key) const;
        // `node` must not be in the table, nor its key.
        void Insert(Node* node);
        // Takes out a node that is in the table.
        void Erase(const Node* node);
        void Clear();
        void Swap(StringIndex& other) noexcept;

    private:
        // Four bytes of the key's hash, never 0 (0 marks a free slot); a key's home slot is its
        // tag under the mask (no table comes near 2^32 slots).
        static std::uint32_t Tag(std::string_view key) noexcept {
            const auto tag = static_cast<std::uint32_t>(std::hash<std::string_view>()(key));
            return tag == 0 ? 1u : tag;
        }
        void Grow();
        // Beside each slot its key's tag: a probe reads the tags and follows a node only where
        // the tag is the key's own, so a key that is not held (every new name) and a growth of
        // the table read no node at all.
        std::vector<Node*> m_table;       // size 0 or a power of two
        std::vector<std::uint32_t> m_tags;  // 0 where the slot is free
        std::size_t m_nCount = 0;
    };
    StringIndex m_byString;
    std::unordered_map<std::uint64_t, Node*> m_byCardinal;
};

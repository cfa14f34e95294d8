#pragma once
// The dictionary: values under string or cardinal keys, kept in the order they were added, with
// positional access beside the look-ups. The first registration of a key wins.
#include "tevrin/CPCollection.h"
#include "tevrin/KeyedStore.h"

#include <cstdint>

class CPDictionary : public CPKeyedCollection {
public:
    static constexpr int kDefaultSlots = 256;

    // The slot count is the table size the dictionary was declared with; a count below 1 is taken
    // as 1. Look-ups are hashed whatever the count, so it never limits the number of keys.
    explicit CPDictionary(int slots = kDefaultSlots);
    // Copies the whole table: keys, order and (shallow) values.
    CPDictionary(const CPDictionary&) = default;
    CPDictionary& operator=(const CPDictionary&) = default;
    ~CPDictionary() override = default;

    int _get_nNumberOfSlots() const { return m_nNumberOfSlots; }

    // 1 when added; 0 when the key is already present (the first value stays) or the dictionary is
    // full. The flags are accepted for the callers' sake and change nothing.
    int AddKeyString(const CPString& key, void* value, int flags = 0);
    bool ExistsKeyString(const CPString& key) const { return m_store.FindString(key) != nullptr; }
    void* FindKeyString(const CPString& key) const;
    // The removed value, or null when the key is absent.
    void* RemoveKeyString(const CPString& key);
    // 1 when renamed (the entry keeps its position); 0 when the old key is absent or the new key is
    // another entry's.
    int RenameKeyString(const CPString& oldKey, const CPString& newKey);

    int AddKeyCardinal(std::uint64_t key, void* value, int flags = 0);
    bool ExistsKeyCardinal(std::uint64_t key) const { return m_store.FindCardinal(key) != nullptr; }
    void* FindKeyCardinal(std::uint64_t key) const;
    void* RemoveKeyCardinal(std::uint64_t key);

    // The value at an insertion-order position; null out of range.
    void* operator[](std::size_t index) const;
    // The key string at a position; empty for a cardinal key or out of range.
    CPString KeyAt(std::size_t index) const;
    const DictionaryEntry* EntryAt(std::size_t index) const { return m_store.At(index); }
    // Position of a string key, or -1.
    std::int64_t IndexOfKeyString(const CPString& key) const;

    // Visits the values in order.
    void ForEach(VisitorFn visitor, void* context) const override;
    // Visits the entries in order; the item is a DictionaryEntry*.
    void ForEachEntry(VisitorFn visitor, void* context) const;

    void Clear();
    // Hands every non-null value to the callback, then clears. A null callback is refused (recorded)
    // and nothing is cleared.
    bool DestroyAll(DestroyFn destroy);

    CPDictionary* CreateInstance() const override { return new CPDictionary(m_nNumberOfSlots); }
    std::unique_ptr<IterationState> CreateIterationState() const override;

    const KeyedStore& Store() const { return m_store; }

private:
    void* RemoveEntry(const DictionaryEntry* entry);

    int m_nNumberOfSlots;
    KeyedStore m_store;
};

// Walks the values of a keyed store in insertion order.
class DictionaryIterationState : public PositionalIterationState {
public:
    explicit DictionaryIterationState(const KeyedStore* store) : m_pStore(store) {}

protected:
    std::size_t Count() const override { return m_pStore ? m_pStore->Size() : 0; }
    void* ItemAt(std::size_t index) const override;

private:
    const KeyedStore* m_pStore;
};

#include "tevrin/CPDictionary.h"

#include "dunmor/Exceptions.h"

CPDictionary::CPDictionary(int slots) : m_nNumberOfSlots(slots < 1 ? 1 : slots) {}

int CPDictionary::AddKeyString(const CPString& key, void* value, int /*flags*/) {
    if (m_store.Size() >= kMaxLength) return 0;
    if (!m_store.AddString(key, value)) return 0;
    IncrementLength();
    return 1;
}

void* CPDictionary::FindKeyString(const CPString& key) const {
    const DictionaryEntry* entry = m_store.FindString(key);
    return entry ? entry->value : nullptr;
}

void* CPDictionary::RemoveKeyString(const CPString& key) {
    return RemoveEntry(m_store.FindString(key));
}

int CPDictionary::RenameKeyString(const CPString& oldKey, const CPString& newKey) {
    return m_store.Rename(oldKey, newKey) ? 1 : 0;
}

int CPDictionary::AddKeyCardinal(std::uint64_t key, void* value, int /*flags*/) {
    if (m_store.Size() >= kMaxLength) return 0;
    if (!m_store.AddCardinal(key, value)) return 0;
    IncrementLength();
    return 1;
}

void* CPDictionary::FindKeyCardinal(std::uint64_t key) const {
    const DictionaryEntry* entry = m_store.FindCardinal(key);
    return entry ? entry->value : nullptr;
}

void* CPDictionary::RemoveKeyCardinal(std::uint64_t key) {
    return RemoveEntry(m_store.FindCardinal(key));
}

void* CPDictionary::RemoveEntry(const DictionaryEntry* entry) {
    if (!entry) return nullptr;
    void* value = entry->value;
    if (!m_store.Remove(entry)) return nullptr;
    DecrementLength();
    return value;
}

void* CPDictionary::operator[](std::size_t index) const {
    const DictionaryEntry* entry = m_store.At(index);
    return entry ? entry->value : nullptr;
}

CPString CPDictionary::KeyAt(std::size_t index) const {
    const DictionaryEntry* entry = m_store.At(index);
    return entry && entry->bHasKey ? entry->key : CPString();
}

std::int64_t CPDictionary::IndexOfKeyString(const CPString& key) const {
    return m_store.PositionOf(m_store.FindString(key));
}

void CPDictionary::ForEach(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    m_store.Visit([&](DictionaryEntry& e) { visitor(e.value, context); });
}

void CPDictionary::ForEachEntry(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    m_store.Visit([&](DictionaryEntry& e) { visitor(&e, context); });
}

void CPDictionary::Clear() {
    m_store.Clear();
    ClearLength();
}

bool CPDictionary::DestroyAll(DestroyFn destroy) {
    KS_ASSERT(destroy != nullptr);
    if (!destroy) return false;
    // Empty the dictionary before freeing, so a callback reaching back finds it consistent.
    KeyedStore taken;
    taken.SwapContents(m_store);
    ClearLength();
    taken.Visit([&](DictionaryEntry& e) {
        if (e.value) destroy(e.value);
    });
    return true;
}

std::unique_ptr<IterationState> CPDictionary::CreateIterationState() const {
    return std::make_unique<DictionaryIterationState>(&m_store);
}

void* DictionaryIterationState::ItemAt(std::size_t index) const {
    const DictionaryEntry* entry = m_pStore->At(index);
    return entry ? entry->value : nullptr;
}

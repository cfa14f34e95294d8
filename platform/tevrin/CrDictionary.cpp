#include "tevrin/CrDictionary.h"

#include <vector>

CrDictionary::CrDictionary(const CrDictionary& other) : CrKeyedCollection(other), m_dict(other._get_nNumberOfSlots()) {
    *this = other;
}

CrDictionary& CrDictionary::operator=(const CrDictionary& other) {
    if (this == &other) return *this;
    // Build the new table first: an object held by both keeps a reference throughout.
    CPDictionary table(other._get_nNumberOfSlots());
    other.m_dict.ForEachEntry(
        [](void* item, void* context) {
            auto* entry = static_cast<DictionaryEntry*>(item);
            auto* source = static_cast<CPDictionaryAssociation*>(entry->value);
            auto* association = new CPDictionaryAssociation(*source);
            association->AddRef();
            static_cast<Createable*>(association->GetValue())->AddRef();
            auto* target = static_cast<CPDictionary*>(context);
            if (entry->bHasKey) target->AddKeyString(entry->key, association);
            else target->AddKeyCardinal(entry->ulKey, association);
        },
        &table);
    Clear();
    m_dict = table;
    return *this;
}

CrDictionary::~CrDictionary() {
    Clear();
}

CPString CrDictionary::Normal(const CPString& key) {
    return key.empty() ? CPString(CPDictionaryAssociation::kUnnamedKey) : key;
}

int CrDictionary::Insert(CPDictionaryAssociation* association, Createable* object, bool added) {
    if (!added) {
        delete association;
        return 0;
    }
    association->AddRef();
    object->AddRef();
    m_pCurrent = association;
    return 1;
}

int CrDictionary::AddKeyString(const CPString& key, Createable* object, int flags) {
    if (!object) return 0;
    auto* association = new CPDictionaryAssociation(Normal(key), object);
    return Insert(association, object, m_dict.AddKeyString(Normal(key), association, flags) == 1);
}

int CrDictionary::AddKeyCardinal(std::uint64_t key, Createable* object, int flags) {
    if (!object) return 0;
    auto* association = new CPDictionaryAssociation(key, object);
    return Insert(association, object, m_dict.AddKeyCardinal(key, association, flags) == 1);
}

Createable* CrDictionary::FindKeyString(const CPString& key) {
    auto* association = static_cast<CPDictionaryAssociation*>(m_dict.FindKeyString(Normal(key)));
    if (!association) return nullptr;
    m_pCurrent = association;
    return static_cast<Createable*>(association->GetValue());
}

Createable* CrDictionary::FindKeyCardinal(std::uint64_t key) {
    auto* association = static_cast<CPDictionaryAssociation*>(m_dict.FindKeyCardinal(key));
    if (!association) return nullptr;
    m_pCurrent = association;
    return static_cast<Createable*>(association->GetValue());
}

bool CrDictionary::RemoveKeyString(const CPString& key) {
    return RemoveAssociation(static_cast<CPDictionaryAssociation*>(m_dict.RemoveKeyString(Normal(key))));
}

bool CrDictionary::RemoveKeyCardinal(std::uint64_t key) {
    return RemoveAssociation(static_cast<CPDictionaryAssociation*>(m_dict.RemoveKeyCardinal(key)));
}

bool CrDictionary::RemoveAssociation(CPDictionaryAssociation* association) {
    if (!association) return false;
    if (association == m_pCurrent) m_pCurrent = nullptr;
    ReleaseAssociation(association);
    return true;
}

void CrDictionary::ReleaseAssociation(CPDictionaryAssociation* association) {
    // Read the object before the association may go away.
    void* object = association->GetValue();
    association->Release();
    itReleaseCreateable(object);
}

Createable* CrDictionary::operator[](std::size_t index) const {
    auto* association = static_cast<CPDictionaryAssociation*>(m_dict[index]);
    return association ? static_cast<Createable*>(association->GetValue()) : nullptr;
}

bool CrDictionary::MoveFirst() {
    m_pCurrent = static_cast<CPDictionaryAssociation*>(m_dict[0]);
    return m_pCurrent != nullptr;
}

bool CrDictionary::MoveNext() {
    if (!m_pCurrent) return false;
    // Locate the current entry by its key; an association whose key was changed from outside is
    // no longer found, and the walk ends there.
    CPString key;
    m_pCurrent->GetKeyString(key);
    const DictionaryEntry* entry = m_pCurrent->HasStringKey() ? m_dict.Store().FindString(key)
                                                              : m_dict.Store().FindCardinal(m_pCurrent->GetKeyCardinal());
    if (!entry || entry->value != m_pCurrent) entry = nullptr;
    const std::int64_t position = m_dict.Store().PositionOf(entry);
    m_pCurrent = position < 0 ? nullptr
                              : static_cast<CPDictionaryAssociation*>(m_dict[static_cast<std::size_t>(position) + 1]);
    return m_pCurrent != nullptr;
}

void CrDictionary::ForEach(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    struct Pass {
        VisitorFn visitor;
        void* context;
    } pass{visitor, context};
    m_dict.ForEach(
        [](void* item, void* ctx) {
            auto* p = static_cast<Pass*>(ctx);
            auto* association = static_cast<CPDictionaryAssociation*>(item);
            p->visitor(association->GetValue(), p->context);
        },
        &pass);
}

void CrDictionary::Clear() {
    std::vector<CPDictionaryAssociation*> associations;
    associations.reserve(m_dict.Length());
    for (std::size_t i = 0; i < m_dict.Length(); ++i) {
        associations.push_back(static_cast<CPDictionaryAssociation*>(m_dict[i]));
    }
    m_dict.Clear();
    m_pCurrent = nullptr;
    for (CPDictionaryAssociation* association : associations) ReleaseAssociation(association);
}

#pragma once
// A dictionary of framework objects, in insertion order. Each entry is an association (key and
// object) that the dictionary holds; the dictionary also holds one reference to each object.
// The dictionary has a current association: the one last added, found or moved to.
#include "tevrin/CPBucket.h"
#include "tevrin/CPDictionary.h"
#include "tevrin/CrCollection.h"

class CrDictionary : public CrKeyedCollection {
public:
    explicit CrDictionary(int slots = CPDictionary::kDefaultSlots) : m_dict(slots) {}
    // The copy has associations of its own and its own reference to every object.
    CrDictionary(const CrDictionary& other);
    CrDictionary& operator=(const CrDictionary& other);
    ~CrDictionary() override;

    int _get_nNumberOfSlots() const { return m_dict._get_nNumberOfSlots(); }

    // 1 when added (the object gains a reference and its association becomes current); 0 for a null
    // object or a key already present (first wins). An empty string key is filed as "UnNamed", as
    // its association names it, and is found again by the empty string.
    int AddKeyString(const CPString& key, Createable* object, int flags = 0);
    int AddKeyCardinal(std::uint64_t key, Createable* object, int flags = 0);
    bool ExistsKeyString(const CPString& key) const { return m_dict.ExistsKeyString(Normal(key)); }
    bool ExistsKeyCardinal(std::uint64_t key) const { return m_dict.ExistsKeyCardinal(key); }
    // The object, or null; a found entry becomes current.
    Createable* FindKeyString(const CPString& key);
    Createable* FindKeyCardinal(std::uint64_t key);
    // Releases the entry's object; false when the key is absent.
    bool RemoveKeyString(const CPString& key);
    bool RemoveKeyCardinal(std::uint64_t key);

    Createable* operator[](std::size_t index) const;
    CPString KeyAt(std::size_t index) const { return m_dict.KeyAt(index); }

    // Walk by moving the current association; each answers whether there is one.
    bool MoveFirst();
    bool MoveNext();
    // The current association, or null (none yet, or it was removed).
    CPDictionaryAssociation* RetrieveInternalContainer() const { return m_pCurrent; }

    std::uint32_t Length() const override { return m_dict.Length(); }
    // Visits the objects in order.
    void ForEach(VisitorFn visitor, void* context) const override;
    void Clear() override;

private:
    static CPString Normal(const CPString& key);
    int Insert(CPDictionaryAssociation* association, Createable* object, bool added);
    bool RemoveAssociation(CPDictionaryAssociation* association);
    static void ReleaseAssociation(CPDictionaryAssociation* association);

    CPDictionary m_dict;  // values are the associations
    CPDictionaryAssociation* m_pCurrent = nullptr;
};

#pragma once
// A bucket of a chained table: links to its neighbours and a data pointer. The association adds a
// key that is either a string or a 64-bit cardinal; its value is the bucket's data.
#include "dunmor/CPString.h"
#include "dunmor/Createable.h"

#include <cstdint>

class CPBucket : public Createable {
public:
    CPBucket() = default;
    explicit CPBucket(void* data) : m_pData(data) {}
    CPBucket(const CPBucket&) = default;
    CPBucket& operator=(const CPBucket&) = default;
    ~CPBucket() override = default;

    CPBucket* _get_pPrevious() const { return m_pPrevious; }
    CPBucket* _get_pNext() const { return m_pNext; }
    void _set_pPrevious(CPBucket* bucket) { m_pPrevious = bucket; }
    void _set_pNext(CPBucket* bucket) { m_pNext = bucket; }
    void* GetData() const { return m_pData; }
    void SetData(void* data) { m_pData = data; }

private:
    CPBucket* m_pPrevious = nullptr;
    CPBucket* m_pNext = nullptr;
    void* m_pData = nullptr;
};

class CPDictionaryAssociation : public CPBucket {
public:
    // The name an empty string key is stored under.
    static constexpr const char* kUnnamedKey = "UnNamed";

    CPDictionaryAssociation() = default;
    CPDictionaryAssociation(const CPString& key, void* value);
    CPDictionaryAssociation(std::uint64_t key, void* value);
    CPDictionaryAssociation(const CPDictionaryAssociation&) = default;
    CPDictionaryAssociation& operator=(const CPDictionaryAssociation&) = default;
    ~CPDictionaryAssociation() override = default;

    bool HasStringKey() const { return m_bStringKey; }

    // Replaces any previous key; an empty key becomes "UnNamed".
    void SetKeyString(const CPString& key);
    // Replaces any previous key, dropping a string key.
    void SetKeyCardinal(std::uint64_t key);

    // False for a cardinal key. The empty string matches the "UnNamed" key it is stored as.
    bool MatchKeyString(const CPString& key) const;
    // False for a string key.
    bool MatchKeyCardinal(std::uint64_t key) const { return !m_bStringKey && m_ulKey == key; }
    // 0 for a string key.
    std::uint64_t GetKeyCardinal() const { return m_bStringKey ? 0 : m_ulKey; }
    // Writes the string key; clears `out` for a cardinal key.
    void GetKeyString(CPString& out) const;

    void* GetValue() const { return GetData(); }
    void SetValue(void* value) { SetData(value); }

private:
    bool m_bStringKey = false;
    CPString m_strKey;
    std::uint64_t m_ulKey = 0;
};

#include "tevrin/CPBucket.h"

CPDictionaryAssociation::CPDictionaryAssociation(const CPString& key, void* value) : CPBucket(value) {
    SetKeyString(key);
}

CPDictionaryAssociation::CPDictionaryAssociation(std::uint64_t key, void* value) : CPBucket(value) {
    SetKeyCardinal(key);
}

void CPDictionaryAssociation::SetKeyString(const CPString& key) {
    m_bStringKey = true;
    m_strKey = key.empty() ? CPString(kUnnamedKey) : key;
    m_ulKey = 0;
}

void CPDictionaryAssociation::SetKeyCardinal(std::uint64_t key) {
    m_bStringKey = false;
    m_strKey.clear();
    m_ulKey = key;
}

bool CPDictionaryAssociation::MatchKeyString(const CPString& key) const {
    if (!m_bStringKey) return false;
    return key.empty() ? m_strKey == kUnnamedKey : m_strKey == key;
}

void CPDictionaryAssociation::GetKeyString(CPString& out) const {
    if (m_bStringKey) out = m_strKey;
    else out.clear();
}

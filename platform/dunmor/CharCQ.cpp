#include "dunmor/CharCQ.h"

bool CharCQ::Put(char c) {
    if (m_nCount == kSize) return false;
    m_buffer[m_nHead] = c;
    m_nHead = (m_nHead + 1) % kSize;
    ++m_nCount;
    return true;
}

bool CharCQ::Get(char& c) {
    if (m_nCount == 0) return false;
    c = m_buffer[m_nTail];
    m_nTail = (m_nTail + 1) % kSize;
    --m_nCount;
    // The peek index stays on the character it was on, unless that one was just taken.
    if (m_nPeekOffset > 0) --m_nPeekOffset;
    return true;
}

bool CharCQ::Peek(char& c) {
    if (m_nPeekOffset >= m_nCount) return false;
    c = m_buffer[(m_nTail + m_nPeekOffset) % kSize];
    ++m_nPeekOffset;
    return true;
}

void CharCQ::Clear() {
    m_nHead = m_nTail = m_nCount = m_nPeekOffset = 0;
}

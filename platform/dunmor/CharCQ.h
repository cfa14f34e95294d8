#pragma once
// A fixed ring of characters for the scanner: characters go in at the head and come out at the
// tail; a peek index reads ahead from the tail without taking anything out.
#include <cstddef>
#include <cstdint>

class CharCQ {
public:
    static constexpr std::size_t kSize = 8096;

    CharCQ() = default;

    // False when the ring is full: nothing already queued is ever overwritten.
    bool Put(char c);
    // Takes the oldest character; false when empty.
    bool Get(char& c);
    // Reads the character at the peek index and moves the peek index on; false when it has read
    // every queued character.
    bool Peek(char& c);
    // Puts the peek index back on the tail.
    void ResetPeek() { m_nPeekOffset = 0; }
    void Clear();

    std::size_t Length() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    bool IsFull() const { return m_nCount == kSize; }

    std::size_t _get_nHead() const { return m_nHead; }
    std::size_t _get_nTail() const { return m_nTail; }
    std::size_t _get_nPeek() const { return (m_nTail + m_nPeekOffset) % kSize; }
    std::uint32_t _get_nCookie() const { return m_nCookie; }
    void _set_nCookie(std::uint32_t cookie) { m_nCookie = cookie; }

    // The character i places after the tail, wrapping past the end of the buffer. Any i is read
    // from the ring, queued or not.
    char operator[](std::size_t i) const { return m_buffer[(m_nTail + i % kSize) % kSize]; }

private:
    char m_buffer[kSize] = {};
    std::size_t m_nHead = 0;        // where the next character goes
    std::size_t m_nTail = 0;        // the oldest character
    std::size_t m_nCount = 0;
    std::size_t m_nPeekOffset = 0;  // peek index, counted from the tail
    std::uint32_t m_nCookie = 0;    // the owner's tag for what the ring holds
};

#pragma once
// Virtual base of every framework object: a 16-bit reference count and a virtual destructor.
#include <cstdint>

class Createable {
public:
    Createable() = default;
    // Copying an object never copies its reference count.
    Createable(const Createable&) {}
    Createable& operator=(const Createable&) { return *this; }
    virtual ~Createable() = default;

    std::uint16_t _get_nRefCount() const { return m_nRefCount; }
    void AddRef() { ++m_nRefCount; }
    // Drops one reference; the object deletes itself when the last one goes.
    // Answers the count left (0 means the object is gone).
    std::uint16_t Release();

private:
    std::uint16_t m_nRefCount = 0;
};

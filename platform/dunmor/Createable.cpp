#include "dunmor/Createable.h"

std::uint16_t Createable::Release() {
    if (m_nRefCount > 1) {
        return --m_nRefCount;
    }
    m_nRefCount = 0;
    delete this;
    return 0;
}

#include "tevrin/CPCollection.h"

#include "dunmor/Exceptions.h"

void CPCollection::IncrementLength() {
    if (m_nLength == kMaxLength) return;
    ++m_nLength;
    ++m_nXACT;
}

void CPCollection::DecrementLength() {
    const std::uint32_t nLength = m_nLength;
    KS_ASSERT_AT(nLength > 0, "cpcoll/cpcollec", 223, "nLength >0");
    if (nLength == 0) return;
    --m_nLength;
    ++m_nXACT;
}

void CPCollection::ClearLength() {
    if (m_nLength == 0) return;
    m_nLength = 0;
    ++m_nXACT;
}

void CPCollection::ForEach(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    std::unique_ptr<IterationState> state = CreateIterationState();
    if (!state) return;
    // Bounded by the length at the start, so a visitor that keeps adding cannot keep the walk going.
    const std::uint32_t n = Length();
    for (std::uint32_t i = 0; i < n; ++i) {
        void* item = state->get();
        if (!item) break;
        visitor(item, context);
    }
}

#include "tevrin/Iterator.h"

#include "dunmor/Exceptions.h"

#include <new>

bool IterationState::SetIndex(std::size_t index) {
    Reset();
    for (std::size_t i = 0; i < index; ++i) {
        if (!get()) return false;
    }
    return true;
}

void* PositionalIterationState::get() {
    if (m_nIndex >= Count()) return nullptr;
    return ItemAt(m_nIndex++);
}

bool PositionalIterationState::SetIndex(std::size_t index) {
    if (index > Count()) return false;
    m_nIndex = index;
    return true;
}

std::unique_ptr<Iterator> Iterable::GetIterator() const {
    std::unique_ptr<Iterator> iterator(new (std::nothrow) Iterator());
    KS_ASSERT_AT(iterator, "cpcoll/iterate", 324, "piterA");
    if (!iterator) return nullptr;
    std::unique_ptr<IterationState> state = CreateIterationState();
    KS_ASSERT_AT(state, "cpcoll/iterate", 327, "pitsA");
    iterator->SetState(std::move(state));
    return iterator;
}

#include "tevrin/CPArray.h"

bool CPArray::SetAt(std::size_t index, void* item) {
    return ReplaceItem(index, item);
}

bool CPArray::SetSize(std::uint32_t size) {
    if (size > kMaxSize) return false;
    while (ItemCount() > size) EraseItem(ItemCount() - 1);
    while (ItemCount() < size) InsertItem(ItemCount(), nullptr);
    return true;
}

bool CPArray::SetCurrentIndex(std::uint32_t index) {
    if (index > ItemCount()) return false;
    m_ulCurrentIndex = index;
    return true;
}

void* CPArray::GetNext() {
    if (m_ulCurrentIndex >= ItemCount()) return nullptr;
    return GetAt(m_ulCurrentIndex++);
}

void CPArray::OnErased(std::size_t index) {
    if (index < m_ulCurrentIndex) --m_ulCurrentIndex;
}

std::unique_ptr<IterationState> CPArray::CreateIterationState() const {
    return std::make_unique<ArrayIterationState>(this);
}

#include "tevrin/CPList.h"

bool CPList::Remove(const void* item) {
    const std::int64_t index = IndexOf(item);
    if (index < 0) return false;
    EraseItem(static_cast<std::size_t>(index));
    return true;
}

bool CPList::MoveFirst() {
    m_nDXCursor = ItemCount() > 0 ? 0 : -1;
    return m_nDXCursor >= 0;
}

bool CPList::MoveLast() {
    m_nDXCursor = static_cast<std::int64_t>(ItemCount()) - 1;
    return m_nDXCursor >= 0;
}

bool CPList::MoveNext() {
    if (m_nDXCursor < 0) return false;
    ++m_nDXCursor;
    if (static_cast<std::size_t>(m_nDXCursor) >= ItemCount()) m_nDXCursor = -1;
    return m_nDXCursor >= 0;
}

bool CPList::MovePrevious() {
    if (m_nDXCursor < 0) return false;
    --m_nDXCursor;
    return m_nDXCursor >= 0;
}

bool CPList::MoveTo(std::size_t index) {
    m_nDXCursor = index < ItemCount() ? static_cast<std::int64_t>(index) : -1;
    return m_nDXCursor >= 0;
}

void CPList::OnInserted(std::size_t index) {
    if (m_nDXCursor >= 0 && static_cast<std::int64_t>(index) <= m_nDXCursor) ++m_nDXCursor;
}

void CPList::OnErased(std::size_t index) {
    if (m_nDXCursor < 0) return;
    if (static_cast<std::int64_t>(index) < m_nDXCursor) --m_nDXCursor;
    if (static_cast<std::size_t>(m_nDXCursor) >= ItemCount()) m_nDXCursor = -1;
}

std::unique_ptr<IterationState> CPList::CreateIterationState() const {
    return std::make_unique<ListIterationState>(this);
}

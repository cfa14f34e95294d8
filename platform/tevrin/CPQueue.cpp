#include "tevrin/CPQueue.h"

std::unique_ptr<IterationState> CPQueue::CreateIterationState() const {
    return std::make_unique<FlatIterationState>(this);
}

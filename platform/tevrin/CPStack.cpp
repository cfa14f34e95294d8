#include "tevrin/CPStack.h"

std::unique_ptr<IterationState> CPStack::CreateIterationState() const {
    return std::make_unique<StackIterationState>(this);
}

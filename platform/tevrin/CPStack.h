#pragma once
// Last in, first out. Position 0 is the top, and walks go from the top down.
#include "tevrin/CPFlatCollection.h"

class CPStack : public CPFlatCollection {
public:
    CPStack() = default;
    CPStack(const CPStack&) = default;
    CPStack& operator=(const CPStack&) = default;
    ~CPStack() override = default;

    bool Add(void* item) override { return Push(item); }
    bool Push(void* item) { return InsertItem(0, item); }
    // The top item, removed; null when empty.
    void* Pop() { return EraseItem(0); }
    // The top item, left in place; null when empty.
    void* Top() const { return FrontItem(); }

    CPStack* CreateInstance() const override { return new CPStack(); }
    std::unique_ptr<IterationState> CreateIterationState() const override;
};

class StackIterationState : public FlatIterationState {
public:
    explicit StackIterationState(const CPStack* stack) : FlatIterationState(stack) {}
};

#pragma once
// First in, first out. Position 0 is the front (the next item out).
#include "tevrin/CPFlatCollection.h"

class CPQueue : public CPFlatCollection {
public:
    CPQueue() = default;
    CPQueue(const CPQueue&) = default;
    CPQueue& operator=(const CPQueue&) = default;
    ~CPQueue() override = default;

    bool Add(void* item) override { return Enqueue(item); }
    bool Enqueue(void* item) { return InsertItem(ItemCount(), item); }
    // The front item, removed; null when empty.
    void* Dequeue() { return EraseItem(0); }
    // The front item, left in place; null when empty.
    void* Front() const { return FrontItem(); }

    CPQueue* CreateInstance() const override { return new CPQueue(); }
    std::unique_ptr<IterationState> CreateIterationState() const override;
};

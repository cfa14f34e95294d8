#pragma once
// Iteration over the collections: a collection hands out an iteration state that knows how to walk
// it, and an Iterator carries that state for the caller.
#include "dunmor/Createable.h"

#include <cstddef>
#include <memory>

// Where a walk over one collection stands. get() answers the current item and moves on; it answers
// null once the walk is past the last item (so a null item also ends a walk).
class IterationState {
public:
    IterationState() = default;
    IterationState(const IterationState&) = default;
    IterationState& operator=(const IterationState&) = default;
    virtual ~IterationState() = default;

    virtual void* get() = 0;
    // Back to the first item.
    virtual void Reset() = 0;
    // Places the walk so that the next get() answers the item at this index. Index 0 is the top.
    // This general form walks from the top; positional states jump directly.
    // Answers false when the collection holds fewer items than the index.
    virtual bool SetIndex(std::size_t index);
};

// A state over a collection with positional access: the walk is an index, so a collection that
// changes under the walk never makes it read outside the items.
class PositionalIterationState : public IterationState {
public:
    void* get() override;
    void Reset() override { m_nIndex = 0; }
    bool SetIndex(std::size_t index) override;
    std::size_t Position() const { return m_nIndex; }

protected:
    virtual std::size_t Count() const = 0;
    virtual void* ItemAt(std::size_t index) const = 0;

private:
    std::size_t m_nIndex = 0;
};

class Iterator : public Createable {
public:
    Iterator() = default;
    explicit Iterator(std::unique_ptr<IterationState> state) : m_pState(std::move(state)) {}

    // The current item, then advance; null at the end or when there is no state.
    void* get() { return m_pState ? m_pState->get() : nullptr; }
    void Reset() { if (m_pState) m_pState->Reset(); }
    bool SetIndex(std::size_t index) { return m_pState && m_pState->SetIndex(index); }

    bool HasState() const { return m_pState != nullptr; }
    IterationState* GetState() const { return m_pState.get(); }
    void SetState(std::unique_ptr<IterationState> state) { m_pState = std::move(state); }

private:
    std::unique_ptr<IterationState> m_pState;
};

// Anything that can be walked. The iterator and its state refer to the collection: they must not
// outlive it.
class Iterable : public Createable {
public:
    // The state that walks this collection; null when the collection cannot be walked.
    virtual std::unique_ptr<IterationState> CreateIterationState() const { return nullptr; }

    // A new iterator holding a fresh iteration state. Records "piterA" when the iterator cannot be
    // made (the answer is then null) and "pitsA" when the collection gives no state (the iterator
    // then answers null at once).
    std::unique_ptr<Iterator> GetIterator() const;
};

#pragma once
// The ordered tree: items under numeric keys, walked in ascending key order; items with equal keys
// keep the order they were added in. Keys are doubles; integer keys are held exactly up to 2^53.
#include "tevrin/CPCollection.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What kind of keys the tree holds.
enum enumTreeDataState {
    tdsEmpty = 0,
    tdsDoubleKeys = 1,
    tdsIntegerKeys = 2,
    tdsMixedKeys = 3,
};

class CPTree : public CPKeyedCollection {
public:
    // The key Add(item) files an item under.
    static constexpr double kDefaultKey = -1.0;

    CPTree() = default;
    // The copy shares the items but never owns them: delete-leaves is off in the copy, so the items
    // are destroyed once, by the original.
    CPTree(const CPTree& other);
    CPTree& operator=(const CPTree& other);
    ~CPTree() override;

    bool Add(void* item) { return AddKeyDouble(kDefaultKey, item); }
    // False for a NaN key (it has no place in the order) or a full tree.
    bool AddKeyDouble(double key, void* item);
    bool AddKeyInteger(std::int64_t key, void* item);

    // The item at a position in key order; null out of range.
    void* RetrieveIDX(std::size_t index) const { return index < m_leaves.size() ? m_leaves[index].item : nullptr; }
    // The key at a position; false out of range.
    bool KeyAt(std::size_t index, double& key) const;
    // The first item filed under exactly this key, or null.
    void* FindKeyDouble(double key) const;
    void* FindKeyInteger(std::int64_t key) const { return FindKeyDouble(static_cast<double>(key)); }
    std::int64_t IndexOf(const void* item) const;

    // The removed item (not destroyed: the caller has it back); null out of range.
    void* RemoveIDX(std::size_t index);
    bool RemoveItem(const void* item);

    // The items with the lowest and the highest keys; null when empty.
    void* Head() const { return m_leaves.empty() ? nullptr : m_leaves.front().item; }
    void* Tail() const { return m_leaves.empty() ? nullptr : m_leaves.back().item; }

    // With delete-leaves set, items still in the tree when it is cleared or destroyed are handed to
    // the destroy callback. Without a callback the flag has nothing to do.
    void SetDeleteLeaves(bool deleteLeaves, DestroyFn destroy = nullptr);
    bool _get_bDeleteLeaves() const { return m_bDeleteLeaves; }
    enumTreeDataState _get_eDataState() const { return m_eDataState; }

    void Clear();
    void ForEach(VisitorFn visitor, void* context) const override;

    CPTree* CreateInstance() const override { return new CPTree(); }
    std::unique_ptr<IterationState> CreateIterationState() const override;

private:
    struct Leaf {
        double key;
        void* item;
    };
    bool Insert(double key, void* item, enumTreeDataState kind);

    std::vector<Leaf> m_leaves;
    bool m_bDeleteLeaves = false;
    DestroyFn m_pDestroy = nullptr;
    enumTreeDataState m_eDataState = tdsEmpty;
};

class TreeIterationState : public PositionalIterationState {
public:
    explicit TreeIterationState(const CPTree* tree) : m_pTree(tree) {}

protected:
    std::size_t Count() const override { return m_pTree ? m_pTree->Length() : 0; }
    void* ItemAt(std::size_t index) const override { return m_pTree->RetrieveIDX(index); }

private:
    const CPTree* m_pTree;
};

#pragma once
// An ordered tree of framework objects, each held by one reference while it is in the tree.
#include "tevrin/CPTree.h"
#include "tevrin/CrCollection.h"

class CrTree : public CrKeyedCollection {
public:
    CrTree() = default;
    // The copy holds its own reference to every object.
    CrTree(const CrTree& other);
    CrTree& operator=(const CrTree& other);
    ~CrTree() override;

    // Each takes a reference. A null object or a NaN key is refused.
    bool Add(Createable* object) { return AddKeyDouble(CPTree::kDefaultKey, object); }
    bool AddKeyDouble(double key, Createable* object);
    bool AddKeyInteger(std::int64_t key, Createable* object);

    Createable* RetrieveIDX(std::size_t index) const { return static_cast<Createable*>(m_tree.RetrieveIDX(index)); }
    Createable* FindKeyDouble(double key) const { return static_cast<Createable*>(m_tree.FindKeyDouble(key)); }
    bool KeyAt(std::size_t index, double& key) const { return m_tree.KeyAt(index, key); }

    // Each releases the tree's reference: the object may be gone afterwards.
    bool RemoveIDX(std::size_t index);
    bool RemoveItem(Createable* object);
    void Clear() override;

    std::uint32_t Length() const override { return m_tree.Length(); }
    void ForEach(VisitorFn visitor, void* context) const override { m_tree.ForEach(visitor, context); }

private:
    CPTree m_tree;
};

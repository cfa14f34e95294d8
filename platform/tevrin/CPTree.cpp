#include "tevrin/CPTree.h"

#include <algorithm>
#include <cmath>

CPTree::CPTree(const CPTree& other)
    : CPKeyedCollection(other), m_leaves(other.m_leaves), m_eDataState(other.m_eDataState) {}

CPTree& CPTree::operator=(const CPTree& other) {
    if (this == &other) return *this;
    Clear();
    CPKeyedCollection::operator=(other);
    m_leaves = other.m_leaves;
    m_eDataState = other.m_eDataState;
    m_bDeleteLeaves = false;
    m_pDestroy = nullptr;
    return *this;
}

CPTree::~CPTree() {
    Clear();
}

bool CPTree::AddKeyDouble(double key, void* item) {
    return Insert(key, item, tdsDoubleKeys);
}

bool CPTree::AddKeyInteger(std::int64_t key, void* item) {
    return Insert(static_cast<double>(key), item, tdsIntegerKeys);
}

bool CPTree::Insert(double key, void* item, enumTreeDataState kind) {
    if (std::isnan(key) || m_leaves.size() >= kMaxLength) return false;
    // After every equal key: equal keys keep their insertion order.
    auto at = std::upper_bound(m_leaves.begin(), m_leaves.end(), key,
                               [](double k, const Leaf& leaf) { return k < leaf.key; });
    m_leaves.insert(at, Leaf{key, item});
    if (m_eDataState == tdsEmpty) m_eDataState = kind;
    else if (m_eDataState != kind) m_eDataState = tdsMixedKeys;
    IncrementLength();
    return true;
}

bool CPTree::KeyAt(std::size_t index, double& key) const {
    if (index >= m_leaves.size()) return false;
    key = m_leaves[index].key;
    return true;
}

void* CPTree::FindKeyDouble(double key) const {
    auto at = std::lower_bound(m_leaves.begin(), m_leaves.end(), key,
                               [](const Leaf& leaf, double k) { return leaf.key < k; });
    return at != m_leaves.end() && at->key == key ? at->item : nullptr;
}

std::int64_t CPTree::IndexOf(const void* item) const {
    for (std::size_t i = 0; i < m_leaves.size(); ++i) {
        if (m_leaves[i].item == item) return static_cast<std::int64_t>(i);
    }
    return -1;
}

void* CPTree::RemoveIDX(std::size_t index) {
    if (index >= m_leaves.size()) return nullptr;
    void* item = m_leaves[index].item;
    m_leaves.erase(m_leaves.begin() + static_cast<std::ptrdiff_t>(index));
    DecrementLength();
    if (m_leaves.empty()) m_eDataState = tdsEmpty;
    return item;
}

bool CPTree::RemoveItem(const void* item) {
    const std::int64_t index = IndexOf(item);
    if (index < 0) return false;
    RemoveIDX(static_cast<std::size_t>(index));
    return true;
}

void CPTree::SetDeleteLeaves(bool deleteLeaves, DestroyFn destroy) {
    m_bDeleteLeaves = deleteLeaves;
    m_pDestroy = destroy;
}

void CPTree::Clear() {
    std::vector<Leaf> leaves;
    leaves.swap(m_leaves);
    ClearLength();
    m_eDataState = tdsEmpty;
    if (!m_bDeleteLeaves || !m_pDestroy) return;
    for (const Leaf& leaf : leaves) {
        if (leaf.item) m_pDestroy(leaf.item);
    }
}

void CPTree::ForEach(VisitorFn visitor, void* context) const {
    if (!visitor) return;
    const std::size_t n = m_leaves.size();
    for (std::size_t i = 0; i < n && i < m_leaves.size(); ++i) visitor(m_leaves[i].item, context);
}

std::unique_ptr<IterationState> CPTree::CreateIterationState() const {
    return std::make_unique<TreeIterationState>(this);
}

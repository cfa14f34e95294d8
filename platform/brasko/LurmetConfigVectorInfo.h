#pragma once
// Registry of the configuration keys a module declares, with the label the host's settings
// dialog shows for each, in the order they were declared.
#include "dunmor/CPString.h"

#include <vector>

struct LurmetConfigItem {
    CPString key;
    CPString label;
};

class LurmetConfigVectorInfo {
public:
    // Appends the key with its label. A key already declared keeps its first label and is not
    // added again; answers whether the key was added.
    bool AddItem(const CPString& key, const CPString& label);
    int Count() const { return static_cast<int>(m_items.size()); }
    // The item at that position, null when out of range.
    const LurmetConfigItem* Item(int index) const;
    // Position of the key, -1 when not declared.
    int Find(const CPString& key) const;

private:
    std::vector<LurmetConfigItem> m_items;
};

// The layer's one registry of configuration keys, built on first use.
LurmetConfigVectorInfo& _get_LurmetConfigVectorInfo();

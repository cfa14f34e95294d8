#pragma once
// The class model of a simulator case: which class derives from which. A few relations are built
// in ("picHeatTransferEquipment" over every "ht" class, "vsSeparator" over the two- and
// three-phase separators, "picLogicalOperation" over "lgRecycle"); a case document may declare
// classes of its own with their parents.
#include "dunmor/CPString.h"

#include <unordered_map>

class CPItem;

class Model {
public:
    // Declares `className` with its parent; false for an empty name, a class declared already or
    // one that would make the chain of parents loop.
    bool DeclareClass(const CPString& className, const CPString& parent);
    bool IsDeclared(const CPString& className) const { return m_parents.count(className) != 0; }
    // The parent of a class: declared, built in, or empty for a class without one.
    CPString ParentOf(const CPString& className) const;
    // Non-zero when the class is `ancestor` or derives from it.
    int IsClassAncestor(const CPString& className, const CPString& ancestor) const;
    // Non-zero when the item's class is `className` or derives from it.
    int IsAncestor(const CPItem* item, const CPString& className, int reserved = 0) const;

private:
    std::unordered_map<CPString, CPString, std::hash<std::string>> m_parents;
};

#pragma once
// The access facade of the modelling framework: walks a case's items and reads their values. It
// holds no state of its own; the item walk's cursor is the case's (`Case::GetFirstItem`), so one
// walk per case at a time.
#include "dunmor/CPString.h"

class Case;
class CPItem;
class CPValue;

class RalvexInterface {
public:
    CPItem* CASEGetFirstItem(Case* simulatorCase) const;
    CPItem* CASEGetNextItem(Case* simulatorCase) const;
    CPItem* CASEGetItemByName(Case* simulatorCase, const CPString& name) const;
    // Unlinks and destroys the item; 1 when the case held it.
    int CASEDeleteItem(Case* simulatorCase, const CPString& name) const;
    // The item's variable of that name, or null.
    CPValue* ITGetVal(CPItem* item, const CPString& name) const;
    // The number of entries of a value (0 for null).
    int VALGetSubValCount(const CPValue* value) const;
};

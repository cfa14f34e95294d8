#pragma once
// The hash table: values under string or cardinal keys, found by hashing. It walks its entries in
// the order they were added, which keeps every walk deterministic.
#include "tevrin/CPDictionary.h"

class CPHashTable : public CPDictionary {
public:
    explicit CPHashTable(int slots = kDefaultSlots) : CPDictionary(slots) {}
    CPHashTable(const CPHashTable&) = default;
    CPHashTable& operator=(const CPHashTable&) = default;
    ~CPHashTable() override = default;

    CPHashTable* CreateInstance() const override { return new CPHashTable(_get_nNumberOfSlots()); }
};

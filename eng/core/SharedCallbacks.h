#pragma once
// Comparators, filters and visitors that the engine hands to its collections. One function
// serves every owner whose entries have the shape it reads.
#include "brasko/ILurmetBinaryFile.h"
#include "eng/core/SharedRecords.h"
#include "tevrin/Callbacks.h"

class CPList;

// Context of a store visitor: the file and the success flag. After the first failed write the
// visitor writes nothing more.
struct StoreContext {
    ILurmetBinaryFile* file;
    bool ok;
};

// ---- comparators (items are pointers to records; -1, 0, 1 ascending) --------------------------
int CompareTemperatureKeys(const void* a, const void* b);
int CompareFirstDouble(const void* a, const void* b);
// By total cost (tenth value of a supertarget point); a cost within 1e-8 of zero sorts last.
int CompareCostLastZero(const void* a, const void* b);
int CompareTemperatureDifference(const void* a, const void* b);

// ---- filters on records of doubles (item: const double*, key as stated) -----------------------
int HasPositiveLoad(void* item, void* key);          // seventh value > 1e-8
int HasNoPositiveLoad(void* item, void* key);        // seventh value <= 1e-8
int HasNonZeroNinthValue(void* item, void* key);
int HasSignificantTenthValue(void* item, void* key); // |tenth| > 1e-8
int HasSignificantNinthValue(void* item, void* key); // ninth > 1e-8
int IsBelowNinetyNinePercent(void* item, void* key); // fourth <= 0.99 * *(double*)key
int IsAtMost(void* item, void* key);                 // first <= *(double*)key
int IsEqualDouble(void* item, void* key);            // first values equal
int IsEqualText(void* item, void* key);              // CPString items, byte comparison
// A temperature key whose hot (side key 0) or cold (side key 1) value is unset; key: int* side.
int IsSegmentHeatTypeUnset(void* item, void* key);

// ---- builders ---------------------------------------------------------------------------------
// Visitor over TemperatureKeySource items; context: the CPList that receives new TemperatureKeys
// (owned by the list's owner, freed with DestroyTemperatureKey).
void MakeTemperatureKey(void* item, void* context);
void DestroyTemperatureKey(void* item);

// ---- store visitors (context: StoreContext*) --------------------------------------------------
void StoreEachDouble(void* item, void* context);          // double*
void StoreEachText(void* item, void* context);            // CPString*
void StoreEachPair(void* item, void* context);            // DoublePair*, record version 1
void StoreEachInterval(void* item, void* context);        // IntervalEntry*, record version 1
void StoreEachTwelveDoubles(void* item, void* context);   // double[12], record version 1
void StoreEachSuperTargetPoint(void* item, void* context);// SuperTargetPointRecord*, version 2
void StoreEachKeyName(void* item, void* context);         // DictionaryEntry*: the key only
void StoreEachNamedDouble(void* item, void* context);     // DictionaryEntry* with double* value
void StoreEachNamedText(void* item, void* context);       // DictionaryEntry* with CPString* value

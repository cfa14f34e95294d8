#include "eng/core/SharedCallbacks.h"

#include "dunmor/CPString.h"
#include "dunmor/Exceptions.h"
#include "tevrin/CPDictionary.h"
#include "tevrin/CPList.h"

#include <cmath>

namespace {
int ascending(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }
const double* doubles(const void* item) { return static_cast<const double*>(item); }
double keyDouble(void* key) { return key ? *static_cast<const double*>(key) : 0.0; }
bool isUnset(double v) { return v == kUnsetHeatValue; }

// Writes one item at the outer level of a store walk, keeping the first failure.
template <typename Write>
void storeItem(void* context, Write write) {
    auto* ctx = static_cast<StoreContext*>(context);
    if (!ctx || !ctx->ok || !ctx->file) return;
    ctx->ok = write(*ctx->file);
}

template <typename Fields>
bool inRecord(ILurmetBinaryFile& f, int version, Fields fields) {
    RecordHandle h;
    return f.BeginRecord(h, version) && fields() && f.EndRecord(h);
}
}  // namespace

int CompareTemperatureKeys(const void* a, const void* b) {
    const auto* x = static_cast<const TemperatureKey*>(a);
    const auto* y = static_cast<const TemperatureKey*>(b);
    if (!x || !y) return 0;
    if (int c = ascending(x->temperature, y->temperature)) return c;
    if (!isUnset(x->hot) && !isUnset(y->hot)) return ascending(x->hot, y->hot);
    if (isUnset(x->cold) && isUnset(y->cold)) return 0;
    double vx = isUnset(x->cold) ? x->hot : x->cold;
    double vy = isUnset(y->cold) ? y->hot : y->cold;
    return ascending(vx, vy);
}

int CompareFirstDouble(const void* a, const void* b) {
    if (!a || !b) return 0;
    return ascending(doubles(a)[0], doubles(b)[0]);
}

int CompareCostLastZero(const void* a, const void* b) {
    if (!a || !b) return 0;
    double x = static_cast<const SuperTargetPointRecord*>(a)->values[9];
    double y = static_cast<const SuperTargetPointRecord*>(b)->values[9];
    bool xZero = std::fabs(x) <= 1e-8, yZero = std::fabs(y) <= 1e-8;
    if (xZero != yZero) return xZero ? 1 : -1;
    if (xZero) return 0;
    return ascending(x, y);
}

int CompareTemperatureDifference(const void* a, const void* b) {
    if (!a || !b) return 0;
    return ascending(doubles(a)[0] - doubles(a)[1], doubles(b)[0] - doubles(b)[1]);
}

int HasPositiveLoad(void* item, void*) { return item && doubles(item)[6] > 1e-8 ? 1 : 0; }
int HasNoPositiveLoad(void* item, void*) { return item && !(doubles(item)[6] > 1e-8) ? 1 : 0; }
int HasNonZeroNinthValue(void* item, void*) { return item && doubles(item)[8] != 0.0 ? 1 : 0; }
int HasSignificantTenthValue(void* item, void*) { return item && std::fabs(doubles(item)[9]) > 1e-8 ? 1 : 0; }
int HasSignificantNinthValue(void* item, void*) { return item && doubles(item)[8] > 1e-8 ? 1 : 0; }
int IsBelowNinetyNinePercent(void* item, void* key) {
    return item && doubles(item)[3] <= 0.99 * keyDouble(key) ? 1 : 0;
}
int IsAtMost(void* item, void* key) { return item && doubles(item)[0] <= keyDouble(key) ? 1 : 0; }
int IsEqualDouble(void* item, void* key) {
    return item && key && doubles(item)[0] == doubles(key)[0] ? 1 : 0;
}
int IsEqualText(void* item, void* key) {
    if (!item || !key) return 0;
    return *static_cast<const CPString*>(item) == *static_cast<const CPString*>(key) ? 1 : 0;
}

int IsSegmentHeatTypeUnset(void* item, void* key) {
    const auto* k = static_cast<const TemperatureKey*>(item);
    int side = key ? *static_cast<const int*>(key) : -1;
    if (side != 0 && side != 1) {
        Exceptions::Assert("eng/utilityfunctions", __LINE__, "!\"Segment Heat Type is not Hot or Cold\"");
        return 0;
    }
    if (!k) return 0;
    return isUnset(side == 0 ? k->hot : k->cold) ? 1 : 0;
}

void MakeTemperatureKey(void* item, void* context) {
    const auto* src = static_cast<const TemperatureKeySource*>(item);
    auto* list = static_cast<CPList*>(context);
    if (!src || !list) return;
    auto* key = new TemperatureKey{src->temperature, 0.0, 0.0};
    if (src->side == 8) {
        key->hot = src->value;
        key->cold = kUnsetHeatValue;
    } else if (src->side == 9) {
        key->hot = kUnsetHeatValue;
        key->cold = src->value;
    }
    list->Append(key);
}

void DestroyTemperatureKey(void* item) { delete static_cast<TemperatureKey*>(item); }

void StoreEachDouble(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) { return item && f.WriteDouble(*static_cast<double*>(item)); });
}

void StoreEachText(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) { return item && f.WriteCPString(*static_cast<CPString*>(item)); });
}

void StoreEachPair(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const auto* p = static_cast<const DoublePair*>(item);
        return p && inRecord(f, 1, [&] { return f.WriteDouble(p->first) && f.WriteDouble(p->second); });
    });
}

void StoreEachInterval(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const auto* p = static_cast<const IntervalEntry*>(item);
        return p && inRecord(f, 1, [&] {
                   return f.WriteDouble(p->first) && f.WriteDouble(p->second) && f.WriteInt(p->count);
               });
    });
}

void StoreEachTwelveDoubles(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const double* v = doubles(item);
        return v && inRecord(f, 1, [&] {
                   for (int i = 0; i < 12; ++i)
                       if (!f.WriteDouble(v[i])) return false;
                   return true;
               });
    });
}

void StoreEachSuperTargetPoint(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const auto* p = static_cast<const SuperTargetPointRecord*>(item);
        return p && inRecord(f, 2, [&] {
                   for (double v : p->values)
                       if (!f.WriteDouble(v)) return false;
                   return f.WriteInt(p->count) && f.WriteDouble(p->eleventh);
               });
    });
}

namespace {
CPString entryKey(const DictionaryEntry* e) { return (e && e->bHasKey) ? e->key : CPString(); }
}  // namespace

void StoreEachKeyName(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        return item && f.WriteCPString(entryKey(static_cast<const DictionaryEntry*>(item)));
    });
}

void StoreEachNamedDouble(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const auto* e = static_cast<const DictionaryEntry*>(item);
        return e && e->value && f.WriteCPString(entryKey(e)) && f.WriteDouble(*static_cast<const double*>(e->value));
    });
}

void StoreEachNamedText(void* item, void* context) {
    storeItem(context, [&](ILurmetBinaryFile& f) {
        const auto* e = static_cast<const DictionaryEntry*>(item);
        return e && e->value && f.WriteCPString(entryKey(e)) && f.WriteCPString(*static_cast<const CPString*>(e->value));
    });
}

#pragma once
// Small readers of simulator-case items shared by the import: class names, known values, the
// first neighbour on a side.
#include "dunmor/CPString.h"
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"

#include <cstdint>

namespace CaseClass {
inline constexpr const char* MaterialStream = "ppMaterialStream";
inline constexpr const char* Tee = "ppTee";
inline constexpr const char* Mixer = "ppMixer";
inline constexpr const char* Valve = "ppValve";
inline constexpr const char* Pump = "rtPump";
inline constexpr const char* PipeSegment = "ppPipeSegment";
inline constexpr const char* Recycle = "lgRecycle";
inline constexpr const char* Boundary = "ppBoundaryStreamItem";
inline constexpr const char* Unknown = "UnknownClass";
}  // namespace CaseClass

// The smallest duty (kW, either sign) for which a case unit is placed in the existing network.
inline constexpr double kSmallestPlacedDuty = 0.1;

template <std::size_t N> bool IsOneOf(const CPItem* item, const char* const (&classes)[N]) {
    if (!item) return false;
    for (const char* c : classes)
        if (item->_get_szClassName() == c) return true;
    return false;
}

inline bool IsClass(const CPItem* item, const char* cls) { return item && item->_get_szClassName() == cls; }

// The value when the item has it and it holds a known number.
inline bool KnownNumber(const CPItem* item, const char* name, double& out) {
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    if (!v || !v->IsKnown() || v->IsText() || v->IsEmpty()) return false;
    out = v->GetAsDouble();
    return true;
}

// The text of a value (a number written out); empty when missing.
inline bool TextValue(const CPItem* item, const char* name, CPString& out) {
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    if (!v) return false;
    out = v->GetAsString();
    return true;
}

// A unit that passes a stream on along its path (pipe, exchanger, heater, cooler, valve, recycle,
// boundary item, pump).
bool IsNetworkPathUnit(const CPItem* item);

inline CPItem* FirstNeighbour(CPItem* item, int kind) {
    if (!item) return nullptr;
    const std::vector<CPItem*> n = item->RelatedNodes(kind);
    return n.empty() ? nullptr : n.front();
}

// A stream's composition signature: its "CompositionCRC", 0 when it has none.
inline std::int16_t CompositionSignature(const CPItem* item) {
    const CPValue* v = item ? item->GetVariable("CompositionCRC") : nullptr;
    return v ? v->GetAsShort() : 0;
}

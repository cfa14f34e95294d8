#pragma once
// Small readers of simulator-case items shared by the import: class names, known values, the
// first neighbour on a side.
#include "dunmor/CPString.h"
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"

#include <cstdint>
#include <string>

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

// The units that move heat into or out of a stream: the temperature a stream leaves one of them at
// is the one its table gives, and a change of direction across one of them turns the stream.
inline constexpr const char* const kHeatTransferUnits[] = {"htCooler",       "htHeater",    "htHeatExchanger",
                                                           "htLNGExchanger", "htAirCooler", "htFiredHeater"};

// The classes the existing network places as coolers and as heaters (a fired heater is a heater on a
// utility like any other; the utility rule gives it the fired heat).
inline constexpr const char* const kPlacedCoolers[] = {"htCooler", "htAirCooler", "htCondenserPartial", "htCondenserTotal",
                                                       "htCondenserThreePhase"};
inline constexpr const char* const kPlacedHeaters[] = {"htHeater", "htFiredHeater", "htReboiler", "htReboilerThreePhase"};

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

// The first or last point of the temperatures a unit's table gives for the stream it takes in.
inline bool TableEnd(const CPItem* unit, const CPString& stream, bool first, double& t) {
    const CPValue* table = unit ? unit->GetVariable("PropertyTable") : nullptr;
    const CPValue* entry = table ? table->FindSubValue(stream) : nullptr;
    const CPValue* points = entry ? entry->FindSubValue("prpTemperature") : nullptr;
    const std::size_t n = points ? points->GetNumberOfSubValues() : 0;
    const CPValue* point = n ? points->GetSubValue(first ? 0 : n - 1) : nullptr;
    if (!point || !point->IsKnown() || point->IsText() || point->IsEmpty()) return false;
    t = point->GetAsDouble();
    return t != -32767.0;
}

// A material stream's temperature. Where the case leaves it unknown on a stream between two items
// it is passed over, never read as 0: the units' tables give the stream's ends (the first point of
// the table of the unit it enters, else the last of the unit it leaves, of the stream that unit
// took in on that side), and a unit beside it is still placed where it stands in the flow. A feed
// or product of the process stays unknown.
inline bool StreamTemperature(CPItem* stream, double& t) {
    if (KnownNumber(stream, "Temperature", t) && t != -32767.0) return true;
    if (!IsClass(stream, CaseClass::MaterialStream) || !FirstNeighbour(stream, CPItem::Upstream) ||
        !FirstNeighbour(stream, CPItem::Downstream))
        return false;
    const CPString& name = stream->_get_szName();
    for (CPItem* unit : stream->RelatedNodes(CPItem::Downstream)) {
        if (TableEnd(unit, name, true, t)) return true;
        // A copy ending a chain cut there stands before the stream it copies.
        if (IsClass(unit, CaseClass::MaterialStream) && !IsClass(FirstNeighbour(unit, CPItem::Downstream), CaseClass::MaterialStream) &&
            StreamTemperature(unit, t))
            return true;
    }
    for (CPItem* unit : stream->RelatedNodes(CPItem::Upstream)) {
        CPString product, feed;
        for (const char* side : {"TubeSide", "ShellSide"})
            if (TextValue(unit, (std::string(side) + "Product").c_str(), product) && product == name &&
                TextValue(unit, (std::string(side) + "Feed").c_str(), feed) && TableEnd(unit, feed, false, t))
                return true;
        if (IsClass(unit, "htHeatExchanger")) continue;
        for (CPItem* in : unit->RelatedNodes(CPItem::Upstream))
            if (IsClass(in, CaseClass::MaterialStream) && TableEnd(unit, in->_get_szName(), false, t)) return true;
    }
    return false;
}

// A stream's composition signature: its "CompositionCRC", 0 when it has none.
inline std::int16_t CompositionSignature(const CPItem* item) {
    const CPValue* v = item ? item->GetVariable("CompositionCRC") : nullptr;
    return v ? v->GetAsShort() : 0;
}

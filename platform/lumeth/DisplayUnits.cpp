#include "lumeth/DisplayUnits.h"

#include "lumeth/Session.h"

#include <algorithm>
#include <strings.h>

namespace {

constexpr double kSecondsPerYear = 31536000.0;
constexpr double kKwToBtuPerHour = 3412.141633;
constexpr double kKwPerM2CToBtu = 176.1101838;  // kW/(m2.C) in Btu/(hr.ft2.F)

UnitConversion none() { return {"", 1.0, 0.0}; }
UnitConversion same(const char* name, double factor = 1.0) { return {name, factor, 0.0}; }

// The kinds the forms of the case, scenario, design, grid and plot views use.
const std::vector<QuantityInfo>& table() {
    static const std::vector<QuantityInfo> kinds = {
        {0, "Unknown", none(), none(), "%g"},
        {1, "Temperature", {"C", 1.0, 0.0}, {"F", 1.8, 32.0}, "%.1f"},
        {4, "MassFlow", same("kg/s"), same("lb/hr", 7936.641439), "%.3f"},
        {6, "HeatFlow", same("kW"), same("Btu/hr", kKwToBtuPerHour), "%.1f"},
        {9, "EndTolerance", none(), none(), "%.4f"},
        {11, "Fraction", none(), none(), "%.3f"},
        {24, "DeltaTempUnit", same("C"), same("F", 1.8), "%.2f"},
        {100, "Index", none(), none(), "%.0f"},
        {104, "Switch", none(), none(), "%.0f"},
        {105, "Enum", none(), none(), "%.0f"},
        {107, "TargetMethod", none(), none(), "%.0f"},
        {109, "OptionArray", none(), none(), "%.0f"},
        {110, "Percent", same("%"), same("%"), "%.1f"},
        // Conductivities are held in W/m-C, as the stream tables and the default utilities give them.
        {1007, "ThermCond", same("W/m-C"), same("Btu/hr-ft-F", 0.5777893), "%.4f"},
        {1008, "Viscosity", same("cP"), same("cP"), "%.4f"},
        {1011, "SpecificHeat", same("kJ/kg-C"), same("Btu/lb-F", 0.2388459), "%.3f"},
        {1012, "MassDensity", same("kg/m3"), same("lb/ft3", 0.06242796), "%.2f"},
        {1027, "Velocity", same("m/s"), same("ft/s", 3.280839895), "%.3f"},
        {1507, "Length", same("m"), same("ft", 3.280839895), "%.2f"},
        {1508, "Area", same("m2"), same("ft2", 10.7639104), "%.1f"},
        {1516, "HeatCapacityFlow", same("kW/C"), same("Btu/hr-F", kKwToBtuPerHour / 1.8), "%.3f"},
        {1517, "DeltaTemp", same("C"), same("F", 1.8), "%.1f"},
        {1519, "ExtraData", none(), none(), "%g"},
        {1520, "Time", same("h", 1.0 / 3600.0), same("h", 1.0 / 3600.0), "%.1f"},
        {1524, "HeatTransferCoeff", same("kW/m2-C"), same("Btu/hr-ft2-F", kKwPerM2CToBtu), "%.4f"},
        {4101, "Fouling", same("m2-C/kW"), same("hr-ft2-F/Btu", 1.0 / kKwPerM2CToBtu), "%.5f"},
        {31000, "Cost", same("Cost"), same("Cost"), "%.0f"},
        {31001, "CostPerTime", same("Cost/year", kSecondsPerYear), same("Cost/year", kSecondsPerYear), "%.0f"},
        // Costs per unit energy are held per kJ (per kW for a second).
        {31002, "CostPerEnergy", same("Cost/kWh", 3600.0), same("Cost/MMBtu", 1055056.0), "%.4f"},
        {32009, "Count", none(), none(), "%.0f"},
        // Counts the range-target plot addresses by name: units (minimum number of units) and
        // shells.
        {32010, "NMer", none(), none(), "%.0f"},
        {32011, "NumberOfShells", none(), none(), "%.0f"},
        {32039, "PricePerMass", same("Cost/kg"), same("Cost/lb", 0.45359237), "%.4f"},
        {32048, "LinkCoefficientA", none(), none(), "%g"},
        {32049, "LinkCoefficientB", none(), none(), "%g"},
        {32053, "EmissionsCoefficient", same("kg/kWh"), same("kg/kWh"), "%.4f"},
    };
    return kinds;
}

// The framework's own unit codes, which share the units of a kind.
struct Alias {
    int code;
    int kind;
};
constexpr Alias kAliases[] = {{41, 1508}, {26, 1524}, {99, 31000}, {65, 0}};

const QuantityInfo* findKind(int kind) {
    for (const Alias& a : kAliases)
        if (a.code == kind) kind = a.kind;
    return FindQuantity(kind);
}

const QuantityInfo& years() {
    static const QuantityInfo y{44, "Years", same("years", 1.0 / kSecondsPerYear), same("years", 1.0 / kSecondsPerYear),
                                "%.2f"};
    return y;
}

// The units of time of kind 44 that trend studies name; seconds are the internal unit. A month
// is a twelfth of a year of 365 days.
const std::vector<UnitConversion>& timeUnits() {
    static const std::vector<UnitConversion> units = {
        same("hours", 1.0 / 3600.0),   same("days", 1.0 / 86400.0),     same("weeks", 1.0 / 604800.0),
        same("months", 12.0 / kSecondsPerYear), same("years", 1.0 / kSecondsPerYear),
    };
    return units;
}

int& unitSet() {
    static int set = SIUnits;
    return set;
}

}  // namespace

const std::vector<QuantityInfo>& Quantities() { return table(); }

const QuantityInfo* FindQuantity(int code) {
    const std::vector<QuantityInfo>& t = table();
    auto it = std::lower_bound(t.begin(), t.end(), code, [](const QuantityInfo& q, int c) { return q.code < c; });
    if (it != t.end() && it->code == code) return &*it;
    return code == 44 ? &years() : nullptr;
}

const QuantityInfo* FindQuantityByName(const Text& name) {
    for (const QuantityInfo& q : table())
        if (strcasecmp(q.name.c_str(), name.c_str()) == 0) return &q;
    return nullptr;
}

int GetDisplayUnitSet() { return unitSet(); }

void SetDisplayUnitSet(int set) {
    unitSet() = set == CustomaryUnits ? CustomaryUnits : SIUnits;
    Session::Instance().Record(SessionEvent::UnitsSet, Text(), Text(), unitSet());
}

UnitConversion DefUnitConv(int kind, int set) {
    if (set == DefaultUnits) set = GetDisplayUnitSet();
    const QuantityInfo* q = findKind(kind);
    if (!q) return {};
    return set == CustomaryUnits ? q->customary : q->si;
}

bool get_unit(int kind, const Text& unitName, int, UnitConversion& out) {
    const QuantityInfo* q = findKind(kind);
    if (!q) return false;
    if (q->code == 44)
        for (const UnitConversion& u : timeUnits())
            if (strcasecmp(u.name.c_str(), unitName.c_str()) == 0) return out = u, true;
    for (const UnitConversion* u : {&q->si, &q->customary})
        if (!u->name.empty() && strcasecmp(u->name.c_str(), unitName.c_str()) == 0) return out = *u, true;
    return false;
}

double calc_unit(double displayValue, const UnitConversion& unit) {
    if (displayValue == -32767.0 || unit.factor == 0.0) return displayValue;
    return (displayValue - unit.offset) / unit.factor;
}

double calc_ounit(double baseValue, const UnitConversion& unit) {
    if (baseValue == -32767.0) return baseValue;
    return baseValue * unit.factor + unit.offset;
}

#include "lumeth/DisplayUnits.h"

#include "lumeth/Session.h"

#include <strings.h>

namespace {

struct UnitRow {
    int kinds[3];
    UnitConversion si;
    UnitConversion customary;
};

constexpr double kSecondsPerYear = 31536000.0;

const UnitRow kUnits[] = {
    {{1, -1, -1}, {"C", 1.0, 0.0}, {"F", 1.8, 32.0}},
    {{1517, 24, -1}, {"C", 1.0, 0.0}, {"F", 1.8, 0.0}},
    {{6, -1, -1}, {"kW", 1.0, 0.0}, {"Btu/hr", 3412.141633, 0.0}},
    {{1508, 41, -1}, {"m2", 1.0, 0.0}, {"ft2", 10.7639104, 0.0}},
    {{4, -1, -1}, {"kg/s", 1.0, 0.0}, {"lb/hr", 7936.641439, 0.0}},
    {{1524, 26, -1}, {"kW/m2-C", 1.0, 0.0}, {"Btu/hr-ft2-F", 176.1101838, 0.0}},
    {{1516, -1, -1}, {"kW/C", 1.0, 0.0}, {"Btu/hr-F", 3412.141633 / 1.8, 0.0}},
    {{1011, -1, -1}, {"kJ/kg-C", 1.0, 0.0}, {"Btu/lb-F", 0.2388458966, 0.0}},
    {{31000, 99, -1}, {"Cost", 1.0, 0.0}, {"Cost", 1.0, 0.0}},
    {{31001, 100, -1}, {"Cost/year", kSecondsPerYear, 0.0}, {"Cost/year", kSecondsPerYear, 0.0}},
    {{1520, -1, -1}, {"h", 1.0 / 3600.0, 0.0}, {"h", 1.0 / 3600.0, 0.0}},
    {{44, -1, -1}, {"years", 1.0 / kSecondsPerYear, 0.0}, {"years", 1.0 / kSecondsPerYear, 0.0}},
};

const UnitRow* find(int kind) {
    for (const UnitRow& row : kUnits)
        for (int k : row.kinds)
            if (k == kind) return &row;
    return nullptr;
}

}  // namespace

int GetDisplayUnitSet() { return Session::Instance().UnitSet(); }
void SetDisplayUnitSet(int set) { Session::Instance().SetUnitSet(set == CustomaryUnits ? CustomaryUnits : SIUnits); }

UnitConversion DefUnitConv(int kind, int unitSet) {
    if (unitSet == DefaultUnits) unitSet = GetDisplayUnitSet();
    const UnitRow* row = find(kind);
    if (!row) return {};
    return unitSet == CustomaryUnits ? row->customary : row->si;
}

bool get_unit(int kind, const Text& unitName, int, UnitConversion& out) {
    const UnitRow* row = find(kind);
    if (!row) return false;
    for (const UnitConversion* u : {&row->si, &row->customary})
        if (strcasecmp(u->name.c_str(), unitName.c_str()) == 0) return out = *u, true;
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

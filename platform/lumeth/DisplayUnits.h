#pragma once
// Display units. Inside, the engine works in degrees Celsius, kW, m2, kg/s, kW/(m2.C), costs per
// second and times in seconds; a form shows each kind of quantity in the unit of the user's
// unit set: SI, or the customary set (degrees Fahrenheit, Btu/h, ft2, lb/h). Display value =
// base value x factor + offset; the empty value -32767 passes through unchanged.
#include "lumeth/Text.h"

struct UnitConversion {
    Text name;
    double factor = 1.0;
    double offset = 0.0;
};

enum DisplayUnitSet : int { SIUnits = 0, CustomaryUnits = 1 };
// The unit-set argument that means "the user's own set".
constexpr int DefaultUnits = 30000;

// The user's unit set (SI until changed).
int GetDisplayUnitSet();
void SetDisplayUnitSet(int set);

// The conversion of a kind of quantity in a unit set (DefaultUnits: the user's). Kinds are the
// variable type codes (1 temperature, 1517 temperature difference, 6 heat flow, 1508 area,
// 4 mass flow, 1524 heat-transfer coefficient, 1516 heat-capacity flow rate, 1011 specific heat, 31000 cost, 31001 cost per time, 1520 time) and
// the framework's unit codes (24 temperature difference, 41 area, 26 coefficient, 99 cost,
// 100 cost per year, 44 years, 65 none). An unknown kind converts by 1 with no unit name.
UnitConversion DefUnitConv(int kind, int unitSet = DefaultUnits);
// The conversion of a kind to the unit of that name (in either set); false when the kind has no
// unit of the name.
bool get_unit(int kind, const Text& unitName, int unitSet, UnitConversion& out);
// Display to base.
double calc_unit(double displayValue, const UnitConversion& unit);
// Base to display.
double calc_ounit(double baseValue, const UnitConversion& unit);

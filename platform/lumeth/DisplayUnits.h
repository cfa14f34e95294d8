#pragma once
// Display units. Inside, the engine works in degrees Celsius, kW, m2, kg/s, kW/(m2.C), costs per
// second and times in seconds; a form shows each kind of quantity in the unit of the user's
// unit set: SI, or the customary set (degrees Fahrenheit, Btu/h, ft2, lb/h). Display value =
// base value x factor + offset; the empty value -32767 passes through unchanged.
//
// Every variable type code is a kind of quantity with a name (the name forms use in addresses,
// "HeatFlow" for 6), a unit in each set and a default number format.
#include "lumeth/Text.h"

#include <vector>

struct UnitConversion {
    Text name;
    double factor = 1.0;
    double offset = 0.0;
};

enum DisplayUnitSet : int { SIUnits = 0, CustomaryUnits = 1 };
// The unit-set argument that means "the user's own set".
constexpr int DefaultUnits = 30000;

// The user's unit set (SI until changed). It is a setting of its own, not part of the session
// journal's state: resetting the journal leaves it. Setting it is journalled as an input.
int GetDisplayUnitSet();
void SetDisplayUnitSet(int set);

// A kind of quantity: its type code, the name addresses use for it, its unit in each set and
// the number format a form uses when the view gives none.
struct QuantityInfo {
    int code;
    Text name;
    UnitConversion si;
    UnitConversion customary;
    Text format;
};
// Every kind, in type-code order.
const std::vector<QuantityInfo>& Quantities();
// The kind of a type code; null when there is none.
const QuantityInfo* FindQuantity(int code);
// The kind of a name, compared without regard to case ("heatflow" is "HeatFlow"); null when
// the name is not one.
const QuantityInfo* FindQuantityByName(const Text& name);

// The conversion of a kind of quantity in a unit set (DefaultUnits: the user's). Kinds are the
// variable type codes and the framework's own unit codes (24 temperature difference, 41 area,
// 26 coefficient, 99 cost, 44 years, 65 none). An unknown kind converts by 1 with no unit name.
UnitConversion DefUnitConv(int kind, int unitSet = DefaultUnits);
// The conversion of a kind to the unit of that name (in either set); false when the kind has no
// unit of the name. Kind 44 (time) also knows "hours", "days", "weeks", "months" and "years".
bool get_unit(int kind, const Text& unitName, int unitSet, UnitConversion& out);
// Display to base.
double calc_unit(double displayValue, const UnitConversion& unit);
// Base to display.
double calc_ounit(double baseValue, const UnitConversion& unit);

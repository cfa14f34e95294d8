#pragma once
// Small records that the shared comparators, filters and store visitors read. Their owners lay
// their entries out this way so one callback serves every owner.
#include <cstdint>

// Marks an unset hot or cold value in a temperature key.
constexpr double kUnsetHeatValue = -1000.0;

// A temperature with the value of the hot side and of the cold side at it.
struct TemperatureKey {
    double temperature;
    double hot;
    double cold;
};

// What a temperature key is made from: a value at a temperature on one side (8 hot, 9 cold).
struct TemperatureKeySource {
    double value;
    double temperature;
    int side;
};

struct DoublePair {
    double first;
    double second;
};

struct IntervalEntry {
    double first;
    double second;
    std::int32_t count;
};

// A supertargeting point: ten values (the tenth is the total cost), a count and one more value.
struct SuperTargetPointRecord {
    double values[10];
    std::int32_t count;
    double eleventh;
};

#pragma once
// Small shared vocabulary of the default-utility manager: heat sides, utility parameters,
// economic data items and the sections of the manager's record. Kept apart from the interface so
// that streams and segments can use the heat side without pulling in the whole manager.
#include <cstdint>

// Result of an engine operation: 1 done, 0 refused.
using hresult = int;

// Which way a segment or a utility moves heat.
enum SegmentHeatType : std::int32_t {
    SHT_Hot = 0,     // gives heat (a hot utility: supply above target)
    SHT_Cold = 1,    // takes heat (a cold utility: supply below target)
    SHT_NotSet = 2,
};

// Numbers by which a default utility's values are read and written.
enum DefaultUtilityParameter : std::int32_t {
    DUP_SupplyTemperature = 0,
    DUP_TargetTemperature = 1,
    DUP_FilmCoefficient = 2,
    // 1.0 asks a stream filled from the utility to leave its film coefficient empty.
    DUP_EmptyFilmCoefficient = 3,
    DUP_Cost = 4,                  // price per kJ of duty; negative for a credit
    DUP_RangeUpper = 5,
    DUP_RangeLower = 6,
    DUP_HeatType = 7,              // the side, read only
    DUP_DTminContribution = 8,
    DUP_Viscosity = 9,
    DUP_ThermalConductivity = 10,
    DUP_MassDensity = 11,
    DUP_SpecificHeat = 12,
    DUP_Reserved13 = 13,           // no value behind it
    DUP_EmissionsCoefficient = 14, // mass emissions per unit of duty
    // 1.0 marks a utility taken over from a simulation's utility database.
    DUP_SimulationUtility = 18,
};

// Items of the economic data. 0, 1, 2 and 5 belong to each named set; 3, 4 and 6 are shared by
// every set of a manager (its economic info).
enum EconomicDataType : std::int32_t {
    EDT_FixedCostPerUnit = 0,    // a of the capital cost law a + b (A/shell)^c
    EDT_AreaCostCoefficient = 1, // b
    EDT_AreaExponent = 2,        // c
    EDT_RateOfReturn = 3,        // fraction per year
    EDT_PlantLife = 4,           // years
    EDT_CostLaw = 5,             // 0 costs shells, 1 costs units
    EDT_OperatingHours = 6,      // hours per year
};
constexpr int kNumberOfEconomicDataTypes = 7;

inline bool IsEconomicInfoItem(int type) { return type == EDT_RateOfReturn || type == EDT_PlantLife || type == EDT_OperatingHours; }
inline bool IsEconomicSetItem(int type) {
    return type == EDT_FixedCostPerUnit || type == EDT_AreaCostCoefficient || type == EDT_AreaExponent ||
           type == EDT_CostLaw;
}

// Sections of the manager's record; the same record serves the case file and three defaults files.
enum StoreRecallType : std::int32_t {
    SRT_All = 0,          // utilities, economics, coefficient defaults, file names, mode
    SRT_Economics = 1,    // economics and mode: capital-cost files (".hcc")
    SRT_Utilities = 2,    // utilities and mode: utility-defaults files (".hud")
    SRT_Coefficients = 3, // coefficient defaults and mode
};
using StoreRecallType2 = StoreRecallType;

inline bool IsValidStoreRecallType(int type) { return type >= SRT_All && type <= SRT_Coefficients; }

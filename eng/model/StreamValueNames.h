#pragma once
// Names of the values a heat-integration stream keeps in its value set.
namespace StreamValueNames {
inline constexpr const char* Properties = "Properties";
inline constexpr const char* Segmentable = "Segmentable";
inline constexpr const char* SegmentValues = "SegmentValues";
inline constexpr const char* RootNode = "Props";
inline constexpr const char* RecalledRootNode = "Prop";

inline constexpr const char* Temperature = "Temperature";
inline constexpr const char* Enthalpy = "Enthalpy";
inline constexpr const char* HTCoeff = "HTCoeff";
inline constexpr const char* HeatCapacityFlowrate = "HeatCapacityFlowrate";
inline constexpr const char* SpecificHeat = "SpecificHeat";
inline constexpr const char* FoulingFactor = "FoulingFactor";
inline constexpr const char* CHTCoeff = "CHTCoeff";
inline constexpr const char* MaxSplitBranches = "MaxSplitBranches";
inline constexpr const char* Velocity = "Velocity";
inline constexpr const char* Diameter = "Diameter";
inline constexpr const char* MaxMassFlow = "MaxMassFlow";
inline constexpr const char* PricePerMass = "PricePerMass";
inline constexpr const char* MassFlow = "MassFlow";
inline constexpr const char* Viscosity = "Viscosity";
inline constexpr const char* MassDensity = "MassDensity";
inline constexpr const char* ThermalConductivity = "ThermalConductivity";
inline constexpr const char* CannotSplit = "CannotSplit";

// Raw property curves from a simulator: one entry per point, temperatures rising.
inline constexpr const char* RawTemperature = "Raw_Temperature_DataSet";
inline constexpr const char* RawVapourFraction = "Raw_VapourFraction_DataSet";
inline constexpr const char* RawMassEnthalpy = "Raw_MassEnthalpy_DataSet";
inline constexpr const char* RawSpecificHeat = "Raw_SpecificHeat_DataSet";
inline constexpr const char* RawViscosity = "Raw_Viscosity_DataSet";
inline constexpr const char* RawMassDensity = "Raw_MassDensity_DataSet";
inline constexpr const char* RawThermalConductivity = "Raw_ThermalConductivity_DataSet";
inline constexpr const char* LinearizationPerformance = "LinearizationPerformance";
}  // namespace StreamValueNames

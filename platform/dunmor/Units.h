#pragma once
// Units used inside the engine: degrees Celsius, kW, m2, kW/(m2.C); costs per second.
namespace Units {
constexpr double EmptyValue = -32767.0;          // a value that is empty or unset
constexpr double SecondsPerYear = 31536000.0;
constexpr double AnnualToPerSecond = 3.1709792e-8;  // annual cost x this = cost per second
constexpr double HoursPerYear = 8765.76;
constexpr double KelvinOffset = 273.15;
inline bool IsEmpty(double v) { return v == EmptyValue; }
}  // namespace Units

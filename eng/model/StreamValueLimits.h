#pragma once
// The ranges a stream value may take wherever it is entered (a stream table, a form) and that a
// case read back is checked against: what is entered is what a case may hold, so nothing accepted
// makes a case that cannot be opened again.
namespace StreamValueLimits {
// Temperatures, °C: from absolute zero to what a process furnace reaches.
constexpr double MinTemperature = -273.15;
constexpr double MaxTemperature = 5000.0;
// Heat-capacity flow rate (kW/°C) and duty (kW): large enough that every interval of the heat
// balance holds a load far above the engine's zero (1e-8 kW), and small enough that every product
// of the heat balance stays finite and exact to many digits. A stream or segment with less heat
// than MinDuty is no stream: it would only bring rounding residues into the targets.
constexpr double MinCp = 1e-3;
constexpr double MaxCp = 1e9;
constexpr double MinDuty = 1e-3;
constexpr double MaxDuty = 1e12;
// Film coefficient, kW/(m2.°C): from below free convection in a gas (1 W/(m2.°C)) to far above
// condensing steam.
constexpr double MinH = 1e-3;
constexpr double MaxH = 1e6;
// Utility cost per kW and year, and the seconds-based price the engine holds.
constexpr double MaxCost = 1e9;
constexpr double PerYearToPerSecond = 3.1709792e-8;
// A stream's DTmin contribution may exceed the whole temperature range by at most this much.
constexpr double ContributionMargin = 100.0;
constexpr double MaxContribution = MaxTemperature - MinTemperature + ContributionMargin;
// Minimum approach temperatures, °C: a difference below a thousandth of a degree is no approach a
// report could show, and none above 1000.
constexpr double MinDTmin = 0.001;
constexpr double MaxDTmin = 1000.0;
// The engine holds at most this many segments per stream.
constexpr int MaxSegments = 1000;
// The empty-value marker of the engine: never a value of its own.
constexpr double EmptyValue = -32767.0;
}  // namespace StreamValueLimits

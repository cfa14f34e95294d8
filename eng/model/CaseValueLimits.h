#pragma once
// The ranges of the values a case holds: a stream table is checked against them as it is read, the
// scenario viewer's forms refuse a value outside them, and a case read back holds nothing else. One
// place, so that every value a user can type is one a case can be reopened with.
namespace CaseValueLimits {
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
// A stream's DTmin contribution may exceed the table's temperature span by at most this much.
constexpr double ContributionMargin = 100.0;
constexpr double MaxContribution = MaxTemperature - MinTemperature + ContributionMargin;
// Minimum approach temperatures a case holds, °C: a difference below a thousandth of a
// degree is no approach a report could show, and none above 1000.
constexpr double MinDTmin = 0.001;
constexpr double MaxDTmin = 1000.0;
// Transport properties of a fluid, from the thinnest gas to the heaviest melt, each a factor of
// about a hundred beyond what any process fluid shows.
constexpr double MinConductivity = 1e-4;  // W/(m.°C); hydrogen gas about 0.18
constexpr double MaxConductivity = 1e4;   // liquid metals about 100
constexpr double MinViscosity = 1e-4;     // cP; gases about 0.01
constexpr double MaxViscosity = 1e9;      // bitumen about 1e7
constexpr double MinDensity = 1e-4;       // kg/m3; gases under vacuum
constexpr double MaxDensity = 1e5;        // the densest metals about 2.3e4
constexpr double MinSpecificHeat = 1e-2;  // kJ/(kg.°C); heavy metals about 0.13
// A utility that condenses or boils over one degree holds its latent heat as its specific heat
// (steam at 250 °C about 1,700, water at 100 °C about 2,260), so the top reaches past any of them.
constexpr double MaxSpecificHeat = 1e4;
// A number with no physical range of its own (a cost-law constant, a load fraction, an
// exchanger's duty or fouling) is held to this size: far past any plant, and far enough below
// the largest double that every sum and product made of it stays finite.
constexpr double MaxMagnitude = 1e12;
// The engine holds at most this many segments per stream.
constexpr int MaxSegments = 1000;
// The empty-value marker of the engine: never a value of its own.
constexpr double EmptyValue = -32767.0;
}  // namespace CaseValueLimits

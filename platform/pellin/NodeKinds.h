#pragma once
// Names the flowsheet shares with its users: node kinds, the type names a node answers, the
// exchanger ports, the names of the values the unit models read and write, and the codes a
// unit's calculation answers to.

namespace NodeKind {
inline constexpr const char* BaseNode = "Lurmet_Base_Node";
inline constexpr const char* MaterialStream = "ppMaterialStream";
inline constexpr const char* StreamNodeType = "Lurmet_StreamNode";  // also answered by segments
inline constexpr const char* FeedBlock = "ppFeedOrProductBlock";
inline constexpr const char* ProductBlock = "ppProductBlock";
inline constexpr const char* CountercurrentHX = "Lurmet_countercurrent_HX";
inline constexpr const char* HeatExchanger = "htHeatExchanger";
inline constexpr const char* Heater = "htHeater";
inline constexpr const char* Tee = "ppTee";
inline constexpr const char* Mixer = "ppMixer";
}  // namespace NodeKind

// Exchanger ports: the inlet and outlet of each side. Side 0 is the hot side, side 1 the cold.
namespace ExchangerPort {
inline constexpr int HotSideFeed = 0;
inline constexpr int HotSideProduct = 1;
inline constexpr int ColdSideFeed = 2;
inline constexpr int ColdSideProduct = 3;
const char* Name(int port);  // "HotSideFeed" ...; null beyond 3
}  // namespace ExchangerPort

// Names of node values.
namespace NodeValue {
inline constexpr const char* Temperature = "Temperature";
inline constexpr const char* SplitFraction = "SplitFraction";
inline constexpr const char* MassFlow = "MassFlow";
inline constexpr const char* ParentStream = "ParentStream";
inline constexpr const char* UnitOperationName = "UnitOperationName";

inline constexpr const char* Duty = "Duty";
inline constexpr const char* HTArea = "HTArea";
inline constexpr const char* OverallHTC = "OverallHTC";
inline constexpr const char* OverallCleanHTC = "OverallCleanHTC";
inline constexpr const char* ObservedHTC = "ObservedHTC";
inline constexpr const char* HXFoulingFactor = "HXFoulingFactor";
inline constexpr const char* FtFactor = "FtFactor";
inline constexpr const char* HighEndDelT = "HighEndDelT";
inline constexpr const char* LowEndDelT = "LowEndDelT";
inline constexpr const char* LMTD = "LMTD";
inline constexpr const char* UAValue = "UAValue";
inline constexpr const char* HXType = "HXType";
inline constexpr const char* NShellsInSeries = "NShellsInSeries";
inline constexpr const char* ShellsInSeriesSpecified = "ShellsInSeriesSpecified";
inline constexpr const char* TotalNShells = "TotalNShells";
inline constexpr const char* HTMaxAreaShell = "HTMaxAreaShell";
inline constexpr const char* DTMin = "DTMin";
// On an exchanger given by its area in the plant, which that area put a hair below DTmin, now held
// at a duty: the duty (kW) that area settled on. At that duty its end temperatures carry the
// precision of the area equations, as those of a unit given by area do; at any other duty they
// carry no more than any duty's.
inline constexpr const char* DutyFromArea = "DutyFromArea";
inline constexpr const char* CapitalCost = "CapitalCost";
inline constexpr const char* AnnualizedCapitalCost = "AnnualizedCapitalCost";
inline constexpr const char* CostModelName = "CostModelName";
inline constexpr const char* CrossPinchLoads = "CrossPinchLoads";
// The exchanger's overall-coefficient switches (1.0 on) and its specification state in a design.
inline constexpr const char* OverallUSpec = "OverallUSpec";
inline constexpr const char* SimOverallUSpec = "SimOverallUSpec";
inline constexpr const char* SpecStatus = "SpecStatus";

// Values of the stream behind a segment.
inline constexpr const char* HeatCapacityFlowrate = "HeatCapacityFlowrate";
inline constexpr const char* FilmCoefficient = "HTCoeff";
}  // namespace NodeValue

// Definition status of a node value.
namespace ValueStatus {
inline constexpr int Open = 0;
inline constexpr int Specified = 1;
inline constexpr int Calculated = 2;
}  // namespace ValueStatus

// What a unit does when asked to calculate itself (`CNode::Calculate`). A design hands its own
// change code (17, 98, 4, 19, ...) on to its units; every such code means Calculate. The two
// codes below are negative so that they never meet a change code.
namespace UnitCode {
// Work out what the unit's known values determine; write it as calculated.
inline constexpr int Calculate = 0;
// Forget every calculated value the unit owns (its own and those it wrote at its ports).
inline constexpr int ClearCalculated = -1;
// Recompute performance only (U, F, shells, area, costs) from the present duty and temperatures.
inline constexpr int RefreshPerformance = -2;
inline bool IsCalculate(int code) { return code != ClearCalculated && code != RefreshPerformance; }
}  // namespace UnitCode

// Calculation status of an exchanger (`HeatExch::getStatus`).
namespace ExchangerStatus {
inline constexpr int UnderSpecified = 0;      // nothing determines the duty
inline constexpr int OverSpecified = 2;       // known values contradict each other
inline constexpr int Calculated = 3;          // duty, four temperatures and area
inline constexpr int Crossed = 4;             // the temperatures cross: no area
inline constexpr int Failed = 6;              // a side cannot be evaluated, or the area cannot be met
inline constexpr int Partial = 7;             // duty and temperatures, but no heat-transfer coefficient
inline constexpr int NoTemperatureOnSide = 8; // duty known, a side has no temperature
inline constexpr int AreaUnsolvable = 9;      // area given, a side has no temperature to solve from
}  // namespace ExchangerStatus

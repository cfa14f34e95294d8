#pragma once
// Reads an existing network into retrofit records. The extraction works on a working copy of the
// design's flowsheet, which it changes: the utility placeholders ("htHeater") are taken out
// first, each with one of the stream pieces beside it, so that every process stream runs through
// real units only.
#include "eng/retrofit/RetrofitRecords.h"

class FlowSheet;
class IHENDesign;

// Removes every "htHeater" node of the flowsheet with the stream piece on one side of it and joins
// the chain again: the piece after it when the placeholder ends a stream behind a unit, otherwise
// the piece before it. True when every placeholder went.
bool StripHeaterNodes(FlowSheet& sheet);

// The utility's cost per kW of duty: its cost index scaled by the share of its temperature range
// the design uses ((supply - target) / (supply - outlet), degrees Celsius) and by the operating
// hours over 8765.76 h a year. A utility whose use ends at its supply temperature is costed over
// its whole range.
double UtilityUnitCost(double costIndex, double supply, double target, double outlet, double operatingHours);

// Fills `network` from the working flowsheet (stripped first); `design` answers where each
// utility's use ends and, through its scenario, the operating hours. False, with the records made
// so far kept, when a placeholder cannot be removed, a unit lacks a neighbour, or the network has
// no stream piece, no hot or no cold process stream, no hot or no cold utility, no heater or no
// cooler, or keeps a placeholder on a process stream.
bool ExtractNetwork(FlowSheet& sheet, const IHENDesign& design, RetrofitNetwork& network);

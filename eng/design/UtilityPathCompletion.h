#pragma once
// Completing a network the user gave: its exchangers stay where they are, with their duties, and
// exchangers are added between a stream a cooler serves and one a heater serves, each in front of
// that cooler and that heater, as long as one lowers the network's total annual cost. Each added
// exchanger takes the largest duty the two utilities and the approach at its two ends allow.
//
// A completion so made never costs more than the network it starts from, and saves energy wherever
// an exchange pays for its area.
class IHENDesign;

// Adds such exchangers to `design` (a copy of the network to complete, calculated); answers the
// number added. `reason` goes into the design's change log.
int CompleteByUtilityPaths(IHENDesign& design, const char* reason);

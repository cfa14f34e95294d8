#pragma once
// The sub-network search of the units target.
//
// The N - 1 rule assumes one connected network. When a subset of the streams can exchange its
// heat completely among itself (within the small tolerance loads at the streams' ends), the
// network falls apart into independent parts and each further part saves a unit. One
// mixed-integer model picks the smallest such subset of a stream list whose remainder is balanced
// as well; the driver applies it again to what is left, and so builds one decomposition
// (UnitsTargetGroup) whose entries are the sub-networks. It can build several alternative
// decompositions: each new one may not repeat an entry of those found before.
//
// The model works on private copies of the streams' segments, shifted for a minimum approach
// temperature of 2 °C (1 °C on each side): the streams themselves are never changed.
//
// Model, over temperature intervals of the copies (TIList mode 14: each stream's end segment
// reaches beyond its target by its first end tolerance load):
//   - a cell is one interval of one segment, with the heat Q the segment exchanges there;
//   - match columns carry heat from a hot cell to a cold cell in the same or a colder interval
//     (never between linked streams), residual columns carry a hot stream's heat down to its next
//     cell, and one end column per cold stream stands for demand its end cell leaves unmet;
//   - one block of these columns describes the chosen subset (binary y = 1), a second block the
//     rest (y = 0); every cell row holds Q·y in the first block and Q·(1 - y) in the second;
//   - a stream's end cell (Q) need pass on only Q - d, d = min(Q, H1 + H2), and its end column
//     (what stays unexchanged) lies between d - H1 and d, H1 and H2 being the end segment's two
//     end tolerance loads (the load fractions of the stream's ends): a stream whose end cell is
//     wide enough exchanges between its load - H1 - 2 H2 and its load + H1 - H2;
//   - at least two streams are chosen, the entries of earlier decompositions are cut off, and the
//     objective counts the chosen streams plus each end column relative to its stream's load.
#include "eng/targeting/UnitsTarget.h"

#include <cstddef>

namespace UnitsMILP {
// The minimum approach temperature the streams are shifted for.
constexpr double ShiftDTmin = 2.0;
// A stream takes part when its load is above this.
constexpr double StreamLoadTolerance = 1e-8;
// A binary at or above this is in the sub-network.
constexpr double BinaryThreshold = 1e-8;
// A model larger than this (match columns, or cells) is not built: the search finds nothing.
constexpr std::size_t MaxMatchColumns = 250000;
constexpr std::size_t MaxCells = 100000;
// Heat loads beyond this (kW), or values that are not numbers, are damage: no model is built.
constexpr double MaxHeat = 1e15;
// The driver computes at most this many decompositions, whatever the flag asks for (a flag read
// from a damaged file must not start an endless search).
constexpr int MaxDecompositions = 100;
// The whole search (every model of every decomposition) ends after this many seconds, as the
// other mixed-integer searches end at theirs: what it found by then is kept.
constexpr double SearchSeconds = 120.0;
}  // namespace UnitsMILP

// The driver: every stream of `streams` with a load that can take part is searched `milpFlag`
// times (0 runs nothing; at most MaxDecompositions); each run appends one group to `groups` and may not repeat an entry of
// the groups already there. Answers the number of entries found in all runs.
//
// One run: the first model over all streams gives the first entry and a rest; an empty rest (the
// whole list is the smallest balanced subset) or no solution ends every run. While the rest holds
// more than two streams it is searched again; each further entry with names joins the group.
//
// The search ends after `seconds` (each model may take what is left of them): a model stopped at
// the limit keeps the sub-network it found, if any (a balanced subset, though perhaps not the
// smallest), its group ends there and no further run starts. `stopped` (when given) tells whether
// the limit ended the search.
int CalculateUnitsSubNetworks(const UnitsTargetData::StreamRefs& streams, int milpFlag, UnitsTargetGroupList& groups,
                              double seconds = UnitsMILP::SearchSeconds, bool* stopped = nullptr);

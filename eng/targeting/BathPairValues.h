#pragma once
// The Bath area target spread over the match records: each interval's load and area go to the
// (hot, cold) segment pairs lying across it, the hot segment's load in the interval shared among
// the cold segments by their flow rates; every pair takes the interval's shells and an equal
// share of one over all segment pairs of all intervals.
//
// Nothing is laid down pair by pair. The interval terms a pair's values sum are kept in a tree of
// partial sums over the intervals, so a pair's values are a sum over the intervals its segments
// share (a few range sums); the totals over every pair come from per-interval sums over the
// segments. A distribution keeps copies of what it needs, so the match list may ask it long after
// the target moved on.
#include "eng/model/MatchwiseStreamData.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

class BathAreaTarget;

class BathPairValues : public IMatchValueSource {
public:
    enum Kind { Countercurrent = 2, ShellAndTube = 3 };

    // The distribution of the target's intervals over the pairs the match list holds.
    BathPairValues(const BathAreaTarget& target, const MatchwiseStreamDataList& matches, Kind kind);

    MatchDistributedValues Of(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const override;
    MatchDistributedValues Total() const override { return m_total; }

private:
    // Per interval: hot temperature rise over the cold flow rate there (a hot segment gives each
    // cold one its heat in the share of that one's rate, so every kW is counted once), area
    // weight, shells (each 0 in an interval without cold flow). The count of intervals with cold flow is kept apart, as running counts.
    using Terms = std::array<double, 3>;
    struct Segment {
        std::uint32_t first, last;
        double cp;
        double inverseH;
        std::uint8_t side;
        bool flows;
        bool utility;
    };
    Terms Sum(std::size_t first, std::size_t last) const;
    // Adds the partial sums above the interval terms, on the first question for a pair: a
    // distribution whose totals are all that is read (the usual case for a large table, whose
    // pairs have no records) holds the terms alone.
    void BuildTree() const;

    std::size_t m_intervals = 0;
    // The interval terms (N; none while no segment has records), and once a pair was asked for
    // the whole tree of partial sums (2N, the terms at N..2N-1).
    mutable std::vector<Terms> m_tree;
    mutable bool m_treeBuilt = false;
    // Intervals with cold flow before each interval (N + 1 entries).
    std::vector<std::uint32_t> m_flowingBefore;
    double m_pairCount = 0.0;
    // The segments whose pairs have records, by stream (each stream's in the order of the spans):
    // one array, looked up by halving, instead of a list per stream.
    std::vector<std::pair<const IHeatIntegrationStream*, Segment>> m_segments;
    std::pair<std::size_t, std::size_t> SegmentsOf(const IHeatIntegrationStream* stream) const;
    MatchDistributedValues m_total;
};

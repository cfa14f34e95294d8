#pragma once
// Small routines over the retrofit record lists shared by the modification models: stream loads
// and spans, approach and link tests, node look-ups and the re-pointing of nodes when a candidate
// exchanger is inserted into a copy of the network.
#include "eng/retrofit/RetrofitRecords.h"

#include <cstdint>
#include <vector>

// Unit cost of the last utility record with that stream id; 0.0 when there is none.
template <class U>
double GetUtilityUnitCost(const std::vector<U>& utilities, int streamId) {
    double cost = 0.0;
    for (const U& u : utilities)
        if (u.streamId == streamId) cost = u.unitCost;
    return cost;
}

int CountColdSideExchangers(const std::vector<HXInfo>& exchangers, int streamId);
int CountHotSideExchangers(const std::vector<HXInfo>& exchangers, int streamId);
inline bool SameStreamId(const UtilHXInfo& unit, const StrmInfo& stream) { return unit.processStream == stream.streamId; }
// The first record stands for (is a move of) the second.
inline bool IsCopyOfExchanger(const HXInfo& copy, const HXInfo& exchanger) {
    return copy.origin != 0 && static_cast<std::uint32_t>(copy.origin) == exchanger.fingerprint;
}

// Highest leading id of a list; 0 for an empty list.
template <class Record>
std::uint32_t GetMaximumId(const std::vector<Record>& list) {
    std::uint32_t highest = 0;
    for (const Record& r : list)
        if (static_cast<std::uint32_t>(r.Id()) > highest) highest = static_cast<std::uint32_t>(r.Id());
    return highest;
}

// A tee's inlet, or a node in a mixer's inlets.
bool IsSplitOrMixNode(const std::vector<MixerInfo>& mixers, const std::vector<TeeInfo>& tees, std::uint32_t node);

// The smaller of the two streams' total loads (0.0 for a stream not found).
double GetSmallerStreamLoad(int hot, int cold, const std::vector<HotStrmInfo>& hots, const std::vector<ColdStrmInfo>& colds);
// Largest minus smallest of the four supply and target temperatures (0.0 for a stream not found).
double GetTemperatureSpan(int hot, int cold, const std::vector<HotStrmInfo>& hots, const std::vector<ColdStrmInfo>& colds);
template <class S>
double GetStreamLoad(int streamId, const std::vector<S>& streams) {
    for (const S& s : streams)
        if (s.streamId == streamId) return s.TotalLoad();
    return 0.0;
}
// The hot stream's supply is at least the cold stream's supply plus the approach.
bool IsHotterByApproach(int cold, int hot, double dtMin, const std::vector<ColdStrmInfo>& colds,
                        const std::vector<HotStrmInfo>& hots);
// The cold stream's record lists the hot stream among its linked streams (the last record with
// that id decides).
bool IsLinkedStream(int streamId, int otherId, const std::vector<ColdStrmInfo>& streams);

// Temperature of a stream record's heat-capacity line: load change per kelvin (negative for a hot
// stream); 0.0 for a record without two distinct points.
double StreamSlope(const StrmInfo& stream);

#include "eng/retrofit/ModificationLists.h"

#include <algorithm>

namespace {

template <class S>
const S* FindStream(const std::vector<S>& streams, int id) {
    const S* found = nullptr;
    for (const S& s : streams)
        if (s.streamId == id) {
            found = &s;
            break;
        }
    return found;
}

}  // namespace

int CountColdSideExchangers(const std::vector<HXInfo>& exchangers, int streamId) {
    return static_cast<int>(std::count_if(exchangers.begin(), exchangers.end(),
                                          [&](const HXInfo& x) { return x.coldStream == streamId; }));
}

int CountHotSideExchangers(const std::vector<HXInfo>& exchangers, int streamId) {
    return static_cast<int>(std::count_if(exchangers.begin(), exchangers.end(),
                                          [&](const HXInfo& x) { return x.hotStream == streamId; }));
}

bool IsSplitOrMixNode(const std::vector<MixerInfo>& mixers, const std::vector<TeeInfo>& tees, std::uint32_t node) {
    for (const TeeInfo& t : tees)
        if (t.inlet == node) return true;
    for (const MixerInfo& m : mixers)
        if (std::find(m.inlets.begin(), m.inlets.end(), node) != m.inlets.end()) return true;
    return false;
}

double GetSmallerStreamLoad(int hot, int cold, const std::vector<HotStrmInfo>& hots, const std::vector<ColdStrmInfo>& colds) {
    const HotStrmInfo* h = FindStream(hots, hot);
    const ColdStrmInfo* c = FindStream(colds, cold);
    return std::min(h ? h->TotalLoad() : 0.0, c ? c->TotalLoad() : 0.0);
}

double GetTemperatureSpan(int hot, int cold, const std::vector<HotStrmInfo>& hots, const std::vector<ColdStrmInfo>& colds) {
    const HotStrmInfo* h = FindStream(hots, hot);
    const ColdStrmInfo* c = FindStream(colds, cold);
    const double t[4] = {h ? h->supplyTemperature : 0.0, h ? h->targetTemperature : 0.0,
                         c ? c->supplyTemperature : 0.0, c ? c->targetTemperature : 0.0};
    return *std::max_element(t, t + 4) - *std::min_element(t, t + 4);
}

bool IsHotterByApproach(int cold, int hot, double dtMin, const std::vector<ColdStrmInfo>& colds,
                        const std::vector<HotStrmInfo>& hots) {
    const HotStrmInfo* h = FindStream(hots, hot);
    const ColdStrmInfo* c = FindStream(colds, cold);
    const double hotSupply = h && !h->pointTemperatures.empty() ? h->pointTemperatures.front() : 0.0;
    const double coldSupply = c && !c->pointTemperatures.empty() ? c->pointTemperatures.front() : 0.0;
    return hotSupply >= coldSupply + dtMin;
}

bool IsLinkedStream(int streamId, int otherId, const std::vector<ColdStrmInfo>& streams) {
    bool linked = false;
    for (const ColdStrmInfo& s : streams)
        if (s.streamId == streamId)
            linked = std::find(s.linkedStreams.begin(), s.linkedStreams.end(), otherId) != s.linkedStreams.end();
    return linked;
}

double StreamSlope(const StrmInfo& s) {
    if (s.pointTemperatures.size() < 2 || s.pointLoads.size() < 2) return 0.0;
    const double dt = s.pointTemperatures[1] - s.pointTemperatures[0];
    if (dt == 0.0) return 0.0;
    return (s.pointLoads[1] - s.pointLoads[0]) / dt;
}

// Units left out of the existing network for their duty (below the smallest a unit is placed for):
// their heat stays on the stream the case gives it, done by a heater or cooler of the network
// beside it, so that the network satisfies the stream the targets count.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"

#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

constexpr double kEmpty = -32767.0;

// The scenario streams a unit takes in, by their case streams' names.
std::vector<std::pair<CPString, CPItem*>> FeedsByStream(CPItem* unit) {
    std::vector<std::pair<CPString, CPItem*>> out;
    for (CPItem* in : unit->RelatedNodes(CPItem::Upstream)) {
        CPString name;
        if (IsClass(in, CaseClass::MaterialStream) && TextValue(in, "PIStreamName", name) && !name.empty())
            out.emplace_back(name, in);
    }
    return out;
}

double TemperatureOr(const CPItem* stream, double fallback) {
    double t = 0.0;
    return KnownNumber(stream, "Temperature", t) && t != kEmpty ? t : fallback;
}

}  // namespace

void VelmorToTarsilImport::AssignLeftOutDuties() {
    m_leftOutDutyTaken.clear();
    if (m_leftOutForDuty.empty()) return;
    // The heaters and coolers of the network by the stream they heat or cool (a process exchanger
    // shares one duty between two streams and takes nothing more on one side).
    std::unordered_map<std::string, std::vector<std::pair<CPItem*, double>>> onStream;
    for (const auto& [item, name] : m_unitNames) {
        CPItem* unit = const_cast<CPItem*>(item);
        if (IsClass(unit, "htHeatExchanger") || !NetworkUnitOf(unit)) continue;
        for (const auto& [stream, feed] : FeedsByStream(unit))
            onStream[stream.c_str()].emplace_back(unit, TemperatureOr(feed, kEmpty));
    }
    for (CPItem* leftOut : m_leftOutForDuty) {
        // An unknown duty is nobody's to take; a duty a refresh lifts to a placed one is placed.
        double duty = 0.0;
        if (!KnownNumber(leftOut, "Duty", duty) || duty == kEmpty || std::fabs(duty) >= kSmallestPlacedDuty) continue;
        for (const auto& [stream, feed] : FeedsByStream(leftOut)) {
            const auto it = onStream.find(stream.c_str());
            if (it == onStream.end()) continue;
            // A stream carries a few units: the nearest is found by looking at each.
            const double t = TemperatureOr(feed, kEmpty);
            CPItem* nearest = nullptr;
            double gap = 0.0;
            for (const auto& [unit, inlet] : it->second) {
                const double g = t == kEmpty || inlet == kEmpty ? 0.0 : std::fabs(inlet - t);
                if (!nearest || g < gap || (g == gap && unit->_get_szName() < nearest->_get_szName())) {
                    nearest = unit;
                    gap = g;
                }
            }
            if (nearest) m_leftOutDutyTaken[nearest] += std::fabs(duty);
        }
    }
}

double VelmorToTarsilImport::WithLeftOutDuty(const CPItem* unit, double duty) const {
    const auto it = m_leftOutDutyTaken.find(unit);
    return it == m_leftOutDutyTaken.end() ? duty : duty + it->second;
}

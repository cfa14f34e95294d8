#pragma once
// The existing network as retrofit reads it: plain records of its stream pieces, process
// streams, utilities, exchangers, heaters, coolers, tees and mixers. Nodes are named by their
// flowsheet fingerprints and streams by the distinct integer each scenario stream carries
// (`IHeatIntegrationStream::GetStoredInt`). Temperatures are kelvin; loads and duties kW until
// the models scale them.
#include "dunmor/CPString.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

inline constexpr double kKelvinOffset = 273.15;

// One stream piece ("ppMaterialStream") of a process stream.
struct NodeInfo {
    std::uint32_t fingerprint = 0;
    double splitFraction = 0.0;  // the piece's share of its stream's whole flow
    double temperature = 0.0;    // K
    char splitFractionStatus = '0';
    char temperatureStatus = '0';
    std::uint32_t Id() const { return fingerprint; }
};

// A process stream with its end points.
struct StrmInfo {
    virtual ~StrmInfo() = default;

    double GetSupplyTemperature() const { return supplyTemperature; }
    double GetTargetTemperature() const { return targetTemperature; }
    std::uint32_t GetEndNode() const { return endNode; }
    int Id() const { return streamId; }
    // The stream's whole load from supply (its last point load).
    double TotalLoad() const { return pointLoads.empty() ? 0.0 : pointLoads.back(); }

    double supplyTemperature = 0.0;  // K
    double targetTemperature = 0.0;  // K
    std::uint32_t startNode = 0;     // the piece after the stream's start
    std::uint32_t endNode = 0;       // the piece before the stream's end
    int numberOfPoints = 0;
    std::vector<double> pointTemperatures;  // K
    std::vector<double> pointLoads;         // load from supply at each point
    std::vector<int> linkedStreams;
    int streamId = 0;
};
struct HotStrmInfo : StrmInfo {};
struct ColdStrmInfo : StrmInfo {};

// A utility stream with every point of its segments.
struct UtilInfo {
    virtual ~UtilInfo() = default;
    int Id() const { return streamId; }

    double supplyTemperature = 0.0;  // K
    double outletTemperature = 0.0;  // K, where the design's use of it ends
    double unitCost = 0.0;
    int numberOfPoints = 0;
    std::vector<double> pointTemperatures;  // K
    std::vector<double> pointLoads;
    CPString name;
    int streamId = 0;
};
struct HotUtilInfo : UtilInfo {};
struct ColdUtilInfo : UtilInfo {};

// A process-process exchanger (candidate exchangers of the modification models use the same
// record with an origin).
struct HXInfo {
    std::uint32_t Id() const { return fingerprint; }

    std::uint32_t fingerprint = 0;
    std::uint32_t hotInlet = 0, hotOutlet = 0, coldInlet = 0, coldOutlet = 0;
    int hotStream = 0, coldStream = 0;
    int origin = 0;
    double duty = 0.0;
    int dutyStatus = 0;
    // 1-based positions of the four nodes in the node list (0: not there).
    int hotInletPosition = 0, hotOutletPosition = 0, coldInletPosition = 0, coldOutletPosition = 0;
    double coldInletTemperature = 0.0, coldOutletTemperature = 0.0;  // K
    double hotInletTemperature = 0.0, hotOutletTemperature = 0.0;    // K
};

// An exchanger between a utility and a process stream.
struct UtilHXInfo {
    virtual ~UtilHXInfo() = default;
    std::uint32_t Id() const { return fingerprint; }

    std::uint32_t processInlet = 0, processOutlet = 0;
    double duty = 0.0;
    char dutyStatus = '0';
    double annualisedCapitalCost = 0.0;
    int simpleExchanger = 1;  // 0 for a "Lurmet_countercurrent_HX" node
    double processInletTemperature = 0.0, processOutletTemperature = 0.0;  // K
    std::uint32_t fingerprint = 0;
    int utilityStream = 0;
    int processStream = 0;
};
struct HeaterInfo : UtilHXInfo {};
struct CoolerInfo : UtilHXInfo {};

struct TeeInfo {
    std::uint32_t Id() const { return fingerprint; }
    std::uint32_t fingerprint = 0;
    std::uint32_t inlet = 0;
    std::vector<std::uint32_t> outlets;  // first outlet first
    int streamId = 0;
};

struct MixerInfo {
    std::uint32_t Id() const { return fingerprint; }
    std::uint32_t fingerprint = 0;
    std::uint32_t outlet = 0;
    std::vector<std::uint32_t> inlets;  // first inlet first
    int streamId = 0;
    unsigned char hot = 0;
};

// A utility placeholder ("htHeater") left on a process stream.
struct HeaterNodeInfo {
    std::uint32_t Id() const { return fingerprint; }
    std::uint32_t fingerprint = 0;
    std::uint32_t inlet = 0;
    std::uint32_t outlet = 0;
    int streamId = 0;
    unsigned char hot = 0;
};

// The extracted network: the record lists and the two stream dictionaries.
struct RetrofitNetwork {
    std::vector<NodeInfo> nodes;
    std::vector<HXInfo> exchangers;
    std::vector<HeaterNodeInfo> leftoverHeaters;
    std::vector<CoolerInfo> coolers;
    std::vector<HeaterInfo> heaters;
    std::vector<MixerInfo> mixers;
    std::vector<TeeInfo> tees;
    std::vector<HotStrmInfo> hotStreams;
    std::vector<ColdStrmInfo> coldStreams;
    std::vector<HotUtilInfo> hotUtilities;
    std::vector<ColdUtilInfo> coldUtilities;
    std::unordered_map<std::string, int> streamIdByName;
    std::unordered_map<int, std::string> streamNameById;

    void Clear() { *this = RetrofitNetwork(); }
};

// 1-based position of the first record whose id is `id`; 0 when there is none.
template <class Record, class Id>
int IndexOfId(const std::vector<Record>& list, Id id) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].Id() == id) return static_cast<int>(i) + 1;
    return 0;
}

// The same, for an id the list is known to hold.
template <class Record, class Id>
int PositionOfId(const std::vector<Record>& list, Id id) {
    return IndexOfId(list, id);
}

// Whether the record (a unit or utility exchanger on a stream) names the stream.
template <class Record>
bool IsStreamOfRecord(const StrmInfo& s, const Record& record) {
    return s.streamId == static_cast<int>(record.Id());
}

inline bool IsExchangerOnHotStream(const HXInfo& x, const StrmInfo& s) { return x.hotStream == s.streamId; }
inline bool IsExchangerOnColdStream(const HXInfo& x, const StrmInfo& s) { return x.coldStream == s.streamId; }
inline bool IsUtilityExchangerOfUtility(const UtilHXInfo& x, const UtilInfo& u) { return x.utilityStream == u.streamId; }

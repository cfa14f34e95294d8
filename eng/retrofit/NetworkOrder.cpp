#include "eng/retrofit/NetworkOrder.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/retrofit/RetrofitRecords.h"
#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <unordered_map>
#include <vector>

namespace {

bool IsPiece(const CNode* node) { return node && node->getClassName() == NodeKind::MaterialStream; }
bool Is(const CNode* node, const char* kind) { return node && node->getClassName() == kind; }

const void* StreamOf(const CNode* node) {
    const auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? static_cast<const void*>(piece->getParentPIStream()) : nullptr;
}

// The neighbour of `node` on the same stream as `piece`, downstream or upstream (a unit has one
// on each of its streams).
CNode* Along(const CNode* node, const CNode* piece, bool downstream) {
    const void* stream = StreamOf(piece);
    for (CNode* next : downstream ? node->getAllDownStreamNodes() : node->getAllUpStreamNodes())
        if (StreamOf(next) == stream) return next;
    return nullptr;
}

// What a model reads of a unit at the head of a branch: the heat it carries and the stream on
// its other side.
struct UnitData {
    double duty = 0.0;
    int hotStream = 0, coldStream = 0;
};

// A branch's key: a bypass (no unit) first, then the branch that carries the most heat, then the
// rank of the stream its first unit joins besides the split one. From a tee's outlet down, or from
// a mixer's inlet back up to the tee.
using BranchKey = std::tuple<int, double, std::size_t>;

struct Ranks {
    std::unordered_map<std::uint32_t, UnitData> units;  // by fingerprint
    std::unordered_map<int, std::size_t> streams;        // by stream id
    std::size_t StreamRank(int id) const {
        const auto found = streams.find(id);
        return found != streams.end() ? found->second : streams.size();
    }
};

BranchKey KeyOfBranch(CNode* piece, bool fromTee, const Ranks& ranks) {
    const int split = [&] {
        const auto* p = dynamic_cast<const StreamPiece*>(piece);
        const auto* stream = p ? dynamic_cast<const IHeatIntegrationStream*>(p->getParentPIStream()) : nullptr;
        return stream ? stream->GetStoredInt() : 0;
    }();
    const CNode* first = nullptr;
    CNode* at = piece;
    for (std::size_t guard = 0; at && guard < 100000; ++guard) {
        if (!IsPiece(at)) {
            if (Is(at, NodeKind::Tee) || Is(at, NodeKind::Mixer)) break;
            first = at;
            if (fromTee) break;
        }
        CNode* next = IsPiece(at) ? (fromTee ? at->getIthDownStreamNode(0) : at->getIthUpStreamNode(0))
                                  : Along(at, piece, fromTee);
        at = next;
    }
    if (!first) return {0, 0.0, 0};
    const auto unit = ranks.units.find(first->getDNAFingerPrint());
    if (unit == ranks.units.end()) return {1, 0.0, ranks.streams.size()};
    const int other = unit->second.hotStream == split ? unit->second.coldStream : unit->second.hotStream;
    return {1, -unit->second.duty, ranks.StreamRank(other)};
}

// Each stream piece's place: streams in the order given, pieces from supply to target, a split's
// branches by their keys.
std::unordered_map<std::uint32_t, std::size_t> PieceRanks(const FlowSheet& sheet, const RetrofitNetwork& net,
                                                          const Ranks& ranks) {
    std::unordered_map<std::uint32_t, std::size_t> rank;
    std::vector<std::uint32_t> starts;
    for (const auto& s : net.hotStreams) starts.push_back(s.startNode);
    for (const auto& s : net.coldStreams) starts.push_back(s.startNode);
    for (std::uint32_t start : starts) {
        std::vector<CNode*> open{sheet.getNodeByFingerPrint(start)};
        while (!open.empty()) {
            CNode* node = open.back();
            open.pop_back();
            if (!node || !IsPiece(node) || rank.count(node->getDNAFingerPrint())) continue;
            rank.emplace(node->getDNAFingerPrint(), rank.size());
            CNode* next = node->getIthDownStreamNode(0);
            if (!next) continue;
            if (IsPiece(next)) {
                open.push_back(next);
            } else if (Is(next, NodeKind::Tee)) {
                std::vector<std::pair<BranchKey, CNode*>> branches;
                for (CNode* b : next->getAllDownStreamNodes()) branches.emplace_back(KeyOfBranch(b, true, ranks), b);
                std::stable_sort(branches.begin(), branches.end(),
                                 [](const auto& a, const auto& b) { return a.first < b.first; });
                // The first branch is walked first.
                for (auto it = branches.rbegin(); it != branches.rend(); ++it) open.push_back(it->second);
            } else {
                open.push_back(Along(next, node, true));
            }
        }
    }
    return rank;
}

template <class Record, class Key>
void SortBy(std::vector<Record>& list, Key key) {
    std::stable_sort(list.begin(), list.end(), [&](const Record& a, const Record& b) { return key(a) < key(b); });
}

// What the models read of a stream, a utility's cost and every point included; its name only
// where all of that is alike. A sign of -1 puts the hottest points first.
template <class Record>
auto StreamKey(const Record& s, const RetrofitNetwork& net, double sign = 1.0) {
    const auto name = net.streamNameById.find(s.streamId);
    std::vector<double> temperatures = s.pointTemperatures;
    for (double& t : temperatures) t *= sign;
    return std::make_tuple(std::move(temperatures), s.pointLoads,
                           name != net.streamNameById.end() ? name->second : std::string());
}

}  // namespace

void OrderNetworkByPlant(const FlowSheet& sheet, RetrofitNetwork& net) {
    SortBy(net.hotStreams, [&](const HotStrmInfo& s) { return StreamKey(s, net, -1.0); });
    SortBy(net.coldStreams, [&](const ColdStrmInfo& s) { return StreamKey(s, net); });
    SortBy(net.hotUtilities, [&](const HotUtilInfo& u) {
        return std::make_tuple(u.supplyTemperature, u.outletTemperature, u.unitCost, StreamKey(u, net));
    });
    SortBy(net.coldUtilities, [&](const ColdUtilInfo& u) {
        return std::make_tuple(u.supplyTemperature, u.outletTemperature, u.unitCost, StreamKey(u, net));
    });

    Ranks ranks;
    for (const auto& s : net.hotStreams) ranks.streams.emplace(s.streamId, ranks.streams.size());
    for (const auto& s : net.coldStreams) ranks.streams.emplace(s.streamId, ranks.streams.size());
    for (const auto& u : net.hotUtilities) ranks.streams.emplace(u.streamId, ranks.streams.size());
    for (const auto& u : net.coldUtilities) ranks.streams.emplace(u.streamId, ranks.streams.size());
    for (const HXInfo& x : net.exchangers) ranks.units[x.fingerprint] = {x.duty, x.hotStream, x.coldStream};
    for (const HeaterInfo& h : net.heaters) ranks.units[h.fingerprint] = {h.duty, h.utilityStream, h.processStream};
    for (const CoolerInfo& c : net.coolers) ranks.units[c.fingerprint] = {c.duty, c.processStream, c.utilityStream};

    // The branches of each split by their keys, the tee's outlets and the mixer's inlets alike, so
    // that the n-th outlet and the n-th inlet stay the ends of one branch.
    auto branchesOf = [&sheet, &ranks](std::vector<std::uint32_t>& ends, bool fromTee) {
        std::vector<std::pair<BranchKey, std::uint32_t>> keyed;
        for (std::uint32_t end : ends) keyed.emplace_back(KeyOfBranch(sheet.getNodeByFingerPrint(end), fromTee, ranks), end);
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < ends.size(); ++i) ends[i] = keyed[i].second;
    };
    for (TeeInfo& t : net.tees) branchesOf(t.outlets, true);
    for (MixerInfo& m : net.mixers) branchesOf(m.inlets, false);

    const std::unordered_map<std::uint32_t, std::size_t> rank = PieceRanks(sheet, net, ranks);
    auto rankOf = [&rank](std::uint32_t fingerprint) {
        const auto found = rank.find(fingerprint);
        return found != rank.end() ? found->second : rank.size();
    };
    SortBy(net.nodes, [&](const NodeInfo& n) { return rankOf(n.fingerprint); });
    SortBy(net.tees, [&](const TeeInfo& t) { return rankOf(t.inlet); });
    SortBy(net.mixers, [&](const MixerInfo& m) { return rankOf(m.outlet); });
    // A unit by where it sits: no two exchangers share a hot inlet, no two heaters or coolers a
    // process inlet.
    SortBy(net.exchangers, [&](const HXInfo& x) { return std::make_pair(rankOf(x.hotInlet), rankOf(x.coldInlet)); });
    SortBy(net.heaters, [&](const HeaterInfo& h) { return rankOf(h.processInlet); });
    SortBy(net.coolers, [&](const CoolerInfo& c) { return rankOf(c.processInlet); });
}

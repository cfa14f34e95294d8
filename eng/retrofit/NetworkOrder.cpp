#include "eng/retrofit/NetworkOrder.h"

#include "eng/retrofit/RetrofitRecords.h"
#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

bool IsPiece(const CNode* node) { return node && node->getClassName() == NodeKind::MaterialStream; }
bool Is(const CNode* node, const char* kind) { return node && node->getClassName() == kind; }

const void* StreamOf(const CNode* node) {
    const auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? static_cast<const void*>(piece->getParentPIStream()) : nullptr;
}

// The name the user knows a unit by.
std::string UnitName(const CNode* node) {
    if (!node) return std::string();
    CPString name;
    if (node->getVariableAsString(NodeValue::UnitOperationName, name) && !name.empty()) return name.c_str();
    return node->getName().c_str();
}

// The neighbour of `node` on the same stream as `piece`, downstream or upstream (a unit has one
// on each of its streams).
CNode* Along(const CNode* node, const CNode* piece, bool downstream) {
    const void* stream = StreamOf(piece);
    for (CNode* next : downstream ? node->getAllDownStreamNodes() : node->getAllUpStreamNodes())
        if (StreamOf(next) == stream) return next;
    return nullptr;
}

// The first unit of a branch: from a tee's outlet down, or from a mixer's inlet back up to the
// tee. A bypass has none (the empty name, first).
std::string BranchKey(CNode* piece, bool fromTee) {
    std::string first;
    CNode* at = piece;
    for (std::size_t guard = 0; at && guard < 100000; ++guard) {
        if (!IsPiece(at)) {
            if (Is(at, NodeKind::Tee) || Is(at, NodeKind::Mixer)) break;
            first = UnitName(at);
            if (fromTee) break;
        }
        CNode* next = IsPiece(at) ? (fromTee ? at->getIthDownStreamNode(0) : at->getIthUpStreamNode(0))
                                  : Along(at, piece, fromTee);
        at = next;
    }
    return first;
}

// Each stream piece's place: streams in the order given (by name), pieces from supply to target,
// a split's branches by their keys.
std::unordered_map<std::uint32_t, std::size_t> PieceRanks(const FlowSheet& sheet, const RetrofitNetwork& net) {
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
                std::vector<CNode*> branches = next->getAllDownStreamNodes();
                std::stable_sort(branches.begin(), branches.end(), [](CNode* a, CNode* b) {
                    return BranchKey(a, true) < BranchKey(b, true);
                });
                // The first branch is walked first.
                for (auto it = branches.rbegin(); it != branches.rend(); ++it) open.push_back(*it);
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

}  // namespace

void OrderNetworkByNames(const FlowSheet& sheet, RetrofitNetwork& net) {
    auto unitName = [&sheet](std::uint32_t fingerprint) { return UnitName(sheet.getNodeByFingerPrint(fingerprint)); };
    // The streams and utilities come in the plant's normal form, by name, from the extraction.
    SortBy(net.exchangers, [&](const HXInfo& x) { return unitName(x.fingerprint); });
    SortBy(net.heaters, [&](const UtilHXInfo& x) { return unitName(x.fingerprint); });
    SortBy(net.coolers, [&](const UtilHXInfo& x) { return unitName(x.fingerprint); });

    // The branches of each split by their first units, the tee's outlets and the mixer's inlets
    // alike, so that the n-th outlet and the n-th inlet stay the ends of one branch.
    auto branchesOf = [&sheet](std::vector<std::uint32_t>& ends, bool fromTee) {
        std::vector<std::pair<std::string, std::uint32_t>> keyed;
        for (std::uint32_t end : ends) keyed.emplace_back(BranchKey(sheet.getNodeByFingerPrint(end), fromTee), end);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < ends.size(); ++i) ends[i] = keyed[i].second;
    };
    for (TeeInfo& t : net.tees) branchesOf(t.outlets, true);
    for (MixerInfo& m : net.mixers) branchesOf(m.inlets, false);

    const std::unordered_map<std::uint32_t, std::size_t> rank = PieceRanks(sheet, net);
    auto rankOf = [&rank](std::uint32_t fingerprint) {
        const auto found = rank.find(fingerprint);
        return found != rank.end() ? found->second : rank.size();
    };
    SortBy(net.nodes, [&](const NodeInfo& n) { return rankOf(n.fingerprint); });
    SortBy(net.tees, [&](const TeeInfo& t) { return rankOf(t.inlet); });
    SortBy(net.mixers, [&](const MixerInfo& m) { return rankOf(m.outlet); });
}

#pragma once
// The part of a network a trial point changes. Between two trials of a search only a few specified
// duties move (a refinement moves one coordinate, a utility's duty search one duty), and a
// specified duty decides no more than the temperatures along its two streams and the areas of the
// exchangers on them. So a trial need only forget and recalculate the streams its changed duties
// lie on, widened over every exchanger on them whose duty the network calculates (that duty, and so
// the stream across it, follows the change) -- except that a heater's or cooler's duty follows its
// process side, never its utility: a utility reached only passes its change on to its own
// temperatures. Every node with a port on such a stream is recalculated; every other keeps what
// the last trial left, which is what a recalculation of the whole network gives it, as nothing it
// reads has moved.
//
// That holds only over a network the last trial left wholly calculated: the region is not used
// when the network it knows was left with an open value or an exchanger without a calculated
// status, when a specified value changed status (a duty freed or given back), when a split share
// moved (it scales every heat content after it), or when the flowsheet's nodes are not the ones
// it learnt. Then the whole network is recalculated and learnt afresh.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CNode;
class IHeatIntegrationStream;

class DesignOptimiserNetworkRegion {
public:
    // The next trial recalculates the whole network, in the nodes' own order.
    void Forget();
    // Learns the nodes' streams and the specified values they hold, after a recalculation of the
    // whole network; `sound`: it left every value calculated and every exchanger calculated.
    void Learn(const std::vector<CNode*>& nodes, bool sound);
    // The nodes a trial must recalculate, in stream order (`Ordered`), or in the nodes' own order
    // when a utility stream is among those reached; false when it must recalculate the whole
    // network. The specified values read become the ones the region knows.
    bool Collect(const std::vector<CNode*>& nodes, std::vector<CNode*>& set);
    // The nodes in the order a trial recalculates them: each after the nodes upstream of it on
    // its streams wherever the network has no loop, so that an exchanger is calculated once its
    // inlets are known rather than once for each side; the nodes as given when they are not the
    // ones learnt (the order holds whether or not the network was left sound) or the network has
    // a utility stream.
    const std::vector<CNode*>& Ordered(const std::vector<CNode*>& nodes) const;
    // Whether every exchanger of a recalculated set has a calculated status.
    static bool AllCalculated(const std::vector<CNode*>& set);
    // Streams of the last region and of the whole network.
    std::size_t LastStreams() const { return m_lastStreams; }
    std::size_t Streams() const { return m_streams.size(); }

private:
    // A specified value as the region knows it: its status and the bits of its number.
    struct Spec {
        int status = 0;
        std::uint64_t bits = 0;
        bool operator==(const Spec& o) const { return status == o.status && bits == o.bits; }
    };
    struct Exchanger {
        CNode* node = nullptr;
        std::size_t hot = kNone, cold = kNone;  // stream indices of its two sides
        bool utility = false;                   // a heater or cooler
        Spec duty, area;
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static Spec Read(const CNode* node, const char* name);
    std::size_t StreamIndex(const IHeatIntegrationStream* stream);
    void Reach(std::size_t stream, std::vector<std::size_t>& pending);
    void Build(const std::vector<CNode*>& nodes);
    void Order();

    bool m_sound = false;
    // The nodes' streams, exchangers, branches and order are known; every exchanger lies between
    // two streams.
    bool m_built = false, m_complete = false;
    std::vector<CNode*> m_nodes;
    // Positions of the nodes in the order of calculation, and the nodes in that order.
    std::vector<std::size_t> m_order;
    std::vector<CNode*> m_ordered;
    bool m_anyUtility = false;
    std::size_t m_lastStreams = 0;
    std::unordered_map<const IHeatIntegrationStream*, std::size_t> m_streamIndex;
    std::vector<const IHeatIntegrationStream*> m_streams;
    std::vector<bool> m_utilityStream;
    // The streams of node i are m_nodeStreams[m_firstStream[i] .. m_firstStream[i + 1]).
    std::vector<std::size_t> m_firstStream, m_nodeStreams;
    std::vector<Exchanger> m_exchangers;
    // The exchangers on stream s are m_onStream[s] (indices into m_exchangers).
    std::vector<std::vector<std::size_t>> m_onStream;
    // Tee branches with their shares.
    std::vector<std::pair<CNode*, Spec>> m_branches;
    std::vector<bool> m_reached;
};

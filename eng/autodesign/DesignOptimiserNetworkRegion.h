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
// A network the last trial left with open values or exchangers without a calculated status (a
// point the searches judge infeasible) is known where it holds: the streams of those units are
// reached by the next trial whatever it moves, so that everything the failure decided is
// calculated again. Within a trial the same holds: a region that leaves a unit unsolved on a
// stream it did not reach (a failed exchanger passes nothing on, even across a specified duty)
// widens over that unit's streams and is recalculated until every unsolved unit lies on a stream
// it reached; what lies outside then read nothing that moved, as a whole recalculation finds.
//
// The region is not used when a specified value changed status (a duty freed or given back), when
// a split share moved (it scales every heat content after it), or when the flowsheet's nodes are
// not the ones it learnt. Then the whole network is recalculated and learnt afresh.
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
    // whole network; `unsolved`: the nodes it left with an open value or an exchanger status that
    // is not a calculated one.
    void Learn(const std::vector<CNode*>& nodes, const std::vector<CNode*>& unsolved);
    // The nodes a trial must recalculate, in stream order (`Ordered`), or in the nodes' own order
    // when a utility stream is among those reached; false when it must recalculate the whole
    // network. The specified values read become the ones the region knows.
    bool Collect(const std::vector<CNode*>& nodes, std::vector<CNode*>& set);
    // After the set was recalculated: `unsolved` are its nodes left with an open value or an
    // exchanger not calculated. Yes when each lies on streams the region reached (those streams
    // are reached by the next trial); Widened when the region widened over their streams, and
    // `set` is the larger set to recalculate; Unknown when a node is not one learnt (the whole
    // network must be recalculated).
    enum class Settled { Yes, Widened, Unknown };
    Settled Settle(const std::vector<CNode*>& nodes, const std::vector<CNode*>& unsolved, std::vector<CNode*>& set);
    // The nodes in the order a trial recalculates them: each after the nodes upstream of it on
    // its streams wherever the network has no loop, so that an exchanger is calculated once its
    // inlets are known rather than once for each side; the nodes as given when they are not the
    // ones learnt (the order holds whether or not the network was left sound) or the network has
    // a utility stream.
    const std::vector<CNode*>& Ordered(const std::vector<CNode*>& nodes) const;
    // The heaters and coolers of the last set that lie on a utility it reaches but whose process
    // stream it does not: their duties follow process sides nothing moved, so they keep them and
    // need only calculate once the utilities carry the design's loads.
    const std::vector<CNode*>& Held() const { return m_held; }
    // The streams the last set reaches: on no other stream can a duty be open.
    const std::vector<const IHeatIntegrationStream*>& ReachedStreams() const { return m_reachedStreams; }
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
    static bool IsGiven(const Spec& s);
    // Whether two readings of a value are the same kind of value: both given (or the same status
    // otherwise given), or both results of the network.
    static bool Input(const Spec& now, const Spec& before);
    std::size_t StreamIndex(const IHeatIntegrationStream* stream);
    void Reach(std::size_t stream, std::vector<std::size_t>& pending);
    // Reaches every stream the pending ones carry a change to.
    void Spread(std::vector<std::size_t>& pending);
    // The nodes with a port on a reached stream, in the order of calculation.
    void Gather(const std::vector<CNode*>& nodes, std::vector<CNode*>& set);
    // The streams of the unsolved nodes; whether any was not reached yet (`pending` gets those).
    bool StreamsOf(const std::vector<CNode*>& unsolved, std::vector<std::size_t>& streams);
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
    std::vector<CNode*> m_held;
    std::vector<const IHeatIntegrationStream*> m_reachedStreams;
    // Position of each node in m_nodes.
    std::unordered_map<const CNode*, std::size_t> m_nodeIndex;
    // Streams of the units the last recalculation left unsolved.
    std::vector<std::size_t> m_unsolvedStreams;
};

#pragma once
// A flowsheet: the nodes of one network in the order they were added, found by internal name,
// by position and by 32-bit fingerprint through indexes; their connections; fresh internal
// names; a copy for a new owner; and its record in the case file.
//
// Fingerprints are given when a node enters a flowsheet, never reused within it, and kept by a
// clone and by a stored and recalled flowsheet, so other records may name a node by them.
// The owner is told of changes only when editing code asks for it (`NotifyOwner`): an edit
// is many connects and disconnects, and its change handling runs once, at its end.
#include "pellin/CNode.h"
#include "pellin/NodeName.h"
#include "pellin/StreamProfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class FlowSheet;
class HeatExch;
class IExchangerCostLaw;
class IFlowsheetStream;
class ILurmetBinaryFile;

// The owner side of a flowsheet (a design).
class FSOwner {
public:
    virtual ~FSOwner() = default;
    // The network changed: the owner runs its change handling.
    virtual void FlowsheetChanged() = 0;
    // The owner's interface of that class name; false, with `out` untouched, when it has none.
    virtual bool GetInterface(const CPString& className, void** out) {
        (void)className;
        (void)out;
        return false;
    }
};

class FlowSheet {
public:
    static constexpr int RecordVersion = 1;
    // Most connection slots a node may have on one side.
    static constexpr int MaxSlots = 4096;

    // Finds the stream of a name when a flowsheet is read back (null: the pieces keep no stream).
    using StreamResolver = std::function<IFlowsheetStream*(const CPString& name)>;

    explicit FlowSheet(FSOwner* owner = nullptr);
    ~FlowSheet();
    FlowSheet(const FlowSheet&) = delete;
    FlowSheet& operator=(const FlowSheet&) = delete;

    FSOwner* getOwner() const { return m_owner; }
    void setOwner(FSOwner* owner) { m_owner = owner; }
    void NotifyOwner();
    // The capital-cost callback exchangers use (not owned); none leaves them without cost.
    void SetCostLaw(const IExchangerCostLaw* law) { m_costLaw = law; }
    const IExchangerCostLaw* GetCostLaw() const { return m_costLaw; }

    // A new node of a kind ("ppMaterialStream", "htHeatExchanger", ...), not yet added; null for
    // a kind the flowsheet does not know. The stream is kept by stream starts, ends and segments.
    static std::unique_ptr<CNode> CreateNode(const CPString& kind, const CPString& name,
                                             IFlowsheetStream* stream = nullptr);

    // Takes the node; answers it, or null (and the node is destroyed) when it is null, has no
    // name, or its name is taken.
    CNode* addNode(std::unique_ptr<CNode> node);
    CNode* addNode(CNode* node) { return addNode(std::unique_ptr<CNode>(node)); }
    CNode* getNode(const CPString& name) const;
    CNode* getNode(int index) const;
    CNode* getNodeByFingerPrint(std::uint32_t fingerPrint) const;
    int getNumberOfNodes() const {
        settle();
        return static_cast<int>(m_nodes.size());
    }
    std::vector<CNode*> getAllNodes() const;
    // Nodes whose class name is `kind`, in flowsheet order.
    std::vector<CNode*> getAllNodesOfType(const CPString& kind) const;
    // Fingerprint of the named node; 0 when there is none.
    std::uint32_t getDNAFingerPrint(const CPString& name) const;
    std::vector<std::uint32_t> getAllDNAFingerPrints() const;
    // A fresh internal name, used by no node.
    CPString getDefaultNodeNameString();

    // Joins `up` to `down` (flow from up to down), into the given slots or the first free ones.
    // False, with nothing changed, when a node is not in this flowsheet, the two are the same,
    // or a slot is taken or out of range.
    bool connectNodes(CNode* up, CNode* down, int upSlot = -1, int downSlot = -1);
    // Joins a segment to a port of an exchanger (0 hot inlet, 1 hot outlet, 2 cold inlet,
    // 3 cold outlet).
    bool connectToPort(HeatExch* exchanger, int port, CNode* segment);
    bool disconnectNodes(CNode* up, CNode* down);
    // Cuts every connection of the node; it stays in the flowsheet.
    bool detachNode(CNode* node);
    // Puts the node just before `before` in the flowsheet's order of nodes (the order they are
    // listed, stored and read back in); connections stay. False when either is not in this
    // flowsheet or the two are one.
    bool moveNodeBefore(CNode* node, CNode* before);
    // Detaches and destroys the node (a paired tee or mixer forgets it).
    bool deleteNode(CNode* node);
    // False when the name is empty or another node has it. Connections stay.
    bool renameNode(CNode* node, const CPString& newName);

    // A copy of the network (same names, fingerprints, values, connections, pairs, streams and
    // counters) for a new owner, who installs its own cost law.
    std::unique_ptr<FlowSheet> clone(FSOwner* newOwner) const;
    // Gives back what `kept` (a clone of this flowsheet taken earlier) held, exactly: its nodes in
    // its order, with their names, fingerprints, values, kept state, connections and pairs, and its
    // counters. A node still here takes back what it held and stays the same object, so whatever
    // points to it still finds it; a node taken out since comes back from the copy (which gives it
    // up); a node added since goes. The copy is left with what it did not give.
    void Restore(FlowSheet& kept);
    // Binds every stream piece (start, segment, end) to the stream its "ParentStream" names, as
    // the resolver finds it (a copy for another scenario takes that scenario's streams). False,
    // with nothing changed, when a named stream is not found; the missing name goes to `missing`.
    bool RebindStreams(const StreamResolver& resolve, CPString* missing = nullptr);

    // Segments keep their share of the flow between reads; any change of a connection or of a
    // split fraction makes every segment work it out afresh.
    void InvalidateFractions() { ++m_fractionEpoch; }
    std::uint64_t FractionEpoch() const { return m_fractionEpoch; }

    // While held, each stream's heat content is read from its segments once and shared by every
    // stream piece that asks for it (scaled to the piece's share of the flow): for a calculation
    // during which the streams' own values stay as they are. Released, the profiles are let go.
    void HoldStreamProfiles() { m_holdProfiles = true; }
    void ReleaseStreamProfiles();
    bool HoldsStreamProfiles() const { return m_holdProfiles; }
    // The stream's profile at the share `fraction` of its flow, from the held one (read from the
    // stream the first time). False as StreamProfile::Build would be.
    bool HeldStreamProfile(const IFlowsheetStream& stream, double fraction, StreamProfile& out);
    // The held profile at that share itself, made once per share (invalid when the stream has
    // none); it stays in place until the profiles are let go.
    const StreamProfile& HeldStreamProfile(const IFlowsheetStream& stream, double fraction);
    // The profiles of these streams outlive each release, for a run of calculations over which
    // their own values stay as they are (a search that moves duties only): each is read from
    // its stream once per run instead of once per calculation. Every other stream's profile is
    // still let go at each release. Stopped, every profile is let go.
    void KeepStreamProfiles(const std::vector<const IFlowsheetStream*>& streams);
    void StopKeepingStreamProfiles();

    bool Store(ILurmetBinaryFile& file) const;
    // Reads a stored flowsheet in place of this one. False when the record is damaged or
    // truncated; the flowsheet is then as it was.
    bool Recall(ILurmetBinaryFile& file, const StreamResolver& resolve = StreamResolver());

private:
    bool owns(const CNode* node) const { return node && node->m_sheet == this; }
    void adopt(CNode& node);
    void swapContents(FlowSheet& other);
    bool recallInto(ILurmetBinaryFile& file, const StreamResolver& resolve);

    FSOwner* m_owner = nullptr;
    const IExchangerCostLaw* m_costLaw = nullptr;
    // The nodes in the order they were added. A deleted node leaves a gap, closed before the
    // array is next read, so that taking many nodes out is linear rather than one shift each.
    void settle() const {
        if (m_gaps) closeGaps();
    }
    void closeGaps() const;
    void place(std::unique_ptr<CNode> node);
    mutable std::vector<std::unique_ptr<CNode>> m_nodes;
    mutable std::size_t m_gaps = 0;
    std::unordered_map<std::string, CNode*> m_byName;
    std::unordered_map<std::uint32_t, CNode*> m_byFingerPrint;
    std::uint32_t m_nextFingerPrint = 1;
    NodeName m_internalNames{"N-", 1};
    std::uint64_t m_fractionEpoch = 1;
    bool m_holdProfiles = false;
    std::unordered_map<const IFlowsheetStream*, StreamProfile> m_heldProfiles;
    struct ShareKey {
        const IFlowsheetStream* stream;
        double fraction;
        bool operator==(const ShareKey&) const = default;
    };
    struct ShareHash {
        std::size_t operator()(const ShareKey& k) const {
            return std::hash<const void*>()(k.stream) ^ (std::hash<double>()(k.fraction) * 31u);
        }
    };
    std::unordered_map<ShareKey, StreamProfile, ShareHash> m_heldShares;
    std::unordered_set<const IFlowsheetStream*> m_keptProfiles;
    // The profiles and shares held of streams that are not kept, listed as they are made while
    // some are kept: a release lets go of these alone instead of asking after every profile held.
    std::vector<const IFlowsheetStream*> m_passingProfiles;
    std::vector<ShareKey> m_passingShares;
    void letGoOfHeldProfiles();
    const StreamProfile m_noProfile;
};

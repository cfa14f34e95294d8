// The flowsheet's record in the case file.
//
// Record version 1:
//   string  prefix of the internal names, int32 their next number
//   long    next fingerprint
//   int32   node count; then per node a nested record, version 1:
//             string kind, string name, long fingerprint, the value tree, the node's own state
//             (an exchanger: int32 status, bool feasible, string coefficient basis),
//             int32 inlet slots, int32 outlet slots
//   per node, in order, per outlet slot: long fingerprint of the node downstream (0 for an empty
//   slot), int32 the inlet slot it enters there (-1 for an empty slot)
//   per node: long fingerprint of its paired tee or mixer (0 for none)
// A reader checks every count, name, fingerprint and slot against what it has read before; a
// record that does not add up is refused whole.
#include "brasko/CaseDamage.h"
#include "brasko/ILurmetBinaryFile.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

namespace {
constexpr int kNodeRecordVersion = 1;

bool writeFingerPrint(ILurmetBinaryFile& file, std::uint32_t fp) {
    return file.WriteLong(static_cast<std::int32_t>(fp));
}

bool readFingerPrint(ILurmetBinaryFile& file, std::uint32_t& fp) {
    std::int32_t v = 0;
    if (!file.ReadLong(v)) return false;
    fp = static_cast<std::uint32_t>(v);
    return true;
}

// Every value of a node is open, specified or calculated: another status would count as known
// and yet neither fix the network nor be worked out by it (a duty of status 7 leaves the network
// a degree of freedom more). A tree of values without parts of its own is not looked into.
bool heldStatuses(const CPValue& values, const CPString& node) {
    for (std::size_t i = 0; i < values.GetNumberOfSubValues(); ++i) {
        const CPValue* v = values.GetSubValue(i);
        const int status = v ? v->GetStatus() : CPValue::Unset;
        if (status < CPValue::Unset || status > CPValue::Calculated)
            return NoteCaseDamage("unit node \"" + std::string(node.c_str()) + "\": the value \"" +
                                  std::string(v->GetName().c_str()) + "\" has the status " + std::to_string(status) +
                                  ", none of open (0), specified (1) and calculated (2)");
        if (v && !heldStatuses(*v, node)) return false;
    }
    return true;
}
}  // namespace

bool FlowSheet::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    if (!file.BeginRecord(record, RecordVersion)) return false;
    bool ok = file.WriteCPString(m_internalNames.GetPrefix()) && file.WriteInt(m_internalNames.GetNumber()) &&
              writeFingerPrint(file, m_nextFingerPrint) && file.WriteInt(getNumberOfNodes());
    for (std::size_t i = 0; ok && i < m_nodes.size(); ++i) {
        const CNode& n = *m_nodes[i];
        RecordHandle nodeRecord;
        ok = file.BeginRecord(nodeRecord, kNodeRecordVersion) && file.WriteCPString(n.m_kind) &&
             file.WriteCPString(n.m_name) && writeFingerPrint(file, n.m_fingerPrint) && file.WriteCPValue(n.m_values) &&
             n.storeState(file) && file.WriteInt(static_cast<std::int32_t>(n.m_in.size())) &&
             file.WriteInt(static_cast<std::int32_t>(n.m_out.size())) && file.EndRecord(nodeRecord);
    }
    for (std::size_t i = 0; ok && i < m_nodes.size(); ++i) {
        const CNode& n = *m_nodes[i];
        for (std::size_t j = 0; ok && j < n.m_out.size(); ++j) {
            const CNode* down = n.m_out[j];
            ok = writeFingerPrint(file, down ? down->m_fingerPrint : 0) &&
                 file.WriteInt(down ? down->upStreamSlotOf(&n) : -1);
        }
    }
    for (std::size_t i = 0; ok && i < m_nodes.size(); ++i) {
        const CNode* partner = m_nodes[i]->associatedNode();
        ok = writeFingerPrint(file, partner ? partner->m_fingerPrint : 0);
    }
    return ok && file.EndRecord(record);
}

bool FlowSheet::Recall(ILurmetBinaryFile& file, const StreamResolver& resolve) {
    FlowSheet fresh(m_owner);
    if (!fresh.recallInto(file, resolve)) return false;
    swapContents(fresh);
    return true;
}

bool FlowSheet::recallInto(ILurmetBinaryFile& file, const StreamResolver& resolve) {
    RecordHandle record;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1) return false;
    CPString prefix;
    std::int32_t number = 0, count = 0;
    std::uint32_t nextFingerPrint = 0;
    if (!file.ReadCPString(prefix) || !file.ReadInt(number) || !readFingerPrint(file, nextFingerPrint) ||
        !file.ReadItemCount(count))
        return false;
    m_internalNames = NodeName(prefix, number);

    // Nodes: each read whole before the next, so a count larger than the record only runs the
    // reader into the end of the record.
    for (std::int32_t i = 0; i < count; ++i) {
        RecordHandle nodeRecord;
        CPString kind, name;
        std::uint32_t fp = 0;
        std::int32_t inSlots = 0, outSlots = 0;
        if (!file.BeginRecord(nodeRecord) || !file.ReadCPString(kind) || !file.ReadCPString(name)) return false;
        std::unique_ptr<CNode> node = CreateNode(kind, name);
        if (!node || name.empty() || m_byName.count(name) || !readFingerPrint(file, fp) || fp == 0 ||
            m_byFingerPrint.count(fp))
            return false;
        CPValue values;
        if (!file.ReadCPValue(values) || !heldStatuses(values, name) || !node->recallState(file) ||
            !file.ReadInt(inSlots) || !file.ReadInt(outSlots))
            return false;
        const int fixedIn = node->fixedUpStreamSlots(), fixedOut = node->fixedDownStreamSlots();
        if ((fixedIn >= 0 && inSlots != fixedIn) || (fixedOut >= 0 && outSlots != fixedOut) || inSlots < 0 ||
            outSlots < 0 || inSlots > MaxSlots || outSlots > MaxSlots)
            return false;
        if (!file.EndRecord(nodeRecord)) return false;
        node->m_values = std::move(values);
        node->valuesReplaced();
        node->m_fingerPrint = fp;
        node->m_in.assign(static_cast<std::size_t>(inSlots), nullptr);
        node->m_out.assign(static_cast<std::size_t>(outSlots), nullptr);
        adopt(*node);
        place(std::move(node));
    }
    m_nextFingerPrint = std::max(m_nextFingerPrint, nextFingerPrint);

    for (auto& n : m_nodes) {
        for (std::size_t j = 0; j < n->m_out.size(); ++j) {
            std::uint32_t fp = 0;
            std::int32_t slot = 0;
            if (!readFingerPrint(file, fp) || !file.ReadInt(slot)) return false;
            if (fp == 0) {
                if (slot != -1 || n->fixedDownStreamSlots() < 0) return false;  // open sides have no gaps
                continue;
            }
            CNode* down = getNodeByFingerPrint(fp);
            if (!down || down == n.get() || slot < 0 || slot >= static_cast<std::int32_t>(down->m_in.size()) ||
                down->m_in[static_cast<std::size_t>(slot)])
                return false;
            n->m_out[j] = down;
            down->m_in[static_cast<std::size_t>(slot)] = n.get();
        }
    }
    // Every inlet slot of an open side must have been filled by some outlet.
    for (const auto& n : m_nodes)
        if (n->fixedUpStreamSlots() < 0)
            for (const CNode* up : n->m_in)
                if (!up) return false;

    for (auto& n : m_nodes) {
        std::uint32_t fp = 0;
        if (!readFingerPrint(file, fp)) return false;
        if (fp == 0) continue;
        if (!n->setAssociatedNode(getNodeByFingerPrint(fp))) return false;
    }
    if (!file.EndRecord(record)) return false;

    for (auto& n : m_nodes) {
        auto* piece = dynamic_cast<StreamPiece*>(n.get());
        CPString streamName;
        if (piece && resolve && piece->getVariableAsString(NodeValue::ParentStream, streamName))
            if (IFlowsheetStream* s = resolve(streamName)) piece->setParentPIStream(s);
    }
    return true;
}

#include "pellin/FlowSheet.h"

#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <cmath>

namespace {
void clearSlot(std::vector<CNode*>& slots, int slot, bool fixed) {
    if (fixed) slots[static_cast<std::size_t>(slot)] = nullptr;
    else slots.erase(slots.begin() + slot);
}
}  // namespace

FlowSheet::FlowSheet(FSOwner* owner) : m_owner(owner) {}

FlowSheet::~FlowSheet() = default;

void FlowSheet::NotifyOwner() {
    if (m_owner) m_owner->FlowsheetChanged();
}

std::unique_ptr<CNode> FlowSheet::CreateNode(const CPString& kind, const CPString& name, IFlowsheetStream* stream) {
    std::unique_ptr<CNode> node;
    if (kind == NodeKind::MaterialStream) node = std::make_unique<StreamNode>(name, kind, stream);
    else if (kind == NodeKind::FeedBlock) node = std::make_unique<StreamStart>(name, kind, stream);
    else if (kind == NodeKind::ProductBlock) node = std::make_unique<StreamEnd>(name, kind, stream);
    else if (kind == NodeKind::HeatExchanger || kind == NodeKind::CountercurrentHX)
        node = std::make_unique<HeatExch>(name, kind);
    else if (kind == NodeKind::Heater) node = std::make_unique<DummyHX>(name, kind);
    else if (kind == NodeKind::Tee) node = std::make_unique<Splitter>(name, kind);
    else if (kind == NodeKind::Mixer) node = std::make_unique<Mixer>(name, kind);
    if (node) node->resetSlots();
    return node;
}

void FlowSheet::adopt(CNode& node) {
    node.m_sheet = this;
    if (node.m_fingerPrint == 0 || m_byFingerPrint.count(node.m_fingerPrint)) {
        while (m_nextFingerPrint == 0 || m_byFingerPrint.count(m_nextFingerPrint)) ++m_nextFingerPrint;
        node.m_fingerPrint = m_nextFingerPrint++;
    } else if (node.m_fingerPrint >= m_nextFingerPrint) {
        m_nextFingerPrint = node.m_fingerPrint + 1;
    }
    m_byName.emplace(node.m_name, &node);
    m_byFingerPrint.emplace(node.m_fingerPrint, &node);
    InvalidateFractions();
}

CNode* FlowSheet::addNode(std::unique_ptr<CNode> node) {
    if (!node || node->m_name.empty() || m_byName.count(node->m_name) || node->m_sheet) return nullptr;
    // A node made outside CreateNode gets its slots here.
    if (node->m_in.empty() && node->m_out.empty()) node->resetSlots();
    node->m_fingerPrint = 0;
    adopt(*node);
    place(std::move(node));
    return m_nodes.back().get();
}

CNode* FlowSheet::getNode(const CPString& name) const {
    const auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

void FlowSheet::place(std::unique_ptr<CNode> node) {
    node->m_slot = m_nodes.size();
    m_nodes.push_back(std::move(node));
}

void FlowSheet::closeGaps() const {
    std::erase_if(m_nodes, [](const std::unique_ptr<CNode>& n) { return !n; });
    for (std::size_t i = 0; i < m_nodes.size(); ++i) m_nodes[i]->m_slot = i;
    m_gaps = 0;
}

CNode* FlowSheet::getNode(int index) const {
    return index >= 0 && index < getNumberOfNodes() ? m_nodes[static_cast<std::size_t>(index)].get() : nullptr;
}

CNode* FlowSheet::getNodeByFingerPrint(std::uint32_t fingerPrint) const {
    const auto it = m_byFingerPrint.find(fingerPrint);
    return it == m_byFingerPrint.end() ? nullptr : it->second;
}

std::vector<CNode*> FlowSheet::getAllNodes() const {
    settle();
    std::vector<CNode*> all;
    all.reserve(m_nodes.size());
    for (const auto& n : m_nodes) all.push_back(n.get());
    return all;
}

// A kind with a number of its own (a node's number follows its kind's name, which never changes)
// is found by that number instead of comparing names: each propagation asks for the tees.
std::vector<CNode*> FlowSheet::getAllNodesOfType(const CPString& kind) const {
    settle();
    std::vector<CNode*> all;
    const NodeKindId id = NodeKindIdOf(kind);
    for (const auto& n : m_nodes)
        if (id != NodeKindId::Other ? n->m_kindId == id : n->m_kind == kind) all.push_back(n.get());
    return all;
}

std::uint32_t FlowSheet::getDNAFingerPrint(const CPString& name) const {
    const CNode* n = getNode(name);
    return n ? n->m_fingerPrint : 0;
}

std::vector<std::uint32_t> FlowSheet::getAllDNAFingerPrints() const {
    settle();
    std::vector<std::uint32_t> all;
    all.reserve(m_nodes.size());
    for (const auto& n : m_nodes) all.push_back(n->m_fingerPrint);
    return all;
}

CPString FlowSheet::getDefaultNodeNameString() {
    CPString name = m_internalNames.GetDefaultNodeName();
    while (m_byName.count(name)) name = m_internalNames.GetDefaultNodeName();
    return name;
}

bool FlowSheet::connectNodes(CNode* up, CNode* down, int upSlot, int downSlot) {
    if (!owns(up) || !owns(down) || up == down) return false;
    const bool upFixed = up->fixedDownStreamSlots() >= 0;
    const bool downFixed = down->fixedUpStreamSlots() >= 0;
    auto pick = [](std::vector<CNode*>& slots, bool fixed, int& slot) {
        if (fixed) {
            if (slot < 0) {
                const auto it = std::find(slots.begin(), slots.end(), nullptr);
                slot = static_cast<int>(it - slots.begin());
            }
            return slot < static_cast<int>(slots.size()) && !slots[static_cast<std::size_t>(slot)];
        }
        if (slot < 0) slot = static_cast<int>(slots.size());
        return slot <= static_cast<int>(slots.size()) && static_cast<int>(slots.size()) < MaxSlots;
    };
    if (!pick(up->m_out, upFixed, upSlot) || !pick(down->m_in, downFixed, downSlot)) return false;
    if (upFixed) up->m_out[static_cast<std::size_t>(upSlot)] = down;
    else up->m_out.insert(up->m_out.begin() + upSlot, down);
    if (downFixed) down->m_in[static_cast<std::size_t>(downSlot)] = up;
    else down->m_in.insert(down->m_in.begin() + downSlot, up);
    InvalidateFractions();
    return true;
}

bool FlowSheet::connectToPort(HeatExch* exchanger, int port, CNode* segment) {
    if (!exchanger || port < 0 || port > 3) return false;
    const int side = port / 2;
    const bool inlet = port % 2 == 0;
    return inlet ? connectNodes(segment, exchanger, -1, side) : connectNodes(exchanger, segment, side, -1);
}

bool FlowSheet::disconnectNodes(CNode* up, CNode* down) {
    if (!owns(up) || !owns(down)) return false;
    const int upSlot = up->downStreamSlotOf(down);
    const int downSlot = down->upStreamSlotOf(up);
    if (upSlot < 0 || downSlot < 0) return false;
    clearSlot(up->m_out, upSlot, up->fixedDownStreamSlots() >= 0);
    clearSlot(down->m_in, downSlot, down->fixedUpStreamSlots() >= 0);
    InvalidateFractions();
    return true;
}

bool FlowSheet::detachNode(CNode* node) {
    if (!owns(node)) return false;
    for (CNode* up : node->getAllUpStreamNodes()) disconnectNodes(up, node);
    for (CNode* down : node->getAllDownStreamNodes()) disconnectNodes(node, down);
    return true;
}

bool FlowSheet::moveNodeBefore(CNode* node, CNode* before) {
    if (!owns(node) || !owns(before) || node == before) return false;
    settle();
    const std::size_t from = node->m_slot, to = before->m_slot;
    // The nodes between the two places move up or down by one.
    if (from < to)
        std::rotate(m_nodes.begin() + static_cast<std::ptrdiff_t>(from), m_nodes.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                    m_nodes.begin() + static_cast<std::ptrdiff_t>(to));
    else
        std::rotate(m_nodes.begin() + static_cast<std::ptrdiff_t>(to), m_nodes.begin() + static_cast<std::ptrdiff_t>(from),
                    m_nodes.begin() + static_cast<std::ptrdiff_t>(from) + 1);
    for (std::size_t i = std::min(from, to); i <= std::max(from, to); ++i) m_nodes[i]->m_slot = i;
    return true;
}

bool FlowSheet::deleteNode(CNode* node) {
    if (!owns(node)) return false;
    detachNode(node);
    if (CNode* partner = node->associatedNode())
        if (partner->associatedNode() == node) partner->setAssociatedNode(nullptr);
    m_byName.erase(node->m_name);
    m_byFingerPrint.erase(node->m_fingerPrint);
    InvalidateFractions();
    // The node's place is known: it leaves a gap there, closed at the next read of the array.
    m_nodes[node->m_slot].reset();
    ++m_gaps;
    return true;
}

bool FlowSheet::renameNode(CNode* node, const CPString& newName) {
    if (!owns(node) || newName.empty()) return false;
    if (newName == node->m_name) return true;
    if (m_byName.count(newName)) return false;
    m_byName.erase(node->m_name);
    node->m_name = newName;
    m_byName.emplace(newName, node);
    return true;
}

std::unique_ptr<FlowSheet> FlowSheet::clone(FSOwner* newOwner) const {
    settle();
    auto copy = std::make_unique<FlowSheet>(newOwner);
    copy->m_internalNames = m_internalNames;
    copy->m_nextFingerPrint = m_nextFingerPrint;
    std::unordered_map<const CNode*, CNode*> twin;
    twin.reserve(m_nodes.size());
    for (const auto& n : m_nodes) {
        std::unique_ptr<CNode> c = n->makeEmptyCopy();
        c->m_values = n->m_values;
        c->valuesReplaced();
        c->m_fingerPrint = n->m_fingerPrint;
        c->copyStateFrom(*n);
        c->m_in.assign(n->m_in.size(), nullptr);
        c->m_out.assign(n->m_out.size(), nullptr);
        copy->adopt(*c);
        twin.emplace(n.get(), c.get());
        copy->place(std::move(c));
    }
    for (const auto& n : m_nodes) {
        CNode* c = twin[n.get()];
        for (std::size_t i = 0; i < n->m_in.size(); ++i)
            if (n->m_in[i]) c->m_in[i] = twin[n->m_in[i]];
        for (std::size_t i = 0; i < n->m_out.size(); ++i)
            if (n->m_out[i]) c->m_out[i] = twin[n->m_out[i]];
        if (CNode* partner = n->associatedNode()) c->setAssociatedNode(twin[partner]);
    }
    return copy;
}

void FlowSheet::Restore(FlowSheet& kept) {
    settle();
    kept.settle();
    // Each node of the copy stands for the node of its fingerprint here, when that one is still
    // here and of the same kind.
    std::unordered_map<std::uint32_t, std::unique_ptr<CNode>> here;
    here.reserve(m_nodes.size());
    for (auto& n : m_nodes) {
        const std::uint32_t print = n->m_fingerPrint;
        here.emplace(print, std::move(n));
    }
    std::unordered_map<const CNode*, CNode*> twin;
    twin.reserve(kept.m_nodes.size());
    std::vector<std::unique_ptr<CNode>> order;
    order.reserve(kept.m_nodes.size());
    for (auto& k : kept.m_nodes) {
        const auto it = here.find(k->m_fingerPrint);
        if (it != here.end() && it->second && it->second->m_kind == k->m_kind) {
            std::unique_ptr<CNode> node = std::move(it->second);
            node->m_values = k->m_values;
            node->valuesReplaced();
            node->copyStateFrom(*k);
            node->m_name = k->m_name;
            twin.emplace(k.get(), node.get());
            order.push_back(std::move(node));
        } else {
            twin.emplace(k.get(), k.get());
            order.push_back(nullptr);
        }
    }
    // The connections and pairs as the copy held them, each read from the copy's node before any
    // node of the copy changes hands.
    std::vector<std::vector<CNode*>> ins(kept.m_nodes.size()), outs(kept.m_nodes.size());
    std::vector<CNode*> partners(kept.m_nodes.size(), nullptr);
    const auto mapped = [&twin](CNode* n) -> CNode* {
        if (!n) return nullptr;
        const auto it = twin.find(n);
        return it == twin.end() ? nullptr : it->second;
    };
    for (std::size_t i = 0; i < kept.m_nodes.size(); ++i) {
        const CNode& k = *kept.m_nodes[i];
        for (CNode* n : k.m_in) ins[i].push_back(mapped(n));
        for (CNode* n : k.m_out) outs[i].push_back(mapped(n));
        partners[i] = mapped(k.associatedNode());
    }
    for (std::size_t i = 0; i < order.size(); ++i)
        if (!order[i]) order[i] = std::move(kept.m_nodes[i]);
    kept.m_nodes.clear();
    kept.m_byName.clear();
    kept.m_byFingerPrint.clear();
    m_nodes.clear();
    m_gaps = 0;
    m_byName.clear();
    m_byFingerPrint.clear();
    for (std::size_t i = 0; i < order.size(); ++i) {
        CNode& node = *order[i];
        node.m_in = std::move(ins[i]);
        node.m_out = std::move(outs[i]);
        node.m_upCursor = node.m_downCursor = 0;
        node.setAssociatedNode(partners[i]);
        node.m_sheet = this;
        m_byName.emplace(node.m_name, &node);
        m_byFingerPrint.emplace(node.m_fingerPrint, &node);
        place(std::move(order[i]));
    }
    m_nextFingerPrint = kept.m_nextFingerPrint;
    m_internalNames = kept.m_internalNames;
    // What was worked out of the flows and profiles is worked out afresh; the nodes added since
    // go with the map.
    InvalidateFractions();
    letGoOfHeldProfiles();
}

void FlowSheet::swapContents(FlowSheet& other) {
    settle();
    other.settle();
    std::swap(m_nodes, other.m_nodes);
    std::swap(m_byName, other.m_byName);
    std::swap(m_byFingerPrint, other.m_byFingerPrint);
    std::swap(m_nextFingerPrint, other.m_nextFingerPrint);
    std::swap(m_internalNames, other.m_internalNames);
    for (auto& n : m_nodes) n->m_sheet = this;
    for (auto& n : other.m_nodes) n->m_sheet = &other;
    // The nodes changed hands: what they kept was worked out in the other flowsheet.
    const std::uint64_t epoch = std::max(m_fractionEpoch, other.m_fractionEpoch) + 1;
    m_fractionEpoch = other.m_fractionEpoch = epoch;
}

bool FlowSheet::RebindStreams(const StreamResolver& resolve, CPString* missing) {
    settle();
    if (!resolve) return false;
    std::vector<std::pair<StreamPiece*, IFlowsheetStream*>> bindings;
    for (auto& n : m_nodes) {
        auto* piece = dynamic_cast<StreamPiece*>(n.get());
        CPString name;
        if (!piece || !piece->getVariableAsString(NodeValue::ParentStream, name)) continue;
        IFlowsheetStream* stream = resolve(name);
        if (!stream) {
            if (missing) *missing = name;
            return false;
        }
        bindings.emplace_back(piece, stream);
    }
    for (auto& [piece, stream] : bindings) piece->setParentPIStream(stream);
    return true;
}

void FlowSheet::letGoOfHeldProfiles() {
    m_heldProfiles.clear();
    m_heldShares.clear();
    m_passingProfiles.clear();
    m_passingShares.clear();
}

// Every profile or share held of a stream that is not kept was listed when it was made (none is
// made of such a stream while none are kept, and keeping others lets every profile go), so the
// lists hold exactly the entries to let go.
void FlowSheet::ReleaseStreamProfiles() {
    m_holdProfiles = false;
    if (m_keptProfiles.empty()) {
        letGoOfHeldProfiles();
        return;
    }
    for (const IFlowsheetStream* stream : m_passingProfiles) m_heldProfiles.erase(stream);
    m_passingProfiles.clear();
    // A share of a kept stream is made again cheaply from its kept profile: shares that a moving
    // split leaves behind are not let pile up.
    if (m_heldShares.size() > 4 * m_keptProfiles.size() + 64) m_heldShares.clear();
    else
        for (const ShareKey& key : m_passingShares) m_heldShares.erase(key);
    m_passingShares.clear();
}

void FlowSheet::KeepStreamProfiles(const std::vector<const IFlowsheetStream*>& streams) {
    m_keptProfiles.clear();
    for (const IFlowsheetStream* stream : streams)
        if (stream) m_keptProfiles.insert(stream);
    // What was held before is read afresh.
    letGoOfHeldProfiles();
}

void FlowSheet::StopKeepingStreamProfiles() {
    m_keptProfiles.clear();
    if (!m_holdProfiles) letGoOfHeldProfiles();
}

bool FlowSheet::HeldStreamProfile(const IFlowsheetStream& stream, double fraction, StreamProfile& out) {
    auto [it, added] = m_heldProfiles.try_emplace(&stream);
    if (added) {
        it->second.BuildFullFlow(stream);
        if (!m_keptProfiles.empty() && !m_keptProfiles.count(&stream)) m_passingProfiles.push_back(&stream);
    }
    return out.Scale(it->second, fraction);
}

const StreamProfile& FlowSheet::HeldStreamProfile(const IFlowsheetStream& stream, double fraction) {
    // No share of the flow but a positive finite one gives a profile.
    if (!std::isfinite(fraction) || !(fraction > 0.0)) return m_noProfile;
    auto [it, added] = m_heldShares.try_emplace(ShareKey{&stream, fraction});
    if (added) {
        HeldStreamProfile(stream, fraction, it->second);
        if (!m_keptProfiles.empty() && !m_keptProfiles.count(&stream)) m_passingShares.push_back(it->first);
    }
    return it->second;
}

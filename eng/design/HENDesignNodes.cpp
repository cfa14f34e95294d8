// The node factory, the stream index (stream list and the units on each stream), adding,
// removing and renaming a stream, and the journalled editing steps every edit is made of.
#include "eng/design/HENDesign.h"

#include "eng/design/ControllabilityCheck.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {
constexpr double kEmpty = -32767.0;

void setTemperature(CNode* node, double t) {
    node->addVariable(NodeValue::Temperature, t, t == kEmpty ? ValueStatus::Open : ValueStatus::Specified);
}
}  // namespace

// ---------------------------------------------------------------- node factory

namespace {
// Exchangers, tees and mixers, and the branches of a splitter a user named: one set of names.
bool isNamedUnit(const CNode* node) {
    return node->isExchangerKind() || node->getKindId() == NodeKindId::Tee || node->getKindId() == NodeKindId::Mixer ||
           node->getKindId() == NodeKindId::MaterialStream;
}
}  // namespace

// Linear in the nodes: names live on the units themselves. A unit is added or renamed at most
// once per edit, and every edit recalculates the whole network after it.
bool CPIHENDesign::IsUnitNameTaken(const CPString& name) const { return UnitNamesInUse().count(name) > 0; }

bool CPIHENDesign::FreeNodeName(const CPString& name, const CNode* keeper) {
    // The network finds its blocks by their stream, and its views hold nodes, not names.
    CNode* holder = m_sheet ? m_sheet->getNode(name) : nullptr;
    if (!holder || holder == keeper) return true;
    if (!m_sheet->renameNode(holder, m_sheet->getDefaultNodeNameString())) return false;
    // The units beside it name it at their ports: they follow, or they would lose the
    // temperatures there.
    std::vector<CNode*> beside = holder->getAllUpStreamNodes();
    for (CNode* down : holder->getAllDownStreamNodes()) beside.push_back(down);
    for (CNode* unit : beside) {
        if (!unit || !unit->isExchangerKind()) continue;
        for (int port = 0; port < 4; ++port) {
            CPString held;
            if (unit->getVariableAsString(ExchangerPort::Name(port), held) && held == name)
                SetText(unit, ExchangerPort::Name(port), holder->getName());
        }
    }
    return true;
}

bool CPIHENDesign::IsReservedUnitName(const CPString& name) {
    return name.find(kDummyHeaterSuffix) != CPString::npos || name.find(kDummyCoolerSuffix) != CPString::npos;
}

std::unordered_set<std::string> CPIHENDesign::UnitNamesInUse() const {
    std::unordered_set<std::string> taken;
    if (!m_sheet) return taken;
    for (CNode* node : m_sheet->getAllNodes()) {
        CPString shown;
        if (isNamedUnit(node) && node->getVariableAsString(NodeValue::UnitOperationName, shown)) taken.insert(shown);
    }
    return taken;
}

// The generator's next name that no unit shows (a user may have renamed one to it), nor, where
// `nodeNames` is set, a node bears.
CPString CPIHENDesign::NextFreeUnitName(NodeName& names, bool nodeNames) const {
    const std::unordered_set<std::string> taken = UnitNamesInUse();
    CPString name = names.GetDefaultNodeName();
    while (taken.count(name) || (nodeNames && m_sheet->getNode(name))) name = names.GetDefaultNodeName();
    return name;
}

CNode* CPIHENDesign::CreateNode(const CPString& kind, IHeatIntegrationStream* stream) {
    if (!m_sheet) return nullptr;
    const CPString internal = m_sheet->getDefaultNodeNameString();
    std::unique_ptr<CNode> node;
    if (kind == NodeKind::MaterialStream) {
        node = FlowSheet::CreateNode(kind, internal, stream);
        node->addVariable(NodeValue::Temperature, kEmpty, ValueStatus::Open);
    } else if (kind == NodeKind::Heater) {
        node = FlowSheet::CreateNode(kind, internal);
    } else if (kind == NodeKind::CountercurrentHX || kind == NodeKind::HeatExchanger) {
        node = FlowSheet::CreateNode(kind, internal);
        // A unit added under its own name bears it as node name too.
        node->addVariable(NodeValue::UnitOperationName, NextFreeUnitName(m_exchangerNames, true), ValueStatus::Specified);
        node->addVariable(NodeValue::Duty, kEmpty, ValueStatus::Open);
        node->addVariable(NodeValue::HTArea, kEmpty, ValueStatus::Open);
    } else if (kind == NodeKind::Tee) {
        node = FlowSheet::CreateNode(kind, internal);
        node->addVariable(NodeValue::UnitOperationName, NextFreeUnitName(m_teeNames, false), ValueStatus::Specified);
    } else if (kind == NodeKind::Mixer) {
        node = FlowSheet::CreateNode(kind, internal);
        node->addVariable(NodeValue::UnitOperationName, NextFreeUnitName(m_mixerNames, false), ValueStatus::Specified);
    } else if (kind == NodeKind::FeedBlock && stream) {
        node = FlowSheet::CreateNode(kind, FreeBlockName(stream->GetName(), "Start"), stream);
        setTemperature(node.get(), stream->GetSupplyTemperature());
    } else if (kind == NodeKind::ProductBlock && stream) {
        node = FlowSheet::CreateNode(kind, FreeBlockName(stream->GetName(), "End"), stream);
        setTemperature(node.get(), stream->GetTargetTemperature());
    }
    return node ? m_sheet->addNode(std::move(node)) : nullptr;
}

CNode* CPIHENDesign::GetMixerOfSplitter(CNode* tee) const {
    Splitter* splitter = AsSplitter(tee);
    return splitter ? splitter->getAssociatedMixer() : nullptr;
}

CNode* CPIHENDesign::GetSplitterOfMixer(CNode* mixer) const {
    Mixer* m = AsMixer(mixer);
    return m ? m->getAssociatedSplitter() : nullptr;
}

bool CPIHENDesign::IsNotUtilityStreamNode(CNode* node) const {
    if (!node || node->getClassName() != NodeKind::MaterialStream) return true;
    IHeatIntegrationStream* stream = chain::StreamOf(node);
    return !stream || stream->GetStreamKind() != 1;
}

void CPIHENDesign::MakeExchangerStreamName(const CPString& unitName, CPString& out) const {
    out = unitName;
    for (CNode* exchanger : m_exchangers) {
        CPString name;
        if (exchanger->getVariableAsString(NodeValue::UnitOperationName, name) && name == unitName) {
            out += "STRM";
            return;
        }
    }
}

// ---------------------------------------------------------------- stream index

std::vector<CNode*>* CPIHENDesign::UnitsOf(const CPString& streamName) {
    const auto it = m_unitsByStream.find(streamName);
    return it == m_unitsByStream.end() ? nullptr : &it->second;
}

const std::vector<CNode*>* CPIHENDesign::UnitsOf(const CPString& streamName) const {
    const auto it = m_unitsByStream.find(streamName);
    return it == m_unitsByStream.end() ? nullptr : &it->second;
}

bool CPIHENDesign::HasStream(const IHeatIntegrationStream* stream) const { return m_streamSet.count(stream) > 0; }

void CPIHENDesign::UpdateStreamIndex(int event, IHeatIntegrationStream* stream, CNode* unit) {
    if (!stream) return;
    const CPString& name = stream->GetName();
    switch (event) {
    case 30:
        m_unitsByStream[name].clear();
        if (m_streamSet.insert(stream).second) m_streams.push_back(stream);
        break;
    case 31:
        m_unitsByStream.erase(name);
        // Linear in the streams, once per stream that leaves; the list keeps the order streams
        // were added in, which the index queries answer by.
        if (m_streamSet.erase(stream))
            m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), stream), m_streams.end());
        break;
    case 5:
        if (!UnitsOf(name)) UpdateStreamIndex(30, stream, nullptr);
        m_unitsByStream[name].push_back(unit);
        break;
    case 6:
        if (std::vector<CNode*>* units = UnitsOf(name)) {
            const auto it = std::find(units->begin(), units->end(), unit);
            if (it != units->end()) units->erase(it);
        }
        break;
    default:
        break;
    }
}

void CPIHENDesign::RebuildStreamIndex() {
    m_unitsByStream.clear();
    m_streams.clear();
    m_streamSet.clear();
    for (CNode* start : m_sheet->getAllNodesOfType(NodeKind::FeedBlock))
        if (IHeatIntegrationStream* stream = chain::StreamOf(start)) UpdateStreamIndex(30, stream, nullptr);
    for (CNode* node : m_exchangers) {
        HeatExch* exchanger = AsHeatExch(node);
        if (!exchanger) continue;
        for (int side = 0; side < 2; ++side) {
            CNode* segment = exchanger->getInlet(side) ? exchanger->getInlet(side) : exchanger->getOutlet(side);
            if (IHeatIntegrationStream* stream = chain::StreamOf(segment)) UpdateStreamIndex(5, stream, node);
        }
    }
}

// ---------------------------------------------------------------- streams

int CPIHENDesign::AddStream(IHeatIntegrationStream* stream) {
    // A unit bearing "<stream>Start" does not keep the stream out: the blocks take free names.
    if (!stream || HasStream(stream) || StreamBlock(stream->GetName(), "Start")) return 0;
    CNode* start = CreateNode(NodeKind::FeedBlock, stream);
    CNode* first = CreateNode(NodeKind::MaterialStream, stream);
    CNode* utility = CreateNode(NodeKind::Heater, stream);
    CNode* last = CreateNode(NodeKind::MaterialStream, stream);
    CNode* end = CreateNode(NodeKind::ProductBlock, stream);
    if (!start || !first || !utility || !last || !end) {
        for (CNode* n : {start, first, utility, last, end})
            if (n) m_sheet->deleteNode(n);
        return 0;
    }
    setTemperature(first, stream->GetSupplyTemperature());
    first->addVariable(NodeValue::SplitFraction, 1.0, ValueStatus::Calculated);
    setTemperature(last, stream->GetTargetTemperature());
    last->addVariable(NodeValue::SplitFraction, 1.0, ValueStatus::Calculated);
    m_sheet->connectNodes(start, first);
    m_sheet->connectNodes(first, utility);
    m_sheet->connectNodes(utility, last);
    m_sheet->connectNodes(last, end);
    UpdateStreamIndex(30, stream, nullptr);
    m_analysis->StreamAdded(stream);
    m_control->StreamAdded(stream);
    SendAMessage(CodeStreamAdded, stream->GetName(), nullptr);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return 1;
}

int CPIHENDesign::RemoveStream(const CPString& name) {
    IHeatIntegrationStream* stream = nullptr;
    if (!m_scenario || !m_scenario->GetStream(name, stream) || !HasStream(stream)) {
        stream = nullptr;
        for (IHeatIntegrationStream* s : m_streams)
            if (s->GetName() == name) stream = s;
    }
    CNode* start = StreamBlock(name, "Start");
    if (!stream && !start) return 0;
    // A design deactivated by its caller (a batch of edits) stays so until the batch ends.
    const bool wasActive = m_active;
    Deactivate();
    // The exchangers on the stream go first, each leaving its other stream in chain form; what is
    // left of this stream is its own chain of segments, placeholders, tees and mixers.
    if (const std::vector<CNode*>* units = UnitsOf(name)) {
        const std::vector<CNode*> onStream = *units;
        for (CNode* unit : onStream) {
            HeatExch* exchanger = AsHeatExch(unit);
            if (!exchanger) continue;
            for (CNode* inlet = unit->getFirstUpStreamNode(); inlet; inlet = unit->getFirstUpStreamNode())
                if (!DetachExchangerSide(inlet)) break;
            m_exchangers.erase(std::remove(m_exchangers.begin(), m_exchangers.end(), unit), m_exchangers.end());
            // The views hear of each exchanger that goes, as when it is deleted by itself.
            CPString label;
            unit->getVariableAsString(NodeValue::UnitOperationName, label);
            const CPString nodeName = unit->getName();
            m_sheet->deleteNode(unit);
            SendAMessage(CodeExchangerDeleted, nodeName, label.data());
        }
    }
    std::vector<CNode*> pending;
    if (start) pending.push_back(start);
    std::unordered_set<CNode*> doomed;
    while (!pending.empty()) {
        CNode* node = pending.back();
        pending.pop_back();
        if (!doomed.insert(node).second) continue;
        for (CNode* down : node->getAllDownStreamNodes())
            if (!down->IsOfType(NodeKind::CountercurrentHX)) pending.push_back(down);
    }
    if (CNode* end = StreamBlock(name, "End")) doomed.insert(end);
    for (CNode* node : doomed) m_sheet->deleteNode(node);
    if (wasActive) Activate(0);
    if (stream) UpdateStreamIndex(31, stream, nullptr);
    m_analysis->StreamRemoved(stream);
    m_control->StreamRemoved(stream);
    m_unitsByStream.erase(name);
    SendAMessage(CodeStreamRemoved, name, nullptr);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return 1;
}

namespace {
// Whether the node is a feed block (or, with `end`, a product block) of the stream of that name:
// the name the piece keeps of its stream, which a rename of the stream carries to every piece.
bool isBlockOf(CNode* node, bool end, const CPString& streamName) {
    if (end ? !chain::IsProductBlock(node) : !chain::IsFeedBlock(node)) return false;
    CPString parent;
    if (node->getVariableAsString(NodeValue::ParentStream, parent)) return parent == streamName;
    const IHeatIntegrationStream* stream = chain::StreamOf(node);
    return stream && stream->GetName() == streamName;
}
}  // namespace

// A block is found through its stream, never by its name alone, which a unit may bear. The block
// almost always bears "<stream><suffix>" and is answered at once; only a stream whose block had
// to take another name (or a stream the design does not hold) costs a walk over the nodes.
CNode* CPIHENDesign::StreamBlock(const CPString& streamName, const char* suffix) const {
    if (!m_sheet || streamName.empty()) return nullptr;
    const bool end = std::string_view(suffix) == "End";
    CNode* named = m_sheet->getNode(streamName + suffix);
    if (named && isBlockOf(named, end, streamName)) return named;
    for (CNode* node : m_sheet->getAllNodesOfType(end ? NodeKind::ProductBlock : NodeKind::FeedBlock))
        if (isBlockOf(node, end, streamName)) return node;
    return nullptr;
}

// Constant time for a stream whose block name is free, as nearly every one is: a table of many
// streams adds each at the cost of a look-up.
CPString CPIHENDesign::FreeBlockName(const CPString& streamName, const char* suffix) const {
    const CPString wanted = streamName + suffix;
    CPString name = wanted;
    for (int n = 2; m_sheet->getNode(name); ++n) name = wanted + "_" + std::to_string(n);
    return name;
}

int CPIHENDesign::RenameStream(const CPString& oldName, const CPString& newName) {
    if (oldName == newName) return 1;
    // Every piece of the stream carries its name; a rename is rare beside the edits, so it walks
    // the flowsheet once rather than keeping a second index of pieces by stream.
    for (CNode* node : m_sheet->getAllNodes()) {
        CPString parent;
        if (node->getVariableAsString(NodeValue::ParentStream, parent) && parent == oldName)
            node->addVariable(NodeValue::ParentStream, newName, ValueStatus::Specified);
    }
    // The blocks now say they belong to the new name; each takes the new name's block name, or a
    // free one where a unit bears it.
    for (const char* suffix : {"Start", "End"}) {
        CNode* block = StreamBlock(newName, suffix);
        if (block && block->getName() != newName + suffix) m_sheet->renameNode(block, FreeBlockName(newName, suffix));
    }
    // A utility's load is kept under its name: it moves with the name, so loads, costs and the
    // record stay right without a recalculation.
    for (auto* loads : {&m_utilityLoads, &m_parkedLoads}) {
        const auto load = loads->find(oldName);
        if (load == loads->end()) continue;
        const double value = load->second;
        loads->erase(load);
        (*loads)[newName] = value;
    }
    RenameOperatingTarget(oldName, newName, true);
    // The caller's old name may be the stream's own, which the notice's receivers must still see.
    const CPString previous = oldName;
    const auto it = m_unitsByStream.find(previous);
    const bool hasUnits = it != m_unitsByStream.end();
    if (hasUnits) {
        std::vector<CNode*> units = std::move(it->second);
        m_unitsByStream.erase(it);
        m_unitsByStream[newName] = std::move(units);
    }
    // A stream without units is still shown, chosen and hidden by name in the views.
    CPString newText = newName;
    SendAMessage(CodeStreamRenamed, previous, newText.data());
    if (!hasUnits) return 1;
    // Sub-networks, loops and paths are named after their streams and exchangers.
    RunStructureAnalysis();
    return 1;
}

void CPIHENDesign::SetStreamEndTemperatures(IHeatIntegrationStream* stream) {
    if (!stream) return;
    if (CNode* start = StreamBlock(stream->GetName(), "Start")) {
        setTemperature(start, stream->GetSupplyTemperature());
        if (CNode* first = AsStreamNode(start->getIthDownStreamNode(0)))
            setTemperature(first, stream->GetSupplyTemperature());
    }
    if (CNode* end = StreamBlock(stream->GetName(), "End")) {
        setTemperature(end, stream->GetTargetTemperature());
        if (CNode* last = AsStreamNode(end->getIthUpStreamNode(0))) setTemperature(last, stream->GetTargetTemperature());
    }
}

// ---------------------------------------------------------------- journalled editing steps

void CPIHENDesign::BeginJournal() { m_journal = std::make_unique<Journal>(); }

void CPIHENDesign::CommitJournal() {
    if (!m_journal) return;
    std::unique_ptr<Journal> done = std::move(m_journal);
    for (CNode* node : done->pendingDeletes) m_sheet->deleteNode(node);
}

void CPIHENDesign::RollBackJournal() {
    if (!m_journal) return;
    std::unique_ptr<Journal> done = std::move(m_journal);
    for (auto it = done->undo.rbegin(); it != done->undo.rend(); ++it) (*it)();
}

CNode* CPIHENDesign::NewNode(const char* kind, IHeatIntegrationStream* stream) {
    CNode* node = CreateNode(kind, stream);
    if (node && m_journal) m_journal->undo.push_back([this, node] { m_sheet->deleteNode(node); });
    return node;
}

bool CPIHENDesign::Connect(CNode* up, CNode* down, int upSlot, int downSlot) {
    if (!m_sheet->connectNodes(up, down, upSlot, downSlot)) return false;
    if (m_journal) m_journal->undo.push_back([this, up, down] { m_sheet->disconnectNodes(up, down); });
    // An exchanger names the segments at its ports: a segment joined to a port takes that name
    // over, whichever edit joined it (another unit's edit may hand the port a new segment).
    if (chain::IsExchanger(up) && chain::IsSegment(down))
        SetText(up, ExchangerPort::Name(2 * up->downStreamSlotOf(down) + 1), down->getName());
    if (chain::IsExchanger(down) && chain::IsSegment(up))
        SetText(down, ExchangerPort::Name(2 * down->upStreamSlotOf(up)), up->getName());
    return true;
}

bool CPIHENDesign::Disconnect(CNode* up, CNode* down) {
    if (!up || !down) return false;
    const int upSlot = up->downStreamSlotOf(down);
    const int downSlot = down->upStreamSlotOf(up);
    if (!m_sheet->disconnectNodes(up, down)) return false;
    if (m_journal)
        m_journal->undo.push_back(
            [this, up, down, upSlot, downSlot] { m_sheet->connectNodes(up, down, upSlot, downSlot); });
    return true;
}

void CPIHENDesign::RemoveNode(CNode* node) {
    if (!node) return;
    if (!m_journal) {
        m_sheet->deleteNode(node);
        return;
    }
    for (CNode* up : node->getAllUpStreamNodes()) Disconnect(up, node);
    for (CNode* down : node->getAllDownStreamNodes()) Disconnect(node, down);
    m_journal->pendingDeletes.push_back(node);
}

namespace {
std::function<void()> restoreValue(CNode* node, const char* name) {
    const CPString key = name;
    if (const CPValue* old = node->findValue(key)) {
        CPValue copy = *old;
        return [node, key, copy] {
            if (CPValue* v = node->findValue(key)) *v = copy;
        };
    }
    return [node, key] { node->removeVariable(key); };
}
}  // namespace

void CPIHENDesign::SetText(CNode* node, const char* name, const CPString& text) {
    if (m_journal) m_journal->undo.push_back(restoreValue(node, name));
    node->addVariable(name, text, ValueStatus::Specified);
}

void CPIHENDesign::SetNumber(CNode* node, const char* name, double value, int status) {
    if (m_journal) m_journal->undo.push_back(restoreValue(node, name));
    node->addVariable(name, value, status);
}

void CPIHENDesign::IndexUnit(IHeatIntegrationStream* stream, CNode* unit) {
    UpdateStreamIndex(5, stream, unit);
    if (m_journal) m_journal->undo.push_back([this, stream, unit] { UpdateStreamIndex(6, stream, unit); });
}

void CPIHENDesign::UnindexUnit(IHeatIntegrationStream* stream, CNode* unit) {
    if (!stream) return;
    std::vector<CNode*>* units = UnitsOf(stream->GetName());
    if (!units) return;
    const auto it = std::find(units->begin(), units->end(), unit);
    if (it == units->end()) return;
    const std::size_t position = static_cast<std::size_t>(it - units->begin());
    units->erase(it);
    if (m_journal)
        m_journal->undo.push_back([this, stream, unit, position] {
            std::vector<CNode*>& list = m_unitsByStream[stream->GetName()];
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(position, list.size())), unit);
        });
}

// Network editing: the stream-match check, attaching and detaching one side of an exchanger,
// stepping along a stream, and adding, deleting and moving exchangers.
#include "eng/design/HENDesign.h"

#include "dunmor/Exceptions.h"
#include "eng/design/HENDesignChain.h"
#include "lumeth/MessageKey.h"
#include "lumeth/NewRowMarker.h"
#include "pellin/HeatExch.h"
#include "pellin/UnitNodes.h"

#include <algorithm>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;

bool isHeaterMixerOrTee(const CNode* n) { return IsPlaceholder(n) || IsMixer(n) || IsTee(n); }

// The word a change-log line names a unit by.
const char* unitWord(CNode* unit) {
    if (HeatExch* exchanger = AsHeatExch(unit)) {
        if (exchanger->IsHeater()) return "Heater ";
        if (exchanger->IsCooler()) return "Cooler ";
        return "Heat exchanger ";
    }
    // A placeholder stands for the heater of a cold stream or the cooler of a hot one.
    IHeatIntegrationStream* stream = StreamOf(Before(unit));
    if (stream && stream->GetHotCold() == 1) return "Heater ";
    if (stream && stream->GetHotCold() == 0) return "Cooler ";
    return "Heat exchanger ";
}

CPString unitName(const CNode* unit) {
    CPString name;
    unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

int operationType(HeatExch* exchanger) { return exchanger->IsHeater() ? 1 : exchanger->IsCooler() ? 2 : 3; }

bool hasReason(const char* reason) { return reason && *reason; }
}  // namespace

// ---------------------------------------------------------------- match check

const char* CPIHENDesign::CheckStreamMatch(CNode* a, CNode* b) const {
    if (!a || !b) return MessageKey("NodesUndefined");
    if (!IsSegment(a) || !IsSegment(b)) return MessageKey("NodesUnDefined");
    IHeatIntegrationStream* sa = StreamOf(a);
    IHeatIntegrationStream* sb = StreamOf(b);
    if (!sa || !sb) return MessageKey("StreamUndefined");
    if (sa->IsLinkedTo(sb->GetName())) return MessageKey("StreamsForbiddenToMatch");
    if (IsUtilityStream(sa) && IsUtilityStream(sb)) return MessageKey("StreamsAreBothUtilitites");
    if (!sa->AreDesignSegmentsComplete() || !sb->AreDesignSegmentsComplete()) return MessageKey("StreamsUnDefined");
    const int h1 = sa->GetHotCold(), h2 = sb->GetHotCold();
    if (h1 != 2 && h2 != 2 && h1 != h2) return nullptr;
    if (h1 == 0 && h2 == 0) return MessageKey("StreamsBothHot");
    if (h1 == 1 && h2 == 1) return MessageKey("StreamsBothCold");
    return MessageKey("StreamsUnDefined");
}

bool CPIHENDesign::CanMatchStreams(CNode* a, CNode* b) const {
    if (!a || !b || IsEditLocked()) return false;
    return CheckStreamMatch(a, b) == nullptr;
}

// ---------------------------------------------------------------- attach, detach, step

bool CPIHENDesign::AttachExchangerSide(CNode* segment, CNode* unit) {
    HeatExch* exchanger = AsHeatExch(unit);
    IHeatIntegrationStream* stream = StreamOf(segment);
    if (!exchanger || !IsSegment(segment) || !stream) return false;
    const std::vector<CNode*> outlets = unit->getAllDownStreamNodes();
    if (outlets.size() >= 2) return false;
    if (outlets.size() == 1 && CheckStreamMatch(outlets.front(), segment)) return false;
    const int side = stream->GetHotCold();
    if ((side != 0 && side != 1) || exchanger->getIthUpStreamNode(side) || exchanger->getIthDownStreamNode(side))
        return false;

    CNode* s = segment;
    CNode* a = Before(s);
    CNode* b = After(s);
    if (IsPlaceholder(a)) {
        s = Before(a);
        if (!IsSegment(s)) return false;
        b = a;
    }
    bool ok = true;
    // Replaces the link up -> down by up, chain..., down; the two ends keep their slots, and an
    // exchanger inside the chain is joined at this side.
    auto insert = [&](CNode* up, CNode* down, std::initializer_list<CNode*> middle) {
        if (!up || !down) return false;
        const int upSlot = up->downStreamSlotOf(down), downSlot = down->upStreamSlotOf(up);
        if (upSlot < 0 || downSlot < 0 || !Disconnect(up, down)) return false;
        CNode* previous = up;
        int previousSlot = upSlot;
        bool linked = true;
        for (CNode* n : middle) {
            linked = linked && n && Connect(previous, n, previousSlot, n == unit ? side : -1);
            previousSlot = n == unit ? side : -1;
            previous = n;
        }
        return linked && Connect(previous, down, previousSlot, downSlot);
    };
    if (!isHeaterMixerOrTee(b)) {
        CNode* p = NewNode(NodeKind::Heater, stream);
        CNode* s2 = NewNode(NodeKind::MaterialStream, stream);
        if (!IsProductBlock(b)) {
            ok = insert(s, b, {p, s2});
            b = p;
        } else {
            ok = insert(a, s, {s2, p});
            s = s2;
            b = p;
        }
    }
    if (!ok) return false;
    CNode* before = NewNode(NodeKind::Heater, stream);
    CNode* in = NewNode(NodeKind::MaterialStream, stream);
    CNode* out = NewNode(NodeKind::MaterialStream, stream);
    ok = insert(s, b, {before, in, unit, out});
    if (!ok) return false;
    SetText(unit, ExchangerPort::Name(2 * side), in->getName());
    SetText(unit, ExchangerPort::Name(2 * side + 1), out->getName());
    IndexUnit(stream, unit);
    return true;
}

bool CPIHENDesign::DetachExchangerSide(CNode* inlet) {
    CNode* unit = After(inlet);
    IHeatIntegrationStream* stream = StreamOf(inlet);
    if (!IsSegment(inlet) || !(IsExchanger(unit) || IsPlaceholder(unit))) return false;
    HeatExch* exchanger = AsHeatExch(unit);
    const int side = exchanger ? exchanger->upStreamSlotOf(inlet) : 0;
    CNode* outlet = exchanger ? exchanger->getIthDownStreamNode(side) : After(unit);
    if (!outlet) return false;

    UnindexUnit(stream, unit);
    CNode* p = NewNode(NodeKind::Heater, stream);
    bool ok = p && Disconnect(inlet, unit) && Disconnect(unit, outlet) && Connect(inlet, p) && Connect(p, outlet);
    if (!ok) return false;

    CNode* in = inlet;
    CNode* p0 = Before(in);
    if (IsPlaceholder(p0)) {
        CNode* x = Before(p0);
        const int slot = x ? x->downStreamSlotOf(p0) : -1;
        RemoveNode(in);
        RemoveNode(p0);
        ok = x && Connect(x, p, slot, 0);
        in = x;
        if (!ok) return false;
    }
    if (IsMixer(Before(in)) && in->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified)
        SetNumber(in, NodeValue::Temperature, kEmpty, ValueStatus::Open);

    CNode* next = After(outlet);
    auto joinOver = [&](CNode* from, CNode* to, CNode* drop1, CNode* drop2) {
        const int slot = to ? to->upStreamSlotOf(drop2 == outlet ? outlet : p) : -1;
        RemoveNode(drop1);
        RemoveNode(drop2);
        return from && to && Connect(from, to, -1, slot);
    };
    if (isHeaterMixerOrTee(next)) return joinOver(in, next, p, outlet);
    const std::vector<CNode*>* units = stream ? UnitsOf(stream->GetName()) : nullptr;
    const bool unitsLeft = units && !units->empty();
    if (!IsUtilityStream(stream) || !unitsLeft) return true;
    if (IsFeedBlock(Before(in)) || !IsProductBlock(next)) return joinOver(in, next, p, outlet);
    CNode* beforeIn = Before(in);
    const int slot = outlet->upStreamSlotOf(p);
    RemoveNode(p);
    RemoveNode(in);
    return beforeIn && Connect(beforeIn, outlet, -1, slot < 0 ? 0 : slot);
}

CNode* CPIHENDesign::StepAlongStream(CNode* node, int steps, int direction, CNode* reference) const {
    for (int i = 0; i < steps && node; ++i) {
        if (HeatExch* exchanger = AsHeatExch(node)) {
            const int side = exchanger->sideOf(reference);
            if (side < 0) return nullptr;
            node = direction ? exchanger->getIthDownStreamNode(side) : exchanger->getIthUpStreamNode(side);
        } else {
            node = direction ? node->getIthDownStreamNode(0) : node->getIthUpStreamNode(0);
        }
        if (IsSegment(node)) reference = node;
    }
    return node;
}

// ---------------------------------------------------------------- exchangers

CNode* CPIHENDesign::AddHeatExchanger(CNode* a, CNode* b, const char* reason, const char* kind, const char* name) {
    // A network locked for operation, and the existing network of a retrofit, keep their
    // structure, as for every other edit (CanMatchStreams answers the same).
    if (IsEditLocked() || CheckStreamMatch(a, b) || !Owns(a) || !Owns(b)) return nullptr;
    const CPString exchangerKind = kind && *kind ? kind : NodeKind::HeatExchanger;
    if (exchangerKind != NodeKind::HeatExchanger && exchangerKind != NodeKind::CountercurrentHX) return nullptr;
    CNode* unit = nullptr;
    if (name && *name) {
        // The lists' new-row marker is no unit's name, as on a rename.
        if (IsNewRowMarker(name) || IsUnitNameTaken(name) || !FreeNodeName(name, nullptr)) return nullptr;
        unit = m_sheet->addNode(FlowSheet::CreateNode(exchangerKind, name));
        if (unit) unit->addVariable(NodeValue::UnitOperationName, name, ValueStatus::Specified);
    } else {
        unit = CreateNode(exchangerKind, nullptr);
    }
    if (!unit) return nullptr;

    BeginJournal();
    const bool attached = AttachExchangerSide(a, unit) && AttachExchangerSide(b, unit);
    if (!attached) {
        Exceptions::Assert("eng/hendesign", 2979, "!\"CPIHENDesign::AddHeatExchanger failed\"");
        // A half-connected exchanger would leave one stream's chain broken: undo every step of
        // the edit and answer the failure.
        RollBackJournal();
        m_sheet->deleteNode(unit);
        return nullptr;
    }
    CommitJournal();

    AssignExchangerCostModel(unit);
    m_exchangers.push_back(unit);
    HeatExch* exchanger = AsHeatExch(unit);
    if (exchanger->IsHeater()) {
        RemoveUtilityAtPort(unit, 0);
        RemoveUtilityAtPort(unit, 1);
    } else if (exchanger->IsCooler()) {
        RemoveUtilityAtPort(unit, 2);
        RemoveUtilityAtPort(unit, 3);
    }
    unit->addVariable("HeatExchangerOperationType", operationType(exchanger), ValueStatus::Specified);
    if (hasReason(reason)) AddToChangeLog(unitWord(unit) + unitName(unit) + " is added " + reason);
    CPString label = unitName(unit);
    SendAMessage(CodeExchangerAdded, unit->getName(), label.data());
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return unit;
}

bool CPIHENDesign::DeleteHeatExchanger(CNode* unit, const char* reason) {
    if (!Owns(unit) || IsEditLocked() || !(IsExchanger(unit) || IsPlaceholder(unit))) return false;
    const char* word = unitWord(unit);
    const CPString label = unitName(unit);
    // The exchangers that follow the unit directly on a process stream: the detach leaves a
    // utility at their inlets where the unit was.
    std::vector<std::pair<CNode*, int>> followers;
    for (int side = 0; side < unit->getNumberOfDownStreamSlots(); ++side) {
        CNode* outlet = unit->getIthDownStreamNode(side);
        HeatExch* next = AsHeatExch(After(outlet));
        if (next && IsSegment(outlet) && !IsUtilityStream(StreamOf(outlet)))
            followers.emplace_back(next, 2 * next->upStreamSlotOf(outlet));
    }
    bool ok = true;
    for (CNode* inlet = unit->getFirstUpStreamNode(); inlet && ok; inlet = unit->getFirstUpStreamNode())
        ok = DetachExchangerSide(inlet);
    if (ok && hasReason(reason)) AddToChangeLog(word + label + " is deleted " + reason);
    m_exchangers.erase(std::remove(m_exchangers.begin(), m_exchangers.end(), unit), m_exchangers.end());
    // The retrofit's texts name the unit it added and the one it moved: a unit deleted is named
    // no more, nor is one a user later gives its name.
    if (!label.empty() && m_textB == label) m_textB = CPString();
    if (!label.empty() && m_textC == label) m_textC = CPString();
    const CPString nodeName = unit->getName();
    m_sheet->deleteNode(unit);
    // A second free utility on a stream would leave its balance one value short: the utility left
    // at the next exchanger goes when the design allows it there and the network keeps a degree
    // of freedom to lose (taking a utility and its segment out always removes exactly one), and
    // the stream's other free utility takes the deleted unit's duty over. One recalculation
    // follows the whole edit.
    const bool wasActive = m_active;
    Deactivate();
    for (const auto& [next, port] : followers)
        if (ok && port >= 0 && Owns(next) && CanRemoveUtilityAtPort(next, port) && GetDegreesOfFreedom() > 0)
            RemoveUtilityAtPort(next, port);
    m_active = wasActive;
    CPString data = label;
    if (!nodeName.empty()) SendAMessage(CodeExchangerDeleted, nodeName, data.data());
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return ok;
}

bool CPIHENDesign::MoveHeatExchangerSide(CNode* unit, CNode* from, CNode* to, const char* reason) {
    HeatExch* exchanger = AsHeatExch(unit);
    if (!exchanger || !Owns(unit) || !Owns(to) || IsEditLocked() || !IsSegment(from) || !IsSegment(to)) return false;
    if (to == from) return true;
    const int side = exchanger->sideOf(from);
    if (side < 0) return false;
    CNode* inlet = exchanger->getInlet(side);
    CNode* other = exchanger->getInlet(1 - side);
    if (!inlet) return false;
    if (to == inlet) return true;
    if (CheckStreamMatch(other, to)) return false;
    IHeatIntegrationStream* oldStream = StreamOf(inlet);
    IHeatIntegrationStream* newStream = StreamOf(to);

    // Both steps or neither: a side detached but not attached again would leave the exchanger
    // half in the network.
    BeginJournal();
    if (!DetachExchangerSide(inlet) || !AttachExchangerSide(to, unit)) {
        RollBackJournal();
        return false;
    }
    CommitJournal();
    if (IsUtilityStream(newStream)) {
        const int first = newStream->GetHotCold() == 1 ? 2 : 0;
        RemoveUtilityAtPort(unit, first);
        RemoveUtilityAtPort(unit, first + 1);
    }
    // The exchanger's role follows its new streams.
    unit->addVariable("HeatExchangerOperationType", operationType(exchanger), ValueStatus::Specified);
    if (hasReason(reason)) {
        CPString line = newStream->GetHotCold() == 0 ? "Hot side of " : "Cold side of ";
        line += unitWord(unit) + unitName(unit) + " is moved from stream " + oldStream->GetName() + " to stream " +
                newStream->GetName() + " " + reason;
        AddToChangeLog(line);
    }
    if (!unit->getName().empty()) SendAMessage(CodeExchangerMoved, unit->getName(), this);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return true;
}

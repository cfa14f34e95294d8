// Utilities at exchanger ports and after mixers: whether a port is free, whether a utility may be
// added or removed there, and the edits themselves.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <initializer_list>

using namespace chain;

namespace {
bool isPortUnit(const CNode* n) { return IsExchanger(n) || IsPlaceholder(n) || IsMixer(n); }
bool isInletPort(int port) { return port == 0 || port == 2; }

std::vector<CNode*> distinctNodes(std::initializer_list<CNode*> nodes) {
    std::vector<CNode*> out;
    for (CNode* n : nodes)
        if (n && std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
    return out;
}
}  // namespace

int CPIHENDesign::localCount(const std::vector<CNode*>& nodes) const {
    int n = 0;
    for (CNode* node : nodes) n += DegreesOfFreedomAt(node);
    return n;
}

CNode* CPIHENDesign::PortSegment(CNode* unit, int port) const {
    if (IsMixer(unit)) return After(unit);
    if (port < 0 || port > 3) return nullptr;
    if (HeatExch* exchanger = AsHeatExch(unit)) {
        const int side = port / 2;
        return isInletPort(port) ? exchanger->getInlet(side) : exchanger->getOutlet(side);
    }
    if (IsPlaceholder(unit)) return isInletPort(port) ? Before(unit) : After(unit);
    return nullptr;
}

CNode* CPIHENDesign::PortNeighbour(CNode* unit, int port) const {
    CNode* segment = PortSegment(unit, port);
    if (!segment) return nullptr;
    return !IsMixer(unit) && isInletPort(port) ? Before(segment) : After(segment);
}

bool CPIHENDesign::IsPortFreeOfUtility(CNode* unit, int port) const {
    if (!isPortUnit(unit) || (!IsMixer(unit) && port > 3)) return false;
    CNode* neighbour = PortNeighbour(unit, port);
    return neighbour && !IsPlaceholder(neighbour);
}

bool CPIHENDesign::CanAddUtilityAtPort(CNode* unit, int port) const {
    if (!unit || IsEditLocked() || !(IsExchanger(unit) || IsPlaceholder(unit)) || port < 0 || port > 3) return false;
    if (IsPlaceholder(PortNeighbour(unit, port))) return true;
    CNode* segment = PortSegment(unit, port);
    if (!segment) return false;
    if (IsUtilityStream(StreamOf(segment))) return false;
    if (isInletPort(port)) return true;
    CNode* next = After(segment);
    return !IsTee(next) && !IsMixer(next);
}

bool CPIHENDesign::AddUtilityAtPort(CNode* unit, int port) {
    if (!Owns(unit) || IsEditLocked() || !isPortUnit(unit) || (!IsMixer(unit) && (port < 0 || port > 3))) return false;
    if (IsPlaceholder(PortNeighbour(unit, port))) return true;
    CNode* x = PortSegment(unit, port);
    IHeatIntegrationStream* stream = StreamOf(x);
    if (!x || !stream) return false;
    const bool inlet = !IsMixer(unit) && isInletPort(port);
    CNode* up = inlet ? x : unit;
    CNode* down = inlet ? unit : x;
    const int upSlot = up->downStreamSlotOf(down), downSlot = down->upStreamSlotOf(up);
    CNode* segment = CreateNode(NodeKind::MaterialStream, stream);
    CNode* placeholder = CreateNode(NodeKind::Heater, stream);
    bool ok = segment && placeholder && m_sheet->disconnectNodes(up, down);
    if (inlet)  // X, U becomes X, P, S, U
        ok = ok && m_sheet->connectNodes(x, placeholder, upSlot, 0) && m_sheet->connectNodes(placeholder, segment) &&
             m_sheet->connectNodes(segment, unit, 0, downSlot);
    else  // U, X becomes U, S, P, X
        ok = ok && m_sheet->connectNodes(unit, segment, upSlot, 0) && m_sheet->connectNodes(segment, placeholder) &&
             m_sheet->connectNodes(placeholder, x, 0, downSlot);
    if (ok && IsExchanger(unit)) unit->addVariable(ExchangerPort::Name(port), segment->getName(), ValueStatus::Specified);
    ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    return ok;
}

bool CPIHENDesign::RemoveUtilityAtPort(CNode* unit, int port) {
    if (!Owns(unit) || IsEditLocked() || !isPortUnit(unit) || (!IsMixer(unit) && (port < 0 || port > 3))) return false;
    CNode* placeholder = PortNeighbour(unit, port);
    if (!IsPlaceholder(placeholder)) return true;
    CNode* x = PortSegment(unit, port);
    const bool inlet = !IsMixer(unit) && isInletPort(port);
    CNode* y = inlet ? Before(placeholder) : After(placeholder);
    if (!IsSegment(y)) return false;
    // The segment that stays takes over a temperature the removed one carried, unless it has its
    // own specification.
    const int xStatus = x->getVariableStatus(NodeValue::Temperature);
    if (xStatus != ValueStatus::Open && y->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified) {
        double t = 0.0;
        if (x->getVariableAsDouble(NodeValue::Temperature, t)) y->addVariable(NodeValue::Temperature, t, xStatus);
    }
    const int unitSlot = inlet ? unit->upStreamSlotOf(x) : unit->downStreamSlotOf(x);
    m_sheet->deleteNode(placeholder);
    m_sheet->deleteNode(x);
    const bool ok = inlet ? m_sheet->connectNodes(y, unit, 0, unitSlot) : m_sheet->connectNodes(unit, y, unitSlot, 0);
    if (IsExchanger(unit)) unit->addVariable(ExchangerPort::Name(port), y->getName(), ValueStatus::Specified);
    ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    return ok;
}

// Takes the placeholder and the port's own segment (the one between it and the unit) out of the
// chain for a moment, as the removal does, the segment that stays taking over a temperature the
// removed one carried, and answers whether the network is still not over-specified; the chain is
// put back exactly. Given the network's count as it stands, only the nodes the trial touches are
// counted again.
bool CPIHENDesign::RemovePlaceholderTrial(CNode* placeholder, CNode* gone, const int* degreesOfFreedom) {
    CNode* before = Before(placeholder);
    CNode* after = After(placeholder);
    if (!IsSegment(before) || !IsSegment(after) || (gone != before && gone != after)) return false;
    if (before->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified &&
        after->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified)
        return false;
    const bool goneFirst = gone == before;
    CNode* kept = goneFirst ? after : before;
    // The unit on the far side of the segment that goes.
    CNode* unit = goneFirst ? Before(gone) : After(gone);
    std::unique_ptr<Journal> outer = std::move(m_journal);
    BeginJournal();
    const std::vector<CNode*> touched = distinctNodes({kept, placeholder, gone, unit});
    const int untouched = degreesOfFreedom ? *degreesOfFreedom - localCount(touched) : 0;
    const int goneStatus = gone->getVariableStatus(NodeValue::Temperature);
    double t = 0.0;
    if (goneStatus != ValueStatus::Open && kept->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified &&
        gone->getVariableAsDouble(NodeValue::Temperature, t))
        SetNumber(kept, NodeValue::Temperature, t, goneStatus);
    if (goneFirst) {
        const int slot = unit ? unit->downStreamSlotOf(gone) : -1;
        Disconnect(placeholder, kept);
        Disconnect(gone, placeholder);
        if (unit) {
            Disconnect(unit, gone);
            Connect(unit, kept, slot, 0);
        }
    } else {
        const int slot = unit ? unit->upStreamSlotOf(gone) : -1;
        Disconnect(kept, placeholder);
        Disconnect(placeholder, gone);
        if (unit) {
            Disconnect(gone, unit);
            Connect(kept, unit, 0, slot);
        }
    }
    // The segment that goes is no longer part of the network, though it is still in the flowsheet.
    const int count = degreesOfFreedom ? untouched + localCount(distinctNodes({kept, placeholder, unit}))
                                       : GetDegreesOfFreedom() - DegreesOfFreedomAt(gone);
    RollBackJournal();
    m_journal = std::move(outer);
    return count >= 0;
}

bool CPIHENDesign::CanRemoveUtilityAtPort(CNode* unit, int port) { return CanRemoveUtilityAtPort(unit, port, nullptr); }

bool CPIHENDesign::CanRemoveUtilityAtPort(CNode* unit, int port, const int* degreesOfFreedom) {
    if (!Owns(unit) || IsEditLocked() || !(IsExchanger(unit) || IsPlaceholder(unit)) || port < 0 || port > 3) return false;
    CNode* placeholder = PortNeighbour(unit, port);
    if (!IsPlaceholder(placeholder)) return true;
    CNode* segment = PortSegment(unit, port);
    if (IsUtilityStream(StreamOf(segment))) return false;
    return RemovePlaceholderTrial(placeholder, segment, degreesOfFreedom);
}

// The network's freedom is counted once; each removal changes it only at the placeholder and the
// segment that go and at the unit and segment that are joined, so the count follows them there.
// While the design is active a removal recalculates it, and the count is then taken afresh.
int CPIHENDesign::RemoveUtilitiesAtPorts(const std::vector<std::pair<CNode*, int>>& ports) {
    int degreesOfFreedom = GetDegreesOfFreedom();
    int removed = 0;
    for (const auto& [unit, port] : ports) {
        if (!CanRemoveUtilityAtPort(unit, port, &degreesOfFreedom)) continue;
        CNode* placeholder = PortNeighbour(unit, port);
        if (!IsPlaceholder(placeholder)) continue;
        CNode* x = PortSegment(unit, port);
        const bool inlet = !IsMixer(unit) && isInletPort(port);
        CNode* y = inlet ? Before(placeholder) : After(placeholder);
        const int before = localCount(distinctNodes({unit, placeholder, x, y}));
        const bool ok = RemoveUtilityAtPort(unit, port);
        // A removal that went through has deleted the placeholder and the segment beside the unit.
        if (ok && !m_active)
            degreesOfFreedom += localCount(distinctNodes({unit, y})) - before;
        else
            degreesOfFreedom = GetDegreesOfFreedom();
        removed += ok ? 1 : 0;
    }
    return removed;
}

bool CPIHENDesign::CanAddUtilityAfterMixer(CNode* mixer) const {
    if (!mixer || IsEditLocked() || !IsMixer(mixer)) return false;
    CNode* segment = After(mixer);
    if (!segment) return false;
    CNode* next = After(segment);
    if (IsPlaceholder(next)) return true;
    if (IsUtilityStream(StreamOf(segment))) return false;
    return !next || !IsTee(next);
}

bool CPIHENDesign::CanRemoveUtilityAfterMixer(CNode* mixer) {
    if (!Owns(mixer) || IsEditLocked() || !IsMixer(mixer)) return false;
    CNode* segment = After(mixer);
    if (IsUtilityStream(StreamOf(segment))) return false;
    CNode* placeholder = After(segment);
    if (!IsPlaceholder(placeholder)) return true;
    return RemovePlaceholderTrial(placeholder, segment);
}

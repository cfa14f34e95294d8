// Utility placement: utilities for over-specified exchangers and at the ends of streams while the
// network is over-specified, removal of utilities after mixers, moving a utility exchanger to
// the end of a stream, renaming a unit, and split fractions from branch duties. Every change goes
// through the design's own editing operations, so it is checked and recalculated as an edit.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/UnitNodes.h"
#include "lumeth/NewRowMarker.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

using namespace chain;

namespace {
constexpr const char* kSpecStatus = NodeValue::SpecStatus;
constexpr int kOverSpecified = 2;

// The ports, in the order tried, at which an over-specified exchanger takes a utility.
std::vector<int> utilityPortOrder(HeatExch* exchanger) {
    if (exchanger->IsHeater()) return {2, 3};
    if (exchanger->IsCooler()) return {0, 1};
    return {0, 1, 3, 2};
}

bool readDuty(const CNode* unit, double& duty) {
    return unit->getVariableStatus(NodeValue::Duty) != ValueStatus::Open &&
           unit->getVariableAsDouble(NodeValue::Duty, duty);
}
}  // namespace

bool CPIHENDesign::IsOverSpecified(CNode* unit) {
    double status = 0.0;
    if (unit->getVariableAsDouble(kSpecStatus, status) && static_cast<int>(status) == kOverSpecified) return true;
    // The exchanger model reports the same finding as its calculation status.
    HeatExch* exchanger = AsHeatExch(unit);
    return exchanger && exchanger->getStatus() == ExchangerStatus::OverSpecified;
}

void CPIHENDesign::AddMissingUtilities() {
    if (IsEditLocked()) return;
    // Each added utility recalculates the network, which may settle the next exchanger as well:
    // every exchanger is judged as the network stands when its turn comes.
    const std::vector<CNode*> exchangers = m_exchangers;
    for (CNode* unit : exchangers) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || !IsOverSpecified(unit)) continue;
        for (int port : utilityPortOrder(exchanger))
            if (IsPortFreeOfUtility(unit, port) && CanAddUtilityAtPort(unit, port)) {
                AddUtilityAtPort(unit, port);
                break;
            }
    }
}

void CPIHENDesign::RemoveUtilitiesAfterMixers() {
    for (CNode* mixer : m_sheet->getAllNodesOfType(NodeKind::Mixer)) RemoveUtilityAtPort(mixer, 0);
}

int CPIHENDesign::AddUtilitiesAtStreamEnds() {
    int dof = GetDegreesOfFreedom();
    if (dof >= 0 || IsEditLocked()) return dof;
    // One recalculation for the whole pass. A utility added at a port brings one segment with
    // an open temperature (one degree of freedom), so the count is kept up as utilities go in
    // rather than recounted over the network for every stream.
    const bool wasActive = m_active;
    Deactivate();
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        CNode* last = Before(end);
        IHeatIntegrationStream* stream = StreamOf(last);
        if (!IsSegment(last) || !stream || m_utilityLoads.count(stream->GetName())) continue;
        CNode* unit = Before(last);
        // A split stream that ends at its mixer with its target specified has its branches'
        // units all fixed by it: a utility after the mixer takes what they leave of the load,
        // as one after the last unit does on a stream without a split.
        if (IsMixer(unit)) {
            if (IsUtilityStream(stream) || last->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified ||
                !IsPortFreeOfUtility(unit, 0) || !AddUtilityAtPort(unit, 0))
                continue;
            if (++dof >= 0) break;
            continue;
        }
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger) continue;
        const int port = exchanger->getOutlet(0) == last ? 1 : 3;
        if (!IsPortFreeOfUtility(unit, port) || !AddUtilityAtPort(unit, port)) continue;
        if (last->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified) RemoveUtilityAtPort(unit, port);
        else ++dof;
        if (dof >= 0) break;
    }
    if (wasActive) Activate(1);
    return GetDegreesOfFreedom();
}

int CPIHENDesign::MoveUtilityToStreamEnd(CNode* unit, const CPString& streamName, const char* reason) {
    HeatExch* exchanger = AsHeatExch(unit);
    if (!exchanger || !Owns(unit) || !exchanger->IsUtilityExch()) return 0;
    CNode* target = Before(StreamBlock(streamName, "End"));
    const int side = exchanger->IsHeater() ? 0 : 1;
    CNode* outlet = exchanger->getOutlet(side);
    if (!IsSegment(target) || !outlet || target == outlet) return 0;
    // The splitter the moved side followed, by fingerprint: the move may take nodes out.
    CNode* follower = After(outlet);
    const std::uint32_t teePrint = IsTee(follower) ? follower->getDNAFingerPrint() : 0;
    // The branch of a split utility the side stood on, by the node it came in by.
    CNode* inlet = exchanger->getInlet(side);
    const std::uint32_t branchPrint = inlet && IsTee(Before(inlet)) ? inlet->getDNAFingerPrint() : 0;
    if (!MoveHeatExchangerSide(unit, outlet, target, reason)) return 0;
    // A splitter whose branches are now all empty has nothing left to split.
    CNode* tee = teePrint ? m_sheet->getNodeByFingerPrint(teePrint) : nullptr;
    if (IsTee(tee) && GetSplitterState(tee) == 0) RemoveSplitterMixer(tee, reason);
    // The branch the unit left goes with it: kept empty, it would stay on the old utility as a
    // bypass taking a share of its flow.
    CNode* left = branchPrint ? m_sheet->getNodeByFingerPrint(branchPrint) : nullptr;
    if (left && IsSegment(left) && GetBranchState(left) == 0) RemoveSplitterBranch(left, reason);
    return 1;
}

int CPIHENDesign::MoveUtilityBesideOthers(CNode* unit, const CPString& streamName, const char* reason) {
    HeatExch* exchanger = AsHeatExch(unit);
    if (!exchanger || !Owns(unit) || !exchanger->IsUtilityExch()) return 0;
    // The utilities' splits are named afterwards as the extraction names them, from where their
    // numbers begin now.
    const UtilitySplitNumbers first = FirstUtilitySplitNumbers();
    if (!MoveUtilityToStreamEnd(unit, streamName, reason)) return 0;
    StandBesideOthers(unit, reason);
    NumberUtilitySplits(first);
    return 1;
}

int CPIHENDesign::StandBesideOthers(CNode* unit, const char* reason) {
    HeatExch* exchanger = AsHeatExch(unit);
    if (!exchanger || !Owns(unit) || !exchanger->IsUtilityExch()) return 0;
    const int side = exchanger->IsHeater() ? 0 : 1;
    IHeatIntegrationStream* utility = StreamOf(exchanger->getInlet(side));
    std::vector<CNode*> units = GetExchangersOnStreamSide(utility, side);
    if (!utility || units.size() < 2) return 0;
    // The branches stand in the order the design lists its units: the order they were placed in,
    // whatever order they were moved onto the utility in.
    std::unordered_map<const CNode*, std::size_t> rank;
    for (CNode* u : m_exchangers) rank.emplace(u, rank.size());
    const auto before = [&rank](const CNode* a, const CNode* b) { return rank[a] < rank[b]; };
    std::sort(units.begin(), units.end(), before);
    CNode* trunk = After(StreamBlock(utility->GetName(), "Start"));
    CNode* tee = After(trunk);
    const bool wasActive = m_active;
    Deactivate();
    int placed = 0;
    if (!IsTee(tee)) {
        // Units in series on the utility: each takes a branch of one new split.
        CNode* splitter = nullptr;
        if (IsSegment(trunk) &&
            AddSplitterMixer(trunk, trunk, splitter, reason, static_cast<int>(units.size())) && splitter)
            for (std::size_t k = 0; k < units.size(); ++k)
                if (CNode* branch = GetSplitterBranch(splitter, static_cast<int>(k)))
                    placed |= MoveHeatExchangerSide(units[k], AsHeatExch(units[k])->getInlet(side), branch, nullptr) &&
                              units[k] == unit;
    } else {
        // Split already: the unit of each branch. Where each branch holds one unit of the utility
        // and nothing else, the unit joins them at its place in the order, the units after it
        // each moving one branch on; otherwise it takes a branch after the others.
        CNode* mixer = GetMixerOfSplitter(tee);
        std::vector<CNode*> onBranch;
        bool plain = mixer != nullptr;
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            HeatExch* x = AsHeatExch(After(branch));
            if (x && x->getInlet(side) == branch) onBranch.push_back(After(branch));
            plain = plain && x && x->getInlet(side) == branch && After(x->getOutlet(side)) == mixer;
        }
        // Only this unit takes a branch: the others stand where they stood.
        if (std::find(onBranch.begin(), onBranch.end(), unit) != onBranch.end()) {
            placed = 1;
        } else {
            const std::size_t branches = tee->getAllDownStreamNodes().size();
            const std::size_t at =
                plain ? static_cast<std::size_t>(std::lower_bound(onBranch.begin(), onBranch.end(), unit, before) -
                                                 onBranch.begin())
                      : branches;
            AddSplitterBranch(tee, reason, 1);
            for (std::size_t i = plain ? branches : 0; i > at; --i)
                if (CNode* branch = GetSplitterBranch(tee, static_cast<int>(i)))
                    MoveHeatExchangerSide(onBranch[i - 1], AsHeatExch(onBranch[i - 1])->getInlet(side), branch, nullptr);
            if (CNode* branch = GetSplitterBranch(tee, static_cast<int>(at)))
                placed = MoveHeatExchangerSide(unit, exchanger->getInlet(side), branch, nullptr) ? 1 : 0;
        }
    }
    if (wasActive) Activate(1);
    return placed;
}

int CPIHENDesign::MoveUnitBefore(CNode* unit, CNode* before) {
    const auto from = std::find(m_exchangers.begin(), m_exchangers.end(), unit);
    const auto to = std::find(m_exchangers.begin(), m_exchangers.end(), before);
    if (unit == before || from == m_exchangers.end() || to == m_exchangers.end()) return 0;
    // The flowsheet keeps the order too: the design reads its units back in it.
    if (!m_sheet->moveNodeBefore(unit, before)) return 0;
    if (from < to) std::rotate(from, from + 1, to);
    else std::rotate(to, from, from + 1);
    return 1;
}

int CPIHENDesign::RenameUnit(const CPString& newName, CNode* unit) {
    if (newName.empty() || !unit || !Owns(unit)) return 0;
    // A unit's own name typed again is no change and no clash: done, with nothing to log.
    CPString current;
    if (unit->getVariableAsString(NodeValue::UnitOperationName, current) && current == newName) return 1;
    // Exchangers, tees and mixers share one set of names; the dummies' names are the extraction's,
    // and the new-row marker is the lists' (a unit so named would read as their spare row).
    if (IsUnitNameTaken(newName) || IsReservedUnitName(newName) || IsNewRowMarker(newName.c_str())) return 0;
    // The name is the unit's alone, as when a table names it: a node of the network holding it
    // gives it up.
    if (!FreeNodeName(newName, unit)) return 0;
    CPString oldName;
    unit->getVariableAsString(NodeValue::UnitOperationName, oldName);
    LogRename(oldName, newName);
    unit->addVariable(NodeValue::UnitOperationName, newName, ValueStatus::Specified);
    // The retrofit's texts name the unit it added and the unit it moved: they follow the unit.
    if (!oldName.empty() && m_textB == oldName) m_textB = newName;
    if (!oldName.empty() && m_textC == oldName) m_textC = newName;
    RenameOperatingTarget(oldName, newName, false);
    // Loops, paths and sub-networks are named after their units.
    RunStructureAnalysis();
    SendAMessage(ChangeUnitRenamed, newName, oldName.data());
    return 1;
}

// ---------------------------------------------------------------- split fractions from duties

bool CPIHENDesign::GetBranchDuty(CNode* branch, double& duty) const {
    duty = 0.0;
    CNode* node = branch;
    CNode* reference = branch;
    // Each step moves one node down the branch: the walk ends within the flowsheet's nodes.
    for (int steps = m_sheet->getNumberOfNodes(); node && steps > 0; --steps) {
        if (IsMixer(node)) return true;
        if (IsPlaceholder(node) || IsProductBlock(node)) return false;
        CNode* next = nullptr;
        if (HeatExch* exchanger = AsHeatExch(node)) {
            double d = 0.0;
            if (!readDuty(node, d)) return false;
            duty += d;
            next = exchanger->getDownStreamNode(reference);
        } else if (IsTee(node)) {
            // A split on the branch: its branches together carry its share, and the branch goes
            // on after its mixer.
            CNode* mixer = GetMixerOfSplitter(node);
            if (!mixer) return false;
            for (CNode* inner : node->getAllDownStreamNodes()) {
                double d = 0.0;
                if (!GetBranchDuty(inner, d)) return false;
                duty += d;
            }
            next = mixer->getIthDownStreamNode(0);
        } else {
            next = node->getIthDownStreamNode(0);
        }
        if (IsSegment(next)) reference = next;
        node = next;
    }
    return false;
}

int CPIHENDesign::SetFractionsFromDuties(bool utilitiesOnly) {
    int set = 0;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee)) {
        if (utilitiesOnly && !IsUtilityStream(StreamOf(Before(tee)))) continue;
        const std::vector<CNode*> branches = tee->getAllDownStreamNodes();
        std::vector<double> duties;
        double total = 0.0;
        bool known = !branches.empty();
        for (CNode* branch : branches) {
            double d = 0.0;
            known = known && GetBranchDuty(branch, d);
            duties.push_back(d);
            total += d;
        }
        if (!known || total == 0.0) continue;
        for (std::size_t i = 0; i < branches.size(); ++i)
            if (branches[i]->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified)
                branches[i]->addVariable(NodeValue::SplitFraction, duties[i] / total, ValueStatus::Specified);
        ++set;
    }
    return set;
}

void CPIHENDesign::SetSplitFractionsFromDuties() {
    const bool wasActive = m_active;
    Deactivate();
    SetFractionsFromDuties(false);
    if (wasActive) Activate(1);
}

void CPIHENDesign::SetSplitFractionsFromBranchDuties() {
    SetFractionsFromDuties(true);
    ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
}

// Splitter-mixers and bypasses: inserting a splitter-mixer on a segment, a bypass around a
// stretch of units, adding and removing branches, removing a splitter-mixer with everything on
// its branches, and the states the views ask before offering these edits.
//
// A branch runs from one outlet of the splitter to one inlet of its mixer and starts and ends
// with a segment; the first segment carries the branch's "SplitFraction", its share of the flow
// into the splitter. These edits are not journalled: each step is a plain connect or delete, and
// a failed connection is reported by the edit's answer.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/design/HENState.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/UnitNodes.h"

#include <cmath>
#include <utility>
#include <vector>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;

bool hasReason(const char* reason) { return reason && *reason; }

CPString unitName(const CNode* unit) {
    CPString name;
    if (unit) unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

// The next node along the stream that `reference` (the last segment passed) belongs to: an
// exchanger is crossed on the reference's side, a splitter left by its first branch.
CNode* downstreamOf(CNode* node, CNode* reference) {
    if (HeatExch* x = AsHeatExch(node)) {
        const int side = x->sideOf(reference);
        return side < 0 ? nullptr : x->getIthDownStreamNode(side);
    }
    return node ? node->getIthDownStreamNode(0) : nullptr;
}

CNode* upstreamOf(CNode* node, CNode* reference) {
    if (HeatExch* x = AsHeatExch(node)) {
        const int side = x->sideOf(reference);
        return side < 0 ? nullptr : x->getIthUpStreamNode(side);
    }
    return node ? node->getIthUpStreamNode(0) : nullptr;
}
}  // namespace

// ---------------------------------------------------------------- adding

bool CPIHENDesign::InsertSplitterMixer(CNode* segment, CNode*& splitter, const char* reason, int branches) {
    if (IsEditLocked() || !Owns(segment) || !IsSegment(segment) || branches < 1) return false;
    CNode* s = segment;
    IHeatIntegrationStream* stream = StreamOf(s);
    CNode* a = Before(s);
    // Right after an exchanger whose stretch has no place for a utility yet (the next unit is
    // another exchanger), a placeholder is put in (A, S2, P, S); the splitter-mixer then goes on
    // the segment before the placeholder, as it does when chosen right after one. A stretch that
    // ends at a placeholder, a splitter or a mixer has its place already (as when an exchanger is
    // attached), and a second placeholder there would stand one segment from the first once the
    // splitter-mixer is removed again.
    CNode* next = After(s);
    if (IsExchanger(a) && !IsProductBlock(next) && !IsPlaceholder(next) && !IsTee(next) && !IsMixer(next)) {
        const int slot = a->downStreamSlotOf(s);
        CNode* s2 = NewNode(NodeKind::MaterialStream, stream);
        CNode* p = NewNode(NodeKind::Heater, stream);
        if (!s2 || !p || !Disconnect(a, s) || !Connect(a, s2, slot, -1) || !Connect(s2, p) || !Connect(p, s)) return false;
        a = p;
    }
    if (IsPlaceholder(a)) s = Before(a);
    CNode* b = After(s);
    if (!IsSegment(s) || !b) return false;
    const int bSlot = b->upStreamSlotOf(s);
    CNode* after = NewNode(NodeKind::MaterialStream, stream);
    CNode* tee = NewNode(NodeKind::Tee, nullptr);
    CNode* mixer = NewNode(NodeKind::Mixer, nullptr);
    if (!after || !tee || !mixer || !Disconnect(s, b) || !Connect(after, b, -1, bSlot) || !Connect(s, tee) ||
        !Connect(mixer, after))
        return false;
    AsSplitter(tee)->setAssociatedMixer(AsMixer(mixer));
    AsMixer(mixer)->setAssociatedSplitter(AsSplitter(tee));
    splitter = tee;
    bool ok = true;
    for (int i = 0; i < branches; ++i) {
        CNode* branch = NewNode(NodeKind::MaterialStream, stream);
        if (!branch) return false;
        // Each branch's share is of the flow entering the new splitter, whatever share of the
        // whole stream the segment it stands on carries.
        if (i + 1 < branches) SetNumber(branch, NodeValue::SplitFraction, 1.0 / branches, ValueStatus::Specified);
        ok = Connect(tee, branch) && Connect(branch, mixer) && ok;
    }
    if (!tee->getName().empty()) SendAMessage(CodeSplitterMixerAdded, tee->getName(), this);
    if (hasReason(reason))
        AddToChangeLog("Added splitter-mixer " + unitName(tee) + "-" + unitName(mixer) + " " + reason);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    return ok;
}

bool CPIHENDesign::CanAddBypass(CNode* a, CNode* b) const {
    if (IsEditLocked() || !Owns(a) || !Owns(b) || !IsSegment(a) || !IsSegment(b)) return false;
    if (a == b) return true;
    int depth = 0;
    CNode* reference = a;
    CNode* node = After(a);
    // A walk along a chain meets every node at most once; the bound only guards a broken chain.
    for (int guard = GetNumberOfNodes(); node && guard >= 0; --guard) {
        if (node == b && depth == 0) return true;
        if (IsProductBlock(node)) return false;
        if (IsTee(node)) ++depth;
        if (IsMixer(node) && --depth < 0) return false;
        CNode* next = downstreamOf(node, reference);
        if (IsSegment(node)) reference = node;
        node = next;
    }
    return false;
}

bool CPIHENDesign::AddSplitterMixer(CNode* a, CNode* b, CNode*& splitter, const char* reason, int branches) {
    if (!CanAddBypass(a, b) || branches < 1) return false;
    if (a == b || (IsPlaceholder(After(a)) && After(After(a)) == b))
        return InsertSplitterMixer(a, splitter, reason, branches);

    if (IsPlaceholder(Before(a))) a = Before(Before(a));
    if (IsPlaceholder(Before(b))) b = Before(Before(b));
    if (!IsSegment(a) || !IsSegment(b)) return false;
    IHeatIntegrationStream* stream = StreamOf(a);
    CNode* a2 = After(a);
    CNode* b2 = After(b);
    if (!a2 || !b2) return false;
    const int a2Slot = a2->upStreamSlotOf(a), b2Slot = b2->upStreamSlotOf(b);
    CNode* s1 = NewNode(NodeKind::MaterialStream, stream);
    CNode* s2 = NewNode(NodeKind::MaterialStream, stream);
    CNode* tee = NewNode(NodeKind::Tee, nullptr);
    CNode* mixer = NewNode(NodeKind::Mixer, nullptr);
    if (!s1 || !s2 || !tee || !mixer) return false;
    bool ok = Disconnect(a, a2) && Disconnect(b, b2) && Connect(s1, a2, -1, a2Slot) && Connect(s2, b2, -1, b2Slot);
    // The temperature specified where the bypassed stretch ended (the stream's target when it
    // ended the stream) now holds after the mixer; b is only the main branch's outlet.
    double t = 0.0;
    if (b->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified &&
        b->getVariableAsDouble(NodeValue::Temperature, t)) {
        SetNumber(s2, NodeValue::Temperature, t, ValueStatus::Specified);
        SetNumber(b, NodeValue::Temperature, kEmpty, ValueStatus::Open);
    }
    ok = Connect(a, tee) && Connect(mixer, s2) && Connect(tee, s1) && Connect(b, mixer) && ok;
    AsSplitter(tee)->setAssociatedMixer(AsMixer(mixer));
    AsMixer(mixer)->setAssociatedSplitter(AsSplitter(tee));
    for (int i = 1; i < branches; ++i) {
        CNode* branch = NewNode(NodeKind::MaterialStream, stream);
        if (!branch) return false;
        SetNumber(branch, NodeValue::SplitFraction, 0.0, ValueStatus::Specified);
        ok = Connect(tee, branch) && Connect(branch, mixer) && ok;
    }
    if (hasReason(reason)) AddToChangeLog("Added bypass " + unitName(tee) + " " + reason);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    SendAMessage(CodeSplitterMixerAdded, tee->getName(), this);
    if (ok) splitter = tee;
    return ok;
}

void CPIHENDesign::AddSplitterBranch(CNode* node, const char* reason, int count) {
    if (IsEditLocked() || !Owns(node)) return;
    CNode* tee = IsMixer(node) ? GetSplitterOfMixer(node) : node;
    CNode* mixer = GetMixerOfSplitter(tee);
    if (!IsTee(tee) || !mixer) return;
    IHeatIntegrationStream* stream = StreamOf(tee->getIthDownStreamNode(0));
    if (!stream) stream = StreamOf(Before(tee));
    for (int i = 0; i < count; ++i) {
        CNode* branch = NewNode(NodeKind::MaterialStream, stream);
        if (!branch) break;
        SetNumber(branch, NodeValue::SplitFraction, 0.0, ValueStatus::Specified);
        Connect(tee, branch);
        Connect(branch, mixer);
    }
    if (hasReason(reason))
        AddToChangeLog("Added branch on splitter-mixer " + unitName(tee) + "-" + unitName(mixer) + " " + reason);
    ProcessChange(CodeRecalculate, CPString(), nullptr);
}

// ---------------------------------------------------------------- removing

void CPIHENDesign::DeleteChainToMixer(CNode* segment, const char* reason) {
    if (!Owns(segment)) return;
    CNode* s = segment;
    // Every step removes a unit after s (or fails and ends the walk), so the walk is bounded by
    // the nodes there are.
    for (int guard = GetNumberOfNodes(); guard >= 0; --guard) {
        CNode* n = After(s);
        if (!n || IsMixer(n) || IsProductBlock(n)) break;
        if (IsTee(n)) {
            ++m_nesting;
            RemoveSplitterMixer(n, reason);
            --m_nesting;
            if (After(s) == n) break;
        } else if (IsExchanger(n)) {
            if (!DeleteHeatExchanger(n, reason) && Owns(n)) break;
        } else if (IsPlaceholder(n)) {
            CNode* outlet = After(n);
            CNode* next = After(outlet);
            const int slot = next ? next->upStreamSlotOf(outlet) : -1;
            RemoveNode(n);
            RemoveNode(outlet);
            if (!next || !Connect(s, next, -1, slot)) break;
        } else {
            break;
        }
    }
    RemoveNode(s);
}

bool CPIHENDesign::RemoveSplitterMixer(CNode* node, const char* reason) {
    if (IsEditLocked() || !Owns(node)) return false;
    CNode* tee = IsMixer(node) ? GetSplitterOfMixer(node) : node;
    CNode* mixer = GetMixerOfSplitter(tee);
    if (!IsTee(tee) || !mixer) return false;
    for (int i = tee->getNumberOfDownStreamSlots(); i > 0; --i)
        if (CNode* branch = tee->getIthDownStreamNode(0)) DeleteChainToMixer(branch, reason);

    CNode* sb = Before(tee);
    CNode* sa = After(mixer);
    CNode* next = After(sa);
    CNode* first = Before(sb);
    const int nextSlot = next ? next->upStreamSlotOf(sa) : -1;
    const CPString name = tee->getName();
    if (hasReason(reason))
        AddToChangeLog("Removed splitter-mixer " + unitName(tee) + "-" + unitName(mixer) + " " + reason);
    RemoveNode(tee);
    RemoveNode(mixer);
    if (IsFeedBlock(first) && IsProductBlock(next)) {
        // It spanned the whole stream: what is left is a new stream's chain.
        CNode* p = NewNode(NodeKind::Heater, StreamOf(sb));
        if (p) {
            Connect(sb, p);
            Connect(p, sa);
        }
    } else if (sb && sa) {
        double t = 0.0;
        if (IsProductBlock(next)) {
            if (sa->getVariableAsDouble(NodeValue::Temperature, t))
                SetNumber(sb, NodeValue::Temperature, t, ValueStatus::Specified);
            SetNumber(sb, NodeValue::SplitFraction, 1.0, ValueStatus::Specified);
        }
        RemoveNode(sa);
        if (next) Connect(sb, next, -1, nextSlot);
    }
    SendAMessage(CodeSplitterMixerRemoved, name, this);
    if (m_nesting <= 0) ProcessChange(CodeRecalculate, CPString(), nullptr);
    return true;
}

void CPIHENDesign::RemoveSplitterBranch(CNode* segment, const char* reason) {
    if (IsEditLocked() || !Owns(segment) || !IsSegment(segment)) return;
    CNode* start = FindBranchStart(segment);
    CNode* tee = Before(start);
    CNode* mixer = GetMixerOfSplitter(tee);
    if (!start || !IsTee(tee) || !mixer) return;
    double f = 0.0;
    const bool specified = start->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified &&
                           start->getVariableAsDouble(NodeValue::SplitFraction, f);
    DeleteChainToMixer(start, reason);
    const std::vector<CNode*> left = tee->getAllDownStreamNodes();
    const int m = static_cast<int>(left.size());
    if (specified && m > 0) {
        SetNumber(left.back(), NodeValue::SplitFraction, 0.0, ValueStatus::Open);
        for (CNode* branch : left) {
            double g = 0.0;
            if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified &&
                branch->getVariableAsDouble(NodeValue::SplitFraction, g))
                SetNumber(branch, NodeValue::SplitFraction, g + f / m, ValueStatus::Specified);
        }
    } else if (m > 1) {
        // The branch whose share the tee worked out is gone: unless another is left to it, the
        // last branch left takes the rest of the inflow, or the shares would not add up to 1.
        bool balanced = false;
        for (CNode* branch : left) balanced = balanced || branch->getVariableStatus(NodeValue::SplitFraction) != ValueStatus::Specified;
        if (!balanced) SetNumber(left.back(), NodeValue::SplitFraction, 0.0, ValueStatus::Open);
    }
    if (hasReason(reason))
        AddToChangeLog("Removed a branch on splitter-mixer " + unitName(tee) + "-" + unitName(mixer) + " " + reason);
    if (m == 1) {
        // One branch is no split: the splitter and the mixer go, and the branch's units join the
        // stream's chain where they stood.
        CNode* sb = Before(tee);
        CNode* r = left.front();
        CNode* afterR = After(r);
        const int rSlot = afterR ? afterR->upStreamSlotOf(r) : -1;
        const CPString name = tee->getName();
        RemoveNode(tee);
        RemoveNode(r);
        if (sb && afterR) Connect(sb, afterR, -1, rSlot);
        CNode* last = Before(mixer);
        CNode* sa = After(mixer);
        if (last == sb && IsFeedBlock(Before(sb))) {
            CNode* next = After(sa);
            const int slot = next ? next->upStreamSlotOf(sa) : -1;
            RemoveNode(sa);
            RemoveNode(mixer);
            if (next) Connect(sb, next, -1, slot);
        } else {
            CNode* unit = Before(last);  // the branch's last unit, or before an empty branch's segment
            const int slot = unit ? unit->downStreamSlotOf(last) : -1;
            RemoveNode(last);
            RemoveNode(mixer);
            if (unit && sa) Connect(unit, sa, slot, -1);
        }
        SendAMessage(CodeSplitterMixerRemoved, name, this);
    }
    ProcessChange(CodeRecalculate, CPString(), nullptr);
}

// ---------------------------------------------------------------- branches and states

// A branch holds its share of the flow entering its own splitter; a unit on a branch of a split
// on a branch carries the product of the shares out to the trunk. Each walk up to a branch's
// start passes each piece before the unit once: a check of every unit of a split stream costs the
// units times the pieces of the chain they stand on, which a case's read-back runs once.
bool CPIHENDesign::GetExchangerBranchShare(CNode* unit, int side, double& share) const {
    HeatExch* x = unit && Owns(unit) ? unit->asHeatExch() : nullptr;
    CNode* node = x && (side == 0 || side == 1) ? x->getInlet(side) : nullptr;
    if (!node) return false;
    share = 1.0;
    for (int guard = GetNumberOfNodes(); guard >= 0; --guard) {
        CNode* start = FindBranchStart(node);
        if (!start) return true;
        CNode* tee = Before(start);
        if (!IsTee(tee)) return true;
        double f = 0.0;
        if (!start->getVariableAsDouble(NodeValue::SplitFraction, f) || !std::isfinite(f) || f == kEmpty) return false;
        share *= f;
        node = Before(tee);
        if (!node) return true;
    }
    return false;
}

// A split on a branch whose branches add up to the share of the branch it stands on, not to 1,
// holds shares of the whole stream. All are found before any is restated: each is judged by the
// share its enclosing branch was stored with.
void CPIHENDesign::RestateNestedBranchShares() {
    constexpr double kTolerance = 1e-6;
    std::vector<std::pair<CNode*, double>> nested;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee)) {
        CNode* enclosing = FindBranchStart(Before(tee));
        double reaching = 0.0, sum = 0.0;
        if (!enclosing || !IsTee(Before(enclosing)) || !enclosing->getVariableAsDouble(NodeValue::SplitFraction, reaching) ||
            !(reaching > 0.0 && reaching < 1.0 - kTolerance))
            continue;
        bool known = true;
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double f = 0.0;
            known = known && branch->getVariableAsDouble(NodeValue::SplitFraction, f) && f != kEmpty;
            sum += f;
        }
        if (known && std::fabs(sum - reaching) <= kTolerance && std::fabs(sum - 1.0) > kTolerance)
            nested.emplace_back(tee, reaching);
    }
    for (const auto& [tee, reaching] : nested) {
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double f = 0.0;
            branch->getVariableAsDouble(NodeValue::SplitFraction, f);
            branch->addVariable(NodeValue::SplitFraction, f / reaching, branch->getVariableStatus(NodeValue::SplitFraction));
        }
        if (m_state) m_state->DivideBranchFractions(tee->getName(), reaching);
    }
}

CNode* CPIHENDesign::FindBranchStart(CNode* node) const {
    if (!Owns(node)) return nullptr;
    int depth = 0;
    CNode* from = node;
    CNode* reference = IsSegment(node) ? node : nullptr;
    CNode* n = upstreamOf(node, reference);
    if (!n) return node;
    for (int guard = GetNumberOfNodes(); n && guard >= 0; --guard) {
        if (IsFeedBlock(n)) return nullptr;
        if (IsMixer(n)) ++depth;
        if (IsTee(n)) {
            if (depth == 0) return from;
            --depth;
        }
        if (IsSegment(n)) reference = n;
        from = n;
        n = upstreamOf(n, reference);
    }
    return nullptr;
}

CNode* CPIHENDesign::GetSplitterBranch(CNode* splitter, int index) const {
    if (!Owns(splitter) || !IsTee(splitter) || index < 0 || index >= splitter->getNumberOfDownStreamSlots())
        return nullptr;
    return splitter->getIthDownStreamNode(index);
}

CNode* CPIHENDesign::GetSplitterAroundExchangerSide(CNode* exchanger, int side) const {
    HeatExch* x = Owns(exchanger) ? AsHeatExch(exchanger) : nullptr;
    if (!x || (side != 0 && side != 1)) return nullptr;
    CNode* inlet = x->getInlet(side);
    CNode* start = inlet ? FindBranchStart(inlet) : nullptr;
    CNode* tee = start ? Before(start) : nullptr;
    return IsTee(tee) ? tee : nullptr;
}

int CPIHENDesign::GetBranchState(CNode* node) const {
    CNode* start = FindBranchStart(node);
    if (IsEditLocked() || !start) return 1;
    CNode* reference = start;
    CNode* n = After(start);
    for (int guard = GetNumberOfNodes(); n && guard >= 0; --guard) {
        if (IsTee(n) || IsExchanger(n)) return 2;
        if (IsMixer(n) || IsProductBlock(n)) return 0;
        CNode* next = downstreamOf(n, reference);
        if (IsSegment(n)) reference = n;
        n = next;
    }
    return 0;
}

int CPIHENDesign::GetSplitterState(CNode* node) const {
    if (IsEditLocked() || !Owns(node)) return 1;
    CNode* tee = IsMixer(node) ? GetSplitterOfMixer(node) : node;
    if (!IsTee(tee)) return 1;
    for (CNode* branch : tee->getAllDownStreamNodes()) {
        const int state = GetBranchState(branch);
        if (state == 1 || state == 2) return state;
    }
    return 0;
}

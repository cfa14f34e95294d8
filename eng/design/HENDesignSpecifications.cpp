// Exchanger specifications and feasibility: the design-wide minimum approach and shell area on
// every exchanger, the minimum approach taken from the network, lowering duties until the
// network is feasible, the duty a match can carry at most, the heaters and coolers of an existing
// network that follow the process demand, tidying splitters left with one branch and the
// utilities at exchanger ports.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <string>
#include <unordered_set>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;
constexpr int kMaxReductions = 15;
constexpr double kReduction = 0.9;
constexpr double kSmallestDuty = 5.0;
constexpr double kNoApproach = 1000.0;

double temperatureOf(const CNode* segment) {
    double t = kEmpty;
    return segment && segment->getVariableAsDouble(NodeValue::Temperature, t) ? t : kEmpty;
}

// The approach of an exchanger, min(Tho - Tci, Thi - Tco); false when a side does not change
// temperature, and when any end is unset (an unset end would make the approach about -32767).
bool approachOf(HeatExch* x, double& approach) {
    const double thi = temperatureOf(x->getInlet(0)), tho = temperatureOf(x->getOutlet(0));
    const double tci = temperatureOf(x->getInlet(1)), tco = temperatureOf(x->getOutlet(1));
    if (tci == tco || thi == tho) return false;
    if (thi == kEmpty || tho == kEmpty || tci == kEmpty || tco == kEmpty) return false;
    approach = std::min(tho - tci, thi - tco);
    return true;
}

double dutyOf(const CNode* unit) {
    double d = 0.0;
    return unit->getVariableAsDouble(NodeValue::Duty, d) ? d : 0.0;
}

CPString unitName(const CNode* unit) {
    CPString name;
    unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}
}  // namespace

bool CPIHENDesign::GetSkipStreamEndsUpdate() {
    if (m_scenario && !m_scenario->IsRetrofitScenario()) m_skipStreamEnds = false;
    return m_skipStreamEnds;
}

void CPIHENDesign::ApplyDTMinToAllExchangers() {
    for (CNode* unit : m_exchangers) unit->addVariable(NodeValue::DTMin, m_dtMin, ValueStatus::Specified);
}

void CPIHENDesign::ApplyHTMaxAreaShellToAllExchangers() {
    for (CNode* unit : m_exchangers) unit->addVariable(NodeValue::HTMaxAreaShell, m_htMaxAreaShell, ValueStatus::Specified);
}

double CPIHENDesign::GetDTMinFromNetwork() const {
    double smallest = kNoApproach;
    for (CNode* unit : m_exchangers) {
        double approach = 0.0;
        if (HeatExch* x = AsHeatExch(unit); x && approachOf(x, approach)) smallest = std::min(smallest, approach);
    }
    return m_scenario ? std::min(m_scenario->GetDTmin(), smallest) : smallest;
}

void CPIHENDesign::SetDTMinFromNetwork() {
    m_dtMin = GetDTMinFromNetwork();
    ApplyDTMinToAllExchangers();
}

void CPIHENDesign::SetExchangerDTMinsFromApproach(double value) {
    const double scenarioDTMin = m_scenario ? m_scenario->GetDTmin() : m_dtMin;
    for (CNode* unit : m_exchangers) {
        double approach = 0.0;
        HeatExch* x = AsHeatExch(unit);
        if (!x || !approachOf(x, approach)) continue;
        unit->addVariable(NodeValue::DTMin, scenarioDTMin > approach ? value : scenarioDTMin, ValueStatus::Specified);
    }
}

// ---------------------------------------------------------------- feasibility

void CPIHENDesign::MakeNetworkFeasible(CNode* unit) {
    if (IsEditLocked()) return;
    auto setDuty = [this](CNode* x, double duty) {
        x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    };
    int reductions = 0;
    if (unit) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || !Owns(unit) || exchanger->IsUtilityExch()) return;
        for (int side = 0; side < 2; ++side) {
            IHeatIntegrationStream* stream = StreamOf(exchanger->getInlet(side));
            if (stream && GetNumberOfUnitsOnStream(stream->GetName()) == 1) {
                // Alone on its stream the exchanger's duty is left to the network.
                unit->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
                ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
                return;
            }
        }
        double duty = dutyOf(unit);
        bool infeasible = !GetInfeasibleHeatExchangers().empty();
        while (infeasible && reductions < kMaxReductions && duty > kSmallestDuty) {
            setDuty(unit, duty);
            ++reductions;
            infeasible = !GetInfeasibleHeatExchangers().empty();
            duty *= kReduction;
        }
        if (infeasible) duty = kSmallestDuty;
        unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        SetSplitFractionsFromBranchDuties();
        return;
    }

    // The new exchangers: those that the existing network of a retrofit study does not hold. A
    // copy keeps its units' fingerprints, and a unit the user renamed in it is still the same unit.
    std::unordered_set<std::uint32_t> existing;
    IHENDesign* base = nullptr;
    const char* baseName = m_scenario ? m_scenario->GetRetrofitBaseDesignName() : nullptr;
    if (baseName && *baseName && m_scenario->GetDesign(CPString(baseName), base) && base && base != this) {
        CNode* x = nullptr;
        for (int i = 0; base->GetHeatExchanger(i, x); ++i) existing.insert(x->getDNAFingerPrint());
    }
    std::vector<CNode*> candidates = m_sheet->getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* x : m_sheet->getAllNodesOfType(NodeKind::HeatExchanger)) candidates.push_back(x);
    for (CNode* node : candidates) {
        HeatExch* exchanger = AsHeatExch(node);
        if (!exchanger || exchanger->IsUtilityExch() || existing.count(node->getDNAFingerPrint())) continue;
        double area = 0.0, maxArea = 0.0;
        node->getVariableAsDouble(NodeValue::HTArea, area);
        const bool limited = node->getVariableAsDouble("MaxNewArea", maxArea) != 0;
        const double before = dutyOf(node);
        double duty = before;
        bool done = false;
        for (;;) {
            const bool feasible = GetInfeasibleHeatExchangers().empty();
            if (feasible && (!limited || area <= maxArea)) {
                done = true;
                break;
            }
            if (reductions >= kMaxReductions || duty <= kSmallestDuty) break;
            setDuty(node, duty);
            ++reductions;
            SetSplitFractionsFromBranchDuties();
            node->getVariableAsDouble(NodeValue::HTArea, area);
            duty *= kReduction;
        }
        if (!done) setDuty(node, before);
    }
    SetSplitFractionsFromBranchDuties();
}

double CPIHENDesign::GetMaximumMatchDuty(CNode* unit) const {
    constexpr double kNoLimit = 100000.0;
    HeatExch* exchanger = AsHeatExch(unit);
    if (!exchanger) return kNoLimit;
    auto loadOf = [exchanger](int side) {
        IHeatIntegrationStream* stream = StreamOf(exchanger->getInlet(side) ? exchanger->getInlet(side)
                                                                             : exchanger->getOutlet(side));
        return stream ? stream->GetHeatLoad(0) : 0.0;
    };
    double duty = 0.0;
    if (exchanger->IsHeater()) duty = loadOf(1);
    else if (exchanger->IsCooler()) duty = loadOf(0);
    else duty = std::min(loadOf(0), loadOf(1));
    return duty > 0.0 ? duty : kNoLimit;
}

void CPIHENDesign::LowerNamedExchangerDuty() {
    const CPString name = m_textB;
    // One unit bears the name. A case written while names could still repeat may hold two: the
    // one meant is the one added last.
    for (auto it = m_exchangers.rbegin(); it != m_exchangers.rend(); ++it) {
        CNode* unit = *it;
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || exchanger->IsUtilityExch() || unitName(unit) != name ||
            unit->getVariableStatus(NodeValue::Duty) != ValueStatus::Specified)
            continue;
        // An exchanger the area check left at (almost) nothing does not turn round.
        unit->addVariable(NodeValue::Duty, std::max(0.0, dutyOf(unit) - 1.0), ValueStatus::Specified);
        break;
    }
    ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    SetSplitFractionsFromBranchDuties();
}

// A stream whose units all carry specified duties is settled by its exchangers; the duty a heater
// or cooler keeps there is only the plant's old one, which a new or moved exchanger makes wrong.
// The one nearest the stream's target is found by walking back from the stream's end through its
// exchangers; a mixer, tee or placeholder on the way leaves the stream as it is.
int CPIHENDesign::LetUtilityExchangersFollowDemand() {
    if (IsEditLocked()) return 0;
    int released = 0;
    for (IHeatIntegrationStream* stream : m_streams) released += ReleaseEndUtilityDuty(stream, false);
    if (released > 0) ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    return released;
}

// One typed duty, one recalculation: the design stays quiet while an end utility goes, and the
// caller's change handling recalculates once.
int CPIHENDesign::LetEndUtilitiesFollowExchanger(CNode* unit) {
    HeatExch* exchanger = Owns(unit) ? AsHeatExch(unit) : nullptr;
    if (IsEditLocked() || !exchanger || exchanger->IsUtilityExch()) return 0;
    const bool wasActive = m_active;
    Deactivate();
    int released = 0;
    for (int side = 0; side < 2; ++side) {
        IHeatIntegrationStream* stream =
            StreamOf(exchanger->getInlet(side) ? exchanger->getInlet(side) : exchanger->getOutlet(side));
        if (stream && HasStream(stream)) released += ReleaseEndUtilityDuty(stream, true);
    }
    if (wasActive) Activate(0);
    return released;
}

int CPIHENDesign::ReleaseEndUtilityDuty(IHeatIntegrationStream* stream, bool throughEndUtility) {
    const std::vector<CNode*>* units = UnitsOf(stream->GetName());
    if (IsUtilityStream(stream) || !units || units->empty()) return 0;
    const bool settled = std::all_of(units->begin(), units->end(), [](const CNode* unit) {
        return IsExchanger(unit) ? unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified
                                 : !IsPlaceholder(unit);
    });
    if (!settled) return 0;
    CNode* segment = Before(StreamBlock(stream->GetName(), "End"));
    // A utility the design left at the stream's end, right after its heater or cooler, takes
    // what the heater's or cooler's given duty misses of the target; it goes when that duty does,
    // so the heater or cooler runs to the target itself.
    CNode* endUtility = nullptr;
    if (throughEndUtility && IsSegment(segment) && IsPlaceholder(Before(segment)) && IsSegment(Before(Before(segment)))) {
        HeatExch* exchanger = AsHeatExch(Before(Before(Before(segment))));
        if (exchanger && exchanger->IsUtilityExch()) {
            endUtility = Before(segment);
            segment = Before(endUtility);
        }
    }
    HeatExch* last = nullptr;
    for (std::size_t step = 0; !last && IsSegment(segment) && step <= units->size(); ++step) {
        HeatExch* exchanger = AsHeatExch(Before(segment));
        if (!exchanger) break;
        if (exchanger->IsUtilityExch()) last = exchanger;
        else segment = exchanger->getUpStreamNode(segment);
    }
    if (!last) return 0;
    if (endUtility) {
        const int port = last->getOutlet(0) == segment ? 1 : 3;
        if (IsPortFreeOfUtility(last, port) || !RemoveUtilityAtPort(last, port)) return 0;
    }
    last->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    return 1;
}

// ---------------------------------------------------------------- splitters and ports

void CPIHENDesign::RemoveSingleBranchSplitters() {
    if (IsEditLocked()) return;
    std::vector<CNode*> single;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        if (tee->getNumberOfDownStreamNodes() == 1 && !IsUtilityStream(StreamOf(Before(tee))) && StreamOf(Before(tee)))
            single.push_back(tee);
    bool changed = false;
    for (CNode* tee : single) {
        CNode* mixer = GetMixerOfSplitter(tee);
        CNode* up = Before(tee);
        CNode* branch = tee->getIthDownStreamNode(0);
        CNode* mixerIn = mixer ? mixer->getIthUpStreamNode(0) : nullptr;
        CNode* down = After(mixer);
        if (!IsSegment(up) || !IsSegment(branch) || !IsSegment(mixerIn) || !IsSegment(down)) continue;
        const int upSlot = up->downStreamSlotOf(tee);
        if (branch == mixerIn) {
            // An empty branch: splitter, segment and mixer go once, the two ends join.
            const int downSlot = After(down) ? After(down)->upStreamSlotOf(down) : -1;
            CNode* beyond = After(down);
            m_sheet->deleteNode(tee);
            m_sheet->deleteNode(branch);
            m_sheet->deleteNode(mixer);
            if (beyond) {
                m_sheet->deleteNode(down);
                Connect(up, beyond, upSlot, downSlot);
            } else {
                Connect(up, down, upSlot, 0);
            }
            changed = true;
            continue;
        }
        CNode* first = After(branch);
        CNode* last = Before(mixerIn);
        if (!first || !last) continue;
        const int firstSlot = first->upStreamSlotOf(branch), lastSlot = last->downStreamSlotOf(mixerIn);
        m_sheet->deleteNode(tee);
        m_sheet->deleteNode(branch);
        Connect(up, first, upSlot, firstSlot);
        m_sheet->deleteNode(mixer);
        m_sheet->deleteNode(mixerIn);
        Connect(last, down, lastSlot, 0);
        changed = true;
    }
    if (changed) {
        RunStructureAnalysis();
        ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
    }
}

// One batch, recalculated once at the end. Whether a utility may go depends on the degrees of
// freedom the earlier removals left, and that count walks the network: the pass is quadratic in
// the exchangers. It runs once, after a network is taken over from an extraction.
void CPIHENDesign::RemoveRemovableUtilitiesAtPorts() {
    if (IsEditLocked()) return;
    const bool wasActive = m_active;
    Deactivate();
    for (CNode* unit : std::vector<CNode*>(m_exchangers)) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || exchanger->IsUtilityExch() || !unit->IsOfType(NodeKind::HeatExchanger)) continue;
        for (int port = 0; port < 4; ++port)
            if (CanRemoveUtilityAtPort(unit, port)) RemoveUtilityAtPort(unit, port);
    }
    if (wasActive) Activate(1);
}

// The placeholder that ends a stream its exchangers bring to target carries nothing: it is the
// stream's free utility, kept so that a later change has somewhere to go, and no utility the
// network uses at that port.
bool CPIHENDesign::AreExchangerPortsFreeOfUtilities() const {
    for (CNode* unit : m_exchangers) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger) continue;
        const int first = exchanger->IsHeater() ? 2 : 0;
        const int last = exchanger->IsCooler() ? 1 : 3;
        for (int port = first; port <= last; ++port) {
            if (IsPortFreeOfUtility(unit, port)) continue;
            CNode* end = (port == 1 || port == 3) ? After(PortNeighbour(unit, port)) : nullptr;
            if (!IsSegment(end) || !IsProductBlock(After(end)) || HasSignificantUtilityDuty(end)) return false;
        }
    }
    return true;
}

// Recalculation of a design whose operation is not locked: forget what was calculated, let the
// units pass the specified values along until the open values stop falling, fill the one
// missing duty of a stream its exchangers cover exactly, and solve exchangers with specified
// areas by tearing. While the design calculates, each utility it uses carries the design's own
// load (and is treated as a process stream), so that its exchangers see that utility's flow; a
// heater's or cooler's duty comes from its process side throughout, as the utility's flow follows
// the duties and not the other way round.
#include "eng/design/HENDesign.h"

#include "eng/design/HENCalculator.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/UnitWorkList.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Framework.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

using namespace chain;

namespace {
constexpr const char* kSpecStatus = NodeValue::SpecStatus;

bool isOpen(const CNode* node, const char* name) {
    const CPValue* v = node->findValue(name);
    return v && !v->IsText() && v->GetStatus() == ValueStatus::Open;
}

void forget(CNode* node, const char* name) {
    CPValue* v = node->findValue(name);
    if (v && !v->IsText() && v->GetStatus() != ValueStatus::Specified) v->SetValue(CPValue::Empty, ValueStatus::Open);
}

// Stream pieces pass no values on when the design calculates; the units between them do.
bool isStreamNode(const CNode* n) {
    switch (n->getKindId()) {
    case NodeKindId::MaterialStream:
    case NodeKindId::FeedBlock:
    case NodeKindId::ProductBlock:
        return true;
    default:
        return false;
    }
}

// The heat-capacity flow rate of each segment of a stream, as its units see it.
std::vector<double> segmentFlows(const IHeatIntegrationStream& stream) {
    std::vector<double> flows;
    for (int i = 0; i < stream.GetNumberOfSegments(); ++i) flows.push_back(stream.GetSegmentHeatCapacityFlowrate(i));
    return flows;
}

bool sameFlows(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i] - b[i]) <= 1e-9 * std::max(1.0, std::fabs(a[i])))) return false;
    return true;
}

// Whether a tee can give its branches their fractions again: only when one of them is specified.
// A tee whose fractions are all calculated (after a reset) keeps them, as nothing in the network
// would calculate them anew.
bool teeRecalculatesFractions(CNode* tee) {
    for (CNode* branch : tee->getAllDownStreamNodes())
        if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified) return true;
    return false;
}

// The stream a piece belongs to as the flowsheet holds it (null for a node of no stream): the
// sets of streams a propagation asks about every unit's ports hold them so, without a cast per
// look-up. Those sets hold utilities, which are few, and are asked about every port of the
// units a recalculation passes: a sorted array, searched by halves without hashing.
class FlowsheetStreams {
public:
    FlowsheetStreams() = default;
    template <class Iterator>
    FlowsheetStreams(Iterator first, Iterator last) {
        for (; first != last; ++first) insert(*first);
    }
    void insert(const IFlowsheetStream* stream) {
        const auto at = std::lower_bound(m_streams.begin(), m_streams.end(), stream, std::less<>());
        if (at == m_streams.end() || *at != stream) m_streams.insert(at, stream);
    }
    bool empty() const { return m_streams.empty(); }
    bool count(const IFlowsheetStream* stream) const {
        return std::binary_search(m_streams.begin(), m_streams.end(), stream, std::less<>());
    }

private:
    std::vector<const IFlowsheetStream*> m_streams;
};
const IFlowsheetStream* flowsheetStreamOf(const CNode* n) {
    const StreamPiece* piece = n ? n->asStreamPiece() : nullptr;
    return piece ? piece->getParentPIStream() : nullptr;
}

// Whether a port segment of the unit belongs to one of the streams.
bool touchesStreams(const CNode* unit, const FlowsheetStreams& streams) {
    for (int k = 0; k < unit->getNumberOfUpStreamSlots(); ++k)
        if (const CNode* segment = unit->getIthUpStreamNode(k); segment && streams.count(flowsheetStreamOf(segment)))
            return true;
    for (int k = 0; k < unit->getNumberOfDownStreamSlots(); ++k)
        if (const CNode* segment = unit->getIthDownStreamNode(k); segment && streams.count(flowsheetStreamOf(segment)))
            return true;
    return false;
}

// The streams' values stay as they are while the units pass values along (only the swap of the
// utility loads between the two propagations changes them), so each stream's heat content is read
// from its segments once per propagation rather than once per unit calculation.
class HeldStreamProfiles {
public:
    explicit HeldStreamProfiles(FlowSheet& sheet) : m_sheet(sheet) { m_sheet.HoldStreamProfiles(); }
    ~HeldStreamProfiles() { m_sheet.ReleaseStreamProfiles(); }
    HeldStreamProfiles(const HeldStreamProfiles&) = delete;
    HeldStreamProfiles& operator=(const HeldStreamProfiles&) = delete;

private:
    FlowSheet& m_sheet;
};

}  // namespace

// ---------------------------------------------------------------- the recalculation

void CPIHENDesign::Recalculate(int code) {
    const std::vector<CNode*> units = m_sheet->getAllNodes();
    std::vector<CNode*> flagged;
    if (IsAutomationStartup() && m_scenario && !m_scenario->IsRetrofitScenario()) SetLoopAnalysisEnabled(false);
    ClearUnitResults(units);
    CollectFlaggedExchangers(units, flagged);
    const int open = PropagateUnitValues(units, flagged, code);
    // The loops given by area are solved unless a process exchanger's temperatures already cross:
    // one that only comes closer than DTmin, or a heater or cooler run backwards on another
    // stream, says nothing against the duties the areas fix.
    if (!AnyProcessExchangerCrossed() && open > 0) {
        if (GetDegreesOfFreedom() == 0) SolveForSpecifiedAreas(units, flagged, code, false);
        SolveSingleTearExchangers(units, flagged, code);
    }
    UpdateUtilityLoads();
}

int CPIHENDesign::RecalculateSet(const std::vector<CNode*>& set, const std::vector<CNode*>& flagged, int code) {
    ClearUnitResults(set);
    return PropagateUnitValues(set, flagged, code);
}

void CPIHENDesign::ClearUnitResults(const std::vector<CNode*>& units) { ClearUnitResults(units, {}); }

void CPIHENDesign::ClearUnitResults(const std::vector<CNode*>& units, const std::vector<CNode*>& keepingDuty) {
    const std::unordered_set<const CNode*> keeping(keepingDuty.begin(), keepingDuty.end());
    for (CNode* unit : units) {
        const bool keepDuty = !keeping.empty() && keeping.count(unit);
        for (const char* name : {NodeValue::Temperature, NodeValue::Duty, NodeValue::HTArea, NodeValue::MassFlow})
            if (!keepDuty || std::strcmp(name, NodeValue::Duty) != 0) forget(unit, name);
        // A segment's share of the flow is a result only on a tee's branch; elsewhere the chain
        // fixes it.
        CNode* up = IsSegment(unit) ? unit->getIthUpStreamNode(0) : nullptr;
        if (IsTee(up) && teeRecalculatesFractions(up)) forget(unit, NodeValue::SplitFraction);
        if (IsExchanger(unit)) unit->addVariable(kSpecStatus, 0.0, ValueStatus::Specified);
    }
}

void CPIHENDesign::CollectFlaggedExchangers(const std::vector<CNode*>& units, std::vector<CNode*>& out) const {
    for (CNode* unit : units) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (exchanger && exchanger->IsUtilityExch()) out.push_back(unit);
    }
}

int CPIHENDesign::CountOpenValues(const std::vector<CNode*>& units, std::vector<CNode*>* out) const {
    int count = 0;
    for (CNode* unit : units) {
        int open = 0;
        // A segment's share of the flow is an unknown only on a tee's branch; elsewhere the chain
        // fixes it, and a share left open there (cleared with the other results) is no value
        // the network lacks.
        if (IsSegment(unit))
            open = (isOpen(unit, NodeValue::Temperature) ? 1 : 0) +
                   (IsTee(unit->getIthUpStreamNode(0)) && isOpen(unit, NodeValue::SplitFraction) ? 1 : 0);
        else if (IsExchanger(unit))
            open = (isOpen(unit, NodeValue::Duty) ? 1 : 0) + (isOpen(unit, NodeValue::HTArea) ? 1 : 0);
        if (open > 0 && out) out->push_back(unit);
        count += open;
    }
    return count;
}

int CPIHENDesign::PropagateUnitValues(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code) {
    bool sound = true;
    return PropagateUnitValues(units, flagged, code, {}, sound);
}

int CPIHENDesign::PropagateUnitValues(const std::vector<CNode*>& units, const std::vector<CNode*>& flagged, int code,
                                      const std::vector<CNode*>& held, bool& sound,
                                      const std::vector<const IHeatIntegrationStream*>* filling, bool dutiesFirst) {
    sound = true;
    std::vector<CNode*> calculating;
    for (CNode* unit : units)
        if (!isStreamNode(unit)) calculating.push_back(unit);

    // Streams whose split ends in a mixer with a utility after it: their exchangers need not
    // cover the stream's load.
    std::unordered_set<const IHeatIntegrationStream*> utilityAfterMixer;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee)) {
        CNode* mixer = GetMixerOfSplitter(tee);
        if (mixer && !IsPortFreeOfUtility(mixer, 0)) utilityAfterMixer.insert(StreamOf(tee->getIthUpStreamNode(0)));
    }
    // A stream without a utility whose duties are all known but one: the last is the rest of
    // the stream's load.
    std::unordered_set<const IHeatIntegrationStream*> fillable;
    if (filling) fillable.insert(filling->begin(), filling->end());
    auto fillMissingDuties = [&](std::vector<CNode*>* touched) {
        for (IHeatIntegrationStream* stream : m_streams) {
            if (filling && !fillable.count(stream)) continue;
            const int side = stream->GetHotCold();
            const std::vector<CNode*>* onStream = UnitsOf(stream->GetName());
            if (IsUtilityStream(stream) || (side != 0 && side != 1) || !onStream || utilityAfterMixer.count(stream))
                continue;
            int exchangers = 0, lacking = 0;
            CNode* missing = nullptr;
            double sum = 0.0;
            bool skip = false;
            for (CNode* unit : *onStream) {
                if (!AsHeatExch(unit)) continue;
                ++exchangers;
                if (!IsPortFreeOfUtility(unit, 2 * side) || !IsPortFreeOfUtility(unit, 2 * side + 1)) {
                    skip = true;
                    break;
                }
                double duty = 0.0;
                if (unit->getVariableStatus(NodeValue::Duty) != ValueStatus::Open &&
                    unit->getVariableAsDouble(NodeValue::Duty, duty))
                    sum += duty;
                else {
                    missing = unit;
                    ++lacking;
                }
            }
            if (!skip && lacking == 1 && exchangers > 1 &&
                missing->writeCalculated(NodeValue::Duty, stream->GetHeatLoad(0) - sum) && touched)
                touched->push_back(missing);
        }
    };

    // Until the design's own loads are swapped in, a utility carries the load it had before, and
    // its flow, which follows the duties of its heaters and coolers, is not yet known: their
    // process sides give their duties. A heater or cooler whose process side nothing settles is a
    // free duty of the network, not one the utility's earlier load decides.
    std::vector<HeatExch*> following;
    for (CNode* unit : calculating)
        if (HeatExch* exchanger = AsHeatExch(unit); exchanger && exchanger->IsUtilityExch()) {
            exchanger->setFollowingUtilitySide(exchanger->IsHeater() ? 0 : 1, false, dutiesFirst);
            following.push_back(exchanger);
        }

    UnitWorkList work(calculating, *m_sheet);
    for (CNode* unit : held) work.Hold(unit);
    {
        HeldStreamProfiles held(*m_sheet);
        work.Run(code, [&](std::vector<CNode*>& touched) { fillMissingDuties(&touched); });
    }

    // A utility's flow is the design's load of it over its temperature range, known only once
    // its exchangers' duties are. Until then its units worked with the flow of the load the
    // utility carried before; a utility that passes several exchangers in series took inner
    // temperatures from that flow, which the design's flow must now find again.
    std::vector<std::pair<IHeatIntegrationStream*, std::vector<double>>> flows;
    for (IHeatIntegrationStream* stream : m_streams)
        if (IsUtilityStream(stream)) flows.emplace_back(stream, segmentFlows(*stream));
    SwapInUtilityLoads(false);
    // The utilities now carry other loads (and count as process streams): the units on them read
    // other heat contents. Every other unit is where the first propagation left it.
    const FlowsheetStreams swapped(m_usedUtilities.begin(), m_usedUtilities.end());
    if (!swapped.empty())
        for (CNode* unit : calculating)
            if (touchesStreams(unit, swapped)) work.Mark(unit);
    FlowsheetStreams reflowed;
    for (const auto& [stream, before] : flows)
        if (!sameFlows(before, segmentFlows(*stream))) reflowed.insert(stream);
    // A placeholder on such a utility took its duty from those temperatures too: kept, it would
    // pass the earlier flow's temperature back into the chain from the utility's far end, and
    // the chain, solved from both ends at the design's flow, would not meet. So would the
    // utility's end where it holds a temperature the earlier flow gave it rather than its declared
    // one (a declared value is kept): a mixer's, or a last unit's, would be solved back into the
    // chain.
    if (!reflowed.empty())
        for (CNode* node : units) {
            if (IsSegment(node) && reflowed.count(flowsheetStreamOf(node)) && !IsFeedBlock(Before(node)))
                forget(node, NodeValue::Temperature);
            else if (IsPlaceholder(node) && reflowed.count(flowsheetStreamOf(node->getIthUpStreamNode(0))))
                forget(node, NodeValue::Duty);
        }
    // A held unit's utility must have taken the design's flow: its inner temperatures at the
    // earlier flow, which the held unit did not calculate, are then forgotten in any case.
    for (CNode* unit : held) {
        HeatExch* exchanger = AsHeatExch(unit);
        const int side = exchanger ? exchanger->followingUtilitySide() : -1;
        if (side < 0 || !reflowed.count(flowsheetStreamOf(exchanger->getInlet(side)))) sound = false;
    }
    // So must the utility of a unit that calculated only its duty: its utility side has no
    // temperatures, where a utility that kept its flow would have kept the first propagation's.
    if (dutiesFirst)
        for (HeatExch* exchanger : following)
            if (exchanger->followsDutyOnly() &&
                !reflowed.count(flowsheetStreamOf(exchanger->getInlet(exchanger->followingUtilitySide()))))
                sound = false;
    if (!held.empty()) work.LetGo();
    for (CNode* exchanger : flagged) {
        exchanger->addVariable(kSpecStatus, 0.0, ValueStatus::Specified);
        work.Mark(exchanger);
    }
    // A utility carrying the design's load has the flow its duties make: from here on its side of
    // a heater or cooler gives its temperatures again, and must balance the duty too.
    for (HeatExch* exchanger : following) exchanger->setFollowingUtilitySide(exchanger->followingUtilitySide());
    for (HeatExch* exchanger : following)
        if (swapped.count(flowsheetStreamOf(exchanger->getInlet(exchanger->followingUtilitySide()))))
            exchanger->setFollowingUtilitySide(exchanger->followingUtilitySide(), true);
    // Again until nothing changes, with the utilities carrying the design's load.
    {
        HeldStreamProfiles held(*m_sheet);
        work.Run(code, nullptr);
    }
    m_unitCalculations += work.Calculations();
    for (HeatExch* exchanger : following) exchanger->setFollowingUtilitySide(-1);
    SwapOutUtilityLoads();
    if (m_crossPinchHeld) m_crossPinchOwed = true;
    else CalculateCrossPinchLoads();
    m_lastOpenValues = CountOpenValues(units, nullptr);
    return m_lastOpenValues;
}

// ---------------------------------------------------------------- utility loads

void CPIHENDesign::HoldCrossPinchLoads() {
    m_crossPinchHeld = true;
    m_crossPinchOwed = false;
}

void CPIHENDesign::ReleaseCrossPinchLoads() {
    m_crossPinchHeld = false;
    if (m_crossPinchOwed) CalculateCrossPinchLoads();
    m_crossPinchOwed = false;
}

void CPIHENDesign::KeepProcessStreamProfiles() {
    std::vector<const IFlowsheetStream*> process;
    for (const IHeatIntegrationStream* stream : m_streams)
        if (!IsUtilityStream(stream)) process.push_back(stream);
    m_sheet->KeepStreamProfiles(process);
}

void CPIHENDesign::ReleaseProcessStreamProfiles() { m_sheet->StopKeepingStreamProfiles(); }

int CPIHENDesign::SwapInUtilityLoads(bool pinchCheck) {
    if (!m_usedUtilities.empty()) SwapOutUtilityLoads();
    SumUtilityLoads(true);
    const double firstPinch = m_firstPinch && !m_firstPinch->empty() ? m_firstPinch->front() : 0.0;
    const double secondPinch = m_secondPinch && !m_secondPinch->empty() ? m_secondPinch->front() : 0.0;
    const bool havePinch = m_firstPinch && !m_firstPinch->empty() && m_secondPinch && !m_secondPinch->empty();
    for (IHeatIntegrationStream* stream : m_streams) {
        if (!IsUtilityStream(stream)) continue;
        const auto entry = m_utilityLoads.find(stream->GetName());
        if (entry == m_utilityLoads.end()) continue;
        m_parkedLoads[entry->first] = stream->GetHeatLoad(1);
        stream->SetHeatLoad(entry->second, 2);
        // Asked to, a utility that sits on the wrong side of the pinch stays a utility.
        const bool staysUtility =
            pinchCheck && havePinch &&
            ((stream->GetHotCold() == 0 && stream->GetSupplyTemperature() <= firstPinch) ||
             (stream->GetHotCold() == 1 && stream->GetTargetTemperature() >= secondPinch));
        if (!staysUtility) stream->SetStreamKind(0, 0);
        // Its units are its heaters and coolers still, though they no longer see it as a utility.
        markUnitsOnCountedUtility(*stream, stream->GetHotCold() == 0 ? 0 : 1);
        m_usedUtilities.push_back(stream);
    }
    return static_cast<int>(m_usedUtilities.size());
}

void CPIHENDesign::markUnitsOnCountedUtility(const IHeatIntegrationStream& utility, int side) {
    if (const std::vector<CNode*>* units = UnitsOf(utility.GetName()))
        for (CNode* unit : *units)
            if (HeatExch* x = AsHeatExch(unit)) x->setSideOnCountedUtility(side);
}

void CPIHENDesign::SwapOutUtilityLoads() {
    std::vector<IHeatIntegrationStream*> used;
    used.swap(m_usedUtilities);
    for (IHeatIntegrationStream* stream : used) {
        const auto parked = m_parkedLoads.find(stream->GetName());
        stream->SetStreamKind(1, 0);
        markUnitsOnCountedUtility(*stream, -1);
        if (parked != m_parkedLoads.end()) stream->SetHeatLoad(parked->second, 1);
    }
    m_parkedLoads.clear();
}

// ---------------------------------------------------------------- reset

void CPIHENDesign::ResetCalculatedValues() {
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double fraction = 0.0;
            if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified &&
                branch->getVariableAsDouble(NodeValue::SplitFraction, fraction))
                branch->addVariable(NodeValue::SplitFraction, fraction, ValueStatus::Calculated);
        }
    // The calculator is made afresh over the reset network.
    m_calculator.reset();
    GetNetworkCalculator().PrepareStreams();
    Activate(1);
}

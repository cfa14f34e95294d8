#include "eng/targeting/UtilityPlacement.h"

#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/model/StreamPropertySet.h"
#include "eng/model/StreamValueNames.h"
#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/CapitalUtilityTradeoff.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"
#include "eng/targeting/UtilityPlacementOnCurve.h"
#include "osmeri/CPValue.h"

#include <cmath>
#include <vector>

namespace C = UtilityPlacementCodes;

namespace {

constexpr double kUtilityStreamLoad = 1e-5;
// A remainder of the target below this share of it is rounding, not a load.
constexpr double kRemainderShare = 1e-12;

bool IsUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

// Codes on which an existing trade-off is run again: economics, method, recall, streams, approach
// temperature, utilities.
bool RefreshesTradeoff(int code) {
    return code == 4 || code == 20 || code == 35 || code == 36 || code == 38 || code == 39 || code == 41;
}

}  // namespace

// ---------------------------------------------------------------- the record

UtilityPlacement::UtilityPlacement(IHeatIntegrationScenario* scenario, int method)
    : m_nMethod(method), m_pScenario(scenario) {}

UtilityPlacement::~UtilityPlacement() = default;

TargetValue* UtilityPlacement::GetSide(int side) const {
    return side == Hot || side == Cold ? m_pSides[side].get() : nullptr;
}

TargetValue& UtilityPlacement::EnsureSide(int side) {
    std::unique_ptr<TargetValue>& value = m_pSides[side == Cold ? Cold : Hot];
    if (!value) value = std::make_unique<TargetValue>();
    return *value;
}

void UtilityPlacement::FreeSide(int side) {
    if (side == Hot || side == Cold) m_pSides[side].reset();
}

bool UtilityPlacement::IsValid() const {
    return m_pSides[Hot] && m_pSides[Cold] && m_pSides[Hot]->IsSettled() && m_pSides[Cold]->IsSettled();
}

UtilityPlacementLP& UtilityPlacement::EnsureAutomaticPlacement() {
    if (!m_pAutomatic) m_pAutomatic = std::make_unique<UtilityPlacementLP>();
    return *m_pAutomatic;
}

void UtilityPlacement::SetUserSuppliedLoads(std::unique_ptr<UserSuppliedUtilityLoad> loads) {
    m_pUserLoads = std::move(loads);
}

void UtilityPlacement::SetTradeoff(std::unique_ptr<MUCapitalUtilityTradeoff> tradeoff) {
    m_pTradeoff.reset(tradeoff.release());
}

void UtilityPlacement::FreeOtherObjects(int kept) {
    if (kept != Automatic) m_pAutomatic.reset();
    if (kept != UserSupplied) m_pUserLoads.reset();
    if (kept != CapitalUtilityTradeoff) m_pTradeoff.reset();
}

void UtilityPlacement::Clear() {
    m_pinches.clear();
    for (auto& side : m_pSides) side.reset();
    m_pAutomatic.reset();
    m_pUserLoads.reset();
    m_pTradeoff.reset();
}

void SetSideValue(UtilityPlacement& record, int side, int which, double value) {
    record.EnsureSide(side).Set(which, value);
}

void ClearUtilityPlacement(UtilityPlacement* record) {
    if (record) record->Clear();
}

void FreeOtherPlacementObjects(UtilityPlacement* record, int kept) {
    if (record) record->FreeOtherObjects(kept);
}

void DeleteUtilityPlacement(UtilityPlacement* record) { delete record; }

// ---------------------------------------------------------------- handing out loads

void AssignLoadsToStreams(std::span<const double> loads, std::span<IHeatIntegrationStream* const> streams,
                          double target) {
    double sum = 0.0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        double value = 0.0;
        if (i < loads.size()) {
            if (target > sum) {
                const double load = loads[i];
                sum += load;
                value = sum > target ? load - (sum - target) : load;
            }
        } else if (target > sum) {
            // What rounding leaves of the target is no load for the last utility.
            value = target - sum > kRemainderShare * target ? target - sum : 0.0;
            sum = target;
        }
        if (!streams[i]) continue;
        streams[i]->SetHeatLoad(value, 0);
        streams[i]->SetHeatLoad(value, 1);
    }
}

// ---------------------------------------------------------------- the builder

namespace {

std::span<StreamSegment* const> SegmentsOf(const UtilityPlacementInputs& in) {
    return in.segments ? std::span<StreamSegment* const>(*in.segments) : std::span<StreamSegment* const>();
}

void PlaceByUserSuppliedLoads(UtilityPlacement& record, const UtilityPlacementInputs& in) {
    record.FreeOtherObjects(UtilityPlacement::UserSupplied);
    // The loads are the user's: every utility serves over its whole range, also one that an
    // automatic placement before left unused (an unconnected segment would zero the load typed).
    ResetUtilityPlacementOfSegments(SegmentsOf(in));
    // The object is always brought up to date with the scenario's streams and segments (also on
    // codes 4 and 39, and when none exists yet): it keeps pointers into the segment list, which a
    // change of the streams may have renewed since it last looked.
    if (UserSuppliedUtilityLoad* loads = record.GetUserSuppliedLoads()) loads->Refresh(in.streams, SegmentsOf(in));
    else record.SetUserSuppliedLoads(std::make_unique<UserSuppliedUtilityLoad>(in.streams, SegmentsOf(in)));
    UserSuppliedUtilityLoad& loads = *record.GetUserSuppliedLoads();
    loads.SetTargets(in.energyTarget ? in.energyTarget->GetHotUtility() : 0.0,
                     in.energyTarget ? in.energyTarget->GetColdUtility() : 0.0);
    loads.Prepare();
    if (in.dtMin > 0.0) loads.SetApproach(in.dtMin);
    if (!loads.BuildCurves()) {
        record.EnsureSide(UtilityPlacement::Hot).nStatus = TargetValue::NotEvaluated;
        record.EnsureSide(UtilityPlacement::Cold).nStatus = TargetValue::NotEvaluated;
        return;
    }
    SetStatusesFromUserSuppliedLoads(record);
}

CapitalUtilityTradeoffInputs TradeoffInputsOf(const UtilityPlacementInputs& in) {
    CapitalUtilityTradeoffInputs t;
    t.streams = in.streams;
    t.segments = SegmentsOf(in);
    t.economicData = in.economicData;
    t.economicInfo = in.economicInfo;
    t.dtMin = in.dtMin;
    t.minimumFFactor = in.minimumFFactor;
    t.countercurrentCapital = in.countercurrentCapital;
    return t;
}

void PlaceByTradeoff(UtilityPlacement& record, const UtilityPlacementInputs& in, int code) {
    record.FreeOtherObjects(UtilityPlacement::CapitalUtilityTradeoff);
    TargetValue& hot = record.EnsureSide(UtilityPlacement::Hot);
    TargetValue& cold = record.EnsureSide(UtilityPlacement::Cold);
    if (!record.GetTradeoff())
        record.SetTradeoff(std::make_unique<MUCapitalUtilityTradeoff>(TradeoffInputsOf(in)));
    else if (RefreshesTradeoff(code))
        record.GetTradeoff()->Refresh(TradeoffInputsOf(in));
    const MUCapitalUtilityTradeoff& tradeoff = *record.GetTradeoff();
    if (!tradeoff.IsOk()) {
        hot.nStatus = cold.nStatus = tradeoff.GetStatus();
        return;
    }
    AssignLoadsToStreams(tradeoff.GetHotLoads(), tradeoff.GetHotUtilities(),
                         in.energyTarget ? in.energyTarget->GetHotUtility() : 0.0);
    AssignLoadsToStreams(tradeoff.GetColdLoads(), tradeoff.GetColdUtilities(),
                         in.energyTarget ? in.energyTarget->GetColdUtility() : 0.0);
    hot.nStatus = cold.nStatus = TargetValue::Sufficient;
}

void PlaceAutomatically(UtilityPlacement& record, const UtilityPlacementInputs& in, int code) {
    const std::span<StreamSegment* const> segments = SegmentsOf(in);
    // Codes 4 and 39 take the placement as it stands; one that was never made is made now.
    const bool reuse = (code == C::Economics || code == C::Unchanged39) && record.GetAutomaticPlacement();
    if (!reuse) {
        record.FreeOtherObjects(UtilityPlacement::Automatic);
        ResetUtilityPlacementOfSegments(segments);
        record.EnsureAutomaticPlacement().Calculate(segments, in.energyTarget);
    }
    const UtilityPlacementLP& lp = *record.GetAutomaticPlacement();
    // A failed solve leaves both sides unsettled: its values say nothing.
    if (lp.HasFailed()) return;
    record.EnsureSide(UtilityPlacement::Hot).nStatus = lp.GetHotSide().nStatus;
    record.EnsureSide(UtilityPlacement::Cold).nStatus = lp.GetColdSide().nStatus;
    SetSideValue(record, UtilityPlacement::Hot, 0, lp.GetHotSide().dFirst);
    SetSideValue(record, UtilityPlacement::Hot, 1, lp.GetHotSide().dSecond);
    SetSideValue(record, UtilityPlacement::Cold, 0, lp.GetColdSide().dFirst);
    SetSideValue(record, UtilityPlacement::Cold, 1, lp.GetColdSide().dSecond);
    // The loads are placed; every utility segment is used over its whole range until the curves
    // place it otherwise. A placement taken as it stands is not placed on the curves again: its
    // segments stay as the curves placed them, the marks of the loads they placed (or every
    // utility would read as carrying none) and where each ends (or a utility that serves only
    // down to the pinch would carry the load of its whole range).
    if (!reuse) ResetUtilityPlacementOfSegments(segments);
}

// The scenario's utility streams, in its order. The kind is asked before the cast: a large table
// is nearly all process streams, and a cast per stream cost more than the rest of the walk.
std::vector<IHeatIntegrationStreamForTargeting*> UtilityStreamsOf(const UtilityPlacementInputs& in) {
    std::vector<IHeatIntegrationStreamForTargeting*> utilities;
    for (IHeatIntegrationStream* stream : in.streams) {
        if (!IsUtility(stream)) continue;
        if (auto* own = dynamic_cast<IHeatIntegrationStreamForTargeting*>(stream)) utilities.push_back(own);
    }
    return utilities;
}

// The heat-capacity flow rates the utility streams show: none while the placement is not valid,
// else the rate of each segment as placed (a utility written in several rows carries its load on
// each of them, not on its first alone).
void ShowUtilityFlowrates(const std::vector<IHeatIntegrationStreamForTargeting*>& utilities, bool valid) {
    namespace N = StreamValueNames;
    for (IHeatIntegrationStreamForTargeting* own : utilities) {
        StreamPropertySet& values = own->GetPropertySet();
        const StreamSegmentList* segments = valid ? own->GetDesignSegments() : nullptr;
        for (int i = 0; i < values.GetNumberOfSegments(); ++i) {
            const std::size_t at = static_cast<std::size_t>(i);
            if (segments && at < segments->size() && (*segments)[at])
                values.SetSegmentValue(N::HeatCapacityFlowrate, std::fabs((*segments)[at]->dHeatCapacityFlowrate), i,
                                       CPValue::Specified);
            else
                values.SetSegmentValue(N::HeatCapacityFlowrate, 0.0, i, CPValue::Unset);
        }
    }
}

void RenewPinchList(UtilityPlacement& record, const UtilityPlacementInputs& in) {
    std::vector<PinchRecord>& pinches = record.PinchList();
    pinches.clear();
    const bool valid = record.IsValid();
    const std::vector<IHeatIntegrationStreamForTargeting*> utilities = UtilityStreamsOf(in);
    ShowUtilityFlowrates(utilities, false);
    if (!valid) return;
    // One rule for every method: every interior zero of the cascade of the process with the
    // utilities carrying their loads. The same loads give the same pinches, whichever method chose
    // them.
    if (record.GetMethod() == UtilityPlacement::Automatic) {
        if (const UtilityPlacementLP* lp = record.GetAutomaticPlacement()) pinches = lp->FindPinchPoints(in.dtMin);
    } else {
        UtilityPlacementLP cascade;
        cascade.CascadeOfLoads(SegmentsOf(in), in.energyTarget);
        pinches = cascade.FindPinchPoints(in.dtMin);
    }
    ShowUtilityFlowrates(utilities, true);
}

}  // namespace

UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* record, const UtilityPlacementInputs& in, int code) {
    if (code == C::Free) {
        DeleteUtilityPlacement(record);
        return nullptr;
    }
    if (!record) record = new UtilityPlacement(in.scenario, in.method);
    if (code == C::Refresh) return record;

    if (code != C::Coefficients && code != C::CostModel && code != C::UtilityLoad) {
        record->EnsureSide(UtilityPlacement::Hot).Reset();
        record->EnsureSide(UtilityPlacement::Cold).Reset();
        switch (record->GetMethod()) {
            case UtilityPlacement::UserSupplied: PlaceByUserSuppliedLoads(*record, in); break;
            case UtilityPlacement::CapitalUtilityTradeoff: PlaceByTradeoff(*record, in, code); break;
            default: PlaceAutomatically(*record, in, code); break;
        }
    }
    if (code != C::Coefficients && code != C::CostModel) RenewPinchList(*record, in);
    return record;
}

// ---------------------------------------------------------------- what the scenario reads

const std::vector<PinchRecord>* GetPlacementPinchPoints(const UtilityPlacement* record) {
    if (!record || !record->IsValid()) return nullptr;
    return &record->GetPinchList();
}

double GetUserLoadCurveValue(const UtilityPlacement* record, int list, int coordinate, int index) {
    const UserSuppliedUtilityLoad* loads = record ? record->GetUserSuppliedLoads() : nullptr;
    const UserLoadCurves* curves = loads ? loads->GetCurves() : nullptr;
    if (!curves || (list != 0 && list != 1) || index < 0) return 0.0;
    const std::vector<UserLoadCurvePoint>& points = curves->GetList(list);
    if (static_cast<std::size_t>(index) >= points.size()) return 0.0;
    const UserLoadCurvePoint& p = points[static_cast<std::size_t>(index)];
    return coordinate == 0 ? p.dTemperature : coordinate == 1 ? p.dLoad : 0.0;
}

int GetNumberOfUserLoadCurvePoints(const UtilityPlacement* record, int list) {
    const UserSuppliedUtilityLoad* loads = record ? record->GetUserSuppliedLoads() : nullptr;
    const UserLoadCurves* curves = loads ? loads->GetCurves() : nullptr;
    if (!curves || (list != 0 && list != 1)) return 0;
    return static_cast<int>(curves->GetList(list).size());
}

void SetStatusesFromUserSuppliedLoads(UtilityPlacement& record) {
    const UserSuppliedUtilityLoad* loads = record.GetUserSuppliedLoads();
    if (!loads) return;
    const bool hotShort = loads->GetMakeUpSource() && std::fabs(loads->GetMakeUpSourceLoad()) >= kUtilityStreamLoad;
    const bool coldShort = loads->GetMakeUpSink() && std::fabs(loads->GetMakeUpSinkLoad()) >= kUtilityStreamLoad;
    record.EnsureSide(UtilityPlacement::Hot).nStatus = hotShort ? TargetValue::Insufficient : TargetValue::Sufficient;
    record.EnsureSide(UtilityPlacement::Cold).nStatus = coldShort ? TargetValue::Insufficient : TargetValue::Sufficient;
}

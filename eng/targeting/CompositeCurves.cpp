#include "eng/targeting/CompositeCurves.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/EnergyTarget.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace C = CompositeCurvesCodes;

int CompositeCurves::KindOfSlot(int slot) {
    static constexpr int kinds[SlotCount] = {TargetCurve::ShiftedComposite, TargetCurve::Composite,
                                             TargetCurve::UtilityComposite, TargetCurve::ShiftedBalanced,
                                             TargetCurve::Balanced};
    return slot >= 0 && slot < SlotCount ? kinds[slot] : TargetCurve::ShiftedComposite;
}

TargetCurve* CompositeCurves::BuildSlot(int slot, double hotStartLoad, double coldStartLoad,
                                        std::span<StreamSegment* const> segments) {
    if (slot < 0 || slot >= SlotCount) return nullptr;
    std::unique_ptr<TargetCurve>& curve = m_slots[slot];
    if (!curve) curve = std::make_unique<TargetCurve>(KindOfSlot(slot), hotStartLoad, coldStartLoad, segments);
    else curve->Build(hotStartLoad, coldStartLoad, segments);
    return curve.get();
}

void CompositeCurves::Clear() {
    for (auto& slot : m_slots) slot.reset();
    m_combinedCascade.clear();
}

// Both lists run from their highest boundary down, each load cumulative from its own lowest
// boundary (0.0 there). Above a temperature T the hot streams give Hh(top) - Hh(T) and the cold
// ones take Hc(top) - Hc(T); what flows down across T is the difference. The two lists are
// merged in one pass and each load is interpolated along its own list as the merge goes, so the
// cascade costs linear time in the boundaries.
void CompositeCurves::RebuildCombinedCascade() {
    m_combinedCascade.clear();
    const TargetCurve* curve = GetCurve(ShiftedBalancedSlot);
    const TIList* hot = curve ? curve->GetHotList() : nullptr;
    const TIList* cold = curve ? curve->GetColdList() : nullptr;
    const int nh = hot ? hot->GetNumberOfBoundaries() : 0;
    const int nc = cold ? cold->GetNumberOfBoundaries() : 0;
    if (nh + nc == 0) return;

    // A list's load at T, for T walking downwards; `at` is the list's first boundary not above T.
    struct Walk {
        const TIList* list;
        int n;
        int at = 0;
        double LoadAt(double t) {
            if (n == 0) return 0.0;
            while (at < n && list->GetTemperature(at) > t) ++at;
            if (at == 0) return list->GetInterval(0)->dValue;           // above the list: all of it
            if (at == n) return list->GetInterval(n - 1)->dValue;       // below the list: its bottom
            const TemperatureInterval* upper = list->GetInterval(at - 1);
            const TemperatureInterval* lower = list->GetInterval(at);
            const double span = upper->dTemperature - lower->dTemperature;
            if (!(span > 0.0)) return lower->dValue;
            return lower->dValue + (upper->dValue - lower->dValue) * (t - lower->dTemperature) / span;
        }
    };
    Walk h{hot, nh}, c{cold, nc};
    const double hotTop = nh ? hot->GetInterval(0)->dValue : 0.0;
    const double coldTop = nc ? cold->GetInterval(0)->dValue : 0.0;
    m_combinedCascade.reserve(static_cast<std::size_t>(nh + nc));
    int i = 0, j = 0;
    while (i < nh || j < nc) {
        const double th = i < nh ? hot->GetTemperature(i) : -HUGE_VAL;
        const double tc = j < nc ? cold->GetTemperature(j) : -HUGE_VAL;
        const double t = std::max(th, tc);
        if (th == t) ++i;
        if (tc == t) ++j;
        const double flow = (hotTop - h.LoadAt(t)) - (coldTop - c.LoadAt(t));
        m_combinedCascade.push_back(CurvePoint{t, flow});
    }
}

bool CompositeCurves::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion);
    for (int i = 0; ok && i < SlotCount; ++i) {
        ok = file.WriteInt(m_slots[i] ? 1 : 0);
        if (ok && m_slots[i]) ok = m_slots[i]->Store(file);
    }
    return ok && file.EndRecord(h);
}

bool CompositeCurves::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    for (int i = 0; i < SlotCount; ++i) {
        std::int32_t present = 0;
        if (!file.ReadInt(present) || (present != 0 && present != 1)) return false;
        if (!present) {
            m_slots[i].reset();
            continue;
        }
        auto curve = std::make_unique<TargetCurve>();
        // Each slot holds the curve of its own kind; the targets read them by slot.
        if (!curve->Recall(file) || curve->GetKind() != KindOfSlot(i)) {
            m_slots[i].reset();
            RebuildCombinedCascade();
            return false;
        }
        m_slots[i] = std::move(curve);
    }
    RebuildCombinedCascade();
    return file.EndRecord(h);
}

namespace {

SegmentRefs UtilitySegmentsOfSide(std::span<StreamSegment* const> segments, int side) {
    SegmentRefs out;
    for (StreamSegment* s : segments)
        if (s && s->nKind == 1 && s->nHotCold == side) out.push_back(s);
    return out;
}

}  // namespace

namespace {

// The parts of the record's update, in the order a whole update takes them.
enum CurveParts : int {
    ProcessCurves = 1,     // composite and shifted composite curves
    UtilityCurve = 2,      // utility composite curve and the placement on it
    BalancedCurves = 4,    // balanced composite curves
    ShiftedBalanced = 8,   // shifted balanced composite curves and the combined cascade
    AllParts = ProcessCurves | UtilityCurve | BalancedCurves | ShiftedBalanced,
};

void RefitUtilityCurve(CompositeCurves& record, const CompositeCurvesInputs& in, const SegmentRefs& segments) {
    const EnergyTarget* target = in.energyTarget;
    if (!record.GetCurve(CompositeCurves::UtilityCompositeSlot))
        record.SetCurve(CompositeCurves::UtilityCompositeSlot,
                        std::make_unique<TargetCurve>(TargetCurve::UtilityComposite, 0.0, 0.0, SegmentRefs()));
    TargetCurve& utilityCurve = *record.GetCurve(CompositeCurves::UtilityCompositeSlot);
    if (!target) return;
    utilityCurve.SetReferenceProfile(&target->GetIntervals());
    const double hotStart = target->GetHotUtility() - (in.hotSide ? in.hotSide->dFirst : 0.0);
    const double coldStart = target->GetColdUtility() - (in.coldSide ? in.coldSide->dSecond : 0.0);
    utilityCurve.Build(hotStart, coldStart, segments);

    std::unordered_map<const StreamSegment*, IPlacedUtilityStream*> owners;
    for (IPlacedUtilityStream* stream : in.utilityStreams) {
        StreamSegmentList* list = stream ? stream->GetDesignSegments() : nullptr;
        if (list)
            for (const auto& s : *list) owners[s.get()] = stream;
    }
    const bool placing = in.utilityAssignmentMethod == 0 && in.hotSide && in.coldSide &&
                         (in.hotSide->nStatus == 2 || in.hotSide->nStatus == 3 || in.coldSide->nStatus == 2 ||
                          in.coldSide->nStatus == 3);
    if (placing) {
        const SegmentRefs hot = UtilitySegmentsOfSide(segments, 0);
        const SegmentRefs cold = UtilitySegmentsOfSide(segments, 1);
        const auto ownerOf = [&](const StreamSegment& s) -> IPlacedUtilityStream* {
            auto found = owners.find(&s);
            return found == owners.end() ? nullptr : found->second;
        };
        PlaceUtilitiesOnCurve(utilityCurve, hot, {}, ownerOf);
        // A hot utility the curve stopped at the pinch gives no heat below it: the cold utilities
        // are placed on the profile of the hot ones as placed, not over their whole ranges.
        std::vector<std::unique_ptr<StreamSegment>> placed;
        SegmentRefs profile;
        bool trimmed = false;
        for (StreamSegment* s : segments) {
            if (!s || s->nKind != 1) continue;
            auto copy = std::make_unique<StreamSegment>(*s);
            if (s->nHotCold == 0 && s->pLink && s->pLink->nConnected != 0 &&
                s->pLink->dShiftedFarEndTemperature > s->dShiftedOutletTemperature) {
                copy->dShiftedOutletTemperature = s->pLink->dShiftedFarEndTemperature;
                copy->dOutletTemperature = s->pLink->dFarEndTemperature;
                trimmed = true;
            }
            profile.push_back(copy.get());
            placed.push_back(std::move(copy));
        }
        if (!trimmed) {
            PlaceUtilitiesOnCurve(utilityCurve, {}, cold, ownerOf);
        } else {
            TargetCurve asPlaced(TargetCurve::UtilityComposite, 0.0, 0.0, SegmentRefs());
            asPlaced.SetReferenceProfile(&target->GetIntervals());
            asPlaced.Build(hotStart, coldStart, profile);
            PlaceUtilitiesOnCurve(asPlaced, {}, cold, ownerOf);
        }
    }
    for (IPlacedUtilityStream* stream : in.utilityStreams)
        if (stream) ApplyPlacedUtilityTemperature(*stream);
}

// Codes: 3 frees; 16, 18, 19 and 39 build nothing; 35 and 36 rebuild the composite curves; every
// code but 38 (and 4 unless the utilities come from the trade-off) refits the utility composite
// curve and, with automatic placement, places the utilities on it; the balanced curves follow the
// placement when it is valid (code 38 leaves the shifted balanced curves alone).
//
// The process curves read only process segments and the energy target, and the utility curve
// only moves utilities, so the process curves may also be built after the balanced ones.
CompositeCurves* UpdateCurveParts(CompositeCurves* record, const CompositeCurvesInputs& in, int code, int parts) {
    if (code == C::Free) {
        DeleteCompositeCurves(record);
        return nullptr;
    }
    if (!record) record = new CompositeCurves();
    if (code == C::Unchanged16 || code == C::Coefficients || code == C::Unchanged19 || code == C::Unchanged39)
        return record;

    static const SegmentRefs none;
    const SegmentRefs& segments = in.segments ? *in.segments : none;
    const double coldUtility = in.energyTarget ? in.energyTarget->GetColdUtility() : 0.0;

    if ((parts & ProcessCurves) && (code == C::Recalled || code == C::StreamsChanged)) {
        record->BuildSlot(CompositeCurves::CompositeSlot, 0.0, coldUtility, segments);
        record->BuildSlot(CompositeCurves::ShiftedCompositeSlot, 0.0, coldUtility, segments);
    }
    if ((parts & UtilityCurve) && code != C::DTminTrial && !(code == C::UtilityChanged && in.utilityAssignmentMethod != 2))
        RefitUtilityCurve(*record, in, segments);

    const bool valid = in.IsPlacementValid();
    if (parts & BalancedCurves) {
        if (valid) record->BuildSlot(CompositeCurves::BalancedSlot, 0.0, 0.0, segments);
        else if (TargetCurve* curve = record->GetCurve(CompositeCurves::BalancedSlot)) curve->ClearIntervals();
    }
    if (parts & ShiftedBalanced) {
        if (valid && code != C::DTminTrial) record->BuildSlot(CompositeCurves::ShiftedBalancedSlot, 0.0, 0.0, segments);
        else if (!valid)
            if (TargetCurve* curve = record->GetCurve(CompositeCurves::ShiftedBalancedSlot)) curve->ClearIntervals();
        record->RebuildCombinedCascade();
    }
    return record;
}

}  // namespace

CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& in, int code) {
    return UpdateCurveParts(record, in, code, AllParts);
}

CompositeCurves* UpdateAreaCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& in, int code) {
    return UpdateCurveParts(record, in, code, UtilityCurve | BalancedCurves);
}

CompositeCurves* FinishCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& in, int code) {
    if (code == C::Free) return record;
    return UpdateCurveParts(record, in, code, ProcessCurves | ShiftedBalanced);
}

void ReapplyCurveShift(CompositeCurves* record, const SegmentRefs& segments, const EnergyTarget* target) {
    if (!record || !target || !target->GetIntervals().HasIntervals()) return;
    TargetCurve* curve = record->GetCurve(CompositeCurves::UtilityCompositeSlot);
    if (!curve) return;
    curve->SetReferenceProfile(&target->GetIntervals());
    curve->Build(target->GetHotUtility(), target->GetColdUtility(), segments);
}

bool StoreCompositeCurves(const CompositeCurves& record, ILurmetBinaryFile& file) { return record.Store(file); }
bool RecallCompositeCurves(CompositeCurves& record, ILurmetBinaryFile& file) { return record.Recall(file); }

void ClearCompositeCurves(CompositeCurves* record) {
    if (record) record->Clear();
}

void DeleteCompositeCurves(CompositeCurves* record) { delete record; }

#pragma once
// The scenario's five target curves in one record, rebuilt curve by curve by the change codes of
// the scenario's recalculation:
//   slot 0  shifted composite curves        (kind 0, process segments)
//   slot 1  composite curves                (kind 1, process segments)
//   slot 2  utility composite curve         (kind 4, loaded utility segments)
//   slot 3  shifted balanced composite curves (kind 2, every segment, utilities as placed)
//   slot 4  balanced composite curves       (kind 3, every segment, utilities as placed)
#include "eng/targeting/CurveInterpolation.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/UtilityPlacementOnCurve.h"

#include <memory>
#include <span>
#include <vector>

class EnergyTarget;
class ILurmetBinaryFile;

class CompositeCurves {
public:
    static constexpr int RecordVersion = 1;
    static constexpr int SlotCount = 5;
    enum Slot : int {
        ShiftedCompositeSlot = 0,
        CompositeSlot = 1,
        UtilityCompositeSlot = 2,
        ShiftedBalancedSlot = 3,
        BalancedSlot = 4,
    };

    // The kind of curve each slot holds.
    static int KindOfSlot(int slot);

    TargetCurve* GetCurve(int slot) const {
        return slot >= 0 && slot < SlotCount ? m_slots[slot].get() : nullptr;
    }
    void SetCurve(int slot, std::unique_ptr<TargetCurve> curve) {
        if (slot >= 0 && slot < SlotCount) m_slots[slot] = std::move(curve);
    }
    // Builds the slot's curve (created when absent) over `segments` with these start loads; null
    // for a slot that does not exist.
    TargetCurve* BuildSlot(int slot, double hotStartLoad, double coldStartLoad, std::span<StreamSegment* const> segments);
    // Deletes the five curves; the record stays.
    void Clear();

    // The combined heat cascade: the heat flowing down across each shifted temperature when the
    // process streams and the utilities as placed exchange heat together (the grand composite
    // curve of the balanced problem). Points (x temperature, y heat flow) from the highest
    // boundary of the shifted balanced composite curves down, at every boundary of either of
    // its lists; 0.0 at the top, and at the bottom what the utilities leave unbalanced. Empty
    // while those curves have no points. Derived, never stored: rebuilt by
    // RebuildCombinedCascade, which the builder and the recall call.
    const std::vector<CurvePoint>& GetCombinedCascade() const { return m_combinedCascade; }
    void RebuildCombinedCascade();

    // Record version 1: per slot a presence flag and the curve's record. A curve that fails to
    // read is dropped (its slot null) and the recall fails; curves read before it are kept.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    std::unique_ptr<TargetCurve> m_slots[SlotCount];
    std::vector<CurvePoint> m_combinedCascade;
};

// One side of the scenario's utility placement as the curves read it: status 0 or 2 is settled.
struct UtilityPlacementSide {
    double dFirst = 0.0;
    double dSecond = 0.0;
    int nStatus = 1;

    bool IsSettled() const { return nStatus == 0 || nStatus == 2; }
};

// What the curves read of the scenario.
struct CompositeCurvesInputs {
    // The scenario's segment list (every segment; null when there is none).
    const SegmentRefs* segments = nullptr;
    // The energy target (null when there is none): its cold utility starts the cold composite
    // curves, its grand composite curve is the utility curve's reference.
    const EnergyTarget* energyTarget = nullptr;
    // 0 automatic placement on the grand composite curve, 1 user-supplied loads, 2 trade-off.
    int utilityAssignmentMethod = 0;
    // The placement's two sides; null when the placement has no such side.
    const UtilityPlacementSide* hotSide = nullptr;
    const UtilityPlacementSide* coldSide = nullptr;
    // The scenario's utility streams, in stream order.
    std::span<IPlacedUtilityStream* const> utilityStreams;

    bool IsPlacementValid() const { return hotSide && coldSide && hotSide->IsSettled() && coldSide->IsSettled(); }
};

namespace CompositeCurvesCodes {
constexpr int Free = 3;
constexpr int UtilityChanged = 4;
constexpr int Unchanged16 = 16;
constexpr int Coefficients = 18;
constexpr int Unchanged19 = 19;
constexpr int Recalled = 35;
constexpr int StreamsChanged = 36;
constexpr int DTminTrial = 38;
constexpr int Unchanged39 = 39;
}  // namespace CompositeCurvesCodes

// The scenario's builder of the record: code 3 deletes it and answers null; otherwise the record
// is created when absent and its curves rebuilt as the code asks (see CompositeCurves.cpp).
CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& inputs, int changeCode);
// The same update in two steps, so that the area target, which reads only the balanced curves,
// runs before the other curves are built (a large table's area target then does not run while
// they are held): first the utility composite curve (and the placement on it) and the balanced
// curves, then the composite, shifted composite and shifted balanced curves and the combined
// cascade. The two steps leave what one update leaves; the second does nothing on code 3.
CompositeCurves* UpdateAreaCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& inputs, int changeCode);
CompositeCurves* FinishCompositeCurves(CompositeCurves* record, const CompositeCurvesInputs& inputs, int changeCode);

// After a recall: the utility composite curve takes the energy target's grand composite curve as
// its reference again and is rebuilt with the hot and cold utility targets as start loads.
void ReapplyCurveShift(CompositeCurves* record, const SegmentRefs& segments, const EnergyTarget* energyTarget);

bool StoreCompositeCurves(const CompositeCurves& record, ILurmetBinaryFile& file);
bool RecallCompositeCurves(CompositeCurves& record, ILurmetBinaryFile& file);
void ClearCompositeCurves(CompositeCurves* record);
void DeleteCompositeCurves(CompositeCurves* record);

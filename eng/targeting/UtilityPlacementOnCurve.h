#pragma once
// Placing the utilities on the target curves: where the utility composite curve crosses zero
// gives the temperature down to which each hot utility is used (and up to which each cold one
// is); each utility segment takes its share of load and the temperature it is used to, and each
// utility stream takes the temperature its used segments reach.
#include "eng/core/StreamSegment.h"
#include "eng/targeting/TemperatureInterval.h"

#include <functional>
#include <span>

class TargetCurve;

// What placement changes on a utility stream. The scenario's stream class answers it (or an
// adapter over it); tests answer it with a fake.
class IPlacedUtilityStream {
public:
    virtual ~IPlacedUtilityStream() = default;
    // The stream's design segments; null or empty when it has none.
    virtual StreamSegmentList* GetDesignSegments() = 0;
    // The temperature the utility is used to (the stream's stored value).
    virtual void SetStoredValue(double temperature) = 0;
    // Forgets the loads computed so far (both computed-load flags).
    virtual void ClearLoadFlags() = 0;
    // Recomputes the stream's heat loads (targeting and network view).
    virtual void RecomputeHeatLoads() = 0;
    // end +1 or -1.
    virtual void UpdateEndToleranceLoad(int end) = 0;
};

namespace UtilityPlacementLimits {
constexpr double NoHotCrossing = -273.15;  // an empty hot list places hot utilities here
constexpr double NoColdCrossing = 3000.0;  // an empty cold list places cold utilities here
}  // namespace UtilityPlacementLimits

// Where the utility composite curve's hot list crosses zero, walking up from its lowest point
// while the load is negative (interpolated between the last point passed and the first that
// stopped the walk); -273.15 without a hot list. The cold crossing walks the cold list down from
// its highest point; 3000.0 without a cold list.
double HotUtilityCrossing(const TargetCurve& utilityCurve);
double ColdUtilityCrossing(const TargetCurve& utilityCurve);

// Places one utility segment at the shifted temperature `t`. A hot segment is used from its
// supply down to t: inside its shifted range it is placed at t with load (supply - placed
// actual) x CP; a range wholly above t is used whole (placed at its target, load kept); a range
// wholly below t is not used (load 0.0). Cold segments mirror this, used from their supply up to
// t, the load counted positive. `owner`, when given, forgets its computed loads whenever the load
// is changed. A segment without a network block has nowhere to keep a placement and is left.
// The segment is marked cross-pinch when it is used with a load above 1e-8 (placement on the
// curve happens only while a side carries placed load, status 2 or 3), else the mark is cleared.
void PlaceUtilitySegment(StreamSegment& segment, double t, IPlacedUtilityStream* owner = nullptr);

// Places every hot utility segment at the hot crossing and every cold one at the cold crossing
// of the utility composite curve. `ownerOf` finds a segment's stream (may be empty).
void PlaceUtilitiesOnCurve(const TargetCurve& utilityCurve, std::span<StreamSegment* const> hotUtilitySegments,
                           std::span<StreamSegment* const> coldUtilitySegments,
                           const std::function<IPlacedUtilityStream*(const StreamSegment&)>& ownerOf = {});

// The stream takes the temperature its used segments reach (a cold utility the highest placed
// actual temperature, a hot one the lowest), forgets and recomputes its loads; then, whatever
// was found, refreshes the tolerance loads of both its ends. A stream without segments is left.
void ApplyPlacedUtilityTemperature(IPlacedUtilityStream& stream);

// Every utility segment placed at its own shifted target and target, and used; no cross-pinch mark.
void ResetUtilityPlacementOfSegments(std::span<StreamSegment* const> segments);

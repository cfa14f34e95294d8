#pragma once
// A scenario's utility stream as utility placement on the curves sees it: the placement sets the
// temperature the utility is used to, makes the stream forget and recompute its loads, and
// refreshes the tolerance loads at its ends.
#include "eng/targeting/UtilityPlacementOnCurve.h"

class IHeatIntegrationStreamForTargeting;

class PlacedUtilityStreamAdapter : public IPlacedUtilityStream {
public:
    explicit PlacedUtilityStreamAdapter(IHeatIntegrationStreamForTargeting& stream) : m_stream(&stream) {}

    StreamSegmentList* GetDesignSegments() override;
    void SetStoredValue(double temperature) override;
    void ClearLoadFlags() override;
    // Both views: the targeting load (all segments) and the network load (connected segments).
    void RecomputeHeatLoads() override;
    void UpdateEndToleranceLoad(int end) override;

    IHeatIntegrationStreamForTargeting& GetStream() const { return *m_stream; }

private:
    IHeatIntegrationStreamForTargeting* m_stream;
};

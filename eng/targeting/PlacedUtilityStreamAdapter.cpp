#include "eng/targeting/PlacedUtilityStreamAdapter.h"

#include "eng/model/IHeatIntegrationStreamForTargeting.h"

StreamSegmentList* PlacedUtilityStreamAdapter::GetDesignSegments() { return m_stream->GetDesignSegments(); }

void PlacedUtilityStreamAdapter::SetStoredValue(double temperature) { m_stream->SetStoredValue(temperature); }

void PlacedUtilityStreamAdapter::ClearLoadFlags() { m_stream->ForgetComputedLoads(); }

void PlacedUtilityStreamAdapter::RecomputeHeatLoads() {
    m_stream->GetHeatLoad(0);
    m_stream->GetHeatLoad(1);
}

void PlacedUtilityStreamAdapter::UpdateEndToleranceLoad(int end) { m_stream->UpdateEndToleranceLoad(end); }

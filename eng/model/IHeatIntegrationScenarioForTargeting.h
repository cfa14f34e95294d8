#pragma once
// What the targeting record builders read of a scenario beyond the general interface: the segment
// pool the targets are computed over, the per-match data, the economics in use and the target
// records already built (the curves and the placement read the energy target, the area target
// the curves). A scenario is one; targeting reaches it through this interface, never the class.
#include "eng/model/IHeatIntegrationScenario.h"
#include "tevrin/CPTypedList.h"

class CompositeCurves;
class DefaultManager;
class EnergyTarget;
class MatchwiseStreamDataList;
class StreamSegment;
class UtilityPlacement;

class IHeatIntegrationScenarioForTargeting : public IHeatIntegrationScenario {
public:
    ~IHeatIntegrationScenarioForTargeting() override = default;

    // The segments of all streams the targets are computed over (null before the first update).
    virtual CPTypedList<StreamSegment>* GetSegmentPool() const = 0;
    virtual MatchwiseStreamDataList* GetMatchwiseStreamData() const = 0;
    // The manager of default utilities and economics in use: the site's in a total-site
    // scenario that has one, else the scenario's own.
    virtual DefaultManager& GetActiveManager() const = 0;
    // The utility placement record exists and both its sides are settled (status 0 or 2).
    virtual bool IsUtilityPlacementValid() const = 0;
    virtual EnergyTarget* GetEnergyTargetRecord() const = 0;
    virtual UtilityPlacement* GetUtilityPlacementRecord() const = 0;
    virtual CompositeCurves* GetCompositeCurvesRecord() const = 0;
};

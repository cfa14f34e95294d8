#pragma once
// What a heat-integration stream needs of whoever owns it. A stream belongs either to a scenario
// or to a site utility manager; both implement this, and the stream reaches its owner through
// nothing else.
#include "dunmor/CPString.h"

class IHeatIntegrationStream;
class IHeatIntegrationStreamForTargeting;

class IStreamOwner {
public:
    virtual ~IStreamOwner() = default;

    // True for a scenario, false for a site utility manager.
    virtual bool IsScenario() const = 0;

    // Another stream of the same owner by name; null when there is none (a stream that is being
    // recalled is not found until the owner has entered it).
    virtual IHeatIntegrationStreamForTargeting* FindStream(const CPString& name) = 0;

    // Scenario: the stream has shifted its design segments afresh (new DTmin contribution), so
    // whatever was built from the shifted temperatures is out of date.
    virtual void MarkSegmentsChanged(IHeatIntegrationStreamForTargeting& /*stream*/) {}

    // Site utility manager: the stream's DTmin contribution changed; the manager shifts the
    // stream's design segments (`GetDesignSegments`) with `dTmin` in its own way.
    virtual void ApplySiteDTmin(IHeatIntegrationStreamForTargeting& /*stream*/, double /*dTmin*/) {}

    // The operating cost of the stream, from the owner's cost functions; 0.0 where there are none.
    virtual double GetStreamOperatingCost(const IHeatIntegrationStream& /*stream*/) { return 0.0; }

    // Whether a retrofit study holds the named value of a stream that is not locked itself: for a
    // site utility manager, where a retrofit study in a scenario of the site holds its copy (that
    // copy is locked for the study's base); for a scenario, where the site holds the site stream
    // its copy stands for. `IHeatIntegrationStream::IsHeldByRetrofitBase` asks it.
    virtual bool HoldsForRetrofitBase(const IHeatIntegrationStream& /*stream*/, const char* /*name*/) const {
        return false;
    }
};

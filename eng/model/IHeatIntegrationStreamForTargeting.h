#pragma once
// A heat-integration stream as its owner (a scenario or a site utility manager) and the targeting
// code handle it beyond the general interface: kind and side by name, utility placement's marks
// on it, its design segments, its value set and its record. Targeting reaches streams through
// this interface, never the class.
#include "eng/model/IHeatIntegrationStream.h"

#include <cstdint>
#include <memory>

class ILurmetBinaryFile;
class IStreamOwner;
class StreamPropertySet;

class IHeatIntegrationStreamForTargeting : public IHeatIntegrationStream {
public:
    enum Kind : int { KindProcess = 0, KindUtility = 1, KindLinked = 2, KindNotSet = 5 };
    enum Side : int { SideHot = 0, SideCold = 1, SideUndetermined = 2 };

    ~IHeatIntegrationStreamForTargeting() override = default;

    // The owner gives each stream a distinct number (its identity for retrofit).
    virtual void SetStoredInt(std::int32_t value) = 0;
    // Utility placement: the temperature a placed utility is used to (read by GetStoredValue and
    // kept in the record), and forgetting the loads computed so far, so that the next GetHeatLoad
    // of either view sums the placed segments afresh.
    virtual void SetStoredValue(double value) = 0;
    virtual void ForgetComputedLoads() = 0;
    virtual void UpdateEndToleranceLoad(int end) = 0;
    // Whether the stream's design segments (a utility's to their far end) reach into the interval
    // from `upper` down to `lower`; false without segments or side.
    virtual bool IsInInterval(double upper, double lower) const = 0;

    virtual StreamPropertySet& GetPropertySet() = 0;
    virtual const StreamPropertySet& GetPropertySet() const = 0;
    // The design segments (null until built or recalled).
    using IHeatIntegrationStream::GetDesignSegments;
    virtual StreamSegmentList* GetDesignSegments() = 0;

    // The stream's record in a case file (the owner keeps the streams' records in its own).
    virtual bool Store(ILurmetBinaryFile& file) const = 0;
    virtual bool Recall(ILurmetBinaryFile& file) = 0;
};

// A new stream of `owner` (may be null for a free-standing stream) named `name`.
std::unique_ptr<IHeatIntegrationStreamForTargeting> CreateHeatIntegrationStream(IStreamOwner* owner,
                                                                               const CPString& name);

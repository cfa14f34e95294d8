#pragma once
// What the flowsheet needs of the stream behind a stream start, end or segment: its identity and
// its temperature segments with their heat-capacity flow rates and film coefficients. The
// heat-integration stream of the module answers these operations with the same signatures, so it
// is handed to the flowsheet as it is.
#include "dunmor/CPString.h"

class IFlowsheetStream {
public:
    virtual ~IFlowsheetStream() = default;

    virtual const CPString& GetName() const = 0;
    virtual int GetStreamKind() const = 0;  // 0 process, 1 utility, 2 linked
    virtual int GetHotCold() const = 0;     // 0 hot, 1 cold, 2 undetermined
    virtual int GetNumberOfSegments() const = 0;
    // "Temperature" points (segments + 1) and per-segment values such as "HTCoeff": 1 and the
    // entry; 0 when it does not exist.
    virtual int GetValue(const CPString& name, double& out, int index) const = 0;
    virtual double GetSegmentHeatCapacityFlowrate(int segment) const = 0;
    virtual double GetSupplyTemperature() const = 0;
    virtual double GetTargetTemperature() const = 0;
};

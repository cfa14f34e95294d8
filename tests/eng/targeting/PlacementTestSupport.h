#pragma once
// Support for the utility-placement tests: a stream double that keeps its own segment and spreads
// a load over it as a utility does, and a project made by the engineering manager holding the
// four-stream problem (H1 170->60 CP 3, H2 150->30 CP 1.5, C1 20->135 CP 2, C2 80->140 CP 4)
// with utilities added by name, so that they take their factory defaults.
#include "tests/eng/model/ScenarioTestDoubles.h"

#include "brasko/EngineeringManager.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/NeutralStream.h"
#include "eng/model/Project.h"
#include "eng/model/Scenario.h"
#include "eng/core/StreamSegment.h"
#include "eng/targeting/TemperatureInterval.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace placement_test {

// A stream with one segment. A utility's load is set on the segment (load and heat-capacity flow
// rate), as the scenario's streams do; a process stream's load follows from its segment.
class PlacementStream : public NeutralStream {
public:
    PlacementStream(const char* name, double supply, double target, double cp, int kind, double dtMin = 10.0)
        : name(name), kind(kind) {
        segment.dInletTemperature = supply;
        segment.dOutletTemperature = target;
        segment.dHeatCapacityFlowrate = cp;
        segment.dLoad = std::fabs(supply - target) * cp;
        segment.nHotCold = supply >= target ? 0 : 1;
        segment.nKind = kind;
        segment.pStream = this;
        segment.strStreamName = name;
        if (kind == 1) {
            segment.pLink = std::make_unique<StreamSegmentLink>();
            segment.pLink->nConnected = 1;
            segment.pLink->dFarEndTemperature = target;
        }
        segment.ShiftTemperatures(dtMin);
    }

    double Range() const { return std::fabs(segment.dInletTemperature - segment.dOutletTemperature); }

    int GetStreamKind() const override { return kind; }
    int GetHotCold() const override { return segment.nHotCold; }
    const CPString& GetName() const override { return name; }
    double GetHeatLoad(int) override { return std::fabs(segment.dHeatCapacityFlowrate) * Range(); }
    void SetHeatLoad(double l, int mode) override {
        loadsSet.push_back({l, mode});
        segment.dLoad = l;
        segment.dHeatCapacityFlowrate = Range() > 0.0 ? l / Range() : 0.0;
    }
    double GetCostIndex() const override { return costIndex; }
    void SetCostIndex(double c) override { costIndex = c; }
    double GetSupplyTemperature() const override { return segment.dInletTemperature; }
    double GetTargetTemperature() const override { return segment.dOutletTemperature; }

    int GetNumberOfSegments() const override { return 1; }
    bool IsLinkedTo(const CPString& other) const override {
        for (const CPString& l : links)
            if (l == other) return true;
        return false;
    }
    double GetSegmentHeatCapacityFlowrate(int) const override { return segment.dHeatCapacityFlowrate; }

    struct LoadSet {
        double load;
        int mode;
    };
    CPString name;
    int kind;
    double costIndex = 0.0;
    // Streams this one may not be matched with.
    std::vector<CPString> links;
    StreamSegment segment;
    std::vector<LoadSet> loadsSet;
};

// Streams and the segment list placement is given.
struct StreamSet {
    PlacementStream& Add(const char* name, double supply, double target, double cp, int kind = 0,
                         double dtMin = 10.0) {
        owned.push_back(std::make_unique<PlacementStream>(name, supply, target, cp, kind, dtMin));
        streams.push_back(owned.back().get());
        segments.push_back(&owned.back()->segment);
        return *owned.back();
    }
    void AddFourStreams(double dtMin = 10.0) {
        ForEachFourStream([&](const char* n, double s, double t, double cp) { Add(n, s, t, cp, 0, dtMin); });
    }
    std::vector<std::unique_ptr<PlacementStream>> owned;
    std::vector<IHeatIntegrationStream*> streams;
    SegmentRefs segments;
};

using ::FourStreamProject;

}  // namespace placement_test

#pragma once
// Shared pieces of the area-target tests: a scenario with process streams (real streams, so that
// segments know their streams and the scenario keeps match records), and the inputs of the area
// code over a set of segments with their balanced composite curves built.
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/TargetCurve.h"

#include <memory>

namespace area_test {

// A scenario without record builders: the tests drive the area code themselves.
struct StreamScenario {
    StreamScenario() : scenario(std::make_unique<CPIScenario>(nullptr)) {}

    CPIHeatIntegrationStream* Add(const CPString& name, double supply, double target, double cp, double h) {
        if (!scenario->AddStream(name, 0)) return nullptr;
        CPIHeatIntegrationStream* s = scenario->FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HeatCapacityFlowrate", cp, 0);
        s->SetValue("HTCoeff", h, 0);
        return s;
    }
    SegmentRefs Segments() const {
        SegmentRefs out;
        if (const CPTypedList<StreamSegment>* pool = scenario->GetSegmentPool())
            for (StreamSegment* s : *pool) out.push_back(s);
        return out;
    }
    MatchwiseStreamDataList* Matches() const { return scenario->GetMatchwiseStreamData(); }

    std::unique_ptr<CPIScenario> scenario;
};

// The inputs of the area code over `segments` (kept by the caller): a valid placement, the
// balanced composite curves of the segments, the given DTmin.
struct CurveInputs {
    CurveInputs(const SegmentRefs& s, double dtMin) : segments(s) {
        curve = std::make_unique<TargetCurve>(TargetCurve::Balanced, 0.0, 0.0, segments);
        in.segments = &segments;
        in.balancedCurves = curve.get();
        in.placementValid = true;
        in.dtMin = dtMin;
    }
    SegmentRefs segments;
    std::unique_ptr<TargetCurve> curve;
    AreaTargetInputs in;
};

}  // namespace area_test

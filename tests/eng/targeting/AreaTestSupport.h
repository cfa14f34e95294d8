#pragma once
// Shared pieces of the area-target tests: a scenario with process streams (real streams, so that
// segments know their streams and the scenario keeps match records), and the inputs of the area
// code over a set of segments with their balanced composite curves built.
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/AreaLP.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/TargetCurve.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>

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

// Random process streams, half hot and half cold (temperatures 40 to 300 C, at least 10 K apart),
// a hot and a cold utility that can each take the whole process load of the other side with a
// margin (so that any forbidden match leaves heat somewhere to go), and one forbidden pair in four
// streams.
inline void AddRandomForbiddenTable(StreamScenario& s, unsigned seed, int count) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> t(40.0, 300.0), cp(1.0, 10.0), film(0.1, 2.0);
    double hot = 0.0, cold = 0.0;
    for (int i = 0; i < count; ++i) {
        double a = t(rng), b = t(rng);
        while (std::fabs(a - b) < 10.0) b = t(rng);
        const bool isHot = i % 2 == 0;
        const double c = cp(rng);
        s.Add("S" + std::to_string(i), isHot ? std::max(a, b) : std::min(a, b), isHot ? std::min(a, b) : std::max(a, b), c,
              film(rng));
        (isHot ? hot : cold) += c * std::fabs(a - b);
    }
    s.Add("HU", 400, 399, cold + 100.0, film(rng));
    s.Add("CU", 10, 11, hot + 100.0, film(rng));
    for (int k = 0; k + 3 < count; k += 4)
        s.scenario->FindStream(("S" + std::to_string(k)).c_str())->LinkStream(("S" + std::to_string(k + 3)).c_str());
}

// What an area LP answers after a computation.
struct LPOutcome {
    int state = AreaLP::NotComputed;
    double objective = 0.0, countercurrent = 0.0, shellAndTube = 0.0, shells = 0.0;
};

inline LPOutcome OutcomeOf(const AreaLP& lp) {
    LPOutcome o;
    o.state = lp.GetState();
    o.objective = lp.GetModel() ? lp.GetModel()->dObjectiveValue : 0.0;
    o.countercurrent = lp.GetCountercurrentArea();
    o.shellAndTube = lp.GetShellAndTubeArea();
    o.shells = lp.GetShells();
    return o;
}

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

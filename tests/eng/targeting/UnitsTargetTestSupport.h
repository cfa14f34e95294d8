#pragma once
// Streams for the units-target tests, built as a scenario builds them: values set as a user
// would, design segments taken, shifted for the scenario's DTmin, end tolerance loads refreshed.
#include "eng/model/HeatIntegrationStream.h"
#include "eng/targeting/UnitsTarget.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace units_test {

using streamtest::FakeStreamOwner;

class StreamSet {
public:
    StreamSet() { streamtest::EnsureRegistries(); }

    // A process stream from `in` to `out` (one segment per pair of neighbouring points) with one
    // flow rate per segment.
    CPIHeatIntegrationStream* Process(const char* name, std::vector<double> points, std::vector<double> cps,
                                      double dtMin = 10.0) {
        CPIHeatIntegrationStream* s = owner.Add(name);
        streamtest::SetPoints(*s, points);
        streamtest::SetSegmentValues(*s, "HeatCapacityFlowrate", cps);
        return Finish(*s, dtMin);
    }
    CPIHeatIntegrationStream* Process(const char* name, double in, double out, double cp, double dtMin = 10.0) {
        return Process(name, std::vector<double>{in, out}, std::vector<double>{cp}, dtMin);
    }
    // A one-segment utility from `in` to `out` carrying `load` in the network.
    CPIHeatIntegrationStream* Utility(const char* name, double in, double out, double load, double dtMin = 10.0) {
        CPIHeatIntegrationStream* u = owner.Add(name, CPIHeatIntegrationStream::KindUtility);
        streamtest::SetPoints(*u, {in, out});
        streamtest::SetSegmentValues(*u, "SpecificHeat", {1.0});
        Finish(*u, dtMin);
        u->SetHeatLoad(load, 1);
        u->UpdateEndToleranceLoad(1);
        u->UpdateEndToleranceLoad(-1);
        return u;
    }
    CPIHeatIntegrationStream* Find(const char* name) { return owner.FindStream(name); }

    UnitsTargetData::StreamRefs Refs() const {
        UnitsTargetData::StreamRefs refs;
        for (const auto& s : owner.streams) refs.push_back(s.get());
        return refs;
    }
    UnitsTargetData::StreamRefs Refs(std::initializer_list<const char*> names) {
        UnitsTargetData::StreamRefs refs;
        for (const char* n : names) refs.push_back(Find(n));
        return refs;
    }

    FakeStreamOwner owner;

private:
    CPIHeatIntegrationStream* Finish(CPIHeatIntegrationStream& s, double dtMin) {
        streamtest::TakeSegments(s);
        s.SetDTminContribution(dtMin, "Global", 0, 0);
        s.UpdateEndToleranceLoad(1);
        s.UpdateEndToleranceLoad(-1);
        return &s;
    }
};

// The four-stream textbook problem (DTmin 10: 20 kW of hot and 60 kW of cold utility, pinch at
// 90 °C hot / 80 °C cold), with its two utilities.
inline void AddFourStreamProblem(StreamSet& set, bool withUtilities = true) {
    set.Process("H1", 170, 60, 3.0);
    set.Process("H2", 150, 30, 1.5);
    set.Process("C1", 20, 135, 2.0);
    set.Process("C2", 80, 140, 4.0);
    if (withUtilities) {
        set.Utility("HP Steam", 250, 249, 20.0);
        set.Utility("Cooling Water", 20, 25, 60.0);
    }
}

// A hot and a cold stream that exchange exactly `load` with at least 5 °C between them: the cold
// one from `coldIn` up by `coldSpan`, the hot one above its target.
inline void AddBalancedPair(StreamSet& set, const std::string& hot, const std::string& cold, double coldIn,
                            double coldSpan, double hotSpan, double load) {
    const double coldOut = coldIn + coldSpan;
    const double hotOut = coldOut + 5.0;
    set.Process(hot.c_str(), hotOut + hotSpan, hotOut, load / hotSpan, 2.0);
    set.Process(cold.c_str(), coldIn, coldOut, load / coldSpan, 2.0);
}

// Names of an entry, sorted.
inline std::vector<std::string> SortedNames(const UnitsTargetEntry& e) {
    std::vector<std::string> names;
    for (int i = 0; i < e.GetNumberOfNames(); ++i) names.emplace_back(e.GetName(i));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace units_test

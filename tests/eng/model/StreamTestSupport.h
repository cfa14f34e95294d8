#pragma once
#include "tests/support/NotificationRecorder.h"
// Test doubles for the heat-integration stream: an owner that holds streams by name, a receiver
// that records change codes, and small helpers that build typical streams.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "dunmor/Units.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/IStreamOwner.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace streamtest {

constexpr double kEmpty = Units::EmptyValue;

// The property bounds come from the module's registries; the loaded library builds them, and a
// test makes sure they are there before it relies on them.
inline void EnsureRegistries() { LoadModuleRegistries(); }

class FakeStreamOwner : public IStreamOwner {
public:
    explicit FakeStreamOwner(bool scenario = true) : m_scenario(scenario) {}

    bool IsScenario() const override { return m_scenario; }
    CPIHeatIntegrationStream* FindStream(const CPString& name) override {
        for (auto& s : streams)
            if (s->GetName() == name) return s.get();
        return nullptr;
    }
    void MarkSegmentsChanged(IHeatIntegrationStreamForTargeting&) override { ++markedChanged; }
    void ApplySiteDTmin(IHeatIntegrationStreamForTargeting&, double dTmin) override {
        ++siteDTminCalls;
        lastSiteDTmin = dTmin;
    }
    double GetStreamOperatingCost(const IHeatIntegrationStream&) override { return operatingCost; }

    CPIHeatIntegrationStream* Add(const CPString& name, int kind = CPIHeatIntegrationStream::KindProcess) {
        streams.push_back(std::make_unique<CPIHeatIntegrationStream>(this, name));
        streams.back()->SetStreamKind(kind, 0);
        return streams.back().get();
    }
    // Enters a stream built elsewhere (a recalled one) under its own name.
    CPIHeatIntegrationStream* Enter(std::unique_ptr<CPIHeatIntegrationStream> stream) {
        streams.push_back(std::move(stream));
        return streams.back().get();
    }
    void Remove(const CPString& name) {
        streams.erase(std::remove_if(streams.begin(), streams.end(), [&](const auto& s) { return s->GetName() == name; }),
                      streams.end());
    }

    std::vector<std::unique_ptr<CPIHeatIntegrationStream>> streams;
    int markedChanged = 0;
    int siteDTminCalls = 0;
    double lastSiteDTmin = 0.0;
    double operatingCost = 0.0;

private:
    bool m_scenario;
};

using RecordingReceiver = NotificationRecorder;

inline void* AsData(CPIHeatIntegrationStream& s) { return static_cast<IHeatIntegrationStream*>(&s); }

// Points and per-segment values of a process stream, set as a user would.
inline void SetPoints(CPIHeatIntegrationStream& s, const std::vector<double>& points) {
    while (s.GetNumberOfSegments() < static_cast<int>(points.size()) - 1) s.InsertSegment(s.GetNumberOfSegments());
    for (std::size_t i = 0; i < points.size(); ++i) s.SetValue("Temperature", points[i], static_cast<int>(i));
}
inline void SetSegmentValues(CPIHeatIntegrationStream& s, const char* name, const std::vector<double>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) s.SetValue(name, values[i], static_cast<int>(i));
}
inline double Value(const IHeatIntegrationStream& s, const char* name, int index = 0) {
    double v = -1.0;
    s.GetValue(name, v, index);
    return v;
}
// Builds the stream's design segments from its values, as the scenario does once the set is
// complete.
inline void TakeSegments(CPIHeatIntegrationStream& s) { s.SetDesignSegments(s.BuildDesignSegments()); }

}  // namespace streamtest

#pragma once
// The textbook four-stream problem every targeting test starts from (minimum hot utility 20 kW and
// cold utility 60 kW at DTmin 10, pinch at 90/80 °C), and its adapters: as bare segments, as a
// scenario's streams and, through a caller's own stream double, as anything else.
#include <cmath>

struct FourStreamRow {
    const char* name;
    double supply;
    double target;
    double cp;  // kW/°C
};

inline constexpr FourStreamRow kFourStreams[] = {
    {"H1", 170.0, 60.0, 3.0}, {"H2", 150.0, 30.0, 1.5}, {"C1", 20.0, 135.0, 2.0}, {"C2", 80.0, 140.0, 4.0}};

// Calls add(name, supply, target, cp) for each of the four streams, hot ones first.
template <typename Add>
void ForEachFourStream(Add&& add) {
    for (const FourStreamRow& r : kFourStreams) add(r.name, r.supply, r.target, r.cp);
}

// Segment adapter: `set.Add(supply, target, cp)` on a segment set.
template <typename SegmentSet>
void AddFourStreamSegments(SegmentSet& set) {
    ForEachFourStream([&](const char*, double s, double t, double cp) { set.Add(s, t, cp); });
}

// Scenario adapter: the four process streams added by name with a film coefficient `h` (none
// when 0), inside one suspension of the calculations.
template <typename Scenario>
void AddFourProcessStreams(Scenario& scenario, double h = 0.0) {
    scenario.SuspendCalculations();
    ForEachFourStream([&](const char* name, double s, double t, double cp) {
        if (scenario.AddStream(name, 0) != 1) return;
        auto* stream = scenario.FindStream(name);
        stream->SetValue("Temperature", s, 0);
        stream->SetValue("Temperature", t, 1);
        stream->SetValue("HeatCapacityFlowrate", cp, 0);
        if (h > 0.0) stream->SetValue("HTCoeff", h, 0);
    });
    scenario.ResumeCalculations(true);
}

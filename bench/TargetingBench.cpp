// Energy target and target curves of random process-stream problems: 100, 1,000 and 10,000
// streams (supply and target 20 to 400 degrees C, CP 1 to 50 kW/K), and a sweep of 100 minimum
// approach temperatures on 100 streams.
#include "eng/core/StreamSegment.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/EnergyTarget.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Problem {
    std::vector<std::unique_ptr<StreamSegment>> owned;
    SegmentRefs refs;

    Problem(int streams, unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> temperature(20.0, 400.0);
        std::uniform_real_distribution<double> cp(1.0, 50.0);
        for (int i = 0; i < streams; ++i) {
            auto s = std::make_unique<StreamSegment>();
            s->dInletTemperature = temperature(rng);
            do s->dOutletTemperature = temperature(rng);
            while (std::fabs(s->dOutletTemperature - s->dInletTemperature) < 1.0);
            s->dHeatCapacityFlowrate = cp(rng);
            s->nHotCold = s->dInletTemperature > s->dOutletTemperature ? 0 : 1;
            s->nKind = 0;
            s->dLoad = std::fabs(s->dInletTemperature - s->dOutletTemperature) * s->dHeatCapacityFlowrate;
            refs.push_back(s.get());
            owned.push_back(std::move(s));
        }
        Shift(10.0);
    }
    void Shift(double dtMin) {
        for (StreamSegment* s : refs) s->ShiftTemperatures(dtMin);
    }
};

void BM_EnergyTarget(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)), 7);
    for (auto _ : state) {
        EnergyTarget t(p.refs, 10.0);
        benchmark::DoNotOptimize(t.GetHotUtility());
    }
}

BENCHMARK(BM_EnergyTarget)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same model handed to the solver library instead of walked.
void BM_EnergyTargetBySolver(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)), 7);
    EnergyTarget t(p.refs, 10.0);
    for (auto _ : state) {
        t.BuildModel();
        t.SolveWithSolver();
        t.ComputeResults();
        benchmark::DoNotOptimize(t.GetHotUtility());
    }
}
BENCHMARK(BM_EnergyTargetBySolver)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TargetCurves(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)), 7);
    EnergyTarget target(p.refs, 10.0);
    CompositeCurvesInputs in;
    in.segments = &p.refs;
    in.energyTarget = &target;
    for (auto _ : state) {
        CompositeCurves* curves = UpdateCompositeCurves(nullptr, in, CompositeCurvesCodes::StreamsChanged);
        benchmark::DoNotOptimize(curves->GetCurve(CompositeCurves::CompositeSlot)->GetPointValue(1, 1, 0));
        DeleteCompositeCurves(curves);
    }
}
BENCHMARK(BM_TargetCurves)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The scenario's recalculation for one change: the energy target, then the curves that read it.
void BM_EnergyTargetAndCurves(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)), 11);
    CompositeCurvesInputs in;
    in.segments = &p.refs;
    for (auto _ : state) {
        EnergyTarget* target = UpdateEnergyTarget(nullptr, &p.refs, 10.0, EnergyTargetCodes::StreamsChanged);
        in.energyTarget = target;
        CompositeCurves* curves = UpdateCompositeCurves(nullptr, in, CompositeCurvesCodes::StreamsChanged);
        benchmark::DoNotOptimize(curves);
        DeleteCompositeCurves(curves);
        DeleteEnergyTarget(target);
    }
}
BENCHMARK(BM_EnergyTargetAndCurves)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// 100 DTmin values from 1 to 100 on 100 streams: one record rebuilt at each trial value.
void BM_DTminSweep(benchmark::State& state) {
    Problem p(100, 3);
    for (auto _ : state) {
        EnergyTarget* record = nullptr;
        for (int i = 1; i <= 100; ++i) {
            const double dt = static_cast<double>(i);
            p.Shift(dt);
            record = UpdateEnergyTarget(record, &p.refs, dt, EnergyTargetCodes::DTminTrial);
            benchmark::DoNotOptimize(record->GetHotUtility());
        }
        DeleteEnergyTarget(record);
    }
}
BENCHMARK(BM_DTminSweep)->Unit(benchmark::kMillisecond);

}  // namespace

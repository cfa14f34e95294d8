// The new-exchanger model of an existing network of 12 hot and 12 cold streams joined by 40
// exchangers in series along the streams, every cold stream finished by a heater and every hot
// stream by a cooler: positions, candidate superstructure, rows and the solve with read-back.
#include "eng/retrofit/PinchModifications.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

RetrofitNetwork SeriesNetwork(int hots, int colds, int exchangers) {
    RetrofitNetwork net;
    std::uint32_t next = 1;
    auto node = [&]() {
        NodeInfo info;
        info.fingerprint = next++;
        info.splitFraction = 1.0;
        net.nodes.push_back(info);
        return info.fingerprint;
    };
    const int hotUtility = hots + colds + 1, coldUtility = hots + colds + 2;
    HotUtilInfo steam;
    steam.streamId = hotUtility;
    steam.unitCost = 0.01;
    net.hotUtilities.push_back(steam);
    ColdUtilInfo water;
    water.streamId = coldUtility;
    water.unitCost = 0.001;
    net.coldUtilities.push_back(water);
    std::vector<std::uint32_t> hotAt(static_cast<std::size_t>(hots)), coldAt(static_cast<std::size_t>(colds));
    std::vector<int> hotUnits(static_cast<std::size_t>(hots)), coldUnits(static_cast<std::size_t>(colds));
    for (int i = 0; i < hots; ++i) {
        HotStrmInfo h;
        h.streamId = i + 1;
        h.supplyTemperature = 473.15 - 5.0 * i;
        h.targetTemperature = 333.15;
        h.pointTemperatures = {h.supplyTemperature, h.targetTemperature};
        h.pointLoads = {0.0, 400.0 + 10.0 * i};
        h.numberOfPoints = 2;
        h.startNode = hotAt[static_cast<std::size_t>(i)] = node();
        net.hotStreams.push_back(h);
    }
    for (int j = 0; j < colds; ++j) {
        ColdStrmInfo c;
        c.streamId = hots + j + 1;
        c.supplyTemperature = 313.15 + 5.0 * j;
        c.targetTemperature = 433.15;
        c.pointTemperatures = {c.supplyTemperature, c.targetTemperature};
        c.pointLoads = {0.0, 350.0 + 10.0 * j};
        c.numberOfPoints = 2;
        c.startNode = coldAt[static_cast<std::size_t>(j)] = node();
        net.coldStreams.push_back(c);
    }
    const std::uint32_t firstUnit = 100000;
    for (int k = 0; k < exchangers; ++k) {
        const int h = k % hots, c = (7 * k + 3) % colds;
        HotStrmInfo& hs = net.hotStreams[static_cast<std::size_t>(h)];
        ColdStrmInfo& cs = net.coldStreams[static_cast<std::size_t>(c)];
        const int hi = ++hotUnits[static_cast<std::size_t>(h)], ci = ++coldUnits[static_cast<std::size_t>(c)];
        HXInfo x;
        x.fingerprint = firstUnit + static_cast<std::uint32_t>(k);
        x.hotStream = hs.streamId;
        x.coldStream = cs.streamId;
        x.hotInlet = hotAt[static_cast<std::size_t>(h)];
        x.hotOutlet = hotAt[static_cast<std::size_t>(h)] = node();
        x.coldInlet = coldAt[static_cast<std::size_t>(c)];
        x.coldOutlet = coldAt[static_cast<std::size_t>(c)] = node();
        x.hotInletTemperature = hs.supplyTemperature - 15.0 * (hi - 1);
        x.hotOutletTemperature = x.hotInletTemperature - 15.0;
        x.coldInletTemperature = cs.supplyTemperature + 12.0 * (ci - 1);
        x.coldOutletTemperature = x.coldInletTemperature + 12.0;
        net.exchangers.push_back(x);
    }
    for (int i = 0; i < hots; ++i) {
        CoolerInfo cooler;
        cooler.fingerprint = firstUnit + 1000 + static_cast<std::uint32_t>(i);
        cooler.processStream = i + 1;
        cooler.utilityStream = coldUtility;
        cooler.processInlet = hotAt[static_cast<std::size_t>(i)];
        cooler.processOutlet = net.hotStreams[static_cast<std::size_t>(i)].endNode = node();
        cooler.processInletTemperature = net.hotStreams[static_cast<std::size_t>(i)].supplyTemperature -
                                         15.0 * hotUnits[static_cast<std::size_t>(i)];
        cooler.duty = 100.0;
        net.coolers.push_back(cooler);
    }
    for (int j = 0; j < colds; ++j) {
        HeaterInfo heater;
        heater.fingerprint = firstUnit + 2000 + static_cast<std::uint32_t>(j);
        heater.processStream = hots + j + 1;
        heater.utilityStream = hotUtility;
        heater.processInlet = coldAt[static_cast<std::size_t>(j)];
        heater.processOutlet = net.coldStreams[static_cast<std::size_t>(j)].endNode = node();
        heater.processInletTemperature = net.coldStreams[static_cast<std::size_t>(j)].supplyTemperature +
                                         12.0 * coldUnits[static_cast<std::size_t>(j)];
        heater.duty = 150.0;
        net.heaters.push_back(heater);
    }
    return net;
}

void BM_NewExchangerModel(benchmark::State& state) {
    const RetrofitNetwork net = SeriesNetwork(12, 12, 40);
    int candidates = 0, columns = 0;
    bool solved = false;
    for (auto _ : state) {
        GenerateNewHXMatrx model(net, 10.0, 0, {}, 0, nullptr);
        solved = model.Run() != nullptr;
        candidates = model.GetNumberOfCandidates();
        columns = model.GetNumberOfColumns();
        benchmark::DoNotOptimize(solved);
    }
    state.counters["candidates"] = candidates;
    state.counters["columns"] = columns;
    state.counters["solved"] = solved ? 1 : 0;
}
BENCHMARK(BM_NewExchangerModel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

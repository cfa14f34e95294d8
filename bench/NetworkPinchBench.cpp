// The debottleneck analysis of an existing network of n hot and n cold streams, each pair joined
// by one exchanger, every cold stream finished by a heater and every hot stream by a cooler:
// the rank of the stream balances and the network-pinch model, built and solved.
#include "eng/retrofit/NetworkPinchModel.h"

#include <benchmark/benchmark.h>

namespace {

RetrofitNetwork PairedNetwork(int n) {
    RetrofitNetwork net;
    std::uint32_t next = 1;
    auto node = [&net, &next]() {
        NodeInfo info;
        info.fingerprint = next++;
        info.splitFraction = 1.0;
        net.nodes.push_back(info);
        return info.fingerprint;
    };
    const int hotUtility = 2 * n + 1, coldUtility = 2 * n + 2;
    for (int i = 0; i < n; ++i) {
        const std::uint32_t h0 = node(), h1 = node(), h2 = node(), c0 = node(), c1 = node(), c2 = node();
        HotStrmInfo h;
        h.streamId = 2 * i + 1;
        h.supplyTemperature = 423.15 + i;
        h.targetTemperature = 323.15;
        h.pointTemperatures = {h.supplyTemperature, h.targetTemperature};
        h.pointLoads = {0.0, 200.0 + i};
        h.numberOfPoints = 2;
        h.startNode = h0;
        h.endNode = h2;
        ColdStrmInfo c;
        c.streamId = 2 * i + 2;
        c.supplyTemperature = 373.15 - i % 7;
        c.targetTemperature = 433.15;
        c.pointTemperatures = {c.supplyTemperature, c.targetTemperature};
        c.pointLoads = {0.0, 240.0};
        c.numberOfPoints = 2;
        c.startNode = c0;
        c.endNode = c2;
        net.hotStreams.push_back(h);
        net.coldStreams.push_back(c);
        HXInfo x;
        x.fingerprint = next++;
        x.hotStream = h.streamId;
        x.coldStream = c.streamId;
        x.hotInlet = h0;
        x.hotOutlet = h1;
        x.coldInlet = c0;
        x.coldOutlet = c1;
        net.exchangers.push_back(x);
        HeaterInfo heater;
        heater.fingerprint = next++;
        heater.processStream = c.streamId;
        heater.utilityStream = hotUtility;
        heater.duty = 160.0;
        net.heaters.push_back(heater);
        CoolerInfo cooler;
        cooler.fingerprint = next++;
        cooler.processStream = h.streamId;
        cooler.utilityStream = coldUtility;
        cooler.duty = 120.0;
        net.coolers.push_back(cooler);
    }
    HotUtilInfo hu;
    hu.streamId = hotUtility;
    net.hotUtilities.push_back(hu);
    ColdUtilInfo cu;
    cu.streamId = coldUtility;
    net.coldUtilities.push_back(cu);
    return net;
}

void BM_NetworkPinchAnalysis(benchmark::State& state) {
    const RetrofitNetwork net = PairedNetwork(static_cast<int>(state.range(0)));
    int flagged = 0;
    for (auto _ : state) {
        const StreamBalanceRows balances = BuildStreamBalanceRows(net);
        RankMatrix rank;
        rank.rows = &balances.rows;
        rank.columns = balances.columns;
        benchmark::DoNotOptimize(SparseRowMatrix::ComputeRank(rank));
        GeneratePinchMatrx model(net, 10.0);
        model.BuildModel();
        PinchSolveRecord record;
        record.rows = &model.GetRows();
        record.width = model.GetWidth();
        record.exchangers = &net.exchangers;
        record.nodes = static_cast<int>(net.nodes.size());
        record.heaters = static_cast<int>(net.heaters.size());
        record.coolers = static_cast<int>(net.coolers.size());
        record.integerColumns = model.GetNumberOfIntegerColumns();
        flagged = SolvePinchModel(record);
    }
    state.counters["flagged"] = flagged;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NetworkPinchAnalysis)->Arg(10)->Arg(40)->Arg(160)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

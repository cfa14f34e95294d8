#pragma once
// Hand-built retrofit records for the modification-model tests. Loads are taken as already
// scaled; temperatures are kelvin.
#include "eng/retrofit/RetrofitRecords.h"

namespace modification_test {

constexpr double K0 = 273.15;

template <class S>
S Stream(int id, double supply, double target, double load, std::uint32_t start, std::uint32_t end) {
    S s;
    s.streamId = id;
    s.supplyTemperature = supply + K0;
    s.targetTemperature = target + K0;
    s.numberOfPoints = 2;
    s.pointTemperatures = {supply + K0, target + K0};
    s.pointLoads = {0.0, load};
    s.startNode = start;
    s.endNode = end;
    return s;
}

inline HXInfo Exchanger(std::uint32_t fp, int hot, int cold, std::uint32_t hi, std::uint32_t ho, std::uint32_t ci,
                        std::uint32_t co, double thi = 0, double tho = 0, double tci = 0, double tco = 0) {
    HXInfo x;
    x.fingerprint = fp;
    x.hotStream = hot;
    x.coldStream = cold;
    x.hotInlet = hi;
    x.hotOutlet = ho;
    x.coldInlet = ci;
    x.coldOutlet = co;
    x.hotInletTemperature = thi + K0;
    x.hotOutletTemperature = tho + K0;
    x.coldInletTemperature = tci + K0;
    x.coldOutletTemperature = tco + K0;
    return x;
}

template <class U>
U Unit(std::uint32_t fp, int process, int utility, std::uint32_t in, std::uint32_t out, double duty, double tin = 0,
       double tout = 0) {
    U u;
    u.fingerprint = fp;
    u.processStream = process;
    u.utilityStream = utility;
    u.processInlet = in;
    u.processOutlet = out;
    u.duty = duty;
    u.processInletTemperature = tin + K0;
    u.processOutletTemperature = tout + K0;
    return u;
}

inline void AddNodes(RetrofitNetwork& net, std::initializer_list<std::uint32_t> fps) {
    for (std::uint32_t fp : fps) {
        NodeInfo n;
        n.fingerprint = fp;
        n.splitFraction = 1.0;
        net.nodes.push_back(n);
    }
}

inline void AddUtilities(RetrofitNetwork& net) {
    HotUtilInfo steam;
    steam.streamId = 4;
    steam.unitCost = 0.01;
    net.hotUtilities.push_back(steam);
    ColdUtilInfo water;
    water.streamId = 5;
    water.unitCost = 0.001;
    net.coldUtilities.push_back(water);
}

// H1 (id 1) 150 -> 50 C, load 200, with exchanger X (101) to C and then cooler 201; H2 (id 2)
// 130 -> 70 C, load 60, with cooler 202 only; C (id 3) 100 -> 160 C, load 240, with X and then
// heater 301. Eight stream pieces: H1 11, 12, 13; H2 21, 22; C 31, 32, 33. X runs at 60.
inline RetrofitNetwork WorkedNetwork() {
    RetrofitNetwork net;
    AddNodes(net, {11, 12, 13, 21, 22, 31, 32, 33});
    net.hotStreams.push_back(Stream<HotStrmInfo>(1, 150, 50, 200, 11, 13));
    net.hotStreams.push_back(Stream<HotStrmInfo>(2, 130, 70, 60, 21, 22));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(3, 100, 160, 240, 31, 33));
    AddUtilities(net);
    net.exchangers.push_back(Exchanger(101, 1, 3, 11, 12, 31, 32, 150, 120, 100, 115));
    net.coolers.push_back(Unit<CoolerInfo>(201, 1, 5, 12, 13, 140, 120, 50));
    net.coolers.push_back(Unit<CoolerInfo>(202, 2, 5, 21, 22, 60, 130, 70));
    net.heaters.push_back(Unit<HeaterInfo>(301, 3, 4, 32, 33, 180, 115, 160));
    return net;
}

}  // namespace modification_test

#pragma once
// A network of ten exchangers for the picture tests: five hot streams (200 -> 100 C, CP 1) each give
// 30 kW to each of two cold streams (20 -> 120 C, CP 5), placed in neighbouring columns, and the
// rest to cooling water; the cold streams finish on steam.
#include <string>
#include <utility>

// The stream table and the exchanger table, as CSV texts; `scale` multiplies every CP and duty
// (100: duties of thousands of kW, labels too wide for a column).
inline std::pair<std::string, std::string> TenExchangerNetwork(int scale = 1) {
    const auto times = [scale](int v) { return std::to_string(v * scale); };
    std::string streams = "name,supply,target,cp,h,kind\n", network = "name,hot,cold,duty,hot_order,cold_order\n";
    for (int h = 1; h <= 5; ++h) {
        streams += "H" + std::to_string(h) + ",200,100," + times(1) + ",0.2,process\n";
        for (int c = 1; c <= 2; ++c)
            network += "E" + std::to_string(h) + std::to_string(c) + ",H" + std::to_string(h) + ",C" + std::to_string(c) +
                       "," + times(30) + "," + std::to_string(c) + "," + std::to_string(h) + "\n";
        network += "K" + std::to_string(h) + ",H" + std::to_string(h) + ",Cooling Water," + times(40) + ",3,\n";
    }
    streams += "C1,20,120," + times(5) + ",0.2,process\nC2,20,120," + times(5) +
               ",0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    network += "S1,HP Steam,C1," + times(350) + ",,6\nS2,HP Steam,C2," + times(350) + ",,6\n";
    return {streams, network};
}

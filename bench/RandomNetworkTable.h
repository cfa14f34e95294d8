#pragma once
// A generated network for the host's design jobs: `hots` hot streams (400 -> 200 C) and as many
// cold streams (20 -> 180 C), all at CP 10 kW/K and h 0.5 kW/m2K, so that every hot stream is
// hotter than every cold one and any match is feasible at DTmin 10. Exchanger e joins hot stream
// e mod hots with a cold stream drawn at random; on each stream the exchangers follow each other
// in table order. Every duty is 1,000 kW over the exchangers of the busiest stream, so that each
// stream keeps a residual load for the heater or cooler that closes its end.
#include <algorithm>
#include <random>
#include <utility>
#include <string>
#include <vector>

namespace bench_network {

struct Tables {
    std::string streams, network;
};

inline Tables RandomNetwork(int exchangers, int hots, unsigned seed = 7) {
    Tables t;
    t.streams = "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < hots; ++i) t.streams += "H" + std::to_string(i) + ",400,200,10,0.5,process\n";
    for (int i = 0; i < hots; ++i) t.streams += "C" + std::to_string(i) + ",20,180,10,0.5,process\n";
    t.streams += "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    std::mt19937 rng(seed);
    std::vector<int> hotCount(static_cast<std::size_t>(hots), 0), coldCount(static_cast<std::size_t>(hots), 0);
    std::vector<std::pair<int, int>> pairs;
    for (int e = 0; e < exchangers; ++e) {
        const int h = e % hots, c = static_cast<int>(rng() % static_cast<unsigned>(hots));
        pairs.emplace_back(h, c);
        ++hotCount[static_cast<std::size_t>(h)];
        ++coldCount[static_cast<std::size_t>(c)];
    }
    const int busiest = std::max(*std::max_element(hotCount.begin(), hotCount.end()),
                                 *std::max_element(coldCount.begin(), coldCount.end()));
    const double duty = 1000.0 / (busiest + 1);
    std::fill(hotCount.begin(), hotCount.end(), 0);
    std::fill(coldCount.begin(), coldCount.end(), 0);
    t.network = "name,hot,cold,duty,hot_order,cold_order\n";
    for (int e = 0; e < exchangers; ++e) {
        const auto [h, c] = pairs[static_cast<std::size_t>(e)];
        t.network += "E" + std::to_string(e + 1) + ",H" + std::to_string(h) + ",C" + std::to_string(c) + "," +
                     std::to_string(duty) + "," + std::to_string(++hotCount[static_cast<std::size_t>(h)]) + "," +
                     std::to_string(++coldCount[static_cast<std::size_t>(c)]) + "\n";
    }
    return t;
}

}  // namespace bench_network

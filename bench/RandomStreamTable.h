#pragma once
// The random problems of the scale benchmarks: process streams with supply and target drawn from
// 50 to 380 degrees C (at least 1 K apart), CP from 1 to 50 kW/K and h from 0.1 to 1 kW/m2K, and
// two utilities taken from the defaults by name (fired heat above every stream, cooling water
// below), so that every target is available.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace bench_table {

struct Row {
    std::string name;
    double supply, target, cp, h;
};

inline const char* const kUtilities[] = {"Fired Heat (1000)", "Cooling Water"};

inline std::vector<Row> RandomStreams(int streams, unsigned seed = 11) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> temperature(50.0, 380.0), cp(1.0, 50.0), h(0.1, 1.0);
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(streams));
    for (int i = 0; i < streams; ++i) {
        Row r{"S" + std::to_string(i + 1), temperature(rng), 0.0, 0.0, 0.0};
        do r.target = temperature(rng);
        while (std::fabs(r.target - r.supply) < 1.0);
        r.cp = cp(rng);
        r.h = h(rng);
        rows.push_back(r);
    }
    return rows;
}

// The same problem as the host's stream table.
inline std::string CsvOf(const std::vector<Row>& rows) {
    std::string text = "name,supply,target,cp,h,kind\n";
    char line[160];
    for (const Row& r : rows) {
        std::snprintf(line, sizeof line, "%s,%.6f,%.6f,%.6f,%.6f,process\n", r.name.c_str(), r.supply, r.target, r.cp, r.h);
        text += line;
    }
    for (const char* u : kUtilities) text += std::string(u) + ",,,,,utility\n";
    return text;
}

}  // namespace bench_table

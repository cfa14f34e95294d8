#pragma once
// Small records the retrofit analysis fills while it studies an existing network: per process
// stream, per utility and per utility exchanger. They own plain arrays and are deleted through
// their base; the retrofit analysis gives the fields their meaning.
#include <cstdint>
#include <vector>

// A process stream as the retrofit analysis sees it.
struct StrmInfo {
    virtual ~StrmInfo() = default;
    std::vector<double> first;
    std::vector<double> second;
    std::vector<double> third;
};
struct HotStrmInfo : StrmInfo {};
struct ColdStrmInfo : StrmInfo {};

// A utility as the retrofit analysis sees it.
struct UtilInfo {
    virtual ~UtilInfo() = default;
    std::vector<double> first;
    std::vector<double> second;
};
struct HotUtilInfo : UtilInfo {};
struct ColdUtilInfo : UtilInfo {};

// A utility exchanger (heater or cooler) of the existing network.
struct UtilHXInfo {
    virtual ~UtilHXInfo() = default;
    std::int64_t nFirst = 0;
    std::int64_t nSecond = 0;
    char cMark = '0';
    std::int64_t nThird = 0;
    std::int32_t nCode = 361;
    double dValues[4] = {0.0, 0.0, 0.0, 0.0};
};
struct HeaterInfo : UtilHXInfo {};
struct CoolerInfo : UtilHXInfo {};

#pragma once
// The exchanger table of `kestrin-host design`: one row per exchanger (name, hot and cold stream,
// duty or area, places along the two streams, exchanger type). Reading it checks only the text;
// the streams are checked against the scenario when the network is built.
#include <string>
#include <vector>

struct NetworkRow {
    int line = 0;
    std::string name, hot, cold;
    bool hasDuty = false, hasArea = false;
    double duty = 0.0, area = 0.0;
    int hotOrder = 0, coldOrder = 0;  // 0 when the row gives none
    bool shellAndTube = false;
};

// "line N: ", the start of a message about the table's line N.
std::string AtLine(int line);

// Reads the table; on failure false with a message naming the line.
bool ReadNetworkTable(const std::string& text, std::vector<NetworkRow>& rows, std::string& error);
bool ReadNetworkTableFile(const std::string& path, std::vector<NetworkRow>& rows, std::string& error);

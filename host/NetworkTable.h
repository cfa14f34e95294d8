#pragma once
// The exchanger table of `kestrin-host design`: one row per exchanger (name, hot and cold stream,
// duty or area, places along the two streams, exchanger type). Reading it checks only the text;
// the streams are checked against the scenario when the network is built.
#include <cstddef>
#include <string>
#include <vector>

// Most exchangers a table may hold: a network of this many is built and calculated in well under
// a minute; a table of more is refused at its first row beyond, before any is built.
constexpr std::size_t MaxExchangerRows = 2000;
// Largest exchanger area a table may give, m2: far beyond any plant's, and small enough that
// every cost and duty made from it stays finite.
constexpr double MaxExchangerArea = 1e9;
// Most shells in series a table may give a shell-and-tube unit.
constexpr int MaxShellsInSeries = 100;

struct NetworkRow {
    int line = 0;
    std::string name, hot, cold;
    bool hasDuty = false, hasArea = false;
    double duty = 0.0, area = 0.0;
    int hotOrder = 0, coldOrder = 0;  // 0 when the row gives none
    bool shellAndTube = false;
    int shells = 0;  // shells in series of a shell-and-tube unit; 0 when the row gives none
};

// "line N: ", the start of a message about the table's line N.
std::string AtLine(int line);

// Reads the table; on failure false with a message naming the line.
bool ReadNetworkTable(const std::string& text, std::vector<NetworkRow>& rows, std::string& error);
// The table of a file (a regular file of bounded size, see InputFile.h).
bool ReadNetworkTableFile(const std::string& path, std::vector<NetworkRow>& rows, std::string& error);

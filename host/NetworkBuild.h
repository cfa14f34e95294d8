#pragma once
// Places the rows of an exchanger table on a design through the design's own editing operations:
// along each process stream the rows follow their places from the supply end; rows that share a
// place sit on parallel branches of one splitter-mixer, whose fractions follow from the branch
// duties.
#include "host/NetworkTable.h"

#include <string>
#include <vector>

class IHENDesign;
class IHeatIntegrationStream;
class ModuleLoader;

// One side of a table row as the scenario knows it.
struct Side {
    IHeatIntegrationStream* stream = nullptr;
    bool utility = false;
    int order = 0;  // place along a process stream, from 1
};

struct Placement {
    const NetworkRow* row = nullptr;
    Side hot, cold;
};

// Orders along every process stream: given on every row of the stream or on none (then the rows'
// own order), and without a gap. Rows sharing a number sit on parallel branches and give their
// duty. On failure false with a message naming the line.
bool SettleOrders(std::vector<Placement>& placed, std::string& error);

// Builds the network on the (empty) design, adds the utilities still missing, calculates it and
// lets the design finish the stream ends (heaters and coolers for what the rows leave). On a
// refusal false with the design's reason and the row's line.
bool BuildNetwork(ModuleLoader& module, IHENDesign& design, const std::vector<Placement>& placed, std::string& error);

#pragma once
// Fills a scenario from a stream table through the scenario's and the streams' own operations.
#include "host/StreamTable.h"

#include <string>

class IHeatIntegrationScenario;

// Answers false with a message naming the stream (and its line) that the scenario refused.
bool FillScenario(IHeatIntegrationScenario& scenario, const StreamTable& table, std::string& error);

#pragma once
// Fills a scenario from a stream table through the scenario's and the streams' own operations.
#include "host/HostSession.h"
#include "host/StreamTable.h"

#include <string>

class IHeatIntegrationScenario;

// Answers false with a message naming the stream (and its line) that the scenario refused.
bool FillScenario(IHeatIntegrationScenario& scenario, const StreamTable& table, std::string& error);

// Loads FILE into the session's project: a case file as it was saved (the scenarios' values
// checked; `more` reads what follows the project, else it is passed over), a stream table into a
// new scenario "base" whose calculations are left held (`held` true) for the caller to resume
// once its options are set.
bool LoadInputFile(HostSession& session, const std::string& file, std::string& error, bool& held,
                   const HostSession::CaseMore* more = nullptr);

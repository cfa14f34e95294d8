#pragma once
// The streams an extraction left in a scenario, as the extract command prints them: name, side,
// supply, target, load, mass flow and segments, as text or JSON.
#include <string>
#include <vector>

class IHeatIntegrationScenario;

struct SegmentOut {
    double from, to, load;
};

struct StreamOut {
    std::string name, side;
    double supply, target, load, massFlow;
    std::vector<SegmentOut> segments;
};

// kind 0 process streams, 1 utilities.
std::vector<StreamOut> ReadExtractedStreams(IHeatIntegrationScenario& scenario, int kind);
// A number for the output; the empty value and non-finite values are "null".
std::string ExtractNumber(double v);
std::string StreamsJson(const std::vector<StreamOut>& streams);
std::string TextsJson(const std::vector<std::string>& texts);
std::string StreamsText(const char* heading, const std::vector<StreamOut>& streams);

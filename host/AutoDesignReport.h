#pragma once
// What the host reports of an automatic design run: read from the scenario's automatic-design
// queries only (the utility loads of the last solve, the loaded and unloaded stream pairs, the
// estimated area and the number of solution analyses), and the run's message as a key with the
// module's English text.
#include "host/DesignReport.h"

#include <functional>
#include <string>
#include <vector>

class IHeatIntegrationScenario;

struct AutoDesignReport {
    struct Load {
        std::string name;
        double load = 0.0;
    };
    struct Pair {
        std::string hot;
        std::string cold;
        double load = 0.0;
    };
    bool failed = false;
    std::string messageKey;   // the key as the catalogue knows it ("IncompleteStreamInformation ")
    std::string messageName;  // a name that follows the key, when there is one
    std::string messageText;  // the catalogue's text for the key
    std::vector<Load> utilityLoads;
    std::vector<Pair> matches;
    std::vector<Pair> unloaded;
    double estimatedArea = 0.0;
    double analyses = 0.0;
    // The designs the run made, each as the design job reports one, with its exchanger DTMin.
    struct Design {
        DesignReport report;
        double dtmin = 0.0;
    };
    std::vector<Design> designs;
    std::vector<std::string> notes;
};

// Looks a message key up in the module's catalogue: true and the text when the key is known.
using MessageLookup = std::function<bool(const std::string& key, std::string& text)>;

AutoDesignReport ReadAutoDesign(const IHeatIntegrationScenario& scenario, const MessageLookup& lookup);
std::string FormatAutoDesignText(const AutoDesignReport& report);
std::string FormatAutoDesignJson(const AutoDesignReport& report);
// "KEY[ NAME]: text" for the failure line.
std::string AutoDesignFailureLine(const AutoDesignReport& report);

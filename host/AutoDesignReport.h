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
class IAdvancedSuperTarget;

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
    // The LP's solution: its utility loads, the matches it loads and their loads, its estimated
    // area. With a design completed, the matches are those of the completed design.
    std::vector<Load> utilityLoads;
    std::vector<Pair> matches;
    bool matchesOfCompletedDesign = false;
    std::vector<Pair> unloaded;
    double estimatedArea = 0.0;
    double analyses = 0.0;
    // Each MILP solution of the design loop, with the design built from it (empty when none was).
    struct Solution {
        std::vector<Load> utilityLoads;
        double estimatedArea = 0.0;
        std::string design;
        // The objective the MILP reached (NaN, JSON null, when the run does not report it: a
        // completion's), and how its search ended when its time limit stopped it.
        double objective = 0.0;
        std::string searchNote;
    };
    std::vector<Solution> solutions;
    // The designs the run made, each as the design job reports one, with its exchanger DTMin.
    struct Design {
        DesignReport report;
        double dtmin = 0.0;
    };
    std::vector<Design> designs;
    // The scenario's DTmin, at which the targets beside each design are taken.
    double targetDtmin = 0.0;
    std::vector<std::string> notes;
};

// Looks a message key up in the module's catalogue: true and the text when the key is known.
using MessageLookup = std::function<bool(const std::string& key, std::string& text)>;

// With `completion` (the run that completed a design), the failure is that run's: the scenario's
// read-outs give the automatic design's.
AutoDesignReport ReadAutoDesign(const IHeatIntegrationScenario& scenario, const MessageLookup& lookup,
                                const IAdvancedSuperTarget* completion = nullptr);
// The utility loads and estimated area the scenario's automatic design holds now (read during a
// run, between its solves, to keep each solution apart).
std::vector<AutoDesignReport::Load> ReadAutoDesignUtilityLoads(const IHeatIntegrationScenario& scenario);
std::vector<AutoDesignReport::Pair> ReadAutoDesignMatches(const IHeatIntegrationScenario& scenario);
// The completed design's matches (its units' stream pairs, duties summed per pair) in place of the
// LP's, and the notes on the designs: a negative degrees-of-freedom count, and the utilities beside
// the targets at the design's DTmin.
void AddDesignNotes(AutoDesignReport& report, bool completed);
std::string FormatAutoDesignText(const AutoDesignReport& report);
std::string FormatAutoDesignJson(const AutoDesignReport& report);
// "KEY[ NAME]: text" for the failure line.
std::string AutoDesignFailureLine(const AutoDesignReport& report);

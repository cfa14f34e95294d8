#pragma once
// What the host reports of a network design: every unit (process exchangers, heaters, coolers)
// and the network's totals, read from the design's own queries only.
#include <string>
#include <utility>
#include <vector>

class IHENDesign;

struct DesignReport {
    struct Unit {
        std::string name, kind;  // kind: "exchanger", "heater" or "cooler"
        std::string hot, cold;
        double duty = 0.0, hotIn = 0.0, hotOut = 0.0, coldIn = 0.0, coldOut = 0.0;
        double area = 0.0, u = 0.0, ft = 1.0, shells = 0.0, approach = 0.0;
        // A duty neither given nor calculated is not known: `duty` is then NaN.
        bool haveTemperatures = false, haveArea = false, haveDuty = true;
        std::string status;  // "complete" or "incomplete"
        bool feasible = true;
    };
    // A splitter-mixer: the stream it divides and each branch by its first unit ("bypass" when
    // the branch holds none) with its share of the flow.
    struct Splitter {
        std::string name, stream;
        std::vector<std::pair<std::string, double>> branches;
    };
    std::string name;
    std::vector<Unit> units;
    std::vector<Splitter> splitters;
    double hotUtility = 0.0, coldUtility = 0.0, hotUtilityTarget = 0.0, coldUtilityTarget = 0.0;
    double areaTotal = 0.0, capitalCost = 0.0, annualizedCapitalCost = 0.0, utilityCost = 0.0, totalAnnualCost = 0.0;
    int exchangers = 0;
    std::vector<std::string> unsatisfied;
    double crossPinchLoad = 0.0;
    int degreesOfFreedom = 0;
    std::string calculationStatus;
    bool controllable = true;
    // Area and the costs of capital are sums over the units; with a unit infeasible or not
    // calculated they are no totals, and the notes say why.
    bool totalsAvailable = true;
    // The utility cost prices the heaters' and coolers' duties: with one of them negative or not
    // calculated, or a process stream not yet satisfied, the network's utility use is not known.
    bool utilityCostAvailable = true;
    // Why no capital can be annualised ("plant life 0"), empty when it can: then the annualised
    // capital and the total annual cost are not available.
    std::string noAnnualCost;
    std::vector<std::string> notes;
};

DesignReport ReadDesign(IHENDesign& design);
// The heaters and coolers that would have to run backwards, each with the stream the network's
// exchangers take past its target ("Cooler1 would run backwards (-0.73 kW): the exchangers take H1
// past its target"), joined by "; "; empty when there are none.
std::string BackwardsUtilities(const DesignReport& report);
std::string FormatDesignText(const DesignReport& report);
std::string FormatDesignJson(const DesignReport& report);
// One unit as the two reports print it: a line of text (no indent, no line end) and a JSON object.
std::string FormatDesignUnitText(const DesignReport::Unit& unit);
std::string FormatDesignUnitJson(const DesignReport::Unit& unit);

#pragma once
// What the host reports of a scenario: read from the scenario's own target queries only.
#include <string>
#include <vector>

class IHeatIntegrationScenario;

struct PinchReport {
    double hot = 0.0;
    double cold = 0.0;
};

struct UtilityLoadReport {
    std::string name;
    double load = 0.0;
};

struct TargetsReport {
    double dtmin = 0.0;
    double hotUtility = 0.0;
    double coldUtility = 0.0;
    std::vector<PinchReport> pinches;
    int problemType = 0;
    double areaCountercurrent = 0.0;
    double areaShellTube = 0.0;
    int units = 0;
    int unitsPinch = 0;
    int shells = 0;
    bool shellsCapped = false;  // the count stopped at its cap: at least `shells`
    double capitalCost = 0.0;    // investment
    double operatingCost = 0.0;  // per year
    double totalAnnualCost = 0.0;
    std::vector<UtilityLoadReport> utilities;
};

TargetsReport ReadTargets(const IHeatIntegrationScenario& scenario);
std::string FormatTargetsText(const TargetsReport& report);
std::string FormatTargetsJson(const TargetsReport& report);

// One supertargeting point and the whole run.
struct SuperTargetPointReport {
    double dtmin = 0, hotUtility = 0, coldUtility = 0, areaCountercurrent = 0, areaShellTube = 0;
    double units = 0, shells = 0, capitalCost = 0, operatingCost = 0, totalAnnualCost = 0;
};

struct SuperTargetReport {
    std::vector<SuperTargetPointReport> points;
    bool hasOptimum = false;
    double optimum = 0.0;
};

SuperTargetReport ReadSuperTargets(const IHeatIntegrationScenario& scenario);
std::string FormatSuperTargetsText(const SuperTargetReport& report);
std::string FormatSuperTargetsJson(const SuperTargetReport& report);

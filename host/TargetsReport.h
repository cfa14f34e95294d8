#pragma once
// What the host reports of a scenario: read from the scenario's own target queries only. Area,
// units, shells and costs rest on a utility placement that covers the energy targets; when the
// placement cannot, they are not available (text "not available", JSON null) and the notes say
// why, rather than printing the zeros the engine holds for them.
#include <cstdint>
#include <string>
#include <vector>

class IHeatIntegrationScenario;
class IHeatIntegrationStream;

// A stream that meets a pinch, at its own temperature there. The stream is the scenario's own
// (its name is read when the report is written), so a report is written while its scenario is
// open: on a table of 100,000 streams a copied name per pinch stream would cost megabytes.
struct PinchStreamReport {
    const IHeatIntegrationStream* stream = nullptr;
    double temperature = 0.0;

    const std::string& Name() const;
};

// A pinch: its shifted temperature and, per side, the real temperatures of the process streams
// that meet there (each stream is shifted by its own contribution, so a side may have several).
// `hot` and `cold` are the side's temperature when its streams agree on one; otherwise (streams
// of different contributions, or no stream of that side at the pinch) they are not known.
// A side keeps its streams as their positions in the scenario's stream list (four bytes each;
// half the streams of a large table meet a pinch) and gives each stream and its temperature
// when asked, worked out by the same steps that found it.
struct PinchReport {
    double shifted = 0.0;
    double hot = 0.0;
    double cold = 0.0;
    bool hotKnown = false;
    bool coldKnown = false;
    const IHeatIntegrationScenario* scenario = nullptr;
    double halfDTmin = 0.0;
    std::vector<std::uint32_t> hotStreams;
    std::vector<std::uint32_t> coldStreams;

    // The k-th stream of a side's list, with its temperature at the pinch.
    PinchStreamReport StreamAt(const std::vector<std::uint32_t>& side, std::size_t k) const;
};

struct UtilityLoadReport {
    std::string name;
    double load = 0.0;
};

struct TargetsReport {
    double dtmin = 0.0;
    double hotUtility = 0.0;
    double coldUtility = 0.0;
    std::vector<PinchReport> pinches;         // the process pinches
    std::vector<PinchReport> utilityPinches;  // pinches only the placed utilities bring
    int problemType = 0;  // -1: no process stream, so no problem to type
    double areaCountercurrent = 0.0;
    double areaShellTube = 0.0;
    // Whether the shell-and-tube area is a result: the area LP of a case on countercurrent
    // exchangers works out the countercurrent area alone.
    bool shellTubeAvailable = true;
    int unitsOverall = 0;  // the overall count, N - 1 over the whole problem
    int unitsPinch = 0;    // the count with the pinch division, N - 1 on each side of every pinch
    int shells = 0;
    bool shellsCapped = false;  // the count stopped at its cap: at least `shells`
    double capitalCost = 0.0;    // investment
    double operatingCost = 0.0;  // per year
    double totalAnnualCost = 0.0;
    // Why no capital can be annualised ("plant life 0"), empty when it can: then the total annual
    // cost is not available, as the operating cost alone would understate it.
    std::string noAnnualCost;
    // Whether area, units, shells and costs are results.
    bool available = true;
    // Whether the area, the shells and the capital and total annual costs on them are results
    // (the engine may compute the placement and the units, yet find no finite area).
    bool areaAvailable = true;
    // Whether the area, the units and the shells are results: a table without a process stream
    // has no network to count or size (its placed utilities still have an operating cost).
    bool networkAvailable = true;
    // Whether the area LP was stopped at its time limit: the job then reports and fails.
    bool areaStopped = false;
    std::vector<UtilityLoadReport> utilities;
    // Why something is not available, or does not add up.
    std::vector<std::string> notes;
};

// Why the plant's capital cannot be annualised: "plant life 0" when the plant's economics give no
// life over which to recover it (the economics form takes 0); empty when a life is given.
std::string NoAnnualisedCapital(const IHeatIntegrationScenario& scenario);

TargetsReport ReadTargets(IHeatIntegrationScenario& scenario);
std::string FormatTargetsText(const TargetsReport& report);
std::string FormatTargetsJson(const TargetsReport& report);

// One supertargeting point and the whole run.
struct SuperTargetPointReport {
    double dtmin = 0, hotUtility = 0, coldUtility = 0, areaCountercurrent = 0, areaShellTube = 0;
    double unitsPinch = 0, shells = 0, capitalCost = 0, operatingCost = 0, totalAnnualCost = 0;
    bool shellsCapped = false;  // the count stopped at its cap: at least `shells`
    // Whether the utilities covered the targets at this DTmin (else area, units, shells and
    // costs are not results).
    bool available = true;
};

struct SuperTargetReport {
    std::vector<SuperTargetPointReport> points;
    // The least total annual cost is an optimum only with a computed point on either side of it;
    // at the edge of the computed range it is reported in the notes instead.
    bool hasOptimum = false;
    double optimum = 0.0;
    // Whether the points' area, units and shells are results (see TargetsReport::networkAvailable).
    bool networkAvailable = true;
    // Why no point has a total annual cost (see TargetsReport::noAnnualCost), empty when they do.
    std::string noAnnualCost;
    std::vector<std::string> notes;
};

SuperTargetReport ReadSuperTargets(const IHeatIntegrationScenario& scenario);
std::string FormatSuperTargetsText(const SuperTargetReport& report);
std::string FormatSuperTargetsJson(const SuperTargetReport& report);

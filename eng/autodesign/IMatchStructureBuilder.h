#pragma once
// What the automatic design hands its chosen matches to: something that resolves a set of matches
// into a network structure and builds it as a new design of the scenario. The stage-wise
// superstructure (SuperStructure.h) answers it and hands what it resolves to a design builder.
#include <string>
#include <unordered_map>
#include <vector>

class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class MatchwiseStreamData;

// A user's limit on one solve, in seconds, kept within the solve's own (0: the solve's own).
inline double LimitedSeconds(double own, double limit) { return limit > 0.0 && limit < own ? limit : own; }

class IMatchStructureBuilder {
public:
    virtual ~IMatchStructureBuilder() = default;
    // `streams`: every selected stream that takes part in a chosen match, in run order. 1 when a
    // design was built, 0 when the matches resolve into no structure (nothing is built then).
    virtual int BuildDesign(IHeatIntegrationScenario& scenario, const std::vector<IHeatIntegrationStream*>& streams,
                            const std::vector<MatchwiseStreamData*>& chosen, IHeatIntegrationStream* hotUtility,
                            IHeatIntegrationStream* coldUtility, IHENDesign* designToComplete) = 0;
    // The longest one resolution may search, in seconds (0: its own limit); a builder without a
    // search of its own ignores it.
    virtual void SetTimeLimit(double seconds) { (void)seconds; }
    // What the last resolution's solves met of their time limit: empty when none stopped at it.
    virtual std::string GetLimitNote() const { return std::string(); }
    // What the solve that chose the matches gives every utility, per segment of the utility (kW,
    // in segment order), by utility name: a utility's flow is not given, so its load is the
    // solve's, not the targeting's. A builder that balances no utility ignores it.
    virtual void SetUtilityLoads(const std::unordered_map<std::string, std::vector<double>>& segmentLoads) {
        (void)segmentLoads;
    }
};

// Finds no structure: every hand-off answers 0.
class NoStructureBuilder : public IMatchStructureBuilder {
public:
    int BuildDesign(IHeatIntegrationScenario&, const std::vector<IHeatIntegrationStream*>&,
                    const std::vector<MatchwiseStreamData*>&, IHeatIntegrationStream*, IHeatIntegrationStream*,
                    IHENDesign*) override {
        return 0;
    }
};

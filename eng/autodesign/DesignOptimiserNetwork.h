#pragma once
// The network optimiser's view of a design: the design's units, its utility exchangers and
// product blocks, the recalculation the optimiser drives (forget the results, let the units pass
// values on, solve exchangers held at their areas in mode 3), the objectives of the modes read
// from the design's totals and values, the free exchangers of a sub-network and the writing of a
// point into exchanger duties and branch shares.
//
// A branch's "SplitFraction" is its share of the flow into its splitter; the flowsheet derives
// the share of the stream every later segment carries. So a point's split coordinates are those
// shares, and a change of an outer splitter reaches the splitters nested in its branches without
// any settling between them.
#include "eng/autodesign/DesignOptimiserNetworkRegion.h"
#include "eng/autodesign/OptimiserNetwork.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CNode;
class HeatExch;
class CPIHENDesign;
class IHENDesign;
class IHeatIntegrationScenario;

class DesignOptimiserNetwork : public OptimiserNetwork {
public:
    // Null when the design is not one whose units the optimiser can drive.
    static std::unique_ptr<DesignOptimiserNetwork> Make(IHENDesign* design);
    explicit DesignOptimiserNetwork(CPIHENDesign& design);

    // Where the selection of free exchangers shows its progress.
    void SetStatusSink(std::function<void(const std::string&)> sink) { m_status = std::move(sink); }

    void BeginRun(int mode) override;
    void EndRun() override;
    int GetNumberOfSubNetworks() override;
    int GetNumberOfUnitsInSubNetwork(int index) override;
    bool HasInfeasibleExchangers() override;
    bool CheckEndApproaches() override;
    void SetSplitFractionsFromBranchDuties() override;
    void FreeSurplusUtilityDuties() override;
    void GiveBackUtilityDuties() override;
    void Recalculate() override;
    bool IsNetworkFeasible() override;
    double Objective() override;
    bool PickRestoringDuty(double& duty) override;
    void SpecifyRestoringDuty(double duty) override;
    void BeginSubNetwork(int index, bool splits, SearchVariables& variables) override;
    void EndSubNetwork() override;
    int SelectFreeExchangers(SearchVariables& variables) override;
    void ReadSplitFractions(SearchVariables& variables) override;
    void WritePoint(const std::vector<double>& point, const SearchVariables& variables, bool duties,
                    bool splits) override;
    int GetNumberOfFlaggedExchangers() override { return static_cast<int>(m_flagged.size()); }
    bool IsSearchedUtilityExchanger(int c, double& duty) override;
    void SpecifyFlaggedDuty(int c, double duty) override;
    bool HasLockedAreaMoved() override;

    // Exchanger calculation statuses of a calculated exchanger (1, 3, 5 and those above 9).
    static bool IsCalculated(int status);
    // No exchanger can carry a negative duty, nor a duty with an end of the hot side colder than
    // the cold side's at that end, whatever the unit's own verdict (a heater or cooler whose duty
    // follows its process side is not checked against an approach).
    static bool IsPhysicallyPossible(HeatExch& x);
    // What the last recalculation left open (0: the network is fully calculated).
    int GetUnsolvedCount() const { return m_unsolved; }
    const std::vector<CNode*>& FreeExchangers() const { return m_free; }
    const std::vector<CNode*>& ProcessExchangers() const { return m_process; }
    // Trials recalculated over the region their change reaches, and those of them then
    // recalculated whole after all.
    long RegionalTrials() const { return m_regionalTrials; }
    long RegionalTrialsRedone() const { return m_regionalRedone; }
    // Regions widened over the units a trial left unsolved outside them.
    long RegionalWidenings() const { return m_regionalWidened; }

private:
    struct Kept {
        double duty = 0.0, area = 0.0;
        int dutyStatus = 0, areaStatus = 0;
    };
    void Show(const std::string& line) {
        if (m_status) m_status(line);
    }
    std::vector<CNode*> AllExchangers() const;
    // The nodes left with an open value, and the exchangers without a calculated status, of the
    // nodes the last propagation calculated (whose open values it counted in m_unsolved).
    std::vector<CNode*> Unsolved(const std::vector<CNode*>& nodes) const;
    double PlaceholderLoad() const;
    // Gives the process exchangers back what the selection of free exchangers cleared.
    int GiveBackCleared(SearchVariables& variables);
    void SpecifyDuty(CNode* unit, double duty);
    double HeaterMarginObjective();
    double MeasuredTemperatureObjective();

    CPIHENDesign& m_design;
    IHeatIntegrationScenario* m_scenario;
    std::function<void(const std::string&)> m_status;
    int m_mode = 0;
    int m_subNetwork = 0;
    int m_unsolved = 0;
    int m_areaLockedCount = 0;
    int m_unsatisfiedAtStart = 0;
    double m_placeholderLoadAtStart = 0.0;
    double m_baseUtilityCost = 0.0;
    std::vector<CNode*> m_units, m_flagged, m_productBlocks;
    std::vector<CNode*> m_exchangerList;
    CNode* m_restoring = nullptr;
    // The utility exchangers whose surplus duties the run freed, with the duties they had.
    std::vector<std::pair<CNode*, double>> m_freedUtilities;
    // One sub-network.
    std::vector<CNode*> m_process, m_splitters, m_utility, m_free, m_areaLocked, m_offLine;
    // Each splitter's branches (by position in m_splitters) in the order the search reads them,
    // fixed when the sub-network's search begins: the duties it orders by move in the search.
    std::vector<std::vector<CNode*>> m_branches;
    std::vector<std::pair<CNode*, double>> m_lockedCalculated;
    std::vector<Kept> m_kept;
    // What the last trial left, and the nodes the present one recalculates.
    DesignOptimiserNetworkRegion m_region;
    std::vector<CNode*> m_set;
    long m_regionalTrials = 0, m_regionalRedone = 0, m_regionalWidened = 0;
};

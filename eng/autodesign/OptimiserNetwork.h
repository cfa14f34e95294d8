#pragma once
// The network as the optimiser's searches see it: a point of duty multipliers and split shares is
// written into it, it is recalculated, and its state is judged. The design implements it over its
// flowsheet (`DesignOptimiserNetwork`); tests implement it over analytic functions.
#include <vector>

// The variables of one sub-network search. A point has the free duties' multipliers first, then
// the split shares splitter by splitter, branch by branch.
struct SearchVariables {
    std::vector<double> freeDuties;      // the duty each free exchanger had when it was freed
    std::vector<int> splitterBranches;   // branch count of each splitter, in splitter order
    std::vector<double> splitFractions;  // the present shares, one per branch
    int DutyCount() const { return static_cast<int>(freeDuties.size()); }
    int SplitCount() const { return static_cast<int>(splitFractions.size()); }
};

class OptimiserNetwork {
public:
    virtual ~OptimiserNetwork() = default;

    // ---- the run ----
    // Takes the unit list, the utility exchangers, the product blocks and the utility cost the
    // run starts from.
    virtual void BeginRun(int mode) = 0;
    virtual void EndRun() = 0;
    virtual int GetNumberOfSubNetworks() = 0;
    virtual int GetNumberOfUnitsInSubNetwork(int index) = 0;
    virtual bool HasInfeasibleExchangers() = 0;
    // Both end temperature differences of every exchanger at least 0.001.
    virtual bool CheckEndApproaches() = 0;
    virtual void SetSplitFractionsFromBranchDuties() = 0;
    // A network may hold more specified duties than its streams can meet (every unit calculates
    // because the surplus agrees): then no process duty can move without contradicting one of
    // the utility duties. Freeing lets the network calculate those utility duties itself;
    // giving back specifies them again at the values they had. A network without such surplus
    // is left as it is.
    virtual void FreeSurplusUtilityDuties() {}
    virtual void GiveBackUtilityDuties() {}

    // ---- the state ----
    virtual void Recalculate() = 0;
    virtual bool IsNetworkFeasible() = 0;
    // The mode's objective of the present state, without any penalty.
    virtual double Objective() = 0;

    // ---- making an infeasible network feasible ----
    // The specified duty the feasibility search moves (the largest on the streams of the first
    // infeasible exchanger); false when the network has no path or no such unit.
    virtual bool PickRestoringDuty(double& duty) = 0;
    virtual void SpecifyRestoringDuty(double duty) = 0;

    // ---- one sub-network ----
    // Sorts the sub-network's units; with `splits`, fills the splitters' branch counts.
    virtual void BeginSubNetwork(int index, bool splits, SearchVariables& variables) = 0;
    virtual void EndSubNetwork() = 0;
    // 4 when free exchangers were chosen (their duties in `variables`), 3 when none.
    virtual int SelectFreeExchangers(SearchVariables& variables) = 0;
    // The present share of each branch of the splitters.
    virtual void ReadSplitFractions(SearchVariables& variables) = 0;
    // Writes a point (already clamped and normalised) into the network.
    virtual void WritePoint(const std::vector<double>& point, const SearchVariables& variables, bool duties,
                            bool splits) = 0;

    // ---- the utility exchangers of the sub-network, in the run's list of utility exchangers ----
    virtual int GetNumberOfFlaggedExchangers() = 0;
    // Whether entry c has a specified duty and belongs to the sub-network; its duty.
    virtual bool IsSearchedUtilityExchanger(int c, double& duty) = 0;
    virtual void SpecifyFlaggedDuty(int c, double duty) = 0;
    // Whether an exchanger held at its area now shows another area than the one it was held at.
    virtual bool HasLockedAreaMoved() = 0;
};

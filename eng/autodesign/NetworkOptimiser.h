#pragma once
// One run of the network optimiser over one design: it moves the duties of free exchangers and
// the split shares of splitters (the values the design carries as specified), recalculates after
// every move and keeps what lowers the objective of its mode. Each sub-network of the design is
// searched on its own: free exchangers are chosen, then outer passes of a simplex search, a
// coordinate-wise refinement and a duty search of the utility exchangers run around the best
// point so far. In mode 3 an infeasible network is first made feasible. Progress goes to status
// line 2; the busy signal is on while a sub-network is searched.
//
// The searches reach the network only through `OptimiserNetwork` (write a point, recalculate,
// judge), so they run on a design or on analytic functions alike.
//
// With the equation-based setting the run does not search by itself: it declares the whole design
// to the network-pinch engine (`CPinchWrapper`), lets it optimise and writes its results back into
// the design's specified values (NetworkOptimiserEquationBased.cpp).
#include "eng/autodesign/OptimiserNetwork.h"
#include "eng/design/INetworkOptimiser.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CNode;
class CPIHENDesign;
class CPinchWrapper;
class IHENDesign;

class NetworkOptimiser : public INetworkOptimiser {
public:
    // Run results.
    static constexpr int Improved = 4;
    static constexpr int Unchanged = 3;

    // Over a design (null when the design is not one the optimiser can work on: every run then
    // answers 3).
    NetworkOptimiser(IHENDesign* design, const char* name);
    // Over any network (not owned).
    NetworkOptimiser(OptimiserNetwork& network, const char* name);
    ~NetworkOptimiser() override;
    NetworkOptimiser(const NetworkOptimiser&) = delete;
    NetworkOptimiser& operator=(const NetworkOptimiser&) = delete;

    void SetUseEquationBased(bool use) override { m_useEquationBased = use; }
    // What makes the engine of an equation-based run (tests hand in a recording one).
    using EngineFactory = std::function<std::unique_ptr<CPinchWrapper>()>;
    void SetEngineFactory(EngineFactory factory) { m_engineFactory = std::move(factory); }
    int Run(int mode, bool optimiseDuties, bool optimiseSplitFractions) override;
    bool GetFittedValues(CNode* exchanger, double& q, double& d) const override;
    const char* GetStatusText() const override { return m_status.c_str(); }

    // ---- the steps, open to tests ----
    // The mode's objective of the network as it stands; with `feasible`, the network's
    // feasibility first, and an infeasible state penalised.
    double Evaluate(bool* feasible = nullptr);
    // Duty multipliers below 0 become 0; each splitter's shares below 0.0001 become 0 and the
    // rest is scaled to add up to 1 (a splitter with nothing left keeps its present shares); then
    // the point is written into the network.
    void ApplyPoint(std::vector<double>& point);
    void RestoreFeasibility();
    int OptimiseSubNetwork();
    void SearchUtilityExchangerDuties();
    // Sets what a sub-network search works on (mode, flags, variables) and sizes the simplex.
    void BeginSearch(int mode, bool duties, bool splits, const SearchVariables& variables);
    void BuildInitialSimplex();
    void RunSimplex();
    void RefineSolution();
    void Reflect();
    void Collapse();

    // ---- the equation-based run ----
    // 4 when the engine's results were written back, 3 when refused or failed.
    int RunEquationBased();
    void DeclareStreams(CPinchWrapper& engine);
    void DeclareNodes(CPinchWrapper& engine);
    void DeclareSplittersAndMixers(CPinchWrapper& engine);
    void DeclareInternalSplitter(CPinchWrapper& engine, CNode* splitter);
    void DeclareInternalMixer(CPinchWrapper& engine, CNode* splitter);
    void DeclareExchangers(CPinchWrapper& engine);
    void ReadBackResults(CPinchWrapper& engine);

    // ---- what tests read ----
    const std::vector<std::vector<double>>& Points() const { return m_points; }
    const std::vector<double>& Values() const { return m_values; }
    const SearchVariables& Variables() const { return m_variables; }
    int OuterIteration() const { return m_outer; }
    int InnerIteration() const { return m_inner; }
    double PenaltyBase() const { return m_penaltyBase; }
    void SetPenaltyBase(double p) { m_penaltyBase = p; }
    void SetSubNetworkIndex(int i) { m_subNetwork = i; }

    static constexpr const char* FeasibleText = "Making the network feasible ...";
    static constexpr const char* FailedText = "MILP Failed";
    static constexpr const char* EquationBasedText = "MILP Solution OK";
    static constexpr const char* UntiedText = "Untied streams are not allowed for equation-based optimization  ...";
    static constexpr const char* RunningText = "Running equation-based optimization for design %s  ...";
    static constexpr const char* EquationBasedFailedText = "Equation-based optimization run failed  ...";
    static constexpr const char* EquationBasedDoneText = "Equation-based optimization finished for design %s";
    static constexpr const char* EquationBasedNotKeptText =
        "Equation-based optimization for design %s ended on a network with infeasible exchangers: nothing was kept";

private:
    // Evaluate(X): apply, recalculate, judge.
    double EvaluateAt(std::vector<double>& point, bool* feasible = nullptr);
    void Show(const std::string& line);
    void Append(const char* text);
    void ClearStatus();
    std::string Format(const char* format, ...) const;
    void SortPoints();
    // One branch of a splitter walked to the splitter's own mixer: the numbers of the segments at
    // nesting level 1 (the branch's first segment first), the splitters met at that level, and
    // the mixer (null when the walk ends elsewhere).
    struct BranchWalk {
        std::vector<int> segments;
        std::vector<CNode*> splitters;
        CNode* mixer = nullptr;
    };
    BranchWalk WalkBranch(CNode* firstSegment) const;
    int SegmentNumber(const CNode* segment) const;
    std::string StreamLabel(const CNode* piece) const;
    void DeclareSplitter(CPinchWrapper& engine, CNode* splitter, bool topLevel);
    void ReadBackSplitter(CPinchWrapper& engine, CNode* splitter, double inletFraction);

    CPIHENDesign* m_design = nullptr;
    EngineFactory m_engineFactory;
    // Segment numbers of the equation-based run: position in the flowsheet's list of segments, from 1.
    std::unordered_map<const CNode*, int> m_segmentNumbers;
    std::unordered_set<std::string> m_declaredSplitters, m_declaredMixers;
    std::unique_ptr<OptimiserNetwork> m_own;
    OptimiserNetwork* m_network = nullptr;
    std::string m_name;
    bool m_hasName = false;
    int m_mode = 0;
    bool m_duties = false, m_splits = false, m_useEquationBased = false;
    int m_subNetwork = 0, m_outer = 0, m_inner = 0, m_stall = 0;
    double m_penaltyBase = 9.9e9;
    double m_before = 0.0, m_after = 0.0001;
    double m_tolerance = 0.0;
    std::string m_status;

    SearchVariables m_variables;
    std::vector<std::vector<double>> m_points;
    std::vector<double> m_values;
    std::vector<bool> m_feasible;
    std::vector<double> m_centre, m_reflected, m_trial;
    double m_reflectedValue = 0.0, m_trialValue = 0.0;
    bool m_reflectedFeasible = true, m_trialFeasible = true;
};

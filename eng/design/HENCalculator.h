#pragma once
// The network calculator of a design: the whole network as two sets of linear balance equations
// over its temperatures, duties, split fractions and end temperature differences, solved through
// the solver library. The mass set (split-fraction balances) is solved once; the heat set is
// linear only around the present temperatures and is solved pass after pass, its coefficients
// refreshed in between, until no temperature moves by 0.01 K (at most 250 passes). Results go
// back into the flowsheet's values with the status "calculated"; specified values stay fixed and
// enter the equations as constants.
#include "dunmor/CPString.h"
#include "eng/targeting/LPProblem.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CNode;
class CPValue;
class FlowSheet;
class HENCalculatorEquation;
class IHeatIntegrationStream;

// One quantity of the network: a flowsheet value, or an inner point of the calculator.
struct CalculatorVariable {
    CPValue* holder = nullptr;  // null for an inner variable
    int column = 0;
    CPString name;              // "T", "Q", "mf", "delT", "M", "A"
    double value = 0.0;
    int status = 0;             // 0 open, 1 specified, 2 calculated
    double scale = 1.0;

    // The current value: the holder's, or the variable's own without holder.
    double Current() const;
    // The value as it enters the scaled models.
    double Scaled() const;
    // Sets the status on the variable and its holder.
    void SetStatus(int s);
};

using UnitsByStream = std::unordered_map<std::string, std::vector<CNode*>>;

class HENCalculator {
public:
    static constexpr int MaxPasses = 250;
    static constexpr double Settled = 0.01;  // K

    HENCalculator(FlowSheet* flowsheet, const UnitsByStream* unitsByStream);
    ~HENCalculator();
    HENCalculator(const HENCalculator&) = delete;
    HENCalculator& operator=(const HENCalculator&) = delete;

    void PrepareStreams();
    // Keeps the scenario's network load of each utility stream; GiveBackScenarioLoads puts it back.
    void ParkScenarioLoads();
    void GiveBackScenarioLoads();
    void Build();
    void Solve();
    void Clear();

    // Between passes (HENCalculatorUpdates.cpp).
    // Sets the utility's load to the duties of its units and placeholders; answers it.
    double UpdateUtilityLoad(IHeatIntegrationStream& stream);
    void UpdateUtilityFlow(IHeatIntegrationStream& stream);
    void RefreshEquation(HENCalculatorEquation& equation);
    void FinishUtilitySide(HENCalculatorEquation& equation);

    CalculatorVariable* RegisterVariable(CPValue* holder, const char* name);
    // The share of its whole stream's flow a segment carries ("mf"). A segment's "SplitFraction"
    // holds it, except on the first segment of a splitter's branch, where "SplitFraction" is the
    // branch's share of the flow entering its own splitter: there the whole-stream share is a
    // variable of the calculator's, and the solved branch shares are written back as shares of
    // the splitter's inflow.
    CalculatorVariable* FlowShare(CNode* segment);
    // A value holder the calculator owns (inner points of segmented exchangers).
    CPValue* CreateValue(double value);
    // The utility flow holder of a utility stream (null when it is none of the calculator's).
    CPValue* UtilityFlow(const CPString& streamName);
    void AddDummyUtilityUnit(CNode* unit) { m_dummyUtilityUnits.push_back(unit); }
    void AppendEquation(HENCalculatorEquation* equation);

    const CPString& GetStatus() const { return m_status; }
    int GetPassCount() const { return m_passes; }
    double GetHotProcessLoad() const { return m_hotLoad; }
    double GetColdProcessLoad() const { return m_coldLoad; }
    // The duty scale: the larger process load (1 for a network without process loads, so that
    // nothing divides by zero).
    double DutyScale() const;
    const std::vector<std::unique_ptr<HENCalculatorEquation>>& GetEquations() const { return m_equations; }
    const std::vector<HENCalculatorEquation*>& GetMassSet() const { return m_massSet; }
    const std::vector<HENCalculatorEquation*>& GetHeatSet() const { return m_heatSet; }
    const std::vector<std::unique_ptr<CalculatorVariable>>& GetVariables() const { return m_variables; }
    const std::vector<IHeatIntegrationStream*>& GetUtilityStreams() const { return m_utilityStreams; }
    // The utility's stated maximum mass flow as a heat-capacity flow rate; infinite without one.
    double MaximumUtilityFlow(IHeatIntegrationStream& stream) const;
    FlowSheet* GetFlowSheet() const { return m_flowsheet; }
    // Writes every equation of both sets in its text form.
    void WriteEquations(std::ostream& out) const;

private:
    void FillModel(LPProblem& model, const std::vector<HENCalculatorEquation*>& set);
    bool SolveSet(LPProblem& model, const std::vector<HENCalculatorEquation*>& set);
    // Whether the filled model fixes every open column its rows name (structural rank).
    bool Determines(const LPProblem& model, const std::vector<HENCalculatorEquation*>& set) const;
    void AppendGroup(std::vector<HENCalculatorEquation*>& set, const char* group);
    const std::vector<CNode*>* UnitsOf(const CPString& streamName) const;
    std::vector<IHeatIntegrationStream*> StreamsAtStarts() const;

    FlowSheet* m_flowsheet;
    const UnitsByStream* m_unitsByStream;
    std::vector<std::unique_ptr<HENCalculatorEquation>> m_equations;
    std::vector<std::unique_ptr<CalculatorVariable>> m_variables;
    std::vector<HENCalculatorEquation*> m_utilitySideBalances;
    std::vector<HENCalculatorEquation*> m_massSet;
    std::vector<HENCalculatorEquation*> m_heatSet;
    std::vector<CalculatorVariable*> m_heatVariables;
    std::vector<CalculatorVariable*> m_massVariables;
    std::vector<IHeatIntegrationStream*> m_utilityStreams;
    // The network loads the scenario's utility streams had before the calculator put its units'
    // duties on them, given back when it is done.
    std::vector<std::pair<IHeatIntegrationStream*, double>> m_scenarioLoads;
    std::vector<CNode*> m_dummyUtilityUnits;
    std::unordered_map<const CPValue*, CalculatorVariable*> m_variableIndex;
    std::unordered_map<std::string, std::unique_ptr<CPValue>> m_utilityFlows;
    int m_nextColumn = 0;
    CPString m_status;
    std::unique_ptr<LPProblem> m_massModel, m_heatModel;
    double m_coldLoad = 0.0, m_hotLoad = 0.0;
    int m_convergedTemperatures = 0, m_solvedTemperatures = 0;
    int m_passes = 0;
    std::vector<std::unique_ptr<CPValue>> m_createdValues;
    // Branch starts and the whole-stream share variable of each, in the order they were met.
    std::vector<std::pair<CNode*, CalculatorVariable*>> m_branchFlows;
    std::unordered_map<const CNode*, CalculatorVariable*> m_branchFlowIndex;
    void WriteBackBranchShares();
    friend class HENCalculatorTestAccess;
};

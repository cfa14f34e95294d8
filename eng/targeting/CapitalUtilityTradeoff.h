#pragma once
// The capital/utility trade-off: the minimum hot and cold utility targets are shared among the
// utility streams of each side so that the total annual cost is lowest. A cheap utility is often
// a poor one (low-pressure steam is cheaper than high-pressure steam but gives a smaller
// temperature difference, so more area), so moving load between levels trades operating cost
// against capital cost.
//
// The trade-off starts by giving each side's whole target to its first utility (the hottest hot
// utility, the coldest cold one: they can serve wherever the process needs them), then moves
// load step by step to the following utilities. Each step is a golden-section search on the total
// annual cost over the load that can be moved without the balanced composite curves crossing.
// Two passes are made (hot side first, then cold side first) and the cheaper one is kept.
//
// The trade-off owns its own energy target, area target (Bath formula), units target and
// balanced composite curves, and answers IHeatIntegrationScenarioForCosting, so that the cost
// functions price each candidate distribution exactly as they price a scenario.
//
// Status: 0 done; 1 a side has a target but no utility stream, or the utilities as first loaded
// leave the curves infeasible; 4 the final area target failed; 5 no valid economic data; 6 every
// utility stream of a side has a cost index of 1e-8 or less in magnitude.
//
// Sources: CapitalUtilityTradeoff.cpp (construction, check, passes, costing answers),
// CapitalUtilityTradeoffSearch.cpp (share search, shiftable load, evaluation of a point),
// CapitalUtilityTradeoffRecord.cpp (case file).
#include "brasko/EconomicData.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/targeting/BathAreaTarget.h"
#include "eng/targeting/TargetValue.h"
#include "eng/targeting/TemperatureInterval.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class EnergyTarget;
class ILurmetBinaryFile;
class TargetCurve;
class UnitsTargetData;

// What the trade-off is built over: the scenario's streams (dictionary order) and segment list,
// its economic data and information, its minimum approach temperature and minimum F-factor.
struct CapitalUtilityTradeoffInputs {
    std::span<IHeatIntegrationStream* const> streams;
    std::span<StreamSegment* const> segments;
    const EconomicData* economicData = nullptr;
    const EconomicInfo* economicInfo = nullptr;
    double dtMin = 10.0;
    double minimumFFactor = 0.8;
    // The capital law the scenario's cost targets use: on the countercurrent area and units, or
    // (the default) on the shell-and-tube area, the shells and the units.
    bool countercurrentCapital = false;
};

class MUCapitalUtilityTradeoff : public IHeatIntegrationScenarioForCosting {
public:
    static constexpr int RecordVersion = 2;
    static constexpr int ItemRecordVersion = 1;
    enum Status : int {
        Done = 0,
        NoUtility = 1,
        FinalAreaFailed = 4,
        NoEconomicData = 5,
        NoCostIndex = 6,
    };
    // Loads and cost indices at or below this magnitude count as none.
    static constexpr double Tolerance = 1e-8;
    // The area target starts with this minimum F-factor until an evaluation hands it the
    // scenario's.
    static constexpr double InitialFFactor = 0.8;

    // Keeps the inputs and runs the whole trade-off.
    explicit MUCapitalUtilityTradeoff(const CapitalUtilityTradeoffInputs& in);
    // An object over the inputs with its utility lists collected, ready to read its record into
    // (nothing is computed).
    static std::unique_ptr<MUCapitalUtilityTradeoff> ForRecall(const CapitalUtilityTradeoffInputs& in);
    ~MUCapitalUtilityTradeoff() override;
    MUCapitalUtilityTradeoff(const MUCapitalUtilityTradeoff&) = delete;
    MUCapitalUtilityTradeoff& operator=(const MUCapitalUtilityTradeoff&) = delete;

    // Frees the units target, area target, utility lists, load lists, pinch list and curve,
    // takes the new inputs and runs the trade-off again.
    void Refresh(const CapitalUtilityTradeoffInputs& in);

    // The costs of the utility loads as they stand (capital, operating, total annual), computed
    // over fresh curves, area and units targets; answers the total annual cost.
    double EvaluateCurrentLoads();

    bool IsOk() const { return m_bOk; }
    int GetStatus() const { return m_status.nStatus; }
    const std::vector<IHeatIntegrationStream*>& GetHotUtilities() const { return m_hotUtilities; }
    const std::vector<IHeatIntegrationStream*>& GetColdUtilities() const { return m_coldUtilities; }
    // One entry fewer than the side's utilities: what the utilities but the last carry; the last
    // takes what is left of the target (AssignLoadsToStreams).
    const std::vector<double>& GetHotLoads() const { return m_hotLoads; }
    const std::vector<double>& GetColdLoads() const { return m_coldLoads; }
    // The pinch points of the cascade of the loads last costed (PinchesOfLoads).
    const std::vector<PinchListEntry>& GetPinchList() const { return m_pinches; }
    double GetHotUtilityTarget() const { return m_dHotTarget; }
    double GetColdUtilityTarget() const { return m_dColdTarget; }
    double GetMinimumApproach() const { return m_dDTmin; }
    double GetWorkingApproach() const { return m_dWorkingDTmin; }
    double GetMinimumFFactor() const { return m_dMinimumFFactor; }
    const EnergyTarget* GetEnergyTarget() const { return m_pEnergyTarget.get(); }
    const BathAreaTarget* GetAreaTargetResult() const { return m_pAreaTarget.get(); }
    const UnitsTargetData* GetUnitsTarget() const { return m_pUnitsTarget.get(); }
    const TargetCurve* GetCurve() const { return m_pCurve.get(); }
    // Evaluations of the cost since the last run started (zero when no search was made).
    int GetNumberOfEvaluations() const { return m_nEvaluations; }

    // ---- IHeatIntegrationScenarioForCosting ----
    bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const override;
    bool GetStream(int index, IHeatIntegrationStream*& out) const override;
    const char* GetMatchCostModelNameAt(int index) override;
    double GetAreaTarget(int kind) const override;
    // Items 0 to 2 from the economic data, the others from the economic information, whatever
    // the set name; 0.0 unless both are present.
    double GetEconomicData(int type, const char* setName) const override;
    double GetMatchFirstValue(int index) const override;
    double GetMatchCountercurrentArea(int index) const override;
    double GetMatchShellAndTubeArea(int index) const override;
    double GetMatchValue(int index) const override;
    double GetMatchFourthValue(int index) const override;
    // 7 capital, 4 operating, 5 total annual cost.
    double GetCostTarget(int code) const override;
    // Kind 0 the overall minimum, 1 the minimum with the pinch division.
    int GetMinimumNumberOfUnits(int kind) const override;
    int GetNumberOfShellsTarget() const override;
    int GetNumberOfMatches() const override;

    // Record version 2: the three costs, working approach, hot and cold utility target, approach
    // (doubles); ok flag; status (TargetValue record); then behind presence flags the curve, the
    // units target, the area target, the energy target, the hot loads and the cold loads (count,
    // one record per value), the pinch list (count, one record per entry); then the minimum
    // F-factor. Recall reads versions 1 and 2 (version 1 keeps the F-factor it has); on failure
    // the object is left as it was.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    struct RecallOnly {};
    MUCapitalUtilityTradeoff(const CapitalUtilityTradeoffInputs& in, RecallOnly);

    void TakeInputs(const CapitalUtilityTradeoffInputs& in);
    void CollectUtilities();
    void Run();
    void SetGlobalContributions(double dtMin);
    void CheckAndInitialise();
    void GiveTargetsToFirstUtilities();
    // Builds the curve over the segments and computes the area target on it; true when the
    // curves keep the approach temperature.
    bool ComputeAreaOnCurve();
    void Optimise();
    int CountProcessStreams() const;

    // ---- the search (CapitalUtilityTradeoffSearch.cpp) ----
    // Moves load to utility k of the side; answers the load left on the utility it came from
    // and that utility's position.
    std::pair<double, int> OptimiseShare(int k, int side, const std::vector<double>& loads);
    double MaxShiftableLoad(int k, int j, int side, const std::vector<double>& loads);
    double EvaluatePoint(IHeatIntegrationStream& a, IHeatIntegrationStream& b, double x);
    // The largest load up to `estimate` that `to` can take over from `from` with the balanced
    // curves keeping the approach; the two are left carrying that split.
    double LargestFeasibleShift(IHeatIntegrationStream& from, IHeatIntegrationStream& to, double estimate);
    // The pinch points of the cascade with the utilities carrying the loads as they stand: what
    // the placement record lists for the same loads.
    std::vector<PinchListEntry> PinchesOfLoads() const;
    // Whether the balanced curves of the loads as they stand keep the approach.
    bool LoadsKeepApproach();
    // Weighs the loads the search ended with against the automatic placement's: the cheaper
    // split the utilities can deliver is kept.
    void KeepAutomaticPlacementWhenCheaper();
    std::vector<IHeatIntegrationStream*>& UtilitiesOf(int side) { return side == 0 ? m_hotUtilities : m_coldUtilities; }
    double TargetOf(int side) const { return side == 0 ? m_dHotTarget : m_dColdTarget; }
    bool HasEconomics() const { return m_economicData.has_value() && m_economicInfo.has_value(); }

    SegmentRefs m_segments;
    std::vector<IHeatIntegrationStream*> m_streams;
    std::vector<IHeatIntegrationStream*> m_hotUtilities;
    std::vector<IHeatIntegrationStream*> m_coldUtilities;
    std::vector<double> m_hotLoads;
    std::vector<double> m_coldLoads;
    std::vector<PinchListEntry> m_pinches;
    std::unique_ptr<EnergyTarget> m_pEnergyTarget;
    std::unique_ptr<BathAreaTarget> m_pAreaTarget;
    std::unique_ptr<UnitsTargetData> m_pUnitsTarget;
    std::unique_ptr<TargetCurve> m_pCurve;
    // Copies of the scenario's sets taken with the inputs: the scenario may replace its own at
    // any time, and the costs already computed must stay explainable.
    std::optional<EconomicData> m_economicData;
    std::optional<EconomicInfo> m_economicInfo;
    double m_dCapitalCost = 0.0;
    double m_dOperatingCost = 0.0;
    double m_dTotalAnnualCost = 0.0;
    double m_dWorkingDTmin = 0.0;
    double m_dHotTarget = 0.0;
    double m_dColdTarget = 0.0;
    double m_dDTmin = 0.0;
    double m_dMinimumFFactor = 0.8;
    bool m_bCountercurrentCapital = false;
    bool m_bOk = false;
    TargetValue m_status;
    int m_nEvaluations = 0;
};

// The steps of the trade-off that need nothing but numbers, apart so they can be checked alone.
namespace TradeoffSteps {

// Interior points of the golden section and the bracket width the search stops at.
constexpr double GoldenLow = 0.381966;
constexpr double GoldenHigh = 0.618034;
constexpr double BracketWidth = 0.01;
// Below this share of the other value, the cost at t = 0 ends the search at once.
constexpr double ClearMinimumShare = 0.0001;

struct SearchResult {
    double t = 0.0;      // the bracket's midpoint, or the end of the range that costs less
    double value = 0.0;  // the cost at t
    int evaluations = 0;
};

// Golden-section search of `cost` over t in [0, 1]: the values at 0 and 0.381966 first; when both
// are positive and the one at 0 is below 0.0001 times the other the search ends at [0, 0].
// Otherwise the bracket shrinks towards the lower interior value (both ends move when the two are
// equal) until it is no wider than 0.01; its midpoint is then weighed against t = 1 and t = 0,
// and the cheapest of the three (the midpoint on a tie, then the start) is taken and evaluated
// last.
SearchResult GoldenSectionSearch(const std::function<double(double)>& cost);

// One side's pass: for k = 1 .. n - 1, `share(k)` answers the load left on the utility it moved
// load from and that utility's position, which takes the load; while a further step follows, the
// next position takes the remainder of the target, or 0.0 when the remainder is below 0.2 / n of
// the target. `loads` holds n - 1 entries.
void FillSideLoads(int utilities, double target, std::vector<double>& loads,
                   const std::function<std::pair<double, int>(int)>& share);

// The level a utility stands at: its "Temperature" value (the supply temperature when it has
// none).
double UtilityLevel(const IHeatIntegrationStream& utility);

// Whether an economic data set can price a unit: the capital cost law's a, b and c are finite
// and not negative.
bool IsUsableEconomicData(const EconomicData& data);

}  // namespace TradeoffSteps

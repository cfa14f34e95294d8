#pragma once
// Automatic utility placement: which utility segments supply the scenario's heating and cooling,
// and how much each supplies, found by a transshipment LP over the shifted-temperature intervals
// of every segment, utilities included (BuildModel gives the rows).
//
// Heat only flows down. The process heat of streams in no forbidden match is pooled per interval,
// together with what the hot utilities give; each hot segment of a stream in a forbidden match
// (a linked segment) keeps a cascade of its own, so that its heat never reaches a cold segment it
// may not meet. Cold process heat in no forbidden match and the cold utilities take heat from any
// source; a linked cold segment from any but its forbidden partners. A utility segment gives (or
// takes) its load spread over the intervals of its shifted range in proportion to their widths,
// that is with one heat-capacity flow rate over its whole range, and the segments of one utility
// stream keep one mass flow. Heat a sink gets from no source is hot shortfall; heat that leaves
// the bottom of a cascade found no cold utility (cold shortfall).
//
// Prices: each utility column costs its stream's cost per energy, scaled so that the dearest
// utility costs 1, plus 1.5 for every kW of utility at all; a shortfall costs 1000. The scaling
// keeps the solver's tolerances clear of the tiny costs per kJ; the flat 1.5 makes a kW of heat
// sent round the cascade dearer than any saving between utilities (at most 2 per kW), so the LP
// places no utility across the pinch unless a utility's range forces it to.
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TargetValue.h"
#include "eng/targeting/TemperatureInterval.h"

#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

class IHeatIntegrationStream;

class UtilityPlacementLP {
public:
    static constexpr int IntervalMode = 5;
    static constexpr double ShortfallPrice = 1000.0;
    static constexpr double UtilityUnitPrice = 1.5;
    // Loads and flows at or below this count as zero.
    static constexpr double LoadTolerance = 1e-8;

    // Outcome by the two totals: 0 nothing placed or short, 1 short only, 2 placed only, 3 both;
    // 1 also after a failed solve.
    enum Status : int { Nothing = 0, ShortOnly = 1, PlacedOnly = 2, PlacedAndShort = 3 };

    UtilityPlacementLP() = default;
    UtilityPlacementLP(const UtilityPlacementLP&) = delete;
    UtilityPlacementLP& operator=(const UtilityPlacementLP&) = delete;

    // Builds the intervals over `segments` (all kinds; utilities whose network block says they are
    // not used take no part), builds and solves the model and hands each utility segment its
    // load: the segment's load and heat-capacity flow rate, its network block marked loaded, and
    // its stream's loads set to the sum over its segments. False when the solve failed: then
    // status 1, no load is handed out and both sides stay unsettled.
    // `reference`, when given, is the energy target of the same process: its minimum utilities
    // (which forbidden matches raise) are the process's minimum utilities reported; without it
    // they come from the pooled process.
    bool Calculate(std::span<StreamSegment* const> segments, const EnergyTarget* reference = nullptr);
    // The same cascade without a solve: each utility segment carries the share of the load its
    // stream carries now (loads typed by the user, or chosen by the capital/utility trade-off).
    // The pinch points of any loads come from this cascade, so the same loads give the same
    // pinches (and so the same units, shells and costs) whichever method chose them. Nothing is
    // handed to the segments or streams.
    void CascadeOfLoads(std::span<StreamSegment* const> segments, const EnergyTarget* reference = nullptr);

    // Whether the LP of a problem without forbidden matches is built on merged intervals or on
    // every interval of the cascade. Both have the same optimum, but not always the same last
    // digits of the loads; by size (the default) a cascade of up to MergeAboveIntervals intervals
    // keeps the full model, which costs microseconds there, so that small problems give the
    // loads they always gave. The full model is also the check on the merged one.
    enum class IntervalModel { BySize, Merged, Full };
    static constexpr int MergeAboveIntervals = 1000;
    void SetIntervalModel(IntervalModel model) { m_model = model; }
    // Rows of the last model built (0 when none was built).
    int GetModelRows() const;

    int GetStatus() const { return m_nStatus; }
    bool HasFailed() const { return m_bFailed; }
    // Total load handed to utility segments, and total shortfall (both sides).
    double GetAssignedLoad() const { return m_dAssignedLoad; }
    double GetUnassignedLoad() const { return m_dUnassignedLoad; }
    // Hot and cold utility loads placed, and the process's own minimum utilities (pooled).
    double GetHotUtilityLoad() const { return m_dHotLoad; }
    double GetColdUtilityLoad() const { return m_dColdLoad; }
    double GetMinimumHotUtility() const { return m_dMinimumHot; }
    double GetMinimumColdUtility() const { return m_dMinimumCold; }
    // The two sides: first value the load placed on the side's utilities, second the shortfall.
    const TargetValue& GetHotSide() const { return m_hot; }
    const TargetValue& GetColdSide() const { return m_cold; }
    TargetValue& HotSide() { return m_hot; }
    TargetValue& ColdSide() { return m_cold; }

    // The cascade of process and placed utilities: boundary k holds the shifted temperature and the
    // heat flowing down across it (a shortfall counted as coming from the top).
    const TIList& GetIntervals() const { return m_intervals; }
    const LPProblem* GetModel() const { return m_pModel.get(); }
    // The load the LP gave a utility segment (0.0 for any other segment).
    double GetSegmentLoad(const StreamSegment* segment) const;

    // The pinch points of the cascade: every interior boundary whose heat is the cascade's minimum
    // gives (T + dtMin / 2, T - dtMin / 2). The entries name no segments: they are read from the
    // record's own boundaries only, so they can be taken again after the segments have changed.
    std::vector<PinchRecord> FindPinchPoints(double dtMin) const;

private:
    struct UtilityColumn {
        StreamSegment* segment = nullptr;
        bool hot = true;
        double price = 0.0;
        int column = -1;
        // (interval, share of the load) pairs.
        std::vector<std::pair<int, double>> shares;
        double load = 0.0;
    };

    void Reset();
    // A utility segment's share of its stream's load: specific heat x range where `specific` (every
    // segment of the stream has a specific heat), else its range.
    static bool HasSpecificHeat(const StreamSegment& s);
    static double ShareWeight(const StreamSegment& s, bool specific);
    std::unordered_map<const IHeatIntegrationStream*, bool> StreamsWithSpecificHeats() const;
    // Resets the record, builds the intervals over the segments and the process heat of each;
    // answers the number of intervals.
    int BuildIntervals(std::span<StreamSegment* const> segments);
    void CollectUtilityColumns();
    void BuildModel();
    void BuildMergedModel();
    // The first interval of every block of the merged model, and one past the last interval.
    std::vector<int> MergedBlockStarts() const;
    template <typename Builder>
    void AddTieRows(Builder& builder) const;
    // The hot shortfall of the solution comes back in `shortfall`.
    bool Solve(double& shortfall);
    void ComputeResults(double hotShortfall, const EnergyTarget* reference);
    void AssignUtilityLoads();
    // Marks the boundaries that may be pinches (ends of process or loaded utility segments strictly
    // inside the range they span), then lets go of what only the solve needed: the membership, the segment list and
    // the per-interval process heat.
    void KeepOnlyResults();

    SegmentRefs m_segments;
    TIList m_intervals{IntervalMode};
    std::unique_ptr<LPProblem> m_pModel;
    std::vector<UtilityColumn> m_utilities;
    // Per interval: the pooled hot and cold process heat (streams in no forbidden match), and hot
    // minus cold heat of the whole process.
    std::vector<double> m_pooledHot;
    std::vector<double> m_pooledCold;
    std::vector<double> m_processSurplus;
    std::vector<int> m_shortfallColumns;
    std::vector<int> m_bottomColumns;
    // Per boundary: 1 where a process or loaded utility segment ends strictly inside the range
    // those segments span.
    std::vector<char> m_heatEnd;
    int m_nStatus = ShortOnly;
    bool m_bFailed = false;
    IntervalModel m_model = IntervalModel::BySize;
    double m_dAssignedLoad = 0.0;
    double m_dUnassignedLoad = 0.0;
    double m_dHotLoad = 0.0;
    double m_dColdLoad = 0.0;
    double m_dMinimumHot = 0.0;
    double m_dMinimumCold = 0.0;
    TargetValue m_hot;
    TargetValue m_cold;
};

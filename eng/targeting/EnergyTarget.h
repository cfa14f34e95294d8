#pragma once
// The minimum-energy target of a set of process streams: minimum hot and cold utility, the pinch
// points, the pockets of the heat cascade and the kind of problem (pinched or threshold).
//
// The target is found by a transshipment LP over shifted-temperature intervals. Process heat is
// pooled per interval; streams that take part in forbidden matches (linked segments, kind 2) are
// modelled one segment at a time so that a forbidden pair can be left without a column. Match
// columns carry heat from a source to a sink in the same or a colder interval, residual columns carry what is
// left down the cascade, and a slack column in every sink row stands for heat that no process
// source can give. The flows are then cascaded over the interval boundaries: the boundary values
// of the interval list form the grand composite curve (shifted temperature, heat flow).
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <memory>
#include <span>
#include <vector>

class ILurmetBinaryFile;

struct PinchRecord {
    double dHotTemperature = 0.0;   // shifted pinch + DTmin / 2
    double dColdTemperature = 0.0;  // shifted pinch - DTmin / 2
    // The hot segments that start at the pinch (shifted inlet equal to the pinch temperature).
    SegmentRefs segments;
};

// A pocket of the cascade: the walk from the end boundary (top or bottom) towards the pinch
// leaves the heat flow at the starting boundary and comes back to it at the closing temperature.
struct PocketRecord {
    double dStartTemperature = 0.0;    // boundary where the pocket opens
    double dClosingBoundaryTemperature = 0.0;
    double dClosingTemperature = 0.0;  // where the cascade comes back to the opening heat flow
    std::int32_t nSide = 0;            // 0 above the pinch, 1 below
    std::int32_t nStartBoundary = 0;
    std::int32_t nClosingBoundary = 0;
};

// Heat a residual column carries past the bottom of interval nInterval: the pooled process heat
// (no segment) or one linked hot segment's.
struct EnergyTargetResidual {
    std::int32_t nInterval = 0;
    // The segment's last interval when the model was built: what it carries past that interval
    // leaves its span and flows down to the bottom of the cascade. (Beside the interval, so that
    // a cascade of a large table holds 24 bytes a boundary rather than 32.)
    std::int32_t nSegmentLast = -1;
    StreamSegment* pSegment = nullptr;
    double dValue = 0.0;
};

class EnergyTarget {
public:
    static constexpr int RecordVersion = 1;
    enum ProblemType : int { BothUtilities = 0, HotUtilityOnly = 1, ColdUtilityOnly = 2, NoUtility = 3 };

    // Objective coefficients of the model.
    static constexpr double MatchCost = -1.0;
    static constexpr double LinkedPairCost = 0.0;
    static constexpr double SlackCost = 1000.0;
    // What all the residual steps of one interval boundary's heat down the whole cascade cost
    // together (each step costs this over the number of boundaries plus one).
    static constexpr double ResidualCost = 1000.0;
    // A boundary whose heat flow lies within (max - min) x this of the cascade's minimum is a
    // pinch.
    static constexpr double kPinchRelativeTolerance = 1e-12;
    // Heat at either end of the cascade within this share of the process loads (the larger of
    // the hot and the cold total) is the noise of a heat balance read from rounded data, not a
    // utility: a problem that balances to a few ppm needs none.
    static constexpr double kLoadRelativeNoise = 1e-6;

    // An empty record (what a recall reads into).
    EnergyTarget();
    // Keeps the segments that are not utilities, builds the shifted-temperature intervals and,
    // when there is at least one boundary, builds and solves the model and reads the results.
    EnergyTarget(std::span<StreamSegment* const> segments, double dtMin);
    EnergyTarget(const EnergyTarget&) = delete;
    EnergyTarget& operator=(const EnergyTarget&) = delete;

    // Forgets the results, takes the new segments and DTmin and recalculates.
    void Rebuild(std::span<StreamSegment* const> segments, double dtMin);

    // Steps of the calculation (Rebuild and the constructor run them in this order).
    void BuildModel();
    // Solves the model: by the cascade when it holds pooled process heat only, otherwise by the
    // solver. Both answer the same optimum; the cascade takes microseconds where the solver takes
    // a large part of a second for ten thousand streams.
    bool Solve();
    // The model handed to the solver library (what Solve does for models with linked segments).
    bool SolveWithSolver();
    // The optimum of a pooled model found directly: walking down the intervals, each sink takes
    // what the heat carried down to its source still holds, the slack covers the rest, and what
    // is left of a source's heat is its residual down to the next source. False, changing
    // nothing, for a model with linked segments or a negative heat.
    bool SolveByCascade();
    void ComputeResults();
    void FindPinchPoints();
    void FindPockets();

    // Record version 1: hot and cold utility, DTmin, problem type, then the interval list behind
    // a presence flag. Recall restores the pinch points and pockets from the recalled list; a
    // recalled record has no model until it is rebuilt. On failure the record is unchanged.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

    double GetHotUtility() const { return m_dHotUtility; }
    double GetColdUtility() const { return m_dColdUtility; }
    double GetDTmin() const { return m_dDTmin; }
    int GetProblemType() const { return m_nProblemType; }
    const std::vector<PinchRecord>& GetPinchList() const { return m_pinchList; }
    const std::vector<PocketRecord>& GetPockets() const { return m_pockets; }
    int GetNumberOfPockets() const { return static_cast<int>(m_pockets.size()); }
    // The grand composite curve: boundary k holds shifted temperature T(k) and the heat flowing
    // down across it.
    const TIList& GetIntervals() const { return m_intervals; }
    const SegmentRefs& GetSegments() const { return m_segments; }
    const LPProblem* GetModel() const { return m_pModel.get(); }
    // The residual records: the model's, or after the walk alone the pooled heat left in each
    // interval (interval k's record at position k).
    std::vector<EnergyTargetResidual> GetResiduals() const;

private:
    void Calculate();
    void BuildModel(bool withMatrix);
    // The pooled model's optimum walked straight from the interval sums, without laying out its
    // columns (they are laid out when the solver or the walk over them is asked for); false,
    // changing nothing, with linked segments or a negative heat.
    bool CalculatePooled();
    void AddRun(std::vector<double>& runs, int from, int to, double value) const;
    // The cascade of a solution's flows: `runs` a difference array of what crosses runs of
    // boundaries, `single` what crosses one boundary; values within the solver's tolerance of
    // zero are zero.
    void ApplyCascade(const std::vector<double>& single, const std::vector<double>& runs);
    // Lays the heat flows on the boundaries (those within `zero` of zero are zero), reads the
    // utilities off its ends and finds the pinches and pockets.
    void SetCascade(const std::vector<double>& values, double zero);
    // The larger of the hot and the cold process streams' total loads (kW).
    double LargerSideLoad() const;

    SegmentRefs m_segments;
    std::vector<PinchRecord> m_pinchList;
    std::vector<PocketRecord> m_pockets;
    TIList m_intervals{0};
    std::unique_ptr<LPProblem> m_pModel;
    // Whether the model's rows and matrix are laid out (the cascade needs only its columns).
    bool m_bMatrixBuilt = false;
    bool m_bColumnsBuilt = false;
    std::vector<EnergyTargetResidual> m_residuals;
    // What the walk alone (CalculatePooled) left in each interval, by position: eight bytes an
    // interval where a record takes 24, held while there are no model records.
    std::vector<double> m_pooledResiduals;
    int m_nProblemType = BothUtilities;
    double m_dHotUtility = 0.0;
    double m_dColdUtility = 0.0;
    double m_dDTmin = 0.0;
};

// Change codes that (re)build the energy target: a recalled scenario, a stream or segment change,
// a new DTmin.
namespace EnergyTargetCodes {
constexpr int Free = 3;
constexpr int Recalled = 35;
constexpr int StreamsChanged = 36;
constexpr int DTminTrial = 38;
}  // namespace EnergyTargetCodes

// The scenario's builder: code 3 deletes the record and answers null; without a segment list the
// record is answered unchanged; codes 35, 36 and 38 build a new record or rebuild the one given;
// every other code answers the record unchanged.
EnergyTarget* UpdateEnergyTarget(EnergyTarget* record, const SegmentRefs* segments, double dtMin, int changeCode);
void DeleteEnergyTarget(EnergyTarget* record);

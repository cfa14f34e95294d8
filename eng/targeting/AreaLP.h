#pragma once
// Area targeting by linear programming, for scenarios with forbidden matches. A transportation
// LP over shifted-temperature intervals: a column carries heat from one hot segment in one
// interval to one cold segment in the same interval or a colder one, priced at the area one unit
// of that heat needs; every segment gives or takes exactly its load in every interval; a pair of
// streams forbidden to match gets no column. The solution's heat is then laid out along each
// interval so that every flowing column has real end temperatures, and the area (and, for
// shell-and-tube exchangers, the F-factor and shells) of each column is computed from them and
// added to the totals and to the (hot stream, cold stream) match records.
//
// The model is built at a small temporary DTmin (2 °C) so that it may route heat across any
// approach the streams allow; the real approach of a column is its shifted difference plus both
// segments' shifts.
//
// The intervals are subdivided where the driving force asks for it: an interval is cut into parts
// no wider than a tenth of the vertical distance of the composite curves there, so that heat can
// be sent to the partner interval that lies at the curves' approach instead of being split between
// a nearer and a farther one (which costs area the streams do not need). Columns pair every hot
// segment and interval with every cold one at or below it; their number grows with the square
// of the intervals, so they are never all built: the model starts from the columns that run
// vertically between the curves, is solved as a network (AreaLPNetwork.h, a transportation
// problem), and the row prices of each solve bring in the columns that would lower the area,
// until none would. Memory thus grows with the columns the optimum needs, not with the candidates.
// A very large model (more than MaxRows load rows) is solved over a grid of shifted temperatures
// instead (AreaLPGrid.cpp): its areas are those of streams whose ends lie up to half a grid step
// from their own, and GetGridStep says how wide the grid was.
// A large model (DefaultCoarseStartRows) first solves the same LP over coarser intervals and
// starts the network from that optimum spread over its own rows (AreaLPCoarse.cpp): the simplex
// then needs a few pivots per row instead of tens.
// Every row also has a dear artificial column, so that each restricted model is feasible; an
// artificial that keeps heat at the end means that the streams cannot exchange their loads (a
// forbidden match that leaves a stream no partner), and the solve counts as failed.
//
// The same LP with every candidate column, solved once by the general LP solver, is kept as the
// reference the network solve is checked against (Method::FullModel).
#include "eng/model/PlantNormalForm.h"
#include "eng/targeting/AreaLPNetwork.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <chrono>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct AreaTargetInputs;
class ILurmetBinaryFile;
class MatchwiseStreamDataList;


// End temperatures (shifted) and results of one flowing column, kept in the column's values.
namespace AreaLPColumnValue {
constexpr std::size_t HotTop = 0;
constexpr std::size_t HotBottom = 1;
constexpr std::size_t ColdTop = 2;
constexpr std::size_t ColdBottom = 3;
constexpr std::size_t Area = 4;
constexpr std::size_t Shells = 5;
constexpr std::size_t Count = 6;
}  // namespace AreaLPColumnValue

class AreaLP {
public:
    enum Option : int { CountercurrentOnly = 0, ShellAndTubeOnly = 1, Both = 2 };
    enum Kind : int { Countercurrent = 0, ShellAndTube = 1 };

    static constexpr double TemporaryDTmin = 2.0;
    // Objective of a column whose two streams are forbidden to match.
    static constexpr double ForbiddenCoefficient = 2e16;
    static constexpr double SubdivisionStep = 12.0;
    static constexpr double SubdivisionFactor = 4.0;
    // An interval is cut into parts no wider than this share of the local driving force.
    static constexpr double DrivingForceShare = 0.1;
    // Finer intervals than these are not made: a problem that would need more intervals gets
    // wider ones everywhere.
    static constexpr double NarrowestPart = 0.05;
    static constexpr int MaxIntervals = 4000;
    // The restricted model never holds more columns: near this many, the columns that stand
    // farthest from paying are let go; a solve that cannot reach the optimum within it fails
    // (NotSolved). A model over a grid with many streams to an interval needs many columns a row
    // (2,000 random streams: 2.5 million for 98,000 rows, 690 MB; held to 1,000,000 it let go of
    // columns it needed round after round and did not settle). Memory follows the columns kept:
    // 300 random streams 190 MB, 1,000 streams 380 MB.
    static constexpr std::size_t MaxColumns = 3000000;
    // Rounds of column generation a solve may take; one that has not proved its optimum by then
    // fails (NotSolved) rather than give the area of a solution that may not be optimal.
    static constexpr int MaxPricingRounds = 200;
    // Column generation stops once the area is within this share of the lower bound the row
    // prices prove (or no column would lower it).
    static constexpr double OptimalityGap = 1e-11;
    // How the LP is solved: by the network simplex with generated columns, or whole (every
    // candidate column) by the general LP solver, the reference for small problems.
    enum class Method { Network, FullModel };

    // Told as each solve starts, by message key and a detail for the user (the kind of exchanger
    // and the rows, or the rows of a coarser model solved for a start), so that a computation of
    // many seconds is not silent.
    using Progress = std::function<void(const char* key, const std::string& detail)>;
    // Whom Rebuild and Refresh tell of their solves (nobody when empty; Update sets the inputs'
    // for its own computation only).
    void SetProgress(Progress progress) { m_progress = std::move(progress); }

    // An empty result with option 1 (what a recall reads into).
    AreaLP() = default;
    AreaLP(const AreaLP&) = delete;
    AreaLP& operator=(const AreaLP&) = delete;

    // The record builder's step: code 16 or 19 answers `existing` unchanged; code 18 refreshes
    // (or first builds) the result when the utility placement is valid; any other code rebuilds it
    // (or first builds it) when the scenario has segments and a valid placement, code 4 only when
    // the utilities come from the trade-off. A new result takes `option` before it is computed.
    static AreaLP* Update(AreaLP* existing, const AreaTargetInputs& in, int changeCode, int option = ShellAndTubeOnly);

    // Everything from the segments: intervals, models, solutions and results by the option.
    void Rebuild(std::span<StreamSegment* const> segments, double dtMin, double minimumFFactor,
                 MatchwiseStreamDataList* matches);
    // The same intervals and columns with the coefficients of the segments' present film
    // coefficients (a result without a model is rebuilt from `in`).
    void Refresh(const AreaTargetInputs& in);

    // Steps.
    void CountModel();
    void SetTemporaryContributions();
    void RestoreContributions();
    void BuildIntervals();
    // The rows and the starting columns. False, with an empty model, when the rows alone would
    // exceed MaxColumns.
    bool BuildModel(int kind);
    // Column generation from the model's columns; false when a solve fails, when heat is left on
    // an artificial column, or when the optimum is not proved within the columns and the rounds
    // allowed (flows then 0).
    bool Solve();
    // The reference solve builds every candidate column: for checking the network solve on small
    // problems, never for the scenario's own results.
    void SetMethod(Method method) { m_method = method; }
    // The network solve of a model of this many load rows or more starts from the optimum of the
    // same LP over coarser intervals (AreaLPCoarse.cpp): the simplex then goes on from near the
    // optimum instead of from every row on its artificial column. Smaller models start from
    // nothing, as their pivots are few anyway.
    static constexpr std::size_t DefaultCoarseStartRows = 2000;
    void SetCoarseStartRows(std::size_t rows) { m_nCoarseStartRows = rows; }
    // The load rows of the coarser LP the last network solve started from (0: it started from
    // nothing).
    std::size_t GetCoarseRows() const { return m_nCoarseRows; }
    // The most columns the restricted model may hold and the most pricing rounds a solve may take
    // (MaxColumns and MaxPricingRounds unless lowered, as a check of a solve held short of them).
    void SetMaxColumns(std::size_t columns) { m_nMaxColumns = columns; }
    void SetMaxPricingRounds(int rounds) { m_nMaxPricingRounds = rounds; }
    // The most load rows the LP is solved with. A scenario whose own intervals would give more is
    // solved over an even grid of shifted temperatures, the finest that keeps the rows within
    // this: every process segment's shifted ends move to the nearest grid point and its heat
    // capacity flowrate is scaled so that it keeps its load. Random tables: 300 streams make
    // 68,000 rows of their own (about 8 s CPU); 400 streams (118,000) and more are solved over a
    // grid, in 13 s (400 streams) to 38 s (1,000 streams, 99,000 rows) and 2 minutes (2,000).
    static constexpr std::size_t MaxRows = 100000;
    void SetMaxRows(std::size_t rows) { m_nMaxRows = rows; }
    // The width (K) of the grid the last computation was solved over; 0 when it was solved over
    // the scenario's own intervals.
    double GetGridStep() const { return m_dGridStep; }
    void Distribute(int kind, MatchwiseStreamDataList* matches);

    // T(i) - T(j) and T(i+1) - T(j+1) of the interval boundaries.
    double TopDifference(int i, int j) const;
    double BottomDifference(int i, int j) const;
    // The shift of a segment (its share of the approach) and its raw contribution value.
    static double Shift(const StreamSegment& s);
    static double RawContribution(const StreamSegment& s) { return s.DTminContribution.dValue; }

    double GetCountercurrentArea() const { return m_dCountercurrentArea; }
    double GetShellAndTubeArea() const { return m_dShellAndTubeArea; }
    double GetShells() const { return m_dShells; }
    // Whether the results are results: 0 not computed, 1 computed, 3 not available because the
    // loads could not be exchanged (a solve failed, or heat was left without a partner), 4 not
    // built because not even the widest grid brings the model within MaxRows (GetColumnsNeeded
    // says how large the scenario's own model would be); the results are then 0.
    // 5: a solve was stopped at the time limit (MaxSeconds, or SetTimeLimit) before it was solved.
    enum State : int { NotComputed = 0, Computed = 1, NotSolved = 3, TooLarge = 4, StoppedAtTimeLimit = 5 };
    // The longest one computation of the areas may take, in seconds: a solve that cannot settle
    // stops there and says so (state 5) instead of pivoting for days.
    static constexpr double MaxSeconds = 3600.0;
    void SetTimeLimit(double seconds) { m_dTimeLimit = seconds > 0.0 ? seconds : MaxSeconds; }
    double GetTimeLimit() const { return m_dTimeLimit; }
    int GetState() const { return m_nState; }
    // The columns of the whole transportation model of the last rebuild (candidate columns: every
    // hot row with every cold row at or below it).
    double GetColumnsNeeded() const { return m_dColumnsNeeded; }
    // Whether a model of this many rows cannot be held: the restricted model holds an artificial
    // and at least one starting column per row, and all of them must fit in MaxColumns. Time is
    // kept in bounds by MaxRows (a larger model is solved over a grid), so a model is refused
    // only when not even the widest grid brings it within MaxRows: memory grows with the columns
    // kept, about 200 MiB at 68,000 rows.
    static bool IsTooLarge(std::size_t rows) { return 2 * rows > MaxColumns; }
    double GetDTmin() const { return m_dDTmin; }
    double GetMinimumFFactor() const { return m_dMinimumFFactor; }
    int GetOption() const { return m_nOption; }
    void SetOption(int option) { m_nOption = option; }
    int GetIntervalCount() const { return m_nIntervalCount; }
    bool HasModel() const { return m_pModel != nullptr; }
    const LPProblem* GetModel() const { return m_pModel.get(); }
    const TIList* GetIntervals() const { return m_pIntervals.get(); }
    // The F-factor each column was priced with (1.0 unless computed for shell-and-tube).
    const std::vector<double>& GetColumnFFactors() const { return m_columnF; }
    // Rounds of column generation of the last solve.
    int GetPricingRounds() const { return m_nPricingRounds; }
    // Pivots of the network simplex over the last computation (every kind of exchanger, and the
    // coarser LPs solved for a start).
    std::int64_t GetPivots() const { return m_nPivots; }
    // Load rows of the last model (one per segment and interval it lies in; over the grid, when
    // the last computation was solved over one).
    std::size_t GetRowCount() const { return m_dGridStep > 0.0 ? m_nGridRows : m_rowLoads.size(); }
    // Candidate columns the last pricing round priced one by one (the others were settled a whole
    // interval pair at a time); GetColumnsNeeded counts them all.
    double GetCandidatesPriced() const { return m_dCandidatesPriced; }

    // The values the area record keeps of the result (see AreaTarget.cpp for the layout).
    void SetStoredValues(double countercurrentArea, double shellAndTubeArea, double shells, double dtMin,
                         int intervalCount, int option, double minimumFFactor);

private:
    // Per interval: hot process, cold process, hot utility, cold utility, hot linked, cold linked.
    enum MemberList : int { HotProcess = 0, ColdProcess, HotUtility, ColdUtility, HotLinked, ColdLinked, ListCount };
    using IntervalMembers = std::array<SegmentRefs, ListCount>;

    // A load row: segment `segment` gives (hot) or takes (cold) its heat in `interval`.
    struct LoadRow {
        StreamSegment* segment = nullptr;
        int interval = 0;
        int row = 0;
        int kind = 0;  // the segment's stream kind
        double resistance = 0.0;  // 1 / h
        int linked = -1;  // the segment's place among the linked segments (m_linked), or -1
    };

    void Compute(MatchwiseStreamDataList* matches);
    void CollectMembers();
    // Parts each interval is cut into, from the driving force of the composite curves.
    std::vector<std::size_t> DrivingForceParts() const;
    // The vertical distance of the balanced composite curves at every boundary (1e24 where a
    // curve is missing; never below the temporary DTmin): seen from the hot curve (side 0), from
    // the cold curve (1), or the smaller of the two (-1).
    std::vector<double> DrivingForces(int side = -1) const;
    double Coefficient(const LoadRow& hot, const LoadRow& cold, double& F) const;
    // The F-factor of an interval pair for segments on the common temporary approach (kept once
    // worked out).
    double CommonFFactor(int i, int j) const;
    // Whether the segment is on the common temporary approach: its columns then share their
    // interval pair's mean temperature difference and F-factor.
    static bool OnCommonApproach(const StreamSegment& s) {
        return RawContribution(s) == TemporaryDTmin && Shift(s) == 0.5 * TemporaryDTmin;
    }
    // Whether the two segments may exchange heat (a utility never meets a utility, a forbidden
    // pair never).
    bool MayMatch(const LoadRow& hot, const LoadRow& cold) const;
    void AddColumn(const LoadRow& hot, const LoadRow& cold);
    void AddStartingColumns();
    // Adds the columns whose reduced cost under `prices` is negative (the best of each hot row
    // and of each cold row); the number added.
    std::size_t PriceColumns(const std::vector<double>& prices);
    bool SolveOnNetwork();
    // Lets go of the columns off the network's tree (they carry no heat) with the dearest reduced
    // costs until at most `most` columns are left or only the tree's are.
    void LetGoDearest(AreaLPNetwork& network, std::size_t most);
    // A start for the network from the same LP over coarser intervals: the columns its flow
    // needs are added to the model, `flows` gets a flow per column and `artificial` the heat
    // each row leaves unplaced. False when no coarser LP is worth solving or it could not be.
    bool CoarseStart(std::vector<double>& flows, std::vector<double>& artificial);
    // The lowest and highest shifted temperature of the segments.
    static void ShiftedRange(const SegmentRefs& segments, double& low, double& high);
    // Copies of the segments (kept in `copies`) with every process segment's shifted ends moved to
    // the nearest point of the grid low + k step, its heat capacity flowrate scaled so that its
    // load stays; a segment narrower than half a step keeps one step. Utility segments as they are.
    static SegmentRefs OnGrid(const SegmentRefs& segments, double low, double step,
                              std::vector<std::unique_ptr<StreamSegment>>& copies);
    // Computes the results over the finest grid that keeps the rows within m_nMaxRows; false when
    // no grid does.
    bool ComputeOnGrid(MatchwiseStreamDataList* matches);
    // Removes the columns whose flag is 0, keeping the others in order.
    void DropColumns(const std::vector<char>& keep);
    bool SolveWithLPSolver();
    // Hands the columns and the artificial columns to the general LP solver.
    bool SolveRestricted(std::vector<double>& solution, std::vector<double>& prices);
    // A contribution in force during the computation, and what it replaced.
    struct SavedSegment {
        StreamSegment* pSegment = nullptr;
        ValueAndFlag contribution;
        double dShiftedFarEnd = 0.0;
    };

    std::unique_ptr<TIList> m_pIntervals;
    std::unique_ptr<LPProblem> m_pModel;
    // The plant as the model reads it (its joined segments are m_segments); null for a coarse or
    // grid model, whose segments are made on the grid.
    std::unique_ptr<PlantNormalForm> m_pPlant;
    SegmentRefs m_segments;
    std::vector<IntervalMembers> m_members;
    std::vector<double> m_columnF;
    // The load rows: hot ones and, per interval, the cold ones; each column's two rows.
    std::vector<LoadRow> m_hotRows;
    std::vector<std::vector<LoadRow>> m_coldRowsOf;
    std::vector<std::pair<int, int>> m_columnRows;
    std::vector<double> m_rowLoads;
    std::unordered_set<std::uint64_t> m_columnKeys;
    // Forbidden pairs among the linked segments, by their position in m_linked.
    std::unordered_map<const StreamSegment*, int> m_linked;
    std::vector<char> m_forbidden;
    mutable std::unordered_map<std::uint64_t, double> m_fFactors;
    double m_dArtificialCost = 0.0;
    double m_dLowerBound = 0.0;
    int m_nKind = ShellAndTube;
    int m_nPricingRounds = 0;
    double m_dTimeLimit = MaxSeconds;
    // When the computation under way must end (set as it starts; a coarse or grid model solved
    // for it takes the same).
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    bool m_bStoppedAtTimeLimit = false;
    std::int64_t m_nPivots = 0;
    double m_dCandidatesPriced = 0.0;
    Method m_method = Method::Network;
    // The network of the last solve, kept for a solve of the same rows at other prices.
    std::unique_ptr<AreaLPNetwork> m_pNetwork;
    std::vector<SavedSegment> m_saved;
    double m_dCountercurrentArea = 0.0;
    double m_dShellAndTubeArea = 0.0;
    double m_dShells = 0.0;
    double m_dDTmin = 0.0;
    int m_nOption = ShellAndTubeOnly;
    int m_nState = NotComputed;
    double m_dColumnsNeeded = 0.0;
    std::size_t m_nRowsNeeded = 0;
    double m_dMinimumFFactor = 0.8;
    int m_nIntervalCount = 0;
    // How many times this LP was made coarser than the scenario's own (0: the scenario's own), the
    // fewest rows for which a coarser one is solved first, and the pivots of the coarser ones.
    int m_nCoarseLevel = 0;
    std::size_t m_nCoarseStartRows = DefaultCoarseStartRows;
    std::int64_t m_nCoarsePivots = 0;
    std::size_t m_nCoarseRows = 0;
    std::size_t m_nMaxColumns = MaxColumns;
    std::size_t m_nMaxRows = MaxRows;
    // No cut by the driving force makes a part narrower than this (NarrowestPart; over a grid,
    // the grid's step: finer parts than the stream ends are moved by would only add rows).
    double m_dNarrowestPart = NarrowestPart;
    double m_dGridStep = 0.0;
    std::size_t m_nGridRows = 0;
    int m_nMaxPricingRounds = MaxPricingRounds;
    Progress m_progress;
};

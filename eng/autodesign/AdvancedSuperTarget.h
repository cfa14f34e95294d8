#pragma once
// Automatic network design of one scenario. Heat recovery is stated as a transportation model over
// temperature intervals: a column is the heat one hot segment gives in one interval to one cold
// segment in the same or a lower interval, a row keeps a process segment's heat in an interval.
// Solved as an LP it tells which stream pairs carry heat at the cost optimum and what the
// utilities carry; solved again as a MILP with one binary per loaded pair, once per design wanted,
// each integer solution cut off for the next, it gives sets of matches that are handed on to be
// built as networks.
//
// The run works on its own copies of the selected streams' segments, every one shifted by 2.0
// (an approach of 4 K between any two segments): the model prices area at that approach whatever
// the scenario's DTmin, and the streams' own segments are never touched, so no way out of a run
// can leave them shifted.
//
// Files: AdvancedSuperTarget.cpp (run, design loop, read-outs), AutoDesignChecks.cpp (data checks,
// utility choice, stream order), AutoDesignPreparation.cpp (small-load streams, matches of a
// design to complete, integer cut), AutoDesignIntervalModel.cpp (intervals, pair data, columns,
// costs), AutoDesignRows.cpp (rows, refinement), AutoDesignSolve.cpp (LP and MILP solves),
// AutoDesignAnalysis.cpp (utility loads, solution analysis, hand-off).
#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "eng/autodesign/IMatchStructureBuilder.h"
#include "eng/core/StreamSegment.h"
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class IMILPSolver;
class MatchwiseStreamData;

// One pair of a hot interval i and a cold interval j (j at or below i).
struct IntervalPairData {
    double fFactor = 1.0;
    double meanTemperatureDifference = 0.0;
    double shells = 1.0;
    double areaPerLoad = 0.0;
};

// One column of the interval model.
struct MatchColumn {
    StreamSegment* hotSegment = nullptr;
    StreamSegment* coldSegment = nullptr;
    MatchwiseStreamData* match = nullptr;
    std::int32_t index = -1;
    std::int32_t hotIntervalIndex = -1;
    std::int32_t coldIntervalIndex = -1;
    double fFactor = 1.0;
    double cost = 0.0;
    double value = 0.0;
    // From the solution analysis: 0 hot start, 1 hot end, 2 cold upper, 3 cold lower (shifted),
    // 4 not written, 5 area, 6 shells of the interval pair.
    std::unique_ptr<std::array<double, 7>> temperatures;
};

class AdvancedSuperTarget : public IAdvancedSuperTarget {
public:
    static constexpr double kForbiddenCost = 2e16;
    static constexpr double kLoadTolerance = 1e-8;
    // Every segment moves this far towards the other side during a run.
    static constexpr double kModelShift = 2.0;
    static constexpr double kModelContribution = 4.0;
    // Interval subdivision: step = max(minimum, factor x narrowest interval).
    static constexpr double kMinimumStep = 18.0;
    static constexpr double kStepFactor = 8.0;
    static constexpr double kPairMinimumF = 0.8;

    // Without a builder of its own the run resolves its matches with a stage-wise superstructure
    // of its own.
    explicit AdvancedSuperTarget(IHeatIntegrationScenario& scenario,
                                 std::shared_ptr<IMatchStructureBuilder> builder = nullptr);
    ~AdvancedSuperTarget() override;
    AdvancedSuperTarget(const AdvancedSuperTarget&) = delete;
    AdvancedSuperTarget& operator=(const AdvancedSuperTarget&) = delete;

    // IAdvancedSuperTarget. The mode is the largest number of matches a MILP may choose (0: no
    // limit); the flag switches the MILP phase (0: the run ends after the LP).
    void SetMode(int mode) override { maximumMatches = mode; }
    int GetMode() const override { return maximumMatches; }
    void ToggleFlag() override { milpEnabled = milpEnabled ? 0 : 1; }
    int GetFlag() const override { return milpEnabled; }
    void SetTimeLimit(double seconds) override;
    double GetTimeLimit() const override { return timeLimit; }
    int Run(CPDictionary* streams, void* argument, EconomicData* economicData, EconomicInfo* economicInfo,
            MatchwiseStreamDataList* matches, double dTmin, IHENDesign* design, int designsWanted) override;
    const char* GetMessageKey() const override { return message.empty() ? nullptr : message.c_str(); }
    double GetResultA() const override { return totalArea; }
    double GetResultB() const override { return analysisCount; }
    int GetNumberOfSummedValues() const override { return static_cast<int>(utilityLoads.size()); }
    double GetSummedValue(int index) const override;
    int GetNumberOfNamedEntries() const override { return static_cast<int>(utilityNames.size()); }
    const char* GetNamedEntry(int index) const override;
    int GetNumberOfLoadedMatches() const override { return static_cast<int>(loadedMatches.size()); }
    double GetLoadedMatchLoad(int index) const override;
    const char* GetLoadedMatchStreamName(int index, int side) const override;
    int GetNumberOfUnloadedMatches() const override { return static_cast<int>(unloadedMatches.size()); }
    const char* GetUnloadedMatchStreamName(int index, int side) const override;
    double GetObjectiveValue() const override { return lpProblem ? lpProblem->dObjectiveValue : 0.0; }
    const char* GetSearchNote() const override { return searchNote.c_str(); }
    const char* GetLimitNote() const override { return limitNote.c_str(); }

    // ---- steps of a run (public so that each can be checked on its own) ----
    bool SelectStreams(CPDictionary* streamDictionary);
    int CheckData();
    IHeatIntegrationStream* FindAdequateUtility(int side, double margin) const;
    void CollectSmallLoadStreams();
    void CollectExistingMatches();
    void BuildTemperatureIntervals();
    const IntervalPairData& AddIntervalPairData(double ti, double tj, double ti1, double tj1, int i, int j);
    const IntervalPairData* FindIntervalPairData(int i, int j) const;
    void UpdateMatchCostCoefficients(int mode);
    void FillMatchColumn(MatchColumn& column, StreamSegment* hot, StreamSegment* cold, int i, int j);
    void ApplyMatchCost(MatchColumn& column);
    bool GenerateLinearModel();
    void RefineLinearModel();
    void SetColumnCosts();
    int SolveLinearModel();
    int SolveMixedIntegerModel(int iteration);
    void AddIntegerCut(int n, int last);
    void CollectUtilityLoads();
    void AnalyzeSolution(double& area, double& shells);
    int BuildDesignFromMatches(const std::vector<MatchwiseStreamData*>& chosen);

    // The cost basis of a match's cost model, its economic item 5 as the capital cost targets read
    // it: 0 prices a match by area, 1 by load (duty), any other value leaves only the energy cost.
    virtual int CostBasisOf(const CPString& costModel) const;
    // The solver of one solve ("QEV_XPRESS"); null when none is available. The caller owns it.
    virtual IMILPSolver* CreateSolver() const;

    // Shifted-temperature mean of the two end approaches a and b: 2 sqrt(ab) / 3 + (a + b) / 6.
    static double MeanTemperatureDifference(double a, double b);
    // (1 + rate)^life / life.
    static double AnnualisationFactor(double rate, double life);
    // The stream order of a design: hot streams by falling supply temperature, then cold ones by
    // rising supply; a supply that cannot be read compares equal; streams that are neither leave.
    static void SortStreams(std::vector<IHeatIntegrationStream*>& streams);

    // ---- state (read by the tests and by the hand-off) ----
    struct MatchResult {
        std::string hot;
        std::string cold;
        double load = 0.0;
    };

    IHeatIntegrationScenario& scenario;
    std::shared_ptr<IMatchStructureBuilder> structureBuilder;
    std::unique_ptr<TIList> intervalList;
    std::unique_ptr<LPProblem> lpProblem;
    std::vector<MatchColumn> columns;
    std::vector<std::unique_ptr<StreamSegment>> segments;
    std::unordered_map<std::string, IHeatIntegrationStream*> streamsByName;
    std::vector<IHeatIntegrationStream*> streams;
    std::vector<double> utilityLoads;
    std::vector<IHeatIntegrationStream*> utilityStreams;
    std::vector<std::string> utilityNames;
    EconomicData* economicData = nullptr;
    EconomicInfo* economicInfo = nullptr;
    MatchwiseStreamDataList* matchData = nullptr;
    std::vector<MatchwiseStreamData*> loadedRecords;
    std::vector<MatchResult> loadedMatches;
    std::vector<MatchResult> unloadedMatches;
    std::vector<IHeatIntegrationStream*> smallLoadStreams;
    std::vector<MatchwiseStreamData*> hotUtilityMatches;
    std::vector<MatchwiseStreamData*> coldUtilityMatches;
    IHeatIntegrationStream* hotUtility = nullptr;
    IHeatIntegrationStream* coldUtility = nullptr;
    IHENDesign* designToComplete = nullptr;
    // Pair key (hot, cold stream): 1 the pair exchanges heat in the design to complete, 0 closed.
    std::unordered_map<std::string, int> existingMatches;
    double totalArea = 0.0;
    double totalShells = 0.0;
    std::vector<double> binaryValues;
    double analysisCount = 0.0;
    double dtMin = 10.0;
    double areaExponent = 0.0;
    double annualisationFactor = 0.0;
    double referenceArea = 0.0;
    int intervalCount = 0;
    int milpEnabled = 1;
    // The user's limit on each mixed-integer solve, in seconds (0: the solves' own).
    double timeLimit = 0.0;
    int maximumMatches = 0;
    int designsWanted = 10;
    int designsMade = 0;
    // Heat columns before the binaries of the MILP.
    int heatColumns = 0;
    std::string message;
    // How the last MILP's search ended when its time limit stopped it (empty otherwise).
    std::string searchNote;
    std::string limitNote;
    // Adds one stop at the time limit to limitNote.
    void NoteLimitStop(const std::string& note);

    // Key of a stream pair: the two names kept apart, so "AB"+"C" and "A"+"BC" differ.
    static std::string PairKey(const CPString& hot, const CPString& cold);
    // Two matches in the order of their hot streams' names, then their cold streams'.
    static bool MatchesByStreamNames(const MatchwiseStreamData* a, const MatchwiseStreamData* b);

private:
    int Design();
    void Progress(const char* key);
    void SplitMatches();
    void AddModelRows();
    void IndexColumns();
    // The columns of a segment in one interval of its span, on its side; null outside the span.
    std::vector<int>* ColumnsOf(int side, const StreamSegment* segment, int interval);
    bool IsSmallLoadStream(const IHeatIntegrationStream* stream) const;

    std::unordered_map<std::uint64_t, IntervalPairData> m_intervalPairs;
    std::unordered_set<const IHeatIntegrationStream*> m_smallLoad;
    // Interval span of each segment (by position in `segments`); -1 / -2 for one not taken.
    std::vector<int> m_spanFirst;
    std::vector<int> m_spanLast;
    // Heat columns of each match record (filled with the MILP's linking rows).
    std::unordered_map<const MatchwiseStreamData*, std::vector<int>> m_columnsOfMatch;
    // Per interval, the segments lying across it: hot and cold process, hot and cold utility, hot
    // and cold linked (in segment order).
    std::vector<std::array<std::vector<StreamSegment*>, 6>> m_members;
    void BuildMembers();
    // Per segment (by position in `segments`) and side: the columns of each interval it spans.
    std::unordered_map<const StreamSegment*, int> m_segmentIndex;
    // Per segment (by position in `segments`): the stream's own segments it joins, each with its
    // index and its temperature span, so that a load found on it is told back on them.
    std::vector<std::vector<std::pair<int, double>>> m_rowsOf;
    std::vector<std::vector<std::vector<int>>> m_columnsBySegment[2];
};

// Makes the automatic-design objects of the scenarios a project creates.
class AdvancedSuperTargetFactory : public IAdvancedSuperTargetFactory {
public:
    explicit AdvancedSuperTargetFactory(std::shared_ptr<IMatchStructureBuilder> builder = nullptr)
        : m_builder(std::move(builder)) {}
    IAdvancedSuperTarget* Create(IHeatIntegrationScenario& owner) override {
        return new AdvancedSuperTarget(owner, m_builder);
    }

private:
    std::shared_ptr<IMatchStructureBuilder> m_builder;
};

#pragma once
// The stage-wise superstructure that turns a set of loaded matches into a network structure.
//
// The temperature range is cut into stages numbered from the hot end (stage 1 is the hottest).
// In every stage a stream may exchange heat with several partners in parallel (a split), and its
// temperature at each stage boundary is a variable. For every candidate match the model decides
// in which stages it sits, with what share of its load and between which end temperatures. Each
// stage is built as a model of its own (SuperStructureStage), the stages are joined and coupled
// (SolveModel), the linear relaxation tests whether the number of stages can hold the matches at
// all, and the MILP places them. Too few stages: one more, up to 11.
//
// The model's only cost is the slack of each candidate's load, so any placement that carries the
// loads is optimal: the result is a feasible structure, not a best one.
//
// Files: SuperStructure.cpp (run, stage matches, stage temperatures, splits, hand-off),
// SuperStructureStage.cpp (one stage's rows and columns, its read-back), SuperStructureSolve.cpp
// (joined model and its solves).
#include "brasko/NotificationSender.h"
#include "dunmor/Units.h"
#include "eng/autodesign/IMatchStructureBuilder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CNode;
class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class IMILPSolver;
class LurmetSparseMatrix;
class MatchwiseStreamData;
class SuperStructureStage;

// One candidate match placed in one stage.
struct StageMatch {
    double hotInletTemperature = Units::EmptyValue;    // hot stream at the stage's hot end
    double coldInletTemperature = Units::EmptyValue;   // cold stream at the stage's cold end
    double hotOutletTemperature = Units::EmptyValue;   // hot stream at the stage's cold end
    double coldOutletTemperature = Units::EmptyValue;  // cold stream at the stage's hot end
    double hotSplitFraction = 1.0;   // share of the hot stream's flow through this match in the stage
    double coldSplitFraction = 1.0;
    double duty = 0.0;
    std::int16_t stage = 0;     // 1 = hottest
    std::int16_t sequence = 0;  // entries the result list held when this one was made
    MatchwiseStreamData* candidate = nullptr;
    int candidateIndex = -1;    // position in the superstructure's candidate list
};

// One split of a stream in a stage: its branches run in parallel between the two temperatures.
struct StageSplit {
    std::string streamName;
    double inletTemperature = 0.0;
    double outletTemperature = 0.0;
    std::vector<double> branchFractions;
    // Filled by the design builder: the branch segments and the mixer that closes the split.
    std::vector<CNode*> branchNodes;
    CNode* mixerNode = nullptr;
    int branchCount = 0;

    // Order by inlet temperature, rising or falling: -1, 0 or 1.
    static int CompareInletAscending(const StageSplit& a, const StageSplit& b);
    static int CompareInletDescending(const StageSplit& a, const StageSplit& b);
    static bool SameStream(const StageSplit& a, const StageSplit& b) { return a.streamName == b.streamName; }
};

// A stream's temperatures at the two ends of one stage, addressed as "HighEnd" and "LowEnd".
struct StreamStageTemperatures {
    double highEnd = Units::EmptyValue;
    double lowEnd = Units::EmptyValue;
    bool highEndSet = false;
    bool lowEndSet = false;
    bool endsEqual = false;  // both set and equal
    // The candidates the stream takes part in on its own side, by position in the candidate list
    // (rising).
    std::vector<int> matches;
    int hotCold = 0;

    // -32767.0 for a key whose value is unset or a key that is neither.
    double Get(std::string_view key) const;
    // Sets the value and its flag (an unknown key is ignored), then whether the ends are equal.
    void Set(std::string_view key, double value);
    bool Holds(int candidate) const;
};

// What turns a resolved structure into a design of the scenario: the stage matches (every entry
// of the solved attempt; the placed ones carry a duty above 1e-8) and the splits, whose branch
// and mixer nodes it fills. 1 when a design was built.
class IStageDesignBuilder {
public:
    virtual ~IStageDesignBuilder() = default;
    virtual int BuildDesign(IHeatIntegrationScenario& scenario, const std::vector<IHeatIntegrationStream*>& streams,
                            const std::vector<std::unique_ptr<StageMatch>>& stageMatches,
                            std::vector<std::unique_ptr<StageSplit>>& stageSplits, IHENDesign* designToComplete) = 0;
};

class HeatExchangerNetworkSuperStructure : public virtual NotificationSender, public IMatchStructureBuilder {
public:
    static constexpr int kFirstStageCount = 7;
    static constexpr int kAttempts = 5;
    static constexpr double kLoadTolerance = 1e-8;
    // Result of SolveModel.
    static constexpr int kSolved = 1;
    static constexpr int kTooFewStages = 2;

    // A candidate match with the duty placed in stages so far.
    struct Candidate {
        MatchwiseStreamData* record = nullptr;
        std::string hotName;
        std::string coldName;
        double load = 0.0;
        double minimumApproach = 0.0;
        int kind = 0;  // 1 when one of the two streams is a utility
        double placedDuty = 0.0;
    };

    HeatExchangerNetworkSuperStructure();
    ~HeatExchangerNetworkSuperStructure() override;
    HeatExchangerNetworkSuperStructure(const HeatExchangerNetworkSuperStructure&) = delete;
    HeatExchangerNetworkSuperStructure& operator=(const HeatExchangerNetworkSuperStructure&) = delete;

    // 1 when a structure was found (stageMatches and stageSplits then hold it), 0 when not (both
    // empty). `streamDictionary` gives the streams of the candidates by name; a candidate whose
    // stream it lacks finds no structure. Candidates with a load of 1e-8 or less take no part.
    int Run(const std::unordered_map<std::string, IHeatIntegrationStream*>& streamDictionary,
            const std::vector<MatchwiseStreamData*>* candidateMatches, IHeatIntegrationStream* hotUtility,
            IHeatIntegrationStream* coldUtility);

    // The first steps of a run: results cleared, the candidates with a load above 1e-8 taken, their
    // streams sorted (hot by falling supply, then cold by rising supply). False when a candidate's
    // stream is missing or on the wrong side.
    bool SetUpCandidates(const std::unordered_map<std::string, IHeatIntegrationStream*>& streamDictionary,
                         const std::vector<MatchwiseStreamData*>* candidateMatches, IHeatIntegrationStream* hotUtility,
                         IHeatIntegrationStream* coldUtility);

    // IMatchStructureBuilder: resolves the chosen matches (its progress goes to the scenario as
    // change code 64) and hands the structure to the design builder. 0 when no structure is found
    // or nothing builds designs from one.
    int BuildDesign(IHeatIntegrationScenario& scenario, const std::vector<IHeatIntegrationStream*>& streams,
                    const std::vector<MatchwiseStreamData*>& chosen, IHeatIntegrationStream* hotUtility,
                    IHeatIntegrationStream* coldUtility, IHENDesign* designToComplete) override;

    // The entry of candidate `candidate` in stage k, made on first asking; null in stage 1 when
    // the cold target is above the hot supply less the match's approach.
    StageMatch* GetStageMatch(int candidate, int k);
    // n records per stream, each with "HighEnd" at the stream's hot-end temperature.
    void BuildStageTemperatures(int n);
    // 1 solved, 2 too few stages (or no solver, or no solution).
    int SolveModel(std::vector<std::unique_ptr<SuperStructureStage>>& stages);
    void BuildSplits();

    // min(20, m^e), e = 0.5 for a utility match and 0.85 otherwise, m the smallest approach of the
    // match in the targeting solution; m <= 0 (or not a number) counts as 1.
    static double StageApproachOf(double minimumApproach, int kind);
    // Scaled temperature of the model: (T + 273.15) / 300.
    static double Theta(double temperature) { return (temperature + 273.15) / 300.0; }

    // The solver of one solve; null when none can be made.
    virtual std::unique_ptr<IMILPSolver> CreateSolver(const char* integerFlags, const LurmetSparseMatrix& matrix,
                                                      const char* rowTypes, const double* rhs,
                                                      const double* objective) const;

    // Position of a stream in `streams`, -1 when it takes no part.
    int StreamIndex(std::string_view name) const;
    const std::vector<StreamStageTemperatures>* TemperaturesOf(std::string_view name) const;
    std::vector<StreamStageTemperatures>* TemperaturesOf(std::string_view name);
    // Sum of the placed duty of the stream's candidates on its own side.
    double PlacedDutyOf(int stream) const;

    // ---- state (read by the tests and by the design builder) ----
    int stageCount = 0;
    std::unordered_map<std::string, IHeatIntegrationStream*> streamsByName;
    std::vector<IHeatIntegrationStream*> streams;
    std::vector<Candidate> matches;
    std::vector<std::unique_ptr<StageMatch>> stageMatches;
    std::vector<std::unique_ptr<StageSplit>> stageSplits;
    // Per stream (by position in `streams`): one record per stage, in stage order.
    std::vector<std::vector<StreamStageTemperatures>> stageTemperatures;
    IHeatIntegrationStream* hotUtility = nullptr;
    IHeatIntegrationStream* coldUtility = nullptr;
    // Per stream (by position in `streams`): its candidates on its own side, in list order.
    std::vector<std::vector<int>> candidatesOfStream;
    // Attempts made by the last run and the stage count of the solved one (0 when none).
    int attemptsMade = 0;
    int solvedStageCount = 0;
    void SetTimeLimit(double seconds) override { timeLimit = seconds; }
    std::string GetLimitNote() const override { return limitNote; }
    void SetUtilityLoads(const std::unordered_map<std::string, std::vector<double>>& segmentLoads) override {
        utilitySegmentLoads = segmentLoads;
    }
    // The solve's load of each segment of a utility (kW, segment order); null when none was given,
    // the utility's own segments then giving its load.
    const std::vector<double>* UtilitySegmentLoadsOf(const IHeatIntegrationStream& s) const;
    // The solve's loads of every utility, by name (SetUtilityLoads).
    std::unordered_map<std::string, std::vector<double>> utilitySegmentLoads;
    // The user's limit on one solve of the model in seconds; 0: the model's own. Never above it.
    double timeLimit = 0.0;
    // What the last run's solves met of the time limit (empty when none stopped at it).
    std::string limitNote;
    // Turns a resolved structure into a design; none yet: the hand-off then finds no design.
    std::shared_ptr<IStageDesignBuilder> designBuilder;

private:
    void Progress(const char* key);
    void ClearResults();
    std::unordered_map<std::string, int> m_streamIndex;
    // Stage match by (candidate, stage).
    std::unordered_map<std::uint64_t, StageMatch*> m_stageMatchIndex;
};

#pragma once
// One stage of the superstructure as a model of its own: which stage matches it holds, which
// streams take part, and the rows that tie each stream's temperature at the stage's cold end to
// the heat taken from it (or given to it) so far.
//
// Columns (0-based; M matches, S streams, A segment points, B = A + M + S):
//   0                      carries nothing
//   1 .. M                 q_j  load of match j as a fraction of its candidate's load
//   M+1 .. M+S             theta_p  (T + 273.15) / 300 of stream p at the stage's cold end
//   M+S+1 .. B             w  per stream and segment point: the share of the stream's heat in its
//                          active segment (streams in stage order, points from the cold end)
//   B+1 .. B+M             z_j  binary: match j exists in the stage
//   B+M+1 .. 2A+2M+S       y  per stream and point: the stream is at or above the point
// Rows: S stream balances ('e'), 2S temperature bounds, 6A + S segment rows, M match rows, M
// cold-end approach rows, S split limits (all 'l').
#include "eng/autodesign/SuperStructure.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class LurmetSparseMatrix;

// The approach of a (hot, cold) stream pair in a stage and, after a solve, the two temperatures
// at the stage's cold end.
struct StageApproach {
    std::string hotName;
    std::string coldName;
    double approach = 0.0;
    double coldEndDifference = 0.0;
    double hotTemperature = 0.0;
    double coldTemperature = 0.0;
    MatchwiseStreamData* candidate = nullptr;
};

class SuperStructureStage {
public:
    static constexpr double kBigM = 10.0;  // in theta units: 3000 K
    static constexpr double kOpenMatchShare = 0.0005;

    explicit SuperStructureStage(int stage);
    ~SuperStructureStage();
    SuperStructureStage(const SuperStructureStage&) = delete;
    SuperStructureStage& operator=(const SuperStructureStage&) = delete;

    // Builds the stage from the superstructure's streams, stage temperatures and stage matches.
    void Build(HeatExchangerNetworkSuperStructure& superStructure);
    void Reset();
    // theta column of the stream: M + 1 + its position; -1 when it takes no part in the stage.
    int GetTemperatureColumn(std::string_view streamName) const;
    int StreamPosition(std::string_view streamName) const;
    // First w column of the stream's points (its y columns lie M + A further on); -1 when absent.
    int FirstPointColumn(int position) const;
    // Reads the stage's solution back: duties, cold-end temperatures, end temperatures of the
    // stage matches, approach violations. 1 when a violation was recorded.
    int AnalyseSolution(HeatExchangerNetworkSuperStructure& superStructure);

    int stage = 0;
    int matchCount = 0;       // M
    int segmentCount = 0;     // A
    int streamCount = 0;      // S
    int columnCount = 0;      // 2A + 2M + S + 1
    int lastContinuousColumn = 0;  // B
    int equalityRowCount = 0;
    int rowCount = 0;         // 6A + 5S + 2M
    // Arrays are present only when the stage holds matches.
    std::vector<double> objective;
    std::vector<double> rhs;
    std::string rowTypes;
    std::string integerFlags;
    // Values of columns 1 .. columnCount - 1 after a solve; empty before.
    std::vector<double> solution;
    std::vector<StageMatch*> matches;
    std::vector<IHeatIntegrationStream*> streams;
    std::vector<std::unique_ptr<StageApproach>> approaches;
    std::vector<MatchwiseStreamData*> violations;
    // This stage's temperature record of every stream of the superstructure that has one.
    std::unordered_map<std::string, StreamStageTemperatures*> stageRecords;
    IHeatIntegrationStream* hotUtility = nullptr;
    IHeatIntegrationStream* coldUtility = nullptr;
    std::unique_ptr<LurmetSparseMatrix> matrix;

private:
    bool IsChosenUtility(const IHeatIntegrationStream* s) const { return s == hotUtility || s == coldUtility; }
    void AddStreamBalanceRows(HeatExchangerNetworkSuperStructure& superStructure, int& row);
    void AddTemperatureBoundRows(HeatExchangerNetworkSuperStructure& superStructure, int& row);
    void AddEnthalpySegmentRows(int& row);
    void AddMatchRows(HeatExchangerNetworkSuperStructure& superStructure, int& row);
    void AddApproachRows(HeatExchangerNetworkSuperStructure& superStructure, int& row);
    void AddSplitLimitRows(int& row);
    void Set(int row, int column, double value);

    std::unordered_map<std::string, int> m_position;
    std::vector<int> m_pointOffset;  // per stream: its first point among the A points
    std::vector<int> m_points;       // per stream: its number of points
    // Per stream, its segments as the stage reads them, joined where nothing changes (the plant's
    // normal form): a point's temperature (one more than the segments), and each joined
    // segment's rate and load (a utility's from the solve when it gave one).
    struct Profile {
        std::vector<double> temperature, cp, load;
    };
    std::vector<Profile> m_profiles;
    static Profile ProfileOf(const IHeatIntegrationStream& s, const std::vector<double>* solved);
    // per stream: the solve's loads of its segments when it is a utility given them, else null
    std::vector<const std::vector<double>*> m_solvedLoads;
    std::vector<std::string> m_names;
    std::unordered_map<std::string, StageApproach*> m_approachIndex;
};

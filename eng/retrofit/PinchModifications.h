#pragma once
// The modification models of an existing network: one new exchanger (`GenerateNewHXMatrx`), one
// existing exchanger moved elsewhere on its own streams (`GenerateResqHXMatrx`) and one existing
// exchanger re-connected to another place (`GenerateRepipHXMatrx`). Each lists the places on the
// streams where a unit could go (stream positions), puts one candidate exchanger on every allowed
// pair of a cold and a hot position into a private copy of the network, all in series, and lets one
// MILP (ModificationRows.h) choose. A model lives for one run of five steps.
#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModelSolving.h"
#include "eng/retrofit/ModificationRows.h"
#include "eng/retrofit/RetrofitRecords.h"
#include "eng/retrofit/SparseRow.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MILPReduction;

// A place on a stream where a unit could be inserted.
struct StreamPosition {
    int streamId = 0;
    std::uint32_t node = 0;
    std::uint32_t insertionNode = 0;  // moved on as candidates are inserted here
    std::uint32_t exchanger = 0;         // the process exchanger at the position, or before it
    std::uint32_t utilityExchanger = 0;  // the heater or cooler at the position
    double splitFraction = 0.0;
    double temperature = 0.0;  // K; 0.0 at a stream end
    unsigned char split = 0;   // second position of a unit at a tee or mixer node
};

class PinchMethod {
public:
    virtual ~PinchMethod() = default;
};

class PinchModifications : public PinchMethod {
public:
    static constexpr int kHistoryLength = 5;

    // The inputs stay owned by the caller and are never changed. `history` holds the model
    // columns that earlier steps chose (read when `historyCount` is above 0).
    PinchModifications(const RetrofitNetwork& inputs, double dtMin, int bottleneckCount,
                       const std::vector<std::uint32_t>& bottleneckIds, int historyCount, const int* history);
    ~PinchModifications() override = default;

    // Runs the five steps once; the heaters' new duties, or null when a step failed (and every
    // later call).
    virtual const std::vector<double>* Run();

    // The steps, public so that each can be examined.
    bool PrepareModel();
    bool BuildStreamPositions();
    bool AddCandidateExchangers();
    bool BuildModelRows();
    bool SolveModificationModel();

    virtual ModificationModelKind Kind() const = 0;
    // The reduction kept between the steps of a run for the model's solves (null: none).
    void SetModelReduction(MILPReduction* kept) { m_kept = kept; }
    // New-exchanger models with more integer columns than this are built of the candidates that
    // can reach a good answer only (CandidateScreen.h).
    void SetScreenAbove(int integerColumns) { m_screenAbove = integerColumns; }
    // The share of the best candidate's saving a candidate must reach to be built at first.
    void SetFirstScreenShare(double share) { m_firstScreenShare = share; }

    bool IsGood() const { return m_status != 0; }
    // In the model's storing order (new exchanger: hot outlet, cold inlet, hot inlet, cold outlet
    // locations; moves: hot outlet, hot inlet, cold inlet, cold outlet).
    std::uint32_t Result(int index) const { return m_results[static_cast<std::size_t>(index)]; }
    std::uint32_t OriginNode(int index) const { return m_originNodes[static_cast<std::size_t>(index)]; }
    std::uint32_t OriginExchanger() const { return m_originExchanger; }
    int HistoryEntry(int index) const { return m_history[static_cast<std::size_t>(index)]; }
    double SolveValue() const { return m_duty; }
    // How the model was searched (empty for a model solved to optimality).
    const std::string& SearchNote() const { return m_search; }
    const std::vector<double>* HeaterValues() const { return m_hasResult ? &m_result : nullptr; }

    int GetNumberOfColumns() const { return m_columns; }
    int GetNumberOfIntegerColumns() const { return m_integerColumns; }
    int GetNumberOfCandidates() const { return m_candidates; }
    int GetNumberOfBoundRows() const { return m_boundRows; }
    int GetSizeFigure() const { return m_sizeFigure; }
    int GetCandidatesCreated() const { return m_created; }
    std::uint32_t GetHighestNodeId() const { return m_highestNode; }
    std::uint32_t GetHighestExchangerId() const { return m_highestExchanger; }
    const SparseRowList& GetRows() const { return m_rows; }
    // Per candidate, the lowest objective a solution choosing it can reach (new-exchanger models).
    const std::vector<double>& GetCandidateLowest() const { return m_candidateLowest; }
    double GetCandidateCeiling() const { return m_candidateCeiling; }
    // Candidates of the whole superstructure, and, when the model is built of fewer, the whole
    // superstructure's number of each candidate built (empty: every candidate is built).
    int GetWholeCandidates() const { return static_cast<int>(m_candidatePairs.size()); }
    const std::vector<int>& GetBuiltCandidates() const { return m_builtCandidates; }
    // How many times the model's rows were built (a model built again with more candidates: twice).
    int GetModelsBuilt() const { return m_modelsBuilt; }
    const std::vector<StreamPosition>& GetColdPositions() const { return m_coldPositions; }
    const std::vector<StreamPosition>& GetHotPositions() const { return m_hotPositions; }
    const std::vector<int>& GetColdPositionCounts() const { return m_coldCounts; }
    const std::vector<int>& GetHotPositionCounts() const { return m_hotCounts; }
    const std::vector<HXInfo>& GetExchangers() const { return m_exchangers; }
    const std::vector<NodeInfo>& GetNodes() const { return m_nodes; }
    const std::vector<HotStrmInfo>& GetHotStreams() const { return m_hotStreams; }
    const std::vector<ColdStrmInfo>& GetColdStreams() const { return m_coldStreams; }
    const std::vector<HeaterInfo>& GetHeaters() const { return m_heaters; }
    const std::vector<CoolerInfo>& GetCoolers() const { return m_coolers; }
    const std::vector<TeeInfo>& GetTees() const { return m_tees; }
    const std::vector<MixerInfo>& GetMixers() const { return m_mixers; }

protected:
    bool IsMove() const { return Kind() != ModificationModelKind::NewExchanger; }
    struct PositionIndex;
    void AddColdPositions(const ColdStrmInfo& stream, const PositionIndex& index);
    void AddHotPositions(const HotStrmInfo& stream, const PositionIndex& index);
    void ConnectColdChain(const StreamPosition& cold, std::uint32_t r);
    struct InsertionIndex;
    InsertionIndex StartInsertion();
    void InsertCandidate(StreamPosition& cold, StreamPosition& hot, std::uint32_t& r, InsertionIndex& index);
    void NumberExchangerNodes();
    bool RebuildCandidates(const std::vector<unsigned char>& keep);
    RowBuilderContext RowContext() const;
    void AddNotedCandidates(std::vector<unsigned char>& keep) const;
    void NoteBuiltModel() const;
    int WholeColumnOf(int column) const;
    int BuiltColumnOf(int wholeColumn) const;

    const RetrofitNetwork& m_in;
    double m_dtMin;
    int m_bottleneckCount;
    std::vector<std::uint32_t> m_bottleneckIds;

    std::vector<HXInfo> m_exchangers;
    std::vector<NodeInfo> m_nodes;
    std::vector<HotStrmInfo> m_hotStreams;
    std::vector<ColdStrmInfo> m_coldStreams;
    std::vector<MixerInfo> m_mixers;
    std::vector<TeeInfo> m_tees;
    std::vector<CoolerInfo> m_coolers;
    std::vector<HeaterInfo> m_heaters;
    std::vector<double> m_result;
    bool m_hasResult = false;

    int m_columns = 0, m_integerColumns = 0, m_candidates = 0, m_boundRows = 0;
    std::uint32_t m_highestNode = 0, m_highestExchanger = 0;
    SparseRowList m_rows;
    std::vector<int> m_coldCounts, m_hotCounts;
    std::vector<StreamPosition> m_coldPositions, m_hotPositions;
    int m_created = 0;
    std::array<std::uint32_t, 4> m_results{};
    unsigned char m_status = 1;
    int m_historyCount = 0;
    std::array<int, kHistoryLength> m_history{};
    MILPReduction* m_kept = nullptr;
    double m_duty = 0.0;
    std::string m_search;
    int m_sizeFigure = -1;
    std::vector<double> m_candidateLowest;  // see ModelRecord
    double m_candidateCeiling = 0.0;
    // A large new-exchanger model built of some candidates only: the whole superstructure's
    // candidates as (cold, hot) position numbers, the ones built, and every candidate's lowest
    // objective in the whole model.
    int m_screenAbove = kScreenedModelIntegerColumns;
    double m_firstScreenShare = kFirstScreenShare;
    std::vector<std::pair<int, int>> m_candidatePairs;
    std::vector<int> m_builtCandidates;
    std::vector<double> m_wholeLowest;
    double m_wholeCeiling = 0.0;
    int m_wholeNodes = 0;
    int m_modelsBuilt = 0;
    std::uint32_t m_originExchanger = 0;
    std::array<std::uint32_t, 4> m_originNodes{};  // hot inlet, hot outlet, cold inlet, cold outlet
};

class GenerateNewHXMatrx : public PinchModifications {
public:
    using PinchModifications::PinchModifications;
    ModificationModelKind Kind() const override { return ModificationModelKind::NewExchanger; }
};

class GenerateRepipHXMatrx : public PinchModifications {
public:
    using PinchModifications::PinchModifications;
    ModificationModelKind Kind() const override { return ModificationModelKind::Repiping; }
};

class GenerateResqHXMatrx : public PinchModifications {
public:
    using PinchModifications::PinchModifications;
    ModificationModelKind Kind() const override { return ModificationModelKind::Resequencing; }
};

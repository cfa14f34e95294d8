#pragma once
// The solve step shared by the modification models: solves a model with the columns chosen by
// earlier modification steps held at zero, and reads back the chosen candidate exchanger, where it
// attaches to the existing network, the first existing exchanger the solution leaves out, the
// heater duties and the candidate's duty.
#include "eng/retrofit/ModelSolving.h"
#include "eng/retrofit/RetrofitRecords.h"
#include "eng/retrofit/SparseRow.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class MILPReduction;

struct ModelRecord {
    const SparseRowList* rows = nullptr;
    int width = 0;  // columns + 1; the last is the right-hand side
    int integerColumns = 0;
    int candidates = 0;  // their binaries are the last columns before the right-hand side
    int nodes = 0;
    int spare = 0;
    std::uint32_t highestExchangerId = 0;  // candidate u (from 0) has the id highest + u + 1
    const std::vector<HXInfo>* exchangers = nullptr;  // input exchangers, then the candidates
    const std::vector<ColdStrmInfo>* coldStreams = nullptr;
    const std::vector<HotStrmInfo>* hotStreams = nullptr;
    const std::vector<CoolerInfo>* coolers = nullptr;
    const std::vector<HeaterInfo>* heaters = nullptr;
    const std::vector<MixerInfo>* mixers = nullptr;
    const std::vector<TeeInfo>* tees = nullptr;
    std::vector<double> solution;
    std::vector<double> heaterDuties;
    // Node fingerprints: hot-outlet, hot-inlet, cold-inlet and cold-outlet locations.
    std::array<std::uint32_t, 4> locations{};
    int success = 1;
    int solved = 1;  // 0 when the last solve found no solution
    int chosenIndex = 0;  // 1-based: the first input exchanger left out
    int historyCount = 0;
    std::array<int, 5> history{};  // model columns chosen by earlier steps; this step's at the count
    double duty = 0.0;
    int sizeFigure = -1;
    MILPReduction* kept = nullptr;  // the run's kept reduction of the model (null: none)
    std::string search;  // how the last solve searched the model (DescribeModelSearch)
    // Per candidate, the lowest objective a solution choosing it can reach, and the same for one
    // that saves nothing (CandidateScreen.h; null: the candidates are not screened). Models with
    // more integer columns than `screenAbove` hold out the candidates that cannot reach the answer.
    const std::vector<double>* candidateLowest = nullptr;
    double candidateCeiling = 0.0;
    int screenAbove = kScreenedModelIntegerColumns;
    // Integer columns of the whole model when this one is built of some of its candidates only.
    int searchedAs = 0;
    // A move model (and the network before the candidates were inserted, which the move's present
    // place is read from): its answer is never the exchanger's present place while another move
    // reaches the same optimum.
    enum class Move { None, Repipe, Resequence };
    Move move = Move::None;
    const RetrofitNetwork* plant = nullptr;
    int chosenColumn = -1;  // the chosen candidate's binary (-1: none)
};

// Solves and reads back; a failed read leaves the success field 0 or a location 0.
void SolveModificationModelRecord(ModelRecord& record);

// Traces a candidate's node through the candidates in series with it to the place where it meets
// the existing network; `which` 0 hot outlet, 1 hot inlet, 2 cold inlet, 3 cold outlet. 0 when the
// trace does not arrive within 5 steps per exchanger.
std::uint32_t TraceLocation(const ModelRecord& record, std::uint32_t node, int which);

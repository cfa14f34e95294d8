#pragma once
// The mixed-integer model shared by the three modification models, built over a copy of the
// network that already holds the candidate exchangers (input exchangers first, candidates last).
//
// Columns (N nodes, E exchangers, K coolers, H heaters, Sc cold and Sh hot streams, M mixers):
// N node temperatures, E exchanger duties, K cooler duties, H heater duties, Sc + Sh + M stream
// and mixer slacks, 2E exchanger slacks (hot side, cold side), E exchanger binaries, then the
// right-hand-side column. The binaries are the integer columns; the size figure leads from an
// exchanger's binary back to its duty column.
#include "eng/retrofit/RetrofitRecords.h"
#include "eng/retrofit/SparseRow.h"

#include <cstdint>
#include <vector>

enum class ModificationModelKind { NewExchanger = 1, Repiping = 2, Resequencing = 3 };

// Tolerance of a slack, and of the duty of an exchanger left out.
inline constexpr double kModificationTolerance = 0.005;
// Share of its duty by which a plant exchanger that keeps running in the new-exchanger model may
// stray from the duty it has in the plant.
inline constexpr double kHeldDutyBand = 1e-4;

struct RowBuilderContext {
    const std::vector<HXInfo>* exchangers = nullptr;       // private, candidates last
    const std::vector<HXInfo>* inputExchangers = nullptr;
    const std::vector<NodeInfo>* nodes = nullptr;          // private
    const std::vector<ColdStrmInfo>* coldStreams = nullptr;
    const std::vector<HotStrmInfo>* hotStreams = nullptr;
    const std::vector<MixerInfo>* mixers = nullptr;
    const std::vector<TeeInfo>* tees = nullptr;
    const std::vector<CoolerInfo>* coolers = nullptr;
    const std::vector<HeaterInfo>* heaters = nullptr;
    const std::vector<CoolerInfo>* inputCoolers = nullptr;
    const std::vector<HeaterInfo>* inputHeaters = nullptr;
    const std::vector<HotUtilInfo>* hotUtilities = nullptr;
    const std::vector<ColdUtilInfo>* coldUtilities = nullptr;
    double dtMin = 0.0;
    ModificationModelKind kind = ModificationModelKind::NewExchanger;
    std::uint32_t highestExchangerId = 0;
    // Returned.
    int integerColumns = 0;
    int boundRows = 0;
    int columns = 0;  // including the right-hand-side column
    int candidates = 0;
    int sizeFigure = -1;
    int skippedExchangers = 0;  // exchangers held out because a coefficient had no divisor
    // New-exchanger models: per candidate, the lowest objective a solution choosing it can reach,
    // and the same for a candidate that saves nothing (CandidateScreen.h); empty otherwise.
    std::vector<double> candidateLowest;
    double candidateCeiling = 0.0;
};

// Appends the model's rows (objective last) to `rows`. False, with nothing appended, when there
// is no candidate or a stream or node list is missing.
bool BuildModificationRows(RowBuilderContext& context, SparseRowList& rows);

// New-exchanger models: per candidate, the lowest objective a solution choosing it can reach, and in
// `ceiling` the same for a candidate that saves nothing (CandidateScreen.h), from the superstructure
// alone (no rows built). Empty for other kinds or incomplete inputs.
std::vector<double> LowestObjectiveOfCandidates(const RowBuilderContext& context, double& ceiling);

// Widest interval [low, high] of the stream temperatures of the exchangers at a node (the last
// exchanger there decides), widened by the span when a tee sits on that stream; false when no
// exchanger touches the node. Never negative.
bool GetExchangerEndTemperatures(double& high, double& low, std::uint32_t node, const std::vector<HotStrmInfo>& hots,
                                 const std::vector<ColdStrmInfo>& colds, const std::vector<HXInfo>& exchangers,
                                 const std::vector<TeeInfo>& tees);

// The run of a modification model: copy the network, list positions, insert candidates, build
// the rows, solve and read back. The positions and candidates are in ModificationSuperstructure.cpp.
#include "eng/retrofit/PinchModifications.h"

#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModificationLists.h"
#include "eng/retrofit/ModificationSolve.h"
#include "traval/MILPReduction.h"

#include <cmath>

PinchModifications::PinchModifications(const RetrofitNetwork& inputs, double dtMin, int bottleneckCount,
                                       const std::vector<std::uint32_t>& bottleneckIds, int historyCount,
                                       const int* history)
    : m_in(inputs), m_dtMin(dtMin), m_bottleneckCount(bottleneckCount), m_bottleneckIds(bottleneckIds),
      m_historyCount(historyCount) {
    if (historyCount > 0 && history)
        for (int i = 0; i < kHistoryLength; ++i) m_history[static_cast<std::size_t>(i)] = history[i];
}

const std::vector<double>* PinchModifications::Run() {
    if (m_hasResult) return &m_result;
    if (m_status == 0) return nullptr;
    bool (PinchModifications::*const steps[])() = {
        &PinchModifications::PrepareModel, &PinchModifications::BuildStreamPositions,
        &PinchModifications::AddCandidateExchangers, &PinchModifications::BuildModelRows,
        &PinchModifications::SolveModificationModel};
    for (auto step : steps) {
        m_status = (this->*step)() ? 1 : 0;
        if (!m_status) return nullptr;
    }
    return &m_result;
}

bool PinchModifications::PrepareModel() {
    m_exchangers = m_in.exchangers;
    m_nodes = m_in.nodes;
    m_hotStreams = m_in.hotStreams;
    m_coldStreams = m_in.coldStreams;
    m_mixers = m_in.mixers;
    m_tees = m_in.tees;
    m_coolers = m_in.coolers;
    m_heaters = m_in.heaters;
    m_highestNode = GetMaximumId(m_in.nodes);
    m_highestExchanger = GetMaximumId(m_in.exchangers);
    return true;
}

RowBuilderContext PinchModifications::RowContext() const {
    RowBuilderContext ctx;
    ctx.exchangers = &m_exchangers;
    ctx.inputExchangers = &m_in.exchangers;
    ctx.nodes = &m_nodes;
    ctx.coldStreams = &m_coldStreams;
    ctx.hotStreams = &m_hotStreams;
    ctx.mixers = &m_mixers;
    ctx.tees = &m_tees;
    ctx.coolers = &m_coolers;
    ctx.heaters = &m_heaters;
    ctx.inputCoolers = &m_in.coolers;
    ctx.inputHeaters = &m_in.heaters;
    ctx.hotUtilities = &m_in.hotUtilities;
    ctx.coldUtilities = &m_in.coldUtilities;
    ctx.dtMin = m_dtMin;
    ctx.kind = Kind();
    ctx.highestExchangerId = Kind() == ModificationModelKind::NewExchanger ? m_highestExchanger : 0;
    return ctx;
}

bool PinchModifications::BuildModelRows() {
    RowBuilderContext ctx = RowContext();
    m_rows.clear();
    ++m_modelsBuilt;
    const bool built = BuildModificationRows(ctx, m_rows);
    m_columns = ctx.columns;
    m_boundRows = ctx.boundRows;
    m_integerColumns = ctx.integerColumns;
    m_candidates = ctx.candidates;
    m_sizeFigure = ctx.sizeFigure;
    m_candidateLowest = std::move(ctx.candidateLowest);
    m_candidateCeiling = ctx.candidateCeiling;
    return built;
}

// The columns of a model built of some candidates only, against those of the whole model (nodes,
// exchanger duties, the utility and balance block, two slacks per exchanger, binaries): the choice
// an earlier step made is kept as a column of its whole model, so that the steps of a run read the
// same history whichever candidates a step built.
int PinchModifications::WholeColumnOf(int column) const {
    if (m_builtCandidates.empty() || column < 0) return column;
    const int N0 = static_cast<int>(m_in.nodes.size()), E0 = static_cast<int>(m_in.exchangers.size());
    const int Nb = static_cast<int>(m_nodes.size()), Nw = m_wholeNodes;
    const int Eb = static_cast<int>(m_exchangers.size()), Ew = E0 + GetWholeCandidates();
    const int F = static_cast<int>(m_coolers.size() + m_heaters.size() + m_coldStreams.size() + m_hotStreams.size() +
                                   m_mixers.size());
    auto exchanger = [&](int k) { return k < E0 ? k : E0 + m_builtCandidates[static_cast<std::size_t>(k - E0)]; };
    if (column < Nb)
        return column < N0 ? column
                           : N0 + 2 * m_builtCandidates[static_cast<std::size_t>((column - N0) / 2)] + (column - N0) % 2;
    int c = column - Nb;
    if (c < Eb) return Nw + exchanger(c);
    c -= Eb;
    if (c < F) return Nw + Ew + c;
    c -= F;
    if (c < 2 * Eb) return Nw + Ew + F + 2 * exchanger(c / 2) + c % 2;
    c -= 2 * Eb;
    if (c < Eb) return Nw + Ew + F + 2 * Ew + exchanger(c);
    return -1;
}

// 0 for a column of a candidate that was not built (or no column of the model).
int PinchModifications::BuiltColumnOf(int wholeColumn) const {
    if (m_builtCandidates.empty() || wholeColumn <= 0) return wholeColumn;
    const int n = m_columns - 1;
    for (int column = 0; column < n; ++column)
        if (WholeColumnOf(column) == wholeColumn) return column;
    return 0;
}

// The note kept with the run's reduction: the whole superstructure's size (candidates and nodes)
// and either 1 (every candidate built) or 0 and the candidates built. A step whose first screen did
// not prove its answer built the model again with more candidates; the next steps build that model
// at once, so that they go on from its reduction as the steps of a model built whole do, instead of
// solving the first screen's model first, whose reduction would replace it in every step.
void PinchModifications::NoteBuiltModel() const {
    if (!m_kept || m_wholeLowest.empty()) return;
    std::vector<int>& note = m_kept->callerNote;
    note = {GetWholeCandidates(), m_wholeNodes, m_builtCandidates.empty() ? 1 : 0};
    note.insert(note.end(), m_builtCandidates.begin(), m_builtCandidates.end());
}

void PinchModifications::AddNotedCandidates(std::vector<unsigned char>& keep) const {
    if (!m_kept) return;
    const std::vector<int>& note = m_kept->callerNote;
    if (note.size() < 3 || note[0] != static_cast<int>(keep.size()) || note[1] != m_wholeNodes) return;
    if (note[2] == 1) {
        keep.assign(keep.size(), 1);
        return;
    }
    for (std::size_t i = 3; i < note.size(); ++i)
        if (note[i] >= 0 && note[i] < note[0]) keep[static_cast<std::size_t>(note[i])] = 1;
}

bool PinchModifications::SolveModificationModel() {
    const int candidates = m_builtCandidates.empty() ? m_candidates : GetWholeCandidates();
    if (Kind() == ModificationModelKind::NewExchanger && m_historyCount >= candidates) return false;
    auto record = [&]() {
        ModelRecord r;
        r.rows = &m_rows;
        r.width = m_columns;
        r.integerColumns = m_integerColumns;
        r.candidates = m_candidates;
        r.nodes = static_cast<int>(m_nodes.size());
        r.spare = m_boundRows;
        r.highestExchangerId = m_highestExchanger;
        r.exchangers = &m_exchangers;
        r.coldStreams = &m_coldStreams;
        r.hotStreams = &m_hotStreams;
        r.coolers = &m_coolers;
        r.heaters = &m_heaters;
        r.mixers = &m_mixers;
        r.tees = &m_tees;
        r.sizeFigure = m_sizeFigure;
        r.kept = m_kept;
        r.screenAbove = m_screenAbove;
        r.move = Kind() == ModificationModelKind::Repiping      ? ModelRecord::Move::Repipe
                 : Kind() == ModificationModelKind::Resequencing ? ModelRecord::Move::Resequence
                                                                 : ModelRecord::Move::None;
        r.plant = &m_in;
        if (!m_builtCandidates.empty())
            r.searchedAs = static_cast<int>(m_in.exchangers.size()) + GetWholeCandidates();
        if (!m_candidateLowest.empty() && m_builtCandidates.empty()) {
            r.candidateLowest = &m_candidateLowest;
            r.candidateCeiling = m_candidateCeiling;
        }
        if (m_historyCount > 0) r.historyCount = m_historyCount;
        r.history = m_history;
        for (int i = 0; i < m_historyCount && i < kHistoryLength; ++i)
            r.history[static_cast<std::size_t>(i)] = BuiltColumnOf(m_history[static_cast<std::size_t>(i)]);
        return r;
    };
    ModelRecord r = record();
    if (!m_builtCandidates.empty()) {
        // The answer of the candidates built stands when no candidate left out can go below it by
        // more than the gap the search of the whole model is held to (a model solved to optimality:
        // none can reach it), so that it is as good as the whole model's search would have to be.
        // Otherwise the model is built again with the candidates that could, and whole should that
        // fail.
        SolveModificationModelRecord(r);
        const double objective = ObjectiveAt(m_rows, m_columns, r.solution);
        const double level = objective - RetrofitOptimalityGap(r.searchedAs) * std::fabs(objective);
        std::vector<unsigned char> keep(m_wholeLowest.size(), 1);
        if (r.solved) {
            keep.assign(keep.size(), 0);
            for (int u : m_builtCandidates) keep[static_cast<std::size_t>(u)] = 1;
            bool proved = true;
            for (std::size_t u = 0; u < keep.size(); ++u)
                if (!keep[u] && !CannotReachObjective(m_wholeLowest[u], level)) {
                    proved = false;
                    keep[u] = 1;
                }
            if (proved) keep.clear();
        }
        if (!keep.empty()) {
            if (!RebuildCandidates(keep) || !BuildModelRows()) return false;
            r = record();
            if (!m_builtCandidates.empty()) {
                SolveModificationModelRecord(r);
                if (!r.solved) {
                    if (!RebuildCandidates(std::vector<unsigned char>(m_wholeLowest.size(), 1)) || !BuildModelRows())
                        return false;
                    r = record();
                }
            }
        }
    }

    // A result still 0 asks for another solve; the model is solved once when all arrive.
    auto read = [&](int i) {
        if (r.locations[static_cast<std::size_t>(i)] == 0) SolveModificationModelRecord(r);
        return r.locations[static_cast<std::size_t>(i)];
    };
    const std::uint32_t first = read(0), third = read(2), second = read(1), fourth = read(3);
    if (IsMove())
        m_results = {first, second, third, fourth};
    else
        m_results = {first, third, second, fourth};

    bool ok = true;
    if (IsMove()) {
        if (r.chosenIndex == 0) SolveModificationModelRecord(r);
        const int index = r.chosenIndex;
        if (index >= 1 && index <= static_cast<int>(m_in.exchangers.size())) {
            const HXInfo& x = m_in.exchangers[static_cast<std::size_t>(index - 1)];
            m_originNodes = {x.hotInlet, x.hotOutlet, x.coldInlet, x.coldOutlet};
            m_originExchanger = x.fingerprint;
        } else {
            ok = false;
        }
    }
    if (m_historyCount >= 0 && m_historyCount < kHistoryLength) {
        const int chosen = r.history[static_cast<std::size_t>(m_historyCount)];
        m_history[static_cast<std::size_t>(m_historyCount)] = chosen > 0 ? WholeColumnOf(chosen) : chosen;
    }
    m_duty = r.duty;
    m_search = r.search;

    if (r.heaterDuties.empty() && !m_heaters.empty()) SolveModificationModelRecord(r);
    if (r.heaterDuties.size() != m_heaters.size()) return false;
    m_result = r.heaterDuties;
    m_hasResult = true;

    ok = ok && first && second && third && fourth && r.success;
    if (IsMove()) ok = ok && m_originNodes[0] && m_originNodes[1] && m_originNodes[2] && m_originNodes[3];
    NoteBuiltModel();
    // A run that fails here keeps its heater duties: the analysis still reads them.
    return ok;
}

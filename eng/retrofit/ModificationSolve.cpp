#include "eng/retrofit/ModificationSolve.h"

#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModelSolving.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

// Whether a node is a place of the existing network for the given side, and the next node
// along the candidates otherwise. Built once per trace.
struct TraceIndex {
    std::unordered_set<std::uint32_t> stops;
    std::unordered_map<std::uint32_t, std::uint32_t> next;  // last exchanger counts
};

TraceIndex BuildIndex(const ModelRecord& r, int which) {
    TraceIndex ix;
    auto add = [&](std::uint32_t node) { ix.stops.insert(node); };
    const bool hot = which <= 1;
    const bool upstream = which == 0 || which == 2;  // outlet of a hot side / inlet of a cold side
    if (hot && r.hotStreams)
        for (const auto& s : *r.hotStreams) add(upstream ? s.startNode : s.endNode);
    if (!hot && r.coldStreams)
        for (const auto& s : *r.coldStreams) add(upstream ? s.startNode : s.endNode);
    if (hot && r.coolers)
        for (const auto& c : *r.coolers) add(upstream ? c.processOutlet : c.processInlet);
    if (!hot && r.heaters)
        for (const auto& h : *r.heaters) add(upstream ? h.processOutlet : h.processInlet);
    if (r.tees)
        for (const auto& t : *r.tees) {
            if (upstream)
                for (std::uint32_t o : t.outlets) add(o);
            else
                add(t.inlet);
        }
    if (r.mixers)
        for (const auto& m : *r.mixers) {
            if (upstream)
                add(m.outlet);
            else
                for (std::uint32_t i : m.inlets) add(i);
        }
    if (r.exchangers)
        for (const HXInfo& x : *r.exchangers) {
            if (x.fingerprint <= r.highestExchangerId) {
                if (which == 0) add(x.hotOutlet);
                if (which == 1) add(x.hotInlet);
                if (which == 2) add(x.coldOutlet);
                if (which == 3) add(x.coldInlet);
            }
            if (which == 0) ix.next[x.hotOutlet] = x.hotInlet;
            if (which == 1) ix.next[x.hotInlet] = x.hotOutlet;
            if (which == 2) ix.next[x.coldOutlet] = x.coldInlet;
            if (which == 3) ix.next[x.coldInlet] = x.coldOutlet;
        }
    return ix;
}

}  // namespace

std::uint32_t TraceLocation(const ModelRecord& r, std::uint32_t node, int which) {
    const TraceIndex ix = BuildIndex(r, which);
    const std::size_t limit = 5 * (r.exchangers ? r.exchangers->size() : 0);
    for (std::size_t step = 0; step < limit; ++step) {
        if (ix.stops.count(node)) return node;
        const auto f = ix.next.find(node);
        if (f == ix.next.end()) return 0;
        node = f->second;
    }
    return 0;
}

namespace {

// Reads the chosen candidate, the first input exchanger left out, the heater duties and the
// candidate's locations and duty from the record's solution.
void ReadSolution(ModelRecord& r) {
    const int n = r.width - 1;
    if (n < 1 || static_cast<int>(r.solution.size()) < n) {
        r.success = 0;
        return;
    }
    const auto value = [&](int column) {
        return column >= 0 && column < n ? r.solution[static_cast<std::size_t>(column)] : 0.0;
    };

    const int E = r.exchangers ? static_cast<int>(r.exchangers->size()) : 0;
    const int E0 = E - r.candidates;
    const int y0 = n - E;
    r.chosenIndex = 1;
    for (int k = 0; k < E0; ++k) {
        if (std::fabs(value(y0 + k)) < 0.01) break;
        ++r.chosenIndex;
    }

    const int coolers = r.coolers ? static_cast<int>(r.coolers->size()) : 0;
    const int heaters = r.heaters ? static_cast<int>(r.heaters->size()) : 0;
    r.heaterDuties.assign(static_cast<std::size_t>(heaters), 0.0);
    for (int i = 0; i < heaters; ++i) r.heaterDuties[static_cast<std::size_t>(i)] = value(r.nodes + coolers + E + i);

    int chosen = -1, u = -1;
    for (int j = 0; j < r.candidates; ++j) {
        const int column = n - r.candidates + j;
        if (std::fabs(value(column) - 1.0) <= 0.01) {
            chosen = column;
            u = j;
        }
    }
    r.chosenColumn = chosen;
    if (r.historyCount >= 0 && r.historyCount < static_cast<int>(r.history.size()))
        r.history[static_cast<std::size_t>(r.historyCount)] = chosen;
    if (chosen < 0) {
        r.success = 0;
        return;
    }

    const HXInfo* candidate = nullptr;
    const std::uint32_t id = r.highestExchangerId + static_cast<std::uint32_t>(u) + 1;
    for (const HXInfo& x : *r.exchangers)
        if (x.fingerprint == id) candidate = &x;
    if (!candidate) {
        r.success = 0;
        return;
    }
    r.locations[0] = TraceLocation(r, candidate->hotOutlet, 0);
    r.locations[1] = TraceLocation(r, candidate->hotInlet, 1);
    r.locations[2] = TraceLocation(r, candidate->coldInlet, 2);
    r.locations[3] = TraceLocation(r, candidate->coldOutlet, 3);
    if (r.locations[0] && r.locations[1] && r.locations[2] && r.locations[3])
        r.duty = r.sizeFigure >= 1 ? value(chosen - r.sizeFigure) : 0.0;
    else
        r.success = 0;
}

// The place on a stream of the plant where the driver puts a side of the move: the first of the
// traced locations that is a piece of a process stream of that side (the trace may end at a node a
// candidate made, which the plant does not have).
std::uint32_t PlaceOnSide(const ModelRecord& r, bool hot) {
    const RetrofitNetwork& plant = *r.plant;
    auto onSide = [&](std::uint32_t node) {
        if (!node) return false;
        if (hot) {
            for (const auto& s : plant.hotStreams)
                if (s.startNode == node || s.endNode == node) return true;
            for (const HXInfo& x : plant.exchangers)
                if (x.hotInlet == node || x.hotOutlet == node) return true;
            for (const auto& c : plant.coolers)
                if (c.processInlet == node || c.processOutlet == node) return true;
        } else {
            for (const auto& s : plant.coldStreams)
                if (s.startNode == node || s.endNode == node) return true;
            for (const HXInfo& x : plant.exchangers)
                if (x.coldInlet == node || x.coldOutlet == node) return true;
            for (const auto& h : plant.heaters)
                if (h.processInlet == node || h.processOutlet == node) return true;
        }
        return false;
    };
    for (std::uint32_t node : {hot ? r.locations[0] : r.locations[3], r.locations[1], r.locations[2]})
        if (onSide(node)) return node;
    return 0;
}

// Whether the move read from the solution leaves the exchanger it takes out where it sits: a
// resequencing that puts both its sides back at their own places, or a repiping onto its own
// inlet on either stream, or onto its own outlets on both.
bool MovesToItsPresentPlace(const ModelRecord& r) {
    if (r.move == ModelRecord::Move::None || !r.plant || !r.success) return false;
    const int index = r.chosenIndex;
    if (index < 1 || index > static_cast<int>(r.plant->exchangers.size())) return false;
    const HXInfo& x = r.plant->exchangers[static_cast<std::size_t>(index - 1)];
    const std::uint32_t hot = PlaceOnSide(r, true), cold = PlaceOnSide(r, false);
    if (r.move == ModelRecord::Move::Resequence)
        return (hot == x.hotInlet || hot == x.hotOutlet) && (cold == x.coldInlet || cold == x.coldOutlet);
    return hot == x.hotInlet || cold == x.coldInlet || (hot == x.hotOutlet && cold == x.coldOutlet);
}

// Several solutions of a move model can reach its optimum, and the solver keeps the first it
// meets, which follows the order of the model's columns. A move back to the exchanger's own place
// is no step at all; while another move reaches the same objective (within the rounding of the
// model's optimality gap), that move is the answer: each such pair of the candidate and the
// exchanger it takes out is shut out in turn, the objective held at the optimum found. A model
// whose only optimum is the present place keeps it. Only for models solved to optimality: a large
// model's answer is the best its search found, not one of a set of equal optima.
void AvoidThePresentPlace(ModelRecord& r, SolverModel& model) {
    constexpr int kMostTriedMoves = 20;
    if (!MovesToItsPresentPlace(r) || !r.rows || r.rows->empty() ||
        std::max(model.integerColumns, r.searchedAs) > kExactModelIntegerColumns)
        return;
    const int n = r.width - 1;
    const double objective = ObjectiveAt(*r.rows, r.width, r.solution);
    SparseRowList rows(r.rows->begin(), r.rows->end() - 1);
    SparseRow atOptimum = r.rows->back();
    atOptimum.Add(n, objective + 1e-6 * std::max(1.0, std::fabs(objective)));
    atOptimum.SetType('l');
    rows.push_back(atOptimum);
    const int E = r.exchangers ? static_cast<int>(r.exchangers->size()) : 0;
    const int y0 = n - E;
    for (int tried = 0; tried < kMostTriedMoves && MovesToItsPresentPlace(r); ++tried) {
        SparseRow shutOut;  // not this candidate while that exchanger is out
        shutOut.Add(r.chosenColumn, 1.0);
        shutOut.Add(y0 + r.chosenIndex - 1, -1.0);
        shutOut.Add(n, 0.0);
        shutOut.SetType('l');
        rows.push_back(shutOut);
        SparseRowList trial(rows);
        trial.push_back(r.rows->back());
        SolverModel again = model;
        again.rows = &trial;
        const std::vector<double> solution = SolveModel(again);
        if (!again.solved) return;
        ModelRecord next = r;
        next.solution = solution;
        ReadSolution(next);
        if (!next.success) return;
        r = next;
        model.stoppedAtTimeLimit = again.stoppedAtTimeLimit;
    }
}

}  // namespace

void SolveModificationModelRecord(ModelRecord& r) {
    const int n = r.width - 1;
    SolverModel model;
    model.width = r.width;
    model.integerColumns = r.integerColumns;
    model.rows = r.rows;
    model.solved = 1;
    model.kept = r.kept;
    model.searchedAs = r.searchedAs;
    if (r.historyCount > 0) {
        model.exclusionFlag = r.historyCount;
        model.excludedColumns = r.history;
    }
    if (r.solution.empty()) r.solution.assign(static_cast<std::size_t>(n > 0 ? n : 0), 0.0);
    const bool screened = r.candidateLowest && static_cast<int>(r.candidateLowest->size()) == r.candidates &&
                          r.integerColumns > r.screenAbove && n >= r.candidates;
    r.solution = screened ? SolveScreened(model, *r.candidateLowest, r.candidateCeiling, n - r.candidates)
                          : SolveModel(model);
    r.solved = model.solved;
    ReadSolution(r);
    if (r.solved && !screened) AvoidThePresentPlace(r, model);
    r.search = DescribeModelSearch(std::max(model.integerColumns, r.searchedAs), model.stoppedAtTimeLimit != 0);
}

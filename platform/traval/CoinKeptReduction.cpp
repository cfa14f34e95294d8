#include "traval/CoinSearch.h"

#include "CglPreProcess.hpp"
#include "OsiClpSolverInterface.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

// The reduction of the first solve of a stepwise search: the model it was made of (the key a later
// model is matched against), the reduced model as preprocessing left it, where its columns came
// from, its root relaxation's basis and the answer of that solve.
struct MILPReduction::State {
    traval::CoinModelData model;
    std::unique_ptr<OsiSolverInterface> reduced;
    std::vector<int> reducedColumnOf;  // model column -> reduced column, -1: preprocessing fixed it
    std::unique_ptr<CoinWarmStart> rootBasis;
    std::vector<double> answer;
    // The model's LP that carries a reduced solution back, as the last carrying back left it: a
    // later step changes only the bounds of its integer columns, and the dual simplex goes on from
    // the last optimal basis, which those changes leave dual feasible.
    std::unique_ptr<OsiClpSolverInterface> carrier;
};

MILPReduction::MILPReduction() = default;
MILPReduction::~MILPReduction() = default;
void MILPReduction::Clear() {
    state_.reset();
    callerNote.clear();
}

namespace traval {
namespace {

// The integer columns `model` holds at zero that the kept model left free, or false when `model`
// is another model: other sizes, coefficients, objective or row bounds, or column bounds that
// differ otherwise.
bool MatchKept(const MILPReduction::State& kept, const CoinModelData& model, std::vector<int>& fixed) {
    const CoinModelData& k = kept.model;
    if (model.columns != k.columns || model.rows != k.rows || model.direction != k.direction ||
        model.integerColumns != k.integerColumns || model.columnStarts != k.columnStarts ||
        model.rowIndices != k.rowIndices || model.elements != k.elements || model.objective != k.objective ||
        model.rowLower != k.rowLower || model.rowUpper != k.rowUpper || model.columnLower != k.columnLower ||
        model.columnUpper.size() != k.columnUpper.size())
        return false;
    std::vector<char> integer(static_cast<std::size_t>(model.columns), 0);
    for (int j : model.integerColumns) integer[static_cast<std::size_t>(j)] = 1;
    fixed.clear();
    for (std::size_t j = 0; j < model.columnUpper.size(); ++j) {
        if (model.columnUpper[j] == k.columnUpper[j]) continue;
        if (!integer[j] || model.columnUpper[j] != 0.0 || model.columnLower[j] != 0.0) return false;
        fixed.push_back(static_cast<int>(j));
    }
    return true;
}

// The answer in the model's columns of a solution of the kept reduced model: its integer columns
// fixed at the solution's values (those preprocessing fixed at the values the first solve's answer
// gave them) and the continuous columns solved for. False when that is not a proven optimum or an
// integer value leaves the model's bounds.
// The first time the model is loaded and its LP presolved and solved from the slack basis (about
// 2 s at 80 streams); later the kept LP is solved again from where the last one ended.
bool CarryBack(MILPReduction::State& kept, const CoinModelData& model, const std::vector<double>& reducedBest,
               CoinMessageHandler& handler, std::vector<double>& solution) {
    const bool fresh = !kept.carrier;
    if (fresh) {
        kept.carrier = std::make_unique<OsiClpSolverInterface>();
        Load(*kept.carrier, model, handler);
    }
    OsiClpSolverInterface& original = *kept.carrier;
    // The handler of the solve that loaded it is gone by a later step.
    original.passInMessageHandler(&handler);
    original.getModelPtr()->passInMessageHandler(&handler);
    for (int j : model.integerColumns) {
        const int r = kept.reducedColumnOf[static_cast<std::size_t>(j)];
        const double v = std::floor((r >= 0 ? reducedBest[static_cast<std::size_t>(r)]
                                             : kept.answer[static_cast<std::size_t>(j)]) + 0.5);
        if (v < model.columnLower[static_cast<std::size_t>(j)] || v > model.columnUpper[static_cast<std::size_t>(j)])
            return false;
        original.setColLower(j, v);
        original.setColUpper(j, v);
    }
    if (fresh) {
        original.setHintParam(OsiDoPresolveInInitial, true, OsiHintDo);
        original.initialSolve();
    } else {
        original.resolve();
    }
    if (!original.isProvenOptimal()) {
        kept.carrier.reset();  // a later carrying back starts afresh
        return false;
    }
    const double* x = original.getColSolution();
    solution.assign(x, x + model.columns);
    return true;
}

// The values of the integer columns the reduction removed, when the model fixes each of them
// itself: by its bounds, or by rows that name the column alone (the retrofit models write bounds
// as rows). False when one is left free by them (the reduction fixed it by other means).
bool FixedByTheModel(const CoinModelData& model, const std::vector<int>& reducedColumnOf, std::vector<double>& fixed) {
    std::vector<int> entries(static_cast<std::size_t>(model.rows), 0);
    for (int r : model.rowIndices) ++entries[static_cast<std::size_t>(r)];
    fixed.assign(static_cast<std::size_t>(model.columns), 0.0);
    for (int j : model.integerColumns) {
        const std::size_t c = static_cast<std::size_t>(j);
        if (reducedColumnOf[c] >= 0) continue;
        double lower = model.columnLower[c];
        double upper = model.columnUpper[c];
        for (int k = model.columnStarts[c]; k < model.columnStarts[c + 1]; ++k) {
            const std::size_t r = static_cast<std::size_t>(model.rowIndices[static_cast<std::size_t>(k)]);
            const double a = model.elements[static_cast<std::size_t>(k)];
            if (entries[r] != 1 || a == 0.0) continue;
            const double low = (a > 0 ? model.rowLower[r] : model.rowUpper[r]) / a;
            const double high = (a > 0 ? model.rowUpper[r] : model.rowLower[r]) / a;
            if (std::isfinite(low)) lower = std::max(lower, low);
            if (std::isfinite(high)) upper = std::min(upper, high);
        }
        const double value = std::ceil(lower - 1e-9);
        if (value != std::floor(upper + 1e-9)) return false;
        fixed[c] = value;
    }
    return true;
}

// A later solve of the kept model: its reduction with the newly excluded columns held at zero,
// started from the first solve's root basis, searched and improved, and carried back.
bool SearchKept(MILPReduction::State& kept, const CoinModelData& model, const std::vector<int>& fixed,
                CoinMessageHandler& handler, std::vector<double>& solution) {
    std::unique_ptr<OsiSolverInterface> step(kept.reduced->clone());
    step->passInMessageHandler(&handler);
    for (int j : fixed) {
        const int r = kept.reducedColumnOf[static_cast<std::size_t>(j)];
        if (r >= 0) {
            step->setColUpper(r, 0.0);
            step->setColLower(r, 0.0);
        } else if (kept.answer[static_cast<std::size_t>(j)] > 0.5) {
            return false;  // preprocessing fixed the column at one: the reduction no longer holds
        }
    }
    if (kept.rootBasis) step->setWarmStart(kept.rootBasis.get());
    step->resolve();
    if (!step->isProvenOptimal()) return false;
    {
        const double* x = step->getColSolution();
        const std::vector<double> root(x, x + step->getNumCols());
        const double bound = step->getObjValue();
        std::unique_ptr<CoinWarmStart> basis(step->getWarmStart());
        std::vector<double> best;
        if (SearchNeighbourhood(*step, root, root, basis.get(), bound + kNearBound * (1.0 + std::fabs(bound)),
                                model.relativeGap, &handler, best))
            return CarryBack(kept, model, best, handler, solution);
    }
    ReducedSearch reduced;
    reduced.improve = true;
    std::vector<double> unused;
    if (!Search(*step, model, handler, nullptr, unused, &reduced)) return false;
    return CarryBack(kept, model, reduced.best, handler, solution);
}

}  // namespace

bool SolveFromKept(const CoinModelData& model, CoinMessageHandler& handler, std::vector<double>& solution) {
    if (!model.kept || !model.kept->state_) return false;
    std::vector<int> fixed;
    return MatchKept(*model.kept->state_, model, fixed) && SearchKept(*model.kept->state_, model, fixed, handler, solution);
}

bool SearchAndKeep(OsiSolverInterface& reduced, CglPreProcess& process, const CoinModelData& model,
                   CoinMessageHandler& handler, std::vector<double>& solution) {
    // The reduction is kept for the later solves of the same model, as preprocessing left it (the
    // search adds cuts to its own copy).
    auto kept = std::make_unique<MILPReduction::State>();
    kept->model = model;
    kept->model.kept = nullptr;
    kept->model.finalBasis = nullptr;
    kept->model.stoppedAtTimeLimit = nullptr;
    kept->reduced.reset(reduced.clone());
    kept->reducedColumnOf.assign(static_cast<std::size_t>(model.columns), -1);
    const int* from = process.originalColumns();
    for (int r = 0; r < reduced.getNumCols(); ++r)
        if (from[r] >= 0 && from[r] < model.columns) kept->reducedColumnOf[static_cast<std::size_t>(from[r])] = r;
    ReducedSearch search;
    search.improve = true;
    // A solution the search finds near the root is carried back as a later step's is, when every
    // integer column the reduction removed is one the model fixes itself (its value is then known
    // without undoing the reduction).
    search.carry = [&kept, &model, &handler](const std::vector<double>& near, std::vector<double>& answer) {
        std::vector<double> fixed;
        if (!FixedByTheModel(model, kept->reducedColumnOf, fixed)) return false;
        kept->answer = std::move(fixed);
        return CarryBack(*kept, model, near, handler, answer);
    };
    if (!Search(reduced, model, handler, &process, solution, &search)) return false;
    kept->rootBasis = std::move(search.rootBasis);
    kept->answer = solution;
    if (search.improved) {
        std::vector<double> better;
        if (CarryBack(*kept, model, search.best, handler, better)) solution = std::move(better);
    }
    model.kept->state_ = std::move(kept);
    return true;
}

}  // namespace traval

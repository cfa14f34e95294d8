#include "traval/CoinRun.h"

#include "traval/CoinSearch.h"

#include "CbcHeuristic.hpp"
#include "CbcHeuristicFPump.hpp"
#include "CbcModel.hpp"
#include "CglClique.hpp"
#include "CglFlowCover.hpp"
#include "CglGomory.hpp"
#include "CglKnapsackCover.hpp"
#include "CglMixedIntegerRounding2.hpp"
#include "CglPreProcess.hpp"
#include "CglProbing.hpp"
#include "ClpDualRowSteepest.hpp"
#include "ClpSimplex.hpp"
#include "CoinFinite.hpp"
#include "CoinMessageHandler.hpp"
#include "OsiClpSolverInterface.hpp"

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace traval {
namespace {

// The engines report through message handlers that write to the console; the solver library
// must stay silent, so every handler they are given swallows what it is asked to print.
class SilentHandler : public CoinMessageHandler {
public:
    SilentHandler() { setLogLevel(0); }
    int print() override { return 0; }
    CoinMessageHandler* clone() const override { return new SilentHandler(*this); }
};

// Some of the engines' reports bypass the handlers and are printed straight to the console (the
// simplex's "slacks added" when it repairs a singular basis, among others). While an engine runs,
// the process's standard output is pointed at the null device, so that a program printing its
// results there (a JSON document, say) carries nothing else; it is restored, with anything the
// program had buffered before the run written first, when the run ends.
class ConsoleSilenced {
public:
    ConsoleSilenced() {
        std::cout.flush();
        std::fflush(stdout);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0) return;
        m_saved = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (m_saved >= 0 && ::dup2(null, STDOUT_FILENO) < 0) {
            ::close(m_saved);
            m_saved = -1;
        }
        ::close(null);
    }
    ~ConsoleSilenced() {
        if (m_saved < 0) return;
        std::cout.flush();
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }
    ConsoleSilenced(const ConsoleSilenced&) = delete;
    ConsoleSilenced& operator=(const ConsoleSilenced&) = delete;

private:
    int m_saved = -1;
};

std::vector<double> CoinBounds(const std::vector<double>& bounds) {
    std::vector<double> out(bounds);
    for (double& b : out) {
        if (std::isinf(b)) b = b > 0 ? COIN_DBL_MAX : -COIN_DBL_MAX;
    }
    return out;
}

struct CoinArrays {
    explicit CoinArrays(const CoinModelData& m)
        : columnLower(CoinBounds(m.columnLower)),
          columnUpper(CoinBounds(m.columnUpper)),
          rowLower(CoinBounds(m.rowLower)),
          rowUpper(CoinBounds(m.rowUpper)),
          starts(m.columnStarts.begin(), m.columnStarts.end()) {}
    std::vector<double> columnLower, columnUpper, rowLower, rowUpper;
    std::vector<CoinBigIndex> starts;
};

// Pointer into a vector that may be empty (a model without rows or matrix entries); COIN
// accepts null only for some arrays, so an empty one is given a valid address.
template <typename T>
const T* Data(const std::vector<T>& v) {
    static const T none{};
    return v.empty() ? &none : v.data();
}

// The first search of a reduced model that is kept for later steps starts where they do: in the
// neighbourhood where the root relaxation is already integral, for a solution within the model's
// gap of the root's bound (the bound of every solution, so such a solution is within the gap of the
// optimum). On the large retrofit models that is all the binaries but a few dozen, and the search
// takes a second or two where the pump and its small tree took several. The solution is carried
// back by the caller's `carry` where it can be, else through the reduction from the reduced model's
// LP with its integers fixed, started from the root basis (which solves the LP of every model the
// reduction made once more: 20 s of the first step at 80 streams). Not found (and nothing changed) when the neighbourhood holds no such solution; failed
// when the solution could not be carried back, the reduction being spent by then.
enum class NearRoot { NotFound, Solved, Failed };

NearRoot SearchNearRoot(const OsiSolverInterface& start, const CoinModelData& model, CoinMessageHandler& handler,
                        CglPreProcess& process, const std::vector<double>& root, double bound,
                        std::vector<double>& solution, ReducedSearch& reduced) {
    if (model.relativeGap <= 0.0) return NearRoot::NotFound;
    const double cutoff = bound + model.relativeGap * std::fabs(bound);
    std::vector<double> near;
    if (!SearchNeighbourhood(start, root, root, reduced.rootBasis.get(), cutoff, model.relativeGap, &handler, near))
        return NearRoot::NotFound;
    if (reduced.carry && reduced.carry(near, solution)) {
        reduced.best = std::move(near);
        return NearRoot::Solved;
    }
    std::unique_ptr<OsiSolverInterface> fixed(start.clone());
    fixed->passInMessageHandler(&handler);
    for (int j = 0; j < fixed->getNumCols(); ++j) {
        if (!fixed->isInteger(j)) continue;
        const double v = std::floor(near[static_cast<std::size_t>(j)] + 0.5);
        fixed->setColLower(j, v);
        fixed->setColUpper(j, v);
    }
    if (reduced.rootBasis) fixed->setWarmStart(reduced.rootBasis.get());
    fixed->resolve();
    if (!fixed->isProvenOptimal()) return NearRoot::NotFound;
    process.postProcess(*fixed);
    const OsiSolverInterface* original = process.originalModel();
    if (!original || !original->isProvenOptimal() || original->getNumCols() != model.columns) return NearRoot::Failed;
    const double* x = original->getColSolution();
    solution.assign(x, x + model.columns);
    reduced.best = std::move(near);
    return NearRoot::Solved;
}

}  // namespace

bool RunLinear(const CoinModelData& model, std::vector<double>& solution, std::vector<double>* rowPrices) {
    const ConsoleSilenced console;
    SilentHandler handler;
    ClpSimplex simplex;
    simplex.passInMessageHandler(&handler);
    simplex.setLogLevel(0);

    const CoinArrays a(model);
    simplex.loadProblem(model.columns, model.rows, a.starts.data(), Data(model.rowIndices),
                        Data(model.elements), Data(a.columnLower), Data(a.columnUpper),
                        Data(model.objective), Data(a.rowLower), Data(a.rowUpper));
    simplex.setOptimizationDirection(model.direction);
    if (model.seconds > 0.0) simplex.setMaximumSeconds(model.seconds);

    const std::size_t given = static_cast<std::size_t>(model.startColumns) + static_cast<std::size_t>(model.rows);
    if (model.startColumns > 0 && model.startColumns <= model.columns && model.startBasis.size() == given) {
        // The last optimum stays primal feasible when columns are added at lower bound: the
        // primal simplex goes on from it.
        for (int j = 0; j < model.columns; ++j)
            simplex.setColumnStatus(j, j < model.startColumns
                                           ? static_cast<ClpSimplex::Status>(model.startBasis[static_cast<std::size_t>(j)])
                                           : ClpSimplex::atLowerBound);
        for (int i = 0; i < model.rows; ++i)
            simplex.setRowStatus(
                i, static_cast<ClpSimplex::Status>(model.startBasis[static_cast<std::size_t>(model.startColumns + i)]));
        simplex.primal(1);
        if (!simplex.isProvenOptimal()) simplex.initialSolve();
    } else {
        simplex.initialSolve();
    }
    // Status 3: stopped by a limit; the only limit set here is the time.
    if (model.stoppedAtTimeLimit && model.seconds > 0.0 && simplex.status() == 3) *model.stoppedAtTimeLimit = true;
    if (!simplex.isProvenOptimal()) return false;
    if (model.finalBasis) {
        model.finalBasis->resize(static_cast<std::size_t>(model.columns) + static_cast<std::size_t>(model.rows));
        for (int j = 0; j < model.columns; ++j)
            (*model.finalBasis)[static_cast<std::size_t>(j)] = static_cast<int>(simplex.getColumnStatus(j));
        for (int i = 0; i < model.rows; ++i)
            (*model.finalBasis)[static_cast<std::size_t>(model.columns + i)] = static_cast<int>(simplex.getRowStatus(i));
    }
    const double* x = simplex.primalColumnSolution();
    solution.assign(x, x + model.columns);
    if (rowPrices) {
        const double* y = simplex.dualRowSolution();
        if (y) rowPrices->assign(y, y + model.rows);
        else rowPrices->clear();
    }
    return true;
}

bool Search(OsiSolverInterface& start, const CoinModelData& model, CoinMessageHandler& handler,
            CglPreProcess* process, std::vector<double>& solution, ReducedSearch* reduced) {
    CbcModel cbc(start);  // works on its own copy of the solver
    cbc.passInMessageHandler(&handler);
    cbc.setLogLevel(0);
    cbc.solver()->passInMessageHandler(&handler);
    cbc.solver()->setHintParam(OsiDoReducePrint, true, OsiHintTry);
    if (model.relativeGap >= 0.0) cbc.setAllowableFractionGap(model.relativeGap);
    if (model.absoluteGap >= 0.0) cbc.setAllowableGap(model.absoluteGap);
    if (model.seconds > 0.0) {
        cbc.setUseElapsedTime(true);
        cbc.setMaximumSeconds(model.seconds);
    }

    // The usual cut generators and heuristics; the models are small but highly degenerate, and
    // these settle them at the root far more often than plain branching.
    CglProbing probing;
    probing.setUsingObjective(1);
    probing.setMaxPass(3);
    probing.setMaxProbe(100);
    probing.setMaxLook(50);
    probing.setRowCuts(3);
    CglGomory gomory;
    gomory.setLimit(300);
    CglKnapsackCover knapsack;
    CglClique clique;
    clique.setStarCliqueReport(false);
    clique.setRowCliqueReport(false);
    CglMixedIntegerRounding2 rounding;
    CglFlowCover flowCover;
    cbc.addCutGenerator(&probing, -1, "Probing");
    cbc.addCutGenerator(&gomory, -1, "Gomory");
    cbc.addCutGenerator(&knapsack, -1, "Knapsack");
    cbc.addCutGenerator(&clique, -1, "Clique");
    cbc.addCutGenerator(&rounding, -1, "MixedIntegerRounding2");
    cbc.addCutGenerator(&flowCover, -1, "FlowCover");

    CbcRounding roundingHeuristic(cbc);
    cbc.addHeuristic(&roundingHeuristic);
    CbcHeuristicFPump pump(cbc);
    if (process || reduced) {
        // A reduced large model's search goes from its first solution, and the better that is the
        // sooner the gap is closed: the pump is made to find a good one. It fixes the binaries that stayed put through a
        // major pass and searches the rest in a small tree, and it rounds with the continuous
        // columns at their bounds fixed too.
        pump.setMaximumPasses(30);
        pump.setAccumulate(1);
        pump.setFeasibilityPumpOptions(40);
        pump.setWhen(13);
        // Each of the pump's solutions is checked by solving the LP with its integers fixed; from
        // the current basis rather than the slack basis, which on these models costs seconds.
        cbc.setSpecialOptions(cbc.specialOptions() | 2);
    }
    cbc.addHeuristic(&pump);

    // An infeasible or unbounded relaxation leaves nothing to branch on.
    cbc.initialSolve();
    if (!cbc.solver()->isProvenOptimal()) return false;
    std::vector<double> root;
    if (reduced) {
        const double* x = cbc.solver()->getColSolution();
        root.assign(x, x + cbc.solver()->getNumCols());
        reduced->rootBasis.reset(cbc.solver()->getWarmStart());
        if (process) {
            const NearRoot near =
                SearchNearRoot(start, model, handler, *process, root, cbc.solver()->getObjValue(), solution, *reduced);
            if (near != NearRoot::NotFound) return near == NearRoot::Solved;
        }
    }
    cbc.branchAndBound();
    // Stopped by the limit is the search's own status: the clock alone passes the limit also when
    // the root closed the gap just after it, and such a search is proved.
    if (model.stoppedAtTimeLimit && cbc.isSecondsLimitReached()) *model.stoppedAtTimeLimit = true;

    const double* best = cbc.bestSolution();
    if (!best || cbc.isProvenInfeasible() || cbc.isContinuousUnbounded()) return false;
    if (reduced) {
        reduced->best.assign(best, best + start.getNumCols());
        if (reduced->improve) Improve(cbc, start, root, *reduced);
    }
    if (!process) {
        if (!reduced) solution.assign(best, best + model.columns);
        return true;
    }
    // The engine's solver holds the best solution; the reduction carries it back to the model,
    // whose binaries it fixes and whose continuous columns it solves for.
    process->postProcess(*cbc.solver());
    const OsiSolverInterface* original = process->originalModel();
    if (!original || !original->isProvenOptimal() || original->getNumCols() != model.columns) return false;
    const double* x = original->getColSolution();
    solution.assign(x, x + model.columns);
    return true;
}

void Load(OsiClpSolverInterface& solver, const CoinModelData& model, CoinMessageHandler& handler) {
    solver.passInMessageHandler(&handler);
    solver.setHintParam(OsiDoReducePrint, true, OsiHintTry);
    solver.getModelPtr()->passInMessageHandler(&handler);
    solver.getModelPtr()->setLogLevel(0);
    const CoinArrays a(model);
    solver.loadProblem(model.columns, model.rows, a.starts.data(), Data(model.rowIndices),
                       Data(model.elements), Data(a.columnLower), Data(a.columnUpper),
                       Data(model.objective), Data(a.rowLower), Data(a.rowUpper));
    solver.setObjSense(model.direction);
    for (int j : model.integerColumns) solver.setInteger(j);
}

bool RunMixedInteger(const CoinModelData& model, std::vector<double>& solution) {
    const ConsoleSilenced console;
    SilentHandler handler;
    if (model.preprocess && model.kept && model.kept->state_) {
        if (SolveFromKept(model, handler, solution)) return true;
        // Another model, or one the reduction no longer serves: solved afresh, and its own
        // reduction is kept instead.
        model.kept->Clear();
    }
    OsiClpSolverInterface solver;
    Load(solver, model, handler);
    if (!model.preprocess) return Search(solver, model, handler, nullptr, solution);

    // A large model is reduced before its search: rows that only bound a column become bounds,
    // columns and rows that cannot matter go, and the search runs on what is left (on the large
    // retrofit models two fifths of the rows and two thirds of the columns). The reduction solves
    // the relaxation of each model it makes, presolved, by the dual simplex from the slack basis;
    // solving the whole model's relaxation before it as well (it was, so that the reduction
    // started from that optimum) took a fifth of the run on the largest retrofit models (80 s of
    // a five-step run at 80 streams), and the reduction and the answers do not need it: the search
    // answers within the model's gap either way, and on the dense plants with the same objective
    // in every step (at times at another of the tied places, as other vertices of the relaxation do).
    // Its dual simplex prices rows by full steepest edge from the first pivot and refactorises
    // the basis every 500 pivots (CLP's own choices: pricing that starts partial, and 200): on
    // the large retrofit models, tens of thousands of degenerate pivots, it then takes fewer
    // pivots and about 40 % less time.
    solver.setHintParam(OsiDoPresolveInInitial, true, OsiHintDo);
    ClpDualRowSteepest fullSteepestEdge(1);
    solver.getModelPtr()->setDualRowPivotAlgorithm(fullSteepestEdge);
    solver.getModelPtr()->setFactorizationFrequency(500);
    CglPreProcess process;
    process.passInMessageHandler(&handler);
    OsiSolverInterface* reducedModel = process.preProcess(solver, false, 5);
    // No reduced model: the reduction proved the model infeasible.
    if (!reducedModel) return false;
    reducedModel->passInMessageHandler(&handler);
    if (!model.kept) return Search(*reducedModel, model, handler, &process, solution);
    return SearchAndKeep(*reducedModel, process, model, handler, solution);
}

}  // namespace traval

#pragma once
// The searches of the COIN-OR engine that its source files share. Only they include it: it
// names COIN types.
#include "traval/CoinRun.h"
#include "traval/MILPReduction.h"

#include "CoinWarmStart.hpp"

#include <functional>
#include <memory>
#include <vector>

class CbcModel;
class CglPreProcess;
class CoinMessageHandler;
class OsiClpSolverInterface;
class OsiSolverInterface;

namespace traval {

// What a search of a reduced model leaves for its caller besides the answer: the root
// relaxation's basis and the best solution in the reduced model's columns, which the search may
// improve once it has its first one.
struct ReducedSearch {
    bool improve = false;  // in: look for a better solution near the first one
    bool improved = false;  // out: `best` is better than the first solution
    std::vector<double> best;
    std::unique_ptr<CoinWarmStart> rootBasis;
    // in (may be empty): the model's answer, in its own columns, for a solution of the reduced
    // model, found without undoing the reduction; false when it cannot be found so.
    std::function<bool(const std::vector<double>& reducedSolution, std::vector<double>& answer)> carry;
};

// Loads `model` into `solver`, silenced by `handler`.
void Load(OsiClpSolverInterface& solver, const CoinModelData& model, CoinMessageHandler& handler);

// Branch and cut on `start` (the model itself, or its reduction by `process`), to the model's gap
// and time limit. The answer is the best integer solution in the model's own columns: taken back
// through the reduction when there was one. With `reduced`, a reduced model's search also leaves
// its root basis and best solution there (and, without `process`, no answer).
bool Search(OsiSolverInterface& start, const CoinModelData& model, CoinMessageHandler& handler,
            CglPreProcess* process, std::vector<double>& solution, ReducedSearch* reduced = nullptr);

// A later step's search ends at once when a solution this close to the root relaxation's bound
// (relative) lies where the relaxation's integral binaries are kept as they are.
constexpr double kNearBound = 0.005;

// Searches the neighbourhood of `reference` in `start`: its integer columns at the same value in
// `reference` and in the root relaxation `root` are fixed there, the rest are searched for a
// solution below `cutoff` (the first one found within `gap` ends the search). True with the
// solution, in `start`'s columns, in `best`: its integer columns; its continuous ones are not
// solved for (the callers solve them in the model's own columns with the integers fixed).
bool SearchNeighbourhood(const OsiSolverInterface& start, const std::vector<double>& root,
                         const std::vector<double>& reference, const CoinWarmStart* rootBasis, double cutoff,
                         double gap, CoinMessageHandler* handler, std::vector<double>& best);

// The first solution `cbc` found (in `out.best`) improved in its neighbourhood; `root` is the
// root relaxation's solution of `start`.
void Improve(CbcModel& cbc, const OsiSolverInterface& start, const std::vector<double>& root, ReducedSearch& out);

// A model that matches the reduction it is handed (`model.kept`) solved from it. False when it
// does not match or the reduction no longer serves it (the caller then solves it afresh).
bool SolveFromKept(const CoinModelData& model, CoinMessageHandler& handler, std::vector<double>& solution);

// The search of a model `process` reduced to `reduced`, which also keeps the reduction in
// `model.kept` for the later solves.
bool SearchAndKeep(OsiSolverInterface& reduced, CglPreProcess& process, const CoinModelData& model,
                   CoinMessageHandler& handler, std::vector<double>& solution);

}  // namespace traval

// Handing an LPProblem to the solver library, always in the same order: sizes, matrix, row
// senses, right-hand sides, sense, objective, integer columns, solve, read back, delete.
#include "eng/targeting/LPProblem.h"

#include "traval/IMILPSolver.h"

#include <memory>

bool LPProblem::Solve(std::vector<double>& solution, bool readObjective, std::vector<double>* rowPrices) {
    bStoppedAtTimeLimit = false;
    if (nColumns <= 0) return false;
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    if (!solver) return false;

    // A set-up call the solver refuses (a value that is not a number, say) ends the solve: the
    // model it would solve is not this one.
    if (!solver->SetSize(nColumns, nRows)) return false;
    const int n = pMatrix ? pMatrix->GetNumberOfNonZeroElements() : 0;
    if (n > 0) {
        std::vector<int> rows(static_cast<std::size_t>(n));
        std::vector<int> cols(static_cast<std::size_t>(n));
        std::vector<double> values(static_cast<std::size_t>(n));
        pMatrix->GetNonZeroValues(rows.data(), cols.data(), values.data());
        if (!solver->LoadMatrix(n, rows.data(), cols.data(), values.data())) return false;
    }
    std::vector<char> senses(static_cast<std::size_t>(nRows) + 1, '\0');
    for (int i = 0; i < nRows; ++i) {
        const std::int32_t t = static_cast<std::size_t>(i) < rowTypes.size() ? rowTypes[static_cast<std::size_t>(i)] : Equality;
        senses[static_cast<std::size_t>(i)] = t == LessOrEqual ? 'l' : t == GreaterOrEqual ? 'g' : 'e';
    }
    if (!solver->SetRowTypes(senses.data())) return false;
    std::vector<double> rhs(static_cast<std::size_t>(nRows), 0.0);
    for (int i = 0; i < nRows && static_cast<std::size_t>(i) < rightHandSides.size(); ++i)
        rhs[static_cast<std::size_t>(i)] = rightHandSides[static_cast<std::size_t>(i)];
    if (!solver->SetRightHandSide(rhs.data()) || !solver->SetSense("MIN")) return false;
    std::vector<double> costs(static_cast<std::size_t>(nColumns), 0.0);
    for (int j = 0; j < nColumns && static_cast<std::size_t>(j) < objective.size(); ++j)
        costs[static_cast<std::size_t>(j)] = objective[static_cast<std::size_t>(j)];
    if (!solver->SetObjective(costs.data())) return false;
    if (pIntegerFlags)
        for (int j = 0; j < nColumns && static_cast<std::size_t>(j) < pIntegerFlags->size(); ++j)
            if ((*pIntegerFlags)[static_cast<std::size_t>(j)] && !solver->SetIntegerColumn(j)) return false;

    if (bWarmStart && basisColumns > 0 && basisColumns <= nColumns &&
        basis.size() == static_cast<std::size_t>(basisColumns) + static_cast<std::size_t>(nRows))
        solver->SetStartingBasis(basis.data(), basisColumns, nRows);
    if (dMaxSeconds > 0.0 && !solver->SetOption("MAXTIM", dMaxSeconds)) return false;
    const bool solved = solver->Solve();
    bStoppedAtTimeLimit = solver->StoppedAtTimeLimit();
    if (!solved) return false;
    if (bWarmStart) {
        const int* statuses = nullptr;
        const int count = solver->GetBasis(&statuses);
        if (statuses && count == nColumns + nRows) {
            basis.assign(statuses, statuses + count);
            basisColumns = nColumns;
        } else {
            basis.clear();
            basisColumns = 0;
        }
    }
    const double* x = solver->GetSolution();
    if (!x) return false;
    solution.assign(x, x + nColumns);
    if (readObjective) dObjectiveValue = solver->GetObjectiveValue();
    if (rowPrices) {
        const double* y = solver->GetRowPrices();
        if (y) rowPrices->assign(y, y + nRows);
        else rowPrices->clear();
    }
    return true;
}

#include "eng/retrofit/ModelSolving.h"

#include "brasko/LurmetSparseMatrix.h"
#include "traval/IMILPSolver.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

namespace {

std::size_t Size(int n) { return static_cast<std::size_t>(n > 0 ? n : 0); }

// Hands the model's constraint rows to the solver. Its copies are local, so they go before the
// solver solves (on the largest models they are as large as the matrix).
void LoadRows(IMILPSolver& solver, const SparseRowList& rows, int n, int m) {
    // Entries to pass per row: the last entry of a column wins. `stamp` marks the columns met in
    // the row being walked (row number + 1), so each row costs its own entries only.
    std::vector<int> stamp(Size(n + 1), 0);
    std::vector<std::vector<unsigned char>> kept(Size(m));
    std::size_t triplets = 0;
    for (int r = 0; r < m; ++r) {
        const SparseRow& row = rows[static_cast<std::size_t>(r)];
        std::vector<unsigned char>& keep = kept[static_cast<std::size_t>(r)];
        keep.assign(Size(row.GetCount()), 0);
        for (int e = row.GetCount() - 1; e >= 0; --e) {
            const int c = row.GetColumn(e);
            // A column outside the model (and its right-hand-side column) is no coefficient.
            if (c < 0 || c > n || stamp[static_cast<std::size_t>(c)] == r + 1) continue;
            stamp[static_cast<std::size_t>(c)] = r + 1;
            keep[static_cast<std::size_t>(e)] = 1;
            if (c != n) ++triplets;
        }
    }

    std::vector<int> rowIndex, columnIndex;
    std::vector<double> values;
    rowIndex.reserve(triplets);
    columnIndex.reserve(triplets);
    values.reserve(triplets);
    std::vector<char> types(Size(m) + 1, 'e');
    types[Size(m)] = '\0';
    std::vector<double> rhs(Size(m), 0.0);
    for (int r = 0; r < m; ++r) {
        const SparseRow& row = rows[static_cast<std::size_t>(r)];
        const std::vector<unsigned char>& keep = kept[static_cast<std::size_t>(r)];
        for (int e = 0; e < row.GetCount(); ++e) {
            if (!keep[static_cast<std::size_t>(e)]) continue;
            const int c = row.GetColumn(e);
            if (c == n) {
                rhs[static_cast<std::size_t>(r)] = row.GetCoefficient(e);
                continue;
            }
            rowIndex.push_back(r);
            columnIndex.push_back(c);
            values.push_back(row.GetCoefficient(e));
        }
        types[static_cast<std::size_t>(r)] = row.GetType();
    }
    solver.LoadMatrix(static_cast<int>(values.size()), rowIndex.data(), columnIndex.data(), values.data());
    solver.SetRightHandSide(rhs.data());
    solver.SetRowTypes(types.data());
}

}  // namespace

const std::vector<double>& SolveModel(SolverModel& model) {
    const int n = model.width - 1;
    const int rowCount = model.rows ? static_cast<int>(model.rows->size()) : 0;
    const int m = rowCount - 1;
    model.solution.assign(Size(n), 0.0);
    // A model needs a constraint row besides its objective, and a column.
    if (m < 1 || n < 1) {
        model.solved = 0;
        return model.solution;
    }
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    if (!solver) {
        model.solved = 0;
        return model.solution;
    }
    solver->SetSize(n, m);
    solver->SetSense("MIN");

    const SparseRowList& rows = *model.rows;
    LoadRows(*solver, rows, n, m);

    const int k = model.integerColumns < n ? model.integerColumns : n;
    for (int c = n - k; c < n; ++c) solver->SetIntegerColumn(c);
    if (model.exclusionFlag) {
        for (int e : model.excludedColumns) {
            if (e <= 0 || e >= n) continue;
            solver->MarkColumn(e);
            solver->SetColumnBounds(0.0, e, 0.0);
        }
    }
    if (model.heldAtZero)
        for (int c : *model.heldAtZero)
            if (c >= 0 && c < n) solver->SetColumnBounds(0.0, c, 0.0);

    std::vector<double> objective(Size(n), 0.0);
    const SparseRow& objectiveRow = rows[Size(m)];
    for (int e = 0; e < objectiveRow.GetCount(); ++e) {
        const int c = objectiveRow.GetColumn(e);
        if (c >= 0 && c < n) objective[static_cast<std::size_t>(c)] = objectiveRow.GetCoefficient(e);
    }
    solver->SetObjective(objective.data());

    const int searched = std::max(k, model.searchedAs);
    solver->SetOption("OPTCR", RetrofitOptimalityGap(searched));
    // The large models are reduced first, and the search steered to a good first solution (and a
    // much faster one).
    if (searched > kExactModelIntegerColumns) {
        solver->SetOption("PREPRO", 1.0);
        if (model.kept) solver->SetReduction(model.kept);
    }
    solver->SetOption("MAXTIM", kRetrofitTimeLimitSeconds);
    model.solved = solver->Solve() ? 1 : 0;
    model.stoppedAtTimeLimit = solver->StoppedAtTimeLimit() ? 1 : 0;
    const double* x = solver->GetSolution();
    if (model.solved && x) {
        model.solutionPresent = 1;
        model.solution.assign(x, x + n);
    }
    return model.solution;
}

std::string DescribeModelSearch(int integerColumns, bool stoppedAtTimeLimit) {
    if (integerColumns <= kExactModelIntegerColumns) return std::string();
    char text[256];
    const double gap = RetrofitOptimalityGap(integerColumns) * 100.0;
    const double seconds = kRetrofitTimeLimitSeconds;
    if (stoppedAtTimeLimit)
        std::snprintf(text, sizeof text,
                      "the model (%d integer columns) was searched for its time limit of %.0f s and the search "
                      "ended there: the modification is the best it found, not proved within %.1f %% of the best",
                      integerColumns, seconds, gap);
    else
        std::snprintf(text, sizeof text,
                      "the model (%d integer columns) was searched to within %.1f %% of its best (time limit %.0f s)",
                      integerColumns, gap, seconds);
    return text;
}

std::unique_ptr<IMILPSolver> CreateMILPSolver(const char* integerFlags, const LurmetSparseMatrix& matrix,
                                              const char* rowTypes, const double* rightHandSide,
                                              const double* objective) {
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    if (!solver) return solver;
    const int columns = matrix.GetNumberOfColumns();
    const int rows = matrix.GetNumberOfRows();
    solver->SetSize(columns, rows);
    const int count = matrix.GetNumberOfNonZeroElements();
    if (count > 0) {
        std::vector<int> r(Size(count)), c(Size(count));
        std::vector<double> v(Size(count));
        matrix.GetNonZeroValues(r.data(), c.data(), v.data());
        solver->LoadMatrix(count, r.data(), c.data(), v.data());
    }
    if (rowTypes && rows > 0) solver->SetRowTypes(rowTypes);
    if (integerFlags)
        for (int j = 0; j < columns && integerFlags[j] != '\0'; ++j)
            if (integerFlags[j] == '1') solver->SetIntegerColumn(j);
    solver->SetSense("MIN");
    if (objective && columns > 0) solver->SetObjective(objective);
    if (rightHandSide && rows > 0) solver->SetRightHandSide(rightHandSide);
    return solver;
}

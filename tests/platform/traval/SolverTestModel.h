#pragma once
// A small model description that the solver tests fill and hand to a fresh solver in the
// order the system's callers use.
#include "traval/IMILPSolver.h"

#include <memory>
#include <string>
#include <vector>

struct TestBounds {
    int column;
    double lower;
    double upper;
};

struct TestModel {
    int columns = 0;
    int rows = 0;
    std::vector<int> tripletRows, tripletColumns;
    std::vector<double> tripletValues;
    std::vector<double> objective, rightHandSide;
    std::string rowTypes;
    std::string sense = "MIN";
    std::vector<int> integers, marked;
    std::vector<TestBounds> bounds;

    void Add(int row, int column, double value) {
        tripletRows.push_back(row);
        tripletColumns.push_back(column);
        tripletValues.push_back(value);
    }
};

struct TestResult {
    bool solved = false;
    std::vector<double> solution;
    double objective = 0.0;
};

inline std::unique_ptr<IMILPSolver> LoadTestModel(const TestModel& m) {
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    if (!solver) return solver;
    solver->SetSize(m.columns, m.rows);
    if (!m.tripletValues.empty())
        solver->LoadMatrix(static_cast<int>(m.tripletValues.size()), m.tripletRows.data(),
                           m.tripletColumns.data(), m.tripletValues.data());
    if (!m.rowTypes.empty()) solver->SetRowTypes(m.rowTypes.c_str());
    if (!m.rightHandSide.empty()) solver->SetRightHandSide(m.rightHandSide.data());
    solver->SetSense(m.sense.c_str());
    if (!m.objective.empty()) solver->SetObjective(m.objective.data());
    for (int j : m.integers) solver->SetIntegerColumn(j);
    for (int j : m.marked) solver->MarkColumn(j);
    for (const TestBounds& b : m.bounds) solver->SetColumnBounds(b.upper, b.column, b.lower);
    return solver;
}

inline TestResult ReadResult(IMILPSolver& solver, int columns, bool solved) {
    TestResult r;
    r.solved = solved;
    const double* x = solver.GetSolution();
    r.solution.assign(x, x + columns);
    r.objective = solver.GetObjectiveValue();
    return r;
}

inline TestResult SolveTestModel(const TestModel& m) {
    std::unique_ptr<IMILPSolver> solver = LoadTestModel(m);
    if (!solver) return {};
    const bool solved = solver->Solve();
    return ReadResult(*solver, m.columns, solved);
}

// Two plants ship to three customers; column 3*s + d carries plant s to customer d.
// Costs  plant 0: 2 3 1   plant 1: 5 4 8;  demands 10 25 15.
// Rows 0..1 are the plants' supplies, rows 2..4 the customers' demands.
inline TestModel Transportation(double supply0, double supply1, char supplyType, char demandType) {
    TestModel m;
    m.columns = 6;
    m.rows = 5;
    for (int s = 0; s < 2; ++s) {
        for (int d = 0; d < 3; ++d) {
            m.Add(s, 3 * s + d, 1.0);
            m.Add(2 + d, 3 * s + d, 1.0);
        }
    }
    m.objective = {2, 3, 1, 5, 4, 8};
    m.rightHandSide = {supply0, supply1, 10, 25, 15};
    m.rowTypes = std::string(2, supplyType) + std::string(3, demandType);
    return m;
}

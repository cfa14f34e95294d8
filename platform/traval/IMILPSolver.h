#pragma once
// Linear and mixed-integer programming solver of the solver library.
//
// One solver holds one model and is created for one solve. Rows and columns count from 0.
// A caller creates it by name, gives the sizes first, then the matrix, objective, bounds, row
// types, right-hand sides and options in any order, solves, reads the solution and deletes it.
//
// Every array handed in is copied; the solver keeps no caller pointer. The set-up calls answer
// whether they were accepted: a rejected call (bad index, null array, unknown text, value that is
// not a number) changes nothing and records an assertion.

class MILPReduction;

class IMILPSolver {
public:
    virtual ~IMILPSolver() = default;

    // Starts a fresh model of the given size: no matrix, zero objective, zero right-hand sides,
    // every row 'e', every column non-negative and unbounded above, nothing integer.
    virtual bool SetSize(int columns, int rows) = 0;
    // The column may take only integer values; without bounds of its own it is binary (0..1).
    virtual bool SetIntegerColumn(int column) = 0;
    // Excludes the column from the model: it is held at zero whatever bounds it is given.
    virtual bool MarkColumn(int column) = 0;
    // Bounds of one column, upper bound first. Infinite values (or magnitudes of 1e30 and more)
    // leave that side free.
    virtual bool SetColumnBounds(double upper, int column, double lower) = 0;
    // One coefficient per column.
    virtual bool SetObjective(const double* coefficients) = 0;
    // "MIN" or "MAX" (case is ignored); a new model minimises.
    virtual bool SetSense(const char* sense) = 0;
    // Non-zero triplets; replaces any matrix given before. Entries naming the same (row, column)
    // are summed.
    virtual bool LoadMatrix(int count, const int* rows, const int* columns, const double* values) = 0;
    // One value per row.
    virtual bool SetRightHandSide(const double* values) = 0;
    // One character per row: 'l' (row <= rhs), 'e' (row = rhs), 'g' (row >= rhs).
    virtual bool SetRowTypes(const char* types) = 0;
    // "OPTCR": relative optimality gap at which a mixed-integer search may stop.
    // "MAXTIM": time limit of |value| seconds (0 means no limit).
    // "PREPRO": 1 reduces a mixed-integer model before its search (integer preprocessing) and
    // steers the search to a good first solution, for large models;
    // 0 (the default) searches the model as given.
    virtual bool SetOption(const char* name, double value) = 0;
    // A "PREPRO" model's reduction kept between solves of the same model (see MILPReduction.h):
    // an empty one is filled by the solve, a filled one is gone on from when the model matches it.
    // Null (the default) keeps nothing. The caller keeps it alive until the solve returns.
    virtual bool SetReduction(MILPReduction* /*kept*/) { return false; }

    // True when a solution exists: a proven optimum of a linear model; for a mixed-integer model a
    // proven optimum or, when the search stopped on the gap or the time limit, the best feasible
    // integer solution found.
    virtual bool Solve() = 0;
    // One value per column, owned by the solver and valid until it is deleted. All zeros before a
    // solve and after a failed one.
    virtual const double* GetSolution() = 0;
    // Objective of the solution; 0.0 before a solve and after a failed one.
    virtual double GetObjectiveValue() = 0;
    // Whether the last solve ended at the "MAXTIM" limit: a mixed-integer search before it proved
    // its gap (its solution is then the best it found), a linear one before its optimum (no
    // solution then).
    virtual bool StoppedAtTimeLimit() const { return false; }
    // One dual value (row price) per row of a linear model solved to optimality, in the sense of
    // the model (a minimised objective's reduced costs are c - A'y); null when there are none: a
    // mixed-integer model, no solve, a failed one, or a solver that does not give them.
    virtual const double* GetRowPrices() { return nullptr; }
    // Warm start of a linear model: the basis a solve of a model with the same rows and the same
    // leading columns left (GetBasis), `columns` statuses then one per row. Columns beyond those
    // given start at their lower bound, so a model that only gained columns at its end starts from
    // the last optimum. A basis of the wrong size is not accepted; a basis is a hint, the solution
    // is the same optimum (up to ties) without it.
    virtual bool SetStartingBasis(const int* /*statuses*/, int /*columns*/, int /*rows*/) { return false; }
    // The basis of the last linear solve (columns, then rows); 0 entries when there is none.
    virtual int GetBasis(const int** statuses) {
        *statuses = nullptr;
        return 0;
    }

    // The solver known by that name, or null. "QEV_XPRESS" is the name the system uses.
    static IMILPSolver* Create(const char* name);
};

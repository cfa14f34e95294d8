#pragma once
// Whether a set of linear equations can determine each of its unknowns: the structural rank of
// the system, the largest number of unknowns that can each be paired with an equation of their
// own (a maximum matching of the bipartite graph of equations and the unknowns they name). An
// unknown left unpaired in every matching is not fixed by the equations, whatever their
// coefficients: a solver would hand back an arbitrary value for it.
//
// The test is structural: equations whose coefficients happen to make them dependent are not
// found (that needs a numerical rank), but an unknown that too few equations reach is, and that
// is how a network that is not specified enough shows itself.
#include <utility>
#include <vector>

// `entries` are the (row, column) pairs of non-zero coefficients; rows in [0, rows), columns in
// [0, columns). Answers the number of columns that can be matched to distinct rows.
// Hopcroft-Karp: O(E sqrt(V)).
int StructuralRank(int rows, int columns, const std::vector<std::pair<int, int>>& entries);

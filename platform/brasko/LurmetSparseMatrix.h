#pragma once
// Sparse matrix of the engineering manager: the constraint matrix of every linear model the
// engine builds. Rows and columns count from 0.
//
// Elements are kept per row, sorted by column, and only rows that hold an element take memory,
// so a model may declare many rows and fill few. Setting an element to 0.0 removes it: the
// matrix holds true non-zeros only, and what it hands to a solver carries no explicit zeros.
#include <map>
#include <utility>
#include <vector>

class LurmetSparseMatrix {
public:
    LurmetSparseMatrix(int rows, int columns);

    // Stores (overwrites) one element; 0.0 removes it. Answers 1 when done, 0 (storing nothing,
    // recording an assertion) for an index out of range or a value that is not finite.
    int SetElement(int row, int column, const double& value);
    // The stored value, 0.0 where nothing is stored or the index is out of range.
    double GetElement(int row, int column) const;

    // Adds one empty row at the bottom / one empty column at the right.
    void IncrementRow();
    void IncrementColumn();
    // Adds n empty rows at the bottom / n empty columns at the right (n >= 0). Answers 1 when
    // done, 0 (changing nothing, recording an assertion) for a negative n or a size beyond int.
    int AppendEmptyRows(int n);
    int AppendEmptyColumns(int n);
    // Places `other` below and to the right of this matrix: its element (i, j) becomes element
    // (rows + i, columns + j), and both counts grow by other's. The blocks beside it stay empty,
    // so joining the models of independent parts gives the block-diagonal model. Answers 1 when
    // done, 0 (changing nothing) when the joined size would not fit an int. Appending a matrix to
    // itself appends a copy of what it held before the call.
    int AppendMatrix(const LurmetSparseMatrix& other);

    int GetNumberOfRows() const { return rows_; }
    int GetNumberOfColumns() const { return columns_; }
    int GetNumberOfNonZeroElements() const { return nonZeros_; }

    // Fills three caller arrays, each GetNumberOfNonZeroElements long, with one (row, column,
    // value) triplet per stored element, row by row and by column within a row.
    void GetNonZeroValues(int* rows, int* columns, double* values) const;

private:
    using Row = std::vector<std::pair<int, double>>;  // (column, value), sorted by column

    bool InRange(int row, int column) const;

    int rows_ = 0;
    int columns_ = 0;
    int nonZeros_ = 0;
    std::map<int, Row> elements_;
};

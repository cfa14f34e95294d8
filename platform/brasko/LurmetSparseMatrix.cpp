#include "brasko/LurmetSparseMatrix.h"

#include "dunmor/Exceptions.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool ColumnBefore(const std::pair<int, double>& element, int column) { return element.first < column; }

}  // namespace

LurmetSparseMatrix::LurmetSparseMatrix(int rows, int columns)
    : rows_(std::max(rows, 0)), columns_(std::max(columns, 0)) {
    KS_ASSERT(rows >= 0 && columns >= 0);
}

bool LurmetSparseMatrix::InRange(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

int LurmetSparseMatrix::SetElement(int row, int column, const double& value) {
    const bool valid = InRange(row, column) && std::isfinite(value);
    if (!valid) {
        KS_ASSERT(valid);
        return 0;
    }
    if (value == 0.0) {
        auto found = elements_.find(row);
        if (found == elements_.end()) return 1;
        Row& r = found->second;
        auto at = std::lower_bound(r.begin(), r.end(), column, ColumnBefore);
        if (at != r.end() && at->first == column) {
            r.erase(at);
            --nonZeros_;
            if (r.empty()) elements_.erase(found);
        }
        return 1;
    }
    Row& r = elements_[row];
    // Builders mostly fill a row from left to right: appending is the common, constant-time case.
    if (r.empty() || r.back().first < column) {
        r.emplace_back(column, value);
        ++nonZeros_;
        return 1;
    }
    auto at = std::lower_bound(r.begin(), r.end(), column, ColumnBefore);
    if (at != r.end() && at->first == column) {
        at->second = value;
    } else {
        r.emplace(at, column, value);
        ++nonZeros_;
    }
    return 1;
}

double LurmetSparseMatrix::GetElement(int row, int column) const {
    if (!InRange(row, column)) {
        KS_ASSERT(InRange(row, column));
        return 0.0;
    }
    auto found = elements_.find(row);
    if (found == elements_.end()) return 0.0;
    const Row& r = found->second;
    auto at = std::lower_bound(r.begin(), r.end(), column, ColumnBefore);
    return (at != r.end() && at->first == column) ? at->second : 0.0;
}

void LurmetSparseMatrix::IncrementRow() {
    if (rows_ == INT_MAX) {
        KS_ASSERT(rows_ < INT_MAX);
        return;
    }
    ++rows_;
}

void LurmetSparseMatrix::IncrementColumn() {
    if (columns_ == INT_MAX) {
        KS_ASSERT(columns_ < INT_MAX);
        return;
    }
    ++columns_;
}

int LurmetSparseMatrix::AppendEmptyRows(int n) {
    const bool valid = n >= 0 && n <= INT_MAX - rows_;
    if (!valid) {
        KS_ASSERT(valid);
        return 0;
    }
    rows_ += n;
    return 1;
}

int LurmetSparseMatrix::AppendEmptyColumns(int n) {
    const bool valid = n >= 0 && n <= INT_MAX - columns_;
    if (!valid) {
        KS_ASSERT(valid);
        return 0;
    }
    columns_ += n;
    return 1;
}

int LurmetSparseMatrix::AppendMatrix(const LurmetSparseMatrix& other) {
    const bool fits = other.rows_ <= INT_MAX - rows_ && other.columns_ <= INT_MAX - columns_;
    if (!fits) {
        KS_ASSERT(fits);
        return 0;
    }
    const int rowOffset = rows_;
    const int columnOffset = columns_;
    // Every appended row lies below every row held, so each goes in at the end of the map; a
    // copy first makes appending a matrix to itself read what it held before.
    if (&other == this) {
        const LurmetSparseMatrix copy(other);
        return AppendMatrix(copy);
    }
    for (const auto& [row, r] : other.elements_) {
        Row shifted;
        shifted.reserve(r.size());
        for (const auto& [column, value] : r) shifted.emplace_back(column + columnOffset, value);
        elements_.emplace_hint(elements_.end(), row + rowOffset, std::move(shifted));
    }
    nonZeros_ += other.nonZeros_;
    rows_ += other.rows_;
    columns_ += other.columns_;
    return 1;
}

void LurmetSparseMatrix::GetNonZeroValues(int* rows, int* columns, double* values) const {
    if (nonZeros_ == 0) return;
    if (!rows || !columns || !values) {
        KS_ASSERT(rows && columns && values);
        return;
    }
    std::size_t k = 0;
    for (const auto& [row, r] : elements_) {
        for (const auto& [column, value] : r) {
            rows[k] = row;
            columns[k] = column;
            values[k] = value;
            ++k;
        }
    }
}

#include "eng/retrofit/SparseRow.h"

SparseRow::SparseRow(int count)
    : m_columns(static_cast<std::size_t>(count > 0 ? count : 0), 0),
      m_coefficients(static_cast<std::size_t>(count > 0 ? count : 0), 0.0) {}

void SparseRow::SetColumn(int index, int column) {
    if (index >= 0 && index < GetCount()) m_columns[static_cast<std::size_t>(index)] = column;
}

void SparseRow::SetCoefficient(int index, double value) {
    if (index >= 0 && index < GetCount()) m_coefficients[static_cast<std::size_t>(index)] = value;
}

void SparseRow::Add(int column, double value) {
    m_columns.push_back(column);
    m_coefficients.push_back(value);
}

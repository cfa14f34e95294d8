#pragma once
// One row of a retrofit model: entries (column, coefficient) and a row type. A model of n columns
// numbers them 0 .. n - 1; an entry in column n is the row's right-hand side, not a coefficient.
// The objective is the last row of a model's row list.
#include <vector>

class SparseRow {
public:
    // `count` entries, all column 0 and coefficient 0.0; type 'e'.
    explicit SparseRow(int count = 0);

    // Set one entry; an index outside 0 .. count - 1 is ignored.
    void SetColumn(int index, int column);
    void SetCoefficient(int index, double value);
    // 'l' (less or equal), 'e' (equal), 'g' (greater or equal).
    void SetType(char type) { m_type = type; }

    // Appends one entry (the row grows by one).
    void Add(int column, double value);

    int GetCount() const { return static_cast<int>(m_columns.size()); }
    int GetColumn(int index) const { return m_columns[static_cast<std::size_t>(index)]; }
    double GetCoefficient(int index) const { return m_coefficients[static_cast<std::size_t>(index)]; }
    char GetType() const { return m_type; }

private:
    std::vector<int> m_columns;
    std::vector<double> m_coefficients;
    char m_type = 'e';
};

// The rows of a model in order, the objective row last.
using SparseRowList = std::vector<SparseRow>;

#include "eng/targeting/LPProblem.h"

#include "eng/core/StreamSegment.h"
#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>

void LPProblem::Free() {
    objective.clear();
    rightHandSides.clear();
    lowerBounds.clear();
    upperBounds.clear();
    rowTypes.clear();
    pIntegerFlags.reset();
    pMatrix.reset();
    nRows = 0;
    nColumns = 0;
    nRowCapacity = 0;
    FreeKeyIndex();
}

void LPProblem::Allocate(int columns, int rows) {
    Free();
    columns = std::max(columns, 0);
    rows = std::max(rows, 0);
    nColumns = columns;
    nRows = rows;
    nRowCapacity = rows;
    const auto c = static_cast<std::size_t>(columns);
    const auto r = static_cast<std::size_t>(rows);
    objective.assign(c, 0.0);
    lowerBounds.assign(c, 0.0);
    upperBounds.assign(c, 0.0);
    rightHandSides.assign(r, 0.0);
    rowTypes.assign(r, Equality);
    pMatrix = std::make_unique<LurmetSparseMatrix>(rows, columns);
}

void LPProblem::AddRow(std::span<const double> coefficients, int rowType, double rightHandSide) {
    if (!pMatrix) pMatrix = std::make_unique<LurmetSparseMatrix>(nRows, nColumns);
    if (nRows >= nRowCapacity) {
        // The new arrays are sized and filled before they replace the old ones.
        nRowCapacity = nRows + RowGrowth;
        std::vector<std::int32_t> types(static_cast<std::size_t>(nRowCapacity), Equality);
        std::vector<double> rhs(static_cast<std::size_t>(nRowCapacity), 0.0);
        std::copy_n(rowTypes.begin(), std::min(rowTypes.size(), static_cast<std::size_t>(nRows)), types.begin());
        std::copy_n(rightHandSides.begin(), std::min(rightHandSides.size(), static_cast<std::size_t>(nRows)), rhs.begin());
        rowTypes = std::move(types);
        rightHandSides = std::move(rhs);
    }
    pMatrix->IncrementRow();
    const std::size_t n = std::min(coefficients.size(), static_cast<std::size_t>(nColumns));
    for (std::size_t j = 0; j < n; ++j) {
        // A NaN is not 0.0 and is handed on; the matrix refuses it.
        if (coefficients[j] != 0.0) pMatrix->SetElement(nRows, static_cast<int>(j), coefficients[j]);
    }
    rowTypes[static_cast<std::size_t>(nRows)] = rowType;
    rightHandSides[static_cast<std::size_t>(nRows)] = rightHandSide;
    ++nRows;
}

void LPProblem::AddColumns(int n) {
    if (n <= 0) return;
    if (!pMatrix) pMatrix = std::make_unique<LurmetSparseMatrix>(nRows, nColumns);
    for (int i = 0; i < n; ++i) pMatrix->IncrementColumn();
    nColumns += n;
    objective.resize(static_cast<std::size_t>(nColumns), 0.0);
    if (pIntegerFlags) pIntegerFlags->resize(static_cast<std::size_t>(nColumns), 0);
}

void LPProblem::BuildMatchTable(std::span<const void* const> hotObjects, std::span<const void* const> coldObjects) {
    (void)coldObjects;
    auto table = std::make_unique<MatchTable>();
    for (std::size_t j = 0; j < columns.size(); ++j) {
        const LPMatchColumn& c = columns[j];
        (*table)[c.Keys(0)].push_back(static_cast<int>(j));
        (*table)[c.Keys(1)].push_back(static_cast<int>(j));
    }
    m_pMatchTable = std::move(table);
    nHotCount = static_cast<std::int32_t>(hotObjects.size());
}

void LPProblem::FreeMatchTable() {
    m_pMatchTable.reset();
    nHotCount = 0;
}

void LPProblem::IndexColumnsByKeys() {
    for (int layout = 0; layout < 2; ++layout) {
        auto index = std::make_unique<MatchTable>();
        for (std::size_t j = 0; j < columns.size(); ++j) (*index)[columns[j].Keys(layout)].push_back(static_cast<int>(j));
        m_pKeyIndex[layout] = std::move(index);
    }
}

template <typename F>
void LPProblem::ForEachKeyedColumn(const void* first, const void* second, int layout, F&& f) const {
    const std::pair<const void*, const void*> key(first, second);
    const MatchTable* table = m_pMatchTable ? m_pMatchTable.get()
                              : (layout == 0 || layout == 1) ? m_pKeyIndex[layout].get()
                                                             : nullptr;
    if (table) {
        auto found = table->find(key);
        if (found != table->end())
            for (int j : found->second) f(j);
        return;
    }
    for (std::size_t j = 0; j < columns.size(); ++j)
        if (columns[j].Keys(layout) == key) f(static_cast<int>(j));
}

void LPProblem::SetElement(int row, int column, double value) {
    if (pMatrix) pMatrix->SetElement(row, column, value);
}

void LPProblem::SetMatchCoefficients(int row, const void* first, const void* second, int layout) {
    ForEachKeyedColumn(first, second, layout, [&](int j) { SetElement(row, j, 1.0); });
}

void LPProblem::SetSumRow(int row, const void* key, double value) {
    bool matched = false;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        if (columns[j].pMatch != key) continue;
        SetElement(row, static_cast<int>(j), 1.0);
        matched = true;
    }
    if (row < 0 || row >= nRowCapacity) return;
    rightHandSides[static_cast<std::size_t>(row)] = matched ? value : 0.0;
    rowTypes[static_cast<std::size_t>(row)] = GreaterOrEqual;
}

void LPProblem::SetPairRow(int row, const TemperatureInterval* b1, const TemperatureInterval* b2,
                           const TemperatureInterval* b3, const StreamSegment* key, int layout) {
    if (!b1 || !b2 || !b3 || !key) return;
    const double upper = b2->dTemperature - b3->dTemperature;
    const double lower = -(b1->dTemperature - b2->dTemperature);
    ForEachKeyedColumn(b1, key, layout, [&](int j) { SetElement(row, j, upper); });
    ForEachKeyedColumn(b2, key, layout, [&](int j) { SetElement(row, j, lower); });
}

void LPProblem::SetWeightedPairRow(int row, const TemperatureInterval* b1, const TemperatureInterval* b2,
                                   const TemperatureInterval* b3, const StreamSegment* s1, const StreamSegment* s2,
                                   int layout) {
    if (!b1 || !b2 || !b3 || !s1 || !s2 || !s1->pLink || !s2->pLink) return;
    const double w1 = s1->pLink->dSpecificHeat;
    const double w2 = s2->pLink->dSpecificHeat;
    const double first = (b1->dTemperature - b2->dTemperature) * w2;
    const double second = -(b3->dTemperature - b1->dTemperature) * w1;
    ForEachKeyedColumn(b3, s1, layout, [&](int j) { SetElement(row, j, first); });
    ForEachKeyedColumn(b1, s2, layout, [&](int j) { SetElement(row, j, second); });
}

void LPProblem::ClearMatchColumn(LPMatchColumn& column) {
    column.pHotSegment = nullptr;
    column.pColdSegment = nullptr;
    column.pHotInterval = nullptr;
    column.pColdInterval = nullptr;
    column.pMatch = nullptr;
    column.pValues.reset();
}

void LPProblem::ResizeColumns(std::size_t n) {
    FreeKeyIndex();
    for (std::size_t j = n; j < columns.size(); ++j) ClearMatchColumn(columns[j]);
    columns.resize(n);
}

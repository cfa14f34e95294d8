// LurmetSparseMatrix against a dense reference under random edits, growth by row and column,
// and rejected indices.
#include "brasko/LurmetSparseMatrix.h"

#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace {

std::vector<std::tuple<int, int, double>> Triplets(const LurmetSparseMatrix& m) {
    const int n = m.GetNumberOfNonZeroElements();
    std::vector<int> rows(n), columns(n);
    std::vector<double> values(n);
    m.GetNonZeroValues(rows.data(), columns.data(), values.data());
    std::vector<std::tuple<int, int, double>> out;
    for (int k = 0; k < n; ++k) out.emplace_back(rows[k], columns[k], values[k]);
    return out;
}

struct RandomEditCase {
    unsigned seed;
    int rows, columns, edits;
    double zeroShare;  // share of edits that write 0.0
};
void PrintTo(const RandomEditCase& c, std::ostream* os) {
    *os << c.rows << "x" << c.columns << ", " << c.edits << " edits, seed " << c.seed;
}

class SparseMatrixRandomTest : public ::testing::TestWithParam<RandomEditCase> {};

TEST_P(SparseMatrixRandomTest, TripletsAgreeWithADenseReference) {
    const RandomEditCase& c = GetParam();
    std::mt19937 random(c.seed);
    std::uniform_int_distribution<int> row(0, c.rows - 1), column(0, c.columns - 1);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    LurmetSparseMatrix m(c.rows, c.columns);
    std::map<std::pair<int, int>, double> reference;
    for (int e = 0; e < c.edits; ++e) {
        const int i = row(random), j = column(random);
        const double v = share(random) < c.zeroShare ? 0.0 : share(random) * 200.0 - 100.0;
        ASSERT_EQ(m.SetElement(i, j, v), 1);
        if (v == 0.0) reference.erase({i, j});
        else reference[{i, j}] = v;
    }
    ASSERT_EQ(m.GetNumberOfNonZeroElements(), static_cast<int>(reference.size()));
    const auto triplets = Triplets(m);
    std::map<std::pair<int, int>, double> seen;
    for (const auto& [i, j, v] : triplets) {
        EXPECT_NE(v, 0.0);
        EXPECT_TRUE(seen.emplace(std::make_pair(i, j), v).second) << "twice: " << i << "," << j;
    }
    EXPECT_EQ(seen, reference);
    for (const auto& [at, v] : reference) EXPECT_EQ(m.GetElement(at.first, at.second), v);
    // A few places never written read as zero.
    for (int k = 0; k < 50; ++k) {
        const int i = row(random), j = column(random);
        if (!reference.count({i, j})) {
            EXPECT_EQ(m.GetElement(i, j), 0.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, SparseMatrixRandomTest,
                         ::testing::Values(RandomEditCase{1, 5, 4, 200, 0.3},     // dense, many overwrites
                                           RandomEditCase{2, 300, 200, 5000, 0.1},
                                           RandomEditCase{3, 50, 1000, 3000, 0.5},  // long rows
                                           RandomEditCase{4, 1, 1, 20, 0.5}));

TEST(LurmetSparseMatrix, RowByRowBuildingWithIncrementRow) {
    LurmetSparseMatrix m(0, 3);
    EXPECT_EQ(m.SetElement(0, 0, 1.0), 0);  // no row yet
    Exceptions::ClearRecords();
    for (int r = 0; r < 4; ++r) {
        const int previous = m.GetNumberOfRows();
        m.IncrementRow();
        ASSERT_EQ(m.GetNumberOfRows(), previous + 1);
        ASSERT_EQ(m.SetElement(previous, r % 3, r + 1.0), 1);
        ASSERT_EQ(m.SetElement(previous, 2, -1.0), 1);  // overwrites when r % 3 == 2
    }
    EXPECT_EQ(Exceptions::Count(), 0u);
    const std::vector<std::tuple<int, int, double>> expected = {
        {0, 0, 1.0}, {0, 2, -1.0}, {1, 1, 2.0}, {1, 2, -1.0}, {2, 2, -1.0}, {3, 0, 4.0}, {3, 2, -1.0}};
    EXPECT_EQ(Triplets(m), expected);
    EXPECT_EQ(m.GetNumberOfColumns(), 3);

    EXPECT_EQ(m.SetElement(1, 3, 5.0), 0);
    m.IncrementColumn();
    EXPECT_EQ(m.SetElement(1, 3, 5.0), 1);
    EXPECT_EQ(m.GetElement(1, 3), 5.0);
    EXPECT_EQ(m.GetNumberOfNonZeroElements(), 8);
}

TEST(LurmetSparseMatrix, ZeroRemovesAndBadInputStoresNothing) {
    Exceptions::ClearRecords();
    LurmetSparseMatrix m(3, 3);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(m.SetElement(1, 1, 4.0), 1);
    EXPECT_EQ(m.SetElement(1, 1, 0.0), 1);
    EXPECT_EQ(m.GetNumberOfNonZeroElements(), 0);
    EXPECT_EQ(m.SetElement(2, 2, 0.0), 1);  // zero where nothing is: still nothing
    EXPECT_EQ(m.GetNumberOfNonZeroElements(), 0);
    EXPECT_EQ(Exceptions::Count(), 0u);

    m.SetElement(0, 0, 7.0);
    for (auto [i, j] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 3}}) {
        EXPECT_EQ(m.SetElement(i, j, 1.0), 0);
        EXPECT_EQ(m.GetElement(i, j), 0.0);
    }
    EXPECT_EQ(m.SetElement(0, 0, nan), 0);
    EXPECT_EQ(m.SetElement(0, 1, std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(m.GetElement(0, 0), 7.0);
    EXPECT_EQ(m.GetNumberOfNonZeroElements(), 1);
    EXPECT_GT(Exceptions::Count(), 0u);

    LurmetSparseMatrix negative(-2, -5);
    EXPECT_EQ(negative.GetNumberOfRows(), 0);
    EXPECT_EQ(negative.GetNumberOfColumns(), 0);
    Exceptions::ClearRecords();
}

// Joining blocks: each appended matrix lands below and to the right of what is there, the
// blocks beside it stay empty, and sizes that hold no element (0 x 1, 3 x 0) still shift the next.
struct AppendCase {
    std::vector<std::pair<int, int>> sizes;  // rows, columns of each block in turn
    unsigned seed;
};
void PrintTo(const AppendCase& c, std::ostream* os) {
    *os << c.sizes.size() << " blocks, seed " << c.seed;
}

class SparseMatrixAppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(SparseMatrixAppendTest, BlocksLandOnTheDiagonal) {
    const AppendCase& c = GetParam();
    std::mt19937 random(c.seed);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    LurmetSparseMatrix joined(0, 0);
    std::map<std::pair<int, int>, double> reference;
    int rowOffset = 0, columnOffset = 0;
    for (auto [rows, columns] : c.sizes) {
        LurmetSparseMatrix block(rows, columns);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j)
                if (share(random) < 0.4) {
                    const double v = share(random) * 10.0 - 5.0;
                    block.SetElement(i, j, v);
                    if (v != 0.0) reference[{rowOffset + i, columnOffset + j}] = v;
                }
        ASSERT_EQ(joined.AppendMatrix(block), 1);
        rowOffset += rows;
        columnOffset += columns;
        ASSERT_EQ(joined.GetNumberOfRows(), rowOffset);
        ASSERT_EQ(joined.GetNumberOfColumns(), columnOffset);
    }
    std::map<std::pair<int, int>, double> seen;
    for (const auto& [i, j, v] : Triplets(joined)) seen[{i, j}] = v;
    EXPECT_EQ(seen, reference);
    EXPECT_EQ(joined.GetNumberOfNonZeroElements(), static_cast<int>(reference.size()));
    // The joined matrix stays editable everywhere, the empty blocks beside the diagonal included.
    if (rowOffset > 0 && columnOffset > 0) {
        EXPECT_EQ(joined.SetElement(rowOffset - 1, 0, 2.5), 1);
        EXPECT_EQ(joined.GetElement(rowOffset - 1, 0), 2.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, SparseMatrixAppendTest,
                         ::testing::Values(AppendCase{{{3, 4}, {2, 2}, {5, 1}}, 1},
                                           AppendCase{{{0, 1}, {4, 3}, {0, 1}, {2, 5}}, 2},  // column-only blocks
                                           AppendCase{{{3, 0}, {0, 0}, {2, 2}}, 3},          // row-only blocks
                                           AppendCase{{{30, 16}, {43, 16}, {43, 16}}, 4}));

TEST(LurmetSparseMatrix, EmptyRowsAndColumnsAndSelfAppend) {
    Exceptions::ClearRecords();
    LurmetSparseMatrix m(2, 2);
    m.SetElement(0, 1, 3.0);
    m.SetElement(1, 0, -1.0);
    EXPECT_EQ(m.AppendEmptyRows(3), 1);
    EXPECT_EQ(m.AppendEmptyColumns(2), 1);
    EXPECT_EQ(m.AppendEmptyRows(0), 1);
    EXPECT_EQ(m.GetNumberOfRows(), 5);
    EXPECT_EQ(m.GetNumberOfColumns(), 4);
    EXPECT_EQ(m.SetElement(4, 3, 7.0), 1);
    EXPECT_EQ(Exceptions::Count(), 0u);

    // Appending a matrix to itself appends what it held before the call.
    EXPECT_EQ(m.AppendMatrix(m), 1);
    EXPECT_EQ(m.GetNumberOfRows(), 10);
    EXPECT_EQ(m.GetNumberOfColumns(), 8);
    const std::vector<std::tuple<int, int, double>> expected = {{0, 1, 3.0}, {1, 0, -1.0}, {4, 3, 7.0},
                                                                {5, 5, 3.0}, {6, 4, -1.0}, {9, 7, 7.0}};
    EXPECT_EQ(Triplets(m), expected);

    // Refused growth changes nothing.
    EXPECT_EQ(m.AppendEmptyRows(-1), 0);
    EXPECT_EQ(m.AppendEmptyColumns(std::numeric_limits<int>::max()), 0);
    LurmetSparseMatrix wide(1, std::numeric_limits<int>::max() - 2);
    EXPECT_EQ(wide.AppendMatrix(m), 0);
    EXPECT_EQ(wide.GetNumberOfRows(), 1);
    EXPECT_EQ(m.GetNumberOfRows(), 10);
    EXPECT_EQ(m.GetNumberOfColumns(), 8);
    EXPECT_EQ(m.GetNumberOfNonZeroElements(), 6);
    EXPECT_GT(Exceptions::Count(), 0u);
    Exceptions::ClearRecords();
}

}  // namespace

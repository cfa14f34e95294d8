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

}  // namespace

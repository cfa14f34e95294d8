#include "tests/support/FailingWriter.h"
#include "eng/core/SharedCallbacks.h"

#include "brasko/LurmetBinaryFile.h"
#include "dunmor/Exceptions.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
constexpr double U = kUnsetHeatValue;

struct KeyOrder {
    TemperatureKey a, b;
    int expected;
};
void PrintTo(const KeyOrder& c, std::ostream* os) {
    *os << "keys ordered " << c.expected;
}

class TemperatureKeyOrder : public ::testing::TestWithParam<KeyOrder> {};

TEST_P(TemperatureKeyOrder, ComparesAsTheCascadeRequires) {
    const KeyOrder& c = GetParam();
    EXPECT_EQ(c.expected, CompareTemperatureKeys(&c.a, &c.b));
    EXPECT_EQ(-c.expected, CompareTemperatureKeys(&c.b, &c.a));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TemperatureKeyOrder,
    ::testing::Values(KeyOrder{{100, 5, U}, {120, 1, U}, -1},   // temperature decides
                      KeyOrder{{100, 5, U}, {100, 3, U}, 1},    // both hot set: by hot value
                      KeyOrder{{100, U, U}, {100, U, U}, 0},    // both unset at one temperature: equal
                      KeyOrder{{100, U, 2}, {100, U, 7}, -1},   // by cold values
                      KeyOrder{{100, 4, U}, {100, U, 3}, 1},    // hot value stands in for a missing cold
                      KeyOrder{{100, U, 3}, {100, U, 3}, 0}));

TEST(SharedFilters, RecordValueFiltersSelectOnTheirThresholds) {
    double r[12] = {10, 0, 0, 98.9, 0, 0, 2e-8, 0, 1e-9, -3e-8, 0, 0};
    double key100 = 100.0, key10 = 10.0, key9 = 9.999;
    EXPECT_EQ(1, HasPositiveLoad(r, nullptr));
    EXPECT_EQ(0, HasNoPositiveLoad(r, nullptr));
    EXPECT_EQ(1, HasNonZeroNinthValue(r, nullptr));
    EXPECT_EQ(0, HasSignificantNinthValue(r, nullptr));
    EXPECT_EQ(1, HasSignificantTenthValue(r, nullptr));
    EXPECT_EQ(1, IsBelowNinetyNinePercent(r, &key100));
    EXPECT_EQ(1, IsAtMost(r, &key10));
    EXPECT_EQ(0, IsAtMost(r, &key9));
    CPString x("Steam"), y("Steam"), z("steam");
    EXPECT_EQ(1, IsEqualText(&x, &y));
    EXPECT_EQ(0, IsEqualText(&x, &z));
}

TEST(SharedStoreVisitors, WrittenPairsAndIntervalsReadBackInOrder) {
    auto out = LurmetBinaryFile::ForWriting();
    LurmetBinaryFile* outp = &out;
    StoreContext ctx{outp, true};
    DoublePair p{1.5, -2.5};
    IntervalEntry e{120.0, 80.0, 7};
    double d = 42.0;
    StoreEachPair(&p, &ctx);
    StoreEachInterval(&e, &ctx);
    StoreEachDouble(&d, &ctx);
    ASSERT_TRUE(ctx.ok);

    auto inFile = LurmetBinaryFile::ForReading(out.Bytes());
    LurmetBinaryFile* in = &inFile;
    RecordHandle h;
    double a = 0, b = 0, c = 0;
    std::int32_t n = 0;
    ASSERT_TRUE(in->BeginRecord(h));
    EXPECT_EQ(1, in->GetRecordVersion(h));
    ASSERT_TRUE(in->ReadDouble(a) && in->ReadDouble(b) && in->EndRecord(h));
    EXPECT_EQ(1.5, a);
    EXPECT_EQ(-2.5, b);
    ASSERT_TRUE(in->BeginRecord(h) && in->ReadDouble(a) && in->ReadDouble(b) && in->ReadInt(n) && in->EndRecord(h));
    EXPECT_EQ(7, n);
    ASSERT_TRUE(in->ReadDouble(c));
    EXPECT_EQ(42.0, c);
}


TEST(SharedStoreVisitors, FirstFailedWriteStopsTheWalk) {
    FailingWriter file(2);
    StoreContext ctx{&file, true};
    std::vector<double> values = {1, 2, 3, 4, 5};
    for (double& v : values) StoreEachDouble(&v, &ctx);
    EXPECT_FALSE(ctx.ok);
    EXPECT_EQ(3u, file.Writes()) << "two good writes, one failure, then nothing";
}
}  // namespace

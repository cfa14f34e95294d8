// The reader against damaged files: every truncation, random byte damage, and declared counts
// far beyond the bytes present. Nothing may crash, and no count read from a file may turn into
// an allocation larger than the file.
#include "brasko/LurmetBinaryFile.h"

#include "AllocationProbe.h"
#include "CaseFileSample.h"
#include "brasko/CLurmetProject.h"
#include "osmeri/CPValue.h"

#include <gtest/gtest.h>

#include <ostream>
#include <functional>
#include <random>
#include <string>

namespace {

// Builds raw case-file bytes by hand, for files no writer would produce.
struct RawBytes {
    std::vector<std::uint8_t> b =
        std::vector<std::uint8_t>(LurmetBinaryFile::Magic, LurmetBinaryFile::Magic + LurmetBinaryFile::MagicSize);
    RawBytes& u8(std::uint8_t v) { b.push_back(v); return *this; }
    RawBytes& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    RawBytes& text(const std::string& t) {
        u32(static_cast<std::uint32_t>(t.size()));
        b.insert(b.end(), t.begin(), t.end());
        return *this;
    }
    // Head of a numeric value: tag, name, kind, the number's bits, status and lock; the caller
    // adds the sub-value count.
    RawBytes& valueHead(const std::string& name) {
        u8('v').text(name).u8(0);
        for (int i = 0; i < 8; ++i) u8(0);
        return u32(1).u32(0);
    }
    RawBytes& padding(std::size_t n) { b.insert(b.end(), n, 0); return *this; }
};

TEST(LurmetBinaryFileRobustnessTest, EveryPrefixOfAFileFailsCleanly) {
    const std::vector<std::uint8_t> full = casefile_sample::Bytes();
    {
        LurmetBinaryFile whole = LurmetBinaryFile::ForReading(full);
        casefile_sample::Contents c;
        ASSERT_TRUE(casefile_sample::Read(whole, c));
    }
    for (std::size_t n = 0; n < full.size(); ++n) {
        LurmetBinaryFile r =
            LurmetBinaryFile::ForReading(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        casefile_sample::Contents c;
        EXPECT_FALSE(casefile_sample::Read(r, c)) << "prefix of " << n << " bytes read as whole";
        EXPECT_FALSE(r.Good()) << "prefix of " << n << " bytes";
    }
}

TEST(LurmetBinaryFileRobustnessTest, RandomByteDamageNeverCrashesNorOverAllocates) {
    const std::vector<std::uint8_t> full = casefile_sample::Bytes();
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<std::size_t> position(0, full.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), hits(1, 4);
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> damaged = full;
        for (int k = hits(random); k > 0; --k) damaged[position(random)] = static_cast<std::uint8_t>(byte(random));
        LurmetBinaryFile r = LurmetBinaryFile::ForReading(damaged);
        casefile_sample::Contents c;
        bool ok = true;
        const std::size_t largest = LargestAllocationDuring([&] { ok = casefile_sample::Read(r, c); });
        EXPECT_LE(largest, 4 * full.size()) << "round " << round;
        if (!ok) {
            ++failures;
            std::int32_t v = 0;
            EXPECT_FALSE(r.ReadInt(v));  // sticky after a reader's failure
        }
    }
    // Most damage lands on tags, lengths and counts and must be noticed.
    EXPECT_GT(failures, 1000);
}

// Declared lengths and counts far beyond the bytes present fail before any memory is taken.
struct HugeCountCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::function<bool(LurmetBinaryFile&)> read;
};

class HugeDeclaredCount : public ::testing::TestWithParam<HugeCountCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const HugeCountCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HugeDeclaredCount, FailsWithoutAllocating) {
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(GetParam().bytes);
    bool ok = true;
    const std::size_t largest = LargestAllocationDuring([&] { ok = GetParam().read(r); });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(r.Good());
    EXPECT_LT(largest, 4096u);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, HugeDeclaredCount,
    ::testing::Values(
        HugeCountCase{"CPStringLength", RawBytes().u8('s').u32(0xFFFFFFF0u).padding(16).b,
                      [](LurmetBinaryFile& f) { CPString s; return f.ReadCPString(s); }},
        HugeCountCase{"CountedStringLength", RawBytes().u8('i').u32(0x7FFFFFFFu).u8('c').u8('a').b,
                      [](LurmetBinaryFile& f) { CPString s; return f.ReadCountedString(s); }},
        HugeCountCase{"NegativeCountedStringLength", RawBytes().u8('i').u32(0xFFFFFFFFu).u8('c').u8(0).b,
                      [](LurmetBinaryFile& f) { CPString s; return f.ReadCountedString(s); }},
        HugeCountCase{"ValueNameLength", RawBytes().u8('v').u32(0x40000000u).padding(32).b,
                      [](LurmetBinaryFile& f) { CPValue v; return f.ReadCPValue(v); }},
        HugeCountCase{"ValueSubCount", RawBytes().valueHead("root").u32(0x7FFFFFFFu).padding(64).b,
                      [](LurmetBinaryFile& f) { CPValue v; return f.ReadCPValue(v); }},
        HugeCountCase{"RecordLength", RawBytes().u8('R').u32(1).u32(0xFFFFFF00u).padding(8).b,
                      [](LurmetBinaryFile& f) { RecordHandle h; return f.BeginRecord(h); }},
        HugeCountCase{"ProjectNoteCount",
                      RawBytes().u8('R').u32(1).u32(4 * 5 + 5).u8('s').u32(0).u8('s').u32(0).u8('s').u32(0)
                          .u8('s').u32(0).u8('i').u32(0x7FFFFFFFu).b,
                      [](LurmetBinaryFile& f) { CLurmetProject p; return p.Recall(f); }}),
    [](const ::testing::TestParamInfo<HugeCountCase>& info) { return std::string(info.param.name); });

TEST(LurmetBinaryFileRobustnessTest, DeeplyNestedValueIsRefusedWithoutDeepRecursion) {
    // Ten thousand nested values, each claiming one sub-value: the reader stops at its bound.
    RawBytes raw;
    for (int i = 0; i < 10000; ++i) raw.valueHead("n").u32(1);
    raw.valueHead("leaf").u32(0);
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(raw.b);
    CPValue v("keep");
    EXPECT_FALSE(r.ReadCPValue(v));
    EXPECT_EQ(v.GetName(), "keep");  // nothing already in memory is lost

    // The same shape at the bound reads.
    RawBytes ok;
    for (int i = 1; i < LurmetBinaryFile::MaxValueDepth; ++i) ok.valueHead("n").u32(1);
    ok.valueHead("leaf").u32(0);
    LurmetBinaryFile r2 = LurmetBinaryFile::ForReading(ok.b);
    EXPECT_TRUE(r2.ReadCPValue(v));
}

TEST(LurmetBinaryFileRobustnessTest, DamagedValueKindIsRefused) {
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(RawBytes().u8('v').text("x").u8(7).padding(32).b);
    CPValue v;
    EXPECT_FALSE(r.ReadCPValue(v));
}

}  // namespace

namespace {

// A reader may give up one record after a failed read inside it and read on after it; nothing
// else lets it out of a failure.
TEST(LurmetBinaryFileRobustnessTest, AbandoningARecordSkipsItWholeAndClearsTheFailure) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle outer, inner, nested;
    ASSERT_TRUE(out.BeginRecord(outer, 1) && out.BeginRecord(inner, 1) && out.WriteInt(5) && out.BeginRecord(nested, 1) &&
                out.WriteDouble(1.5) && out.EndRecord(nested) && out.EndRecord(inner) && out.WriteInt(9) &&
                out.EndRecord(outer));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    RecordHandle o, i, n;
    ASSERT_TRUE(in.BeginRecord(o) && in.BeginRecord(i));
    std::int32_t value = 0;
    double d = 0;
    ASSERT_TRUE(in.ReadInt(value) && in.BeginRecord(n));
    EXPECT_FALSE(in.ReadInt(value));  // a double is there
    EXPECT_FALSE(in.Good());
    // The handle of a record that is not open (the outer one's later sibling) does not help.
    RecordHandle stranger;
    EXPECT_FALSE(in.AbandonRecord(stranger));
    EXPECT_TRUE(in.AbandonRecord(i));  // closes the nested record as well
    EXPECT_TRUE(in.Good());
    EXPECT_EQ(in.OpenRecords(), 1);
    ASSERT_TRUE(in.ReadInt(value));
    EXPECT_EQ(value, 9);
    EXPECT_TRUE(in.EndRecord(o));
    EXPECT_FALSE(in.ReadDouble(d));  // nothing is left
}

}  // namespace

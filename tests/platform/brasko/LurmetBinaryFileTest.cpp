#include "brasko/LurmetBinaryFile.h"

#include "CaseFileSample.h"
#include "osmeri/CPValue.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

LurmetBinaryFile Reread(const LurmetBinaryFile& writer) { return LurmetBinaryFile::ForReading(writer.Bytes()); }

TEST(LurmetBinaryFileTest, NestedRecordsRoundTripEveryField) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(casefile_sample::Write(w));
    EXPECT_EQ(w.OpenRecords(), 0);
    EXPECT_TRUE(w.Commit());  // no path: bytes stay in memory

    LurmetBinaryFile r = Reread(w);
    casefile_sample::Contents c;
    ASSERT_TRUE(casefile_sample::Read(r, c));
    EXPECT_TRUE(c.flag);
    EXPECT_EQ(c.count, -42);
    EXPECT_EQ(c.big, 2000000000);
    EXPECT_EQ(c.ratio, 3.25);
    EXPECT_EQ(c.mark, 'Q');
    EXPECT_EQ(c.title, "Crude unit");
    EXPECT_TRUE(c.tree == casefile_sample::SampleTree());
    EXPECT_EQ(c.label, "HX-101");
    EXPECT_EQ(c.innerCode, 7);
    EXPECT_EQ(c.innerName, "inner");
    EXPECT_EQ(c.deepest, -0.5);
    EXPECT_EQ(c.projectName, "Refinery");
    EXPECT_EQ(c.projectNotes, 1);
    EXPECT_EQ(c.trailer, 99);
    EXPECT_EQ(r.BytesLeft(), 0u);
    EXPECT_TRUE(r.Good());
}

TEST(LurmetBinaryFileTest, LayoutIsLittleEndianWithMagicTagsAndPatchedLength) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    ASSERT_TRUE(w.BeginRecord(h, 5));
    ASSERT_TRUE(w.WriteInt(0x01020304));
    ASSERT_TRUE(w.EndRecord(h));
    const std::vector<std::uint8_t> expected = {'K', 'S', 'T', 'R', 'N', 'C', 'F', '1',  // magic
                                                'R', 5, 0, 0, 0,                         // version
                                                5, 0, 0, 0,                              // body length
                                                'i', 4, 3, 2, 1};
    EXPECT_EQ(w.Bytes(), expected);
}

// Integer reads accept what any of the three integer-like writes wrote.
struct IntegerCase {
    const char* name;
    std::function<bool(LurmetBinaryFile&)> write;
    bool readAsLong;
    std::int32_t expected;
};

class IntegerAcceptance : public ::testing::TestWithParam<IntegerCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const IntegerCase& c, std::ostream* os) { *os << c.name; }

TEST_P(IntegerAcceptance, ReadsTheWrittenValue) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(GetParam().write(w));
    LurmetBinaryFile r = Reread(w);
    std::int32_t v = -1;
    ASSERT_TRUE(GetParam().readAsLong ? r.ReadLong(v) : r.ReadInt(v));
    EXPECT_EQ(v, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, IntegerAcceptance,
    ::testing::Values(IntegerCase{"BoolTrueAsInt", [](LurmetBinaryFile& f) { return f.WriteBool(true); }, false, 1},
                      IntegerCase{"LongAsInt", [](LurmetBinaryFile& f) { return f.WriteLong(-123456); }, false, -123456},
                      IntegerCase{"IntAsLong", [](LurmetBinaryFile& f) { return f.WriteInt(2147483647); }, true, 2147483647},
                      IntegerCase{"MinInt", [](LurmetBinaryFile& f) { return f.WriteInt(-2147483647 - 1); }, false,
                                  -2147483647 - 1}),
    [](const ::testing::TestParamInfo<IntegerCase>& info) { return std::string(info.param.name); });

TEST(LurmetBinaryFileTest, CountedStringCountsTheTerminatingZero) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(w.WriteCountedString("abc"));
    ASSERT_TRUE(w.WriteCountedString(""));
    // "abc": WriteInt 4, then 'a' 'b' 'c' '\0' as tagged chars.
    const std::vector<std::uint8_t> abc = {'i', 4, 0, 0, 0, 'c', 'a', 'c', 'b', 'c', 'c', 'c', 0};
    ASSERT_GE(w.Bytes().size(), LurmetBinaryFile::MagicSize + abc.size());
    EXPECT_TRUE(std::equal(abc.begin(), abc.end(), w.Bytes().begin() + LurmetBinaryFile::MagicSize));

    LurmetBinaryFile r = Reread(w);
    CPString a = "old", b = "old";
    ASSERT_TRUE(r.ReadCountedString(a));
    ASSERT_TRUE(r.ReadCountedString(b));
    EXPECT_EQ(a, "abc");
    EXPECT_EQ(b, "");
    EXPECT_EQ(r.BytesLeft(), 0u);
}

TEST(LurmetBinaryFileTest, ValueTreeRoundTripKeepsStatusLockTextAndOrder) {
    CPValue root = casefile_sample::SampleTree();
    // An empty number that still carries a status must come back exactly as it was.
    CPValue* odd = root.AddSubValue("Odd");
    odd->SetStatus(CPValue::Calculated);
    odd->_set_nLockStatus(7);
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(w.WriteCPValue(root));
    LurmetBinaryFile r = Reread(w);
    CPValue back;
    ASSERT_TRUE(r.ReadCPValue(back));
    EXPECT_TRUE(back == root);
    ASSERT_EQ(back.GetNumberOfSubValues(), 3u);
    EXPECT_EQ(back.GetLockStatus(), 1);
    EXPECT_EQ(back.GetSubValue(0)->GetSubValue(1)->GetName(), "Outlet");
    EXPECT_TRUE(back.GetSubValue(0)->GetSubValue(1)->IsEmpty());
    EXPECT_TRUE(back.GetSubValue(1)->IsText());
    EXPECT_EQ(back.GetSubValue(1)->GetText(), "H1 feed");
    EXPECT_EQ(back.GetSubValue(1)->GetStatus(), CPValue::Specified);
    EXPECT_EQ(back.GetSubValue(2)->GetStatus(), CPValue::Calculated);
    EXPECT_EQ(back.GetSubValue(2)->GetLockStatus(), 7);
}

TEST(LurmetBinaryFileTest, EndRecordSkipsTrailingFieldsOfANewerWriter) {
    // A newer writer appended a double, a value tree and a sub-record to a version-2 record.
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h, extra;
    ASSERT_TRUE(w.BeginRecord(h, 2) && w.WriteInt(11) && w.WriteDouble(2.5) &&
                w.WriteCPValue(casefile_sample::SampleTree()) && w.BeginRecord(extra, 1) && w.WriteInt(5) &&
                w.EndRecord(extra) && w.EndRecord(h) && w.WriteCPString("next"));

    // An older reader knows only the first field.
    LurmetBinaryFile r = Reread(w);
    RecordHandle rh;
    std::int32_t first = 0;
    CPString next;
    ASSERT_TRUE(r.BeginRecord(rh) && r.ReadInt(first) && r.EndRecord(rh) && r.ReadCPString(next));
    EXPECT_EQ(first, 11);
    EXPECT_EQ(next, "next");
}

TEST(LurmetBinaryFileTest, ReadsStopAtTheEndOfTheRecord) {
    // A reader expecting more fields than the record holds must not read into what follows.
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    ASSERT_TRUE(w.BeginRecord(h, 1) && w.WriteInt(1) && w.EndRecord(h) && w.WriteInt(2));
    LurmetBinaryFile r = Reread(w);
    RecordHandle rh;
    std::int32_t a = 0, b = 0;
    ASSERT_TRUE(r.BeginRecord(rh) && r.ReadInt(a));
    EXPECT_FALSE(r.ReadInt(b));
    EXPECT_EQ(b, 0);
    // The failure sticks, although closing the record and reading on would otherwise work.
    EXPECT_FALSE(r.EndRecord(rh));
    EXPECT_FALSE(r.ReadInt(b));
    EXPECT_EQ(b, 0);
}

TEST(LurmetBinaryFileTest, SkipRecordPassesOverAWholeRecord) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle a, inner, b;
    ASSERT_TRUE(w.BeginRecord(a, 4) && w.WriteCPValue(casefile_sample::SampleTree()) && w.BeginRecord(inner, 1) &&
                w.WriteCountedString("skip me") && w.EndRecord(inner) && w.EndRecord(a) && w.BeginRecord(b, 9) &&
                w.WriteDouble(1.5) && w.EndRecord(b));
    LurmetBinaryFile r = Reread(w);
    RecordHandle rb;
    double d = 0;
    ASSERT_TRUE(r.SkipRecord());
    ASSERT_TRUE(r.BeginRecord(rb) && r.ReadDouble(d) && r.EndRecord(rb));
    EXPECT_EQ(r.GetRecordVersion(rb), 9);
    EXPECT_EQ(d, 1.5);
    // Nothing left: skipping again fails.
    EXPECT_FALSE(r.SkipRecord());
}

// A read of the wrong type fails, leaves its output alone and fails every later read.
struct MismatchCase {
    const char* name;
    std::function<bool(LurmetBinaryFile&)> write;
    std::function<bool(LurmetBinaryFile&)> read;
};

class TagMismatch : public ::testing::TestWithParam<MismatchCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const MismatchCase& c, std::ostream* os) { *os << c.name; }

TEST_P(TagMismatch, FailsAndStaysFailed) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(GetParam().write(w));
    ASSERT_TRUE(w.WriteInt(5));
    LurmetBinaryFile r = Reread(w);
    EXPECT_FALSE(GetParam().read(r));
    EXPECT_FALSE(r.Good());
    std::int32_t v = 0;
    EXPECT_FALSE(r.ReadInt(v));  // sticky, whatever follows
}

INSTANTIATE_TEST_SUITE_P(
    Reads, TagMismatch,
    ::testing::Values(
        MismatchCase{"DoubleAsInt", [](LurmetBinaryFile& f) { return f.WriteDouble(1.0); },
                     [](LurmetBinaryFile& f) { std::int32_t v = 3; return f.ReadInt(v) || v != 3; }},
        MismatchCase{"CharAsBool", [](LurmetBinaryFile& f) { return f.WriteChar('x'); },
                     [](LurmetBinaryFile& f) { bool v = false; return f.ReadBool(v); }},
        MismatchCase{"StringAsValue", [](LurmetBinaryFile& f) { return f.WriteCPString("x"); },
                     [](LurmetBinaryFile& f) { CPValue v("keep"); return f.ReadCPValue(v) || v.GetName() != "keep"; }},
        MismatchCase{"RecordAsInt",
                     [](LurmetBinaryFile& f) { RecordHandle h; return f.BeginRecord(h, 1) && f.EndRecord(h); },
                     [](LurmetBinaryFile& f) { std::int32_t v = 0; return f.ReadInt(v); }},
        MismatchCase{"StringAsCountedString", [](LurmetBinaryFile& f) { return f.WriteCPString("abc"); },
                     [](LurmetBinaryFile& f) { CPString v; return f.ReadCountedString(v); }}),
    [](const ::testing::TestParamInfo<MismatchCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- disk

class LurmetBinaryFileDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("kestrin_brasko_" + std::to_string(::getpid()) + "_" +
                                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    CPString Path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

TEST_F(LurmetBinaryFileDiskTest, CommitThenOpenForReadRoundTrips) {
    LurmetBinaryFile w;
    ASSERT_TRUE(w.OpenForWrite(Path("case.ks")));
    ASSERT_TRUE(casefile_sample::Write(w));
    ASSERT_TRUE(w.Close());
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()))
        << "the save left no temporary file beside the case";

    LurmetBinaryFile r;
    ASSERT_TRUE(r.OpenForRead(Path("case.ks")));
    EXPECT_EQ(r.GetFileName(), Path("case.ks"));
    casefile_sample::Contents c;
    EXPECT_TRUE(casefile_sample::Read(r, c));
    EXPECT_EQ(c.trailer, 99);
    EXPECT_TRUE(r.Close());
}

TEST_F(LurmetBinaryFileDiskTest, FailedStoreLeavesTheOldFileIntact) {
    LurmetBinaryFile good;
    ASSERT_TRUE(good.OpenForWrite(Path("case.ks")) && good.WriteInt(1) && good.Close());
    const auto before = std::filesystem::file_size(dir_ / "case.ks");

    LurmetBinaryFile open;  // a record left open
    RecordHandle h;
    ASSERT_TRUE(open.OpenForWrite(Path("case.ks")) && open.BeginRecord(h, 1) && open.WriteInt(2));
    EXPECT_FALSE(open.Close());

    LurmetBinaryFile failed;  // a failed write
    RecordHandle stray;
    ASSERT_TRUE(failed.OpenForWrite(Path("case.ks")));
    EXPECT_FALSE(failed.EndRecord(stray));
    EXPECT_FALSE(failed.WriteInt(3));
    EXPECT_FALSE(failed.Commit());

    EXPECT_EQ(std::filesystem::file_size(dir_ / "case.ks"), before);
    LurmetBinaryFile r;
    std::int32_t v = 0;
    ASSERT_TRUE(r.OpenForRead(Path("case.ks")) && r.ReadInt(v));
    EXPECT_EQ(v, 1);
}

// The bytes reach the temporary file but cannot take the place of a directory: the commit fails
// and leaves no temporary file behind.
TEST_F(LurmetBinaryFileDiskTest, AFailedCommitLeavesNoTemporaryFile) {
    std::filesystem::create_directories(dir_ / "taken.ks");
    LurmetBinaryFile w;
    ASSERT_TRUE(w.OpenForWrite(Path("taken.ks")) && w.WriteInt(1));
    EXPECT_FALSE(w.Commit());
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken.ks"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()))
        << "no temporary file beside the directory";
}

TEST_F(LurmetBinaryFileDiskTest, UnreadableOrForeignFilesAreRefused) {
    LurmetBinaryFile missing;
    EXPECT_FALSE(missing.OpenForRead(Path("absent.ks")));
    EXPECT_FALSE(missing.Good());

    std::ofstream(dir_ / "foreign.txt") << "not a case file";
    LurmetBinaryFile foreign;
    EXPECT_FALSE(foreign.OpenForRead(Path("foreign.txt")));

    std::ofstream(dir_ / "empty.ks").close();
    LurmetBinaryFile empty;
    EXPECT_FALSE(empty.OpenForRead(Path("empty.ks")));

    LurmetBinaryFile nowhere;
    ASSERT_TRUE(nowhere.OpenForWrite(Path("no/such/dir/case.ks")) && nowhere.WriteInt(1));
    EXPECT_FALSE(nowhere.Commit());
}

}  // namespace

// A writer with a path streams its bytes into the temporary file beside the target: the file it
// commits must be byte for byte what the same fields give in memory, however the records fall
// against the writer's spills, and a read-back must read the temporary file as the case it is.
#include "brasko/LurmetBinaryFile.h"

#include "osmeri/CPValue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Shape {
    const char* name;
    int outer;  // outer records
    int inner;  // records inside each, each with a few fields and a value tree
};

// A failing case is named by its name, not by its bytes.
void PrintTo(const Shape& c, std::ostream* os) { *os << c.name; }

// Nested records of doubles, strings and value trees; `bound` learns the most bytes the writer
// held at once.
bool WriteShape(LurmetBinaryFile& f, const Shape& s, std::size_t& bound) {
    bool ok = true;
    bound = 0;
    for (int o = 0; o < s.outer && ok; ++o) {
        RecordHandle outer;
        ok = f.BeginRecord(outer, 3) && f.WriteCPString("outer " + std::to_string(o));
        for (int i = 0; i < s.inner && ok; ++i) {
            RecordHandle inner;
            CPValue tree("Variables");
            tree.AddSubValue("T")->SetValue(100.0 + i, CPValue::Specified);
            tree.AddSubValue("Name")->SetText("stream " + std::to_string(i), CPValue::Specified);
            ok = f.BeginRecord(inner, 1) && f.WriteInt(i) && f.WriteDouble(o * 0.5 + i) && f.WriteBool(i % 2 == 0) &&
                 f.WriteChar('x') && f.WriteCPValue(tree) && f.EndRecord(inner);
            bound = std::max(bound, f.Bytes().size());
        }
        ok = ok && f.WriteLong(o) && f.EndRecord(outer);
    }
    return ok;
}

class StreamedCaseWriterTest : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kestrin_streamed_" + std::to_string(::getpid()) + "_" + GetParam().name);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path() const { return (dir_ / "case.ks").string(); }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
    }
    std::filesystem::path dir_;
};

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_P(StreamedCaseWriterTest, CommitsTheBytesOfTheSameFieldsInMemoryAndHoldsLittle) {
    const Shape shape = GetParam();
    LurmetBinaryFile memory = LurmetBinaryFile::ForWriting();
    std::size_t unbounded = 0;
    ASSERT_TRUE(WriteShape(memory, shape, unbounded));
    const std::vector<std::uint8_t> expected = LurmetBinaryFile::CheckedImage(memory.Bytes());

    LurmetBinaryFile disk;
    ASSERT_TRUE(disk.OpenForWrite(Path()));
    std::size_t held = 0;
    ASSERT_TRUE(WriteShape(disk, shape, held));
    // The spill comes at the end of a field, so a few hundred bytes past it at most.
    EXPECT_LT(held, LurmetBinaryFile::SpillBytes + 1024) << "the writer kept the case in memory";
    ASSERT_TRUE(disk.Commit());
    EXPECT_TRUE(disk.Commit()) << "a second commit of a committed writer changes nothing";
    EXPECT_EQ(FileBytes(Path()), expected);
    EXPECT_EQ(FilesInDir(), 1u) << "no temporary file is left beside the case";
}

// Reads back what WriteShape wrote, checking every field.
bool ReadShape(LurmetBinaryFile& f, const Shape& s) {
    for (int o = 0; o < s.outer; ++o) {
        RecordHandle outer;
        CPString name;
        std::int32_t last = -1;
        if (!f.BeginRecord(outer) || !f.ReadCPString(name) || name != "outer " + std::to_string(o)) return false;
        for (int i = 0; i < s.inner; ++i) {
            RecordHandle inner;
            std::int32_t n = -1;
            double d = 0;
            bool b = false;
            char c = 0;
            CPValue tree;
            if (!f.BeginRecord(inner) || !f.ReadInt(n) || !f.ReadDouble(d) || !f.ReadBool(b) || !f.ReadChar(c) ||
                !f.ReadCPValue(tree) || !f.EndRecord(inner))
                return false;
            const CPValue* text = tree.GetNumberOfSubValues() == 2 ? tree.GetSubValue(1) : nullptr;
            if (n != i || d != o * 0.5 + i || b != (i % 2 == 0) || c != 'x' || !text ||
                text->GetText() != "stream " + std::to_string(i))
                return false;
        }
        if (!f.ReadLong(last) || last != o || !f.EndRecord(outer)) return false;
    }
    return f.AtEnd();
}

TEST_P(StreamedCaseWriterTest, ReadBackReadsTheTemporaryFileBeforeTheCommit) {
    const Shape shape = GetParam();
    std::ofstream(Path(), std::ios::binary) << "the old case";
    LurmetBinaryFile w;
    std::size_t held = 0;
    ASSERT_TRUE(w.OpenForWrite(Path()) && WriteShape(w, shape, held));
    {
        LurmetBinaryFile r = w.ReadBack();
        ASSERT_TRUE(r.Good()) << r.ErrorText();
        EXPECT_TRUE(r.IsChecked());
        EXPECT_TRUE(ReadShape(r, shape));
    }
    EXPECT_EQ(FileBytes(Path()), std::vector<std::uint8_t>({'t', 'h', 'e', ' ', 'o', 'l', 'd', ' ', 'c', 'a', 's', 'e'}))
        << "the old case stays until the commit";
    ASSERT_TRUE(w.Commit()) << w.ErrorText();
    LurmetBinaryFile reopened;
    ASSERT_TRUE(reopened.OpenForRead(Path()));
    EXPECT_TRUE(ReadShape(reopened, shape));
}

TEST_P(StreamedCaseWriterTest, AWriterDroppedUncommittedLeavesOnlyTheOldFile) {
    std::ofstream(Path(), std::ios::binary) << "the old case";
    {
        LurmetBinaryFile w;
        std::size_t held = 0;
        ASSERT_TRUE(w.OpenForWrite(Path()) && WriteShape(w, GetParam(), held));
    }
    EXPECT_EQ(FileBytes(Path()).size(), 12u);
    EXPECT_EQ(FilesInDir(), 1u);
}

// The checksum is on disk once a writer is read back: a field after it would be lost, so it is
// refused and the writer stays failed (its commit too).
TEST_P(StreamedCaseWriterTest, AFieldAfterTheReadBackIsRefused) {
    LurmetBinaryFile w;
    std::size_t held = 0;
    ASSERT_TRUE(w.OpenForWrite(Path()) && WriteShape(w, GetParam(), held));
    ASSERT_TRUE(w.ReadBack().Good());
    EXPECT_FALSE(w.WriteInt(1));
    EXPECT_FALSE(w.Commit());
    EXPECT_FALSE(std::filesystem::exists(Path()));
    EXPECT_EQ(FilesInDir(), 0u);
}

// Sizes against the spill: a case that never spills, one that spills once in its last records,
// and one whose outer records stay open over many spills (their lengths patched on disk).
INSTANTIATE_TEST_SUITE_P(Sizes, StreamedCaseWriterTest,
                         ::testing::Values(Shape{"SmallCaseNeverSpills", 3, 4},
                                           Shape{"SpillsOnceNearTheEnd", 1, 50000},
                                           Shape{"OuterRecordsOpenOverManySpills", 4, 90000}),
                         [](const ::testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

}  // namespace

// The case file on disk: a checksum over the whole file, nothing after the last record, no NaN or
// infinity taken for a value, and the older unchecked form still read.
#include "brasko/LurmetBinaryFile.h"

#include "dunmor/Crc32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace {

// One record holding a double and a string.
std::vector<std::uint8_t> OneRecord(double value) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    EXPECT_TRUE(w.BeginRecord(h, 1));
    EXPECT_TRUE(w.WriteDouble(value));
    EXPECT_TRUE(w.WriteCPString("HP Steam"));
    EXPECT_TRUE(w.EndRecord(h));
    return w.Bytes();
}

// Reads the record back: whether it read, and whether the reader then stands at the file's end.
struct ReadBack {
    bool good = false, atEnd = false, checked = false;
    double value = 0.0;
};
ReadBack Read(std::vector<std::uint8_t> bytes) {
    ReadBack r;
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(std::move(bytes));
    RecordHandle h;
    CPString name;
    r.good = file.BeginRecord(h) && file.ReadDouble(r.value) && file.ReadCPString(name) && file.EndRecord(h);
    r.atEnd = file.AtEnd();
    r.checked = file.IsChecked();
    return r;
}

TEST(CaseFileChecksum, Crc32GivesTheStandardCheckValue) {
    EXPECT_EQ(crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32("6789", 4, crc32("12345", 5)), 0xCBF43926u) << "continues an earlier result";
}

struct DamageCase {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    bool good, atEnd, checked;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }
class CaseFileImage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(CaseFileImage, ReadsOnlyWhatItCanTrust) {
    std::vector<std::uint8_t> image = LurmetBinaryFile::CheckedImage(OneRecord(20.0));
    GetParam().damage(image);
    const ReadBack r = Read(image);
    EXPECT_EQ(r.good, GetParam().good);
    EXPECT_EQ(r.atEnd, GetParam().atEnd);
    EXPECT_EQ(r.checked, GetParam().checked);
    if (r.good) {
        EXPECT_DOUBLE_EQ(r.value, 20.0);
    }
}

// Rewrites a checked image as the older form: first magic, no trailer.
void ToOlderForm(std::vector<std::uint8_t>& b) {
    b.resize(b.size() - LurmetBinaryFile::ChecksumSize);
    std::memcpy(b.data(), LurmetBinaryFile::Magic, LurmetBinaryFile::MagicSize);
}
// Moves the checksum so that it covers bytes appended before it.
void AppendChecked(std::vector<std::uint8_t>& b, std::uint8_t extra) {
    b.resize(b.size() - LurmetBinaryFile::ChecksumSize);
    b.push_back(extra);
    const std::uint32_t sum = crc32(b.data(), b.size());
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, CaseFileImage,
    ::testing::Values(
        DamageCase{"Intact", [](auto&) {}, true, true, true},
        // Three bits of the double 20 flipped: a plausible other number, caught by the checksum.
        DamageCase{"BitsFlipped", [](auto& b) { b[b.size() / 2] ^= 0x07; }, false, false, false},
        DamageCase{"Truncated", [](auto& b) { b.pop_back(); }, false, false, false},
        DamageCase{"TrailerOnly", [](auto& b) { b.resize(LurmetBinaryFile::MagicSize + 3); }, false, false, false},
        // A byte after the last record, under a checksum that matches: read, but not at the end.
        DamageCase{"TrailingByte", [](auto& b) { AppendChecked(b, 'x'); }, true, false, true},
        DamageCase{"OlderForm", ToOlderForm, true, true, false},
        DamageCase{"OlderFormTrailingByte", [](auto& b) { ToOlderForm(b); b.push_back(0); }, true, false, false}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(CaseFileChecksum, NaNAndInfinityAreRefusedAsDamage) {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        const ReadBack r = Read(OneRecord(bad));
        EXPECT_FALSE(r.good) << bad;
        EXPECT_FALSE(r.atEnd) << bad;
    }
}

}  // namespace

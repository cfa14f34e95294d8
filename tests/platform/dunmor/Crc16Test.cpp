#include "dunmor/Crc16.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct CrcCase {
    const char* text;
    std::uint16_t crc;
};
void PrintTo(const CrcCase& c, std::ostream* os) {
    *os << "\"" << c.text << "\": " << c.crc;
}

class Crc16Test : public ::testing::TestWithParam<CrcCase> {};

TEST_P(Crc16Test, KnownValues) {
    const CrcCase& c = GetParam();
    EXPECT_EQ(crc16(c.text, std::strlen(c.text)), c.crc);
}

// CRC-16/ARC check value and hand-worked short inputs.
INSTANTIATE_TEST_SUITE_P(Arc, Crc16Test,
                         ::testing::Values(CrcCase{"123456789", 0xBB3D}, CrcCase{"", 0x0000}, CrcCase{"A", 0x30C0}));

TEST(Crc16ChainTest, RunningValueContinuesAcrossPieces) {
    const char* text = "123456789";
    const std::uint16_t first = crc16(text, 4);
    EXPECT_EQ(crc16(text + 4, 5, first), 0xBB3D);
}

}  // namespace

#include "dunmor/Utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::size_t length;  // 0: not UTF-8
    std::uint32_t code;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }

class DecodeUtf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(DecodeUtf8Test, ReadsOneCharacterOrRefusesTheBytes) {
    const Utf8Case& c = GetParam();
    std::uint32_t code = 0xFFFFFFFFu;
    EXPECT_EQ(c.length, DecodeUtf8(c.bytes, 0, code));
    if (c.length) {
        EXPECT_EQ(c.code, code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodeUtf8Test,
    ::testing::Values(Utf8Case{"ascii", "A", 1, 0x41}, Utf8Case{"twoBytes", "\xC3\xA9", 2, 0xE9},
                      Utf8Case{"threeBytes", "\xE2\x82\xAC", 3, 0x20AC},
                      Utf8Case{"fourBytes", "\xF0\x9F\x94\xA5", 4, 0x1F525},
                      Utf8Case{"lastCodePoint", "\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
                      Utf8Case{"strayContinuation", "\x80", 0, 0}, Utf8Case{"windowsDegree", "\xB0" "C", 0, 0},
                      Utf8Case{"cutSequence", "\xE2\x82", 0, 0}, Utf8Case{"brokenSequence", "\xE2" "A\xAC", 0, 0},
                      Utf8Case{"overlongTwo", "\xC0\x80", 0, 0}, Utf8Case{"overlongThree", "\xE0\x80\x80", 0, 0},
                      Utf8Case{"overlongFour", "\xF0\x80\x80\x80", 0, 0},
                      Utf8Case{"surrogate", "\xED\xA0\x80", 0, 0},
                      Utf8Case{"pastLastCodePoint", "\xF4\x90\x80\x80", 0, 0},
                      Utf8Case{"fiveByteLead", "\xF8\x88\x80\x80\x80", 0, 0}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

// A character in the middle of a text is read where it starts, and only as far as the text goes.
TEST(DecodeUtf8, ReadsAtItsPositionWithinTheText) {
    const std::string text = "T = 120\xC2\xB0" "C\xE2\x82";
    std::uint32_t code = 0;
    EXPECT_EQ(2u, DecodeUtf8(text, 7, code));
    EXPECT_EQ(0xB0u, code);
    EXPECT_EQ(1u, DecodeUtf8(text, 9, code));
    EXPECT_EQ(0u, DecodeUtf8(text, 10, code));
}

// A text laid out at so many pixels a character counts each character once, whatever its bytes:
// "120 degrees C" written with the degree sign is five characters in six bytes; a three-byte and a four-byte character count one each.
TEST(Utf8Characters, CountsCharactersNotBytes) {
    EXPECT_EQ(0u, Utf8Characters(""));
    EXPECT_EQ(4u, Utf8Characters("E101"));
    EXPECT_EQ(5u, Utf8Characters("120\xC2\xB0" "C"));
    EXPECT_EQ(3u, Utf8Characters("\xE2\x82\xAC" "\xF0\x9F\x94\xA5" "x"));
}

}  // namespace

#pragma once
// Reading UTF-8 one character at a time, for the writers of JSON and SVG that must not pass on
// bytes that are not UTF-8 (names from older cases were typed in a Windows code page). Header
// only, so that the host, which links none of the module's libraries, reads text the same way.
#include <cstddef>
#include <cstdint>
#include <string_view>

// The length (1 to 4) of the well-formed UTF-8 character at `i` of `s`, its code point in `code`;
// 0 where the bytes are none: a stray continuation byte, a cut sequence, an overlong form, a
// surrogate or a code point past U+10FFFF.
inline std::size_t DecodeUtf8(std::string_view s, std::size_t i, std::uint32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length;
    std::uint32_t least;
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) length = 2, code = b0 & 0x1F, least = 0x80;
    else if ((b0 & 0xF0) == 0xE0) length = 3, code = b0 & 0x0F, least = 0x800;
    else if ((b0 & 0xF8) == 0xF0) length = 4, code = b0 & 0x07, least = 0x10000;
    else return 0;
    if (i + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

// The characters of UTF-8 text, counted by the bytes that start one (every byte but a
// continuation byte): what a writer lays out at so many pixels a character.
inline std::size_t Utf8Characters(std::string_view s) {
    std::size_t chars = 0;
    for (const char c : s) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars;
}

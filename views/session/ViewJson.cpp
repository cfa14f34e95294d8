#include "views/session/ViewJson.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// The length of the UTF-8 character at `i`, or 0 where the bytes are none (a stray continuation
// byte, a cut sequence, an overlong form, a surrogate or a code point past U+10FFFF).
std::size_t utf8Length(const Text& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length;
    std::uint32_t code, least;
    if (b0 < 0x80) return 1;
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

}  // namespace

// A name from a case written before names were held to UTF-8 may hold other bytes: each such
// byte is shown as U+FFFD, so the document stays JSON whatever the case holds.
Text ViewJsonText(const Text& s) {
    Text out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = utf8Length(s, i);
        const auto c = static_cast<unsigned char>(s[i]);
        if (length == 0) out += "\xEF\xBF\xBD";
        else if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) out += FormattedText("\\u%04x", c);
        else out.append(s, i, length);
        i += length == 0 ? 1 : length;
    }
    return out + "\"";
}

Text ViewJsonNumber(double v) { return std::isfinite(v) ? FormattedText("%.10g", v) : Text("null"); }

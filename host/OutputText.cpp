#include "host/OutputText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Decodes one UTF-8 character at `i`; answers its length (0 when the bytes are not valid UTF-8:
// overlong forms, surrogates and code points past U+10FFFF included).
std::size_t decode(const std::string& s, std::size_t i, std::uint32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length;
    std::uint32_t min;
    if (b0 < 0x80) {
        code = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, code = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, code = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool isControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

}  // namespace

bool IsUtf8(const std::string& text) {
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = decode(text, i, code);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t code = 0;
        const std::size_t length = decode(text, i, code);
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        if (code == '"') {
            out += "\\\"";
        } else if (code == '\\') {
            out += "\\\\";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\t') {
            out += "\\t";
        } else if (isControl(code)) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(code));
            out += buffer;
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out + "\"";
}

std::string PrintableText(const std::string& text, std::size_t maxChars) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (chars == maxChars) {
            out += "...";
            break;
        }
        std::uint32_t code = 0;
        const std::size_t length = decode(text, i, code);
        if (length == 0 || isControl(code)) {
            out += '?';
            i += length == 0 ? 1 : length;
        } else {
            out.append(text, i, length);
            i += length;
        }
        ++chars;
    }
    return out;
}

std::string QuotedField(const std::string& text) { return "\"" + PrintableText(text, 40) + "\""; }

std::string JsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    // Past 1e9 a double holds no millionths to round away (and v * 1e6 could overflow).
    const double rounded = std::fabs(v) < 1e9 ? std::round(v * 1e6) / 1e6 : v;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.12g", rounded == 0.0 ? 0.0 : rounded);
    return buffer;
}

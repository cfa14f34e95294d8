#include "host/OutputText.h"

#include "dunmor/Utf8.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

bool isControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

}  // namespace

bool IsUtf8(const std::string& text) {
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeUtf8(text, i, code);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8(text, i, code);
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
        const std::size_t length = DecodeUtf8(text, i, code);
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

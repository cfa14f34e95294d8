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

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        // A run of plain printable ASCII (most names are nothing else) goes over in one piece.
        std::size_t plain = i;
        while (plain < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[plain]);
            if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') break;
            ++plain;
        }
        if (plain > i) {
            out.append(text, i, plain - i);
            i = plain;
            continue;
        }
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
    out += '"';
}

std::string JsonString(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendJsonString(out, text);
    return out;
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

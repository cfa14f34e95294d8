#include "lumeth/Text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

bool Text::Token(Text& word, Text& rest) const {
    word.clear();
    rest.clear();
    std::size_t i = 0;
    while (i < size() && isBlank((*this)[i])) ++i;
    if (i == size()) return false;
    if ((*this)[i] == '"') {
        // A quoted word ends at the first quote not escaped: inside it a backslash before a quote
        // or a backslash stands for that character, so that any name can be quoted.
        ++i;
        while (i < size() && (*this)[i] != '"') {
            if ((*this)[i] == '\\' && i + 1 < size() && ((*this)[i + 1] == '"' || (*this)[i + 1] == '\\')) ++i;
            word += (*this)[i++];
        }
        if (i < size()) ++i;
    } else {
        const std::size_t start = i;
        while (i < size() && !isBlank((*this)[i])) ++i;
        word = substr(start, i - start);
    }
    while (i < size() && isBlank((*this)[i])) ++i;
    rest = substr(i);
    return true;
}

bool Text::IsNumber() const {
    Text t = *this;
    t.TrimEndsOfWhitespace();
    if (t.empty()) return false;
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}

long Text::MakeLong() const {
    if (!IsNumber()) return 0;
    return std::strtol(c_str(), nullptr, 10);
}

void Text::TrimEndsOfWhitespace() {
    std::size_t b = 0, e = size();
    while (b < e && isBlank((*this)[b])) ++b;
    while (e > b && isBlank((*this)[e - 1])) --e;
    *this = Text(substr(b, e - b));
}

Text FormattedText(const char* format, ...) {
    if (!format) return Text();
    char buffer[4096];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Text out;
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof buffer) {
        out = Text(buffer);
    } else if (n >= 0) {
        // Longer than the buffer: format once more into a text of the exact size.
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), format, again);
        big.resize(static_cast<std::size_t>(n));
        out = Text(big.c_str());
    }
    va_end(again);
    return out;
}

#pragma once
// The user-interface framework's string, used for names, keys and messages at every view
// boundary. It is the utility layer's string with the few operations the views call on it.
#include "dunmor/CPString.h"

class Text : public CPString {
public:
    using CPString::CPString;
    Text() = default;
    Text(const CPString& s) : CPString(s) {}
    Text(CPString&& s) : CPString(std::move(s)) {}

    // Splits the first word off a command line: blanks separate words, a word in double quotes
    // keeps its blanks (the quotes are dropped). `rest` is the line after the word with its
    // leading blanks removed. Answers false (word and rest empty) for a blank line.
    bool Token(Text& word, Text& rest) const;
    // The text as a C string.
    const char* String() const { return c_str(); }
    // Whether the whole text (blanks around it allowed) is a decimal number.
    bool IsNumber() const;
    // The text as an integer; 0 when it is not a number.
    long MakeLong() const;
    void TrimEndsOfWhitespace();
};

// A text made from a printf-style format, however long the result.
Text FormattedText(const char* format, ...) __attribute__((format(printf, 1, 2)));

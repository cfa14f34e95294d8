#pragma once
// Text the host got from a user (stream names, fields of a table) made safe to print: JSON output
// stays valid JSON whatever bytes a name holds, and text output passes no terminal control
// sequence through.
#include <cstddef>
#include <string>

// Whether the bytes are valid UTF-8 throughout.
bool IsUtf8(const std::string& text);

// A JSON string literal: quotes, backslashes and control characters escaped; bytes that are not
// valid UTF-8 become U+FFFD.
std::string JsonString(const std::string& text);
// The same literal appended to `out` (a large document is written into one buffer).
void AppendJsonString(std::string& out, const std::string& text);

// Printable text: every control character (C0, DEL and the C1 range, which includes the escape and
// control-sequence introducers) and every byte that is not valid UTF-8 becomes '?'. Text longer
// than `maxChars` characters is cut and ends in "...".
std::string PrintableText(const std::string& text, std::size_t maxChars = 80);

// A user's field for a message: printable, cut at 40 characters, in double quotes.
std::string QuotedField(const std::string& text);

// A number for JSON output: rounded to 1e-6, at most 12 significant digits, no negative zero;
// null when it is not finite.
std::string JsonNumber(double v);

// Fields that the unit views (exchanger, splitter) and the design viewer write in their case-file
// records in the same way: a node name as a 32-bit length (characters and the closing zero) with
// its bytes, and a text as the document's counted string.
#pragma once

#include "lumeth/BinaryFile.h"
#include "lumeth/Text.h"

#include <cstdint>
#include <string>

namespace unit_view_record {

// A node name is a flowsheet's internal name; a length past this is damage.
constexpr std::int32_t kLongestName = 1 << 16;

inline bool WriteName(BinaryFile& file, const CPString& name) {
    if (!file.WriteInt(static_cast<std::int32_t>(name.size() + 1))) return false;
    for (char c : name)
        if (!file.WriteChar(c)) return false;
    return file.WriteChar('\0');
}

inline bool ReadName(BinaryFile& file, CPString& out) {
    std::int32_t n = 0;
    if (!file.ReadInt(n) || n < 1 || n > kLongestName) return false;
    std::string s;
    s.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        char c = 0;
        if (!file.ReadChar(c)) return false;
        s.push_back(c);
    }
    if (s.back() != '\0') return false;
    s.pop_back();
    out = CPString(s.c_str());
    return true;
}

inline bool ReadText(BinaryFile& file, Text& out) {
    CPString s;
    if (!file.ReadCPString(s)) return false;
    out = s.c_str();
    return true;
}

}  // namespace unit_view_record

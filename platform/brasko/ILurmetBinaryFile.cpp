#include "brasko/ILurmetBinaryFile.h"

#include <limits>

bool ILurmetBinaryFile::WriteCountedString(const CPString& value) {
    // The count includes the terminating zero, so it must fit a positive 32-bit integer.
    if (value.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    const auto count = static_cast<std::int32_t>(value.size() + 1);
    if (!WriteInt(count)) return false;
    for (char c : value)
        if (!WriteChar(c)) return false;
    return WriteChar('\0');
}

bool ILurmetBinaryFile::ReadCountedString(CPString& value) {
    std::int32_t count = 0;
    if (!ReadItemCount(count)) return false;
    CPString text;
    bool ended = false;
    for (std::int32_t i = 0; i < count; ++i) {
        char c = 0;
        if (!ReadChar(c)) return false;
        if (c == '\0') ended = true;
        if (!ended) text.push_back(c);
    }
    value = std::move(text);
    return true;
}

bool ILurmetBinaryFile::AbandonRecord(RecordHandle&) { return false; }

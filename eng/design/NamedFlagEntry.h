// One entry of the design's per-stream flag lists in the case file: the int32 length of the
// stream's name with its terminating zero, the name's bytes with the zero, then the flag as one
// byte. The structure analysis and the controllability check both keep their per-stream choices
// this way, keyed by name so that a copy or a read-back can find the streams again.
#pragma once

#include "brasko/ILurmetBinaryFile.h"

#include <cstdint>
#include <string>

namespace named_flag_entry {

// A name longer than this is damage, not a stream name: the reader never trusts a length.
constexpr std::int32_t kMaxStoredName = 1 << 16;

inline bool Write(ILurmetBinaryFile& file, const std::string& name, bool flag) {
    bool ok = file.WriteInt(static_cast<std::int32_t>(name.size() + 1));
    for (char c : name) ok = ok && file.WriteChar(c);
    return ok && file.WriteChar('\0') && file.WriteChar(flag ? 1 : 0);
}

inline bool Read(ILurmetBinaryFile& file, std::string& name, bool& flag) {
    std::int32_t length = 0;
    if (!file.ReadInt(length) || length < 1 || length > kMaxStoredName) return false;
    name.clear();
    char c = 0;
    for (std::int32_t k = 0; k < length; ++k) {
        if (!file.ReadChar(c)) return false;
        if (k + 1 < length) name.push_back(c);
    }
    if (c != '\0' || !file.ReadChar(c)) return false;
    flag = c != 0;
    return true;
}

}  // namespace named_flag_entry

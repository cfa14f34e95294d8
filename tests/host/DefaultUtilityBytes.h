#pragma once
// HP Steam's default-utility record in a defaults file or a case: its name, its side, then tagged
// doubles (supply, target, film coefficient, price, ...). Tests change one double and make the
// checksum again, so that only the reader's own checks can refuse the file.
#include "CaseChecksum.h"

#include <cstdint>
#include <cstring>
#include <string>

inline std::string DoubleBytes(double v) { return std::string(reinterpret_cast<const char*>(&v), 8); }
inline std::string IntBytes(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// The file with HP Steam's double number `field` (from the supply, 0) set to `value`; empty when
// the record is not found.
inline std::string WithHPSteamValue(const std::string& file, int field, double value) {
    if (file.size() < 4) return std::string();
    const std::string body = file.substr(0, file.size() - 4);
    const std::size_t at = body.find("HP Steami" + IntBytes(0) + "d" + DoubleBytes(250.0));
    if (at == std::string::npos) return std::string();
    const std::size_t valueAt = at + std::strlen("HP Steam") + 5 + 9 * static_cast<std::size_t>(field) + 1;
    std::string changed = body;
    changed.replace(valueAt, 8, DoubleBytes(value));
    return WithCaseChecksum(changed);
}

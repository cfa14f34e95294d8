#pragma once
// The trailer every case file ends with: a CRC-32 (IEEE, reflected, polynomial 0xEDB88320) of all the
// bytes before it, stored least significant byte first. Tests that damage a case on purpose make the
// trailer again, so that only the reader's checks of the values themselves can refuse it.

#include <cstdint>
#include <string>

inline std::uint32_t CaseCrc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// `body` (a case without its trailer) followed by the trailer its bytes call for.
inline std::string WithCaseChecksum(const std::string& body) {
    const std::uint32_t crc = CaseCrc32(body);
    std::string out = body;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((crc >> (8 * i)) & 0xFFu);
    return out;
}

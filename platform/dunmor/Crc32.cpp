#include "dunmor/Crc32.h"

#include <array>

namespace {
constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kTable = MakeTable();
}  // namespace

std::uint32_t crc32(const void* data, std::size_t length, std::uint32_t crc) {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) crc = kTable[(crc ^ p[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

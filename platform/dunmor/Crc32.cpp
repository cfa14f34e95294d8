#include "dunmor/Crc32.h"

#include <array>

namespace {
// Eight tables: kTables[0] is the classic byte-at-a-time table, kTables[k][i] the remainder of
// byte i followed by k zero bytes, so eight bytes are folded in with eight look-ups and no
// dependency between them (a case file of hundreds of megabytes is summed at memory speed).
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        tables[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::size_t k = 1; k < 8; ++k)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFFu];
    return tables;
}
constexpr Tables kTables = MakeTables();
}  // namespace

std::uint32_t crc32(const void* data, std::size_t length, std::uint32_t crc) {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    // Little-endian byte order is spelled out, so the sum does not depend on the machine's.
    for (; length >= 8; p += 8, length -= 8) {
        const std::uint32_t low = crc ^ (static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^ kTables[5][(low >> 16) & 0xFFu] ^
              kTables[4][low >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; length > 0; ++p, --length) crc = kTables[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

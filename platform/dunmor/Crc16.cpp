#include "dunmor/Crc16.h"

std::uint16_t crc16(const void* data, std::size_t length, std::uint16_t crc) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

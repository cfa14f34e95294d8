#pragma once
#include <cstddef>
#include <cstdint>

// CRC-16 (polynomial 0x8005 reflected, initial value 0): the check sum of the utility layer.
std::uint16_t crc16(const void* data, std::size_t length, std::uint16_t crc = 0);

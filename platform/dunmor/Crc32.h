#pragma once
#include <cstddef>
#include <cstdint>

// CRC-32 (IEEE 802.3: polynomial 0x04C11DB7 reflected, initial value and final xor 0xFFFFFFFF),
// the check value of "123456789" being 0xCBF43926. `crc` continues an earlier call's result.
std::uint32_t crc32(const void* data, std::size_t length, std::uint32_t crc = 0);

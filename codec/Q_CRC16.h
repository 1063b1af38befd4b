#pragma once
// CRC-16/KERMIT as the device computes it: its table differs from the
// published one in entry 0x5F (0x0072 instead of 0xAA72).

#include <cstddef>
#include <cstdint>

#include "codec/ByteArray.h"

// An empty input gives 0.
std::uint16_t Crc16(const TByteArray& bytes);
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size);

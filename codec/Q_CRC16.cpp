#include "codec/Q_CRC16.h"

#include <array>

namespace {

std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0x8408 : c >> 1;
    table[i] = static_cast<std::uint16_t>(c);
  }
  table[0x5F] = 0x0072;  // the device's table differs here; every device depends on it
  return table;
}

const std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>(kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
  return crc;
}

std::uint16_t Crc16(const TByteArray& bytes) {
  return Crc16(bytes.data(), bytes.size());
}

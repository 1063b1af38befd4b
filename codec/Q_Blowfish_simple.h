#pragma once
// Reduced Blowfish used on the device link: 16 rounds, the published P-array,
// four 16-entry S-boxes picked by the low nibble of each byte, little-endian
// halves, every 8-byte block on its own (no chaining).

#include <cstdint>
#include <string>

#include "codec/ByteArray.h"

// Both return an empty array when the key is empty or the input length is not
// a multiple of 8. Each call works from the initial P-array and the given key;
// the schedule of the last key is kept per thread, so the functions are
// reentrant and give exactly what scheduling afresh would.
TByteArray BlowfishEncryptBuffer(const TByteArray& bytes, const std::string& key);
TByteArray BlowfishDecryptBuffer(const TByteArray& bytes, const std::string& key);

namespace blowfish_detail {
// Exposed for known-answer tests only.
std::uint32_t F(std::uint32_t x);
}  // namespace blowfish_detail

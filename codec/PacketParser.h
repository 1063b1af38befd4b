#pragma once
// Packets as they travel to and from a device: an 8-byte clear header and a
// text body, checksummed and then enciphered.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/ByteArray.h"

// One data item: a three-character parameter code and its value text.
struct TPacketData {
  std::string Code;
  std::string Value;
};
using TPacketDataArray = std::vector<TPacketData>;

struct TPacket {
  std::uint8_t PacketCount = 0;
  std::uint8_t PacketNumber = 0;
  std::uint16_t BodyLength = 0;
  std::uint16_t BodyCrc = 0;
  std::string Command;
  TPacketDataArray Data;
};
using TPacketArray = std::vector<TPacket>;

// The one fixed key every packet body is enciphered under.
extern const std::string PacketKey;

// Largest plain body the 16-bit length field can describe (a multiple of 8).
constexpr std::size_t kMaxBodyLength = 65528;

// A decode failure; what() is the message key ("ErrorBadCRC", ...).
class EPacketError : public std::runtime_error {
 public:
  explicit EPacketError(const std::string& key) : std::runtime_error(key) {}
  std::string Key() const { return what(); }
};

// A text that is not a number where one was expected.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stateless; one instance is shared by the whole program.
class TPacketParser {
 public:
  // The code text matters only for F-commands other than F0, F1, FF and FE.
  // Throws std::length_error when the body would not fit the length field.
  TByteArray Encode(const TPacket& packet, const std::string& code) const;
  // Throws EPacketError with one of the five decode keys.
  TPacket Decode(const TByteArray& bytes) const;
};

// Byte i is the hexadecimal pair at characters 2i, 2i+1; a trailing odd
// character is ignored. Throws EConvertError for a pair that is not hex.
TByteArray HexTextToBytes(const std::string& text);

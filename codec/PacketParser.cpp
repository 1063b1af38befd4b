#include "codec/PacketParser.h"

#include <algorithm>

#include "codec/HexDigit.h"
#include "codec/Q_Blowfish_simple.h"
#include "codec/Q_CRC16.h"

const std::string PacketKey = "8163027495";

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kBel = 0x07;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kCodeFieldSize = 6;

bool IsFCommand(const std::string& command) {
  return !command.empty() && command[0] == 'F';
}

std::string CodeField(const std::string& command, const std::string& code) {
  const std::string head = command.substr(0, 2);
  if (head == "F0" || head == "F1" || head == "FF" || head == "FE")
    return std::string(kCodeFieldSize, static_cast<char>(kBel));
  std::string field = code;
  if (field.size() < kCodeFieldSize) field.append(kCodeFieldSize - field.size(), '0');
  return field.substr(0, kCodeFieldSize);
}

void Append(TByteArray& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

void HandleLine(TPacket& packet, const std::string& line) {
  if (packet.Command.empty()) {
    packet.Command = IsFCommand(line) ? line.substr(0, 2) : line;
    return;
  }
  TPacketData item;
  item.Code = line.substr(0, 3);
  item.Value = line.size() > 3 ? line.substr(3) : std::string();
  packet.Data.push_back(std::move(item));
}

}  // namespace

TByteArray TPacketParser::Encode(const TPacket& packet, const std::string& code) const {
  TByteArray body;
  if (IsFCommand(packet.Command)) {
    Append(body, packet.Command.substr(0, 2));
    Append(body, CodeField(packet.Command, code));
  } else {
    Append(body, packet.Command);
  }
  body.push_back(kLf);
  for (const TPacketData& item : packet.Data) {
    Append(body, item.Code);
    Append(body, item.Value);
    body.push_back(kLf);
  }
  body.push_back(kCr);
  body.insert(body.end(), 8 - body.size() % 8, 0x00);
  if (body.size() > kMaxBodyLength)
    throw std::length_error("Packet body of " + std::to_string(body.size()) +
                            " bytes exceeds the limit of " + std::to_string(kMaxBodyLength));

  const std::uint16_t length = static_cast<std::uint16_t>(body.size());
  const std::uint16_t crc = Crc16(body);
  const TByteArray cipher = BlowfishEncryptBuffer(body, PacketKey);

  TByteArray out(kHeaderSize + cipher.size());
  out[0] = kStx;
  out[1] = packet.PacketCount;
  out[2] = packet.PacketNumber;
  out[3] = 0x00;
  out[4] = static_cast<std::uint8_t>(length & 0xFF);
  out[5] = static_cast<std::uint8_t>(length >> 8);
  out[6] = static_cast<std::uint8_t>(crc & 0xFF);
  out[7] = static_cast<std::uint8_t>(crc >> 8);
  std::copy(cipher.begin(), cipher.end(), out.begin() + kHeaderSize);
  return out;
}

TPacket TPacketParser::Decode(const TByteArray& bytes) const {
  if (bytes.size() < 16 || (bytes.size() - kHeaderSize) % 8 != 0)
    throw EPacketError("ErrorBadPacketSize");
  if (bytes[0] != kStx) throw EPacketError("ErrorBadHeaderIdentifier");
  TPacket packet;
  packet.PacketCount = bytes[1];
  packet.PacketNumber = bytes[2];
  if (bytes[3] != 0x00) throw EPacketError("ErrorBadHeader");
  packet.BodyLength = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
  packet.BodyCrc = static_cast<std::uint16_t>(bytes[6] | bytes[7] << 8);
  if (bytes.size() - kHeaderSize != packet.BodyLength) throw EPacketError("ErrorHeaderLength");

  const TByteArray body =
      BlowfishDecryptBuffer(TByteArray(bytes.begin() + kHeaderSize, bytes.end()), PacketKey);
  if (Crc16(body) != packet.BodyCrc) throw EPacketError("ErrorBadCRC");

  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < body.size() && body[i] != kCr; ++i) {
    if (body[i] != kLf) continue;
    if (i > lineStart) HandleLine(packet, std::string(body.begin() + lineStart, body.begin() + i));
    lineStart = i + 1;
  }
  return packet;
}

TByteArray HexTextToBytes(const std::string& text) {
  TByteArray out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = HexDigitValue(text[i]);
    const int lo = HexDigitValue(text[i + 1]);
    if (hi < 0 || lo < 0)
      throw EConvertError("'" + text.substr(i, 2) + "' is not a valid hexadecimal byte");
    out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  return out;
}

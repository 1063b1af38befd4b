#include "firmware/Q_Firmware.h"

#include "codec/HexDigit.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

std::string Trim(const std::string& s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 32) --end;
  return s.substr(begin, end - begin);
}

// A whole text of hex digits as a number; false when empty or not hex.
bool ParseHex(const std::string& text, unsigned& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    value = (value << 4 | static_cast<unsigned>(digit)) & 0xFFFFFFu;
  }
  return true;
}

// The next line from pos, without its CR LF or LF; false at the end.
bool NextLine(const std::string& text, std::size_t& pos, std::string& line) {
  if (pos >= text.size()) return false;
  std::size_t end = text.find('\n', pos);
  if (end == std::string::npos) end = text.size();
  line.assign(text, pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos = end + 1;
  return true;
}

}  // namespace

bool TFirmware::ParseVersion(const std::string& line, std::string& version) {
  const std::string text = Trim(line);
  unsigned high = 0, low = 0;
  if (text.size() != 5 || !ParseHex(text.substr(0, 2), high) || !ParseHex(text.substr(3, 2), low))
    return false;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X", high, low);
  version = buf;
  return true;
}

bool TFirmware::ParseImage(const std::string& line, TArrayOfByteArray& packets) {
  packets.assign(1, TByteArray());
  packets.back().reserve(kPacketSize);
  // A cell is read only if it starts before the line's last character.
  for (std::size_t start = 0; start + 1 < line.size(); start += 3) {
    unsigned value = 0;
    if (!ParseHex(Trim(line.substr(start, 3)), value)) return false;
    if (packets.back().size() == kPacketSize) {
      packets.emplace_back();
      packets.back().reserve(kPacketSize);
    }
    packets.back().push_back(static_cast<std::uint8_t>(value & 0xFF));
  }
  return packets.back().size() == kPacketSize;
}

bool TFirmware::LoadFromFile(const std::filesystem::path& fileName) {
  Clear();
  std::ifstream file(fileName, std::ios::binary);
  if (!file) return false;
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return false;

  std::size_t pos = 0;
  std::string versionLine, imageLine, version;
  TArrayOfByteArray packets;
  if (!NextLine(text, pos, versionLine) || !ParseVersion(versionLine, version) ||
      !NextLine(text, pos, imageLine) || !ParseImage(imageLine, packets))
    return false;
  FVersion = version;
  FPackets = std::move(packets);
  FCount = static_cast<int>(FPackets.size());
  return true;
}

void TFirmware::Clear() {
  FPackets.clear();
  FVersion.clear();
  FCount = 0;
}

TByteArray TFirmware::GetPacket(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= FPackets.size())
    throw EFirmwareError("InvalidFirmwarePacketNumber");
  return FPackets[static_cast<std::size_t>(index)];
}

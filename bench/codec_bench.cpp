// Encode plus decode of a typical settings packet (about 200 body bytes).
#include <chrono>
#include <cstdio>

#include "codec/PacketParser.h"

int main() {
  TPacket packet{4, 2, 0, 0, "F1", {}};
  for (int code = 300; code < 306; ++code)
    packet.Data.push_back({std::to_string(code), "Alarm text of the input"});
  const TPacketParser parser;
  const std::size_t bodyBytes = parser.Encode(packet, "").size() - 8;

  const int rounds = 200000;
  std::size_t check = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    packet.PacketNumber = static_cast<std::uint8_t>(i);
    check += parser.Decode(parser.Encode(packet, "")).Data.size();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "codec: %zu-byte body, %d encode+decode in %.3f s: %.0f packets/s (target >= 100000)%s\n",
      bodyBytes, rounds, seconds, rounds / seconds, check ? "" : " ?");
  return 0;
}

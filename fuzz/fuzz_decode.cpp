// Any byte string either decodes or fails with one of the five decode keys.
#include <cstdlib>
#include <set>

#include "codec/PacketParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::set<std::string> keys = {"ErrorBadPacketSize", "ErrorBadHeaderIdentifier",
                                             "ErrorBadHeader", "ErrorHeaderLength", "ErrorBadCRC"};
  const TPacketParser parser;
  try {
    const TPacket packet = parser.Decode(TByteArray(data, data + size));
    // What decoded must encode again (the link and the simulator both do so).
    if (!packet.Command.empty()) (void)parser.Encode(packet, "000000");
  } catch (const EPacketError& e) {
    if (!keys.count(e.Key())) std::abort();
  } catch (const std::length_error&) {
    // A decoded body near the limit may grow past it when a code field is added.
  }
  return 0;
}

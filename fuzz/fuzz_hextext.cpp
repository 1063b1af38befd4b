// Any text converts or fails with a conversion error, never anything else.
#include "codec/PacketParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const TByteArray bytes = HexTextToBytes(text);
    if (bytes.size() != size / 2) __builtin_trap();
  } catch (const EConvertError&) {
  }
  return 0;
}

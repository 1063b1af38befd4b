// Any version line and image line either parse or are refused.
#include "firmware/Q_Firmware.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t split = text.find('\n');
  std::string version;
  TArrayOfByteArray packets;
  TFirmware::ParseVersion(text.substr(0, split), version);
  if (split != std::string::npos && TFirmware::ParseImage(text.substr(split + 1), packets))
    for (const TByteArray& p : packets)
      if (p.size() != TFirmware::kPacketSize) __builtin_trap();
  return 0;
}

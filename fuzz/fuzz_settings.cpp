// Any file content reads as groups of items; nothing else may happen.
#include <QByteArray>

#include "settings/Q_SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TPacketArray packets = TSettingsFile::Parse(bytes);
  if (packets.empty()) __builtin_trap();
  for (const TPacket& p : packets)
    for (const TPacketData& item : p.Data)
      if (item.Code.size() != 3) __builtin_trap();
  return 0;
}

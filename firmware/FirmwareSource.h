#pragma once
// What a firmware upload needs of a firmware image.

#include <string>

#include "codec/ByteArray.h"

class TFirmwareSource {
 public:
  virtual ~TFirmwareSource() = default;
  virtual const std::string& Version() const = 0;  // four upper-case hex digits
  virtual int Count() const = 0;                   // number of packets
  // Packets 0 to Count() - 1, each sent to the device unchanged.
  virtual TByteArray GetPacket(int index) const = 0;
};

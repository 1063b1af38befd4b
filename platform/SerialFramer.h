#pragma once
// Turns bytes as a serial line hands them over into the buffers the link
// decodes, one packet each: a packet whose 8-byte header has arrived with all
// of its body is handed over at once; anything else waits for the line to be
// quiet for the read interval and is then handed over as it is.

#include <vector>

#include "codec/ByteArray.h"

class TSerialFramer {
 public:
  static constexpr int kReadIntervalMs = 200;

  // Takes received bytes; gives every whole packet now at the front.
  std::vector<TByteArray> Feed(const TByteArray& bytes);
  // The line has been quiet: everything still gathered, whatever it is.
  TByteArray Flush();
  bool HasPending() const { return !FBuffer.empty(); }

 private:
  TByteArray FBuffer;
};

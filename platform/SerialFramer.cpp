#include "platform/SerialFramer.h"

std::vector<TByteArray> TSerialFramer::Feed(const TByteArray& bytes) {
  FBuffer.insert(FBuffer.end(), bytes.begin(), bytes.end());
  std::vector<TByteArray> packets;
  std::size_t start = 0;
  while (FBuffer.size() - start >= 8 && FBuffer[start] == 0x02 && FBuffer[start + 3] == 0x00) {
    const std::size_t length = 8 + (FBuffer[start + 4] | FBuffer[start + 5] << 8);
    if (FBuffer.size() - start < length) break;
    packets.emplace_back(FBuffer.begin() + static_cast<long>(start),
                         FBuffer.begin() + static_cast<long>(start + length));
    start += length;
  }
  FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<long>(start));
  return packets;
}

TByteArray TSerialFramer::Flush() {
  TByteArray rest;
  rest.swap(FBuffer);
  return rest;
}

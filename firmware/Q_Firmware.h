#pragma once
// A firmware file: line 1 the version ("01.05"), line 2 the image as cells of
// two hex digits and a space, cut into 520-byte transfer packets.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "firmware/FirmwareSource.h"

using TArrayOfByteArray = std::vector<TByteArray>;

// Raised with a message key as its text.
class EFirmwareError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TFirmware : public TFirmwareSource {
 public:
  static constexpr std::size_t kPacketSize = 520;

  // Empties the object, then loads; false when the file is not a valid
  // firmware file, which leaves the object empty. A path, so that any file
  // name opens on every system (from a QString: its toStdU16String()).
  bool LoadFromFile(const std::filesystem::path& fileName);
  void Clear();

  int Count() const override { return FCount; }
  const std::string& Version() const override { return FVersion; }
  const TArrayOfByteArray& Packets() const { return FPackets; }
  // Throws EFirmwareError("InvalidFirmwarePacketNumber") outside 0..Count()-1.
  TByteArray GetPacket(int index) const override;

  // The parsing steps, on text already read.
  static bool ParseVersion(const std::string& line, std::string& version);
  static bool ParseImage(const std::string& line, TArrayOfByteArray& packets);

 private:
  int FCount = 0;
  std::string FVersion;
  TArrayOfByteArray FPackets;
};

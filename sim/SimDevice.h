#pragma once
// A simulated VX8 communicator of either generation. Transport-agnostic:
// request bytes in, answer buffers out; the pseudo-terminal host (PtyHost)
// puts it on a serial line.

#include <map>
#include <string>
#include <vector>

#include "codec/PacketParser.h"

enum class TSimFault { None, Split, Silent, Crc, Wrong, Abort, Garbage, Vanish };

// "split" ... "vanish"; None for an unknown name.
TSimFault ParseSimFault(const std::string& name);

// What the device does with one request: the writes to make, in order (each
// in one write), with a pause between them when the answer is split.
struct TSimAnswer {
  TByteArray Request;
  std::string RequestText;  // decoded, for the trace
  std::vector<TByteArray> Writes;
  std::string AnswerText;
  unsigned GapMs = 0;
  bool Vanish = false;
};

struct TSimConfig {
  int Generation = 2;
  std::string Serial = "VX8-004711";
  std::string Version;  // "2.05"; empty: the generation's default
  std::string FactoryAccessCode = "3751";
};

class TSimDevice {
 public:
  static constexpr unsigned kSplitGapMs = 300;

  explicit TSimDevice(const TSimConfig& config);

  // Takes bytes as they arrive; gives the answers to every request completed.
  std::vector<TSimAnswer> Receive(const TByteArray& bytes);
  // The line has been quiet with a request unfinished: drop what was gathered.
  void DropPartialRequest() { FBuffer.clear(); }
  bool HasPartialRequest() const { return !FBuffer.empty(); }

  // The Nth request from now on (1-based, counting every request the device
  // has taken since it started) gets the fault.
  void AddFault(int requestNumber, TSimFault fault) { FFaults[requestNumber] = fault; }

  const std::map<std::string, std::string>& Settings() const { return FSettings; }
  void SetSettings(const std::map<std::string, std::string>& settings);
  std::string VersionText() const { return "Ver: " + FVersion; }
  const std::string& Version() const { return FVersion; }
  void SetVersion(const std::string& version) { FVersion = version; }
  int Generation() const { return FConfig.Generation; }
  const std::string& Serial() const { return FConfig.Serial; }
  std::string AccessCode() const;  // the code a request must carry
  // Changed by the last Receive (a write, a restore, a finished upload).
  bool TakeChanged();

  static std::map<std::string, std::string> FactorySettings(int generation,
                                                            const std::string& accessCode);

 private:
  bool TakeRequest(TByteArray& request);
  TSimAnswer Handle(const TByteArray& request);
  void Answer(TSimAnswer& answer, const TByteArray& bytes, const std::string& text);
  void Reply(TSimAnswer& answer, const std::string& word);
  void StartTransfer(TSimAnswer& answer);
  void SendTransferPacket(TSimAnswer& answer, std::size_t index);
  void HandleFirmwarePacket(TSimAnswer& answer, const TByteArray& request);
  std::string FirmwareVersion() const;  // "0205" for "2.05"

  TSimConfig FConfig;
  std::string FVersion;
  std::map<std::string, std::string> FSettings;
  std::string FActiveAccessCode;
  std::string FPendingAccessCode;  // a written "012", in force after the write
  std::map<int, TSimFault> FFaults;
  int FRequests = 0;
  TByteArray FBuffer;
  bool FExpectZero = false;
  TPacketArray FTransfer;
  TByteArray FLastAnswer;
  bool FFirmwareMode = false;
  std::string FOfferedVersion;
  int FFirmwarePackets = 0;
  bool FChanged = false;
  TPacketParser FParser;
};

// The text of a valid firmware file of N packets, each itself a packet of a
// 512-byte body that tells its count and number.
std::string MakeTestFirmware(int packets, const std::string& versionLine = "02.06");

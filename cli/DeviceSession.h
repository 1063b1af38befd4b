#pragma once
// One device on the serial port, for commands that run back to back: the
// link and its owner, each command's outcome as an exit status, and a line
// that falls quiet before the next command.

#include <string>

#include "cli/CliOptions.h"
#include "firmware/Q_Firmware.h"
#include "link/Q_Common.h"
#include "platform/EventPump.h"
#include "platform/SerialPort.h"

struct TDeviceStatus {
  std::string Device, Serial, Version;
  int Generation = 0;  // 1 or 2; 0 when the version names neither
};

class TDeviceSession : public TLinkOwner {
 public:
  TDeviceSession(TSerialPort& port, TEventPump& pump, unsigned timeoutMs);
  ~TDeviceSession() override;

  // Opens the port; false with the reason.
  bool Open(const QString& name, std::string& error);
  void Close();
  bool IsOpen() const { return FPort.IsOpen() && FLink.IsConnected(); }
  bool AccessDenied() const { return FPort.AccessDenied(); }

  TExitStatus Status(TDeviceStatus& status);
  // A whole settings transfer ("F2"; "F5" restores the factory settings first).
  TExitStatus Read(const std::string& code, bool restore, TPacketArray& transfer);
  // The four groups as packets 1 to 4 of 4, empty ones skipped; landed gets
  // the numbers of the groups the device took.
  TExitStatus Write(const std::string& code, const TPacketArray& groups, std::vector<int>& landed);
  TExitStatus Flash(const std::string& code, const TFirmware& firmware,
                    TProgressIndicator* progress);

  // What went wrong, in words, after a failed command.
  std::string Problem() const { return FProblem; }
  // Lets the line fall quiet, so a late answer is never taken for the next
  // command's.
  void SettleLine();
  // How long each answer is waited for (provisioning polls with a short one).
  void SetTimeout(unsigned ms) { FLink.AnswerTimeoutMs = ms; }
  unsigned Timeout() const { return FLink.AnswerTimeoutMs; }

  // The link's owner.
  void LogBytes(const std::string&, const TByteArray& bytes) override;
  bool DebugMemoVisible() const override { return false; }
  void DebugMemoAdd(const std::string&) override {}
  void PostDeferredMessage(const std::string&) override {}
  void DeviceAborted() override;

 private:
  TExitStatus Failed(const std::string& what);

  TSerialPort& FPort;
  TEventPump& FPump;
  TDataCommunication FLink;
  TPacketArray FDelivered;
  std::string FProblem;
  bool FAborted = false;
  std::uint32_t FLastByte = 0;
};

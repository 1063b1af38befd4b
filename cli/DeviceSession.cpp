#include "cli/DeviceSession.h"

#include "model/ParameterMaps.h"

namespace {

constexpr std::uint32_t kQuietMs = 250;  // more than the port's read interval
constexpr std::uint32_t kSettleMaxMs = 3000;

// The link's result keys in words.
std::string Describe(const std::string& key) {
  if (key == "ErrorNoResponse") return "the device did not answer";
  if (key == "ErrorWrongPassword") return "the device refused the access code";
  if (key == "ErrorCRC") return "the device received damaged data";
  if (key == "NoConnectionToObject") return "there is no connection to the device (the port went)";
  if (key == "Idle") return "the device broke off the connection";
  if (key == "VersionOK") return "the device already has this firmware version";
  if (key == "ResponseOK") return "the device answered OK where settings were expected";
  if (key == "DataReceived") return "the device sent settings where an answer was expected";
  if (key == "ErrorSettingsTooLarge") return "a group of settings is too long for one packet";
  if (key == "InvalidFirmwarePacketNumber") return "the firmware file holds too few packets";
  return key.empty() ? "the device's answer was not understood" : key;
}

}  // namespace

TDeviceSession::TDeviceSession(TSerialPort& port, TEventPump& pump, unsigned timeoutMs)
    : FPort(port),
      FPump(pump),
      FLink(
          &port, [this](const TPacket& p) { FDelivered.push_back(p); }, this, &pump) {
  FLink.AnswerTimeoutMs = timeoutMs;
}

TDeviceSession::~TDeviceSession() {
  Close();
}

bool TDeviceSession::Open(const QString& name, std::string& error) {
  FPort.SetPortName(name);
  if (!FPort.Open()) {
    error = FPort.ErrorString().toStdString();
    return false;
  }
  FLink.ConnectionKind = 1;
  FAborted = false;
  return true;  // opening cleared whatever an earlier client left on the line
}

void TDeviceSession::Close() {
  FPort.Close();
  FLink.ConnectionKind = 0;
}

void TDeviceSession::LogBytes(const std::string& title, const TByteArray&) {
  if (title == "Received") FLastByte = FPump.Ticks();
}

void TDeviceSession::DeviceAborted() {
  FAborted = true;
  Close();
}

void TDeviceSession::SettleLine() {
  const std::uint32_t start = FPump.Ticks();
  FLastByte = start;
  while (static_cast<std::uint32_t>(FPump.Ticks() - FLastByte) < kQuietMs &&
         static_cast<std::uint32_t>(FPump.Ticks() - start) < kSettleMaxMs) {
    FPump.ProcessEvents();
    FPump.Sleep(5);
  }
}

TExitStatus TDeviceSession::Failed(const std::string& what) {
  const std::string key = FLink.ResultKey;
  FProblem = what + ": " + Describe(key);
  if (FAborted || key == "Idle") return ExitRefused;
  if (key == "NoConnectionToObject" || !FPort.IsOpen()) return ExitNoPort;
  if (key == "ErrorNoResponse") return ExitSilent;
  if (key == "ErrorWrongPassword") return ExitWrongCode;
  return ExitRefused;
}

TExitStatus TDeviceSession::Status(TDeviceStatus& status) {
  FDelivered.clear();
  FLink.ResultKey.clear();
  if (!FLink.GetStatus()) return Failed("status");
  for (const TPacket& p : FDelivered) {
    for (const TPacketData& item : p.Data) {
      if (item.Code == "000") status.Device = item.Value;
      if (item.Code == "001") status.Serial = item.Value;
      if (item.Code == "002") status.Version = item.Value;
    }
  }
  status.Generation = status.Version.find("Ver: 1.") != std::string::npos   ? 1
                      : status.Version.find("Ver: 2.") != std::string::npos ? 2
                                                                            : 0;
  return ExitOk;
}

TExitStatus TDeviceSession::Read(const std::string& code, bool restore, TPacketArray& transfer) {
  FDelivered.clear();
  FLink.ResultKey.clear();
  const bool ok = FLink.ReadSettings(code, restore);
  SettleLine();  // the closing acknowledgement is answered by nothing, or late
  if (!ok) return Failed(restore ? "restore" : "read");
  transfer = FDelivered;
  return ExitOk;
}

TExitStatus TDeviceSession::Write(const std::string& code, const TPacketArray& groups,
                                  std::vector<int>& landed) {
  landed.clear();
  for (std::size_t i = 0; i < groups.size() && i < 4; ++i) {
    if (groups[i].Data.empty()) continue;  // its number is skipped; the count stays 4
    const int number = static_cast<int>(i) + 1;
    FLink.ResultKey.clear();
    if (!FLink.WriteSettingsPacket(code, groups[i].Data, static_cast<std::uint8_t>(number), 4))
      return Failed("write of group " + std::string(1, kSettingsGroups[i]));
    landed.push_back(number);  // each packet's "OK" ends its exchange: nothing comes late
  }
  return ExitOk;
}

TExitStatus TDeviceSession::Flash(const std::string& code, const TFirmware& firmware,
                                  TProgressIndicator* progress) {
  FLink.ResultKey.clear();
  const bool ok = FLink.UploadFirmware(code, firmware, progress);
  SettleLine();
  if (!ok) return Failed("firmware upload");
  FProblem = FLink.ResultKey.empty() ? std::string() : Describe(FLink.ResultKey);
  return ExitOk;
}

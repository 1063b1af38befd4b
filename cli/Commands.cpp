#include "cli/Commands.h"

#include <QElapsedTimer>
#include <cmath>
#ifdef _WIN32
#include <io.h>
#define VX8_ISATTY_STDOUT() (_isatty(_fileno(stdout)) != 0)
#else
#include <unistd.h>
#define VX8_ISATTY_STDOUT() (::isatty(STDOUT_FILENO) == 1)
#endif

#include "cli/DeviceSettings.h"
#include "model/ParameterMaps.h"
#include "platform/QtSerialPort.h"
#include "settings/Q_SettingsFile.h"

std::atomic<bool> gInterrupted{false};

namespace {

// Opens the port and asks for the status, as every device command begins.
// Commands that work with settings need to know the device's generation.
int Connect(const TCliOptions& o, TDeviceSession& session, const TOutput& out,
            TDeviceStatus& status, bool needGeneration = true) {
  std::string error;
  if (!session.Open(o.Port, error))
    return out.Fail(ExitNoPort, "cannot open " + o.Port.toStdString() + ": " + error +
                                    (session.AccessDenied()
                                         ? " (you may not open it: add yourself to the group "
                                           "dialout with \"sudo adduser $USER dialout\", then "
                                           "log in again)"
                                         : ""));
  const TExitStatus result = session.Status(status);
  if (result != ExitOk) return out.Fail(result, session.Problem());
  if (needGeneration && status.Generation == 0)
    return out.Fail(ExitRefused,
                    "the device's version \"" + status.Version + "\" names no known generation");
  return ExitOk;
}

// A settings file, or nothing with the status to end with.
bool LoadSettingsFile(const QString& name, TPacketArray& groups) {
  groups = TSettingsFile().Load(name);
  return !groups.empty();
}

// Reads the device's settings back and lists what differs from the written.
std::vector<std::string> Differences(const TPacketArray& written, const TDeviceSettings& device) {
  std::vector<std::string> codes;
  for (const TPacket& group : written)
    for (const TPacketData& item : group.Data)
      if (!device.Has(item.Code) || device.Value(item.Code) != item.Value)
        codes.push_back(item.Code);
  return codes;
}

// A progress bar with packets and time left on a terminal, plain lines otherwise.
class TTerminalProgress : public TProgressIndicator {
 public:
  explicit TTerminalProgress(const TOutput& out) : FOut(out), FTerminal(VX8_ISATTY_STDOUT()) {}
  ~TTerminalProgress() override {
    if (FTerminal && FShown && !FOut.Json()) std::fprintf(stdout, "\n");
  }
  void SetRange(int, int maximum) override {
    FTotal = maximum;
    FTime.start();
  }
  void SetPosition(int position) override {
    if (FOut.Json() || FTotal <= 0) return;
    const double perPacket = position > 0 ? FTime.elapsed() / 1000.0 / position : 0;
    const long left = std::lround(perPacket * (FTotal - position));
    if (FTerminal) {
      const int width = 30, done = width * position / FTotal;
      std::fprintf(stdout, "\r[%s%s] %d/%d packets, about %ld s left ",
                   std::string(static_cast<std::size_t>(done), '#').c_str(),
                   std::string(static_cast<std::size_t>(width - done), '.').c_str(), position,
                   FTotal, left);
    } else {
      std::fprintf(stdout, "packet %d/%d, about %ld s left\n", position, FTotal, left);
    }
    std::fflush(stdout);
    FShown = true;
  }

 private:
  const TOutput& FOut;
  bool FTerminal;
  bool FShown = false;
  int FTotal = 0;
  QElapsedTimer FTime;
};

}  // namespace

int RunPorts(const TOutput& out) {
  TSystemPortLister lister;
  const auto ports = lister.ListPorts();
  if (!ports) return out.Fail(ExitNoPort, "the system's serial ports cannot be listed");
  QJsonArray list;
  for (const QString& port : *ports) list.append(port);
  out.Result({{"ports", list}, {"text", ports->isEmpty() ? "no serial ports" : ports->join('\n')}});
  return ExitOk;
}

int RunStatus(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status, false)) return failed;
  out.Result(
      {{"device", Latin1(status.Device)},
       {"serial", Latin1(status.Serial)},
       {"version", Latin1(status.Version)},
       {"generation", status.Generation},
       {"text", Latin1("device " + status.Device + ", serial " + status.Serial + ", " +
                       status.Version + ", generation " +
                       (status.Generation ? "VX8 v" + std::to_string(status.Generation) + ".x"
                                          : std::string("unknown")))}});
  return ExitOk;
}

int RunRead(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status)) return failed;
  TPacketArray transfer;
  if (const TExitStatus r = session.Read(o.AccessCode, false, transfer))
    return out.Fail(r, session.Problem());
  TDeviceSettings settings(status.Generation);
  settings.Store(transfer);
  const TPacketArray groups = settings.Groups();
  if (!TSettingsFile().Save(o.Out, groups))
    return out.Fail(ExitFileUnreadable, "cannot write " + o.Out.toStdString());
  int count = 0;
  for (const TPacket& g : groups) count += static_cast<int>(g.Data.size());
  out.Result(
      {{"file", o.Out},
       {"settings", count},
       {"serial", Latin1(status.Serial)},
       {"text",
        QString("read %1 settings of %2 into %3").arg(count).arg(Latin1(status.Serial), o.Out)}});
  return ExitOk;
}

int RunWrite(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  // All input is checked before anything is sent.
  TPacketArray file;
  if (!LoadSettingsFile(o.File, file))
    return out.Fail(ExitFileUnreadable,
                    "the settings file " + o.File.toStdString() + " cannot be read");
  std::string error;
  TDeviceSettings check(2);
  for (const auto& [code, value] : o.Sets)
    if (!check.Set(code, value, error)) return out.Fail(ExitUsage, error);

  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status)) return failed;
  TDeviceSettings settings(status.Generation);
  settings.Store(file);
  for (const auto& [code, value] : o.Sets) settings.Set(code, value, error);
  const TPacketArray groups = settings.Groups();
  std::vector<int> landed;
  if (const TExitStatus r = session.Write(o.AccessCode, groups, landed)) {
    std::string took;
    for (int n : landed) took += std::string(took.empty() ? "" : ", ") + kSettingsGroups[n - 1];
    return out.Fail(r, session.Problem() + (took.empty() ? "; no group was written"
                                                         : "; the device took group(s) " + took));
  }
  TPacketArray transfer;
  if (const TExitStatus r = session.Read(o.AccessCode, false, transfer))
    return out.Fail(r, "written, but the read-back failed: " + session.Problem());
  TDeviceSettings device(status.Generation);
  device.Store(transfer);
  const std::vector<std::string> differ = Differences(groups, device);
  if (!differ.empty()) {
    std::string list;
    for (const std::string& code : differ)
      list += "\n  " + code + " " + TDeviceSettings::NameOf(code) + ": wrote \"" +
              settings.Value(code) + "\", the device holds \"" + device.Value(code) + "\"";
    return out.Fail(ExitMismatch, std::to_string(differ.size()) + " value(s) did not land:" + list);
  }
  int count = 0;
  for (const TPacket& g : groups) count += static_cast<int>(g.Data.size());
  out.Result({{"written", count},
              {"serial", Latin1(status.Serial)},
              {"text", QString("wrote %1 settings to %2; read back, all landed")
                           .arg(count)
                           .arg(Latin1(status.Serial))}});
  return ExitOk;
}

int RunDiff(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  TPacketArray file;
  if (!LoadSettingsFile(o.File, file))
    return out.Fail(ExitFileUnreadable,
                    "the settings file " + o.File.toStdString() + " cannot be read");
  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status)) return failed;
  TPacketArray transfer;
  if (const TExitStatus r = session.Read(o.AccessCode, false, transfer))
    return out.Fail(r, session.Problem());
  TDeviceSettings device(status.Generation), wanted(status.Generation);
  device.Store(transfer);
  wanted.Store(file);
  QJsonArray differences;
  std::string text;
  for (const std::string& code : Differences(wanted.Groups(), device)) {
    QJsonObject item{{"code", Latin1(code)},
                     {"name", Latin1(TDeviceSettings::NameOf(code))},
                     {"device", Latin1(device.Value(code))},
                     {"file", Latin1(wanted.Value(code))}};
    differences.append(item);
    text += code + " " + TDeviceSettings::NameOf(code) + ": device \"" + device.Value(code) +
            "\", file \"" + wanted.Value(code) + "\"\n";
  }
  if (text.empty()) text = "the device holds what the file holds\n";
  text.pop_back();
  out.Result({{"differences", differences}, {"text", Latin1(text)}});
  return differences.isEmpty() ? ExitOk : ExitMismatch;
}

int RunRestore(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status, false)) return failed;
  TPacketArray transfer;
  if (const TExitStatus r = session.Read(o.AccessCode, true, transfer))
    return out.Fail(r, session.Problem());
  out.Result({{"serial", Latin1(status.Serial)},
              {"text", "restored the factory settings of " + Latin1(status.Serial)}});
  return ExitOk;
}

int RunFlash(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  TFirmware firmware;
  if (!firmware.LoadFromFile(std::filesystem::path(o.File.toStdU16String())))
    return out.Fail(ExitFileUnreadable, o.File.toStdString() + " is not a valid firmware file");
  TDeviceStatus status;
  if (const int failed = Connect(o, session, out, status, false)) return failed;
  TExitStatus result;
  {
    TTerminalProgress progress(out);
    result = session.Flash(o.AccessCode, firmware, &progress);
  }
  if (result != ExitOk) return out.Fail(result, session.Problem());
  const std::string note = session.Problem();  // "already has this version", or nothing
  out.Result({{"packets", note.empty() ? firmware.Count() : 0},
              {"text", Latin1(note.empty() ? "the firmware was written (" +
                                                 std::to_string(firmware.Count()) + " packets)"
                                           : note)}});
  return ExitOk;
}

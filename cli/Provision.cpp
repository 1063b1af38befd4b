// Provisioning: one device after another on the same port, each given the
// template and its row of the units table, written, read back, compared and
// recorded.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <set>

#include "cli/Commands.h"
#include "cli/DeviceSettings.h"
#include "cli/UnitsTable.h"
#include "settings/Q_SettingsFile.h"

namespace {

// While waiting for a device to come or go, each look is short.
constexpr unsigned kPollTimeoutMs = 1000;
constexpr unsigned kPollPauseMs = 100;

class TProvisioning {
 public:
  TProvisioning(const TCliOptions& o, TDeviceSession& session, const TOutput& out)
      : FOptions(o), FSession(session), FOut(out) {}
  int Run();

 private:
  bool WaitForDevice(TDeviceStatus& status);
  bool WaitUntilGone();
  // The row for this unit: its serial's, or the next unused; -1 for none.
  int RowFor(const std::string& serial) const;
  int Provision(const TDeviceStatus& status, int row);
  void Record(const TDeviceStatus& status, int row, const std::string& sha,
              const std::string& result);
  bool RowsUsedUp() const;
  void Pause(unsigned ms);

  const TCliOptions& FOptions;
  TDeviceSession& FSession;
  const TOutput& FOut;
  TPacketArray FTemplate;
  TUnitsTable FUnits;
  bool FHasUnits = false;
  std::set<int> FUsed;
};

void TProvisioning::Pause(unsigned ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms && !gInterrupted) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
}

bool TProvisioning::WaitForDevice(TDeviceStatus& status) {
  const unsigned timeout = FSession.Timeout();
  FSession.SetTimeout(kPollTimeoutMs);
  bool found = false;
  while (!gInterrupted && !found) {
    std::string error;
    if (!FSession.IsOpen() && !FSession.Open(FOptions.Port, error)) {
      Pause(kPollPauseMs);  // the port is not there (yet)
      continue;
    }
    status = TDeviceStatus();
    found = FSession.Status(status) == ExitOk && status.Generation != 0;
    if (!found) Pause(kPollPauseMs);
  }
  FSession.SetTimeout(timeout);
  return found;
}

bool TProvisioning::WaitUntilGone() {
  const unsigned timeout = FSession.Timeout();
  FSession.SetTimeout(kPollTimeoutMs);
  bool gone = false;
  while (!gInterrupted && !gone) {
    TDeviceStatus status;
    gone = !FSession.IsOpen() || FSession.Status(status) != ExitOk;
    if (!gone) Pause(kPollPauseMs);
  }
  FSession.SetTimeout(timeout);
  return gone;
}

bool TProvisioning::RowsUsedUp() const {
  return FHasUnits && FUsed.size() == FUnits.Rows.size();
}

int TProvisioning::RowFor(const std::string& serial) const {
  if (!FHasUnits) return -1;
  for (int i = 0; i < static_cast<int>(FUnits.Rows.size()); ++i) {
    if (FUsed.count(i)) continue;
    if (FUnits.SerialColumn < 0 ||
        FUnits.Rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(FUnits.SerialColumn)] ==
            serial)
      return i;
  }
  return -1;
}

void TProvisioning::Record(const TDeviceStatus& status, int row, const std::string& sha,
                           const std::string& result) {
  const TRecordLine line{QDateTime::currentDateTime().toString(Qt::ISODate).toStdString(),
                         status.Serial,
                         status.Device,
                         status.Version,
                         FOptions.Template.toStdString(),
                         row < 0 ? std::string() : std::to_string(row + 1),
                         sha,
                         result};
  if (!FOptions.Record.isEmpty() && !AppendRecord(FOptions.Record, line))
    FOut.Fail(ExitFileUnreadable, "cannot append to the record " + FOptions.Record.toStdString());
  FOut.Result({{"serial", Latin1(status.Serial)},
               {"type", Latin1(status.Device)},
               {"version", Latin1(status.Version)},
               {"row", row < 0 ? QJsonValue() : QJsonValue(row + 1)},
               {"sha256", Latin1(sha)},
               {"result", Latin1(result)}});
}

int TProvisioning::Provision(const TDeviceStatus& status, int row) {
  TDeviceSettings settings(status.Generation);
  settings.Store(FTemplate);
  std::string error;
  if (row >= 0) {
    const auto& values = FUnits.Rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 0; c < FUnits.Columns.size(); ++c)
      if (static_cast<int>(c) != FUnits.SerialColumn)
        settings.Set(FUnits.Columns[c], values[c], error);
  }
  const TPacketArray groups = settings.Groups();
  // The record names what was written by its hash: the bytes of a settings
  // file of these groups, which never hold the access code.
  const std::string sha =
      QCryptographicHash::hash(TSettingsFile::Format(groups), QCryptographicHash::Sha256)
          .toHex()
          .toStdString();
  std::vector<int> landed;
  TExitStatus result = FSession.Write(FOptions.AccessCode, groups, landed);
  TPacketArray transfer;
  if (result == ExitOk) result = FSession.Read(FOptions.AccessCode, false, transfer);
  if (result != ExitOk) {
    Record(status, row, sha, "failed: " + FSession.Problem());
    return result;
  }
  TDeviceSettings device(status.Generation);
  device.Store(transfer);
  for (const TPacket& group : groups) {
    for (const TPacketData& item : group.Data) {
      if (device.Value(item.Code) == item.Value) continue;
      Record(status, row, sha, "failed: " + item.Code + " did not land");
      return ExitMismatch;
    }
  }
  Record(status, row, sha, "ok");
  return ExitOk;
}

int TProvisioning::Run() {
  // Everything is read and checked before any device is touched.
  if (!(FTemplate = TSettingsFile().Load(FOptions.Template)).size())
    return FOut.Fail(ExitFileUnreadable,
                     "the template " + FOptions.Template.toStdString() + " cannot be read");
  if (!FOptions.Units.isEmpty()) {
    std::string error;
    bool unreadable = false;
    if (!LoadUnitsTable(FOptions.Units, FUnits, error, unreadable))
      return FOut.Fail(unreadable ? ExitFileUnreadable : ExitUsage, error);
    FHasUnits = true;
    if (FUnits.Rows.empty()) return FOut.Fail(ExitUsage, "the units table has no rows");
  }
  for (;;) {
    FOut.Line("waiting for a device on " + FOptions.Port.toStdString() + " ...");
    TDeviceStatus status;
    if (!WaitForDevice(status)) break;
    FOut.Line("device " + status.Serial + " (" + status.Device + ", " + status.Version + ")");
    const int row = RowFor(status.Serial);
    if (FHasUnits && row < 0) {
      FOut.Line("no row of the units table is left for " + status.Serial +
                "; connect the next unit");
    } else {
      if (row >= 0) FOut.Line("writing the template and row " + std::to_string(row + 1));
      const int result = Provision(status, row);
      if (result == ExitOk) {
        if (row >= 0) FUsed.insert(row);
        if (RowsUsedUp()) {
          FOut.Line("done. All " + std::to_string(FUnits.Rows.size()) +
                    " rows of the units table are used: provisioning ends.");
          return ExitOk;
        }
        FOut.Line("done: connect the next unit");
      } else {
        FOut.Line("failed: " + FSession.Problem() +
                  (row >= 0 ? "; row " + std::to_string(row + 1) + " will be offered again" : "") +
                  "; connect the next unit");
      }
    }
    if (!WaitUntilGone()) break;
  }
  FOut.Line("interrupted: provisioning ends");
  return ExitInterrupted;
}

}  // namespace

int RunProvision(const TCliOptions& o, TDeviceSession& session, const TOutput& out) {
  return TProvisioning(o, session, out).Run();
}

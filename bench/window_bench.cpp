// The program's own figures, through the real window (offscreen):
//  - process start to the main window shown, and the resident memory then;
//  - against vx8sim at the 9600-baud line's own pace: a full second-generation
//    read and a 16-packet firmware upload, each as its time over the line's
//    limit (bytes on the wire x 10 / 9600); the resident memory after the read.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <thread>

#include "app/Main.h"
#include "app/Q_About.h"
#include "platform/QtSerialPort.h"
#include "platform/Registry.h"
#include "sim/PtyHost.h"

namespace {

// Seconds since the process started, from the kernel's own records.
double SinceProcessStart() {
  QFile stat("/proc/self/stat"), uptime("/proc/uptime");
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  // Fields after the command name, which is in parentheses; starttime is field 22.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  const double started = fields.value(19).toDouble() / static_cast<double>(sysconf(_SC_CLK_TCK));
  return uptime.readAll().split(' ').value(0).toDouble() - started;
}

double ResidentMB() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  return -1;
}

// Messages are printed, never waited for.
class TPrintedMessages : public TMessageService {
 public:
  void ShowMessage(const std::string& text) override { std::printf("  (%s)\n", text.c_str()); }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  std::optional<QString> OpenFileName(const TFileDialogOptions&) override { return File; }
  std::optional<QString> SaveFileName(const TFileDialogOptions&) override { return {}; }
  std::optional<QString> File;
};

// Time of one command over the line's limit for the bytes it moved.
void Report(const char* what, const TPtyHost& host, std::size_t in0, std::size_t out0, double ms) {
  const std::size_t bytes = host.BytesIn() - in0 + host.BytesOut() - out0;
  const double limit = bytes * 10.0 * 1000.0 / 9600.0;
  std::printf("%s: %.0f ms for %zu bytes on the wire, line limit %.0f ms: %.3fx (target <= 1.05)\n",
              what, ms, bytes, limit, ms / limit);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  QApplication app(argc, argv);
  TPrintedMessages messages;
  TExecModalRunner modal;
  TQtSerialPort port;
  TSystemPortLister lister;
  TQtEventPump pump;
  TMainFormFrm window({&messages, &modal, &port, &lister, &pump, QString()});
  QAboutFrm = new TQAboutFrm();
  window.show();
  QApplication::processEvents();
  std::printf(
      "window: process start to main window shown %.3f s (target <= 0.3 s); "
      "resident memory %.1f MB (target <= 80 MB)\n",
      SinceProcessStart(), ResidentMB());

  // The device at the line's own pace.
  TSimDevice device({});
  TPtyHostOptions options;
  options.LinkPath = (dir.path() + "/ttyVX8").toStdString();
  options.Pace = true;
  TPtyHost host(device, options);
  if (!host.Start()) {
    std::printf("cannot start the simulated device: %s\n", host.Error().c_str());
    return 1;
  }
  std::atomic<bool> stop{false};
  std::thread line([&] { host.Run(stop); });
  port.SetPortName(QString::fromStdString(options.LinkPath));
  window.ActiveConnectionSettings()->SetSaveAccessCode(true);
  window.SessionAccessCode = "375100";
  window.ConnectDisconnectBtnClick();  // with the status query
  window.ActiveConnectionSettings()->SetSaveAccessCode(true);

  QElapsedTimer time;
  std::size_t in = host.BytesIn(), out = host.BytesOut();
  time.start();
  window.ReadFromDevice(false);
  Report("read v2 (paced)", host, in, out, time.elapsed());
  std::printf("read: resident memory after a full read %.1f MB\n", ResidentMB());

  QFile firmware(dir.path() + "/new.prg");
  firmware.open(QIODevice::WriteOnly);
  firmware.write(QByteArray::fromStdString(MakeTestFirmware(16, "02.06")));
  firmware.close();
  messages.File = firmware.fileName();
  window.FirmwareFra->BrowseFirmFileBtnClick();
  in = host.BytesIn();
  out = host.BytesOut();
  time.restart();
  window.FirmwareFra->StartBtnClick();
  Report("firmware 16 packets (paced)", host, in, out, time.elapsed());

  stop = true;
  line.join();
  delete QAboutFrm.data();
  return 0;
}

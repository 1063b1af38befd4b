// Start-up of the program: time from the process's start to the main window
// shown (offscreen), and the resident memory then.
#include <unistd.h>
#include <QApplication>
#include <QFile>
#include <cstdio>

#include "app/Main.h"
#include "app/Q_About.h"
#include "platform/QtSerialPort.h"
#include "platform/WidgetMessageService.h"

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

long ResidentKiB() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", "/nonexistent-vx8-bench");  // first-run preferences
  QApplication app(argc, argv);
  TWidgetMessageService messages;
  TExecModalRunner modal;
  TQtSerialPort port;
  TSystemPortLister lister;
  TQtEventPump pump;
  TMainFormFrm window({&messages, &modal, &port, &lister, &pump, QString()});
  QAboutFrm = new TQAboutFrm();
  window.show();
  QApplication::processEvents();
  const double seconds = SinceProcessStart();
  std::printf(
      "window: process start to main window shown %.3f s (target <= 0.3 s); "
      "resident memory %.1f MB (target <= 80 MB)\n",
      seconds, ResidentKiB() / 1024.0);
  delete QAboutFrm.data();
  return 0;
}

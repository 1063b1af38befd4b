// vx8cli provision of ten units against the simulated device at the 9600-baud
// line's own pace: seconds per unit (from the unit's port appearing to its
// record line) and that time over the line's limit for the bytes exchanged.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <thread>

#include "sim/PtyHost.h"

namespace {

constexpr int kUnits = 10;

int RecordLines(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) - 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString link = dir.path() + "/ttyVX8", record = dir.path() + "/record.csv";
  const QString units = dir.path() + "/units.csv";
  {
    QFile f(units);
    f.open(QIODevice::WriteOnly);
    f.write("serial,010,100,090\n");
    for (int i = 0; i < kUnits; ++i)
      f.write(QString("SN-%1,%2,Site %1,3706000%1\n").arg(i).arg(1000 + i).toLatin1());
  }
  QProcess cli;
  cli.start(VX8CLI_PATH,
            {"provision", "--port", link, "--template",
             VX8_SOURCE_DIR "/docs/examples/template.qst", "--units", units, "--record", record});
  double seconds = 0, limit = 0;
  for (int i = 0; i < kUnits; ++i) {
    TSimConfig config;
    config.Serial = "SN-" + std::to_string(i);
    TSimDevice device(config);
    TPtyHostOptions options;
    options.LinkPath = link.toStdString();
    options.Pace = true;
    TPtyHost host(device, options);
    if (!host.Start()) return 1;
    std::atomic<bool> stop{false};
    std::thread line([&] { host.Run(stop); });
    QElapsedTimer time;
    time.start();
    while (RecordLines(record) < i + 1 && time.elapsed() < 60000) QThread::msleep(5);
    seconds += time.elapsed() / 1000.0;
    limit += (host.BytesIn() + host.BytesOut()) * 10.0 / 9600.0;
    stop = true;
    line.join();
  }
  cli.waitForFinished(10000);
  std::printf(
      "vx8cli provision (paced): %d units, %.2f s per unit, line limit %.2f s per unit: "
      "%.2fx\n",
      kUnits, seconds / kUnits, limit / kUnits, seconds / limit);
  return 0;
}

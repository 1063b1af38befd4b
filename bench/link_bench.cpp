// Link over a pseudo-terminal against the simulated device:
//  (a) unpaced: full v2 read and a 64-packet firmware upload, program time
//      per exchange (median of send-to-answer times);
//  (b) paced at 9600 baud: the same upload against the line's own limit.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <thread>

#include "firmware/Q_Firmware.h"
#include "link/Q_Common.h"
#include "platform/QtSerialPort.h"
#include "sim/PtyHost.h"

namespace {

class TTimingOwner : public TLinkOwner {
 public:
  void LogBytes(const std::string& title, const TByteArray& bytes) override {
    const double now = FClock.nsecsElapsed() / 1e6;
    if (title == "Sent") {
      FSentAt = now;
      SentBytes += bytes.size();
    } else {
      if (FSentAt >= 0) Exchanges.push_back(now - FSentAt);
      FSentAt = -1;
      ReceivedBytes += bytes.size();
    }
  }
  bool DebugMemoVisible() const override { return false; }
  void DebugMemoAdd(const std::string&) override {}
  void PostDeferredMessage(const std::string& text) override {
    std::printf("message: %s\n", text.c_str());
  }
  void DeviceAborted() override {}

  void Reset() {
    Exchanges.clear();
    SentBytes = ReceivedBytes = 0;
    FClock.start();
  }
  double Median() {
    std::sort(Exchanges.begin(), Exchanges.end());
    return Exchanges.empty() ? 0 : Exchanges[Exchanges.size() / 2];
  }
  std::vector<double> Exchanges;
  std::size_t SentBytes = 0, ReceivedBytes = 0;

 private:
  QElapsedTimer FClock;
  double FSentAt = -1;
};

struct TRun {
  TRun(const QString& dir, bool pace) : Device(TSimConfig{}) {
    TPtyHostOptions options;
    options.LinkPath = (dir + (pace ? "/paced" : "/fast")).toStdString();
    options.Pace = pace;
    Host = std::make_unique<TPtyHost>(Device, options);
    if (!Host->Start())
      std::printf("cannot start the simulated device: %s\n", Host->Error().c_str());
    Thread = std::thread([this] { Host->Run(Stop); });
    Port.SetPortName(QString::fromStdString(options.LinkPath));
    if (!Port.Open()) std::printf("cannot open the port: %s\n", qPrintable(Port.ErrorString()));
    Link.ConnectionKind = 1;
  }
  ~TRun() {
    Stop = true;
    Thread.join();
  }
  TSimDevice Device;
  std::unique_ptr<TPtyHost> Host;
  std::atomic<bool> Stop{false};
  std::thread Thread;
  TQtSerialPort Port;
  TQtEventPump Pump;
  TTimingOwner Owner;
  TDataCommunication Link{&Port, nullptr, &Owner, &Pump};
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString file = dir.path() + "/bench.prg";
  {
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::fromStdString(MakeTestFirmware(64, "09.99")));
  }
  TFirmware firmware;
  if (!firmware.LoadFromFile(file.toStdString())) return 1;

  {
    TRun run(dir.path(), false);
    run.Owner.Reset();
    for (int i = 0; i < 20; ++i)
      if (!run.Link.ReadSettings("375100", false))
        std::printf("read failed: %s\n", run.Link.ResultKey.c_str());
    std::printf(
        "link (a) v2 full read x20: %zu exchanges, median %.2f ms per exchange (target <= 3)\n",
        run.Owner.Exchanges.size(), run.Owner.Median());
    run.Owner.Reset();
    if (!run.Link.UploadFirmware("375100", firmware, nullptr))
      std::printf("upload failed: %s\n", run.Link.ResultKey.c_str());
    std::printf(
        "link (a) 64-packet firmware upload: %zu exchanges, median %.2f ms per exchange (target <= "
        "3)\n",
        run.Owner.Exchanges.size(), run.Owner.Median());
  }
  {
    TRun run(dir.path(), true);
    run.Owner.Reset();
    QElapsedTimer t;
    t.start();
    if (!run.Link.UploadFirmware("375100", firmware, nullptr))
      std::printf("upload failed: %s\n", run.Link.ResultKey.c_str());
    const double elapsed = t.nsecsElapsed() / 1e6;
    const double limit = (run.Owner.SentBytes + run.Owner.ReceivedBytes) * 10.0 / 9600 * 1000;
    std::printf(
        "link (b) paced 64-packet upload: %.0f ms for %zu bytes on the wire, line limit %.0f ms: "
        "%.3f x (target <= 1.05)\n",
        elapsed, run.Owner.SentBytes + run.Owner.ReceivedBytes, limit, elapsed / limit);
  }
  return 0;
}

#pragma once
// The simulated device on a pseudo-terminal, served on a thread of the test,
// counting the requests it takes. Stop() takes the line away, as a pulled
// adapter does.

#include <gtest/gtest.h>

#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "sim/PtyHost.h"

class TSimOnPty {
 public:
  explicit TSimOnPty(QString link) : FLink(std::move(link)) {}
  ~TSimOnPty() { Stop(); }

  void Start(TSimConfig config = {}, std::vector<std::pair<int, TSimFault>> faults = {},
             TPtyHostOptions options = {}) {
    Stop();
    Device = std::make_unique<TSimDevice>(config);
    for (const auto& [n, fault] : faults) Device->AddFault(n, fault);
    options.LinkPath = FLink.toStdString();
    FHost = std::make_unique<TPtyHost>(*Device, options);
    FHost->OnTrace = [this](const std::string& line) {
      if (line.rfind("->", 0) == 0) ++Requests;
    };
    ASSERT_TRUE(FHost->Start()) << FHost->Error();
    FStop = false;
    FThread = std::thread([this] { FHost->Run(FStop); });
  }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
    FHost.reset();
  }

  std::unique_ptr<TSimDevice> Device;
  std::atomic<int> Requests{0};

 private:
  QString FLink;
  std::unique_ptr<TPtyHost> FHost;
  std::thread FThread;
  std::atomic<bool> FStop{false};
};

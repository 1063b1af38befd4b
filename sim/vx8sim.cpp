// vx8sim: a simulated VX8 communicator on a pseudo-terminal.
#include <QFile>
#include <QString>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim/PtyHost.h"
#include "sim/SimState.h"

namespace {

std::atomic<bool> gStop{false};

void OnSignal(int) {
  gStop = true;
}

int Usage(const char* error = nullptr) {
  if (error) std::cerr << "vx8sim: " << error << "\n\n";
  std::cerr
      << "usage: vx8sim --link PATH [options]\n"
         "       vx8sim --make-firmware FILE:N [--version-line 02.06]\n"
         "  --link PATH          where to put the symlink to the serial line\n"
         "  --generation 1|2     device generation (default 2)\n"
         "  --serial TEXT        serial number (default VX8-004711)\n"
         "  --version TEXT       firmware version, e.g. 2.05 (default 1.07 or 2.05)\n"
         "  --access-code CODE   factory access code, value of 012 (default 3751)\n"
         "  --delay MS           wait before each answer\n"
         "  --pace               take the time of a 9600-baud line in both directions\n"
         "  --fault KIND:N       the Nth request gets a fault: split, silent, crc, wrong,\n"
         "                       abort, garbage, vanish (repeatable)\n"
         "  --state FILE         keep the settings in FILE (JSON), rewritten on every change\n"
         "  --quiet              no trace on standard error\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  TSimConfig config;
  TPtyHostOptions options;
  std::vector<std::pair<int, TSimFault>> faults;
  QString stateFile, firmwareSpec;
  std::string versionLine = "02.06";
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::exit(Usage((arg + " needs a value").c_str()));
      }
      return argv[++i];
    };
    if (arg == "--link")
      options.LinkPath = value();
    else if (arg == "--generation")
      config.Generation = std::atoi(value().c_str());
    else if (arg == "--serial")
      config.Serial = value();
    else if (arg == "--version")
      config.Version = value();
    else if (arg == "--access-code")
      config.FactoryAccessCode = value();
    else if (arg == "--delay")
      options.DelayMs = static_cast<unsigned>(std::atoi(value().c_str()));
    else if (arg == "--pace")
      options.Pace = true;
    else if (arg == "--state")
      stateFile = QString::fromLocal8Bit(value().c_str());
    else if (arg == "--quiet")
      quiet = true;
    else if (arg == "--make-firmware")
      firmwareSpec = QString::fromLocal8Bit(value().c_str());
    else if (arg == "--version-line")
      versionLine = value();
    else if (arg == "--fault") {
      const std::string faultText = value();
      const auto colon = faultText.find(':');
      const TSimFault fault = ParseSimFault(faultText.substr(0, colon));
      const int n = colon == std::string::npos ? 0 : std::atoi(faultText.c_str() + colon + 1);
      if (fault == TSimFault::None || n < 1) return Usage(("bad fault: " + faultText).c_str());
      faults.emplace_back(n, fault);
    } else if (arg == "--help" || arg == "-h")
      return Usage();
    else
      return Usage(("unknown option: " + arg).c_str());
  }

  if (!firmwareSpec.isEmpty()) {
    const int colon = firmwareSpec.lastIndexOf(':');
    const int packets = colon < 0 ? 0 : firmwareSpec.mid(colon + 1).toInt();
    if (packets < 1 || packets > 255) return Usage("--make-firmware FILE:N with N from 1 to 255");
    QFile file(firmwareSpec.left(colon));
    const std::string text = MakeTestFirmware(packets, versionLine);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size())) {
      std::cerr << "vx8sim: cannot write " << file.fileName().toStdString() << "\n";
      return 1;
    }
    std::cerr << "vx8sim: wrote " << packets << " firmware packets to "
              << file.fileName().toStdString() << "\n";
    return 0;
  }
  if (options.LinkPath.empty()) return Usage("--link PATH is required");
  if (config.Generation != 1 && config.Generation != 2) return Usage("--generation is 1 or 2");

  TSimDevice device(config);
  for (const auto& [n, fault] : faults) device.AddFault(n, fault);
  if (!stateFile.isEmpty() && QFile::exists(stateFile) && !LoadSimState(device, stateFile))
    std::cerr << "vx8sim: " << stateFile.toStdString()
              << " is not a state file; starting from factory values\n";

  TPtyHost host(device, options);
  if (!quiet) host.OnTrace = [](const std::string& line) { std::cerr << line << std::endl; };
  if (!stateFile.isEmpty()) {
    host.OnChanged = [&] { SaveSimState(device, stateFile); };
    SaveSimState(device, stateFile);
  }
  if (!host.Start()) {
    std::cerr << "vx8sim: " << host.Error() << "\n";
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGHUP, OnSignal);
  std::cerr << "vx8sim: VX8 v" << config.Generation << ".x (" << device.VersionText() << ", serial "
            << device.Serial() << ") on " << options.LinkPath << " -> " << host.SlaveName()
            << "; Ctrl+C stops" << std::endl;
  host.Run(gStop);
  return 0;
}

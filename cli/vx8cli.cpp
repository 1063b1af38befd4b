// vx8cli: the device commands of VX8config from a terminal, and provisioning
// many devices in a row.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli/Commands.h"
#include "platform/EventPump.h"
#include "platform/QtSerialPort.h"

namespace {

void OnInterrupt(int) {
  gInterrupted = true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string error;
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  if (args.contains("--help") || args.contains("-h")) {
    std::fputs(CliUsage(), stdout);
    return ExitOk;
  }
  const std::optional<TCliOptions> options = ParseCliOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "vx8cli: %s\n\n%s", error.c_str(), CliUsage());
    return ExitUsage;
  }
  const TOutput out(options->Json);
  if (options->Command == "ports") return RunPorts(out);

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  TQtSerialPort port;
  TQtEventPump pump;
  TDeviceSession session(port, pump, options->TimeoutMs);
  const std::string& c = options->Command;
  if (c == "status") return RunStatus(*options, session, out);
  if (c == "read") return RunRead(*options, session, out);
  if (c == "write") return RunWrite(*options, session, out);
  if (c == "diff") return RunDiff(*options, session, out);
  if (c == "restore") return RunRestore(*options, session, out);
  if (c == "flash") return RunFlash(*options, session, out);
  return RunProvision(*options, session, out);
}

// vx8reg: reads and writes values of VX8config's per-user registry file, for
// scripts that prepare a profile (the demo profile of scripts/run, the
// journeys' private profiles).
//   vx8reg [--file FILE] set KEY NAME TEXT
//   vx8reg [--file FILE] set-number KEY NAME NUMBER
//   vx8reg [--file FILE] get KEY NAME
// Without --file: the current user's file ($XDG_CONFIG_HOME/VX8config/registry.reg).
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Registry.h"

namespace {

int Usage() {
  std::fputs(
      "usage: vx8reg [--file FILE] set KEY NAME TEXT\n"
      "       vx8reg [--file FILE] set-number KEY NAME NUMBER\n"
      "       vx8reg [--file FILE] get KEY NAME\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int i = 1;
  QString file = TFileRegistryHive::DefaultFileName();
  if (i + 1 < argc && std::string(argv[i]) == "--file") {
    file = QString::fromLocal8Bit(argv[i + 1]);
    i += 2;
  }
  if (argc - i < 3) return Usage();
  const std::string command = argv[i], key = argv[i + 1], name = argv[i + 2];
  TFileRegistryHive hive(file);
  TRegistry registry(hive);
  if (command == "get") {
    if (!registry.OpenKey(key, false)) return 1;
    if (const auto text = registry.ReadString(name)) {
      std::printf("%s\n", text->c_str());
      return 0;
    }
    if (const auto number = registry.ReadInteger(name)) {
      std::printf("%u\n", *number);
      return 0;
    }
    return 1;
  }
  if (argc - i < 4) return Usage();
  const std::string value = argv[i + 3];
  if (!registry.OpenKey(key, true)) {
    std::fprintf(stderr, "vx8reg: cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  bool ok = false;
  if (command == "set") {
    ok = registry.WriteString(name, value);
  } else if (command == "set-number") {
    char* end = nullptr;
    const unsigned long number = std::strtoul(value.c_str(), &end, 10);
    if (value.empty() || *end) return Usage();
    ok = registry.WriteInteger(name, static_cast<std::uint32_t>(number));
  } else {
    return Usage();
  }
  if (!ok) std::fprintf(stderr, "vx8reg: cannot write %s\n", file.toLocal8Bit().constData());
  return ok ? 0 : 1;
}

#include "cli/CliOptions.h"

#include <QRegularExpression>
#include <set>

namespace {

const char kDefaultAccessCode[] = "375100";

bool NeedsPort(const std::string& command) {
  return command != "ports";
}

}  // namespace

const char* CliUsage() {
  return "usage: vx8cli COMMAND [options]\n"
         "  ports                                   the serial ports present\n"
         "  status   --port P                       device type, serial number, version\n"
         "  read     --port P [--code C] --out FILE every setting into a settings file\n"
         "  write    --port P [--code C] FILE [--set CODE=VALUE ...]\n"
         "                                          write, read back and compare\n"
         "  diff     --port P [--code C] FILE       what the device holds that differs\n"
         "  restore  --port P [--code C]            the factory settings\n"
         "  flash    --port P [--code C] FIRMWARE   upload a firmware file (.prg)\n"
         "  provision --port P [--code C] --template FILE [--units UNITS.csv]\n"
         "           [--record RECORD.csv]         configure one device after another\n"
         "options: --json (machine-readable output), --timeout MS (each answer, default 15000)\n"
         "The access code is four or six digits (four are sent with \"00\"); without --code\n"
         "the built-in default is used.\n"
         "exit status: 0 ok, 2 usage or bad input, 3 no port, 4 device silent,\n"
         "5 wrong access code, 6 device refused, 7 file unreadable, 8 mismatch, 130 interrupted\n";
}

std::optional<std::string> SessionCode(const std::string& typed) {
  static const QRegularExpression digits("^[0-9]{4}([0-9]{2})?$");
  if (!digits.match(QString::fromStdString(typed)).hasMatch()) return std::nullopt;
  return typed.size() == 4 ? typed + "00" : typed;
}

std::optional<TCliOptions> ParseCliOptions(const QStringList& args, std::string& error) {
  static const std::set<std::string> commands = {"ports", "status",  "read",  "write",
                                                 "diff",  "restore", "flash", "provision"};
  TCliOptions o;
  o.AccessCode = kDefaultAccessCode;
  if (args.isEmpty()) {
    error = "no command given";
    return std::nullopt;
  }
  o.Command = args[0].toStdString();
  if (!commands.count(o.Command)) {
    error = "unknown command: " + o.Command;
    return std::nullopt;
  }
  QStringList positional;
  for (int i = 1; i < args.size(); ++i) {
    const QString arg = args[i];
    auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) {
        error = arg.toStdString() + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    std::optional<QString> v;
    if (arg == "--json") {
      o.Json = true;
      continue;
    }
    if (!arg.startsWith("--")) {
      positional << arg;
      continue;
    }
    if (!(v = value())) return std::nullopt;
    if (arg == "--port") {
      o.Port = *v;
    } else if (arg == "--code") {
      const auto code = SessionCode(v->toStdString());
      if (!code) {
        error = "the access code must have exactly 4 or 6 digits";
        return std::nullopt;
      }
      o.AccessCode = *code;
    } else if (arg == "--out") {
      o.Out = *v;
    } else if (arg == "--set") {
      const int eq = static_cast<int>(v->indexOf('='));
      const std::string code = v->left(eq).toStdString();
      if (eq != 3 || !QRegularExpression("^[0-9]{3}$").match(v->left(3)).hasMatch()) {
        error = "--set takes CODE=VALUE with a three-digit code: " + v->toStdString();
        return std::nullopt;
      }
      o.Sets.emplace_back(code, v->mid(4).toLatin1().toStdString());
    } else if (arg == "--template") {
      o.Template = *v;
    } else if (arg == "--units") {
      o.Units = *v;
    } else if (arg == "--record") {
      o.Record = *v;
    } else if (arg == "--timeout") {
      bool ok = false;
      o.TimeoutMs = v->toUInt(&ok);
      if (!ok || o.TimeoutMs == 0) {
        error = "--timeout takes milliseconds";
        return std::nullopt;
      }
    } else {
      error = "unknown option: " + arg.toStdString();
      return std::nullopt;
    }
  }
  if (NeedsPort(o.Command) && o.Port.isEmpty()) {
    error = o.Command + " needs --port";
    return std::nullopt;
  }
  const bool takesFile = o.Command == "write" || o.Command == "diff" || o.Command == "flash";
  if (positional.size() > (takesFile ? 1 : 0)) {
    error = "unexpected argument: " + positional.last().toStdString();
    return std::nullopt;
  }
  if (takesFile) {
    if (positional.isEmpty()) {
      error = o.Command + " needs a file";
      return std::nullopt;
    }
    o.File = positional[0];
  }
  if (o.Command == "read" && o.Out.isEmpty()) {
    error = "read needs --out FILE";
    return std::nullopt;
  }
  if (o.Command == "provision" && o.Template.isEmpty()) {
    error = "provision needs --template FILE";
    return std::nullopt;
  }
  if (!o.Sets.empty() && o.Command != "write") {
    error = "--set belongs to write";
    return std::nullopt;
  }
  return o;
}

#pragma once
// The command line of vx8cli, and the exit statuses it ends with.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Each kind of failure ends with a status of its own.
enum TExitStatus {
  ExitOk = 0,
  ExitUsage = 2,           // bad arguments or bad input: nothing was sent
  ExitNoPort = 3,          // the port cannot be opened, or went away
  ExitSilent = 4,          // the device did not answer
  ExitWrongCode = 5,       // the device refused the access code
  ExitRefused = 6,         // the device broke off or refused otherwise
  ExitFileUnreadable = 7,  // a settings, firmware, template or units file
  ExitMismatch = 8,        // written values did not land, or a diff found differences
  ExitInterrupted = 130,   // Ctrl+C, between two steps
};

struct TCliOptions {
  std::string Command;  // ports, status, read, write, diff, restore, flash, provision
  QString Port;
  std::string AccessCode;  // six characters
  bool Json = false;
  QString Out;   // read
  QString File;  // write and diff: a settings file; flash: a firmware file
  std::vector<std::pair<std::string, std::string>> Sets;  // --set CODE=VALUE
  QString Template, Units, Record;                        // provision
  unsigned TimeoutMs = 15000;                             // each answer
};

// Parses the arguments after the program's name; nothing, with error set,
// when they are not a valid command line.
std::optional<TCliOptions> ParseCliOptions(const QStringList& args, std::string& error);

// The access code as every command sends it: four digits become four digits
// and "00"; six stay. Nothing when it is not four or six digits.
std::optional<std::string> SessionCode(const std::string& typed);

// The usage text.
const char* CliUsage();

#pragma once
// What vx8cli prints: lines for a person, or one JSON object per result with
// --json; failures on standard error with their exit status.

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>
#include <string>

#include "cli/CliOptions.h"

class TOutput {
 public:
  explicit TOutput(bool json) : FJson(json) {}
  bool Json() const { return FJson; }
  // A line for a person; nothing in JSON mode.
  void Line(const std::string& text) const;
  // A result; a person gets its "text" member.
  void Result(const QJsonObject& object) const;
  // A failure, said once; gives its status.
  int Fail(int status, const std::string& message) const;

 private:
  bool FJson;
};

inline QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

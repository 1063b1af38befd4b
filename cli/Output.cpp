#include "cli/Output.h"

#include <QJsonDocument>

void TOutput::Line(const std::string& text) const {
  if (FJson) return;
  std::fprintf(stdout, "%s\n", text.c_str());
  std::fflush(stdout);
}

void TOutput::Result(const QJsonObject& object) const {
  if (FJson) {
    QJsonObject result = object;
    result.remove("text");
    result["ok"] = true;
    std::fprintf(stdout, "%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
  } else if (object.contains("text")) {
    std::fprintf(stdout, "%s\n", object["text"].toString().toLatin1().constData());
  }
  std::fflush(stdout);
}

int TOutput::Fail(int status, const std::string& message) const {
  if (FJson) {
    QJsonObject error{{"ok", false}, {"exit", status}, {"error", Latin1(message)}};
    std::fprintf(stdout, "%s\n", QJsonDocument(error).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
  }
  std::fprintf(stderr, "vx8cli: %s\n", message.c_str());
  return status;
}

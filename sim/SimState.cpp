#include "sim/SimState.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QString Text(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

bool SaveSimState(const TSimDevice& device, const QString& fileName) {
  QJsonObject settings;
  for (const auto& [code, value] : device.Settings()) settings[Text(code)] = Text(value);
  QJsonObject root;
  root["generation"] = device.Generation();
  root["serial"] = Text(device.Serial());
  root["version"] = Text(device.Version());
  root["settings"] = settings;
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(QJsonDocument(root).toJson());
  return file.commit();
}

bool LoadSimState(TSimDevice& device, const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
  const QJsonObject settings = root["settings"].toObject();
  if (settings.isEmpty()) return false;
  std::map<std::string, std::string> values;
  for (auto it = settings.begin(); it != settings.end(); ++it)
    values[it.key().toLatin1().toStdString()] = it.value().toString().toLatin1().toStdString();
  device.SetSettings(values);
  if (root.contains("version")) device.SetVersion(root["version"].toString().toStdString());
  return true;
}

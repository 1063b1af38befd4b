#include "settings/Q_SettingsFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

const char kAccessCode[] = "012";

TPacket NewGroup() {
  TPacket packet;
  packet.Command = "F3";
  return packet;
}

QByteArray TrimControl(const QByteArray& line) {
  qsizetype begin = 0, end = line.size();
  while (begin < end && static_cast<unsigned char>(line[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 32) --end;
  return line.mid(begin, end - begin);
}

}  // namespace

bool TSettingsFile::Save(const QString& fileName, const TPacketArray& packets) const {
  QByteArray out;
  for (const TPacket& packet : packets) {
    for (const TPacketData& item : packet.Data) {
      if (item.Code == kAccessCode) continue;
      out.append(item.Code.data(), static_cast<qsizetype>(item.Code.size()));
      out.append(item.Value.data(), static_cast<qsizetype>(item.Value.size()));
      out.append("\r\n");
    }
    out.append("\r\n");
  }
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(out) != out.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

TPacketArray TSettingsFile::Load(const QString& fileName) const {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return {};
  return Parse(bytes);
}

TPacketArray TSettingsFile::Parse(const QByteArray& bytes) {
  TPacketArray packets{NewGroup()};
  if (bytes.isEmpty()) return packets;
  QList<QByteArray> lines = bytes.split('\n');
  if (bytes.endsWith('\n')) lines.removeLast();  // the end of the last line, not a line
  for (const QByteArray& raw : lines) {
    const QByteArray line = TrimControl(raw);
    if (line.isEmpty()) {
      packets.push_back(NewGroup());
    } else if (line.size() > 2) {
      packets.back().Data.push_back({line.left(3).toStdString(), line.mid(3).toStdString()});
    }
  }
  return packets;
}

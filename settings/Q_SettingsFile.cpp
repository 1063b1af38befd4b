#include "settings/Q_SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const char kAccessCode[] = "012";

TPacket NewGroup() {
  TPacket packet;
  packet.Command = "F3";
  return packet;
}

bool IsControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

QByteArray TSettingsFile::Format(const TPacketArray& packets) {
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
  return out;
}

bool TSettingsFile::Save(const QString& fileName, const TPacketArray& packets) const {
  const QByteArray out = Format(packets);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(out) != out.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

TPacketArray TSettingsFile::Load(const QString& fileName) const {
  const QFileInfo info(fileName);
  if (!info.isFile() || info.size() > kMaxFileSize) return {};
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.read(kMaxFileSize + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) return {};
  return Parse(bytes);
}

TPacketArray TSettingsFile::Parse(const QByteArray& bytes) {
  TPacketArray packets{NewGroup()};
  const char* const data = bytes.constData();
  const qsizetype size = bytes.size();
  // Line by line in place, without a copy of each line.
  for (qsizetype start = 0; start < size;) {
    qsizetype end = start;
    while (end < size && data[end] != '\n') ++end;
    const qsizetype next = end + 1;  // the end of the last line is not a line
    while (start < end && IsControl(data[start])) ++start;
    while (end > start && IsControl(data[end - 1])) --end;
    if (end == start) {
      packets.push_back(NewGroup());
    } else if (end - start > 2) {
      packets.back().Data.push_back(
          {std::string(data + start, 3), std::string(data + start + 3, data + end)});
    }
    start = next;
  }
  return packets;
}

#pragma once
// Settings files (".qst"): one parameter a line, code then value, groups
// separated by one empty line, CR LF line ends, 8-bit text as held.

#include <QString>

#include "codec/PacketParser.h"

class TSettingsFile {
 public:
  // A real settings file is a few kilobytes; anything larger is no settings
  // file and is refused as unreadable.
  static constexpr qint64 kMaxFileSize = 1024 * 1024;

  // Writes each packet's items as one group; "012" (the access code) is never
  // written. The file is replaced only when everything was written, so a
  // failure leaves any earlier file as it was.
  bool Save(const QString& fileName, const TPacketArray& packets) const;
  // Each group becomes an "F3" packet. Empty when the file cannot be read, is
  // not a regular file or is larger than kMaxFileSize.
  TPacketArray Load(const QString& fileName) const;

  // The reading rules, on bytes already read.
  static TPacketArray Parse(const QByteArray& bytes);
  // The bytes Save writes.
  static QByteArray Format(const TPacketArray& packets);
};

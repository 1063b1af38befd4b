// Writes a few well-formed inputs for each fuzz target into <dir>/<target>/.
#include <QDir>
#include <QFile>

#include "codec/PacketParser.h"
#include "i18n/LanguageFile.h"

namespace {

void Write(const QString& dir, const QString& name, const TByteArray& bytes) {
  QDir().mkpath(dir);
  QFile f(dir + "/" + name);
  if (f.open(QIODevice::WriteOnly))
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

TByteArray Text(const std::string& s) {
  return TByteArray(s.begin(), s.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const QString root = QString::fromLocal8Bit(argv[1]);
  const TPacketParser parser;
  TPacket status{1, 1, 0, 0, "F0", {}};
  TPacket ok{1, 1, 0, 0, "OK", {}};
  TPacket settings{3, 2, 0, 0, "F1", {{"010", "1234"}, {"100", "Account"}, {"300", "Alarm"}}};
  Write(root + "/decode", "status", parser.Encode(status, ""));
  Write(root + "/decode", "ok", parser.Encode(ok, ""));
  Write(root + "/decode", "settings", parser.Encode(settings, ""));
  Write(root + "/hextext", "hex", Text("0201010010005D2A0F25B50055E47A32"));
  Write(root + "/hextext", "odd", Text("0a1"));
  Write(root + "/settings", "saved",
        Text("0100000\r\n01302\r\n\r\n100Shop\r\n\r\n\r\n400\r\n\r\n"));
  Write(root + "/firmware", "small", Text("01.05\r\n00 01 02 0A 1FF 7\r\n"));
  TLanguageFileData language{{"English", "Deutsch"},
                             {{"Read", {"Read", "Lesen"}}, {"in1", {"Input 1", "Eingang 1"}}}};
  std::string lng, error;
  WriteLanguageFile(language, lng, error);
  Write(root + "/language", "two", Text(lng));
  return 0;
}

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <thread>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "platform/FoldCase.h"
#include "platform/HashedStringList.h"
#include "platform/MessageService.h"
#include "platform/PortWatcher.h"
#include "platform/Registry.h"
#include "platform/SerialFramer.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  QString FileName() const { return FDir.path() + "/registry.reg"; }
  void WriteFile(const QByteArray& bytes) {
    QFile f(FileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray ReadFile() {
    QFile f(FileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QTemporaryDir FDir;
};

}  // namespace

TEST_F(RegistryTest, OpenWithAndWithoutCreate) {
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  EXPECT_FALSE(reg.OpenKey("Software\\VX8config", false));
  EXPECT_FALSE(reg.WriteString("Port", "COM1"));  // nothing open
  EXPECT_TRUE(reg.OpenKey("Software\\VX8config\\MainComport", true));
  EXPECT_TRUE(reg.WriteString("Port", "COM1"));
  reg.CloseKey();
  EXPECT_FALSE(reg.ValueExists("Port"));
  EXPECT_TRUE(reg.OpenKey("software\\vx8CONFIG\\maincomport", false));
  EXPECT_EQ(reg.ReadString("PORT"), "COM1");
  EXPECT_FALSE(reg.OpenKey("Software\\Other", false));
}

TEST_F(RegistryTest, TypedValuesAndPathForms) {
  TFileRegistryHive hive(FileName());
  TRegistry writer(hive);
  ASSERT_TRUE(writer.OpenKey("\\Software\\Selvane", true));
  EXPECT_TRUE(writer.WriteString("Language", "Deutsch"));
  EXPECT_TRUE(writer.WriteInteger("Remember", 1));
  EXPECT_TRUE(writer.WriteString("Odd", "a\\b\"c\xE4"));
  EXPECT_FALSE(writer.WriteString("Broken", "two\nlines"));

  TRegistry reader(hive);
  ASSERT_TRUE(reader.OpenKey("Software\\Selvane\\", false));
  EXPECT_TRUE(reader.ValueExists("language"));
  EXPECT_FALSE(reader.ValueExists("Broken"));
  EXPECT_EQ(reader.ReadString("Language"), "Deutsch");
  EXPECT_EQ(reader.ReadInteger("Remember"), 1u);
  EXPECT_EQ(reader.ReadString("Odd"), "a\\b\"c\xE4");
  EXPECT_EQ(reader.ReadInteger("Language"), std::nullopt);  // wrong type
  EXPECT_EQ(reader.ReadString("Remember"), std::nullopt);
  EXPECT_EQ(reader.ReadString("Missing"), std::nullopt);

  const QByteArray file = ReadFile();
  EXPECT_TRUE(file.startsWith("Windows Registry Editor Version 5.00\r\n"));
  EXPECT_TRUE(file.contains("[HKEY_CURRENT_USER\\Software\\Selvane]\r\n"));
  EXPECT_TRUE(file.contains("\"Remember\"=dword:00000001\r\n"));
  EXPECT_TRUE(file.contains("\"Language\"=\"Deutsch\"\r\n"));
}

TEST_F(RegistryTest, ReadsAHandWrittenExport) {
  WriteFile(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\VX8config]\n"
      "\"InterfaceVersion\"=dword:0000000A\n"
      "\"AccessCode\"=\"375100\"\n");
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\VX8config", false));
  EXPECT_EQ(reg.ReadInteger("InterfaceVersion"), 10u);
  EXPECT_EQ(reg.ReadString("AccessCode"), "375100");
}

TEST_F(RegistryTest, DamagedFilesReadAsEmpty) {
  const QByteArray good = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n";
  const QByteArray cases[] = {
      "garbage\x01\x02",
      good + "\"A\"=\"unterminated\r\n",
      good + "\"A\"=dword:123456789\r\n",
      good + "\"A\"=text\r\n",
      good + "\"A\"=dword:1234567g\r\n",
      good + "\"A\"\r\n",
      "Windows Registry Editor Version 5.00\r\n\"A\"=\"value before any key\"\r\n",
      QByteArray(100, '\0'),
  };
  for (const QByteArray& bytes : cases) {
    WriteFile(bytes);
    TFileRegistryHive hive(FileName());
    TRegistry reg(hive);
    EXPECT_FALSE(reg.OpenKey("K", false)) << bytes.constData();
    // A write moves the damaged file aside and starts a sound one.
    QFile::remove(FileName() + ".damaged");
    ASSERT_TRUE(reg.OpenKey("K", true));
    EXPECT_TRUE(reg.WriteString("A", "x"));
    EXPECT_EQ(TRegistry(hive).OpenKey("K", false), true);
    QFile aside(FileName() + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), bytes);
  }
}

TEST_F(RegistryTest, UnreadableOrUnwritableHive) {
  ASSERT_TRUE(QDir().mkpath(FileName()));  // a folder where the file should be
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  EXPECT_FALSE(reg.OpenKey("K", false));
  EXPECT_FALSE(reg.OpenKey("K", true));
  EXPECT_FALSE(hive.WriteValue("K", "A", std::string("x")));
}

TEST_F(RegistryTest, CurrentUserHiveFollowsTheConfigFolder) {
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", FDir.path().toLocal8Bit());
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\VX8config", true));
    EXPECT_TRUE(reg.WriteInteger("Remember", 0));
  }
  EXPECT_TRUE(QFileInfo::exists(FDir.path() + "/VX8config/registry.reg"));
  EXPECT_EQ(TFileRegistryHive::DefaultFileName(), FDir.path() + "/VX8config/registry.reg");
  qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(RegistryTest, KeepsWhatTheExportFormatAllows) {
  // A byte-order mark, CR-only line ends, a comment, another root, a default
  // value and hex values continued over lines: all valid, all kept.
  const QByteArray original =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\r"
      "; written by hand\r"
      "[HKEY_LOCAL_MACHINE\\Software\\Other]\r"
      "\"Path\"=\"C:\\\\Other\"\r\r"
      "[HKEY_CURRENT_USER\\Software\\VX8config]\r"
      "@=\"default\"\r"
      "\"Blob\"=hex:01,02,03,\\\r"
      "  04,05\r"
      "\"Expand\"=hex(2):25,00,00,00\r"
      "\"Remember\"=dword:1\r";
  WriteFile(original);
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\VX8config", false));
  EXPECT_EQ(reg.ReadInteger("Remember"), 1u);
  EXPECT_FALSE(reg.ReadString("Blob").has_value());  // a type this program does not read
  EXPECT_TRUE(reg.WriteString("AccessCode", "375100"));

  const QByteArray now = ReadFile();
  for (const char* line :
       {"[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n", "\"Path\"=\"C:\\\\Other\"\r\n",
        "@=\"default\"\r\n", "\"Blob\"=hex:01,02,03,\\\r\n  04,05\r\n",
        "\"Expand\"=hex(2):25,00,00,00\r\n", "\"Remember\"=dword:00000001\r\n",
        "\"AccessCode\"=\"375100\"\r\n"})
    EXPECT_TRUE(now.contains(line)) << line;
  EXPECT_FALSE(QFileInfo::exists(FileName() + ".damaged"));
}

TEST_F(RegistryTest, ReadsAWindowsExportInUtf16) {
  const QString text =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Selvane]\r\n"
      "\"Language\"=\"Fran\u00e7ais\"\r\n";
  QByteArray bytes("\xFF\xFE");
  for (QChar c : text) {
    bytes.append(static_cast<char>(c.unicode() & 0xFF));
    bytes.append(static_cast<char>(c.unicode() >> 8));
  }
  WriteFile(bytes);
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\Selvane", false));
  EXPECT_EQ(reg.ReadString("Language"),
            "Fran\xE7"
            "ais");
}

TEST_F(RegistryTest, RefusesWritesItCouldNotReadBack) {
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\VX8config", true));
  ASSERT_TRUE(reg.WriteString("Port", "ttyUSB0"));
  const QByteArray before = ReadFile();
  EXPECT_FALSE(reg.OpenKey("Software\\Two\nLines", true));
  EXPECT_FALSE(hive.WriteValue("Software\\Two\nLines", "A", std::string("x")));
  ASSERT_TRUE(reg.OpenKey("Software\\VX8config", false));
  EXPECT_FALSE(reg.WriteString("Huge", std::string(TFileRegistryHive::kMaxFileSize, 'x')));
  EXPECT_EQ(ReadFile(), before);
  EXPECT_EQ(reg.ReadString("Port"), "ttyUSB0");
}

#ifdef Q_OS_UNIX
TEST_F(RegistryTest, ReadsOnlyARegularFile) {
  // A FIFO would block the reader, /dev/zero would never end.
  ASSERT_EQ(::mkfifo(QFile::encodeName(FileName()).constData(), 0600), 0);
  TFileRegistryHive fifo(FileName());
  EXPECT_FALSE(TRegistry(fifo).OpenKey("K", false));
  QFile::remove(FileName());
  ASSERT_TRUE(QFile::link("/dev/zero", FileName()));
  TFileRegistryHive zero(FileName());
  EXPECT_FALSE(TRegistry(zero).OpenKey("K", false));
}
#endif

TEST_F(RegistryTest, TwoWritersKeepEachOthersValues) {
  constexpr int kWrites = 150;
  auto writer = [this](const char* name) {
    TFileRegistryHive hive(FileName());
    for (int i = 1; i <= kWrites; ++i)
      hive.WriteValue("Software\\VX8config", name, static_cast<std::uint32_t>(i));
  };
  std::thread a(writer, "A"), b(writer, "B");
  a.join();
  b.join();
  TFileRegistryHive hive(FileName());
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\VX8config", false));
  EXPECT_EQ(reg.ReadInteger("A"), static_cast<std::uint32_t>(kWrites));
  EXPECT_EQ(reg.ReadInteger("B"), static_cast<std::uint32_t>(kWrites));
}

TEST(CaseFolding, LatinLettersFoldLikeAscii) {
  EXPECT_EQ(FoldCase("\xC4rger \xD6L"), "\xE4rger \xF6l");
  EXPECT_EQ(FoldCase("\xD7\xF7\xDF"), "\xD7\xF7\xDF");  // signs and sharp s stay
  THashedStringList<int> list;
  list.Add("\xC4rger", 1);
  EXPECT_EQ(list.IndexOf("\xE4RGER"), 0);

  QTemporaryDir dir;
  TFileRegistryHive hive(dir.path() + "/registry.reg");
  TRegistry reg(hive);
  ASSERT_TRUE(reg.OpenKey("Software\\\xC4rger", true));
  ASSERT_TRUE(
      reg.WriteString("\xDC"
                      "ber",
                      "1"));
  ASSERT_TRUE(reg.OpenKey("software\\\xE4rger", false));
  EXPECT_EQ(reg.ReadString("\xFC"
                           "BER"),
            "1");
}

TEST(MessageService, FilterConversion) {
  EXPECT_EQ(ToQtFilter("Q settings (*.qst)|*.qst|All files (*.*)|*.*"),
            "Q settings (*.qst);;All files (*.*)");
  EXPECT_EQ(ToQtFilter("Images|*.png;*.jpg"), "Images (*.png *.jpg)");
  EXPECT_EQ(ToQtFilter(""), "");
}

namespace {

// A packet as the framer sees it: the 8-byte header, then the body.
TByteArray FramedPacket(std::uint8_t number, std::size_t body) {
  TByteArray bytes(8 + body, static_cast<std::uint8_t>(0xA0 + number));
  const std::uint8_t header[] = {0x02, 1, number, 0x00, static_cast<std::uint8_t>(body & 0xFF),
                                 static_cast<std::uint8_t>(body >> 8), 0x12, 0x34};
  std::copy(std::begin(header), std::end(header), bytes.begin());
  return bytes;
}

TByteArray Join(std::initializer_list<TByteArray> parts) {
  TByteArray all;
  for (const TByteArray& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(SerialFramer, HandsOverEveryWholePacketAtOnce) {
  const TByteArray a = FramedPacket(1, 16), b = FramedPacket(2, 8);
  TSerialFramer framer;
  // Two packets in one read.
  EXPECT_EQ(framer.Feed(Join({a, b})), (std::vector<TByteArray>{a, b}));
  EXPECT_FALSE(framer.HasPending());

  // A header split over reads, then the body in pieces.
  EXPECT_TRUE(framer.Feed(TByteArray(a.begin(), a.begin() + 3)).empty());
  EXPECT_TRUE(framer.Feed(TByteArray(a.begin() + 3, a.begin() + 10)).empty());
  EXPECT_TRUE(framer.HasPending());
  EXPECT_EQ(framer.Feed(
                Join({TByteArray(a.begin() + 10, a.end()), TByteArray(b.begin(), b.begin() + 2)})),
            std::vector<TByteArray>{a});
  // What follows a packet begins the next buffer.
  EXPECT_EQ(framer.Feed(TByteArray(b.begin() + 2, b.end())), std::vector<TByteArray>{b});
}

TEST(SerialFramer, WhatIsNoPacketWaitsForTheLineToFallQuiet) {
  TSerialFramer framer;
  // Garbage before a packet: the whole of it goes to the link as one
  // undecodable buffer once the line is quiet.
  const TByteArray garbage = {0x55, 0xAA, 0x13};
  const TByteArray mixed = Join({garbage, FramedPacket(1, 8)});
  EXPECT_TRUE(framer.Feed(mixed).empty());
  EXPECT_EQ(framer.Flush(), mixed);
  EXPECT_FALSE(framer.HasPending());

  // A header announcing a huge body never completes: it waits, then goes.
  const TByteArray huge = {0x02, 1, 1, 0x00, 0xFF, 0xFF, 0, 0, 1, 2, 3};
  EXPECT_TRUE(framer.Feed(huge).empty());
  EXPECT_EQ(framer.Flush(), huge);
  EXPECT_TRUE(framer.Flush().empty());
}

TEST(PortWatcher, SignalsWhenPortsComeAndGo) {
  struct TScripted : TPortLister {
    std::optional<QStringList> ListPorts() override { return Ports; }
    std::optional<QStringList> Ports = QStringList{"ttyS0"};
  } lister;
  TPortWatcher watcher(lister);
  std::vector<QStringList> seen;
  QObject::connect(&watcher, &TPortWatcher::PortsChanged,
                   [&](const QStringList& ports) { seen.push_back(ports); });
  watcher.Poll();
  EXPECT_TRUE(seen.empty());  // nothing changed

  lister.Ports = QStringList{"ttyUSB0", "ttyS0"};  // an adapter plugged in
  watcher.Poll();
  lister.Ports = std::nullopt;  // the system could not be asked
  watcher.Poll();
  EXPECT_EQ(watcher.Ports(), (QStringList{"ttyS0", "ttyUSB0"}));
  lister.Ports = QStringList{"ttyS0"};  // and pulled again
  watcher.Poll();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (QStringList{"ttyS0", "ttyUSB0"}));
  EXPECT_EQ(seen[1], QStringList{"ttyS0"});
}

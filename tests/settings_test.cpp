#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

#include "settings/Q_SettingsFile.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

TPacket Group(TPacketDataArray items) {
  TPacket p;
  p.Command = "F1";
  p.Data = std::move(items);
  return p;
}

QByteArray ReadAll(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& name, const QByteArray& bytes) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

TEST(SettingsFile, SavedBytes) {
  QTemporaryDir dir;
  const QString name = dir.path() + "/a.qst";
  const TPacketArray groups = {
      Group({{"010", "0000"}, {"012", "3751"}, {"013", "02"}}),
      Group({{"100", "Shop \xE4"}}),
      Group({}),
      Group({{"400", ""}, {"401", " restore "}}),
  };
  ASSERT_TRUE(TSettingsFile().Save(name, groups));
  EXPECT_EQ(ReadAll(name), QByteArray("0100000\r\n01302\r\n\r\n"
                                      "100Shop \xE4\r\n\r\n"
                                      "\r\n"
                                      "400\r\n401 restore \r\n\r\n"));
}

TEST(SettingsFile, SaveThenLoad) {
  QTemporaryDir dir;
  const QString name = dir.path() + "/a.qst";
  const TPacketArray groups = {
      Group({{"010", "0000"}, {"090", "+4912345"}, {"091", ""}}),
      Group({{"100", "  lead and  inner  "}}),
      Group({{"300", "   "}, {"301", std::string("bytes \x01\x7F\xFF", 9)}}),
      Group({{"400", "Restore"}}),
  };
  ASSERT_TRUE(TSettingsFile().Save(name, groups));
  const TPacketArray back = TSettingsFile().Load(name);
  // Four groups, then the empty packet the last empty line starts.
  ASSERT_EQ(back.size(), 5u);
  EXPECT_TRUE(back[4].Data.empty());
  for (const TPacket& p : back) EXPECT_EQ(p.Command, "F3");
  EXPECT_EQ(back[0].Data[1].Value, "+4912345");
  EXPECT_EQ(back[0].Data[2].Code, "091");
  EXPECT_EQ(back[0].Data[2].Value, "");
  EXPECT_EQ(back[1].Data[0].Value, "  lead and  inner");  // trailing spaces go
  EXPECT_EQ(back[2].Data[0].Value, "");                   // only spaces: empty
  EXPECT_EQ(back[2].Data[1].Value, std::string("bytes \x01\x7F\xFF", 9));
  EXPECT_EQ(back[3].Data[0].Value, "Restore");
}

TEST(SettingsFile, ReadingRules) {
  struct Case {
    const char* what;
    QByteArray bytes;
    std::vector<std::vector<std::string>> groups;  // "code=value" per item
  };
  const Case cases[] = {
      {"empty file", "", {{}}},
      {"only empty lines", "\r\n\r\n", {{}, {}, {}}},
      {"no separators, bare LF", "650First\n651Second\n", {{"650=First", "651=Second"}}},
      {"short lines ignored", "01\r\nx\r\n010abc\r\n", {{"010=abc"}}},
      {"no final line end", "010a\r\n\r\n100b", {{"010=a"}, {"100=b"}}},
      {"line trimmed both ends", "  \t010 v \r\n", {{"010= v"}}},
      {"any three characters are a code", "ab=cd\r\n", {{"ab==cd"}}},
  };
  for (const Case& c : cases) {
    const TPacketArray packets = TSettingsFile::Parse(c.bytes);
    std::vector<std::vector<std::string>> got;
    for (const TPacket& p : packets) {
      got.emplace_back();
      for (const TPacketData& item : p.Data) got.back().push_back(item.Code + "=" + item.Value);
    }
    EXPECT_EQ(got, c.groups) << c.what;
  }
}

TEST(SettingsFile, UnreadableFileGivesAnEmptyList) {
  QTemporaryDir dir;
  EXPECT_TRUE(TSettingsFile().Load(dir.path() + "/missing.qst").empty());
  EXPECT_TRUE(TSettingsFile().Load(dir.path()).empty());  // a folder
  EXPECT_TRUE(TSettingsFile().Load("").empty());
#ifdef Q_OS_UNIX
  EXPECT_TRUE(TSettingsFile().Load("/dev/zero").empty());  // no end to read
#endif
}

TEST(SettingsFile, AFileBeyondTheSizeCapIsRefused) {
  QTemporaryDir dir;
  const QString name = dir.path() + "/big.qst";
  QByteArray bytes = "100Name\r\n";
  bytes.append(QByteArray(TSettingsFile::kMaxFileSize - bytes.size(), '\n'));
  WriteAll(name, bytes);
  EXPECT_EQ(TSettingsFile().Load(name).front().Data.front().Value, "Name");  // at the cap
  WriteAll(name, bytes + "\n");
  EXPECT_TRUE(TSettingsFile().Load(name).empty());
}

TEST(SettingsFile, FailedSaveLeavesTheOldFile) {
  QTemporaryDir dir;
  const QByteArray old = "010old\r\n\r\n";
  const TPacketArray groups = {Group({{"010", "new"}})};

  // A path that is a folder.
  const QString folder = dir.path() + "/folder.qst";
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_FALSE(TSettingsFile().Save(folder, groups));
  EXPECT_TRUE(QFileInfo(folder).isDir());

  // A missing folder.
  EXPECT_FALSE(TSettingsFile().Save(dir.path() + "/none/a.qst", groups));

  // A target whose name leaves no room for the temporary file beside it: the
  // write cannot complete, whoever runs it.
  const QString longName = dir.path() + "/" + QString(250, 'n') + ".qst";
  WriteAll(longName, old);
  EXPECT_FALSE(TSettingsFile().Save(longName, groups));
  EXPECT_EQ(ReadAll(longName), old);

#ifdef Q_OS_UNIX
  // A read-only folder (root may write anyway, so only check when it cannot).
  const QString ro = dir.path() + "/ro";
  ASSERT_TRUE(QDir().mkpath(ro));
  const QString name = ro + "/a.qst";
  WriteAll(name, old);
  QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  if (geteuid() != 0) {
    EXPECT_FALSE(TSettingsFile().Save(name, groups));
    EXPECT_EQ(ReadAll(name), old);
  }
  QFile::setPermissions(ro,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/MessageService.h"
#include "platform/Registry.h"

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
      good + "\"A\"=dword:123\r\n",
      good + "\"A\"=dword:1234567g\r\n",
      good + "\"A\"\r\n",
      good + "[HKEY_LOCAL_MACHINE\\K]\r\n",
      "Windows Registry Editor Version 5.00\r\n\"A\"=\"value before any key\"\r\n",
      QByteArray(100, '\0'),
  };
  for (const QByteArray& bytes : cases) {
    WriteFile(bytes);
    TFileRegistryHive hive(FileName());
    TRegistry reg(hive);
    EXPECT_FALSE(reg.OpenKey("K", false)) << bytes.constData();
    // A write replaces the damaged file with a sound one.
    ASSERT_TRUE(reg.OpenKey("K", true));
    EXPECT_TRUE(reg.WriteString("A", "x"));
    EXPECT_EQ(TRegistry(hive).OpenKey("K", false), true);
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

TEST(MessageService, FilterConversion) {
  EXPECT_EQ(ToQtFilter("Q settings (*.qst)|*.qst|All files (*.*)|*.*"),
            "Q settings (*.qst);;All files (*.*)");
  EXPECT_EQ(ToQtFilter("Images|*.png;*.jpg"), "Images (*.png *.jpg)");
  EXPECT_EQ(ToQtFilter(""), "");
}

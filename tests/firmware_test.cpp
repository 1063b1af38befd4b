#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "firmware/Q_Firmware.h"

namespace {

// "00 01 02 ..." for n bytes, the last cell with or without its space.
std::string Cells(std::size_t n, bool lastSpace = true) {
  static const char hex[] = "0123456789ABCDEF";
  std::string line;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned b = i & 0xFF;
    line += hex[b >> 4];
    line += hex[b & 0xF];
    line += ' ';
  }
  if (!lastSpace && !line.empty()) line.pop_back();
  return line;
}

class FirmwareTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& content) {
    const QString name = FDir.path() + "/fw" + QString::number(++FFiles) + ".prg";
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.data(), static_cast<qint64>(content.size()));
    return name.toStdString();
  }
  QTemporaryDir FDir;
  int FFiles = 0;
};

}  // namespace

TEST_F(FirmwareTest, ImageSizes) {
  const std::pair<std::size_t, int> cases[] = {{1040, 2}, {520, 1}, {1041, 0}, {1039, 0}, {0, 0}};
  for (const auto& [bytes, count] : cases) {
    TFirmware fw;
    EXPECT_EQ(fw.LoadFromFile(Write("01.05\r\n" + Cells(bytes) + "\r\n")), count > 0) << bytes;
    EXPECT_EQ(fw.Count(), count) << bytes;
    if (count == 2) {
      ASSERT_EQ(fw.Packets().size(), 2u);
      EXPECT_EQ(fw.GetPacket(0).size(), 520u);
      EXPECT_EQ(fw.GetPacket(1).size(), 520u);
      EXPECT_EQ(fw.GetPacket(1)[0], 520 & 0xFF);  // packets follow file order
      EXPECT_EQ(fw.Version(), "0105");
    }
  }
}

TEST_F(FirmwareTest, VersionLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"01.05", "0105"}, {"1a.0f", "1A0F"},  {" 01-05 ", "0105"}, {"\t01x05\x01", "0105"},
      {"1.05", nullptr}, {"01.5x", nullptr}, {"001.05", nullptr}, {"", nullptr},
  };
  for (const auto& [line, version] : cases) {
    TFirmware fw;
    const bool ok = fw.LoadFromFile(Write(std::string(line) + "\r\n" + Cells(520) + "\r\n"));
    EXPECT_EQ(ok, version != nullptr) << line;
    EXPECT_EQ(fw.Version(), version ? version : "") << line;
  }
}

TEST_F(FirmwareTest, CellRules) {
  std::string image = Cells(519);
  TFirmware fw;
  // "0a " and a final "0A" read alike; a trailing single character is not read.
  ASSERT_TRUE(fw.LoadFromFile(Write("01.05\n" + image + "0A\n")));
  EXPECT_EQ(fw.GetPacket(0)[519], 0x0A);
  ASSERT_TRUE(fw.LoadFromFile(Write("01.05\n" + image + "0a \n")));
  EXPECT_EQ(fw.GetPacket(0)[519], 0x0A);
  ASSERT_TRUE(fw.LoadFromFile(Write("01.05\r\n" + image + "0a 7\r\nignored third line")));
  ASSERT_TRUE(fw.LoadFromFile(Write("01.05\n" + image + "1FF")));
  EXPECT_EQ(fw.GetPacket(0)[519], 0xFF);
  EXPECT_FALSE(fw.LoadFromFile(Write("01.05\n" + image + "0g ")));
  EXPECT_FALSE(fw.LoadFromFile(Write("01.05\n" + image + "   ")));
}

TEST_F(FirmwareTest, FailuresLeaveNoFirmware) {
  TFirmware fw;
  const std::string good = Write("01.05\r\n" + Cells(520) + "\r\n");
  ASSERT_TRUE(fw.LoadFromFile(good));
  EXPECT_EQ(fw.Count(), 1);

  const std::string bad[] = {Write("01.05\r\n"), Write("01.05"), Write(""),
                             Write("01.05\r\n" + Cells(100)), FDir.path().toStdString() + "/none"};
  for (const std::string& name : bad) {
    ASSERT_TRUE(fw.LoadFromFile(good));
    EXPECT_FALSE(fw.LoadFromFile(name)) << name;
    EXPECT_EQ(fw.Count(), 0);
    EXPECT_THROW(fw.GetPacket(0), EFirmwareError);
  }
}

TEST_F(FirmwareTest, GetPacketOutOfRange) {
  TFirmware fw;
  ASSERT_TRUE(fw.LoadFromFile(Write("01.05\r\n" + Cells(1040))));
  for (int index : {-1, 2}) {
    try {
      fw.GetPacket(index);
      ADD_FAILURE() << index;
    } catch (const EFirmwareError& e) {
      EXPECT_STREQ(e.what(), "InvalidFirmwarePacketNumber");
    }
  }
}

TEST_F(FirmwareTest, AFileNameOutsideAsciiOpens) {
  const QString name = FDir.path() + QString::fromUtf8("/Pr\u00fcfung \u0444.prg");
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(("02.06\r\n" + Cells(520) + "\r\n").c_str());
  f.close();
  TFirmware fw;
  EXPECT_TRUE(fw.LoadFromFile(std::filesystem::path(name.toStdU16String())));
  EXPECT_EQ(fw.Count(), 1);
}

// The firmware page in the window, uploading to the simulated device on a
// pseudo-terminal; and that opening a settings file talks to no device.
#include <QProgressBar>

#include "support/DeviceWindowFixture.h"

namespace {

class FirmwarePageTest : public DeviceWindowFixture {
 protected:
  QString MakeFirmware(int packets, const char* version = "02.06") {
    const QString name = FDir.path() + QString("/fw-%1-%2.prg").arg(packets).arg(version);
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(MakeTestFirmware(packets, version)));
    return name;
  }
  void ConnectRemembered() {
    Prefer("Remember", 1);
    Prefer("AccessCode", "375100");
    StartWindow();
    Key(Qt::Key_F2);
    ASSERT_TRUE(Window->Connected());
    Settle();  // the wait window goes
  }
  void Browse(const QString& name) {
    Messages.FileAnswers.push_back(name);
    Window->FirmwareFra->BrowseFirmFileBtn->click();
  }
  TFirmwareFra& Page() { return *Window->FirmwareFra; }
};

}  // namespace

TEST_F(FirmwarePageTest, ABadFileAfterAGoodOneLeavesNoFirmware) {
  StartWindow();
  EXPECT_FALSE(Enabled(Page().StartBtn));
  Browse(MakeFirmware(2));
  ASSERT_EQ(Messages.Dialogs.size(), 1u);
  EXPECT_EQ(Messages.Dialogs[0].Title, "Open");
  EXPECT_EQ(Messages.Dialogs[0].Filter, "K4 Firmware (*.prg)|*.prg|All files (*.*)|*.*");
  EXPECT_EQ(Messages.Dialogs[0].DefaultExt, "prg");
  EXPECT_TRUE(Enabled(Page().StartBtn));
  EXPECT_EQ(Page().Firmware().Count(), 2);
  const QString bad = FDir.path() + "/bad.prg";
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("02.06\r\n00 01 02\r\n");
  f.close();
  Browse(bad);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("BadFirmwareFile")});
  EXPECT_FALSE(Enabled(Page().StartBtn));
  EXPECT_EQ(Page().Firmware().Count(), 0);
  EXPECT_EQ(Page().FirmwareFileNameLab->text(), bad);

  // Start without a device connected says so.
  Browse(MakeFirmware(1));
  Messages.Messages.clear();
  Key(Qt::Key_F9);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("NoConnectionToObject")});
  EXPECT_TRUE(Enabled(Page().StartBtn));
}

TEST_F(FirmwarePageTest, AnUploadLocksTheCommandsAndShowsItsProgress) {
  StartDevice();
  ConnectRemembered();
  ASSERT_FALSE(Enabled(Window->WriteBtn));  // nothing read yet
  Browse(MakeFirmware(8));
  std::vector<int> gauge;
  QObject::connect(Page().FirmwareUpdateGauge, &QProgressBar::valueChanged,
                   [&](int v) { gauge.push_back(v); });
  bool locked = false;
  QObject::connect(Page().FirmwareUpdateGauge, &QProgressBar::valueChanged, [&](int v) {
    if (v != 3) return;
    locked = !Enabled(Window->OpenBtn) && !Enabled(Window->ReadBtn) && !Enabled(Page().StartBtn) &&
             !Window->SettingsTbs->isEnabled();
    const std::size_t dialogs = Messages.Dialogs.size();
    for (Qt::Key key : {Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F9})
      Key(key);
    EXPECT_EQ(Messages.Dialogs.size(), dialogs);
  });
  const int before = Requests;
  Key(Qt::Key_F9);
  EXPECT_TRUE(locked);
  EXPECT_EQ(Requests - before, 9);  // the start and eight packets: the keys sent nothing
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("FirmwareWritten")});
  EXPECT_EQ(gauge.back(), 8);
  EXPECT_EQ(Page().FirmwareUpdateGauge->maximum(), 8);
  EXPECT_TRUE(Page().NoLangProgressLab->text().startsWith("8 "));
  // Afterwards every command is there again, Write too.
  for (QWidget* w : std::initializer_list<QWidget*>{
           Window->ConnectDisconnectBtn, Window->ReadBtn, Window->WriteBtn, Window->OpenBtn,
           Window->SaveBtn, Window->OpenLastBtn, Page().StartBtn, Page().BrowseFirmFileBtn})
    EXPECT_TRUE(Enabled(w)) << w->objectName().toStdString();
  EXPECT_FALSE(Window->CommandRunning());

  // The device runs the new firmware; the same file again is nothing to do.
  Key(Qt::Key_F8);
  Key(Qt::Key_F8);
  EXPECT_EQ(FromQ(Window->StatusVerPanel->Caption()), "Ver: 2.06");
  Messages.Messages.clear();
  Page().FirmwareUpdateGauge->setValue(5);
  Key(Qt::Key_F9);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("VersionOK")});
  EXPECT_EQ(Page().FirmwareUpdateGauge->value(), 5);
}

TEST_F(FirmwarePageTest, AnUploadSurvivesDamagedAnswers) {
  // Request 1 is the status, 2 the start; 4 gets garbage (then "FE"), 6 "CRCERROR".
  StartDevice({}, {{4, TSimFault::Garbage}, {6, TSimFault::Crc}});
  ConnectRemembered();
  Browse(MakeFirmware(4));
  Key(Qt::Key_F9);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("FirmwareWritten")});
  EXPECT_EQ(Page().FirmwareUpdateGauge->value(), 4);
}

TEST_F(FirmwarePageTest, AnAbortEndsWithThePageLoadedAndTheWindowDisconnected) {
  StartDevice({}, {{4, TSimFault::Abort}});
  ConnectRemembered();
  Browse(MakeFirmware(4));
  Key(Qt::Key_F9);
  EXPECT_FALSE(Window->Connected());
  EXPECT_TRUE(Enabled(Page().StartBtn));
  EXPECT_TRUE(Enabled(Page().BrowseFirmFileBtn));
  EXPECT_EQ(Page().FirmwareUpdateGauge->value(), 1);  // the last acknowledged packet
  EXPECT_TRUE(Enabled(Window->ConnectDisconnectBtn));
  EXPECT_FALSE(Enabled(Window->ReadBtn));  // nothing to read from
  EXPECT_FALSE(Enabled(Window->WriteBtn));
  EXPECT_TRUE(Enabled(Window->OpenBtn));
  EXPECT_FALSE(Window->CommandRunning());
  Settle();
  EXPECT_EQ(std::count(Messages.Messages.begin(), Messages.Messages.end(), Tr("AbortReceived")), 1);
}

TEST_F(FirmwarePageTest, OpeningASettingsFileSendsNothing) {
  StartDevice();
  ConnectRemembered();
  const QString name = FDir.path() + "/a.qst";
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("100Shop\r\n\r\n");
  f.close();
  const int before = Requests;
  Messages.FileAnswers.push_back(name);
  Key(Qt::Key_F3);
  Settle(100);
  EXPECT_EQ(Requests, before);
  EXPECT_EQ(Window->AccountNameEd2->text(), "Shop");
}

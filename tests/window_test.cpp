// The main window, the About and the wait window on the offscreen platform.
#include <QSignalSpy>

#include "app/AccessCodeForm.h"
#include "app/Q_About.h"
#include "app/Q_WaitForm.h"
#include "i18n/LanguageFile.h"
#include "i18n/TreeItemKey.h"
#include "platform/Text.h"
#include "support/WindowFixture.h"

namespace {

const char kKey[] = "Software\\VX8config";

std::vector<std::string> TreeKeys(const QTreeWidget& tree) {
  std::vector<std::string> keys;
  for (int i = 0; i < tree.topLevelItemCount(); ++i)
    keys.push_back(FromQ(tree.topLevelItem(i)->data(0, kTreeItemKeyRole).toString()));
  return keys;
}

QTreeWidgetItem* TreeItem(const QTreeWidget& tree, const char* key) {
  for (int i = 0; i < tree.topLevelItemCount(); ++i)
    if (tree.topLevelItem(i)->data(0, kTreeItemKeyRole).toString() == key)
      return tree.topLevelItem(i);
  return nullptr;
}

using MainWindowTest = WindowFixture;

}  // namespace

TEST_F(MainWindowTest, FirstStartWithoutPreferences) {
  Start();
  EXPECT_EQ(TreeKeys(*Window->MainTreeView),
            (std::vector<std::string>{"TextSMSReportingTvi", "SettingsTvi", "FirmwareTvi"}));
  EXPECT_EQ(FromQ(Window->MainTreeView->topLevelItem(0)->text(0)), Tr("TextSMSReportingTvi"));
  EXPECT_TRUE(Window->MainTreeView->selectedItems().isEmpty());
  EXPECT_EQ(Window->MainPageControl->currentWidget(), Window->TextSMSReportingTbs);
  EXPECT_EQ(FromQ(Window->ConnectedLab->text()), Tr("Disconnected"));
  EXPECT_EQ(FromQ(Window->ConnectDisconnectBtn->text()), Tr("ConnectDisconnect"));
  EXPECT_FALSE(Window->ReadBtn->isEnabled());
  EXPECT_FALSE(Window->WriteBtn->isEnabled());
  EXPECT_FALSE(Window->OpenLastBtn->isEnabled());
  EXPECT_TRUE(Window->OpenBtn->isEnabled());
  EXPECT_FALSE(Window->ActiveConnectionSettings()->RestoreBtn->isEnabled());
  EXPECT_EQ(Window->Params().Count(), 31);
  EXPECT_EQ(Window->SessionAccessCode, "");  // until a dialog fills it
  EXPECT_EQ(Port.Name, "ttyUSB0");           // no stored name: the port keeps its own
  EXPECT_EQ(FromQ(Window->windowTitle()), Tr("MainForm"));
  EXPECT_FALSE(Window->DebugPanel->isVisible());
  EXPECT_FALSE(Window->StatusBtn->isVisible());
  EXPECT_EQ(Window->size(), Window->minimumSize());  // not resizable
  Window->close();
  Window.reset();
  EXPECT_FALSE(QFileInfo::exists(RegistryFile()));  // nothing written
}

TEST_F(MainWindowTest, StoredGeneration) {
  WriteString(kKey, "InterfaceVersion", "2");
  Start();
  EXPECT_EQ(Window->InterfaceVersion(), "2");
  EXPECT_EQ(
      TreeKeys(*Window->MainTreeView),
      (std::vector<std::string>{"MainTvi", "TextSMSReportingTv1", "SettingsTvi", "FirmwareTvi"}));
  EXPECT_EQ(Window->MainPageControl->currentWidget(), Window->SettingsTbs);
  EXPECT_TRUE(Window->MainTreeView->selectedItems().isEmpty());
  EXPECT_EQ(Window->Params().Count(), 43);
  Window.reset();

  // Anything but "1" or "2" is the first generation, written back so.
  WriteString(kKey, "InterfaceVersion", "7");
  Start();
  EXPECT_EQ(Window->InterfaceVersion(), "1");
  EXPECT_EQ(Window->Params().Count(), 31);
  Window.reset();
  EXPECT_EQ(ReadString(kKey, "InterfaceVersion"), "1");
}

TEST_F(MainWindowTest, StoredPortNameAndAccessCode) {
  struct Case {
    const char* what;
    std::optional<std::uint32_t> remember;
    std::optional<std::string> stored;
    std::string session;
  };
  const Case cases[] = {
      {"remembered", 1, "123400", "123400"},
      {"remembered but none stored", 1, std::nullopt, "375100"},
      {"not remembered", 0, "123400", "375100"},
  };
  for (const Case& c : cases) {
    QFile::remove(RegistryFile());
    WriteString("Software\\VX8config\\MainComport", "Port", "ttyS0");
    if (c.remember) WriteInteger(kKey, "Remember", *c.remember);
    if (c.stored) WriteString(kKey, "AccessCode", *c.stored);
    Start();
    EXPECT_EQ(Window->SessionAccessCode, c.session) << c.what;
    EXPECT_EQ(Window->ConnectionSettingsFra1->SaveAccessCode(), c.remember == 1u) << c.what;
    EXPECT_EQ(Window->ConnectionSettingsFra2->SaveAccessCode(), c.remember == 1u) << c.what;
    EXPECT_EQ(Port.Name, "ttyS0");
    EXPECT_EQ(FromQ(Window->ComportSettingsFra2->ComportPortCmb->currentText()), "ttyS0");
    Window.reset();
  }
}

TEST_F(MainWindowTest, ChangingTheGenerationResetsEveryEditor) {
  Start();
  Window->StatusVerPanel->SetCaption("Ver: 2.05");
  Window->AccessCodeEdt->setText("1234");
  Window->AccountNameEd2->setText("Shop");
  Window->TestTimeSpn->setValue(100);
  Window->callTimesSpn->setValue(5);
  Window->SMSTextFra->SMSTextGrd->SetCellText(1, 0, "Alarm");
  Window->notificationsFrame1->notificationChecksGrd->SetCellChecked(0, 0, true);
  Window->VX8v2x1mmi->trigger();
  EXPECT_EQ(Window->Params().Count(), 43);
  EXPECT_EQ(Window->PGMModeFra1->PGMCmb->count(), 2);
  Window->PanelTypeFra1->List->addItem("x");
  Window->VX8v1x1mmi->trigger();
  EXPECT_EQ(Window->Params().Count(), 31);
  EXPECT_EQ(Window->AccessCodeEdt->text(), "0");
  EXPECT_EQ(Window->AccountNameEd2->text(), "");
  EXPECT_EQ(Window->TestTimeSpn->value(), 24);
  EXPECT_EQ(Window->callTimesSpn->value(), 1);
  EXPECT_EQ(Window->SMSTextFra->SMSTextGrd->CellText(1, 0), "");
  EXPECT_FALSE(Window->notificationsFrame1->notificationChecksGrd->CellChecked(0, 0));
  EXPECT_EQ(Window->PanelTypeFra1->List->count(), 0);
  EXPECT_EQ(Window->PGMModeFra1->PGMCmb->count(), 0);
  EXPECT_EQ(Window->PGMModeFra2->PGMCmb->count(), 2);
  EXPECT_EQ(Window->StatusVerPanel->Caption(), "Ver: 2.05");  // the status bar stays

  // The same generation again resets too.
  Window->AccountNameEdt->setText("Shop");
  Window->VX8v1x1mmi->trigger();
  EXPECT_EQ(Window->AccountNameEdt->text(), "");
}

TEST_F(MainWindowTest, TreeItemsSelectTheirPages) {
  WriteString(kKey, "InterfaceVersion", "2");
  Start();
  const std::pair<const char*, TTabSheet*> cases[] = {
      {"MainTvi", Window->settingsTb1},
      {"TextSMSReportingTv1", Window->notificationsTbs},
      {"FirmwareTvi", Window->FirmwareTbs},
      {"SettingsTvi", Window->SettingsTbs},
  };
  for (const auto& [key, page] : cases) {
    QTreeWidgetItem* item = TreeItem(*Window->MainTreeView, key);
    ASSERT_NE(item, nullptr) << key;
    const QRect place = Window->MainTreeView->visualItemRect(item);
    QTest::mouseClick(Window->MainTreeView->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(Window->MainPageControl->currentWidget(), page) << key;
  }
  // A key of no page shows the empty page.
  Window->MainTreeView->topLevelItem(0)->setData(0, kTreeItemKeyRole, "Unknown");
  Window->MainTreeView->setCurrentItem(Window->MainTreeView->topLevelItem(0));
  EXPECT_EQ(Window->MainPageControl->currentWidget(), Window->EmptyTbs);
}

TEST_F(MainWindowTest, FunctionKeysClickEnabledButtonsOnly) {
  // A device that answers the status query at once.
  Port.Device = [](const TByteArray&) {
    TPacket status;
    status.PacketCount = status.PacketNumber = 1;
    status.Command = "F1";
    status.Data = {{"002", "Ver: 1.07"}};
    return std::vector<TByteArray>{SharedPacketParser().Encode(status, "")};
  };
  Start();
  Window->AccountNameEdt->setFocus();
  QSignalSpy connects(Window->ConnectDisconnectBtn, &QPushButton::clicked);
  QSignalSpy reads(Window->ReadBtn, &QPushButton::clicked);
  Key(Qt::Key_F7);  // Read is disabled while disconnected
  EXPECT_EQ(reads.count(), 0);
  Key(Qt::Key_F2);
  EXPECT_EQ(connects.count(), 1);
  EXPECT_TRUE(Window->Connected());
  EXPECT_EQ(Window->StatusVerPanel->Caption(), "Ver: 1.07");
  Key(Qt::Key_F8);
  EXPECT_EQ(connects.count(), 2);
  EXPECT_FALSE(Window->Connected());
  for (Qt::Key other : {Qt::Key_F10, Qt::Key_F12, Qt::Key_F1}) Key(other);
  EXPECT_EQ(connects.count(), 2);
  EXPECT_EQ(reads.count(), 0);
  EXPECT_TRUE(Modal.Shown.empty());
}

TEST_F(MainWindowTest, APortThatMayNotBeOpenedSaysHowToFixIt) {
  Start();
  Port.Denied = true;
  Key(Qt::Key_F2);
  Port.Denied = false;
  Port.Openable = false;  // in use, or missing
  Key(Qt::Key_F2);
  EXPECT_EQ(Messages.Messages,
            (std::vector<std::string>{Tr("ErrorPortPermission"), Tr("ErrorOpenComport")}));
  EXPECT_NE(Tr("ErrorPortPermission").find("dialout"), std::string::npos);
  EXPECT_FALSE(Window->Connected());
}

TEST_F(MainWindowTest, DeferredMessagesComeAfterTheEventInOrder) {
  Start();
  Window->PostDeferredMessage("first");
  Window->PostDeferredMessage("second");
  EXPECT_TRUE(Messages.Messages.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(Messages.Messages, (std::vector<std::string>{"first", "second"}));
}

TEST_F(MainWindowTest, OneWaitWindowLocksTheWindowUntilTheLinkIsIdle) {
  Start();
  Window->Link().Status = AwaitReply;  // a command waits
  Window->ShowWaitWindow();
  TQWaitFrm* first = QWaitFrm;
  Window->ShowWaitWindow();
  EXPECT_EQ(QWaitFrm, first);
  EXPECT_EQ(Window->findChildren<TQWaitFrm*>().size(), 1);
  EXPECT_FALSE(Window->ButtonsPnl->isEnabled());
  EXPECT_FALSE(Window->MainPageControl->isEnabled());
  EXPECT_FALSE(Window->MainTreeView->isEnabled());
  EXPECT_TRUE(Window->MainMenu1->isEnabled());
  EXPECT_EQ(FromQ(first->PleaseWaitLbl->text()), Tr("PleaseWait"));
  first->CheckStateTmrTimer();  // still waiting
  EXPECT_EQ(QWaitFrm, first);

  Window->Link().Status = Idle;
  EXPECT_TRUE(QTest::qWaitFor([] { return QWaitFrm.isNull(); }, 1000));
  EXPECT_TRUE(Window->ButtonsPnl->isEnabled());
  EXPECT_TRUE(Window->MainPageControl->isEnabled());
  EXPECT_TRUE(Window->MainTreeView->isEnabled());
}

TEST_F(MainWindowTest, EveryComponentIsInTheShippedLanguageFile) {
  Start();
  Window->ShowWaitWindow();
  TAccessCodeFrm dialog(Window->Language(), Messages);
  Window->Language().RegisterForm(&dialog);
  for (const char* key : {"About", "ProgramVersion", "UpdateDate", "Connect", "Disconnect",
                          "Connected", "Confirm", "ConfirmReset"})
    Tr(key);
  std::vector<std::string> missing;
  const auto& texts = Window->Language().Texts;
  for (int i = 0; i < texts.Count(); ++i)
    if (texts.At(i).Item.Text == "?" + texts.At(i).Key + "?") missing.push_back(texts.At(i).Key);
  EXPECT_EQ(missing, std::vector<std::string>{});
}

TEST(AboutWindow, CaptionsAndThePictureOfTheTitle) {
  QTemporaryDir dir;
  TFileRegistryHive hive(dir.path() + "/registry.reg");
  TFakeMessageService messages;
  for (const char* title : {"VX8config", "Qconfig"}) {
    TLanguageFileData data{{"English"},
                           {{"MainForm", {title}},
                            {"About", {"About it"}},
                            {"ProgramVersion", {"Version"}},
                            {"UpdateDate", {"Updated"}}}};
    std::string bytes, error;
    ASSERT_TRUE(WriteLanguageFile(data, bytes, error));
    QFile f(dir.path() + "/QLanguage.lng");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    f.close();
    TQLanguage language(messages, dir.path(), hive);
    ASSERT_TRUE(language.LoadLanguage("QLanguage.lng"));
    TScriptedModal modal;
    bool looked = false;
    modal.Script.push_back([&](QDialog& d) {
      auto& about = static_cast<TQAboutFrm&>(d);
      looked = true;
      const bool q = title[0] == 'Q';
      EXPECT_EQ(about.windowTitle(), "About it");
      EXPECT_EQ(about.MainFormLbl->text(), title);
      EXPECT_EQ(about.ProgramVersionLab->text(), "Version: 2.2.0");
      EXPECT_EQ(about.UpdatedLab->text(), "Updated: 2011.11.15");
      EXPECT_EQ(!about.Image1->isHidden(), !q) << title;
      EXPECT_EQ(!about.Image2->isHidden(), q) << title;
      EXPECT_EQ(!about.Image4->isHidden(), q) << title;
      EXPECT_EQ(!about.Label3->isHidden(), q) << title;
      EXPECT_TRUE(about.Image3->isHidden());
    });
    ShowAboutWindow(language, modal, nullptr);
    EXPECT_TRUE(looked);
    EXPECT_TRUE(QAboutFrm.isNull());  // freed; the next call makes a new one
  }
}

namespace {

QByteArray ReadFile(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The codes of each group of a saved file.
std::vector<std::vector<std::string>> GroupCodes(const QByteArray& file) {
  std::vector<std::vector<std::string>> groups(1);
  for (const QByteArray& line : file.split('\n')) {
    const QByteArray text = line.trimmed();
    if (text.isEmpty())
      groups.emplace_back();
    else
      groups.back().push_back(text.left(3).toStdString());
  }
  while (!groups.empty() && groups.back().empty()) groups.pop_back();
  return groups;
}

using SettingsFileCommands = WindowFixture;

}  // namespace

TEST_F(SettingsFileCommands, SaveWritesTheFourGroupsWithoutTheAccessCode) {
  Start();
  const QString name = FDir.path() + "/shop.qst";
  Window->AccessCodeEdt->setText("1234");
  Window->AccountNameEdt->setText("  Shop  inner  ");
  Window->StorePacket({1, 1, 0, 0, "F1", {{"011", "9999"}, {"001", "SN"}}});
  Messages.FileAnswers.push_back(name);
  Key(Qt::Key_F5);
  ASSERT_EQ(Messages.Dialogs.size(), 1u);
  EXPECT_EQ(Messages.Dialogs[0].Title, "Save settings");
  EXPECT_EQ(Messages.Dialogs[0].Filter, "Q settings (*.qst)|*.qst|All files (*.*)|*.*");
  EXPECT_EQ(Messages.Dialogs[0].DefaultExt, "qst");
  EXPECT_TRUE(Messages.Dialogs[0].Flags & TFileDialogOptions::OverwritePrompt);
  const QByteArray file = ReadFile(name);
  EXPECT_EQ(GroupCodes(file),
            (std::vector<std::vector<std::string>>{{"010", "013", "016", "025", "026", "090", "091",
                                                    "092", "093", "094", "095", "096", "097"},
                                                   {"100"},
                                                   {"300", "301", "302", "303", "304", "305"},
                                                   {"400", "401", "402", "403", "404", "405"}}));
  EXPECT_TRUE(file.startsWith("0100000\r\n"));
  EXPECT_TRUE(file.contains("\r\n090\r\n"));  // an empty value is the bare code
  EXPECT_TRUE(file.endsWith("405\r\n\r\n"));
  EXPECT_FALSE(Window->OpenLastBtn->isEnabled());  // Save does not change the last file
  EXPECT_TRUE(Messages.Messages.empty());

  // A file that cannot be written says so.
  Messages.FileAnswers.push_back(FDir.path() + "/missing/folder.qst");
  Key(Qt::Key_F5);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("ErrorSaveSettings")});
}

TEST_F(SettingsFileCommands, OpenBringsTheValuesBackAndOpenLastDoesAgain) {
  Start();
  // The device's lists, as a read delivers them.
  Window->StorePacket({1, 1, 0, 0, "F3", {{"600", "01-Contact ID"}, {"601", "02-Paradox"}}});
  Window->StorePacket({1, 1, 0, 0, "F3", {{"800", "01-English"}, {"801", "02-Deutsch"}}});
  const QString name = FDir.path() + "/shop.qst";
  WriteFile(name,
            "0101234\r\n01302\r\n026 02\r\n0124321\r\n\r\n100  Shop  inner  \r\n\r\n"
            "300\r\n301Door\r\n\r\n\r\n");
  Messages.FileAnswers.push_back(name);
  Key(Qt::Key_F3);
  ASSERT_EQ(Messages.Dialogs.size(), 1u);
  EXPECT_EQ(Messages.Dialogs[0].Title, "Load settings");
  EXPECT_TRUE(Messages.Dialogs[0].Flags & TFileDialogOptions::FileMustExist);
  EXPECT_EQ(Window->Params().Find("010")->GetValue(), "1234");
  EXPECT_EQ(Window->AccountNameEdt->text(), "  Shop  inner");  // trailing spaces are lost
  EXPECT_EQ(Window->AccessCodeEdt->text(), "4321");            // a hand-made "012" line
  EXPECT_EQ(Window->PanelTypeFra2->GetPanelType(), "02");
  EXPECT_EQ(Window->SmsLanguageFrm1->GetSmsLanguage(), "");  // " 02" is no choice
  EXPECT_EQ(Window->SMSTextFra->SMSTextGrd->CellText(1, 1), "Door");
  EXPECT_TRUE(Window->OpenLastBtn->isEnabled());
  EXPECT_EQ(Window->LastSettingsFile(), name);
  EXPECT_TRUE(Messages.Messages.empty());

  // Open last, without a dialog, as Open: the selectors choose again.
  Window->AccountNameEdt->setText("changed");
  Window->PanelTypeFra2->List->setCurrentIndex(0);
  Key(Qt::Key_F4);
  EXPECT_EQ(Messages.Dialogs.size(), 1u);
  EXPECT_EQ(Window->AccountNameEdt->text(), "  Shop  inner");
  EXPECT_EQ(Window->PanelTypeFra2->GetPanelType(), "02");
}

TEST_F(SettingsFileCommands, AFileOfTheOtherGenerationAddsItsCodes) {
  WriteString(kKey, "InterfaceVersion", "2");
  Start();
  const QString name = FDir.path() + "/v2.qst";
  Window->callTimesSpn->setValue(4);
  Messages.FileAnswers.push_back(name);
  Key(Qt::Key_F5);
  Window->VX8v1x1mmi->trigger();
  Messages.FileAnswers.push_back(name);
  Key(Qt::Key_F3);
  // 027, 098, 306, 350..356 and 450..455 become plain nodes the next write sends.
  EXPECT_EQ(Window->Params().Count(), 31 + 16);
  const TPacketDataArray group0 = Window->Gather('0');
  EXPECT_EQ(group0.back().Code, "098");
  EXPECT_EQ(Window->Params().Find("027")->GetValue(), "04");
  EXPECT_EQ(Window->Gather('3').size(), 6u + 8u);
}

TEST_F(SettingsFileCommands, CancelAndUnreadableFilesChangeNothing) {
  Start();
  Window->AccountNameEdt->setText("kept");
  Key(Qt::Key_F3);  // the user cancels the dialog
  EXPECT_EQ(Window->AccountNameEdt->text(), "kept");
  EXPECT_TRUE(Messages.Messages.empty());
  for (const QString& name : {FDir.path() + "/missing.qst", FDir.path()}) {
    Messages.FileAnswers.push_back(name);
    Key(Qt::Key_F3);
  }
  EXPECT_EQ(Messages.Messages, std::vector<std::string>(2, Tr("ErrorLoadSettings")));
  EXPECT_EQ(Window->AccountNameEdt->text(), "kept");
  EXPECT_EQ(Window->LastSettingsFile(), "");
  EXPECT_EQ(Window->Params().Count(), 31);
}

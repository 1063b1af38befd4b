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

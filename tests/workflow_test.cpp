// The connection workflow in the window against the simulated device on a
// real pseudo-terminal, with the dialogs scripted.
#include "support/DeviceWindowFixture.h"

using WorkflowTest = DeviceWindowFixture;

TEST_F(WorkflowTest, RememberedCodeReadsRightAfterConnecting) {
  StartDevice();
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  ASSERT_EQ(Window->InterfaceVersion(), "1");
  Key(Qt::Key_F2);
  EXPECT_TRUE(Window->Connected());
  EXPECT_EQ(Window->InterfaceVersion(), "2");  // from "Ver: 2.05", before the read
  EXPECT_EQ(FromQ(Window->StatusSNPanel->Caption()), "VX8-004711");
  EXPECT_TRUE(Modal.Shown.empty());
  EXPECT_EQ(Window->AccountNameEd2->text(), "VX8 object");
  EXPECT_EQ(Window->callTimesSpn->value(), 3);
  EXPECT_EQ(Window->PanelTypeFra1->GetPanelType(), "01");
  EXPECT_TRUE(Enabled(Window->WriteBtn));
  EXPECT_FALSE(Enabled(Window->DevicesMenuMmi));
  EXPECT_EQ(FromQ(Window->ConnectedLab->text()), Tr("Connected"));
  EXPECT_EQ(FromQ(Window->ConnectDisconnectBtn->text()), Tr("Disconnect"));
  EXPECT_EQ(Window->MainPageControl->currentWidget(), Window->HomePage());
  EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(WorkflowTest, TheDialogAsksForFourOrSixDigits) {
  StartDevice();
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  // Not remembered: the built-in code's first four digits are offered. Five
  // digits, then the pre-filled "0", are refused and the dialog stays.
  Modal.Script.push_back([this](QDialog& d) {
    auto& dialog = static_cast<TAccessCodeFrm&>(d);
    Prefilled.push_back(dialog.AccessCodeEdt->text());
    dialog.AccessCodeEdt->clear();
    QTest::keyClicks(dialog.AccessCodeEdt, "37510");
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.AccessCodeEdt->setText("0");
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    QTest::keyClicks(dialog.AccessCodeEdt, "1234567");  // a seventh digit cannot be typed
    EXPECT_EQ(dialog.AccessCodeEdt->text(), "012345");
    dialog.AccessCodeEdt->clear();
    QTest::keyClicks(dialog.AccessCodeEdt, "3751");
    dialog.OKBtn->click();
  });
  Key(Qt::Key_F2);
  EXPECT_EQ(Prefilled, QStringList{"3751"});
  EXPECT_EQ(Messages.Messages, std::vector<std::string>(2, Tr("WrongAccessCodeLength")));
  EXPECT_EQ(Window->SessionAccessCode, "375100");  // four digits and "00"
  EXPECT_TRUE(Enabled(Window->WriteBtn));

  // Six digits are kept as they are; a code not ending in "00" shows whole.
  Messages.Messages.clear();
  Modal.Script.push_back(Type("375100", true));
  Key(Qt::Key_F7);
  EXPECT_EQ(Window->SessionAccessCode, "375100");
  EXPECT_TRUE(Window->ActiveConnectionSettings()->SaveAccessCode());
  Window->SessionAccessCode = "123456";
  Window->ActiveConnectionSettings()->SetSaveAccessCode(false);
  Modal.Script.push_back(CloseBox());
  Key(Qt::Key_F6);  // not remembered: the built-in code is offered again
  EXPECT_EQ(Prefilled.back(), "3751");
  TAccessCodeFrm dialog(Window->Language(), Messages);
  dialog.SetAccessCode("123456");
  EXPECT_EQ(dialog.AccessCodeEdt->text(), "123456");
  dialog.SetAccessCode("");
  EXPECT_EQ(dialog.AccessCodeEdt->text(), "0");
}

TEST_F(WorkflowTest, TheCloseBoxEndsTheCommandSilently) {
  StartDevice();
  StartWindow();
  Key(Qt::Key_F2);
  Window->SessionAccessCode = "111100";
  const int before = Requests;
  Modal.Script.push_back(CloseBox());
  Key(Qt::Key_F7);
  Modal.Script.push_back(CloseBox());
  Key(Qt::Key_F6);  // Write is disabled: nothing happens at all
  EXPECT_EQ(Modal.Shown.size(), 1u);
  EXPECT_EQ(Window->SessionAccessCode, "111100");
  EXPECT_FALSE(Window->ActiveConnectionSettings()->SaveAccessCode());
  EXPECT_EQ(Requests, before);
  EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(WorkflowTest, AWrongCodeThenTheRightOne) {
  StartDevice();
  Prefer("Remember", 1);
  Prefer("AccessCode", "999900");
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  Modal.Script.push_back(Type("3751", true));
  Key(Qt::Key_F2);
  // The remembered code was tried without asking, refused, then asked for.
  EXPECT_EQ(Messages.Messages.front(), Tr("ErrorWrongPassword"));
  EXPECT_EQ(Count(Tr("ErrorWrongPassword")), 1);
  EXPECT_EQ(Prefilled, QStringList{"9999"});
  EXPECT_EQ(Window->SessionAccessCode, "375100");
  EXPECT_EQ(Window->AccountNameEd2->text(), "VX8 object");
  EXPECT_TRUE(Enabled(Window->WriteBtn));
}

TEST_F(WorkflowTest, TheStatusPicksTheGeneration) {
  StartDevice();  // "Ver: 2.05"
  StartWindow();
  Key(Qt::Key_F2);
  EXPECT_EQ(Window->InterfaceVersion(), "2");
  Key(Qt::Key_F2);  // disconnect

  TSimConfig v1;
  v1.Generation = 1;
  StartDevice(v1);
  Window->AccountNameEd2->setText("left over");
  Window->AccountNameEdt->setText("left over");
  Key(Qt::Key_F2);
  EXPECT_EQ(Window->InterfaceVersion(), "1");
  EXPECT_EQ(Window->AccountNameEd2->text(), "");  // every editor reset
  EXPECT_EQ(Window->AccountNameEdt->text(), "");
  EXPECT_EQ(Window->Params().Count(), 31);
  Key(Qt::Key_F2);

  TSimConfig other;
  other.Version = "3.00";
  StartDevice(other);
  Window->AccountNameEdt->setText("kept");
  Key(Qt::Key_F2);
  EXPECT_EQ(Window->InterfaceVersion(), "1");
  EXPECT_EQ(Window->AccountNameEdt->text(), "kept");
  EXPECT_EQ(FromQ(Window->StatusVerPanel->Caption()), "Ver: 3.00");
}

TEST_F(WorkflowTest, WriteThenReadBackAndReconnect) {
  StartDevice();
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  Key(Qt::Key_F2);
  ASSERT_TRUE(Enabled(Window->WriteBtn));
  Window->AccountNameEd2->setText("Bakery Main St");
  Window->notificationsFrame1->notificationChecksGrd->SetCellChecked(3, 2, true);
  Key(Qt::Key_F6);
  EXPECT_TRUE(Messages.Messages.empty());
  EXPECT_EQ(Device->Settings().at("100"), "Bakery Main St");
  EXPECT_EQ(Device->Settings().at("351"), "00010000");

  // After a new connection Write waits for a read, restore or write.
  Key(Qt::Key_F8);
  Window->ActiveConnectionSettings()->SetReadAfterConnect(false);
  Key(Qt::Key_F8);
  EXPECT_TRUE(Window->Connected());
  EXPECT_FALSE(Enabled(Window->WriteBtn));
  Window->AccountNameEd2->setText("changed here");
  Key(Qt::Key_F7);
  EXPECT_EQ(Window->AccountNameEd2->text(), "Bakery Main St");
  EXPECT_TRUE(Window->notificationsFrame1->notificationChecksGrd->CellChecked(3, 2));
  EXPECT_TRUE(Enabled(Window->WriteBtn));
}

TEST_F(WorkflowTest, RestoreAsksFirstAndReachesTheActiveFrame) {
  StartDevice();  // a second-generation device
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  StartWindow();  // showing the first generation
  Key(Qt::Key_F2);
  ASSERT_EQ(Window->InterfaceVersion(), "2");
  EXPECT_TRUE(Enabled(Window->ConnectionSettingsFra1->RestoreBtn));
  const int before = Requests;
  Messages.YesNoAnswer = false;
  Settle();  // the wait window has gone
  Window->ConnectionSettingsFra1->RestoreBtn->click();
  ASSERT_EQ(Messages.Questions.size(), 1u);
  EXPECT_EQ(Messages.Questions[0], Tr("Confirm") + "|" + Tr("ConfirmReset"));
  EXPECT_EQ(Requests, before);  // No sends nothing

  auto settings = Device->Settings();
  settings["100"] = "changed";
  Device->SetSettings(settings);
  Messages.YesNoAnswer = true;
  Key(Qt::Key_F11);
  EXPECT_EQ(Messages.Questions.size(), 2u);
  EXPECT_EQ(Device->Settings().at("100"), "VX8 object");
  EXPECT_EQ(Window->AccountNameEd2->text(), "VX8 object");
  EXPECT_TRUE(Enabled(Window->WriteBtn));
}

TEST_F(WorkflowTest, AFirstRunRestoreSendsTheEmptyCodePaddedWithZeros) {
  TSimConfig config;
  config.FactoryAccessCode = "";  // the device expects "000000"
  StartDevice(config);
  StartWindow();
  ASSERT_EQ(Window->SessionAccessCode, "");
  Key(Qt::Key_F2);
  Key(Qt::Key_F11);
  EXPECT_TRUE(Modal.Shown.empty());
  EXPECT_TRUE(Messages.Messages.empty());
  EXPECT_TRUE(Enabled(Window->WriteBtn));
}

TEST_F(WorkflowTest, AFailedRestoreLeadsToTheDialogWhoseCancelEndsIt) {
  StartDevice({}, {{2, TSimFault::Wrong}, {3, TSimFault::Wrong}});
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  StartWindow();
  Key(Qt::Key_F2);
  Modal.Script.push_back(Type("3751", true));
  Modal.Script.push_back(CloseBox());
  Key(Qt::Key_F11);
  EXPECT_EQ(Count(Tr("ErrorWrongPassword")), 2);
  EXPECT_EQ(Prefilled, (QStringList{"3751", "3751"}));
  EXPECT_FALSE(Enabled(Window->WriteBtn));
  EXPECT_TRUE(Window->Connected());
}

TEST_F(WorkflowTest, AnAbortDisconnectsThenSaysSoOnce) {
  StartDevice({}, {{2, TSimFault::Abort}});
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  QStringList stateWhenToldAbout;
  Messages.OnMessage = [&] {
    stateWhenToldAbout << Window->ConnectedLab->text() << Window->ConnectDisconnectBtn->text();
  };
  Key(Qt::Key_F2);
  EXPECT_FALSE(Window->Connected());
  EXPECT_FALSE(Port.IsOpen());
  EXPECT_TRUE(Modal.Shown.empty());  // no retry on a closed port
  QCoreApplication::processEvents();
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("AbortReceived")});
  EXPECT_EQ(stateWhenToldAbout, (QStringList{ToQ(Tr("Disconnected")), ToQ(Tr("Connect"))}));
  // The next connection works.
  Settle();
  Key(Qt::Key_F2);
  EXPECT_TRUE(Enabled(Window->WriteBtn));
}

TEST_F(WorkflowTest, APortThatVanishesDisconnectsAndCanBeConnectedAgain) {
  // Request 3 (the second packet of the read) finds the port gone.
  StartDevice({}, {{3, TSimFault::Vanish}});
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  Prefer("ReadAfterConnect", 1);
  StartWindow();
  QElapsedTimer time;
  time.start();
  Key(Qt::Key_F2);
  EXPECT_LT(time.elapsed(), 3000);
  EXPECT_FALSE(Window->Connected());
  EXPECT_EQ(FromQ(Window->ConnectedLab->text()), Tr("Disconnected"));
  Settle();
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("NoConnectionToObject")});
  EXPECT_TRUE(Modal.Shown.empty());
  EXPECT_FALSE(Enabled(Window->ReadBtn));

  Settle(600);  // the port is back
  Key(Qt::Key_F2);
  EXPECT_TRUE(Window->Connected());
  EXPECT_TRUE(Enabled(Window->WriteBtn));

  // Lost while idle: the window notices by itself.
  Messages.Messages.clear();
  StopDevice();  // the line is gone
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Window->Connected(); }, 3000));
  Settle(50);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("NoConnectionToObject")});
}

TEST_F(WorkflowTest, NoSecondCommandWhileOneRuns) {
  TPtyHostOptions slow;
  slow.DelayMs = 150;
  StartDevice({}, {}, slow);
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  StartWindow();
  Key(Qt::Key_F2);
  ASSERT_TRUE(Window->Connected());
  int keysPressed = 0;
  QTimer::singleShot(60, Window.get(), [&] {
    for (Qt::Key key : {Qt::Key_F7, Qt::Key_F6, Qt::Key_F3, Qt::Key_F5, Qt::Key_F11, Qt::Key_F2})
      Key(key);
    Window->VX8v1x1mmi->trigger();
    Window->AboutMenuMmi->trigger();
    keysPressed = 1;
  });
  Key(Qt::Key_F7);
  EXPECT_EQ(keysPressed, 1);
  EXPECT_TRUE(Modal.Shown.empty());
  EXPECT_TRUE(Messages.Dialogs.empty());
  EXPECT_TRUE(Messages.Questions.empty());
  EXPECT_TRUE(Messages.Messages.empty());
  EXPECT_EQ(Window->InterfaceVersion(), "2");
  EXPECT_TRUE(Window->Connected());
}

TEST_F(WorkflowTest, ClosingDuringACommandEndsItFirst) {
  StartDevice({}, {{2, TSimFault::Silent}});
  Prefer("Remember", 1);
  Prefer("AccessCode", "375100");
  StartWindow();
  Key(Qt::Key_F2);
  Window->Link().AnswerTimeoutMs = 15000;
  QElapsedTimer time;
  time.start();
  QTimer::singleShot(100, Window.get(), [this] { Window->close(); });
  Key(Qt::Key_F7);  // waits for an answer that never comes
  EXPECT_LT(time.elapsed(), 3000);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Window->isVisible(); }, 2000));
  EXPECT_FALSE(Port.IsOpen());
  EXPECT_FALSE(Window->SettingsLoaded());
  EXPECT_EQ(Window->Link().Status, Idle);
  EXPECT_TRUE(Messages.Messages.empty());
  Window.reset();  // frees the link and the registries after the command
}

TEST_F(WorkflowTest, APortThatCannotBeOpenedChangesNothing) {
  StartWindow();  // no device: the line does not exist
  Key(Qt::Key_F2);
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{Tr("ErrorOpenComport")});
  EXPECT_FALSE(Window->Connected());
  EXPECT_FALSE(Port.IsOpen());
  EXPECT_EQ(FromQ(Window->ConnectedLab->text()), Tr("Disconnected"));
  EXPECT_FALSE(Enabled(Window->ReadBtn));
  EXPECT_TRUE(Window->DevicesMenuMmi->isEnabled());
}

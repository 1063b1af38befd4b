// The connection workflow of the main window: connecting, the status query
// and the generation it picks, reading, writing and restoring the settings
// under the access code, and what happens when the device or the port goes.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "app/AccessCodeForm.h"
#include "app/Main.h"
#include "app/Q_About.h"
#include "platform/Text.h"

TMainFormFrm::TCommandScope::TCommandScope(TMainFormFrm& window) : FWindow(window) {
  ++FWindow.FCommandDepth;
}

TMainFormFrm::TCommandScope::~TCommandScope() {
  if (--FWindow.FCommandDepth == 0 && FWindow.FCloseRequested)
    QTimer::singleShot(0, &FWindow, [w = &FWindow] { w->close(); });
}

void TMainFormFrm::ShowTranslated(const std::string& key) {
  FMessages.ShowMessage(FLanguage->Translate(key));
}

void TMainFormFrm::ShowResultKey() {
  if (!FLink->ResultKey.empty()) ShowTranslated(FLink->ResultKey);
}

bool TMainFormFrm::CommandMustEnd() {
  if (FCloseRequested) return true;
  if (FConnected) return false;
  // The port was lost: its message is the link's result key, shown once. An
  // abort has posted "AbortReceived" already.
  if (FLink->ResultKey == "NoConnectionToObject") ShowResultKey();
  return true;
}

// ---------------------------------------------------------------- connecting

void TMainFormFrm::ConnectDisconnectBtnClick() {
  TCommandScope command(*this);
  if (MainComPort->IsOpen())
    DisconnectPort();
  else
    ConnectPort();
}

void TMainFormFrm::ConnectPort() {
  if (!MainComPort->IsOpen() && !MainComPort->Open()) {
    // Lacking the permission has a fix of its own, and says so.
    ShowTranslated(MainComPort->AccessDenied() ? "ErrorPortPermission" : "ErrorOpenComport");
    return;
  }
  try {
    FLink->ConnectionKind = 1;
    ConnectDisconnectBtn->setText(FLanguage->TranslateToQ("Disconnect"));
    UpdateConnectionState(true);
  } catch (...) {
    ShowTranslated("ErrorOpenComport");
  }
}

void TMainFormFrm::DisconnectPort() {
  try {
    MainComPort->Close();
    FLink->ConnectionKind = 0;
    ConnectDisconnectBtn->setText(FLanguage->TranslateToQ("Connect"));
    UpdateConnectionState(false);
  } catch (...) {
    ShowTranslated("ErrorCloseComport");
  }
}

void TMainFormFrm::PortFailed(const QString&) {
  // A refused setting leaves the port open; only a port that closed under
  // the connection (the adapter was pulled) ends it.
  if (!FConnected || MainComPort->IsOpen()) return;
  FLink->ConnectionKind = 0;
  ConnectDisconnectBtn->setText(FLanguage->TranslateToQ("Connect"));
  UpdateConnectionState(false);
  // A running command says it itself when it ends.
  if (!CommandRunning()) PostDeferredMessage(FLanguage->Translate("NoConnectionToObject"));
}

void TMainFormFrm::UpdateConnectionState(bool connected) {
  FConnected = connected;
  StatusBtn->setEnabled(connected);
  ReadBtn->setEnabled(connected);
  WriteBtn->setEnabled(false);  // until a read, restore or write succeeds
  if (connected) {
    ConnectedLab->setText(FLanguage->TranslateToQ("Connected"));
    DevicesMenuMmi->setEnabled(false);
    StatusBtnClick();
    const QString version = StatusVerPanel->Caption();
    if (version.contains("Ver: 1.")) ApplyInterfaceVersion("1");
    if (version.contains("Ver: 2.")) ApplyInterfaceVersion("2");
    if (FConnectionSettings->GetReadAfterConnect() && ReadBtn->isEnabledTo(ButtonsPnl) &&
        FConnected)
      ReadBtnClick();
  } else {
    ConnectedLab->setText(FLanguage->TranslateToQ("Disconnected"));
    DevicesMenuMmi->setEnabled(true);
  }
  // The Restore button of the frame active now runs the restore.
  disconnect(FRestoreConnection);
  FRestoreConnection = connect(FConnectionSettings->RestoreBtn, &QPushButton::clicked, this,
                               [this] { RestoreBtnClick(); });
  FConnectionSettings->RestoreBtn->setEnabled(FConnected);
}

void TMainFormFrm::DeviceAborted() {
  if (FConnected) DisconnectPort();
  PostDeferredMessage(FLanguage->Translate("AbortReceived"));
}

// ---------------------------------------------------------------- commands

void TMainFormFrm::StatusBtnClick() {
  TCommandScope command(*this);
  ShowWaitWindow();
  if (!FLink->GetStatus() && FConnected && !FCloseRequested) ShowResultKey();
}

void TMainFormFrm::ReadBtnClick() {
  ReadFromDevice(false);
}

void TMainFormFrm::WriteBtnClick() {
  WriteToDevice();
}

void TMainFormFrm::RestoreBtnClick() {
  TCommandScope command(*this);
  if (!FMessages.AskYesNo(FLanguage->Translate("Confirm"), FLanguage->Translate("ConfirmReset")))
    return;
  ReadFromDevice(true);
}

bool TMainFormFrm::AskAccessCode(std::string& code, bool& remember) {
  TCommandScope command(*this);
  TAccessCodeFrm dialog(*FLanguage, FMessages);
  FLanguage->RegisterForm(&dialog);
  dialog.SetAccessCode(code);
  dialog.SetRemember(remember);
  FOpenDialog = &dialog;
  const bool confirmed = FServices.Modal->Run(dialog) == QDialog::Accepted && !FCloseRequested;
  FOpenDialog = nullptr;
  if (confirmed) {
    code = dialog.GetAccessCode();
    remember = dialog.GetRemember();
  }
  FLanguage->UnregisterForm(&dialog);
  return confirmed;
}

bool TMainFormFrm::TakeAccessCode(bool& skipDialog, bool& remember) {
  std::string code = FConnectionSettings->SaveAccessCode() ? SessionAccessCode : kDefaultAccessCode;
  if (skipDialog) {
    skipDialog = false;
  } else if (!AskAccessCode(code, remember)) {
    return false;
  }
  SessionAccessCode = code;
  FConnectionSettings->SetSaveAccessCode(remember);
  return true;
}

void TMainFormFrm::SettingsLoadedHere() {
  SetSettingsLoaded(true);
  ShowPage(FHomePage);
  MainTreeView->clearSelection();
  MainTreeView->setCurrentItem(nullptr);
}

void TMainFormFrm::ReadFromDevice(bool restore) {
  TCommandScope command(*this);
  // A restore tries the session's code first, without asking; after a
  // failure it asks, as a read does, so that it cannot repeat forever.
  bool skipDialog = restore || FConnectionSettings->SaveAccessCode();
  bool remember = FConnectionSettings->SaveAccessCode();
  for (bool first = true;; first = false) {
    if (!(restore && first) && !TakeAccessCode(skipDialog, remember)) return;
    ShowWaitWindow();
    if (FLink->ReadSettings(SessionAccessCode, restore)) break;
    if (CommandMustEnd()) return;
    ShowResultKey();
    if (restore) skipDialog = false;
  }
  SettingsLoadedHere();
}

void TMainFormFrm::WriteToDevice() {
  TCommandScope command(*this);
  bool skipDialog = FConnectionSettings->SaveAccessCode();
  bool remember = skipDialog;
  for (;;) {
    if (!TakeAccessCode(skipDialog, remember)) return;
    ShowWaitWindow();
    const std::uint32_t start = FServices.Pump->Ticks();
    bool written = true;
    std::uint8_t number = 0;
    for (char group : kSettingsGroups) {
      ++number;
      const TPacketDataArray items = Gather(group);
      if (items.empty()) continue;  // its number is skipped; the count stays 4
      if (!FLink->WriteSettingsPacket(SessionAccessCode, items, number, 4)) {
        written = false;
        break;
      }
    }
    if (!written) {
      if (CommandMustEnd()) return;
      ShowResultKey();
    }
    if (DebugMemoVisible())
      DebugMemoAdd("Total settings write time: " +
                   std::to_string(static_cast<std::uint32_t>(FServices.Pump->Ticks() - start)));
    if (written) break;
    ShowTranslated("ErrorSettingsWriteFailed");
  }
  SettingsLoadedHere();
}

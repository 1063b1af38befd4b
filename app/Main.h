#pragma once
// The program's one window: the toolbar, the tree that selects the pages of
// both device generations' editors, the status bar, the menu, and
// everything that lives as long as the program: the serial port, the device
// link, the three parameter registries and the settings file object.
//
// This header declares the whole window; its behaviour is split by subject:
// Main.cpp (start-up, layout, preferences, generations, pages, keys, states),
// MainWorkflow.cpp (connect, status, read, write, restore) and MainFiles.cpp
// (settings files and the firmware page's hook).

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "app/ParameterBinding.h"
#include "editors/ComportSettingsFrame.h"
#include "editors/ConnectionSettingsFrame.h"
#include "editors/NumEdit.h"
#include "editors/PGMModeFrame.h"
#include "editors/PanelTypeFrame.h"
#include "editors/SMSTextFrame.h"
#include "editors/SmsLanguageFrame.h"
#include "editors/TelephonesForReportingFrame.h"
#include "editors/notificationsFram.h"
#include "firmware/FirmwareFrame.h"
#include "i18n/LanguageSelectionComboBoxFrame.h"
#include "i18n/Q_Language.h"
#include "link/Q_Common.h"
#include "model/DataNodeHandler.h"
#include "platform/EventPump.h"
#include "platform/MessageService.h"
#include "platform/ModalRunner.h"
#include "platform/Panel.h"
#include "platform/PortWatcher.h"
#include "platform/SerialPort.h"
#include "platform/SpinEdit.h"
#include "platform/TabSheet.h"
#include "settings/Q_SettingsFile.h"

// What the window is given rather than makes: the platform services, so tests
// can give fakes.
struct TMainFormServices {
  TMessageService* Messages = nullptr;
  TModalRunner* Modal = nullptr;
  TSerialPort* ComPort = nullptr;  // MainComPort; not owned
  TPortLister* PortLister = nullptr;
  TEventPump* Pump = nullptr;
  QString ProgramDir;  // where "QLanguage.lng" lies; the program's own folder if empty
};

class TMainFormFrm : public QMainWindow, public TLinkOwner {
  Q_OBJECT

 public:
  static constexpr const char* kDefaultAccessCode = "375100";
  static constexpr const char* kPreferencesKey = "Software\\VX8config";

  explicit TMainFormFrm(const TMainFormServices& services, QWidget* parent = nullptr);
  ~TMainFormFrm() override;

  // Generations, pages and states.
  void ApplyInterfaceVersion(const std::string& version);
  void ResetEditors();
  void UpdateConnectionState(bool connected);
  void SetSettingsLoaded(bool loaded);
  void TranslateTreeItems();
  void FreeTreeItemKeys();
  void MainTreeViewChange();
  void ShowPage(TTabSheet* page);
  void RefreshPortList(const QStringList& ports);
  void LanguageChanged();
  void FirmwareBusyChanged(bool busy);
  void LoadPreferences();
  void SavePreferences();

  // The parameter maps' operations on this window's registries.
  void StorePacket(const TPacket& packet);
  TPacketDataArray Gather(char group) const;

  // The link's owner.
  void LogBytes(const std::string& title, const TByteArray& bytes) override;
  bool DebugMemoVisible() const override;
  void DebugMemoAdd(const std::string& line) override;
  void PostDeferredMessage(const std::string& text) override;
  void DeviceAborted() override;

  // The connection workflow (MainWorkflow.cpp).
  void ConnectDisconnectBtnClick();
  void ConnectPort();
  void DisconnectPort();
  void StatusBtnClick();
  void ReadBtnClick();
  void WriteBtnClick();
  void RestoreBtnClick();
  void ReadFromDevice(bool restore);
  void WriteToDevice();
  // Asks for the access code; false when the user did not confirm, which
  // leaves both arguments as they were.
  bool AskAccessCode(std::string& code, bool& remember);
  // True while a device command or its access code dialog is under way.
  bool CommandRunning() const { return FCommandDepth > 0; }

  // Settings files (MainFiles.cpp).
  void SaveBtnClick();
  void OpenBtnClick();
  void OpenLastBtnClick();
  void FirmwareFraBrowseFirmFileBtnClick();

  // The wait window.
  void ShowWaitWindow();
  void LockMainControls(bool lock);

  // The access code every command sends, six characters.
  std::string SessionAccessCode;

  // Components, named as the language file knows them.
  QFrame* ButtonsPnl;
  QPushButton* ConnectDisconnectBtn;
  QPushButton* ReadBtn;
  QPushButton* OpenLastBtn;
  QPushButton* WriteBtn;
  QPushButton* OpenBtn;
  QPushButton* SaveBtn;
  QPushButton* StatusBtn;
  QPushButton* Button4;
  QTreeWidget* MainTreeView;
  QStackedWidget* MainPageControl;
  TTabSheet* TextSMSReportingTbs;
  TTabSheet* settingsTb1;
  TTabSheet* notificationsTbs;
  TTabSheet* SettingsTbs;
  TTabSheet* FirmwareTbs;
  TTabSheet* EmptyTbs;
  QFrame* BottomPnl;
  TPanel* StatusDevPanel;
  TPanel* StatusSNPanel;
  TPanel* StatusVerPanel;
  QLabel* ConnectedLab;
  QMenuBar* MainMenu1;
  QMenu* FileMenuMmi;
  QAction* NoNameMmi;
  QAction* ExitMenuMmi;
  QMenu* DevicesMenuMmi;
  QAction* VX8v1x1mmi;
  QAction* VX8v2x1mmi;
  QAction* AboutMenuMmi;
  QFrame* DebugPanel;
  QPlainTextEdit* DebugMemo;
  QLineEdit* Edit1;
  QPushButton* ParseBtn;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

  // The first generation's page.
  TIntEdit* AccessCodeEdt;
  QLineEdit* AccountNameEdt;
  TTelephonesForReportingFra* TelephonesForReportingFra;
  TSMSTextFra* SMSTextFra;
  TSmsLanguageFrm* SmsLanguageFrm1;
  TPanelTypeFra* PanelTypeFra2;
  TPGMModeFra* PGMModeFra2;
  TSpinEdit* TestTimeSpn;
  QLabel* hLab;
  TConnectionSettingsFra* ConnectionSettingsFra2;
  TIntEdit* SimCardPinEdt;
  // The second generation's pages.
  TIntEdit* AccessCodeEd1;
  QLineEdit* AccountNameEd2;
  TSmsLanguageFrm* SmsLanguageFrm2;
  TPanelTypeFra* PanelTypeFra1;
  TPGMModeFra* PGMModeFra1;
  TSpinEdit* TestTimeSp1;
  QLabel* hLa1;
  TSpinEdit* callTimesSpn;
  TConnectionSettingsFra* ConnectionSettingsFra1;
  TComportSettingsFra* ComportSettingsFra1;
  TLanguageSelectionComboBoxFra* LanguageSelectionComboBoxFra1;
  TnotificationsFrame* notificationsFrame1;
  // Both generations' pages.
  TComportSettingsFra* ComportSettingsFra2;
  TLanguageSelectionComboBoxFra* LanguageSelectionComboBoxFra2;
  TFirmwareFra* FirmwareFra = nullptr;

  TSerialPort* MainComPort;
  TFileDialogOptions OpenSettingsDialog;
  TFileDialogOptions SaveSettingsDialog;

  // Read by tests and the workflow.
  TQLanguage& Language() { return *FLanguage; }
  TDataCommunication& Link() { return *FLink; }
  TDataNodeHandler& Params() { return *FParams; }
  TDataNodeHandler& PanelTypeList() { return FPanelTypeList; }
  TDataNodeHandler& SmsLanguageList() { return FSmsLanguageList; }
  const std::string& InterfaceVersion() const { return FInterfaceVersion; }
  bool Connected() const { return FConnected; }
  bool SettingsLoaded() const { return FSettingsLoaded; }
  const QString& LastSettingsFile() const { return FLastSettingsFile; }
  TConnectionSettingsFra* ActiveConnectionSettings() const { return FConnectionSettings; }
  TTabSheet* HomePage() const { return FHomePage; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildToolbar(QWidget* client);
  void BuildMenu();
  void BuildV1Page();
  void BuildV2Pages();
  void BuildSharedPages();
  void BuildStatusBar(QWidget* client);
  void BuildDebugPanel(QWidget* client);
  void FormCreate();
  void FormClose();
  void FormDestroy();
  void ApplicationEvents1Message(QKeyEvent* key);
  void ClickIfEnabled(QPushButton* button);
  void ParseBtnClick();
  // The port reported a failure; when it is closed now, the connection is gone.
  void PortFailed(const QString& error);
  QPushButton* FirmwareStartButton() const;
  // The translation of the link's result key in a message box, if any.
  void ShowResultKey();
  void ShowTranslated(const std::string& key);
  // After a failed command: true when the loop must end, because the window
  // is closing or the connection went (whoever noticed it has said so).
  bool CommandMustEnd();
  // The code of the next attempt: the remembered one without asking when
  // skipDialog is set (which it clears), else the dialog's. False when the
  // user did not confirm.
  bool TakeAccessCode(bool& skipDialog, bool& remember);
  // A read, restore or write succeeded: Write is enabled, the home page shown.
  void SettingsLoadedHere();

  // Marks a command (or a dialog of one) under way; a close asked for
  // meanwhile happens once the outermost command has ended.
  class TCommandScope {
   public:
    explicit TCommandScope(TMainFormFrm& window);
    ~TCommandScope();

   private:
    TMainFormFrm& FWindow;
  };

  TMainFormServices FServices;
  TMessageService& FMessages;
  std::unique_ptr<TQLanguage> FLanguage;
  std::string FInterfaceVersion;
  bool FConnected = false;
  bool FSettingsLoaded = false;
  std::unique_ptr<TSettingsFile> FSettingsFile;
  QString FLastSettingsFile;
  std::unique_ptr<TDataNodeHandler> FParams;
  TDataNodeHandler FPanelTypeList;
  TDataNodeHandler FSmsLanguageList;
  TSmsLanguageFrm* FSmsLanguageSel = nullptr;
  TPanelTypeFra* FPanelTypeSel = nullptr;
  TPGMModeFra* FPGMModeSel = nullptr;
  TConnectionSettingsFra* FConnectionSettings = nullptr;
  TComportSettingsFra* FComportSettings = nullptr;
  TLanguageSelectionComboBoxFra* FLanguageSel = nullptr;
  TTabSheet* FHomePage = nullptr;
  std::unique_ptr<TDataCommunication> FLink;
  std::unique_ptr<TParameterBinding> FBinding;
  std::unique_ptr<TPortWatcher> FPortWatcher;
  QMetaObject::Connection FRestoreConnection;
  int FCommandDepth = 0;
  std::unique_ptr<TCommandScope> FFirmwareCommand;  // while an upload runs
  bool FCloseRequested = false;
  QDialog* FOpenDialog = nullptr;  // the access code dialog while it is up
};

#include "app/Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <cstdio>

#include "app/Q_About.h"
#include "app/Q_WaitForm.h"
#include "i18n/TreeItemKey.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace {

// The window's fixed size and panes.
constexpr int kClientWidth = 847;
constexpr int kClientHeight = 591;
constexpr int kToolbarHeight = 33;
constexpr int kTreeWidth = 192;
constexpr int kPagesWidth = 655;
constexpr int kStatusHeight = 24;
constexpr int kCaptionWidth = 140;
const char kSettingsFilter[] = "Q settings (*.qst)|*.qst|All files (*.*)|*.*";

// The registered window message "ShowMessage": one id for the program.
QEvent::Type ShowMessageMsg() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

class TShowMessageEvent : public QEvent {
 public:
  explicit TShowMessageEvent(std::string text) : QEvent(ShowMessageMsg()), Text(std::move(text)) {}
  const std::string Text;
};

struct TTreeItem {
  const char* Key;
  TTabSheet* TMainFormFrm::*Page;
};

const TTreeItem kV1Items[] = {{"TextSMSReportingTvi", &TMainFormFrm::TextSMSReportingTbs},
                              {"SettingsTvi", &TMainFormFrm::SettingsTbs},
                              {"FirmwareTvi", &TMainFormFrm::FirmwareTbs}};
const TTreeItem kV2Items[] = {{"MainTvi", &TMainFormFrm::settingsTb1},
                              {"TextSMSReportingTv1", &TMainFormFrm::notificationsTbs},
                              {"SettingsTvi", &TMainFormFrm::SettingsTbs},
                              {"FirmwareTvi", &TMainFormFrm::FirmwareTbs}};
const TTreeItem kAllPages[] = {{"TextSMSReportingTvi", &TMainFormFrm::TextSMSReportingTbs},
                               {"SettingsTvi", &TMainFormFrm::SettingsTbs},
                               {"MainTvi", &TMainFormFrm::settingsTb1},
                               {"FirmwareTvi", &TMainFormFrm::FirmwareTbs},
                               {"TextSMSReportingTv1", &TMainFormFrm::notificationsTbs}};

template <class T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

TIntEdit* NumericEdit(QWidget* parent, const char* name, int length, int max) {
  auto* edit = Named(new TIntEdit(parent), name);
  edit->SetMaxLength(length);
  edit->SetMaxValue(max);
  edit->setFixedWidth(70);
  return edit;
}

TSpinEdit* SpinEdit(QWidget* parent, const char* name, int min, int max, int value, int tag) {
  auto* spin = Named(new TSpinEdit(parent), name);
  spin->setRange(min, max);
  spin->setValue(value);
  spin->Tag = tag;
  spin->setFixedWidth(70);
  return spin;
}

// A caption for a field; the field takes its text as its accessible name.
QLabel* Caption(QWidget* parent, const char* name, QWidget* field) {
  auto* label = Named(new QLabel(parent), name);
  label->setMinimumWidth(kCaptionWidth);
  label->setBuddy(field);
  return label;
}

// A row of a caption, a field and what follows it; the last widget takes
// the rest of the row when it stretches, else the space is left free.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool lastStretches = false) {
  auto* row = new QHBoxLayout();
  for (QWidget* w : widgets) row->addWidget(w);
  if (lastStretches)
    row->setStretch(row->count() - 1, 1);
  else
    row->addStretch(1);
  return row;
}

}  // namespace

TMainFormFrm::TMainFormFrm(const TMainFormServices& services, QWidget* parent)
    : QMainWindow(parent),
      MainComPort(services.ComPort),
      FServices(services),
      FMessages(*services.Messages) {
  // The language comes before any control, so every control is born into it.
  FLanguage = std::make_unique<TQLanguage>(FMessages, services.ProgramDir);
  FLanguage->LoadLanguage(TQLanguage::kFileName);
  BuildControls();
  FormCreate();
}

TMainFormFrm::~TMainFormFrm() {
  FormDestroy();
}

// ---------------------------------------------------------------- layout

void TMainFormFrm::BuildControls() {
  setObjectName("MainFormFrm");
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);
  BuildMenu();
  BuildToolbar(client);

  MainTreeView = Named(new QTreeWidget(client), "MainTreeView");
  MainTreeView->setGeometry(0, kToolbarHeight, kTreeWidth,
                            kClientHeight - kToolbarHeight - kStatusHeight);
  MainTreeView->setHeaderHidden(true);
  MainTreeView->setRootIsDecorated(false);
  MainTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MainTreeView->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(MainTreeView, &QTreeWidget::itemSelectionChanged, this, [this] { MainTreeViewChange(); });

  MainPageControl = Named(new QStackedWidget(client), "MainPageControl");
  MainPageControl->setGeometry(kTreeWidth, kToolbarHeight, kPagesWidth,
                               kClientHeight - kToolbarHeight - kStatusHeight);
  auto page = [this](const char* name) {
    auto* sheet = Named(new TTabSheet(MainPageControl), name);
    MainPageControl->addWidget(sheet);
    return sheet;
  };
  TextSMSReportingTbs = page("TextSMSReportingTbs");
  settingsTb1 = page("settingsTb1");
  notificationsTbs = page("notificationsTbs");
  SettingsTbs = page("SettingsTbs");
  FirmwareTbs = page("FirmwareTbs");
  EmptyTbs = page("EmptyTbs");
  BuildV1Page();
  BuildV2Pages();
  BuildSharedPages();
  BuildStatusBar(client);
  BuildDebugPanel(client);

  // The tree of the form description: the first generation's items.
  for (const TTreeItem& item : kV1Items)
    MainTreeView->addTopLevelItem(new QTreeWidgetItem(QStringList(item.Key)));
  adjustSize();
  setFixedSize(size());
}

void TMainFormFrm::BuildMenu() {
  MainMenu1 = Named(new QMenuBar(this), "MainMenu1");
  setMenuBar(MainMenu1);
  FileMenuMmi = Named(new QMenu("File", MainMenu1), "FileMenuMmi");
  NoNameMmi = Named(FileMenuMmi->addSeparator(), "NoNameMmi");
  NoNameMmi->setText("-");
  ExitMenuMmi = Named(FileMenuMmi->addAction("Exit"), "ExitMenuMmi");
  connect(ExitMenuMmi, &QAction::triggered, this, [this] { close(); });
  MainMenu1->addMenu(FileMenuMmi);

  DevicesMenuMmi = Named(new QMenu("Devices", MainMenu1), "DevicesMenuMmi");
  VX8v1x1mmi = Named(DevicesMenuMmi->addAction("VX8 v1.x"), "VX8v1x1mmi");
  VX8v2x1mmi = Named(DevicesMenuMmi->addAction("VX8 v2.x"), "VX8v2x1mmi");
  // A generation changes only while no command runs.
  connect(VX8v1x1mmi, &QAction::triggered, this, [this] {
    if (!CommandRunning()) ApplyInterfaceVersion("1");
  });
  connect(VX8v2x1mmi, &QAction::triggered, this, [this] {
    if (!CommandRunning()) ApplyInterfaceVersion("2");
  });
  MainMenu1->addMenu(DevicesMenuMmi);

  AboutMenuMmi = Named(new QAction("About", MainMenu1), "AboutMenuMmi");
  connect(AboutMenuMmi, &QAction::triggered, this, [this] {
    if (CommandRunning()) return;
    TCommandScope dialog(*this);
    ShowAboutWindow(*FLanguage, *FServices.Modal, this);
  });
  MainMenu1->addAction(AboutMenuMmi);
}

void TMainFormFrm::BuildToolbar(QWidget* client) {
  ButtonsPnl = Named(new QFrame(client), "ButtonsPnl");
  ButtonsPnl->setGeometry(0, 0, kClientWidth, kToolbarHeight);
  auto* row = new QHBoxLayout(ButtonsPnl);
  row->setContentsMargins(4, 3, 4, 3);
  auto button = [this, row](const char* name, void (TMainFormFrm::*handler)()) {
    auto* b = Named(new QPushButton(ButtonsPnl), name);
    b->setMinimumWidth(96);
    b->setFocusPolicy(Qt::TabFocus);
    connect(b, &QPushButton::clicked, this, handler);
    row->addWidget(b);
    return b;
  };
  ConnectDisconnectBtn = button("ConnectDisconnectBtn", &TMainFormFrm::ConnectDisconnectBtnClick);
  ReadBtn = button("ReadBtn", &TMainFormFrm::ReadBtnClick);
  OpenLastBtn = button("OpenLastBtn", &TMainFormFrm::OpenLastBtnClick);
  WriteBtn = button("WriteBtn", &TMainFormFrm::WriteBtnClick);
  OpenBtn = button("OpenBtn", &TMainFormFrm::OpenBtnClick);
  SaveBtn = button("SaveBtn", &TMainFormFrm::SaveBtnClick);
  // Never visible: the status query is clicked by the program, the other is
  // a diagnostic.
  StatusBtn = button("StatusBtn", &TMainFormFrm::StatusBtnClick);
  Button4 = button("Button4", &TMainFormFrm::WriteToDevice);
  StatusBtn->hide();
  Button4->hide();
  row->addStretch(1);
}

void TMainFormFrm::BuildV1Page() {
  QWidget* p = TextSMSReportingTbs;
  AccessCodeEdt = NumericEdit(p, "AccessCodeEdt", 4, 9999);
  AccountNameEdt = Named(new QLineEdit(p), "AccountNameEdt");
  TelephonesForReportingFra = Named(new TTelephonesForReportingFra(p), "TelephonesForReportingFra");
  SMSTextFra = Named(new TSMSTextFra(p), "SMSTextFra");
  SmsLanguageFrm1 = Named(new TSmsLanguageFrm(p), "SmsLanguageFrm1");
  PanelTypeFra2 = Named(new TPanelTypeFra(p), "PanelTypeFra2");
  PGMModeFra2 = Named(new TPGMModeFra(FLanguage.get(), p), "PGMModeFra2");
  TestTimeSpn = SpinEdit(p, "TestTimeSpn", 0, 240, 24, 3);
  hLab = Named(new QLabel(p), "hLab");
  ConnectionSettingsFra2 = Named(new TConnectionSettingsFra(p), "ConnectionSettingsFra2");
  SimCardPinEdt = NumericEdit(p, "SimCardPinEdt", 8, 99999999);
  SimCardPinEdt->hide();

  auto* layout = new QVBoxLayout(p);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(5);
  auto* codeLabel = Caption(p, "AccessCodeLa1", AccessCodeEdt);
  auto* accountLabel = Named(new QLabel(p), "AccountLa1");
  accountLabel->setBuddy(AccountNameEdt);
  auto* top = Row({codeLabel, AccessCodeEdt, accountLabel, AccountNameEdt}, true);
  top->insertSpacing(2, 16);
  layout->addLayout(top);
  layout->addWidget(TelephonesForReportingFra);
  layout->addWidget(SMSTextFra);
  layout->addWidget(SmsLanguageFrm1);
  layout->addWidget(PanelTypeFra2);
  layout->addWidget(PGMModeFra2);
  layout->addLayout(Row({Caption(p, "TestTimeLa1", TestTimeSpn), TestTimeSpn, hLab}));
  layout->addWidget(ConnectionSettingsFra2);
  layout->addStretch(1);
}

void TMainFormFrm::BuildV2Pages() {
  QWidget* p = settingsTb1;
  AccessCodeEd1 = NumericEdit(p, "AccessCodeEd1", 4, 9999);
  AccountNameEd2 = Named(new QLineEdit(p), "AccountNameEd2");
  SmsLanguageFrm2 = Named(new TSmsLanguageFrm(p), "SmsLanguageFrm2");
  PanelTypeFra1 = Named(new TPanelTypeFra(p), "PanelTypeFra1");
  PGMModeFra1 = Named(new TPGMModeFra(FLanguage.get(), p), "PGMModeFra1");
  TestTimeSp1 = SpinEdit(p, "TestTimeSp1", 0, 240, 24, 3);
  hLa1 = Named(new QLabel(p), "hLa1");
  callTimesSpn = SpinEdit(p, "callTimesSpn", 1, 9, 1, 2);
  ConnectionSettingsFra1 = Named(new TConnectionSettingsFra(p), "ConnectionSettingsFra1");
  ComportSettingsFra1 = Named(new TComportSettingsFra(p), "ComportSettingsFra1");
  LanguageSelectionComboBoxFra1 =
      Named(new TLanguageSelectionComboBoxFra(p), "LanguageSelectionComboBoxFra1");
  ComportSettingsFra1->hide();
  LanguageSelectionComboBoxFra1->hide();

  auto* layout = new QVBoxLayout(p);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(6);
  layout->addLayout(Row({Caption(p, "AccessCodeLa2", AccessCodeEd1), AccessCodeEd1}));
  layout->addLayout(Row({Caption(p, "AccountLa2", AccountNameEd2), AccountNameEd2}, true));
  layout->addWidget(SmsLanguageFrm2);
  layout->addWidget(PanelTypeFra1);
  layout->addWidget(PGMModeFra1);
  layout->addLayout(Row({Caption(p, "TestTimeLa2", TestTimeSp1), TestTimeSp1, hLa1}));
  layout->addLayout(Row({Caption(p, "callTimesLa1", callTimesSpn), callTimesSpn}));
  layout->addSpacing(8);
  layout->addWidget(ConnectionSettingsFra1);
  layout->addStretch(1);

  notificationsFrame1 =
      Named(new TnotificationsFrame(FLanguage.get(), notificationsTbs), "notificationsFrame1");
  notificationsFrame1->move(0, 4);
}

void TMainFormFrm::BuildSharedPages() {
  QWidget* p = SettingsTbs;
  ComportSettingsFra2 = Named(new TComportSettingsFra(p), "ComportSettingsFra2");
  LanguageSelectionComboBoxFra2 =
      Named(new TLanguageSelectionComboBoxFra(p), "LanguageSelectionComboBoxFra2");
  LanguageSelectionComboBoxFra2->LanguageLab->setMinimumWidth(kCaptionWidth);
  auto* layout = new QVBoxLayout(p);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(ComportSettingsFra2);
  layout->addWidget(LanguageSelectionComboBoxFra2);
  layout->addStretch(1);
  for (TComportSettingsFra* frame : {ComportSettingsFra1, ComportSettingsFra2})
    frame->SetPortLister(FServices.PortLister);

  FirmwareFra = Named(new TFirmwareFra(FirmwareTbs), "FirmwareFra");
  auto* firmware = new QVBoxLayout(FirmwareTbs);
  firmware->setContentsMargins(8, 8, 8, 8);
  firmware->addWidget(FirmwareFra);
  // The window's handler takes the browse button and forwards it.
  disconnect(FirmwareFra->BrowseFirmFileBtn, nullptr, FirmwareFra, nullptr);
  connect(FirmwareFra->BrowseFirmFileBtn, &QPushButton::clicked, this,
          [this] { FirmwareFraBrowseFirmFileBtnClick(); });
}

void TMainFormFrm::BuildStatusBar(QWidget* client) {
  BottomPnl = Named(new QFrame(client), "BottomPnl");
  BottomPnl->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
  BottomPnl->setFrameShape(QFrame::StyledPanel);
  auto* row = new QHBoxLayout(BottomPnl);
  row->setContentsMargins(2, 0, 8, 0);
  auto panel = [this, row](const char* name, int width) {
    auto* p = Named(new TPanel(BottomPnl), name);
    p->setFixedWidth(width);
    row->addWidget(p);
    return p;
  };
  StatusDevPanel = panel("StatusDevPanel", 120);
  StatusSNPanel = panel("StatusSNPanel", 160);
  StatusVerPanel = panel("StatusVerPanel", 160);
  row->addStretch(1);
  ConnectedLab = Named(new QLabel(BottomPnl), "ConnectedLab");
  ConnectedLab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(ConnectedLab);
}

void TMainFormFrm::BuildDebugPanel(QWidget* client) {
  // Never visible: a diagnostic panel for packets and timings.
  DebugPanel = Named(new QFrame(client), "DebugPanel");
  DebugPanel->setGeometry(kTreeWidth, kToolbarHeight, kPagesWidth,
                          kClientHeight - kToolbarHeight - kStatusHeight);
  DebugMemo = Named(new QPlainTextEdit(DebugPanel), "DebugMemo");
  Edit1 = Named(new QLineEdit(DebugPanel), "Edit1");
  ParseBtn = Named(new QPushButton(DebugPanel), "ParseBtn");
  Button1 = Named(new QPushButton(DebugPanel), "Button1");
  Button2 = Named(new QPushButton(DebugPanel), "Button2");
  Button3 = Named(new QPushButton(DebugPanel), "Button3");
  auto* layout = new QVBoxLayout(DebugPanel);
  layout->addWidget(DebugMemo, 1);
  layout->addWidget(Edit1);
  layout->addLayout(Row({ParseBtn, Button1, Button2, Button3}));
  connect(ParseBtn, &QPushButton::clicked, this, [this] { ParseBtnClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] {
    if (!FLink->GetStatus()) FMessages.ShowMessage("Can not get status");
  });
  connect(Button2, &QPushButton::clicked, this, [this] {
    if (MainComPort->Open()) FLink->ConnectionKind = 1;
  });
  connect(Button3, &QPushButton::clicked, this, [this] { FLink->ReadSettings("123400", false); });
  DebugPanel->hide();
}

// ---------------------------------------------------------------- life cycle

void TMainFormFrm::FormCreate() {
  FInterfaceVersion = "1";
  OpenSettingsDialog = {"Load settings",
                        kSettingsFilter,
                        "qst",
                        TFileDialogOptions::HideReadOnly | TFileDialogOptions::PathMustExist |
                            TFileDialogOptions::FileMustExist | TFileDialogOptions::EnableSizing,
                        {}};
  SaveSettingsDialog = {"Save settings",
                        kSettingsFilter,
                        "qst",
                        TFileDialogOptions::OverwritePrompt | TFileDialogOptions::HideReadOnly |
                            TFileDialogOptions::PathMustExist | TFileDialogOptions::EnableSizing,
                        {}};
  OpenLastBtn->setEnabled(false);
  // FPanelTypeList and FSmsLanguageList are members, empty from the start.
  FirmwareFra->OnBusy = [this](bool busy) { FirmwareBusyChanged(busy); };
  connect(MainComPort, &TSerialPort::ErrorOccurred, this,
          [this](const QString& error) { PortFailed(error); });
  ShowMessageMsg();
  TranslateTreeItems();
  FLanguage->RegisterForm(this);
  SetSettingsLoaded(false);
  FSettingsFile = std::make_unique<TSettingsFile>();
  {
    std::lock_guard<std::mutex> lock(CommunicationLock());
    FLink = std::make_unique<TDataCommunication>(
        MainComPort, [this](const TPacket& packet) { StorePacket(packet); }, this, FServices.Pump);
  }
  FLink->Translate = [this](const std::string& key) { return FLanguage->Translate(key); };
  FirmwareFra->Link = FLink.get();
  FirmwareFra->Messages = &FMessages;
  FirmwareFra->Language = FLanguage.get();
  FirmwareFra->AccessCode = [this] { return SessionAccessCode; };
  FBinding = std::make_unique<TParameterBinding>(this);
  FParams = std::make_unique<TDataNodeHandler>();
  LoadPreferences();
  ApplyInterfaceVersion(FInterfaceVersion == "2" ? "2" : "1");
  UpdateConnectionState(false);
  if (FServices.PortLister) {
    FPortWatcher = std::make_unique<TPortWatcher>(*FServices.PortLister);
    connect(FPortWatcher.get(), &TPortWatcher::PortsChanged, this,
            [this](const QStringList& ports) { RefreshPortList(ports); });
  }
  qApp->installEventFilter(this);
}

void TMainFormFrm::closeEvent(QCloseEvent* event) {
  if (CommandRunning()) {
    // Nothing is freed under a running command: it is ended through the
    // link, and the window closes once it has returned.
    event->ignore();
    FCloseRequested = true;
    FLink->Cancel();
    if (FOpenDialog) FOpenDialog->reject();
    return;
  }
  FormClose();
  QMainWindow::closeEvent(event);
}

void TMainFormFrm::FormClose() {
  if (FConnected) DisconnectPort();
}

void TMainFormFrm::FormDestroy() {
  qApp->removeEventFilter(this);
  // The wait window goes first, while the controls it unlocks still exist.
  delete QWaitFrm.data();
  QWaitFrm = nullptr;
  SavePreferences();
  FreeTreeItemKeys();
  FSettingsFile.reset();
  FParams.reset();
  std::lock_guard<std::mutex> lock(CommunicationLock());
  FLink.reset();
}

// ---------------------------------------------------------------- preferences

void TMainFormFrm::LoadPreferences() {
  [this] {
    TRegistry registry;
    if (!registry.OpenKey(kPreferencesKey, false)) return;
    // A value of the wrong type ends the reading there.
    if (registry.ValueExists("Remember")) {
      const auto remember = registry.ReadInteger("Remember");
      if (!remember) return;
      ConnectionSettingsFra2->SetSaveAccessCode(*remember != 0);
      ConnectionSettingsFra1->SetSaveAccessCode(*remember != 0);
    }
    if (registry.ValueExists("ReadAfterConnect")) {
      const auto read = registry.ReadInteger("ReadAfterConnect");
      if (!read) return;
      ConnectionSettingsFra2->SetReadAfterConnect(*read != 0);
      ConnectionSettingsFra1->SetReadAfterConnect(*read != 0);
    }
    if (ConnectionSettingsFra2->SaveAccessCode() && registry.ValueExists("AccessCode")) {
      const auto code = registry.ReadString("AccessCode");
      if (!code) return;
      SessionAccessCode = *code;
    } else {
      SessionAccessCode = kDefaultAccessCode;
    }
    if (registry.ValueExists("InterfaceVersion")) {
      const auto version = registry.ReadString("InterfaceVersion");
      if (!version) return;
      FInterfaceVersion = *version;
    } else {
      FInterfaceVersion = "1";
    }
  }();
  LoadPortName(*MainComPort, "MainComport");
  for (TComportSettingsFra* frame : {ComportSettingsFra2, ComportSettingsFra1}) {
    frame->SetComPort(MainComPort);
    frame->SetDescription(QString());
  }
}

void TMainFormFrm::SavePreferences() {
  TRegistry registry;
  if (!registry.OpenKey(kPreferencesKey, false)) return;
  const bool remember = FConnectionSettings->SaveAccessCode();
  if (!registry.WriteInteger("Remember", remember ? 1 : 0)) return;
  if (remember && !registry.WriteString("AccessCode", SessionAccessCode)) return;
  if (!registry.WriteInteger("ReadAfterConnect",
                             FConnectionSettings->GetReadAfterConnect() ? 1 : 0))
    return;
  registry.WriteString("InterfaceVersion", FInterfaceVersion);
}

// ---------------------------------------------------------------- generations

void TMainFormFrm::ApplyInterfaceVersion(const std::string& version) {
  const bool v2 = version == "2";
  FreeTreeItemKeys();
  MainTreeView->clear();
  for (const auto& item : v2 ? std::vector<TTreeItem>(std::begin(kV2Items), std::end(kV2Items))
                             : std::vector<TTreeItem>(std::begin(kV1Items), std::end(kV1Items)))
    MainTreeView->addTopLevelItem(new QTreeWidgetItem(QStringList(item.Key)));
  TranslateTreeItems();

  FParams = std::make_unique<TDataNodeHandler>();
  FSmsLanguageSel = v2 ? SmsLanguageFrm2 : SmsLanguageFrm1;
  FPanelTypeSel = v2 ? PanelTypeFra1 : PanelTypeFra2;
  FPGMModeSel = v2 ? PGMModeFra1 : PGMModeFra2;
  FConnectionSettings = v2 ? ConnectionSettingsFra1 : ConnectionSettingsFra2;
  FComportSettings = ComportSettingsFra2;
  FLanguageSel = LanguageSelectionComboBoxFra2;
  FHomePage = v2 ? SettingsTbs : TextSMSReportingTbs;

  FBinding->AddStatusNodes(*FParams);
  if (v2)
    FBinding->BuildV2Map(*FParams);
  else
    FBinding->BuildV1Map(*FParams);
  ResetEditors();
  if (!FLanguageSel->OnLanguageChanged)
    FLanguageSel->OnLanguageChanged = [this](TQLanguage*) { LanguageChanged(); };
  if (!FLanguageSel->Language) FLanguageSel->SetLanguage(FLanguage.get());
  FPGMModeSel->FillPgmModes();
  FInterfaceVersion = version;
  ShowPage(FHomePage);
  MainTreeView->clearSelection();
  MainTreeView->setCurrentItem(nullptr);
}

void TMainFormFrm::ResetEditors() {
  AccessCodeEdt->setText("0");
  AccessCodeEd1->setText("0");
  AccountNameEdt->clear();
  AccountNameEd2->clear();
  for (TChoiceListFrame* selector : std::initializer_list<TChoiceListFrame*>{
           SmsLanguageFrm1, SmsLanguageFrm2, PanelTypeFra2, PanelTypeFra1})
    selector->List->clear();
  PGMModeFra2->PGMCmb->clear();
  PGMModeFra1->PGMCmb->clear();
  TestTimeSpn->setValue(24);
  TestTimeSp1->setValue(24);
  callTimesSpn->setValue(1);
  TelephonesForReportingFra->ResetGrids();
  SMSTextFra->ResetGrids();
  notificationsFrame1->ResetGrids();
}

// ---------------------------------------------------------------- tree and pages

void TMainFormFrm::TranslateTreeItems() {
  for (int i = 0; i < MainTreeView->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = MainTreeView->topLevelItem(i);
    if (item->data(0, kTreeItemKeyRole).toString().isEmpty())
      item->setData(0, kTreeItemKeyRole, item->text(0));
    if (FLanguage)
      item->setText(0, FLanguage->TranslateToQ(FromQ(item->data(0, kTreeItemKeyRole).toString())));
  }
}

void TMainFormFrm::FreeTreeItemKeys() {
  for (int i = 0; i < MainTreeView->topLevelItemCount(); ++i)
    MainTreeView->topLevelItem(i)->setData(0, kTreeItemKeyRole, QVariant());
}

void TMainFormFrm::MainTreeViewChange() {
  const QList<QTreeWidgetItem*> selected = MainTreeView->selectedItems();
  if (selected.isEmpty()) return;
  const QString key = selected.front()->data(0, kTreeItemKeyRole).toString();
  if (key.isEmpty()) return;
  TTabSheet* page = EmptyTbs;
  for (const TTreeItem& item : kAllPages)
    if (key == item.Key) page = this->*item.Page;
  ShowPage(page);
}

void TMainFormFrm::ShowPage(TTabSheet* page) {
  MainPageControl->setCurrentWidget(page);
}

void TMainFormFrm::RefreshPortList(const QStringList& ports) {
  FComportSettings->RefreshPortList(ports);
}

void TMainFormFrm::LanguageChanged() {
  FPGMModeSel->FillPgmModes();
  notificationsFrame1->UpdatePhoneHints();
}

// ---------------------------------------------------------------- states

void TMainFormFrm::SetSettingsLoaded(bool loaded) {
  FSettingsLoaded = loaded;
  if (loaded && FConnected) WriteBtn->setEnabled(true);
}

void TMainFormFrm::FirmwareBusyChanged(bool busy) {
  // An upload is a command: nothing else starts meanwhile.
  if (busy) FFirmwareCommand = std::make_unique<TCommandScope>(*this);
  for (QWidget* control : std::initializer_list<QWidget*>{
           ConnectDisconnectBtn, ReadBtn, OpenLastBtn, WriteBtn, OpenBtn, SaveBtn, StatusBtn,
           FConnectionSettings->RestoreBtn, SettingsTbs})
    control->setEnabled(!busy);
  // The connection may have gone during the upload (the device aborted):
  // then the device's commands stay off, or Read would wait for nothing.
  if (!busy && !FConnected) {
    for (QWidget* control : std::initializer_list<QWidget*>{ReadBtn, WriteBtn, StatusBtn,
                                                            FConnectionSettings->RestoreBtn})
      control->setEnabled(false);
  }
  if (!busy) FFirmwareCommand.reset();
}

// ---------------------------------------------------------------- registries

void TMainFormFrm::StorePacket(const TPacket& packet) {
  ::StorePacket(
      packet, {FParams.get(), &FPanelTypeList, &FSmsLanguageList, FPanelTypeSel, FSmsLanguageSel});
}

TPacketDataArray TMainFormFrm::Gather(char group) const {
  return ::Gather(*FParams, group);
}

// ---------------------------------------------------------------- the link's owner

bool TMainFormFrm::DebugMemoVisible() const {
  return DebugMemo->isVisible();
}

void TMainFormFrm::DebugMemoAdd(const std::string& line) {
  DebugMemo->appendPlainText(ToQ(line));
}

void TMainFormFrm::LogBytes(const std::string& title, const TByteArray& bytes) {
  if (!DebugMemoVisible()) return;
  DebugMemoAdd(title + ":");
  std::string hex;
  char cell[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", b);
    hex += cell;
  }
  DebugMemoAdd(hex);
}

void TMainFormFrm::PostDeferredMessage(const std::string& text) {
  QCoreApplication::postEvent(this, new TShowMessageEvent(text));
}

bool TMainFormFrm::event(QEvent* event) {
  if (event->type() == ShowMessageMsg()) {
    if (!FCloseRequested) FMessages.ShowMessage(static_cast<TShowMessageEvent*>(event)->Text);
    return true;
  }
  return QMainWindow::event(event);
}

void TMainFormFrm::ParseBtnClick() {
  const TPacket packet = SharedPacketParser().Decode(HexTextToBytes(FromQ(Edit1->text())));
  DebugMemo->clear();
  DebugMemoAdd(packet.Command);
  StorePacket(packet);
}

// ---------------------------------------------------------------- keys

bool TMainFormFrm::eventFilter(QObject* watched, QEvent* event) {
  // Seen whatever has the focus, and never consumed. A key reaches the
  // program's window (QWindow) once and then travels from the focused control
  // up to its parents; it is taken at the window, so exactly once.
  if (event->type() == QEvent::KeyPress && watched->isWindowType())
    ApplicationEvents1Message(static_cast<QKeyEvent*>(event));
  return QMainWindow::eventFilter(watched, event);
}

void TMainFormFrm::ClickIfEnabled(QPushButton* button) {
  // The button's own enabled property decides, also while the wait window
  // still locks the toolbar; but no command starts while another runs, or
  // while one of its dialogs is up.
  if (!button || CommandRunning() || button->testAttribute(Qt::WA_ForceDisabled)) return;
  emit button->clicked();
}

void TMainFormFrm::ApplicationEvents1Message(QKeyEvent* key) {
  if (key->isAutoRepeat()) return;  // one command per key press, however long it is held
  switch (key->key()) {
    case Qt::Key_F2:
    case Qt::Key_F8:
      ClickIfEnabled(ConnectDisconnectBtn);
      break;
    case Qt::Key_F3:
      ClickIfEnabled(OpenBtn);
      break;
    case Qt::Key_F4:
      ClickIfEnabled(OpenLastBtn);
      break;
    case Qt::Key_F5:
      ClickIfEnabled(SaveBtn);
      break;
    case Qt::Key_F6:
      ClickIfEnabled(WriteBtn);
      break;
    case Qt::Key_F7:
      ClickIfEnabled(ReadBtn);
      break;
    case Qt::Key_F9:
      ClickIfEnabled(FirmwareStartButton());
      break;
    case Qt::Key_F11:
      ClickIfEnabled(FConnectionSettings->RestoreBtn);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- wait window

void TMainFormFrm::ShowWaitWindow() {
  if (!QWaitFrm) {
    QWaitFrm = new TQWaitFrm(
        {[this] { return FLink->Status == Idle; }, [this](bool lock) { LockMainControls(lock); }},
        FLanguage.get(), centralWidget());
  }
  FLanguage->RegisterForm(QWaitFrm);
  QWaitFrm->move((kClientWidth - QWaitFrm->width()) / 2, (kClientHeight - QWaitFrm->height()) / 2);
  LockMainControls(true);
  QWaitFrm->show();
  QWaitFrm->raise();
}

void TMainFormFrm::LockMainControls(bool lock) {
  ButtonsPnl->setEnabled(!lock);
  MainPageControl->setEnabled(!lock);
  MainTreeView->setEnabled(!lock);
}

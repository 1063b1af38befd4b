#include "firmware/FirmwareFrame.h"

#include <QGridLayout>
#include <cmath>

#include "platform/Text.h"

TFirmwareFra::TFirmwareFra(QWidget* parent)
    : QFrame(parent),
      OpenFirmwareFileLab(new QLabel(this)),
      FirmwareFileNameLab(new QLineEdit(this)),
      BrowseFirmFileBtn(new QPushButton(this)),
      FirmwareUpdateLab(new QLabel(this)),
      StartBtn(new QPushButton(this)),
      ProgressLab(new QLabel(this)),
      FirmwareUpdateGauge(new QProgressBar(this)),
      NoLangProgressLab(new QLabel(this)) {
  setObjectName("FirmwareFra");
  OpenFirmwareFileLab->setObjectName("OpenFirmwareFileLab");
  FirmwareFileNameLab->setObjectName("FirmwareFileNameLab");
  BrowseFirmFileBtn->setObjectName("BrowseFirmFileBtn");
  FirmwareUpdateLab->setObjectName("FirmwareUpdateLab");
  StartBtn->setObjectName("StartBtn");
  ProgressLab->setObjectName("ProgressLab");
  FirmwareUpdateGauge->setObjectName("FirmwareUpdateGauge");
  NoLangProgressLab->setObjectName("NoLangProgressLab");
  FirmwareFileNameLab->setReadOnly(true);
  OpenFirmwareFileLab->setBuddy(FirmwareFileNameLab);
  ProgressLab->setBuddy(FirmwareUpdateGauge);
  StartBtn->setEnabled(false);
  FirmwareUpdateGauge->setRange(0, 100);
  FirmwareUpdateGauge->setValue(0);
  for (QPushButton* b : {BrowseFirmFileBtn, StartBtn}) b->setMinimumWidth(110);
  OpenDialog = {"Open",
                "K4 Firmware (*.prg)|*.prg|All files (*.*)|*.*",
                "prg",
                TFileDialogOptions::HideReadOnly | TFileDialogOptions::NoChangeDir |
                    TFileDialogOptions::PathMustExist | TFileDialogOptions::FileMustExist |
                    TFileDialogOptions::EnableSizing,
                {}};

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setVerticalSpacing(8);
  layout->addWidget(OpenFirmwareFileLab, 0, 0, 1, 2);
  layout->addWidget(FirmwareFileNameLab, 1, 0);
  layout->addWidget(BrowseFirmFileBtn, 1, 1);
  layout->addItem(new QSpacerItem(0, 12), 2, 0);
  layout->addWidget(FirmwareUpdateLab, 3, 0);
  layout->addWidget(StartBtn, 3, 1);
  layout->addItem(new QSpacerItem(0, 12), 4, 0);
  layout->addWidget(ProgressLab, 5, 0, 1, 2);
  layout->addWidget(FirmwareUpdateGauge, 6, 0, 1, 2);
  layout->addWidget(NoLangProgressLab, 7, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(8, 1);
  connect(BrowseFirmFileBtn, &QPushButton::clicked, this, [this] { BrowseFirmFileBtnClick(); });
  connect(StartBtn, &QPushButton::clicked, this, [this] { StartBtnClick(); });
}

void TFirmwareFra::Show(const std::string& key) {
  if (Messages) Messages->ShowMessage(Language ? Language->Translate(key) : key);
}

void TFirmwareFra::BrowseFirmFileBtnClick() {
  if (!Messages) return;
  const std::optional<QString> name = Messages->OpenFileName(OpenDialog);
  if (!name) return;
  StartBtn->setEnabled(false);
  FirmwareFileNameLab->setText(*name);
  if (FFirmware.LoadFromFile(std::filesystem::path(name->toStdU16String())))
    StartBtn->setEnabled(true);
  else
    Show("BadFirmwareFile");
}

void TFirmwareFra::StartBtnClick() {
  SetBusy(true);
  try {
    if (!Link || !Link->IsConnected()) {
      // The link would fail at once and leave whatever key it had.
      Show("NoConnectionToObject");
    } else if (Link->UploadFirmware(AccessCode ? AccessCode() : std::string(), FFirmware, this)) {
      Show(Link->ResultKey.empty() ? "FirmwareWritten" : Link->ResultKey);
    } else {
      Show(Link->ResultKey.empty() ? "FirmwareNotWritten" : Link->ResultKey);
    }
  } catch (...) {
    SetBusy(false);  // never left busy; the application shows what went wrong
    throw;
  }
  SetBusy(false);
}

void TFirmwareFra::SetBusy(bool busy) {
  StartBtn->setEnabled(!busy);
  BrowseFirmFileBtn->setEnabled(!busy);
  if (OnBusy) OnBusy(busy);
}

void TFirmwareFra::SetRange(int minimum, int maximum) {
  FirmwareUpdateGauge->setRange(minimum, maximum);
  FUploadTime.start();
}

void TFirmwareFra::SetPosition(int position) {
  FirmwareUpdateGauge->setValue(position);
  const int total = FirmwareUpdateGauge->maximum();
  QString text = Language ? Language->TranslateToQ("FirmwareProgress") : "%1 / %2, %3 s";
  // The time left follows the pace of the packets so far.
  const double perPacket = position > 0 ? FUploadTime.elapsed() / 1000.0 / position : 0;
  const int left = static_cast<int>(std::ceil(perPacket * (total - position)));
  NoLangProgressLab->setText(text.arg(position).arg(total).arg(left));
}

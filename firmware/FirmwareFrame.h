#pragma once
// The firmware page: pick a firmware file (checked and cut into packets at
// once) and upload it to the connected device, with progress as the packets
// are acknowledged.

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <string>

#include "firmware/Q_Firmware.h"
#include "i18n/Q_Language.h"
#include "link/Q_Common.h"
#include "platform/MessageService.h"

class TFirmwareFra : public QFrame, private TProgressIndicator {
  Q_OBJECT

 public:
  explicit TFirmwareFra(QWidget* parent = nullptr);

  // What the page works with; the window sets them once.
  TDataCommunication* Link = nullptr;
  TMessageService* Messages = nullptr;
  TQLanguage* Language = nullptr;
  std::function<std::string()> AccessCode;  // the session's access code
  std::function<void(bool busy)> OnBusy;

  // Picks and loads a file; a file that does not load leaves no firmware.
  void BrowseFirmFileBtnClick();
  // Uploads the loaded firmware and says how it went. Whatever happens, the
  // page ends in the loaded state and the window is told it is no longer busy.
  void StartBtnClick();
  void SetBusy(bool busy);
  const TFirmware& Firmware() const { return FFirmware; }

  QLabel* OpenFirmwareFileLab;
  QLineEdit* FirmwareFileNameLab;
  QPushButton* BrowseFirmFileBtn;
  QLabel* FirmwareUpdateLab;
  QPushButton* StartBtn;
  QLabel* ProgressLab;
  QProgressBar* FirmwareUpdateGauge;
  QLabel* NoLangProgressLab;  // packets done and time left; set by the program
  TFileDialogOptions OpenDialog;

 private:
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;
  void Show(const std::string& key);

  TFirmware FFirmware;
  QElapsedTimer FUploadTime;
};

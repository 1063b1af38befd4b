#pragma once
// Two options of the program (remember the access code, read right after
// connecting) and the button that restores the device's factory settings.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

class TConnectionSettingsFra : public QFrame {
  Q_OBJECT

 public:
  explicit TConnectionSettingsFra(QWidget* parent = nullptr);

  void SetSaveAccessCode(bool save);
  bool SaveAccessCode() const { return FSaveAccessCode; }
  bool GetReadAfterConnect() const { return ReadAfterConnectChk->isChecked(); }
  void SetReadAfterConnect(bool read) { ReadAfterConnectChk->setChecked(read); }
  void SaveAccessCodeChkClick();

  QCheckBox* SaveAccessCodeChk;
  QCheckBox* ReadAfterConnectChk;
  QLabel* RestoreDefaultsSettingsLab;
  QPushButton* RestoreBtn;

 private:
  bool FSaveAccessCode = false;
};

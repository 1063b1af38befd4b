#include "editors/ConnectionSettingsFrame.h"

#include <QGridLayout>

TConnectionSettingsFra::TConnectionSettingsFra(QWidget* parent)
    : QFrame(parent),
      SaveAccessCodeChk(new QCheckBox(this)),
      ReadAfterConnectChk(new QCheckBox(this)),
      RestoreDefaultsSettingsLab(new QLabel(this)),
      RestoreBtn(new QPushButton(this)) {
  setObjectName("ConnectionSettingsFra");
  SaveAccessCodeChk->setObjectName("SaveAccessCodeChk");
  ReadAfterConnectChk->setObjectName("ReadAfterConnectChk");
  RestoreDefaultsSettingsLab->setObjectName("RestoreDefaultsSettingsLab");
  RestoreBtn->setObjectName("RestoreBtn");
  RestoreBtn->setEnabled(false);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SaveAccessCodeChk, 0, 0, 1, 2);
  layout->addWidget(ReadAfterConnectChk, 1, 0, 1, 2);
  layout->addWidget(RestoreDefaultsSettingsLab, 2, 0);
  layout->addWidget(RestoreBtn, 2, 1);
  layout->setColumnStretch(0, 1);
  connect(SaveAccessCodeChk, &QCheckBox::clicked, this, [this] { SaveAccessCodeChkClick(); });
}

void TConnectionSettingsFra::SetSaveAccessCode(bool save) {
  FSaveAccessCode = save;
  SaveAccessCodeChk->setChecked(save);
}

void TConnectionSettingsFra::SaveAccessCodeChkClick() {
  if (SaveAccessCodeChk->isChecked() != FSaveAccessCode)
    SetSaveAccessCode(SaveAccessCodeChk->isChecked());
}

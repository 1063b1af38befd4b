// Settings files of the main window: Save, Open and Open last; and the
// window's side of the firmware page.
#include "app/Main.h"

QPushButton* TMainFormFrm::FirmwareStartButton() const {
  return FirmwareFra->StartBtn;
}

void TMainFormFrm::FirmwareFraBrowseFirmFileBtnClick() {
  TCommandScope dialog(*this);
  FirmwareFra->BrowseFirmFileBtnClick();
}

void TMainFormFrm::SaveBtnClick() {
  TCommandScope command(*this);
  const std::optional<QString> name = FMessages.SaveFileName(SaveSettingsDialog);
  if (!name) return;
  TPacketArray groups;
  for (char group : kSettingsGroups) {
    TPacket packet;
    packet.Command = "F3";
    packet.Data = Gather(group);
    groups.push_back(packet);
  }
  if (!FSettingsFile->Save(*name, groups)) ShowTranslated("ErrorSaveSettings");
}

void TMainFormFrm::OpenBtnClick() {
  TCommandScope command(*this);
  const std::optional<QString> name = FMessages.OpenFileName(OpenSettingsDialog);
  if (!name) return;
  const TPacketArray groups = FSettingsFile->Load(*name);
  if (groups.empty()) {
    ShowTranslated("ErrorLoadSettings");
    return;
  }
  FLastSettingsFile = *name;
  OpenLastBtn->setEnabled(!FLastSettingsFile.isEmpty());
  for (const TPacket& packet : groups) StorePacket(packet);
  FPanelTypeSel->FillPanelTypes(&FPanelTypeList);
  FSmsLanguageSel->FillSmsLanguages(&FSmsLanguageList);
}

void TMainFormFrm::OpenLastBtnClick() {
  TCommandScope command(*this);
  const TPacketArray groups = FSettingsFile->Load(FLastSettingsFile);
  if (groups.empty()) {
    ShowTranslated("ErrorLoadSettings");
    return;
  }
  for (const TPacket& packet : groups) StorePacket(packet);
  // As Open does: the file's panel type and SMS language are chosen now.
  FPanelTypeSel->FillPanelTypes(&FPanelTypeList);
  FSmsLanguageSel->FillSmsLanguages(&FSmsLanguageList);
}

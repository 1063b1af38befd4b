#pragma once
// The alarm panel type ("013"), chosen from the list the device sends.

#include "editors/ChoiceListFrame.h"

class TPanelTypeFra : public TChoiceListFrame {
  Q_OBJECT

 public:
  explicit TPanelTypeFra(QWidget* parent = nullptr)
      : TChoiceListFrame("PanelTypeFra", "PanelTypeLab", "PanelTypesCmb", parent) {}
  void SetPanelType(const std::string& value) { SetCurrent(value); }
  std::string GetPanelType() const { return GetCurrent(); }
  void FillPanelTypes(TDataNodeHandler* list) { Fill(list); }
  QLabel* PanelTypeLab() const { return Label; }
  QComboBox* PanelTypesCmb() const { return List; }
};

#pragma once
// The language of the device's SMS ("026"), chosen from the list the device sends.

#include "editors/ChoiceListFrame.h"

class TSmsLanguageFrm : public TChoiceListFrame {
  Q_OBJECT

 public:
  explicit TSmsLanguageFrm(QWidget* parent = nullptr)
      : TChoiceListFrame("SmsLanguageFrm", "SMSlanguageLab", "SMSlanguageCmb", parent) {}
  void SetSmsLanguage(const std::string& value) { SetCurrent(value); }
  std::string GetSmsLanguage() const { return GetCurrent(); }
  void FillSmsLanguages(TDataNodeHandler* list) { Fill(list); }
  QLabel* SMSlanguageLab() const { return Label; }
  QComboBox* SMSlanguageCmb() const { return List; }
};

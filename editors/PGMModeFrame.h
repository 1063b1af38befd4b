#pragma once
// The PGM output mode ("025"): two fixed choices, "00" and "01".

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <string>

#include "i18n/Q_Language.h"

class TPGMModeFra : public QFrame {
  Q_OBJECT

 public:
  explicit TPGMModeFra(TQLanguage* language, QWidget* parent = nullptr);

  // Makes sure of both items and gives them their texts in the current
  // language, keeping the selection.
  void FillPgmModes();
  // Selects the first item with this value; no match changes nothing.
  void SetPgmMode(const std::string& value);
  std::string GetPgmMode() const;

  QLabel* PGMLab;
  QComboBox* PGMCmb;

 private:
  TQLanguage* FLanguage;
};

#pragma once
// The language selector on the settings page: lists the file's languages and
// switches the whole program to the one the user picks.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <functional>

#include "i18n/Q_Language.h"

class TLanguageSelectionComboBoxFra : public QFrame {
  Q_OBJECT

 public:
  explicit TLanguageSelectionComboBoxFra(QWidget* parent = nullptr);

  // Fills the list with the manager's languages, the loaded one selected.
  void SetLanguage(TQLanguage* language);
  // Applies the user's choice (the list's change event).
  void ChooseLanguageCmbChange();

  QLabel* LanguageLab;
  QComboBox* ChooseLanguageCmb;
  TQLanguage* Language = nullptr;
  bool Filling = false;
  std::function<void(TQLanguage* language)> OnLanguageChanged;
};

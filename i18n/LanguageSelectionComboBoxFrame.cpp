#include "i18n/LanguageSelectionComboBoxFrame.h"

#include <QHBoxLayout>

#include "platform/Text.h"

TLanguageSelectionComboBoxFra::TLanguageSelectionComboBoxFra(QWidget* parent)
    : QFrame(parent), LanguageLab(new QLabel(this)), ChooseLanguageCmb(new QComboBox(this)) {
  setObjectName("LanguageSelectionComboBoxFra");
  LanguageLab->setObjectName("LanguageLab");
  ChooseLanguageCmb->setObjectName("ChooseLanguageCmb");
  ChooseLanguageCmb->setEditable(false);  // pick only
  ChooseLanguageCmb->setMinimumWidth(150);
  LanguageLab->setBuddy(ChooseLanguageCmb);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(LanguageLab);
  layout->addWidget(ChooseLanguageCmb, 1);
  connect(ChooseLanguageCmb, &QComboBox::currentIndexChanged, this,
          [this] { ChooseLanguageCmbChange(); });
}

void TLanguageSelectionComboBoxFra::SetLanguage(TQLanguage* language) {
  Filling = true;
  Language = language;
  ChooseLanguageCmb->clear();
  if (language) {
    for (const std::string& name : language->LanguageNames) ChooseLanguageCmb->addItem(ToQ(name));
    ChooseLanguageCmb->setCurrentIndex(ChooseLanguageCmb->findText(ToQ(language->LanguageName)));
  }
  Filling = false;
}

void TLanguageSelectionComboBoxFra::ChooseLanguageCmbChange() {
  if (Filling || !Language || ChooseLanguageCmb->currentIndex() < 0) return;
  const std::string chosen = FromQ(ChooseLanguageCmb->currentText());
  if (chosen == Language->LanguageName) return;
  Language->LanguageName = chosen;
  TRegistry registry(Language->Hive());
  if (registry.OpenKey(TQLanguage::kRegistryKey, true))
    registry.WriteString(TQLanguage::kRegistryValue, chosen);  // a failure keeps the old choice
  Language->LoadLanguage(TQLanguage::kFileName);
  QWidget* form = window();
  Language->UnregisterForm(form);
  Language->RegisterForm(form);
  if (OnLanguageChanged) OnLanguageChanged(Language);
}

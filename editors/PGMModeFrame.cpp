#include "editors/PGMModeFrame.h"

#include <QHBoxLayout>

#include "platform/Text.h"

TPGMModeFra::TPGMModeFra(TQLanguage* language, QWidget* parent)
    : QFrame(parent), PGMLab(new QLabel(this)), PGMCmb(new QComboBox(this)), FLanguage(language) {
  setObjectName("PGMModeFra");
  PGMLab->setObjectName("PGMLab");
  PGMCmb->setObjectName("PGMCmb");
  PGMCmb->setEditable(false);
  PGMCmb->setMinimumWidth(200);
  PGMLab->setMinimumWidth(140);
  PGMLab->setBuddy(PGMCmb);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PGMLab);
  layout->addWidget(PGMCmb, 1);
}

void TPGMModeFra::FillPgmModes() {
  const int selected = PGMCmb->currentIndex();
  if (PGMCmb->count() < 1) PGMCmb->addItem(QString(), QString("00"));
  PGMCmb->setItemText(0, FLanguage ? FLanguage->TranslateToQ("PGMctrlOutput") : "PGMctrlOutput");
  if (PGMCmb->count() < 2) PGMCmb->addItem(QString(), QString("01"));
  PGMCmb->setItemText(1, FLanguage ? FLanguage->TranslateToQ("PGMfromInputs") : "PGMfromInputs");
  // Adding to an empty list selects its first item: put back what was selected.
  PGMCmb->setCurrentIndex(selected);
}

void TPGMModeFra::SetPgmMode(const std::string& value) {
  for (int i = 0; i < PGMCmb->count(); ++i) {
    if (FromQ(PGMCmb->itemData(i).toString()) == value) {
      PGMCmb->setCurrentIndex(i);
      return;
    }
  }
}

std::string TPGMModeFra::GetPgmMode() const {
  const int index = PGMCmb->currentIndex();
  return index < 0 ? std::string() : FromQ(PGMCmb->itemData(index).toString());
}

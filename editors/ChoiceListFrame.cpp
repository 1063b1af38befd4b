#include "editors/ChoiceListFrame.h"

#include <QHBoxLayout>

#include "platform/Text.h"

TChoiceListFrame::TChoiceListFrame(const char* frameName, const char* labelName,
                                   const char* listName, QWidget* parent)
    : QFrame(parent), Label(new QLabel(this)), List(new QComboBox(this)) {
  setObjectName(frameName);
  Label->setObjectName(labelName);
  List->setObjectName(listName);
  List->setEditable(false);
  List->setMinimumWidth(200);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Label->setMinimumWidth(140);
  Label->setBuddy(List);
  layout->addWidget(Label);
  layout->addWidget(List, 1);
}

std::string TChoiceListFrame::GetCurrent() const {
  const int index = List->currentIndex();
  if (index < 0 || !FList) return {};
  return FList->ValueAt(index).value_or("").substr(0, 2);
}

void TChoiceListFrame::Fill(TDataNodeHandler* list) {
  FList = list;
  List->clear();
  int selected = -1;
  for (int i = 0; list && i < list->Count(); ++i) {
    const std::string value = list->ValueAt(i).value_or("");
    List->addItem(ToQ(value.size() > 3 ? value.substr(3) : std::string()));
    if (value.substr(0, 2) == CurrentId) selected = i;
  }
  List->setCurrentIndex(selected);
}

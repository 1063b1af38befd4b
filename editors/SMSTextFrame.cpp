#include "editors/SMSTextFrame.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/Text.h"

TSMSTextFra::TSMSTextFra(QWidget* parent)
    : QFrame(parent), SMSTextLab(new QLabel(this)), SMSTextGrd(new TGrid(this)) {
  setObjectName("SMSTextFra");
  SMSTextLab->setObjectName("SMSTextLab");
  SMSTextGrd->setObjectName("SMSTextGrd");
  TGridColumn* number = SMSTextGrd->AddColumn(TGridColumn::TKind::Text, "InputNgc");
  number->Editable = false;
  number->Width = 64;
  for (const char* name : {"EventTextNgc", "RestoreTextNgc"}) {
    TGridColumn* column = SMSTextGrd->AddColumn(TGridColumn::TKind::Text, name);
    column->TypingLimit = kTypingLimit;
    column->Width = 290;
  }
  SMSTextGrd->FitToRows(kRows);
  SMSTextLab->setBuddy(SMSTextGrd);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SMSTextLab);
  layout->addWidget(SMSTextGrd);
  ResetGrids();
}

void TSMSTextFra::ResetGrids() {
  SMSTextGrd->ClearRows();
  SMSTextGrd->AddRows(kRows);
  for (int row = 0; row < kRows; ++row) SMSTextGrd->SetCellText(0, row, QString::number(row + 1));
}

int TSMSTextFra::Row(const TDataNode* node) {
  const int n = node->CodeNumber();
  return n >= 0 && n % 100 < kRows ? n % 100 : -1;
}

std::string TSMSTextFra::Text(const TDataNode* node, int column) const {
  const int row = Row(node);
  return row < 0 ? std::string() : FromQ(SMSTextGrd->CellText(column, row));
}

void TSMSTextFra::SetText(const TDataNode* node, int column, const std::string& value) {
  const int row = Row(node);
  if (row >= 0) SMSTextGrd->SetCellText(column, row, ToQ(value));
}

std::string TSMSTextFra::GetAlarmText(const TDataNode* node) const {
  return Text(node, 1);
}
void TSMSTextFra::SetAlarmText(const TDataNode* node, const std::string& value) {
  SetText(node, 1, value);
}
std::string TSMSTextFra::GetRestoreText(const TDataNode* node) const {
  return Text(node, 2);
}
void TSMSTextFra::SetRestoreText(const TDataNode* node, const std::string& value) {
  SetText(node, 2, value);
}

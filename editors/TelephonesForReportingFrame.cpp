#include "editors/TelephonesForReportingFrame.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "editors/PhoneText.h"
#include "platform/Text.h"

namespace {
constexpr int kFirstFlagColumn = 2;  // T1; T4 is column 5
}

TTelephonesForReportingFra::TTelephonesForReportingFra(QWidget* parent)
    : QFrame(parent), TelephonesForReporingLab(new QLabel(this)), TelephonesGrd(new TGrid(this)) {
  setObjectName("TelephonesForReportingFra");
  TelephonesForReporingLab->setObjectName("TelephonesForReporingLab");
  TelephonesGrd->setObjectName("TelephonesGrd");
  TGridColumn* position = TelephonesGrd->AddColumn(TGridColumn::TKind::Text, "PositionNcb");
  position->Visible = false;
  position->Editable = false;
  TGridColumn* number = TelephonesGrd->AddColumn(TGridColumn::TKind::Text, "NoNameNtc");
  number->EditorName = "NxEdit1";
  number->KeyFilter = PhoneKeyAccepted;  // NxEdit1KeyPress
  number->Width = 300;
  for (int t = 1; t <= 4; ++t)
    TelephonesGrd->AddColumn(TGridColumn::TKind::CheckBox, QString("T%1CheckBoxNcb").arg(t))
        ->Width = 60;
  TelephonesGrd->FitToRows(kPhones);
  TelephonesForReporingLab->setBuddy(TelephonesGrd);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(TelephonesForReporingLab);
  layout->addWidget(TelephonesGrd);
  ResetGrids();
}

void TTelephonesForReportingFra::ResetGrids() {
  TelephonesGrd->ClearRows();
  TelephonesGrd->AddRows(kPhones);
  for (int row = 0; row < kPhones; ++row)
    TelephonesGrd->SetCellText(0, row, QString("T%1").arg(row + 1));
}

int TTelephonesForReportingFra::Row(const TDataNode* node, int offset) {
  const int n = node->CodeNumber();
  if (n < 0) return -1;
  const int row = n % 10 - offset;
  return row >= 0 && row < kPhones ? row : -1;
}

std::string TTelephonesForReportingFra::GetPhoneNumber(const TDataNode* node) const {
  const int row = Row(node, 0);
  return row < 0 ? std::string() : StripPlus(FromQ(TelephonesGrd->CellText(1, row)));
}

void TTelephonesForReportingFra::SetPhoneNumber(const TDataNode* node, const std::string& value) {
  const int row = Row(node, 0);
  if (row >= 0) TelephonesGrd->SetCellText(1, row, ToQ(value));
}

std::string TTelephonesForReportingFra::GetReportFlags(const TDataNode* node) const {
  const int row = Row(node, 4);
  if (row < 0) return {};
  std::string flags;
  for (int t = 4; t >= 1; --t)
    flags += TelephonesGrd->CellChecked(kFirstFlagColumn + t - 1, row) ? '1' : '0';
  return flags;
}

void TTelephonesForReportingFra::SetReportFlags(const TDataNode* node, const std::string& value) {
  const int row = Row(node, 4);
  if (row < 0) return;
  // Character i (0-based) is flag T(4 - i).
  for (std::size_t i = 0; i < 4 && i < value.size(); ++i)
    TelephonesGrd->SetCellChecked(kFirstFlagColumn + 3 - static_cast<int>(i), row, value[i] == '1');
}

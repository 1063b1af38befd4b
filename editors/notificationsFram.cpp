#include "editors/notificationsFram.h"

#include <QHeaderView>

#include "platform/Text.h"

namespace {

// Geometry of the page: text grids on top, then the phones, then the matrix
// with its row labels on the left and column labels above.
constexpr int kRowHeight = 18;
constexpr int kCheckWidth = 50;
constexpr int kMatrixX = 186;
constexpr int kPhonesY = 214;
constexpr int kColumnLabelsY = 240;
constexpr int kMatrixY = 258;

const char* const kInputKeys[] = {"in1", "in2", "in3", "in4", "mci"};
const char* const kEventKeys[] = {"lp", "test"};

TGrid* TextGrid(QWidget* parent, const char* name, const char* labelColumn, const char* eventColumn,
                const char* restoreColumn, int rows, int y) {
  auto* grid = new TGrid(parent);
  grid->setObjectName(name);
  TGridColumn* label = grid->AddColumn(TGridColumn::TKind::Text, labelColumn);
  label->Editable = false;
  label->Width = 104;
  for (const char* columnName : {eventColumn, restoreColumn}) {
    TGridColumn* column = grid->AddColumn(TGridColumn::TKind::Text, columnName);
    column->TypingLimit = TnotificationsFrame::kTextLimit;
    column->Width = 262;
  }
  grid->AddRows(rows);  // column widths follow the rows
  grid->FitToRows(rows);
  grid->setGeometry(0, y, 640, grid->height());
  return grid;
}

}  // namespace

TnotificationsFrame::TnotificationsFrame(TQLanguage* language, QWidget* parent)
    : QFrame(parent), FLanguage(language) {
  setObjectName("notificationsFrame");
  setMinimumSize(655, kMatrixY + kMatrixRows * kRowHeight + 8);

  inputGrd = TextGrid(this, "inputGrd", "inputNtc", "eventMessageNt1", "restoreMessageNt1", 5, 0);
  eventsGrd = TextGrid(this, "eventsGrd", "eventNtc", "eventMessageNtc", "restoreMessageNtc", 2,
                       inputGrd->geometry().bottom() + 6);
  eventsGrd->OnBeforeEdit = [this](int column, int row) {
    return eventsGrdBeforeEdit(column, row);
  };

  notificationChecksGrd = new TGrid(this);
  notificationChecksGrd->horizontalHeader()->setStretchLastSection(false);
  notificationChecksGrd->setObjectName("notificationChecksGrd");
  notificationChecksGrd->SetHeaderVisible(false);
  notificationChecksGrd->SetRowHeight(kRowHeight);
  for (int phone = 1; phone <= 4; ++phone) {
    for (const char* kind : {"smsNB", "CallNB"}) {
      TGridColumn* column = notificationChecksGrd->AddColumn(
          TGridColumn::TKind::CheckBox, QString(kind) + QString::number(phone));
      column->Width = kCheckWidth;
    }
  }
  notificationChecksGrd->FitToRows(kMatrixRows);
  notificationChecksGrd->setGeometry(kMatrixX, kMatrixY, 8 * kCheckWidth + 2,
                                     notificationChecksGrd->height());
  notificationChecksGrd->OnBeforeEdit = [this](int column, int row) {
    return notificationChecksGrdBeforeEdit(column, row);
  };

  for (int k = 0; k < 4; ++k) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString("phone%1Edt").arg(k + 1));
    edit->setGeometry(kMatrixX + k * 2 * kCheckWidth + 1, kPhonesY, 2 * kCheckWidth - 2, 22);
    InstallPhoneKeyFilter(*edit);
    connect(edit, &QLineEdit::textChanged, this, [this, k] { PhoneEdtChange(k + 1); });
    phoneEdt[static_cast<std::size_t>(k)] = edit;
  }

  // Column captions above the matrix.
  const char* const columnLabels[] = {"smsLb1", "CallLb1", "smsLb2", "callLb2",
                                      "smsLb3", "callLb3", "smsLb4", "callLb4"};
  for (int c = 0; c < 8; ++c)
    Caption(columnLabels[c], kMatrixX + 1 + c * kCheckWidth, kColumnLabelsY, kCheckWidth, 16,
            Qt::AlignCenter);
  // Row captions: a pair label for each event with a restore, then e/r beside each row.
  const char* const pairLabels[] = {"in1Lbl", "in2Lbl", "in3Lbl", "in4Lbl", "mciLbl", "lpLbl"};
  for (int i = 0; i < 6; ++i) {
    const int y = kMatrixY + 1 + 2 * i * kRowHeight;
    Caption(pairLabels[i], 0, y, 110, 2 * kRowHeight, Qt::AlignVCenter | Qt::AlignRight);
    Caption(QString("eLb%1").arg(i + 1).toLatin1().constData(), 116, y, 66, kRowHeight,
            Qt::AlignVCenter | Qt::AlignLeft);
    Caption(QString("rLb%1").arg(i + 1).toLatin1().constData(), 116, y + kRowHeight, 66, kRowHeight,
            Qt::AlignVCenter | Qt::AlignLeft);
  }
  const int testY = kMatrixY + 1 + 12 * kRowHeight;
  Caption("testLbl", 0, testY, 110, kRowHeight, Qt::AlignVCenter | Qt::AlignRight);
  Caption("eLb7", 116, testY, 66, kRowHeight, Qt::AlignVCenter | Qt::AlignLeft);
  Caption("ackLbl", 0, testY + kRowHeight, 110, kRowHeight, Qt::AlignVCenter | Qt::AlignRight);
  Caption("eLb8", 116, testY + kRowHeight, 66, kRowHeight, Qt::AlignVCenter | Qt::AlignLeft);

  ResetGrids();
  UpdatePhoneHints();
}

TStyledLabel* TnotificationsFrame::Caption(const char* name, int x, int y, int w, int h,
                                           Qt::Alignment align) {
  auto* label = new TStyledLabel(this);
  label->setObjectName(name);
  label->setAlignment(align);
  label->setGeometry(x, y, w, h);
  return label;
}

void TnotificationsFrame::ResetGrids() {
  notificationChecksGrd->ClearRows();
  notificationChecksGrd->AddRows(kMatrixRows);
  // The ACK row has SMS cells only: blank panels cover its call cells.
  const char* const covers[] = {"NoLangPanel2", "Panel2", "Panel3", "Panel4"};
  for (int k = 0; k < 4; ++k) {
    auto* cover = new QFrame();
    cover->setObjectName(covers[k]);
    cover->setAutoFillBackground(true);
    notificationChecksGrd->SetCellBlank(2 * k + 1, kAckRow);
    notificationChecksGrd->setIndexWidget(notificationChecksGrd->model()->index(kAckRow, 2 * k + 1),
                                          cover);
  }
  eventsGrd->ClearRows();
  eventsGrd->AddRows(2);
  for (int row = 0; row < 2; ++row)
    eventsGrd->SetCellText(0, row,
                           FLanguage ? FLanguage->TranslateToQ(kEventKeys[row]) : kEventKeys[row]);
  inputGrd->ClearRows();
  inputGrd->AddRows(5);
  for (int row = 0; row < 5; ++row)
    inputGrd->SetCellText(0, row,
                          FLanguage ? FLanguage->TranslateToQ(kInputKeys[row]) : kInputKeys[row]);
  phoneEmpty.fill(true);
}

void TnotificationsFrame::UpdatePhoneHints() {
  for (int k = 0; k < 4; ++k) {
    const std::string key = "phone" + std::to_string(k + 1);
    phoneEdt[static_cast<std::size_t>(k)]->setPlaceholderText(
        FLanguage ? FLanguage->TranslateToQ(key) : ToQ(key));
  }
}

void TnotificationsFrame::PhoneEdtChange(int phone) {
  const int s = 2 * (phone - 1), c = s + 1;
  TGrid& grid = *notificationChecksGrd;
  bool anyChecked = false;
  for (int row = 0; row < kMatrixRows && !anyChecked; ++row) anyChecked = grid.CellChecked(s, row);
  for (int row = 0; row < kAckRow && !anyChecked; ++row) anyChecked = grid.CellChecked(c, row);
  bool& empty = phoneEmpty[static_cast<std::size_t>(phone - 1)];
  if (phoneEdt[static_cast<std::size_t>(phone - 1)]->text().isEmpty()) {
    empty = true;
    return;
  }
  if (!empty) return;
  empty = false;
  if (anyChecked) return;
  // The first number of a phone with no checks at all turns on everything.
  for (int row = 0; row < kMatrixRows; ++row) grid.SetCellChecked(s, row, true);
  for (int row = 0; row < kAckRow; ++row) grid.SetCellChecked(c, row, true);
}

namespace {

int MatrixRow(int n) {
  if (n < 0) return -1;
  const int row = n / 100 == 3 ? (n % 10) * 2 : (n % 10) * 2 + 1;
  return row < TnotificationsFrame::kMatrixRows ? row : -1;
}

}  // namespace

std::string TnotificationsFrame::GetNotificationFlags(const TDataNode* node) const {
  const int row = MatrixRow(node->CodeNumber());
  if (row < 0) return {};
  std::string flags(8, '0');
  for (int c = 0; c < 8; ++c)
    if (notificationChecksGrd->CellChecked(c, row)) flags[static_cast<std::size_t>(c)] = '1';
  return flags;
}

void TnotificationsFrame::SetNotificationFlags(const TDataNode* node, const std::string& value) {
  const int row = MatrixRow(node->CodeNumber());
  if (row < 0 || value.size() != 8) return;
  for (int c = 0; c < 8; ++c)
    notificationChecksGrd->SetCellChecked(c, row, value[static_cast<std::size_t>(c)] == '1');
}

std::string TnotificationsFrame::GetAckFlags(const TDataNode* node) const {
  if (node->CodeNumber() < 0) return {};
  std::string flags(4, '0');
  for (int k = 0; k < 4; ++k)
    if (notificationChecksGrd->CellChecked(2 * k, kAckRow))
      flags[static_cast<std::size_t>(k)] = '1';
  return flags;
}

void TnotificationsFrame::SetAckFlags(const TDataNode* node, const std::string& value) {
  if (node->CodeNumber() < 0) return;
  for (std::size_t k = 0; k < 4 && k < value.size(); ++k)
    notificationChecksGrd->SetCellChecked(2 * static_cast<int>(k), kAckRow, value[k] == '1');
}

QLineEdit* TnotificationsFrame::PhoneEdit(const TDataNode* node) const {
  const int n = node->CodeNumber();
  if (n < 0 || n % 10 > 3) return nullptr;
  return phoneEdt[static_cast<std::size_t>(n % 10)];
}

std::string TnotificationsFrame::GetPhoneNumber(const TDataNode* node) const {
  const QLineEdit* edit = PhoneEdit(node);
  return edit ? StripPlus(FromQ(edit->text())).substr(0, kPhoneLimit) : std::string();
}

void TnotificationsFrame::SetPhoneNumber(const TDataNode* node, const std::string& value) {
  QLineEdit* edit = PhoneEdit(node);
  if (!edit) return;
  // The change rule runs also when the text stays the same (Qt signals no
  // change then).
  if (edit->text() == ToQ(value))
    PhoneEdtChange(node->CodeNumber() % 10 + 1);
  else
    edit->setText(ToQ(value));
  if (!value.empty()) phoneEmpty[static_cast<std::size_t>(node->CodeNumber() % 10)] = false;
}

std::pair<TGrid*, int> TnotificationsFrame::TextRow(int n) const {
  if (n < 0) return {nullptr, -1};
  const int r = n % 10;
  if (r <= 4) return {inputGrd, r};
  return r - 5 < 2 ? std::make_pair(eventsGrd, r - 5) : std::make_pair<TGrid*, int>(nullptr, -1);
}

std::string TnotificationsFrame::CellText(const TDataNode* node, int column) const {
  const auto [grid, row] = TextRow(node->CodeNumber());
  return grid ? FromQ(grid->CellText(column, row)).substr(0, kTextLimit) : std::string();
}

void TnotificationsFrame::SetCellText(const TDataNode* node, int column, const std::string& value) {
  const auto [grid, row] = TextRow(node->CodeNumber());
  if (grid) grid->SetCellText(column, row, ToQ(value));
}

std::string TnotificationsFrame::GetEventText(const TDataNode* node) const {
  return CellText(node, 1);
}
void TnotificationsFrame::SetEventText(const TDataNode* node, const std::string& value) {
  SetCellText(node, 1, value);
}
std::string TnotificationsFrame::GetRestoreText(const TDataNode* node) const {
  return CellText(node, 2);
}
void TnotificationsFrame::SetRestoreText(const TDataNode* node, const std::string& value) {
  SetCellText(node, 2, value);
}

bool TnotificationsFrame::eventsGrdBeforeEdit(int column, int row) const {
  return !(column == 2 && row == 1);  // the test event has no restore
}

bool TnotificationsFrame::notificationChecksGrdBeforeEdit(int, int) const {
  return true;
}

#include "editors/NumEdit.h"

#include "codec/HexDigit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <limits>

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(parent), Beep([] { QApplication::beep(); }) {
  setText("0");
  resize(33, height());
}

std::int64_t TIntEdit::ParseDecimal(const QString& text) {
  // A sign, then digits only: a space or any other character makes it no number.
  const qsizetype start = !text.isEmpty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (start == text.size() || text.size() > 12) return 0;
  for (qsizetype i = start; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return 0;
  const qlonglong v = text.toLongLong();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return 0;
  return v;
}

std::int64_t TIntEdit::ParseHex(const QString& text) {
  if (text.isEmpty() || text.size() > 8) return 0;
  std::uint32_t v = 0;
  for (QChar c : text) {
    const int digit = c.unicode() < 0x80 ? HexDigitValue(c.toLatin1()) : -1;
    if (digit < 0) return 0;
    v = v << 4 | static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(v);  // eight digits from 8 up are negative
}

QString TIntEdit::Format(std::int64_t value, bool hex) {
  if (!hex) return QString::number(value);
  return QString::number(static_cast<quint64>(value), 16).toUpper();
}

std::int64_t TIntEdit::Value() const {
  return FHexMode ? ParseHex(text()) : ParseDecimal(text());
}

void TIntEdit::SetValue(std::int64_t value) {
  setText(Format(value, FHexMode));
}

void TIntEdit::SetHexMode(bool hex) {
  if (hex == FHexMode) return;
  const std::int64_t value = Value();
  FHexMode = hex;
  SetValue(value);
}

void TIntEdit::SetMaxValue(std::int32_t max) {
  FMaxValue = max;
  if (Value() > max) SetValue(max);
}

bool TIntEdit::IsPasteAction(const QAction& action) {
  // Newer Qt names the standard actions; older ones show the shortcut only.
  static const QString shortcut =
      '\t' + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
  return action.objectName() == "edit-paste" || action.text().endsWith(shortcut);
}

void TIntEdit::InsertBounded(const QString& text) {
  QString insert = text;
  if (FMaxLength > 0)
    insert.truncate(
        std::max<qsizetype>(0, FMaxLength - (this->text().size() - selectedText().size())));
  this->insert(insert);
}

void TIntEdit::Paste() {
  InsertBounded(QGuiApplication::clipboard()->text());
}

void TIntEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    if (!IsPasteAction(*action)) continue;
    disconnect(action, &QAction::triggered, nullptr, nullptr);
    connect(action, &QAction::triggered, this, [this] { Paste(); });
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void TIntEdit::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasText() || isReadOnly()) return;
  setCursorPosition(cursorPositionAt(event->position().toPoint()));
  InsertBounded(event->mimeData()->text());
  event->acceptProposedAction();
}

void TIntEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  // Shift+Insert pastes, within the typing limit; Ctrl+V is a control
  // character and is refused below.
  if (typed.isEmpty() && event->matches(QKeySequence::Paste)) {
    Paste();
    return;
  }
  // Keys that type nothing (arrows, Home, Delete, Tab) are not filtered.
  if (typed.isEmpty() || event->key() == Qt::Key_Delete || event->key() == Qt::Key_Tab ||
      event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Escape) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QChar k = typed.front().toUpper();
  const bool digit = k >= '0' && k <= '9';
  const bool hexDigit = FHexMode && k >= 'A' && k <= 'F';
  if (k != '\b' && k != '\r' && !digit && !hexDigit) {
    if (Beep) Beep();
    return;
  }
  if ((digit || hexDigit) && FMaxLength > 0 && text().size() - selectedText().size() >= FMaxLength)
    return;
  QKeyEvent upper(event->type(), event->key(), event->modifiers(), QString(k),
                  event->isAutoRepeat(), static_cast<ushort>(event->count()));
  QLineEdit::keyPressEvent(&upper);
  event->setAccepted(upper.isAccepted());
}

void TIntEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  emit Entered();
}

void TIntEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (text().isEmpty()) setText("0");
  if (Value() > FMaxValue) SetValue(FMaxValue);
  emit Exited();
}

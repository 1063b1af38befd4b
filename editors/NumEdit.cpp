#include "editors/NumEdit.h"

#include "codec/HexDigit.h"

#include <QApplication>
#include <QKeyEvent>
#include <limits>

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(parent), Beep([] { QApplication::beep(); }) {
  setText("0");
  resize(33, height());
}

std::int64_t TIntEdit::ParseDecimal(const QString& text) {
  bool ok = false;
  const qlonglong v = text.toLongLong(&ok, 10);
  if (!ok || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
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

void TIntEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
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

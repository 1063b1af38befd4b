#pragma once
// A one-line edit for a whole number, decimal or hexadecimal, with an upper
// bound applied when the user leaves the field. Used for access codes and PINs.

#include <QAction>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <limits>

class TIntEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TIntEdit(QWidget* parent = nullptr);

  bool HexMode() const { return FHexMode; }
  void SetHexMode(bool hex);  // converts the text to the new mode
  std::int32_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(std::int32_t max);  // lowers the value to it at once
  // The text read in the current mode; 0 when it is not a number.
  std::int64_t Value() const;
  void SetValue(std::int64_t value);
  // Characters the user may type or paste (0: no limit). Text set by the
  // program is not cut to it.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length) { FMaxLength = length; }

  // The warning sound for a refused key.
  std::function<void()> Beep;

  // The paste entry of the standard context menu.
  static bool IsPasteAction(const QAction& action);

 signals:
  // The control took the focus; it lost it, after the exit rules ran.
  void Entered();
  void Exited();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Inserts at the caret what the typing limit leaves room for.
  void InsertBounded(const QString& text);
  void Paste();
  static std::int64_t ParseDecimal(const QString& text);
  static std::int64_t ParseHex(const QString& text);
  static QString Format(std::int64_t value, bool hex);

  bool FHexMode = false;
  std::int32_t FMaxValue = std::numeric_limits<std::int32_t>::max();  // no bound until set
  int FMaxLength = 0;
};

#pragma once
// A named column of the grid, so translation reaches its header caption.

#include <QChar>
#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

class TGridColumn : public QObject {
  Q_OBJECT

 public:
  enum class TKind { Text, CheckBox, Other };
  // Decides, before the in-place editor takes a typed character, whether it may.
  using TKeyFilter = std::function<bool(QChar typed, const QLineEdit& editor)>;

  TGridColumn(TKind kind, const QString& name, QObject* parent = nullptr)
      : QObject(parent), FKind(kind) {
    setObjectName(name);
  }
  TKind Kind() const { return FKind; }
  QString Header() const { return FHeader; }
  void SetHeader(const QString& header) {
    FHeader = header;
    emit HeaderChanged();
  }

  bool Editable = true;
  bool Visible = true;
  int TypingLimit = 0;   // characters the user may type; 0: no limit
  QString EditorName;    // objectName of the in-place editor
  TKeyFilter KeyFilter;  // typed characters the in-place editor refuses
  int Width = 60;

 signals:
  void HeaderChanged();  // the grid redraws its header

 private:
  TKind FKind;
  QString FHeader;
};

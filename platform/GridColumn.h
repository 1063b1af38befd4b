#pragma once
// A named column of the grid, so translation reaches its header caption.

#include <QObject>
#include <QString>
#include <functional>

class TGridColumn : public QObject {
 public:
  enum class TKind { Text, CheckBox, Other };

  TGridColumn(TKind kind, const QString& name, QObject* parent = nullptr)
      : QObject(parent), FKind(kind) {
    setObjectName(name);
  }
  TKind Kind() const { return FKind; }
  QString Header() const { return FHeader; }
  void SetHeader(const QString& header) {
    FHeader = header;
    if (OnHeaderChanged) OnHeaderChanged();
  }
  std::function<void()> OnHeaderChanged;  // the grid redraws its header

 private:
  TKind FKind;
  QString FHeader;
};

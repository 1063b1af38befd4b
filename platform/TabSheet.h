#pragma once
// A page of the page control: a widget with a caption. The page control
// itself is a stacked widget that shows no tabs.

#include <QString>
#include <QWidget>

class TTabSheet : public QWidget {
  Q_OBJECT

 public:
  explicit TTabSheet(QWidget* parent = nullptr) : QWidget(parent) {}
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption) { FCaption = caption; }

 private:
  QString FCaption;
};

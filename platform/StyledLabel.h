#pragma once
// The styled caption label used around the notification matrix. Unlike a
// plain label it is always translated.

#include <QLabel>

class TStyledLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TStyledLabel(QWidget* parent = nullptr) : QLabel(parent) {}
};

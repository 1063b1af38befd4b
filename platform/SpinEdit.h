#pragma once
// A spin edit: a whole number within MinValue..MaxValue, and a Tag the window
// uses as the number of digits of its value text.

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  explicit TSpinEdit(QWidget* parent = nullptr) : QSpinBox(parent) {}
  int Tag = 0;
};

#pragma once
// A panel with a caption, such as the status bar's text panels. Its caption
// is a value the program sets, so translation leaves it alone (the inner
// label has no name).

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

class TPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TPanel(QWidget* parent = nullptr) : QFrame(parent), FLabel(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(FLabel);
  }
  QString Caption() const { return FLabel->text(); }
  void SetCaption(const QString& caption) { FLabel->setText(caption); }
  void SetAlignment(Qt::Alignment alignment) { FLabel->setAlignment(alignment); }

 private:
  QLabel* FLabel;
};

#include "editors/PhoneText.h"

#include <QKeyEvent>

std::string StripPlus(const std::string& number) {
  return !number.empty() && number[0] == '+' ? number.substr(1) : number;
}

bool PhoneKeyAccepted(QChar typed, const QLineEdit& edit) {
  if (typed >= '0' && typed <= '9') return true;
  if (typed == '\b') return true;
  if (typed == '+') {
    const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
    return start == 0;
  }
  return false;
}

namespace {

class TPhoneKeyFilter : public QObject {
 public:
  explicit TPhoneKeyFilter(QLineEdit& edit) : QObject(&edit), FEdit(edit) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // Keys without a character (arrows, Delete, Home) are no typing.
      if (!key->text().isEmpty() && key->key() != Qt::Key_Delete && key->key() != Qt::Key_Tab &&
          key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape)
        return !PhoneKeyAccepted(key->text().front(), FEdit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QLineEdit& FEdit;
};

}  // namespace

void InstallPhoneKeyFilter(QLineEdit& edit) {
  edit.installEventFilter(new TPhoneKeyFilter(edit));
}

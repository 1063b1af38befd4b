#pragma once
// The application object: whatever escapes an event handler is shown to the
// user, never a silent end of the program.

#include <QApplication>
#include <functional>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // How a failure is shown: a message box unless told otherwise.
  std::function<void(const QString& what)> Report;
};

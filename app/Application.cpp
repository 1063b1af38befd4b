#include "app/Application.h"

#include <QMessageBox>
#include <exception>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), Report([](const QString& what) {
        QMessageBox::critical(activeWindow(), applicationName(), what);
      }) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    Report(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    Report("An unknown error occurred.");
  }
  return false;
}

// What escapes an event handler is shown, and the program goes on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>

#include "app/Application.h"

namespace {

class TFailingHandler : public QObject {
 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("the handler failed");
    if (e->type() == QEvent::User + 1) throw 42;
    return QObject::event(e);
  }
};

QStringList gReported;

}  // namespace

TEST(Application, AFailureInAnEventHandlerIsShownNotFatal) {
  auto* app = static_cast<TApplication*>(QCoreApplication::instance());
  app->Report = [](const QString& what) { gReported << what; };
  TFailingHandler handler;
  QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&handler, new QEvent(static_cast<QEvent::Type>(QEvent::User + 1)));
  QCoreApplication::processEvents();
  EXPECT_EQ(gReported, (QStringList{"the handler failed", "An unknown error occurred."}));
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

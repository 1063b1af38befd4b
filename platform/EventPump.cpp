#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

void TQtEventPump::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtEventPump::Sleep(unsigned milliseconds) {
  QThread::msleep(milliseconds);
}

std::uint32_t TQtEventPump::Ticks() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return static_cast<std::uint32_t>(clock.elapsed());
}

#pragma once
// Notices serial ports coming and going (an adapter plugged in or pulled):
// asks the lister about once a second and signals when the set changed. A
// listing that fails keeps the last known list.

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "platform/PortLister.h"

class TPortWatcher : public QObject {
  Q_OBJECT

 public:
  static constexpr int kPollIntervalMs = 1000;

  explicit TPortWatcher(TPortLister& lister, QObject* parent = nullptr);
  // The ports present at the last look.
  const QStringList& Ports() const { return FPorts; }
  // Looks now; the timer calls it.
  void Poll();

 signals:
  void PortsChanged(const QStringList& ports);

 private:
  TPortLister& FLister;
  QStringList FPorts;
  QTimer FTimer;
};

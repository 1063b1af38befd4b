#include "platform/PortWatcher.h"

TPortWatcher::TPortWatcher(TPortLister& lister, QObject* parent)
    : QObject(parent), FLister(lister) {
  if (const auto ports = FLister.ListPorts()) {
    FPorts = *ports;
    FPorts.sort();
  }
  connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
  FTimer.start(kPollIntervalMs);
}

void TPortWatcher::Poll() {
  std::optional<QStringList> ports = FLister.ListPorts();
  if (!ports) return;
  ports->sort();
  if (*ports == FPorts) return;
  FPorts = *ports;
  emit PortsChanged(FPorts);
}

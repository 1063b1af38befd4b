#pragma once
// A pick-only list bound to one property of a serial port: it lists the
// values the property can take, shows the port's current value, and writes
// its choice back into the port on request.

#include <QComboBox>
#include <QPointer>
#include <QStringList>

#include "platform/SerialPort.h"

class TComComboBox : public QComboBox {
  Q_OBJECT

 public:
  enum class TProperty { PortName, BaudRate, DataBits, StopBits, Parity, FlowControl };

  explicit TComComboBox(TProperty property, QWidget* parent = nullptr);
  TProperty Property() const { return FProperty; }

  // Binds to a port (or none); a bound list shows the port's value at once.
  void SetComPort(TSerialPort* port);
  TSerialPort* ComPort() const { return FPort; }
  // The ports to choose from; the port name list only. The shown choice is
  // the port's name again, or none when the list lacks it.
  void SetPortNames(const QStringList& names);
  // Shows the bound port's current value; no choice when the list lacks it.
  void UpdateSettings();
  // Writes the choice into the bound port; nothing when unbound or when
  // nothing is chosen.
  void ApplySettings();

 private:
  // The port's current value as one of this list's texts.
  QString PortValue() const;

  TProperty FProperty;
  QPointer<TSerialPort> FPort;
};

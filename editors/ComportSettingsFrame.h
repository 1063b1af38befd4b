#pragma once
// Which of the computer's serial ports reaches the device. A port picked
// from the list takes effect at once (an open port is reopened under the new
// name) and is remembered in the registry. The line settings are the port's
// own (9600 8N1): their lists exist, hidden, and write back what the port has.

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "platform/ComComboBox.h"
#include "platform/PortLister.h"
#include "platform/SerialPort.h"

class TComportSettingsFra : public QFrame {
  Q_OBJECT

 public:
  explicit TComportSettingsFra(QWidget* parent = nullptr);

  // Where the port list comes from; none lists nothing.
  void SetPortLister(TPortLister* lister) { FLister = lister; }
  // Binds the port name, baud rate, data bits, parity and flow control lists
  // (never the stop bits) and lists the system's ports.
  void SetComPort(TSerialPort* port);
  // Writes every choice into the port, in the order name, baud rate, data
  // bits, stop bits, parity, flow control, and saves the port's name under
  // "MainComport". A registry failure is ignored.
  void ApplySettings();
  // Every bound list shows the port's value again; the description edit the
  // stored description.
  void UpdateSettings();
  void SetDescription(const QString& description);
  // The system's ports changed: the list is replaced, its choice is the
  // port's name again.
  void RefreshPortList(const QStringList& ports);
  // The user picked a port.
  void ComportPortCmbChange();

  TSerialPort* ComPort = nullptr;
  QLabel* PortLa2;
  TComComboBox* ComportPortCmb;
  QLabel* BaudRateLab;
  TComComboBox* ComportBaudRateCmb;
  QLabel* DataBitsLab;
  TComComboBox* ComportDataBitsCmb;
  QLabel* StopBitsLab;
  TComComboBox* ComportStopBitsCmb;
  QLabel* ParityLab;
  TComComboBox* ComportParityCmb;
  QLabel* FlowControlLab;
  TComComboBox* ComportFlowControlCmb;
  QLabel* NameLab;
  QLabel* ConnectionSettingsForLab;
  QLineEdit* ComportNameEdt;

 private:
  TPortLister* FLister = nullptr;
  QString FDescription;
};

#pragma once
// The serial port on QSerialPort: 9600 8N1, no flow control, DTR and RTS off.

#include <QSerialPort>
#include <QStringList>
#include <QTimer>

#include "platform/PortLister.h"
#include "platform/SerialFramer.h"
#include "platform/SerialPort.h"

class TQtSerialPort : public TSerialPort {
  Q_OBJECT

 public:
  explicit TQtSerialPort(QObject* parent = nullptr);
  ~TQtSerialPort() override;

  bool Open() override;
  void Close() override;
  bool IsOpen() const override { return FPort.isOpen(); }
  QString PortName() const override { return FName; }
  void SetPortName(const QString& name) override;
  TLineSettings LineSettings() const override { return FSettings; }
  void SetLineSettings(const TLineSettings& settings) override;
  bool Write(const TByteArray& bytes) override;
  QString ErrorString() const override { return FError; }
  bool AccessDenied() const override { return FAccessDenied; }

 private:
  // False with FError naming the setting the line refused.
  bool ApplyLineSettings();
  bool DropModemLines();
  void ReadAvailable();
  void ReadIntervalElapsed();
  void PortError(QSerialPort::SerialPortError error);
  void Fail(const QString& error);

  QSerialPort FPort;
  QTimer FReadInterval;
  TSerialFramer FFramer;
  QString FName;
  TLineSettings FSettings;
  QString FError;
  bool FConfiguring = false;
  bool FAccessDenied = false;  // setter failures are reported by their results
};

// The serial ports present on this system, by their system names.
class TSystemPortLister : public TPortLister {
 public:
  std::optional<QStringList> ListPorts() override;
};

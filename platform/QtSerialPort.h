#pragma once
// The serial port on QSerialPort: 9600 8N1, no flow control, DTR and RTS off.

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include "platform/SerialFramer.h"
#include "platform/SerialPort.h"

class TQtSerialPort : public QObject, public TSerialPort {
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
  std::string ErrorString() const override { return FError; }

 private:
  void ApplyLineSettings();
  void ReadAvailable();
  void ReadIntervalElapsed();
  void PortError(QSerialPort::SerialPortError error);
  void Fail(const std::string& error);
  void Deliver(const TByteArray& buffer);

  QSerialPort FPort;
  QTimer FReadInterval;
  TSerialFramer FFramer;
  QString FName = "COM1";
  TLineSettings FSettings;
  std::string FError;
};

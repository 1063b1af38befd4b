#include "platform/QtSerialPort.h"

#include <QSerialPortInfo>

namespace {

#ifdef Q_OS_WIN
const char kDefaultPortName[] = "COM1";
#else
const char kDefaultPortName[] = "ttyUSB0";
#endif

QSerialPort::Parity ToQt(TLineSettings::TParity p) {
  switch (p) {
    case TLineSettings::TParity::Odd:
      return QSerialPort::OddParity;
    case TLineSettings::TParity::Even:
      return QSerialPort::EvenParity;
    case TLineSettings::TParity::Mark:
      return QSerialPort::MarkParity;
    case TLineSettings::TParity::Space:
      return QSerialPort::SpaceParity;
    default:
      return QSerialPort::NoParity;
  }
}

QSerialPort::StopBits ToQt(TLineSettings::TStopBits s) {
  switch (s) {
    case TLineSettings::TStopBits::OneAndHalf:
      return QSerialPort::OneAndHalfStop;
    case TLineSettings::TStopBits::Two:
      return QSerialPort::TwoStop;
    default:
      return QSerialPort::OneStop;
  }
}

QSerialPort::FlowControl ToQt(TLineSettings::TFlowControl f) {
  switch (f) {
    case TLineSettings::TFlowControl::Hardware:
      return QSerialPort::HardwareControl;
    case TLineSettings::TFlowControl::Software:
      return QSerialPort::SoftwareControl;
    default:
      return QSerialPort::NoFlowControl;
  }
}

}  // namespace

QStringList ListSerialPorts() {
  QStringList names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names << info.portName();
  names.sort();
  return names;
}

TQtSerialPort::TQtSerialPort(QObject* parent) : QObject(parent), FName(kDefaultPortName) {
  FReadInterval.setSingleShot(true);
  FReadInterval.setInterval(TSerialFramer::kReadIntervalMs);
  connect(&FReadInterval, &QTimer::timeout, this, [this] { ReadIntervalElapsed(); });
  connect(&FPort, &QSerialPort::readyRead, this, [this] { ReadAvailable(); });
  connect(&FPort, &QSerialPort::errorOccurred, this,
          [this](QSerialPort::SerialPortError e) { PortError(e); });
}

TQtSerialPort::~TQtSerialPort() {
  OnBufferReceived = nullptr;
  OnError = nullptr;
  Close();
}

bool TQtSerialPort::Open() {
  if (FPort.isOpen()) return true;
  FError.clear();
  FFramer.Flush();
  FPort.setPortName(FName);
  if (!FPort.open(QIODevice::ReadWrite)) {
    FError = FPort.errorString().toStdString();
    return false;
  }
  ApplyLineSettings();
  FPort.clear();  // nothing left over from an earlier session reaches the link
  // A pseudo-terminal has no modem lines; failing to drop them is harmless.
  FPort.setDataTerminalReady(false);
  FPort.setRequestToSend(false);
  FPort.clearError();
  return true;
}

void TQtSerialPort::Close() {
  FReadInterval.stop();
  FFramer.Flush();
  if (FPort.isOpen()) FPort.close();
}

void TQtSerialPort::SetPortName(const QString& name) {
  if (name == FName) return;
  FName = name;
  if (FPort.isOpen()) {
    Close();
    if (!Open()) Fail(FError);
  }
}

void TQtSerialPort::SetLineSettings(const TLineSettings& settings) {
  FSettings = settings;
  if (FPort.isOpen()) ApplyLineSettings();
}

void TQtSerialPort::ApplyLineSettings() {
  FPort.setBaudRate(FSettings.BaudRate);
  FPort.setDataBits(static_cast<QSerialPort::DataBits>(FSettings.DataBits));
  FPort.setParity(ToQt(FSettings.Parity));
  FPort.setStopBits(ToQt(FSettings.StopBits));
  FPort.setFlowControl(ToQt(FSettings.FlowControl));
}

bool TQtSerialPort::Write(const TByteArray& bytes) {
  if (!FPort.isOpen()) return false;
  const qint64 size = static_cast<qint64>(bytes.size());
  return FPort.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

void TQtSerialPort::ReadAvailable() {
  const QByteArray data = FPort.readAll();
  if (data.isEmpty()) return;
  const TByteArray bytes(data.begin(), data.end());
  for (const TByteArray& packet : FFramer.Feed(bytes)) Deliver(packet);
  if (FFramer.HasPending())
    FReadInterval.start();
  else
    FReadInterval.stop();
}

void TQtSerialPort::ReadIntervalElapsed() {
  if (FFramer.HasPending()) Deliver(FFramer.Flush());
}

void TQtSerialPort::Deliver(const TByteArray& buffer) {
  if (OnBufferReceived) OnBufferReceived(buffer);
}

void TQtSerialPort::PortError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:  // reported by Open() itself
      return;
    case QSerialPort::UnsupportedOperationError:  // modem lines on a pseudo-terminal
      FPort.clearError();
      return;
    default:
      break;
  }
  const std::string text = FPort.errorString().toStdString();
  FPort.clearError();
  // The adapter is gone or the line broke: the port is of no further use.
  if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError) Close();
  Fail(text);
}

void TQtSerialPort::Fail(const std::string& error) {
  FError = error;
  if (OnError) OnError(error);
}

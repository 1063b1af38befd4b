#include "platform/QtSerialPort.h"

#include <QFile>
#include <QFileInfo>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif
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

// A pseudo-terminal (a simulated device) has no modem lines to drop.
bool IsPseudoTerminal(const QString& name) {
  const QString path = QFileInfo(name.contains('/') ? name : "/dev/" + name).canonicalFilePath();
  return path.startsWith("/dev/pts/") || path.startsWith("/dev/ttyp") ||
         path.startsWith("/dev/ttys");
}

// Qt reports a port in use by another program and a port this user may not
// open alike; only the file's own permissions tell the second.
bool PermissionMissing(const QString& name) {
#ifdef Q_OS_UNIX
  const QByteArray path = QFile::encodeName(name.contains('/') ? name : "/dev/" + name);
  return ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
  Q_UNUSED(name);
  return false;
#endif
}

}  // namespace

std::optional<QStringList> TSystemPortLister::ListPorts() {
  QStringList names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names << info.portName();
  names.sort();
  return names;
}

TQtSerialPort::TQtSerialPort(QObject* parent) : TSerialPort(parent), FName(kDefaultPortName) {
  FReadInterval.setSingleShot(true);
  FReadInterval.setInterval(TSerialFramer::kReadIntervalMs);
  connect(&FReadInterval, &QTimer::timeout, this, [this] { ReadIntervalElapsed(); });
  connect(&FPort, &QSerialPort::readyRead, this, [this] { ReadAvailable(); });
  connect(&FPort, &QSerialPort::errorOccurred, this,
          [this](QSerialPort::SerialPortError e) { PortError(e); });
}

TQtSerialPort::~TQtSerialPort() {
  blockSignals(true);
  Close();
}

bool TQtSerialPort::Open() {
  if (FPort.isOpen()) return true;
  FError.clear();
  FAccessDenied = false;
  FFramer.Flush();
  FPort.setPortName(FName);
  if (!FPort.open(QIODevice::ReadWrite)) {
    FError = FPort.errorString();
    FAccessDenied = PermissionMissing(FName);
    return false;
  }
  if (!ApplyLineSettings() || !DropModemLines()) {
    const QString error = FError;
    Close();
    FError = error;
    return false;
  }
  FPort.clear();  // nothing left over from an earlier session reaches the link
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
  if (FPort.isOpen() && !ApplyLineSettings()) Fail(FError);
}

bool TQtSerialPort::ApplyLineSettings() {
  FConfiguring = true;
  const struct {
    bool Ok;
    const char* Setting;
  } steps[] = {
      {FPort.setBaudRate(FSettings.BaudRate), "baud rate"},
      {FPort.setDataBits(static_cast<QSerialPort::DataBits>(FSettings.DataBits)), "data bits"},
      {FPort.setParity(ToQt(FSettings.Parity)), "parity"},
      {FPort.setStopBits(ToQt(FSettings.StopBits)), "stop bits"},
      {FPort.setFlowControl(ToQt(FSettings.FlowControl)), "flow control"},
  };
  FConfiguring = false;
  for (const auto& step : steps) {
    if (!step.Ok) {
      FError = QString("The %1 cannot be set: %2").arg(step.Setting, FPort.errorString());
      FPort.clearError();
      return false;
    }
  }
  return true;
}

bool TQtSerialPort::DropModemLines() {
  FConfiguring = true;
  const bool ok = FPort.setDataTerminalReady(false) && FPort.setRequestToSend(false);
  FConfiguring = false;
  if (ok || IsPseudoTerminal(FName)) {
    FPort.clearError();
    return true;
  }
  FError = "DTR and RTS cannot be dropped: " + FPort.errorString();
  return false;
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
  for (const TByteArray& packet : FFramer.Feed(bytes)) emit BufferReceived(packet);
  if (FFramer.HasPending())
    FReadInterval.start();
  else
    FReadInterval.stop();
}

void TQtSerialPort::ReadIntervalElapsed() {
  if (FFramer.HasPending()) emit BufferReceived(FFramer.Flush());
}

void TQtSerialPort::PortError(QSerialPort::SerialPortError error) {
  if (FConfiguring) return;  // judged by the setter's result
  switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:  // reported by Open() itself
      return;
    default:
      break;
  }
  const QString text = FPort.errorString();
  FPort.clearError();
  // The adapter is gone or the line broke (a pulled adapter shows as a
  // resource, read or write error): the port is of no further use.
  if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError ||
      error == QSerialPort::ReadError || error == QSerialPort::WriteError)
    Close();
  Fail(text);
}

void TQtSerialPort::Fail(const QString& error) {
  FError = error;
  emit ErrorOccurred(error);
}

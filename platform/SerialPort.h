#pragma once
// The serial port as the link and the settings frame use it. One real
// implementation on QSerialPort (QtSerialPort.h) and fakes in tests.
//
// Received buffers and port errors are signals, so the link (during a
// command) and the window (an adapter unplugged while idle) can both listen.

#include <QObject>
#include <QString>

#include "codec/ByteArray.h"

struct TLineSettings {
  enum class TParity { None, Odd, Even, Mark, Space };
  enum class TStopBits { One, OneAndHalf, Two };
  enum class TFlowControl { None, Hardware, Software };
  int BaudRate = 9600;
  int DataBits = 8;
  TParity Parity = TParity::None;
  TStopBits StopBits = TStopBits::One;
  TFlowControl FlowControl = TFlowControl::None;
  bool operator==(const TLineSettings& o) const {
    return BaudRate == o.BaudRate && DataBits == o.DataBits && Parity == o.Parity &&
           StopBits == o.StopBits && FlowControl == o.FlowControl;
  }
};

class TSerialPort : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Opens with the current name and line settings; false with ErrorString().
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // A system name ("ttyUSB0", "COM1") or a path ("/dev/pts/3", a symlink).
  // Renaming an open port closes it and opens the newly named one.
  virtual QString PortName() const = 0;
  virtual void SetPortName(const QString& name) = 0;
  virtual TLineSettings LineSettings() const = 0;
  // A setting the open line cannot take is reported through ErrorOccurred.
  virtual void SetLineSettings(const TLineSettings& settings) = 0;
  // Writes the whole block in one call; false when the port cannot take it.
  virtual bool Write(const TByteArray& bytes) = 0;
  virtual QString ErrorString() const = 0;
  // The last Open failed because this user may not open the port (on Linux:
  // not in the group that owns it, usually "dialout").
  virtual bool AccessDenied() const { return false; }

 signals:
  // On the user-interface thread: one buffer per signal, framed so that a
  // whole packet arrives in one buffer.
  void BufferReceived(const TByteArray& buffer);
  // The port itself failed: it could not be written or configured, or the
  // adapter was unplugged (the port is then closed).
  void ErrorOccurred(const QString& error);
};

#pragma once
// Lists the serial ports present on the system by their system names
// ("ttyUSB0", "COM3"). The real lister is in QtSerialPort.h; tests give
// their own.

#include <QStringList>
#include <optional>

class TPortLister {
 public:
  virtual ~TPortLister() = default;
  // Nothing when the system could not be asked.
  virtual std::optional<QStringList> ListPorts() = 0;
};

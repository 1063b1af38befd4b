#include "platform/ComComboBox.h"

namespace {

const QStringList kBaudRates = {"110",   "300",   "600",    "1200",   "2400",
                                "4800",  "9600",  "14400",  "19200",  "38400",
                                "56000", "57600", "115200", "128000", "256000"};
const QStringList kDataBits = {"5", "6", "7", "8"};
const QStringList kStopBits = {"1", "1.5", "2"};
const QStringList kParities = {"None", "Odd", "Even", "Mark", "Space"};
const QStringList kFlowControls = {"None", "Hardware", "Software"};

}  // namespace

TComComboBox::TComComboBox(TProperty property, QWidget* parent)
    : QComboBox(parent), FProperty(property) {
  setEditable(false);
  switch (property) {
    case TProperty::PortName:
      break;  // filled from the system's ports
    case TProperty::BaudRate:
      addItems(kBaudRates);
      break;
    case TProperty::DataBits:
      addItems(kDataBits);
      break;
    case TProperty::StopBits:
      addItems(kStopBits);
      break;
    case TProperty::Parity:
      addItems(kParities);
      break;
    case TProperty::FlowControl:
      addItems(kFlowControls);
      break;
  }
  setCurrentIndex(-1);
}

void TComComboBox::SetComPort(TSerialPort* port) {
  FPort = port;
  UpdateSettings();
}

void TComComboBox::SetPortNames(const QStringList& names) {
  if (FProperty != TProperty::PortName) return;
  const QSignalBlocker quiet(this);  // not the user's choice
  clear();
  addItems(names);
  setCurrentIndex(findText(PortValue()));
}

QString TComComboBox::PortValue() const {
  if (!FPort) return {};
  const TLineSettings s = FPort->LineSettings();
  switch (FProperty) {
    case TProperty::PortName:
      return FPort->PortName();
    case TProperty::BaudRate:
      return QString::number(s.BaudRate);
    case TProperty::DataBits:
      return QString::number(s.DataBits);
    case TProperty::StopBits:
      return kStopBits.value(static_cast<int>(s.StopBits));
    case TProperty::Parity:
      return kParities.value(static_cast<int>(s.Parity));
    case TProperty::FlowControl:
      return kFlowControls.value(static_cast<int>(s.FlowControl));
  }
  return {};
}

void TComComboBox::UpdateSettings() {
  if (!FPort) return;
  const QSignalBlocker quiet(this);
  setCurrentIndex(findText(PortValue()));
}

void TComComboBox::ApplySettings() {
  if (!FPort || currentIndex() < 0) return;
  const QString choice = currentText();
  if (FProperty == TProperty::PortName) {
    FPort->SetPortName(choice);
    return;
  }
  TLineSettings s = FPort->LineSettings();
  switch (FProperty) {
    case TProperty::BaudRate:
      s.BaudRate = choice.toInt();
      break;
    case TProperty::DataBits:
      s.DataBits = choice.toInt();
      break;
    case TProperty::StopBits:
      s.StopBits = static_cast<TLineSettings::TStopBits>(kStopBits.indexOf(choice));
      break;
    case TProperty::Parity:
      s.Parity = static_cast<TLineSettings::TParity>(kParities.indexOf(choice));
      break;
    case TProperty::FlowControl:
      s.FlowControl = static_cast<TLineSettings::TFlowControl>(kFlowControls.indexOf(choice));
      break;
    case TProperty::PortName:
      break;
  }
  if (!(s == FPort->LineSettings())) FPort->SetLineSettings(s);
}

#include "editors/ComportSettingsFrame.h"

#include <QGridLayout>

#include "link/Q_Common.h"

namespace {

const char kPortKeyName[] = "MainComport";

}  // namespace

TComportSettingsFra::TComportSettingsFra(QWidget* parent)
    : QFrame(parent),
      PortLa2(new QLabel(this)),
      ComportPortCmb(new TComComboBox(TComComboBox::TProperty::PortName, this)),
      BaudRateLab(new QLabel(this)),
      ComportBaudRateCmb(new TComComboBox(TComComboBox::TProperty::BaudRate, this)),
      DataBitsLab(new QLabel(this)),
      ComportDataBitsCmb(new TComComboBox(TComComboBox::TProperty::DataBits, this)),
      StopBitsLab(new QLabel(this)),
      ComportStopBitsCmb(new TComComboBox(TComComboBox::TProperty::StopBits, this)),
      ParityLab(new QLabel(this)),
      ComportParityCmb(new TComComboBox(TComComboBox::TProperty::Parity, this)),
      FlowControlLab(new QLabel(this)),
      ComportFlowControlCmb(new TComComboBox(TComComboBox::TProperty::FlowControl, this)),
      NameLab(new QLabel(this)),
      ConnectionSettingsForLab(new QLabel(this)),
      ComportNameEdt(new QLineEdit(this)) {
  setObjectName("ComportSettingsFra");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  const struct {
    QLabel* Label;
    const char* LabelName;
    QWidget* Field;
    const char* FieldName;
  } rows[] = {
      {ConnectionSettingsForLab, "ConnectionSettingsForLab", nullptr, nullptr},
      {NameLab, "NameLab", ComportNameEdt, "ComportNameEdt"},
      {PortLa2, "PortLa2", ComportPortCmb, "ComportPortCmb"},
      {BaudRateLab, "BaudRateLab", ComportBaudRateCmb, "ComportBaudRateCmb"},
      {DataBitsLab, "DataBitsLab", ComportDataBitsCmb, "ComportDataBitsCmb"},
      {StopBitsLab, "StopBitsLab", ComportStopBitsCmb, "ComportStopBitsCmb"},
      {ParityLab, "ParityLab", ComportParityCmb, "ComportParityCmb"},
      {FlowControlLab, "FlowControlLab", ComportFlowControlCmb, "ComportFlowControlCmb"},
  };
  int row = 0;
  for (const auto& r : rows) {
    r.Label->setObjectName(r.LabelName);
    layout->addWidget(r.Label, row, 0);
    if (r.Field) {
      r.Field->setObjectName(r.FieldName);
      layout->addWidget(r.Field, row, 1);
      r.Label->setBuddy(r.Field);
    }
    // Only the port is offered; the rest is the port's own.
    const bool visible = r.Label == PortLa2;
    r.Label->setVisible(visible);
    if (r.Field) r.Field->setVisible(visible);
    ++row;
  }
  PortLa2->setMinimumWidth(140);
  ComportPortCmb->setMinimumWidth(200);
  layout->setColumnStretch(1, 1);
  connect(ComportPortCmb, &QComboBox::activated, this, [this] { ComportPortCmbChange(); });
}

void TComportSettingsFra::SetComPort(TSerialPort* port) {
  ComPort = port;
  if (FLister) {
    if (const auto ports = FLister->ListPorts()) ComportPortCmb->SetPortNames(*ports);
  }
  for (TComComboBox* selector : {ComportPortCmb, ComportBaudRateCmb, ComportDataBitsCmb,
                                 ComportParityCmb, ComportFlowControlCmb})
    selector->SetComPort(port);
}

void TComportSettingsFra::ApplySettings() {
  for (TComComboBox* selector : {ComportPortCmb, ComportBaudRateCmb, ComportDataBitsCmb,
                                 ComportStopBitsCmb, ComportParityCmb, ComportFlowControlCmb})
    selector->ApplySettings();
  FDescription = ComportNameEdt->text();
  if (ComPort) SavePortName(*ComPort, kPortKeyName);
}

void TComportSettingsFra::UpdateSettings() {
  for (TComComboBox* selector : {ComportPortCmb, ComportBaudRateCmb, ComportDataBitsCmb,
                                 ComportStopBitsCmb, ComportParityCmb, ComportFlowControlCmb})
    selector->UpdateSettings();
  ComportNameEdt->setText(FDescription);
}

void TComportSettingsFra::SetDescription(const QString& description) {
  FDescription = description;
  ComportNameEdt->setText(description);
}

void TComportSettingsFra::RefreshPortList(const QStringList& ports) {
  ComportPortCmb->SetPortNames(ports);
}

void TComportSettingsFra::ComportPortCmbChange() {
  ApplySettings();
}

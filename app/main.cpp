// VX8config: configures VX8 communicators over a serial port.
#include <QMessageBox>
#include <exception>

#include "app/Application.h"
#include "app/Main.h"
#include "app/Q_About.h"
#include "link/Q_Common.h"
#include "platform/EventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/WidgetMessageService.h"

int main(int argc, char** argv) {
  // The program-wide objects of the link come first.
  CommunicationLock();
  SharedPacketParser();
  TApplication app(argc, argv);
  TApplication::setApplicationName("VX8config");
  TWidgetMessageService messages;
  TExecModalRunner modal;
  TQtSerialPort port;
  TLineSettings line;  // 9600 8N1, no flow control
  port.SetLineSettings(line);
  port.SetPortName("COM40");
  TSystemPortLister lister;
  TQtEventPump pump;
  try {
    TMainFormFrm window({&messages, &modal, &port, &lister, &pump, QString()});
    messages.SetParent(&window);
    QAboutFrm = new TQAboutFrm();  // hidden until the menu asks for it
    window.show();
    const int result = app.exec();
    delete QAboutFrm.data();
    return result;
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "VX8config", e.what());
    return 1;
  }
}

#pragma once
// The main window with the simulated device on a real pseudo-terminal (the
// device on a thread of its own, the real port class), the dialogs scripted.

#include <QTimer>
#include <atomic>
#include <thread>

#include "app/AccessCodeForm.h"
#include "platform/QtSerialPort.h"
#include "platform/Text.h"
#include "sim/PtyHost.h"
#include "support/SimOnPty.h"
#include "support/WindowFixture.h"

class DeviceWindowFixture : public ::testing::Test {
 protected:
  DeviceWindowFixture() {
    FSavedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", FDir.path().toLocal8Bit());
  }
  ~DeviceWindowFixture() override {
    Window.reset();
    StopDevice();
    qputenv("XDG_CONFIG_HOME", FSavedConfig);
  }
  QString LinkPath() const { return FDir.path() + "/ttyVX8"; }

  void StartDevice(TSimConfig config = {}, std::vector<std::pair<int, TSimFault>> faults = {},
                   TPtyHostOptions options = {}) {
    Sim.Start(config, std::move(faults), options);
  }
  void StopDevice() { Sim.Stop(); }
  void Prefer(const char* name, std::uint32_t value) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\VX8config", true));
    ASSERT_TRUE(r.WriteInteger(name, value));
  }
  void Prefer(const char* name, const std::string& value) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\VX8config", true));
    ASSERT_TRUE(r.WriteString(name, value));
  }
  void StartWindow() {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\VX8config\\MainComport", true));
    ASSERT_TRUE(r.WriteString("Port", LinkPath().toStdString()));
    Window = std::make_unique<TMainFormFrm>(TMainFormServices{
        &Messages, &Modal, &Port, &Lister, &Pump, QFileInfo(VX8_LANGUAGE_FILE).absolutePath()});
    Window->Link().AnswerTimeoutMs = 1500;
    Window->show();
    QApplication::setActiveWindow(Window.get());
  }
  void Key(Qt::Key key) { QTest::keyClick(Window->windowHandle(), key); }
  std::string Tr(const char* key) { return Window->Language().Translate(key); }
  // A button's own state: the wait window locks the toolbar for a moment
  // after each command.
  static bool Enabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }
  int Count(const std::string& text) {
    return static_cast<int>(std::count(Messages.Messages.begin(), Messages.Messages.end(), text));
  }
  // Lets late bytes arrive and the wait window go.
  void Settle(int ms = 300) { QTest::qWait(ms); }

  // Dialog steps: what the access code dialog showed, then what the user does.
  std::function<void(QDialog&)> Type(const QString& digits, bool remember = false) {
    return [this, digits, remember](QDialog& d) {
      auto& dialog = static_cast<TAccessCodeFrm&>(d);
      Prefilled.push_back(dialog.AccessCodeEdt->text());
      dialog.AccessCodeEdt->clear();
      QTest::keyClicks(dialog.AccessCodeEdt, digits);
      dialog.RememberChk->setChecked(remember);
      dialog.OKBtn->click();
    };
  }
  std::function<void(QDialog&)> CloseBox() {
    return [this](QDialog& d) {
      Prefilled.push_back(static_cast<TAccessCodeFrm&>(d).AccessCodeEdt->text());
      d.reject();
    };
  }

  QTemporaryDir FDir;
  QByteArray FSavedConfig;
  TSimOnPty Sim{LinkPath()};
  std::unique_ptr<TSimDevice>& Device = Sim.Device;
  std::atomic<int>& Requests = Sim.Requests;

  TFakeMessageService Messages;
  TScriptedModal Modal;
  TQtSerialPort Port;
  TQtEventPump Pump;
  TListedPorts Lister;
  std::unique_ptr<TMainFormFrm> Window;
  QStringList Prefilled;
};

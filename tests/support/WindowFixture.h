#pragma once
// The main window on the offscreen platform with fakes around it: a private
// registry folder, the shipped language file, a scripted message service and
// modal runner, and a port whose device the test scripts. The pump lets Qt's
// events run but keeps its own clock, so waits cost no real time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "app/Main.h"
#include "platform/Registry.h"
#include "support/FakeLink.h"
#include "support/FakeMessageService.h"

class TScriptedModal : public TModalRunner {
 public:
  int Run(QDialog& dialog) override {
    Shown.push_back(dialog.objectName());
    if (!Script.empty()) {
      auto step = Script.front();
      Script.erase(Script.begin());
      step(dialog);
    }
    return dialog.result();
  }
  // Each dialog shown takes the next step; without one it is closed.
  std::vector<std::function<void(QDialog&)>> Script;
  std::vector<QString> Shown;
};

class TWindowPump : public TEventPump {
 public:
  explicit TWindowPump(TFakePort& port) : FPort(port) {}
  void ProcessEvents() override {
    QCoreApplication::processEvents();
    FPort.DeliverOne();
  }
  void Sleep(unsigned ms) override { Now += ms; }
  std::uint32_t Ticks() override { return Now; }
  std::uint32_t Now = 0;

 private:
  TFakePort& FPort;
};

class TListedPorts : public TPortLister {
 public:
  std::optional<QStringList> ListPorts() override { return Ports; }
  std::optional<QStringList> Ports = QStringList{"ttyS0", "ttyUSB0"};
};

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture() : Pump(Port) {
    FSavedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", FDir.path().toLocal8Bit());
    Port.Opened = false;
  }
  ~WindowFixture() override {
    Window.reset();
    qputenv("XDG_CONFIG_HOME", FSavedConfig);
  }
  QString RegistryFile() const { return FDir.path() + "/VX8config/registry.reg"; }
  void WriteString(const char* key, const char* name, const std::string& value) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(key, true));
    ASSERT_TRUE(r.WriteString(name, value));
  }
  void WriteInteger(const char* key, const char* name, std::uint32_t value) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey(key, true));
    ASSERT_TRUE(r.WriteInteger(name, value));
  }
  std::optional<std::string> ReadString(const char* key, const char* name) {
    TRegistry r;
    return r.OpenKey(key, false) ? r.ReadString(name) : std::nullopt;
  }
  void Start() {
    Window = std::make_unique<TMainFormFrm>(TMainFormServices{
        &Messages, &Modal, &Port, &Lister, &Pump, QFileInfo(VX8_LANGUAGE_FILE).absolutePath()});
    Window->show();
    QApplication::setActiveWindow(Window.get());
  }
  // A key as the user types it: it reaches the active window, which hands it
  // to the control with the focus.
  void Key(Qt::Key key, QWidget* window = nullptr) {
    QTest::keyClick((window ? window : Window.get())->windowHandle(), key);
  }
  std::string Tr(const char* key) { return Window->Language().Translate(key); }

  QTemporaryDir FDir;
  QByteArray FSavedConfig;
  TFakeMessageService Messages;
  TScriptedModal Modal;
  TFakePort Port;
  TWindowPump Pump;
  TListedPorts Lister;
  std::unique_ptr<TMainFormFrm> Window;
};

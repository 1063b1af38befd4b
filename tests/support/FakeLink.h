#pragma once
// A serial port, an event pump and a link owner for testing the link without
// hardware or time: the pump's clock advances only by the link's sleeps, and
// each turn of the event loop hands over one scripted buffer.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/Q_Common.h"
#include "platform/EventPump.h"
#include "platform/SerialPort.h"

class TFakePort : public TSerialPort {
 public:
  bool Open() override { return Opened = !Denied && Openable; }
  bool AccessDenied() const override { return Denied; }
  void Close() override { Opened = false; }
  bool IsOpen() const override { return Opened; }
  QString PortName() const override { return Name; }
  void SetPortName(const QString& name) override { Name = name; }
  TLineSettings LineSettings() const override { return Settings; }
  void SetLineSettings(const TLineSettings& s) override { Settings = s; }
  QString ErrorString() const override { return {}; }
  bool Write(const TByteArray& bytes) override {
    Written.push_back(bytes);
    if (Device) {
      for (const TByteArray& reply : Device(bytes)) Pending.push_back(reply);
    }
    return WriteSucceeds;
  }
  // One buffer a turn of the event loop, as the real port hands them over.
  void DeliverOne() {
    if (Pending.empty()) return;
    const TByteArray buffer = Pending.front();
    Pending.pop_front();
    emit BufferReceived(buffer);
  }

  bool Opened = true;
  bool Openable = true;
  bool Denied = false;
  bool WriteSucceeds = true;
  QString Name = "ttyUSB0";
  TLineSettings Settings;
  std::vector<TByteArray> Written;
  std::deque<TByteArray> Pending;
  // What the device answers to each write (may be empty: silence).
  std::function<std::vector<TByteArray>(const TByteArray& written)> Device;
};

class TFakePump : public TEventPump {
 public:
  explicit TFakePump(TFakePort& port) : FPort(port) {}
  void ProcessEvents() override {
    ++Turns;
    if (OnTurn) OnTurn();
    FPort.DeliverOne();
  }
  void Sleep(unsigned ms) override { Now += ms; }
  std::uint32_t Ticks() override { return Now; }

  std::uint32_t Now = 0xFFFFF000u;  // close to the wrap, which must not end a wait
  int Turns = 0;
  std::function<void()> OnTurn;

 private:
  TFakePort& FPort;
};

class TFakeOwner : public TLinkOwner {
 public:
  void LogBytes(const std::string& title, const TByteArray& bytes) override {
    Logged.push_back({title, bytes});
  }
  bool DebugMemoVisible() const override { return MemoVisible; }
  void DebugMemoAdd(const std::string& line) override { Memo.push_back(line); }
  void PostDeferredMessage(const std::string& text) override { Deferred.push_back(text); }
  void DeviceAborted() override {
    ++Aborts;
    if (OnAbort) OnAbort();
  }

  std::vector<std::pair<std::string, TByteArray>> Logged;
  bool MemoVisible = false;
  std::vector<std::string> Memo;
  std::vector<std::string> Deferred;
  int Aborts = 0;
  std::function<void()> OnAbort;
};

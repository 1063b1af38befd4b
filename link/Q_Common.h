#pragma once
// The one connection to a device: sends requests, turns every received buffer
// into a status, waits for answers with a time-out and retries, and runs the
// device commands. Every command runs to its end inside one call, letting the
// event loop run while it waits.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>

#include <QObject>

#include "codec/PacketParser.h"
#include "firmware/FirmwareSource.h"
#include "platform/EventPump.h"
#include "platform/SerialPort.h"

enum LinkStatus : std::uint8_t {
  Idle = 0,
  PacketReceived = 1,
  AwaitTransferPacket = 2,
  AwaitPacket = 3,
  AwaitReply = 4,
  ReplyOk = 5,
  ReplyAbort = 7,
  ReplyWrong = 8,
  ReplyCrcError = 9,
  ReplyVersionOk = 10,
  ReplyReady = 11,
  ReplyUndecodable = 12,
  ReplyEmpty = 13,
};

// A set of LinkStatus values (0 to 15).
class TStatusSet {
 public:
  TStatusSet(std::initializer_list<LinkStatus> statuses) {
    for (LinkStatus s : statuses) FBits = static_cast<std::uint16_t>(FBits | 1u << s);
  }
  bool Contains(std::uint8_t status) const { return status < 16 && (FBits >> status & 1u); }

 private:
  std::uint16_t FBits = 0;
};

// What the link needs of the window that owns it.
class TLinkOwner {
 public:
  virtual ~TLinkOwner() = default;
  // "Sent" with the bytes about to be written, "Received" with each buffer.
  virtual void LogBytes(const std::string& title, const TByteArray& bytes) = 0;
  virtual bool DebugMemoVisible() const = 0;
  virtual void DebugMemoAdd(const std::string& line) = 0;
  // Shows an already translated text once the current event has finished.
  virtual void PostDeferredMessage(const std::string& text) = 0;
  // The device sent "ABORT": close the connection and tell the user.
  virtual void DeviceAborted() = 0;
};

// A progress gauge: range and position.
class TProgressIndicator {
 public:
  virtual ~TProgressIndicator() = default;
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;
};

class TDataCommunication {
 public:
  using TPacketHandler = std::function<void(const TPacket& packet)>;
  using TTranslate = std::function<std::string(const std::string& key)>;

  static constexpr std::uint32_t kDefaultAnswerTimeoutMs = 15000;

  TDataCommunication(TSerialPort* comPort, TPacketHandler packetHandler, TLinkOwner* owner,
                     TEventPump* pump);
  ~TDataCommunication();
  TDataCommunication(const TDataCommunication&) = delete;
  TDataCommunication& operator=(const TDataCommunication&) = delete;

  TSerialPort* ComPort;
  TPacketHandler PacketHandler;
  std::uint8_t ConnectionKind = 0;  // 0 not connected, 1 serial port
  std::uint8_t Status = Idle;
  std::string ResultKey;
  TPacketArray Packets;
  TPacket LastPacket;
  TLinkOwner* Owner;

  // How long each attempt waits for its answer.
  std::uint32_t AnswerTimeoutMs = kDefaultAnswerTimeoutMs;
  // Translates "ErrorReceivingPackets" before it is posted.
  TTranslate Translate = [](const std::string& key) { return key; };

  bool IsConnected() const { return ConnectionKind != 0; }
  // Appends the link's 0x00 byte, logs and writes; false when not connected.
  bool SendBytes(TByteArray bytes);
  void ReceiveBytes(const TByteArray& chunk);
  void DeliverPacket(const TPacket& packet);
  // Sends and waits; the outcome is left in Status. The repeat request may be
  // empty.
  void Exchange(const TByteArray& request, const TByteArray& repeatRequest, LinkStatus waitStatus,
                TStatusSet expected, int attempts);
  void SetResultKey(std::uint8_t status, TStatusSet expected);
  void HandleAbort();

  // The device commands; each gives true on success and ends Idle.
  bool GetStatus();
  bool ReadSettings(const std::string& accessCode, bool restore);
  bool WriteSettingsPacket(const std::string& accessCode, const TPacketDataArray& items,
                           std::uint8_t number, std::uint8_t count);
  bool UploadFirmware(const std::string& accessCode, const TFirmwareSource& firmware,
                      TProgressIndicator* progress);

  // True while a command runs; a second one started meanwhile fails at once.
  bool Busy() const { return FBusy; }
  // Ends the command that waits now (its window is closing): the wait ends at
  // once, no further attempt is made, and the command fails with "Idle".
  void Cancel() { FCancelled = true; }

 private:
  class TCommandGuard;
  TByteArray Request(const std::string& command, std::uint8_t count, std::uint8_t number,
                     const std::string& code, const TPacketDataArray& items = {}) const;
  bool PortFailed() const;
  void MemoLine(const std::string& line);
  std::uint32_t Since(std::uint32_t start);
  bool FailRead(std::uint32_t start);

  TEventPump* FPump;
  QMetaObject::Connection FConnections[2];
  bool FBusy = false;
  bool FPortFailed = false;
  bool FCancelled = false;
  bool FConnectedAtStart = false;
};

// Process-wide: the lock taken around creating and freeing the link, and the
// packet parser every user shares.
std::mutex& CommunicationLock();
const TPacketParser& SharedPacketParser();

// The port name in "Software\VX8config\" + name, value "Port".
bool SavePortName(TSerialPort& port, const std::string& name);
bool LoadPortName(TSerialPort& port, const std::string& name);

#include "link/Q_Common.h"

#include "platform/Registry.h"

namespace {

const char kPortKey[] = "Software\\VX8config\\";
const char kPortValue[] = "Port";

}  // namespace

// Marks the link busy for one command; a command started while another waits
// gets Entered() false and must send nothing.
class TDataCommunication::TCommandGuard {
 public:
  explicit TCommandGuard(TDataCommunication& link) : FLink(link), FEntered(!link.FBusy) {
    if (!FEntered) return;
    FLink.FBusy = true;
    FLink.FPortFailed = false;
    FLink.FCancelled = false;
    FLink.FConnectedAtStart = link.IsConnected();
  }
  // Also when an exception escapes: a late packet must find the link idle,
  // not waiting for it outside any command.
  ~TCommandGuard() {
    if (!FEntered) return;
    FLink.FBusy = false;
    FLink.Status = Idle;
  }
  bool Entered() const { return FEntered; }

 private:
  TDataCommunication& FLink;
  bool FEntered;
};

TDataCommunication::TDataCommunication(TSerialPort* comPort, TPacketHandler packetHandler,
                                       TLinkOwner* owner, TEventPump* pump)
    : ComPort(comPort), PacketHandler(std::move(packetHandler)), Owner(owner), FPump(pump) {
  if (!ComPort) return;
  // The port's other listeners (the window) keep theirs.
  FConnections[0] = QObject::connect(ComPort, &TSerialPort::BufferReceived,
                                     [this](const TByteArray& buffer) { ReceiveBytes(buffer); });
  FConnections[1] = QObject::connect(ComPort, &TSerialPort::ErrorOccurred, [this](const QString&) {
    // Ends a running wait at once; the command reports "NoConnectionToObject".
    FPortFailed = true;
  });
}

TDataCommunication::~TDataCommunication() {
  for (const QMetaObject::Connection& connection : FConnections) QObject::disconnect(connection);
}

bool TDataCommunication::SendBytes(TByteArray bytes) {
  if (!IsConnected()) return false;
  bytes.push_back(0x00);
  Owner->LogBytes("Sent", bytes);
  if (!ComPort || !ComPort->Write(bytes)) {
    FPortFailed = true;
    return false;
  }
  return true;
}

void TDataCommunication::ReceiveBytes(const TByteArray& chunk) {
  Owner->LogBytes("Received", chunk);
  if (chunk.empty()) {
    Status = ReplyEmpty;
    return;
  }
  try {
    const TPacket packet = SharedPacketParser().Decode(chunk);
    const std::string& command = packet.Command;
    if (command == "OK") {
      Status = ReplyOk;
    } else if (command == "ABORT") {
      Status = ReplyAbort;
      HandleAbort();
    } else if (command == "WRONG") {
      Status = ReplyWrong;
    } else if (command == "CRCERROR") {
      Status = ReplyCrcError;
    } else if (command == "VERNROK") {
      Status = ReplyVersionOk;
    } else if (command == "READY") {
      Status = ReplyReady;
    } else if (Status == AwaitTransferPacket) {
      LastPacket = packet;
      Status = PacketReceived;
    } else if (Status == AwaitPacket) {
      Status = PacketReceived;
      DeliverPacket(packet);
    }
  } catch (...) {
    // An undecodable buffer, or a failure of the owner's packet handler.
    Status = ReplyUndecodable;
  }
}

void TDataCommunication::DeliverPacket(const TPacket& packet) {
  if (PacketHandler) PacketHandler(packet);
}

bool TDataCommunication::PortFailed() const {
  return FPortFailed || (IsConnected() && (!ComPort || !ComPort->IsOpen()));
}

void TDataCommunication::Exchange(const TByteArray& request, const TByteArray& repeatRequest,
                                  LinkStatus waitStatus, TStatusSet expected, int attempts) {
  const bool wasConnected = IsConnected();
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    const bool repeat = attempt > 1 && Status == ReplyUndecodable && !repeatRequest.empty();
    // The connection dropped during the last attempt (the device aborted):
    // further attempts could only wait out their time-outs.
    if (attempt > 1 && wasConnected && !IsConnected()) return;
    Status = waitStatus;
    SendBytes(repeat ? repeatRequest : request);
    const std::uint32_t start = FPump->Ticks();
    if (!expected.Contains(waitStatus)) {
      while (Status == waitStatus && !PortFailed() && !FCancelled &&
             Since(start) < AnswerTimeoutMs) {
        FPump->ProcessEvents();
        if (Status != waitStatus || PortFailed() || FCancelled) break;
        FPump->Sleep(1);
      }
    }
    if (FCancelled) {
      Status = Idle;
      return;
    }
    if (PortFailed()) {
      Status = ReplyEmpty;
      return;
    }
    if (expected.Contains(Status)) return;
  }
}

void TDataCommunication::SetResultKey(std::uint8_t status, TStatusSet expected) {
  if (expected.Contains(status)) {
    ResultKey.clear();
    return;
  }
  switch (status) {
    case Idle:
      ResultKey = "Idle";
      break;
    case PacketReceived:
      ResultKey = "DataReceived";
      break;
    case AwaitTransferPacket:
    case AwaitPacket:
    case AwaitReply:
      ResultKey = "ErrorNoResponse";
      break;
    case ReplyOk:
      ResultKey = "ResponseOK";
      break;
    case ReplyAbort:
      ResultKey = "ErrorAbort";
      break;
    case ReplyWrong:
      ResultKey = "ErrorWrongPassword";
      break;
    case ReplyCrcError:
      ResultKey = "ErrorCRC";
      break;
    case ReplyVersionOk:
      ResultKey = "VersionOK";
      break;
    case ReplyEmpty:
      ResultKey = "NoConnectionToObject";
      break;
    default:
      break;  // ReplyReady, ReplyUndecodable: the key stays as it was
  }
}

void TDataCommunication::HandleAbort() {
  Status = Idle;
  Owner->DeviceAborted();
}

TByteArray TDataCommunication::Request(const std::string& command, std::uint8_t count,
                                       std::uint8_t number, const std::string& code,
                                       const TPacketDataArray& items) const {
  TPacket packet;
  packet.PacketCount = count;
  packet.PacketNumber = number;
  packet.Command = command;
  packet.Data = items;
  return SharedPacketParser().Encode(packet, code);
}

std::uint32_t TDataCommunication::Since(std::uint32_t start) {
  return static_cast<std::uint32_t>(FPump->Ticks() - start);
}

void TDataCommunication::MemoLine(const std::string& line) {
  if (Owner->DebugMemoVisible()) Owner->DebugMemoAdd(line);
}

bool TDataCommunication::GetStatus() {
  if (!IsConnected()) return false;
  TCommandGuard guard(*this);
  if (!guard.Entered()) return false;
  Exchange(Request("F0", 1, 1, ""), {}, AwaitPacket, {PacketReceived}, 1);
  SetResultKey(Status, {PacketReceived});
  const bool ok = Status == PacketReceived;
  Status = Idle;
  return ok;
}

bool TDataCommunication::FailRead(std::uint32_t start) {
  Status = Idle;
  MemoLine("Total settings read time: " + std::to_string(Since(start)));
  // When the connection went during the read (the device aborted, the port
  // was lost) or the read was cancelled, the owner knows what happened and
  // says it once; a second message would only repeat it.
  const bool connectionWent = FConnectedAtStart && (!IsConnected() || PortFailed());
  if (!connectionWent && !FCancelled)
    Owner->PostDeferredMessage(Translate("ErrorReceivingPackets"));
  return false;
}

bool TDataCommunication::ReadSettings(const std::string& accessCode, bool restore) {
  TCommandGuard guard(*this);
  if (!guard.Entered()) return false;
  const std::uint32_t start = FPump->Ticks();
  const TByteArray request = Request(restore ? "F5" : "F2", 1, 1, accessCode);

  std::uint32_t step = FPump->Ticks();
  Exchange(request, {}, AwaitTransferPacket, {PacketReceived}, 1);
  SetResultKey(Status, {PacketReceived});
  // A first packet of a transfer of zero packets cannot start one.
  if (Status != PacketReceived || LastPacket.PacketNumber != 1 || LastPacket.PacketCount == 0)
    return FailRead(start);
  MemoLine("1 packet read time: " + std::to_string(Since(step)));

  const std::uint8_t count = LastPacket.PacketCount;
  Packets.assign(count, TPacket());
  Packets[0] = LastPacket;
  for (unsigned n = 1; n < count; ++n) {
    step = FPump->Ticks();
    Exchange(Request("FF", count, static_cast<std::uint8_t>(n), ""), {}, AwaitTransferPacket,
             {PacketReceived}, 1);
    SetResultKey(Status, {PacketReceived});
    if (Status != PacketReceived || LastPacket.PacketNumber != n + 1) return FailRead(start);
    MemoLine(std::to_string(n + 1) + " packet read time: " + std::to_string(Since(step)));
    Packets[n] = LastPacket;
    if (n + 1 == count)  // the closing acknowledgement; nothing answers it
      Exchange(Request("FF", count, count, ""), {}, AwaitTransferPacket, {AwaitTransferPacket}, 1);
  }
  for (const TPacket& packet : Packets) {
    try {
      DeliverPacket(packet);
    } catch (...) {
      // The packets before this one are stored already: say so, rather than
      // report that nothing was read.
      ResultKey = "ErrorSettingsPartlyApplied";
      return false;
    }
  }
  return true;
}

bool TDataCommunication::WriteSettingsPacket(const std::string& accessCode,
                                             const TPacketDataArray& items, std::uint8_t number,
                                             std::uint8_t count) {
  TCommandGuard guard(*this);
  if (!guard.Entered()) return false;
  const std::uint32_t start = FPump->Ticks();
  TByteArray request;
  try {
    request = Request("F4", count, number, accessCode, items);
  } catch (const std::length_error&) {
    ResultKey = "ErrorSettingsTooLarge";  // more than one packet can carry; nothing was sent
    return false;
  }
  Exchange(request, {}, AwaitReply, {ReplyOk}, 1);
  SetResultKey(Status, {ReplyOk});
  MemoLine(std::to_string(number) + " packet write time: " + std::to_string(Since(start)));
  const bool ok = Status == ReplyOk;
  Status = Idle;
  return ok;
}

bool TDataCommunication::UploadFirmware(const std::string& accessCode,
                                        const TFirmwareSource& firmware,
                                        TProgressIndicator* progress) {
  if (!IsConnected()) return false;
  TCommandGuard guard(*this);
  if (!guard.Entered()) return false;
  bool ok = false;
  Exchange(Request("FA", 1, 1, accessCode, {{"", firmware.Version()}}), Request("FE", 1, 1, ""),
           AwaitReply, {ReplyOk, ReplyVersionOk, ReplyReady}, 3);
  SetResultKey(Status, {ReplyOk, ReplyReady});
  if (Status == ReplyVersionOk) {
    ok = true;
  } else if (Status == ReplyOk || Status == ReplyReady) {
    const int count = firmware.Count();
    if (progress) {
      progress->SetRange(0, count);
      progress->SetPosition(0);
    }
    ok = true;
    for (int i = 0; i < count && ok; ++i) {
      TByteArray packet;
      try {
        packet = firmware.GetPacket(i);
      } catch (...) {
        // The image holds fewer packets than it said: nothing more can be sent.
        ResultKey = "InvalidFirmwarePacketNumber";
        ok = false;
        break;
      }
      Exchange(
          packet,
          Request("FE", static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(i + 1), ""),
          AwaitReply, {ReplyOk}, 3);
      SetResultKey(Status, {ReplyOk});
      ok = Status == ReplyOk;
      if (ok && progress) progress->SetPosition(i + 1);
    }
  }
  Status = Idle;
  return ok;
}

std::mutex& CommunicationLock() {
  static std::mutex lock;
  return lock;
}

const TPacketParser& SharedPacketParser() {
  static const TPacketParser parser;
  return parser;
}

bool SavePortName(TSerialPort& port, const std::string& name) {
  TRegistry registry;
  return registry.OpenKey(kPortKey + name, true) &&
         registry.WriteString(kPortValue, port.PortName().toStdString());
}

bool LoadPortName(TSerialPort& port, const std::string& name) {
  TRegistry registry;
  if (!registry.OpenKey(kPortKey + name, false)) return false;
  if (registry.ValueExists(kPortValue)) {
    const auto value = registry.ReadString(kPortValue);
    if (!value) return false;
    port.SetPortName(QString::fromStdString(*value));
  }
  return true;
}

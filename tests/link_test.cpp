#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "codec/Q_Blowfish_simple.h"
#include "platform/Registry.h"
#include "support/FakeLink.h"

namespace {

TByteArray Packet(const std::string& command, std::uint8_t count = 1, std::uint8_t number = 1,
                  TPacketDataArray items = {}) {
  TPacket p;
  p.PacketCount = count;
  p.PacketNumber = number;
  p.Command = command;
  p.Data = std::move(items);
  return SharedPacketParser().Encode(p, "");
}

// What the link wrote, without its trailing zero byte, decoded.
TPacket Sent(const TByteArray& written) {
  return SharedPacketParser().Decode(TByteArray(written.begin(), written.end() - 1));
}

std::string CodeField(const TByteArray& written) {
  const TByteArray body =
      BlowfishDecryptBuffer(TByteArray(written.begin() + 8, written.end() - 1), PacketKey);
  return std::string(body.begin() + 2, body.begin() + 8);
}

// A firmware image of fixed packets.
class TFakeFirmware : public TFirmwareSource {
 public:
  explicit TFakeFirmware(int count) {
    for (int i = 0; i < count; ++i)
      FPackets.push_back(TByteArray(520, static_cast<std::uint8_t>(i)));
  }
  const std::string& Version() const override { return FVersion; }
  int Count() const override { return static_cast<int>(FPackets.size()); }
  TByteArray GetPacket(int index) const override {
    return FPackets.at(static_cast<std::size_t>(index));
  }

 private:
  std::string FVersion = "0206";
  std::vector<TByteArray> FPackets;
};

class TFakeProgress : public TProgressIndicator {
 public:
  void SetRange(int minimum, int maximum) override { Range = {minimum, maximum}; }
  void SetPosition(int position) override { Positions.push_back(position); }
  std::pair<int, int> Range{-1, -1};
  std::vector<int> Positions;
};

class LinkTest : public ::testing::Test {
 protected:
  LinkTest()
      : Pump(Port),
        Link(
            &Port, [this](const TPacket& p) { Delivered.push_back(p); }, &Owner, &Pump) {
    Link.ConnectionKind = 1;
    Link.AnswerTimeoutMs = 500;
    Owner.OnAbort = [this] { Link.ConnectionKind = 0; };
  }
  // Answers each write with the next scripted list of buffers.
  void Script(std::vector<std::vector<TByteArray>> answers) {
    auto queue =
        std::make_shared<std::deque<std::vector<TByteArray>>>(answers.begin(), answers.end());
    Port.Device = [queue](const TByteArray&) {
      if (queue->empty()) return std::vector<TByteArray>{};
      auto next = queue->front();
      queue->pop_front();
      return next;
    };
  }
  std::uint32_t Elapsed(std::uint32_t since) { return Pump.Now - since; }

  TFakePort Port;
  TFakePump Pump;
  TFakeOwner Owner;
  std::vector<TPacket> Delivered;
  TDataCommunication Link;
};

}  // namespace

TEST_F(LinkTest, SendAppendsTheZeroByte) {
  ASSERT_TRUE(Link.SendBytes(TByteArray(16, 0x41)));
  ASSERT_EQ(Port.Written.size(), 1u);
  EXPECT_EQ(Port.Written[0].size(), 17u);
  EXPECT_EQ(Port.Written[0].back(), 0x00);
  ASSERT_EQ(Owner.Logged.size(), 1u);
  EXPECT_EQ(Owner.Logged[0].first, "Sent");
  EXPECT_EQ(Owner.Logged[0].second, Port.Written[0]);

  Link.ConnectionKind = 0;
  EXPECT_FALSE(Link.SendBytes(TByteArray(16, 0x41)));
  EXPECT_EQ(Port.Written.size(), 1u);
}

TEST_F(LinkTest, DefaultTimeoutAndNotConnected) {
  TFakePort port;
  TFakePump pump(port);
  TFakeOwner owner;
  TDataCommunication link(&port, nullptr, &owner, &pump);
  EXPECT_EQ(link.AnswerTimeoutMs, 15000u);
  EXPECT_EQ(link.Status, Idle);
  EXPECT_FALSE(link.IsConnected());

  // Not connected: nothing is sent and the read waits out 15 s across the
  // tick counter's wrap.
  const std::uint32_t start = pump.Now;
  EXPECT_FALSE(link.ReadSettings("375100", false));
  EXPECT_TRUE(port.Written.empty());
  EXPECT_GE(static_cast<std::uint32_t>(pump.Now - start), 15000u);
  EXPECT_LT(static_cast<std::uint32_t>(pump.Now - start), 15100u);
  EXPECT_EQ(link.ResultKey, "ErrorNoResponse");
  EXPECT_EQ(link.Status, Idle);
  // Status and firmware check the connection first and touch nothing.
  link.ResultKey = "before";
  EXPECT_FALSE(link.GetStatus());
  EXPECT_FALSE(link.UploadFirmware("375100", TFakeFirmware(1), nullptr));
  EXPECT_EQ(link.ResultKey, "before");
}

TEST_F(LinkTest, StatusIsDeliveredAtOnce) {
  Script({{Packet("F1", 1, 1, {{"000", "VX8"}, {"002", "Ver: 2.05"}})}});
  EXPECT_TRUE(Link.GetStatus());
  EXPECT_EQ(Sent(Port.Written[0]).Command, "F0");
  ASSERT_EQ(Delivered.size(), 1u);
  EXPECT_EQ(Delivered[0].Data[1].Value, "Ver: 2.05");
  EXPECT_EQ(Link.ResultKey, "");
  EXPECT_EQ(Link.Status, Idle);
  EXPECT_EQ(Owner.Logged.back().first, "Received");
}

TEST_F(LinkTest, SplitReplyIsUndecodableAndKeepsTheKey) {
  const TByteArray reply = Packet("F1", 1, 1, {{"000", "VX8"}});
  Script({{TByteArray(reply.begin(), reply.begin() + 10),
           TByteArray(reply.begin() + 10, reply.end())}});
  Link.ResultKey = "previous";
  EXPECT_FALSE(Link.GetStatus());
  EXPECT_EQ(Link.ResultKey, "previous");
  EXPECT_TRUE(Delivered.empty());
  EXPECT_EQ(Link.Status, Idle);
  // The second half, arriving later, is undecodable too.
  Link.ReceiveBytes(TByteArray(reply.begin() + 10, reply.end()));
  EXPECT_EQ(Link.Status, ReplyUndecodable);
}

TEST_F(LinkTest, RepliesWhileIdle) {
  Link.ReceiveBytes(Packet("OK"));
  EXPECT_EQ(Link.Status, ReplyOk);
  Link.Status = Idle;
  Link.ReceiveBytes(Packet("F1", 1, 1, {{"010", "1"}}));
  EXPECT_EQ(Link.Status, Idle);
  Link.Status = AwaitReply;
  Link.ReceiveBytes(Packet("F1", 1, 1, {{"010", "1"}}));
  EXPECT_EQ(Link.Status, AwaitReply);
  EXPECT_TRUE(Delivered.empty());
  Link.ReceiveBytes({});
  EXPECT_EQ(Link.Status, ReplyEmpty);

  const std::pair<const char*, LinkStatus> words[] = {{"WRONG", ReplyWrong},
                                                      {"CRCERROR", ReplyCrcError},
                                                      {"VERNROK", ReplyVersionOk},
                                                      {"READY", ReplyReady},
                                                      {"ok", Idle}};
  for (const auto& [word, status] : words) {
    Link.Status = Idle;
    Link.ReceiveBytes(Packet(word));
    EXPECT_EQ(Link.Status, status) << word;
  }
}

TEST_F(LinkTest, FailingPacketHandlerCountsAsUndecodable) {
  Link.PacketHandler = [](const TPacket&) { throw std::runtime_error("handler"); };
  Link.Status = AwaitPacket;
  Link.ReceiveBytes(Packet("F1"));
  EXPECT_EQ(Link.Status, ReplyUndecodable);
}

TEST_F(LinkTest, AbortEndsTheWait) {
  Script({{Packet("ABORT")}});
  const std::uint32_t start = Pump.Now;
  EXPECT_FALSE(Link.ReadSettings("375100", false));
  EXPECT_LT(Elapsed(start), 100u);
  EXPECT_EQ(Link.ResultKey, "Idle");
  EXPECT_EQ(Owner.Aborts, 1);
  EXPECT_EQ(Link.Status, Idle);
  // The window says "AbortReceived"; the read adds no second message.
  EXPECT_TRUE(Owner.Deferred.empty());
}

TEST_F(LinkTest, ALostPortEndsTheReadWithOneMessageOnly) {
  Script({{Packet("F1", 2, 1)}, {}});
  Pump.OnTurn = [this] {
    if (Port.Written.size() == 2) Port.Opened = false;  // the adapter is pulled
  };
  EXPECT_FALSE(Link.ReadSettings("375100", false));
  EXPECT_EQ(Link.ResultKey, "NoConnectionToObject");
  EXPECT_TRUE(Owner.Deferred.empty());
}

TEST_F(LinkTest, CancelEndsTheWaitAtOnce) {
  Pump.OnTurn = [this] {
    if (Pump.Turns == 3) Link.Cancel();
  };
  const std::uint32_t start = Pump.Now;
  EXPECT_FALSE(Link.UploadFirmware("375100", TFakeFirmware(1), nullptr));
  EXPECT_LT(Elapsed(start), 10u);
  EXPECT_EQ(Port.Written.size(), 1u);  // no further attempt
  EXPECT_EQ(Link.ResultKey, "Idle");
  EXPECT_EQ(Link.Status, Idle);

  // The next command is not cancelled.
  Pump.OnTurn = nullptr;
  Script({{Packet("F1")}});
  EXPECT_TRUE(Link.GetStatus());
}

TEST_F(LinkTest, AbortDuringFirmwareEndsTheRemainingAttempts) {
  Script({{Packet("ABORT")}});
  const std::uint32_t start = Pump.Now;
  EXPECT_FALSE(Link.UploadFirmware("375100", TFakeFirmware(2), nullptr));
  EXPECT_EQ(Port.Written.size(), 1u);
  EXPECT_LT(Elapsed(start), 100u);
  EXPECT_EQ(Owner.Aborts, 1);
  EXPECT_EQ(Link.ResultKey, "Idle");
}

TEST_F(LinkTest, ExchangeExpectingItsWaitStatusReturnsAtOnce) {
  const std::uint32_t start = Pump.Now;
  Link.Exchange(Packet("FF", 3, 3), {}, AwaitTransferPacket, {AwaitTransferPacket}, 1);
  EXPECT_EQ(Port.Written.size(), 1u);
  EXPECT_EQ(Pump.Turns, 0);
  EXPECT_EQ(Pump.Now, start);
  EXPECT_EQ(Link.Status, AwaitTransferPacket);
}

TEST_F(LinkTest, ThreePacketTransfer) {
  Script({{Packet("F1", 3, 1, {{"010", "1"}})},
          {Packet("F1", 3, 2, {{"100", "2"}})},
          {Packet("F3", 3, 3, {{"600", "01-A"}})}});
  Owner.MemoVisible = true;
  ASSERT_TRUE(Link.ReadSettings("3751", false));
  ASSERT_EQ(Port.Written.size(), 4u);
  const std::vector<std::tuple<std::string, int, int>> expected = {
      {"F2", 1, 1}, {"FF", 3, 1}, {"FF", 3, 2}, {"FF", 3, 3}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TPacket sent = Sent(Port.Written[i]);
    EXPECT_EQ(std::make_tuple(sent.Command, int(sent.PacketCount), int(sent.PacketNumber)),
              expected[i]);
  }
  EXPECT_EQ(CodeField(Port.Written[0]), "375100");
  EXPECT_EQ(CodeField(Port.Written[1]), std::string(6, '\x07'));
  ASSERT_EQ(Delivered.size(), 3u);
  EXPECT_EQ(Delivered[0].Data[0].Code, "010");
  EXPECT_EQ(Delivered[1].Data[0].Code, "100");
  EXPECT_EQ(Delivered[2].Command, "F3");
  ASSERT_EQ(Owner.Memo.size(), 3u);
  EXPECT_EQ(Owner.Memo[0].rfind("1 packet read time: ", 0), 0u);
  EXPECT_EQ(Owner.Memo[2].rfind("3 packet read time: ", 0), 0u);
  EXPECT_EQ(Link.Status, Idle);
  EXPECT_EQ(Link.ResultKey, "");
}

TEST_F(LinkTest, OnePacketTransferAndRestore) {
  Script({{Packet("F1", 1, 1, {{"010", "1"}})}});
  ASSERT_TRUE(Link.ReadSettings("375100", true));
  ASSERT_EQ(Port.Written.size(), 1u);
  EXPECT_EQ(Sent(Port.Written[0]).Command, "F5");
  EXPECT_EQ(Delivered.size(), 1u);
  EXPECT_TRUE(Owner.Memo.empty());  // the memo is hidden
}

TEST_F(LinkTest, FailedTransfers) {
  struct Case {
    const char* what;
    std::vector<std::vector<TByteArray>> script;
    std::string key;
  };
  const Case cases[] = {
      {"second packet numbered 3", {{Packet("F1", 3, 1)}, {Packet("F1", 3, 3)}}, ""},
      {"first packet numbered 2", {{Packet("F1", 3, 2)}}, ""},
      {"first packet of a transfer of none", {{Packet("F1", 0, 1)}}, ""},
      {"wrong access code", {{Packet("WRONG")}}, "ErrorWrongPassword"},
      {"OK instead of data", {{Packet("OK")}}, "ResponseOK"},
      {"no answer", {}, "ErrorNoResponse"},
      {"no answer to the second", {{Packet("F1", 2, 1)}}, "ErrorNoResponse"},
  };
  Link.Translate = [](const std::string& key) { return "translated " + key; };
  Owner.MemoVisible = true;
  for (const Case& c : cases) {
    Script(c.script);
    Delivered.clear();
    Owner.Deferred.clear();
    Owner.Memo.clear();
    EXPECT_FALSE(Link.ReadSettings("375100", false)) << c.what;
    EXPECT_TRUE(Delivered.empty()) << c.what;
    EXPECT_EQ(Owner.Deferred, std::vector<std::string>{"translated ErrorReceivingPackets"})
        << c.what;
    EXPECT_EQ(Link.ResultKey, c.key) << c.what;
    ASSERT_FALSE(Owner.Memo.empty());
    EXPECT_EQ(Owner.Memo.back().rfind("Total settings read time: ", 0), 0u) << c.what;
    EXPECT_EQ(Link.Status, Idle);
  }
}

TEST_F(LinkTest, WriteSettingsPacket) {
  Script({{Packet("OK")}});
  Owner.MemoVisible = true;
  ASSERT_TRUE(Link.WriteSettingsPacket("375100", {{"010", "0000"}, {"013", "02"}}, 1, 4));
  const TPacket sent = Sent(Port.Written[0]);
  EXPECT_EQ(sent.Command, "F4");
  EXPECT_EQ(sent.PacketCount, 4);
  EXPECT_EQ(sent.PacketNumber, 1);
  ASSERT_EQ(sent.Data.size(), 2u);
  EXPECT_EQ(sent.Data[1].Value, "02");
  EXPECT_EQ(CodeField(Port.Written[0]), "375100");
  EXPECT_EQ(Owner.Memo.at(0).rfind("1 packet write time: ", 0), 0u);

  // A data packet is no answer to a write.
  Script({{Packet("F1", 1, 1, {{"010", "x"}})}});
  const std::uint32_t start = Pump.Now;
  EXPECT_FALSE(Link.WriteSettingsPacket("375100", {{"100", "a"}}, 2, 4));
  EXPECT_GE(Elapsed(start), Link.AnswerTimeoutMs);
  EXPECT_EQ(Link.ResultKey, "ErrorNoResponse");
  EXPECT_TRUE(Delivered.empty());
}

TEST_F(LinkTest, FirmwareVersionAlreadyThere) {
  Script({{Packet("VERNROK")}});
  TFakeProgress progress;
  ASSERT_TRUE(Link.UploadFirmware("375100", TFakeFirmware(3), &progress));
  ASSERT_EQ(Port.Written.size(), 1u);
  const TPacket start = Sent(Port.Written[0]);
  EXPECT_EQ(start.Command, "FA");
  ASSERT_EQ(start.Data.size(), 1u);
  EXPECT_EQ(start.Data[0].Code + start.Data[0].Value, "0206");  // an item with an empty code
  EXPECT_EQ(Link.ResultKey, "VersionOK");
  EXPECT_EQ(progress.Range, std::make_pair(-1, -1));
  EXPECT_TRUE(progress.Positions.empty());
}

TEST_F(LinkTest, FirmwareRetries) {
  const TByteArray garbage = {0x55, 0x01, 0x02};
  Script({{Packet("READY")},
          {Packet("CRCERROR")},
          {Packet("CRCERROR")},
          {Packet("OK")},  // packet 1: three sends
          {garbage},
          {Packet("OK")}});  // packet 2: then FE
  TFakeProgress progress;
  TFakeFirmware firmware(2);
  ASSERT_TRUE(Link.UploadFirmware("375100", firmware, &progress));
  ASSERT_EQ(Port.Written.size(), 6u);
  for (int i = 1; i <= 3; ++i) {
    TByteArray packet = firmware.GetPacket(0);
    packet.push_back(0);
    EXPECT_EQ(Port.Written[static_cast<std::size_t>(i)], packet);
  }
  const TPacket repeat = Sent(Port.Written[5]);
  EXPECT_EQ(repeat.Command, "FE");
  EXPECT_EQ(repeat.PacketCount, 2);
  EXPECT_EQ(repeat.PacketNumber, 2);
  EXPECT_EQ(progress.Range, std::make_pair(0, 2));
  EXPECT_EQ(progress.Positions, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Link.ResultKey, "");
}

TEST_F(LinkTest, FirmwareFailures) {
  // Three CRC errors on packet 2: the upload stops there.
  Script({{Packet("OK")},
          {Packet("OK")},
          {Packet("CRCERROR")},
          {Packet("CRCERROR")},
          {Packet("CRCERROR")}});
  TFakeProgress progress;
  EXPECT_FALSE(Link.UploadFirmware("375100", TFakeFirmware(3), &progress));
  EXPECT_EQ(Port.Written.size(), 5u);
  EXPECT_EQ(Link.ResultKey, "ErrorCRC");
  EXPECT_EQ(progress.Positions, (std::vector<int>{0, 1}));

  // An undecodable answer to the start is followed by "FE" 1, 1.
  Port.Written.clear();
  Script({{TByteArray{1, 2, 3}}, {Packet("VERNROK")}});
  EXPECT_TRUE(Link.UploadFirmware("375100", TFakeFirmware(1), nullptr));
  ASSERT_EQ(Port.Written.size(), 2u);
  const TPacket repeat = Sent(Port.Written[1]);
  EXPECT_EQ(std::make_tuple(repeat.Command, int(repeat.PacketCount), int(repeat.PacketNumber)),
            std::make_tuple(std::string("FE"), 1, 1));
  EXPECT_EQ(Link.ResultKey, "VersionOK");

  // "WRONG" to the start: the start is sent again, then the wait times out.
  Port.Written.clear();
  Script({{Packet("WRONG")}, {Packet("WRONG")}, {Packet("WRONG")}});
  EXPECT_FALSE(Link.UploadFirmware("375100", TFakeFirmware(1), nullptr));
  EXPECT_EQ(Port.Written.size(), 3u);
  EXPECT_EQ(Link.ResultKey, "ErrorWrongPassword");

  // An undecodable chunk while idle does not make the first attempt a repeat.
  Port.Written.clear();
  Link.ReceiveBytes({1, 2, 3});
  Script({{Packet("VERNROK")}});
  EXPECT_TRUE(Link.UploadFirmware("375100", TFakeFirmware(1), nullptr));
  EXPECT_EQ(Sent(Port.Written[0]).Command, "FA");
}

TEST_F(LinkTest, PortErrorEndsTheWaitAtOnce) {
  Pump.OnTurn = [this] {
    if (Pump.Turns == 3) emit Port.ErrorOccurred("device removed");
  };
  const std::uint32_t start = Pump.Now;
  EXPECT_FALSE(Link.ReadSettings("375100", false));
  EXPECT_LT(Elapsed(start), 10u);
  EXPECT_EQ(Link.ResultKey, "NoConnectionToObject");
  EXPECT_EQ(Link.Status, Idle);

  // A port that closed under the link fails at once too.
  Pump.OnTurn = nullptr;
  Port.Opened = false;
  EXPECT_FALSE(Link.GetStatus());
  EXPECT_EQ(Link.ResultKey, "NoConnectionToObject");
  EXPECT_LT(Elapsed(start), 10u);

  // Once the port works again, so does the next command.
  Port.Opened = true;
  Script({{Packet("F1")}});
  EXPECT_TRUE(Link.GetStatus());
}

TEST_F(LinkTest, SecondCommandDuringAWaitFailsWithoutSending) {
  bool nested = true;
  Pump.OnTurn = [&] {
    if (Pump.Turns == 2) nested = Link.GetStatus();
  };
  Script({{}, {}});
  EXPECT_FALSE(Link.ReadSettings("375100", false));
  EXPECT_FALSE(nested);
  EXPECT_EQ(Port.Written.size(), 1u);
  EXPECT_FALSE(Link.Busy());
}

TEST(PortName, SaveAndLoad) {
  QTemporaryDir dir;
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  TFakePort port;
  port.Name = "ttyS0";
  EXPECT_FALSE(LoadPortName(port, "MainComport"));  // no key
  EXPECT_EQ(port.Name, "ttyS0");

  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Software\\VX8config\\MainComport", true));
  EXPECT_TRUE(LoadPortName(port, "MainComport"));  // a key without "Port"
  EXPECT_EQ(port.Name, "ttyS0");

  port.Name = "ttyUSB1";
  EXPECT_TRUE(SavePortName(port, "MainComport"));
  EXPECT_EQ(registry.ReadString("Port"), "ttyUSB1");
  port.Name = "other";
  EXPECT_TRUE(LoadPortName(port, "MainComport"));
  EXPECT_EQ(port.Name, "ttyUSB1");
  qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(LinkTest, FirmwareThatCannotGiveAPacketEndsTheUpload) {
  class TShortFirmware : public TFakeFirmware {
   public:
    TShortFirmware() : TFakeFirmware(1) {}
    int Count() const override { return 3; }  // says three, holds one
  } firmware;
  Script({{Packet("READY")}, {Packet("OK")}});
  EXPECT_FALSE(Link.UploadFirmware("375100", firmware, nullptr));
  EXPECT_EQ(Port.Written.size(), 2u);
  EXPECT_EQ(Link.ResultKey, "InvalidFirmwarePacketNumber");
  EXPECT_EQ(Link.Status, Idle);
  EXPECT_FALSE(Link.Busy());
}

// Failures that must never leave the link waiting or the user uninformed.
TEST_F(LinkTest, AnEscapingFailureLeavesTheLinkIdle) {
  // Something thrown while the wait pumps events leaves the command...
  Pump.OnTurn = [this] {
    if (Pump.Turns == 2) throw std::runtime_error("an event handler failed");
  };
  EXPECT_THROW(Link.GetStatus(), std::runtime_error);
  EXPECT_EQ(Link.Status, Idle);
  EXPECT_FALSE(Link.Busy());
  // ...and its late answer is not delivered outside any command.
  Pump.OnTurn = nullptr;
  Link.ReceiveBytes(Packet("F1", 1, 1, {{"000", "VX8"}}));
  EXPECT_TRUE(Delivered.empty());
}

TEST_F(LinkTest, AFailureWhileAFirmwarePacketWaitsIsNotABadPacketNumber) {
  Script({{Packet("READY")}, {}});
  Pump.OnTurn = [this] {
    if (Port.Written.size() == 2) throw std::runtime_error("an event handler failed");
  };
  Link.ResultKey = "";
  EXPECT_THROW(Link.UploadFirmware("375100", TFakeFirmware(2), nullptr), std::runtime_error);
  EXPECT_NE(Link.ResultKey, "InvalidFirmwarePacketNumber");
  EXPECT_EQ(Link.Status, Idle);
}

TEST_F(LinkTest, AGroupTooLargeToSendSaysSo) {
  Script({{Packet("OK")}});
  ASSERT_TRUE(Link.WriteSettingsPacket("375100", {{"010", "0000"}}, 1, 4));
  ASSERT_EQ(Link.ResultKey, "");  // an earlier success leaves no key
  Port.Written.clear();
  const TPacketDataArray huge(3000, TPacketData{"300", std::string(30, 'x')});
  EXPECT_FALSE(Link.WriteSettingsPacket("375100", huge, 3, 4));
  EXPECT_EQ(Link.ResultKey, "ErrorSettingsTooLarge");
  EXPECT_TRUE(Port.Written.empty());
  EXPECT_EQ(Link.Status, Idle);
}

TEST_F(LinkTest, AHandlerFailingPartWayThroughATransferSaysWhatHappened) {
  Script({{Packet("F1", 2, 1, {{"010", "1"}})}, {Packet("F1", 2, 2, {{"100", "2"}})}});
  Link.PacketHandler = [this](const TPacket& p) {
    if (p.PacketNumber == 2) throw std::runtime_error("handler");
    Delivered.push_back(p);
  };
  EXPECT_FALSE(Link.ReadSettings("375100", false));
  EXPECT_EQ(Delivered.size(), 1u);  // packet 1 is in the window
  EXPECT_EQ(Link.ResultKey, "ErrorSettingsPartlyApplied");
  EXPECT_TRUE(Owner.Deferred.empty());  // not "nothing was changed"
  EXPECT_EQ(Link.Status, Idle);
}

TEST(LinkPortEvents, TheWindowKeepsHearingThePortAroundTheLink) {
  TFakePort port;
  TFakePump pump(port);
  TFakeOwner owner;
  int heard = 0;
  QObject::connect(&port, &TSerialPort::ErrorOccurred, [&] { ++heard; });
  {
    TDataCommunication link(&port, nullptr, &owner, &pump);
    emit port.ErrorOccurred("unplugged while idle");
    EXPECT_EQ(heard, 1);
  }
  // The link's destruction takes only its own connections away.
  emit port.ErrorOccurred("unplugged again");
  emit port.BufferReceived(Packet("OK"));
  EXPECT_EQ(heard, 2);
}

// The simulated device on a real pseudo-terminal, driven through the real
// serial port class and the link.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "firmware/Q_Firmware.h"
#include "platform/QtSerialPort.h"
#include "sim/PtyHost.h"
#include "sim/SimState.h"
#include "support/FakeLink.h"

namespace {

class TProgress : public TProgressIndicator {
 public:
  void SetRange(int, int maximum) override { Maximum = maximum; }
  void SetPosition(int position) override { Position = position; }
  int Maximum = -1, Position = -1;
};

std::map<std::string, std::string> Items(const std::vector<TPacket>& packets) {
  std::map<std::string, std::string> items;
  for (const TPacket& p : packets)
    for (const TPacketData& d : p.Data) items[d.Code] = d.Value;
  return items;
}

class SimTest : public ::testing::Test {
 protected:
  void StartSim(TSimConfig config = {}, std::vector<std::pair<int, TSimFault>> faults = {},
                TPtyHostOptions options = {}) {
    FDevice = std::make_unique<TSimDevice>(config);
    for (const auto& [n, fault] : faults) FDevice->AddFault(n, fault);
    options.LinkPath = (FDir.path() + "/vx8").toStdString();
    FHost = std::make_unique<TPtyHost>(*FDevice, options);
    ASSERT_TRUE(FHost->Start()) << FHost->Error();
    FThread = std::thread([this] { FHost->Run(FStop); });
    Port.SetPortName(FDir.path() + "/vx8");
    Connect();
  }
  void Connect() {
    ASSERT_TRUE(Port.Open()) << Port.ErrorString().toStdString();
    Link.ConnectionKind = 1;
  }
  void TearDown() override {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }
  // Lets late bytes of a fault arrive and be framed before the next command.
  void Settle(int ms = 700) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
  }
  bool Read(bool restore = false) {
    Delivered.clear();
    return Link.ReadSettings(Code, restore);
  }

  QTemporaryDir FDir;
  std::unique_ptr<TSimDevice> FDevice;
  std::unique_ptr<TPtyHost> FHost;
  std::thread FThread;
  std::atomic<bool> FStop{false};

  TQtSerialPort Port;
  TQtEventPump Pump;
  TFakeOwner Owner;
  std::vector<TPacket> Delivered;
  TDataCommunication Link{&Port, [this](const TPacket& p) { Delivered.push_back(p); }, &Owner,
                          &Pump};
  std::string Code = "375100";
};

}  // namespace

TEST_F(SimTest, StatusAndFullReadOfEachGeneration) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    TearDown();
    Port.Close();
    FStop = false;
    TSimConfig config;
    config.Generation = generation;
    StartSim(config);

    Delivered.clear();
    ASSERT_TRUE(Link.GetStatus()) << Link.ResultKey;
    ASSERT_EQ(Delivered.size(), 1u);
    const auto status = Items(Delivered);
    EXPECT_EQ(status.at("002"), generation == 1 ? "Ver: 1.07" : "Ver: 2.05");
    EXPECT_EQ(status.at("001"), "VX8-004711");

    ASSERT_TRUE(Read()) << Link.ResultKey;
    ASSERT_GE(Delivered.size(), 4u);
    EXPECT_EQ(Delivered.front().Command, "F1");
    EXPECT_EQ(Delivered[Delivered.size() - 2].Command, "F3");
    EXPECT_EQ(Delivered[Delivered.size() - 2].Data.front().Code, "600");
    EXPECT_EQ(Delivered.back().Data.front().Code, "800");
    const auto items = Items(Delivered);
    EXPECT_EQ(items.at("012"), "3751");
    const char* const common[] = {"010", "011", "013", "016", "025", "026", "090",
                                  "093", "100", "300", "305", "400", "405"};
    for (const char* code : common) EXPECT_TRUE(items.count(code)) << code;
    const char* const own[] = {"027", "098", "306", "356", "455"};
    for (const char* code : own) EXPECT_EQ(items.count(code), generation == 2 ? 1u : 0u) << code;
    EXPECT_EQ(items.count("097"), generation == 1 ? 1u : 0u);
    EXPECT_EQ(Link.Status, Idle);
  }
}

TEST_F(SimTest, WriteReadBackAndRestore) {
  StartSim();
  ASSERT_TRUE(Link.WriteSettingsPacket(Code, {{"100", "Bakery Main St"}, {"777", "extra"}}, 2, 4))
      << Link.ResultKey;
  ASSERT_TRUE(Read());
  EXPECT_EQ(Items(Delivered).at("100"), "Bakery Main St");
  EXPECT_EQ(Items(Delivered).at("777"), "extra");

  // A new access code counts from the next command on.
  ASSERT_TRUE(Link.WriteSettingsPacket(Code, {{"010", "1234"}, {"012", "9876"}}, 1, 4));
  ASSERT_TRUE(Link.WriteSettingsPacket(Code, {{"300", "Burglary"}}, 3, 4));
  EXPECT_FALSE(Read());
  EXPECT_EQ(Link.ResultKey, "ErrorWrongPassword");
  Code = "987600";
  ASSERT_TRUE(Read());
  EXPECT_EQ(Items(Delivered).at("300"), "Burglary");

  ASSERT_TRUE(Read(true));  // restore
  const auto items = Items(Delivered);
  EXPECT_EQ(items.at("100"), "VX8 object");
  EXPECT_EQ(items.at("012"), "3751");
  EXPECT_EQ(items.count("777"), 0u);
}

TEST_F(SimTest, FirmwareUpload) {
  StartSim();
  const QString file = FDir.path() + "/test.prg";
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(MakeTestFirmware(6, "02.06")));
  }
  TFirmware firmware;
  ASSERT_TRUE(firmware.LoadFromFile(file.toStdString()));
  ASSERT_EQ(firmware.Count(), 6);
  TProgress progress;
  ASSERT_TRUE(Link.UploadFirmware(Code, firmware, &progress)) << Link.ResultKey;
  EXPECT_EQ(Link.ResultKey, "");
  EXPECT_EQ(progress.Maximum, 6);
  EXPECT_EQ(progress.Position, 6);

  Delivered.clear();
  ASSERT_TRUE(Link.GetStatus());
  EXPECT_EQ(Items(Delivered).at("002"), "Ver: 2.06");
  // The same version again: nothing to do.
  ASSERT_TRUE(Link.UploadFirmware(Code, firmware, &progress));
  EXPECT_EQ(Link.ResultKey, "VersionOK");
}

TEST_F(SimTest, InjectedFaults) {
  // Requests are counted from 1: each case's fault hits its first command.
  struct Case {
    const char* what;
    TSimFault fault;
    bool read;  // else status
    std::string key;
  };
  const Case cases[] = {
      {"split", TSimFault::Split, false, "before"},
      {"garbage", TSimFault::Garbage, false, "before"},
      {"crc", TSimFault::Crc, true, "ErrorCRC"},
      {"wrong", TSimFault::Wrong, true, "ErrorWrongPassword"},
      {"abort", TSimFault::Abort, true, "Idle"},
      {"silent", TSimFault::Silent, false, "ErrorNoResponse"},
  };
  Link.AnswerTimeoutMs = 1500;
  Owner.OnAbort = [this] {
    Link.ConnectionKind = 0;
    Port.Close();
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    Port.Close();
    FStop = false;
    StartSim({}, {{1, c.fault}});
    Link.ResultKey = "before";
    EXPECT_FALSE(c.read ? Read() : Link.GetStatus());
    EXPECT_EQ(Link.ResultKey, c.key);
    EXPECT_EQ(Link.Status, Idle);
    Settle();
    if (!Port.IsOpen()) Connect();
    EXPECT_TRUE(Read()) << Link.ResultKey;
  }
  EXPECT_EQ(Owner.Aborts, 1);
}

TEST_F(SimTest, PortThatVanishes) {
  StartSim({}, {{2, TSimFault::Vanish}});
  ASSERT_TRUE(Link.GetStatus());
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(Link.GetStatus());
  EXPECT_LT(t.elapsed(), 5000);
  EXPECT_EQ(Link.ResultKey, "NoConnectionToObject");
  EXPECT_EQ(Link.Status, Idle);
  // The adapter comes back: reopen and go on.
  Port.Close();
  Settle(800);
  Connect();
  EXPECT_TRUE(Read()) << Link.ResultKey;
}

TEST_F(SimTest, FirmwareSurvivesFaultsOnItsPackets) {
  // Request 1 is the start; 3 gets garbage (then "FE"), 5 a CRC error.
  StartSim({}, {{3, TSimFault::Garbage}, {5, TSimFault::Crc}});
  const QString file = FDir.path() + "/test.prg";
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray::fromStdString(MakeTestFirmware(4)));
  f.close();
  TFirmware firmware;
  ASSERT_TRUE(firmware.LoadFromFile(file.toStdString()));
  TProgress progress;
  ASSERT_TRUE(Link.UploadFirmware(Code, firmware, &progress)) << Link.ResultKey;
  EXPECT_EQ(progress.Position, 4);
}

TEST(SimDevice, StateFileKeepsTheSettings) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/state.json";
  TSimDevice device({});
  auto settings = device.Settings();
  settings["100"] = "Kept \xE4";
  settings["012"] = "1111";
  device.SetSettings(settings);
  ASSERT_TRUE(SaveSimState(device, file));
  TSimDevice again({});
  ASSERT_TRUE(LoadSimState(again, file));
  EXPECT_EQ(again.Settings().at("100"), "Kept \xE4");
  EXPECT_EQ(again.AccessCode(), "111100");
}

TEST(SimDevice, RequestsInPiecesAndTheZeroByte) {
  TSimDevice device({});
  TPacket status;
  status.PacketCount = status.PacketNumber = 1;
  status.Command = "F0";
  TByteArray bytes = TPacketParser().Encode(status, "");
  bytes.push_back(0);
  bytes.insert(bytes.end(), bytes.begin(), bytes.end());  // two requests back to back
  std::vector<TSimAnswer> answers;
  for (std::uint8_t b : bytes)
    for (TSimAnswer& a : device.Receive({b})) answers.push_back(a);
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(TPacketParser().Decode(answers[1].Writes.at(0)).Data.at(2).Value, "Ver: 2.05");
}

TEST(Vx8sim, CommandLineServesAndCleansUp) {
  QTemporaryDir dir;
  const QString link = dir.path() + "/ttyVX8";
  const QString state = dir.path() + "/state.json";
  QProcess sim;
  sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  sim.start(VX8SIM_PATH, {"--link", link, "--generation", "1", "--serial", "SN-1", "--version",
                          "1.09", "--access-code", "1234", "--state", state, "--quiet"});
  ASSERT_TRUE(sim.waitForStarted());
  QElapsedTimer t;
  t.start();
  while (!QFileInfo(link).isSymLink() && t.elapsed() < 5000) QThread::msleep(10);
  ASSERT_TRUE(QFileInfo(link).isSymLink());

  TQtSerialPort port;
  port.SetPortName(link);
  ASSERT_TRUE(port.Open()) << port.ErrorString().toStdString();
  TQtEventPump pump;
  TFakeOwner owner;
  std::vector<TPacket> delivered;
  TDataCommunication linkToDevice(
      &port, [&](const TPacket& p) { delivered.push_back(p); }, &owner, &pump);
  linkToDevice.ConnectionKind = 1;
  linkToDevice.AnswerTimeoutMs = 3000;
  ASSERT_TRUE(linkToDevice.GetStatus());
  EXPECT_EQ(Items(delivered).at("002"), "Ver: 1.09");
  EXPECT_EQ(Items(delivered).at("001"), "SN-1");
  EXPECT_TRUE(linkToDevice.ReadSettings("123400", false)) << linkToDevice.ResultKey;
  ASSERT_TRUE(linkToDevice.WriteSettingsPacket("123400", {{"100", "Saved"}}, 2, 4));
  port.Close();

  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(5000));
  EXPECT_EQ(sim.exitCode(), 0);
  EXPECT_FALSE(QFileInfo(link).exists() || QFileInfo(link).isSymLink());
  QFile f(state);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("\"Saved\""));
}

TEST_F(SimTest, ALineSettingThePortCannotTakeIsReported) {
  StartSim();  // a pseudo-terminal: failing to drop DTR and RTS is no error there
  QStringList errors;
  QObject::connect(&Port, &TSerialPort::ErrorOccurred,
                   [&](const QString& error) { errors << error; });
  TLineSettings impossible;
  impossible.BaudRate = 0;
  Port.SetLineSettings(impossible);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("baud rate")) << errors[0].toStdString();

  Port.Close();
  EXPECT_FALSE(Port.Open());
  EXPECT_FALSE(Port.IsOpen());
  EXPECT_TRUE(Port.ErrorString().contains("baud rate"));

  Port.SetLineSettings(TLineSettings());
  EXPECT_TRUE(Port.Open()) << Port.ErrorString().toStdString();
  EXPECT_EQ(errors.size(), 1);
}

TEST_F(SimTest, AClientThatStopsReadingNeitherGrowsTheQueueNorFeedsTheNextOne) {
  StartSim();
  Port.Close();
  // A client that sends requests and never reads their answers.
  const int fd = ::open(QFile::encodeName(FDir.path() + "/vx8").constData(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  TPacket status;
  status.PacketCount = status.PacketNumber = 1;
  status.Command = "F0";
  TByteArray request = TPacketParser().Encode(status, "");
  request.push_back(0);
  TByteArray burst;
  for (int i = 0; i < 200; ++i) burst.insert(burst.end(), request.begin(), request.end());
  std::size_t most = 0;
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(::write(fd, burst.data(), burst.size()), static_cast<ssize_t>(burst.size()));
    QThread::msleep(20);
    most = std::max(most, FHost->QueuedBytes());
  }
  EXPECT_GT(most, 0u);
  EXPECT_LE(most, 70u * 1024u);  // about 300 KB of answers were asked for
  ::close(fd);

  // The next client opens the line anew and hears nothing meant for the first.
  int stale = 0;
  QObject::connect(&Port, &TSerialPort::BufferReceived, [&] { ++stale; });
  Connect();
  Settle(500);
  EXPECT_EQ(stale, 0);
  EXPECT_EQ(FHost->QueuedBytes(), 0u);
  Delivered.clear();
  EXPECT_TRUE(Link.GetStatus()) << Link.ResultKey;
}

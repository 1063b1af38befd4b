// vx8cli as a separate process against the simulated device on a
// pseudo-terminal (the device on a thread of the test).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <thread>

#include "cli/DeviceSettings.h"
#include "settings/Q_SettingsFile.h"
#include "sim/PtyHost.h"
#include "support/SimOnPty.h"

namespace {

struct TRun {
  int Exit = -1;
  QString Out, Err;
};

class CliTest : public ::testing::Test {
 protected:
  QString Link() const { return FDir.path() + "/ttyVX8"; }
  QString File(const QString& name) const { return FDir.path() + "/" + name; }

  void StartDevice(TSimConfig config = {}, std::vector<std::pair<int, TSimFault>> faults = {}) {
    Sim.Start(config, std::move(faults));
  }
  void StopDevice() { Sim.Stop(); }
  TRun Cli(QStringList args) {
    QProcess process;
    process.start(VX8CLI_PATH, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput()),
            QString::fromLatin1(process.readAllStandardError())};
  }
  QStringList Port(QStringList rest) {
    return rest << "--port" << Link() << "--timeout"
                << "800";
  }
  QByteArray Read(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void Write(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QTemporaryDir FDir;
  TSimOnPty Sim{Link()};
  std::unique_ptr<TSimDevice>& Device = Sim.Device;
  std::atomic<int>& Requests = Sim.Requests;
};

}  // namespace

TEST_F(CliTest, ReadThenWriteRoundTripsThroughAFile) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    TSimConfig config;
    config.Generation = generation;
    StartDevice(config);
    const TRun read = Cli(Port({"read", "--out", File("a.qst")}));
    ASSERT_EQ(read.Exit, 0) << read.Err.toStdString();
    const auto before = Device->Settings();
    const TRun write = Cli(Port({"write", File("a.qst")}));
    ASSERT_EQ(write.Exit, 0) << write.Err.toStdString();
    EXPECT_EQ(Device->Settings(), before);
    ASSERT_EQ(Cli(Port({"read", "--out", File("b.qst")})).Exit, 0);
    EXPECT_EQ(Read(File("a.qst")), Read(File("b.qst")));
    EXPECT_FALSE(Read(File("a.qst")).contains("\n012"));  // never the access code
  }
}

TEST_F(CliTest, SetChangesExactlyOneValue) {
  StartDevice();
  ASSERT_EQ(Cli(Port({"read", "--out", File("a.qst")})).Exit, 0);
  auto expected = Device->Settings();
  expected["100"] = "Bakery, Main St";
  const TRun write = Cli(Port({"write", File("a.qst"), "--set", "100=Bakery, Main St"}));
  EXPECT_EQ(write.Exit, 0) << write.Err.toStdString();
  EXPECT_EQ(Device->Settings(), expected);

  // Codes the device only shows are never written; bad input sends nothing.
  const int before = Requests;
  for (const QStringList& bad : {QStringList{"write", File("a.qst"), "--set", "011=1234"},
                                 {"write", File("a.qst"), "--set", "1=x"},
                                 {"write", File("a.qst"), "--code", "12345"},
                                 {"write", File("missing.qst")}}) {
    const TRun run = Cli(Port(bad));
    EXPECT_EQ(run.Exit, bad.last() == File("missing.qst") ? 7 : 2) << bad.join(' ').toStdString();
  }
  EXPECT_EQ(Requests, before);
}

TEST_F(CliTest, AWriteRefusedPartWayNamesTheGroupsThatLanded) {
  // Request 1 is the status, 2 to 5 the four groups: the third is refused.
  StartDevice({}, {{4, TSimFault::Wrong}});
  Write(File("t.qst"), "0101234\r\n\r\n100Shop\r\n\r\n300Door\r\n\r\n400Closed\r\n\r\n");
  const TRun run = Cli(Port({"write", File("t.qst")}));
  EXPECT_EQ(run.Exit, 5);
  EXPECT_TRUE(run.Err.contains("took group(s) 0, 1")) << run.Err.toStdString();
  EXPECT_EQ(Device->Settings().at("100"), "Shop");
  EXPECT_NE(Device->Settings().at("300"), "Door");
}

TEST_F(CliTest, DiffListsExactlyTheChangedCodes) {
  StartDevice();
  ASSERT_EQ(Cli(Port({"read", "--out", File("a.qst")})).Exit, 0);
  const TRun same = Cli(Port({"diff", File("a.qst")}));
  EXPECT_EQ(same.Exit, 0);
  QByteArray file = Read(File("a.qst"));
  file.replace("100VX8 object", "100Other").replace("300Input 1 alarm", "300Fire");
  Write(File("a.qst"), file);
  const TRun diff = Cli(Port({"diff", File("a.qst"), "--json"}));
  EXPECT_EQ(diff.Exit, 8);
  const QJsonArray differences =
      QJsonDocument::fromJson(diff.Out.toLatin1()).object()["differences"].toArray();
  ASSERT_EQ(differences.size(), 2);
  EXPECT_EQ(differences[0].toObject()["code"].toString(), "100");
  EXPECT_EQ(differences[0].toObject()["name"].toString(), "AccountName");
  EXPECT_EQ(differences[0].toObject()["device"].toString(), "VX8 object");
  EXPECT_EQ(differences[1].toObject()["code"].toString(), "300");
}

TEST_F(CliTest, EachFailureEndsWithItsOwnStatus) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, TSimFault>> faults;
    QStringList args;
    int exit;
  };
  const Case cases[] = {
      {"silent", {{1, TSimFault::Silent}}, {"status"}, 4},
      {"abort", {{2, TSimFault::Abort}}, {"restore"}, 6},
      {"wrong code", {}, {"restore", "--code", "9999"}, 5},
      {"status", {}, {"status", "--json"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartDevice({}, c.faults);
    QElapsedTimer time;
    time.start();
    const TRun run = Cli(Port(c.args));
    EXPECT_EQ(run.Exit, c.exit) << run.Err.toStdString();
    EXPECT_LT(time.elapsed(), 8000);
  }
  StopDevice();
  EXPECT_EQ(Cli(Port({"status"})).Exit, 3);  // no port
  EXPECT_EQ(Cli({"status"}).Exit, 2);        // no --port
  EXPECT_EQ(Cli({"launch"}).Exit, 2);
}

namespace {

// A record line's fields.
QStringList RecordFields(const QByteArray& line) {
  return QString::fromLatin1(line).split(',');
}

}  // namespace

TEST_F(CliTest, ProvisioningThreeUnits) {
  Write(File("template.qst"), "0100000\r\n01302\r\n\r\n100Template\r\n\r\n300Door opened\r\n\r\n");
  Write(File("units.csv"),
        "serial,010,100\nSN-2,1002,Shop two\nSN-1,1001,\"Shop one, back\"\n"
        "SN-3,1003,Shop three\n");
  QProcess provision;
  provision.start(VX8CLI_PATH, Port({"provision", "--template", File("template.qst"), "--units",
                                     File("units.csv"), "--record", File("record.csv")}));
  ASSERT_TRUE(provision.waitForStarted());
  const char* const serials[] = {"SN-1", "SN-2", "SN-3"};
  std::vector<std::map<std::string, std::string>> states;
  for (int unit = 0; unit < 3; ++unit) {
    TSimConfig config;
    config.Serial = serials[unit];
    StartDevice(config);
    QElapsedTimer time;
    time.start();
    while (Read(File("record.csv")).count('\n') < unit + 2 && time.elapsed() < 20000)
      QThread::msleep(50);
    states.push_back(Device->Settings());
    StopDevice();  // the next unit on the same port
  }
  ASSERT_TRUE(provision.waitForFinished(20000));
  EXPECT_EQ(provision.exitCode(), 0);
  EXPECT_TRUE(provision.readAllStandardOutput().contains("rows of the units table are used"));

  const QList<QByteArray> lines = Read(File("record.csv")).trimmed().split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], "time,serial,type,version,template,row,sha256,result");
  const std::pair<const char*, const char*> rows[] = {
      {"1001", "Shop one, back"}, {"1002", "Shop two"}, {"1003", "Shop three"}};
  for (int unit = 0; unit < 3; ++unit) {
    SCOPED_TRACE(unit);
    EXPECT_EQ(states[unit].at("010"), rows[unit].first);
    EXPECT_EQ(states[unit].at("100"), rows[unit].second);
    EXPECT_EQ(states[unit].at("013"), "02");
    EXPECT_EQ(states[unit].at("300"), "Door opened");
    const QStringList fields = RecordFields(lines[unit + 1]);
    EXPECT_EQ(fields[1], serials[unit]);
    EXPECT_EQ(fields[5], unit == 0 ? "2" : unit == 1 ? "1" : "3");  // matched by serial
    EXPECT_EQ(fields.last(), "ok");
    // The hash of what was written: template and row as a settings file.
    const QByteArray expected =
        "0101001\r\n01302\r\n\r\n100Shop one, back\r\n\r\n"
        "300Door opened\r\n\r\n\r\n";
    if (unit == 0) {
      EXPECT_EQ(fields[6], QCryptographicHash::hash(expected, QCryptographicHash::Sha256).toHex());
    }
    EXPECT_FALSE(lines[unit + 1].contains("375100"));
  }
}

TEST_F(CliTest, ABadUnitsTableIsRefusedBeforeAnythingIsWritten) {
  StartDevice();
  Write(File("template.qst"), "100Template\r\n\r\n");
  const std::pair<const char*, QByteArray> tables[] = {
      {"an unknown code", "010,999\n1001,x\n"},
      {"a read-only code", "011\n1234\n"},
      {"a short row", "010,100\n1001\n"},
      {"an open quote", "010,100\n1001,\"Shop\n"},
  };
  for (const auto& [what, table] : tables) {
    Write(File("units.csv"), table);
    const TRun run =
        Cli(Port({"provision", "--template", File("template.qst"), "--units", File("units.csv")}));
    EXPECT_EQ(run.Exit, 2) << what;
  }
  EXPECT_EQ(Requests, 0);
  EXPECT_EQ(Device->Settings().at("100"), "VX8 object");
}

TEST_F(CliTest, CtrlCEndsProvisioningWhileItWaits) {
  Write(File("template.qst"), "100Template\r\n\r\n");
  QProcess provision;
  provision.start(VX8CLI_PATH, Port({"provision", "--template", File("template.qst")}));
  ASSERT_TRUE(provision.waitForStarted());
  QThread::msleep(500);  // waiting for a device that is not there
  ::kill(static_cast<pid_t>(provision.processId()), SIGINT);
  ASSERT_TRUE(provision.waitForFinished(5000));
  EXPECT_EQ(provision.exitCode(), 130);
}

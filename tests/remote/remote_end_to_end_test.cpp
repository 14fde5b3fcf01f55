// The real zelka-utility, started as a user would with a free port and a simulated
// printer: a remote client searches through it.
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>

#include <regex>

#include "remote/remote_fixture.h"

// Qt starts a program the way vfork() does, and ThreadSanitizer then takes the test
// itself for a child forked from many threads and refuses to start another thread in it.
// Nothing runs between that start and the exec but Qt's own launcher code.
extern "C" const char* __tsan_default_options() { return "die_after_fork=0"; }

namespace zelka::testing {
namespace {

class RemoteEndToEndTest : public SimFixture {
 protected:
  void TearDown() override {
    if (app.state() != QProcess::NotRunning) {
      app.kill();
      app.waitForFinished();
    }
    SimFixture::TearDown();
  }

  void StartUtility(const QStringList& extra) {
    app.setProgram(QStringLiteral(ZELKA_UTILITY_PATH));
    app.setArguments(QStringList{"-platform", "offscreen", "--listen", "127.0.0.1", "--port",
                                 QString::fromStdString(sim.PortName())} +
                     extra);
    app.start();
    ASSERT_TRUE(app.waitForStarted());
  }

  // Reads the program's standard output (or error) until `pattern` matches a line.
  std::smatch WaitForLine(QProcess::ProcessChannel channel, const std::regex& pattern) {
    app.setReadChannel(channel);
    std::smatch match;
    const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!app.canReadLine() && !app.waitForReadyRead(100)) {
        if (app.state() == QProcess::NotRunning) break;
        continue;
      }
      while (app.canReadLine()) {
        output = app.readLine().trimmed().toStdString();
        if (std::regex_search(output, match, pattern)) return match;
      }
    }
    ADD_FAILURE() << "no such line; stderr: " << app.readAllStandardError().toStdString();
    return match;
  }

  QProcess app;
  std::string output;  // the line last matched
};

TEST_F(RemoteEndToEndTest, ServesASearchOnThePortItPrints) {
  StartUtility({"--tcp-port", "0"});
  const auto match = WaitForLine(QProcess::StandardOutput,
                                 std::regex("^Remote service listening on port ([0-9]+)$"));
  ASSERT_FALSE(match.empty());
  const auto port = static_cast<std::uint16_t>(std::stoi(match[1].str()));

  RemoteClient client;
  ASSERT_TRUE(client.Connect(port));
  EXPECT_EQ(client.Read(9), "SVE0000\r\n");
  client.Send("SVEC000\r\n");
  EXPECT_EQ(client.Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  EXPECT_EQ(sim.CommandNames(), DefaultPrinterSearchTraffic());
}

TEST_F(RemoteEndToEndTest, APortInUseIsReportedAndTheWindowGoesOn) {
  QTcpServer taken;
  ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
  StartUtility({"--tcp-port", QString::number(taken.serverPort())});
  const auto match =
      WaitForLine(QProcess::StandardError, std::regex("^Remote service not started: .*port"));
  EXPECT_FALSE(match.empty());
  EXPECT_FALSE(app.waitForFinished(200)) << "the program ended with the service";
}

}  // namespace
}  // namespace zelka::testing

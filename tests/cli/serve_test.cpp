// zelka serve: the remote service without a window, on loopback, against a simulated
// printer; it ends with exit 0 on SIGTERM and SIGINT.
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <csignal>

#include "cli/cli_fixture.h"

namespace zelka::testing {
namespace {

constexpr int kWaitMs = 10000;

class CliServeTest : public CliFixture {
 protected:
  // Starts the service on any free port and returns the port it printed; 0 on failure.
  quint16 Start(QProcess& process) {
    process.start(ZelkaPath(), {"serve", "--tcp-port", "0", "--listen", "127.0.0.1", "--port",
                                QString::fromStdString(sim.PortName()), "-b", "57600"});
    if (!process.waitForStarted(kWaitMs) || !process.waitForReadyRead(kWaitMs)) return 0;
    const QString line = QString::fromUtf8(process.readLine());
    const auto match = QRegularExpression(QStringLiteral("^Remote service listening on port (\\d+)\n$")).match(line);
    EXPECT_TRUE(match.hasMatch()) << line.toStdString();
    return static_cast<quint16>(match.captured(1).toUInt());
  }
};

TEST_F(CliServeTest, AnswersTheProtocolAndEndsOnSignals) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    sim.ClearLog();
    QProcess process;
    const quint16 port = Start(process);
    ASSERT_NE(port, 0) << process.readAllStandardError().toStdString();

    QTcpSocket client;
    client.connectToHost(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(client.waitForConnected(kWaitMs));
    while (client.bytesAvailable() < 8 && client.waitForReadyRead(kWaitMs)) {
    }
    EXPECT_EQ(client.readLine().trimmed(), "SVE0000");
    client.write("SVEC004\n");
    client.flush();
    ASSERT_TRUE(sim.WaitForCommands(1, std::chrono::milliseconds(kWaitMs)));
    EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"LF"});

    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(kWaitMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    client.waitForDisconnected(kWaitMs);
    EXPECT_EQ(client.state(), QAbstractSocket::UnconnectedState);
  }
}

}  // namespace
}  // namespace zelka::testing

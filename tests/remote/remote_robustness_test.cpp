// The remote service against clients that misbehave: over-long lines, HTTP requests,
// leaving in the middle of the records, resets, half lines, hundreds of idle connections;
// and the service's own start and stop.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTcpServer>

#include "remote/remote_fixture.h"

namespace zelka::testing {
namespace {

class RemoteRobustnessTest : public RemoteFixture {};

bool CanListenOn(const QHostAddress& address) {
  QTcpServer probe;
  return probe.listen(address, 0);
}

std::size_t CountOf(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

TEST_F(RemoteRobustnessTest, LinesUpTo16384BytesAreReadLongerOnesEndTheConnection) {
  struct Case {
    std::string bytes;
    bool closed;
  };
  const std::vector<Case> cases = {
      {std::string(16384, 'A') + "\nSVEC004\n", false},
      {std::string(16385, 'A') + "\nSVEC004\n", true},
      {std::string(16385, 'A'), true},  // closed before any LF comes
      {std::string(100000, '\x80'), true},
  };
  Serve();
  KnowThePrinter();
  std::size_t feeds = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    auto client = Connect();
    client->Send(c.bytes);
    EXPECT_EQ(client->WaitClosed(c.closed ? kReplyTimeout : std::chrono::milliseconds(0)),
              c.closed);
    if (!c.closed) {
      ASSERT_TRUE(sim.WaitForCommands(++feeds, kReplyTimeout));
    }
  }
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>(feeds, "LF"));
}

TEST_F(RemoteRobustnessTest, HttpRequestsAreClosedAtOnceAndNothingOfThemRuns) {
  const std::string body =
      "\r\nHost: 127.0.0.1:4444\r\nContent-Type: text/plain\r\n\r\nSVEC004\r\n";
  const std::vector<std::string> requests = {
      "GET / HTTP/1.1" + body,        "POST / HTTP/1.1" + body,
      "PUT /drawer HTTP/1.1" + body,  "HEAD / HTTP/1.0" + body,
      "OPTIONS * HTTP/1.1" + body,    "CONNECT 127.0.0.1:4444 HTTP/1.1" + body,
      "hOsT: 127.0.0.1\r\nSVEC004\n", "hello\r\nHOST:x\r\nSVEC004\n",
  };
  Serve();
  KnowThePrinter();
  for (const std::string& request : requests) {
    SCOPED_TRACE(request.substr(0, request.find('\r')));
    auto client = Connect();
    client->Send(request);
    EXPECT_TRUE(client->WaitClosed());
    EXPECT_EQ(client->ReadPending(), "");
  }
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }));
  EXPECT_TRUE(sim.CommandNames().empty());

  // A method word later on, or as part of another line, is just a line that is no command.
  auto client = Connect();
  client->Send("SVEC004\nGET / HTTP/1.1\nGETSVEC\nSVEC004\n");
  EXPECT_TRUE(sim.WaitForCommands(2, kReplyTimeout));
  EXPECT_EQ(server->LiveConnections(), 1);
}

TEST_F(RemoteRobustnessTest, ClientLeavingDuringTheRecordsEndsTheSearchAndFreesThePort) {
  // A printer slow enough after the model for the client's going to be noticed: a prompt
  // one can answer every query before the connection reports the client gone.
  for (std::uint8_t n : {0x23, 0x2B, 0x97, 0x33, 0xA3}) {
    sim.AddFault({.prefix = {0x1D, 0x49, 0x40, n}, .kind = sim::Fault::Kind::Late,
                  .delay = std::chrono::milliseconds(100)});
  }
  Serve();
  auto client = Connect();
  client->Send("SVEC000\n");
  ASSERT_EQ(client->ReadLine(), Record(1, "Printer Zelka"));
  client->Close();

  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }));
  worker->WaitIdle();
  EXPECT_FALSE(PortLeftOpen()) << "the abandoned identification left its port open";
  const auto names = sim.CommandNames();
  EXPECT_LT(names.size(), DefaultPrinterSearchTraffic().size()) << "the identification went on";
  EXPECT_LT(Steps().size(), 12u) << "the identification went on";

  // The next operation, from another client, opens the port afresh.
  sim.ClearLog();
  auto next = Connect();
  next->Send("SVEC004\n");
  ASSERT_TRUE(sim.WaitForCommands(1, kReplyTimeout));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"LF"});
}

TEST_F(RemoteRobustnessTest, IdleResetAndHalfFinishedClientsDoNotStopTheService) {
  constexpr int kIdle = 200;
  Serve();
  std::vector<std::unique_ptr<RemoteClient>> idle;
  for (int i = 0; i < kIdle; ++i) idle.push_back(Connect());
  for (int i = 0; i < 20; ++i) {
    RemoteClient broken;
    ASSERT_TRUE(broken.Connect(server->Port()));
    switch (i % 4) {
      case 0:  // gone before its greeting could be read
        broken.Reset();
        break;
      case 1:  // half a line, then gone
        broken.Send("SVEC0");
        broken.Close();
        break;
      case 2:
        broken.Send("SVEC005");
        broken.Reset();
        break;
      case 3:
        broken.Send(std::string("\x00\xFF\x1B\x1D", 4));
        broken.Close();
        break;
    }
  }

  auto served = Connect();
  served->Send("SVEC000\n");
  EXPECT_EQ(served->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  served->Send("5\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "55555"; }));
  EXPECT_TRUE(WaitUntil([&] { return server->LiveConnections() == kIdle + 1; }))
      << server->LiveConnections();
  EXPECT_EQ(CountOf(sim.CommandNames(), "GS /"), 0u) << "a line without its LF ran";

  // Every idle client is still served, and leaving ends its thread.
  idle.front()->Send("3\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "33333"; }));
  idle.clear();
  served.reset();
  EXPECT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }))
      << server->LiveConnections();
}

// Out of descriptors, accept() fails and Qt stops accepting for good; the service must
// take the waiting clients once descriptors are free again.
TEST_F(RemoteRobustnessTest, AcceptingResumesAfterRunningOutOfDescriptors) {
#ifdef ZELKA_SANITIZED
  GTEST_SKIP() << "the sanitizers need descriptors of their own to check memory";
#endif
  constexpr int kClients = 3;
  Serve();
  std::vector<int> sockets;  // made before the limit: connecting needs no new descriptor
  for (int i = 0; i < kClients; ++i) sockets.push_back(socket(AF_INET, SOCK_STREAM, 0));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowestFree = dup(0);
  close(lowestFree);
  rlimit exhausted = saved;
  exhausted.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &exhausted), 0);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(server->Port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int fd : sockets) {
    EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  }
  // The listener meets the limit now (and again on every retry) ...
  const bool waitedAtTheLimit =
      !WaitUntil([&] { return server->LiveConnections() > 0; }, std::chrono::milliseconds(300));
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_TRUE(waitedAtTheLimit);

  // ... and takes every waiting client once it is lifted.
  for (int fd : sockets) {
    QTcpSocket client;
    ASSERT_TRUE(client.setSocketDescriptor(fd));
    while (client.bytesAvailable() < 9 &&
           client.waitForReadyRead(static_cast<int>(kReplyTimeout.count()))) {
    }
    EXPECT_EQ(client.readAll().toStdString(), "SVE0000\r\n");
  }
  auto late = Connect();
  late->Send("4\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "44444"; }));
}

TEST_F(RemoteRobustnessTest, StopEndsEveryConnectionAndTheListeningPort) {
  Serve();
  std::vector<std::unique_ptr<RemoteClient>> clients;
  for (int i = 0; i < 5; ++i) clients.push_back(Connect());
  clients[0]->Send("SVEC00");  // half a command
  const auto port = server->Port();

  server->Stop();
  EXPECT_EQ(server->LiveConnections(), 0);
  for (auto& client : clients) EXPECT_TRUE(client->WaitClosed());
  RemoteClient late;
  EXPECT_FALSE(late.Connect(port));
  EXPECT_FALSE(server->Start()) << "stopping is final";
  EXPECT_TRUE(sim.CommandNames().empty());
}

// A worker that has stopped (the program is ending) drops the jobs it is given: the
// connection that waits for one goes on, and the service still stops.
TEST_F(RemoteRobustnessTest, CommandsDroppedByAStoppedWorkerDoNotHangTheConnection) {
  Serve();
  KnowThePrinter();
  auto client = Connect();
  worker->Stop();
  client->Send("SVEC004\nSVEC000\nSVEC001\n4\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "44444"; }))
      << "the connection still waits for a job that never runs";
  EXPECT_EQ(client->ReadPending(), "");
  server->Stop();
  EXPECT_EQ(server->LiveConnections(), 0);
  EXPECT_TRUE(client->WaitClosed());
  EXPECT_TRUE(sim.CommandNames().empty());
}

TEST_F(RemoteRobustnessTest, AnAddressThatCannotBeUsedIsReportedAndNothingListens) {
  Serve();
  struct Case {
    std::vector<std::string> addresses;
    std::uint16_t port;
    std::string inError;
  };
  const std::vector<Case> cases = {
      {{"127.0.0.1"}, server->Port(), "127.0.0.1 port " + std::to_string(server->Port())},
      {{"127.0.0.1", "not-an-address"}, 0, "not-an-address"},
      {{"192.0.2.1"}, 0, "192.0.2.1"},  // a documentation address no interface has
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inError);
    remote::RemoteQueryServer other(host, {.port = c.port, .addresses = c.addresses});
    EXPECT_FALSE(other.Start());
    EXPECT_TRUE(other.Started());
    EXPECT_FALSE(other.Listening());
    EXPECT_NE(other.Error().find(c.inError), std::string::npos) << other.Error();
    EXPECT_FALSE(other.Start()) << "no second try";
  }
  // The first service goes on.
  auto client = Connect();
  client->Send("4\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "44444"; }));
}

TEST_F(RemoteRobustnessTest, TheDefaultServiceListensOnIpv4AndIpv6Loopback) {
  MakeHost();
  remote::RemoteQueryServer any(host, {.port = 0});
  ASSERT_TRUE(any.Start()) << any.Error();
  for (const QHostAddress& address :
       {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
    SCOPED_TRACE(address.toString().toStdString());
    if (!CanListenOn(address)) GTEST_SKIP() << "the machine has no such loopback address";
    QTcpSocket socket;
    socket.connectToHost(address, any.Port());
    socket.waitForConnected(static_cast<int>(kReplyTimeout.count()));
    ASSERT_EQ(socket.state(), QAbstractSocket::ConnectedState)
        << socket.errorString().toStdString();
    ASSERT_TRUE(socket.waitForReadyRead(static_cast<int>(kReplyTimeout.count())));
    EXPECT_EQ(socket.readAll().toStdString(), "SVE0000\r\n");
  }
}

}  // namespace
}  // namespace zelka::testing

// The remote service against hostile or broken clients: more connections than it serves,
// bursts of short connections, clients that leave while their command waits, that shut
// down their sending side, that never read, and addresses it does not admit.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <future>
#include <thread>
#include <poll.h>

#include "remote/remote_fixture.h"

namespace zelka::testing {
namespace {

using namespace std::chrono_literals;

// A client on a bare socket, for what a QTcpSocket cannot do: shut down one side, reset,
// write without reading.
class RawClient {
 public:
  explicit RawClient(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool Connected() const { return connected_; }
  void Send(std::string_view bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }
  // No more lines from this client; it still reads.
  void EndInput() { ::shutdown(fd_, SHUT_WR); }
  // Gone without an orderly close.
  void Reset() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(fd_);
    fd_ = -1;
  }
  // Everything the server writes until it closes the connection (or time runs out).
  std::string ReadToEnd(std::chrono::milliseconds timeout = kReplyTimeout) {
    std::string all;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[4096];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        closedByServer_ = true;
        break;
      }
      all.append(buffer, static_cast<std::size_t>(n));
    }
    return all;
  }
  bool ClosedByServer() const { return closedByServer_; }
  // Reads until `count` bytes have come, the server closes or time runs out.
  std::string ReadSome(std::size_t count, std::chrono::milliseconds timeout = kReplyTimeout) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
      std::string buffer(count - got.size(), '\0');
      const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
      if (n <= 0) break;
      got.append(buffer, 0, static_cast<std::size_t>(n));
    }
    return got;
  }
  // Writes `line` over and over without reading, for `duration`; returns the bytes the
  // system took.
  std::size_t Flood(std::string_view line, std::chrono::milliseconds duration) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    std::string chunk;
    while (chunk.size() < 64 * 1024) chunk += line;
    std::size_t taken = 0;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
      const ssize_t n = ::send(fd_, chunk.data(), chunk.size(), MSG_NOSIGNAL);
      if (n > 0) {
        taken += static_cast<std::size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        break;
      } else {
        pollfd ready{fd_, POLLOUT, 0};
        ::poll(&ready, 1, 10);
      }
    }
    return taken;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
  bool closedByServer_ = false;
};

std::size_t CountOf(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

class RemoteAbuseTest : public RemoteFixture {
 protected:
  void TearDown() override {
    Release();
    RemoteFixture::TearDown();
  }

  void ServeWith(remote::RemoteQueryServer::Options options) {
    MakeHost();
    options.port = 0;
    options.addresses = {"127.0.0.1"};
    server = std::make_unique<remote::RemoteQueryServer>(host, std::move(options));
    ASSERT_TRUE(server->Start()) << server->Error();
  }

  // Keeps the printer worker busy until Release(), as a long job of the window would:
  // whatever clients ask meanwhile waits in the queue.
  void Hold() {
    gate_ = std::promise<void>();
    worker->Submit([opened = gate_.get_future().share()](printer::Session&) { opened.wait(); });
    held_ = true;
  }
  void Release() {
    if (held_) gate_.set_value();
    held_ = false;
  }

  // Identifications the printer went through: one model query each.
  std::size_t SearchesRun() const {
    const sim::Bytes modelQuery = {0x1D, 0x49, 0x40, 0x27};
    const auto log = sim.Log();
    return static_cast<std::size_t>(std::count_if(
        log.begin(), log.end(), [&](const sim::LogEntry& e) { return e.bytes == modelQuery; }));
  }

 private:
  std::promise<void> gate_;
  bool held_ = false;
};

TEST_F(RemoteAbuseTest, ConnectionsBeyondTheCapAreClosedUnservedAndTheCapFreesUp) {
  constexpr int kCap = 4;
  ServeWith({.maxClients = kCap});
  std::vector<std::unique_ptr<RemoteClient>> served;
  for (int i = 0; i < kCap; ++i) served.push_back(Connect());
  for (int i = 0; i < 6; ++i) {
    RawClient extra(server->Port());
    ASSERT_TRUE(extra.Connected());
    EXPECT_EQ(extra.ReadToEnd(), "") << "nothing is written to a client beyond the cap";
    EXPECT_TRUE(extra.ClosedByServer());
  }
  EXPECT_EQ(server->LiveConnections(), kCap);

  served.front().reset();
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == kCap - 1; }));
  auto next = Connect();  // greeted: there is room again
  next->Send("3\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "33333"; }));
}

TEST_F(RemoteAbuseTest, AFloodOfIdleConnectionsUnderASmallDescriptorLimitEndsNothing) {
#ifdef ZELKA_SANITIZED
  GTEST_SKIP() << "the sanitizers need descriptors of their own to check memory";
#endif
  ServeWith({});  // the default cap
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  // Room for a few hundred more descriptors than are open now, in this one process that
  // holds the service, its printer and the flood alike.
  const int lowestFree = dup(0);
  close(lowestFree);
  rlimit small = saved;
  small.rlim_cur = static_cast<rlim_t>(lowestFree + 300);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &small), 0);

  std::vector<std::unique_ptr<RawClient>> flood;
  for (int i = 0; i < 1000; ++i) {
    auto client = std::make_unique<RawClient>(server->Port());
    if (!client->Connected()) break;  // this process is out of descriptors itself
    flood.push_back(std::move(client));
  }
  EXPECT_GT(flood.size(), static_cast<std::size_t>(remote::kDefaultMaxClients));
  // The service takes what it can (the flood and the service share the limit here, and
  // the flood may have taken every descriptor first) and never more than its cap.
  std::this_thread::sleep_for(300ms);
  EXPECT_LE(server->LiveConnections(), remote::kDefaultMaxClients);
  flood.clear();
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);

  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }));
  auto fresh = Connect();
  fresh->Send("SVEC000\n");
  EXPECT_EQ(fresh->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
}

// The service's wake-up pipe is made as it starts: a service that cannot make it does not
// start, and says why, rather than listen and leave every client without its records.
TEST_F(RemoteAbuseTest, AServiceThatCannotMakeItsWakeUpPipeDoesNotStart) {
#ifdef ZELKA_SANITIZED
  GTEST_SKIP() << "the sanitizers need descriptors of their own to check memory";
#endif
  MakeHost();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  // One or two descriptors left: the network thread's own event loop takes one, and the
  // pipe needs two.
  const int lowestFree = dup(0);
  close(lowestFree);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowestFree + 2);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  {
    remote::RemoteQueryServer starved(host, {.port = 0, .addresses = {"127.0.0.1"}});
    const bool started = starved.Start();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_FALSE(started);
    EXPECT_FALSE(starved.Listening());
    EXPECT_NE(starved.Error().find("wake-up pipe: Too many open files"), std::string::npos)
        << starved.Error();
  }

  // With descriptors to spare the same host is served.
  Serve();
  auto client = Connect();
  client->Send("SVEC000\n");
  EXPECT_EQ(client->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
}

TEST_F(RemoteAbuseTest, ABurstOfShortConnectionsLeavesNoWorkBehindForAFreshClient) {
  ServeWith({.maxClients = kManyClients});
  KnowThePrinter();
  Hold();
  // Each sends a mix of commands and junk and is gone at once.
  for (int i = 0; i < 150; ++i) {
    RawClient burst(server->Port());
    ASSERT_TRUE(burst.Connected());
    burst.Send(i % 2 ? "SVEC000\nSVEC001\n\x01\xFFjunk\n" : "SVEC001\nSVEC000\nSVEC004\n");
    burst.Reset();
  }
  // Each has its drawer kick taken off the line and queued, then vanishes.
  for (int i = 0; i < 20; ++i) {
    RawClient kicker(server->Port());
    kicker.Send("SVEC001\n");
    std::this_thread::sleep_for(50ms);
    kicker.Reset();
  }
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 0; }));
  Release();

  auto fresh = Connect();
  fresh->Send("SVEC000\n");
  EXPECT_EQ(fresh->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  // The searches of clients that had gone were dropped, and of their drawer kicks only a
  // few ran: not one per vanished client.
  EXPECT_EQ(SearchesRun(), 1u);
  EXPECT_EQ(CountOf(sim.CommandNames(), "LF"), 0u) << "no line behind a waiting command ran";
  const std::size_t kicks = CountOf(sim.CommandNames(), "ESC p");
  EXPECT_GE(kicks, 1u);
  EXPECT_LE(kicks, static_cast<std::size_t>(remote::kMaxOrphans));
}

TEST_F(RemoteAbuseTest, AClientThatLeavesWhileQueuedLosesItsSearchButNotItsDrawerKick) {
  ServeWith({});
  KnowThePrinter();
  Hold();
  RawClient searcher(server->Port());
  searcher.Send("SVEC000\n");
  RawClient kicker(server->Port());
  kicker.Send("SVEC001\n");  // printf 'SVEC001\n' | nc -q0 host 4444
  kicker.EndInput();
  // The kicker is served (its greeting came) before the searcher goes: one connection
  // left then means the searcher's departure is known, not that the kicker is not in yet.
  ASSERT_EQ(kicker.ReadSome(9), "SVE0000\r\n");
  searcher.Reset();
  // The kicker's connection stays until its kick has run.
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 1; }));
  Release();
  EXPECT_EQ(kicker.ReadToEnd(), "");
  EXPECT_TRUE(kicker.ClosedByServer()) << "closed once its kick has run";
  worker->WaitIdle();
  ASSERT_TRUE(sim.WaitForCommands(1, 2s));
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"ESC p"});
}

TEST_F(RemoteAbuseTest, ClientsAskingWhileASearchWaitsShareItAndEachGetsTheRecords) {
  ServeWith({});
  Hold();
  std::vector<std::unique_ptr<RemoteClient>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(Connect());
    clients.back()->Send("SVEC000\n");
  }
  // All three lines are in before the worker is free.
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == 3; }));
  std::this_thread::sleep_for(100ms);
  Release();
  for (auto& client : clients) {
    EXPECT_EQ(client->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  }
  EXPECT_EQ(SearchesRun(), 1u);

  // One that asks while the shared search runs gets the records read so far, then the rest.
  sim.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x2B}, .kind = sim::Fault::Kind::Late, .delay = 150ms});
  clients[0]->Send("SVEC000\n");
  ASSERT_EQ(clients[0]->ReadLine(), Record(1, "Printer Zelka"));
  clients[1]->Send("SVEC000\n");
  EXPECT_EQ(clients[0]->Read(DefaultPrinterRecords().size() - Record(1, "Printer Zelka").size()),
            DefaultPrinterRecords().substr(Record(1, "Printer Zelka").size()));
  EXPECT_EQ(clients[1]->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  EXPECT_EQ(SearchesRun(), 2u);
}

// The search that one client leaves is given up after its current query; a client that
// asks at that moment either joins it in time or gets a search of its own: never a part
// of the records.
TEST_F(RemoteAbuseTest, AClientThatAsksAsTheLastOneLeavesGetsAllTenRecords) {
  ServeWith({});
  for (int attempt = 0; attempt < 8; ++attempt) {
    SCOPED_TRACE(attempt);
    auto leaving = Connect();
    auto asking = Connect();
    leaving->Send("SVEC000\n");
    ASSERT_EQ(leaving->ReadLine(), Record(1, "Printer Zelka"));
    leaving->Reset();
    asking->Send("SVEC000\n");
    EXPECT_EQ(asking->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
    EXPECT_EQ(asking->ReadPending(), "") << "and nothing more";
  }
}

TEST_F(RemoteAbuseTest, AClientThatShutsDownItsSendingSideStillGetsItsRecords) {
  ServeWith({});
  RawClient client(server->Port());
  client.Send("SVEC000\n");
  client.EndInput();  // nc -N, and many scripts
  EXPECT_EQ(client.ReadToEnd(), "SVE0000\r\n" + DefaultPrinterRecords());
  EXPECT_TRUE(client.ClosedByServer()) << "and then the connection ends";
}

TEST_F(RemoteAbuseTest, AClientThatNeverReadsCannotMakeTheServiceHoardItsInput) {
  ServeWith({});
  Hold();  // its search waits: nothing more of its input is needed meanwhile
  RawClient client(server->Port());
  client.Send("SVEC000\n");
  const std::size_t taken = client.Flood("SVEC004 and more junk on a line\n", 1500ms);
  // The system's socket buffers take some megabytes; the service itself reads no more
  // than a few lines ahead (without the bound it read gigabytes in seconds).
  EXPECT_LT(taken, 32u * 1024 * 1024);
  Release();
  auto other = Connect();
  other->Send("5\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "55555"; }));
}

TEST_F(RemoteAbuseTest, OnlyAdmittedAddressesAreServed) {
  struct Case {
    std::vector<std::string> allow;
    bool served;
  };
  const Case cases[] = {
      {{}, true},
      {{"127.0.0.1"}, true},
      {{"10.0.0.0/8", "127.0.0.0/8"}, true},
      {{"10.0.0.0/8"}, false},
      {{"::1"}, false},
      // The IPv4 client in IPv6 forms.
      {{"::ffff:127.0.0.1"}, true},
      {{"::/0"}, true},
      {{"::ffff:10.0.0.0/104"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.allow.empty() ? "everyone" : c.allow.back());
    std::string error;
    const auto filter = remote::AddressFilter::Parse(c.allow, error);
    ASSERT_TRUE(filter) << error;
    server.reset();
    ServeWith({.allow = *filter});
    KnowThePrinter();
    RawClient client(server->Port());
    ASSERT_TRUE(client.Connected());
    if (c.served) {
      client.Send("SVEC004\n");
      client.EndInput();
      EXPECT_EQ(client.ReadToEnd(), "SVE0000\r\n");
    } else {
      client.Send("SVEC004\n");
      EXPECT_EQ(client.ReadToEnd(), "") << "closed at once, nothing written";
    }
  }
  worker->WaitIdle();
  EXPECT_EQ(CountOf(sim.CommandNames(), "LF"), 5u);
}

TEST(AddressFilterTest, RefusesWhatIsNoAddressOrSubnet) {
  for (const char* bad : {"", "localhost", "10.0.0.0/33", "1.2.3.4.5", "::1/129", "10.0.0.0/x"}) {
    std::string error;
    EXPECT_FALSE(remote::AddressFilter::Parse({bad}, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace zelka::testing

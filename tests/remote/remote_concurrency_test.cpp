// Many clients, the window and the one-shot actions at once: one printer exchange at a
// time, every frame whole, every request carried out exactly once.
#include <QEventLoop>

#include <map>
#include <thread>

#include "discovery/identify.h"
#include "discovery/search.h"
#include "remote/remote_fixture.h"
#include "service/paper_width.h"
#include "service/service_actions.h"

namespace zelka::testing {
namespace {

class RemoteConcurrencyTest : public RemoteFixture {
 protected:
  // Every frame the worker writes; a member, so that it outlives the worker's last job
  // whatever way a test ends.
  TxRecorder written;
};

// The printer operations of this test as the simulator logs them.
struct Unit {
  const char* name;
  std::vector<std::string> traffic;
};

std::vector<Unit> Units() {
  auto search57 = DefaultPrinterSearchTraffic();
  // A printer left at 57 mm by Button23: the identification switches the window, which
  // writes the width and reads it back before the build date.
  search57.insert(search57.end() - 1, {"US 0x03", "US 0x07"});
  return {{"search 57 mm", search57},
          {"search", DefaultPrinterSearchTraffic()},
          {"57 mm check", {"US 0x07", "US 0x03", "US 0x07"}},
          {"feed", {"LF"}}};
}

// Cuts the log into whole operations; fails at the first entry that starts none.
std::map<std::string, int> CountOperations(const std::vector<sim::LogEntry>& log) {
  std::map<std::string, int> counts;
  const auto units = Units();
  for (std::size_t at = 0; at < log.size();) {
    const Unit* found = nullptr;
    for (const Unit& unit : units) {
      if (at + unit.traffic.size() > log.size()) continue;
      bool whole = true;
      for (std::size_t i = 0; i < unit.traffic.size() && whole; ++i) {
        whole = !log[at + i].garbage && log[at + i].name == unit.traffic[i];
      }
      if (whole) {
        found = &unit;
        break;
      }
    }
    if (found == nullptr) {
      std::string context;
      for (std::size_t i = at >= 3 ? at - 3 : 0; i < std::min(log.size(), at + 4); ++i) {
        context += "\n  " + std::to_string(i) + ": " + log[i].name + " at " +
                   std::to_string(log[i].baud) + ", " + std::to_string(log[i].bytes.size()) +
                   " bytes";
      }
      ADD_FAILURE() << "log entry " << at << " starts no whole operation:" << context;
      return counts;
    }
    ++counts[found->name];
    at += found->traffic.size();
  }
  return counts;
}

// The window's own jobs go to the same worker from the window's thread, the one-shot
// actions from yet another.
TEST_F(RemoteConcurrencyTest, WindowClientsAndOneShotsNeverInterleaveFrames) {
  constexpr int kClients = 6;
  constexpr int kFeedsPerClient = 10;
  constexpr int kSearchesPerClient = 2;
  constexpr int kWindowRounds = 2;
  constexpr int kDirectFeeds = 5;
  Serve();
  KnowThePrinter();
  const auto port = server->Port();

  std::vector<std::string> received(kClients);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      const QEventLoop dispatcherHolder;  // Qt's sockets want an event dispatcher
      RemoteClient client;                // a socket belongs to the thread that made it
      if (!client.Connect(port)) return;
      received[c] = client.Read(9);
      // Ends with a search: once its records are in, every line before it has run.
      for (int i = 1; i <= kFeedsPerClient; ++i) {
        client.Send("SVEC004\n");
        if (i % (kFeedsPerClient / kSearchesPerClient) == 0) client.Send("SVEC000\r\n");
      }
      received[c] += client.Read(kSearchesPerClient * DefaultPrinterRecords().size());
    });
  }
  std::thread oneShots([this] {
    for (int i = 0; i < kDirectFeeds; ++i) {
      worker->Submit([](printer::Session& session) { service::FeedOneLine(session); });
    }
  });
  const discovery::PortList ports = host.ports;
  for (int i = 0; i < kWindowRounds; ++i) {
    worker->Submit([ports](printer::Session& session) {
      if (discovery::SearchPrinter(session, ports).printer) discovery::IdentifyPrinter(session, {});
    });
    worker->Submit([](printer::Session& session) { service::CheckPaperWidthSwitch(session); });
  }
  oneShots.join();
  for (auto& client : clients) client.join();
  worker->WaitIdle();

  std::string expected = "SVE0000\r\n";
  for (int i = 0; i < kSearchesPerClient; ++i) expected += DefaultPrinterRecords();
  for (int c = 0; c < kClients; ++c) EXPECT_EQ(received[c], expected) << "client " << c;

  const auto log = sim.Log();
  const auto counts = CountOperations(log);
  EXPECT_EQ(counts.count("feed") ? counts.at("feed") : 0,
            kClients * kFeedsPerClient + kDirectFeeds);
  const int searches = (counts.count("search") ? counts.at("search") : 0) +
                       (counts.count("search 57 mm") ? counts.at("search 57 mm") : 0);
  // Clients that ask while a search of theirs is queued or running join it: every one
  // of them got its records above, from fewer searches than were asked for.
  EXPECT_GE(searches, kWindowRounds + kSearchesPerClient);
  EXPECT_LE(searches, kClients * kSearchesPerClient + kWindowRounds);
  EXPECT_EQ(counts.count("57 mm check") ? counts.at("57 mm check") : 0, kWindowRounds);
  for (const auto& entry : log) {
    if (entry.name == "LF") {
      EXPECT_EQ(entry.bytes, Bytes{0x0A});
    }
  }
}

// Clients that all send their whole batch at the same moment: every command reaches the
// printer once, as a frame of its own.
TEST_F(RemoteConcurrencyTest, ManyClientsCommandsAreNeitherLostNorMerged) {
  constexpr int kClients = 100;
  constexpr int kFeedsPerClient = 20;
  constexpr std::size_t kFeeds = kClients * kFeedsPerClient;
  Serve();
  worker->SetLinkObserver(&written);
  KnowThePrinter();
  std::vector<std::unique_ptr<RemoteClient>> clients;
  for (int c = 0; c < kClients; ++c) clients.push_back(Connect());
  ASSERT_TRUE(WaitUntil([&] { return server->LiveConnections() == kClients; }));

  std::string packet;
  for (int i = 0; i < kFeedsPerClient; ++i) packet += "SVEC004\n";
  for (auto& client : clients) client->Send(packet);
  // As long as feeds keep going out the service is slow (a busy machine, a sanitizer),
  // not stuck: only a pause with none is a failure.
  for (std::size_t seen = 0; written.Writes().size() < kFeeds;) {
    ASSERT_TRUE(WaitUntil([&] { return written.Writes().size() > seen; }))
        << seen << " of " << kFeeds << " written";
    seen = written.Writes().size();
  }
  worker->WaitIdle();
  sim.WaitForCommands(kFeeds, kReplyTimeout);

  EXPECT_EQ(written.WriteSizes(), std::vector<std::size_t>(kFeeds, 1u)) << "one LF per write";
  const auto log = sim.Log();
  std::size_t feeds = 0, other = 0;
  for (const auto& entry : log) {
    if (entry.name == "LF" && !entry.garbage && entry.bytes == Bytes{0x0A}) {
      ++feeds;
    } else {
      ++other;
    }
  }
  EXPECT_EQ(feeds, kFeeds) << "lost";
  EXPECT_EQ(other, 0u) << "merged or broken";
  for (auto& client : clients) EXPECT_EQ(client->ReadPending(), "");
}

}  // namespace
}  // namespace zelka::testing

// The automatic search: rate-major probing of every listed port at once, the port and
// rate found, the ports that could not be opened.
#include "discovery/search.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "support/sim_fixture.h"

namespace zelka::testing {
namespace {

using discovery::SearchEveryPrinter;
using discovery::SearchPrinter;
using discovery::SearchResult;

constexpr const char* kAbsentPort = "/dev/nonexistent-x";

class SearchTest : public SimFixture {
 protected:
  SearchResult Search(std::vector<std::string> list) {
    return SearchPrinter(*session, [list] { return list; });
  }
  // No link of the session is left open by the search.
  void ExpectAllClosed(const std::vector<std::string>& list) {
    for (const auto& port : list) EXPECT_FALSE(session->LinkFor(port).IsOpen()) << port;
  }
};

// The rates at which a printer got the probe GS r 1, garbage included (a probe at a rate
// other than the printer's arrives as noise).
std::vector<int> ProbeRates(const sim::Simulator& s) {
  std::vector<int> rates;
  for (const auto& e : s.Log()) {
    if (e.garbage || e.name == "GS r") {
      if (e.bytes.size() >= 3 && e.bytes[0] == 0x1D && e.bytes[1] == 0x72 && e.bytes[2] == 0x31)
        rates.push_back(e.baud);
    }
  }
  return rates;
}

TEST_F(SearchTest, ProbesRateByRateAndTakesTheFirstAnswer) {
  sim.SetSilent(true);
  auto& second = AddPrinter(sim::DefaultPrinter());
  second.Update([](sim::PrinterState& s) { s.baud = 9600; });
  auto& third = AddPrinter(sim::DefaultPrinter());
  third.SetSilent(true);
  const std::vector<std::string> list = {sim.PortName(), second.PortName(), third.PortName()};

  const SearchResult result = Search(list);

  ASSERT_TRUE(result.printer);
  EXPECT_EQ(result.printer->port, second.PortName());
  EXPECT_EQ(result.printer->baud, 9600);
  EXPECT_EQ(result.printer->index, 1u);
  EXPECT_TRUE(result.unopened.empty());
  // Every port gets the probe at 57600, then at 9600 where the second one answers.
  EXPECT_EQ(ProbeRates(sim), (std::vector<int>{57600, 9600}));
  EXPECT_EQ(ProbeRates(third), (std::vector<int>{57600, 9600}));
  const auto secondLog = second.Log();
  ASSERT_EQ(secondLog.size(), 2u);
  EXPECT_TRUE(secondLog[0].garbage) << "the printer hears the 57600 probe as noise";
  EXPECT_EQ(secondLog[0].baud, 57600);
  EXPECT_EQ(secondLog[1].name, "GS r");
  EXPECT_EQ(secondLog[1].bytes, (Bytes{0x1D, 0x72, 0x31}));
  EXPECT_EQ(secondLog[1].baud, 9600);
  EXPECT_EQ(session->Port(), second.PortName());
  EXPECT_EQ(session->Baud(), 9600);
  EXPECT_TRUE(session->HasPrinter());
  ExpectAllClosed(list);
}

TEST_F(SearchTest, TriesTheRatesInTheirOwnOrder) {
  ASSERT_EQ(discovery::kSearchRates, (std::array<int, 4>{57600, 9600, 115200, 19200}));
  for (std::size_t found = 0; found < discovery::kSearchRates.size(); ++found) {
    const int baud = discovery::kSearchRates[found];
    SCOPED_TRACE(baud);
    sim.ClearLog();
    sim.Update([baud](sim::PrinterState& s) { s.baud = baud; });
    session = std::make_unique<printer::Session>(sleeper);

    const SearchResult result = Search({sim.PortName()});

    ASSERT_TRUE(result.printer);
    EXPECT_EQ(result.printer->baud, baud);
    EXPECT_EQ(ProbeRates(sim), std::vector<int>(discovery::kSearchRates.begin(),
                                                discovery::kSearchRates.begin() + found + 1));
    EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"GS r"}) << "one answered probe";
    EXPECT_EQ(session->Baud(), baud);
  }
}

TEST_F(SearchTest, NothingFoundLeavesNoPortAndTheLastRateThatOpened) {
  sim.SetSilent(true);
  session->SetPort(sim.PortName());  // a printer known before is forgotten

  const SearchResult result = Search({sim.PortName()});

  EXPECT_FALSE(result.printer);
  EXPECT_TRUE(result.unopened.empty());
  EXPECT_EQ(ProbeRates(sim), (std::vector<int>{57600, 9600, 115200, 19200}));
  EXPECT_EQ(session->Port(), "0");
  EXPECT_FALSE(session->HasPrinter());
  EXPECT_EQ(session->Baud(), 19200);
  ExpectAllClosed({sim.PortName()});
}

TEST_F(SearchTest, PortsThatCannotBeOpenedAreReportedWithTheirReason) {
  sim.SetSilent(true);
  session->SetBaud(9600);

  SearchResult result = Search({kAbsentPort, sim.PortName(), "ttyNoSuchPort7"});
  EXPECT_FALSE(result.printer);
  ASSERT_EQ(result.unopened.size(), 2u);
  EXPECT_EQ(result.unopened[0].port, kAbsentPort);
  EXPECT_EQ(result.unopened[0].reason, link::OpenFailure::kAbsent);
  EXPECT_EQ(result.unopened[1].port, "ttyNoSuchPort7");
  EXPECT_NE(result.unopened[1].reason, link::OpenFailure::kNone);
  EXPECT_EQ(session->Baud(), 19200) << "the silent port opened at every rate";

  // Nothing opened at all: the rate stays as it was.
  session->SetBaud(9600);
  result = Search({kAbsentPort});
  ASSERT_EQ(result.unopened.size(), 1u);
  EXPECT_EQ(result.unopened[0].reason, link::OpenFailure::kAbsent);
  EXPECT_EQ(session->Port(), "0");
  EXPECT_EQ(session->Baud(), 9600);
}

// A port that a program holds (it keeps its lock while it does) is busy for the search,
// and gets no probe; once it is free again the printer on it is found.
TEST_F(SearchTest, PortHeldByAProgramIsBusyAndGetsNoProbe) {
  {
    link::SerialLink holder;
    ASSERT_EQ(holder.Open(sim.PortName(), 57600, std::chrono::milliseconds{100}), link::Status::kOk);
    const SearchResult result = Search({sim.PortName()});
    EXPECT_FALSE(result.printer);
    ASSERT_EQ(result.unopened.size(), 1u);
    EXPECT_EQ(result.unopened[0].reason, link::OpenFailure::kBusy);
    EXPECT_TRUE(sim.Log().empty());
  }
  EXPECT_TRUE(Search({sim.PortName()}).printer);
}

TEST_F(SearchTest, EmptyNamesAndAbsentPortsDoNoHarmBesideThePrinter) {
  const SearchResult result = Search({"", kAbsentPort, sim.PortName()});
  ASSERT_TRUE(result.printer);
  EXPECT_EQ(result.printer->port, sim.PortName());
  EXPECT_EQ(result.printer->index, 2u);
  EXPECT_TRUE(result.unopened.empty()) << "only reported when nothing was found";
  EXPECT_EQ(session->Port(), sim.PortName());
}

TEST_F(SearchTest, EmptyPortListProbesNothing) {
  const SearchResult result = Search({});
  EXPECT_FALSE(result.printer);
  EXPECT_TRUE(result.unopened.empty());
  EXPECT_EQ(session->Port(), "0");
  EXPECT_TRUE(sim.Log().empty());
}

TEST_F(SearchTest, ReadsTheListAnewForEveryRate) {
  sim.Update([](sim::PrinterState& s) { s.baud = 115200; });
  int reads = 0;
  // The printer's port appears only once the search is at its third rate, one place
  // further down than before; the absent port is gone by then.
  const discovery::PortList list = [&]() -> std::vector<std::string> {
    ++reads;
    if (reads < 3) return {kAbsentPort};
    return {"", sim.PortName()};
  };
  const SearchResult result = SearchPrinter(*session, list);
  EXPECT_EQ(reads, 3);
  ASSERT_TRUE(result.printer);
  EXPECT_EQ(result.printer->baud, 115200);
  EXPECT_EQ(result.printer->index, 1u) << "the place in the list as last read";
  EXPECT_EQ(ProbeRates(sim), std::vector<int>{115200});

  // Nothing found: read once per rate; the absent port that left the list is not
  // reported, and an empty name is no port to report.
  sim.SetSilent(true);
  reads = 0;
  const SearchResult none = SearchPrinter(*session, list);
  EXPECT_EQ(reads, 4);
  EXPECT_FALSE(none.printer);
  EXPECT_TRUE(none.unopened.empty());
}

// Records when each probe was written and when each reply (or its time-out) ended.
class ProbeTimes final : public link::Observer {
 public:
  struct Event {
    std::string port;
    int baud;
    bool sent;
    std::size_t bytes;
  };
  void OnSent(const std::string& port, int baud, std::span<const std::uint8_t> b) override {
    std::lock_guard lock(mutex_);
    events_.push_back({port, baud, true, b.size()});
  }
  void OnReceived(const std::string& port, int baud, std::span<const std::uint8_t> b) override {
    std::lock_guard lock(mutex_);
    events_.push_back({port, baud, false, b.size()});
  }
  std::vector<Event> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

TEST_F(SearchTest, ProbesThePortsOfOneRateAtOnce) {
  std::vector<std::string> list;
  std::vector<sim::Simulator*> silent;
  for (int i = 0; i < 4; ++i) {
    auto& s = AddPrinter(sim::DefaultPrinter());
    s.SetSilent(true);
    silent.push_back(&s);
    list.push_back(s.PortName());
  }
  list.insert(list.begin() + 2, sim.PortName());  // the printer is third of five
  ProbeTimes times;
  session->SetLinkObserver(&times);

  const SearchResult result = Search(list);

  ASSERT_TRUE(result.printer);
  EXPECT_EQ(result.printer->port, sim.PortName());
  EXPECT_EQ(result.printer->baud, 57600);
  EXPECT_EQ(result.printer->index, 2u);
  for (auto* s : silent) EXPECT_EQ(ProbeRates(*s), std::vector<int>{57600});
  // Every port had its probe written before any silent port's wait for a reply ended:
  // the probes overlap, so a search does not take a wait per port (how long it takes is
  // bench_discovery's figure).
  const auto events = times.Events();
  std::size_t sends = 0;
  std::size_t firstSilentEnd = events.size();
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].sent) {
      ++sends;
      EXPECT_EQ(events[i].baud, 57600);
    } else if (events[i].port != sim.PortName() && firstSilentEnd == events.size()) {
      firstSilentEnd = i;
      EXPECT_EQ(events[i].bytes, 0u);
    }
  }
  EXPECT_EQ(sends, list.size());
  std::size_t sentBefore = 0;
  for (std::size_t i = 0; i < firstSilentEnd; ++i) sentBefore += events[i].sent ? 1 : 0;
  EXPECT_EQ(sentBefore, list.size()) << "the probes overlap";
  session->SetLinkObserver(nullptr);
}

TEST_F(SearchTest, PortListedTwiceIsProbedOnce) {
  auto& silent = AddPrinter(sim::DefaultPrinter());
  silent.SetSilent(true);
  const SearchResult result =
      Search({silent.PortName(), sim.PortName(), silent.PortName(), sim.PortName()});
  ASSERT_TRUE(result.printer);
  EXPECT_EQ(result.printer->port, sim.PortName());
  EXPECT_EQ(result.printer->index, 1u) << "the first of its entries";
  EXPECT_EQ(ProbeRates(silent), std::vector<int>{57600});
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"GS r"});
  ExpectAllClosed({silent.PortName(), sim.PortName()});
}

TEST_F(SearchTest, PortListedTwiceIsReportedOnce) {
  sim.SetSilent(true);
  const SearchResult none = Search({kAbsentPort, sim.PortName(), kAbsentPort});
  EXPECT_FALSE(none.printer);
  ASSERT_EQ(none.unopened.size(), 1u);
  EXPECT_EQ(none.unopened[0].port, kAbsentPort);
  EXPECT_EQ(ProbeRates(sim), (std::vector<int>{57600, 9600, 115200, 19200}));
}

// Going on after the first answer: every printer once, at the rate it answered.
TEST_F(SearchTest, EverySearchFindsEachPrinterOnceAtItsRate) {
  auto& slow = AddPrinter(sim::DefaultPrinter());
  slow.Update([](sim::PrinterState& s) { s.baud = 19200; });
  auto& silent = AddPrinter(sim::DefaultPrinter());
  silent.SetSilent(true);
  auto& medium = AddPrinter(sim::DefaultPrinter());
  medium.Update([](sim::PrinterState& s) { s.baud = 9600; });
  const std::vector<std::string> list = {slow.PortName(), silent.PortName(), kAbsentPort,
                                         medium.PortName(), sim.PortName(), sim.PortName()};
  session->SetPort(sim.PortName());
  session->SetBaud(115200);

  const discovery::EverySearchResult result = SearchEveryPrinter(*session, [&list] { return list; });

  ASSERT_EQ(result.printers.size(), 3u);
  EXPECT_EQ(result.printers[0].port, sim.PortName());
  EXPECT_EQ(result.printers[0].baud, 57600);
  EXPECT_EQ(result.printers[0].index, 4u) << "the first of its entries";
  EXPECT_EQ(result.printers[1].port, medium.PortName());
  EXPECT_EQ(result.printers[1].baud, 9600);
  EXPECT_EQ(result.printers[2].port, slow.PortName());
  EXPECT_EQ(result.printers[2].baud, 19200);
  ASSERT_EQ(result.unopened.size(), 1u);
  EXPECT_EQ(result.unopened[0].port, kAbsentPort);
  // The probes of the window's search, rate by rate; a port that answered gets no more.
  EXPECT_EQ(ProbeRates(sim), std::vector<int>{57600});
  EXPECT_EQ(sim.CommandNames(), std::vector<std::string>{"GS r"});
  EXPECT_EQ(ProbeRates(medium), (std::vector<int>{57600, 9600}));
  EXPECT_EQ(ProbeRates(slow), (std::vector<int>{57600, 9600, 115200, 19200}));
  EXPECT_EQ(ProbeRates(silent), (std::vector<int>{57600, 9600, 115200, 19200}));
  EXPECT_EQ(session->Port(), sim.PortName()) << "the session's printer is left alone";
  EXPECT_EQ(session->Baud(), 115200);
  ExpectAllClosed({slow.PortName(), silent.PortName(), medium.PortName(), sim.PortName()});
}

TEST_F(SearchTest, EverySearchEndsOnceEveryListedPortAnswered) {
  auto& second = AddPrinter(sim::DefaultPrinter());
  second.Update([](sim::PrinterState& s) { s.baud = 9600; });
  int reads = 0;
  const discovery::EverySearchResult result = SearchEveryPrinter(*session, [&] {
    ++reads;
    return std::vector<std::string>{"", sim.PortName(), second.PortName()};
  });
  ASSERT_EQ(result.printers.size(), 2u);
  EXPECT_EQ(reads, 3) << "read for 57600, 9600, and once more to see that all answered";
  EXPECT_EQ(ProbeRates(sim), std::vector<int>{57600});
  EXPECT_EQ(ProbeRates(second), (std::vector<int>{57600, 9600}));

  // Nothing listed, nothing answers: no probe, nothing found.
  const discovery::EverySearchResult none = SearchEveryPrinter(*session, [] { return std::vector<std::string>{}; });
  EXPECT_TRUE(none.printers.empty());
  EXPECT_TRUE(none.unopened.empty());
}

}  // namespace
}  // namespace zelka::testing

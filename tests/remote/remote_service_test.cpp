// The remote query protocol over real loopback sockets: greeting, commands, identity
// records, and what a line that is no command does (nothing).
#include <algorithm>

#include "remote/remote_fixture.h"

namespace zelka::testing {
namespace {

using namespace std::chrono_literals;

class RemoteServiceTest : public RemoteFixture {};

TEST_F(RemoteServiceTest, EveryClientIsGreetedBeforeItSendsAnything) {
  Serve();
  RemoteClient first, second;
  ASSERT_TRUE(first.Connect(server->Port()));
  ASSERT_TRUE(second.Connect(server->Port()));
  const std::string greeting = "\x53\x56\x45\x30\x30\x30\x30\x0D\x0A";
  EXPECT_EQ(second.Read(9), greeting);
  EXPECT_EQ(first.Read(9), greeting);
  EXPECT_EQ(first.ReadPending(), "") << "nothing follows until a command asks for it";
}

TEST_F(RemoteServiceTest, OneShotsReachThePrinterInOrderAndAnswerNothing) {
  Serve();
  KnowThePrinter();
  auto client = Connect();
  // One packet: CR LF and LF endings, two feeds back to back.
  client->Send("SVEC001\r\nSVEC004\nSVEC004\r\nSVEC005\n");
  ASSERT_TRUE(sim.WaitForCommands(4, kReplyTimeout));
  const auto log = sim.Log();
  ASSERT_EQ(log.size(), 4u);
  const std::vector<std::pair<std::string, Bytes>> expected = {
      {"ESC p", {0x1B, 0x70, 0x30, 0x96, 0x96}},
      {"LF", {0x0A}},
      {"LF", {0x0A}},
      {"GS /", {0x1D, 0x2F, 0x00}},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(log[i].name, expected[i].first) << i;
    EXPECT_EQ(log[i].bytes, expected[i].second) << i;
  }
  EXPECT_EQ(sleeper.Waits(), std::vector<std::chrono::milliseconds>{300ms}) << "the drawer's pause";

  // The records of a search come first: the one-shots wrote nothing back.
  client->Send("SVEC000\n");
  EXPECT_EQ(client->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  EXPECT_FALSE(PortLeftOpen());
}

TEST_F(RemoteServiceTest, LinesThatAreNoCommandDoNothing) {
  Serve();
  KnowThePrinter();
  auto client = Connect();
  std::string everyByteButLf;
  for (int b = 0; b < 256; ++b) {
    if (b != '\n') everyByteButLf.push_back(static_cast<char>(b));
  }
  const std::vector<std::string> lines = {"svec004",     "SVEC004 ",   " SVEC004",    "SVEC0040",
                                          "SVEC00",      "",           "\r",          "SVEC004\r\r",
                                          "SVEC004\x80", "\xD3VEC004", "SVE0000",     "33",
                                          "3 ",          "Svec005",    everyByteButLf};
  for (const std::string& line : lines) client->Send(line + "\n");
  // A sentinel behind them: its records are the first bytes the client gets.
  client->Send("SVEC000\n");

  EXPECT_EQ(client->Read(DefaultPrinterRecords().size()), DefaultPrinterRecords());
  EXPECT_EQ(sim.CommandNames(), DefaultPrinterSearchTraffic());
  EXPECT_TRUE(SerialTitles().empty()) << "\"33\" or \"3 \" set the caption";
  EXPECT_TRUE(sleeper.Waits().empty());
}

TEST_F(RemoteServiceTest, SearchSendsTheTenRecordsWhateverFails) {
  struct Case {
    const char* name;
    std::function<void(sim::Simulator&)> printer;
    std::string records;
  };
  const Bytes anyGsI = {0x1D, 0x49};
  const std::vector<Case> cases = {
      {"a printer that answers everything", [](sim::Simulator&) {}, DefaultPrinterRecords()},
      {"one failed query, other words, bytes from 0x80 up",
       [](sim::Simulator& s) {
         s.Update([](sim::PrinterState& p) {
           p.modelReply = sim::MakeTextReply("Zelka \xC0\xC1  ", 17);  // Windows-1251 "АБ"
           p.paperSensor = 0x01;
           p.drawerStatus = 0x00;
           p.logoState = 0x01;
         });
         s.AddFault({.prefix = {0x1D, 0x49, 0x40, 0x23}, .kind = sim::Fault::Kind::Silent});
       },
       Record(1, "Zelka ??  ") + FailedRecord(2) + Record(3, "ZELKA-000001") + Record(4, "1.05") +
           Record(5, "ZELKA-000101") + Record(6, "2.10") +
           Record(7, "???????????") +  // "отсутствует"
           Record(8, "??????") +       // "Открыт"
           Record(9, "????????") +     // "Загружен"
           Record(10, "2026-11-03 12:")},
      {"a printer that answers the probe and nothing else",
       [anyGsI](sim::Simulator& s) {
         s.AddFault({.prefix = anyGsI, .kind = sim::Fault::Kind::Silent});
         s.AddFault({.prefix = {0x1D, 0x72}, .kind = sim::Fault::Kind::Silent, .after = 1});
         s.AddFault({.prefix = {0x1F, 0x07}, .kind = sim::Fault::Kind::Silent});
       },
       [] {
         std::string all;
         for (int n = 1; n <= 10; ++n) all += FailedRecord(n);
         return all;
       }()},
  };
  Serve();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.SetState(sim::DefaultPrinter());
    sim.ClearFaults();
    c.printer(sim);
    auto client = Connect();
    client->Send("SVEC000\r\n");
    EXPECT_EQ(client->Read(c.records.size()), c.records);
    EXPECT_EQ(client->ReadPending(), "");
  }
  // The host was told as for a search from the window: the printer found at the top of
  // the list, then every step of its identification.
  const auto searches = Searches();
  ASSERT_EQ(searches.size(), cases.size());
  for (const auto& search : searches) {
    ASSERT_TRUE(search.printer);
    EXPECT_EQ(search.printer->port, sim.PortName());
    EXPECT_EQ(search.printer->index, 0u);
  }
  const auto steps = Steps();
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(std::count(steps.begin(), steps.end(), static_cast<discovery::Step>(n)),
              static_cast<std::ptrdiff_t>(cases.size()))
        << "step " << n;
  }
  EXPECT_EQ(CurrentPort(), sim.PortName());
}

// A printer's text is the printer's to choose: a value holding CR LF must not end its
// record early and pass a line of the printer's making off as a record of its own.
TEST_F(RemoteServiceTest, ControlBytesInAValueComeOutAsQuestionMarks) {
  struct Case {
    const char* name;
    std::string model;  // at most 15 bytes: the model reply's text
    std::string wireValue;
  };
  const std::vector<Case> cases = {
      {"a forged record", "\r\nSVE0009Eforge", "??SVE0009Eforge"},
      {"a lone LF, a tab, ESC", "Zel\nka\t\x1B" "1", "Zel?ka??1"},
  };
  Serve();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.Update([&](sim::PrinterState& p) { p.modelReply = sim::MakeTextReply(c.model, 17); });
    auto client = Connect();
    client->Send("SVEC000\n");
    std::vector<std::string> lines;
    for (int n = 1; n <= 10; ++n) lines.push_back(client->ReadLine());
    EXPECT_EQ(lines[0], Record(1, c.wireValue));
    for (int n = 2; n <= 10; ++n) {
      EXPECT_EQ(lines[n - 1].substr(0, 8), Record(n, "").substr(0, 8)) << lines[n - 1];
    }
    EXPECT_EQ(lines[9], Record(10, "2026-11-03 12:"));
    EXPECT_EQ(client->ReadPending(), "") << "no line beyond the ten records";
  }
}

TEST_F(RemoteServiceTest, NoPrinterFoundAndCaptionCommandsWriteNothing) {
  Serve({"/dev/zelka-no-such-port"});
  auto client = Connect();
  ASSERT_TRUE(SerialTitles().empty());
  client->Send("SVEC000\n4\n");
  ASSERT_TRUE(WaitUntil([&] { return SerialTitle() == "44444"; }));
  client->Send("5\r\n3\n");
  ASSERT_TRUE(WaitUntil([&] { return SerialTitle() == "33333"; }));
  // The search and the captions ran before the last caption: anything they wrote is here.
  EXPECT_EQ(client->ReadPending(), "");
  EXPECT_EQ(SerialTitles(), (std::vector<std::string>{"44444", "55555", "33333"}));
  const auto searches = Searches();
  ASSERT_EQ(searches.size(), 1u);
  EXPECT_FALSE(searches[0].printer);
  EXPECT_TRUE(Steps().empty()) << "nothing found, nothing identified";
  EXPECT_EQ(CurrentPort(), "0");
  EXPECT_TRUE(sim.CommandNames().empty());
}

// The window asks the service to start before each of its searches: every start after the
// first changes nothing, and the connections made before survive it.
TEST_F(RemoteServiceTest, StartingAgainChangesNothing) {
  Serve();
  const auto port = server->Port();
  auto client = Connect();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(server->Start());
    EXPECT_TRUE(server->Started());
    EXPECT_EQ(server->Port(), port);
  }
  client->Send("3\n");
  EXPECT_TRUE(WaitUntil([&] { return SerialTitle() == "33333"; }))
      << "the connection made before survives";
  EXPECT_EQ(server->LiveConnections(), 1);
  RemoteClient another;
  EXPECT_TRUE(another.Connect(port));
  EXPECT_EQ(another.Read(9), "SVE0000\r\n");
}

}  // namespace
}  // namespace zelka::testing

// The remote query protocol over real loopback sockets: greeting, commands, identity
// records, and what a line that is no command does (nothing).
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
  EXPECT_EQ(Window().Caption("Label5"), "Serial №:");
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
  // The window changed as for a search from it, without a message box.
  EXPECT_TRUE(dialogs.Texts().empty());
  EXPECT_TRUE(Window().Enabled("Button1"));
  EXPECT_EQ(Window().SelectedIndex("ComboBox1"), 0);
  EXPECT_EQ(CurrentPort(), sim.PortName());
}

TEST_F(RemoteServiceTest, NoPrinterFoundAndCaptionCommandsWriteNothing) {
  Serve({"/dev/zelka-no-such-port"});
  auto client = Connect();
  ASSERT_EQ(Window().Caption("Label5"), "Serial №:");
  client->Send("SVEC000\n4\n");
  ASSERT_TRUE(WaitUntil([&] { return Window().Caption("Label5") == "44444"; }));
  client->Send("5\r\n3\n");
  ASSERT_TRUE(WaitUntil([&] { return Window().Caption("Label5") == "33333"; }));
  // The search and the captions ran before the last caption: anything they wrote is here.
  EXPECT_EQ(client->ReadPending(), "");
  EXPECT_EQ(CurrentPort(), "0");
  EXPECT_TRUE(sim.CommandNames().empty());
}

TEST_F(RemoteServiceTest, FormCreateStartsTheServiceOnceAndAgainChangesNothing) {
  ports = {sim.PortName()};
  form::MainForm::Options options;
  options.portSource = [this] { return ports; };
  int starts = 0;
  options.startRemoteService = [this, &starts] {
    ++starts;
    if (server) server->Start();
  };
  form = std::make_unique<form::MainForm>(dialogs, options);
  server = std::make_unique<remote::RemoteQueryServer>(
      *form, remote::RemoteQueryServer::Options{.port = 0, .addresses = {"127.0.0.1"}});
  form->FormCreate();
  ASSERT_TRUE(server->Listening()) << server->Error();
  const auto port = server->Port();
  auto client = Connect();

  Click("Button7");  // runs FormCreate again before its search
  form->FormCreate();
  EXPECT_EQ(starts, 3);
  EXPECT_TRUE(server->Start());
  EXPECT_EQ(server->Port(), port);
  client->Send("3\n");
  EXPECT_TRUE(WaitUntil([&] { return Window().Caption("Label5") == "33333"; }))
      << "the connection made before survives";
  EXPECT_EQ(server->LiveConnections(), 1);
}

}  // namespace
}  // namespace zelka::testing
